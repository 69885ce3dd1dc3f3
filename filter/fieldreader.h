#pragma once

#include <cstddef>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace navorel {

// Walks the fields of a sentence. A field ends at "," or at the "*" that
// starts the checksum; after the "*" every further field is empty. Read
// for every sentence of a log: kept to a pointer walk, sixteen bytes at a
// time where the sentence goes on that far.
class FieldReader
{
public:
    explicit FieldReader(std::string_view rest) : m_next(rest.data()), m_end(rest.data() + rest.size()) {}

    std::string_view next()
    {
        if (m_next == nullptr)
            return {};
        const char *p = fieldEnd(m_next);
        const std::string_view field(m_next, static_cast<std::size_t>(p - m_next));
        m_next = p < m_end && *p == ',' ? p + 1 : nullptr;
        return field;
    }

private:
    const char *fieldEnd(const char *p) const
    {
#if defined(__SSE2__)
        if (m_end - p >= 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(',')),
                                                            _mm_cmpeq_epi8(bytes, _mm_set1_epi8('*'))));
            if (mask != 0)
                return p + __builtin_ctz(static_cast<unsigned>(mask));
            p += 16;
        }
#endif
        while (p < m_end && *p != ',' && *p != '*')
            ++p;
        return p;
    }

    const char *m_next; // the next field, or null when the fields have ended
    const char *m_end;
};

} // namespace navorel
