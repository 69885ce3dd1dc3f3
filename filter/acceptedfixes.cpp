#include "filter/acceptedfixes.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace navorel {

namespace {

bool sixDigits(std::string_view text, int &a, int &b, int &c)
{
    if (text.size() != 6)
        return false;
    for (const char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
    }
    a = (text[0] - '0') * 10 + (text[1] - '0');
    b = (text[2] - '0') * 10 + (text[3] - '0');
    c = (text[4] - '0') * 10 + (text[5] - '0');
    return true;
}

double altitudeOf(std::string_view text)
{
    double value = std::numeric_limits<double>::quiet_NaN();
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()
        || !std::isfinite(value))
        return std::numeric_limits<double>::quiet_NaN();
    return value;
}

// Copied, so that a chunk scanned block after block keeps its room.
template <typename T> void appendList(std::vector<T> &into, std::vector<T> &from)
{
    into.insert(into.end(), from.begin(), from.end());
    from.clear();
}

} // namespace

void AcceptedFixes::reserve(std::size_t count, bool gga)
{
    latitudes.reserve(count);
    longitudes.reserve(count);
    times.reserve(count);
    if (gga)
        altitudes.reserve(count);
    else
        dates.reserve(count);
}

void AcceptedFixes::clear()
{
    latitudes.clear();
    longitudes.clear();
    times.clear();
    altitudes.clear();
    dates.clear();
}

void AcceptedFixes::add(double latitude, double longitude, const PositionFields &fields, bool gga)
{
    add(latitude, longitude, timeOfDay(fields.Time), gga ? kNoDate : dateOf(fields.Date), fields.Altitude,
        gga);
}

void AcceptedFixes::add(double latitude, double longitude, std::int32_t time, std::int32_t date,
                        std::string_view altitude, bool gga)
{
    latitudes.push_back(latitude);
    longitudes.push_back(longitude);
    times.push_back(time);
    if (gga)
        altitudes.push_back(altitudeOf(altitude));
    else
        dates.push_back(date);
}

void AcceptedFixes::append(AcceptedFixes &other)
{
    appendList(latitudes, other.latitudes);
    appendList(longitudes, other.longitudes);
    appendList(times, other.times);
    altitudes.append(other.altitudes);
    appendList(dates, other.dates);
}

std::int32_t AcceptedFixes::timeOfDay(std::string_view hhmmss)
{
    int hours = 0, minutes = 0, seconds = 0;
    // A leap second is added at the end of a day, 23:59:60; no other minute has a 60th second.
    if (!sixDigits(hhmmss, hours, minutes, seconds) || hours > 23 || minutes > 59 || seconds > 60
        || (seconds == 60 && (hours != 23 || minutes != 59)))
        return kNoTime;
    return hours * 3600 + minutes * 60 + seconds;
}

std::int32_t AcceptedFixes::dateOf(std::string_view ddmmyy)
{
    int day = 0, month = 0, year = 0;
    if (!sixDigits(ddmmyy, day, month, year) || day < 1 || day > 31 || month < 1 || month > 12)
        return kNoDate;
    year += year < 80 ? 2000 : 1900;
    return year * 10000 + month * 100 + day;
}

std::int64_t AcceptedFixes::dayNumber(std::int32_t date)
{
    // March-based, so that leap days come last.
    const std::int64_t month = date / 100 % 100;
    const std::int64_t y = date / 10000 - (month <= 2 ? 1 : 0);
    const std::int64_t era = y / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + date % 100 - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
}

} // namespace navorel
