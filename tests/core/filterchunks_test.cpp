#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "filter/filterprocess.h"
#include "tests/core/testlog.h"
#include "tools/loggenerator.h"

namespace navorel {
namespace {

// A log scanned in chunks side by side must give exactly what one pass gives.
void expectSameRun(const FilterRun &single, const FilterRun &chunked, const std::string &what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(chunked.errorString, single.errorString);
    EXPECT_EQ(chunked.errorLine, single.errorLine);
    EXPECT_EQ(chunked.counts.found, single.counts.found);
    EXPECT_EQ(chunked.counts.accepted, single.counts.accepted);
    EXPECT_EQ(chunked.counts.notValid, single.counts.notValid);
    EXPECT_EQ(chunked.report, single.report);
    EXPECT_EQ(chunked.latitudeText, single.latitudeText);
    EXPECT_EQ(chunked.longitudeText, single.longitudeText);
    EXPECT_EQ(chunked.timeSpanText, single.timeSpanText);
    EXPECT_EQ(chunked.points, single.points);
    EXPECT_EQ(chunked.fixClasses, single.fixClasses);
    EXPECT_EQ(chunked.quality.fixClasses, single.quality.fixClasses);
    EXPECT_EQ(chunked.quality.checksumErrors, single.quality.checksumErrors);
    EXPECT_EQ(chunked.quality.withoutChecksum, single.quality.withoutChecksum);
    EXPECT_EQ(chunked.quality.times.gaps(), single.quality.times.gaps());
    EXPECT_EQ(chunked.quality.times.backwards(), single.quality.times.backwards());
    EXPECT_EQ(chunked.bars, single.bars);
    EXPECT_EQ(chunked.result.latitudeSum, single.result.latitudeSum);
    EXPECT_EQ(chunked.result.longitudeSum, single.result.longitudeSum);
    EXPECT_EQ(chunked.result.displayLines.joined(), single.result.displayLines.joined());
    EXPECT_EQ(chunked.result.dataLines.joined(), single.result.dataLines.joined());
    EXPECT_EQ(chunked.result.rangeLines.joined(), single.result.rangeLines.joined());
}

std::string generatedLog(std::uint64_t seed, int seconds, double notValid, double noise,
                         LogGenerator::Talkers talkers = LogGenerator::Talkers::GPS,
                         bool systemIdField = false)
{
    LogGenerator::Options options;
    options.talkers = talkers;
    options.systemIdField = systemIdField;
    options.seed = seed;
    options.notValidShare = notValid;
    options.noiseShare = noise;
    options.startSeconds = 23 * 3600 + 59 * 60; // runs past midnight
    LogGenerator generator(options);
    std::string log;
    for (int i = 0; i < seconds; ++i)
        generator.appendSecond(log);
    return log;
}

TEST(FilterChunks, ChunkedScanEqualsOnePass)
{
    const std::string logs[] = {
        generatedLog(1, 200, 0.0, 0.0),
        generatedLog(2, 300, 0.4, 0.2),
        // long stretches without a fix: chunks that start or end with none
        generatedLog(3, 300, 0.95, 0.0),
        // a bad line in the middle stops every kind of scan at the same place
        generatedLog(4, 100, 0.1, 0.1)
            + "$GPRMC,101500.00,A,48x7.0380,N,01131.0000,E,0.5,54.7,191206,,*42\r\n"
            + generatedLog(5, 100, 0.1, 0.1),
        generatedLog(6, 100, 0.0, 0.0)
            + "$GPRMC,101500.00,A,4807.0380,,01131.0000,E,0.5,54.7,191206,,*44\r\n",
        // multi-GNSS receivers: an epoch of GSA lines, or a fix sent twice,
        // cut by a chunk border
        generatedLog(7, 300, 0.3, 0.1, LogGenerator::Talkers::GN),
        generatedLog(8, 300, 0.3, 0.1, LogGenerator::Talkers::GN, true),
        generatedLog(9, 300, 0.3, 0.1, LogGenerator::Talkers::Switching, true),
        generatedLog(10, 300, 0.3, 0.1, LogGenerator::Talkers::Duplicated),
        // every line a chunk of its own: every border is tried
        generatedLog(11, 8, 0.3, 0.3, LogGenerator::Talkers::Duplicated, true),
        generatedLog(12, 8, 0.3, 0.3, LogGenerator::Talkers::Switching),
        // a bad fix inside an epoch and a bad fix that is a duplicate
        generatedLog(13, 20, 0.0, 0.0, LogGenerator::Talkers::GN)
            + "$GNGSA,A,3,01,02,,,,,,,,,,,1.8,1.1,1.4,1*3E\r\n"
            + "$GNGSA,A,3,65,$GNRMC,101500.00,A,48x7.0380,N,01131.0000,E,0.5,54.7,191206,,*5C\r\n"
            + generatedLog(14, 20, 0.0, 0.0, LogGenerator::Talkers::GN),
        "$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*0A\r\n"
        "$GNRMC,101500.00,A,48x7.0380,N,01131.0000,E,0.5,54.7,191206,,*5C\r\n"
            + generatedLog(15, 10, 0.0, 0.0, LogGenerator::Talkers::GN),
    };
    Settings variants[10];
    variants[1].IDF = PositionSentence::GGA;
    variants[2].Valid = false;
    variants[2].UTC = false;
    variants[3].SatTime = 1;
    variants[4].Acc = false;
    variants[4].SatTime = 1;
    for (std::size_t v = 5; v < 10; ++v) {
        variants[v] = variants[v - 5];
        variants[v].Talkers = TalkerMode::GPS;
    }
    for (std::size_t l = 0; l < std::size(logs); ++l) {
        const TextLines lines = TextLines::fromText(logs[l]);
        const unsigned lineCount = static_cast<unsigned>(lines.size());
        for (std::size_t v = 0; v < std::size(variants); ++v) {
            const FilterRun single = runFilter(lines, variants[v], {}, 1);
            // A thread per line is affordable for the short logs only.
            for (const unsigned chunks : {2u, 3u, 7u, 64u, lineCount < 200 ? lineCount : 1u}) {
                const FilterRun chunked = runFilter(lines, variants[v], {}, chunks);
                expectSameRun(single, chunked,
                              "log " + std::to_string(l) + ", settings " + std::to_string(v) + ", "
                                  + std::to_string(chunks) + " chunks");
            }
        }
    }
}

// The lines of a generated log ended by CR LF, lone CR and lone LF by turns,
// with empty lines among them.
std::string mixedBreaks(const std::string &log)
{
    const std::string_view breaks[] = {"\r\n", "\r", "\n", "\r\n\r\n", "\n\r", "\r\r\n"};
    std::string mixed;
    std::size_t start = 0, turn = 0;
    for (std::size_t end = log.find("\r\n"); end != std::string::npos; end = log.find("\r\n", start)) {
        mixed.append(log, start, end - start);
        mixed += breaks[turn++ % std::size(breaks)];
        start = end + 2;
    }
    return mixed;
}

FilterRun runInPieces(std::string_view text, const Settings &settings, std::size_t cut, std::size_t size,
                      unsigned chunks)
{
    FilterOptions options;
    options.chunkCount = chunks;
    FilterProcess process(settings, options);
    process.feed(text.substr(0, cut));
    for (std::size_t at = cut; at < text.size(); at += size)
        process.feed(text.substr(at, size));
    return process.finish();
}

// Fed in pieces cut anywhere, even inside a CR LF, the filter sees the lines
// one pass over the whole text sees: the stop names the same line.
TEST(FilterPieces, AnyCutGivesTheOnePassResult)
{
    const std::string body = mixedBreaks(generatedLog(8, 8, 0.2, 0.3));
    const std::string badFix = "$GPRMC,101500.00,A,4807.0380,X,01131.0000,E,0.5,54.7,191206,,*1C";
    const std::string texts[] = {
        body,                                  // ends in a break
        body + "\r",                           // a lone CR at the very end
        body + badFix,                         // a last line without a break stops the run
        body + badFix + "\r\n" + body,         // a stop in the middle
        generatedLog(9, 3, 0.0, 0.0) + "\n\n", // empty lines at the end
        // a fix sent twice, or an epoch of GSA lines, cut by a piece border
        mixedBreaks(generatedLog(10, 6, 0.2, 0.2, LogGenerator::Talkers::Duplicated, true)),
        generatedLog(11, 6, 0.2, 0.2, LogGenerator::Talkers::Switching, true),
    };
    Settings settings;
    settings.SatTime = 1;
    for (std::size_t t = 0; t < std::size(texts); ++t) {
        const std::string_view text = texts[t];
        const FilterRun single = runFilter(text, settings, {}, 1);
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            // side by side now and then: a thread per chunk is the slow part
            expectSameRun(single, runInPieces(text, settings, cut, text.size(), cut % 16 == 0 ? 3 : 1),
                          "text " + std::to_string(t) + " cut at " + std::to_string(cut));
            if (HasFailure())
                return;
        }
        for (const std::size_t size : {1, 2, 3, 5}) {
            expectSameRun(single, runInPieces(text, settings, 0, size, 2),
                          "text " + std::to_string(t) + " in " + std::to_string(size) + "-byte pieces");
        }
    }
}

// A sink takes the display lines as they are merged, in order, instead of
// the result: together they are the lines a run keeps.
TEST(FilterPieces, DisplaySinkGetsTheLinesInOrder)
{
    const std::string log = mixedBreaks(generatedLog(12, 300, 0.2, 0.1));
    Settings settings;
    const FilterRun single = runFilter(log, settings, {}, 1);
    ASSERT_FALSE(single.result.displayLines.empty());
    for (const unsigned chunks : {1U, 3U}) {
        std::string lines;
        std::size_t lastRead = 0;
        FilterOptions options;
        options.chunkCount = chunks;
        options.displaySink = [&](std::string_view piece, std::size_t read) {
            lines += piece;
            EXPECT_GE(read, lastRead);
            EXPECT_LE(read, log.size());
            lastRead = read;
        };
        FilterProcess process(settings, options);
        for (std::size_t at = 0; at < log.size(); at += 1000)
            process.feed(std::string_view(log).substr(at, 1000));
        const FilterRun run = process.finish();
        EXPECT_EQ(lines, single.result.displayLines.text()) << chunks << " chunks";
        EXPECT_TRUE(run.result.displayLines.empty());
        EXPECT_EQ(run.result.dataLines.joined(), single.result.dataLines.joined());
    }
}

// A fix sent again under another talker counts once, but a sentence whose
// checksum is wrong was never there: the fix after it counts, also when the
// two are in different chunks.
TEST(FilterChunks, ASentenceLeftOutBeforeAChunkBorderHidesNoFix)
{
    const std::string filler = test::sentence("GPGSV,3,1,12,02,16,270,,04,41,270,40,05,08,270,,09,70,270,40");
    std::string corrupted = test::sentence("GPRMC,101501.00,A,4807.0390,N,01131.0010,E,0.5,54.7,191206,,");
    corrupted.back() = corrupted.back() == '0' ? '1' : '0';
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += filler + "\r\n";
    text += test::sentence("GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,") + "\r\n";
    text += corrupted + "\r\n";
    text += test::sentence("GNRMC,101501.00,A,4807.0390,N,01131.0010,E,0.5,54.7,191206,,") + "\r\n";
    for (int i = 0; i < 20; ++i)
        text += filler + "\r\n";
    const FilterRun single = runFilter(std::string_view(text), Settings(), {}, 1);
    EXPECT_EQ(single.counts.found, 2u);
    EXPECT_EQ(single.quality.checksumErrors, 1u);
    for (const unsigned chunks : {2u, 3u, 5u})
        expectSameRun(single, runFilter(std::string_view(text), Settings(), {}, chunks),
                      std::to_string(chunks));
}

// A line too long for a sentence is none, however it arrives; only its head
// is held while it goes on.
TEST(FilterPieces, OverlongLineIsNoSentence)
{
    // each at its own time: with every talker a fix sent again counts once
    const auto fix = [](char second) {
        return test::sentence(std::string("GPRMC,10150") + second
                              + ".00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,");
    };
    for (const std::size_t length : {kLongestLine, kLongestLine + 1, 3 * kLongestLine}) {
        const std::string text =
            fix('0') + "\r\n" + fix('1') + std::string(length - fix('1').size(), ' ') + "\r\n" + fix('2');
        const FilterRun whole = runFilter(std::string_view(text), Settings());
        EXPECT_EQ(whole.counts.found, length <= kLongestLine ? 3u : 2u) << length;
        for (const std::size_t size : {1, 4096})
            expectSameRun(whole, runInPieces(text, Settings(), 0, size, 0), std::to_string(length));
    }
}

} // namespace
} // namespace navorel
