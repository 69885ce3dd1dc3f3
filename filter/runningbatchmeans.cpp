#include "filter/runningbatchmeans.h"

#include <cmath>

#include "filter/localplane.h"

namespace navorel {

namespace {

constexpr double kNanodegrees = 1e9;

std::int64_t nanodegrees(double degrees)
{
    return std::llround(degrees * kNanodegrees);
}

} // namespace

void RunningBatchMeans::add(double latitude, double longitude)
{
    if (size() == 0) {
        m_firstLatitude = latitude;
        m_firstLongitude = longitude;
    }
    m_northSums.push_back(m_northSums.back() + nanodegrees(latitude - m_firstLatitude));
    m_eastSums.push_back(m_eastSums.back()
                         + nanodegrees(LocalPlane::longitudeDifference(m_firstLongitude, longitude)));
}

std::vector<double> RunningBatchMeans::batchMeans(const std::vector<std::int64_t> &sums, std::size_t batches) const
{
    const std::size_t length = size() / batches;
    std::vector<double> means(batches);
    for (std::size_t b = 0; b < batches; ++b)
        means[b] = static_cast<double>(sums[(b + 1) * length] - sums[b * length])
                   / (kNanodegrees * static_cast<double>(length));
    return means;
}

MeanUncertainty RunningBatchMeans::uncertainty() const
{
    MeanUncertainty result;
    if (size() < 64)
        return result;
    const auto n = static_cast<double>(size());
    const double meanLatitude = m_firstLatitude + static_cast<double>(m_northSums.back()) / (kNanodegrees * n);
    const double meanLongitude = m_firstLongitude + static_cast<double>(m_eastSums.back()) / (kNanodegrees * n);
    const LocalPlane plane(meanLatitude, meanLongitude);
    const std::vector<double> north = batchMeans(m_northSums, 16);
    const std::vector<double> east = batchMeans(m_eastSums, 16);
    result.measured = true;
    result.northStandardError = standardErrorOfBatchMeans(north) * plane.metresPerDegreeNorth();
    result.eastStandardError = standardErrorOfBatchMeans(east) * plane.metresPerDegreeEast();
    result.settled = batchesSettled(lagOneCorrelation(north), lagOneCorrelation(batchMeans(m_northSums, 32)))
                     && batchesSettled(lagOneCorrelation(east), lagOneCorrelation(batchMeans(m_eastSums, 32)));
    result.r95 = r95OfStandardErrors(result.eastStandardError, result.northStandardError);
    return result;
}

} // namespace navorel
