// navorel-filter: the filter of the desktop program on the command line.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "filter/codepage.h"
#include "filter/filterprocess.h"
#include "filter/textfile.h"
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
           || option == "--display";
}

bool isFilterFlag(std::string_view option)
{
    return option == "--rmc" || option == "--gga" || option == "--all" || option == "--no-utc"
           || option == "--no-gsa" || option == "--no-sat" || option == "--no-acc";
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
        settings.SatTime = navorel::satTimeFromText(value);
    else if (option == "--talkers")
        navorel::talkersFromText(value, settings.Talkers);
}

bool writeOutput(std::string_view format, const std::string &path, std::string_view bytes)
{
    if (navorel::writeFileReplacing(path, bytes))
        return true;
    printFileError(format, path);
    return false;
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
            return kCompleted;
        }
        if (arg == "--version") {
            std::puts("navorel-filter " NAVOREL_VERSION);
            return kCompleted;
        }
        if (takesValue(arg)) {
            if (!inlineValue) {
                if (i + 1 >= argc)
                    return usageError("option " + arg + " needs a value");
                value = argv[++i];
            }
            if (arg == "--settings")
                options.settingsFile = value;
            else if (arg == "--csv")
                options.csvFile = value;
            else if (arg == "--display")
                options.displayFile = value;
            else if (navorel::TalkerMode talkers{};
                     arg == "--talkers" && !navorel::talkersFromText(value, talkers))
                return usageError("--talkers takes gnss or gps, not '" + value + "'");
            else
                options.filterOptions.emplace_back(arg, value);
        } else if (!inlineValue && isFilterFlag(arg)) {
            options.filterOptions.emplace_back(arg, "");
        } else if (!inlineValue && arg == "--quiet") {
            options.quiet = true;
        } else {
            return usageError("unknown option " + std::string(argv[i]));
        }
    }
    if (options.input.empty())
        return usageError("no FILE given");

    navorel::Settings settings;
    if (!options.settingsFile.empty()) {
        const navorel::SettingsFileRead read = navorel::readSettingsFile(options.settingsFile, settings);
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

    std::string bytes;
    if (!navorel::readFileBytes(options.input, bytes)) {
        printFileError(navorel::kCannotOpenFile, options.input);
        return kUsageOrFile;
    }

    const navorel::FilterRun run =
        navorel::runFilter(navorel::TextLines::fromText(std::move(bytes)), settings);
    if (!run.completed()) {
        printError("line " + std::to_string(run.errorLine) + ": " + run.errorString);
        return kStopped;
    }

    if (!options.csvFile.empty()
        && !writeOutput(navorel::kCannotCreateFile, options.csvFile, navorel::resultFileText(run.result, "")))
        return kUsageOrFile;
    if (!options.displayFile.empty()
        && !writeOutput(navorel::kCannotCreateFile, options.displayFile, run.result.displayLines.joined()))
        return kUsageOrFile;

    if (!options.quiet) {
        std::string report;
        for (const std::string &line : run.report) {
            report += line;
            report += '\n';
        }
        const std::string text = navorel::windows1252ToUtf8(report);
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? kCompleted : kUsageOrFile;
}
