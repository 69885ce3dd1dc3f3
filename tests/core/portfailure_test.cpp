#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/portfailure.h"

namespace navorel {
namespace {

using Lines = std::vector<std::string>;

TEST(PortFailure, SystemMessagesAreTrimmed)
{
    const struct
    {
        std::string text;
        std::string shown;
    } cases[] = {
        {"No such file or directory. \r\n", "No such file or directory"},
        {"Permission denied", "Permission denied"},
        {"Input/output error...\t", "Input/output error"},
        {"Gerät nicht gefunden.", "Gerät nicht gefunden"},
        {" . \n", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(trimmedSystemMessage(c.text), c.shown) << c.text;
}

TEST(PortFailure, AFailedOpeningSaysWhatHelps)
{
    const std::string dialout(kDialoutHint);
    const struct
    {
        const char *what;
        PortOpenFailure failure;
        Lines lines;
    } cases[] = {
        {"not allowed",
         {"/dev/ttyUSB0", "Permission denied", true, true, ""},
         {"Permission denied", dialout}},
        // A locked device is a permission failure too, and needs no group.
        {"held by another program",
         {"/dev/ttyUSB0", "Permission error while locking the device", true, false, "gpsd (process 812)"},
         {"Permission error while locking the device", "The device is in use by gpsd (process 812)."}},
        {"held, nobody named",
         {"/dev/ttyUSB0", "Permission error while locking the device", true, false, ""},
         {"Permission error while locking the device"}},
        {"not allowed, though a lock file names someone",
         {"ttyS0", "Permission denied", true, true, "minicom (process 9)"},
         {"Permission denied", dialout}},
        {"missing",
         {"/dev/ttyACM3", "No such file or directory. \r\n", false, false, ""},
         {"No such file or directory"}},
        {"COMn says its device",
         {"COM99", "No such file or directory", false, false, ""},
         {"No such file or directory", "COM99 is the device /dev/ttyS98 here."}},
        {"COMn not allowed",
         {"com1", "Permission denied", true, true, ""},
         {"Permission denied", dialout, "com1 is the device /dev/ttyS0 here."}},
        {"the system says nothing", {"ttyUSB0", "", false, false, ""}, {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(openFailureLines(c.failure), c.lines) << c.what;
    EXPECT_NE(dialout.find("dialout"), std::string::npos);
}

TEST(PortFailure, LockHoldersAreNamedByProgramAndProcess)
{
    EXPECT_EQ(lockHolderText("gpsd", 812), "gpsd (process 812)");
    EXPECT_EQ(lockHolderText("navorel-record", 4194304), "navorel-record (process 4194304)");
    EXPECT_EQ(lockHolderText("", 77), "process 77");
}

} // namespace
} // namespace navorel
