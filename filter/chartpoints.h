#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "filter/filterresult.h"
#include "filter/localplane.h"

namespace navorel {

// What the charts name under the mouse: the point nearest to it, the bar
// it is over, and a fix as the precision page places it.

// A place in the plane the points are drawn in (pixels on the screen).
struct PlanePoint
{
    double x = 0.0;
    double y = 0.0;
};

// The index of the nearest of count points to target, within reach (in the
// plane's units); the first of equally near ones; none when none is that
// near. pointOf(i) gives point i in the plane, so no copy of the points in
// screen pixels is ever made.
template <class PointOf>
std::optional<std::size_t> nearestPoint(std::size_t count, PointOf pointOf, PlanePoint target, double reach)
{
    std::optional<std::size_t> nearest;
    double best = reach * reach;
    for (std::size_t i = 0; i < count; ++i) {
        const PlanePoint p = pointOf(i);
        const double dx = p.x - target.x;
        const double dy = p.y - target.y;
        const double squared = dx * dx + dy * dy;
        if (squared < best || (squared == best && !nearest)) {
            best = squared;
            nearest = i;
        }
    }
    return nearest;
}

// The bar among bars (sorted by their range's end) drawn over minute: a bar
// stands at its range's end and reaches halfWidth minutes to either side.
std::optional<std::size_t> barAt(const std::vector<SatelliteBar> &bars, double minute, double halfWidth);

// The minutes a bar stands for: from the end of the range before it (its
// range's end less the space from one bar to the next, never below 0) to
// its own end.
struct MinuteRange
{
    long long first = 0;
    long long last = 0;
    bool operator==(const MinuteRange &) const = default;
};
MinuteRange barMinutes(const SatelliteBar &bar, double barSpace);

// A fix as the precision page plots it: metres east and north of the mean
// the plane touches, and its distance from it.
struct FixOffset
{
    double east = 0.0;
    double north = 0.0;
    double distance = 0.0;
};
FixOffset offsetFromMean(const LocalPlane &plane, double latitude, double longitude);

// "12:35:19" for a time of day in seconds (AcceptedFixes::times); empty
// for a fix without a time.
std::string secondsOfDayText(std::int32_t seconds);

} // namespace navorel
