#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace navorel {

// What a port text names: a serial device, a gpsd that hands out its
// receiver's NMEA ("gpsd://HOST[:PORT][/DEVICE]"), or a TCP peer that sends
// raw NMEA ("tcp://HOST:PORT"). Any other text is a device name.
struct SourceName
{
    enum class Kind { Device, Gpsd, Tcp };

    Kind kind = Kind::Device;
    std::string host;       // network names; an IPv6 address without brackets
    std::uint16_t port = 0; // network names
    std::string device;     // the serial device, or the receiver gpsd should hand out (may be empty)

    static constexpr std::uint16_t kGpsdPort = 2947;
    static constexpr std::string_view kGpsdLocal = "gpsd://localhost:2947";

    bool isNetwork() const { return kind != Kind::Device; }

    // True for a text that begins with a network prefix, even a malformed one.
    static bool isNetworkText(std::string_view text);
    // Reads a port text. A malformed network name gives the reason in error
    // and a name whose host is empty.
    static SourceName parse(std::string_view text, std::string &error);
};

} // namespace navorel
