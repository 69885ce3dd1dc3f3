#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "filter/acceptedfixes.h"
#include "filter/chartpoints.h"
#include "filter/localplane.h"
#include "filter/talkerhint.h"

namespace navorel {
namespace {

TEST(ChartPoints, FindsTheNearestPointWithinReach)
{
    const std::vector<PlanePoint> points = {{10, 10}, {20, 10}, {20, 30}, {20, 10}};
    const auto at = [&points](std::size_t i) { return points[i]; };
    const struct
    {
        PlanePoint target;
        double reach;
        std::optional<std::size_t> expected;
    } cases[] = {
        {{11, 11}, 8, 0},
        {{19, 12}, 8, 1}, // the first of two on one place
        {{15, 10}, 8, 0}, // as near to 0 as to 1: the first
        {{20, 25}, 8, 2},
        {{20, 25}, 4, std::nullopt},
        {{50, 50}, 8, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nearestPoint(points.size(), at, c.target, c.reach), c.expected)
            << c.target.x << "," << c.target.y;
    EXPECT_EQ(nearestPoint(0, at, {0, 0}, 100), std::nullopt);
}

TEST(ChartPoints, FindsTheBarUnderAMinute)
{
    // Ranges of 15 minutes; bars half as wide as their space.
    const std::vector<SatelliteBar> bars = {{15, 7}, {30, 8}, {60, 5}};
    const struct
    {
        double minute;
        std::optional<std::size_t> expected;
    } cases[] = {{15, 0}, {11.25, 0},         {18.75, 0}, {11, std::nullopt}, {19, std::nullopt},
                 {30, 1}, {45, std::nullopt}, {56.5, 2},  {64, std::nullopt}};
    for (const auto &c : cases)
        EXPECT_EQ(barAt(bars, c.minute, 3.75), c.expected) << c.minute;
    EXPECT_EQ(barAt({}, 15, 3.75), std::nullopt);
}

TEST(ChartPoints, NamesTheMinutesOfABar)
{
    const struct
    {
        SatelliteBar bar;
        double space;
        MinuteRange expected;
    } cases[] = {
        {{15, 7}, 15, {0, 15}},
        {{45, 7}, 15, {30, 45}},
        {{1, 5}, 1, {0, 1}},
        {{10, 5}, 30, {0, 10}}, // a first bar closer to 0 than the space
    };
    for (const auto &c : cases)
        EXPECT_EQ(barMinutes(c.bar, c.space), c.expected) << c.bar.rangeEnd;
}

TEST(ChartPoints, PlacesAFixInMetresFromTheMean)
{
    const LocalPlane plane(48.0, 11.0);
    const FixOffset offset = offsetFromMean(plane, 48.0 + 3.0 / plane.metresPerDegreeNorth(),
                                            11.0 - 4.0 / plane.metresPerDegreeEast());
    EXPECT_NEAR(offset.east, -4.0, 1e-9);
    EXPECT_NEAR(offset.north, 3.0, 1e-9);
    EXPECT_NEAR(offset.distance, 5.0, 1e-9);
}

TEST(ChartPoints, WritesATimeOfDay)
{
    EXPECT_EQ(secondsOfDayText(12 * 3600 + 35 * 60 + 19), "12:35:19");
    EXPECT_EQ(secondsOfDayText(0), "00:00:00");
    EXPECT_EQ(secondsOfDayText(86399), "23:59:59");
    EXPECT_EQ(secondsOfDayText(AcceptedFixes::kNoTime), "");
}

TEST(TalkerHint, NamesTheTalkerOfAReceiverThatSendsNoGpsOnlySentences)
{
    const struct
    {
        const char *log;
        const char *talker;
    } cases[] = {
        {"$GNRMC,123519,A,4807.038,N,01131.000,E,,,230394,,*00\r\n", "GN"},
        {"$GPGSV,3,1,11,01,40,083,46*00\r\n$GLGSA,A,3,65,,,,,,,,,,,,*00\r\n$GNGGA,1*00\r\n", "GL"},
        {"junk$GAGGA,1*00\n", "GA"},
        {"$GBRMC,1*00\r$GNRMC,1*00\r", "GB"},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,,,230394,,*00\r\n", ""},
        {"$GNx\r\n$GN\r\nGNRMC,1\r\n$gnrmc,1\r\n", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(otherGnssTalker(c.log), c.talker) << c.log;
    EXPECT_EQ(otherTalkerHint("GN"),
              "No $GP sentences: this receiver talks as $GN; choose every talker in Preferences");
}

} // namespace
} // namespace navorel
