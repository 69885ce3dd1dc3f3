#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "filter/altitudelist.h"
#include "filter/nmeafields.h"

namespace navorel {

// What a run keeps of every accepted fix, in log order: enough for the
// precision figures and the exports without reading the log again, in 24
// bytes a fix (two doubles, the time, and the date or the height).
class AcceptedFixes
{
public:
    static constexpr std::int32_t kNoTime = -1;
    static constexpr std::int32_t kNoDate = 0;

    std::vector<double> latitudes;   // decimal degrees, negative south
    std::vector<double> longitudes;  // negative west
    std::vector<std::int32_t> times; // seconds of the day, or kNoTime
    // One per fix in the mode whose sentence carries it, else empty:
    AltitudeList altitudes;          // GGA, metres above mean sea level; NaN when missing
    std::vector<std::int32_t> dates; // RMC, yyyymmdd; kNoDate when missing

    std::size_t size() const { return latitudes.size(); }
    bool empty() const { return latitudes.empty(); }

    void reserve(std::size_t count, bool gga);
    // Empties the lists and keeps their room.
    void clear();
    void add(double latitude, double longitude, const PositionFields &fields, bool gga);
    // The same with the time and date already read (timeOfDay, dateOf).
    void add(double latitude, double longitude, std::int32_t time, std::int32_t date,
             std::string_view altitude, bool gga);
    // Appends other's fixes and leaves other empty, its room kept.
    void append(AcceptedFixes &other);

    // hhmmss as seconds of the day; kNoTime for anything else.
    static std::int32_t timeOfDay(std::string_view hhmmss);
    // ddmmyy as yyyymmdd (years before 80 are 20xx); kNoDate for anything else.
    static std::int32_t dateOf(std::string_view ddmmyy);
    // Days since 1 March of year 0 for a yyyymmdd date.
    static std::int64_t dayNumber(std::int32_t yyyymmdd);
};

} // namespace navorel
