#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filter/filterprocess.h"
#include "filter/textfile.h"
#include "resultfile/resultfilereader.h"
#include "resultfile/resultfilewriter.h"
#include "tests/core/testlog.h"

namespace navorel {
namespace {

using test::linesOf;

FilterResult resultWith(std::initializer_list<std::string_view> data,
                        std::initializer_list<std::string_view> ranges)
{
    FilterResult result;
    result.dataLines = linesOf(data);
    result.rangeLines = linesOf(ranges);
    return result;
}

std::vector<std::string> listOf(const TextLines &lines)
{
    std::vector<std::string> result;
    for (std::size_t i = 0; i < lines.size(); ++i)
        result.emplace_back(lines[i]);
    return result;
}

TEST(ResultFileWriter, WritesNineLinesAroundTheDataAndRanges)
{
    const std::string empty = resultFileText(FilterResult(), "");
    const std::vector<std::string> lines = listOf(TextLines::fromText(empty));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "Novarel result csv-file ");
    EXPECT_EQ(lines[1].substr(0, 2), "//");
    EXPECT_EQ(lines[2], "// for spredsheet use ';' as divider");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "[DATA]");
    EXPECT_EQ(lines[5], "Time; North Lat.; East Lon.; Satellites");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(lines[7], "[SAT]");
    EXPECT_EQ(lines[8], "Minute range; Satellites in view");
    EXPECT_EQ(empty.substr(empty.size() - 2), "\r\n");

    const std::string text =
        resultFileText(resultWith({"12:35:19;4807,0380;1131,0000;7", ";807,0380;1131,0000;11"}, {"15;7"}),
                       "/home/user/old.csv");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "Novarel result csv-file /home/user/old.csv");
    EXPECT_NE(
        text.find("Satellites\r\n12:35:19;4807,0380;1131,0000;7\r\n;807,0380;1131,0000;11\r\n\r\n[SAT]"),
        std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 40), "Minute range; Satellites in view\r\n15;7\r\n");
}

TEST(ResultFileReader, ReadsBackWhatAFilterRunWrote)
{
    Settings settings;
    settings.SatTime = 1;
    TextLines log;
    const char *fixes[] = {
        "GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,",
        "GPRMC,101501.00,A,0807.0380,S,00031.0000,W,0.5,54.7,191206,,",
    };
    for (int i = 0; i < 120; ++i) {
        log.append(test::sentence(fixes[i % 2]));
        log.append(test::sentence(i < 60 ? "GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,,2.5,1.3,2.1"
                                         : "GPGSA,A,3,01,02,03,04,05,,,,,,,,2.5,1.3,2.1"));
    }
    const FilterRun run = runFilter(log, settings);
    ASSERT_TRUE(run.completed());
    const TextLines file = TextLines::fromText(resultFileText(run.result, ""));

    const ResultFileView view = readResultFile(file);
    ASSERT_TRUE(view.completed()) << view.errorString << " line " << view.errorLine;
    EXPECT_EQ(view.dataLinesRead, 120u);
    EXPECT_EQ(view.points.size(), 120u);
    EXPECT_EQ(listOf(view.displayLines), listOf(run.result.displayLines));
    EXPECT_EQ(view.bars, run.bars);
    EXPECT_EQ(view.latitudeText, " North latitude : 20\xB0 00,0000'");
    EXPECT_EQ(view.reportLines[0], " sentences found     : 120");
    EXPECT_EQ(view.reportLines[1], " not valid sentences : unknown");
    EXPECT_EQ(view.reportLines[2], " all data used.");
    EXPECT_EQ(view.reportLines[3], " ");
    EXPECT_EQ(view.reportLines[4], view.latitudeText);
    EXPECT_EQ(view.reportLines[5], view.longitudeText);
    EXPECT_EQ(view.reportLines.size(), 19u);
    EXPECT_EQ(view.reportLines.back(), " Save the displayed NMEA data to a text file.");
}

TEST(ResultFileReader, ShortFileShowsNothing)
{
    for (const char *text : {"", "a\r\nb\r\nc\r\n", "[DATA]\n\n[SAT]"}) {
        const ResultFileView view = readResultFile(TextLines::fromText(text));
        EXPECT_TRUE(view.tooShort) << text;
        EXPECT_TRUE(view.completed());
        EXPECT_TRUE(view.reportLines.empty());
    }
}

TEST(ResultFileReader, MissingMarkersMakeTheHeaderLinesData)
{
    const std::string written = resultFileText(resultWith({"12:35:19;4807,0380;1131,0000;7"}, {"15;7"}), "");
    std::string noData = written;
    noData.replace(noData.find("[DATA]"), 6, "[XXXX]");
    const ResultFileView withoutData = readResultFile(TextLines::fromText(noData));
    EXPECT_FALSE(withoutData.completed());
    EXPECT_EQ(withoutData.errorLine, 3u);

    std::string noSat = written;
    noSat.replace(noSat.find("[SAT]"), 5, "[XXX]");
    const ResultFileView withoutSat = readResultFile(TextLines::fromText(noSat));
    EXPECT_FALSE(withoutSat.completed());
    EXPECT_EQ(withoutSat.dataLinesRead, 0u);
    EXPECT_EQ(withoutSat.errorLine, 3u);
    EXPECT_EQ(withoutSat.errorString, "'// for spredsheet use '' ist kein g\xFCltiger Integerwert");
}

TEST(ResultFileReader, LineBeforeSatMarkerIsPassedOver)
{
    const ResultFileView view = readResultFile(
        linesOf({"Novarel result csv-file ", "//", "//", "", "[DATA]", "header",
                 "12:00:00;4807,0380;1131,0000;7", "12:00:01;4807,0380;1131,0000;7", "[SAT]", "x", "15;7"}));
    ASSERT_TRUE(view.completed());
    EXPECT_EQ(view.dataLinesRead, 1u);
    EXPECT_EQ(view.bars, (std::vector<SatelliteBar>{{15, 7}}));
}

TEST(ResultFileReader, TitlePathHoldingAMarkerIsTakenAsIt)
{
    const std::string text =
        resultFileText(resultWith({"12:35:19;4807,0380;1131,0000;7"}, {}), "/tmp/[SAT]/a.csv");
    const ResultFileView view = readResultFile(TextLines::fromText(text));
    EXPECT_EQ(view.dataLinesRead, 0u);
    EXPECT_FALSE(view.completed());
}

TEST(ResultFileReader, LinesOutsideTheShapeStopWithTheirText)
{
    const struct
    {
        const char *dataLine;
        const char *failed;
    } cases[] = {
        {"12:35:19;4807.0380;1131.0000;7", ".4807.0380"},
        {"", "."},
        {"12:35:19;4807,0380;1131,0000;", ""},
        {"12:35:19;4807,0380;1131,0000;x", "x"},
        {"12:35:19;48x7,0380;1131,0000;7", "x70380"},
    };
    for (const auto &c : cases) {
        const ResultFileView view =
            readResultFile(linesOf({"t", "c", "c", "", "[DATA]", "h", "12:00:00;4807,0380;1131,0000;7",
                                    c.dataLine, "", "[SAT]", "h"}));
        EXPECT_FALSE(view.completed()) << c.dataLine;
        EXPECT_EQ(view.errorString,
                  std::string("'").append(c.failed).append("' ist kein g\xFCltiger Integerwert"));
        EXPECT_EQ(view.errorLine, 8u);
        EXPECT_EQ(view.points.size(), 1u);
    }
}

TEST(ResultFileReader, FileWithoutDataLinesGivesTheErrorTexts)
{
    const ResultFileView view =
        readResultFile(TextLines::fromText(resultFileText(resultWith({}, {"15;7"}), "")));
    ASSERT_TRUE(view.completed());
    EXPECT_EQ(view.latitudeText, " North latitude : error");
    EXPECT_EQ(view.longitudeText, " East longitude : error");
    EXPECT_EQ(view.reportLines[0], " sentences found     : 0");
    EXPECT_EQ(view.bars.size(), 1u);
}

TEST(ResultFileReader, RangeLinesMustBeTwoWholeNumbers)
{
    const ResultFileView view =
        readResultFile(TextLines::fromText(resultFileText(resultWith({}, {"15;7", "30;x"}), "")));
    EXPECT_FALSE(view.completed());
    EXPECT_EQ(view.errorLine, 11u);
    EXPECT_EQ(view.bars, (std::vector<SatelliteBar>{{15, 7}}));
}

TEST(ResultFileWriter, ReplacesAFileAndReportsAPathItCannotCreate)
{
    const std::string path = ::testing::TempDir() + "navorel-result.csv";
    ASSERT_TRUE(writeFileReplacing(path, "old contents that are longer"));
    ASSERT_TRUE(writeResultFile(path, resultWith({}, {}), ""));
    std::string bytes;
    ASSERT_TRUE(readFileBytes(path, bytes));
    EXPECT_EQ(bytes, resultFileText(FilterResult(), ""));
    EXPECT_FALSE(writeResultFile("/nonexistent-folder/x.csv", FilterResult(), ""));
    EXPECT_FALSE(writeResultFile(::testing::TempDir(), FilterResult(), ""));
}

} // namespace
} // namespace navorel
