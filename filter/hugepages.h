#pragma once

#include <cstddef>

namespace navorel {

// The size of a huge page, where the system has them.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// Asks for huge pages behind the whole huge pages inside [data, data +
// bytes). On a virtual machine the first touch of a page costs some
// microseconds: a buffer of megabytes then costs a few faults instead of
// thousands. Does nothing where huge pages are not to be had.
void adviseHugePages(void *data, std::size_t bytes);

} // namespace navorel
