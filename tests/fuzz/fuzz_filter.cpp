// Any bytes as a log, under every identifier, validity and talker setting.

#include <cstddef>
#include <cstdint>
#include <string>

#include "filter/filterprocess.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    navorel::Settings settings;
    settings.IDF = (data[0] & 1) != 0 ? navorel::PositionSentence::GGA : navorel::PositionSentence::RMC;
    settings.Valid = (data[0] & 2) != 0;
    settings.UTC = (data[0] & 4) == 0;
    settings.Talkers = (data[0] & 8) != 0 ? navorel::TalkerMode::GPS : navorel::TalkerMode::GNSS;
    settings.SatTime = 1;
    std::string text(reinterpret_cast<const char *>(data) + 1, size - 1);
    const navorel::FilterRun run =
        navorel::runFilter(navorel::TextLines::fromText(std::move(text)), settings);
    if (run.completed() && run.report.size() != 23)
        __builtin_trap();
    return 0;
}
