#pragma once

#include <string>

namespace navorel {

// The label of a position chart axis value, an NMEA coordinate number, in
// the form "##°##.0###": the whole degrees, the degree sign, two-digit
// minutes, a decimal comma and one to four decimals ("48°07,038" for
// 4807.038). Windows-1252.
std::string axisLabelText(double coordinate);

} // namespace navorel
