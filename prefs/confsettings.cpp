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

} // namespace

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
