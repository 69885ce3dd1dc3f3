#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "filter/chunkscan.h"
#include "filter/progressreporter.h"
#include "filter/settings.h"

namespace navorel {

struct PositionFields;

// Shorter lines are never position sentences: too short for the fields.
inline constexpr std::size_t kShortestSentence = 47;

// The rules of one line, the first stage of a run: which sentences a line
// holds, and what their fields give (a fix for the mean, the satellites of
// an epoch). It fills a chunk's findings and lists line by line.
class SentenceScanner
{
public:
    SentenceScanner(ChunkScan &chunk, const Settings &settings);

    // The time field of the last position sentence before the chunk: a
    // receiver that sends one fix under two talkers may have been cut there.
    void setPreviousTime(std::string_view time) { m_lastFoundTime.assign(time); }
    // False when the run has to stop at this line.
    bool scanLine(std::string_view line, std::size_t lineNumber);
    // The same for a piece of a line: a line as the classic rules read it,
    // or one sentence of it when sentences are checked.
    bool scanText(std::string_view text, std::size_t lineNumber);
    // The prefix of the chunk's last fix, for the lines of the next chunk,
    // and the epoch that may go on there.
    void finish();

private:
    bool stop(std::string message, std::size_t lineNumber, bool needsLine = false);
    bool takePositionSentence(std::string_view line, std::string_view sentence, std::size_t lineNumber);
    // Where a sentence stands: its line, its whole time field, the line's number.
    struct Place
    {
        std::string_view line;
        std::string_view time;
        std::size_t lineNumber;
    };
    bool acceptFix(const PositionFields &fields, double latitude, double longitude, FixClass fixClass,
                   const Place &place);
    enum class Kind { Position, Satellites, Estimate, Other };
    Kind kindAt(const char *dollar) const;
    // Where the sentences the run reads stand in a line, npos for none.
    struct Found
    {
        std::size_t position = std::string_view::npos;
        std::size_t satellites = std::string_view::npos;
        std::size_t estimate = std::string_view::npos; // the receiver's error estimate, GST
    };
    bool takeSentences(std::string_view line, const Found &found, std::size_t lineNumber);
    void takeSatelliteSentence(int satellites);
    void makeDataLinePrefix();
    void endEpoch();

    ChunkScan &m_chunk;
    ChunkFindings &m_found;
    const Settings &m_settings;
    const std::string_view m_identifier;
    const bool m_countSatellites;
    const bool m_everyTalker;
    const bool m_checks; // sentences one by one, their checksums verified
    const std::uint32_t m_positionType;
    static constexpr std::uint32_t typeCode(const char *letters)
    {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(letters[0]))
               | static_cast<std::uint32_t>(static_cast<unsigned char>(letters[1])) << 8
               | static_cast<std::uint32_t>(static_cast<unsigned char>(letters[2])) << 16;
    }

    std::string m_lastFoundTime; // whole time field of the last sentence counted as found
    bool m_inLeadingRun = true;  // no line but GSA lines seen yet
    bool m_epochOpen = false;
    EpochSatellites m_epoch;

    std::string m_timeText;         // of the latest fix; stays empty with UTC off
    std::string_view m_lastFixLine; // the line of that fix, while the chunk's bytes are there
    double m_latitudeNumber = 0.0;
    double m_longitudeNumber = 0.0;
    std::string m_line; // the line being built, kept to reuse its buffer
    // The day number of the last RMC date seen, worked out once a day.
    std::int32_t m_lastDate = AcceptedFixes::kNoDate;
    std::optional<std::int64_t> m_lastDay;
};

// Progress of the chunk scanned on the calling thread, stretched over its
// block: the other chunks go on at about the same pace.
struct ChunkProgress
{
    ProgressReporter *reporter = nullptr;
    std::size_t blockStart = 0; // bytes of the text before the block
    std::size_t stretch = 1;    // block bytes per chunk byte
};

// Scans the chunk's bytes line by line into its findings and lists.
void scanChunk(ChunkScan &chunk, const Settings &settings, const ChunkProgress &progress);

} // namespace navorel
