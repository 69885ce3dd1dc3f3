#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "filter/filterresult.h"
#include "filter/progressreporter.h"
#include "filter/settings.h"

namespace navorel {

struct FilterCounts
{
    std::size_t found = 0;    // position sentences of the chosen kind
    std::size_t accepted = 0; // fixes added to the mean
    std::size_t notValid = 0; // sentences with status "V"
};

// Everything one filter run produces.
struct FilterRun
{
    FilterResult result;
    FilterCounts counts;
    std::string identifier;          // "$GPRMC" or "$GPGGA"; "$--RMC" or "$--GGA" with every talker
    std::vector<std::string> report; // the result page: 23 lines, or the 3 head lines when stopped
    std::string latitudeText;        // the three labels above the charts
    std::string longitudeText;
    std::string timeSpanText;
    std::vector<PositionPoint> points; // the position chart, in the order added
    std::vector<SatelliteBar> bars;    // the satellites chart, in the order added

    // Set when the run stopped at a line that could not be read: the message
    // (which does not name the line) and the 1-based line. What was added
    // until then stays in the lists, points and bars.
    std::string errorString;
    std::size_t errorLine = 0;

    bool completed() const { return errorString.empty(); }
    bool fixAccepted() const { return counts.accepted > 0; }
};

// Walks the lines once: picks the position sentences the settings ask for,
// averages their positions, takes the time span and counts the active
// satellites of each $GPGSA sentence per time range. With every talker a
// fix sent again under another talker counts once, and the GSA sentences
// on consecutive lines make one epoch, counted as one. The lines become the
// result's NMEA copy. Big logs are scanned in chunkCount chunks side by side
// (0: as many as the cores make worth it); the result is the same.
FilterRun runFilter(TextLines lines, const Settings &settings, const ProgressCallback &progress = {},
                    unsigned chunkCount = 0);

} // namespace navorel
