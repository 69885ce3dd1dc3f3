#pragma once

namespace navorel {

// A flat plane touching the WGS-84 ellipsoid at one point: over the few
// hundred metres a receiver wanders, metres north and east of that point
// follow from the radii of curvature there.
class LocalPlane
{
public:
    LocalPlane(double latitude, double longitude);

    double north(double latitude) const { return (latitude - m_latitude) * m_metresPerDegreeNorth; }
    double east(double longitude) const;
    double metresPerDegreeNorth() const { return m_metresPerDegreeNorth; }
    double metresPerDegreeEast() const { return m_metresPerDegreeEast; }

    // Radii of curvature at a latitude in degrees: meridian (M) and prime vertical (N).
    static double meridianRadius(double latitude);
    static double primeVerticalRadius(double latitude);
    // Longitude difference b - a brought into [-180, 180).
    static double longitudeDifference(double a, double b);

private:
    double m_latitude;
    double m_longitude;
    double m_metresPerDegreeNorth;
    double m_metresPerDegreeEast;
};

} // namespace navorel
