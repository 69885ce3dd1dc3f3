#include "serial/linesettings.h"

namespace navorel {

std::optional<PortParity> parityForEntry(int entry)
{
    switch (entry) {
    case 0: return PortParity::None;
    case 1: return PortParity::Even;
    case 2: return PortParity::Mark;
    case 3: return PortParity::Odd;
    default: return std::nullopt;
    }
}

std::optional<PortStopBits> stopBitsForEntry(int entry)
{
    switch (entry) {
    case 0: return PortStopBits::One;
    case 1: return PortStopBits::Two;
    default: return std::nullopt;
    }
}

int interCharacterTimeoutMs(long baudRate, int dataBits, PortParity parity, PortStopBits stopBits)
{
    const long wholeMsPerBaud = baudRate > 0 ? 1000 / baudRate : 0;
    const int parityBits = parity == PortParity::None ? 0 : 1;
    const int stopBitCount = stopBits == PortStopBits::One ? 1 : 2;
    return static_cast<int>(2 * wholeMsPerBaud * (dataBits + parityBits + stopBitCount));
}

} // namespace navorel
