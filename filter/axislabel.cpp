#include "filter/axislabel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "filter/codepage.h"

namespace navorel {

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

} // namespace navorel
