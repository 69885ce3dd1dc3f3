#include "tools/outputfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// After a stop was asked for, a reader gets this long to take the last lines.
constexpr long kStopGraceMs = 1000;

long nowMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

// A file left by a recording that was killed may end inside a line; the
// next line must not be glued to it.
bool endsInsideALine(int fd)
{
    const off_t size = ::lseek(fd, 0, SEEK_END);
    char last = '\n';
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n' && last != '\r';
}

// The bytes of a file from an offset to its end.
std::string tail(int fd, off_t from, off_t to)
{
    std::string bytes;
    char block[65536];
    while (from < to) {
        const ssize_t n =
            ::pread(fd, block, static_cast<std::size_t>(std::min<off_t>(to - from, sizeof block)), from);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        bytes.append(block, static_cast<std::size_t>(n));
        from += n;
    }
    return bytes;
}

} // namespace

OutputFile::Result OutputFile::open(const std::function<void(const std::string &)> &waiting)
{
    m_waiting = waiting;
    return openFile(true);
}

OutputFile::Result OutputFile::openFile(bool waitForReader)
{
    close();
    const char *path = m_path.c_str();
    // Not waiting: a FIFO nobody reads yet fails with ENXIO instead.
    int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0 && errno == ENXIO && waitForReader) {
        if (m_waiting)
            m_waiting("waiting for a reader of " + m_path);
        // The signal handlers do not restart calls: a stop ends the wait.
        while ((fd = ::open(path, O_WRONLY | O_APPEND | O_CLOEXEC)) < 0 && errno == EINTR
               && !stopRequested()) {
        }
        if (fd < 0 && errno == EINTR) {
            m_error = "stopped while waiting for a reader";
            return Result::Stopped;
        }
    }
    if (fd < 0)
        return fail(errno);
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(error);
    }
    m_regular = S_ISREG(info.st_mode);
    if (m_regular) {
        // Read as well: its last byte is looked at, and when it is deleted
        // its last lines are copied from it. Pipes are never opened so.
        const int both = ::open(path, O_RDWR | O_APPEND | O_CLOEXEC);
        struct stat same = {};
        if (both >= 0 && ::fstat(both, &same) == 0 && same.st_dev == info.st_dev
            && same.st_ino == info.st_ino) {
            ::close(fd);
            fd = both;
        } else if (both >= 0) {
            ::close(both);
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    } else {
        // A write that waits for a reader waits in poll(), which a signal ends.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    m_fd = fd;
    m_device = info.st_dev;
    m_inode = info.st_ino;
    m_lookedAtSize = m_regular ? ::lseek(fd, 0, SEEK_END) : 0;
    if (m_regular && endsInsideALine(fd))
        return write("\r\n");
    return Result::Done;
}

void OutputFile::close()
{
    if (m_fd >= 0) {
        sync();
        ::close(m_fd);
    }
    m_fd = -1;
}

OutputFile::Result OutputFile::fail(int error)
{
    m_error = error == EPIPE ? "nobody reads it any more (" + std::string(std::strerror(error)) + ")"
                             : std::string(std::strerror(error));
    return Result::Failed;
}

OutputFile::Result OutputFile::write(std::string_view bytes)
{
    m_unwritten = 0;
    std::size_t done = 0;
    long deadline = -1;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            int waitMs = -1;
            if (stopRequested()) {
                if (deadline < 0)
                    deadline = nowMs() + kStopGraceMs;
                waitMs = static_cast<int>(std::max(0L, deadline - nowMs()));
                if (waitMs == 0) {
                    m_unwritten = bytes.size() - done;
                    m_error = "stopped while it took no more";
                    return Result::Stopped;
                }
            }
            pollfd ready = {m_fd, POLLOUT, 0};
            ::poll(&ready, 1, waitMs); // a signal ends the wait: the stop flag is looked at again
            continue;
        }
        return fail(n == 0 ? EIO : errno);
    }
    return Result::Done;
}

void OutputFile::sync()
{
    if (m_regular && m_fd >= 0)
        ::fdatasync(m_fd);
}

OutputFile::Look OutputFile::look()
{
    struct stat mine = {};
    if (!m_regular || m_fd < 0 || ::fstat(m_fd, &mine) != 0)
        return Look::Same;
    struct stat named = {};
    const bool deleted = mine.st_nlink == 0;
    const bool there =
        ::stat(m_path.c_str(), &named) == 0 && named.st_dev == m_device && named.st_ino == m_inode;
    if (there && !deleted) {
        m_lookedAtSize = mine.st_size;
        return Look::Same;
    }
    // Kept open for the copy; a renamed file keeps what it got.
    const int old = m_fd;
    m_fd = -1;
    const std::string lost = deleted ? tail(old, m_lookedAtSize, mine.st_size) : std::string();
    if (!deleted)
        ::fdatasync(old);
    ::close(old);
    if (openFile(false) != Result::Done || (!lost.empty() && write(lost) != Result::Done))
        return Look::Failed;
    return deleted ? Look::Deleted : Look::Replaced;
}

OutputFile::Result OutputFile::reopen()
{
    return m_regular ? openFile(false) : Result::Done;
}
