#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filter/codepage.h"
#include "filter/textlines.h"

namespace navorel {
namespace {

std::vector<std::string> linesIn(const TextLines &lines)
{
    std::vector<std::string> result;
    for (std::size_t i = 0; i < lines.size(); ++i)
        result.emplace_back(lines[i]);
    return result;
}

struct SplitCase
{
    std::string text;
    std::vector<std::string> lines;
};

TEST(TextLines, EveryKindOfLineBreakEndsOneLine)
{
    const SplitCase cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r", {"a"}},
        {"\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\nb\r\nc\rd", {"a", "b", "c", "d"}},
        {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
        // Long lines cross the sixteen-byte steps of the search.
        {std::string(40, 'x') + "\r\n" + std::string(17, 'y'), {std::string(40, 'x'), std::string(17, 'y')}},
    };
    for (const SplitCase &c : cases)
        EXPECT_EQ(linesIn(TextLines::fromText(c.text)), c.lines) << "text: " << c.text;
}

TEST(TextLines, JoinedPutsCrLfBetweenLinesOnly)
{
    EXPECT_EQ(TextLines::fromText("a\nb\rc\n").joined(), "a\r\nb\r\nc");
    EXPECT_EQ(TextLines::fromText("a\r\nb\r\n").joined(), "a\r\nb");
    EXPECT_EQ(TextLines::fromText("a\r\nb\r\n").withLineBreaks(), "a\r\nb\r\n");
    EXPECT_EQ(TextLines().joined(), "");
    EXPECT_EQ(TextLines().withLineBreaks(), "");
}

TEST(TextLines, LoneBreaksBecomeCrLfAsTheTextAreaHoldsAFile)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a\r\nb", "a\r\nb"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb\r", "a\r\nb\r\n"},
        {"a\n\rb", "a\r\n\r\nb"},
        {"a\r\r\n", "a\r\n\r\n"},
        {std::string(30, 'x') + "\n" + std::string(30, 'y'),
         std::string(30, 'x') + "\r\n" + std::string(30, 'y')},
    };
    for (const auto &[text, converted] : cases)
        EXPECT_EQ(withCrLfBreaks(text), converted) << text;
}

TEST(TextLines, JoinedViewNeedsNoCopyForCrLfText)
{
    const TextLines crLf = TextLines::fromText("a\r\nb\r\n");
    ASSERT_TRUE(crLf.joinedView().has_value());
    EXPECT_EQ(*crLf.joinedView(), "a\r\nb");
    EXPECT_FALSE(TextLines::fromText("a\nb").joinedView().has_value());
}

TEST(TextLines, AppendAfterTextWithoutFinalBreakStartsANewLine)
{
    TextLines lines = TextLines::fromText("a\nb");
    lines.append("c");
    lines.append("");
    EXPECT_EQ(linesIn(lines), (std::vector<std::string>{"a", "b", "c", ""}));
    EXPECT_EQ(lines.joined(), "a\r\nb\r\nc\r\n");
}

TEST(CodePage, Utf16TextIsToldFromEightBitText)
{
    const std::string rmc = "$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*1C\r\n";
    std::string little = "\xFF\xFE", big = "\xFE\xFF", littleBare, bigBare;
    for (const char c : rmc) {
        little += std::string{c, '\0'};
        big += std::string{'\0', c};
        littleBare += std::string{c, '\0'};
        bigBare += std::string{'\0', c};
    }
    const std::pair<std::string, bool> cases[] = {
        {little, true},
        {big, true},
        {littleBare, true},
        {bigBare, true},
        {rmc, false},
        {"", false},
        {std::string(64, '\0'), false},
        {"\xFF\xFE", true},
        {"$GP", false},
        {"\xB0\xB0\xB0 48\xB0 07,0380'", false},
    };
    for (const auto &[head, utf16] : cases)
        EXPECT_EQ(looksLikeUtf16(head), utf16) << visibleText(head);
}

} // namespace
} // namespace navorel
