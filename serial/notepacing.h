#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace navorel {

// How often a note that keeps coming back is said, so that a source that
// fails every few seconds for a day leaves a log one can read: a note is
// said the first time; the same note again once 5 s have passed, then after
// twice the last wait each time, at most every 5 min, saying how often it
// came meanwhile. A success in between (a line received) starts over.
class NotePacing
{
public:
    static constexpr std::int64_t kFirstWaitMs = 5'000;
    static constexpr std::int64_t kLongestWaitMs = 300'000;

    // The text to say now for the note, or empty when it is held back.
    std::string offer(std::string_view note, std::int64_t nowMs);
    void reset() { m_notes.clear(); }

private:
    struct Pace
    {
        std::int64_t saidAtMs = 0;
        std::int64_t waitMs = kFirstWaitMs;
        std::size_t heldBack = 0;
    };
    std::map<std::string, Pace, std::less<>> m_notes;
};

} // namespace navorel
