#include "filter/axislabel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "filter/codepage.h"

namespace navorel {

std::string axisLabelText(double coordinate, int decimals)
{
    if (!std::isfinite(coordinate) || std::fabs(coordinate) >= 1e13)
        return {};
    decimals = std::clamp(decimals, 1, 4);
    long long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    // Whole units of the last decimal, so that a carry reaches the minutes
    // and the degrees.
    const long long units = std::llround(std::fabs(coordinate) * static_cast<double>(scale));
    std::array<char, 48> text{};
    const int length = std::snprintf(text.data(), text.size(), "%s%lld%c%02lld,%0*lld",
                                     coordinate < 0 && units != 0 ? "-" : "", units / (100 * scale),
                                     kDegreeSign, units / scale % 100, decimals, units % scale);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

double coordinateToMinutes(double coordinate)
{
    const double degrees = std::trunc(coordinate / 100.0);
    // A receiver's "4790.25" has no minute 90: it counts as the next degree.
    return degrees * 60.0 + std::clamp(coordinate - degrees * 100.0, -60.0, 60.0);
}

double minutesToCoordinate(double minutes)
{
    const double size = std::fabs(minutes);
    // A hair under a whole degree (rounding) is that degree.
    const double degrees = std::floor(size / 60.0 + 1e-12);
    const double coordinate = degrees * 100.0 + std::max(size - degrees * 60.0, 0.0);
    return minutes < 0 ? -coordinate : coordinate;
}

std::string axisLabelText(double coordinate)
{
    // Far beyond any coordinate; keeps the ten-thousandths well inside a long long.
    if (!std::isfinite(coordinate) || std::fabs(coordinate) >= 1e13)
        return {};
    // Rounded once, as a whole number, so that a carry out of the decimals
    // reaches the minutes and the degrees (4759.99996 reads 47°60,0, the
    // value the axis stands at, and 4799.99996 reads 48°00,0).
    const long long tenThousandths = std::llround(std::fabs(coordinate) * 10000.0);
    long long fraction = tenThousandths % 10000;
    int decimals = 4;
    while (decimals > 1 && fraction % 10 == 0) {
        fraction /= 10;
        --decimals;
    }
    std::array<char, 48> text{};
    const int length = std::snprintf(
        text.data(), text.size(), "%s%lld%c%02lld,%0*lld", coordinate < 0 && tenThousandths != 0 ? "-" : "",
        tenThousandths / 1000000, kDegreeSign, tenThousandths / 10000 % 100, decimals, fraction);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

namespace {

// The smallest of 1, 2, 5, 10, 20, 50, ... times a power of ten that is at least value.
double niceStepAtLeast(double value)
{
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        // log10 and pow may land a hair off a power of ten.
        if (factor * power >= value * (1.0 - 1e-9))
            return factor * power;
    }
    return 10.0 * power;
}

} // namespace

AxisTicks niceAxisTicks(double low, double high, int maxTicks, double minimumStep)
{
    if (!std::isfinite(low) || !std::isfinite(high) || !(minimumStep > 0.0) || maxTicks < 1)
        return {};
    if (high < low)
        std::swap(low, high);
    double step = niceStepAtLeast(std::max((high - low) / maxTicks, minimumStep));
    for (;;) {
        // Multiples of step are not exact in binary: a tick a hair outside
        // an end still counts.
        const double first = std::ceil(low / step - 1e-6);
        const double last = std::floor(high / step + 1e-6);
        if (last - first + 1 <= maxTicks)
            return {first * step, step, static_cast<int>(std::max(last - first + 1, 0.0))};
        step = niceStepAtLeast(step * 1.5);
    }
}

double MinuteAxis::coordinateAt(int index) const
{
    // A tick is a multiple of the step only up to binary rounding: 2879.9999999
    // minutes would read "47°60,0".
    double minutes = std::round(ticks.at(index) * 10000.0) / 10000.0;
    constexpr double kHalfCircle = 180.0 * 60.0;
    if (minutes > kHalfCircle)
        minutes -= 2 * kHalfCircle;
    return minutesToCoordinate(minutes);
}

MinuteAxis minuteAxis(double low, double high, int maxTicks, int minTicks)
{
    if (!std::isfinite(low) || !std::isfinite(high) || std::fabs(low) >= 1e11 || std::fabs(high) >= 1e11)
        return {};
    double from = std::min(low, high) * 60.0;
    double to = std::max(low, high) * 60.0;
    maxTicks = std::max(maxTicks, 2);
    // Four decimals of minutes are all a label shows.
    double step = niceStepAtLeast(std::max((to - from) / (maxTicks - 1), 0.0001));
    double first = 0;
    double last = 0;
    for (;;) {
        first = std::floor(from / step + 1e-6);
        last = std::ceil(to / step - 1e-6);
        if (last - first + 1 <= maxTicks)
            break;
        step = niceStepAtLeast(step * 1.5);
    }
    for (bool after = true; last - first + 1 < minTicks; after = !after)
        after ? ++last : --first;

    MinuteAxis axis;
    axis.ticks = {first * step, step, static_cast<int>(last - first + 1)};
    axis.low = first * step / 60.0;
    axis.high = last * step / 60.0;
    axis.decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 1, 4);
    return axis;
}

} // namespace navorel
