#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace navorel {

// Which line goes out at each tick when sending: the lines in turn, then
// the first again, without end. The line count is asked anew at every tick,
// so edits made while sending take effect.
class SendCycle
{
public:
    using LineAt = std::function<std::string(std::size_t index)>;

    void restart() { m_index = 0; }
    std::size_t index() const { return m_index; }

    // The bytes of the next tick: the line at the index followed by CR LF;
    // CR LF alone when the index is past the end of the text.
    std::string next(std::size_t lineCount, const LineAt &lineAt);

private:
    std::size_t m_index = 0;
};

} // namespace navorel
