#include "tools/filtercommandline.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "filter/settings.h"
#include "filter/wholenumber.h"
#include "prefs/confsettings.h"

namespace {

using navorel::Settings;
using Option = FilterCommandLine::Option;

std::optional<int> usageError(const std::string &message)
{
    return printUsageError(message);
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

// What the options do with their values.

template <std::string FilterCommandLine::*kFile>
std::optional<int> keepFileName(FilterCommandLine &commandLine, std::string_view name,
                                const std::string &value)
{
    if (value.empty())
        return usageError("option " + std::string(name) + " needs a file name");
    commandLine.*kFile = value;
    return std::nullopt;
}

template <bool FilterCommandLine::*kFlag>
std::optional<int> keepFlag(FilterCommandLine &commandLine, std::string_view, const std::string &)
{
    commandLine.*kFlag = true;
    return std::nullopt;
}

std::optional<int> checkSatTime(FilterCommandLine &, std::string_view name, const std::string &value)
{
    if (!satTimeOption(value))
        return usageError("option " + std::string(name) + " needs a whole number, not '" + value + "'");
    return std::nullopt;
}

std::optional<int> checkTalkers(FilterCommandLine &, std::string_view name, const std::string &value)
{
    if (navorel::TalkerMode talkers{}; !navorel::talkersFromText(value, talkers))
        return usageError(std::string(name) + " takes gnss or gps, not '" + value + "'");
    return std::nullopt;
}

std::optional<int> checkMinQuality(FilterCommandLine &, std::string_view name, const std::string &value)
{
    if (navorel::MinQuality minimum{}; !navorel::minQualityFromText(value, minimum))
        return usageError(std::string(name)
                          + " takes any, autonomous, differential, rtk-float or rtk-fixed, not '" + value
                          + "'");
    return std::nullopt;
}

std::optional<int> checkChecksums(FilterCommandLine &, std::string_view name, const std::string &value)
{
    if (navorel::ChecksumMode mode{}; !navorel::checksumModeFromText(value, mode))
        return usageError(std::string(name) + " takes verify or ignore, not '" + value + "'");
    return std::nullopt;
}

std::optional<int> printHelp(FilterCommandLine &, std::string_view, const std::string &)
{
    std::fputs(FilterCommandLine::usage().c_str(), stdout);
    return flushStandardOutput();
}

std::optional<int> printVersion(FilterCommandLine &, std::string_view, const std::string &)
{
    std::puts("navorel-filter " NAVOREL_VERSION);
    return flushStandardOutput();
}

using C = FilterCommandLine;

// The options in the order of --help. take keeps what the run needs, set
// changes the filter settings after the settings file is read.
const Option kOptions[] = {
    {.name = "--rmc",
     .help = "take $GPRMC sentences (the default)",
     .set = [](Settings &s, const std::string &) { s.IDF = navorel::PositionSentence::RMC; }},
    {.name = "--gga",
     .help = "take $GPGGA sentences",
     .set = [](Settings &s, const std::string &) { s.IDF = navorel::PositionSentence::GGA; }},
    {.name = "--all",
     .help = "use not-valid $GPRMC fixes too",
     .set = [](Settings &s, const std::string &) { s.Valid = false; }},
    {.name = "--no-utc",
     .help = "leave the fix times out",
     .set = [](Settings &s, const std::string &) { s.UTC = false; }},
    {.name = "--no-gsa",
     .help = "do not read $GPGSA sentences",
     .set = [](Settings &s, const std::string &) { s.GSA = false; }},
    {.name = "--no-sat",
     .help = "make no satellites time ranges",
     .set = [](Settings &s, const std::string &) { s.Sat = false; }},
    {.name = "--no-acc",
     .help = "add no points to the position chart",
     .set = [](Settings &s, const std::string &) { s.Acc = false; }},
    {.name = "--sat-time",
     .valueName = "N",
     .help = "minutes per satellites time range, 1 to 60 (default 15)",
     .take = checkSatTime,
     .set =
         [](Settings &s, const std::string &value) {
             s.SatTime = satTimeOption(value).value_or(navorel::kSatTimeMin);
         }},
    {.name = "--talkers",
     .valueName = "T",
     .help = "gnss: sentences of every satellite system's talker ($GN,\n"
             "$GP, $GL, $GA, $GB, $GQ, $GI, $BD, $QZ), one fix per\n"
             "epoch, the GSA sentences of an epoch counted together\n"
             "(the default); gps: $GP sentences only, the classic way",
     .take = checkTalkers,
     .set = [](Settings &s, const std::string &value) { navorel::talkersFromText(value, s.Talkers); }},
    {.name = "--min-quality",
     .valueName = "Q",
     .help = "the least a fix has to be to count, as the receiver says:\n"
             "any (the default), autonomous, differential, rtk-float\n"
             "or rtk-fixed; fixes below it are counted, not used",
     .take = checkMinQuality,
     .set = [](Settings &s, const std::string &value) { navorel::minQualityFromText(value, s.MinQuality); }},
    {.name = "--checksums",
     .valueName = "C",
     .help = "verify: leave out sentences with a wrong checksum,\n"
             "impossible positions and satellite IDs that are no\n"
             "numbers, reading each sentence of a line on its own (the\n"
             "default with every talker); ignore: read lines as the\n"
             "classic program did (the default with --talkers gps)",
     .take = checkChecksums,
     .set = [](Settings &s, const std::string &value) { navorel::checksumModeFromText(value, s.Checksums); }},
    {.name = "--settings",
     .valueName = "INI",
     .help = "read a settings file first, and the navorel.conf beside\n"
             "it when there is one; the options above override them",
     .take = keepFileName<&C::settingsFile>},
    {.name = "--csv",
     .valueName = "OUT",
     .help = "write the filter result file",
     .take = keepFileName<&C::csvFile>},
    {.name = "--display",
     .valueName = "OUT",
     .help = "write the filtered fixes as the text area shows them",
     .take = keepFileName<&C::displayFile>},
    {.name = "--json",
     .help = "print the counts, the mean and its precision in metres\n"
             "as one JSON object instead of the report",
     .take = keepFlag<&C::json>},
    {.name = "--gpx",
     .valueName = "OUT",
     .help = "write the mean position as a GPX 1.1 waypoint",
     .take = keepFileName<&C::gpxFile>},
    {.name = "--kml",
     .valueName = "OUT",
     .help = "write the mean position as a KML placemark",
     .take = keepFileName<&C::kmlFile>},
    {.name = "--gpx-track",
     .valueName = "OUT",
     .help = "write every accepted fix as a GPX 1.1 track",
     .take = keepFileName<&C::trackFile>},
    {.name = "--quiet", .help = "print no report", .take = keepFlag<&C::quiet>},
    {.name = "--help", .help = "show this help", .take = printHelp, .ignoresInlineValue = true},
    {.name = "--version", .help = "show the version", .take = printVersion, .ignoresInlineValue = true},
};

const Option *findOption(std::string_view name)
{
    const auto found = std::find_if(std::begin(kOptions), std::end(kOptions),
                                    [&](const Option &option) { return option.name == name; });
    return found == std::end(kOptions) ? nullptr : found;
}

} // namespace

int flushStandardOutput()
{
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0)
        return kFilterCompleted;
    std::fprintf(stderr, "navorel-filter: cannot write to standard output: %s\n", std::strerror(errno));
    return kFilterUsageOrFile;
}

int printUsageError(const std::string &message)
{
    std::fprintf(stderr, "navorel-filter: %s\nTry 'navorel-filter --help'.\n", message.c_str());
    return kFilterUsageOrFile;
}

std::string FilterCommandLine::usage()
{
    // The options' texts start in this column; their further lines too.
    constexpr std::size_t kTextColumn = 19;
    std::string text = "Usage: navorel-filter [options] FILE\n"
                       "Filters the position sentences out of an NMEA 0183 log (FILE, or - for\n"
                       "standard input) and prints the report of the result page.\n"
                       "\n";
    for (const Option &option : kOptions) {
        std::string head = "  ";
        head += option.name;
        if (!option.valueName.empty()) {
            head += ' ';
            head += option.valueName;
        }
        // A name too long for its column gets its text on the next line.
        text += head.size() + 2 <= kTextColumn ? head + std::string(kTextColumn - head.size(), ' ')
                                               : head + "\n" + std::string(kTextColumn, ' ');
        for (const char c : option.help)
            text += c == '\n' ? "\n" + std::string(kTextColumn, ' ') : std::string(1, c);
        text += '\n';
    }
    text += "\n"
            "Exit status: 0 run completed, 1 run stopped at a line, 2 usage or file error.\n";
    return text;
}

std::optional<int> FilterCommandLine::parse(int argc, char **argv)
{
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!endOfOptions && arg == "--") {
            endOfOptions = true;
            continue;
        }
        if (endOfOptions || arg == "-" || !arg.starts_with("--")) {
            if (!input.empty())
                return usageError("only one FILE can be filtered");
            input = arg;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const bool inlineValue = equals != std::string::npos;
        const std::string name = arg.substr(0, equals);
        const Option *option = findOption(name);
        if (option == nullptr || (inlineValue && option->valueName.empty() && !option->ignoresInlineValue))
            return usageError("unknown option " + arg);
        std::string value;
        if (!option->valueName.empty()) {
            if (inlineValue)
                value = arg.substr(equals + 1);
            else if (i + 1 < argc)
                value = argv[++i];
            else
                return usageError("option " + name + " needs a value");
        }
        if (option->take) {
            if (const std::optional<int> status = option->take(*this, option->name, value))
                return status;
        }
        if (option->set)
            m_settingChanges.emplace_back(option, value);
    }
    if (input.empty())
        return usageError("no FILE given");
    return std::nullopt;
}

void FilterCommandLine::applyFilterOptions(Settings &settings) const
{
    for (const auto &[option, value] : m_settingChanges)
        option->set(settings, value);
}
