#pragma once

#include <string>
#include <string_view>

#include "filter/filterresult.h"
#include "filter/replacingfile.h"
#include "filter/textfile.h"

namespace navorel {

// The result file of a filter run: a title line, two comments, then the
// data lines under "[DATA]" and the range lines under "[SAT]", each with a
// column header; every line ends in CR LF. titlePath follows the title (the
// path last chosen to open a result file, or nothing).
std::string resultFileText(const FilterResult &result, std::string_view titlePath);

// Writes that text to path, replacing any file there; the reason when the
// file cannot be created.
FileWrite writeResultFile(const std::string &path, const FilterResult &result, std::string_view titlePath);
// The same into new contents of a file, put in place by the caller.
bool writeResultFile(ReplacingFile &file, const FilterResult &result, std::string_view titlePath);

} // namespace navorel
