#include "filter/chartpoints.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "filter/acceptedfixes.h"

namespace navorel {

std::optional<std::size_t> barAt(const std::vector<SatelliteBar> &bars, double minute, double halfWidth)
{
    // The first bar whose right edge is not left of the minute.
    const auto first =
        std::lower_bound(bars.begin(), bars.end(), minute, [halfWidth](const SatelliteBar &bar, double at) {
            return static_cast<double>(bar.rangeEnd) + halfWidth < at;
        });
    if (first == bars.end() || static_cast<double>(first->rangeEnd) - halfWidth > minute)
        return std::nullopt;
    return static_cast<std::size_t>(first - bars.begin());
}

MinuteRange barMinutes(const SatelliteBar &bar, double barSpace)
{
    return {std::max(0LL, bar.rangeEnd - std::llround(barSpace)), bar.rangeEnd};
}

FixOffset offsetFromMean(const LocalPlane &plane, double latitude, double longitude)
{
    FixOffset offset;
    offset.east = plane.east(longitude);
    offset.north = plane.north(latitude);
    offset.distance = std::hypot(offset.east, offset.north);
    return offset;
}

std::string secondsOfDayText(std::int32_t seconds)
{
    if (seconds == AcceptedFixes::kNoTime || seconds < 0)
        return {};
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

} // namespace navorel
