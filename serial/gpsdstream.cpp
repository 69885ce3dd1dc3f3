#include "serial/gpsdstream.h"

#include "serial/sourcenotes.h"

namespace navorel {

namespace {

// Reports this long are not gpsd's answers; only their start is looked at.
constexpr std::size_t kLongestReportKept = 1024;
// Enough of a line to tell a sentence from other text.
constexpr std::size_t kFirstLineKept = 80;

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
    m_bannerSeen = false;
    m_receivers = Receivers::Unknown;
    m_beforeBanner = false;
    m_firstLine.clear();
    m_firstLineNmea = false;
}

void GpsdStream::readReport()
{
    if (m_report.starts_with("{\"class\":\"VERSION\"")) {
        m_bannerSeen = true;
    } else if (m_report.starts_with("{\"class\":\"DEVICES\"")) {
        m_receivers = m_report.find("\"path\"") != std::string::npos ? Receivers::Some : Receivers::None;
    } else if (m_report.starts_with("{\"class\":\"DEVICE\"")) {
        // A receiver that went away is reported once more, no longer activated.
        m_receivers =
            m_report.find("\"activated\":0") != std::string::npos ? Receivers::Gone : Receivers::Some;
    }
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

void GpsdStream::passByte(char c, bool lineEnd)
{
    if (!m_beforeBanner)
        return;
    if (!lineEnd) {
        if (m_firstLine.size() < kFirstLineKept)
            m_firstLine += c;
        return;
    }
    m_beforeBanner = false;
    if (m_answer == Answer::Awaited) {
        m_answer = Answer::NotGpsd;
        m_firstLineNmea = looksLikeNmea(m_firstLine);
    }
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
            if (!lineEnd) {
                m_state = State::Passing;
                m_beforeBanner = !m_bannerSeen && m_answer == Answer::Awaited;
                passByte(c, false);
            }
            break;
        case State::Passing:
            passByte(c, lineEnd);
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
