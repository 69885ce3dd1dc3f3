#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "serial/portname.h"

namespace navorel {
namespace {

namespace fs = std::filesystem;

TEST(PortName, PortTextNamesTheDevice)
{
    const struct
    {
        std::string text;
        std::string device;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM10", "/dev/ttyS9"},
        {"COM11", "/dev/ttyS10"}, // typed: beyond the list's ten
        {"com3", "/dev/ttyS2"},
        {"COM999999", "/dev/ttyS999998"},
        {"COM0", "COM0"},
        {"COM01", "COM01"},
        {"COM", "COM"},
        {"COM1 ", "COM1 "}, // a trailing blank is kept
        {"COM1000000", "COM1000000"},
        {"COMX", "COMX"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"ttyACM0", "ttyACM0"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(portDevice(c.text), c.device) << '"' << c.text << '"';
}

TEST(PortName, BareNamesLiveInDev)
{
    EXPECT_EQ(devicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(devicePath("serial/by-id/usb-u-blox"), "/dev/serial/by-id/usb-u-blox");
    EXPECT_EQ(devicePath("/tmp/gps"), "/tmp/gps");
}

// Links stand for devices here: the rule is the same for a pty or a
// receiver, and needs neither.
class CanonicalDevice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::path(::testing::TempDir()) / ("portname-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "by-id");
        std::ofstream(m_dir / "ttyGPS").put('\n');
        fs::create_symlink(m_dir / "ttyGPS", m_dir / "gps");
        fs::create_symlink("../gps", m_dir / "by-id" / "usb-receiver");
        fs::create_symlink(m_dir / "nothing", m_dir / "dangling");
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string at(const std::string &name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

TEST_F(CanonicalDevice, OneDeviceHasOneNameWhateverLinkNamesIt)
{
    const struct
    {
        std::string name;
        std::string opened;
    } cases[] = {
        {at("ttyGPS"), at("ttyGPS")},
        {at("gps"), at("ttyGPS")},
        {at("by-id/usb-receiver"), at("ttyGPS")},
        {at("by-id/../gps"), at("ttyGPS")},
        {"null", "/dev/null"}, // a bare name is looked for in /dev
        {"/dev/../dev/null", "/dev/null"},
        // Nothing there: the failure names what was typed.
        {at("dangling"), at("dangling")},
        {"/nonexistent/ttyGPS", "/nonexistent/ttyGPS"},
        {"ttyNoSuchDevice", "ttyNoSuchDevice"},
        {"COM99", "COM99"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(canonicalDevice(c.name), c.opened) << c.name;
}

TEST(PortName, LockFilesAreNamedAfterTheDevice)
{
    const struct
    {
        std::string device;
        std::string first;
        std::string last;
    } cases[] = {
        {"/dev/ttyUSB0", "/var/lock/LCK..ttyUSB0", "/run/lock/LCK..ttyUSB0"},
        {"/dev/serial/by-id/usb-x", "/var/lock/LCK..serial_by-id_usb-x", "/run/lock/LCK..serial_by-id_usb-x"},
        {"/tmp/pty/program", "/var/lock/LCK.._tmp_pty_program", "/run/lock/LCK.._tmp_pty_program"},
    };
    for (const auto &c : cases) {
        const std::vector<std::string> paths = lockFileCandidates(c.device);
        ASSERT_EQ(paths.size(), 8u) << c.device;
        EXPECT_EQ(paths.front(), c.first);
        EXPECT_EQ(paths.back(), c.last);
    }
}

} // namespace
} // namespace navorel
