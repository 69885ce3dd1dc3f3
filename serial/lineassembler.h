#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace navorel {

// Turns received bytes into lines. A CR or an LF ends a line; blank lines
// are never made; the bytes after the last line end wait for the next call,
// across the end and a new start of receiving from the same source.
//
// A line longer than kLongestLine is no sentence (a peer that never sends a
// line break, noise on a line at the wrong baud rate): its first
// kLongestLine bytes are kept as a line and the rest up to the next line end
// is dropped, so that memory stays bounded however long it goes on.
class LineAssembler
{
public:
    static constexpr std::size_t kLongestLine = 64 * 1024;

    // Appends the lines the bytes complete, in the order received. Returns
    // how many lines were cut at kLongestLine in this call.
    std::size_t feed(std::string_view bytes, std::vector<std::string> &lines);
    // The source dropped, or another one opens: the unfinished line ends as
    // a line of its own, so that it cannot glue onto the first line of
    // another connection. Returns whether a line was added.
    bool endLine(std::vector<std::string> &lines);

    const std::string &partialLine() const { return m_partial; }
    // Inside the dropped rest of a line that was too long.
    bool droppingRest() const { return m_droppingRest; }

private:
    std::string m_partial;
    bool m_droppingRest = false;
};

} // namespace navorel
