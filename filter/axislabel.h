#pragma once

#include <string>

namespace navorel {

// The label of a position chart axis value, an NMEA coordinate number, in
// the form "##°##.0###": the whole degrees, the degree sign, two-digit
// minutes, a decimal comma and one to four decimals ("48°07,038" for
// 4807.038). Windows-1252.
std::string axisLabelText(double coordinate);

// The labels of an axis: count values, step apart, from first on.
struct AxisTicks
{
    double first = 0.0;
    double step = 1.0;
    int count = 0;
    double at(int index) const { return first + index * step; }
    bool operator==(const AxisTicks &) const = default;
};

// The ticks of an axis from low to high: the multiples of the finest step
// of 1, 2 or 5 times a power of ten, none finer than minimumStep, that puts
// at most maxTicks of them in the range. A range narrower than minimumStep
// may hold none; ends that are not finite hold none.
AxisTicks niceAxisTicks(double low, double high, int maxTicks, double minimumStep);

} // namespace navorel
