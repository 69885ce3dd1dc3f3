#pragma once

#include "filter/longitudesum.h"
#include "filter/textlines.h"

namespace navorel {

// The result of the last filter run, kept until the next run replaces it.
struct FilterResult
{
    TextLines nmeaCopy;       // the text as it was when the run started
    TextLines displayLines;   // "hh:mm:ss   lat   lon" per accepted fix
    TextLines dataLines;      // "hh:mm:ss;lat;lon;satellites" per $GPGSA after a fix
    TextLines rangeLines;     // "range end;mean satellites" per completed range
    double latitudeSum = 0.0; // decimal degrees of all accepted fixes
    LongitudeSum longitudeSum;

    // A result file read back brings its own sums, and nothing else.
    void replaceSums(double latitude, const LongitudeSum &longitude)
    {
        latitudeSum = latitude;
        longitudeSum = longitude;
    }
};

// One point of the position chart: latitude and longitude in decimal
// degrees, negative south and west.
struct PositionPoint
{
    double latitude = 0.0;
    double longitude = 0.0;
    bool operator==(const PositionPoint &) const = default;
};

// One bar of the satellites chart: the end of a time range in minutes and
// the mean number of active satellites in it.
struct SatelliteBar
{
    long long rangeEnd = 0;
    long long satellites = 0;
    bool operator==(const SatelliteBar &) const = default;
};

} // namespace navorel
