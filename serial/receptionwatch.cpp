#include "serial/receptionwatch.h"

#include "serial/sourcenotes.h"

namespace navorel {

void ReceptionWatch::opened(const SourceName &source, std::int64_t nowMs)
{
    *this = ReceptionWatch();
    m_source = source;
    m_heardAtMs = nowMs;
}

bool ReceptionWatch::take(std::size_t bytes, const std::vector<std::string> &lines, std::int64_t nowMs)
{
    m_bytes += bytes;
    m_lines += lines.size();
    bool nmea = false;
    // The last lines are the likeliest sentences; one is enough.
    for (auto line = lines.rbegin(); line != lines.rend() && !nmea; ++line)
        nmea = looksLikeNmea(*line);
    if (!nmea) {
        for (const std::string &line : lines) {
            if (line.starts_with('{')) {
                m_jsonLines = true;
                m_gpsdBanner = m_gpsdBanner || line.starts_with("{\"class\":\"VERSION\"");
            }
        }
        return false;
    }
    m_heardAtMs = nowMs;
    const bool again = m_noted;
    m_noted = false;
    return again;
}

std::string ReceptionWatch::check(std::int64_t nowMs, GpsdStream::Receivers receivers)
{
    if (m_noted || nowMs - m_heardAtMs < kSilenceMs)
        return {};
    m_noted = true;
    return "no NMEA line for " + std::to_string(kSilenceMs / 1000) + " s: " + hint(receivers);
}

std::string ReceptionWatch::hint(GpsdStream::Receivers receivers) const
{
    if (m_source.kind == SourceName::Kind::Gpsd) {
        switch (receivers) {
        case GpsdStream::Receivers::None: return "gpsd has no receiver";
        case GpsdStream::Receivers::Gone: return "gpsd no longer has the receiver";
        default: return "gpsd sends no NMEA for this device";
        }
    }
    if (m_bytes == 0)
        return "nothing received";
    if (m_source.kind == SourceName::Kind::Tcp) {
        if (m_gpsdBanner)
            return "this is gpsd: try gpsd://" + hostAndPort(m_source.host, m_source.port);
        if (m_jsonLines)
            return "its lines are JSON, not NMEA";
    }
    const std::string what = m_lines == 0 ? "bytes arrive without a line end" : "its lines are not NMEA";
    return m_source.kind == SourceName::Kind::Device ? what + ": is the baud rate right?" : what;
}

} // namespace navorel
