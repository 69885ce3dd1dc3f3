#include "filter/fixtimes.h"

namespace navorel {

namespace {

// A time of day more than half a day before the last one: the log went on
// into the next day.
bool passesMidnight(std::int32_t before, std::int32_t after)
{
    return before - after > 12 * 3600;
}

} // namespace

bool FixTimes::add(std::string_view time, std::size_t line)
{
    return add(time, line, AcceptedFixes::timeOfDay(time));
}

bool FixTimes::add(std::string_view time, std::size_t line, std::int32_t second)
{
    const bool firstKept = first.empty();
    if (firstKept) {
        first.assign(time);
        firstLine = line;
    }
    last.assign(time);
    lastLine = line;
    if (second != AcceptedFixes::kNoTime) {
        if (firstSecond == AcceptedFixes::kNoTime)
            firstSecond = second;
        else
            midnights += passesMidnight(lastSecond, second) ? 1 : 0;
        lastSecond = second;
    }
    return firstKept;
}

void FixTimes::shiftLines(std::size_t shift)
{
    if (!first.empty())
        firstLine += shift;
    if (lastLine != 0)
        lastLine += shift;
}

void FixTimes::follow(const FixTimes &later)
{
    if (first.empty() && !later.first.empty()) {
        first = later.first;
        firstLine = later.firstLine;
        firstDay = later.firstDay;
    }
    if (later.lastLine != 0) {
        last = later.last;
        lastLine = later.lastLine;
        lastDay = later.lastDay;
    }
    if (later.firstSecond != AcceptedFixes::kNoTime) {
        if (lastSecond != AcceptedFixes::kNoTime && passesMidnight(lastSecond, later.firstSecond))
            ++midnights;
        midnights += later.midnights;
        lastSecond = later.lastSecond;
    }
}

std::int64_t FixTimes::days() const
{
    if (firstLine == 0 || lastLine == 0 || !firstDay || !lastDay)
        return midnights;
    return *lastDay - *firstDay;
}

} // namespace navorel
