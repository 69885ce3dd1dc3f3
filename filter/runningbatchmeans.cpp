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

void RunningBatchMeans::batchMeans(const std::vector<std::int64_t> &sums, std::span<double> means) const
{
    const std::size_t length = size() / means.size();
    for (std::size_t b = 0; b < means.size(); ++b)
        means[b] = static_cast<double>(sums[(b + 1) * length] - sums[b * length])
                   / (kNanodegrees * static_cast<double>(length));
}

MeanUncertainty RunningBatchMeans::uncertainty() const
{
    MeanUncertainty result;
    if (size() < 64)
        return result;
    const auto n = static_cast<double>(size());
    const double meanLatitude =
        m_firstLatitude + static_cast<double>(m_northSums.back()) / (kNanodegrees * n);
    const double meanLongitude =
        m_firstLongitude + static_cast<double>(m_eastSums.back()) / (kNanodegrees * n);
    if (!m_scaleLatitude || std::abs(meanLatitude - *m_scaleLatitude) > 1e-4) {
        const LocalPlane plane(meanLatitude, meanLongitude);
        m_scaleLatitude = meanLatitude;
        m_metresNorth = plane.metresPerDegreeNorth();
        m_metresEast = plane.metresPerDegreeEast();
    }
    std::array<double, 16> north{};
    std::array<double, 16> east{};
    std::array<double, 32> north32{};
    std::array<double, 32> east32{};
    batchMeans(m_northSums, north);
    batchMeans(m_eastSums, east);
    batchMeans(m_northSums, north32);
    batchMeans(m_eastSums, east32);
    result.measured = true;
    result.northStandardError = standardErrorOfBatchMeans(north) * m_metresNorth;
    result.eastStandardError = standardErrorOfBatchMeans(east) * m_metresEast;
    result.settled = batchesSettled(lagOneCorrelation(north), lagOneCorrelation(north32))
                     && batchesSettled(lagOneCorrelation(east), lagOneCorrelation(east32));
    result.r95 = r95OfStandardErrors(result.eastStandardError, result.northStandardError);
    return result;
}

} // namespace navorel
