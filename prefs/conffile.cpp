#include "prefs/conffile.h"

#include <iterator>

#include "filter/codepage.h"
#include "filter/textfile.h"
#include "filter/textlines.h"
#include "prefs/settingsfile.h"

namespace navorel {

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Keys and group names: letters, digits, "_", "-" and "." as they are, "/"
// as "\", anything else as %XX.
std::string escapedKey(std::string_view key)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
                   || c == '-' || c == '.') {
            out += c;
        } else {
            out += '%';
            out += hex[byte / 16];
            out += hex[byte % 16];
        }
    }
    return out;
}

std::string unescapedKey(std::string_view key)
{
    std::string out;
    std::size_t i = 0;
    while (i < key.size()) {
        if (key[i] == '\\') {
            out += '/';
            ++i;
            continue;
        }
        if (key[i] != '%' || i + 1 == key.size()) {
            out += key[i++];
            continue;
        }
        const bool wide = key[i + 1] == 'U';
        const std::size_t first = i + (wide ? 2 : 1);
        const std::size_t digits = wide ? 4 : 2;
        bool ok = first + digits <= key.size();
        unsigned value = 0;
        for (std::size_t d = 0; ok && d < digits; ++d) {
            ok = isHexDigit(key[first + d]);
            value = value * 16 + (ok ? static_cast<unsigned>(hexValue(key[first + d])) : 0);
        }
        if (!ok) {
            out += key[i++];
            continue;
        }
        if (wide)
            appendUtf8(out, static_cast<char16_t>(value));
        else
            out += static_cast<char>(value);
        i = first + digits;
    }
    return out;
}

// "\x1f": lower-case digits, no leading zero.
void appendHexEscape(std::string &out, unsigned char byte)
{
    static const char hex[] = "0123456789abcdef";
    out += "\\x";
    if (byte >= 16)
        out += hex[byte / 16];
    out += hex[byte % 16];
}

// A plain string value: "@" doubled at the start, control characters,
// quotes and backslashes escaped, the whole in quotes when it holds one of
// ";,=" or starts or ends with a blank.
std::string escapedValue(std::string_view value)
{
    std::string out;
    if (!value.empty() && value.front() == '@')
        out += '@';
    bool needsQuotes = false;
    bool escapeNextIfHex = false; // "\x1" followed by "2" would read as "\x12"
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextIfHex && isHexDigit(c)) {
            appendHexEscape(out, byte);
            continue;
        }
        escapeNextIfHex = false;
        switch (c) {
        case '\0':
            out += "\\0";
            escapeNextIfHex = true;
            break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += c;
            break;
        default:
            if (byte <= 0x1F) {
                appendHexEscape(out, byte);
                escapeNextIfHex = true;
            } else {
                out += c; // UTF-8 bytes go as they are
            }
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        return '"' + out + '"';
    return out;
}

// Where the value of a "Key=Value" line ends: at a ";" outside quotes.
std::string_view withoutComment(std::string_view raw)
{
    bool quoted = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\')
            ++i;
        else if (raw[i] == '"')
            quoted = !quoted;
        else if (raw[i] == ';' && !quoted)
            return raw.substr(0, i);
    }
    return raw;
}

std::string unescapedValue(std::string_view raw)
{
    static const char named[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                    {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                    {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    raw = withoutComment(raw);
    std::string out;
    bool quoted = false;
    bool anyQuotes = false;
    std::size_t keep = 0; // blanks up to here are part of the value
    std::size_t i = 0;
    while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
        ++i;
    while (i < raw.size()) {
        const char c = raw[i++];
        if (c == '"') {
            quoted = !quoted;
            anyQuotes = true;
            keep = out.size();
            if (!quoted) {
                while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
                    ++i;
            }
            continue;
        }
        if (c != '\\') {
            out += c;
            if (quoted || (c != ' ' && c != '\t'))
                keep = out.size();
            continue;
        }
        if (i == raw.size())
            break;
        const char e = raw[i++];
        bool done = false;
        for (const auto &pair : named) {
            if (e == pair[0]) {
                out += pair[1];
                done = true;
                break;
            }
        }
        if (!done && e == 'x') {
            unsigned value = 0;
            while (i < raw.size() && isHexDigit(raw[i]))
                value = value * 16 + static_cast<unsigned>(hexValue(raw[i++]));
            appendUtf8(out, static_cast<char16_t>(value & 0xFFFF));
        } else if (!done && e >= '0' && e <= '7') {
            unsigned value = static_cast<unsigned>(e - '0');
            while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7')
                value = value * 8 + static_cast<unsigned>(raw[i++] - '0');
            appendUtf8(out, static_cast<char16_t>(value & 0xFFFF));
        }
        keep = out.size();
    }
    if (!anyQuotes)
        out.resize(keep);
    if (out.size() >= 2 && out[0] == '@' && out[1] == '@')
        out.erase(0, 1);
    return out;
}

} // namespace

ConfFile ConfFile::read(const std::string &path)
{
    // Only a regular file: a FIFO under the name must not hang the start;
    // one larger than any settings file is some other file, never read whole.
    std::string bytes;
    if (!readRegularFileBytes(path, bytes, kSettingsFileBytesMax))
        return ConfFile();
    return fromText(bytes);
}

ConfFile ConfFile::fromText(std::string_view text)
{
    ConfFile file;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = findLineBreak(text.data(), start, text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end < text.size() ? afterLineBreak(text.data(), end, text.size()) : end;

        const std::string_view content = trimmed(line);
        if (!content.empty() && content.front() == '[') {
            const std::size_t close = content.find(']');
            Group group;
            group.name = unescapedKey(content.substr(1, close == std::string_view::npos ? close : close - 1));
            group.lines.push_back({std::string(line), {}});
            file.m_groups.push_back(std::move(group));
            continue;
        }
        Line entry{std::string(line), {}};
        const std::size_t equals = content.find('=');
        if (!content.empty() && content.front() != ';' && equals != std::string_view::npos
            && content.substr(0, equals).find_first_of(";\"") == std::string_view::npos)
            entry.key = unescapedKey(trimmed(content.substr(0, equals)));
        file.m_groups.back().lines.push_back(std::move(entry));
    }
    return file;
}

namespace {

std::string_view rawValue(std::string_view line)
{
    return line.substr(line.find('=') + 1);
}

} // namespace

std::optional<std::string> ConfFile::value(std::string_view group, std::string_view key) const
{
    const Line *line = findKey(group, key);
    if (line == nullptr)
        return std::nullopt;
    return unescapedValue(rawValue(line->text));
}

std::string ConfFile::value(std::string_view group, std::string_view key, std::string_view fallback) const
{
    const std::optional<std::string> found = value(group, key);
    return found ? *found : std::string(fallback);
}

const ConfFile::Line *ConfFile::findKey(std::string_view group, std::string_view key) const
{
    // The lines before the first header belong to no group we ask for.
    const Line *found = nullptr;
    for (std::size_t g = 1; g < m_groups.size(); ++g) {
        if (m_groups[g].name != group)
            continue;
        for (const Line &line : m_groups[g].lines) {
            if (!line.key.empty() && line.key == key)
                found = &line;
        }
    }
    return found;
}

void ConfFile::setValue(std::string_view group, std::string_view key, std::string_view value)
{
    std::string text = escapedKey(key) + "=" + escapedValue(value);
    if (const Line *line = findKey(group, key)) {
        const_cast<Line *>(line)->text = std::move(text);
        return;
    }
    Group *target = nullptr;
    for (std::size_t g = 1; g < m_groups.size(); ++g) {
        if (m_groups[g].name == group)
            target = &m_groups[g];
    }
    if (target == nullptr) {
        // A blank line between groups, as QSettings writes them.
        Group &last = m_groups.back();
        if (!last.lines.empty() && !trimmed(last.lines.back().text).empty())
            last.lines.push_back({});
        std::string header = "[";
        header.append(escapedKey(group)).append("]");
        m_groups.push_back({std::string(group), {{std::move(header), {}}}});
        target = &m_groups.back();
    }
    // After the group's last line that is not blank, so that the blank
    // line before the next group stays where it is.
    auto at = target->lines.end();
    while (at != target->lines.begin() + 1 && trimmed(std::prev(at)->text).empty())
        --at;
    target->lines.insert(at, {std::move(text), std::string(key)});
}

std::string ConfFile::text() const
{
    std::string out;
    for (const Group &group : m_groups) {
        for (const Line &line : group.lines) {
            out += line.text;
            out += '\n';
        }
    }
    return out;
}

bool ConfFile::write(const std::string &path) const
{
    return writeFileReplacing(path, text());
}

} // namespace navorel
