#include "serial/sendcycle.h"

namespace navorel {

std::string SendCycle::next(std::size_t lineCount, const LineAt &lineAt)
{
    std::string bytes = m_index < lineCount ? lineAt(m_index) : std::string();
    bytes += "\r\n";
    ++m_index;
    if (m_index >= lineCount)
        m_index = 0;
    return bytes;
}

} // namespace navorel
