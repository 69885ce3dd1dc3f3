#include "serial/sourcenotes.h"

#include <cstdio>
#include <ctime>

namespace navorel {

std::string utcTimeStamp(std::int64_t unixSeconds)
{
    const std::time_t seconds = static_cast<std::time_t>(unixSeconds);
    std::tm parts{};
    if (::gmtime_r(&seconds, &parts) == nullptr)
        return "(no time)";
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

bool looksLikeNmea(std::string_view line)
{
    for (std::size_t i = line.find_first_of("$!"); i != std::string_view::npos;
         i = line.find_first_of("$!", i + 1)) {
        if (i + 1 < line.size() && line[i + 1] >= 'A' && line[i + 1] <= 'Z')
            return true;
    }
    return false;
}

std::string hostAndPort(std::string_view host, std::uint16_t port)
{
    // Built by appending: GCC 12 warns falsely on "literal" + std::string.
    std::string text;
    const bool v6 = host.find(':') != std::string_view::npos;
    if (v6)
        text += '[';
    text.append(host);
    if (v6)
        text += ']';
    text += ':';
    text += std::to_string(port);
    return text;
}

std::string lookupNoAnswer(std::string_view host)
{
    std::string text = "cannot look up ";
    text.append(host).append(": no answer from the name server");
    return text;
}

std::string gpsdClosed(std::string_view host, std::uint16_t port)
{
    std::string text = "gpsd at ";
    text.append(hostAndPort(host, port)).append(" closed the connection");
    return text;
}

std::string notGpsd(std::string_view host, std::uint16_t port, bool sendsNmea)
{
    const std::string address = hostAndPort(host, port);
    std::string text = "no gpsd answers at ";
    text.append(address).append(" (no VERSION banner)");
    if (sendsNmea)
        text.append("; this looks like a plain NMEA server: try tcp://").append(address);
    return text;
}

} // namespace navorel
