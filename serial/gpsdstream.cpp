#include "serial/gpsdstream.h"

namespace navorel {

std::string GpsdStream::watchRequest(std::string_view device)
{
    std::string request = "?WATCH={\"enable\":true,\"nmea\":true";
    if (!device.empty()) {
        request += ",\"device\":\"";
        for (const char c : device) {
            if (c == '"' || c == '\\')
                request += '\\';
            request += c;
        }
        request += '"';
    }
    request += "};\n";
    return request;
}

void GpsdStream::filter(std::string_view bytes, std::string &nmea)
{
    for (const char c : bytes) {
        // A report goes with its line end, CR LF included.
        if (m_state == State::ReportEnded) {
            m_state = State::LineStart;
            if (c == '\n')
                continue;
        }
        const bool lineEnd = c == '\r' || c == '\n';
        switch (m_state) {
        case State::LineStart:
            if (c == '{') {
                m_state = State::Report;
                continue;
            }
            if (!lineEnd)
                m_state = State::Passing;
            break;
        case State::Passing:
            if (lineEnd)
                m_state = State::LineStart;
            break;
        case State::Report:
            if (lineEnd)
                m_state = c == '\r' ? State::ReportEnded : State::LineStart;
            continue;
        case State::ReportEnded: break;
        }
        nmea += c;
    }
}

} // namespace navorel
