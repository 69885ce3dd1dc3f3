#include "serial/notepacing.h"

#include <algorithm>

namespace navorel {

namespace {

// A source whose failures change their words each time should not make
// the list grow without end.
constexpr std::size_t kNotesKept = 32;

} // namespace

std::string NotePacing::offer(std::string_view note, std::int64_t nowMs)
{
    const auto known = m_notes.find(note);
    if (known == m_notes.end()) {
        if (m_notes.size() >= kNotesKept)
            m_notes.clear();
        m_notes.emplace(std::string(note), Pace{nowMs, kFirstWaitMs, 0});
        return std::string(note);
    }
    Pace &pace = known->second;
    if (nowMs - pace.saidAtMs < pace.waitMs) {
        ++pace.heldBack;
        return {};
    }
    const std::size_t times = pace.heldBack + 1;
    pace.saidAtMs = nowMs;
    pace.waitMs = std::min(pace.waitMs * 2, kLongestWaitMs);
    pace.heldBack = 0;
    return std::string(note)
           + (times == 1 ? std::string(" (again)")
                         : " (" + std::to_string(times) + " times since it was last said)");
}

} // namespace navorel
