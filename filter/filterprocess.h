#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "filter/acceptedfixes.h"
#include "filter/filterresult.h"
#include "filter/logquality.h"
#include "filter/progressreporter.h"
#include "filter/settings.h"

namespace navorel {

struct FilterCounts
{
    std::size_t found = 0;    // position sentences of the chosen kind
    std::size_t accepted = 0; // fixes added to the mean
    std::size_t notValid = 0; // sentences with status "V"
};

// Everything one filter run produces.
struct FilterRun
{
    FilterResult result;
    FilterCounts counts;
    std::string identifier;          // "$GPRMC" or "$GPGGA"; "$--RMC" or "$--GGA" with every talker
    std::vector<std::string> report; // the result page: 23 lines, or the 3 head lines when stopped
    std::string latitudeText;        // the three labels above the charts
    std::string longitudeText;
    std::string timeSpanText;
    std::vector<PositionPoint> points; // the position chart, in the order added
    std::vector<SatelliteBar> bars;    // the satellites chart, in the order added
    AcceptedFixes fixes;               // every fix of the mean, for the precision figures
    // The class of every accepted fix, in order, as the charts colour them.
    std::vector<std::uint8_t> fixClasses;
    // What the rules of the sentences found and left out, and the receiver's own estimate.
    LogQuality quality;
    MinQuality minQuality = MinQuality::Any; // the minimum the fixes were held to

    // Set when the run stopped at a line that could not be read: the message
    // (which does not name the line) and the 1-based line. What was added
    // until then stays in the lists, points and bars.
    std::string errorString;
    std::size_t errorLine = 0;
    // The message is the program's own, not a number's conversion text: a
    // window showing it names the line too.
    bool errorNeedsLine = false;
    // Every line was read: a stop after that is the time span's, and the
    // result is already whole enough to be saved.
    bool linesRead = false;

    bool completed() const { return errorString.empty(); }
    bool fixAccepted() const { return counts.accepted > 0; }
};

// What a run keeps besides the report, and how it goes about the text.
struct FilterOptions
{
    // Chunks of each block of text scanned side by side; 0: as many as the
    // cores make worth it. The result is the same for any number.
    unsigned chunkCount = 0;
    // The size of the whole text when it is known beforehand: the result's
    // lists get room once, and progress is reported against it.
    std::size_t expectedBytes = 0;
    ProgressCallback progress;
    // The command line needs none of them unless asked to write them.
    bool keepDisplayLines = true;
    bool keepPoints = true;
    bool keepFixes = true; // FilterRun::fixes; the mean is summed either way
    bool keepFixClasses = true;
    // The data lines, the range lines and the satellites chart's bars: an
    // endless stream must not fill the memory with lines nobody writes.
    bool keepDataLines = true;
    // When set, the fixes go here in log order as they are merged, so that
    // a track can be written while the run goes.
    std::function<void(const AcceptedFixes &fixes)> fixesSink;
    // When set, the display lines go here as they are merged, each followed
    // by CR LF, with the bytes of the text read up to them, instead of into
    // the result: the text area builds its view of them while the run goes.
    std::function<void(std::string_view lines, std::size_t textBytesRead)> displaySink;

    bool makesDisplayLines() const { return keepDisplayLines || displaySink; }
};

// A line longer than this is no sentence (NMEA allows 82 characters): only
// its head is held, so that an endless line cannot fill the memory.
inline constexpr std::size_t kLongestLine = 65536;

// The filter fed with the text in pieces of any size, in order, scanned where
// they lie: a file read block by block into one buffer, or the text area's
// own bytes. Walks the lines once: picks the position sentences the settings
// ask for, averages their positions, takes the time span and counts the
// active satellites of each $GPGSA sentence per time range. With every
// talker a fix sent again under another talker counts once, and the GSA
// sentences on consecutive lines make one epoch, counted as one, also across
// pieces. CR LF, a lone CR and a lone LF each end a line, also when split
// between two pieces.
class FilterProcess
{
public:
    explicit FilterProcess(const Settings &settings, FilterOptions options = {});
    ~FilterProcess();
    FilterProcess(const FilterProcess &) = delete;
    FilterProcess &operator=(const FilterProcess &) = delete;

    // Scans the next bytes of the text; the line they end in is carried over
    // to the next piece. False once the run has stopped at a line: later
    // pieces are not read.
    bool feed(std::string_view bytes);
    // The run, once the last piece has been fed.
    FilterRun finish();
    // The run so far, over the lines that have ended in the pieces fed: its
    // counts, fixes and quality; the report and texts come with finish().
    const FilterRun &progress() const;
    bool stopped() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The whole text in one go, scanned in place: the result's NMEA copy stays
// empty.
FilterRun runFilter(std::string_view text, const Settings &settings, const ProgressCallback &progress = {},
                    unsigned chunkCount = 0);
// The same with the options' lists, sink and progress; the expected size is the text's.
FilterRun runFilter(std::string_view text, const Settings &settings, FilterOptions options);

// The same over lines that are then kept as the result's NMEA copy, for the
// views that switch back to the text the run started from.
FilterRun runFilter(TextLines lines, const Settings &settings, const ProgressCallback &progress = {},
                    unsigned chunkCount = 0);

} // namespace navorel
