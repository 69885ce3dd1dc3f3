#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace navorel {

// Makes realistic 1 Hz receiver logs: each second an RMC, a GGA, a GSA,
// three GSV and a VTG sentence with correct checksums, the position walking
// slowly and the number of satellites used changing now and then.
// Multi-GNSS receivers can be had too: they track GPS, GLONASS, Galileo
// and BeiDou and write one GSA per system.
class LogGenerator
{
public:
    enum class Talkers {
        GPS,        // $GP sentences only, one $GPGSA
        GN,         // $GNRMC, $GNGGA, one $GNGSA per system
        Switching,  // each second GP, GL or GN, as the systems in use change
        Duplicated, // each fix as $GPRMC/$GPGGA and again as $GNRMC/$GNGGA
    };

    struct Options
    {
        std::uint64_t seed = 1;
        int startSeconds = 10 * 3600;       // time of day of the first fix
        int day = 8, month = 12, year = 26; // date of the first fix
        double latitude = 48.1173;          // decimal degrees, negative south
        double longitude = 11.5167;         // negative west
        double notValidShare = 0.0;         // share of seconds without a valid fix
        double noiseShare = 0.0;            // share of seconds followed by a junk line
        Talkers talkers = Talkers::GPS;
        int systems = 3;            // beyond GPS: 2 GLONASS, 3 Galileo, 4 BeiDou
        bool systemIdField = false; // NMEA 4.10: the system ID after VDOP; Galileo
                                    // and BeiDou then number from 1 like GPS
        // A receiver standing still at the start position: its error an
        // AR(1) process of this correlation time in seconds, of errorMetres
        // on each axis, plus white noise of whiteMetres. 0: the position
        // walks slowly away instead, as it always did.
        double correlationSeconds = 0.0;
        double errorMetres = 1.5;
        double whiteMetres = 0.3;
        // RTK fixed, RTK float, differential and autonomous fixes in turn,
        // ten minutes each, their errors scaled to the class.
        bool mixedQuality = false;
        int minuteDecimals = 4;
    };

    explicit LogGenerator(const Options &options);

    // Appends the sentences of the next second to log, each ending in CR LF.
    void appendSecond(std::string &log);
    // Appends seconds until log has grown by at least bytes.
    void appendBytes(std::string &log, std::size_t bytes);

    // The log the benchmarks measure: about bytes long, a not-valid second
    // in a hundred and a junk line now and then.
    static std::string benchmarkLog(std::size_t bytes);
    // seconds of a receiver standing still at a known position, as the
    // survey tests have it: its error wandering over 20 s, 1 m on each
    // axis, coordinates with six minute decimals.
    static std::string stationaryLog(int seconds, double latitude = 48.1173, double longitude = 11.5167,
                                     std::uint64_t seed = 1);

private:
    void appendSentence(std::string &log, const char *body);
    void appendSatellites(std::string &log, const char *talker, int system, bool valid, double hdop);
    void step();

    Options m_options;
    std::mt19937_64 m_random;
    long long m_second = 0;
    double m_latitude;
    double m_longitude;
    double m_errorNorth = 0.0; // metres, of a receiver standing still
    double m_errorEast = 0.0;
    int m_used = 8; // satellites used for the fix
};

} // namespace navorel
