#include "serial/lineassembler.h"

namespace navorel {

void LineAssembler::feed(std::string_view bytes, std::vector<std::string> &lines)
{
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!m_partial.empty()) {
                lines.push_back(std::move(m_partial));
                m_partial.clear();
            }
        } else {
            m_partial += c;
        }
    }
}

} // namespace navorel
