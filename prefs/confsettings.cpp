#include "prefs/confsettings.h"

#include <algorithm>
#include <cctype>

namespace navorel {

namespace {

bool sameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x))
                      == std::toupper(static_cast<unsigned char>(y));
           });
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
}

void writeConfSettings(ConfFile &file, const Settings &settings)
{
    file.setValue("Filter", "Talkers", talkersText(settings.Talkers));
    file.setValue("Filter", "MinQuality", minQualityText(settings.MinQuality));
    file.setValue("Filter", "Checksums", checksumModeText(settings.Checksums));
    file.setValue("COM", "PortName", settings.PortName);
}

std::string confPathBeside(const std::string &iniPath)
{
    const std::size_t slash = iniPath.rfind('/');
    return (slash == std::string::npos ? std::string() : iniPath.substr(0, slash + 1))
           + std::string(kConfFileName);
}

} // namespace navorel
