#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "filter/textlines.h"

namespace navorel::test {

// A log made of the given lines, CR LF between them.
TextLines linesOf(std::initializer_list<std::string_view> lines);

// A sentence with its checksum: body is what stands between "$" and "*".
std::string sentence(std::string_view body);

} // namespace navorel::test
