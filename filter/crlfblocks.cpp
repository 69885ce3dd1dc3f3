#include "filter/crlfblocks.h"

#include <cstring>

namespace navorel {

namespace {

// True when every line break in the bytes is CR LF already. The bytes do not
// end in a CR: one there waits for the next block.
bool onlyCrLf(const char *bytes, std::size_t size)
{
    const char *end = bytes + size;
    for (const char *lf = bytes; (lf = static_cast<const char *>(std::memchr(lf, '\n', end - lf))); ++lf)
        if (lf == bytes || lf[-1] != '\r')
            return false;
    for (const char *cr = bytes; (cr = static_cast<const char *>(std::memchr(cr, '\r', end - cr))); ++cr)
        if (cr[1] != '\n')
            return false;
    return true;
}

// Every lone CR and lone LF made CR LF; out has room for twice the bytes.
std::size_t toCrLf(const char *bytes, std::size_t size, char *out)
{
    char *end = out;
    for (std::size_t i = 0; i < size; ++i) {
        const char byte = bytes[i];
        if (byte == '\r' || byte == '\n') {
            *end++ = '\r';
            *end++ = '\n';
            if (byte == '\r' && i + 1 < size && bytes[i + 1] == '\n')
                ++i;
        } else {
            *end++ = byte;
        }
    }
    return static_cast<std::size_t>(end - out);
}

} // namespace

CrLfBlocks::CrLfBlocks(std::size_t blockBytes) : m_blockBytes(blockBytes), m_block(new char[blockBytes + 1])
{}

std::string_view CrLfBlocks::convert(std::size_t size)
{
    char *bytes = block();
    if (m_carriedCr) {
        *--bytes = '\r';
        ++size;
    }
    m_carriedCr = size > 0 && bytes[size - 1] == '\r';
    if (m_carriedCr)
        --size;
    if (onlyCrLf(bytes, size))
        return {bytes, size};
    if (!m_converted)
        m_converted.reset(new char[2 * m_blockBytes + 2]);
    return {m_converted.get(), toCrLf(bytes, size, m_converted.get())};
}

} // namespace navorel
