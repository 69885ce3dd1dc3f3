#include "filter/logquality.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "filter/acceptedfixes.h"
#include "filter/fieldreader.h"

namespace navorel {

namespace {

constexpr std::int64_t kDay = 86'400'000;

// The milliseconds a time field (hhmmss.sss) has beyond its whole seconds.
int fractionOf(std::string_view field)
{
    int millisecond = 0;
    if (field.size() > 7 && field[6] == '.') {
        int scale = 100;
        for (std::size_t i = 7; i < field.size() && scale > 0; ++i, scale /= 10) {
            if (field[i] < '0' || field[i] > '9')
                break;
            millisecond += (field[i] - '0') * scale;
        }
    }
    return millisecond;
}

} // namespace

void TimeChecks::add(std::string_view timeField, std::optional<std::int64_t> day)
{
    add(AcceptedFixes::timeOfDay(timeField.substr(0, 6)), timeField, day);
}

void TimeChecks::add(std::int32_t second, std::string_view timeField, std::optional<std::int64_t> day)
{
    if (second == AcceptedFixes::kNoTime)
        return;
    const Instant now{std::int64_t{second} * 1000 + fractionOf(timeField), day.value_or(kNoDay)};
    if (m_started)
        addInterval(m_last, now);
    else
        m_first = now;
    m_started = true;
    m_last = now;
}

void TimeChecks::addInterval(const Instant &before, const Instant &after)
{
    std::int64_t interval = after.millisecond - before.millisecond;
    if (before.day != kNoDay && after.day != kNoDay)
        interval += (after.day - before.day) * kDay;
    else if (interval < -kDay / 2)
        interval += kDay; // the log went on past midnight
    if (interval < 0)
        ++m_backwards;
    else
        count(interval, 1);
}

void TimeChecks::count(std::int64_t interval, std::size_t times)
{
    if (interval == m_runInterval) {
        m_runCount += times;
        return;
    }
    if (m_runCount > 0) {
        const auto at =
            std::lower_bound(m_intervals.begin(), m_intervals.end(), m_runInterval,
                             [](const auto &entry, std::int64_t value) { return entry.first < value; });
        if (at != m_intervals.end() && at->first == m_runInterval)
            at->second += m_runCount;
        else
            m_intervals.insert(at, {m_runInterval, m_runCount});
    }
    m_runInterval = interval;
    m_runCount = times;
}

void TimeChecks::follow(const TimeChecks &later)
{
    if (!later.m_started)
        return;
    if (m_started)
        addInterval(m_last, later.m_first);
    else
        m_first = later.m_first;
    m_started = true;
    m_last = later.m_last;
    for (const auto &[interval, times] : later.intervals())
        count(interval, times);
    m_backwards += later.m_backwards;
}

std::vector<std::pair<std::int64_t, std::size_t>> TimeChecks::intervals() const
{
    TimeChecks copy = *this;
    copy.count(-1, 0); // puts the run going on into the table
    return copy.m_intervals;
}

std::int64_t TimeChecks::usualInterval() const
{
    const auto all = intervals();
    std::size_t total = 0;
    for (const auto &entry : all)
        total += entry.second;
    std::size_t seen = 0;
    for (const auto &[interval, times] : all) {
        seen += times;
        if (2 * seen >= total)
            return interval;
    }
    return 0;
}

std::size_t TimeChecks::gaps() const
{
    const std::int64_t usual = usualInterval();
    if (usual <= 0)
        return 0;
    std::size_t gaps = 0;
    for (const auto &[interval, times] : intervals())
        gaps += interval > 2 * usual ? times : 0;
    return gaps;
}

double TimeChecks::longestGapSeconds() const
{
    if (gaps() == 0)
        return 0.0;
    return static_cast<double>(intervals().back().first) / 1000.0;
}

ReceiverSigma::Sigmas ReceiverSigma::read(std::string_view sentence)
{
    FieldReader reader(sentence.substr(std::min<std::size_t>(sentence.size(), 6)));
    for (int field = 0; field < 6; ++field) // the rest of the head, time, RMS, the ellipse
        reader.next();
    Sigmas sigmas;
    for (double &sigma : sigmas) {
        const std::string_view text = reader.next();
        const auto read = std::from_chars(text.data(), text.data() + text.size(), sigma);
        if (text.empty() || read.ec != std::errc() || read.ptr != text.data() + text.size()
            || !std::isfinite(sigma) || sigma < 0.0)
            sigma = std::nan("");
    }
    return sigmas;
}

void ReceiverSigma::add(const Sigmas &sigmas)
{
    ++m_sentences;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        if (std::isnan(sigmas[axis]))
            continue;
        m_squares[axis] += sigmas[axis] * sigmas[axis];
        ++m_counts[axis];
    }
}

std::optional<double> ReceiverSigma::rms(std::size_t axis) const
{
    if (m_counts[axis] == 0)
        return std::nullopt;
    return std::sqrt(m_squares[axis] / static_cast<double>(m_counts[axis]));
}

namespace {

// "12.3" or "7": tenths of a knot, exactly, without reading a double; none
// for any other form (more decimals, a sign, an exponent).
std::optional<std::size_t> plainTenths(std::string_view knots)
{
    std::size_t whole = 0;
    std::size_t i = 0;
    for (; i < knots.size() && i < 6 && knots[i] >= '0' && knots[i] <= '9'; ++i)
        whole = whole * 10 + static_cast<std::size_t>(knots[i] - '0');
    if (i == 0)
        return std::nullopt;
    if (i == knots.size())
        return whole * 10;
    if (knots[i] != '.' || knots.size() > i + 2)
        return std::nullopt;
    if (i + 1 == knots.size())
        return whole * 10;
    const char tenth = knots[i + 1];
    if (tenth < '0' || tenth > '9')
        return std::nullopt;
    return whole * 10 + static_cast<std::size_t>(tenth - '0');
}

} // namespace

void SpeedCounts::add(std::string_view knots)
{
    // Most receivers write one decimal: read at once; the rest as numbers.
    std::size_t bin = 0;
    if (const std::optional<std::size_t> tenths = plainTenths(knots)) {
        bin = *tenths;
    } else {
        double speed = 0.0;
        const auto read = std::from_chars(knots.data(), knots.data() + knots.size(), speed);
        if (knots.empty() || read.ec != std::errc() || !std::isfinite(speed) || speed < 0.0)
            return;
        bin = static_cast<std::size_t>(std::min(speed * 10.0 + 0.5, static_cast<double>(kTenths)));
    }
    // As many bins as the fastest speed needs: a receiver standing still
    // fills a few, and a chunk of a few fixes costs no more.
    bin = std::min(bin, kTenths - 1);
    if (m_counts.size() <= bin)
        m_counts.resize(bin + 1, 0);
    ++m_counts[bin];
    ++m_total;
}

void SpeedCounts::follow(const SpeedCounts &later)
{
    if (later.m_total == 0)
        return;
    if (m_counts.size() < later.m_counts.size())
        m_counts.resize(later.m_counts.size(), 0);
    for (std::size_t i = 0; i < later.m_counts.size(); ++i)
        m_counts[i] += later.m_counts[i];
    m_total += later.m_total;
}

std::optional<double> SpeedCounts::medianKnots() const
{
    std::size_t seen = 0;
    for (std::size_t i = 0; i < m_counts.size(); ++i) {
        seen += m_counts[i];
        if (2 * seen >= m_total && m_total > 0)
            return static_cast<double>(i) / 10.0;
    }
    return std::nullopt;
}

void LogQuality::follow(const LogQuality &later)
{
    for (std::size_t i = 0; i < kFixClasses; ++i)
        fixClasses[i] += later.fixClasses[i];
    belowMinimum += later.belowMinimum;
    checksumErrors += later.checksumErrors;
    withoutChecksum += later.withoutChecksum;
    impossiblePositions += later.impossiblePositions;
    times.follow(later.times);
    speeds.follow(later.speeds);
}

std::size_t LogQuality::classesSeen() const
{
    std::size_t seen = 0;
    for (const std::size_t count : fixClasses)
        seen += count > 0 ? 1 : 0;
    return seen;
}

bool receiverMoved(const PrecisionFigures &figures, const LogQuality &quality)
{
    const std::optional<double> speed = quality.speeds.medianKnots();
    return (!figures.empty() && figures.cep95 > 50.0) || (speed && *speed > 1.0);
}

std::vector<LogQuality::Note> LogQuality::leftOut(MinQuality minimum) const
{
    const auto count = [](std::size_t n, const char *one, const char *many) {
        return std::to_string(n) + ' ' + (n == 1 ? one : many);
    };
    std::vector<Note> notes;
    if (checksumErrors > 0)
        notes.push_back({count(checksumErrors, "sentence", "sentences") + " with a wrong checksum left out",
                         "--checksums ignore"});
    if (impossiblePositions > 0)
        notes.push_back({count(impossiblePositions, "fix", "fixes")
                             + " at an impossible position left out (beyond a pole, or 60 minutes or more)",
                         "--checksums ignore"});
    if (belowMinimum > 0)
        notes.push_back({count(belowMinimum, "fix", "fixes") + " below the minimum quality "
                             + std::string(minQualityText(minimum)) + " left out",
                         "--min-quality any"});
    return notes;
}

} // namespace navorel
