#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace navorel {

// Turns received bytes into lines. A CR or an LF ends a line; blank lines
// are never made; the bytes after the last line end wait for the next call,
// across the end and a new start of receiving.
class LineAssembler
{
public:
    // Appends the lines the bytes complete, in the order received.
    void feed(std::string_view bytes, std::vector<std::string> &lines);
    const std::string &partialLine() const { return m_partial; }

private:
    std::string m_partial;
};

} // namespace navorel
