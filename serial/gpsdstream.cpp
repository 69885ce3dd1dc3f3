#include "serial/gpsdstream.h"

namespace navorel {

namespace {

// Reports this long are not gpsd's answers; only their start is looked at.
constexpr std::size_t kLongestReportKept = 1024;

// The text of a string member of a JSON report, without its escapes.
std::string member(std::string_view report, std::string_view name)
{
    std::string key(1, '"');
    key.append(name).append("\":\"");
    const std::size_t start = report.find(key);
    std::string text;
    if (start == std::string_view::npos)
        return text;
    for (std::size_t i = start + key.size(); i < report.size() && report[i] != '"'; ++i) {
        if (report[i] == '\\' && i + 1 < report.size())
            ++i;
        text += report[i];
    }
    return text;
}

} // namespace

void GpsdStream::restart()
{
    m_state = State::LineStart;
    m_report.clear();
    m_answer = Answer::Awaited;
    m_refusal.clear();
}

void GpsdStream::readReport()
{
    if (m_answer == Answer::Awaited) {
        if (m_report.starts_with("{\"class\":\"WATCH\"")) {
            m_answer = Answer::Watching;
        } else if (m_report.starts_with("{\"class\":\"ERROR\"")) {
            m_answer = Answer::Refused;
            m_refusal = member(m_report, "message");
        }
    }
    m_report.clear();
}

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
                m_report = c;
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
            if (lineEnd) {
                m_state = c == '\r' ? State::ReportEnded : State::LineStart;
                readReport();
            } else if (m_report.size() < kLongestReportKept) {
                m_report += c;
            }
            continue;
        case State::ReportEnded: break;
        }
        nmea += c;
    }
}

} // namespace navorel
