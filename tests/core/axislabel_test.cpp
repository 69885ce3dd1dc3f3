#include <gtest/gtest.h>

#include <limits>

#include "filter/axislabel.h"

namespace navorel {
namespace {

struct LabelCase
{
    double coordinate;
    const char *label; // Windows-1252: \xB0 is the degree sign
};

TEST(AxisLabel, WritesDegreesMinutesAndOneToFourDecimals)
{
    const LabelCase cases[] = {
        {4807.038, "48\xB0"
                   "07,038"},
        {1131, "11\xB0"
               "31,0"},
        {807.5, "8\xB0"
                "07,5"},
        {4807.1, "48\xB0"
                 "07,1"},
        {18000, "180\xB0"
                "00,0"},
        {5.25, "0\xB0"
               "05,25"},
        {30, "0\xB0"
             "30,0"},
        {0, "0\xB0"
            "00,0"},
        {-3351.1234, "-33\xB0"
                     "51,1234"},
        {-30, "-0\xB0"
              "30,0"},
    };
    for (const LabelCase &c : cases)
        EXPECT_EQ(axisLabelText(c.coordinate), c.label) << c.coordinate;
}

TEST(AxisLabel, RoundsAtTheFourthDecimalWithCarry)
{
    const LabelCase cases[] = {
        {4807.03806, "48\xB0"
                     "07,0381"},
        {4807.03804, "48\xB0"
                     "07,038"},
        {4807.00004, "48\xB0"
                     "07,0"},
        {4807.09996, "48\xB0"
                     "07,1"},
        // The axis is linear in the coordinate number: 4760 is a value of its
        // own, written as it stands, not read as 48 degrees.
        {4759.99996, "47\xB0"
                     "60,0"},
        {4799.99996, "48\xB0"
                     "00,0"},
        {-3359.99999, "-33\xB0"
                      "60,0"},
        {-0.00004, "0\xB0"
                   "00,0"},
    };
    for (const LabelCase &c : cases)
        EXPECT_EQ(axisLabelText(c.coordinate), c.label) << c.coordinate;
}

TEST(AxisLabel, NonFiniteValuesHaveNoLabel)
{
    EXPECT_EQ(axisLabelText(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(axisLabelText(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(axisLabelText(1e300), "");
}

struct TicksCase
{
    double low;
    double high;
    int maxTicks;
    double minimumStep;
    double first; // expected
    double step;
    int count;
};

TEST(AxisTicks, RoundStepsInsideTheRangeNoFinerThanAllowed)
{
    const TicksCase cases[] = {
        {0, 100, 6, 1, 0, 20, 6},
        {3, 97, 10, 1, 10, 10, 9},
        {0.5, 10.5, 10, 1, 1, 1, 10},
        {0.5, 11.5, 10, 1, 2, 2, 5}, // steps of 1 would make 11 ticks
        {7.5, 682.5, 8, 1, 100, 100, 6},
        {7.5, 22.5, 4, 1, 10, 5, 3},
        {14, 16, 8, 1, 14, 1, 3}, // no finer than a whole minute
        {4807.0379, 4807.0383, 10, 0.0001, 4807.0379, 0.0001, 5},
        {4807.0318, 4807.0467, 6, 0.0001, 4807.035, 0.005, 3},
        {-3351.2, -3350.1, 6, 0.0001, -3351.2, 0.2, 6},
        {-3351.2, 1131.7, 6, 0.0001, -3000, 1000, 5},
        {20, 10, 4, 1, 10, 5, 3}, // inverted ends are turned round
    };
    for (const TicksCase &c : cases) {
        const AxisTicks ticks = niceAxisTicks(c.low, c.high, c.maxTicks, c.minimumStep);
        SCOPED_TRACE(testing::Message() << c.low << ".." << c.high << " at most " << c.maxTicks << " -> "
                                        << ticks.count << " from " << ticks.first << " step " << ticks.step);
        EXPECT_NEAR(ticks.first, c.first, c.step * 1e-6);
        EXPECT_NEAR(ticks.step, c.step, c.step * 1e-9);
        EXPECT_EQ(ticks.count, c.count);
    }
}

TEST(AxisTicks, NeighbouringTicksReadDifferently)
{
    // A position chart zoomed to a few fixes: labels a minimum step apart.
    const AxisTicks ticks = niceAxisTicks(4807.03796, 4807.03814, 10, 0.0001);
    ASSERT_GE(ticks.count, 2);
    for (int i = 1; i < ticks.count; ++i)
        EXPECT_NE(axisLabelText(ticks.at(i - 1)), axisLabelText(ticks.at(i))) << i;
}

struct MinuteAxisCase
{
    double low;
    double high;
    int maxTicks;
    const char *labels; // Windows-1252, one blank between two
};

TEST(MinuteAxis, RoundMinutesWithTheDecimalsOfTheStep)
{
    const MinuteAxisCase cases[] = {
        // The empty chart: no minute past 59.
        {0, 100, 5,
         "0\xB0"
         "00,0 0\xB0"
         "20,0 0\xB0"
         "40,0 1\xB0"
         "00,0"},
        // One decimal count for all, none trimmed.
        {1131, 1131.008, 5,
         "11\xB0"
         "31,000 11\xB0"
         "31,002 11\xB0"
         "31,004 11\xB0"
         "31,006 11\xB0"
         "31,008"},
        // Across a whole degree the minutes run on.
        {4759.99, 4800.01, 5,
         "47\xB0"
         "59,990 47\xB0"
         "59,995 48\xB0"
         "00,000 48\xB0"
         "00,005 48\xB0"
         "00,010"},
        // Too little room still gets four labels.
        {4807.0381, 4807.0382, 2,
         "48\xB0"
         "07,0378 48\xB0"
         "07,0380 48\xB0"
         "07,0382 48\xB0"
         "07,0384"},
        {-3351.2, -3350.1, 6,
         "-33\xB0"
         "51,5 -33\xB0"
         "51,0 -33\xB0"
         "50,5 -33\xB0"
         "50,0"},
    };
    for (const MinuteAxisCase &c : cases) {
        // The chart's values are degrees; the cases read better as coordinate numbers.
        const double low = coordinateToMinutes(c.low) / 60.0;
        const double high = coordinateToMinutes(c.high) / 60.0;
        const MinuteAxis axis = minuteAxis(low, high, c.maxTicks, 4);
        std::string labels;
        for (int i = 0; i < axis.ticks.count; ++i) {
            if (i > 0)
                labels += ' ';
            labels += axis.label(i);
        }
        EXPECT_EQ(labels, c.labels) << c.low << ".." << c.high;
        // A hair inside where a label is a hair off a multiple of its step.
        EXPECT_LE(axis.low, low + 1e-12) << c.low;
        EXPECT_GE(axis.high, high - 1e-12) << c.high;
        EXPECT_DOUBLE_EQ(axis.degreesAt(0), axis.low);
        EXPECT_DOUBLE_EQ(axis.degreesAt(axis.ticks.count - 1), axis.high);
    }
}

// Past 180 E, as an axis over the date line runs on, the labels are western.
TEST(MinuteAxis, LabelsPast180AreWestern)
{
    const MinuteAxis axis = minuteAxis(179.99, 180.01, 5, 4);
    std::string labels;
    for (int i = 0; i < axis.ticks.count; ++i) {
        if (i > 0)
            labels += ' ';
        labels += axis.label(i);
    }
    EXPECT_EQ(labels, "179\xB0"
                      "59,0 179\xB0"
                      "59,5 180\xB0"
                      "00,0 -179\xB0"
                      "59,5 -179\xB0"
                      "59,0");
}

TEST(AxisTicks, EndsThatAreNotFiniteHoldNone)
{
    EXPECT_EQ(niceAxisTicks(std::numeric_limits<double>::quiet_NaN(), 1, 5, 1).count, 0);
    EXPECT_EQ(niceAxisTicks(0, std::numeric_limits<double>::infinity(), 5, 1).count, 0);
}

} // namespace
} // namespace navorel
