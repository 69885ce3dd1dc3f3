#include "filter/blockreader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "filter/hugepages.h"

namespace navorel {

BlockReader::BlockReader(std::size_t blockBytes) : m_blockBytes(std::max<std::size_t>(1, blockBytes)) {}

BlockReader::~BlockReader() = default;

void BlockReader::fill(int fd, Block &block, std::size_t size)
{
    if (block.capacity < size) {
        // Not value-initialised: the kernel's read is the first write.
        block.bytes.reset(new char[size]);
        block.capacity = size;
        adviseHugePages(block.bytes.get(), size);
    }
    block.used = 0;
    block.atEnd = false;
    block.error = 0;
    while (block.used < size) {
        const ssize_t n = ::read(fd, block.bytes.get() + block.used, size - block.used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            block.error = errno;
            return;
        }
        if (n == 0) {
            block.atEnd = true;
            return;
        }
        block.used += static_cast<std::size_t>(n);
    }
}

bool BlockReader::readAll(int fd, const std::function<bool(std::string_view)> &consume)
{
    // A small file needs no more than its size (and a byte to see its end).
    std::size_t size = m_blockBytes;
    struct stat info
    {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        if (info.st_size > 0)
            size = std::min(size, static_cast<std::size_t>(info.st_size) + 1);
        // A log not yet in memory comes off the disk in longer runs.
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    }

    Block *current = &m_blocks[0];
    Block *next = &m_blocks[1];
    fill(fd, *current, size);
    for (;;) {
        if (current->error != 0) {
            errno = current->error;
            return false;
        }
        const std::string_view bytes(current->bytes.get(), current->used);
        if (current->atEnd) {
            if (!bytes.empty())
                consume(bytes);
            return true;
        }
        std::future<void> reading = std::async(std::launch::async, [&] { fill(fd, *next, size); });
        const bool goOn = consume(bytes);
        reading.get();
        if (!goOn)
            return true;
        std::swap(current, next);
    }
}

} // namespace navorel
