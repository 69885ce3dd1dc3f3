#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "filter/crlfblocks.h"

namespace navorel {
namespace {

// The text read in blocks of every size, as a file is loaded into the text area.
std::string loaded(const std::string &text, std::size_t blockBytes)
{
    CrLfBlocks blocks(blockBytes);
    std::string out;
    for (std::size_t at = 0; at < text.size(); at += blockBytes) {
        const std::size_t size = std::min(blockBytes, text.size() - at);
        std::memcpy(blocks.block(), text.data() + at, size);
        out += blocks.convert(size);
    }
    out += blocks.finish();
    return out;
}

TEST(CrLfBlocks, EveryLoneBreakBecomesCrLfAcrossBlockBorders)
{
    const struct
    {
        const char *text;
        const char *expected;
    } cases[] = {
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb\r", "a\r\nb\r\n"},
        {"a\n\rb", "a\r\n\r\nb"},
        {"\r\r\n\n", "\r\n\r\n\r\n"},
        {"no break", "no break"},
        {"", ""},
        {"\r", "\r\n"},
    };
    for (const auto &c : cases) {
        for (std::size_t block = 1; block <= 8; ++block)
            EXPECT_EQ(loaded(c.text, block), c.expected) << "'" << c.text << "' in blocks of " << block;
    }
}

TEST(CrLfBlocks, ABlockOfCrLfBreaksIsUsedWhereItLies)
{
    CrLfBlocks blocks(16);
    std::memcpy(blocks.block(), "ab\r\ncd\r\n", 8);
    const std::string_view bytes = blocks.convert(8);
    EXPECT_EQ(bytes.data(), blocks.block());
    EXPECT_EQ(bytes, "ab\r\ncd\r\n");
    EXPECT_EQ(blocks.pendingBytes(), 0u);
}

} // namespace
} // namespace navorel
