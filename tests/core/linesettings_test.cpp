#include <gtest/gtest.h>

#include "serial/linesettings.h"

namespace navorel {
namespace {

TEST(LineSettings, SelectorEntriesMapToTheDriversNumbering)
{
    EXPECT_EQ(parityForEntry(0), PortParity::None);
    EXPECT_EQ(parityForEntry(1), PortParity::Even);
    EXPECT_EQ(parityForEntry(2), PortParity::Mark);
    EXPECT_EQ(parityForEntry(3), PortParity::Odd);
    EXPECT_EQ(static_cast<int>(*parityForEntry(3)), 1);
    EXPECT_EQ(static_cast<int>(*parityForEntry(1)), 2);
    EXPECT_EQ(parityForEntry(-1), std::nullopt);
    EXPECT_EQ(parityForEntry(4), std::nullopt);
    EXPECT_EQ(stopBitsForEntry(0), PortStopBits::One);
    EXPECT_EQ(stopBitsForEntry(1), PortStopBits::Two);
    EXPECT_EQ(static_cast<int>(*stopBitsForEntry(1)), 2);
    EXPECT_EQ(stopBitsForEntry(-1), std::nullopt);
}

TEST(LineSettings, InterCharacterTimeoutFollowsTheBitTime)
{
    const struct
    {
        long baud;
        int dataBits;
        PortParity parity;
        PortStopBits stop;
        int timeout;
    } cases[] = {
        {300, 8, PortParity::None, PortStopBits::One, 54},
        {300, 7, PortParity::Even, PortStopBits::One, 54},
        {300, 8, PortParity::Odd, PortStopBits::Two, 66},
        {600, 8, PortParity::None, PortStopBits::One, 18},
        {1200, 8, PortParity::None, PortStopBits::One, 0},
        {4800, 8, PortParity::None, PortStopBits::One, 0},
        {115200, 5, PortParity::Mark, PortStopBits::Two, 0},
        {1, 8, PortParity::None, PortStopBits::One, 18000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(interCharacterTimeoutMs(c.baud, c.dataBits, c.parity, c.stop), c.timeout) << c.baud;
}

} // namespace
} // namespace navorel
