#pragma once

#include <string>
#include <string_view>

namespace navorel {

// The byte stream of a gpsd asked for raw NMEA: its NMEA passes byte for
// byte, its own JSON reports (VERSION, DEVICES, WATCH, ERROR …), lines that
// begin with "{", are taken out.
class GpsdStream
{
public:
    // The request that makes gpsd send its receiver's sentences as they
    // come; a device name picks one receiver of several.
    static std::string watchRequest(std::string_view device);

    // A new connection begins at a line start.
    void restart() { m_state = State::LineStart; }
    // Appends to nmea what of bytes is not gpsd's own.
    void filter(std::string_view bytes, std::string &nmea);

private:
    enum class State { LineStart, Passing, Report, ReportEnded };
    State m_state = State::LineStart;
};

} // namespace navorel
