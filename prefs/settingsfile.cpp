#include "prefs/settingsfile.h"

#include <cerrno>

#include <iterator>

#include "filter/textfile.h"
#include "filter/wholenumber.h"

namespace navorel {

namespace {

const char *boolText(bool value)
{
    return value ? "true" : "false";
}

// An index outside the list selects no entry.
int listIndex(std::int64_t value, std::size_t entries)
{
    return value >= 0 && value < static_cast<std::int64_t>(entries) ? static_cast<int>(value) : -1;
}

class SettingsReader
{
public:
    SettingsReader(const TextLines &lines, SettingsTarget &target) : m_lines(lines), m_target(target) {}

    SettingsFileRead read();

private:
    bool findHeader(std::string_view header, std::size_t from, std::size_t &index);
    bool line(std::size_t index, std::string_view &text);
    bool readBool(std::size_t index, SettingKey key);
    bool readNumber(std::size_t index, std::int64_t &value);
    bool fail(std::string message, std::size_t index);

    const TextLines &m_lines;
    SettingsTarget &m_target;
    SettingsFileRead m_result;
};

bool SettingsReader::fail(std::string message, std::size_t index)
{
    m_result.status = SettingsFileRead::Status::Failed;
    m_result.errorString = std::move(message);
    m_result.errorLine = index + 1;
    return false;
}

bool SettingsReader::findHeader(std::string_view header, std::size_t from, std::size_t &index)
{
    for (index = from; index < m_lines.size(); ++index) {
        if (m_lines[index].find(header) != std::string_view::npos)
            return true;
    }
    return fail("The settings file has no section " + std::string(header) + " where it is expected.",
                m_lines.size());
}

bool SettingsReader::line(std::size_t index, std::string_view &text)
{
    if (index >= m_lines.size())
        return fail("The settings file ends before line " + std::to_string(index + 1) + ".", index);
    text = m_lines[index];
    return true;
}

bool SettingsReader::readBool(std::size_t index, SettingKey key)
{
    std::string_view text;
    if (!line(index, text))
        return false;
    m_target.setValue(key, text.find("true") != std::string_view::npos ? 1 : 0);
    return true;
}

bool SettingsReader::readNumber(std::size_t index, std::int64_t &value)
{
    std::string_view text;
    if (!line(index, text))
        return false;
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos)
        text.remove_prefix(equals + 1);
    if (!parseWholeNumber(text, value))
        return fail(notAWholeNumberMessage(text), index);
    return true;
}

SettingsFileRead SettingsReader::read()
{
    if (m_lines.size() <= 3) {
        m_result.status = SettingsFileRead::Status::WrongFile;
        m_result.errorString = kWrongSettingsFile;
        m_result.reason =
            m_lines.empty() ? "it is empty" : "it has only " + std::to_string(m_lines.size()) + " lines";
        return m_result;
    }

    std::size_t config = 0;
    if (!findHeader("[Config]", 0, config))
        return m_result;
    for (const auto &[offset, key] : {std::pair{1, SettingKey::Help},
                                      {2, SettingKey::Progress},
                                      {3, SettingKey::Respage},
                                      {4, SettingKey::COMclr}}) {
        if (!readBool(config + offset, key))
            return m_result;
    }

    std::size_t toolBar = 0;
    if (!findHeader("[ToolBar]", config + 5, toolBar) || !readBool(toolBar + 1, SettingKey::ToolBar))
        return m_result;

    std::size_t filter = 0;
    std::string_view idf;
    if (!findHeader("[Filter]", toolBar + 2, filter) || !line(filter + 1, idf))
        return m_result;
    m_target.setValue(SettingKey::IDF, idf.find("IDF=RMC") != std::string_view::npos ? 0 : 1);
    for (const auto &[offset, key] : {std::pair{2, SettingKey::GSA},
                                      {3, SettingKey::Valid},
                                      {4, SettingKey::UTC},
                                      {5, SettingKey::Acc},
                                      {6, SettingKey::Sat}}) {
        if (!readBool(filter + offset, key))
            return m_result;
    }
    std::int64_t number = 0;
    if (!readNumber(filter + 7, number))
        return m_result;
    m_target.setValue(SettingKey::SatTime, clampSatTime(number));

    std::size_t com = 0;
    if (!findHeader("[COM]", filter + 8, com))
        return m_result;
    const std::pair<SettingKey, std::size_t> comValues[] = {
        {SettingKey::Port, std::size(kPortEntries)}, {SettingKey::Baud, std::size(kBaudEntries)},
        {SettingKey::Data, std::size(kDataEntries)}, {SettingKey::Parity, std::size(kParityEntries)},
        {SettingKey::Stop, std::size(kStopEntries)},
    };
    for (std::size_t i = 0; i < std::size(comValues); ++i) {
        if (!readNumber(com + 1 + i, number))
            return m_result;
        m_target.setValue(comValues[i].first, listIndex(number, comValues[i].second));
    }
    return m_result;
}

} // namespace

void SettingsRecordTarget::setValue(SettingKey key, int value)
{
    const bool on = value != 0;
    switch (key) {
    case SettingKey::Help: m_settings.Help = on; break;
    case SettingKey::Progress: m_settings.Progress = on; break;
    case SettingKey::Respage: m_settings.Respage = on; break;
    case SettingKey::COMclr: m_settings.COMclr = on; break;
    case SettingKey::ToolBar: m_settings.ToolBar = on; break;
    case SettingKey::IDF: m_settings.IDF = value == 0 ? PositionSentence::RMC : PositionSentence::GGA; break;
    case SettingKey::GSA: m_settings.GSA = on; break;
    case SettingKey::Valid: m_settings.Valid = on; break;
    case SettingKey::UTC: m_settings.UTC = on; break;
    case SettingKey::Acc: m_settings.Acc = on; break;
    case SettingKey::Sat: m_settings.Sat = on; break;
    case SettingKey::SatTime: m_settings.SatTime = value; break;
    case SettingKey::Port: m_settings.Port = value; break;
    case SettingKey::Baud: m_settings.Baud = value; break;
    case SettingKey::Data: m_settings.Data = value; break;
    case SettingKey::Parity: m_settings.Parity = value; break;
    case SettingKey::Stop: m_settings.Stop = value; break;
    }
}

int settingValue(const Settings &s, SettingKey key)
{
    switch (key) {
    case SettingKey::Help: return s.Help;
    case SettingKey::Progress: return s.Progress;
    case SettingKey::Respage: return s.Respage;
    case SettingKey::COMclr: return s.COMclr;
    case SettingKey::ToolBar: return s.ToolBar;
    case SettingKey::IDF: return static_cast<int>(s.IDF);
    case SettingKey::GSA: return s.GSA;
    case SettingKey::Valid: return s.Valid;
    case SettingKey::UTC: return s.UTC;
    case SettingKey::Acc: return s.Acc;
    case SettingKey::Sat: return s.Sat;
    case SettingKey::SatTime: return s.SatTime;
    case SettingKey::Port: return s.Port;
    case SettingKey::Baud: return s.Baud;
    case SettingKey::Data: return s.Data;
    case SettingKey::Parity: return s.Parity;
    case SettingKey::Stop: return s.Stop;
    }
    return 0;
}

std::string settingsFileText(const Settings &s)
{
    std::string text = "Novarel Preferences Version " NAVOREL_VERSION "\r\n"
                       "; Navorel " NAVOREL_VERSION " by the Navorel developers\r\n"
                       "; do not edit this file, use the preferences dialog\r\n";
    const auto add = [&text](std::string_view key, std::string_view value) {
        text += key;
        text += '=';
        text += value;
        text += "\r\n";
    };
    text += " \r\n[Config]\r\n";
    add("Help", boolText(s.Help));
    add("Progress", boolText(s.Progress));
    add("Respage", boolText(s.Respage));
    add("COMclr", boolText(s.COMclr));
    text += " \r\n[ToolBar]\r\n";
    add("ToolBar", boolText(s.ToolBar));
    text += " \r\n[Filter]\r\n";
    add("IDF", s.IDF == PositionSentence::RMC ? "RMC" : "GGA");
    add("GSA", boolText(s.GSA));
    add("Valid", boolText(s.Valid));
    add("UTC", boolText(s.UTC));
    add("Acc", boolText(s.Acc));
    add("Sat", boolText(s.Sat));
    add("SatTime", std::to_string(s.SatTime));
    text += " \r\n[COM]\r\n";
    add("Port", std::to_string(s.Port));
    add("Baud", std::to_string(s.Baud));
    add("Data", std::to_string(s.Data));
    add("Parity", std::to_string(s.Parity));
    add("Stop", std::to_string(s.Stop));
    return text;
}

bool writeSettingsFile(const std::string &path, const Settings &settings)
{
    return writeFileReplacing(path, settingsFileText(settings));
}

SettingsFileRead readSettingsLines(const TextLines &lines, SettingsTarget &target)
{
    return SettingsReader(lines, target).read();
}

SettingsFileRead readSettingsFile(const std::string &path, SettingsTarget &target)
{
    // A FIFO or a folder under the file's name is no settings file: reading
    // a FIFO would wait for a writer that never comes.
    const RegularFileCheck check = checkRegularFile(path);
    if (!check.regular()) {
        SettingsFileRead result = readSettingsLines(TextLines(), target);
        result.reason = check.reason;
        return result;
    }
    std::string bytes;
    if (!readRegularFileBytes(path, bytes, kSettingsFileBytesMax)) {
        // 28 short lines: anything this large is some other file, never read whole.
        if (errno == EFBIG) {
            SettingsFileRead result = readSettingsLines(TextLines(), target);
            result.reason = "it is larger than 1 MB";
            return result;
        }
        SettingsFileRead result;
        result.status = SettingsFileRead::Status::Failed;
        result.errorString = fillIn(kCannotOpenFile, path);
        return result;
    }
    return readSettingsLines(TextLines::fromText(std::move(bytes)), target);
}

SettingsFileRead readSettingsFile(const std::string &path, Settings &settings)
{
    SettingsRecordTarget target(settings);
    return readSettingsFile(path, target);
}

} // namespace navorel
