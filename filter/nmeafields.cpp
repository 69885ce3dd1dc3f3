#include "filter/nmeafields.h"

#include <charconv>
#include <cmath>

#include "filter/codepage.h"
#include "filter/fieldreader.h"

namespace navorel {

namespace {

std::string signedCoordinate(std::string_view field, std::string_view hemisphere, char negativeHemisphere)
{
    std::string text;
    if (hemisphere.size() == 1 && hemisphere[0] == negativeHemisphere && !field.empty())
        text += '-';
    text += field;
    return text;
}

// Inserts at a 1-based place; a place past the end appends.
void insertAt(std::string &text, std::size_t place, char c)
{
    if (place < 1)
        place = 1;
    if (place > text.size() + 1)
        place = text.size() + 1;
    text.insert(place - 1, 1, c);
}

constexpr double kPowersOfTen[] = {1.0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

// Writes value as fixed-point text with a decimal comma into buffer (at
// least 400 bytes) and returns its length. The digits come from one rounded
// integer, which is fast; values near a rounding tie or too large for that
// go the exact way.
std::size_t formatFixed(char *buffer, double value, int decimals)
{
    const double magnitude = std::fabs(value * kPowersOfTen[decimals]);
    const double fraction = magnitude - std::floor(magnitude);
    if (!(magnitude < 1e15) || std::fabs(fraction - 0.5) < 1e-6) {
        // 400 bytes hold any double's fixed text; should that ever fail,
        // the text is empty rather than what the buffer held before.
        const auto result = std::to_chars(buffer, buffer + 400, value, std::chars_format::fixed, decimals);
        if (result.ec != std::errc())
            return 0;
        const auto length = static_cast<std::size_t>(result.ptr - buffer);
        for (std::size_t i = 0; i < length; ++i) {
            if (buffer[i] == '.')
                buffer[i] = ',';
        }
        return length;
    }
    auto rounded = static_cast<unsigned long long>(std::llround(magnitude));
    char reversed[32];
    int length = 0;
    for (int i = 0; i < decimals; ++i) {
        reversed[length++] = static_cast<char>('0' + rounded % 10);
        rounded /= 10;
    }
    reversed[length++] = ',';
    do {
        reversed[length++] = static_cast<char>('0' + rounded % 10);
        rounded /= 10;
    } while (rounded != 0);
    std::size_t written = 0;
    if (std::signbit(value))
        buffer[written++] = '-';
    while (length > 0)
        buffer[written++] = reversed[--length];
    return written;
}

// Degrees and a whole number of 1/scale minutes: each part is held as a
// double before they are added, as the readings have always summed them.
double joinDegrees(long long degrees, long long minuteNumber, long double scale)
{
    const auto degreePart = static_cast<double>(degrees);
    const auto minutePart = static_cast<double>(static_cast<long double>(minuteNumber) / scale / 60.0L);
    return degreePart + minutePart;
}

// Reads a field of plain digits with at most one "." the quick way; false
// for anything else, which the full reading then handles.
bool quickDegrees(std::string_view text, double &degrees)
{
    const std::size_t point = text.find('.');
    const std::string_view integral = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (integral.size() < 2 || integral.size() > 12 || fraction.size() > 12)
        return false;
    long long whole = 0;
    for (const char c : integral) {
        if (c < '0' || c > '9')
            return false;
        whole = whole * 10 + (c - '0');
    }
    long long decimals = 0;
    long double scale = 1.0L;
    for (const char c : fraction) {
        if (c < '0' || c > '9')
            return false;
        decimals = decimals * 10 + (c - '0');
        scale *= 10.0L;
    }
    const long long minuteNumber = (whole % 100) * static_cast<long long>(scale) + decimals;
    degrees = joinDegrees(whole / 100, minuteNumber, scale);
    return true;
}

} // namespace

bool isTalker(char first, char second)
{
    switch (first) {
    case 'G':
        return second == 'P' || second == 'N' || second == 'L' || second == 'A' || second == 'B'
               || second == 'Q' || second == 'I';
    case 'B': return second == 'D';
    case 'Q': return second == 'Z';
    default: return false;
    }
}

std::size_t findSentence(std::string_view line, std::string_view type, TalkerMode talkers)
{
    for (std::size_t at = line.find('$'); at != std::string_view::npos && line.size() - at >= 6;
         at = line.find('$', at + 1)) {
        const bool talker = talkers == TalkerMode::GPS ? line[at + 1] == 'G' && line[at + 2] == 'P'
                                                       : isTalker(line[at + 1], line[at + 2]);
        if (talker && line.substr(at + 3, 3) == type)
            return at;
    }
    return std::string_view::npos;
}

std::string_view timeField(std::string_view sentence)
{
    const std::size_t first = sentence.find(',');
    if (first == std::string_view::npos)
        return {};
    const std::size_t second = sentence.find(',', first + 1);
    if (second == std::string_view::npos)
        return {};
    return sentence.substr(first + 1, second - first - 1);
}

PositionFields CutPositionFields(std::string_view line, std::string_view identifier)
{
    PositionFields fields;
    const std::size_t at = line.find(identifier);
    if (at == std::string_view::npos)
        return fields;

    FieldReader reader(line.substr(at + identifier.size()));
    reader.next(); // whatever stands between the identifier and its comma
    fields.Time = reader.next().substr(0, 6);
    if (identifier.ends_with("RMC"))
        fields.Status = reader.next();
    const std::string_view latitude = reader.next();
    fields.LatitudeHemisphere = reader.next();
    const std::string_view longitude = reader.next();
    fields.LongitudeHemisphere = reader.next();
    fields.Latitude = signedCoordinate(latitude, fields.LatitudeHemisphere, 'S');
    fields.Longitude = signedCoordinate(longitude, fields.LongitudeHemisphere, 'W');
    if (identifier.ends_with("RMC")) {
        fields.Speed = reader.next();
        reader.next(); // course
        fields.Date = reader.next();
        reader.next(); // magnetic variation
        reader.next(); // ... and its direction
        const std::string_view mode = reader.next();
        if (!mode.empty())
            fields.Quality.assign(1, mode[0]);
    } else {
        fields.Quality = reader.next();
        reader.next(); // satellites used
        reader.next(); // horizontal dilution
        fields.Altitude = reader.next();
    }
    return fields;
}

int CountActiveSatellites(std::string_view line)
{
    const std::size_t at = line.find("$GPGSA");
    if (at == std::string_view::npos)
        return 0;
    FieldReader reader(line.substr(at + 6));
    reader.next(); // rest of the head
    reader.next(); // mode
    reader.next(); // fix type
    int count = 0;
    for (int i = 0; i < 12; ++i) {
        if (!reader.next().empty())
            ++count;
    }
    return count;
}

Converted<double> CoordToDegrees(std::string_view text)
{
    text = text.substr(0, text.find(','));
    if (text.empty())
        return 0.0;
    const std::string_view whole = text;
    bool negative = false;
    if (text.size() > 1 && text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    double quick = 0.0;
    if (quickDegrees(text, quick))
        return negative ? -quick : quick;

    // The last two digits before the "." are the whole minutes, the digits in
    // front of them the degrees (none below 1 degree), the digits behind the
    // "." the minute decimals, however many there are.
    const std::size_t point = text.find('.');
    const std::string_view integral = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const std::size_t minuteDigits = integral.size() < 2 ? integral.size() : 2;
    const std::string_view degreeText = integral.substr(0, integral.size() - minuteDigits);
    std::string minuteText(integral.substr(integral.size() - minuteDigits));
    minuteText += fraction;

    // Fewer than two digits in front of the "." is a value below one degree.
    const bool wholeIsOffending = point != std::string_view::npos && point < 2;
    std::int64_t degrees = 0;
    if (!degreeText.empty() && !parseWholeNumber(degreeText, degrees))
        return Converted<double>::failure(wholeIsOffending ? whole : degreeText);
    std::int64_t minuteNumber = 0;
    if (!parseWholeNumber(minuteText, minuteNumber) || fraction.size() > 18)
        return Converted<double>::failure(wholeIsOffending ? whole : std::string_view(minuteText));

    long double scale = 1.0L;
    for (std::size_t i = 0; i < fraction.size(); ++i)
        scale *= 10.0L;
    const double value = joinDegrees(degrees, minuteNumber, scale);
    return negative ? -value : value;
}

Converted<double> PositionFieldToDegrees(std::string_view text, std::string_view hemisphere)
{
    std::string_view field = text;
    if ((hemisphere == "S" || hemisphere == "W") && !field.empty() && field.front() == '-')
        field.remove_prefix(1);
    if (field.find_first_of("+-") != std::string_view::npos)
        return Converted<double>::failure(field);
    return CoordToDegrees(text);
}

double DegreesToCoord(double sum, long long count)
{
    const long double mean = static_cast<long double>(sum) / static_cast<long double>(count);
    const long double degrees = std::trunc(mean);
    return static_cast<double>(degrees * 100.0L + (mean - degrees) * 60.0L);
}

void appendCoordText(std::string &out, double coordinate)
{
    // "48,070380" becomes "48° 07,0380'": degrees, then minutes with four decimals.
    char number[400];
    const std::size_t length =
        formatFixed(number, static_cast<double>(static_cast<long double>(coordinate) * 0.01L), 6);
    std::string_view text(number, length);
    const std::size_t comma = text.find(',');
    char composed[420];
    std::size_t size = 0;
    const auto add = [&](std::string_view piece) {
        piece.copy(composed + size, piece.size());
        size += piece.size();
    };
    std::string_view degrees = text.substr(0, comma);
    std::string_view minutes = text.substr(comma + 1, 2);
    std::string_view decimals = text.substr(comma + 3);
    // 59.99999 minutes round to "60,0000": a whole degree more, as the
    // position is.
    std::string carried;
    char minutesLeft[2];
    if (minutes.size() == 2 && minutes >= "60") {
        carried.assign(degrees);
        std::size_t digit = carried.size();
        while (digit > 0 && carried[digit - 1] == '9')
            carried[--digit] = '0';
        if (digit > 0 && carried[digit - 1] != '-')
            ++carried[digit - 1];
        else
            carried.insert(digit, 1, '1');
        degrees = carried;
        minutesLeft[0] = static_cast<char>(minutes[0] - 6);
        minutesLeft[1] = minutes[1];
        minutes = std::string_view(minutesLeft, 2);
    }
    add(degrees);
    composed[size++] = kDegreeSign;
    composed[size++] = ' ';
    add(minutes);
    composed[size++] = ',';
    add(decimals);
    composed[size++] = '\'';
    out.append(composed, size);
}

std::string CoordToText(double coordinate)
{
    std::string text;
    appendCoordText(text, coordinate);
    return text;
}

std::string fixedWithComma(double value, int decimals)
{
    char buffer[400];
    return std::string(buffer, formatFixed(buffer, value, decimals));
}

void appendCoordNumberText(std::string &out, double coordinate)
{
    char buffer[400];
    out.append(buffer, formatFixed(buffer, coordinate, 4));
}

std::string CoordNumberText(double coordinate)
{
    return fixedWithComma(coordinate, 4);
}

void appendTimeText(std::string &out, std::string_view time)
{
    if (time.size() >= 4) {
        out += time.substr(0, 2);
        out += ':';
        out += time.substr(2, 2);
        out += ':';
        out += time.substr(4);
        return;
    }
    // Shorter texts as the insertion rule has it: a place past the end appends.
    std::string text(time);
    if (!text.empty()) {
        insertAt(text, 3, ':');
        insertAt(text, 6, ':');
    }
    out += text;
}

std::string TimeToText(std::string_view time)
{
    std::string text;
    appendTimeText(text, time);
    return text;
}

namespace {

Converted<std::int64_t> secondsOfDay(std::string_view time)
{
    std::int64_t seconds = 0;
    for (std::size_t start = 0; start < 6; start += 2) {
        const std::string_view part = start < time.size() ? time.substr(start, 2) : std::string_view();
        std::int64_t value = 0;
        if (!parseWholeNumber(part, value))
            return Converted<std::int64_t>::failure(part);
        seconds = seconds * 60 + value;
    }
    return seconds;
}

} // namespace

Converted<std::string> TimeSpanText(std::string_view first, std::string_view last)
{
    return TimeSpanText(first, last, std::nullopt);
}

Converted<std::string> TimeSpanText(std::string_view first, std::string_view last,
                                    std::optional<std::int64_t> days)
{
    const Converted<std::int64_t> from = secondsOfDay(first);
    if (!from.ok())
        return Converted<std::string>::failure(from.failedText());
    const Converted<std::int64_t> to = secondsOfDay(last);
    if (!to.ok())
        return Converted<std::string>::failure(to.failedText());

    constexpr std::int64_t kDay = 24 * 3600;
    std::int64_t span = to.value() - from.value();
    if (days && *days >= 0 && *days <= 100000 && span + *days * kDay >= 0)
        span += *days * kDay;
    else if (span < 0)
        span += kDay;
    const std::int64_t hours = span / 3600;
    const std::int64_t minutes = (span - 3600 * hours) / 60;
    const std::int64_t seconds = span - 3600 * hours - 60 * minutes;
    return " Time: " + std::to_string(hours) + "h " + std::to_string(minutes) + "m " + std::to_string(seconds)
           + "s";
}

std::optional<std::int64_t> RmcDayNumber(std::string_view line)
{
    // "$" and a two-letter talker in front of "RMC,".
    std::size_t at = line.find("RMC,");
    while (at != std::string_view::npos && (at < 3 || line[at - 3] != '$'))
        at = line.find("RMC,", at + 1);
    if (at == std::string_view::npos)
        return std::nullopt;
    FieldReader reader(line.substr(at + 4));
    std::string_view date;
    for (int field = 0; field < 9; ++field) // time, status, lat, N, lon, E, speed, course, date
        date = reader.next();
    if (date.size() != 6 || date.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const int day = (date[0] - '0') * 10 + (date[1] - '0');
    const int month = (date[2] - '0') * 10 + (date[3] - '0');
    const int twoDigitYear = (date[4] - '0') * 10 + (date[5] - '0');
    if (day < 1 || day > 31 || month < 1 || month > 12)
        return std::nullopt;
    // NMEA gives two digits; receivers older than 1980 do not exist.
    const std::int64_t year = twoDigitYear < 80 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
    // Days from the civil calendar date, March-based so that leap days come last.
    const std::int64_t y = month <= 2 ? year - 1 : year;
    const std::int64_t era = y / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

} // namespace navorel
