#include "filter/blockreader.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace navorel {

BlockReader::BlockReader(std::size_t blockBytes) : m_blockBytes(std::max<std::size_t>(1, blockBytes)) {}

bool BlockReader::readAll(int fd, const std::function<bool(std::string_view)> &consume)
{
    // A small file needs no more than its size (and a byte to see its end).
    std::size_t size = m_blockBytes;
    struct stat info
    {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        size = std::min(size, static_cast<std::size_t>(info.st_size) + 1);
    if (m_capacity < size) {
        // Not value-initialised: the kernel's read is the first write.
        m_buffer.reset(new char[size]);
        m_capacity = size;
    }
    for (;;) {
        std::size_t used = 0;
        bool atEnd = false;
        while (used < size) {
            const ssize_t n = ::read(fd, m_buffer.get() + used, size - used);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (n == 0) {
                atEnd = true;
                break;
            }
            used += static_cast<std::size_t>(n);
        }
        if (used > 0 && !consume(std::string_view(m_buffer.get(), used)))
            return true;
        if (atEnd)
            return true;
    }
}

} // namespace navorel
