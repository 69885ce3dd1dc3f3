// The command line's JSON and its GPX and KML files, read back by other
// programs: Python's json module, GPSBabel, and gpsd's gpsprof on the same fixes.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <netinet/in.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "filter/filterprocess.h"
#include "filter/meanuncertainty.h"
#include "filter/precisionfigures.h"
#include "filter/textfile.h"
#include "tests/core/testlog.h"

namespace navorel {
namespace {

const std::string kTemp = ::testing::TempDir() + "exports-" + std::to_string(getpid()) + "-";
const std::string kTool = NAVOREL_FILTER_BIN;

struct Output
{
    int status = -1;
    std::string text;
};

// Runs a shell command and returns its standard output and exit status.
Output run(const std::string &command)
{
    Output output;
    std::FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.text.append(buffer, got);
    const int raw = pclose(pipe);
    output.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

bool have(const std::string &program)
{
    return run("command -v " + program + " >/dev/null 2>&1").status == 0;
}

std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// Scattered fixes around 60.2 N 24.9 E, tens of metres apart so that three
// decimals of gpsprof are well below 0.1 %; a GGA and an RMC per second.
// Every 50th second stands 40 m north and 30 m east: the farthest fix
// whether distances are taken in metres or, as gpsprof does, in degrees.
std::string scatteredLog(int seconds)
{
    std::mt19937 random(7);
    std::normal_distribution<double> north(0.0, 8.0), east(0.0, 5.0), height(0.0, 3.0);
    std::string log;
    for (int s = 0; s < seconds; ++s) {
        const bool outlier = s % 50 == 25;
        const double latitude = 60.2 + (outlier ? 40.0 : north(random)) / 111300.0;
        const double longitude = 24.9 + (outlier ? 30.0 : east(random)) / 55700.0;
        char time[16], position[64], altitude[16];
        std::snprintf(time, sizeof time, "%02d%02d%02d.00", 10 + s / 3600, s / 60 % 60, s % 60);
        std::snprintf(position, sizeof position, "%02d%07.4f,N,%03d%07.4f,E", static_cast<int>(latitude),
                      (latitude - std::floor(latitude)) * 60, static_cast<int>(longitude),
                      (longitude - std::floor(longitude)) * 60);
        std::snprintf(altitude, sizeof altitude, "%.1f", 45.0 + height(random));
        log +=
            test::sentence(std::string("GPRMC,") + time + ",A," + position + ",0.1,0.0,081226,,,A") + "\r\n";
        log += test::sentence(std::string("GPGGA,") + time + "," + position + ",1,08,0.9," + altitude
                              + ",M,17.9,M,,")
               + "\r\n";
    }
    return log;
}

// Every member as "path=value", value as Python's repr gives it: the
// shortest text of the same double.
const char kFlattenJson[] = "python3 -c 'import json,sys\n"
                            "def walk(p, v):\n"
                            "    if isinstance(v, dict):\n"
                            "        for k, x in v.items(): walk(p + [k], x)\n"
                            "    else: print(\".\".join(p) + \"=\" + (\"null\" if v is None else repr(v)))\n"
                            "walk([], json.load(sys.stdin))'";

std::map<std::string, std::string> flattenedJson(const std::string &command)
{
    std::map<std::string, std::string> members;
    for (const std::string &line : linesOf(run(command + " | " + kFlattenJson).text)) {
        const std::size_t equals = line.find('=');
        members[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return members;
}

TEST(Exports, JsonCarriesEveryFigureToTheLastDigit)
{
    if (!have("python3"))
        GTEST_SKIP() << "python3 is missing: nothing independent to read the JSON with";
    const std::string log = kTemp + "json.nmea";
    const std::string text = scatteredLog(120);
    ASSERT_TRUE(writeFileReplacing(log, text));
    Settings gga;
    gga.IDF = PositionSentence::GGA;
    const FilterRun inProcess = runFilter(TextLines::fromText(std::string(text)), gga);
    const PrecisionFigures f = measurePrecision(inProcess.fixes);

    const std::map<std::string, std::string> members = flattenedJson(kTool + " --gga --json " + log);
    const std::map<std::string, double> expected = {
        {"sentences_found", 120},
        {"not_valid", 0},
        {"fixes", 120},
        {"mean.lat_deg", f.meanLatitude},
        {"mean.lon_deg", f.meanLongitude},
        {"time_span_s", 119},
        {"precision_m.sigma_north", f.sigmaNorth},
        {"precision_m.sigma_east", f.sigmaEast},
        {"precision_m.drms", f.drms},
        {"precision_m.twice_drms", f.twiceDrms},
        {"precision_m.cep50", f.cep50},
        {"precision_m.cep95", f.cep95},
        {"precision_m.max", f.maxDistance},
        {"altitude_m.mean", f.altitudeMean},
        {"altitude_m.sigma", f.altitudeSigma},
        {"settled_s.1", f.settled[0].value_or(NAN)},
        {"settled_s.0.5", f.settled[1].value_or(NAN)},
        {"settled_s.0.1", f.settled[2].value_or(NAN)},
    };
    // The quality of the log: the classes and what the rules left out.
    std::map<std::string, double> quality = {
        {"quality.below_minimum", 0},        {"quality.checksum_errors", 0}, {"quality.without_checksum", 0},
        {"quality.impossible_positions", 0}, {"quality.time_gaps", 0},       {"quality.longest_gap_s", 0},
        {"quality.time_backwards", 0},
    };
    for (std::size_t c = 0; c < kFixClasses; ++c)
        quality["quality.fix_classes." + std::string(fixClassName(static_cast<FixClass>(c)))] =
            c == static_cast<std::size_t>(FixClass::Autonomous) ? 120 : 0;
    EXPECT_EQ(members.at("quality.min_quality"), "'any'");
    EXPECT_EQ(members.at("quality.receiver_sigma_m"), "null");
    // How far the mean may be from the truth, to the last digit too.
    const MeanUncertainty u = measureUncertainty(inProcess.fixes, f);
    ASSERT_TRUE(u.measured);
    const std::map<std::string, double> uncertainty = {
        {"mean_uncertainty_m.r95", u.r95},
        {"mean_uncertainty_m.east_se", u.eastStandardError},
        {"mean_uncertainty_m.north_se", u.northStandardError},
        {"mean_uncertainty_m.batch_s", u.batchSeconds},
    };
    for (const auto &[path, value] : uncertainty)
        EXPECT_EQ(std::strtod(members.at(path).c_str(), nullptr), value) << path;
    EXPECT_EQ(members.at("mean_uncertainty_m.settled"), u.settled ? "True" : "False");
    EXPECT_EQ(members.count("mean_uncertainty_m.altitude_95"), 1u);
    const std::size_t logMore = u.settled ? 3 : 1;
    EXPECT_EQ(members.count(u.settled ? "log_more_s.0.5" : "log_more_s"), 1u);
    EXPECT_TRUE(members.at("allan_m").starts_with("[{'tau_s': 1, 'east': ")) << members.at("allan_m");
    ASSERT_EQ(members.size(), expected.size() + quality.size() + 2 + uncertainty.size() + 2 + logMore + 1);
    for (const auto &[path, value] : quality)
        EXPECT_EQ(std::strtod(members.at(path).c_str(), nullptr), value) << path;
    for (const auto &[path, value] : expected) {
        ASSERT_TRUE(members.count(path)) << path;
        if (std::isnan(value))
            EXPECT_EQ(members.at(path), "null") << path;
        else
            EXPECT_EQ(std::strtod(members.at(path).c_str(), nullptr), value) << path;
    }
}

TEST(Exports, JsonOfARunWithoutFixAndOfAStoppedRun)
{
    if (!have("python3"))
        GTEST_SKIP() << "python3 is missing: nothing independent to read the JSON with";
    const std::map<std::string, std::string> empty = flattenedJson(kTool + " --json /dev/null");
    const std::map<std::string, std::string> nulls = {
        {"sentences_found", "0"}, {"not_valid", "0"},      {"fixes", "0"},         {"mean", "null"},
        {"time_span_s", "null"},  {"precision_m", "null"}, {"altitude_m", "null"}, {"settled_s", "null"}};
    for (const auto &[path, value] : nulls)
        EXPECT_EQ(empty.at(path), value) << path;
    EXPECT_EQ(empty.at("mean_uncertainty_m"), "null");
    EXPECT_EQ(empty.at("log_more_s"), "null");
    EXPECT_EQ(empty.at("allan_m"), "[]");
    EXPECT_EQ(empty.at("quality.checksum_errors"), "0");

    const std::string bad = kTemp + "bad.nmea";
    ASSERT_TRUE(writeFileReplacing(bad,
                                   "$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*0A\r\n"
                                   "$GPRMC,101501.00,A,48A7.0380,N,01131.0000,E,0.5,54.7,191206,,*7A\r\n"));
    EXPECT_EQ(run(kTool + " --json " + bad + " 2>/dev/null").status, 1);
    const std::map<std::string, std::string> stopped =
        flattenedJson(kTool + " --json " + bad + " 2>/dev/null");
    EXPECT_EQ(stopped.size(), 2u);
    EXPECT_EQ(stopped.at("line"), "2");
    // The message of the desktop program, in UTF-8.
    EXPECT_NE(stopped.at("error").find("'A70380' ist kein g\xC3\xBCltiger Integerwert"), std::string::npos)
        << stopped.at("error");
}

// GPSBabel's unicsv writes six decimals; a style of our own asks for twelve,
// so that the coordinates compare to 1e-9 degrees.
std::vector<std::vector<double>> readByGpsbabel(const std::string &format, const std::string &file)
{
    const std::string style = kTemp + "style";
    EXPECT_TRUE(writeFileReplacing(style, "FIELD_DELIMITER COMMA\nRECORD_DELIMITER NEWLINE\n"
                                          "OFIELD LAT_DECIMAL, \"\", \"%.12f\"\n"
                                          "OFIELD LON_DECIMAL, \"\", \"%.12f\"\n"
                                          "OFIELD ALT_METERS, \"\", \"%.3f\"\n"
                                          "OFIELD ISO_TIME, \"\", \"%s\"\n"));
    // -w -t with wpt=trk: waypoints as they are, track points as waypoints.
    const Output out = run("gpsbabel -w -t -i " + format + " -f " + file
                           + " -x transform,wpt=trk,del -o xcsv,style=" + style + " -F - 2>&1");
    EXPECT_EQ(out.status, 0) << out.text;
    std::vector<std::vector<double>> rows;
    for (const std::string &line : linesOf(out.text)) {
        std::vector<double> row;
        const char *p = line.c_str();
        for (int i = 0; i < 3; ++i) {
            char *end = nullptr;
            row.push_back(std::strtod(p, &end));
            p = *end == ',' ? end + 1 : end;
        }
        // A point without a time gets the start of 1970.
        row.push_back(std::string(p).rfind("1970-", 0) == 0 ? 0.0 : 1.0);
        rows.push_back(row);
    }
    return rows;
}

TEST(Exports, GpsbabelReadsTheSameCoordinatesBack)
{
    if (!have("gpsbabel"))
        GTEST_SKIP() << "gpsbabel is missing (apt-get install gpsbabel)";
    const std::string log = kTemp + "babel.nmea";
    const std::string text = scatteredLog(30);
    ASSERT_TRUE(writeFileReplacing(log, text));
    const std::string wpt = kTemp + "mean.gpx", kml = kTemp + "mean.kml", trk = kTemp + "track.gpx",
                      rmcTrack = kTemp + "rmc.gpx";
    ASSERT_EQ(run(kTool + " --gga --quiet --gpx " + wpt + " --kml " + kml + " --gpx-track " + trk + " " + log)
                  .status,
              0);
    ASSERT_EQ(run(kTool + " --quiet --gpx-track " + rmcTrack + " " + log).status, 0);
    Settings gga;
    gga.IDF = PositionSentence::GGA;
    const FilterRun ggaRun = runFilter(TextLines::fromText(std::string(text)), gga);
    const PrecisionFigures f = measurePrecision(ggaRun.fixes);

    for (const auto &[format, file] : {std::pair{"gpx", wpt}, std::pair{"kml", kml}}) {
        SCOPED_TRACE(file);
        const auto rows = readByGpsbabel(format, file);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_NEAR(rows[0][0], f.meanLatitude, 1e-9);
        EXPECT_NEAR(rows[0][1], f.meanLongitude, 1e-9);
        EXPECT_NEAR(rows[0][2], f.altitudeMean, 1e-3);
    }
    // GGA has no date: heights, no times. RMC has dates: times, no heights.
    const auto ggaRows = readByGpsbabel("gpx", trk);
    const auto rmcRows = readByGpsbabel("gpx", rmcTrack);
    ASSERT_EQ(ggaRows.size(), 30u);
    ASSERT_EQ(rmcRows.size(), 30u);
    for (std::size_t i = 0; i < ggaRows.size(); ++i) {
        EXPECT_NEAR(ggaRows[i][0], ggaRun.fixes.latitudes[i], 1e-9) << i;
        EXPECT_NEAR(ggaRows[i][1], ggaRun.fixes.longitudes[i], 1e-9) << i;
        EXPECT_NEAR(ggaRows[i][2], ggaRun.fixes.altitudes[i], 1e-3) << i;
        EXPECT_EQ(ggaRows[i][3], 0.0) << i;
        EXPECT_NEAR(rmcRows[i][0], ggaRun.fixes.latitudes[i], 1e-9) << i;
        EXPECT_EQ(rmcRows[i][3], 1.0) << i;
    }
}

bool portAnswers(int port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool answered = connect(s, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    close(s);
    return answered;
}

// The number after label in gpsprof's gnuplot script.
double numberAfter(const std::string &script, const std::string &label, std::size_t from = 0)
{
    const std::size_t at = script.find(label, from);
    return at == std::string::npos ? NAN : std::strtod(script.c_str() + at + label.size(), nullptr);
}

// gpsprof's table of min, max and sigma per axis: the third number of row.
double sigmaOfRow(const std::string &script, int row)
{
    std::size_t at = script.find("kurtosis\\n");
    for (int i = 0; i < row && at != std::string::npos; ++i)
        at = script.find("\\n", at + 1);
    if (at == std::string::npos)
        return NAN;
    const char *p = script.c_str() + at + 2;
    char *end = nullptr;
    std::strtod(p, &end);
    std::strtod(end, &end);
    return std::strtod(end, nullptr);
}

// The same log through gpsd (gpsfake replays it, gpspipe -w collects the
// fixes gpsd makes of it), then gpsprof -r -f space over those fixes, and
// our figures over the very same fixes. They agree to 0.1 % on sigma north
// and east, 2DRMS and the largest distance. Not on CEP: gpsprof sorts the
// fixes by their distance in degrees, which at 60 N counts a degree of
// longitude as long as a degree of latitude though it is half as long, and
// takes index int(0.5 n) of that order, one rank past ceil(0.5 n) for even
// n; we sort by metres. (gpsprof also names the east offsets "lat": its
// MeterOffset returns east first.)
TEST(Exports, FiguresAgreeWithGpsprofOnTheSameFixes)
{
    for (const char *program : {"gpsfake", "gpspipe", "gpsprof"}) {
        if (!have(program))
            GTEST_SKIP() << program << " is missing (apt-get install gpsd gpsd-clients)";
    }
    const std::string log = kTemp + "gpsd.nmea";
    ASSERT_TRUE(writeFileReplacing(log, scatteredLog(500)));
    const int port = 20000 + getpid() % 20000;
    const std::string portText = std::to_string(port);
    const pid_t fake = fork();
    if (fake == 0) {
        setpgid(0, 0);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execlp("gpsfake", "gpsfake", "-1", "-q", "-c", "0.004", "-P", portText.c_str(), log.c_str(), nullptr);
        _exit(127);
    }
    setpgid(fake, fake);
    for (int i = 0; i < 100 && !portAnswers(port); ++i)
        usleep(100000);
    // gpsd opens the replayed pty only once a client watches: the first
    // seconds of the log are gone by then, which does not matter here.
    const Output json = run("gpspipe -w -x 7 127.0.0.1:" + portText + " 2>/dev/null");
    kill(-fake, SIGTERM);
    for (int i = 0; i < 50 && waitpid(fake, nullptr, WNOHANG) == 0; ++i)
        usleep(100000);
    kill(-fake, SIGKILL);
    waitpid(fake, nullptr, WNOHANG);

    AcceptedFixes fixes;
    std::string device;
    std::string replay;
    for (const std::string &line : linesOf(json.text)) {
        if (line.find("\"class\":\"DEVICE\",") != std::string::npos
            && line.find("\"driver\"") != std::string::npos)
            device = line;
        if (line.find("\"class\":\"TPV\"") == std::string::npos || line.find("\"lat\":") == std::string::npos)
            continue;
        if (line.find("\"mode\":2") == std::string::npos && line.find("\"mode\":3") == std::string::npos)
            continue;
        fixes.latitudes.push_back(numberAfter(line, "\"lat\":"));
        fixes.longitudes.push_back(numberAfter(line, "\"lon\":"));
        fixes.times.push_back(AcceptedFixes::kNoTime);
        replay += line + "\n";
    }
    ASSERT_GE(fixes.size(), 200u) << "too few fixes came through gpsd:\n" << json.text.substr(0, 2000);
    // gpsprof names the device in its title: it wants a DEVICES line with one.
    const std::string fixesFile = kTemp + "fixes.json";
    ASSERT_TRUE(
        writeFileReplacing(fixesFile, "{\"class\":\"DEVICES\",\"devices\":[" + device + "]}\n" + replay));
    const Output profile = run("gpsprof -r -f space < " + fixesFile + " 2>/dev/null");
    ASSERT_EQ(profile.status, 0);

    const PrecisionFigures f = measurePrecision(fixes);
    const std::pair<double, double> agreeing[] = {
        {f.sigmaEast, sigmaOfRow(profile.text, 1)},
        {f.sigmaNorth, sigmaOfRow(profile.text, 2)},
        {f.twiceDrms, numberAfter(profile.text, "2drms = ")},
        {f.maxDistance, numberAfter(profile.text, "2d max = ")},
    };
    for (const auto &[ours, theirs] : agreeing)
        EXPECT_NEAR(theirs, ours, 1e-3 * ours) << "of " << fixes.size() << " fixes";
}

} // namespace
} // namespace navorel
