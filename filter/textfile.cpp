#include "filter/textfile.h"

#include "filter/replacingfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
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

// Reads to the end, or fails with EFBIG past maxBytes without reading much more.
bool readAll(int fd, std::string &bytes, std::size_t sizeHint, std::size_t maxBytes = SIZE_MAX - 1)
{
    bytes.clear();
    std::size_t capacity = std::min(sizeHint > 0 ? sizeHint + 1 : 65536, maxBytes + 1);
    std::size_t used = 0;
    bytes.resize(capacity);
    for (;;) {
        if (used == capacity) {
            if (used > maxBytes) {
                bytes.clear();
                errno = EFBIG;
                return false;
            }
            capacity = std::min(capacity * 2, maxBytes + 1);
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

RegularFileCheck checkRegularFile(const std::string &path)
{
    RegularFileCheck check;
    struct stat info
    {};
    if (::stat(path.c_str(), &info) != 0) {
        check.kind = errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Unreachable;
        check.reason = check.kind == FileKind::Missing ? "it does not exist" : std::strerror(errno);
        return check;
    }
    if (S_ISREG(info.st_mode)) {
        check.kind = FileKind::Regular;
    } else if (S_ISDIR(info.st_mode)) {
        check.kind = FileKind::Folder;
        check.reason = "it is a folder";
    } else if (S_ISFIFO(info.st_mode)) {
        check.kind = FileKind::Fifo;
        check.reason = "it is a pipe (FIFO)";
    } else if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        check.kind = FileKind::Device;
        check.reason = "it is a device";
    } else {
        check.kind = FileKind::Socket;
        check.reason = "it is a socket";
    }
    return check;
}

bool readRegularFileBytes(const std::string &path, std::string &bytes, std::size_t maxBytes)
{
    // O_NONBLOCK: opening a FIFO without a writer must not wait for one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info
    {};
    bool ok = ::fstat(fd, &info) == 0;
    if (ok && !S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        ok = false;
    }
    if (ok && static_cast<std::size_t>(info.st_size) > maxBytes) {
        errno = EFBIG;
        ok = false;
    }
    if (ok)
        ok = readAll(fd, bytes, static_cast<std::size_t>(info.st_size), maxBytes);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

FileWrite writeFileReplacing(const std::string &path, std::string_view bytes)
{
    return writeFileReplacing(path, std::span<const std::string_view>(&bytes, 1));
}

FileWrite writeFileReplacing(const std::string &path, std::span<const std::string_view> pieces)
{
    ReplacingFile file(path);
    bool ok = file.open();
    for (std::size_t i = 0; ok && i < pieces.size(); ++i)
        ok = file.write(pieces[i]);
    ok = ok && file.commit();
    return FileWrite{ok ? std::string() : file.reason()};
}

} // namespace navorel
