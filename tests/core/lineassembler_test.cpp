#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/lineassembler.h"

namespace navorel {
namespace {

using Lines = std::vector<std::string>;

TEST(LineAssembler, CompleteLinesOnlyInTheOrderReceived)
{
    const struct
    {
        std::vector<std::string> reads;
        Lines lines;
        std::string partial;
    } cases[] = {
        {{"$GPGGA,1235", "19,4807.038,N*47\r\n"}, {"$GPGGA,123519,4807.038,N*47"}, ""},
        {{"A\r\n\r\nB\r\n"}, {"A", "B"}, ""},
        {{"A\n\rB\rC\n"}, {"A", "B", "C"}, ""},
        {{"A\r", "\nB"}, {"A"}, "B"},
        {{"\r\n\r\n"}, {}, ""},
        {{"no end yet"}, {}, "no end yet"},
        {{std::string("\xB0\0*7F\r", 6)}, {std::string("\xB0\0*7F", 5)}, ""},
    };
    for (const auto &c : cases) {
        LineAssembler assembler;
        Lines lines;
        for (const std::string &bytes : c.reads)
            assembler.feed(bytes, lines);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(assembler.partialLine(), c.partial);
    }
}

TEST(LineAssembler, PartialLineWaitsForTheNextFeed)
{
    LineAssembler assembler;
    Lines lines;
    assembler.feed("$GPRMC,12", lines);
    EXPECT_TRUE(lines.empty());
    // receiving stopped and started again: the kept part leads the next line
    assembler.feed("3519,A\r\n$GPGSA", lines);
    EXPECT_EQ(lines, (Lines{"$GPRMC,123519,A"}));
    EXPECT_EQ(assembler.partialLine(), "$GPGSA");
}

} // namespace
} // namespace navorel
