// navorel-filter: the filter of the desktop program on the command line.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "exports/gpxtrackwriter.h"
#include "exports/jsonsummary.h"
#include "exports/positionexport.h"
#include "filter/blockreader.h"
#include "filter/codepage.h"
#include "filter/filterprocess.h"
#include "filter/outputfiles.h"
#include "filter/precisionfigures.h"
#include "filter/replacingfile.h"
#include "filter/textfile.h"
#include "filter/wholenumber.h"
#include "prefs/confsettings.h"
#include "prefs/settingsfile.h"
#include "resultfile/resultfilewriter.h"

namespace {

constexpr int kCompleted = 0;
constexpr int kStopped = 1;
constexpr int kUsageOrFile = 2;

const char kUsage[] = "Usage: navorel-filter [options] FILE\n"
                      "Filters the position sentences out of an NMEA 0183 log (FILE, or - for\n"
                      "standard input) and prints the report of the result page.\n"
                      "\n"
                      "  --rmc            take $GPRMC sentences (the default)\n"
                      "  --gga            take $GPGGA sentences\n"
                      "  --all            use not-valid $GPRMC fixes too\n"
                      "  --no-utc         leave the fix times out\n"
                      "  --no-gsa         do not read $GPGSA sentences\n"
                      "  --no-sat         make no satellites time ranges\n"
                      "  --no-acc         add no points to the position chart\n"
                      "  --sat-time N     minutes per satellites time range, 1 to 60 (default 15)\n"
                      "  --talkers T      gnss: sentences of every satellite system's talker ($GN,\n"
                      "                   $GP, $GL, $GA, $GB, $GQ, $GI, $BD, $QZ), one fix per\n"
                      "                   epoch, the GSA sentences of an epoch counted together\n"
                      "                   (the default); gps: $GP sentences only, the classic way\n"
                      "  --settings INI   read a settings file first, and the navorel.conf beside\n"
                      "                   it when there is one; the options above override them\n"
                      "  --csv OUT        write the filter result file\n"
                      "  --display OUT    write the filtered fixes as the text area shows them\n"
                      "  --json           print the counts, the mean and its precision in metres\n"
                      "                   as one JSON object instead of the report\n"
                      "  --gpx OUT        write the mean position as a GPX 1.1 waypoint\n"
                      "  --kml OUT        write the mean position as a KML placemark\n"
                      "  --gpx-track OUT  write every accepted fix as a GPX 1.1 track\n"
                      "  --quiet          print no report\n"
                      "  --help           show this help\n"
                      "  --version        show the version\n"
                      "\n"
                      "Exit status: 0 run completed, 1 run stopped at a line, 2 usage or file error.\n";

struct Options
{
    std::string input;
    std::string settingsFile;
    std::string csvFile;
    std::string displayFile;
    bool quiet = false;
    bool json = false;
    std::string gpxFile;
    std::string kmlFile;
    std::string trackFile;
    // Applied over the settings file, in the order given.
    std::vector<std::pair<std::string, std::string>> filterOptions;
};

void printError(std::string_view windows1252)
{
    std::fprintf(stderr, "navorel-filter: %s\n", navorel::windows1252ToUtf8(windows1252).c_str());
}

// The file messages name the path as the system gives it.
void printFileError(std::string_view format, const std::string &path)
{
    const std::string message = navorel::fillIn(navorel::windows1252ToUtf8(format), path);
    std::fprintf(stderr, "navorel-filter: %s\n", message.c_str());
}

int usageError(const std::string &message)
{
    std::fprintf(stderr, "navorel-filter: %s\nTry 'navorel-filter --help'.\n", message.c_str());
    return kUsageOrFile;
}

bool takesValue(std::string_view option)
{
    return option == "--sat-time" || option == "--talkers" || option == "--settings" || option == "--csv"
           || option == "--display" || option == "--gpx" || option == "--kml" || option == "--gpx-track";
}

bool isFilterFlag(std::string_view option)
{
    return option == "--rmc" || option == "--gga" || option == "--all" || option == "--no-utc"
           || option == "--no-gsa" || option == "--no-sat" || option == "--no-acc";
}

// A whole number, brought into 1..60 however many digits it has; nothing
// for a text that is not one.
std::optional<int> satTimeOption(std::string_view text)
{
    std::int64_t value = 0;
    if (navorel::parseWholeNumber(text, value))
        return navorel::clampSatTime(value);
    // Too many digits for 64 bits: still a whole number, beyond either bound.
    text.remove_prefix(std::min(text.size(), text.find_first_not_of(' ')));
    const std::size_t digits = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (text.size() == digits || text.find_first_not_of("0123456789", digits) != std::string_view::npos)
        return std::nullopt;
    return text[0] == '-' ? navorel::kSatTimeMin : navorel::kSatTimeMax;
}

void applyFilterOption(navorel::Settings &settings, const std::string &option, const std::string &value)
{
    if (option == "--rmc")
        settings.IDF = navorel::PositionSentence::RMC;
    else if (option == "--gga")
        settings.IDF = navorel::PositionSentence::GGA;
    else if (option == "--all")
        settings.Valid = false;
    else if (option == "--no-utc")
        settings.UTC = false;
    else if (option == "--no-gsa")
        settings.GSA = false;
    else if (option == "--no-sat")
        settings.Sat = false;
    else if (option == "--no-acc")
        settings.Acc = false;
    else if (option == "--sat-time")
        settings.SatTime = satTimeOption(value).value_or(navorel::kSatTimeMin);
    else if (option == "--talkers")
        navorel::talkersFromText(value, settings.Talkers);
}

// "Datei x kann nicht erstellt werden: No such file or directory": the
// classic message and what the system says, so that the user knows what to mend.
void printCannotCreate(const navorel::ReplacingFile &file)
{
    printFileError(std::string(navorel::kCannotCreateFile) + ": " + file.reason(), file.path());
}

// written: the new contents went into file; else says why not.
bool filled(const navorel::ReplacingFile &file, bool written)
{
    if (!written)
        printCannotCreate(file);
    return written;
}

void printNote(const std::string &path, const std::string &note)
{
    std::fprintf(stderr, "navorel-filter: %s: %s\n", path.c_str(), note.c_str());
}

int stdoutResult()
{
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0)
        return kCompleted;
    std::fprintf(stderr, "navorel-filter: cannot write to standard output: %s\n", std::strerror(errno));
    return kUsageOrFile;
}

// The name the exports give the position: the log's file name without its extension.
std::string exportName(const std::string &input)
{
    if (input == "-")
        return "standard input";
    std::string name = input.substr(input.find_last_of('/') + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    return name;
}

// The outputs a run writes, each at its place in OutputFiles.
struct OutputPlaces
{
    static constexpr std::size_t kNone = SIZE_MAX;
    std::size_t csv = kNone, display = kNone, gpx = kNone, kml = kNone, track = kNone;
};

OutputPlaces addOutputs(const Options &options, navorel::OutputFiles &outputs)
{
    OutputPlaces places;
    const std::pair<const std::string *, std::size_t *> asked[] = {{&options.csvFile, &places.csv},
                                                                   {&options.displayFile, &places.display},
                                                                   {&options.gpxFile, &places.gpx},
                                                                   {&options.kmlFile, &places.kml},
                                                                   {&options.trackFile, &places.track}};
    const char *const names[] = {"--csv", "--display", "--gpx", "--kml", "--gpx-track"};
    for (std::size_t i = 0; i < std::size(asked); ++i) {
        if (!asked[i].first->empty())
            *asked[i].second = outputs.add(names[i], *asked[i].first);
    }
    return places;
}

// Writes what the run made into the outputs' new contents; nothing is in
// place before commit.
bool writeOutputs(const Options &options, const OutputPlaces &places, navorel::OutputFiles &outputs,
                  const navorel::FilterRun &run, const navorel::PrecisionFigures &figures)
{
    using navorel::PositionExport;
    const std::string name = exportName(options.input);
    if (places.csv != OutputPlaces::kNone) {
        navorel::ReplacingFile &file = outputs.file(places.csv);
        if (!filled(file, navorel::writeResultFile(file, run.result, "")))
            return false;
    }
    if (places.display != OutputPlaces::kNone) {
        const navorel::TextLines &lines = run.result.displayLines;
        const std::optional<std::string_view> view = lines.joinedView();
        navorel::ReplacingFile &file = outputs.file(places.display);
        if (!filled(file, view ? file.write(*view) : file.write(lines.joined())))
            return false;
    }
    const bool altitudeLeftOut = figures.altitudeFixes > 0 && !PositionExport::meanAltitudeWritten(figures);
    if (places.gpx != OutputPlaces::kNone) {
        navorel::ReplacingFile &file = outputs.file(places.gpx);
        if (!filled(file, file.write(PositionExport::meanPositionGpx(figures, name))))
            return false;
        if (altitudeLeftOut)
            printNote(options.gpxFile, "the mean altitude is too large to write with decimals: left out");
    }
    if (places.kml != OutputPlaces::kNone) {
        navorel::ReplacingFile &file = outputs.file(places.kml);
        if (!filled(file, file.write(PositionExport::meanPositionKml(figures, name))))
            return false;
        if (altitudeLeftOut)
            printNote(options.kmlFile,
                      "the mean altitude is too large to write with decimals: 0, clamped to the ground");
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!endOfOptions && arg == "--") {
            endOfOptions = true;
            continue;
        }
        if (endOfOptions || arg == "-" || arg.rfind("--", 0) != 0) {
            if (!options.input.empty())
                return usageError("only one FILE can be filtered");
            options.input = arg;
            continue;
        }
        std::string value;
        const std::size_t equals = arg.find('=');
        const bool inlineValue = equals != std::string::npos;
        if (inlineValue) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
        }
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return stdoutResult();
        }
        if (arg == "--version") {
            std::puts("navorel-filter " NAVOREL_VERSION);
            return stdoutResult();
        }
        if (takesValue(arg)) {
            if (!inlineValue) {
                if (i + 1 >= argc)
                    return usageError("option " + arg + " needs a value");
                value = argv[++i];
            }
            if (arg == "--sat-time" && !satTimeOption(value))
                return usageError("option --sat-time needs a whole number, not '" + value + "'");
            if (value.empty() && arg != "--sat-time" && arg != "--talkers")
                return usageError("option " + arg + " needs a file name");
            if (arg == "--settings")
                options.settingsFile = value;
            else if (arg == "--csv")
                options.csvFile = value;
            else if (arg == "--display")
                options.displayFile = value;
            else if (arg == "--gpx")
                options.gpxFile = value;
            else if (arg == "--kml")
                options.kmlFile = value;
            else if (arg == "--gpx-track")
                options.trackFile = value;
            else if (navorel::TalkerMode talkers{};
                     arg == "--talkers" && !navorel::talkersFromText(value, talkers))
                return usageError("--talkers takes gnss or gps, not '" + value + "'");
            else
                options.filterOptions.emplace_back(arg, value);
        } else if (!inlineValue && isFilterFlag(arg)) {
            options.filterOptions.emplace_back(arg, "");
        } else if (!inlineValue && arg == "--quiet") {
            options.quiet = true;
        } else if (!inlineValue && arg == "--json") {
            options.json = true;
        } else {
            return usageError("unknown option " + std::string(argv[i]));
        }
    }
    if (options.input.empty())
        return usageError("no FILE given");

    navorel::Settings settings;
    if (!options.settingsFile.empty()) {
        const navorel::SettingsFileRead read = navorel::readSettingsFile(options.settingsFile, settings);
        if (read.status == navorel::SettingsFileRead::Status::WrongFile) {
            printError(options.settingsFile + ": " + read.errorString
                       + (read.reason.empty() ? "" : " (" + read.reason + ")"));
            return kUsageOrFile;
        }
        if (read.status != navorel::SettingsFileRead::Status::Read) {
            printError(read.errorLine > 0 ? options.settingsFile + ", line " + std::to_string(read.errorLine)
                                                + ": " + read.errorString
                                          : read.errorString);
            return kUsageOrFile;
        }
        // What NAVRL.ini has no room for; missing or unreadable means the defaults.
        navorel::readConfSettings(navorel::ConfFile::read(navorel::confPathBeside(options.settingsFile)),
                                  settings);
    }
    for (const auto &[option, value] : options.filterOptions)
        applyFilterOption(settings, option, value);

    // The log is read block by block and never held whole: standard input,
    // a pipe or a device work like a file.
    const bool fromStdin = options.input == "-";
    const std::string inputName = fromStdin ? "standard input" : options.input;
    const int fd = fromStdin ? STDIN_FILENO : ::open(options.input.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat input
    {};
    if (fd < 0 || ::fstat(fd, &input) != 0 || S_ISDIR(input.st_mode)) {
        printFileError(navorel::kCannotOpenFile, options.input);
        return kUsageOrFile;
    }
    // Every output is decided on before the run and made beside its file,
    // so that a run that fails leaves them all as they were.
    navorel::OutputFiles outputs;
    outputs.setInput(input, inputName);
    const OutputPlaces places = addOutputs(options, outputs);
    if (const std::string clash = outputs.clash(); !clash.empty())
        return usageError(clash);
    if (!outputs.open()) {
        printCannotCreate(*outputs.failed());
        return kUsageOrFile;
    }

    navorel::FilterOptions filterOptions;
    filterOptions.expectedBytes = S_ISREG(input.st_mode) ? static_cast<std::size_t>(input.st_size) : 0;
    filterOptions.keepDisplayLines = !options.displayFile.empty();
    filterOptions.keepDataLines = !options.csvFile.empty();
    filterOptions.keepPoints = false;
    filterOptions.keepFixes = options.json || !options.gpxFile.empty() || !options.kmlFile.empty();
    // The track goes to its file as the run goes, never held whole.
    std::optional<navorel::GpxTrackWriter> track;
    if (places.track != OutputPlaces::kNone) {
        track.emplace(exportName(options.input));
        filterOptions.fixesSink = [&](const navorel::AcceptedFixes &fixes) {
            track->add(fixes);
            outputs.file(places.track).write(track->takeText());
        };
    }
    navorel::FilterProcess process(settings, filterOptions);
    navorel::BlockReader reader;
    bool firstBlock = true;
    const bool read = reader.readAll(fd, [&](std::string_view block) {
        if (std::exchange(firstBlock, false) && navorel::looksLikeUtf16(block))
            printNote(inputName,
                      "looks like UTF-16 text, not 8-bit NMEA: convert it first (iconv -f UTF-16 -t "
                      "WINDOWS-1252)");
        return process.feed(block);
    });
    if (!fromStdin)
        ::close(fd);
    if (!read) {
        printFileError(navorel::kCannotOpenFile, options.input);
        return kUsageOrFile;
    }
    const navorel::FilterRun run = process.finish();
    if (!run.completed()) {
        printError("line " + std::to_string(run.errorLine) + ": " + run.errorString);
        if (options.json)
            std::puts(navorel::JsonSummary::ofError(run.errorString, run.errorLine).c_str());
        return kStopped;
    }

    bool ok = true;
    if (track) {
        track->finish();
        navorel::ReplacingFile &file = outputs.file(places.track);
        const std::string head = track->describedHead();
        ok = filled(file, file.write(track->takeText())
                              && (head.empty() || file.replaceHead(track->headBytes(), head)));
        if (ok && !track->leftOutText().empty())
            printNote(options.trackFile, track->leftOutText());
    }
    const navorel::PrecisionFigures figures =
        filterOptions.keepFixes ? navorel::measurePrecision(run.fixes) : navorel::PrecisionFigures();
    // A waypoint beyond a pole is no waypoint: nothing is written then.
    const std::string impossible = navorel::PositionExport::impossibleMean(figures);
    if (ok && (!options.gpxFile.empty() || !options.kmlFile.empty()) && !impossible.empty()) {
        std::fprintf(stderr, "navorel-filter: %s, no mean position to write\n", impossible.c_str());
        ok = false;
    } else if (options.json && run.fixAccepted() && !impossible.empty()) {
        std::fprintf(stderr, "navorel-filter: %s: the mean is null\n", impossible.c_str());
    }
    ok = ok && writeOutputs(options, places, outputs, run, figures);
    if (ok && !outputs.commit()) {
        printCannotCreate(*outputs.failed());
        ok = false;
    }

    if (options.json) {
        std::puts(navorel::JsonSummary::ofRun(run, figures).c_str());
    } else if (!options.quiet && ok) {
        std::string report;
        for (const std::string &line : run.report) {
            report += line;
            report += '\n';
        }
        const std::string text = navorel::windows1252ToUtf8(report);
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    const int printed = stdoutResult();
    return ok ? printed : kUsageOrFile;
}
