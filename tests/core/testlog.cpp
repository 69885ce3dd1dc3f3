#include "tests/core/testlog.h"

#include <cstdio>

namespace navorel::test {

TextLines linesOf(std::initializer_list<std::string_view> lines)
{
    TextLines result;
    for (const std::string_view line : lines)
        result.append(line);
    return result;
}

std::string sentence(std::string_view body)
{
    unsigned checksum = 0;
    for (const char c : body)
        checksum ^= static_cast<unsigned char>(c);
    char tail[4];
    std::snprintf(tail, sizeof tail, "%02X", checksum);
    std::string line = "$";
    line.append(body).append("*").append(tail);
    return line;
}

} // namespace navorel::test
