#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace navorel {

// Reads a whole number the way every number text of the program is read:
// optional leading blanks, an optional sign, decimal digits and nothing after
// them. Returns false for anything else, including a value beyond 64 bits.
bool parseWholeNumber(std::string_view text, std::int64_t &value);

// The message shown for a text that is not a whole number, in Windows-1252.
std::string notAWholeNumberMessage(std::string_view text);

// The result of a conversion that can meet a text that is not a number.
template <typename T> class Converted
{
public:
    Converted(T value) : m_value(value) {}
    static Converted failure(std::string_view text)
    {
        Converted converted(T{});
        converted.m_ok = false;
        converted.m_failedText = text;
        return converted;
    }

    bool ok() const { return m_ok; }
    T value() const { return m_value; }
    const std::string &failedText() const { return m_failedText; }
    std::string errorString() const { return notAWholeNumberMessage(m_failedText); }

private:
    T m_value;
    bool m_ok = true;
    std::string m_failedText;
};

// A whole number or the text that was not one.
Converted<std::int64_t> toWholeNumber(std::string_view text);

} // namespace navorel
