#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace navorel {

// The words of what live sources say about themselves, the same in the
// window and in navorel-record.

// "2026-12-09T14:03:05Z": the time a note begins with, in UTC.
std::string utcTimeStamp(std::int64_t unixSeconds);

// A line that holds a sentence start: "$" or "!" followed by a capital
// letter (junk in front of it is a receiver quirk the filter reads past).
// gpsd's JSON reports, shell prompts and noise are not.
bool looksLikeNmea(std::string_view line);

// "HOST:PORT", an IPv6 address in brackets.
std::string hostAndPort(std::string_view host, std::uint16_t port);

// A name server that never answers, rather than a peer that never does.
std::string lookupNoAnswer(std::string_view host);
std::string gpsdClosed(std::string_view host, std::uint16_t port);
// Something that answers on a gpsd:// address without gpsd's VERSION
// banner; when its first line was NMEA it is most likely a plain NMEA server.
std::string notGpsd(std::string_view host, std::uint16_t port, bool sendsNmea);

inline constexpr std::string_view kDeviceGone = "the device went away";
inline constexpr std::string_view kReceivingAgain = "receiving again";
inline constexpr std::string_view kLongLineCut =
    "a received line was longer than 64 KiB: its first 64 KiB are kept as a line, "
    "the rest up to its line break is dropped";

} // namespace navorel
