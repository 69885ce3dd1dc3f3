#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "exports/jsonsummary.h"
#include "filter/filterprocess.h"
#include "filter/localplane.h"
#include "filter/runningbatchmeans.h"
#include "filter/survey.h"
#include "tools/loggenerator.h"

namespace navorel {
namespace {

MeanUncertainty within(double r95, bool settled = true)
{
    MeanUncertainty u;
    u.measured = true;
    u.r95 = r95;
    u.settled = settled;
    return u;
}

TEST(SurveyGoal, HeldOverTheLastTenthAndAMinuteAfterTheMinimumTime)
{
    SurveyGoal goal(0.5, 1800);
    // Reached at once at 1000 s, but the minimum time is 1800 s.
    for (double t = 1000; t < 1800; t += 10)
        EXPECT_FALSE(goal.update(t, within(0.4))) << t;
    // Held from 1000 s: at 1800 s it has held for more than a tenth.
    EXPECT_TRUE(goal.update(1800, within(0.4)));
    EXPECT_TRUE(goal.update(1810, within(0.9))); // reached stays reached

    SurveyGoal dip(0.5, 0);
    EXPECT_FALSE(dip.update(3000, within(0.4)));
    EXPECT_FALSE(dip.update(3100, within(0.6)));        // a break
    EXPECT_FALSE(dip.update(3200, within(0.4)));        // held again from 3200
    EXPECT_FALSE(dip.update(3300, within(0.4, false))); // not settled: a break
    EXPECT_FALSE(dip.update(3400, within(0.4)));        // from 3400
    EXPECT_FALSE(dip.update(3400 + 339, within(0.4)));  // a tenth of 3739 s is 373.9 s
    EXPECT_TRUE(dip.update(3400 + 378, within(0.4)));
    // Early in a log, a minute at least.
    SurveyGoal early(0.5, 0);
    EXPECT_FALSE(early.update(100, within(0.1)));
    EXPECT_FALSE(early.update(159, within(0.1)));
    EXPECT_TRUE(early.update(160, within(0.1)));
}

std::vector<std::string> linesOf(const std::string &log)
{
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The running figures a goal is looked at with agree with the figures of
// the fixes, here and across the date line, at every length.
TEST(RunningBatchMeans, AgreesWithTheFiguresOfTheFixes)
{
    for (const double longitude : {11.5167, 179.99999, -0.00001}) {
        const FilterRun run = runFilter(LogGenerator::stationaryLog(3000, 48.1173, longitude), Settings());
        RunningBatchMeans running;
        std::size_t compared = 0;
        std::size_t sameSettled = 0;
        for (std::size_t i = 0; i < run.fixes.size(); ++i) {
            running.add(run.fixes.latitudes[i], run.fixes.longitudes[i]);
            if (i % 97 != 0)
                continue;
            AcceptedFixes soFar;
            for (std::size_t k = 0; k <= i; ++k)
                soFar.add(run.fixes.latitudes[k], run.fixes.longitudes[k], run.fixes.times[k],
                          AcceptedFixes::kNoDate, "", false);
            const PrecisionFigures precision = measurePrecision(soFar);
            const MeanUncertainty exact = measureUncertainty(soFar, precision);
            const MeanUncertainty quick = running.uncertainty();
            ASSERT_EQ(quick.measured, exact.measured) << i;
            if (!exact.measured)
                continue;
            ++compared;
            // Sums of whole nanodegrees (0.1 mm) leave the quick figure a few
            // millionths off; the exact one confirms a goal.
            EXPECT_NEAR(quick.r95, exact.r95, 1e-5 * exact.r95) << longitude << " at " << i;
            EXPECT_NEAR(quick.eastStandardError, exact.eastStandardError, 1e-5 * exact.eastStandardError);
            sameSettled += quick.settled == exact.settled ? 1 : 0;
        }
        EXPECT_GT(compared, 20u);
        EXPECT_EQ(sameSettled, compared) << longitude;
    }
}

// Looking at the goal with every fix, by the fixes' own figures each time,
// stops at the same line as the survey does; the figures there meet the
// goal, and are those of a run over the lines taken.
TEST(Survey, StopsAtTheFixThatReachedTheGoal)
{
    const std::string log = LogGenerator::stationaryLog(3 * 3600, 48.1173, 11.5167, 7);
    const std::vector<std::string> lines = linesOf(log);
    const SurveyGoal goalOfTheRun(0.3, 1800);

    Survey survey(Settings(), goalOfTheRun);
    // The lines arrive in reads of 37 lines.
    std::size_t taken = 0;
    while (taken < lines.size() && !survey.goalReached()) {
        const std::size_t read = std::min<std::size_t>(37, lines.size() - taken);
        taken += survey.take(std::span(lines).subspan(taken, read));
    }
    ASSERT_TRUE(survey.goalReached());
    ASSERT_LT(taken, lines.size());

    // The same goal, looked at with every fix by the figures of all fixes so far.
    SurveyTracker tracker{Settings()};
    SurveyGoal bySlowFigures = goalOfTheRun;
    std::size_t stop = 0;
    for (std::size_t i = 0; i < lines.size() && stop == 0; ++i) {
        const std::size_t before = tracker.fixes();
        tracker.feed(lines[i] + "\r\n");
        if (tracker.fixes() == before)
            continue;
        if (bySlowFigures.update(tracker.elapsedSeconds(), tracker.measure().uncertainty))
            stop = i + 1;
    }
    EXPECT_EQ(taken, stop);

    const SurveyTracker::Figures &figures = *survey.reachedFigures();
    EXPECT_TRUE(figures.uncertainty.settled);
    EXPECT_LE(figures.uncertainty.r95, 0.3);
    EXPECT_GE(figures.precision.timeSpan, 1800.0);
    std::string written;
    for (std::size_t i = 0; i < taken; ++i)
        written += lines[i] + "\r\n";
    const FilterRun run = runFilter(written, Settings());
    const PrecisionFigures precision = measurePrecision(run.fixes);
    EXPECT_EQ(JsonSummary::ofRun(survey.tracker().run(), figures.precision, figures.uncertainty),
              JsonSummary::ofRun(run, precision, measureUncertainty(run.fixes, precision)));
    // The true position is inside the radius (this log's; 95 % of logs).
    const LocalPlane plane(48.1173, 11.5167);
    EXPECT_LE(std::hypot(plane.east(precision.meanLongitude), plane.north(precision.meanLatitude)),
              figures.uncertainty.r95);
}

TEST(Survey, WithoutAGoalTakesEveryLine)
{
    const std::vector<std::string> lines = linesOf(LogGenerator::stationaryLog(600, 48.1173, 11.5167));
    Survey survey(Settings(), std::nullopt);
    EXPECT_EQ(survey.take(lines), lines.size());
    EXPECT_EQ(survey.tracker().fixes(), 600u);
    EXPECT_FALSE(survey.goalReached());
}

} // namespace
} // namespace navorel
