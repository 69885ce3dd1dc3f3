#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/conffile.h"
#include "prefs/confsettings.h"
#include "prefs/recentlist.h"
#include "prefs/windowplace.h"

namespace navorel {
namespace {

TEST(RecentList, KeepsTheLastEightNewestFirstEachOnce)
{
    RecentList recent;
    for (int i = 1; i <= 10; ++i)
        recent.add("/logs/" + std::to_string(i) + ".nmea");
    recent.add("/logs/5.nmea");
    recent.add("");
    const std::vector<std::string> expected = {"/logs/5.nmea", "/logs/10.nmea", "/logs/9.nmea",
                                               "/logs/8.nmea", "/logs/7.nmea",  "/logs/6.nmea",
                                               "/logs/4.nmea", "/logs/3.nmea"};
    EXPECT_EQ(recent.paths(), expected);
}

TEST(RecentList, ReadsBackThroughNavorelConfWithGapsAndRepeatsLeftOut)
{
    ConfFile file = ConfFile::fromText("[Recent]\nFile1=/a.nmea\nFile2=\nFile3=/b.csv\nFile4=/a.nmea\n"
                                       "File9=/never.nmea\n[Other]\nKept=1\n");
    RecentList recent;
    readRecentList(file, recent);
    EXPECT_EQ(recent.paths(), (std::vector<std::string>{"/a.nmea", "/b.csv"}));

    recent.add("/c d,e.nmea");
    writeRecentList(file, recent);
    RecentList again;
    readRecentList(ConfFile::fromText(file.text()), again);
    EXPECT_EQ(again, recent);
    EXPECT_EQ(file.value("Other", "Kept", ""), "1");
    EXPECT_EQ(file.value("Recent", "File4", "x"), "");
}

// Rectangles against a screen of 1400 x 1000 at (0, 0) and one of
// 700 x 500 to its right, as a scale factor of 2 makes a 1400 x 1000 one.
TEST(WindowPlace, ClampsAWindowToTheScreenItOpensOn)
{
    const ScreenRect big{0, 0, 1400, 1000};
    const ScreenRect small{1400, 0, 700, 500};
    const struct
    {
        const char *what;
        ScreenRect window;
        ScreenRect screen;
        ScreenRect expected;
    } cases[] = {
        {"fits: stays", {100, 80, 690, 520}, big, {100, 80, 690, 520}},
        {"too tall: shrinks and moves up", {1755, 240, 690, 520}, small, {1410, 0, 690, 500}},
        {"too wide and tall: the whole screen", {1400, 0, 1380, 1040}, small, {1400, 0, 700, 500}},
        {"off to the right: moved in", {1300, 100, 690, 520}, big, {710, 100, 690, 520}},
        {"off to the left and above: moved in", {-400, -50, 690, 520}, big, {0, 0, 690, 520}},
        {"below the bottom: moved up", {20, 900, 690, 520}, big, {20, 480, 690, 520}},
        {"left of a screen to the right", {900, 10, 300, 200}, small, {1400, 10, 300, 200}},
        {"no area: one pixel", {5, 5, 0, -3}, big, {5, 5, 1, 1}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(clampToScreen(c.window, c.screen), c.expected) << c.what;
}

TEST(WindowPlace, ReadsBackThroughNavorelConf)
{
    WindowPlace place;
    place.geometry = ScreenRect{-20, 30, 800, 600};
    place.maximized = true;
    place.splitter = {300, 500};
    place.tab = 2;
    place.dialogs["FileOpenTXT"] = {"/home/u/logs", "All Files"};
    place.dialogs["ExportTrack"] = {"/tmp", ""};
    ConfFile file;
    writeWindowPlace(file, place);
    WindowPlace read;
    readWindowPlace(ConfFile::fromText(file.text()), read);
    EXPECT_EQ(read, place);
    EXPECT_EQ(file.value("Window", "Geometry", ""), "-20,30,800,600");
    EXPECT_EQ(file.value("Window", "FileOpenTXTFilter", ""), "All Files");
}

// A first start's defaults add nothing to a navorel.conf that lacks them.
TEST(WindowPlace, DefaultsWriteNothingNew)
{
    ConfFile file = ConfFile::fromText("[Filter]\nTalkers=GPS\n");
    writeRecentList(file, RecentList());
    writeWindowPlace(file, WindowPlace());
    EXPECT_EQ(file.text(), "[Filter]\nTalkers=GPS\n");
}

TEST(WindowPlace, LeavesOutWhatItCannotRead)
{
    const char *const texts[] = {
        "[Window]\nGeometry=1,2,3\nSplitter=300,x\nTab=-1\n",
        "[Window]\nGeometry=1,2,0,5\nSplitter=300/400\nTab=two\n",
        "[Window]\nGeometry=a,2,3,4\nSplitter=-5,400\nTab=\n",
        "",
    };
    for (const char *text : texts) {
        WindowPlace read;
        readWindowPlace(ConfFile::fromText(text), read);
        EXPECT_EQ(read, WindowPlace()) << text;
    }
}

} // namespace
} // namespace navorel
