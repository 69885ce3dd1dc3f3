#include <gtest/gtest.h>

#include <string>

#include "serial/sourcenotes.h"

namespace navorel {
namespace {

TEST(SourceNotes, TimeStampsAreIso8601InUtc)
{
    const struct
    {
        std::int64_t seconds;
        std::string text;
    } cases[] = {
        {0, "1970-01-01T00:00:00Z"},
        {951'782'400, "2000-02-29T00:00:00Z"},
        {1'796'860'799, "2026-12-09T23:59:59Z"},
        {4'102'444'800, "2100-01-01T00:00:00Z"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(utcTimeStamp(c.seconds), c.text) << c.seconds;
}

TEST(SourceNotes, SentencesAreToldFromOtherLines)
{
    const struct
    {
        std::string line;
        bool nmea;
    } cases[] = {
        {"$GPRMC,100000.00,A,4807.0380,N,01131.0020,E,0.7,7.6,081226,,,A*56", true},
        {"!AIVDM,1,1,,A,13aG?P0P00,0*5C", true},
        {"\x01\x02junk$GNGGA,1*00", true},
        {"$PUBX,00,1*00", true},
        {"{\"class\":\"VERSION\",\"release\":\"3.22\"}", false},
        {"{\"class\":\"TPV\",\"lat\":48.1}", false},
        {"costs $5 today", false},
        {"$", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(looksLikeNmea(c.line), c.nmea) << c.line;
}

TEST(SourceNotes, MessagesNameWhatFailed)
{
    EXPECT_EQ(lookupNoAnswer("receiver.local"),
              "cannot look up receiver.local: no answer from the name server");
    EXPECT_EQ(gpsdClosed("127.0.0.1", 2947), "gpsd at 127.0.0.1:2947 closed the connection");
    EXPECT_EQ(gpsdClosed("::1", 2947), "gpsd at [::1]:2947 closed the connection");
    EXPECT_EQ(notGpsd("10.0.0.1", 2947, true),
              "no gpsd answers at 10.0.0.1:2947 (no VERSION banner); this looks like a plain NMEA server: "
              "try tcp://10.0.0.1:2947");
    EXPECT_EQ(notGpsd("10.0.0.1", 22, false), "no gpsd answers at 10.0.0.1:22 (no VERSION banner)");
}

} // namespace
} // namespace navorel
