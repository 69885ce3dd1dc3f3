#include "filter/meanuncertainty.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "filter/hugepages.h"
#include "filter/localplane.h"

namespace navorel {

namespace {

constexpr std::size_t kBatches = 16;
constexpr std::size_t kCheckBatches = 32;
constexpr std::size_t kFewestValues = 4 * kBatches;
// Student's t at 97.5 % with 15 degrees of freedom: a 95 % interval of one mean.
constexpr double kStudent15 = 2.131449545559323;

// The means of batches of a series of sums.size() - 1 values: the first
// batches * floor(n / batches) of them, in order.
std::vector<double> meansOfBatches(std::span<const double> sums, std::size_t batches)
{
    const std::size_t length = (sums.size() - 1) / batches;
    std::vector<double> means(batches);
    for (std::size_t b = 0; b < batches; ++b)
        means[b] = (sums[(b + 1) * length] - sums[b * length]) / static_cast<double>(length);
    return means;
}

double meanOf(std::span<const double> values)
{
    double sum = 0.0;
    for (const double value : values)
        sum += value;
    return sum / static_cast<double>(values.size());
}

// Cumulative sums of a series, S[0] = 0, S[i + 1] = S[i] + x[i]: the batch
// means and every level of the Allan deviation come from differences of
// them. One buffer serves east, north and up in turn, kept from one call to
// the next (a live survey asks once a second), with huge pages advised: the
// first touch of each page of a fresh buffer costs more than the figures.
class CumulativeSums
{
public:
    template <typename Value> void fill(std::size_t count, const Value &valueAt)
    {
        if (m_capacity < count + 1) {
            m_capacity = std::max(count + 1, 2 * m_capacity);
            m_sums.reset(static_cast<double *>(
                std::aligned_alloc(kHugePageBytes, (m_capacity * sizeof(double) + kHugePageBytes - 1)
                                                       / kHugePageBytes * kHugePageBytes)));
            adviseHugePages(m_sums.get(), m_capacity * sizeof(double));
        }
        m_count = count;
        m_sums[0] = 0.0;
        for (std::size_t i = 0; i < count; ++i)
            m_sums[i + 1] = m_sums[i] + valueAt(i);
    }
    std::span<const double> sums() const { return {m_sums.get(), m_count + 1}; }

private:
    struct Free
    {
        void operator()(double *p) const { std::free(p); }
    };
    std::unique_ptr<double[], Free> m_sums;
    std::size_t m_capacity = 0;
    std::size_t m_count = 0;
};

} // namespace

double fQuantile95()
{
    return 7.0 * (std::pow(0.05, -1.0 / 7.0) - 1.0);
}

double lagOneCorrelation(std::span<const double> values)
{
    const double mean = meanOf(values);
    double products = 0.0;
    double squares = 0.0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double d = values[i] - mean;
        squares += d * d;
        if (i + 1 < values.size())
            products += d * (values[i + 1] - mean);
    }
    return squares > 0.0 ? products / squares : 0.0;
}

bool batchesSettled(double correlation16, double correlation32)
{
    return correlation16 < 0.5 && correlation32 < 2.0 / std::sqrt(static_cast<double>(kCheckBatches));
}

double standardErrorOfBatchMeans(std::span<const double> means)
{
    const double mean = meanOf(means);
    double squares = 0.0;
    for (const double m : means)
        squares += (m - mean) * (m - mean);
    const auto count = static_cast<double>(means.size());
    return std::sqrt(squares / (count - 1.0)) / std::sqrt(count);
}

double r95OfStandardErrors(double east, double north)
{
    const double pooled = (east * east + north * north) / 2.0;
    return std::sqrt(2.0 * fQuantile95() * 15.0 / 14.0) * std::sqrt(pooled);
}

namespace {

std::optional<BatchMeans> batchMeansOfSums(std::span<const double> sums)
{
    if (sums.size() - 1 < kFewestValues)
        return std::nullopt;
    const std::vector<double> means = meansOfBatches(sums, kBatches);
    BatchMeans result;
    result.standardError = standardErrorOfBatchMeans(means);
    result.correlation16 = lagOneCorrelation(means);
    result.correlation32 = lagOneCorrelation(meansOfBatches(sums, kCheckBatches));
    result.settled = batchesSettled(result.correlation16, result.correlation32);
    return result;
}

std::vector<double> allanOfSums(std::span<const double> sums)
{
    const std::size_t n = sums.size() - 1;
    std::size_t levels = 0;
    while (4 * (std::size_t{1} << levels) <= n)
        ++levels;
    // The difference of two consecutive means of m values, times m, comes
    // straight from the sums. Every level is taken over one stretch of the
    // sums after the other: level m reads the sums at j, j + m and j + 2m,
    // and the next level those at j, j + 2m and j + 4m, so that a stretch
    // stays in the cache for all levels.
    constexpr std::size_t kStretch = 1024;
    std::vector<double> squares(levels, 0.0);
    const double *const s = sums.data();
    for (std::size_t from = 0; from < n; from += kStretch) {
        for (std::size_t level = 0; level < levels; ++level) {
            const std::size_t m = std::size_t{1} << level;
            const std::size_t to = std::min(from + kStretch, n - 2 * m + 1);
            // Four sums side by side: one chain of additions would wait on itself.
            double part[4] = {0.0, 0.0, 0.0, 0.0};
            std::size_t j = from;
            for (; j + 4 <= to; j += 4) {
                for (std::size_t k = 0; k < 4; ++k) {
                    const double difference = s[j + k + 2 * m] - 2.0 * s[j + k + m] + s[j + k];
                    part[k] += difference * difference;
                }
            }
            for (; j < to; ++j) {
                const double difference = s[j + 2 * m] - 2.0 * s[j + m] + s[j];
                part[0] += difference * difference;
            }
            squares[level] += (part[0] + part[1]) + (part[2] + part[3]);
        }
    }
    std::vector<double> deviations(levels);
    for (std::size_t level = 0; level < levels; ++level) {
        const std::size_t m = std::size_t{1} << level;
        const double pairs = static_cast<double>(n - 2 * m + 1);
        deviations[level] = std::sqrt(squares[level] / (2.0 * pairs)) / static_cast<double>(m);
    }
    return deviations;
}

} // namespace

std::optional<BatchMeans> batchMeans(std::span<const double> series)
{
    CumulativeSums sums;
    sums.fill(series.size(), [&series](std::size_t i) { return series[i]; });
    return batchMeansOfSums(sums.sums());
}

std::vector<double> allanDeviations(std::span<const double> series)
{
    CumulativeSums sums;
    sums.fill(series.size(), [&series](std::size_t i) { return series[i]; });
    return allanOfSums(sums.sums());
}

double logMoreSeconds(double r95, double radius, double timeSpan)
{
    if (r95 <= radius)
        return 0.0;
    return std::ceil(timeSpan * (r95 / radius) * (r95 / radius) - timeSpan);
}

int degreeDecimals(double metres)
{
    constexpr double kMetresPerDegree = 111320.0;
    int decimals = 3;
    double unit = kMetresPerDegree / 1000.0;
    while (decimals < 9 && !(unit <= metres)) {
        ++decimals;
        unit /= 10.0;
    }
    return decimals;
}

MeanUncertainty measureUncertainty(const AcceptedFixes &fixes, const PrecisionFigures &figures)
{
    MeanUncertainty result;
    const double span = figures.timed ? figures.timeSpan : 0.0;
    result.timeSpan = span;
    if (figures.empty())
        return result;
    const std::size_t n = fixes.size();
    const LocalPlane plane(figures.meanLatitude, figures.meanLongitude);
    thread_local CumulativeSums sums;

    sums.fill(n, [&](std::size_t i) { return plane.east(fixes.longitudes[i]); });
    const std::vector<double> east = allanOfSums(sums.sums());
    const std::optional<BatchMeans> eastBatches = batchMeansOfSums(sums.sums());
    sums.fill(n, [&](std::size_t i) { return plane.north(fixes.latitudes[i]); });
    const std::vector<double> north = allanOfSums(sums.sums());
    const std::optional<BatchMeans> northBatches = batchMeansOfSums(sums.sums());
    // The heights of the GGA fixes that have one, a series of their own.
    std::size_t heights = 0;
    for (std::size_t i = 0; i < fixes.altitudes.size(); ++i)
        heights += std::isnan(fixes.altitudes[i]) ? 0 : 1;
    std::size_t next = 0;
    sums.fill(heights, [&](std::size_t) {
        while (std::isnan(fixes.altitudes[next]))
            ++next;
        return fixes.altitudes[next++] - figures.altitudeMean;
    });
    const std::vector<double> up = allanOfSums(sums.sums());
    const std::optional<BatchMeans> upBatches = batchMeansOfSums(sums.sums());

    if (n >= 8) {
        for (std::size_t level = 0; level < east.size(); ++level) {
            const double m = static_cast<double>(std::size_t{1} << level);
            AllanPoint point;
            point.tauSeconds = span > 0.0 ? m * span / static_cast<double>(n - 1) : m;
            point.east = east[level];
            point.north = north[level];
            if (level < up.size())
                point.altitude = up[level];
            result.allan.push_back(point);
        }
    }
    if (!eastBatches || !northBatches)
        return result;
    result.measured = true;
    result.eastStandardError = eastBatches->standardError;
    result.northStandardError = northBatches->standardError;
    result.settled = eastBatches->settled && northBatches->settled;
    result.r95 = r95OfStandardErrors(result.eastStandardError, result.northStandardError);
    result.batchSeconds = span / static_cast<double>(kBatches);
    if (upBatches && upBatches->settled)
        result.altitude95 = kStudent15 * upBatches->standardError;
    if (result.settled) {
        for (std::size_t r = 0; r < MeanUncertainty::kRadii.size(); ++r)
            result.logMore[r] = logMoreSeconds(result.r95, MeanUncertainty::kRadii[r], span);
    }
    return result;
}

} // namespace navorel
