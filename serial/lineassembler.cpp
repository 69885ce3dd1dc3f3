#include "serial/lineassembler.h"

#include <algorithm>

namespace navorel {

namespace {

std::size_t lineEnd(std::string_view bytes, std::size_t from)
{
    const auto end = std::find_if(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(),
                                  [](char c) { return c == '\r' || c == '\n'; });
    return end == bytes.end() ? std::string_view::npos : static_cast<std::size_t>(end - bytes.begin());
}

} // namespace

std::size_t LineAssembler::feed(std::string_view bytes, std::vector<std::string> &lines)
{
    std::size_t cut = 0;
    std::size_t from = 0;
    while (from < bytes.size()) {
        const std::size_t end = lineEnd(bytes, from);
        const std::string_view piece = bytes.substr(from, end == std::string_view::npos ? end : end - from);
        if (!m_droppingRest) {
            const std::size_t room = kLongestLine - m_partial.size();
            if (piece.size() > room) {
                m_partial.append(piece.substr(0, room));
                lines.push_back(std::move(m_partial));
                m_partial.clear();
                m_droppingRest = true;
                ++cut;
            } else {
                m_partial.append(piece);
            }
        }
        if (end == std::string_view::npos)
            break;
        if (!m_partial.empty()) {
            lines.push_back(std::move(m_partial));
            m_partial.clear();
        }
        m_droppingRest = false;
        from = end + 1;
    }
    return cut;
}

bool LineAssembler::endLine(std::vector<std::string> &lines)
{
    m_droppingRest = false;
    if (m_partial.empty())
        return false;
    lines.push_back(std::move(m_partial));
    m_partial.clear();
    return true;
}

} // namespace navorel
