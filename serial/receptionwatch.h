#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "serial/gpsdstream.h"
#include "serial/sourcename.h"

namespace navorel {

// Notices a live source that sends no NMEA: a peer that takes the
// connection and says nothing, a gpsd that sends only its own reports, a
// receiver that fell quiet. After kSilenceMs without an NMEA line, since
// the source opened or since its last one, there is one note to say, with a
// hint where what came in tells one; a later NMEA line ends the silence.
class ReceptionWatch
{
public:
    static constexpr std::int64_t kSilenceMs = 10'000;

    // The source opened; the watch starts over.
    void opened(const SourceName &source, std::int64_t nowMs);
    // What a read brought: its byte count and the lines it completed.
    // Returns true when NMEA comes again after a silence was noted.
    bool take(std::size_t bytes, const std::vector<std::string> &lines, std::int64_t nowMs);
    // The note to say now, once per silence; empty otherwise. receivers:
    // what gpsd said about its receivers (gpsd sources only).
    std::string check(std::int64_t nowMs, GpsdStream::Receivers receivers = GpsdStream::Receivers::Unknown);

    bool silenceNoted() const { return m_noted; }

private:
    std::string hint(GpsdStream::Receivers receivers) const;

    SourceName m_source;
    std::int64_t m_heardAtMs = 0;
    bool m_noted = false;
    // Since the source opened.
    std::size_t m_bytes = 0;
    std::size_t m_lines = 0;
    bool m_jsonLines = false;
    bool m_gpsdBanner = false;
};

} // namespace navorel
