#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "filter/filterprocess.h"
#include "filter/filterresult.h"
#include "filter/textlines.h"

namespace navorel {

// What a result file shows once opened.
struct ResultFileView
{
    std::size_t fileLineCount = 0; // the progress gauge's maximum
    bool tooShort = false;         // three lines or fewer: nothing to show

    std::size_t dataLinesRead = 0;
    double latitudeSum = 0.0; // decimal degrees, as a filter run sums them
    LongitudeSum longitudeSum;
    std::vector<PositionPoint> points;    // added to the position chart
    std::vector<SatelliteBar> bars;       // added to the satellites chart
    TextLines displayLines;               // for the text area, as a run makes them
    std::vector<std::string> reportLines; // appended to the result page
    std::string latitudeText;             // the two position labels
    std::string longitudeText;

    // Set when a line could not be read; the points and bars before it stay.
    std::string errorString;
    std::size_t errorLine = 0; // 1-based

    bool completed() const { return errorString.empty(); }
};

// Reads the lines of a result file. Data lines are split at ";", so every
// file the writer makes reads back, southern and western positions, small
// degrees and two-digit satellite counts included.
ResultFileView readResultFile(const TextLines &fileLines, const ProgressCallback &progress = {});

} // namespace navorel
