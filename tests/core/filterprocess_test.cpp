#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filter/filterprocess.h"
#include "tests/core/testlog.h"

namespace navorel {
namespace {

using test::linesOf;
using test::sentence;

std::string rmc(const std::string &time, const std::string &status, const std::string &lat,
                const std::string &lon, const std::string &ns = "N", const std::string &ew = "E")
{
    return sentence("GPRMC," + time + ".00," + status + "," + lat + "," + ns + "," + lon + "," + ew
                    + ",0.5,54.7,191206,,");
}

std::string gga(const std::string &time, const std::string &lat, const std::string &lon,
                const std::string &quality = "1")
{
    return sentence("GPGGA," + time + ".00," + lat + ",N," + lon + ",E," + quality
                    + ",08,0.9,545.4,M,46.9,M,,");
}

// A $GPGSA sentence with count satellites used.
std::string gsa(int count)
{
    std::string body = "GPGSA,A,3";
    for (int i = 0; i < 12; ++i) {
        body += ',';
        if (i < count)
            body += std::to_string(10 + i);
    }
    return sentence(body + ",2.5,1.3,2.1");
}

// The classic mode: $GP sentences only, each $GPGSA line counted.
Settings classic()
{
    Settings settings;
    settings.Talkers = TalkerMode::GPS;
    return settings;
}

std::vector<std::string> listOf(const TextLines &lines)
{
    std::vector<std::string> result;
    for (std::size_t i = 0; i < lines.size(); ++i)
        result.emplace_back(lines[i]);
    return result;
}

TEST(FilterProcess, EmptyTextCompletesWithTheErrorTexts)
{
    const FilterRun run = runFilter(TextLines(), classic());
    ASSERT_TRUE(run.completed());
    EXPECT_EQ(run.counts.found, 0u);
    EXPECT_FALSE(run.fixAccepted());
    EXPECT_EQ(run.latitudeText, " North latitude : error");
    EXPECT_EQ(run.longitudeText, " East longitude : error");
    EXPECT_EQ(run.timeSpanText, " Time: error");
    ASSERT_EQ(run.report.size(), 23u);
    EXPECT_EQ(run.report[3], " sentences found     : 0");
    EXPECT_EQ(run.report[4], " not valid sentences : 0");
}

TEST(FilterProcess, ReportOfTheThreeSentenceExample)
{
    const std::string line1 = rmc("101500", "A", "4807.0380", "01131.0000");
    const std::string line2 = rmc("101500", "V", "4807.0390", "01131.0010");
    const std::string line3 = rmc("101501", "A", "4807.0400", "01131.0020");
    const FilterRun run = runFilter(linesOf({line1, line2, line3}), classic());
    ASSERT_TRUE(run.completed());
    const std::vector<std::string> expected = {
        " Filter Report for $GPRMC",
        " ====================",
        " ",
        " sentences found     : 3",
        " not valid sentences : 1",
        " only valid data used.",
        " ",
        " North latitude : 48\xB0 07,0390'",
        " East longitude : 11\xB0 31,0010'",
        " Time: 0h 0m 1s",
        " ",
        " ",
        " The position could be incorrect, check the NMEA",
        " data file or the WAAS/EGNOS/DGPS settings of",
        " the GPS device.",
        " See the chart to control the accuracy of the",
        " GPS device.",
        " ",
        " To get a NMEA data file connect the GPS device",
        " to a PC and open a terminal programm with the",
        " following settings:",
        " port: COM1, bit/s: 4800, bits: 8, parity: no, stop bits: 1.",
        " Save the displayed NMEA data to a text file.",
    };
    EXPECT_EQ(run.report, expected);
    EXPECT_EQ(run.latitudeText, expected[7]);
    EXPECT_EQ(run.longitudeText, expected[8]);
    EXPECT_EQ(run.timeSpanText, expected[9]);
    EXPECT_EQ(listOf(run.result.displayLines),
              (std::vector<std::string>{"10:15:00   48\xB0 07,0380'   11\xB0 31,0000'",
                                        "10:15:01   48\xB0 07,0400'   11\xB0 31,0020'"}));
    ASSERT_EQ(run.points.size(), 2u);
    // Decimal degrees, so that the chart runs on over a whole degree.
    EXPECT_NEAR(run.points[0].latitude, 48 + 7.038 / 60, 1e-12);
    EXPECT_NEAR(run.points[0].longitude, 11 + 31.0 / 60, 1e-12);
    EXPECT_NEAR(run.points[1].latitude, 48 + 7.04 / 60, 1e-12);
    EXPECT_NEAR(run.points[1].longitude, 11 + 31.002 / 60, 1e-12);
    EXPECT_EQ(listOf(run.result.nmeaCopy), (std::vector<std::string>{line1, line2, line3}));
}

TEST(FilterProcess, NotValidSentencesCountButAreUsedOnlyWhenValidIsOff)
{
    const TextLines log = linesOf(
        {rmc("101500", "V", "4807.0380", "01131.0000"), rmc("101501", "V", "4807.0400", "01131.0020")});
    const FilterRun onlyValid = runFilter(log, classic());
    EXPECT_EQ(onlyValid.counts.found, 2u);
    EXPECT_EQ(onlyValid.counts.notValid, 2u);
    EXPECT_FALSE(onlyValid.fixAccepted());
    EXPECT_EQ(onlyValid.latitudeText, " North latitude : error");
    EXPECT_TRUE(onlyValid.result.displayLines.empty());

    Settings all = classic();
    all.Valid = false;
    const FilterRun allData = runFilter(log, all);
    EXPECT_EQ(allData.counts.accepted, 2u);
    EXPECT_EQ(allData.counts.notValid, 2u);
    EXPECT_EQ(allData.report[5], " all data used.");
    EXPECT_EQ(allData.latitudeText, " North latitude : 48\xB0 07,0390'");
}

TEST(FilterProcess, GgaIgnoresValidAndHasNoStatus)
{
    Settings settings = classic();
    settings.IDF = PositionSentence::GGA;
    const FilterRun run = runFilter(
        linesOf({gga("101500", "4807.0380", "01131.0000", "0"), gga("101501", "4807.0400", "01131.0020")}),
        settings);
    EXPECT_EQ(run.identifier, "$GPGGA");
    EXPECT_EQ(run.report[0], " Filter Report for $GPGGA");
    EXPECT_EQ(run.counts.found, 2u);
    EXPECT_EQ(run.counts.accepted, 2u);
    EXPECT_EQ(run.counts.notValid, 0u);
}

TEST(FilterProcess, ShortLinesAndEmtLinesAreNoPositionSentences)
{
    // 46 characters exactly, and a longer line that holds "EMT"
    const std::string shortLine = "$GPRMC,101500,A,4807.0380,N,01131.0000,E,0.5,5";
    ASSERT_EQ(shortLine.size(), 46u);
    const FilterRun run =
        runFilter(linesOf({shortLine, rmc("101500", "A", "4807.0380", "01131.0000") + ",EMT"}), classic());
    EXPECT_EQ(run.counts.found, 0u);
}

TEST(FilterProcess, IdentifierAfterOtherCharactersIsFoundAndReadRight)
{
    const FilterRun run = runFilter(
        linesOf({std::string("r").append(rmc("175804", "A", "5125.8526", "00524.1900"))}), classic());
    ASSERT_EQ(run.counts.accepted, 1u);
    EXPECT_EQ(run.result.displayLines[0], "17:58:04   51\xB0 25,8526'   5\xB0 24,1900'");
}

TEST(FilterProcess, SouthernAndWesternPositionsCarryTheSign)
{
    const FilterRun run =
        runFilter(linesOf({rmc("030719", "A", "3351.1234", "07030.5000", "S", "W"), gsa(7)}), classic());
    ASSERT_TRUE(run.completed());
    EXPECT_EQ(run.latitudeText, " North latitude : -33\xB0 51,1234'");
    EXPECT_EQ(run.longitudeText, " East longitude : -70\xB0 30,5000'");
    EXPECT_EQ(run.result.displayLines[0], "03:07:19   -33\xB0 51,1234'   -70\xB0 30,5000'");
    EXPECT_EQ(run.result.dataLines[0], "03:07:19;-3351,1234;-7030,5000;7");
    EXPECT_LT(run.result.latitudeSum, 0.0);
}

TEST(FilterProcess, HemisphereThatIsNeitherStopsTheRunNamingTheLine)
{
    const struct
    {
        std::string line;
        std::string message;
    } cases[] = {
        {rmc("101500", "A", "4807.0380", "01131.0000", "", "E"),
         "the latitude hemisphere '' is neither N nor S"},
        {rmc("101500", "A", "4807.0380", "01131.0000", "N", "1"),
         "the longitude hemisphere '1' is neither E nor W"},
    };
    for (const auto &c : cases) {
        const FilterRun run = runFilter(linesOf({gsa(5), c.line}), classic());
        EXPECT_FALSE(run.completed());
        EXPECT_EQ(run.errorString, c.message);
        EXPECT_EQ(run.errorLine, 2u);
        EXPECT_TRUE(run.errorNeedsLine);
        EXPECT_EQ(run.report.size(), 3u);
    }
    // not accepted anyway: no stop
    const FilterRun notValid =
        runFilter(linesOf({rmc("101500", "V", "4807.0380", "01131.0000", "", "E")}), classic());
    EXPECT_TRUE(notValid.completed());
}

TEST(FilterProcess, EmptyPositionFieldsAreFoundButNotAccepted)
{
    Settings settings = classic();
    settings.IDF = PositionSentence::GGA;
    const FilterRun run = runFilter(linesOf({"$GPGGA,212619.000,,,,,0,00,50.0,,M,0.0,M,,0000*42",
                                             gga("212608", "4807.0380", "01131.0000")}),
                                    settings);
    ASSERT_TRUE(run.completed());
    EXPECT_EQ(run.counts.found, 2u);
    EXPECT_EQ(run.counts.accepted, 1u);
    EXPECT_EQ(run.timeSpanText, " Time: 0h 0m 0s");

    const FilterRun notValid =
        runFilter(linesOf({sentence("GPRMC,212607.891,V,,,,,,,010101,,,N,receiver-chatter")}), classic());
    EXPECT_EQ(notValid.counts.found, 1u);
    EXPECT_EQ(notValid.counts.notValid, 1u);
}

TEST(FilterProcess, FieldThatDoesNotConvertStopsAtItsLine)
{
    const std::string good = rmc("101500", "A", "4807.0380", "01131.0000");
    const std::string bad = rmc("101501", "A", "48A7.0380", "01131.0000");
    Settings settings = classic();
    settings.SatTime = 1;
    const FilterRun run = runFilter(linesOf({good, gsa(4), bad, gsa(4), good}), settings);
    EXPECT_FALSE(run.completed());
    EXPECT_EQ(run.errorString, "'A70380' ist kein g\xFCltiger Integerwert");
    EXPECT_EQ(run.errorLine, 3u);
    // what came before the line stays
    EXPECT_EQ(run.result.displayLines.size(), 1u);
    EXPECT_EQ(run.result.dataLines.size(), 1u);
    EXPECT_EQ(run.points.size(), 1u);
    EXPECT_EQ(run.report.size(), 3u);
    EXPECT_TRUE(run.latitudeText.empty());
}

TEST(FilterProcess, TimeFieldWithLettersStopsAtTheEndNamingItsLine)
{
    const FilterRun run = runFilter(linesOf({rmc("101500", "A", "4807.0380", "01131.0000"),
                                             rmc("1015x0", "A", "4807.0380", "01131.0000")}),
                                    classic());
    EXPECT_FALSE(run.completed());
    EXPECT_EQ(run.errorString, "'x0' ist kein g\xFCltiger Integerwert");
    EXPECT_EQ(run.errorLine, 2u);
    EXPECT_EQ(run.result.displayLines.size(), 2u);
}

TEST(FilterProcess, SatelliteRangesCountEverySentenceOfTheRange)
{
    Settings settings = classic();
    settings.SatTime = 1;
    TextLines log;
    log.append(rmc("101500", "A", "4807.0380", "01131.0000"));
    for (int i = 0; i < 59; ++i)
        log.append(gsa(7));
    EXPECT_TRUE(runFilter(log, settings).bars.empty());

    log.append(gsa(7));
    for (int i = 0; i < 60; ++i)
        log.append(gsa(i < 30 ? 8 : 9));
    for (int i = 0; i < 59; ++i)
        log.append(gsa(12));
    const FilterRun run = runFilter(log, settings);
    EXPECT_EQ(run.bars, (std::vector<SatelliteBar>{{1, 7}, {2, 8}}));
    EXPECT_EQ(listOf(run.result.rangeLines), (std::vector<std::string>{"1;7", "2;8"}));
    EXPECT_EQ(run.result.dataLines.size(), 179u);
}

TEST(FilterProcess, RangeEndsStepBySatTime)
{
    Settings settings = classic();
    settings.SatTime = 15;
    TextLines log;
    for (int i = 0; i < 1800; ++i)
        log.append(gsa(6));
    EXPECT_EQ(runFilter(log, settings).bars, (std::vector<SatelliteBar>{{15, 6}, {30, 6}}));
}

TEST(FilterProcess, DataLinesPairEachGsaWithTheLatestFix)
{
    const FilterRun run = runFilter(linesOf({gsa(3), rmc("101500", "A", "4807.0380", "01131.0000"), gsa(11),
                                             gsa(12), rmc("101501", "A", "807.0380", "00031.5000"), gsa(10)}),
                                    classic());
    EXPECT_EQ(listOf(run.result.dataLines),
              (std::vector<std::string>{"10:15:00;4807,0380;1131,0000;11", "10:15:00;4807,0380;1131,0000;12",
                                        "10:15:01;807,0380;31,5000;10"}));
}

TEST(FilterProcess, SettingsSwitchThePartsOfTheResultOff)
{
    const TextLines log = linesOf({rmc("101500", "A", "4807.0380", "01131.0000"), gsa(5),
                                   rmc("101530", "A", "4807.0400", "01131.0020"), gsa(6)});
    Settings noUtc = classic();
    noUtc.UTC = false;
    const FilterRun withoutTime = runFilter(log, noUtc);
    EXPECT_EQ(withoutTime.timeSpanText, "");
    EXPECT_EQ(withoutTime.report[9], "");
    EXPECT_EQ(withoutTime.result.displayLines[0], "   48\xB0 07,0380'   11\xB0 31,0000'");
    EXPECT_EQ(withoutTime.result.dataLines[0], ";4807,0380;1131,0000;5");

    Settings noAcc = classic();
    noAcc.Acc = false;
    const FilterRun withoutPoints = runFilter(log, noAcc);
    EXPECT_TRUE(withoutPoints.points.empty());
    EXPECT_EQ(withoutPoints.latitudeText, " North latitude : 48\xB0 07,0390'");

    for (const bool gsaOn : {false, true}) {
        Settings satellitesOff = classic();
        satellitesOff.GSA = gsaOn;
        satellitesOff.Sat = !gsaOn;
        satellitesOff.SatTime = 1;
        const FilterRun run = runFilter(log, satellitesOff);
        EXPECT_TRUE(run.result.dataLines.empty());
        EXPECT_TRUE(run.result.rangeLines.empty());
        EXPECT_EQ(run.result.displayLines.size(), 2u);
    }
}

// The command line keeps only what it writes: an endless stream must not
// fill the memory with data lines nobody asked for.
TEST(FilterProcess, WithoutDataLinesTheReportStaysAndTheFixesGoToTheSink)
{
    const std::string body = rmc("101500", "A", "4807.0380", "01131.0000") + "\r\n" + gsa(5) + "\r\n"
                             + rmc("101501", "A", "4807.0400", "01131.0020") + "\r\n" + gsa(6) + "\r\n";
    std::string text;
    for (int i = 0; i < 120; ++i)
        text += body;
    Settings settings = classic();
    settings.SatTime = 1;
    const FilterRun kept = runFilter(text, settings);
    ASSERT_EQ(kept.result.dataLines.size(), 240u);
    ASSERT_EQ(kept.result.rangeLines.size(), 4u);

    FilterOptions options;
    options.keepDataLines = false;
    options.keepFixes = false;
    AcceptedFixes sunk;
    options.fixesSink = [&](const AcceptedFixes &fixes) {
        for (std::size_t i = 0; i < fixes.size(); ++i) {
            sunk.latitudes.push_back(fixes.latitudes[i]);
            sunk.longitudes.push_back(fixes.longitudes[i]);
        }
    };
    options.chunkCount = 3;
    const FilterRun lean = runFilter(text, settings, options);
    EXPECT_EQ(lean.report, kept.report);
    EXPECT_TRUE(lean.result.dataLines.empty());
    EXPECT_TRUE(lean.result.rangeLines.empty());
    EXPECT_TRUE(lean.bars.empty());
    EXPECT_TRUE(lean.fixes.empty());
    EXPECT_EQ(sunk.latitudes, kept.fixes.latitudes);
    EXPECT_EQ(sunk.longitudes, kept.fixes.longitudes);
}

TEST(FilterProcess, TimeSpanRunsPastMidnight)
{
    Settings settings = classic();
    settings.IDF = PositionSentence::GGA;
    const FilterRun run = runFilter(
        linesOf({gga("235000", "5013.4760", "01710.4770"), gga("001000", "5013.4760", "01710.4770")}),
        settings);
    EXPECT_EQ(run.timeSpanText, " Time: 0h 20m 0s");
}

// Without dates every midnight counts: where the time of day goes back by
// more than half a day. Fixes are hours apart here, as in a log that was
// thinned; the rule is the same for a fix every second.
TEST(FilterProcess, TimeSpanOfUndatedFixesCountsEveryMidnight)
{
    const struct
    {
        const char *name;
        std::vector<std::string> times;
        const char *span;
    } cases[] = {
        {"one midnight", {"220000", "030000"}, " Time: 5h 0m 0s"},
        {"fifty hours", {"100000", "200000", "060000", "160000", "020000", "120000"}, " Time: 50h 0m 0s"},
        {"back by an hour is no midnight", {"100000", "120000", "110000"}, " Time: 1h 0m 0s"},
        {"last before first, no midnight", {"100000", "093000"}, " Time: 23h 30m 0s"},
    };
    for (const auto &c : cases) {
        for (const PositionSentence kind : {PositionSentence::GGA, PositionSentence::RMC}) {
            std::string log;
            for (const std::string &time : c.times) {
                log += kind == PositionSentence::GGA
                           ? gga(time, "5013.4760", "01710.4770")
                           : sentence("GPRMC," + time + ".00,A,5013.4760,N,01710.4770,E,0.5,54.7,,,");
                log += "\r\n";
            }
            Settings settings = classic();
            settings.IDF = kind;
            // Each line a chunk of its own, too: the midnights between chunks count.
            for (const unsigned chunks : {1u, 4u}) {
                const FilterRun run = runFilter(log, settings, {}, chunks);
                EXPECT_EQ(run.timeSpanText, c.span) << c.name << ", " << chunks << " chunks";
            }
        }
    }
}

TEST(FilterProcess, TimeSpanOfRmcFixesCountsTheirDays)
{
    const auto fix = [](const std::string &time, const std::string &date) {
        return sentence("GPRMC," + time + ".00,A,4807.0380,N,01131.0000,E,0.5,54.7," + date + ",,");
    };
    const FilterRun run = runFilter(
        linesOf({fix("101500", "191206"), fix("120000", "201206"), gsa(5), fix("022523", "221206")}),
        Settings());
    EXPECT_EQ(run.timeSpanText, " Time: 64h 10m 23s");
    // a fix without a date keeps the one-day rule
    const FilterRun undated = runFilter(linesOf({fix("101500", "191206"), fix("022523", "")}), Settings());
    EXPECT_EQ(undated.timeSpanText, " Time: 16h 10m 23s");
}

// A field with its own sign, or with a control byte, stops the run; the
// message shows the field whole.
// A receiver at the date line: its fixes lie on both sides of 180 degrees.
TEST(FilterProcess, MeanLongitudeOverTheDateLine)
{
    int second = 0;
    const auto fix = [&second](const std::string &lon, const std::string &ew) {
        return sentence("GPRMC,1015" + std::to_string(10 + second++) + ".00,A,1630.0000,S," + lon + "," + ew
                        + ",0.5,54.7,191206,,");
    };
    const struct
    {
        const char *name;
        std::vector<std::string> lines;
        const char *longitude;
    } cases[] = {
        {"east and west of 180",
         {fix("17959.9990", "E"), fix("17959.9990", "W"), fix("17959.9960", "E")},
         " East longitude : 179\xB0 59,9987'"},
        {"mean west of 180",
         {fix("17959.9990", "E"), fix("17959.9950", "W"), fix("17959.9970", "W")},
         " East longitude : -179\xB0 59,9977'"},
        {"one side only, as always",
         {fix("17959.9990", "E"), fix("17959.9970", "E")},
         " East longitude : 179\xB0 59,9980'"},
        {"across 0, as always",
         {fix("00000.0060", "E"), fix("00000.0020", "W")},
         " East longitude : 0\xB0 00,0020'"},
        {"half the world apart, as always",
         {fix("17000.0000", "E"), fix("01000.0000", "W")},
         " East longitude : 80\xB0 00,0000'"},
    };
    for (const auto &c : cases) {
        std::string log;
        for (const std::string &line : c.lines)
            log += line + "\r\n";
        const FilterRun run = runFilter(log, Settings());
        EXPECT_EQ(run.longitudeText, c.longitude) << c.name;
        EXPECT_EQ(run.report[8], c.longitude) << c.name;
    }
}

TEST(FilterProcess, SignedOrControlFieldStopsWithAReadableMessage)
{
    const struct
    {
        std::string line;
        std::string message;
    } cases[] = {
        {rmc("101500", "A", "-4807.0380", "01131.0000", "S"),
         "'-4807.0380' ist kein g\xFCltiger Integerwert"},
        {rmc("101500", "A", "-4807.0380", "01131.0000", "N"),
         "'-4807.0380' ist kein g\xFCltiger Integerwert"},
        {rmc("101500", "A", "4807.0380", "+01131.0000", "N"),
         "'+01131.0000' ist kein g\xFCltiger Integerwert"},
        {rmc("101500", "A",
             std::string("48\0"
                         "7.0380",
                         9),
             "01131.0000"),
         "'\\x0070380' ist kein g\xFCltiger Integerwert"},
        {rmc("101500", "A", "4807.0380", "01131.0000", "N", "\x01"),
         "the longitude hemisphere '\\x01' is neither E nor W"},
    };
    for (const auto &c : cases) {
        const FilterRun run = runFilter(linesOf({c.line}), Settings());
        EXPECT_EQ(run.errorString, c.message) << c.line;
        EXPECT_EQ(run.errorLine, 1u) << c.line;
    }
}

TEST(FilterProcess, SecondRunOverTheDisplayLinesFindsNothing)
{
    const FilterRun first = runFilter(linesOf({rmc("101500", "A", "4807.0380", "01131.0000")}), classic());
    const FilterRun second = runFilter(TextLines::fromText(first.result.displayLines.joined()), classic());
    EXPECT_EQ(second.counts.found, 0u);
    EXPECT_EQ(listOf(second.result.nmeaCopy), listOf(first.result.displayLines));
}

TEST(FilterProcess, ProgressReachesTheEndOnceEachPercent)
{
    TextLines log;
    for (int i = 0; i < 1000; ++i)
        log.append(gsa(4));
    std::vector<std::size_t> positions;
    const std::size_t end = log.textBytes() + 1;
    runFilter(log, classic(), [&](std::size_t position, std::size_t maximum) {
        EXPECT_EQ(maximum, end);
        positions.push_back(position);
    });
    ASSERT_FALSE(positions.empty());
    EXPECT_LE(positions.size(), 101u);
    EXPECT_EQ(positions.front(), 1u);
    EXPECT_EQ(positions.back(), end);
}

} // namespace
} // namespace navorel
