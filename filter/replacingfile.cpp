#include "filter/replacingfile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/random.h>
#include <unistd.h>

namespace navorel {

namespace {

constexpr int kLinksMax = 40;
constexpr std::string_view kTemporaryMark = "~nvtmp-";
constexpr std::size_t kCopyBytes = 1 << 20;

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

struct Target
{
    std::string path;
    bool exists = false;
    bool throughProc = false; // /dev/stdout and the like name an open file, not a place
    struct stat info
    {};
};

// Follows symbolic links by hand so that a link to a file not made yet
// still leads to the place where it is to be made.
bool resolveTarget(const std::string &path, Target &target)
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
            target.path = current;
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

// Copies from's bytes from where it stands to its end into to.
bool copyRest(int from, int to)
{
    const std::unique_ptr<char[]> buffer(new char[kCopyBytes]);
    for (;;) {
        const ssize_t n = ::read(from, buffer.get(), kCopyBytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        if (!writeAll(to, std::string_view(buffer.get(), static_cast<std::size_t>(n))))
            return false;
    }
}

std::string temporaryFolder()
{
    const char *folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

} // namespace

ReplacingFile::ReplacingFile(std::string path) : m_path(std::move(path)) {}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::fail()
{
    if (m_reason.empty())
        m_reason = errno != 0 ? std::strerror(errno) : "unknown error";
    return false;
}

// An unnamed file in folder where the system has them (it vanishes with the
// process), else a named one: beside the target it is named as a leftover
// a later save can tell; elsewhere it is unlinked at once.
bool ReplacingFile::makeTemporary(const std::string &folder, int &fd, std::string &name) const
{
    name.clear();
    fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return true;
    if (m_mode != Mode::Rename) {
        char pattern[] = "/navorel-XXXXXX";
        std::string path = folder + pattern;
        fd = ::mkostemp(path.data(), O_CLOEXEC);
        if (fd >= 0)
            ::unlink(path.c_str());
        return fd >= 0;
    }
    name = folder + "/" + temporaryName(temporaryPrefix(folder, nameOf(m_target)));
    fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        name.clear();
    return fd >= 0;
}

// Open and nothing failed yet: a failed piece makes the whole file fail.
bool ReplacingFile::usable()
{
    if (!m_reason.empty())
        return false;
    if (m_fd >= 0)
        return true;
    errno = EBADF;
    return fail();
}

bool ReplacingFile::open()
{
    discard();
    m_reason.clear();
    m_mode = Mode::Rename;
    m_exists = false;
    errno = 0;
    if (m_path.empty()) {
        errno = ENOENT;
        return fail();
    }
    struct stat reached
    {};
    Target target;
    if (::stat(m_path.c_str(), &reached) == 0) {
        if (S_ISDIR(reached.st_mode)) {
            errno = EISDIR;
            return fail();
        }
        // A FIFO's reader or a device must get the bytes; never replace them.
        if (!S_ISREG(reached.st_mode))
            m_mode = Mode::Stream;
    }
    if (m_mode != Mode::Stream) {
        if (!resolveTarget(m_path, target))
            return fail();
        m_target = target.path;
        m_exists = target.exists;
        m_info = target.info;
        // One file under several names: a rename would split it.
        if (target.throughProc || (target.exists && target.info.st_nlink > 1))
            m_mode = Mode::InPlace;
    }
    if (m_mode == Mode::Rename) {
        m_folder = folderOf(m_target);
        removeLeftovers(m_folder, temporaryPrefix(m_folder, nameOf(m_target)));
        if (makeTemporary(m_folder, m_fd, m_temporary)) {
            mode_t mode = 0;
            if (m_exists) {
                // Root saving another user's file must leave it theirs;
                // set-id bits are never carried over to new contents.
                if (::fchown(m_fd, m_info.st_uid, m_info.st_gid) != 0)
                    static_cast<void>(::fchown(m_fd, static_cast<uid_t>(-1), m_info.st_gid));
                mode = m_info.st_mode & 0777;
            } else {
                const mode_t mask = ::umask(0);
                ::umask(mask);
                mode = 0666 & ~mask;
            }
            if (::fchmod(m_fd, mode) != 0) {
                fail();
                discard();
                return false;
            }
            return true;
        }
        // The folder is not ours to write; the file may still be.
        if ((errno != EACCES && errno != EPERM) || !m_exists)
            return fail();
        m_mode = Mode::InPlace;
    }
    if (m_mode == Mode::InPlace) {
        // Opened now, so that a file we may not write fails before anything is written.
        m_targetFd = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC);
        if (m_targetFd < 0)
            return fail();
    }
    m_folder = temporaryFolder();
    if (!makeTemporary(m_folder, m_fd, m_temporary)) {
        fail();
        discard();
        return false;
    }
    return true;
}

bool ReplacingFile::write(std::string_view bytes)
{
    if (!usable())
        return false;
    if (!writeAll(m_fd, bytes))
        return fail();
    m_written += bytes.size();
    return true;
}

bool ReplacingFile::replaceHead(std::size_t headBytes, std::string_view head)
{
    if (!usable())
        return false;
    if (headBytes > m_written) {
        errno = EINVAL;
        return fail();
    }
    if (head.size() == headBytes)
        return ::pwrite(m_fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size()) || fail();
    int fd = -1;
    std::string name;
    if (!makeTemporary(m_folder, fd, name))
        return fail();
    const bool ok = writeAll(fd, head) && ::lseek(m_fd, static_cast<off_t>(headBytes), SEEK_SET) >= 0
                    && copyRest(m_fd, fd);
    if (!ok) {
        fail();
        ::close(fd);
        if (!name.empty())
            ::unlink(name.c_str());
        return false;
    }
    ::close(m_fd);
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_fd = fd;
    m_temporary = name;
    m_written = m_written - headBytes + head.size();
    return true;
}

bool ReplacingFile::commit()
{
    if (!usable())
        return false;
    bool ok = true;
    if (m_mode == Mode::Rename) {
        ok = ::fsync(m_fd) == 0;
        // Named and renamed back to back: the name lives for two calls only.
        if (ok && m_temporary.empty()) {
            m_temporary = m_folder + "/" + temporaryName(temporaryPrefix(m_folder, nameOf(m_target)));
            ok = linkAnonymous(m_fd, m_temporary);
            if (!ok)
                m_temporary.clear();
        }
        ok = ok && ::rename(m_temporary.c_str(), m_target.c_str()) == 0;
        if (ok) {
            m_temporary.clear();
            syncFolder(m_folder);
        }
    } else {
        ok = ::lseek(m_fd, 0, SEEK_SET) == 0;
        if (ok && m_mode == Mode::InPlace) {
            // Not atomic, but the only way to keep hard links, and to save
            // a file whose folder we may not write.
            ok = ::ftruncate(m_targetFd, 0) == 0 && ::lseek(m_targetFd, 0, SEEK_SET) == 0
                 && copyRest(m_fd, m_targetFd) && ::fsync(m_targetFd) == 0;
        } else if (ok) {
            // Pipes and terminals cannot be synced; there is nothing to keep.
            const int target = ::open(m_path.c_str(), O_WRONLY | O_CLOEXEC);
            ok = target >= 0 && copyRest(m_fd, target);
            const int saved = errno;
            ok = target >= 0 && ::close(target) == 0 && ok;
            if (!ok && saved != 0)
                errno = saved;
        }
        if (ok && m_targetFd >= 0) {
            ok = ::close(m_targetFd) == 0;
            m_targetFd = -1;
        }
    }
    if (!ok) {
        fail();
        discard();
        return false;
    }
    discard();
    return true;
}

void ReplacingFile::discard()
{
    const int saved = errno;
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_targetFd >= 0)
        ::close(m_targetFd);
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_fd = -1;
    m_targetFd = -1;
    m_temporary.clear();
    m_written = 0;
    errno = saved;
}

} // namespace navorel
