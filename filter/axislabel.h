#pragma once

#include <string>

namespace navorel {

// The label of a position chart axis value, an NMEA coordinate number, in
// the form "##°##.0###": the whole degrees, the degree sign, two-digit
// minutes, a decimal comma and one to four decimals ("48°07,038" for
// 4807.038). Windows-1252.
std::string axisLabelText(double coordinate);
// The same with exactly decimals (1 to 4) decimals, so that every label of
// an axis reads alike.
std::string axisLabelText(double coordinate, int decimals);

// An NMEA coordinate number as minutes from 0 (4807.038 -> 2887.038) and back:
// the number jumps from 4759.99 to 4800, minutes do not.
double coordinateToMinutes(double coordinate);
double minutesToCoordinate(double minutes);

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

// A position chart axis over decimal degrees, labelled at round minutes:
// steps of 1, 2 or 5 times a power of ten minutes, the finest that puts at
// most maxTicks labels on it, then widened to at least minTicks. Its ends
// are its first and last label, so the data it was made for lies within;
// every label has the decimals the step needs. An axis of longitudes drawn
// on past 180 E (over the date line) labels them as western ones.
struct MinuteAxis
{
    double low = 0.0; // degrees of the ends
    double high = 0.0;
    AxisTicks ticks; // in minutes
    int decimals = 1;
    double degreesAt(int index) const { return ticks.at(index) / 60.0; }
    // The NMEA coordinate number a label shows.
    double coordinateAt(int index) const;
    std::string label(int index) const { return axisLabelText(coordinateAt(index), decimals); }
    bool operator==(const MinuteAxis &) const = default;
};
MinuteAxis minuteAxis(double low, double high, int maxTicks, int minTicks);

} // namespace navorel
