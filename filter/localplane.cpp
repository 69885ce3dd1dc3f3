#include "filter/localplane.h"

#include <cmath>
#include <numbers>

namespace navorel {

namespace {

constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kFlattening = 1.0 / 298.257223563;
constexpr double kEccentricitySquared = kFlattening * (2.0 - kFlattening);
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

double curvatureTerm(double latitude)
{
    const double s = std::sin(latitude * kRadiansPerDegree);
    return 1.0 - kEccentricitySquared * s * s;
}

} // namespace

LocalPlane::LocalPlane(double latitude, double longitude)
        : m_latitude(latitude), m_longitude(longitude),
          m_metresPerDegreeNorth(meridianRadius(latitude) * kRadiansPerDegree),
          m_metresPerDegreeEast(primeVerticalRadius(latitude) * std::cos(latitude * kRadiansPerDegree)
                                * kRadiansPerDegree)
{}

double LocalPlane::east(double longitude) const
{
    return longitudeDifference(m_longitude, longitude) * m_metresPerDegreeEast;
}

double LocalPlane::meridianRadius(double latitude)
{
    const double w = curvatureTerm(latitude);
    return kSemiMajorAxis * (1.0 - kEccentricitySquared) / (w * std::sqrt(w));
}

double LocalPlane::primeVerticalRadius(double latitude)
{
    return kSemiMajorAxis / std::sqrt(curvatureTerm(latitude));
}

double LocalPlane::longitudeDifference(double a, double b)
{
    double difference = b - a;
    // Fixes on both sides of the date line are metres apart, not 360 degrees.
    if (difference >= 180.0)
        difference -= 360.0;
    else if (difference < -180.0)
        difference += 360.0;
    return difference;
}

} // namespace navorel
