#pragma once

#include <csignal>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

// OUT of navorel-record: a regular file appended to, or a FIFO, a device or
// /dev/stdout, written to only. Nothing else holds a pipe open, so a reader
// that goes away makes the writing fail instead of blocking it for ever.
class OutputFile
{
public:
    enum class Result { Done, Failed, Stopped };
    // What the look at OUT found.
    enum class Look { Same, Deleted, Replaced, Failed };

    explicit OutputFile(std::string path) : m_path(std::move(path)) {}
    ~OutputFile() { close(); }
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Set from a signal handler: a write that waits for a reader gives up
    // within a second once it is set, and so does waiting for a FIFO's reader.
    static void setStopFlag(const volatile std::sig_atomic_t *flag) { s_stop = flag; }

    // Opens OUT; a FIFO nobody reads yet is waited for (waiting says so).
    // A file a killed run left ending inside a line gets a line end first.
    Result open(const std::function<void(const std::string &)> &waiting);
    void close();
    // Writes all of the bytes, or says why not.
    Result write(std::string_view bytes);
    // Makes written lines reach the disk.
    void sync();
    // Whether the name still stands for the file being written (same device
    // and inode, not deleted). A deleted or replaced file is opened anew by
    // its name; of a deleted one, what was written since the last look is
    // written again into the new file.
    Look look();
    // Opens the name anew (log rotation).
    Result reopen();

    bool isRegular() const { return m_regular; }
    const std::string &path() const { return m_path; }
    // The reason of the last failure, and the bytes a stop left unwritten.
    const std::string &error() const { return m_error; }
    std::size_t unwritten() const { return m_unwritten; }

private:
    Result openFile(bool waitForReader);
    Result fail(int error);
    bool stopRequested() const { return s_stop != nullptr && *s_stop != 0; }

    static inline const volatile std::sig_atomic_t *s_stop = nullptr;
    std::string m_path;
    int m_fd = -1;
    bool m_regular = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    // The size at the last look that found OUT in place.
    off_t m_lookedAtSize = 0;
    std::string m_error;
    std::size_t m_unwritten = 0;
    std::function<void(const std::string &)> m_waiting;
};
