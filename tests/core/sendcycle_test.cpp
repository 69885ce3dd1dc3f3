#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/sendcycle.h"

namespace navorel {
namespace {

std::vector<std::string> ticks(SendCycle &cycle, const std::vector<std::string> &text, int count)
{
    std::vector<std::string> sent;
    for (int i = 0; i < count; ++i)
        sent.push_back(cycle.next(text.size(), [&](std::size_t index) { return text.at(index); }));
    return sent;
}

TEST(SendCycle, SendsEveryLineThenStartsAgain)
{
    SendCycle cycle;
    EXPECT_EQ(ticks(cycle, {"A", "B", "C"}, 5),
              (std::vector<std::string>{"A\r\n", "B\r\n", "C\r\n", "A\r\n", "B\r\n"}));
    cycle.restart();
    EXPECT_EQ(ticks(cycle, {"A", "B", "C"}, 1), (std::vector<std::string>{"A\r\n"}));
}

TEST(SendCycle, EmptyLinesAndAnEmptyTextSendCrLfAlone)
{
    SendCycle cycle;
    EXPECT_EQ(ticks(cycle, {"A", "", "C"}, 3), (std::vector<std::string>{"A\r\n", "\r\n", "C\r\n"}));
    EXPECT_EQ(ticks(cycle, {}, 2), (std::vector<std::string>{"\r\n", "\r\n"}));
    EXPECT_EQ(cycle.index(), 0u);
}

TEST(SendCycle, TextThatShrankWhileSendingWrapsAtItsNewEnd)
{
    SendCycle cycle;
    ticks(cycle, {"A", "B", "C", "D"}, 3);
    EXPECT_EQ(cycle.index(), 3u);
    // the index now lies past the end: an empty line, then the first line
    EXPECT_EQ(ticks(cycle, {"A", "B"}, 2), (std::vector<std::string>{"\r\n", "A\r\n"}));
}

} // namespace
} // namespace navorel
