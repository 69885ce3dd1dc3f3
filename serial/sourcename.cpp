#include "serial/sourcename.h"

#include <cctype>

namespace navorel {

namespace {

constexpr std::string_view kGpsdPrefix = "gpsd://";
constexpr std::string_view kTcpPrefix = "tcp://";

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

bool readPort(std::string_view digits, std::uint16_t &port)
{
    if (digits.empty() || digits.size() > 5)
        return false;
    unsigned value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value < 1 || value > 65535)
        return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

// "HOST", "HOST:PORT", "[V6]" or "[V6]:PORT".
bool readHostAndPort(std::string_view text, SourceName &name, bool &portGiven, std::string &error)
{
    std::string_view rest;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            error = "the IPv6 address has no closing \"]\"";
            return false;
        }
        name.host = std::string(text.substr(1, close - 1));
        rest = text.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') {
            error = "\":PORT\" must follow the \"]\"";
            return false;
        }
    } else {
        const std::size_t colon = text.find(':');
        name.host = std::string(text.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
    }
    if (name.host.empty()) {
        error = "no host name";
        return false;
    }
    portGiven = !rest.empty();
    if (portGiven && !readPort(rest.substr(1), name.port)) {
        error = "the port \"" + std::string(rest.substr(1)) + "\" is not a number from 1 to 65535";
        return false;
    }
    return true;
}

} // namespace

bool SourceName::isNetworkText(std::string_view text)
{
    return startsWithNoCase(text, kGpsdPrefix) || startsWithNoCase(text, kTcpPrefix);
}

SourceName SourceName::parse(std::string_view text, std::string &error)
{
    error.clear();
    SourceName name;
    if (startsWithNoCase(text, kGpsdPrefix)) {
        name.kind = Kind::Gpsd;
        std::string_view address = text.substr(kGpsdPrefix.size());
        // The device is a path: it keeps its leading "/".
        const std::size_t slash = address.find('/');
        if (slash != std::string_view::npos) {
            name.device = std::string(address.substr(slash));
            if (name.device == "/")
                name.device.clear();
            address = address.substr(0, slash);
        }
        if (address.empty())
            address = "localhost";
        bool portGiven = false;
        if (!readHostAndPort(address, name, portGiven, error)) {
            name.host.clear();
            return name;
        }
        if (!portGiven)
            name.port = kGpsdPort;
        return name;
    }
    if (startsWithNoCase(text, kTcpPrefix)) {
        name.kind = Kind::Tcp;
        std::string_view address = text.substr(kTcpPrefix.size());
        if (!address.empty() && address.back() == '/')
            address.remove_suffix(1);
        bool portGiven = false;
        if (!readHostAndPort(address, name, portGiven, error) || !portGiven) {
            if (error.empty())
                error = "a TCP source needs a port: tcp://HOST:PORT";
            name.host.clear();
        }
        return name;
    }
    name.device = std::string(text);
    return name;
}

} // namespace navorel
