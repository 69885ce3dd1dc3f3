#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace navorel {

// What a port text names on this system, before anything is opened.

// "COMn" is the n-th serial device of the system, /dev/ttyS(n-1), in any
// case; any other text is a device name or path as typed.
std::string portDevice(std::string_view portText);

// The file a device name stands for: a path as it is, a bare name in /dev.
std::string devicePath(std::string_view deviceName);

// Two names of one device (a link in /dev/serial/by-id, a link made by a
// tool) would take two lock files, and two programs would share its lines:
// a device is opened by the path its links end in. A name of nothing that
// exists stays as it is, so that the failure names what was typed.
std::string canonicalDevice(std::string_view deviceName);

// The lock files a serial device may have, in the order Qt SerialPort
// looks for a folder to keep them in: "LCK.." and the device's name in /dev
// (or its whole path) with "/" made "_".
std::vector<std::string> lockFileCandidates(std::string_view devicePath);

} // namespace navorel
