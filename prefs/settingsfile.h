#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "filter/settings.h"
#include "filter/textlines.h"

namespace navorel {

inline constexpr std::string_view kSettingsFileName = "NAVRL.ini";
inline constexpr std::string_view kWrongSettingsFile = "Wrong INI File. Check the Preferences.";

// The seventeen values in the order the settings file stores them.
enum class SettingKey {
    Help,
    Progress,
    Respage,
    COMclr,
    ToolBar,
    IDF,
    GSA,
    Valid,
    UTC,
    Acc,
    Sat,
    SatTime,
    Port,
    Baud,
    Data,
    Parity,
    Stop,
};

// Takes the values of a settings file one at a time, in file order, as
// they are read: booleans as 0 or 1, IDF as the identifier's position,
// SatTime within 1 to 60, list indexes with -1 for none. A read that stops
// leaves the values given before it.
class SettingsTarget
{
public:
    virtual ~SettingsTarget() = default;
    virtual void setValue(SettingKey key, int value) = 0;
};

// Gives the values to a plain settings record.
class SettingsRecordTarget : public SettingsTarget
{
public:
    explicit SettingsRecordTarget(Settings &settings) : m_settings(settings) {}
    void setValue(SettingKey key, int value) override;

private:
    Settings &m_settings;
};

// A value of the record in the form SettingsTarget takes it.
int settingValue(const Settings &settings, SettingKey key);

struct SettingsFileRead
{
    enum class Status {
        Read,      // every value was read
        WrongFile, // missing, empty or three lines or fewer: nothing changed
        Failed,    // stopped at errorLine with errorString
    };
    Status status = Status::Read;
    std::string errorString; // Windows-1252
    std::size_t errorLine = 0;
    std::string reason; // WrongFile: why, in English ("it does not exist")
};

// Settings files larger than this are no settings files (NAVRL.ini has 28
// short lines, navorel.conf a few groups): they are never read whole.
inline constexpr std::size_t kSettingsFileBytesMax = 1 << 20;

// The 28 lines of the settings file, each ending in CR LF.
std::string settingsFileText(const Settings &settings);

// Replaces the file at path with the settings; false when it cannot be written.
bool writeSettingsFile(const std::string &path, const Settings &settings);

// Reads values by their line place after the four section headers, which
// must come in the order Config, ToolBar, Filter, COM. Key names are never
// compared; a boolean is on when its line holds "true" anywhere.
SettingsFileRead readSettingsLines(const TextLines &lines, SettingsTarget &target);
SettingsFileRead readSettingsFile(const std::string &path, SettingsTarget &target);
SettingsFileRead readSettingsFile(const std::string &path, Settings &settings);

} // namespace navorel
