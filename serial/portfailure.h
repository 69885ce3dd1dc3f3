#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace navorel {

// What the system and the device say when a serial device will not open,
// gathered by the one who tried.
struct PortOpenFailure
{
    std::string portText;     // as the user gave it
    std::string systemText;   // the system's message
    bool permission = false;  // refused: not allowed, or locked by another program
    bool refusesUser = false; // the device's mode keeps this user out
    std::string lockHolder;   // "gpsd (process 812)", when a lock file names one
};

// The system's message as the boxes show it: line ends, blanks and full
// stops at its end dropped.
std::string trimmedSystemMessage(std::string_view text);

// Why a device did not open, one line each: the system's message, then
// what helps. A device the user may not open needs the group dialout; a
// locked one (a permission failure too) names the program holding it; a
// "COMn" says which device it stood for here.
std::vector<std::string> openFailureLines(const PortOpenFailure &failure);

// "gpsd (process 812)", or "process 812" when the program is not known.
std::string lockHolderText(std::string_view program, std::int64_t pid);

inline constexpr std::string_view kDialoutHint =
    "Serial ports may be used by members of the group dialout: "
    "add your user to it (sudo adduser $USER dialout) and log in again.";

} // namespace navorel
