#pragma once

#include <cstddef>
#include <string_view>

namespace navorel {

// Walks the fields of a sentence. A field ends at "," or at the "*" that
// starts the checksum; after the "*" every further field is empty. Read
// for every sentence of a log: kept to a pointer walk.
class FieldReader
{
public:
    explicit FieldReader(std::string_view rest) : m_next(rest.data()), m_end(rest.data() + rest.size()) {}

    std::string_view next()
    {
        if (m_next == nullptr)
            return {};
        const char *p = m_next;
        while (p < m_end && *p != ',' && *p != '*')
            ++p;
        const std::string_view field(m_next, static_cast<std::size_t>(p - m_next));
        m_next = p < m_end && *p == ',' ? p + 1 : nullptr;
        return field;
    }

private:
    const char *m_next; // the next field, or null when the fields have ended
    const char *m_end;
};

} // namespace navorel
