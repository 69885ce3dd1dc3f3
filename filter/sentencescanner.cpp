#include "filter/sentencescanner.h"

#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "filter/codepage.h"
#include "filter/nmeafields.h"

namespace navorel {

namespace {

// The next "$" in [p, end), or null: sixteen bytes at a time, as a sentence
// is searched for in every line of a log.
inline const char *findDollar(const char *p, const char *end)
{
#if defined(__SSE2__)
    const __m128i dollar = _mm_set1_epi8('$');
    for (; end - p >= 16; p += 16) {
        const int mask =
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p)), dollar));
        if (mask != 0)
            return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; p < end; ++p) {
        if (*p == '$')
            return p;
    }
    return nullptr;
}

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
          m_everyTalker(settings.Talkers == TalkerMode::GNSS), m_checks(checksSentences(settings)),
          m_positionType(typeCode(m_identifier.data() + 3))
{}

// Which of the sentences the run reads begins at p (a "$" with at least
// five bytes after it).
inline SentenceScanner::Kind SentenceScanner::kindAt(const char *p) const
{
    if (m_everyTalker ? !isTalker(p[1], p[2]) : p[1] != 'G' || p[2] != 'P')
        return Kind::Other;
    // The three letters of the type as one number: every "$" of a log is looked at.
    const std::uint32_t type = typeCode(p + 3);
    if (type == m_positionType)
        return Kind::Position;
    if (type == typeCode("GSA"))
        return Kind::Satellites;
    if (type == typeCode("GST"))
        return Kind::Estimate;
    return Kind::Other;
}

// Each "$" begins a sentence of its own, read on its own as a line is: a
// line cut short and a whole one glued to it are two sentences, and the
// cut one's checksum leaves it out. What stands before the first "$" is junk.
inline bool SentenceScanner::scanLine(std::string_view line, std::size_t lineNumber)
{
    if (!m_checks)
        return scanText(line, lineNumber);
    const char *const end = line.data() + line.size();
    // Most lines begin with their sentence.
    const char *p = !line.empty() && line[0] == '$' ? line.data() : findDollar(line.data(), end);
    if (p == nullptr)
        return scanText(line, lineNumber);
    while (p != nullptr) {
        const char *next = findDollar(p + 1, end);
        const std::string_view sentence(p, static_cast<std::size_t>((next != nullptr ? next : end) - p));
        p = next;
        const Kind kind = sentence.size() >= 6 ? kindAt(sentence.data()) : Kind::Other;
        // A position sentence too short for its fields is none, with or without a checksum.
        const bool read = kind == Kind::Position
                              ? sentence.size() >= kShortestSentence
                              : kind == Kind::Estimate || (kind == Kind::Satellites && m_countSatellites);
        if (read) {
            const ChecksumState checksum = checksumState(sentence);
            if (checksum == ChecksumState::Wrong) {
                ++m_found.quality.checksumErrors; // left out, as if it were not there
                continue;
            }
            if (checksum == ChecksumState::Missing)
                ++m_found.quality.withoutChecksum;
        }
        if (kind == Kind::Other) {
            if (m_everyTalker && m_countSatellites)
                endEpoch(); // a sentence that is not a GSA ends an epoch
            continue;
        }
        const std::size_t none = std::string_view::npos;
        if (!takeSentences(sentence,
                           {kind == Kind::Position ? 0 : none, kind == Kind::Satellites ? 0 : none,
                            kind == Kind::Estimate ? 0 : none},
                           lineNumber))
            return false;
    }
    return true;
}

inline bool SentenceScanner::scanText(std::string_view line, std::size_t lineNumber)
{
    if (line.size() < kShortestSentence && !m_countSatellites)
        return true;
    // One sweep over the "$" signs answers every question: where is the
    // first identifier in the line, the first satellites sentence, the
    // first error estimate?
    Found found;
    const char *const begin = line.data();
    const char *const end = begin + line.size();
    for (const char *p = begin; end - p >= 6; ++p) {
        p = static_cast<const char *>(std::memchr(p, '$', static_cast<std::size_t>(end - p)));
        if (p == nullptr || end - p < 6)
            break;
        std::size_t *at = nullptr;
        switch (kindAt(p)) {
        case Kind::Position: at = &found.position; break;
        case Kind::Satellites: at = &found.satellites; break;
        case Kind::Estimate: at = &found.estimate; break;
        case Kind::Other: break;
        }
        if (at != nullptr && *at == std::string_view::npos)
            *at = static_cast<std::size_t>(p - begin);
    }
    // Most lines hold none of the sentences the run reads (GSV, VTG, ...).
    if (found.position == std::string_view::npos && found.satellites == std::string_view::npos
        && found.estimate == std::string_view::npos) {
        if (m_everyTalker && m_countSatellites)
            endEpoch(); // the line that ends an epoch is not part of it
        return true;
    }
    return takeSentences(line, found, lineNumber);
}

inline bool SentenceScanner::takeSentences(std::string_view line, const Found &found, std::size_t lineNumber)
{
    const bool satellites = m_countSatellites && found.satellites != std::string_view::npos;
    // The line that ends an epoch is not part of it, nor is its fix.
    if (m_everyTalker && m_countSatellites && !satellites)
        endEpoch();
    if (found.position != std::string_view::npos && line.size() >= kShortestSentence
        && line.find("EMT") == std::string_view::npos) {
        if (!takePositionSentence(line, line.substr(found.position), lineNumber))
            return false;
    }
    if (found.estimate != std::string_view::npos)
        m_chunk.receiverSigmas.push_back(ReceiverSigma::read(line.substr(found.estimate)));
    if (!satellites)
        return true;
    const std::string_view sentence = line.substr(found.satellites);
    if (!m_everyTalker) {
        takeSatelliteSentence(CountActiveSatellites(sentence));
    } else if (m_inLeadingRun) {
        m_found.epochEdges.leadingRun = true;
        m_found.epochEdges.leadingEpoch.add(sentence, m_checks);
    } else {
        m_epochOpen = true;
        m_epoch.add(sentence, m_checks);
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
    const std::string_view time = timeField(sentence);
    if (m_everyTalker) {
        // Receivers that send $GPRMC and $GNRMC for one epoch: the first stands.
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
    const Converted<double> latitude = PositionFieldToDegrees(fields.Latitude, fields.LatitudeHemisphere);
    if (!latitude.ok())
        return stop(latitude.errorString(), lineNumber);
    const Converted<double> longitude = PositionFieldToDegrees(fields.Longitude, fields.LongitudeHemisphere);
    if (!longitude.ok())
        return stop(longitude.errorString(), lineNumber);

    LogQuality &quality = m_found.quality;
    // The position a receiver sends before it has one: 36000.0000 N, 72000.0000 E.
    if (m_checks
        && (std::fabs(latitude.value()) > 90.0 || std::fabs(longitude.value()) > 180.0
            || hasImpossibleMinutes(fields.Latitude) || hasImpossibleMinutes(fields.Longitude))) {
        ++quality.impossiblePositions;
        return true;
    }
    const FixClass fixClass =
        m_settings.IDF == PositionSentence::GGA ? ggaFixClass(fields.Quality) : rmcFixClass(fields.Quality);
    ++quality.fixClasses[static_cast<std::size_t>(fixClass)];
    if (!admits(m_settings.MinQuality, fixClass)) {
        ++quality.belowMinimum;
        return true;
    }
    return acceptFix(fields, latitude.value(), longitude.value(), fixClass, {line, time, lineNumber});
}

bool SentenceScanner::acceptFix(const PositionFields &fields, double latitude, double longitude,
                                FixClass fixClass, const Place &place)
{
    const auto &[line, time, lineNumber] = place;
    const std::int32_t second = AcceptedFixes::timeOfDay(fields.Time);
    if (m_settings.UTC) {
        m_timeText = fields.Time;
        if (m_found.times.add(fields.Time, lineNumber, second))
            m_found.times.firstDay = RmcDayNumber(line);
        m_lastFixLine = line;
    }
    m_found.fixAccepted = true;
    m_found.dataLinePrefix.clear();
    ++m_found.counts.accepted;
    const bool gga = m_settings.IDF == PositionSentence::GGA;
    const std::int32_t date = gga ? AcceptedFixes::kNoDate : AcceptedFixes::dateOf(fields.Date);
    if (date != m_lastDate) {
        m_lastDate = date;
        m_lastDay =
            date == AcceptedFixes::kNoDate ? std::nullopt : std::optional(AcceptedFixes::dayNumber(date));
    }
    m_found.quality.times.add(second, time, m_lastDay);
    if (!gga)
        m_found.quality.speeds.add(fields.Speed);

    m_chunk.fixes.add(latitude, longitude, second, date, fields.Altitude, gga);
    m_chunk.fixClasses.push_back(static_cast<std::uint8_t>(fixClass));
    m_latitudeNumber = DegreesToCoord(latitude, 1);
    m_longitudeNumber = DegreesToCoord(longitude, 1);
    if (m_settings.Acc)
        m_chunk.points.push_back({latitude, longitude});

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
