#include <gtest/gtest.h>

#include <string>

#include "filter/wholenumber.h"

namespace navorel {
namespace {

struct NumberCase
{
    const char *text;
    bool ok;
    std::int64_t value;
};

TEST(WholeNumber, ReadsSignsBlanksAndDigitsOnly)
{
    const NumberCase cases[] = {
        {"12", true, 12},
        {"  20", true, 20},
        {"-1", true, -1},
        {"+5", true, 5},
        {"007", true, 7},
        {"9223372036854775807", true, INT64_MAX},
        {"-9223372036854775808", true, INT64_MIN},
        {"9223372036854775808", false, 0},
        {"20 ", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"1a", false, 0},
        {"0x10", false, 0},
        {"$10", false, 0},
        {"4807.0380", false, 0},
        {"4807,0380", false, 0},
        {"\t5", false, 0},
    };
    for (const NumberCase &c : cases) {
        std::int64_t value = 0;
        EXPECT_EQ(parseWholeNumber(c.text, value), c.ok) << "'" << c.text << "'";
        if (c.ok) {
            EXPECT_EQ(value, c.value) << "'" << c.text << "'";
        }
    }
}

TEST(WholeNumber, MessageNamesTheTextInWindows1252)
{
    EXPECT_EQ(toWholeNumber("12a").errorString(), "'12a' ist kein g\xFCltiger Integerwert");
    EXPECT_EQ(toWholeNumber("").errorString(), "'' ist kein g\xFCltiger Integerwert");
    // control bytes show, a NUL cuts nothing short
    const std::string controls("4\0008\t\r\x7F\x81", 7);
    EXPECT_EQ(toWholeNumber(controls).errorString(),
              "'4\\x008\\x09\\x0D\\x7F\\x81' ist kein g\xFCltiger Integerwert");
}

} // namespace
} // namespace navorel
