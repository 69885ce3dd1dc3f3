#include "filter/textfile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
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

bool writeAll(int fd, std::span<const std::string_view> pieces)
{
    for (const std::string_view bytes : pieces) {
        if (!writeAll(fd, bytes))
            return false;
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

bool readRegularFileBytes(const std::string &path, std::string &bytes)
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
    if (ok)
        ok = readAll(fd, bytes, static_cast<std::size_t>(info.st_size));
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

namespace {

constexpr int kLinksMax = 40;
constexpr std::string_view kTemporaryMark = "~nvtmp-";

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct SaveTarget
{
    std::string path;
    bool exists = false;
    bool throughProc = false; // /dev/stdout and the like name an open file, not a place
    struct stat info
    {};
};

// Follows symbolic links by hand so that a link to a file not made yet
// still leads to the place where it is to be made.
bool resolveTarget(const std::string &path, SaveTarget &target)
{
    std::string current = path;
    for (int i = 0; i < kLinksMax; ++i) {
        if (::lstat(current.c_str(), &target.info) != 0) {
            if (errno != ENOENT)
                return false;
            target.path = current;
            return true;
        }
        if (!S_ISLNK(target.info.st_mode)) {
            target.path = current;
            target.exists = true;
            return true;
        }
        if (current.rfind("/proc/", 0) == 0) {
            target.throughProc = true;
            return true;
        }
        std::string link(4096, '\0');
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0)
            return false;
        link.resize(static_cast<std::size_t>(length));
        current = link.front() == '/' ? link : folderOf(current) + "/" + link;
    }
    errno = ELOOP;
    return false;
}

// Truncates and writes the file itself: not atomic, but the only way to
// keep hard links, and to save a file whose folder we may not write.
bool writeInPlace(const std::string &path, std::span<const std::string_view> bytes, bool regular)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | (regular ? O_TRUNC : 0));
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes);
    // Pipes and terminals cannot be synced; there is nothing to keep.
    if (ok && regular)
        ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

std::size_t nameMax(const std::string &folder)
{
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

// ".NAME~nvtmp-PID-RANDOM", NAME shortened so that the whole stays within
// the folder's name limit. The process id lets a later save tell the
// leftover of a killed save from one still being written.
std::string temporaryPrefix(const std::string &folder, const std::string &name)
{
    const std::size_t room = nameMax(folder) - 1 - kTemporaryMark.size() - 8 - 1 - 8;
    std::string prefix = ".";
    prefix.append(name, 0, room).append(kTemporaryMark);
    return prefix;
}

std::string temporaryName(const std::string &prefix)
{
    unsigned random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) != sizeof random)
        random = static_cast<unsigned>(std::clock()) ^ static_cast<unsigned>(::time(nullptr));
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%x-%08x", static_cast<unsigned>(::getpid()), random);
    return prefix + suffix;
}

// Removes what saves of the same file left behind when they were killed.
void removeLeftovers(const std::string &folder, const std::string &prefix)
{
    DIR *dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.substr(0, prefix.size()) != prefix)
            continue;
        const unsigned long pid = std::strtoul(std::string(name.substr(prefix.size())).c_str(), nullptr, 16);
        if (pid == 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

bool linkAnonymous(int fd, const std::string &name)
{
    // AT_EMPTY_PATH needs a capability; the /proc way works for anyone.
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)
        return true;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

void syncFolder(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

enum class Replaced { Done, NoTemporary, Failed };

Replaced replaceByRename(const SaveTarget &target, std::span<const std::string_view> bytes)
{
    const std::string folder = folderOf(target.path);
    const std::string prefix = temporaryPrefix(folder, nameOf(target.path));
    removeLeftovers(folder, prefix);

    // An unnamed file vanishes with the process; it gets a name only once
    // it is complete, just before the rename.
    bool anonymous = true;
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    std::string temporary = folder + "/" + temporaryName(prefix);
    if (fd < 0) {
        anonymous = false;
        fd = ::open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno == EACCES || errno == EPERM ? Replaced::NoTemporary : Replaced::Failed;
    }

    mode_t mode = 0;
    if (target.exists) {
        // Root saving another user's file must leave it theirs; set-id bits
        // are never carried over to new contents.
        if (::fchown(fd, target.info.st_uid, target.info.st_gid) != 0)
            static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), target.info.st_gid));
        mode = target.info.st_mode & 0777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    // Named and renamed back to back: the name lives for two calls only.
    if (ok && anonymous)
        ok = linkAnonymous(fd, temporary);
    if (ok)
        ok = ::rename(temporary.c_str(), target.path.c_str()) == 0;
    const int saved = errno;
    if (!ok)
        ::unlink(temporary.c_str());
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        errno = saved;
        return Replaced::Failed;
    }
    syncFolder(folder);
    return Replaced::Done;
}

} // namespace

bool writeFileReplacing(const std::string &path, std::string_view bytes)
{
    return writeFileReplacing(path, std::span<const std::string_view>(&bytes, 1));
}

bool writeFileReplacing(const std::string &path, std::span<const std::string_view> bytes)
{
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    struct stat reached
    {};
    if (::stat(path.c_str(), &reached) == 0) {
        if (S_ISDIR(reached.st_mode)) {
            errno = EISDIR;
            return false;
        }
        // A FIFO's reader or a device must get the bytes; never replace them.
        if (!S_ISREG(reached.st_mode))
            return writeInPlace(path, bytes, false);
    }
    SaveTarget target;
    if (!resolveTarget(path, target))
        return false;
    if (target.throughProc)
        return writeInPlace(path, bytes, true);
    // One file under several names: a rename would split it.
    if (target.exists && target.info.st_nlink > 1)
        return writeInPlace(target.path, bytes, true);
    switch (replaceByRename(target, bytes)) {
    case Replaced::Done: return true;
    case Replaced::Failed: return false;
    case Replaced::NoTemporary: break;
    }
    // The folder is not ours to write, the file may still be.
    return target.exists && writeInPlace(target.path, bytes, true);
}

} // namespace navorel
