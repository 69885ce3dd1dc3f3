#include "filter/textfile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace navorel {

std::string fillIn(std::string_view format, std::string_view text)
{
    std::string result(format);
    const std::size_t at = result.find("%s");
    if (at != std::string::npos)
        result.replace(at, 2, text);
    return result;
}

namespace {

bool readAll(int fd, std::string &bytes, std::size_t sizeHint)
{
    bytes.clear();
    std::size_t capacity = sizeHint > 0 ? sizeHint + 1 : 65536;
    std::size_t used = 0;
    bytes.resize(capacity);
    for (;;) {
        if (used == capacity) {
            capacity *= 2;
            bytes.resize(capacity);
        }
        const ssize_t n = ::read(fd, bytes.data() + used, capacity - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return true;
}

bool writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool readFileBytes(const std::string &path, std::string &bytes)
{
    if (path == "-")
        return readAll(STDIN_FILENO, bytes, 0);

    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {};
    bool ok = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    if (ok)
        ok = readAll(fd, bytes, S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0);
    ::close(fd);
    return ok;
}

bool writeFileReplacing(const std::string &path, std::string_view bytes)
{
    return writeFileReplacing(path, std::span<const std::string_view>(&bytes, 1));
}

bool writeFileReplacing(const std::string &path, std::span<const std::string_view> pieces)
{
    if (path.empty())
        return false;
    struct stat target
    {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode))
        return false;

    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    // mkstemp makes the file private; a replaced file keeps its mode, a new
    // one gets the mode any new file would get.
    mode_t mode = 0;
    if (exists) {
        mode = target.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0;
    for (const std::string_view bytes : pieces)
        ok = ok && writeAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

} // namespace navorel
