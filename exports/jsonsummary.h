#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "filter/filterprocess.h"
#include "filter/meanuncertainty.h"
#include "filter/precisionfigures.h"

namespace navorel {

// The outcome of a run as one JSON object for scripts; numbers keep every
// digit a double has, figures that do not exist are null.
class JsonSummary
{
public:
    static std::string ofRun(const FilterRun &run, const PrecisionFigures &figures,
                             const MeanUncertainty &uncertainty);
    // The same with the uncertainty measured here.
    static std::string ofRun(const FilterRun &run, const PrecisionFigures &figures);
    // "mean_uncertainty_m", "log_more_s" and "allan_m", as members.
    static std::string uncertaintyMembers(const MeanUncertainty &uncertainty);
    // The "quality" member: the classes of the fixes and what the rules left out.
    static std::string ofQuality(const LogQuality &quality, MinQuality minimum);
    // {"error": message, "line": line}; message in Windows-1252.
    static std::string ofError(std::string_view message, std::size_t line);

    // The shortest text that reads back as the same double; null when not finite.
    static std::string number(double value);
    // A JSON string literal of UTF-8 text.
    static std::string quoted(std::string_view utf8);
};

} // namespace navorel
