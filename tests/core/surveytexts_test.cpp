#include <gtest/gtest.h>

#include "filter/surveytexts.h"

namespace navorel {
namespace {

MeanUncertainty uncertaintyOf(double r95, bool settled)
{
    MeanUncertainty uncertainty;
    uncertainty.measured = true;
    uncertainty.settled = settled;
    uncertainty.r95 = r95;
    return uncertainty;
}

TEST(SurveyTexts, Durations)
{
    const std::pair<double, const char *> cases[] = {
        {0.0, "0 s"},          {59.4, "59 s"},         {60.0, "1 min"}, {3599.0, "59 min"},
        {3600.0, "1 h 0 min"}, {7980.0, "2 h 13 min"}, {-3.0, "0 s"},   {90061.0, "25 h 1 min"},
    };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(surveyDurationText(seconds), text) << seconds;
}

TEST(SurveyTexts, CountsWithThousandsApart)
{
    EXPECT_EQ(countText(0), "0");
    EXPECT_EQ(countText(999), "999");
    EXPECT_EQ(countText(7980), "7,980");
    EXPECT_EQ(countText(1234567), "1,234,567");
}

TEST(SurveyTexts, PositionsAsCopied)
{
    EXPECT_EQ(decimalPositionText(48.11740531, 11.51673544, 6), "48.117405, 11.516735");
    EXPECT_EQ(decimalPositionText(-33.85678444, -151.21529666, 7), "-33.8567844, -151.2152967");
}

TEST(SurveyTexts, StatusAndReached)
{
    EXPECT_EQ(surveyStatusText(7980.0, 7980, uncertaintyOf(0.314, true)),
              "Survey: 2 h 13 min, 7,980 fixes, \u00B10.31 m (95 %)");
    EXPECT_EQ(surveyStatusText(600.0, 601, uncertaintyOf(1.5, false)),
              "Survey: 10 min, 601 fixes, \u00B11.50 m or more (95 %)");
    EXPECT_EQ(surveyStatusText(0.0, 1, MeanUncertainty()), "Survey: 0 s, 1 fix");
    EXPECT_EQ(surveyReachedText(7980.0, uncertaintyOf(0.48, true), 48.11740531, 11.51673544),
              "Survey reached \u00B10.48 m (95 %) after 2 h 13 min: 48.117405\u00B0 N, 11.516735\u00B0 E");
    EXPECT_EQ(surveyReachedText(3600.0, uncertaintyOf(0.02, true), -33.8567844, -151.2152967),
              "Survey reached \u00B10.02 m (95 %) after 1 h 0 min: 33.8567844\u00B0 S, 151.2152967\u00B0 W");
    EXPECT_EQ(
        surveyAfterGoalText("Survey reached \u00B10.29 m (95 %) after 1 h 50 min: ...", 9790,
                            uncertaintyOf(0.214, true)),
        "Survey reached \u00B10.29 m (95 %) after 1 h 50 min: ...; now \u00B10.21 m (95 %), 9,790 fixes");
}

} // namespace
} // namespace navorel
