#include "filter/chunkmerge.h"

#include "filter/filterreport.h"
#include "filter/nmeafields.h"

namespace navorel {

ChunkMerge::ChunkMerge(FilterRun &run, const Settings &settings, const FilterOptions &options)
        : m_run(run), m_settings(settings), m_options(options),
          m_rangeLength(60LL * clampSatTime(settings.SatTime))
{}

void ChunkMerge::countRange(int satellites)
{
    // The sentence that fills a range counts in it too: a steady 7 means 7.
    ++m_rangeCount;
    m_rangeSum += satellites;
    if (m_rangeCount < m_rangeLength)
        return;
    m_rangeEnd += m_rangeLength / 60;
    const long long mean = m_rangeSum / m_rangeLength;
    m_rangeSum = 0;
    m_rangeCount = 0;
    if (!m_options.keepDataLines)
        return;
    m_run.bars.push_back({m_rangeEnd, mean});
    m_run.result.rangeLines.append(std::to_string(m_rangeEnd) + ";" + std::to_string(mean));
}

// An epoch that ran over chunk borders counts once, with the fix taken
// before the line that ended it.
void ChunkMerge::endEpoch(const std::string *dataLinePrefix)
{
    const int satellites = m_epoch.count();
    if (dataLinePrefix != nullptr && m_options.keepDataLines) {
        m_line.assign(*dataLinePrefix);
        appendSatellites(m_line, satellites);
        m_run.result.dataLines.append(m_line);
    }
    countRange(satellites);
    m_epoch.clear();
    m_epochOpen = false;
}

// The chunk's first GSA lines belong to the epoch the chunks before it left open.
void ChunkMerge::joinEpochsBefore(ChunkFindings &found)
{
    EpochEdges &edges = found.epochEdges;
    if (edges.leadingRun) {
        m_epoch.add(edges.leadingEpoch);
        m_epochOpen = true;
    }
    if (edges.leadingRunEnded && m_epochOpen)
        endEpoch(edges.leadingFixAccepted ? &edges.leadingPrefix : latestPrefix());
}

// The chunk's GSA epochs before its first fix pair with the fix before it.
void ChunkMerge::addDataLines(const ChunkScan &chunk)
{
    if (!m_options.keepDataLines)
        return;
    TextLines &dataLines = m_run.result.dataLines;
    if (m_fixAccepted) {
        for (std::size_t i = 0; i < chunk.found.satellitesBeforeFirstFix; ++i) {
            m_line.assign(m_dataLinePrefix);
            appendSatellites(m_line, static_cast<int>(chunk.satellites[i]));
            dataLines.append(m_line);
        }
    }
    dataLines.append(chunk.dataLines);
}

bool ChunkMerge::add(ChunkScan &chunk)
{
    ChunkFindings &found = chunk.found;
    FilterResult &result = m_run.result;
    joinEpochsBefore(found);
    m_run.counts.found += found.counts.found;
    m_run.counts.accepted += found.counts.accepted;
    m_run.counts.notValid += found.counts.notValid;
    if (m_options.displaySink) {
        if (!chunk.displayLines.empty())
            m_options.displaySink(chunk.displayLines.text(), chunk.textEnd);
    } else if (m_options.keepDisplayLines) {
        result.displayLines.append(chunk.displayLines);
    }
    if (m_options.keepPoints)
        m_run.points.insert(m_run.points.end(), chunk.points.begin(), chunk.points.end());
    // Summed fix by fix in log order, as one pass sums them.
    for (const double latitude : chunk.fixes.latitudes)
        result.latitudeSum += latitude;
    for (const double longitude : chunk.fixes.longitudes)
        result.longitudeSum.add(longitude);
    if (m_options.fixesSink && !chunk.fixes.empty())
        m_options.fixesSink(chunk.fixes);
    if (m_options.keepFixes)
        m_run.fixes.append(chunk.fixes);
    if (m_options.keepFixClasses)
        m_run.fixClasses.insert(m_run.fixClasses.end(), chunk.fixClasses.begin(), chunk.fixClasses.end());
    m_run.quality.follow(found.quality);
    for (const ReceiverSigma::Sigmas &sigmas : chunk.receiverSigmas)
        m_run.quality.receiverSigma.add(sigmas);

    addDataLines(chunk);
    for (const std::uint32_t satellites : chunk.satellites)
        countRange(static_cast<int>(satellites));
    if (found.epochEdges.trailingRun) {
        m_epoch = std::move(found.epochEdges.trailingEpoch);
        m_epochOpen = true;
    }
    if (found.fixAccepted) {
        m_fixAccepted = true;
        m_dataLinePrefix = found.dataLinePrefix;
    }
    m_times.follow(found.times);

    if (found.errorString.empty())
        return true;
    m_run.errorString = found.errorString;
    m_run.errorLine = found.errorLine;
    m_run.errorNeedsLine = found.errorNeedsLine;
    return false;
}

void ChunkMerge::finish()
{
    if (m_epochOpen)
        endEpoch(latestPrefix()); // the end of the text ends an epoch too
    m_run.linesRead = true;
    const FilterCounts &counts = m_run.counts;
    if (counts.accepted == 0) {
        m_run.timeSpanText = kTimeError;
        m_run.latitudeText = kLatitudeError;
        m_run.longitudeText = kLongitudeError;
    } else {
        if (m_settings.UTC) {
            const Converted<std::string> span = TimeSpanText(m_times.first, m_times.last, m_times.days());
            if (!span.ok()) {
                const bool firstFailed = !TimeSpanText(m_times.first, m_times.first).ok();
                m_run.errorString = span.errorString();
                m_run.errorLine = firstFailed ? m_times.firstLine : m_times.lastLine;
                return;
            }
            m_run.timeSpanText = span.value();
        }
        const auto accepted = static_cast<long long>(counts.accepted);
        m_run.latitudeText = meanLatitudeText(m_run.result.latitudeSum, accepted);
        m_run.longitudeText = meanLongitudeText(m_run.result.longitudeSum, accepted);
    }

    std::vector<std::string> &report = m_run.report;
    appendReportCounts(report, std::to_string(counts.found), std::to_string(counts.notValid),
                       m_settings.Valid);
    report.push_back(m_run.latitudeText);
    report.push_back(m_run.longitudeText);
    report.push_back(m_run.timeSpanText);
    appendReportAdvice(report);
}

} // namespace navorel
