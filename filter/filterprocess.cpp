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
// A smaller chunk and a second thread costs more than it saves.
constexpr std::size_t kBytesPerChunkMin = 1 << 20;
constexpr unsigned kChunksMax = 8;
// The text area's bytes are scanned in blocks of this size, so that the
// lists of a block's chunks are reused instead of held beside the result.
constexpr std::size_t kBlockBytes = 4 << 20;

bool isHemisphere(std::string_view text, char positive, char negative)
{
    return text.size() == 1 && (text[0] == positive || text[0] == negative);
}

std::string hemisphereMessage(const char *coordinate, std::string_view text, const char *expected)
{
    return std::string("the ") + coordinate + " hemisphere '" + visibleText(text) + "' is neither "
           + expected;
}

// A time of day more than half a day before the last one: the log went on
// into the next day.
bool passesMidnight(std::int32_t before, std::int32_t after)
{
    return before - after > 12 * 3600;
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
    std::string_view bytes;     // whole lines, the last one with or without its break
    std::size_t firstLine = 1;  // the number of the first line
    bool firstLineKnown = true; // else firstLine is a guess, mended at the merge
    std::size_t lineCount = 0;  // lines scanned, when the chunk did not stop
    std::size_t textEnd = 0;    // bytes of the whole text up to the chunk's end
    bool keepDisplayLines = true;

    FilterCounts counts;
    TextLines displayLines;
    TextLines dataLines; // of the $GPGSA lines after the chunk's first fix
    std::vector<PositionPoint> points;
    AcceptedFixes fixes;                      // summed in order at the merge
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
    // With every talker: the time field of the last position sentence before
    // the chunk, and after it.
    std::string previousTime;
    std::string lastFoundTime;
    std::string firstTime; // first fix time that is not empty
    std::size_t firstTimeLine = 0;
    std::string lastTime; // time of the last fix
    std::size_t lastTimeLine = 0;
    // The dates of those two lines: the lines themselves are gone by the merge.
    std::optional<std::int64_t> firstDay;
    std::optional<std::int64_t> lastDay;
    // Without dates, midnights are counted where the time of day goes back:
    // the seconds of the first and last fix with a readable time, and the
    // midnights passed between them.
    std::int32_t firstSecond = AcceptedFixes::kNoTime;
    std::int32_t lastSecond = AcceptedFixes::kNoTime;
    std::int64_t midnights = 0;
    std::string errorString;
    std::size_t errorLine = 0;
    bool errorNeedsLine = false;

    // Empties the lists but keeps their room for the next block.
    void reset()
    {
        lineCount = 0;
        counts = {};
        displayLines.clear();
        dataLines.clear();
        points.clear();
        fixes.clear();
        satellites.clear();
        satellitesBeforeFirstFix = 0;
        leadingRun = false;
        leadingEpoch.clear();
        leadingRunEnded = false;
        leadingFixAccepted = false;
        leadingPrefix.clear();
        trailingRun = false;
        trailingEpoch.clear();
        fixAccepted = false;
        dataLinePrefix.clear();
        firstTime.clear();
        firstTimeLine = 0;
        lastTime.clear();
        lastTimeLine = 0;
        firstDay.reset();
        lastDay.reset();
        firstSecond = AcceptedFixes::kNoTime;
        lastSecond = AcceptedFixes::kNoTime;
        midnights = 0;
        errorString.clear();
        errorLine = 0;
        errorNeedsLine = false;
    }
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
            if (!takePositionSentence(line, line.substr(positionAt), lineNumber))
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
        if (m_chunk.lastTimeLine != 0)
            m_chunk.lastDay = RmcDayNumber(m_lastFixLine);
        m_chunk.lastFoundTime = m_lastFoundTime;
    }

private:
    bool stop(std::string message, std::size_t lineNumber, bool needsLine = false)
    {
        m_chunk.errorString = std::move(message);
        m_chunk.errorLine = lineNumber;
        m_chunk.errorNeedsLine = needsLine;
        return false;
    }

    bool takePositionSentence(std::string_view line, std::string_view sentence, std::size_t lineNumber);
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

    std::string m_timeText;         // of the latest fix; stays empty with UTC off
    std::string_view m_lastFixLine; // the line of that fix, while the chunk's bytes are there
    double m_latitudeNumber = 0.0;
    double m_longitudeNumber = 0.0;
    std::string m_line; // the line being built, kept to reuse its buffer
};

bool ChunkScanner::takePositionSentence(std::string_view line, std::string_view sentence,
                                        std::size_t lineNumber)
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
        return stop(hemisphereMessage("latitude", fields.LatitudeHemisphere, "N nor S"), lineNumber, true);
    if (!isHemisphere(fields.LongitudeHemisphere, 'E', 'W'))
        return stop(hemisphereMessage("longitude", fields.LongitudeHemisphere, "E nor W"), lineNumber, true);

    if (m_settings.UTC) {
        m_timeText = fields.Time;
        if (m_chunk.firstTime.empty()) {
            m_chunk.firstTime = fields.Time;
            m_chunk.firstTimeLine = lineNumber;
            m_chunk.firstDay = RmcDayNumber(line);
        }
        m_chunk.lastTime = fields.Time;
        m_chunk.lastTimeLine = lineNumber;
        m_lastFixLine = line;
        const std::int32_t second = AcceptedFixes::timeOfDay(fields.Time);
        if (second != AcceptedFixes::kNoTime) {
            if (m_chunk.firstSecond == AcceptedFixes::kNoTime)
                m_chunk.firstSecond = second;
            else
                m_chunk.midnights += passesMidnight(m_chunk.lastSecond, second) ? 1 : 0;
            m_chunk.lastSecond = second;
        }
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
    m_chunk.fixes.add(latitude.value(), longitude.value(), fields, m_settings.IDF == PositionSentence::GGA);

    m_latitudeNumber = DegreesToCoord(latitude.value(), 1);
    m_longitudeNumber = DegreesToCoord(longitude.value(), 1);
    if (m_settings.Acc)
        m_chunk.points.push_back({latitude.value(), longitude.value()});

    if (!m_chunk.keepDisplayLines)
        return true;
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
    ChunkMerge(FilterRun &run, const Settings &settings, const FilterOptions &options)
            : m_run(run), m_settings(settings), m_options(options),
              m_rangeLength(60LL * clampSatTime(settings.SatTime))
    {}

    // False when the chunk stopped the run. The chunk's lists are copied
    // and emptied, so that it can scan the next block in the same room.
    bool add(ChunkScan &chunk);
    void finish();

private:
    // Dates of RMC fixes let a log of several days show all its hours;
    // without them, every midnight the fix times passed counts a day.
    std::optional<std::int64_t> daysOfFixes() const
    {
        if (m_firstTimeLine == 0 || m_lastTimeLine == 0 || !m_firstDay || !m_lastDay)
            return m_midnights;
        return *m_lastDay - *m_firstDay;
    }

    void countRange(int satellites);
    void endEpoch(const std::string *dataLinePrefix);
    const std::string *latestPrefix() const { return m_fixAccepted ? &m_dataLinePrefix : nullptr; }

    FilterRun &m_run;
    const Settings &m_settings;
    const FilterOptions &m_options;
    const long long m_rangeLength; // $GPGSA sentences per time range
    long long m_rangeCount = 0;
    long long m_rangeSum = 0;
    long long m_rangeEnd = 0;

    bool m_fixAccepted = false;
    std::string m_dataLinePrefix; // of the latest fix so far
    bool m_epochOpen = false;     // an epoch of GSA lines reaches the end of the chunks so far
    EpochSatellites m_epoch;
    std::string m_firstTime;
    std::size_t m_firstTimeLine = 0;
    std::string m_lastTime;
    std::size_t m_lastTimeLine = 0;
    std::optional<std::int64_t> m_firstDay;
    std::optional<std::int64_t> m_lastDay;
    std::int32_t m_lastSecond = AcceptedFixes::kNoTime;
    std::int64_t m_midnights = 0;
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
    if (!m_options.keepDataLines)
        return;
    m_run.bars.push_back({m_rangeEnd, mean});
    m_run.result.rangeLines.append(std::to_string(m_rangeEnd) + ";" + std::to_string(mean));
    m_rangeSum = 0;
    m_rangeCount = 0;
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

bool ChunkMerge::add(ChunkScan &chunk)
{
    FilterResult &result = m_run.result;
    if (chunk.leadingRun) {
        m_epoch.add(chunk.leadingEpoch);
        m_epochOpen = true;
    }
    if (chunk.leadingRunEnded && m_epochOpen)
        endEpoch(chunk.leadingFixAccepted ? &chunk.leadingPrefix : latestPrefix());
    m_run.counts.found += chunk.counts.found;
    m_run.counts.accepted += chunk.counts.accepted;
    m_run.counts.notValid += chunk.counts.notValid;
    if (m_options.displaySink) {
        if (!chunk.displayLines.empty())
            m_options.displaySink(chunk.displayLines.text(), chunk.textEnd);
    } else if (m_options.keepDisplayLines) {
        result.displayLines.append(chunk.displayLines);
    }
    if (m_options.keepPoints)
        m_run.points.insert(m_run.points.end(), chunk.points.begin(), chunk.points.end());
    for (const double latitude : chunk.fixes.latitudes)
        result.latitudeSum += latitude;
    for (const double longitude : chunk.fixes.longitudes)
        result.longitudeSum.add(longitude);
    if (m_options.fixesSink && !chunk.fixes.empty())
        m_options.fixesSink(chunk.fixes);
    if (m_options.keepFixes)
        m_run.fixes.append(chunk.fixes);

    if (m_fixAccepted && m_options.keepDataLines) {
        for (std::size_t i = 0; i < chunk.satellitesBeforeFirstFix; ++i) {
            m_line.assign(m_dataLinePrefix);
            appendSatellites(m_line, static_cast<int>(chunk.satellites[i]));
            result.dataLines.append(m_line);
        }
    }
    if (m_options.keepDataLines)
        result.dataLines.append(chunk.dataLines);
    for (const std::uint32_t satellites : chunk.satellites)
        countRange(static_cast<int>(satellites));
    if (chunk.trailingRun) {
        m_epoch = std::move(chunk.trailingEpoch);
        chunk.trailingEpoch.clear();
        m_epochOpen = true;
    }

    if (chunk.fixAccepted) {
        m_fixAccepted = true;
        m_dataLinePrefix = chunk.dataLinePrefix;
        if (m_firstTime.empty() && !chunk.firstTime.empty()) {
            m_firstTime = chunk.firstTime;
            m_firstTimeLine = chunk.firstTimeLine;
            m_firstDay = chunk.firstDay;
        }
        m_lastTime = chunk.lastTime;
        m_lastTimeLine = chunk.lastTimeLine;
        m_lastDay = chunk.lastDay;
    }
    if (chunk.firstSecond != AcceptedFixes::kNoTime) {
        if (m_lastSecond != AcceptedFixes::kNoTime && passesMidnight(m_lastSecond, chunk.firstSecond))
            ++m_midnights;
        m_midnights += chunk.midnights;
        m_lastSecond = chunk.lastSecond;
    }
    if (chunk.errorString.empty())
        return true;
    m_run.errorString = chunk.errorString;
    m_run.errorLine = chunk.errorLine;
    m_run.errorNeedsLine = chunk.errorNeedsLine;
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

unsigned chunksFor(std::size_t bytes, unsigned requested)
{
    if (requested > 0)
        return requested;
    // Asked once: the library reads it from the system every time.
    static const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t worthIt = std::max<std::size_t>(1, bytes / kBytesPerChunkMin);
    return static_cast<unsigned>(std::min<std::size_t>({cores, worthIt, kChunksMax}));
}

// The time field of the last position sentence in bytes, which end at a
// line start; none when there is no such sentence.
std::optional<std::string_view> timeBefore(std::string_view bytes, PositionSentence kind)
{
    const std::string_view type = sentenceIdentifier(kind).substr(3);
    const auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    std::size_t end = bytes.size();
    while (end > 0) {
        while (end > 0 && isBreak(bytes[end - 1]))
            --end;
        std::size_t start = end;
        while (start > 0 && !isBreak(bytes[start - 1]))
            --start;
        const std::string_view line = bytes.substr(start, end - start);
        end = start;
        if (line.size() < kShortestSentence || line.size() > kLongestLine
            || line.find("EMT") != std::string_view::npos)
            continue;
        const std::size_t at = findSentence(line, type, TalkerMode::GNSS);
        if (at != std::string_view::npos)
            return timeField(line.substr(at));
    }
    return std::nullopt;
}

// Where the line break at or after pos ends, or size.
std::size_t nextLineStart(const char *data, std::size_t pos, std::size_t size)
{
    pos = findLineBreak(data, pos, size);
    if (pos == size)
        return size;
    return data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n' ? pos + 2 : pos + 1;
}

// Progress of the chunk scanned on the calling thread, stretched over its
// block: the other chunks go on at about the same pace.
struct ChunkProgress
{
    ProgressReporter *reporter = nullptr;
    std::size_t blockStart = 0; // bytes of the text before the block
    std::size_t stretch = 1;    // block bytes per chunk byte
};

void scanChunk(ChunkScan &chunk, const Settings &settings, const ChunkProgress &progress)
{
    // Room for what a receiver log usually yields, a fix and a $GPGSA line
    // in about seven lines of some 60 bytes; only the pages written to are
    // taken, and a chunk keeps its room from block to block.
    const std::size_t expected = chunk.bytes.size() / 360 + 1;
    if (chunk.fixes.latitudes.capacity() < expected) {
        chunk.displayLines.reserve(expected, expected * 48);
        chunk.dataLines.reserve(expected, expected * 40);
        chunk.fixes.reserve(expected, settings.IDF == PositionSentence::GGA);
        chunk.satellites.reserve(expected);
        if (settings.Acc)
            chunk.points.reserve(expected);
    }

    ChunkScanner scanner(chunk, settings);
    if (settings.Talkers == TalkerMode::GNSS)
        scanner.setPreviousTime(chunk.previousTime);
    const char *const data = chunk.bytes.data();
    const std::size_t size = chunk.bytes.size();
    std::size_t line = chunk.firstLine;
    for (std::size_t start = 0; start < size; ++line) {
        if (progress.reporter != nullptr)
            progress.reporter->set(progress.blockStart + start * progress.stretch + 1);
        const std::size_t end = findLineBreak(data, start, size);
        // A line that long is no sentence; the stream kept only its head.
        if (end - start <= kLongestLine
            && !scanner.scanLine(std::string_view(data + start, end - start), line))
            return;
        if (end == size) {
            ++line;
            break;
        }
        start = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
    }
    chunk.lineCount = line - chunk.firstLine;
    scanner.finish();
}

} // namespace

struct FilterProcess::State
{
    State(const Settings &settingsIn, FilterOptions optionsIn)
            : settings(settingsIn), options(std::move(optionsIn)), merge(run, settings, options),
              reporter(options.progress, options.expectedBytes + 1)
    {}

    bool scanBlock(std::string_view bytes, std::size_t offset);
    bool scanCarry(std::size_t textEnd);
    bool mergeChunk(ChunkScan &chunk);

    const Settings settings;
    const FilterOptions options;
    FilterRun run;
    ChunkMerge merge;
    ProgressReporter reporter;
    std::vector<ChunkScan> scans; // reused from block to block
    ChunkScan carryScan;
    std::size_t lines = 0; // lines merged so far
    std::size_t fed = 0;   // bytes fed so far, for the progress
    bool stopped = false;
    // With every talker: the time field of the last position sentence merged,
    // for a fix sent again under another talker beyond a block's border.
    std::string lastFoundTime;

    // The head of the line that goes on in the next piece.
    std::string carry;
    std::size_t carryBytes = 0; // its whole length so far
    bool skipLineFeed = false;  // the last piece ended in CR: an LF next is its CR LF
};

bool FilterProcess::State::mergeChunk(ChunkScan &chunk)
{
    if (!chunk.firstLineKnown) {
        const std::size_t firstLine = lines + 1;
        if (!chunk.errorString.empty()) {
            // The stop names its line: scan the chunk again from a known start.
            chunk.reset();
            chunk.firstLine = firstLine;
            chunk.firstLineKnown = true;
            scanChunk(chunk, settings, {});
        } else {
            const std::size_t shift = firstLine - chunk.firstLine;
            chunk.firstTimeLine += chunk.firstTime.empty() ? 0 : shift;
            chunk.lastTimeLine += chunk.fixAccepted ? shift : 0;
        }
    }
    lines += chunk.lineCount;
    lastFoundTime = chunk.lastFoundTime;
    const bool goOn = merge.add(chunk);
    chunk.reset();
    stopped = !goOn;
    return goOn;
}

bool FilterProcess::State::scanBlock(std::string_view bytes, std::size_t offset)
{
    // Cut at line breaks into chunks of about equal size; the calling
    // thread takes the first one and reports the progress.
    const unsigned count = chunksFor(bytes.size(), options.chunkCount);
    if (scans.size() < count)
        scans.resize(count);
    std::size_t start = 0;
    unsigned used = 0;
    for (unsigned c = 0; c < count && start < bytes.size(); ++c) {
        const std::size_t end =
            c + 1 == count
                ? bytes.size()
                : nextLineStart(bytes.data(), std::max(start, bytes.size() * (c + 1) / count), bytes.size());
        if (end == start)
            continue;
        ChunkScan &scan = scans[used++];
        scan.keepDisplayLines = options.makesDisplayLines();
        scan.bytes = bytes.substr(start, end - start);
        scan.firstLine = used == 1 ? lines + 1 : 1;
        scan.firstLineKnown = used == 1;
        scan.textEnd = offset + end;
        if (settings.Talkers == TalkerMode::GNSS) {
            const std::optional<std::string_view> time = timeBefore(bytes.substr(0, start), settings.IDF);
            scan.previousTime.assign(time ? *time : std::string_view(lastFoundTime));
        }
        start = end;
    }
    if (used == 0)
        return true;

    std::vector<std::thread> helpers;
    for (unsigned c = 1; c < used; ++c)
        helpers.emplace_back(scanChunk, std::ref(scans[c]), std::cref(settings), ChunkProgress{});
    const std::size_t stretch = std::max<std::size_t>(1, bytes.size() / scans[0].bytes.size());
    scanChunk(scans[0], settings, {&reporter, offset, stretch});
    for (std::thread &helper : helpers)
        helper.join();

    for (unsigned c = 0; c < used; ++c) {
        if (!mergeChunk(scans[c])) {
            for (unsigned rest = c + 1; rest < used; ++rest)
                scans[rest].reset();
            return false;
        }
    }
    return true;
}

bool FilterProcess::State::scanCarry(std::size_t textEnd)
{
    carryScan.keepDisplayLines = options.makesDisplayLines();
    carryScan.bytes = carry;
    carryScan.firstLine = lines + 1;
    carryScan.firstLineKnown = true;
    carryScan.textEnd = textEnd;
    carryScan.previousTime = lastFoundTime;
    scanChunk(carryScan, settings, {});
    const bool goOn = mergeChunk(carryScan);
    carry.clear();
    carryBytes = 0;
    return goOn;
}

FilterProcess::FilterProcess(const Settings &settings, FilterOptions options)
        : m_state(std::make_unique<State>(settings, std::move(options)))
{
    State &state = *m_state;
    state.run.identifier = sentenceIdentifier(settings.IDF);
    if (settings.Talkers == TalkerMode::GNSS)
        state.run.identifier.replace(1, 2, "--");
    state.run.report = reportHead(state.run.identifier);
    // Room for the result at once when the size is known, as a receiver log
    // fills it; untouched room costs no memory.
    const std::size_t expected = state.options.expectedBytes / 360 + 1;
    if (state.options.expectedBytes > 0) {
        if (state.options.keepDisplayLines && !state.options.displaySink)
            state.run.result.displayLines.reserve(expected, expected * 48);
        if (state.options.keepDataLines)
            state.run.result.dataLines.reserve(expected, expected * 40);
        if (state.options.keepPoints && settings.Acc)
            state.run.points.reserve(expected);
    }
}

FilterProcess::~FilterProcess() = default;

bool FilterProcess::feed(std::string_view bytes)
{
    State &state = *m_state;
    if (state.stopped)
        return false;
    std::size_t offset = state.fed; // of bytes[0] in the text
    state.fed += bytes.size();
    if (bytes.empty())
        return true;
    const bool endsInCr = bytes.back() == '\r';
    if (state.skipLineFeed) {
        state.skipLineFeed = false;
        if (bytes.front() == '\n') {
            bytes.remove_prefix(1);
            ++offset;
        }
    }
    if (state.carryBytes > 0) {
        // The carried line ends in this piece, or goes on beyond it.
        const std::size_t end = findLineBreak(bytes.data(), 0, bytes.size());
        const std::size_t room = kLongestLine + 1 - std::min(kLongestLine + 1, state.carry.size());
        state.carry.append(bytes.data(), std::min(end, room));
        state.carryBytes += end;
        if (end == bytes.size())
            return true;
        if (!state.scanCarry(offset + end))
            return false;
        const std::size_t next = nextLineStart(bytes.data(), end, bytes.size());
        bytes.remove_prefix(next);
        offset += next;
    }

    // The lines that end in this piece are scanned where they lie; the one
    // it ends in is carried over.
    std::size_t whole = bytes.size();
    while (whole > 0 && bytes[whole - 1] != '\r' && bytes[whole - 1] != '\n')
        --whole;
    if (whole > 0 && !state.scanBlock(bytes.substr(0, whole), offset))
        return false;
    const std::string_view tail = bytes.substr(whole);
    state.carry.assign(tail.substr(0, kLongestLine + 1));
    state.carryBytes = tail.size();
    state.skipLineFeed = endsInCr;
    return true;
}

FilterRun FilterProcess::finish()
{
    State &state = *m_state;
    if (!state.stopped && state.carryBytes > 0)
        state.scanCarry(state.fed);
    if (!state.stopped) {
        state.merge.finish();
        state.reporter.set(state.options.expectedBytes + 1);
    }
    return std::move(state.run);
}

FilterRun runFilter(std::string_view text, const Settings &settings, const ProgressCallback &progress,
                    unsigned chunkCount)
{
    FilterOptions options;
    options.chunkCount = chunkCount;
    options.progress = progress;
    return runFilter(text, settings, std::move(options));
}

FilterRun runFilter(std::string_view text, const Settings &settings, FilterOptions options)
{
    options.expectedBytes = text.size();
    FilterProcess process(settings, std::move(options));
    for (std::size_t start = 0; start < text.size(); start += kBlockBytes) {
        if (!process.feed(text.substr(start, kBlockBytes)))
            break;
    }
    return process.finish();
}

FilterRun runFilter(TextLines lines, const Settings &settings, const ProgressCallback &progress,
                    unsigned chunkCount)
{
    FilterRun run = runFilter(lines.text(), settings, progress, chunkCount);
    run.result.nmeaCopy = std::move(lines);
    return run;
}

} // namespace navorel
