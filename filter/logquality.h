#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "filter/fixquality.h"
#include "filter/precisionfigures.h"

namespace navorel {

// The intervals between consecutive accepted fixes, by their own times to
// the millisecond: a gap is an interval more than twice the usual one (the
// median), a step back a fix earlier than the one before it (not across
// midnight). They change no result; they say how whole the log is.
class TimeChecks
{
public:
    // A fix's time field (hhmmss or hhmmss.sss) and, for RMC, its date as a
    // day number; a time that is no time of day is passed over.
    void add(std::string_view timeField, std::optional<std::int64_t> day);
    // The same with the field's whole seconds of the day already read.
    void add(std::int32_t second, std::string_view timeField, std::optional<std::int64_t> day);
    // The fixes of the chunk that follows in the log.
    void follow(const TimeChecks &later);

    std::size_t gaps() const;
    double longestGapSeconds() const; // 0 without gaps
    std::size_t backwards() const { return m_backwards; }

private:
    static constexpr std::int64_t kNoDay = INT64_MIN;
    struct Instant
    {
        std::int64_t millisecond = 0; // of the day
        std::int64_t day = kNoDay;
    };
    void addInterval(const Instant &before, const Instant &after);
    void count(std::int64_t interval, std::size_t times);
    // Every interval with how often it came, in increasing order.
    std::vector<std::pair<std::int64_t, std::size_t>> intervals() const;
    std::int64_t usualInterval() const;

    bool m_started = false;
    Instant m_first;
    Instant m_last;
    // Milliseconds and how often, sorted by interval; the run of equal
    // intervals going on now is counted apart: most are the last one again.
    std::vector<std::pair<std::int64_t, std::size_t>> m_intervals;
    std::int64_t m_runInterval = -1;
    std::size_t m_runCount = 0;
    std::size_t m_backwards = 0;
};

// The receiver's own estimate of its error, from $--GST: the root mean square
// of its standard deviations of latitude, longitude and altitude.
//   $GPGST,172814.0,0.006,0.023,0.020,273.6,0.023,0.020,0.031*6A
class ReceiverSigma
{
public:
    using Sigmas = std::array<double, 3>; // NaN where the field is empty or no number
    static Sigmas read(std::string_view sentence);
    // Summed sentence by sentence in log order, so that the figures are
    // the same however the log was cut into chunks.
    void add(const Sigmas &sigmas);
    bool empty() const { return m_sentences == 0; }
    // North, east, altitude in metres; none where no sentence gave one.
    std::optional<double> rms(std::size_t axis) const;

private:
    std::size_t m_sentences = 0;
    std::array<double, 3> m_squares{};
    std::array<std::size_t, 3> m_counts{};
};

// The speeds over ground of the RMC fixes, counted in tenths of a knot, for
// their median: a receiver that moved made a track, not a position.
class SpeedCounts
{
public:
    void add(std::string_view knots);
    void follow(const SpeedCounts &later);
    std::optional<double> medianKnots() const;

private:
    static constexpr std::size_t kTenths = 1000; // up to 100 knots; faster ones share the last
    std::vector<std::size_t> m_counts;
    std::size_t m_total = 0;
};

// What a run found out about the quality of the log: the class of every fix
// that passed the other rules, and what the rules left out.
struct LogQuality
{
    std::array<std::size_t, kFixClasses> fixClasses{};
    std::size_t belowMinimum = 0;        // found, good enough but for the minimum quality
    std::size_t checksumErrors = 0;      // sentences left out
    std::size_t withoutChecksum = 0;     // sentences used without one
    std::size_t impossiblePositions = 0; // fixes left out: beyond the poles, minutes of 60 or more
    TimeChecks times;
    ReceiverSigma receiverSigma; // the run's; a chunk keeps its GST sentences' sigmas in a list
    SpeedCounts speeds;

    // The quality of the chunk that follows in the log.
    void follow(const LogQuality &later);
    // How many classes the fixes were of: one class is no reason to colour them.
    std::size_t classesSeen() const;

    // What the rules left out, a sentence each ("23 sentences with a wrong
    // checksum left out"), and the command-line option that would use them.
    struct Note
    {
        std::string text;
        std::string option;
    };
    std::vector<Note> leftOut(MinQuality minimum) const;
};

// A receiver that moved made a track, and the mean of a track says little:
// CEP95 over 50 m (no receiver standing still strays that far for 5 % of its
// fixes), or a median speed over ground above a knot in RMC sentences.
bool receiverMoved(const PrecisionFigures &figures, const LogQuality &quality);

} // namespace navorel
