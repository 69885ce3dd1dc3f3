#include "filter/filterprocess.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <thread>

#include "filter/codepage.h"
#include "filter/epochsatellites.h"
#include "filter/filterreport.h"
#include "filter/nmeafields.h"

namespace navorel {

namespace {

// Shorter lines are never position sentences: too short for the fields.
constexpr std::size_t kShortestSentence = 47;
constexpr std::string_view kSatelliteSentence = "$GPGSA";
// Fewer lines per chunk and a second thread costs more than it saves.
constexpr std::size_t kLinesPerChunkMin = 100000;
constexpr unsigned kChunksMax = 8;

bool isHemisphere(std::string_view text, char positive, char negative)
{
    return text.size() == 1 && (text[0] == positive || text[0] == negative);
}

std::string hemisphereMessage(const char *coordinate, std::string_view text, const char *expected)
{
    return std::string("the ") + coordinate + " hemisphere '" + visibleText(text) + "' is neither "
           + expected;
}

void appendSatellites(std::string &line, int satellites)
{
    if (satellites >= 100) {
        line += std::to_string(satellites);
        return;
    }
    if (satellites >= 10)
        line += static_cast<char>('0' + satellites / 10);
    line += static_cast<char>('0' + satellites % 10);
}

// What one run of consecutive lines yields. A chunk scanned on its own
// cannot know the fix before its first line, nor where the satellite
// ranges stand; the merge supplies both, so that the result is the one a
// single pass over all lines gives.
struct ChunkScan
{
    FilterCounts counts;
    TextLines displayLines;
    TextLines dataLines; // of the $GPGSA lines after the chunk's first fix
    std::vector<PositionPoint> points;
    std::vector<double> latitudes; // decimal degrees per fix, summed in order at the merge
    std::vector<double> longitudes;
    std::vector<std::uint32_t> satellites;    // the count of every $GPGSA line (epoch), in order
    std::size_t satellitesBeforeFirstFix = 0; // leading entries of satellites
    // With every talker, an epoch is a run of GSA lines and may have begun
    // before the chunk or go on after it: the merge joins those parts.
    bool leadingRun = false; // the chunk begins with GSA lines
    EpochSatellites leadingEpoch;
    bool leadingRunEnded = false;    // a line that is not a GSA line followed them
    bool leadingFixAccepted = false; // ... and a fix was taken before it
    std::string leadingPrefix;       // the data line prefix of that fix
    bool trailingRun = false;        // an epoch is still open at the chunk's end
    EpochSatellites trailingEpoch;
    bool fixAccepted = false;
    std::string dataLinePrefix; // "time;lat;lon;" of the latest fix
    std::string firstTime;      // first fix time that is not empty
    std::size_t firstTimeLine = 0;
    std::string lastTime; // time of the last fix
    std::size_t lastTimeLine = 0;
    std::string errorString;
    std::size_t errorLine = 0;
};

class ChunkScanner
{
public:
    ChunkScanner(ChunkScan &chunk, const Settings &settings)
            : m_chunk(chunk), m_settings(settings), m_identifier(sentenceIdentifier(settings.IDF)),
              m_countSatellites(settings.GSA && settings.Sat),
              m_everyTalker(settings.Talkers == TalkerMode::GNSS)
    {}

    // The time field of the last position sentence before the chunk: a
    // receiver that sends one fix under two talkers may have been cut there.
    void setPreviousTime(std::string_view time) { m_lastFoundTime.assign(time); }

    // False when the run has to stop at this line.
    bool scanLine(std::string_view line, std::size_t lineNumber)
    {
        const bool longEnough = line.size() >= kShortestSentence;
        if (!longEnough && !m_countSatellites)
            return true;
        // One sweep over the "$" signs answers both questions: where is the
        // first identifier in the line, and the first satellites sentence?
        std::size_t positionAt = std::string_view::npos;
        std::size_t satellitesAt = std::string_view::npos;
        const char *const begin = line.data();
        const char *const end = begin + line.size();
        for (const char *p = begin; end - p >= 6; ++p) {
            p = static_cast<const char *>(std::memchr(p, '$', static_cast<std::size_t>(end - p)));
            if (p == nullptr || end - p < 6)
                break;
            if (m_everyTalker) {
                if (!isTalker(p[1], p[2]))
                    continue;
                if (std::memcmp(p + 3, m_identifier.data() + 3, 3) == 0) {
                    if (positionAt == std::string_view::npos)
                        positionAt = static_cast<std::size_t>(p - begin);
                } else if (satellitesAt == std::string_view::npos && std::memcmp(p + 3, "GSA", 3) == 0) {
                    satellitesAt = static_cast<std::size_t>(p - begin);
                }
            } else if (std::memcmp(p + 1, m_identifier.data() + 1, 5) == 0) {
                if (positionAt == std::string_view::npos)
                    positionAt = static_cast<std::size_t>(p - begin);
            } else if (satellitesAt == std::string_view::npos
                       && std::memcmp(p + 1, kSatelliteSentence.data() + 1, 5) == 0) {
                satellitesAt = static_cast<std::size_t>(p - begin);
            }
        }
        const bool satellites = m_countSatellites && satellitesAt != std::string_view::npos;
        // The line that ends an epoch is not part of it, nor is its fix.
        if (m_everyTalker && m_countSatellites && !satellites)
            endEpoch();
        if (longEnough && positionAt != std::string_view::npos
            && line.find("EMT") == std::string_view::npos) {
            if (!takePositionSentence(line.substr(positionAt), lineNumber))
                return false;
        }
        if (satellites) {
            if (!m_everyTalker)
                takeSatelliteSentence(CountActiveSatellites(line.substr(satellitesAt)));
            else if (m_inLeadingRun)
                addToLeadingRun(line.substr(satellitesAt));
            else
                addToEpoch(line.substr(satellitesAt));
        }
        return true;
    }

    // The prefix of the chunk's last fix, for the lines of the next chunk,
    // and the epoch that may go on there.
    void finish()
    {
        if (m_chunk.fixAccepted && m_chunk.dataLinePrefix.empty())
            makeDataLinePrefix();
        if (m_epochOpen) {
            m_chunk.trailingRun = true;
            m_chunk.trailingEpoch = m_epoch;
        }
    }

private:
    bool stop(std::string message, std::size_t lineNumber)
    {
        m_chunk.errorString = std::move(message);
        m_chunk.errorLine = lineNumber;
        return false;
    }

    bool takePositionSentence(std::string_view sentence, std::size_t lineNumber);
    void takeSatelliteSentence(int satellites);
    void makeDataLinePrefix();
    void endEpoch();
    void addToLeadingRun(std::string_view sentence)
    {
        m_chunk.leadingRun = true;
        m_chunk.leadingEpoch.add(sentence);
    }
    void addToEpoch(std::string_view sentence)
    {
        m_epochOpen = true;
        m_epoch.add(sentence);
    }

    ChunkScan &m_chunk;
    const Settings &m_settings;
    const std::string_view m_identifier;
    const bool m_countSatellites;
    const bool m_everyTalker;

    std::string m_lastFoundTime; // whole time field of the last sentence counted as found
    bool m_inLeadingRun = true;  // no line but GSA lines seen yet
    bool m_epochOpen = false;
    EpochSatellites m_epoch;

    std::string m_timeText; // of the latest fix; stays empty with UTC off
    double m_latitudeNumber = 0.0;
    double m_longitudeNumber = 0.0;
    std::string m_line; // the line being built, kept to reuse its buffer
};

bool ChunkScanner::takePositionSentence(std::string_view sentence, std::size_t lineNumber)
{
    if (m_everyTalker) {
        // Receivers that send $GPRMC and $GNRMC for one epoch: the first stands.
        const std::string_view time = timeField(sentence);
        if (!time.empty() && time == m_lastFoundTime)
            return true;
        m_lastFoundTime.assign(time);
    }
    FilterCounts &counts = m_chunk.counts;
    ++counts.found;
    const PositionFields fields = CutPositionFields(sentence, sentence.substr(0, m_identifier.size()));
    if (fields.Status == "V")
        ++counts.notValid;
    const bool validEnough =
        !m_settings.Valid || fields.Status != "V" || m_settings.IDF == PositionSentence::GGA;
    // A receiver without a fix may still send the sentence with empty
    // position fields: there is no position to add.
    if (!validEnough || fields.Latitude.empty() || fields.Longitude.empty())
        return true;
    if (!isHemisphere(fields.LatitudeHemisphere, 'N', 'S'))
        return stop(hemisphereMessage("latitude", fields.LatitudeHemisphere, "N nor S"), lineNumber);
    if (!isHemisphere(fields.LongitudeHemisphere, 'E', 'W'))
        return stop(hemisphereMessage("longitude", fields.LongitudeHemisphere, "E nor W"), lineNumber);

    if (m_settings.UTC) {
        m_timeText = fields.Time;
        if (m_chunk.firstTime.empty()) {
            m_chunk.firstTime = fields.Time;
            m_chunk.firstTimeLine = lineNumber;
        }
        m_chunk.lastTime = fields.Time;
        m_chunk.lastTimeLine = lineNumber;
    }
    m_chunk.fixAccepted = true;
    m_chunk.dataLinePrefix.clear();
    ++counts.accepted;

    const Converted<double> latitude = PositionFieldToDegrees(fields.Latitude, fields.LatitudeHemisphere);
    if (!latitude.ok())
        return stop(latitude.errorString(), lineNumber);
    const Converted<double> longitude = PositionFieldToDegrees(fields.Longitude, fields.LongitudeHemisphere);
    if (!longitude.ok())
        return stop(longitude.errorString(), lineNumber);
    m_chunk.latitudes.push_back(latitude.value());
    m_chunk.longitudes.push_back(longitude.value());

    m_latitudeNumber = DegreesToCoord(latitude.value(), 1);
    m_longitudeNumber = DegreesToCoord(longitude.value(), 1);
    if (m_settings.Acc)
        m_chunk.points.push_back({m_latitudeNumber, m_longitudeNumber});

    m_line.clear();
    appendTimeText(m_line, m_timeText);
    m_line += "   ";
    appendCoordText(m_line, m_latitudeNumber);
    m_line += "   ";
    appendCoordText(m_line, m_longitudeNumber);
    m_chunk.displayLines.append(m_line);
    return true;
}

void ChunkScanner::makeDataLinePrefix()
{
    std::string &prefix = m_chunk.dataLinePrefix;
    prefix.clear();
    appendTimeText(prefix, m_timeText);
    prefix += ';';
    appendCoordNumberText(prefix, m_latitudeNumber);
    prefix += ';';
    appendCoordNumberText(prefix, m_longitudeNumber);
    prefix += ';';
}

void ChunkScanner::endEpoch()
{
    if (m_inLeadingRun) {
        m_inLeadingRun = false;
        m_chunk.leadingRunEnded = true;
        m_chunk.leadingFixAccepted = m_chunk.fixAccepted;
        if (m_chunk.fixAccepted) {
            makeDataLinePrefix();
            m_chunk.leadingPrefix = m_chunk.dataLinePrefix;
        }
        return;
    }
    if (!m_epochOpen)
        return;
    takeSatelliteSentence(m_epoch.count());
    m_epoch.clear();
    m_epochOpen = false;
}

void ChunkScanner::takeSatelliteSentence(int satellites)
{
    m_chunk.satellites.push_back(static_cast<std::uint32_t>(satellites));
    if (!m_chunk.fixAccepted) {
        ++m_chunk.satellitesBeforeFirstFix;
        return;
    }
    if (m_chunk.dataLinePrefix.empty())
        makeDataLinePrefix();
    m_line.assign(m_chunk.dataLinePrefix);
    appendSatellites(m_line, satellites);
    m_chunk.dataLines.append(m_line);
}

// Joins the chunks in their order into the run's result.
class ChunkMerge
{
public:
    ChunkMerge(FilterRun &run, const Settings &settings)
            : m_run(run), m_settings(settings), m_rangeLength(60LL * clampSatTime(settings.SatTime))
    {}

    // False when the chunk stopped the run. The chunk's lists are taken over
    // or copied and then released, so that no list is held twice for long.
    bool add(ChunkScan &chunk);
    void finish();

private:
    // Dates of RMC fixes let a log of several days show all its hours.
    std::optional<std::int64_t> daysOfFixes() const
    {
        const TextLines &lines = m_run.result.nmeaCopy;
        if (m_firstTimeLine == 0 || m_lastTimeLine == 0)
            return std::nullopt;
        const std::optional<std::int64_t> first = RmcDayNumber(lines[m_firstTimeLine - 1]);
        const std::optional<std::int64_t> last = RmcDayNumber(lines[m_lastTimeLine - 1]);
        if (!first || !last)
            return std::nullopt;
        return *last - *first;
    }

    void countRange(int satellites);
    void endEpoch(const std::string *dataLinePrefix);

    FilterRun &m_run;
    const Settings &m_settings;
    const long long m_rangeLength; // $GPGSA sentences per time range
    long long m_rangeCount = 0;
    long long m_rangeSum = 0;
    long long m_rangeEnd = 0;

    const std::string *m_dataLinePrefix = nullptr; // of the latest fix so far
    bool m_epochOpen = false; // an epoch of GSA lines reaches the end of the chunks so far
    EpochSatellites m_epoch;
    std::string m_firstTime;
    std::size_t m_firstTimeLine = 0;
    std::string m_lastTime;
    std::size_t m_lastTimeLine = 0;
    std::string m_line;
};

void ChunkMerge::countRange(int satellites)
{
    // The sentence that fills a range counts in it too: a steady 7 means 7.
    ++m_rangeCount;
    m_rangeSum += satellites;
    if (m_rangeCount < m_rangeLength)
        return;
    m_rangeEnd += m_rangeLength / 60;
    const long long mean = m_rangeSum / m_rangeLength;
    m_run.bars.push_back({m_rangeEnd, mean});
    m_run.result.rangeLines.append(std::to_string(m_rangeEnd) + ";" + std::to_string(mean));
    m_rangeSum = 0;
    m_rangeCount = 0;
}

template <typename List> void takeOver(List &into, List &from)
{
    if (into.empty())
        into = std::move(from);
    else
        into.insert(into.end(), from.begin(), from.end());
    from = List();
}

void takeOver(TextLines &into, TextLines &from)
{
    if (into.empty())
        into = std::move(from);
    else
        into.append(from);
    from = TextLines();
}

// An epoch that ran over chunk borders counts once, with the fix taken
// before the line that ended it.
void ChunkMerge::endEpoch(const std::string *dataLinePrefix)
{
    const int satellites = m_epoch.count();
    if (dataLinePrefix != nullptr) {
        m_line.assign(*dataLinePrefix);
        appendSatellites(m_line, satellites);
        m_run.result.dataLines.append(m_line);
    }
    countRange(satellites);
    m_epoch.clear();
    m_epochOpen = false;
}

bool ChunkMerge::add(ChunkScan &chunk)
{
    FilterResult &result = m_run.result;
    if (chunk.leadingRun) {
        m_epoch.add(chunk.leadingEpoch);
        m_epochOpen = true;
    }
    if (chunk.leadingRunEnded && m_epochOpen)
        endEpoch(chunk.leadingFixAccepted ? &chunk.leadingPrefix : m_dataLinePrefix);
    m_run.counts.found += chunk.counts.found;
    m_run.counts.accepted += chunk.counts.accepted;
    m_run.counts.notValid += chunk.counts.notValid;
    takeOver(result.displayLines, chunk.displayLines);
    takeOver(m_run.points, chunk.points);
    for (const double latitude : chunk.latitudes)
        result.latitudeSum += latitude;
    for (const double longitude : chunk.longitudes)
        result.longitudeSum += longitude;
    chunk.latitudes = {};
    chunk.longitudes = {};

    if (m_dataLinePrefix != nullptr) {
        for (std::size_t i = 0; i < chunk.satellitesBeforeFirstFix; ++i) {
            m_line.assign(*m_dataLinePrefix);
            appendSatellites(m_line, static_cast<int>(chunk.satellites[i]));
            result.dataLines.append(m_line);
        }
    }
    takeOver(result.dataLines, chunk.dataLines);
    for (const std::uint32_t satellites : chunk.satellites)
        countRange(static_cast<int>(satellites));
    chunk.satellites = {};
    if (chunk.trailingRun) {
        m_epoch = std::move(chunk.trailingEpoch);
        m_epochOpen = true;
    }

    if (chunk.fixAccepted) {
        m_dataLinePrefix = &chunk.dataLinePrefix;
        if (m_firstTime.empty() && !chunk.firstTime.empty()) {
            m_firstTime = chunk.firstTime;
            m_firstTimeLine = chunk.firstTimeLine;
        }
        m_lastTime = chunk.lastTime;
        m_lastTimeLine = chunk.lastTimeLine;
    }
    if (chunk.errorString.empty())
        return true;
    m_run.errorString = chunk.errorString;
    m_run.errorLine = chunk.errorLine;
    return false;
}

void ChunkMerge::finish()
{
    if (m_epochOpen)
        endEpoch(m_dataLinePrefix); // the end of the text ends an epoch too
    const FilterCounts &counts = m_run.counts;
    if (counts.accepted == 0) {
        m_run.timeSpanText = kTimeError;
        m_run.latitudeText = kLatitudeError;
        m_run.longitudeText = kLongitudeError;
    } else {
        if (m_settings.UTC) {
            const Converted<std::string> span = TimeSpanText(m_firstTime, m_lastTime, daysOfFixes());
            if (!span.ok()) {
                const bool firstFailed = !TimeSpanText(m_firstTime, m_firstTime).ok();
                m_run.errorString = span.errorString();
                m_run.errorLine = firstFailed ? m_firstTimeLine : m_lastTimeLine;
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

unsigned chunksFor(std::size_t lineCount, unsigned requested)
{
    if (requested > 0)
        return std::min<unsigned>(requested, static_cast<unsigned>(std::max<std::size_t>(lineCount, 1)));
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t worthIt = std::max<std::size_t>(1, lineCount / kLinesPerChunkMin);
    return static_cast<unsigned>(std::min<std::size_t>({cores, worthIt, kChunksMax}));
}

// The time field of the last position sentence before line begin; empty
// when there is none.
std::string_view timeBefore(const TextLines &lines, std::size_t begin, PositionSentence kind)
{
    const std::string_view type = sentenceIdentifier(kind).substr(3);
    for (std::size_t i = begin; i-- > 0;) {
        const std::string_view line = lines[i];
        if (line.size() < kShortestSentence || line.find("EMT") != std::string_view::npos)
            continue;
        const std::size_t at = findSentence(line, type, TalkerMode::GNSS);
        if (at != std::string_view::npos)
            return timeField(line.substr(at));
    }
    return {};
}

void scanChunk(const TextLines &lines, std::size_t begin, std::size_t end, const Settings &settings,
               ChunkScan &chunk, ProgressReporter *reporter)
{
    // Room for what a receiver log usually yields, a fix and a $GPGSA line
    // in about seven lines; only the pages written to are ever taken. The
    // first chunk's lists become the result's: they get room for all.
    const std::size_t expected = (begin == 0 ? lines.size() : end - begin) / 6 + 1;
    chunk.displayLines.reserve(expected, expected * 48);
    chunk.dataLines.reserve(expected, expected * 40);
    chunk.latitudes.reserve(expected);
    chunk.longitudes.reserve(expected);
    chunk.satellites.reserve(expected);
    if (settings.Acc)
        chunk.points.reserve(expected);

    ChunkScanner scanner(chunk, settings);
    if (settings.Talkers == TalkerMode::GNSS)
        scanner.setPreviousTime(timeBefore(lines, begin, settings.IDF));
    const std::size_t share =
        std::max<std::size_t>(1, (lines.size() + 1) / std::max<std::size_t>(1, end - begin));
    for (std::size_t i = begin; i < end; ++i) {
        if (reporter != nullptr)
            reporter->set((i - begin) * share + 2);
        if (!scanner.scanLine(lines[i], i + 1))
            return;
    }
    scanner.finish();
}

} // namespace

FilterRun runFilter(TextLines lines, const Settings &settings, const ProgressCallback &progress,
                    unsigned chunkCount)
{
    FilterRun run;
    run.identifier = sentenceIdentifier(settings.IDF);
    if (settings.Talkers == TalkerMode::GNSS)
        run.identifier.replace(1, 2, "--");
    run.result.nmeaCopy = std::move(lines);
    run.report = reportHead(run.identifier);

    const TextLines &copy = run.result.nmeaCopy;
    const std::size_t count = copy.size();
    ProgressReporter reporter(progress, count + 1);

    // The lines are cut into chunks scanned side by side; the calling
    // thread takes the first one and reports the progress.
    const unsigned chunks = chunksFor(count, chunkCount);
    std::vector<ChunkScan> scans(chunks);
    std::vector<std::thread> helpers;
    for (unsigned c = 1; c < chunks; ++c) {
        helpers.emplace_back(scanChunk, std::cref(copy), count * c / chunks, count * (c + 1) / chunks,
                             std::cref(settings), std::ref(scans[c]), nullptr);
    }
    scanChunk(copy, 0, count / chunks, settings, scans[0], &reporter);
    for (std::thread &helper : helpers)
        helper.join();

    ChunkMerge merge(run, settings);
    for (ChunkScan &scan : scans) {
        if (!merge.add(scan))
            return run;
    }
    merge.finish();
    reporter.set(count + 1);
    return run;
}

} // namespace navorel
