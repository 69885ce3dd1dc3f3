#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "exports/jsonsummary.h"
#include "filter/filterprocess.h"
#include "filter/surveytracker.h"
#include "filter/textfile.h"
#include "tools/loggenerator.h"

namespace navorel {
namespace {

std::string jsonOf(const FilterRun &run)
{
    const PrecisionFigures precision = measurePrecision(run.fixes);
    return JsonSummary::ofRun(run, precision, measureUncertainty(run.fixes, precision));
}

std::string jsonOf(const SurveyTracker &tracker)
{
    const SurveyTracker::Figures figures = tracker.measure();
    return JsonSummary::ofRun(tracker.run(), figures.precision, figures.uncertainty);
}

// The tracker fed the log in pieces of random size gives, whenever ten
// more fixes are in, the --json object of a run over the lines so far:
// every figure to the last bit.
std::size_t expectSameAsRunsSoFar(const std::string &log, const Settings &settings, const std::string &what)
{
    SurveyTracker tracker(settings);
    std::mt19937 random(3);
    std::uniform_int_distribution<std::size_t> piece(1, 300);
    std::size_t fed = 0;
    std::size_t checkedAt = 0;
    std::size_t checks = 0;
    while (fed < log.size()) {
        const std::size_t size = std::min(piece(random), log.size() - fed);
        tracker.feed(std::string_view(log).substr(fed, size));
        fed += size;
        if (tracker.stopped())
            break;
        if (tracker.fixes() < checkedAt + 10)
            continue;
        // The lines so far: up to the last line break fed.
        const std::size_t lineEnd = log.find_last_of("\r\n", fed - 1);
        if (lineEnd == std::string::npos)
            continue;
        const FilterRun soFar = runFilter(std::string_view(log).substr(0, lineEnd + 1), settings);
        checkedAt = tracker.fixes();
        ++checks;
        EXPECT_EQ(jsonOf(tracker), jsonOf(soFar)) << what << " after " << fed << " bytes";
        if (jsonOf(tracker) != jsonOf(soFar))
            break;
    }
    EXPECT_TRUE(checks > 0 || tracker.fixes() < 10) << what;
    return checks;
}

TEST(SurveyTracker, GivesTheFiguresOfARunOverTheLinesSoFar)
{
    const std::filesystem::path samples = NAVOREL_SAMPLES_DIR;
    for (const auto &entry : std::filesystem::directory_iterator(samples)) {
        const std::string name = entry.path().filename().string();
        if (name == "README.md")
            continue;
        std::string log;
        ASSERT_TRUE(readFileBytes(entry.path().string(), log));
        for (const PositionSentence kind : {PositionSentence::RMC, PositionSentence::GGA}) {
            Settings settings;
            settings.IDF = kind;
            expectSameAsRunsSoFar(log, settings, name);
        }
    }
    // A simulated receiver standing still for an hour, with GGA heights.
    LogGenerator::Options options;
    options.correlationSeconds = 20.0;
    options.minuteDecimals = 6;
    LogGenerator generator(options);
    std::string log;
    for (int s = 0; s < 3600; ++s)
        generator.appendSecond(log);
    Settings gga;
    gga.IDF = PositionSentence::GGA;
    // Nearly every tenth fix is one to compare at (a piece may bring more than one).
    EXPECT_GT(expectSameAsRunsSoFar(log, gga, "simulated hour"), 300u);
}

TEST(SurveyTracker, ElapsedTimeByTheFixesOwnTimes)
{
    LogGenerator::Options options;
    options.startSeconds = 23 * 3600 + 59 * 60; // over midnight
    LogGenerator generator(options);
    std::string log;
    for (int s = 0; s < 200; ++s)
        generator.appendSecond(log);
    for (const PositionSentence kind : {PositionSentence::RMC, PositionSentence::GGA}) {
        Settings settings;
        settings.IDF = kind;
        SurveyTracker tracker(settings);
        tracker.feed(log);
        EXPECT_EQ(tracker.elapsedSeconds(), 199.0);
        EXPECT_EQ(tracker.elapsedSeconds(), tracker.measure().precision.timeSpan);
    }
}

} // namespace
} // namespace navorel
