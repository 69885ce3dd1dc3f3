#include "filter/sentencescanner.h"

#include <cstring>

#include "filter/codepage.h"
#include "filter/nmeafields.h"

namespace navorel {

namespace {

constexpr std::string_view kSatelliteSentence = "$GPGSA";

bool isHemisphere(std::string_view text, char positive, char negative)
{
    return text.size() == 1 && (text[0] == positive || text[0] == negative);
}

std::string hemisphereMessage(const char *coordinate, std::string_view text, const char *expected)
{
    return std::string("the ") + coordinate + " hemisphere '" + visibleText(text) + "' is neither "
           + expected;
}

} // namespace

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

SentenceScanner::SentenceScanner(ChunkScan &chunk, const Settings &settings)
        : m_chunk(chunk), m_found(chunk.found), m_settings(settings),
          m_identifier(sentenceIdentifier(settings.IDF)), m_countSatellites(settings.GSA && settings.Sat),
          m_everyTalker(settings.Talkers == TalkerMode::GNSS)
{}

inline bool SentenceScanner::scanLine(std::string_view line, std::size_t lineNumber)
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
    if (longEnough && positionAt != std::string_view::npos && line.find("EMT") == std::string_view::npos) {
        if (!takePositionSentence(line, line.substr(positionAt), lineNumber))
            return false;
    }
    if (!satellites)
        return true;
    const std::string_view sentence = line.substr(satellitesAt);
    if (!m_everyTalker) {
        takeSatelliteSentence(CountActiveSatellites(sentence));
    } else if (m_inLeadingRun) {
        m_found.epochEdges.leadingRun = true;
        m_found.epochEdges.leadingEpoch.add(sentence);
    } else {
        m_epochOpen = true;
        m_epoch.add(sentence);
    }
    return true;
}

void SentenceScanner::finish()
{
    if (m_found.fixAccepted && m_found.dataLinePrefix.empty())
        makeDataLinePrefix();
    if (m_epochOpen) {
        m_found.epochEdges.trailingRun = true;
        m_found.epochEdges.trailingEpoch = m_epoch;
    }
    if (m_found.times.lastLine != 0)
        m_found.times.lastDay = RmcDayNumber(m_lastFixLine);
    m_found.lastFoundTime = m_lastFoundTime;
}

bool SentenceScanner::stop(std::string message, std::size_t lineNumber, bool needsLine)
{
    m_found.errorString = std::move(message);
    m_found.errorLine = lineNumber;
    m_found.errorNeedsLine = needsLine;
    return false;
}

bool SentenceScanner::takePositionSentence(std::string_view line, std::string_view sentence,
                                           std::size_t lineNumber)
{
    if (m_everyTalker) {
        // Receivers that send $GPRMC and $GNRMC for one epoch: the first stands.
        const std::string_view time = timeField(sentence);
        if (!time.empty() && time == m_lastFoundTime)
            return true;
        m_lastFoundTime.assign(time);
    }
    FilterCounts &counts = m_found.counts;
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
    return acceptFix(fields, line, lineNumber);
}

bool SentenceScanner::acceptFix(const PositionFields &fields, std::string_view line, std::size_t lineNumber)
{
    if (m_settings.UTC) {
        m_timeText = fields.Time;
        if (m_found.times.add(fields.Time, lineNumber))
            m_found.times.firstDay = RmcDayNumber(line);
        m_lastFixLine = line;
    }
    m_found.fixAccepted = true;
    m_found.dataLinePrefix.clear();
    ++m_found.counts.accepted;

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

void SentenceScanner::makeDataLinePrefix()
{
    std::string &prefix = m_found.dataLinePrefix;
    prefix.clear();
    appendTimeText(prefix, m_timeText);
    prefix += ';';
    appendCoordNumberText(prefix, m_latitudeNumber);
    prefix += ';';
    appendCoordNumberText(prefix, m_longitudeNumber);
    prefix += ';';
}

void SentenceScanner::endEpoch()
{
    if (m_inLeadingRun) {
        EpochEdges &edges = m_found.epochEdges;
        m_inLeadingRun = false;
        edges.leadingRunEnded = true;
        edges.leadingFixAccepted = m_found.fixAccepted;
        if (m_found.fixAccepted) {
            makeDataLinePrefix();
            edges.leadingPrefix = m_found.dataLinePrefix;
        }
        return;
    }
    if (!m_epochOpen)
        return;
    takeSatelliteSentence(m_epoch.count());
    m_epoch.clear();
    m_epochOpen = false;
}

void SentenceScanner::takeSatelliteSentence(int satellites)
{
    m_chunk.satellites.push_back(static_cast<std::uint32_t>(satellites));
    if (!m_found.fixAccepted) {
        ++m_found.satellitesBeforeFirstFix;
        return;
    }
    if (m_found.dataLinePrefix.empty())
        makeDataLinePrefix();
    m_line.assign(m_found.dataLinePrefix);
    appendSatellites(m_line, satellites);
    m_chunk.dataLines.append(m_line);
}

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

    SentenceScanner scanner(chunk, settings);
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
        start = afterLineBreak(data, end, size);
    }
    chunk.found.lineCount = line - chunk.firstLine;
    scanner.finish();
}

} // namespace navorel
