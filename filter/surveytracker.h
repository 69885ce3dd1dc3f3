#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "filter/filterprocess.h"
#include "filter/meanuncertainty.h"
#include "filter/precisionfigures.h"

namespace navorel {

// The figures of a receiver while it is being recorded: fed the received
// text in pieces of any size, it reads each line as a filter run over the
// text so far would (the same rules and settings), keeps the accepted
// fixes (about 25 bytes each) and gives, at any moment, the numbers that
// navorel-filter --json gives over the same lines, to the last bit.
class SurveyTracker
{
public:
    explicit SurveyTracker(const Settings &settings);

    // The next received bytes; a line that has not ended yet waits for its end.
    void feed(std::string_view bytes);

    // Counts, fixes and quality so far: cheap, at every piece.
    const FilterRun &run() const { return m_process.progress(); }
    std::size_t fixes() const { return run().fixes.size(); }
    // Seconds from the first fix to the last by their own times, kept up
    // fix by fix (dates where the fixes have them, else a day at every
    // midnight): what a survey's minimum time and its goal count in.
    double elapsedSeconds();
    // A line stopped the run (a hemisphere that is neither): no more fixes.
    bool stopped() const { return m_process.stopped(); }

    // The figures of the fixes so far: a pass over them, O(n log n), for at
    // most once a second.
    struct Figures
    {
        PrecisionFigures precision;
        MeanUncertainty uncertainty;
    };
    // With JsonSummary::ofRun(run(), precision, uncertainty), the --json
    // object of the lines so far.
    Figures measure() const;

private:
    static FilterOptions optionsForSurvey();

    FilterProcess m_process;
    std::size_t m_clockFixes = 0; // fixes the elapsed time has taken in
    std::optional<double> m_firstSecond;
    double m_lastSecond = 0.0;
    double m_midnights = 0.0;
    std::int32_t m_previousTime = AcceptedFixes::kNoTime;
};
} // namespace navorel
