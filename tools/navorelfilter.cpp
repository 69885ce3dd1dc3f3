// navorel-filter: the filter of the desktop program on the command line.

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "exports/gpxtrackwriter.h"
#include "exports/jsonsummary.h"
#include "exports/positionexport.h"
#include "filter/blockreader.h"
#include "filter/codepage.h"
#include "filter/filterprocess.h"
#include "filter/meanuncertainty.h"
#include "filter/outputfiles.h"
#include "filter/precisionfigures.h"
#include "filter/replacingfile.h"
#include "filter/textfile.h"
#include "prefs/confsettings.h"
#include "prefs/settingsfile.h"
#include "resultfile/resultfilewriter.h"
#include "tools/filtercommandline.h"

namespace {

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

OutputPlaces addOutputs(const FilterCommandLine &options, navorel::OutputFiles &outputs)
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
bool writeOutputs(const FilterCommandLine &options, const OutputPlaces &places, navorel::OutputFiles &outputs,
                  const navorel::FilterRun &run, const navorel::PrecisionFigures &figures,
                  const navorel::MeanUncertainty &uncertainty)
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
        if (!filled(file, file.write(PositionExport::meanPositionGpx(figures, name, &uncertainty))))
            return false;
        if (altitudeLeftOut)
            printNote(options.gpxFile, "the mean altitude is too large to write with decimals: left out");
    }
    if (places.kml != OutputPlaces::kNone) {
        navorel::ReplacingFile &file = outputs.file(places.kml);
        if (!filled(file, file.write(PositionExport::meanPositionKml(figures, name, &uncertainty))))
            return false;
        if (altitudeLeftOut)
            printNote(options.kmlFile,
                      "the mean altitude is too large to write with decimals: 0, clamped to the ground");
    }
    return true;
}

// The settings the run filters with: the settings file and the navorel.conf
// beside it when one is named, the options over them. False, the message
// printed, when the settings file is none.
bool readSettings(const FilterCommandLine &commandLine, navorel::Settings &settings)
{
    const std::string &path = commandLine.settingsFile;
    if (!path.empty()) {
        const navorel::SettingsFileRead read = navorel::readSettingsFile(path, settings);
        if (read.status == navorel::SettingsFileRead::Status::WrongFile) {
            printError(path + ": " + read.errorString
                       + (read.reason.empty() ? "" : " (" + read.reason + ")"));
            return false;
        }
        if (read.status != navorel::SettingsFileRead::Status::Read) {
            printError(read.errorLine > 0
                           ? path + ", line " + std::to_string(read.errorLine) + ": " + read.errorString
                           : read.errorString);
            return false;
        }
        // What NAVRL.ini has no room for; missing or unreadable means the defaults.
        navorel::readConfSettings(navorel::ConfFile::read(navorel::confPathBeside(path)), settings);
    }
    commandLine.applyFilterOptions(settings);
    return true;
}

// The log, read block by block and never held whole: standard input, a
// pipe or a device work like a file.
struct Input
{
    bool fromStdin = false;
    std::string name; // for the messages
    int fd = -1;
    struct stat status
    {};

    bool open(const std::string &path)
    {
        fromStdin = path == "-";
        name = fromStdin ? "standard input" : path;
        fd = fromStdin ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        return fd >= 0 && ::fstat(fd, &status) == 0 && !S_ISDIR(status.st_mode);
    }
};

// Only what the outputs asked for is kept while the run goes.
navorel::FilterOptions filterOptionsFor(const FilterCommandLine &commandLine, const Input &input)
{
    navorel::FilterOptions options;
    options.expectedBytes =
        S_ISREG(input.status.st_mode) ? static_cast<std::size_t>(input.status.st_size) : 0;
    options.keepDisplayLines = !commandLine.displayFile.empty();
    options.keepDataLines = !commandLine.csvFile.empty();
    options.keepPoints = false;
    options.keepFixes = commandLine.json || !commandLine.gpxFile.empty() || !commandLine.kmlFile.empty();
    options.keepFixClasses = false;
    return options;
}

// Feeds the log to the filter; nothing when it could not be read.
std::optional<navorel::FilterRun> filterLog(Input &input, const navorel::Settings &settings,
                                            const navorel::FilterOptions &options)
{
    navorel::FilterProcess process(settings, options);
    navorel::BlockReader reader;
    bool firstBlock = true;
    const bool read = reader.readAll(input.fd, [&](std::string_view block) {
        if (std::exchange(firstBlock, false) && navorel::looksLikeUtf16(block))
            printNote(input.name,
                      "looks like UTF-16 text, not 8-bit NMEA: convert it first (iconv -f UTF-16 -t "
                      "WINDOWS-1252)");
        return process.feed(block);
    });
    if (!input.fromStdin)
        ::close(input.fd);
    if (!read)
        return std::nullopt;
    return process.finish();
}

// Ends the track, writes the other outputs and puts them all in place;
// false, the message printed, when one of them is not.
bool finishOutputs(const FilterCommandLine &commandLine, const OutputPlaces &places,
                   navorel::OutputFiles &outputs, std::optional<navorel::GpxTrackWriter> &track,
                   const navorel::FilterRun &run, const navorel::PrecisionFigures &figures,
                   const navorel::MeanUncertainty &uncertainty)
{
    bool ok = true;
    if (track) {
        track->finish();
        navorel::ReplacingFile &file = outputs.file(places.track);
        const std::string head = track->describedHead();
        ok = filled(file, file.write(track->takeText())
                              && (head.empty() || file.replaceHead(track->headBytes(), head)));
        if (ok && !track->leftOutText().empty())
            printNote(commandLine.trackFile, track->leftOutText());
    }
    // A waypoint beyond a pole is no waypoint: nothing is written then.
    const std::string impossible = navorel::PositionExport::impossibleMean(figures);
    if (ok && (!commandLine.gpxFile.empty() || !commandLine.kmlFile.empty()) && !impossible.empty()) {
        std::fprintf(stderr, "navorel-filter: %s, no mean position to write\n", impossible.c_str());
        ok = false;
    } else if (commandLine.json && run.fixAccepted() && !impossible.empty()) {
        std::fprintf(stderr, "navorel-filter: %s: the mean is null\n", impossible.c_str());
    }
    ok = ok && writeOutputs(commandLine, places, outputs, run, figures, uncertainty);
    if (ok && !outputs.commit()) {
        printCannotCreate(*outputs.failed());
        ok = false;
    }
    return ok;
}

// The JSON object, or the report unless asked for none or an output failed.
void printResult(const FilterCommandLine &commandLine, const navorel::FilterRun &run,
                 const navorel::PrecisionFigures &figures, const navorel::MeanUncertainty &uncertainty,
                 bool outputsWritten)
{
    // What the rules left out is said, whatever the run prints.
    for (const navorel::LogQuality::Note &note : run.quality.leftOut(run.minQuality))
        std::fprintf(stderr, "navorel-filter: %s; %s uses them\n", note.text.c_str(), note.option.c_str());
    if (commandLine.json) {
        std::puts(navorel::JsonSummary::ofRun(run, figures, uncertainty).c_str());
    } else if (!commandLine.quiet && outputsWritten) {
        std::string report;
        for (const std::string &line : run.report) {
            report += line;
            report += '\n';
        }
        const std::string text = navorel::windows1252ToUtf8(report);
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
}

} // namespace

int main(int argc, char **argv)
{
    FilterCommandLine commandLine;
    if (const std::optional<int> status = commandLine.parse(argc, argv))
        return *status;
    navorel::Settings settings;
    if (!readSettings(commandLine, settings))
        return kFilterUsageOrFile;
    Input input;
    if (!input.open(commandLine.input)) {
        printFileError(navorel::kCannotOpenFile, commandLine.input);
        return kFilterUsageOrFile;
    }
    // Every output is decided on before the run and made beside its file,
    // so that a run that fails leaves them all as they were.
    navorel::OutputFiles outputs;
    outputs.setInput(input.status, input.name);
    const OutputPlaces places = addOutputs(commandLine, outputs);
    if (const std::string clash = outputs.clash(); !clash.empty())
        return printUsageError(clash);
    if (!outputs.open()) {
        printCannotCreate(*outputs.failed());
        return kFilterUsageOrFile;
    }

    navorel::FilterOptions filterOptions = filterOptionsFor(commandLine, input);
    // The track goes to its file as the run goes, never held whole.
    std::optional<navorel::GpxTrackWriter> track;
    if (places.track != OutputPlaces::kNone) {
        track.emplace(exportName(commandLine.input));
        filterOptions.fixesSink = [&](const navorel::AcceptedFixes &fixes) {
            track->add(fixes);
            outputs.file(places.track).write(track->takeText());
        };
    }
    const std::optional<navorel::FilterRun> run = filterLog(input, settings, filterOptions);
    if (!run) {
        printFileError(navorel::kCannotOpenFile, commandLine.input);
        return kFilterUsageOrFile;
    }
    if (!run->completed()) {
        printError("line " + std::to_string(run->errorLine) + ": " + run->errorString);
        if (commandLine.json)
            std::puts(navorel::JsonSummary::ofError(run->errorString, run->errorLine).c_str());
        return kFilterStopped;
    }
    const navorel::PrecisionFigures figures =
        filterOptions.keepFixes ? navorel::measurePrecision(run->fixes) : navorel::PrecisionFigures();
    const navorel::MeanUncertainty uncertainty = filterOptions.keepFixes
                                                     ? navorel::measureUncertainty(run->fixes, figures)
                                                     : navorel::MeanUncertainty();
    const bool written = finishOutputs(commandLine, places, outputs, track, *run, figures, uncertainty);
    printResult(commandLine, *run, figures, uncertainty, written);
    const int printed = flushStandardOutput();
    return written ? printed : kFilterUsageOrFile;
}
