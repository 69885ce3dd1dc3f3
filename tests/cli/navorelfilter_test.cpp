#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "filter/filterprocess.h"
#include "filter/textfile.h"
#include "prefs/settingsfile.h"
#include "resultfile/resultfilewriter.h"

namespace navorel {
namespace {

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

const std::string kTemp = ::testing::TempDir();

std::string quoted(const std::string &text)
{
    return "'" + text + "'";
}

const std::string kFilter = NAVOREL_FILTER_BIN;

// Runs a shell command line, its output and errors taken as those of the
// last command.
Outcome runShell(const std::string &commandLine)
{
    // ctest runs tests side by side: each process gets files of its own.
    const std::string own = kTemp + "cli-" + std::to_string(getpid());
    const std::string out = own + ".out", err = own + ".err";
    const std::string command = "{ " + commandLine + "; } >" + quoted(out) + " 2>" + quoted(err);
    const int raw = std::system(command.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    readFileBytes(out, outcome.out);
    readFileBytes(err, outcome.err);
    return outcome;
}

// Runs navorel-filter with arguments (shell words) and standard input from
// input, behind runAs (a command that runs another as someone else).
Outcome runFilterTool(const std::string &arguments, const std::string &input = "/dev/null",
                      const std::string &runAs = "")
{
    return runShell(runAs + kFilter + " " + arguments + " <" + quoted(input));
}

std::string tempFile(const std::string &name, const std::string &bytes)
{
    const std::string path = kTemp + name;
    EXPECT_TRUE(writeFileReplacing(path, bytes));
    return path;
}

const std::string kSample = NAVOREL_SAMPLE_LOG;
const std::string kGoodFix = "$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*0A\r\n";
const std::string kBadFix = "$GPRMC,101501.00,A,48A7.0380,N,01131.0000,E,0.5,54.7,191206,,*7A\r\n";

TEST(NavorelFilter, PrintsTheReportInUtf8)
{
    const Outcome outcome = runFilterTool(quoted(kSample));
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out.rfind(" Filter Report for $--RMC\n ====================\n \n", 0), 0u);
    EXPECT_NE(outcome.out.find(" North latitude : 48\xC2\xB0 "), std::string::npos);
    EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 23);
    EXPECT_TRUE(outcome.err.empty());
}

TEST(NavorelFilter, OptionsSetTheFilter)
{
    EXPECT_EQ(runFilterTool("--gga " + quoted(kSample)).out.rfind(" Filter Report for $--GGA", 0), 0u);
    EXPECT_EQ(
        runFilterTool("--gga --talkers gps " + quoted(kSample)).out.rfind(" Filter Report for $GPGGA", 0),
        0u);
    EXPECT_EQ(runFilterTool("--talkers=GPS --talkers=gnss " + quoted(kSample))
                  .out.rfind(" Filter Report for $--RMC", 0),
              0u);
    EXPECT_EQ(runFilterTool("--talkers gn " + quoted(kSample)).status, 2);
    EXPECT_NE(runFilterTool("--all " + quoted(kSample)).out.find(" all data used."), std::string::npos);
    EXPECT_NE(runFilterTool("--no-utc " + quoted(kSample)).out.find("'\n\n \n \n"), std::string::npos);
    EXPECT_TRUE(runFilterTool("--quiet " + quoted(kSample)).out.empty());
    // the log comes in on standard input, from a file or through a pipe
    const std::string fromFile = runFilterTool(quoted(kSample)).out;
    EXPECT_EQ(runFilterTool("-", kSample).out, fromFile);
    EXPECT_EQ(runShell("cat " + quoted(kSample) + " | " + kFilter + " -").out, fromFile);
}

// A stream without line breaks is no log, but it must not fill the memory.
TEST(NavorelFilter, EndlessInputKeepsTheMemoryBounded)
{
    const Outcome bounded =
        runShell("ulimit -v 60000; head -c 100000000 /dev/zero | " + kFilter + " --quiet -");
    EXPECT_EQ(bounded.status, 0) << bounded.err;
    // killed by the timeout, not ended by a failed allocation
    EXPECT_EQ(runShell("ulimit -v 60000; timeout 1 " + kFilter + " /dev/zero").status, 124);
}

TEST(NavorelFilter, SatTimeIsBroughtIntoRangeAsTheSpinEditDoes)
{
    // an hour of 1 Hz $GPGSA sentences: the range count tells the minutes
    const std::string csv = kTemp + "range.csv";
    const std::pair<const char *, std::size_t> cases[] = {{" 99", 1},
                                                          {"=30", 2},
                                                          {" 15", 4},
                                                          {" 0", 60},
                                                          {" 99999999999999999999", 1},
                                                          {"=-99999999999999999999", 60},
                                                          {"=' 99999999999999999999'", 1}};
    for (const auto &[value, ranges] : cases) {
        ASSERT_EQ(runFilterTool("--quiet --sat-time" + std::string(value) + " --csv " + quoted(csv) + " "
                                + quoted(kSample))
                      .status,
                  0);
        std::string text;
        ASSERT_TRUE(readFileBytes(csv, text));
        const std::string rangeSection = text.substr(text.find("Satellites in view\r\n") + 20);
        EXPECT_EQ(static_cast<std::size_t>(std::count(rangeSection.begin(), rangeSection.end(), '\n')),
                  ranges)
            << value;
    }
}

TEST(NavorelFilter, WritesTheResultFileAndTheDisplayLines)
{
    const std::string csv = kTemp + "out.csv", display = kTemp + "out.txt";
    ASSERT_EQ(runFilterTool("--quiet --csv " + quoted(csv) + " --display " + quoted(display) + " "
                            + quoted(kSample))
                  .status,
              0);
    std::string log, csvText, displayText;
    ASSERT_TRUE(readFileBytes(kSample, log));
    const FilterRun run = runFilter(TextLines::fromText(log), Settings());
    ASSERT_TRUE(readFileBytes(csv, csvText));
    ASSERT_TRUE(readFileBytes(display, displayText));
    EXPECT_EQ(csvText, resultFileText(run.result, ""));
    EXPECT_EQ(displayText, run.result.displayLines.joined());
    EXPECT_NE(displayText.substr(displayText.size() - 2), "\r\n");

    const std::string empty = tempFile("nofix.nmea", "$GPGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99*30\r\n");
    ASSERT_EQ(runFilterTool("--display " + quoted(display) + " " + quoted(empty)).status, 0);
    ASSERT_TRUE(readFileBytes(display, displayText));
    EXPECT_TRUE(displayText.empty());
}

// As --csv /dev/stdout does, through a link of our own to the open output.
TEST(NavorelFilter, ResultFileThroughALinkToStandardOutputIsPrinted)
{
    const std::string link = kTemp + "stdout-link-" + std::to_string(getpid());
    std::remove(link.c_str());
    ASSERT_EQ(::symlink("/proc/self/fd/1", link.c_str()), 0);
    const Outcome outcome = runFilterTool("--quiet --csv " + quoted(link) + " " + quoted(kSample));
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out.rfind("Novarel result csv-file", 0), 0u);
    struct stat info
    {};
    EXPECT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    std::remove(link.c_str());
}

// A shared install: the folder is root's, the result file the user's.
TEST(NavorelFilter, SavesAWritableFileInAFolderTheUserCannotWrite)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    const std::string folder = kTemp + "shared-" + std::to_string(getpid());
    ASSERT_EQ(std::system(("rm -rf " + quoted(folder)).c_str()), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string csv = tempFile(folder.substr(kTemp.size()) + "/result.csv", "old");
    ASSERT_EQ(::chown(csv.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::symlink("result.csv", (folder + "/link.csv").c_str()), 0);

    const Outcome outcome =
        runFilterTool("--quiet --csv " + quoted(folder + "/link.csv") + " " + quoted(kSample), "/dev/null",
                      "setpriv --reuid=nobody --regid=nogroup --clear-groups ");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    std::string text;
    ASSERT_TRUE(readFileBytes(csv, text));
    EXPECT_EQ(text.rfind("Novarel result csv-file", 0), 0u);
    std::system(("rm -rf " + quoted(folder)).c_str());
}

TEST(NavorelFilter, StoppedRunNamesTheLineAndWritesNothing)
{
    const std::string log = tempFile("bad.nmea", kGoodFix + kBadFix);
    const std::string csv = kTemp + "never.csv";
    std::remove(csv.c_str());
    const Outcome outcome = runFilterTool("--csv " + quoted(csv) + " " + quoted(log));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "navorel-filter: line 2: 'A70380' ist kein g\xC3\xBCltiger Integerwert\n");
    EXPECT_TRUE(outcome.out.empty());
    std::string ignored;
    EXPECT_FALSE(readFileBytes(csv, ignored));

    // the line is named once, not again inside the message
    const std::string west =
        tempFile("hemisphere.nmea", kGoodFix + kGoodFix.substr(0, 29) + "X" + kGoodFix.substr(30));
    EXPECT_EQ(runFilterTool("--talkers gps " + quoted(west)).err,
              "navorel-filter: line 2: the latitude hemisphere 'X' is neither N nor S\n");
}

TEST(NavorelFilter, UsageAndFileErrorsExitWithTwo)
{
    EXPECT_EQ(runFilterTool("").status, 2);
    EXPECT_EQ(runFilterTool("--bogus " + quoted(kSample)).status, 2);
    EXPECT_EQ(runFilterTool("--csv").status, 2);
    EXPECT_EQ(runFilterTool(quoted(kSample) + " " + quoted(kSample)).status, 2);

    const Outcome missing = runFilterTool("/nonexistent/log.nmea");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "navorel-filter: Datei /nonexistent/log.nmea kann nicht ge\xC3\xB6"
                           "ffnet werden\n");

    const Outcome unwritable = runFilterTool("--csv /nonexistent/out.csv " + quoted(kSample));
    EXPECT_EQ(unwritable.status, 2);
    // the system's reason says what to mend
    EXPECT_EQ(unwritable.err,
              "navorel-filter: Datei /nonexistent/out.csv kann nicht erstellt werden: No such "
              "file or directory\n");

    const Outcome full = runShell(kFilter + " " + quoted(kSample) + " >/dev/full");
    EXPECT_EQ(full.status, 2);
    EXPECT_NE(full.err.find("standard output"), std::string::npos) << full.err;

    const Outcome help = runFilterTool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: navorel-filter", 0), 0u);
    EXPECT_EQ(runFilterTool("--version").out, "navorel-filter " NAVOREL_VERSION "\n");
}

TEST(NavorelFilter, EmptyNamesAndNumbersThatAreNoneAreUsageErrors)
{
    for (const char *arguments : {"--csv ''", "--csv=", "--display ''", "--settings ''", "--sat-time abc",
                                  "--sat-time 15min", "--sat-time 1e1", "--sat-time ''", "--sat-time=1.5"}) {
        const Outcome outcome = runFilterTool(std::string(arguments) + " " + quoted(kSample));
        EXPECT_EQ(outcome.status, 2) << arguments;
        EXPECT_NE(outcome.err.find("Try 'navorel-filter --help'"), std::string::npos) << arguments;
    }
}

TEST(NavorelFilter, NeverWritesOverTheLogItReads)
{
    std::string bytes;
    ASSERT_TRUE(readFileBytes(kSample, bytes));
    const std::string log = tempFile("own.nmea", bytes);
    const std::string symbolic = kTemp + "own-link.nmea", hard = kTemp + "own-hard.nmea";
    std::remove(symbolic.c_str());
    std::remove(hard.c_str());
    ASSERT_EQ(::symlink(log.c_str(), symbolic.c_str()), 0);
    ASSERT_EQ(::link(log.c_str(), hard.c_str()), 0);
    const std::string cases[] = {
        "--csv " + quoted(log) + " " + quoted(log), "--display " + quoted(symbolic) + " " + quoted(log),
        "--csv " + quoted(hard) + " " + quoted(log), "--display " + quoted(log) + " -"};
    for (const std::string &arguments : cases) {
        const Outcome outcome = runFilterTool(arguments, log);
        EXPECT_EQ(outcome.status, 2) << arguments;
        EXPECT_NE(outcome.err.find("over the log"), std::string::npos) << arguments;
        std::string after;
        ASSERT_TRUE(readFileBytes(log, after));
        EXPECT_TRUE(after == bytes) << arguments;
    }
}

TEST(NavorelFilter, SettingsFileComesFirstAndOptionsOverrideIt)
{
    Settings stored;
    stored.IDF = PositionSentence::GGA;
    stored.Valid = false;
    // A folder of its own: the navorel.conf beside the settings file counts.
    const std::string folder = kTemp + "cli-settings-" + std::to_string(getpid()) + "/";
    ASSERT_EQ(std::system(("mkdir -p " + quoted(folder)).c_str()), 0);
    const std::string ini = folder + "NAVRL.ini";
    ASSERT_TRUE(writeSettingsFile(ini, stored));
    std::remove((folder + "navorel.conf").c_str());

    const std::string fromFile = runFilterTool("--settings " + quoted(ini) + " " + quoted(kSample)).out;
    EXPECT_EQ(fromFile.rfind(" Filter Report for $--GGA", 0), 0u);
    EXPECT_NE(fromFile.find(" all data used."), std::string::npos);
    EXPECT_EQ(runFilterTool("--rmc --settings " + quoted(ini) + " " + quoted(kSample))
                  .out.rfind(" Filter Report for $--RMC", 0),
              0u);

    tempFile("cli-settings-" + std::to_string(getpid()) + "/navorel.conf", "[Filter]\nTalkers=GPS\n");
    EXPECT_EQ(runFilterTool("--settings " + quoted(ini) + " " + quoted(kSample))
                  .out.rfind(" Filter Report for $GPGGA", 0),
              0u);
    EXPECT_EQ(runFilterTool("--talkers gnss --settings " + quoted(ini) + " " + quoted(kSample))
                  .out.rfind(" Filter Report for $--GGA", 0),
              0u);
    std::remove((folder + "navorel.conf").c_str());

    const std::string wrong = tempFile("wrong.ini", "a\r\nb\r\n");
    const Outcome outcome = runFilterTool("--settings " + quoted(wrong) + " " + quoted(kSample));
    EXPECT_EQ(outcome.status, 2);
    // which file, and what is wrong with it
    EXPECT_EQ(outcome.err, "navorel-filter: " + wrong
                               + ": Wrong INI File. Check the Preferences. (it has only 2 lines)\n");
    EXPECT_EQ(runFilterTool("--settings /nonexistent/NAVRL.ini " + quoted(kSample)).err,
              "navorel-filter: /nonexistent/NAVRL.ini: Wrong INI File. Check the Preferences. (it does not "
              "exist)\n");
}

} // namespace
} // namespace navorel
