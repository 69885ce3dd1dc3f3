#pragma once

#include <string_view>

namespace navorel {

// Walks the fields of a sentence. A field ends at "," or at the "*" that
// starts the checksum; after the "*" every further field is empty.
class FieldReader
{
public:
    explicit FieldReader(std::string_view rest) : m_rest(rest) {}

    std::string_view next()
    {
        if (m_ended)
            return {};
        std::size_t end = 0;
        while (end < m_rest.size() && m_rest[end] != ',' && m_rest[end] != '*')
            ++end;
        const std::string_view field = m_rest.substr(0, end);
        if (end == m_rest.size() || m_rest[end] == '*')
            m_ended = true;
        else
            m_rest.remove_prefix(end + 1);
        return field;
    }

private:
    std::string_view m_rest;
    bool m_ended = false;
};

} // namespace navorel
