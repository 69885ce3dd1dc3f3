#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <sys/stat.h>

#include "filter/textfile.h"
#include "prefs/conffile.h"
#include "prefs/confsettings.h"
#include "prefs/settingsfile.h"

namespace navorel {
namespace {

// Values as QSettings writes a QString, and back.
TEST(ConfFile, WritesValuesAsQSettingsAndReadsThemBack)
{
    const struct
    {
        std::string value;
        const char *line;
    } cases[] = {
        {"GNSS", "Talkers=GNSS"},
        {"", "Talkers="},
        {"/dev/ttyUSB0", "Talkers=/dev/ttyUSB0"},
        {"a,b", "Talkers=\"a,b\""},
        {"x;y", "Talkers=\"x;y\""},
        {"k=v", "Talkers=\"k=v\""},
        {" padded ", "Talkers=\" padded \""},
        {"inner blank", "Talkers=inner blank"},
        {"@Variant", "Talkers=@@Variant"},
        {"@a,b", "Talkers=\"@@a,b\""},
        {"say \"hi\" \\o/", "Talkers=say \\\"hi\\\" \\\\o/"},
        {"tab\tline\r\n", "Talkers=tab\\tline\\r\\n"},
        {std::string("\x01"
                     "2z",
                     3),
         "Talkers=\\x1\\x32z"},
        {"K\xC3\xB6ln", "Talkers=K\xC3\xB6ln"},
    };
    for (const auto &c : cases) {
        ConfFile file;
        file.setValue("Filter", "Talkers", c.value);
        EXPECT_EQ(file.text(), std::string("[Filter]\n") + c.line + "\n") << c.line;
        EXPECT_EQ(ConfFile::fromText(file.text()).value("Filter", "Talkers"), c.value) << c.line;
    }
}

// What a user's editor or another INI writer may leave in the file.
TEST(ConfFile, ReadsTheFormsQSettingsAccepts)
{
    const struct
    {
        const char *text;
        const char *group;
        const char *key;
        std::optional<std::string> value;
    } cases[] = {
        {"[Filter]\nTalkers=GPS\n", "Filter", "Talkers", "GPS"},
        {"[Filter]\r\nTalkers=GPS\r\n", "Filter", "Talkers", "GPS"},
        {"[Filter]\rTalkers=GPS", "Filter", "Talkers", "GPS"},
        {"  [Filter]  \n  Talkers =  GPS  ; the classic mode\n", "Filter", "Talkers", "GPS"},
        {"[Filter]\nTalkers=\" GPS \"\n", "Filter", "Talkers", " GPS "},
        {"[Filter]\nTalkers=\"a;b\" ; comment\n", "Filter", "Talkers", "a;b"},
        {"[Filter]\nTalkers=GPS\nTalkers=GNSS\n", "Filter", "Talkers", "GNSS"},
        {"[Filter]\nTalkers=GPS\n[COM]\n[Filter]\nTalkers=GNSS\n", "Filter", "Talkers", "GNSS"},
        {"[Filter]\nTalkers=\n", "Filter", "Talkers", ""},
        {"[COM]\nPort%20Name=COM3\n", "COM", "Port Name", "COM3"},
        {"[COM]\nsub\\PortName=COM3\n", "COM", "sub/PortName", "COM3"},
        {"[%46ilter]\nTalkers=GPS\n", "Filter", "Talkers", "GPS"},
        {"[Filter]\n;Talkers=GPS\n", "Filter", "Talkers", std::nullopt},
        {"[filter]\nTalkers=GPS\n", "Filter", "Talkers", std::nullopt},
        {"[Filter]\ntalkers=GPS\n", "Filter", "Talkers", std::nullopt},
        {"Talkers=GPS\n", "Filter", "Talkers", std::nullopt},
        {"[COM]\nTalkers=GPS\n", "Filter", "Talkers", std::nullopt},
        {"[Filter]\nTalkers GPS\n", "Filter", "Talkers", std::nullopt},
        {"\xFF\x80 garbage\n[", "Filter", "Talkers", std::nullopt},
        {"", "Filter", "Talkers", std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ConfFile::fromText(c.text).value(c.group, c.key), c.value) << c.text;
        EXPECT_EQ(ConfFile::fromText(c.text).value(c.group, c.key, "fallback"), c.value.value_or("fallback"))
            << c.text;
    }
}

TEST(ConfFile, RewriteKeepsWhatItWasNotAskedToChange)
{
    const std::string original = "; written by hand\n"
                                 "[Network]\n"
                                 "Host=gpsd.local\n"
                                 "Ports=\"2947,10110\"\n"
                                 "\n"
                                 "[Filter]\n"
                                 "Talkers=GPS\n"
                                 "Future=@Variant(\\0\\0\\0\\x7f)\n"
                                 "no key on this line\n"
                                 "\n"
                                 "[Window]\n"
                                 "Geometry=1 2 3 4\n";
    ConfFile file = ConfFile::fromText(original);
    EXPECT_EQ(file.text(), original);

    file.setValue("Filter", "Talkers", "GNSS"); // changed in place
    file.setValue("Filter", "Added", "x");      // after the group's last line
    file.setValue("COM", "PortName", "COM3");   // a new group at the end
    EXPECT_EQ(file.text(), "; written by hand\n"
                           "[Network]\n"
                           "Host=gpsd.local\n"
                           "Ports=\"2947,10110\"\n"
                           "\n"
                           "[Filter]\n"
                           "Talkers=GNSS\n"
                           "Future=@Variant(\\0\\0\\0\\x7f)\n"
                           "no key on this line\n"
                           "Added=x\n"
                           "\n"
                           "[Window]\n"
                           "Geometry=1 2 3 4\n"
                           "\n"
                           "[COM]\n"
                           "PortName=COM3\n");
}

TEST(ConfFile, MissingFileReadsEmptyAndAWrittenFileReadsBack)
{
    const std::string path = ::testing::TempDir() + "navorel-conffile-test.conf";
    std::remove(path.c_str());
    EXPECT_EQ(ConfFile::read(path).text(), "");
    EXPECT_EQ(ConfFile::read(::testing::TempDir()).text(), ""); // a folder cannot be read
    const std::string fifo = path + ".fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ConfFile::read(fifo).text(), ""); // nor a FIFO, and it is not waited on
    std::remove(fifo.c_str());

    ConfFile file;
    file.setValue("Filter", "Talkers", "GPS");
    ASSERT_TRUE(file.write(path));
    EXPECT_EQ(ConfFile::read(path).value("Filter", "Talkers"), "GPS");
    EXPECT_FALSE(file.write(::testing::TempDir())); // a folder is not replaced

    // larger than a settings file ever is: the defaults, and it is not read whole
    const std::string big = "[Filter]\nTalkers=GPS\n";
    ASSERT_TRUE(writeFileReplacing(path, big + std::string(kSettingsFileBytesMax - big.size(), '\n')));
    EXPECT_EQ(ConfFile::read(path).value("Filter", "Talkers"), "GPS");
    ASSERT_TRUE(writeFileReplacing(path, big + std::string(kSettingsFileBytesMax, '\n')));
    EXPECT_EQ(ConfFile::read(path).text(), "");
    std::remove(path.c_str());
}

TEST(ConfSettings, TalkersAreReadAndWrittenAsTheyStand)
{
    const struct
    {
        const char *text;
        TalkerMode before, after;
    } cases[] = {
        {"[Filter]\nTalkers=GPS\n", TalkerMode::GNSS, TalkerMode::GPS},
        {"[Filter]\nTalkers=gps\n", TalkerMode::GNSS, TalkerMode::GPS},
        {"[Filter]\nTalkers=GNSS\n", TalkerMode::GPS, TalkerMode::GNSS},
        {"[Filter]\nTalkers=Galileo\n", TalkerMode::GPS, TalkerMode::GPS},
        {"[Filter]\nTalkers=\n", TalkerMode::GPS, TalkerMode::GPS},
        {"[COM]\nTalkers=GPS\n", TalkerMode::GNSS, TalkerMode::GNSS},
        {"", TalkerMode::GNSS, TalkerMode::GNSS},
    };
    for (const auto &c : cases) {
        Settings settings;
        settings.Talkers = c.before;
        readConfSettings(ConfFile::fromText(c.text), settings);
        EXPECT_EQ(settings.Talkers, c.after) << c.text;
    }

    ConfFile file = ConfFile::fromText("[COM]\nPortName=/dev/ttyUSB0\n[Other]\nKey=7\n");
    Settings settings;
    readConfSettings(file, settings);
    EXPECT_EQ(settings.PortName, "/dev/ttyUSB0");
    settings.Talkers = TalkerMode::GPS;
    writeConfSettings(file, settings);
    EXPECT_EQ(file.text(),
              "[COM]\nPortName=/dev/"
              "ttyUSB0\n[Other]\nKey=7\n\n[Filter]\nTalkers=GPS\nMinQuality=any\nChecksums=\n\n[Survey]\n"
              "TargetR95=0.5\nMinMinutes=30\nStopWhenReached=false\nSaveWhenReached=\n");
    // A "COMn" entry is NAVRL.ini's to keep: no name beside it.
    settings.PortName.clear();
    writeConfSettings(file, settings);
    readConfSettings(file, settings);
    EXPECT_EQ(settings.PortName, "");
    EXPECT_EQ(confPathBeside("/opt/navorel/NAVRL.ini"), "/opt/navorel/navorel.conf");
    EXPECT_EQ(confPathBeside("NAVRL.ini"), "navorel.conf");
}

// A survey's goal from the file: values out of range or no numbers leave
// the setting as it was.
TEST(ConfSettings, SurveyGoal)
{
    struct Case
    {
        const char *text;
        double target;
        int minutes;
        bool stop;
    };
    const Case cases[] = {
        {"[Survey]\nTargetR95=0.25\nMinMinutes=120\nStopWhenReached=true\n", 0.25, 120, true},
        {"[Survey]\nTargetR95=0\nMinMinutes=-1\nStopWhenReached=yes\n", 0.5, 30, false},
        {"[Survey]\nTargetR95=0,25\nMinMinutes=20160\n", 0.5, 30, false},
        {"[Survey]\nTargetR95=nan\nMinMinutes=2.5\nStopWhenReached=TRUE\n", 0.5, 30, true},
        {"[Survey]\nTargetR95=inf\nMinMinutes=0\n", 0.5, 0, false},
        {"[Filter]\nTargetR95=0.1\n", 0.5, 30, false},
    };
    for (const Case &c : cases) {
        Settings settings;
        readConfSettings(ConfFile::fromText(c.text), settings);
        EXPECT_EQ(settings.TargetR95, c.target) << c.text;
        EXPECT_EQ(settings.MinMinutes, c.minutes) << c.text;
        EXPECT_EQ(settings.StopWhenReached, c.stop) << c.text;
    }
    Settings written;
    written.TargetR95 = 0.1;
    written.SaveWhenReached = "/home/survey/base.nmea";
    ConfFile file = ConfFile::fromText("");
    writeConfSettings(file, written);
    Settings read;
    readConfSettings(file, read);
    EXPECT_EQ(read, written);
}

} // namespace
} // namespace navorel
