#include "serial/portname.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace navorel {

namespace {

constexpr std::string_view kDevFolder = "/dev/";

// "COM" and 1 to 999999, as the number texts of the port box go.
bool comNumber(std::string_view text, long &number)
{
    if (text.size() < 4 || text.size() > 9)
        return false;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i])
            return false;
    }
    if (text[3] < '1' || text[3] > '9')
        return false;
    number = 0;
    for (const char c : text.substr(3)) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    return true;
}

} // namespace

std::string portDevice(std::string_view portText)
{
    long number = 0;
    if (!comNumber(portText, number))
        return std::string(portText);
    // Built by appending: GCC 12 warns falsely on "literal" + std::string.
    return std::string("/dev/ttyS").append(std::to_string(number - 1));
}

std::string devicePath(std::string_view deviceName)
{
    if (!deviceName.empty() && deviceName.front() == '/')
        return std::string(deviceName);
    std::string path(kDevFolder);
    path.append(deviceName);
    return path;
}

std::string canonicalDevice(std::string_view deviceName)
{
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(devicePath(deviceName), error);
    return error || canonical.empty() ? std::string(deviceName) : canonical.string();
}

std::vector<std::string> lockFileCandidates(std::string_view devicePath)
{
    std::string name(devicePath.substr(devicePath.starts_with(kDevFolder) ? kDevFolder.size() : 0));
    for (char &c : name) {
        if (c == '/')
            c = '_';
    }
    std::vector<std::string> paths;
    for (const char *folder : {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp",
                               "/var/tmp", "/var/lock/lockdev", "/run/lock"})
        paths.push_back(std::string(folder) + "/LCK.." + name);
    return paths;
}

} // namespace navorel
