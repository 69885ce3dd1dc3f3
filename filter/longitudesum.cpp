#include "filter/longitudesum.h"

namespace navorel {

bool LongitudeSum::crossesDateLine() const
{
    // Both sides of the meridian, more than half a circle apart as they are,
    // less than half a circle apart counted eastward: the gap is round 0.
    return m_plainExtent.min < 0.0 && m_plainExtent.max >= 0.0
           && m_plainExtent.max - m_plainExtent.min > 180.0
           && m_eastwardExtent.max - m_eastwardExtent.min < 180.0;
}

double LongitudeSum::normalised(double longitude)
{
    if (longitude >= 180.0)
        return longitude - 360.0;
    if (longitude < -180.0)
        return longitude + 360.0;
    return longitude;
}

} // namespace navorel
