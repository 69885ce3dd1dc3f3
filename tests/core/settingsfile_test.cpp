#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include "filter/textfile.h"
#include "prefs/settingsfile.h"
#include "tests/defaultsettingslines.h"

namespace navorel {
namespace {

std::vector<std::string> defaultLines()
{
    return test::defaultSettingsLines();
}

TextLines toLines(const std::vector<std::string> &lines)
{
    TextLines result;
    for (const std::string &line : lines)
        result.append(line);
    return result;
}

// Reads lines into a record that starts from the given settings.
SettingsFileRead readInto(const std::vector<std::string> &lines, Settings &settings)
{
    SettingsRecordTarget target(settings);
    return readSettingsLines(toLines(lines), target);
}

// Keeps the order in which the values arrive.
class RecordingTarget : public SettingsTarget
{
public:
    void setValue(SettingKey key, int value) override { values.emplace_back(key, value); }
    std::vector<std::pair<SettingKey, int>> values;
};

TEST(SettingsFile, WritesTheTwentyEightLines)
{
    const TextLines written = TextLines::fromText(settingsFileText(Settings()));
    const std::vector<std::string> expected = defaultLines();
    ASSERT_EQ(written.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (i == 1)
            EXPECT_EQ(written[i].substr(0, 2), "; ");
        else
            EXPECT_EQ(written[i], expected[i]) << "line " << i + 1;
    }
    const std::string text = settingsFileText(Settings());
    EXPECT_EQ(text.substr(text.size() - 8), "Stop=0\r\n");
}

TEST(SettingsFile, RoundTripKeepsEveryValue)
{
    Settings changed;
    changed.Help = false;
    changed.Progress = false;
    changed.Respage = false;
    changed.COMclr = true;
    changed.ToolBar = false;
    changed.IDF = PositionSentence::GGA;
    changed.GSA = false;
    changed.Valid = false;
    changed.UTC = false;
    changed.Acc = false;
    changed.Sat = false;
    changed.SatTime = 42;
    changed.Port = 9;
    changed.Baud = 10;
    changed.Data = 0;
    changed.Parity = 3;
    changed.Stop = 1;
    for (const Settings &original : {Settings(), changed}) {
        Settings read = original == Settings() ? changed : Settings();
        SettingsRecordTarget target(read);
        const SettingsFileRead result =
            readSettingsLines(TextLines::fromText(settingsFileText(original)), target);
        EXPECT_EQ(result.status, SettingsFileRead::Status::Read);
        EXPECT_EQ(read, original);
    }
}

TEST(SettingsFile, ValuesArriveInFileOrder)
{
    RecordingTarget target;
    readSettingsLines(TextLines::fromText(settingsFileText(Settings())), target);
    ASSERT_EQ(target.values.size(), 17u);
    for (std::size_t i = 0; i < target.values.size(); ++i)
        EXPECT_EQ(static_cast<std::size_t>(target.values[i].first), i);
    EXPECT_EQ(target.values[12].second, -1);
}

TEST(SettingsFile, ThreeLinesOrFewerIsTheWrongFile)
{
    for (const std::vector<std::string> &lines :
         {std::vector<std::string>{}, {"a", "b", "c"}, {"[Config]", "Help=false", "Progress=false"}}) {
        Settings settings;
        const SettingsFileRead result = readInto(lines, settings);
        EXPECT_EQ(result.status, SettingsFileRead::Status::WrongFile);
        EXPECT_EQ(result.errorString, "Wrong INI File. Check the Preferences.");
        EXPECT_EQ(settings, Settings());
    }
    Settings settings;
    EXPECT_EQ(readSettingsFile(::testing::TempDir() + "no-such-NAVRL.ini", settings).status,
              SettingsFileRead::Status::WrongFile);
}

TEST(SettingsFile, SectionsOutOfOrderStopAfterTheToolBar)
{
    std::vector<std::string> lines = defaultLines();
    // [Filter] block before [ToolBar] block
    std::vector<std::string> reordered(lines.begin(), lines.begin() + 10);
    reordered.insert(reordered.end(), lines.begin() + 13, lines.begin() + 22);
    reordered.insert(reordered.end(), lines.begin() + 10, lines.begin() + 13);
    reordered.insert(reordered.end(), lines.begin() + 22, lines.end());
    std::replace(reordered.begin(), reordered.end(), std::string("ToolBar=true"),
                 std::string("ToolBar=false"));
    std::replace(reordered.begin(), reordered.end(), std::string("IDF=RMC"), std::string("IDF=GGA"));
    Settings settings;
    const SettingsFileRead result = readInto(reordered, settings);
    EXPECT_EQ(result.status, SettingsFileRead::Status::Failed);
    EXPECT_NE(result.errorString.find("[Filter]"), std::string::npos);
    EXPECT_FALSE(settings.ToolBar);
    EXPECT_EQ(settings.IDF, PositionSentence::RMC);
}

TEST(SettingsFile, ValuesAreTakenByPlaceNotByName)
{
    std::vector<std::string> swapped = defaultLines();
    swapped[6] = "Respage=false";
    swapped[7] = "Progress=true";
    Settings settings;
    ASSERT_EQ(readInto(swapped, settings).status, SettingsFileRead::Status::Read);
    EXPECT_FALSE(settings.Progress);
    EXPECT_TRUE(settings.Respage);

    // an empty line after [Config] shifts the section; the old COMclr line is
    // passed over by the [ToolBar] search
    std::vector<std::string> shifted = defaultLines();
    shifted[7] = "Respage=false";
    shifted[8] = "COMclr=true";
    shifted.insert(shifted.begin() + 5, "");
    Settings shiftedSettings;
    ASSERT_EQ(readInto(shifted, shiftedSettings).status, SettingsFileRead::Status::Read);
    EXPECT_FALSE(shiftedSettings.Help);
    EXPECT_TRUE(shiftedSettings.Progress);
    EXPECT_TRUE(shiftedSettings.Respage);
    EXPECT_FALSE(shiftedSettings.COMclr);
}

TEST(SettingsFile, BooleanIsOnWhenTheLineHoldsTrue)
{
    const std::pair<const char *, bool> cases[] = {
        {"Help=true", true},   {"Help=True", false}, {"Help=TRUE", false},
        {"Help=untrue", true}, {"Help=", false},     {"true", true},
    };
    for (const auto &[line, on] : cases) {
        std::vector<std::string> lines = defaultLines();
        lines[5] = line;
        Settings settings;
        settings.Help = !on;
        readInto(lines, settings);
        EXPECT_EQ(settings.Help, on) << line;
    }
}

TEST(SettingsFile, IdfIsRmcOnlyWhenTheLineSaysSo)
{
    const std::pair<const char *, PositionSentence> cases[] = {
        {"IDF=GGA", PositionSentence::GGA},   {"IDF=gga", PositionSentence::GGA},
        {"IDF=", PositionSentence::GGA},      {"IDF=RMC", PositionSentence::RMC},
        {"xIDF=RMCx", PositionSentence::RMC},
    };
    for (const auto &[line, kind] : cases) {
        std::vector<std::string> lines = defaultLines();
        lines[14] = line;
        Settings settings;
        readInto(lines, settings);
        EXPECT_EQ(settings.IDF, kind) << line;
    }
}

TEST(SettingsFile, NumbersAreClampedOrRefused)
{
    const struct
    {
        std::size_t index;
        const char *line;
        bool ok;
        int Settings::*member;
        int value;
    } cases[] = {
        {20, "SatTime=99", true, &Settings::SatTime, 60}, {20, "SatTime=0", true, &Settings::SatTime, 1},
        {20, "SatTime=-5", true, &Settings::SatTime, 1},  {20, "SatTime=  20", true, &Settings::SatTime, 20},
        {20, "SatTime20", false, &Settings::SatTime, 15}, {20, "SatTime=20 ", false, &Settings::SatTime, 15},
        {20, "SatTime=", false, &Settings::SatTime, 15},  {23, "Port=2", true, &Settings::Port, 2},
        {23, "Port=10", true, &Settings::Port, -1},       {23, "Port=-7", true, &Settings::Port, -1},
        {24, "Baud=10", true, &Settings::Baud, 10},       {24, "Baud=11", true, &Settings::Baud, -1},
        {27, "Stop=2", true, &Settings::Stop, -1},        {27, "Stop=1", true, &Settings::Stop, 1},
    };
    for (const auto &c : cases) {
        std::vector<std::string> lines = defaultLines();
        lines[c.index] = c.line;
        Settings settings;
        settings.Port = 4;
        const SettingsFileRead result = readInto(lines, settings);
        EXPECT_EQ(result.status == SettingsFileRead::Status::Read, c.ok) << c.line;
        EXPECT_EQ(settings.*c.member, c.value) << c.line;
        if (!c.ok) {
            EXPECT_EQ(result.errorLine, c.index + 1) << c.line;
            EXPECT_NE(result.errorString.find("ist kein g\xFCltiger Integerwert"), std::string::npos);
            // values after the line keep theirs
            EXPECT_EQ(settings.Port, 4);
        }
    }
}

TEST(SettingsFile, FileEndingEarlyStopsAtTheMissingLine)
{
    Settings settings;
    settings.Help = false;
    const SettingsFileRead noConfig = readInto({"a", "b", "c", "d"}, settings);
    EXPECT_EQ(noConfig.status, SettingsFileRead::Status::Failed);
    EXPECT_FALSE(settings.Help);

    std::vector<std::string> cut = defaultLines();
    cut.resize(25);
    cut[23] = "Port=3";
    const SettingsFileRead result = readInto(cut, settings);
    EXPECT_EQ(result.status, SettingsFileRead::Status::Failed);
    EXPECT_EQ(result.errorLine, 26u);
    EXPECT_EQ(settings.Port, 3);
    EXPECT_TRUE(settings.Help);
}

TEST(SettingsFile, FileOnDiskRoundTripsAndUnreadableFileIsReported)
{
    const std::string path = ::testing::TempDir() + "NAVRL.ini";
    Settings written;
    written.SatTime = 30;
    written.Port = 2;
    ASSERT_TRUE(writeSettingsFile(path, written));
    Settings read;
    EXPECT_EQ(readSettingsFile(path, read).status, SettingsFileRead::Status::Read);
    EXPECT_EQ(read, written);

    EXPECT_FALSE(writeSettingsFile("/nonexistent-folder/NAVRL.ini", written));
}

// Only a regular file is read: a folder or a FIFO named NAVRL.ini is a wrong
// file, and the FIFO is not waited on.
TEST(SettingsFile, FolderOrFifoIsAWrongFile)
{
    const std::string fifo = ::testing::TempDir() + "fifo-NAVRL.ini-" + std::to_string(::getpid());
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A writer that hands out a sound file, should the FIFO ever be opened.
    std::thread writer([&] {
        std::string text = settingsFileText(Settings());
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        static_cast<void>(::write(fd, text.data(), text.size()));
        ::close(fd);
    });
    Settings settings;
    const SettingsFileRead fromFifo = readSettingsFile(fifo, settings);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK); // lets the writer go
    writer.join();
    ::close(reader);
    ::unlink(fifo.c_str());
    EXPECT_EQ(fromFifo.status, SettingsFileRead::Status::WrongFile);
    EXPECT_EQ(readSettingsFile(::testing::TempDir(), settings).status, SettingsFileRead::Status::WrongFile);
}

// A settings file of 28 short lines: a huge file under its name is some
// other file, and is not read into memory whole.
TEST(SettingsFile, FileLargerThanAMegabyteIsAWrongFileWithItsReason)
{
    const std::string path = ::testing::TempDir() + "big-NAVRL.ini-" + std::to_string(::getpid());
    Settings stored;
    stored.IDF = PositionSentence::GGA;
    std::string text = settingsFileText(stored);
    ASSERT_TRUE(writeFileReplacing(path, text + std::string(kSettingsFileBytesMax - text.size(), ' ')));
    Settings settings;
    EXPECT_EQ(readSettingsFile(path, settings).status, SettingsFileRead::Status::Read);
    ASSERT_TRUE(writeFileReplacing(path, text + std::string(kSettingsFileBytesMax, ' ')));
    settings = Settings();
    const SettingsFileRead big = readSettingsFile(path, settings);
    EXPECT_EQ(big.status, SettingsFileRead::Status::WrongFile);
    EXPECT_EQ(big.errorString, kWrongSettingsFile);
    EXPECT_EQ(big.reason, "it is larger than 1 MB");
    EXPECT_EQ(settings.IDF, PositionSentence::RMC);
    ::unlink(path.c_str());
    EXPECT_EQ(readSettingsFile(path, settings).reason, "it does not exist");
}

} // namespace
} // namespace navorel
