#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/gpsdstream.h"

namespace navorel {
namespace {

TEST(GpsdStream, TakesOutGpsdsOwnReportsOnly)
{
    const std::string version = "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n";
    const std::string rmc = "$GPRMC,100000.00,A,4807.0380,N,01131.0020,E,0.7,7.6,081226,,,A*56\r\n";
    const struct
    {
        std::vector<std::string> reads;
        std::string nmea;
    } cases[] = {
        {{version + rmc}, rmc},
        {{rmc + version + rmc}, rmc + rmc},
        // a report cut across reads, and a sentence cut across reads
        {{"{\"class\":\"DEV", "ICES\"}\r\n$GPGSA,A,3", ",02*37\r\n"}, "$GPGSA,A,3,02*37\r\n"},
        {{"{\"class\":\"WATCH\"}\r", "\n", rmc}, rmc},
        // a "{" inside a line is the line's own
        {{"$PXYZ,{a}*00\n"}, "$PXYZ,{a}*00\n"},
        {{"\r\n{x}\n{y}\r"}, "\r\n"},
    };
    for (const auto &c : cases) {
        GpsdStream stream;
        std::string nmea;
        for (const std::string &bytes : c.reads)
            stream.filter(bytes, nmea);
        EXPECT_EQ(nmea, c.nmea) << c.reads.front();
    }
}

TEST(GpsdStream, WatchRequestAsksForRawNmea)
{
    EXPECT_EQ(GpsdStream::watchRequest(""), "?WATCH={\"enable\":true,\"nmea\":true};\n");
    EXPECT_EQ(GpsdStream::watchRequest("/dev/ttyUSB0"),
              "?WATCH={\"enable\":true,\"nmea\":true,\"device\":\"/dev/ttyUSB0\"};\n");
    EXPECT_EQ(GpsdStream::watchRequest("/dev/odd\"name\\"),
              "?WATCH={\"enable\":true,\"nmea\":true,\"device\":\"/dev/odd\\\"name\\\\\"};\n");
}

TEST(GpsdStream, KeepsTheAnswerToTheWatchRequest)
{
    using Answer = GpsdStream::Answer;
    const std::string version = "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n";
    const struct
    {
        std::vector<std::string> reads;
        Answer answer;
        std::string refusal;
    } cases[] = {
        {{version}, Answer::Awaited, ""},
        {{version, "{\"class\":\"DEVICES\",\"devices\":[]}\r\n{\"class\":\"WAT", "CH\",\"enable\":true}\r\n"},
         Answer::Watching,
         ""},
        {{version + "{\"class\":\"ERROR\",\"message\":\"No such device as /dev/ttyNOPE\"}\r\n"},
         Answer::Refused,
         "No such device as /dev/ttyNOPE"},
        {{"{\"class\":\"ERROR\",\"message\":\"Unrecognized request \\\"?WAT\\\"\"}\n"},
         Answer::Refused,
         "Unrecognized request \"?WAT\""},
        // an answer counts only once it is whole, and only the first one
        {{"{\"class\":\"WATCH\""}, Answer::Awaited, ""},
        {{"{\"class\":\"WATCH\"}\r\n{\"class\":\"ERROR\",\"message\":\"late\"}\r\n"}, Answer::Watching, ""},
    };
    for (const auto &c : cases) {
        GpsdStream stream;
        std::string nmea;
        for (const std::string &bytes : c.reads)
            stream.filter(bytes, nmea);
        EXPECT_EQ(stream.answer(), c.answer) << c.reads.back();
        EXPECT_EQ(stream.refusal(), c.refusal) << c.reads.back();
        EXPECT_EQ(nmea, "") << c.reads.back();
    }
}

TEST(GpsdStream, NewConnectionStartsAtALineStart)
{
    GpsdStream stream;
    std::string nmea;
    stream.filter("$GPGGA,1", nmea);
    stream.restart();
    stream.filter("{\"class\":\"VERSION\"}\r\n", nmea);
    EXPECT_EQ(nmea, "$GPGGA,1");
    stream.filter("{\"class\":\"WATCH\"}\r\n", nmea);
    stream.restart();
    EXPECT_EQ(stream.answer(), GpsdStream::Answer::Awaited);
}

} // namespace
} // namespace navorel
