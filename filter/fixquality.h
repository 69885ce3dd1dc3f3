#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace navorel {

// How good a fix is, as the receiver says in the sentence that gives it.
// The order is the one reports list them in, best first.
enum class FixClass : std::uint8_t {
    RtkFixed,     // centimetres
    RtkFloat,     // decimetres
    Precise,      // the P code of GPS
    Differential, // DGPS, SBAS
    Autonomous,
    Unknown,   // a receiver that does not say (before NMEA 2.3)
    Estimated, // dead reckoning: measures nothing
    Manual,
    Simulated,
    Invalid,
};
inline constexpr std::size_t kFixClasses = 10;

// "rtk_fixed", "rtk_float", ... as --json names them.
std::string_view fixClassName(FixClass fixClass);

// $--GGA field 6, the fix quality: 0 invalid, 1 autonomous, 2 differential,
// 3 precise, 4 RTK fixed, 5 RTK float, 6 estimated, 7 manual, 8 simulated.
//   $GNGGA,101500.00,4807.0380,N,01131.0000,E,4,12,0.6,545.4,M,46.9,M,1.0,0000*55
FixClass ggaFixClass(std::string_view quality);
// $--RMC field 12, the mode indicator of NMEA 2.3 on (its first letter):
// A autonomous, D differential, P precise, R RTK fixed, F RTK float,
// E estimated, M manual, S simulated, N invalid.
//   $GNRMC,101500.00,A,4807.0380,N,01131.0000,E,0.0,,191206,,,R,V*05
FixClass rmcFixClass(std::string_view mode);

// The least a fix has to be to count, as navorel.conf and --min-quality name it.
enum class MinQuality : std::uint8_t { Any, Autonomous, Differential, RtkFloat, RtkFixed };
std::string_view minQualityText(MinQuality minimum); // "any", "rtk-float", ...
bool minQualityFromText(std::string_view text, MinQuality &minimum);
// Whether a fix of the class is good enough. Autonomous admits unknown
// fixes too: older receivers do not say.
bool admits(MinQuality minimum, FixClass fixClass);

// Whether sentences with a wrong checksum are left out: verify with every
// talker, ignore in the classic mode, unless the settings say otherwise.
enum class ChecksumMode : std::uint8_t { Default, Verify, Ignore };
std::string_view checksumModeText(ChecksumMode mode); // "verify", "ignore"; empty for the default
bool checksumModeFromText(std::string_view text, ChecksumMode &mode);

// The checksum of one sentence that begins at its "$": right (two hex digits
// of either case after "*", the XOR of the bytes between "$" and "*", and
// nothing after them but blanks or tabs), missing (no "*"), or wrong.
enum class ChecksumState : std::uint8_t { Right, Missing, Wrong };
ChecksumState checksumState(std::string_view sentence);

// A coordinate field (ddmm.mmmm, dddmm.mmmm) with whole minutes of 60 or
// more, as receivers send when they have no position (8960.0000).
bool hasImpossibleMinutes(std::string_view field);

} // namespace navorel
