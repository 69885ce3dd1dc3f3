#include "filter/wholenumber.h"

#include <limits>

#include "filter/codepage.h"

namespace navorel {

bool parseWholeNumber(std::string_view text, std::int64_t &value)
{
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == text.size())
        return false;

    // Accumulate as a negative number so that the lowest value fits too.
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    std::int64_t accumulated = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9')
            return false;
        const int digit = c - '0';
        if (accumulated < (lowest + digit) / 10)
            return false;
        accumulated = accumulated * 10 - digit;
    }
    if (!negative) {
        if (accumulated == lowest)
            return false;
        accumulated = -accumulated;
    }
    value = accumulated;
    return true;
}

std::string notAWholeNumberMessage(std::string_view text)
{
    std::string message = "'";
    message += visibleText(text);
    message += "' ist kein g\xFCltiger Integerwert";
    return message;
}

Converted<std::int64_t> toWholeNumber(std::string_view text)
{
    std::int64_t value = 0;
    if (parseWholeNumber(text, value))
        return value;
    return Converted<std::int64_t>::failure(text);
}

} // namespace navorel
