#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "filter/acceptedfixes.h"

namespace navorel {

// What the time span of a run needs of its fixes' times: the first and the
// last time field, their lines and dates, and the midnights between them.
// A chunk of the log gathers its own; the merge joins them in log order.
struct FixTimes
{
    std::string first; // the first time field that is not empty
    std::size_t firstLine = 0;
    std::optional<std::int64_t> firstDay; // the date of that line, when it is an RMC one
    std::string last;                     // the time field of the last fix
    std::size_t lastLine = 0;
    std::optional<std::int64_t> lastDay;
    // Without dates, a midnight is where the time of day goes back by more
    // than half a day: the first and last readable time and the midnights
    // passed between them.
    std::int32_t firstSecond = AcceptedFixes::kNoTime;
    std::int32_t lastSecond = AcceptedFixes::kNoTime;
    std::int64_t midnights = 0;

    // A fix's time field at its line; true when it is the first one kept,
    // whose date the caller then gives (firstDay).
    bool add(std::string_view time, std::size_t line);
    // The same with the time field's seconds of the day already read (or kNoTime).
    bool add(std::string_view time, std::size_t line, std::int32_t second);
    // The lines were counted from a guess: moved by shift.
    void shiftLines(std::size_t shift);
    // The times of the chunk that follows in the log.
    void follow(const FixTimes &later);
    // The days from the first fix to the last: by their RMC dates where
    // both have one, else the midnights passed.
    std::int64_t days() const;
};

} // namespace navorel
