// Any bytes as a log, in RMC and in GGA mode: the mean as GPX and KML, the
// track as the command line streams it and as the window writes it, and
// the JSON summary. With the name plain ASCII every byte written is ASCII,
// so that no byte of uninitialised memory or of a failed conversion can
// hide in them, and no coordinate lies off the earth.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exports/gpxtrackwriter.h"
#include "exports/jsonsummary.h"
#include "exports/positionexport.h"
#include "filter/filterprocess.h"
#include "filter/precisionfigures.h"

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void checkAscii(std::string_view text)
{
    for (const char c : text)
        check(static_cast<unsigned char>(c) < 0x80);
}

// Every lat="..." and lon="..." attribute within the earth, 180 written as -180.
void checkCoordinates(const std::string &xml)
{
    for (const char *attribute : {" lat=\"", " lon=\""}) {
        const bool latitude = attribute[1] == 'l' && attribute[2] == 'a';
        const std::string_view name(attribute);
        for (std::size_t at = xml.find(name); at != std::string::npos; at = xml.find(name, at + 1)) {
            const double value = std::strtod(xml.c_str() + at + name.size(), nullptr);
            check(latitude ? value >= -90.0 && value <= 90.0 : value >= -180.0 && value < 180.0);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    for (const auto kind : {navorel::PositionSentence::RMC, navorel::PositionSentence::GGA}) {
        navorel::Settings settings;
        settings.IDF = kind;
        navorel::GpxTrackWriter writer("x");
        std::string streamed;
        navorel::FilterOptions options;
        options.keepDisplayLines = false;
        options.keepDataLines = false;
        options.keepPoints = false;
        options.chunkCount = 2;
        options.fixesSink = [&](const navorel::AcceptedFixes &fixes) {
            writer.add(fixes);
            streamed += writer.takeText();
        };
        const navorel::FilterRun run = navorel::runFilter(text, settings, options);
        if (!run.completed())
            continue;
        writer.finish();
        streamed += writer.takeText();
        const std::string head = writer.describedHead();
        if (!head.empty())
            streamed.replace(0, writer.headBytes(), head);
        const std::string track = navorel::PositionExport::fixesGpxTrack(run.fixes, "x");
        check(streamed == track);

        const navorel::PrecisionFigures figures = navorel::measurePrecision(run.fixes);
        const std::string gpx = navorel::PositionExport::meanPositionGpx(figures, "x");
        const std::string kml = navorel::PositionExport::meanPositionKml(figures, "x");
        const std::string json = navorel::JsonSummary::ofRun(run, figures);
        for (const std::string *output : {&track, &gpx, &kml, &json})
            checkAscii(*output);
        checkCoordinates(track);
        checkCoordinates(gpx);
        check(json.find("nan") == std::string::npos && json.find("inf") == std::string::npos);
    }
    return 0;
}
