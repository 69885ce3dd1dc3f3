#include "filter/codepage.h"

namespace navorel {

namespace {

// 0x80-0x9F of Windows-1252. The five unassigned bytes keep their C1 code
// points so that nothing is lost on the way.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

void appendUtf8(std::string &out, char16_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string windows1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out += c;
        else if (byte < 0xA0)
            appendUtf8(out, kHighControls[byte - 0x80]);
        else
            appendUtf8(out, byte);
    }
    return out;
}

std::string visibleText(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string visible;
    visible.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool hidden = byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F
                            || byte == 0x90 || byte == 0x9D;
        if (!hidden) {
            visible += c;
            continue;
        }
        visible += "\\x";
        visible += kHex[byte >> 4];
        visible += kHex[byte & 0xF];
    }
    return visible;
}

bool looksLikeUtf16(std::string_view head)
{
    head = head.substr(0, kUtf16HeadBytes);
    if (head.size() >= 2
        && ((head[0] == '\xFF' && head[1] == '\xFE') || (head[0] == '\xFE' && head[1] == '\xFF')))
        return true;
    // ASCII in UTF-16: the high byte of every character is NUL, on the even
    // places (big-endian) or the odd ones (little-endian); NULs everywhere are no text.
    if (head.size() < 8)
        return false;
    const std::size_t pairs = head.size() / 2;
    std::size_t evenNuls = 0, oddNuls = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        evenNuls += head[2 * i] == '\0';
        oddNuls += head[2 * i + 1] == '\0';
    }
    return (evenNuls == pairs) != (oddNuls == pairs);
}

} // namespace navorel
