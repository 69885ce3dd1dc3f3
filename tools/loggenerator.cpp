#include "tools/loggenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace navorel {

namespace {

// "4807.0380" / "01131.0000": degrees and minutes with four decimals, or as many as asked.
void coordinateField(char *out, std::size_t size, double degrees, int degreeDigits, int decimals = 4)
{
    const double magnitude = std::fabs(degrees);
    int whole = static_cast<int>(magnitude);
    double minutes = (magnitude - whole) * 60.0;
    if (minutes >= 60.0 - 0.5 * std::pow(10.0, -decimals)) {
        minutes = 0.0;
        ++whole;
    }
    std::snprintf(out, size, "%0*d%0*.*f", degreeDigits, whole, decimals + 3, decimals, minutes);
}

// The classes of a receiver with RTK, in turn: RMC mode, GGA quality, error scale.
struct QualityPhase
{
    char mode;
    int quality;
    double scale;
};
constexpr QualityPhase kPhases[] = {{'R', 4, 0.015}, {'F', 5, 0.15}, {'D', 2, 0.5}, {'A', 1, 1.0}};
constexpr long long kPhaseSeconds = 600;

} // namespace

LogGenerator::LogGenerator(const Options &options)
        : m_options(options), m_random(options.seed), m_latitude(options.latitude),
          m_longitude(options.longitude)
{}

void LogGenerator::appendSentence(std::string &log, const char *body)
{
    unsigned checksum = 0;
    for (const char *p = body; *p != '\0'; ++p)
        checksum ^= static_cast<unsigned char>(*p);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
    log += '$';
    log += body;
    log += tail;
}

namespace {

// Satellites in view of each system: IDs as NMEA writes them before 4.10
// and the numbers within the system that 4.10 writes with its system ID.
constexpr int kInView[4][12] = {
    {2, 4, 5, 9, 12, 14, 17, 21, 24, 25, 29, 31},
    {65, 66, 67, 72, 73, 74, 75, 81, 82, 83, 87, 88},
    {301, 302, 304, 307, 311, 312, 319, 324, 326, 327, 330, 333},
    {401, 403, 406, 408, 411, 413, 414, 419, 420, 422, 427, 429},
};

int satelliteId(int system, int index, bool systemIdField)
{
    const int id = kInView[system][index];
    return systemIdField && system >= 2 ? id % 100 : id;
}

} // namespace

// One GSA sentence with the satellites of a system used for the fix.
void LogGenerator::appendSatellites(std::string &log, const char *talker, int system, bool valid, double hdop)
{
    // Fewer of the other systems' satellites are used than of GPS.
    const int used = system == 0 ? m_used : std::max(0, m_used - 2 - system);
    char body[160];
    int length = std::snprintf(body, sizeof body, "%sGSA,A,%d", talker, valid ? 3 : 1);
    for (int i = 0; i < 12; ++i) {
        if (valid && i < used)
            length += std::snprintf(body + length, sizeof body - static_cast<std::size_t>(length), ",%02d",
                                    satelliteId(system, i, m_options.systemIdField));
        else
            length += std::snprintf(body + length, sizeof body - static_cast<std::size_t>(length), ",");
    }
    length += std::snprintf(body + length, sizeof body - static_cast<std::size_t>(length), ",%.1f,%.1f,%.1f",
                            hdop * 1.6, hdop, hdop * 1.3);
    if (m_options.systemIdField)
        std::snprintf(body + length, sizeof body - static_cast<std::size_t>(length), ",%d", system + 1);
    appendSentence(log, body);
}

void LogGenerator::step()
{
    if (m_options.correlationSeconds > 0.0 || m_options.mixedQuality) {
        // AR(1): e' = phi e + sqrt(1 - phi^2) sigma n keeps the spread sigma.
        const double tau = m_options.correlationSeconds > 0.0 ? m_options.correlationSeconds : 30.0;
        const double phi = std::exp(-1.0 / tau);
        std::normal_distribution<double> normal(0.0, 1.0);
        const double drive = std::sqrt(1.0 - phi * phi) * m_options.errorMetres;
        m_errorNorth = phi * m_errorNorth + drive * normal(m_random);
        m_errorEast = phi * m_errorEast + drive * normal(m_random);
        const double scale = m_options.mixedQuality ? kPhases[(m_second + 1) / kPhaseSeconds % 4].scale : 1.0;
        const double north = scale * (m_errorNorth + m_options.whiteMetres * normal(m_random));
        const double east = scale * (m_errorEast + m_options.whiteMetres * normal(m_random));
        // Metres on the sphere are close enough for a simulated receiver.
        constexpr double kMetresPerDegree = 6371000.0 * 3.14159265358979323846 / 180.0;
        m_latitude = m_options.latitude + north / kMetresPerDegree;
        m_longitude =
            m_options.longitude
            + east / (kMetresPerDegree * std::cos(m_options.latitude * 3.14159265358979323846 / 180.0));
    } else {
        std::normal_distribution<double> wander(0.0, 2e-6);
        m_latitude += wander(m_random);
        m_longitude += wander(m_random);
    }
    std::uniform_int_distribution<int> change(0, 299);
    const int roll = change(m_random);
    if (roll == 0 && m_used < 12)
        ++m_used;
    else if (roll == 1 && m_used > 4)
        --m_used;
    ++m_second;
}

void LogGenerator::appendSecond(std::string &log)
{
    const long long clock = m_options.startSeconds + m_second;
    const int timeOfDay = static_cast<int>(clock % 86400);
    const int dayOffset = static_cast<int>(clock / 86400);
    const int hh = timeOfDay / 3600, mm = timeOfDay / 60 % 60, ss = timeOfDay % 60;
    // Days run on within a 28-day month: enough for logs of a few weeks.
    const int day = (m_options.day - 1 + dayOffset) % 28 + 1;

    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const bool valid = unit(m_random) >= m_options.notValidShare;
    const bool noise = unit(m_random) < m_options.noiseShare;

    char lat[24], lon[24];
    coordinateField(lat, sizeof lat, m_latitude, 2, m_options.minuteDecimals);
    coordinateField(lon, sizeof lon, m_longitude, 3, m_options.minuteDecimals);
    const QualityPhase phase =
        m_options.mixedQuality ? kPhases[m_second / kPhaseSeconds % 4] : QualityPhase{'A', 1, 1.0};
    const char ns = m_latitude < 0 ? 'S' : 'N';
    const char ew = m_longitude < 0 ? 'W' : 'E';
    std::uniform_real_distribution<double> speed(0.0, 1.5), course(0.0, 359.9);
    const double knots = speed(m_random), track = course(m_random);
    const double hdop = 0.7 + 0.1 * (12 - m_used);

    // Which talkers write this second, and which systems' GSA follow.
    const int systems = m_options.talkers == Talkers::GPS ? 1 : std::clamp(m_options.systems, 1, 4);
    const char *positionTalkers[2] = {"GP", nullptr};
    int firstSystem = 0, lastSystem = 0;
    const char *satelliteTalker = "GP";
    switch (m_options.talkers) {
    case Talkers::GPS: break;
    case Talkers::GN:
        positionTalkers[0] = satelliteTalker = "GN";
        lastSystem = systems - 1;
        break;
    case Talkers::Switching: {
        std::uniform_int_distribution<int> pick(0, 2);
        const int choice = pick(m_random);
        if (choice == 1 && systems > 1) {
            positionTalkers[0] = satelliteTalker = "GL";
            firstSystem = lastSystem = 1;
        } else if (choice == 2) {
            positionTalkers[0] = satelliteTalker = "GN";
            lastSystem = systems - 1;
        }
        break;
    }
    case Talkers::Duplicated:
        positionTalkers[1] = satelliteTalker = "GN";
        lastSystem = systems - 1;
        break;
    }

    char body[160];
    for (const char *talker : positionTalkers) {
        if (talker == nullptr)
            continue;
        std::snprintf(body, sizeof body, "%sRMC,%02d%02d%02d.00,%c,%s,%c,%s,%c,%.1f,%.1f,%02d%02d%02d,,,%c",
                      talker, hh, mm, ss, valid ? 'A' : 'V', lat, ns, lon, ew, knots, track, day,
                      m_options.month, m_options.year, valid ? phase.mode : 'N');
        appendSentence(log, body);
        std::snprintf(body, sizeof body, "%sGGA,%02d%02d%02d.00,%s,%c,%s,%c,%d,%02d,%.1f,%.1f,M,46.9,M,,",
                      talker, hh, mm, ss, lat, ns, lon, ew, valid ? phase.quality : 0, valid ? m_used : 0,
                      hdop, 545.4 + 0.1 * static_cast<double>(m_second % 50));
        appendSentence(log, body);
    }
    for (int system = firstSystem; system <= lastSystem; ++system)
        appendSatellites(log, satelliteTalker, system, valid, hdop);

    static const int *const inView = kInView[0];
    int length = 0;
    for (int part = 0; part < 3; ++part) {
        length = std::snprintf(body, sizeof body, "GPGSV,3,%d,12", part + 1);
        for (int i = part * 4; i < part * 4 + 4; ++i) {
            const int elevation = 10 + (inView[i] * 7 + static_cast<int>(m_second / 600)) % 75;
            const int azimuth = (inView[i] * 29 + static_cast<int>(m_second / 120)) % 360;
            const int snr = i < m_used ? 30 + (inView[i] + i) % 18 : 0;
            if (snr > 0)
                length += std::snprintf(body + length, sizeof body - static_cast<std::size_t>(length),
                                        ",%02d,%02d,%03d,%02d", inView[i], elevation, azimuth, snr);
            else
                length += std::snprintf(body + length, sizeof body - static_cast<std::size_t>(length),
                                        ",%02d,%02d,%03d,", inView[i], elevation, azimuth);
        }
        appendSentence(log, body);
    }

    std::snprintf(body, sizeof body, "%sVTG,%.1f,T,,M,%.1f,N,%.1f,K,%c",
                  positionTalkers[1] != nullptr ? positionTalkers[1] : positionTalkers[0], track, knots,
                  knots * 1.852, valid ? 'A' : 'N');
    appendSentence(log, body);

    if (noise) {
        // What real logs hold between sentences: vendor sentences, lines cut
        // short by a buffer overflow, bytes from a baud-rate mismatch.
        static const char *const junk[] = {
            "$PGRME,15.0,M,45.0,M,25.0,M*1C\r\n",
            "$GPRMC,1235\r\n",
            "\xE0\xF8\x1C\x80~\x06\r\n",
            "$GPGSV,3,2,12,14,2\r\n",
        };
        std::uniform_int_distribution<int> pick(0, 3);
        log += junk[pick(m_random)];
    }
    step();
}

void LogGenerator::appendBytes(std::string &log, std::size_t bytes)
{
    const std::size_t target = log.size() + bytes;
    log.reserve(target + 1024);
    while (log.size() < target)
        appendSecond(log);
}

std::string LogGenerator::stationaryLog(int seconds, double latitude, double longitude, std::uint64_t seed)
{
    Options options;
    options.seed = seed;
    options.latitude = latitude;
    options.longitude = longitude;
    options.correlationSeconds = 20.0;
    options.errorMetres = 1.0;
    options.minuteDecimals = 6;
    LogGenerator generator(options);
    std::string log;
    for (int second = 0; second < seconds; ++second)
        generator.appendSecond(log);
    return log;
}

std::string LogGenerator::benchmarkLog(std::size_t bytes)
{
    Options options;
    options.notValidShare = 0.01;
    options.noiseShare = 0.002;
    LogGenerator generator(options);
    std::string log;
    generator.appendBytes(log, bytes);
    return log;
}

} // namespace navorel
