#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "filter/acceptedfixes.h"
#include "filter/epochsatellites.h"
#include "filter/filterprocess.h"
#include "filter/fixtimes.h"
#include "filter/logquality.h"

namespace navorel {

// With every talker an epoch is a run of GSA lines on consecutive lines,
// and a chunk's first or last epoch may go on in the chunk before or after
// it: the part at each edge is kept for the merge, which joins them.
struct EpochEdges
{
    bool leadingRun = false; // the chunk begins with GSA lines
    EpochSatellites leadingEpoch;
    bool leadingRunEnded = false;    // a line that is not a GSA line followed them
    bool leadingFixAccepted = false; // ... and a fix was taken before it
    std::string leadingPrefix;       // the data line prefix of that fix
    bool trailingRun = false;        // an epoch is still open at the chunk's end
    EpochSatellites trailingEpoch;
};

// What a chunk found besides its lists; a new block starts from = {}.
struct ChunkFindings
{
    std::size_t lineCount = 0; // lines scanned, when the chunk did not stop
    FilterCounts counts;
    std::size_t satellitesBeforeFirstFix = 0; // leading entries of the satellites list
    EpochEdges epochEdges;
    bool fixAccepted = false;
    std::string dataLinePrefix; // "time;lat;lon;" of the latest fix
    std::string lastFoundTime;  // every talker: the time field of the last position sentence
    FixTimes times;
    LogQuality quality;
    std::string errorString;
    std::size_t errorLine = 0;
    bool errorNeedsLine = false;
};

// One run of consecutive lines, scanned on its own, maybe on a thread of
// its own. It cannot know the fix before its first line, nor where the
// satellite ranges stand; the merge supplies both, so that the result is
// the one a single pass over all lines gives.
struct ChunkScan
{
    // What to scan.
    std::string_view bytes;     // whole lines, the last one with or without its break
    std::size_t firstLine = 1;  // the number of the first line
    bool firstLineKnown = true; // else firstLine is a guess, mended at the merge
    std::size_t textEnd = 0;    // bytes of the whole text up to the chunk's end
    bool keepDisplayLines = true;
    std::string previousTime; // every talker: the time field of the last position sentence before it

    ChunkFindings found;
    // Lists emptied after each block, their room kept for the next.
    TextLines displayLines;
    TextLines dataLines; // of the GSA epochs after the chunk's first fix
    std::vector<PositionPoint> points;
    AcceptedFixes fixes;                               // summed in order at the merge
    std::vector<std::uint32_t> satellites;             // the count of every GSA epoch, in order
    std::vector<std::uint8_t> fixClasses;              // of every accepted fix, in order
    std::vector<ReceiverSigma::Sigmas> receiverSigmas; // of every GST sentence, summed in order at the merge

    void reset()
    {
        found = {};
        displayLines.clear();
        dataLines.clear();
        points.clear();
        fixes.clear();
        satellites.clear();
        fixClasses.clear();
        receiverSigmas.clear();
    }
};

// "7" or "12": the satellites field of a data line.
void appendSatellites(std::string &line, int satellites);

} // namespace navorel
