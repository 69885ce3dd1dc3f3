#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace navorel {

// The new contents of a file, written piece by piece into a temporary file
// and put in place only by commit(): until then the file stays as it was,
// and a run that fails, or several outputs of which one cannot be made,
// leave nothing behind. Where it lands:
//   - a regular file (links followed) or a new one: the temporary file lies
//     beside it and is renamed over it, keeping mode (less set-id bits),
//     owner and group, so that a crash never leaves a torn file;
//   - a file with further hard links, or in a folder we may not write, or
//     reached through /proc (/dev/stdout): written in place at commit;
//   - a FIFO or a device: written to at commit, never replaced.
// Failures keep the system's reason as text.
class ReplacingFile
{
public:
    explicit ReplacingFile(std::string path);
    ~ReplacingFile(); // discards what was not committed
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // Makes the room for the new contents: false when the file cannot be
    // made there (a folder, a missing folder, no right to write).
    bool open();
    bool write(std::string_view bytes);
    // Puts head in place of the first headBytes bytes written so far.
    bool replaceHead(std::size_t headBytes, std::string_view head);
    // Puts the contents in place; false when that fails.
    bool commit();
    // Drops the contents; the file stays as it was.
    void discard();

    const std::string &path() const { return m_path; }
    // Replaced by a rename, not written into: the least likely to fail at commit.
    bool renames() const { return m_mode == Mode::Rename; }
    // The system's reason for the first failure ("No such file or directory"); empty while none.
    const std::string &reason() const { return m_reason; }

private:
    enum class Mode { Rename, InPlace, Stream };

    bool fail();
    bool usable();
    bool makeTemporary(const std::string &folder, int &fd, std::string &name) const;

    std::string m_path;
    std::string m_target; // links resolved, for a rename
    Mode m_mode = Mode::Rename;
    struct stat m_info
    {};
    bool m_exists = false;
    std::string m_folder;    // where the temporary file lies
    int m_fd = -1;           // the temporary file
    std::string m_temporary; // its name once it has one
    int m_targetFd = -1;     // in place: opened at open(), written at commit
    std::size_t m_written = 0;
    std::string m_reason;
};

} // namespace navorel
