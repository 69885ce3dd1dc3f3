#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "filter/filterprocess.h"
#include "filter/fixquality.h"
#include "filter/logquality.h"
#include "tests/core/testlog.h"

namespace navorel {
namespace {

using test::linesOf;
using test::sentence;

TEST(FixClass, GgaQualityAndRmcModeName)
{
    const struct
    {
        const char *line;
        FixClass fixClass;
    } cases[] = {
        // u-blox ZED-F9P, RTK fixed and float
        {"$GNGGA,101500.00,4807.0380,N,01131.0000,E,4,12,0.6,545.4,M,46.9,M,1.0,0000*6F", FixClass::RtkFixed},
        {"$GNGGA,101500.00,4807.0380,N,01131.0000,E,5,12,0.6,545.4,M,46.9,M,1.0,0000*6E", FixClass::RtkFloat},
        {"$GPGGA,123519.00,4807.0380,N,01131.0000,E,2,08,0.9,545.4,M,46.9,M,,*44", FixClass::Differential},
        {"$GPGGA,123519.00,4807.0380,N,01131.0000,E,3,08,0.9,545.4,M,46.9,M,,*45", FixClass::Precise},
        {"$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47", FixClass::Autonomous},
        {"$GPGGA,123519.00,4807.0380,N,01131.0000,E,6,08,0.9,545.4,M,46.9,M,,*40", FixClass::Estimated},
        {"$GPGGA,123519.00,4807.0380,N,01131.0000,E,7,08,0.9,545.4,M,46.9,M,,*41", FixClass::Manual},
        {"$GPGGA,123519.00,4807.0380,N,01131.0000,E,8,08,0.9,545.4,M,46.9,M,,*4E", FixClass::Simulated},
        {"$GPGGA,212607.891,,,,,0,00,,,M,0.0,M,,0000*56", FixClass::Invalid},
        {"$GPGGA,005947.00,3715.6616,N,12157.6709,W,,11,0.8,86.0,M,-30.1,M,,*56", FixClass::Unknown},
        {"$GPGGA,123519.00,4807.0380,N,01131.0000,E,9,08,0.9,545.4,M,46.9,M,,*4F", FixClass::Unknown},
        // NMEA 2.3 and later: the mode after the magnetic variation
        {"$GNRMC,101500.00,A,4807.0380,N,01131.0000,E,0.0,,191206,,,R,V*03", FixClass::RtkFixed},
        {"$GNRMC,101500.00,A,4807.0380,N,01131.0000,E,0.0,,191206,,,F,V*17", FixClass::RtkFloat},
        {"$GPRMC,202640.000,A,4404.1306,N,12118.8515,W,0.03,225.97,130415,,,D*73", FixClass::Differential},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*7F", FixClass::Autonomous},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,E*7B", FixClass::Estimated},
        {"$GPRMC,083723.00,V,5155.55442,N,00434.65873,E,0.211,,210810,,,N*6A", FixClass::Invalid},
        {"$GPRMC,123519.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*0A", FixClass::Unknown},
    };
    for (const auto &c : cases) {
        const std::string line = c.line;
        const bool gga = line.substr(3, 3) == "GGA";
        const PositionFields fields = CutPositionFields(line, line.substr(0, 6));
        EXPECT_EQ(gga ? ggaFixClass(fields.Quality) : rmcFixClass(fields.Quality), c.fixClass) << c.line;
    }
    EXPECT_EQ(fixClassName(FixClass::RtkFixed), "rtk_fixed");
    EXPECT_EQ(fixClassName(FixClass::Invalid), "invalid");
}

TEST(MinQuality, AdmitsTheClassesAtOrAboveIt)
{
    // rtk_fixed rtk_float precise differential autonomous unknown estimated manual simulated invalid
    const struct
    {
        MinQuality minimum;
        const char *admitted;
    } cases[] = {
        {MinQuality::Any, "1111111111"},          {MinQuality::Autonomous, "1111110000"},
        {MinQuality::Differential, "1111000000"}, {MinQuality::RtkFloat, "1100000000"},
        {MinQuality::RtkFixed, "1000000000"},
    };
    for (const auto &c : cases) {
        std::string admitted;
        for (std::size_t i = 0; i < kFixClasses; ++i)
            admitted += admits(c.minimum, static_cast<FixClass>(i)) ? '1' : '0';
        EXPECT_EQ(admitted, c.admitted) << minQualityText(c.minimum);
        MinQuality read{};
        EXPECT_TRUE(minQualityFromText(minQualityText(c.minimum), read));
        EXPECT_EQ(read, c.minimum);
    }
    MinQuality read{};
    EXPECT_FALSE(minQualityFromText("rtk", read));
}

TEST(Checksum, StatesOfRealSentences)
{
    const struct
    {
        const char *sentence;
        ChecksumState state;
    } cases[] = {
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*7F", ChecksumState::Right},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*7f", ChecksumState::Right},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*7F \t", ChecksumState::Right},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*7E", ChecksumState::Wrong},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*7", ChecksumState::Wrong},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*", ChecksumState::Wrong},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*7G", ChecksumState::Wrong},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*7Fx", ChecksumState::Wrong},
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A", ChecksumState::Missing},
        {"$GPRMC,1235", ChecksumState::Missing},
        // a bit flipped by a bad cable: 5155 read as 5145
        {"$GPRMC,083723.00,A,5145.55442,N,00434.65873,E,0.211,,210810,,,A*7F", ChecksumState::Wrong},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checksumState(c.sentence), c.state) << c.sentence;
}

TEST(ImpossibleMinutes, TheTwoDigitsBeforeThePoint)
{
    const std::pair<const char *, bool> cases[] = {
        {"4807.0380", false}, {"4859.9999", false}, {"4860.0000", true},  {"36000.0000", false},
        {"8960.0000", true},  {"4875", true},       {"-4807.038", false}, {"7.5", false},
    };
    for (const auto &[field, impossible] : cases)
        EXPECT_EQ(hasImpossibleMinutes(field), impossible) << field;
}

Settings checking(PositionSentence kind = PositionSentence::RMC, MinQuality minimum = MinQuality::Any)
{
    Settings settings;
    settings.IDF = kind;
    settings.MinQuality = minimum;
    return settings;
}

std::string rmc(const std::string &time, const std::string &lat, const std::string &lon,
                const std::string &mode)
{
    return sentence("GNRMC," + time + ".00,A," + lat + ",N," + lon + ",E,0.0,,191206,,," + mode);
}

// Each "$" begins a sentence: a cut line glued before a whole one loses
// nothing of the whole one, and a wrong checksum leaves its sentence out.
TEST(CheckedSentences, GluedCutAndCorruptedLines)
{
    const std::string good = rmc("101500", "4807.0380", "01131.0000", "A");
    const std::string second = rmc("101501", "4807.0390", "01131.0010", "A");
    std::string corrupted = second;
    corrupted[20] = corrupted[20] == '7' ? '8' : '7';
    const struct
    {
        const char *what;
        std::vector<std::string> lines;
        std::size_t accepted, checksumErrors, withoutChecksum;
    } cases[] = {
        {"cut line glued before a whole one", {good, "$GPRMC,1235" + second}, 2, 0, 0},
        {"junk in front", {"r" + good, "xx" + second}, 2, 0, 0},
        {"a flipped digit", {good, corrupted}, 1, 1, 0},
        {"no checksum is used and counted", {good, second.substr(0, second.find('*'))}, 2, 0, 1},
        {"two sentences in one line", {good + second}, 2, 0, 0},
        // cut after its position: used, as a sentence without checksum is
        {"a cut sentence at the end of a line", {good, second.substr(0, 50)}, 2, 0, 1},
    };
    for (const auto &c : cases) {
        std::vector<std::string_view> views(c.lines.begin(), c.lines.end());
        std::string text;
        for (const std::string &line : c.lines)
            text += line + "\r\n";
        const FilterRun run = runFilter(text, checking());
        ASSERT_TRUE(run.completed()) << c.what << ": " << run.errorString;
        EXPECT_EQ(run.counts.accepted, c.accepted) << c.what;
        EXPECT_EQ(run.quality.checksumErrors, c.checksumErrors) << c.what;
        EXPECT_EQ(run.quality.withoutChecksum, c.withoutChecksum) << c.what;
    }
}

TEST(CheckedSentences, ImpossiblePositionsAreFoundButNotAccepted)
{
    const std::string text = rmc("101500", "4807.0380", "01131.0000", "A") + "\r\n"
                             + rmc("101501", "36000.0000", "72000.0000", "A") + "\r\n"
                             + rmc("101502", "9100.0000", "01131.0000", "A") + "\r\n"
                             + rmc("101503", "4860.0000", "01131.0000", "A") + "\r\n"
                             + rmc("101504", "4807.0380", "18100.0000", "A") + "\r\n";
    const FilterRun checked = runFilter(text, checking());
    EXPECT_EQ(checked.counts.found, 5u);
    EXPECT_EQ(checked.counts.accepted, 1u);
    EXPECT_EQ(checked.quality.impossiblePositions, 4u);
    EXPECT_EQ(checked.longitudeText, " East longitude : 11\xB0 31,0000'");
    // Read as the classic rules read lines, they count as before.
    Settings lines = checking();
    lines.Checksums = ChecksumMode::Ignore;
    EXPECT_EQ(runFilter(text, lines).counts.accepted, 5u);
}

TEST(CheckedSentences, SatelliteIdsAreNumbers)
{
    const std::string fix = rmc("101500", "4807.0380", "01131.0000", "A");
    // A GSA line cut and glued to an RMC: "$GPRMC" and "V" were counted as satellites.
    const std::string glued = "$GPGSA,A,1,,$GPRMC,000425.00,V,,,,,0.0,0.0,260980,,,N*46";
    const struct
    {
        const char *what;
        std::string gsa;
        const char *satellites;
    } cases[] = {
        {"numbers", sentence("GNGSA,A,3,04,05,17,,,,,,,,,,1.9,1.0,1.6,1"), "3"},
        {"glued to an RMC", glued, "0"},
        {"four digits and letters", sentence("GNGSA,A,3,04,1234,X7,,,,,,,,,,1.9,1.0,1.6,1"), "1"},
    };
    for (const auto &c : cases) {
        Settings settings = checking();
        settings.SatTime = 1;
        const FilterRun run = runFilter(fix + "\r\n" + c.gsa + "\r\n", settings);
        ASSERT_EQ(run.result.dataLines.size(), 1u) << c.what;
        const std::string_view line = run.result.dataLines[0];
        EXPECT_EQ(line.substr(line.rfind(';') + 1), c.satellites) << c.what;
    }
}

TEST(CheckedSentences, BelowTheMinimumIsCountedNotUsed)
{
    std::string text;
    const char *modes[] = {"R", "R", "F", "D", "A", "", "E", "N"};
    int second = 10;
    for (const char *mode : modes)
        text += rmc("1015" + std::to_string(second++), "4807.0380", "01131.0000", mode) + "\r\n";
    const struct
    {
        MinQuality minimum;
        std::size_t accepted;
    } cases[] = {{MinQuality::Any, 8},
                 {MinQuality::Autonomous, 6},
                 {MinQuality::Differential, 4},
                 {MinQuality::RtkFloat, 3},
                 {MinQuality::RtkFixed, 2}};
    for (const auto &c : cases) {
        const FilterRun run = runFilter(text, checking(PositionSentence::RMC, c.minimum));
        EXPECT_EQ(run.counts.accepted, c.accepted) << minQualityText(c.minimum);
        EXPECT_EQ(run.quality.belowMinimum, 8 - c.accepted) << minQualityText(c.minimum);
        EXPECT_EQ(run.result.displayLines.size(), c.accepted);
        EXPECT_EQ(run.fixClasses.size(), c.accepted);
        // Every class is counted, whichever are used.
        EXPECT_EQ(run.quality.fixClasses[static_cast<std::size_t>(FixClass::RtkFixed)], 2u);
        EXPECT_EQ(run.quality.classesSeen(), 7u);
    }
}

TEST(ReceiverSigma, RootMeanSquareOfTheGstSigmas)
{
    const std::string text = sentence("GPGST,172814.0,0.006,0.023,0.020,273.6,0.030,0.040,0.050") + "\r\n"
                             + sentence("GPGST,172815.0,0.006,0.023,0.020,273.6,0.040,,0.050") + "\r\n";
    const FilterRun run = runFilter(text, checking());
    EXPECT_DOUBLE_EQ(*run.quality.receiverSigma.rms(0), std::sqrt((0.03 * 0.03 + 0.04 * 0.04) / 2));
    EXPECT_DOUBLE_EQ(*run.quality.receiverSigma.rms(1), 0.04);
    EXPECT_DOUBLE_EQ(*run.quality.receiverSigma.rms(2), 0.05);
    EXPECT_TRUE(runFilter(std::string_view(), checking()).quality.receiverSigma.empty());
}

TEST(TimeChecks, GapsAndStepsBack)
{
    const struct
    {
        const char *what;
        std::vector<std::string> times;
        std::size_t gaps;
        double longest;
        std::size_t backwards;
    } cases[] = {
        {"steady 1 Hz", {"100000", "100001", "100002", "100003"}, 0, 0, 0},
        {"a gap of a minute", {"100000", "100001", "100002", "100102", "100103"}, 1, 60, 0},
        {"10 Hz", {"100000.0", "100000.1", "100000.2", "100000.5", "100000.6"}, 1, 0.3, 0},
        {"a step back", {"100000", "100001", "100000", "100002"}, 0, 0, 1},
        {"midnight is no step back", {"235958", "235959", "000000", "000001"}, 0, 0, 0},
    };
    for (const auto &c : cases) {
        TimeChecks checks;
        for (const std::string &time : c.times)
            checks.add(time, std::nullopt);
        EXPECT_EQ(checks.gaps(), c.gaps) << c.what;
        EXPECT_DOUBLE_EQ(checks.longestGapSeconds(), c.longest) << c.what;
        EXPECT_EQ(checks.backwards(), c.backwards) << c.what;
        // Cut anywhere into two parts, joined again: the same.
        for (std::size_t cut = 1; cut < c.times.size(); ++cut) {
            TimeChecks first, second;
            for (std::size_t i = 0; i < c.times.size(); ++i)
                (i < cut ? first : second).add(c.times[i], std::nullopt);
            first.follow(second);
            EXPECT_EQ(first.gaps(), c.gaps) << c.what << " cut at " << cut;
            EXPECT_EQ(first.backwards(), c.backwards) << c.what << " cut at " << cut;
        }
    }
}

TEST(ReceiverMoved, ByTheSpreadOrTheSpeedOverGround)
{
    const auto speeds = [](std::initializer_list<const char *> knots) {
        LogQuality quality;
        for (const char *speed : knots)
            quality.speeds.add(speed);
        return quality;
    };
    PrecisionFigures still;
    still.fixes = 10;
    still.cep95 = 3.0;
    EXPECT_FALSE(receiverMoved(still, speeds({"0.2", "0.0", "1.4"})));
    EXPECT_TRUE(receiverMoved(still, speeds({"2.2", "0.0", "1.4"})));
    EXPECT_FALSE(receiverMoved(still, speeds({})));
    EXPECT_EQ(*speeds({"0.2", "0.0", "1.4"}).speeds.medianKnots(), 0.2);
    PrecisionFigures wide = still;
    wide.cep95 = 51.0;
    EXPECT_TRUE(receiverMoved(wide, speeds({})));
}

} // namespace
} // namespace navorel

namespace navorel {
namespace {

// Speeds over ground as receivers write them, one at a time: the median is
// the speed itself, in tenths of a knot; what is no speed counts for none.
TEST(SpeedCounts, ReadsEveryFormOfSpeed)
{
    const std::pair<const char *, std::optional<double>> cases[] = {
        {"0.7", 0.7},          {"12", 12.0},       {"12.", 12.0},          {"0.25", 0.3},
        {"0.149", 0.1},        {"003.4", 3.4},     {"1e1", 10.0},          {"250.0", 99.9},
        {"1e300", 99.9},       {"", std::nullopt}, {"-1.0", std::nullopt}, {"A", std::nullopt},
        {"nan", std::nullopt}, {".5", 0.5},
    };
    for (const auto &[text, median] : cases) {
        SpeedCounts counts;
        counts.add(text);
        const std::optional<double> got = counts.medianKnots();
        ASSERT_EQ(got.has_value(), median.has_value()) << text;
        if (median) {
            EXPECT_NEAR(*got, *median, 1e-9) << text;
        }
    }
}

} // namespace
} // namespace navorel
