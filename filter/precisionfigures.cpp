#include "filter/precisionfigures.h"

#include <algorithm>
#include <cmath>

#include "filter/localplane.h"

namespace navorel {

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr auto kSquaredRadii = [] {
    std::array<double, PrecisionFigures::kSettleRadii.size()> squares{};
    for (std::size_t r = 0; r < squares.size(); ++r)
        squares[r] = PrecisionFigures::kSettleRadii[r] * PrecisionFigures::kSettleRadii[r];
    return squares;
}();

// Neumaier's compensated sum: millions of small offsets add up without the
// rounding of each addition piling up.
class ExactSum
{
public:
    void add(double value)
    {
        const double total = m_sum + value;
        if (std::fabs(m_sum) >= std::fabs(value))
            m_compensation += (m_sum - total) + value;
        else
            m_compensation += (value - total) + m_sum;
        m_sum = total;
    }
    double value() const { return m_sum + m_compensation; }

private:
    double m_sum = 0.0;
    double m_compensation = 0.0;
};

double sampleSigma(const ExactSum &sum, const ExactSum &squares, std::size_t count)
{
    if (count < 2)
        return 0.0;
    const double n = static_cast<double>(count);
    const double variance = (squares.value() - sum.value() * sum.value() / n) / (n - 1.0);
    return variance > 0.0 ? std::sqrt(variance) : 0.0;
}

// Seconds since the first timed fix, from each fix's own time field; a fix
// without one keeps the time before it. When every timed fix has its date
// (RMC) the days between count, as the report's time span counts them;
// else a day is added at every midnight, where the time of day goes back by
// more than half a day.
class FixClock
{
public:
    explicit FixClock(const AcceptedFixes &fixes) : m_times(fixes.times), m_dates(fixes.dates)
    {
        m_dated = !m_dates.empty();
        for (std::size_t i = 0; m_dated && i < m_times.size(); ++i)
            m_dated = m_times[i] == AcceptedFixes::kNoTime || m_dates[i] != AcceptedFixes::kNoDate;
    }

    double at(std::size_t i)
    {
        const std::int32_t time = i < m_times.size() ? m_times[i] : AcceptedFixes::kNoTime;
        if (time == AcceptedFixes::kNoTime)
            return m_last;
        if (!m_dated && m_previous != AcceptedFixes::kNoTime && m_previous - time > 12 * 3600)
            m_days += kSecondsPerDay;
        m_previous = time;
        const double absolute =
            m_dated ? static_cast<double>(AcceptedFixes::dayNumber(m_dates[i])) * kSecondsPerDay + time
                    : m_days + static_cast<double>(time);
        if (!m_started) {
            m_started = true;
            m_first = absolute;
        }
        m_last = absolute - m_first;
        if (m_last < 0 && !m_dated)
            m_last += kSecondsPerDay;
        return m_last;
    }
    bool started() const { return m_started; }
    double last() const { return m_last; }

private:
    const std::vector<std::int32_t> &m_times;
    const std::vector<std::int32_t> &m_dates;
    bool m_dated = false;
    bool m_started = false;
    std::int32_t m_previous = AcceptedFixes::kNoTime;
    double m_days = 0.0; // seconds of the midnights passed
    double m_first = 0.0;
    double m_last = 0.0;
};

void measureAltitude(const AltitudeList &altitudes, PrecisionFigures &figures)
{
    ExactSum sum;
    double origin = 0.0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < altitudes.size(); ++i) {
        const double altitude = altitudes[i];
        if (std::isnan(altitude))
            continue;
        if (count++ == 0)
            origin = altitude;
        sum.add(altitude - origin);
    }
    figures.altitudeFixes = count;
    if (count == 0)
        return;
    const double offset = sum.value() / static_cast<double>(count);
    figures.altitudeMean = origin + offset;
    ExactSum deviations;
    ExactSum squares;
    for (std::size_t i = 0; i < altitudes.size(); ++i) {
        const double altitude = altitudes[i];
        if (std::isnan(altitude))
            continue;
        const double deviation = (altitude - origin) - offset;
        deviations.add(deviation);
        squares.add(deviation * deviation);
    }
    figures.altitudeSigma = sampleSigma(deviations, squares, count);
}

} // namespace

PrecisionFigures measurePrecision(const AcceptedFixes &fixes, std::vector<ConvergencePoint> *curve)
{
    PrecisionFigures figures;
    const std::size_t n = fixes.size();
    figures.fixes = n;
    if (n == 0)
        return figures;

    // Centred on the first fix, the sums stay small and keep every digit.
    const double originLatitude = fixes.latitudes[0];
    const double originLongitude = fixes.longitudes[0];
    ExactSum latitudeSum;
    ExactSum longitudeSum;
    for (std::size_t i = 0; i < n; ++i) {
        latitudeSum.add(fixes.latitudes[i] - originLatitude);
        longitudeSum.add(LocalPlane::longitudeDifference(originLongitude, fixes.longitudes[i]));
    }
    const double count = static_cast<double>(n);
    figures.meanLatitude = originLatitude + latitudeSum.value() / count;
    figures.meanLongitude = originLongitude + longitudeSum.value() / count;
    if (figures.meanLongitude >= 180.0)
        figures.meanLongitude -= 360.0;
    else if (figures.meanLongitude < -180.0)
        figures.meanLongitude += 360.0;

    const LocalPlane plane(figures.meanLatitude, figures.meanLongitude);
    // Squared: the order is the same, and only the ranks taken need a root.
    std::vector<double> squaredDistances(n);
    ExactSum northSum, eastSum, northSquares, eastSquares;
    constexpr std::size_t kRadii = PrecisionFigures::kSettleRadii.size();
    // The last fix after which the running mean was still outside each radius.
    std::array<std::optional<std::size_t>, kRadii> lastOutside;
    if (curve != nullptr) {
        curve->clear();
        curve->reserve(n);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const double north = plane.north(fixes.latitudes[i]);
        const double east = plane.east(fixes.longitudes[i]);
        squaredDistances[i] = north * north + east * east;
        northSum.add(north);
        eastSum.add(east);
        northSquares.add(north * north);
        eastSquares.add(east * east);
        const double k = static_cast<double>(i + 1);
        const double meanNorth = northSum.value() / k;
        const double meanEast = eastSum.value() / k;
        const double awaySquared = meanNorth * meanNorth + meanEast * meanEast;
        for (std::size_t r = 0; r < kRadii; ++r) {
            if (awaySquared > kSquaredRadii[r])
                lastOutside[r] = i;
        }
        if (curve != nullptr)
            curve->push_back({0.0, std::sqrt(awaySquared)});
    }

    figures.sigmaNorth = sampleSigma(northSum, northSquares, n);
    figures.sigmaEast = sampleSigma(eastSum, eastSquares, n);
    figures.drms = std::hypot(figures.sigmaNorth, figures.sigmaEast);
    figures.twiceDrms = 2.0 * figures.drms;
    std::vector<double> &distances = squaredDistances;
    figures.maxDistance = std::sqrt(*std::max_element(distances.begin(), distances.end()));
    // Ranks ceil(0.95 n) and ceil(0.5 n), 1-based, in whole numbers.
    const std::size_t at95 = (95 * n + 99) / 100 - 1;
    const std::size_t at50 = (n + 1) / 2 - 1;
    std::nth_element(distances.begin(), distances.begin() + static_cast<std::ptrdiff_t>(at95),
                     distances.end());
    figures.cep95 = std::sqrt(distances[at95]);
    std::nth_element(distances.begin(), distances.begin() + static_cast<std::ptrdiff_t>(at50),
                     distances.begin() + static_cast<std::ptrdiff_t>(at95));
    figures.cep50 = std::sqrt(distances[at50]);

    FixClock clock(fixes);
    std::vector<double> seconds(kRadii, 0.0);
    std::array<std::size_t, kRadii> settledAt{};
    for (std::size_t r = 0; r < kRadii; ++r)
        settledAt[r] = lastOutside[r] ? *lastOutside[r] + 1 : 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double at = clock.at(i);
        if (curve != nullptr)
            (*curve)[i].seconds = at;
        for (std::size_t r = 0; r < kRadii; ++r) {
            if (settledAt[r] == i)
                seconds[r] = at;
        }
    }
    figures.timed = clock.started();
    figures.timeSpan = clock.last();
    for (std::size_t r = 0; r < kRadii; ++r) {
        // Settling at the last fix says nothing: the mean after it is the final mean.
        const bool reached = settledAt[r] + 1 < n || n == 1;
        if (figures.timed && reached)
            figures.settled[r] = seconds[r];
    }

    if (!fixes.altitudes.empty())
        measureAltitude(fixes.altitudes, figures);
    return figures;
}

} // namespace navorel
