#pragma once

#include <cstddef>
#include <cstdint>
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

// Why a path cannot be read as a regular file.
enum class FileKind {
    Regular,
    Missing,
    Folder,
    Fifo,
    Device,
    Socket,
    Unreachable, // no right to look, a loop of links, ...
};

struct RegularFileCheck
{
    FileKind kind = FileKind::Missing;
    std::string reason; // English, empty for a regular file: "it is a folder"

    bool regular() const { return kind == FileKind::Regular; }
};

// Tells whether path (links followed) is a regular file, and what it is
// when not. Reading anything else may never end (a FIFO, /dev/zero).
RegularFileCheck checkRegularFile(const std::string &path);

// Reads path only when it is a regular file: a FIFO or device is refused
// without blocking on it. False with errno set otherwise; EFBIG for a file
// larger than maxBytes, which is never read whole.
bool readRegularFileBytes(const std::string &path, std::string &bytes, std::size_t maxBytes = SIZE_MAX - 1);

// The outcome of a save: the system's reason when it failed, so that a
// message can say what to do. Converts to true when the file was written,
// so that callers asking only that read as before.
struct FileWrite
{
    std::string reason; // "No such file or directory"; empty when written

    bool ok() const { return reason.empty(); }
    operator bool() const { return ok(); }
};

// Saves bytes as the new contents of path (see ReplacingFile). A regular file, reached through
// any symbolic links, is replaced by a fully written new file renamed over
// it, keeping its mode (less set-id bits), owner and group, so that a crash
// or a full disk never leaves a torn file. It is written in place when it
// has further hard links, or when no new file can be made in its folder.
// Anything else (a FIFO, a device, /dev/stdout) is written directly.
FileWrite writeFileReplacing(const std::string &path, std::string_view bytes);
// The same for a file made of pieces, written as they lie.
FileWrite writeFileReplacing(const std::string &path, std::span<const std::string_view> pieces);

} // namespace navorel
