#include <gtest/gtest.h>

#include <string>

#include "serial/sourcename.h"

namespace navorel {
namespace {

using Kind = SourceName::Kind;

TEST(SourceName, ReadsDevicesAndNetworkNames)
{
    const struct
    {
        std::string text;
        Kind kind;
        std::string host;
        int port;
        std::string device;
    } cases[] = {
        {"COM1", Kind::Device, "", 0, "COM1"},
        {"/dev/ttyUSB0", Kind::Device, "", 0, "/dev/ttyUSB0"},
        {"gpsd://localhost", Kind::Gpsd, "localhost", 2947, ""},
        {"gpsd://", Kind::Gpsd, "localhost", 2947, ""},
        {"gpsd://127.0.0.1:3000", Kind::Gpsd, "127.0.0.1", 3000, ""},
        {"gpsd://pi.local/dev/ttyACM0", Kind::Gpsd, "pi.local", 2947, "/dev/ttyACM0"},
        {"gpsd://[::1]:2948/dev/ttyUSB1", Kind::Gpsd, "::1", 2948, "/dev/ttyUSB1"},
        {"gpsd:///dev/gps0", Kind::Gpsd, "localhost", 2947, "/dev/gps0"},
        {"GPSD://host/", Kind::Gpsd, "host", 2947, ""},
        {"tcp://192.168.4.1:10110", Kind::Tcp, "192.168.4.1", 10110, ""},
        {"tcp://receiver:65535/", Kind::Tcp, "receiver", 65535, ""},
        {"tcp://[fe80::1]:8500", Kind::Tcp, "fe80::1", 8500, ""},
    };
    for (const auto &c : cases) {
        std::string error;
        const SourceName name = SourceName::parse(c.text, error);
        EXPECT_EQ(error, "") << c.text;
        EXPECT_EQ(name.kind, c.kind) << c.text;
        EXPECT_EQ(name.host, c.host) << c.text;
        EXPECT_EQ(name.port, c.port) << c.text;
        EXPECT_EQ(name.device, c.device) << c.text;
        EXPECT_EQ(SourceName::isNetworkText(c.text), c.kind != Kind::Device) << c.text;
    }
}

TEST(SourceName, MalformedNetworkNamesSayWhy)
{
    const struct
    {
        std::string text;
        std::string error;
    } cases[] = {
        {"tcp://receiver", "a TCP source needs a port: tcp://HOST:PORT"},
        {"tcp://", "no host name"},
        {"tcp://:10110", "no host name"},
        {"tcp://host:0", "the port \"0\" is not a number from 1 to 65535"},
        {"gpsd://host:65536", "the port \"65536\" is not a number from 1 to 65535"},
        {"gpsd://host:29x7", "the port \"29x7\" is not a number from 1 to 65535"},
        {"gpsd://host:", "the port \"\" is not a number from 1 to 65535"},
        {"tcp://[::1:10110", "the IPv6 address has no closing \"]\""},
        {"tcp://[::1]10110", "\":PORT\" must follow the \"]\""},
    };
    for (const auto &c : cases) {
        std::string error;
        const SourceName name = SourceName::parse(c.text, error);
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_TRUE(name.host.empty()) << c.text;
        EXPECT_TRUE(SourceName::isNetworkText(c.text)) << c.text;
    }
}

} // namespace
} // namespace navorel
