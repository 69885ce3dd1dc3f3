#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "filter/longitudesum.h"

namespace navorel {

inline constexpr std::string_view kLatitudePrefix = " North latitude : ";
inline constexpr std::string_view kLongitudePrefix = " East longitude : ";
inline constexpr std::string_view kLatitudeError = " North latitude : error";
inline constexpr std::string_view kLongitudeError = " East longitude : error";
inline constexpr std::string_view kTimeError = " Time: error";

// Lines 1-3 of the result page, written when a run starts.
std::vector<std::string> reportHead(std::string_view identifier);

// Lines 4-7: the counts and which data were used.
void appendReportCounts(std::vector<std::string> &report, std::string_view foundCount,
                        std::string_view notValidCount, bool onlyValidData);

// The mean position's two label texts from the sums of `count` fixes, in
// degrees; the error texts when there are none.
std::string meanLatitudeText(double latitudeSum, long long count);
std::string meanLongitudeText(const LongitudeSum &longitudes, long long count);

// The closing advice every report ends with.
void appendReportAdvice(std::vector<std::string> &report);

} // namespace navorel
