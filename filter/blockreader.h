#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace navorel {

// Reads a file or a stream to its end in blocks, into two buffers that are
// reused: a log of any size costs two blocks of memory, and no byte of them
// is zero-filled or copied before the kernel writes it there. The next block
// is read while the last one is worked on.
class BlockReader
{
public:
    static constexpr std::size_t kDefaultBlockBytes = 4 << 20;

    explicit BlockReader(std::size_t blockBytes = kDefaultBlockBytes);
    ~BlockReader();

    // Hands every block read from fd to consume, in order, which returns
    // false to stop reading. A block is filled before it is handed on, so
    // that a pipe's small reads do not cut the text into small blocks. False
    // when a read fails; errno then tells why.
    bool readAll(int fd, const std::function<bool(std::string_view)> &consume);

private:
    struct Block
    {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
        bool atEnd = false;
        int error = 0;
    };
    void fill(int fd, Block &block, std::size_t size);

    std::size_t m_blockBytes;
    Block m_blocks[2];
};

} // namespace navorel
