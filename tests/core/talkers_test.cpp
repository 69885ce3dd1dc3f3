#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "filter/epochsatellites.h"
#include "filter/filterprocess.h"
#include "tests/core/testlog.h"

namespace navorel {
namespace {

using test::sentence;

std::string rmc(const std::string &talker, const std::string &time, const std::string &status = "A",
                const std::string &lat = "4807.0380")
{
    return sentence(talker + "RMC," + time + "," + status + "," + lat + ",N,01131.0000,E,0.5,54.7,191206,,");
}

std::string gga(const std::string &talker, const std::string &time)
{
    return sentence(talker + "GGA," + time + ",4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,");
}

// A GSA sentence naming ids ("01,65,...", fewer than twelve), with the NMEA
// 4.10 system ID when system is not null.
std::string gsa(const std::string &talker, const std::string &ids, const char *system = nullptr)
{
    std::string body = talker + "GSA,A,3," + ids;
    for (std::size_t fields = 1 + std::count(ids.begin(), ids.end(), ','); fields < 12; ++fields)
        body += ",";
    body += ",1.9,1.0,1.6";
    if (system != nullptr)
        body += std::string(",") + system;
    return sentence(body);
}

TextLines linesOf(const std::vector<std::string> &lines)
{
    TextLines result;
    for (const std::string &line : lines)
        result.append(line);
    return result;
}

FilterRun run(const std::vector<std::string> &lines, TalkerMode talkers = TalkerMode::GNSS,
              PositionSentence kind = PositionSentence::RMC)
{
    Settings settings;
    settings.Talkers = talkers;
    settings.IDF = kind;
    settings.SatTime = 1;
    // The rules of a line, as every talker reads it; sentence by sentence,
    // with their checksums, is fixquality_test's.
    settings.Checksums = ChecksumMode::Ignore;
    return runFilter(linesOf(lines), settings);
}

// The satellite count at the end of each data line.
std::vector<std::string> satelliteCounts(const FilterRun &run)
{
    std::vector<std::string> counts;
    for (std::size_t i = 0; i < run.result.dataLines.size(); ++i) {
        const std::string_view line = run.result.dataLines[i];
        counts.emplace_back(line.substr(line.rfind(';') + 1));
    }
    return counts;
}

TEST(Talkers, EveryTalkerOfTheListGivesPositionSentences)
{
    const struct
    {
        const char *talker;
        bool gnss;
        bool gps;
    } cases[] = {
        {"GP", true, true},  {"GN", true, false},   {"GL", true, false},  {"GA", true, false},
        {"GB", true, false}, {"GQ", true, false},   {"GI", true, false},  {"BD", true, false},
        {"QZ", true, false}, {"GX", false, false},  {"PG", false, false}, {"gp", false, false},
        {"G", false, false}, {"XGP", false, false},
    };
    for (const auto &c : cases) {
        for (const PositionSentence kind : {PositionSentence::RMC, PositionSentence::GGA}) {
            const std::string line =
                kind == PositionSentence::RMC ? rmc(c.talker, "101500.00") : gga(c.talker, "101500.00");
            EXPECT_EQ(run({line}, TalkerMode::GNSS, kind).counts.found, c.gnss ? 1u : 0u) << line;
            EXPECT_EQ(run({line}, TalkerMode::GPS, kind).counts.found, c.gps ? 1u : 0u) << line;
        }
    }
}

TEST(Talkers, ReportNamesNoTalker)
{
    EXPECT_EQ(run({}).report[0], " Filter Report for $--RMC");
    EXPECT_EQ(run({}, TalkerMode::GNSS, PositionSentence::GGA).report[0], " Filter Report for $--GGA");
    EXPECT_EQ(run({}, TalkerMode::GPS).report[0], " Filter Report for $GPRMC");
}

TEST(Talkers, TheEarliestIdentifierInTheLineIsRead)
{
    const FilterRun both =
        run({"junk" + rmc("GL", "101500.00", "A", "4807.0380") + rmc("GP", "101501.00", "A", "5000.0000")});
    ASSERT_EQ(both.result.displayLines.size(), 1u);
    EXPECT_EQ(both.result.displayLines[0], "10:15:00   48\xB0 07,0380'   11\xB0 31,0000'");
    // classic: only the $GPRMC counts, wherever it stands
    const FilterRun classic =
        run({"junk" + rmc("GL", "101500.00", "A", "4807.0380") + rmc("GP", "101501.00", "A", "5000.0000")},
            TalkerMode::GPS);
    ASSERT_EQ(classic.result.displayLines.size(), 1u);
    EXPECT_EQ(classic.result.displayLines[0], "10:15:01   50\xB0 00,0000'   11\xB0 31,0000'");
}

// A fix sent again under another talker counts once; the first one stands.
TEST(Talkers, OneFixPerEpoch)
{
    const struct
    {
        const char *what;
        std::vector<std::string> lines;
        std::size_t found, notValid, accepted;
    } cases[] = {
        {"GP then GN", {rmc("GP", "135651.997"), rmc("GN", "135651.997", "A", "4900.0000")}, 1, 0, 1},
        {"not-valid first", {rmc("GP", "135651.997", "V"), rmc("GN", "135651.997", "A")}, 1, 1, 0},
        {"valid first", {rmc("GN", "135651.997", "A"), rmc("GP", "135651.997", "V")}, 1, 0, 1},
        {"other lines between",
         {rmc("GP", "135651.997"), gsa("GN", "01,02", "1"), "$GPGSV,1,1,01,01,40,083,46*44",
          rmc("GN", "135651.997")},
         1,
         0,
         1},
        {"next epoch", {rmc("GP", "135651.997"), rmc("GN", "135652.997")}, 2, 0, 2},
        {"whole field compared", {rmc("GP", "135651.00"), rmc("GN", "135651.50")}, 2, 0, 2},
        {"only the last one found", {rmc("GP", "135651"), rmc("GN", "135652"), rmc("GL", "135651")}, 3, 0, 3},
        {"three talkers", {rmc("GP", "135651"), rmc("GL", "135651"), rmc("GN", "135651")}, 1, 0, 1},
        {"empty time never repeats", {rmc("GP", "", "V"), rmc("GN", "", "V"), rmc("GL", "", "V")}, 3, 3, 0},
        {"empty time between", {rmc("GP", "135651"), rmc("GN", "", "V"), rmc("GL", "135651")}, 3, 1, 2},
        {"short line is not found", {"$GNRMC,135651,A,4807.0380,N", rmc("GN", "135651")}, 1, 0, 1},
        {"EMT line is not found", {rmc("GP", "135651") + "EMT", rmc("GN", "135651")}, 1, 0, 1},
    };
    for (const auto &c : cases) {
        const FilterRun r = run(c.lines);
        EXPECT_EQ(r.counts.found, c.found) << c.what;
        EXPECT_EQ(r.counts.notValid, c.notValid) << c.what;
        EXPECT_EQ(r.counts.accepted, c.accepted) << c.what;
        EXPECT_EQ(r.result.displayLines.size(), c.accepted) << c.what;
        if (c.accepted > 0) {
            EXPECT_EQ(r.result.displayLines[0].substr(11, 3), "48\xB0") << c.what;
        }
    }
    // The same with $--GGA.
    const FilterRun gga2 = run({gga("GP", "135651.00"), gga("GN", "135651.00"), gga("GN", "135652.00")},
                               TalkerMode::GNSS, PositionSentence::GGA);
    EXPECT_EQ(gga2.counts.found, 2u);
    // Classic mode knows no duplicates: both $GPRMC are fixes.
    EXPECT_EQ(run({rmc("GP", "135651.997"), rmc("GP", "135651.997")}, TalkerMode::GPS).counts.found, 2u);
}

// Consecutive GSA lines are one epoch; its count is the number of distinct
// (system, ID) pairs.
TEST(Talkers, SatellitesPerEpoch)
{
    const std::string fix = rmc("GN", "101500.00");
    const std::string other = "$GNVTG,54.7,T,,M,0.5,N,0.9,K,A*29";
    const struct
    {
        const char *what;
        std::vector<std::string> lines;
        std::vector<std::string> counts;
    } cases[] = {
        {"one system", {fix, gsa("GP", "04,05,09,12,24"), other}, {"5"}},
        {"two systems without 4.10", {fix, gsa("GN", "04,05,09,12"), gsa("GN", "65,66,74"), other}, {"7"}},
        {"three systems with 4.10",
         {fix, gsa("GN", "01,03", "1"), gsa("GN", "01,02", "2"), gsa("GN", "01,03,05", "3"), other},
         {"7"}},
        {"three talkers without 4.10",
         {fix, gsa("GP", "01,03"), gsa("GL", "01,02"), gsa("GA", "01"), other},
         {"5"}},
        {"GPS 1 and Galileo 1", {fix, gsa("GN", "01", "1"), gsa("GN", "01", "3"), other}, {"2"}},
        {"repeated within a system", {fix, gsa("GN", "01,03", "1"), gsa("GN", "3,1,07", "1"), other}, {"3"}},
        {"repeated without 4.10", {fix, gsa("GN", "04,05"), gsa("GN", "05,06"), other}, {"3"}},
        {"empty system field", {fix, gsa("GN", "04,05", ""), gsa("GN", "04,05", "1"), other}, {"4"}},
        {"GP without 4.10 beside GN with it",
         {fix, gsa("GP", "04,05"), gsa("GN", "04,05,06", "1"), other},
         {"3"}},
        {"GL without 4.10 beside GN with it", {fix, gsa("GL", "65,66"), gsa("GN", "65", "2"), other}, {"2"}},
        {"no IDs", {fix, gsa("GN", ""), gsa("GN", ""), other}, {"0"}},
        {"ends at the end of the text", {fix, gsa("GN", "04,05", "1"), gsa("GN", "65", "2")}, {"3"}},
        {"a short line ends it", {fix, gsa("GN", "04,05"), "", gsa("GN", "05,06")}, {"2", "2"}},
        {"a position line ends it",
         {fix, gsa("GN", "04"), rmc("GN", "101501.00"), gsa("GN", "04,05")},
         {"1", "2"}},
        {"a GSA after other text in the line", {fix, "xx" + gsa("GN", "04,05"), gsa("GN", "06")}, {"3"}},
        {"no data line before the first fix", {gsa("GN", "04"), fix, gsa("GN", "04,05")}, {"2"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(satelliteCounts(run(c.lines)), c.counts) << c.what;
}

TEST(Talkers, EpochTakesTheLatestFixBeforeTheLineThatEndsIt)
{
    const FilterRun r =
        run({rmc("GN", "101500.00"), gsa("GN", "04", "1"), gsa("GN", "65", "2"),
             rmc("GN", "101501.00", "A", "4900.0000"), gsa("GN", "04", "1"),
             "$GNGSA,A,3,65,,,,,,,,,,,,1.9,1.0,1.6,2*3F " + rmc("GN", "101502.00", "A", "5000.0000"),
             "$GNVTG,54.7,T,,M,0.5,N,0.9,K,A*29"});
    EXPECT_EQ(r.result.dataLines.joined(),
              "10:15:00;4807,0380;1131,0000;2\r\n10:15:02;5000,0000;1131,0000;2");
}

TEST(Talkers, RangesStepByEpochs)
{
    // --sat-time 1: sixty epochs of three GSA lines make a range.
    for (const int epochs : {59, 60, 119, 120}) {
        std::vector<std::string> lines;
        for (int i = 0; i < epochs; ++i) {
            lines.push_back(rmc("GN", std::to_string(100000 + i) + ".00"));
            lines.push_back(gsa("GN", "01,02,03", "1"));
            lines.push_back(gsa("GN", "01,02", "2"));
            lines.push_back(gsa("GN", "01", "3"));
        }
        const FilterRun r = run(lines);
        EXPECT_EQ(r.result.dataLines.size(), static_cast<std::size_t>(epochs));
        EXPECT_EQ(r.result.rangeLines.joined(), epochs >= 120  ? "1;6\r\n2;6"
                                                : epochs >= 60 ? "1;6"
                                                               : "")
            << epochs << " epochs";
        // Classic mode counts each $GPGSA line, and a $GNGSA not at all.
        EXPECT_TRUE(run(lines, TalkerMode::GPS).result.rangeLines.empty());
    }
}

TEST(EpochSatellites, PartsOfOneEpochJoin)
{
    EpochSatellites first;
    first.add(gsa("GN", "01,65", "1"));
    EpochSatellites second;
    second.add(gsa("GN", "1,02", "1"));
    second.add(gsa("GN", "A1,,A1", "X-long")); // odd IDs and systems count too, once
    first.add(second);
    EXPECT_EQ(first.count(), 4);
    first.clear();
    EXPECT_EQ(first.count(), 0);
}

} // namespace
} // namespace navorel
