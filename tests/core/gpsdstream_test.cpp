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

TEST(GpsdStream, ALineBeforeTheBannerSaysNoGpsdAnswers)
{
    using Answer = GpsdStream::Answer;
    const std::string version = "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n";
    const std::string rmc = "$GPRMC,100000.00,A,4807.0380,N,01131.0020,E,0.7,7.6,081226,,,A*56\r\n";
    const struct
    {
        std::vector<std::string> reads;
        Answer answer;
        bool nmea;
    } cases[] = {
        // a plain NMEA server, its first line whole or in pieces
        {{rmc}, Answer::NotGpsd, true},
        {{"\r\n$GPGG", "A,1*00\r\n"}, Answer::NotGpsd, true},
        {{"SSH-2.0-OpenSSH_9.2\r\n"}, Answer::NotGpsd, false},
        // not yet decided until the line is whole
        {{"$GPGGA,1"}, Answer::Awaited, false},
        // after gpsd's banner its receiver's lines are no sign of anything
        {{version + rmc}, Answer::Awaited, false},
        {{version, rmc, "{\"class\":\"WATCH\"}\r\n"}, Answer::Watching, false},
    };
    for (const auto &c : cases) {
        GpsdStream stream;
        std::string nmea;
        for (const std::string &bytes : c.reads)
            stream.filter(bytes, nmea);
        EXPECT_EQ(stream.answer(), c.answer) << c.reads.front();
        EXPECT_EQ(stream.firstLineLooksLikeNmea(), c.nmea) << c.reads.front();
    }
}

TEST(GpsdStream, KeepsWhatGpsdSaidOfItsReceivers)
{
    using Receivers = GpsdStream::Receivers;
    const std::string version = "{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n";
    const std::string devices =
        "{\"class\":\"DEVICES\",\"devices\":[{\"class\":\"DEVICE\",\"path\":"
        "\"/dev/pts/1\",\"activated\":\"2026-12-09T14:12:26.131Z\",\"native\":0}]}\r\n";
    const struct
    {
        std::vector<std::string> reads;
        Receivers receivers;
        bool banner;
    } cases[] = {
        {{}, Receivers::Unknown, false},
        {{version}, Receivers::Unknown, true},
        {{version, "{\"class\":\"DEVICES\",\"devices\":[]}\r\n"}, Receivers::None, true},
        {{version, devices}, Receivers::Some, true},
        {{version, devices, "{\"class\":\"DEVICE\",\"path\":\"/dev/pts/1\",\"activated\":0}\r\n"},
         Receivers::Gone,
         true},
        {{version, "{\"class\":\"DEVICES\",\"devices\":[]}\r\n",
          "{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\",\"activated\":\"2026-12-09T14:20:00.000Z\"}\r\n"},
         Receivers::Some,
         true},
    };
    for (const auto &c : cases) {
        GpsdStream stream;
        std::string nmea;
        for (const std::string &bytes : c.reads)
            stream.filter(bytes, nmea);
        EXPECT_EQ(stream.receivers(), c.receivers) << c.reads.size() << " reports";
        EXPECT_EQ(stream.bannerSeen(), c.banner);
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
