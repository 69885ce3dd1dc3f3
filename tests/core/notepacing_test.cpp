#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/notepacing.h"

namespace navorel {
namespace {

const std::string kClosed = "tcp://127.0.0.1:10110: The peer closed the connection; trying again every 5 s";
const std::string kRefused =
    "tcp://127.0.0.1:10110: still not back (Connection refused); trying again every 5 s";

TEST(NotePacing, RepeatsAreSaidAtGrowingIntervals)
{
    const struct
    {
        std::int64_t atSeconds;
        std::string note;
        std::string said;
    } steps[] = {
        {0, kClosed, kClosed},
        {5, kClosed, kClosed + " (again)"},
        {10, kClosed, ""},
        {15, kClosed, kClosed + " (2 times since it was last said)"},
        {20, kClosed, ""},
        {30, kClosed, ""},
        {35, kClosed, kClosed + " (3 times since it was last said)"},
        // another note is said at once, and paced on its own
        {36, kRefused, kRefused},
        {37, kRefused, ""},
        {40, kClosed, ""},
        {75, kClosed, kClosed + " (2 times since it was last said)"},
    };
    NotePacing pacing;
    for (const auto &step : steps)
        EXPECT_EQ(pacing.offer(step.note, step.atSeconds * 1000), step.said)
            << "at " << step.atSeconds << " s";
}

TEST(NotePacing, AFailureEveryFiveSecondsForADayGivesAFewHundredLines)
{
    NotePacing pacing;
    std::vector<std::int64_t> saidAt;
    for (std::int64_t second = 0; second < 86'400; second += 5) {
        if (!pacing.offer(kClosed, second * 1000).empty())
            saidAt.push_back(second);
    }
    EXPECT_LE(saidAt.size(), 300u);
    // never more than five minutes without a word
    for (std::size_t i = 1; i < saidAt.size(); ++i)
        EXPECT_LE(saidAt[i] - saidAt[i - 1], 300) << "after " << saidAt[i - 1] << " s";
}

TEST(NotePacing, ASuccessStartsOver)
{
    NotePacing pacing;
    EXPECT_EQ(pacing.offer(kClosed, 0), kClosed);
    EXPECT_EQ(pacing.offer(kClosed, 1000), "");
    pacing.reset();
    EXPECT_EQ(pacing.offer(kClosed, 2000), kClosed);
}

} // namespace
} // namespace navorel
