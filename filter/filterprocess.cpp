#include "filter/filterprocess.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <thread>

#include "filter/chunkmerge.h"
#include "filter/chunkscan.h"
#include "filter/filterreport.h"
#include "filter/nmeafields.h"
#include "filter/sentencescanner.h"

// A run in three stages: the text is cut into blocks and chunks of whole
// lines (here), each chunk's lines are read sentence by sentence, on
// threads side by side (SentenceScanner), and the chunks are joined in log
// order into the result (ChunkMerge).

namespace navorel {

namespace {

// A smaller chunk and a second thread costs more than it saves.
constexpr std::size_t kBytesPerChunkMin = 1 << 20;
constexpr unsigned kChunksMax = 8;
// The text area's bytes are scanned in blocks of this size, so that the
// lists of a block's chunks are reused instead of held beside the result.
constexpr std::size_t kBlockBytes = 4 << 20;

unsigned chunksFor(std::size_t bytes, unsigned requested)
{
    if (requested > 0)
        return requested;
    // Asked once: the library reads it from the system every time.
    static const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t worthIt = std::max<std::size_t>(1, bytes / kBytesPerChunkMin);
    return static_cast<unsigned>(std::min<std::size_t>({cores, worthIt, kChunksMax}));
}

// The time field of the last position sentence of a line that the scanner
// counts as found: in a line read whole, the earliest; read sentence by
// sentence, the last one with no wrong checksum.
std::optional<std::string_view> timeInLine(std::string_view line, std::string_view type, bool checked)
{
    if (!checked) {
        if (line.size() < kShortestSentence || line.find("EMT") != std::string_view::npos)
            return std::nullopt;
        const std::size_t at = findSentence(line, type, TalkerMode::GNSS);
        return at == std::string_view::npos ? std::nullopt : std::optional(timeField(line.substr(at)));
    }
    for (std::size_t end = line.size(); end > 0;) {
        const std::size_t at = line.rfind('$', end - 1);
        if (at == std::string_view::npos)
            break;
        const std::string_view sentence = line.substr(at, end - at);
        end = at;
        if (sentence.size() >= kShortestSentence && findSentence(sentence, type, TalkerMode::GNSS) == 0
            && sentence.find("EMT") == std::string_view::npos
            && checksumState(sentence) != ChecksumState::Wrong)
            return timeField(sentence);
    }
    return std::nullopt;
}

// The time field of the last position sentence in bytes, which end at a
// line start; none when there is no such sentence.
std::optional<std::string_view> timeBefore(std::string_view bytes, const Settings &settings)
{
    const std::string_view type = sentenceIdentifier(settings.IDF).substr(3);
    const bool checked = checksSentences(settings);
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
        if (line.size() > kLongestLine)
            continue;
        if (const std::optional<std::string_view> time = timeInLine(line, type, checked))
            return time;
    }
    return std::nullopt;
}

// Where the line break at or after pos ends, or size.
std::size_t nextLineStart(const char *data, std::size_t pos, std::size_t size)
{
    pos = findLineBreak(data, pos, size);
    return pos == size ? size : afterLineBreak(data, pos, size);
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
        if (!chunk.found.errorString.empty()) {
            // The stop names its line: scan the chunk again from a known start.
            chunk.reset();
            chunk.firstLine = firstLine;
            chunk.firstLineKnown = true;
            scanChunk(chunk, settings, {});
        } else {
            const std::size_t shift = firstLine - chunk.firstLine;
            chunk.found.times.shiftLines(shift);
        }
    }
    lines += chunk.found.lineCount;
    lastFoundTime = chunk.found.lastFoundTime;
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
            const std::optional<std::string_view> time = timeBefore(bytes.substr(0, start), settings);
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
    state.run.minQuality = settings.MinQuality;
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

const FilterRun &FilterProcess::progress() const
{
    return m_state->run;
}

bool FilterProcess::stopped() const
{
    return m_state->stopped;
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
