#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace navorel {
struct Settings;
}

// navorel-filter's exit statuses.
inline constexpr int kFilterCompleted = 0;
inline constexpr int kFilterStopped = 1;
inline constexpr int kFilterUsageOrFile = 2;

// Flushes standard output: kFilterCompleted, or kFilterUsageOrFile with a
// message when what was printed did not all get out (a full disk, a closed pipe).
int flushStandardOutput();
// "navorel-filter: MESSAGE" and where to read how it is used; kFilterUsageOrFile.
int printUsageError(const std::string &message);

// navorel-filter's command line. Its options are one table, from which the
// help text and the parsing follow; tests check the man page and the shell
// completion against the help text. A new option is one row of the table
// plus what it does.
class FilterCommandLine
{
public:
    struct Option
    {
        std::string_view name = {};      // "--csv"
        std::string_view valueName = {}; // "OUT" for an option that takes a value, else empty
        std::string_view help = {};      // its text in --help; a '\n' goes on under the text column
        // Checks and keeps what the option says; a status when the program
        // ends here, its message printed.
        std::optional<int> (*take)(FilterCommandLine &, std::string_view name,
                                   const std::string &value) = nullptr;
        // Its change of the filter settings, made over the settings file in the order given.
        void (*set)(navorel::Settings &, const std::string &value) = nullptr;
        // --help and --version do their job even when given "=something".
        bool ignoresInlineValue = false;
    };

    static std::string usage();

    // Reads the arguments: "--name value" or "--name=value", "--" ends the
    // options, "-" is standard input. A status when the program is to end
    // (help, version, a usage error), else nothing.
    std::optional<int> parse(int argc, char **argv);
    // The options' changes of the filter settings, in the order given.
    void applyFilterOptions(navorel::Settings &settings) const;

    // What the command line asks for; an empty name is no such output.
    std::string input; // the log, "-" for standard input
    std::string settingsFile;
    std::string csvFile;
    std::string displayFile;
    std::string gpxFile;
    std::string kmlFile;
    std::string trackFile;
    bool quiet = false;
    bool json = false;

private:
    std::vector<std::pair<const Option *, std::string>> m_settingChanges;
};
