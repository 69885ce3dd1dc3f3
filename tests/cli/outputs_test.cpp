// The files one navorel-filter run writes: never over its log nor over each
// other, all or none, and in bounded memory however long the log.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "filter/textfile.h"
#include "tests/core/testlog.h"

namespace navorel {
namespace {

const std::string kTool = NAVOREL_FILTER_BIN;
const std::string kSample = NAVOREL_SAMPLE_LOG;

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

// A folder of its own per test, emptied first.
class Outputs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = ::testing::TempDir() + "outputs-" + std::to_string(::getpid()) + "-" + info->name() + "/";
        ASSERT_EQ(std::system(("rm -rf '" + m_folder + "' && mkdir -p '" + m_folder + "'").c_str()), 0);
    }
    void TearDown() override { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    std::string at(const std::string &name) const { return m_folder + name; }
    std::string file(const std::string &name, const std::string &bytes) const
    {
        EXPECT_TRUE(writeFileReplacing(at(name), bytes));
        return at(name);
    }
    static bool exists(const std::string &path)
    {
        struct stat info
        {};
        return ::lstat(path.c_str(), &info) == 0;
    }
    static std::string contents(const std::string &path)
    {
        std::string bytes;
        readFileBytes(path, bytes);
        return bytes;
    }
    // navorel-filter with arguments (shell words), run in the test's folder.
    Outcome run(const std::string &arguments, const std::string &input = "/dev/null") const
    {
        return shell(kTool + " " + arguments, input);
    }
    Outcome shell(const std::string &commandLine, const std::string &input = "/dev/null") const
    {
        const std::string out = at(".out"), err = at(".err");
        const std::string command =
            "cd '" + m_folder + "' && " + commandLine + " <'" + input + "' >'" + out + "' 2>'" + err + "'";
        const int raw = std::system(command.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        readFileBytes(out, outcome.out);
        readFileBytes(err, outcome.err);
        ::unlink(out.c_str());
        ::unlink(err.c_str());
        return outcome;
    }

    std::string m_folder;
};

std::string sampleBytes()
{
    std::string bytes;
    EXPECT_TRUE(readFileBytes(kSample, bytes));
    return bytes;
}

TEST_F(Outputs, NoOutputIsWrittenOverTheLogNorOverAnotherOutput)
{
    const std::string bytes = sampleBytes();
    const std::string log = file("log.nmea", bytes);
    ASSERT_EQ(::symlink("log.nmea", at("link.gpx").c_str()), 0);
    ASSERT_EQ(::symlink("later.gpx", at("dangling.gpx").c_str()), 0);
    ASSERT_EQ(::mkdir(at("sub").c_str(), 0755), 0);
    // arguments, input on standard input, the two names the message gives
    const struct
    {
        std::string arguments, input, first, second;
    } cases[] = {
        {"--gpx-track log.nmea log.nmea", "/dev/null", "--gpx-track log.nmea", "log.nmea"},
        {"--gpx log.nmea log.nmea", "/dev/null", "--gpx log.nmea", "log.nmea"},
        {"--kml link.gpx log.nmea", "/dev/null", "--kml link.gpx", "log.nmea"},
        {"--gpx-track log.nmea -", log, "--gpx-track log.nmea", "standard input"},
        {"--csv same.out --gpx same.out log.nmea", "/dev/null", "--gpx same.out", "--csv same.out"},
        {"--csv same.out --gpx-track sub/../same.out log.nmea", "/dev/null", "--gpx-track sub/../same.out",
         "--csv same.out"},
        {"--kml later.gpx --gpx-track dangling.gpx log.nmea", "/dev/null", "--gpx-track dangling.gpx",
         "--kml later.gpx"},
        {"--display shown.txt --gpx " + at("shown.txt") + " log.nmea", "/dev/null",
         "--gpx " + at("shown.txt"), "--display shown.txt"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments);
        const Outcome outcome = run(c.arguments, c.input);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_NE(outcome.err.find(c.first), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(c.second), std::string::npos) << outcome.err;
        EXPECT_TRUE(contents(log) == bytes);
        EXPECT_FALSE(exists(at("same.out")));
        EXPECT_FALSE(exists(at("later.gpx")));
        EXPECT_FALSE(exists(at("shown.txt")));
    }
    // an existing output under two names is refused too; writing twice to a device is not
    const std::string old = file("old.csv", "old");
    EXPECT_EQ(run("--csv old.csv --kml ./old.csv log.nmea").status, 2);
    EXPECT_EQ(contents(old), "old");
    EXPECT_EQ(run("--quiet --csv /dev/null --gpx-track /dev/null log.nmea").status, 0);
}

// A run that fails at its end leaves every output as it was: none is in
// place before all of them are whole.
TEST_F(Outputs, ARunThatFailsWritesNoneOfItsOutputs)
{
    const std::string noFix = file("nofix.nmea", "$GPGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99*30\r\n");
    const std::string kept = file("kept.csv", "kept");
    const Outcome outcome = run("--csv kept.csv --gpx-track t.gpx --display d.txt --gpx m.gpx nofix.nmea");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "navorel-filter: no fix accepted, no mean position to write\n");
    EXPECT_EQ(contents(kept), "kept");
    for (const char *name : {"t.gpx", "d.txt", "m.gpx"})
        EXPECT_FALSE(exists(at(name))) << name;

    // --json still prints its object of nulls
    const Outcome json = run("--json --gpx m.gpx nofix.nmea");
    EXPECT_EQ(json.status, 2);
    EXPECT_EQ(json.out.rfind("{\"sentences_found\": 0, \"not_valid\": 0, \"fixes\": 0, \"mean\": null", 0),
              0u)
        << json.out;

    // an output that cannot be made stops the run before anything is written, saying why
    const Outcome missing = run("--csv kept.csv --gpx-track /nonexistent/t.gpx '" + kSample + "'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err,
              "navorel-filter: Datei /nonexistent/t.gpx kann nicht erstellt werden: No such file or "
              "directory\n");
    EXPECT_EQ(contents(kept), "kept");
    EXPECT_TRUE(missing.out.empty());

    // a full disk at the end (here: the device that is always full) leaves the others alone
    const Outcome full = run("--quiet --csv kept.csv --gpx-track /dev/full '" + kSample + "'");
    EXPECT_EQ(full.status, 2);
    EXPECT_NE(full.err.find("/dev/full kann nicht erstellt werden: No space left on device"),
              std::string::npos)
        << full.err;
    EXPECT_EQ(contents(kept), "kept");

    // all well: all of them are there
    EXPECT_EQ(run("--quiet --csv kept.csv --gpx-track t.gpx --gpx m.gpx '" + kSample + "'").status, 0);
    EXPECT_EQ(contents(kept).rfind("Novarel result csv-file", 0), 0u);
    EXPECT_NE(contents(at("t.gpx")).find("</gpx>"), std::string::npos);
    EXPECT_NE(contents(at("m.gpx")).find("<wpt "), std::string::npos);
}

TEST_F(Outputs, Utf16LogGetsANote)
{
    const std::string rmc = "$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*0A\r\n";
    std::string utf16 = "\xFF\xFE", bare;
    for (const char c : rmc) {
        utf16 += std::string{c, '\0'};
        bare += std::string{'\0', c};
    }
    const std::string note =
        "looks like UTF-16 text, not 8-bit NMEA: convert it first (iconv -f UTF-16 -t WINDOWS-1252)\n";
    const Outcome marked = run("--quiet " + file("log.nmea", utf16));
    EXPECT_EQ(marked.status, 0);
    EXPECT_EQ(marked.err, "navorel-filter: " + at("log.nmea") + ": " + note);
    EXPECT_EQ(run("--quiet -", file("big-endian.nmea", bare)).err, "navorel-filter: standard input: " + note);
    EXPECT_EQ(run("--quiet '" + kSample + "'").err, "");
}

// An endless stream of sentences (a receiver on a FIFO) with nothing asked
// to be written keeps no line: the memory stays bounded. A run that kept
// every data line would need about twice the limit here.
TEST_F(Outputs, EndlessSentencesWithNothingToWriteKeepTheMemoryBounded)
{
    const std::string epoch = test::sentence("GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,")
                              + "\r\n" + test::sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1")
                              + "\r\n" + test::sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1") + "\r";
    file("epoch.nmea", epoch);
    file("endless.sh", "ulimit -v 400000\nyes \"$(cat epoch.nmea)\" | head -c 700000000 | " + kTool
                           + " --quiet --talkers gps -\n");
    const Outcome outcome = shell("bash endless.sh");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
}

} // namespace
} // namespace navorel
