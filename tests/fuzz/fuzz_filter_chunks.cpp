// Differential: one pass over any bytes against chunks scanned side by side
// and against pieces fed one after another. Any difference traps.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "filter/filterprocess.h"

namespace {

bool sameQuality(const navorel::LogQuality &a, const navorel::LogQuality &b)
{
    for (std::size_t axis = 0; axis < 3; ++axis) {
        if (a.receiverSigma.rms(axis) != b.receiverSigma.rms(axis))
            return false;
    }
    return a.fixClasses == b.fixClasses && a.belowMinimum == b.belowMinimum
           && a.checksumErrors == b.checksumErrors && a.withoutChecksum == b.withoutChecksum
           && a.impossiblePositions == b.impossiblePositions && a.times.gaps() == b.times.gaps()
           && a.times.longestGapSeconds() == b.times.longestGapSeconds()
           && a.times.backwards() == b.times.backwards();
}

bool sameRun(const navorel::FilterRun &a, const navorel::FilterRun &b)
{
    return a.errorString == b.errorString && a.errorLine == b.errorLine && a.counts.found == b.counts.found
           && a.counts.accepted == b.counts.accepted && a.counts.notValid == b.counts.notValid
           && a.report == b.report && a.latitudeText == b.latitudeText && a.longitudeText == b.longitudeText
           && a.timeSpanText == b.timeSpanText && a.points == b.points && a.bars == b.bars
           && a.result.latitudeSum == b.result.latitudeSum && a.result.longitudeSum == b.result.longitudeSum
           && a.result.displayLines.text() == b.result.displayLines.text()
           && a.result.dataLines.text() == b.result.dataLines.text()
           && a.result.rangeLines.text() == b.result.rangeLines.text() && a.fixClasses == b.fixClasses
           && sameQuality(a.quality, b.quality);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    navorel::Settings settings;
    settings.IDF = (data[0] & 1) != 0 ? navorel::PositionSentence::GGA : navorel::PositionSentence::RMC;
    settings.Valid = (data[0] & 2) != 0;
    settings.UTC = (data[0] & 4) == 0;
    settings.Acc = (data[0] & 8) == 0;
    settings.SatTime = 1;
    // The sentence checks and the minimum quality, on and off.
    settings.Checksums = (data[0] & 16) != 0 ? navorel::ChecksumMode::Ignore : navorel::ChecksumMode::Default;
    settings.MinQuality = (data[0] & 32) != 0 ? navorel::MinQuality::Differential : navorel::MinQuality::Any;
    settings.Talkers = (data[0] & 64) != 0 ? navorel::TalkerMode::GPS : navorel::TalkerMode::GNSS;
    const unsigned chunks = 2 + data[1] % 7;
    const std::size_t piece = 1 + data[1] / 7;
    // The head of a long log is enough: what is tried is where it is cut.
    const std::string_view text(reinterpret_cast<const char *>(data) + 2,
                                std::min<std::size_t>(size - 2, 16384));

    const navorel::FilterRun single = navorel::runFilter(text, settings, {}, 1);
    if (!sameRun(single, navorel::runFilter(text, settings, {}, chunks)))
        __builtin_trap();
    navorel::FilterProcess process(settings);
    for (std::size_t at = 0; at < text.size(); at += piece)
        process.feed(text.substr(at, piece));
    if (!sameRun(single, process.finish()))
        __builtin_trap();
    return 0;
}
