#pragma once

#include <string>
#include <string_view>

namespace navorel {

// The byte stream of a gpsd asked for raw NMEA: its NMEA passes byte for
// byte, its own JSON reports (VERSION, DEVICES, WATCH, ERROR …), lines that
// begin with "{", are taken out. Its answer to the watch request is kept:
// a WATCH report says it hands out sentences now, an ERROR report says why
// not (a device it does not know, a request it did not understand). A
// line that is no report before gpsd's VERSION banner says that no gpsd
// answers: gpsd greets every client with its banner first.
class GpsdStream
{
public:
    enum class Answer { Awaited, Watching, Refused, NotGpsd };
    // What gpsd last said about its receivers.
    enum class Receivers { Unknown, None, Some, Gone };

    // The request that makes gpsd send its receiver's sentences as they
    // come; a device name picks one receiver of several.
    static std::string watchRequest(std::string_view device);

    // A new connection begins at a line start, with no answer yet.
    void restart();
    // Appends to nmea what of bytes is not gpsd's own.
    void filter(std::string_view bytes, std::string &nmea);

    Answer answer() const { return m_answer; }
    // gpsd's message when it refused.
    const std::string &refusal() const { return m_refusal; }
    // The answer is NotGpsd and the line that said so looked like NMEA.
    bool firstLineLooksLikeNmea() const { return m_firstLineNmea; }
    bool bannerSeen() const { return m_bannerSeen; }
    Receivers receivers() const { return m_receivers; }

private:
    enum class State { LineStart, Passing, Report, ReportEnded };
    void readReport();
    void passByte(char c, bool lineEnd);

    State m_state = State::LineStart;
    std::string m_report;
    Answer m_answer = Answer::Awaited;
    std::string m_refusal;
    bool m_bannerSeen = false;
    Receivers m_receivers = Receivers::Unknown;
    // The start of a line that came before the banner.
    bool m_beforeBanner = false;
    std::string m_firstLine;
    bool m_firstLineNmea = false;
};

} // namespace navorel
