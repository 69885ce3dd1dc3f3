#include "prefs/confsettings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace navorel {

namespace {

bool sameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x))
                      == std::toupper(static_cast<unsigned char>(y));
           });
}

template <typename Number> std::optional<Number> numberOf(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string shortest(double value)
{
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string("0.5");
}

void readSurvey(const ConfFile &file, Settings &settings)
{
    if (const auto target = file.value("Survey", "TargetR95")) {
        if (const auto metres = numberOf<double>(*target); metres && std::isfinite(*metres) && *metres > 0)
            settings.TargetR95 = *metres;
    }
    if (const auto minimum = file.value("Survey", "MinMinutes")) {
        if (const auto minutes = numberOf<int>(*minimum);
            minutes && *minutes >= 0 && *minutes <= kMostSurveyMinutes)
            settings.MinMinutes = *minutes;
    }
    if (const auto stop = file.value("Survey", "StopWhenReached")) {
        if (sameLetters(*stop, "true") || sameLetters(*stop, "false"))
            settings.StopWhenReached = sameLetters(*stop, "true");
    }
    if (const auto save = file.value("Survey", "SaveWhenReached"))
        settings.SaveWhenReached = *save;
}

std::string recentKey(std::size_t index)
{
    return "File" + std::to_string(index + 1);
}

bool wholeNumber(std::string_view text, int &value)
{
    const std::optional<int> number = numberOf<int>(text);
    if (number)
        value = *number;
    return number.has_value();
}

// A key whose value is its default is left out of a file that lacks it:
// a navorel.conf stays as short as the features used make it.
void setUnlessDefault(ConfFile &file, std::string_view group, std::string_view key, std::string_view value,
                      std::string_view fallback = {})
{
    if (value != fallback || file.value(group, key))
        file.setValue(group, key, value);
}

} // namespace

void readRecentList(const ConfFile &file, RecentList &recent)
{
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < RecentList::kMaxEntries; ++i)
        paths.push_back(file.value("Recent", recentKey(i), ""));
    recent.setPaths(paths);
}

void writeRecentList(ConfFile &file, const RecentList &recent)
{
    const std::vector<std::string> &paths = recent.paths();
    for (std::size_t i = 0; i < RecentList::kMaxEntries; ++i)
        setUnlessDefault(file, "Recent", recentKey(i), i < paths.size() ? paths[i] : std::string());
}

void readWindowPlace(const ConfFile &file, WindowPlace &place)
{
    if (const auto geometry = file.value("Window", "Geometry"))
        place.geometry = screenRectFromText(*geometry);
    place.maximized = file.value("Window", "Maximized", "false") == "true";
    place.splitter.clear();
    const std::string splitter = file.value("Window", "Splitter", "");
    for (std::size_t start = 0; !splitter.empty() && start <= splitter.size();) {
        std::size_t comma = splitter.find(',', start);
        if (comma == std::string::npos)
            comma = splitter.size();
        int width = 0;
        if (!wholeNumber(std::string_view(splitter).substr(start, comma - start), width) || width < 0) {
            place.splitter.clear();
            break;
        }
        place.splitter.push_back(width);
        start = comma + 1;
    }
    int tab = -1;
    if (wholeNumber(file.value("Window", "Tab", ""), tab) && tab >= 0)
        place.tab = tab;
    for (const std::string_view name : kDialogNames) {
        DialogPlace dialog{file.value("Window", std::string(name) + "Folder", ""),
                           file.value("Window", std::string(name) + "Filter", "")};
        if (!dialog.folder.empty() || !dialog.filter.empty())
            place.dialogs[std::string(name)] = dialog;
    }
}

void writeWindowPlace(ConfFile &file, const WindowPlace &place)
{
    if (place.geometry)
        file.setValue("Window", "Geometry", screenRectText(*place.geometry));
    setUnlessDefault(file, "Window", "Maximized", place.maximized ? "true" : "false", "false");
    std::string splitter;
    for (const int width : place.splitter) {
        if (!splitter.empty())
            splitter += ',';
        splitter += std::to_string(width);
    }
    setUnlessDefault(file, "Window", "Splitter", splitter);
    setUnlessDefault(file, "Window", "Tab", place.tab < 0 ? std::string() : std::to_string(place.tab));
    for (const std::string_view name : kDialogNames) {
        const auto found = place.dialogs.find(std::string(name));
        const DialogPlace dialog = found == place.dialogs.end() ? DialogPlace() : found->second;
        setUnlessDefault(file, "Window", std::string(name) + "Folder", dialog.folder);
        setUnlessDefault(file, "Window", std::string(name) + "Filter", dialog.filter);
    }
}

std::string_view talkersText(TalkerMode talkers)
{
    return talkers == TalkerMode::GPS ? "GPS" : "GNSS";
}

bool talkersFromText(std::string_view text, TalkerMode &talkers)
{
    for (const TalkerMode mode : {TalkerMode::GNSS, TalkerMode::GPS}) {
        if (sameLetters(text, talkersText(mode))) {
            talkers = mode;
            return true;
        }
    }
    return false;
}

void readConfSettings(const ConfFile &file, Settings &settings)
{
    if (const auto talkers = file.value("Filter", "Talkers"))
        talkersFromText(*talkers, settings.Talkers);
    if (const auto minimum = file.value("Filter", "MinQuality"))
        minQualityFromText(*minimum, settings.MinQuality);
    if (const auto checksums = file.value("Filter", "Checksums")) {
        if (checksums->empty())
            settings.Checksums = ChecksumMode::Default;
        else
            checksumModeFromText(*checksums, settings.Checksums);
    }
    if (const auto portName = file.value("COM", "PortName"))
        settings.PortName = *portName;
    readSurvey(file, settings);
}

void writeConfSettings(ConfFile &file, const Settings &settings)
{
    file.setValue("Filter", "Talkers", talkersText(settings.Talkers));
    file.setValue("Filter", "MinQuality", minQualityText(settings.MinQuality));
    file.setValue("Filter", "Checksums", checksumModeText(settings.Checksums));
    file.setValue("COM", "PortName", settings.PortName);
    file.setValue("Survey", "TargetR95", shortest(settings.TargetR95));
    file.setValue("Survey", "MinMinutes", std::to_string(settings.MinMinutes));
    file.setValue("Survey", "StopWhenReached", settings.StopWhenReached ? "true" : "false");
    file.setValue("Survey", "SaveWhenReached", settings.SaveWhenReached);
}

std::string confPathBeside(const std::string &iniPath)
{
    const std::size_t slash = iniPath.rfind('/');
    return (slash == std::string::npos ? std::string() : iniPath.substr(0, slash + 1))
           + std::string(kConfFileName);
}

} // namespace navorel
