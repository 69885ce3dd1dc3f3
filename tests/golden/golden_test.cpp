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
};

std::vector<GoldenCase> goldenCases()
{
    std::vector<GoldenCase> cases;
    for (const std::string &name : sampleNames()) {
        cases.push_back({name, PositionSentence::RMC});
        cases.push_back({name, PositionSentence::GGA});
    }
    return cases;
}

std::string caseName(const ::testing::TestParamInfo<GoldenCase> &info)
{
    std::string name = info.param.sample + (info.param.kind == PositionSentence::RMC ? "_rmc" : "_gga");
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

std::string expectedBase(const GoldenCase &c)
{
    return c.sample + (c.kind == PositionSentence::RMC ? ".rmc" : ".gga");
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

// Every output of one run, by the file extension it is kept under.
std::vector<std::pair<std::string, std::string>> outputsOf(const FilterRun &run)
{
    if (!run.completed())
        return {{".error", "line " + std::to_string(run.errorLine) + ": " + run.errorString + "\n"}};
    std::string report;
    for (const std::string &line : run.report)
        report += line + "\n";
    return {{".report", report},
            {".csv", versionFree(resultFileText(run.result, ""))},
            {".display", run.result.displayLines.joined()}};
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

TEST_P(Golden, MatchesTheExpectedOutputs)
{
    const GoldenCase &c = GetParam();
    std::string bytes;
    ASSERT_TRUE(readFileBytes((kSamples / c.sample).string(), bytes));
    Settings settings;
    settings.IDF = c.kind;
    const FilterRun run = runFilter(TextLines::fromText(std::move(bytes)), settings);

    const bool rebuild = std::getenv("NAVOREL_REBUILD_GOLDEN") != nullptr;
    const std::string base = expectedBase(c);
    if (rebuild) {
        for (const char *extension : {".error", ".report", ".csv", ".display"})
            fs::remove(kExpected / (base + extension));
    }
    for (const auto &[extension, actual] : outputsOf(run)) {
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

// The command line reads the log block by block into one buffer: any block
// size, scanned in any number of chunks, must give the same outputs.
TEST_P(Golden, ReadingBlockByBlockGivesTheSameOutputs)
{
    const GoldenCase &c = GetParam();
    std::string bytes;
    ASSERT_TRUE(readFileBytes((kSamples / c.sample).string(), bytes));
    Settings settings;
    settings.IDF = c.kind;
    const auto whole = outputsOf(runFilter(std::string_view(bytes), settings));

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
        EXPECT_EQ(outputsOf(process.finish()), whole)
            << blockBytes << "-byte blocks, " << chunks << " chunks";
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, Golden, ::testing::ValuesIn(goldenCases()), caseName);

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
