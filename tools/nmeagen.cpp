// nmeagen: writes a generated 1 Hz NMEA 0183 receiver log.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "filter/textfile.h"
#include "tools/loggenerator.h"

namespace {

void usage(std::FILE *out)
{
    std::fputs("Usage: nmeagen [options]\n"
               "Writes a generated 1 Hz receiver log: RMC, GGA, GSA, three GSV and VTG\n"
               "each second, CR LF line ends.\n"
               "  --seconds N     seconds of logging (default 3600)\n"
               "  --megabytes M   log size instead of a duration\n"
               "  --seed S        random seed (default 1)\n"
               "  --start HHMMSS  time of the first fix (default 100000)\n"
               "  --lat DEG       start latitude in decimal degrees, negative south\n"
               "  --lon DEG       start longitude in decimal degrees, negative west\n"
               "  --not-valid P   share of seconds without a valid fix (0..1)\n"
               "  --noise P       share of seconds followed by a junk line (0..1)\n"
               "  --talkers T     gps: $GP sentences only (default); gn: a multi-GNSS\n"
               "                  receiver, $GNRMC, $GNGGA and one $GNGSA per system;\n"
               "                  switching: GP, GL or GN from second to second;\n"
               "                  duplicated: each fix as $GP and again as $GN\n"
               "  --systems N     satellite systems besides --talkers gps, 1 to 4: GPS,\n"
               "                  GLONASS, Galileo, BeiDou (default 3)\n"
               "  --nmea410       GSA sentences end in the NMEA 4.10 system ID\n"
               "  --stationary T  a receiver standing still at --lat/--lon, its error\n"
               "                  correlated over T seconds (an AR(1) process), instead\n"
               "                  of a slow walk\n"
               "  --error M       that error's spread on each axis in metres (default 1.5)\n"
               "  --white M       white noise besides it in metres (default 0.3)\n"
               "  --mixed-quality RTK fixed, RTK float, differential and autonomous\n"
               "                  fixes in turn, ten minutes each\n"
               "  --decimals N    minute decimals of the coordinates (default 4)\n"
               "  -o FILE         write to FILE instead of standard output\n",
               out);
}

} // namespace

int main(int argc, char **argv)
{
    navorel::LogGenerator::Options options;
    long long seconds = 3600;
    double megabytes = 0.0;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            usage(stdout);
            return 0;
        }
        if (arg == "--nmea410") {
            options.systemIdField = true;
            continue;
        }
        if (arg == "--mixed-quality") {
            options.mixedQuality = true;
            continue;
        }
        if (i + 1 >= argc) {
            usage(stderr);
            return 2;
        }
        const char *value = argv[++i];
        if (arg == "--seconds")
            seconds = std::atoll(value);
        else if (arg == "--megabytes")
            megabytes = std::atof(value);
        else if (arg == "--seed")
            options.seed = std::strtoull(value, nullptr, 10);
        else if (arg == "--start") {
            const int hhmmss = std::atoi(value);
            options.startSeconds = hhmmss / 10000 * 3600 + hhmmss / 100 % 100 * 60 + hhmmss % 100;
        } else if (arg == "--lat")
            options.latitude = std::atof(value);
        else if (arg == "--lon")
            options.longitude = std::atof(value);
        else if (arg == "--not-valid")
            options.notValidShare = std::atof(value);
        else if (arg == "--noise")
            options.noiseShare = std::atof(value);
        else if (arg == "--talkers") {
            const std::string talkers = value;
            if (talkers == "gps")
                options.talkers = navorel::LogGenerator::Talkers::GPS;
            else if (talkers == "gn")
                options.talkers = navorel::LogGenerator::Talkers::GN;
            else if (talkers == "switching")
                options.talkers = navorel::LogGenerator::Talkers::Switching;
            else if (talkers == "duplicated")
                options.talkers = navorel::LogGenerator::Talkers::Duplicated;
            else {
                usage(stderr);
                return 2;
            }
        } else if (arg == "--systems")
            options.systems = std::atoi(value);
        else if (arg == "--stationary")
            options.correlationSeconds = std::atof(value);
        else if (arg == "--error")
            options.errorMetres = std::atof(value);
        else if (arg == "--white")
            options.whiteMetres = std::atof(value);
        else if (arg == "--decimals")
            options.minuteDecimals = std::clamp(std::atoi(value), 1, 8);
        else if (arg == "-o")
            output = value;
        else {
            usage(stderr);
            return 2;
        }
    }

    navorel::LogGenerator generator(options);
    std::string log;
    if (megabytes > 0.0) {
        generator.appendBytes(log, static_cast<std::size_t>(megabytes * 1e6));
    } else {
        for (long long s = 0; s < seconds; ++s)
            generator.appendSecond(log);
    }
    if (output.empty())
        return std::fwrite(log.data(), 1, log.size(), stdout) == log.size() ? 0 : 1;
    if (!navorel::writeFileReplacing(output, log)) {
        std::fprintf(stderr, "nmeagen: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
