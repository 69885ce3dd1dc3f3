#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace navorel {

// Reads a file or a stream to its end in blocks, into one buffer that is
// reused: a log of any size costs one block of memory, and no byte of it is
// zero-filled or copied before the kernel writes it there.
class BlockReader
{
public:
    static constexpr std::size_t kDefaultBlockBytes = 4 << 20;

    explicit BlockReader(std::size_t blockBytes = kDefaultBlockBytes);

    // Hands every block read from fd to consume, which returns false to stop
    // reading. A block is filled before it is handed on, so that a pipe's
    // small reads do not cut the text into small blocks. False when a read
    // fails; errno then tells why.
    bool readAll(int fd, const std::function<bool(std::string_view)> &consume);

private:
    std::size_t m_blockBytes;
    std::size_t m_capacity = 0;
    std::unique_ptr<char[]> m_buffer;
};

} // namespace navorel
