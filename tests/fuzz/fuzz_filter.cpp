// Any bytes as a log, under every identifier, validity and talker setting.

#include <cstddef>
#include <cstdint>
#include <string>

#include "exports/jsonsummary.h"
#include "exports/positionexport.h"
#include "filter/filterprocess.h"
#include "filter/precisionfigures.h"

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
    if (!run.completed())
        return 0;
    // The figures and the exports of whatever fixes came through.
    const navorel::PrecisionFigures figures = navorel::measurePrecision(run.fixes);
    if (figures.fixes != run.counts.accepted || figures.cep50 > figures.cep95
        || figures.cep95 > figures.maxDistance)
        __builtin_trap();
    navorel::JsonSummary::ofRun(run, figures);
    navorel::PositionExport::meanPositionGpx(figures, "x");
    navorel::PositionExport::fixesGpxTrack(run.fixes, "x");
    return 0;
}
