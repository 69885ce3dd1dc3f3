#include "filter/textlines.h"

#include <cstring>

#include "filter/hugepages.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace navorel {

std::size_t findLineBreak(const char *data, std::size_t pos, std::size_t size)
{
#if defined(__SSE2__)
    // Sixteen bytes at a time: logs are megabytes of short lines, and a
    // bytewise test for two characters is the slowest part of reading them.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (pos + 16 <= size) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + pos));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf)));
        if (mask != 0)
            return pos + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        pos += 16;
    }
#endif
    for (; pos < size; ++pos) {
        if (data[pos] == '\r' || data[pos] == '\n')
            return pos;
    }
    return size;
}

std::string withCrLfBreaks(std::string text)
{
    const char *data = text.data();
    const std::size_t size = text.size();
    std::size_t lone = 0;
    for (std::size_t pos = findLineBreak(data, 0, size); pos < size; pos = findLineBreak(data, pos, size)) {
        lone += isCrLfAt(data, pos, size) ? 0 : 1;
        pos = afterLineBreak(data, pos, size);
    }
    if (lone == 0)
        return text;

    std::string converted;
    converted.reserve(size + lone);
    std::size_t start = 0;
    while (start < size) {
        const std::size_t pos = findLineBreak(data, start, size);
        converted.append(data + start, pos - start);
        if (pos == size)
            break;
        converted += "\r\n";
        start = afterLineBreak(data, pos, size);
    }
    return converted;
}

TextLines TextLines::fromText(std::string text)
{
    TextLines lines;
    lines.m_text = std::move(text);
    const char *data = lines.m_text.data();
    const std::size_t size = lines.m_text.size();
    // About one line per 64 bytes in receiver logs; saves most regrowths.
    lines.m_starts.reserve(size / 48 + 1);

    std::size_t start = 0;
    while (start < size) {
        lines.m_starts.push_back(start);
        std::size_t pos = findLineBreak(data, start, size);
        if (pos == size)
            break;
        lines.m_onlyCrLf = lines.m_onlyCrLf && isCrLfAt(data, pos, size);
        start = afterLineBreak(data, pos, size);
    }
    return lines;
}

std::size_t TextLines::lineEnd(std::size_t index) const
{
    const std::size_t next = index + 1 < m_starts.size() ? m_starts[index + 1] : m_text.size();
    std::size_t end = next;
    const char *data = m_text.data();
    const std::size_t start = m_starts[index];
    if (end > start && (data[end - 1] == '\n' || data[end - 1] == '\r')) {
        --end;
        if (data[end] == '\n' && end > start && data[end - 1] == '\r')
            --end;
    }
    return end;
}

std::string_view TextLines::operator[](std::size_t index) const
{
    const std::size_t start = m_starts[index];
    return std::string_view(m_text.data() + start, lineEnd(index) - start);
}

void TextLines::append(std::string_view line)
{
    // A last line read from a text without a final break gets one first.
    if (!m_starts.empty() && lineEnd(m_starts.size() - 1) == m_text.size())
        m_text += "\r\n";
    m_starts.push_back(m_text.size());
    m_text.append(line);
    m_text += "\r\n";
}

void TextLines::append(const TextLines &other)
{
    if (other.empty())
        return;
    const bool endsInBreak = m_starts.empty() || lineEnd(m_starts.size() - 1) + 2 == m_text.size();
    const bool otherEndsInBreak = other.lineEnd(other.size() - 1) + 2 == other.m_text.size();
    if (!(m_onlyCrLf && endsInBreak && other.m_onlyCrLf && otherEndsInBreak)) {
        for (std::size_t i = 0; i < other.size(); ++i)
            append(other[i]);
        return;
    }
    // Both hold lines in the written form: one copy of the bytes will do.
    const std::size_t offset = m_text.size();
    m_text += other.m_text;
    m_starts.reserve(m_starts.size() + other.m_starts.size());
    for (const std::size_t start : other.m_starts)
        m_starts.push_back(start + offset);
}

void TextLines::reserve(std::size_t lines, std::size_t bytes)
{
    m_starts.reserve(lines);
    m_text.reserve(bytes);
    adviseHugePages(m_starts.data(), m_starts.capacity() * sizeof(std::size_t));
    adviseHugePages(m_text.data(), m_text.capacity());
}

void TextLines::clear()
{
    m_text.clear();
    m_starts.clear();
    m_onlyCrLf = true;
}

std::optional<std::string_view> TextLines::joinedView() const
{
    if (m_starts.empty())
        return std::string_view();
    if (!m_onlyCrLf)
        return std::nullopt;
    return std::string_view(m_text.data(), lineEnd(m_starts.size() - 1));
}

std::string TextLines::joined() const
{
    if (m_starts.empty())
        return {};
    if (m_onlyCrLf) {
        const std::size_t end = lineEnd(m_starts.size() - 1);
        return std::string(m_text, 0, end);
    }
    std::string text;
    text.reserve(m_text.size() + m_starts.size());
    for (std::size_t i = 0; i < m_starts.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += (*this)[i];
    }
    return text;
}

std::optional<std::string_view> TextLines::withLineBreaksView() const
{
    if (m_starts.empty())
        return std::string_view();
    if (m_onlyCrLf && lineEnd(m_starts.size() - 1) + 2 == m_text.size())
        return std::string_view(m_text);
    return std::nullopt;
}

std::string TextLines::withLineBreaks() const
{
    std::string text;
    appendWithLineBreaks(text);
    return text;
}

void TextLines::appendWithLineBreaks(std::string &out) const
{
    if (m_starts.empty())
        return;
    // Lines added one by one already sit in the buffer in the written form.
    if (const std::optional<std::string_view> view = withLineBreaksView()) {
        out += *view;
        return;
    }
    for (std::size_t i = 0; i < m_starts.size(); ++i) {
        out += (*this)[i];
        out += "\r\n";
    }
}

} // namespace navorel
