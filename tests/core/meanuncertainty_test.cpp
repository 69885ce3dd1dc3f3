#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "filter/filterprocess.h"
#include "filter/localplane.h"
#include "filter/meanuncertainty.h"
#include "tools/loggenerator.h"

namespace navorel {
namespace {

std::vector<double> series(std::size_t n, double (*value)(std::size_t))
{
    std::vector<double> values(n);
    for (std::size_t i = 0; i < n; ++i)
        values[i] = value(i);
    return values;
}

TEST(BatchMeans, SeriesWorkedByHand)
{
    // 64 values: 16 batches of 4.
    EXPECT_FALSE(batchMeans(series(63, [](std::size_t) { return 1.0; })));
    const std::optional<BatchMeans> constant = batchMeans(series(64, [](std::size_t) { return 5.0; }));
    ASSERT_TRUE(constant);
    EXPECT_EQ(constant->standardError, 0.0);
    EXPECT_EQ(constant->correlation16, 0.0); // all equal: no correlation to speak of
    EXPECT_TRUE(constant->settled);

    // +1, -1, ...: every batch of 4 has the mean 0.
    const std::optional<BatchMeans> alternating =
        batchMeans(series(64, [](std::size_t i) { return i % 2 == 0 ? 1.0 : -1.0; }));
    ASSERT_TRUE(alternating);
    EXPECT_EQ(alternating->standardError, 0.0);
    EXPECT_TRUE(alternating->settled);

    // 0, 1, ..., 63: batch means 1.5, 5.5, ..., 61.5, 4 apart; their s is 4
    // times that of 0..15, sqrt(340 / 15); the lag-1 correlation of 16
    // equally spaced values is sum (i - 7.5)(i - 6.5) / sum (i - 7.5)^2 = 0.8125.
    const std::optional<BatchMeans> ramp = batchMeans(series(64, [](std::size_t i) { return double(i); }));
    ASSERT_TRUE(ramp);
    EXPECT_NEAR(ramp->standardError, 4.0 * std::sqrt(340.0 / 15.0) / 4.0, 1e-12);
    EXPECT_NEAR(ramp->correlation16, 0.8125, 1e-12);
    EXPECT_FALSE(ramp->settled);

    // The rest beyond 16 b values is left out: 64 and 79 values give the same.
    const std::optional<BatchMeans> longer =
        batchMeans(series(79, [](std::size_t i) { return double(i % 64); }));
    ASSERT_TRUE(longer);
    EXPECT_EQ(longer->standardError, ramp->standardError);

    // White noise settles; its SE is sigma / sqrt(n).
    std::mt19937 random(7);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::vector<double> noise(16384);
    for (double &value : noise)
        value = normal(random);
    const std::optional<BatchMeans> white = batchMeans(noise);
    ASSERT_TRUE(white);
    EXPECT_TRUE(white->settled) << white->correlation16 << " " << white->correlation32;
    EXPECT_NEAR(white->standardError, 1.0 / std::sqrt(16384.0), 0.4 / std::sqrt(16384.0));
}

TEST(MeanUncertainty, TheConstantsOfTheFormulas)
{
    // F(2, 14) at 95 %: 3.7389, as tables give it.
    EXPECT_NEAR(fQuantile95(), 3.738891832, 1e-8);
    EXPECT_EQ(logMoreSeconds(0.4, 0.5, 3600), 0.0);
    EXPECT_EQ(logMoreSeconds(1.0, 0.5, 3600), 10800.0);
    EXPECT_EQ(logMoreSeconds(0.31, 0.1, 7980), std::ceil(7980 * 9.61 - 7980));
}

TEST(MeanUncertainty, DegreeDecimalsFitTheFigure)
{
    const struct
    {
        double metres;
        int decimals;
    } cases[] = {
        {0.57, 6}, {0.02, 7}, {0.111, 7}, {0.112, 6}, {1.12, 5}, {0.0001, 9}, {0.0, 9}, {5000.0, 3}, {NAN, 9},
    };
    for (const auto &c : cases)
        EXPECT_EQ(degreeDecimals(c.metres), c.decimals) << c.metres;
}

TEST(AllanDeviation, WhiteNoiseFallsARandomWalkRises)
{
    std::mt19937 random(11);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::vector<double> white(65536), walk(65536);
    double position = 0.0;
    for (std::size_t i = 0; i < white.size(); ++i) {
        white[i] = normal(random);
        position += normal(random);
        walk[i] = position;
    }
    const std::vector<double> falling = allanDeviations(white);
    const std::vector<double> rising = allanDeviations(walk);
    ASSERT_EQ(falling.size(), 15u); // m = 1 ... 2^14, 4 m <= n
    for (std::size_t level = 0; level + 1 < falling.size() - 4; ++level) {
        const double m = static_cast<double>(std::size_t{1} << level);
        // sigma(m) = 1 / sqrt(m) for white noise of sigma 1.
        EXPECT_NEAR(falling[level] * std::sqrt(m), 1.0, 0.1) << "m " << m;
        EXPECT_GT(rising[level + 1], rising[level]) << "m " << m;
    }
    EXPECT_TRUE(allanDeviations(std::vector<double>(3, 1.0)).empty());
    EXPECT_EQ(allanDeviations(std::vector<double>(4, 1.0)), std::vector<double>{0.0});
}

TEST(MeanUncertainty, NeedsSixtyFourFixesAndEightForTheAllanDeviation)
{
    for (const std::size_t n : {std::size_t{7}, std::size_t{8}, std::size_t{63}, std::size_t{64}}) {
        AcceptedFixes fixes;
        for (std::size_t i = 0; i < n; ++i) {
            fixes.latitudes.push_back(48.0 + 1e-6 * static_cast<double>(i % 5));
            fixes.longitudes.push_back(11.0 + 1e-6 * static_cast<double>(i % 3));
            fixes.times.push_back(static_cast<std::int32_t>(36000 + i));
        }
        const PrecisionFigures figures = measurePrecision(fixes);
        const MeanUncertainty u = measureUncertainty(fixes, figures);
        EXPECT_EQ(u.measured, n >= 64) << n;
        EXPECT_EQ(u.allan.empty(), n < 8) << n;
        if (!u.allan.empty()) { // one fix a second: tau in seconds is m
            EXPECT_EQ(u.allan[0].tauSeconds, 1.0);
        }
    }
}

struct Trial
{
    bool settled = false;
    bool inside = false;
};

// An hour of a receiver standing still at a known place, its error
// correlated over tau seconds.
Trial simulatedHour(double tau, std::uint64_t seed)
{
    LogGenerator::Options options;
    options.seed = seed;
    options.correlationSeconds = tau;
    options.minuteDecimals = 6;
    LogGenerator generator(options);
    std::string log;
    for (int s = 0; s < 3600; ++s)
        generator.appendSecond(log);
    const FilterRun run = runFilter(log, Settings());
    const PrecisionFigures figures = measurePrecision(run.fixes);
    const MeanUncertainty u = measureUncertainty(run.fixes, figures);
    const LocalPlane plane(figures.meanLatitude, figures.meanLongitude);
    const double away = std::hypot(plane.north(options.latitude), plane.east(options.longitude));
    return {u.settled, away <= u.r95};
}

// The true position lies within r95 of the mean 95 times in 100, counting
// only the logs long enough to say so; a log whose error wanders over half
// an hour is too short to settle.
TEST(MeanUncertainty, HoldsTheTruePositionOfSimulatedReceivers)
{
    int settled = 0, inside = 0, trials = 0;
    for (const double tau : {10.0, 20.0, 30.0}) {
        for (std::uint64_t seed = 1; seed <= 50; ++seed) {
            const Trial trial = simulatedHour(tau, seed * 1000 + static_cast<std::uint64_t>(tau));
            ++trials;
            settled += trial.settled ? 1 : 0;
            inside += trial.settled && trial.inside ? 1 : 0;
        }
    }
    const double settledShare = static_cast<double>(settled) / trials;
    const double coverage = static_cast<double>(inside) / settled;
    EXPECT_GE(settledShare, 0.8) << settled << " of " << trials;
    EXPECT_GE(coverage, 0.90) << inside << " of " << settled;
    EXPECT_LE(coverage, 0.99) << inside << " of " << settled;

    int slowSettled = 0;
    for (std::uint64_t seed = 1; seed <= 30; ++seed)
        slowSettled += simulatedHour(1800.0, seed).settled ? 1 : 0;
    EXPECT_LE(slowSettled, 3) << "of 30";
}

} // namespace
} // namespace navorel
