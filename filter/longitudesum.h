#pragma once

#include <limits>

namespace navorel {

// The longitudes of a run's fixes summed for their mean. A receiver near the
// date line sends 179.9999 E and 179.9999 W: their plain mean is 0, half the
// world away. When the fixes lie within a half circle that holds ±180 rather
// than 0, the mean is taken with the western longitudes counted past 180 E;
// everywhere else it is the plain mean, as it always was.
class LongitudeSum
{
public:
    void add(double longitude)
    {
        m_plain += longitude;
        const double eastward = longitude < 0.0 ? longitude + 360.0 : longitude;
        m_eastward += eastward;
        include(m_plainExtent, longitude);
        include(m_eastwardExtent, eastward);
    }
    // The classic sum of the longitudes as they are.
    double plain() const { return m_plain; }
    bool crossesDateLine() const;
    // The sum whose mean is the position: over the date line, of longitudes
    // in [0, 360), whose mean is then brought into [-180, 180).
    double sum() const { return crossesDateLine() ? m_eastward : m_plain; }
    // A value of the sum's kind (a mean of it) as a longitude in [-180, 180).
    static double normalised(double longitude);

    bool operator==(const LongitudeSum &) const = default;

private:
    struct Extent
    {
        double min = std::numeric_limits<double>::infinity();
        double max = -std::numeric_limits<double>::infinity();
        bool operator==(const Extent &) const = default;
    };
    static void include(Extent &extent, double value)
    {
        if (value < extent.min)
            extent.min = value;
        if (value > extent.max)
            extent.max = value;
    }

    double m_plain = 0.0;
    double m_eastward = 0.0;
    Extent m_plainExtent;
    Extent m_eastwardExtent;
};

} // namespace navorel
