#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace navorel {

// Makes every lone CR and every lone LF of a text read block by block a
// CR LF, as the text area holds a file. A block whose breaks are all CR LF
// already is used where it lies; a CR at a block's end waits for the next
// block, as it may start a CR LF there.
class CrLfBlocks
{
public:
    // Room for a block of blockBytes read into block() + 1, with one byte in
    // front for a carried CR.
    explicit CrLfBlocks(std::size_t blockBytes);

    // Where the next block is read to: blockBytes bytes of room.
    char *block() { return m_block.get() + 1; }
    // The bytes read into block() with CR LF breaks; valid until the next call.
    std::string_view convert(std::size_t size);
    // What the end of the text adds: a CR LF for a CR carried from the last block.
    std::string_view finish() const { return m_carriedCr ? std::string_view("\r\n") : std::string_view(); }
    // Bytes that finish() still adds.
    std::size_t pendingBytes() const { return m_carriedCr ? 2 : 0; }

private:
    std::size_t m_blockBytes;
    std::unique_ptr<char[]> m_block;     // never zero-filled
    std::unique_ptr<char[]> m_converted; // made when a block first needs it
    bool m_carriedCr = false;
};

} // namespace navorel
