#pragma once

#include <string>
#include <string_view>

namespace navorel {

// Why a run that reads only $GP sentences found no fix: the log comes from
// a receiver that talks as another satellite system or as several (its
// satellites may still be listed as $GPGSV). The talker ("GN", "GL", "GA"
// or "GB") of the first sentence in text that has one; empty when none has.
std::string_view otherGnssTalker(std::string_view text);

// "No $GP sentences: this receiver talks as $GN; choose every talker in
// Preferences" for talker "GN".
std::string otherTalkerHint(std::string_view talker);

} // namespace navorel
