#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace navorel {

inline constexpr std::string_view kConfFileName = "navorel.conf";

// navorel.conf: the settings NAVRL.ini has no room for, kept beside it so
// that copies on Windows can go on reading and rewriting the 28 lines. It
// is an INI file as QSettings reads and writes it ("[Group]", "Key=Value"),
// so a Qt program, a user's editor or a newer version can share it. Values
// are plain strings in UTF-8, quoted and escaped where QSettings would.
// A rewrite keeps every group, key, comment and line it was not asked to
// change, so keys of a newer version survive an older one.
class ConfFile
{
public:
    // Never fails: a missing or unreadable file reads as an empty one, and
    // lines that make no sense are kept as they are but give no value.
    static ConfFile read(const std::string &path);
    static ConfFile fromText(std::string_view text);

    // The value of key in group (both as QSettings names them, without
    // escapes; group not empty); none when the file does not have it. Where a key stands
    // twice, the later one counts, as for QSettings.
    std::optional<std::string> value(std::string_view group, std::string_view key) const;
    std::string value(std::string_view group, std::string_view key, std::string_view fallback) const;
    void setValue(std::string_view group, std::string_view key, std::string_view value);

    // The file as it will be written, LF line ends as QSettings writes them here.
    std::string text() const;
    // Replaces the file at path in one step; false when it cannot be written.
    bool write(const std::string &path) const;

private:
    struct Line
    {
        std::string text;
        std::string key; // unescaped; empty for a header, comment or blank line
    };
    struct Group
    {
        std::string name;        // unescaped; the first group holds the lines before any header
        std::vector<Line> lines; // the header line first, when there is one
    };

    const Line *findKey(std::string_view group, std::string_view key) const;

    std::vector<Group> m_groups = std::vector<Group>(1);
};

} // namespace navorel
