#pragma once

#include <cstddef>
#include <string>

#include "filter/meanuncertainty.h"

namespace navorel {

// The words a live survey shows, the same in the status bar, the goal's
// notice and the Precision tab (UTF-8).

// value with fixed decimals and "." whatever the locale; "?" for none.
std::string decimalText(double value, int decimals);

// "2 h 13 min", "13 min", "45 s".
std::string surveyDurationText(double seconds);

// "7,980": a count with thousands apart.
std::string countText(std::size_t count);

// "±0.31 m (95 %)", or "±0.31 m or more (95 %)" before the position has settled.
std::string r95Text(const MeanUncertainty &uncertainty);

// "48.1174053° N, 11.5167354° E", with the decimals given (degreeDecimals).
std::string positionText(double latitude, double longitude, int decimals);

// "48.1174053, 11.5167354": signed decimal degrees, as a position is copied.
std::string decimalPositionText(double latitude, double longitude, int decimals);

// The status bar's line: "Survey: 2 h 13 min, 7,980 fixes, ±0.31 m (95 %)";
// without the figure before 64 fixes.
std::string surveyStatusText(double seconds, std::size_t fixes, const MeanUncertainty &uncertainty);

// The status bar's line once the goal was reached and receiving goes on:
// the goal's sentence, then "; now ±0.21 m (95 %), 9,790 fixes".
std::string surveyAfterGoalText(const std::string &reached, std::size_t fixes, const MeanUncertainty &now);

// "Survey reached ±0.48 m (95 %) after 2 h 13 min: 48.117405° N, 11.516735° E".
std::string surveyReachedText(double seconds, const MeanUncertainty &uncertainty, double latitude,
                              double longitude);

} // namespace navorel
