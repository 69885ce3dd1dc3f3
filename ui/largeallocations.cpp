// Every program with the windows allocates through here. The text area
// holds a log in one buffer that its editor zero-fills when it makes room;
// on a virtual machine the first touch of each 4 KiB page costs some
// microseconds, thousands of them for a log of megabytes. Large blocks ask
// for huge pages before that first touch: a few faults instead.

#include <cstdlib>
#include <new>

#include "filter/hugepages.h"

namespace {

constexpr std::size_t kLargeAllocation = 4 * navorel::kHugePageBytes;

} // namespace

void *operator new(std::size_t size)
{
    for (;;) {
        if (void *memory = std::malloc(size == 0 ? 1 : size)) {
            if (size >= kLargeAllocation)
                navorel::adviseHugePages(memory, size);
            return memory;
        }
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr)
            throw std::bad_alloc();
        handler();
    }
}

void operator delete(void *memory) noexcept
{
    std::free(memory);
}

void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}
