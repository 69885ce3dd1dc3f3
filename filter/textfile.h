#pragma once

#include <span>
#include <string>
#include <string_view>

namespace navorel {

// The messages of failed file operations, in Windows-1252; %s is the path.
inline constexpr std::string_view kCannotOpenFile = "Datei %s kann nicht ge\xF6"
                                                    "ffnet werden";
inline constexpr std::string_view kCannotCreateFile = "Datei %s kann nicht erstellt werden";

// The format with its %s replaced by text.
std::string fillIn(std::string_view format, std::string_view text);

// Reads a whole file, or standard input for "-", as bytes. False when it
// cannot be read (missing, no right to read, a folder).
bool readFileBytes(const std::string &path, std::string &bytes);

// Writes bytes to a new file beside path and renames it over path, so that
// a crash or a full disk never leaves a torn file. False when that fails.
bool writeFileReplacing(const std::string &path, std::string_view bytes);
// The same for a file made of pieces, written as they lie.
bool writeFileReplacing(const std::string &path, std::span<const std::string_view> pieces);

} // namespace navorel
