#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/receptionwatch.h"

namespace navorel {
namespace {

using Lines = std::vector<std::string>;
using Receivers = GpsdStream::Receivers;

const std::string kRmc = "$GPRMC,100000.00,A,4807.0380,N,01131.0020,E,0.7,7.6,081226,,,A*56";
const std::string kVersion =
    "{\"class\":\"VERSION\",\"release\":\"3.22\",\"proto_major\":3,\"proto_minor\":14}";

SourceName source(const std::string &text)
{
    std::string error;
    return SourceName::parse(text, error);
}

TEST(ReceptionWatch, TenSecondsWithoutNmeaAreSaidOnceWithAHintThatIsTrue)
{
    const struct
    {
        std::string source;
        Lines lines; // received in the first second
        std::size_t bytes;
        Receivers receivers;
        std::string note;
    } cases[] = {
        {"tcp://127.0.0.1:10110", {}, 0, Receivers::Unknown, "no NMEA line for 10 s: nothing received"},
        // a gpsd named as a plain peer greets with its banner and then waits
        {"tcp://127.0.0.1:2947",
         {kVersion},
         80,
         Receivers::Unknown,
         "no NMEA line for 10 s: this is gpsd: try gpsd://127.0.0.1:2947"},
        {"tcp://[::1]:2947",
         {kVersion},
         80,
         Receivers::Unknown,
         "no NMEA line for 10 s: this is gpsd: try gpsd://[::1]:2947"},
        {"tcp://10.0.0.1:8000",
         {"{\"lat\":48.1}"},
         14,
         Receivers::Unknown,
         "no NMEA line for 10 s: its lines are JSON, not NMEA"},
        {"tcp://10.0.0.1:8000",
         {"HTTP/1.1 400 Bad Request"},
         26,
         Receivers::Unknown,
         "no NMEA line for 10 s: its lines are not NMEA"},
        {"gpsd://localhost",
         {},
         0,
         Receivers::Some,
         "no NMEA line for 10 s: gpsd sends no NMEA for this device"},
        {"gpsd://localhost",
         {},
         0,
         Receivers::Unknown,
         "no NMEA line for 10 s: gpsd sends no NMEA for this device"},
        {"gpsd://localhost", {}, 0, Receivers::None, "no NMEA line for 10 s: gpsd has no receiver"},
        {"gpsd://localhost",
         {},
         0,
         Receivers::Gone,
         "no NMEA line for 10 s: gpsd no longer has the receiver"},
        {"/dev/ttyUSB0", {}, 0, Receivers::Unknown, "no NMEA line for 10 s: nothing received"},
        {"/dev/ttyUSB0",
         {"\x8f\xf0\x1c"},
         60,
         Receivers::Unknown,
         "no NMEA line for 10 s: its lines are not NMEA: is the baud rate right?"},
        {"/dev/ttyUSB0",
         {},
         60,
         Receivers::Unknown,
         "no NMEA line for 10 s: bytes arrive without a line end: is the baud rate right?"},
    };
    for (const auto &c : cases) {
        ReceptionWatch watch;
        watch.opened(source(c.source), 1'000);
        EXPECT_FALSE(watch.take(c.bytes, c.lines, 2'000));
        EXPECT_EQ(watch.check(10'999, c.receivers), "") << c.source;
        EXPECT_EQ(watch.check(11'000, c.receivers), c.note) << c.source;
        EXPECT_TRUE(watch.silenceNoted());
        EXPECT_EQ(watch.check(60'000, c.receivers), "") << "said twice: " << c.source;
    }
}

TEST(ReceptionWatch, ANmeaLineEndsTheSilence)
{
    ReceptionWatch watch;
    watch.opened(source("tcp://127.0.0.1:10110"), 0);
    // sentences keep it quiet, with junk in front of the "$" too
    EXPECT_FALSE(watch.take(70, {kRmc}, 9'000));
    EXPECT_EQ(watch.check(18'999), "");
    EXPECT_FALSE(watch.take(80, {"\x01\x02" + kRmc}, 18'000));
    EXPECT_EQ(watch.check(27'999), "");
    EXPECT_FALSE(watch.take(20, {"no sentence", "$ not one either"}, 27'000));
    EXPECT_NE(watch.check(28'000), "");
    // heard again after the note: the caller says so once
    EXPECT_TRUE(watch.take(70, {"AIS follows", "!AIVDM,1,1,,A,13aG?P0P00,0*5C"}, 30'000));
    EXPECT_FALSE(watch.take(70, {kRmc}, 31'000));
    EXPECT_EQ(watch.check(40'999), "");
    EXPECT_NE(watch.check(41'000), "");
    // a new opening starts over
    watch.opened(source("tcp://127.0.0.1:10110"), 50'000);
    EXPECT_FALSE(watch.silenceNoted());
    EXPECT_EQ(watch.check(59'999), "");
}

} // namespace
} // namespace navorel
