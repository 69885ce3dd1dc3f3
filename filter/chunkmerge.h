#pragma once

#include <string>

#include "filter/chunkscan.h"
#include "filter/epochsatellites.h"
#include "filter/filterprocess.h"
#include "filter/fixtimes.h"

namespace navorel {

// The last stage of a run: joins the chunks in log order into the run's
// result, its counts, lists and report, as one pass over all lines gives.
class ChunkMerge
{
public:
    ChunkMerge(FilterRun &run, const Settings &settings, const FilterOptions &options);

    // False when the chunk stopped the run. The chunk's lists are copied
    // out, so that it can scan the next block in the same room.
    bool add(ChunkScan &chunk);
    // The time span, the mean and the report, once every chunk is in.
    void finish();

private:
    void joinEpochsBefore(ChunkFindings &found);
    void addDataLines(const ChunkScan &chunk);
    void countRange(int satellites);
    void endEpoch(const std::string *dataLinePrefix);
    const std::string *latestPrefix() const { return m_fixAccepted ? &m_dataLinePrefix : nullptr; }

    FilterRun &m_run;
    const Settings &m_settings;
    const FilterOptions &m_options;
    const long long m_rangeLength; // GSA epochs per time range
    long long m_rangeCount = 0;
    long long m_rangeSum = 0;
    long long m_rangeEnd = 0;

    bool m_fixAccepted = false;
    std::string m_dataLinePrefix; // of the latest fix so far
    bool m_epochOpen = false;     // an epoch of GSA lines reaches the end of the chunks so far
    EpochSatellites m_epoch;
    FixTimes m_times;
    std::string m_line;
};

} // namespace navorel
