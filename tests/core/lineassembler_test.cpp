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

TEST(LineAssembler, ALineLongerThan64KiBKeepsItsStartAndDropsTheRest)
{
    const std::size_t longest = LineAssembler::kLongestLine;
    const std::string rmc = "$GPRMC,100000.00,A,4807.0380,N,01131.0020,E,0.7,7.6,081226,,,A*56";
    const std::string a(longest, 'a');
    const struct
    {
        std::vector<std::string> reads;
        Lines lines;
        std::size_t cut;
        std::string partial;
    } cases[] = {
        // 64 KiB exactly is still a line
        {{a + "\r\n" + rmc + "\r\n"}, {a, rmc}, 0, ""},
        {{a, "\n"}, {a}, 0, ""},
        // one byte more: cut, the rest up to the line end dropped, the next line whole
        {{a + "b\r\n" + rmc + "\r\n"}, {a, rmc}, 1, ""},
        {{a, "b", std::string(3 * longest, 'c'), "cc\r", "\n" + rmc + "\r\n"}, {a, rmc}, 1, ""},
        {{"$GP" + a}, {"$GP" + a.substr(3)}, 1, ""},
        // every line that is too long is cut, each once
        {{a + "b\n" + a + "b\n" + rmc}, {a, a}, 2, rmc},
        // a sentence after the dropped rest waits as the partial line
        {{a + "bbb\n$GPGGA,1"}, {a}, 1, "$GPGGA,1"},
    };
    for (const auto &c : cases) {
        LineAssembler assembler;
        Lines lines;
        std::size_t cut = 0;
        for (const std::string &bytes : c.reads)
            cut += assembler.feed(bytes, lines);
        EXPECT_EQ(lines, c.lines) << c.reads.size() << " reads, line " << c.lines.size();
        EXPECT_EQ(cut, c.cut);
        EXPECT_EQ(assembler.partialLine(), c.partial);
        EXPECT_LE(assembler.partialLine().size(), longest);
    }
}

TEST(LineAssembler, EndLineMakesTheUnfinishedLineALineOfItsOwn)
{
    const struct
    {
        std::string before; // from the source that went away
        std::string after;  // from the next one
        Lines lines;
    } cases[] = {
        {"$GNRMC,123456.00,A,48",
         "$GNRMC,100010.00,A,4807.0380,N*00\r\n",
         {"$GNRMC,123456.00,A,48", "$GNRMC,100010.00,A,4807.0380,N*00"}},
        {"$GPGGA,1*00\r\n", "$GPGGA,2*00\r\n", {"$GPGGA,1*00", "$GPGGA,2*00"}},
        // the dropped rest of a line too long ends with its source
        {std::string(LineAssembler::kLongestLine + 5, 'x'),
         "tail\r\n",
         {std::string(LineAssembler::kLongestLine, 'x'), "tail"}},
    };
    for (const auto &c : cases) {
        LineAssembler assembler;
        Lines lines;
        assembler.feed(c.before, lines);
        const bool ended = !assembler.partialLine().empty();
        EXPECT_EQ(assembler.endLine(lines), ended);
        EXPECT_TRUE(assembler.partialLine().empty());
        EXPECT_FALSE(assembler.droppingRest());
        EXPECT_FALSE(assembler.endLine(lines));
        assembler.feed(c.after, lines);
        EXPECT_EQ(lines, c.lines) << c.before;
    }
}

} // namespace
} // namespace navorel
