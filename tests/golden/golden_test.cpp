// Runs the filter over real receiver logs and compares the report, the
// result file and the display lines with the expected files in expected/.
// NAVOREL_REBUILD_GOLDEN=1 writes the expected files anew; read the diff
// before committing it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "filter/blockreader.h"
#include "filter/filterprocess.h"
#include "filter/textfile.h"
#include "resultfile/resultfilewriter.h"

namespace navorel {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = NAVOREL_SAMPLES_DIR;
const fs::path kExpected = NAVOREL_GOLDEN_DIR;

std::vector<std::string> sampleNames()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(kSamples, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name != "README.md")
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct GoldenCase
{
    std::string sample;
    PositionSentence kind;
    TalkerMode talkers;
};

std::vector<GoldenCase> goldenCases()
{
    std::vector<GoldenCase> cases;
    for (const std::string &name : sampleNames()) {
        for (const TalkerMode talkers : {TalkerMode::GPS, TalkerMode::GNSS}) {
            cases.push_back({name, PositionSentence::RMC, talkers});
            cases.push_back({name, PositionSentence::GGA, talkers});
        }
    }
    return cases;
}

// "x.log.rmc" for the classic $GP mode, "x.log.gnss-rmc" with every talker.
std::string modeSuffix(const GoldenCase &c)
{
    return std::string(c.talkers == TalkerMode::GNSS ? "gnss-" : "")
           + (c.kind == PositionSentence::RMC ? "rmc" : "gga");
}

std::string caseName(const ::testing::TestParamInfo<GoldenCase> &info)
{
    std::string name = info.param.sample + "_" + modeSuffix(info.param);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

std::string expectedBase(const GoldenCase &c)
{
    return c.sample + "." + modeSuffix(c);
}

// Line 2 of a result file names the program's version; the expected files
// keep a placeholder so that a version bump leaves them alone.
std::string versionFree(std::string text)
{
    const std::string version = NAVOREL_VERSION;
    const std::size_t line2 = text.find('\n') + 1;
    const std::size_t end = text.find('\n', line2);
    const std::size_t at = text.find(" " + version + " ", line2);
    if (line2 != 0 && at != std::string::npos && at < end)
        text.replace(at + 1, version.size(), "<version>");
    return text;
}

// What the run found out about the log, a line each, as --json has it.
std::string qualityText(const LogQuality &quality)
{
    std::string text = "fix classes:";
    for (std::size_t c = 0; c < kFixClasses; ++c) {
        if (quality.fixClasses[c] == 0)
            continue;
        text += ' ';
        text += fixClassName(static_cast<FixClass>(c));
        text += ' ';
        text += std::to_string(quality.fixClasses[c]);
    }
    const std::pair<const char *, std::size_t> counts[] = {
        {"below the minimum", quality.belowMinimum},   {"wrong checksums", quality.checksumErrors},
        {"without checksum", quality.withoutChecksum}, {"impossible positions", quality.impossiblePositions},
        {"time gaps", quality.times.gaps()},           {"time backwards", quality.times.backwards()},
    };
    for (const auto &[name, count] : counts) {
        text += '\n';
        text += name;
        text += ": ";
        text += std::to_string(count);
    }
    text += "\nreceiver sigma:";
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const std::optional<double> rms = quality.receiverSigma.rms(axis);
        text += ' ';
        text += rms ? std::to_string(*rms) : std::string("-");
    }
    text += '\n';
    return text;
}

// Every output of one run, by the file extension it is kept under; the
// quality of the log where the sentences are checked.
std::vector<std::pair<std::string, std::string>> outputsOf(const FilterRun &run, bool checked = false)
{
    if (!run.completed())
        return {{".error", "line " + std::to_string(run.errorLine) + ": " + run.errorString + "\n"}};
    std::string report;
    for (const std::string &line : run.report)
        report += line + "\n";
    std::vector<std::pair<std::string, std::string>> outputs = {
        {".report", report},
        {".csv", versionFree(resultFileText(run.result, ""))},
        {".display", run.result.displayLines.joined()}};
    if (checked)
        outputs.emplace_back(".quality", qualityText(run.quality));
    return outputs;
}

std::vector<std::string> splitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

// Points at the first line that differs, so that a failure reads at once.
void expectSameText(const std::string &file, const std::string &expected, const std::string &actual)
{
    if (expected == actual)
        return;
    const std::vector<std::string> want = splitLines(expected);
    const std::vector<std::string> got = splitLines(actual);
    for (std::size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
        const std::string w = i < want.size() ? want[i] : "<no line>";
        const std::string g = i < got.size() ? got[i] : "<no line>";
        if (w != g) {
            ADD_FAILURE() << file << ": line " << i + 1 << " differs\n  expected: " << w
                          << "\n  actual:   " << g;
            return;
        }
    }
    ADD_FAILURE() << file << ": differs in its line ends";
}

class Golden : public ::testing::TestWithParam<GoldenCase>
{};

Settings settingsFor(const GoldenCase &c)
{
    Settings settings;
    settings.IDF = c.kind;
    settings.Talkers = c.talkers;
    return settings;
}

TEST_P(Golden, MatchesTheExpectedOutputs)
{
    const GoldenCase &c = GetParam();
    std::string bytes;
    ASSERT_TRUE(readFileBytes((kSamples / c.sample).string(), bytes));
    const FilterRun run = runFilter(TextLines::fromText(std::move(bytes)), settingsFor(c));

    const bool rebuild = std::getenv("NAVOREL_REBUILD_GOLDEN") != nullptr;
    const std::string base = expectedBase(c);
    if (rebuild) {
        for (const char *extension : {".error", ".report", ".csv", ".display", ".quality"})
            fs::remove(kExpected / (base + extension));
    }
    for (const auto &[extension, actual] : outputsOf(run, checksSentences(settingsFor(c)))) {
        const fs::path file = kExpected / (base + extension);
        if (rebuild) {
            ASSERT_TRUE(writeFileReplacing(file.string(), actual));
            continue;
        }
        std::string expected;
        ASSERT_TRUE(readFileBytes(file.string(), expected)) << "missing expected file " << file;
        expectSameText(file.filename().string(), expected, actual);
    }
}

// With every talker and --checksums ignore a log is read line by line, as
// before sentences were checked: the outputs of then. Where checking
// changed them, they are kept under "gnss-lines-" (frozen, never rebuilt).
class GoldenLines : public ::testing::TestWithParam<GoldenCase>
{};

TEST_P(GoldenLines, WithEveryTalkerGiveTheOutputsOfBefore)
{
    const GoldenCase &c = GetParam();
    std::string bytes;
    ASSERT_TRUE(readFileBytes((kSamples / c.sample).string(), bytes));
    Settings settings = settingsFor(c);
    settings.Checksums = ChecksumMode::Ignore;
    const FilterRun run = runFilter(std::string_view(bytes), settings);
    const std::string lines = c.sample + ".gnss-lines-" + (c.kind == PositionSentence::RMC ? "rmc" : "gga");
    const bool frozen =
        fs::exists(kExpected / (lines + ".report")) || fs::exists(kExpected / (lines + ".error"));
    for (const auto &[extension, actual] : outputsOf(run)) {
        const fs::path file = kExpected / ((frozen ? lines : expectedBase(c)) + extension);
        std::string expected;
        ASSERT_TRUE(readFileBytes(file.string(), expected)) << "missing expected file " << file;
        expectSameText(file.filename().string(), expected, actual);
    }
}

// The command line reads the log block by block into one buffer: any block
// size, scanned in any number of chunks, must give the same outputs.
TEST_P(Golden, ReadingBlockByBlockGivesTheSameOutputs)
{
    const GoldenCase &c = GetParam();
    std::string bytes;
    ASSERT_TRUE(readFileBytes((kSamples / c.sample).string(), bytes));
    const Settings settings = settingsFor(c);
    const bool checked = checksSentences(settings);
    const auto whole = outputsOf(runFilter(std::string_view(bytes), settings), checked);

    const std::pair<std::size_t, unsigned> cases[] = {{1, 1},  {2, 0},    {3, 3},
                                                      {64, 2}, {4093, 5}, {1 << 20, 2}};
    for (const auto &[blockBytes, chunks] : cases) {
        FilterOptions options;
        options.chunkCount = chunks;
        FilterProcess process(settings, options);
        if (blockBytes < 64) {
            // the same pieces without a system call per byte
            for (std::size_t at = 0; at < bytes.size(); at += blockBytes)
                process.feed(std::string_view(bytes).substr(at, blockBytes));
        } else {
            const int fd = ::open((kSamples / c.sample).c_str(), O_RDONLY);
            ASSERT_GE(fd, 0);
            BlockReader reader(blockBytes);
            ASSERT_TRUE(reader.readAll(fd, [&](std::string_view block) { return process.feed(block); }));
            ::close(fd);
        }
        EXPECT_EQ(outputsOf(process.finish(), checked), whole)
            << blockBytes << "-byte blocks, " << chunks << " chunks";
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, Golden, ::testing::ValuesIn(goldenCases()), caseName);

std::vector<GoldenCase> everyTalkerCases()
{
    std::vector<GoldenCase> cases = goldenCases();
    std::erase_if(cases, [](const GoldenCase &c) { return c.talkers != TalkerMode::GNSS; });
    return cases;
}
INSTANTIATE_TEST_SUITE_P(Samples, GoldenLines, ::testing::ValuesIn(everyTalkerCases()), caseName);

// Two multi-GNSS logs whose expected values were counted by hand from the
// logs, so that a rebuild of the expected files cannot slip a wrong count in.
//
// gpsd-ch-4711.log, a GLONASS mouse: 14 RMC epochs, 135651 to 135704. The
// 7 with a fix are $GNRMC (135651-53, 55-57) and one $GLRMC (135654); the
// 7 without are $GPRMC with status V. Mean of the 7 fixes: latitude
// 5543.0328 five times, .0329 and .0328 again (43,0328'); longitude .7198
// three times, .7197, .7199, .7201, .7204 (sum of the last digits 9 over
// 7: 24,7199'); 135651 to 135657 is 6 s. Satellites: 14 GSA epochs. A GN
// epoch is two $GNGSA, 19 and 27 (GPS) then 67, 84, 83, 75 (GLONASS), 6
// satellites; the GL epoch after 135654 is one $GLGSA of 4; the 7 epochs
// without a fix are one empty $GPGSA each, 0 satellites, paired with the
// last fix, 135657.
//
// gpsd-bu353-glonass.log, a SiRF III with GLONASS: 19 $GNRMC, 081411 to
// 081429, the last 10 with status V. Latitudes .1955 to .1973 sum to
// 17676 over 9 (41,1964'); longitudes .2872 to .2934 to 26196 over 9
// (37,2911'); 8 s. Each second begins with two $GNGSA (4 GPS IDs, then 1
// or 2 GLONASS ones), before that second's RMC: the first epoch comes
// before any fix and gives no data line, each later one is paired with the
// fix of the second before: 5, 5, then six times 6 satellites, then 10
// empty epochs with the last fix, 081419.
TEST(GoldenSet, MultiGnssValuesCountedByHand)
{
    const struct
    {
        const char *sample;
        const char *counts; // report lines 4 to 10
        std::vector<std::string> satellites;
        std::string lastDataLine;
    } cases[] = {
        {"gpsd-ch-4711.log",
         " sentences found     : 14\n not valid sentences : 7\n only valid data used.\n \n"
         " North latitude : 55\xB0 43,0328'\n East longitude : 37\xB0 24,7199'\n Time: 0h 0m 6s\n",
         {"6", "6", "6", "4", "6", "6", "6", "0", "0", "0", "0", "0", "0", "0"},
         "13:56:57;5543,0328;3724,7204;0"},
        {"gpsd-bu353-glonass.log",
         " sentences found     : 19\n not valid sentences : 10\n only valid data used.\n \n"
         " North latitude : 55\xB0 41,1964'\n East longitude : 37\xB0 37,2911'\n Time: 0h 0m 8s\n",
         {"5", "5", "6", "6", "6", "6", "6", "6", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"},
         "08:14:19;5541,1973;3737,2934;0"},
    };
    for (const auto &c : cases) {
        std::string bytes;
        ASSERT_TRUE(readFileBytes((kSamples / c.sample).string(), bytes));
        const FilterRun run = runFilter(TextLines::fromText(std::move(bytes)), Settings());
        ASSERT_TRUE(run.completed()) << c.sample;
        std::string counts;
        for (std::size_t i = 3; i < 10; ++i)
            counts += run.report[i] + "\n";
        EXPECT_EQ(counts, c.counts) << c.sample;
        std::vector<std::string> satellites;
        for (std::size_t i = 0; i < run.result.dataLines.size(); ++i) {
            const std::string_view line = run.result.dataLines[i];
            satellites.emplace_back(line.substr(line.rfind(';') + 1));
        }
        EXPECT_EQ(satellites, c.satellites) << c.sample;
        ASSERT_FALSE(run.result.dataLines.empty());
        EXPECT_EQ(run.result.dataLines[run.result.dataLines.size() - 1], c.lastDataLine) << c.sample;
    }
}

// The classes of the fixes, counted by hand in the logs. Trimble R2
// (nmeaparser-TrimbleR2SampleData.txt): 9 GGA fixes of quality 5 (RTK
// float) and 25 of quality 2 (differential); its RMC sentences say D for
// all 34, as RMC has no letter for RTK before NMEA 4.1. The NmeaSampleData
// receiver: 1173 GGA fixes of quality 1 and 366 of quality 2. Quectel: 34
// RMC fixes of mode A. The u-blox LEA-5H: 19 RMC fixes of mode A, the 19th
// without its GGA.
TEST(GoldenSet, FixClassesCountedByHand)
{
    const struct
    {
        const char *sample;
        PositionSentence kind;
        std::vector<std::pair<FixClass, std::size_t>> classes;
    } cases[] = {
        {"nmeaparser-TrimbleR2SampleData.txt",
         PositionSentence::GGA,
         {{FixClass::RtkFloat, 9}, {FixClass::Differential, 25}}},
        {"nmeaparser-TrimbleR2SampleData.txt", PositionSentence::RMC, {{FixClass::Differential, 34}}},
        {"nmeaparser-NmeaSampleData-first20007lines.txt",
         PositionSentence::GGA,
         {{FixClass::Autonomous, 1173}, {FixClass::Differential, 366}}},
        {"gpsd-quectel.log", PositionSentence::RMC, {{FixClass::Autonomous, 34}}},
        {"gpsd-ublox-lea-5h.log", PositionSentence::RMC, {{FixClass::Autonomous, 19}}},
    };
    for (const auto &c : cases) {
        std::string bytes;
        ASSERT_TRUE(readFileBytes((kSamples / c.sample).string(), bytes));
        Settings settings;
        settings.IDF = c.kind;
        const FilterRun run = runFilter(std::string_view(bytes), settings);
        std::array<std::size_t, kFixClasses> expected{};
        for (const auto &[fixClass, count] : c.classes)
            expected[static_cast<std::size_t>(fixClass)] = count;
        EXPECT_EQ(run.quality.fixClasses, expected) << c.sample;
    }
}

TEST(GoldenSet, EverySampleHasItsOutputsAndNoOutputIsLeftOver)
{
    const std::vector<std::string> samples = sampleNames();
    EXPECT_EQ(samples.size(), 29u) << "samples expected in " << kSamples;
    for (const auto &entry : fs::directory_iterator(kExpected)) {
        const std::string name = entry.path().filename().string();
        const std::string sample = name.substr(0, name.rfind(".", name.rfind(".") - 1));
        EXPECT_TRUE(std::find(samples.begin(), samples.end(), sample) != samples.end())
            << name << " belongs to no sample";
    }
}

} // namespace
} // namespace navorel
