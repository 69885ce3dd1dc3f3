// Any bytes as a result file.

#include <cstddef>
#include <cstdint>
#include <string>

#include "resultfile/resultfilereader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    const navorel::TextLines lines = navorel::TextLines::fromText(std::move(text));
    const navorel::ResultFileView view = navorel::readResultFile(lines);
    if (view.displayLines.size() != view.points.size())
        __builtin_trap();
    return 0;
}
