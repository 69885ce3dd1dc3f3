// Every GPX navorel-filter writes validates against the GPX 1.1 schema, every
// KML is well-formed XML with longitude before latitude, every JSON is
// strict: over the real receiver logs and over logs made to hit the edges
// (heights without decimal text, positions off the earth or on the date
// line, days that are not in the calendar).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "filter/textfile.h"
#include "tests/core/testlog.h"

namespace navorel {
namespace {

namespace fs = std::filesystem;

const std::string kTool = NAVOREL_FILTER_BIN;
const std::string kSchema = NAVOREL_GPX_SCHEMA;
const std::string kSamples = NAVOREL_SAMPLES_DIR;
const std::string kFolder = ::testing::TempDir() + "validexports-" + std::to_string(::getpid()) + "/";

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

Outcome shell(const std::string &command)
{
    const std::string out = kFolder + ".out", err = kFolder + ".err";
    const int raw = std::system(("{ " + command + "; } >'" + out + "' 2>'" + err + "'").c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    readFileBytes(out, outcome.out);
    readFileBytes(err, outcome.err);
    return outcome;
}

bool have(const std::string &program)
{
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string quoted(const std::string &text)
{
    return "'" + text + "'";
}

// Python's json module with NaN and Infinity refused, as strict JSON has
// neither: prints each file's mean latitude and longitude, or "none".
const char kStrictJson[] =
    "python3 -c 'import json,sys\n"
    "def refuse(name): raise ValueError(\"not JSON: \" + name)\n"
    "for f in sys.argv[1:]:\n"
    "    o = json.load(open(f), parse_constant=refuse)\n"
    "    m = o.get(\"mean\")\n"
    "    print(\"none\" if m is None else \"%.9f %.9f\" % (m[\"lat_deg\"], m[\"lon_deg\"]))'";

class ValidExports : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *program : {"xmllint", "python3"}) {
            if (!have(program))
                GTEST_SKIP() << program << " is missing (apt-get install libxml2-utils python3)";
        }
        fs::remove_all(kFolder);
        fs::create_directories(kFolder);
    }
    void TearDown() override { fs::remove_all(kFolder); }

    // Runs every export over log with arguments; what was written is
    // checked by checkAll(), one program start for all files.
    Outcome exportAll(const std::string &log, const std::string &arguments)
    {
        const std::string tag = kFolder + std::to_string(m_runs++) + "-";
        const std::string gpx = tag + "mean.gpx", kml = tag + "mean.kml", track = tag + "track.gpx";
        const Outcome outcome = shell(kTool + " " + arguments + " --json --gpx " + gpx + " --kml " + kml
                                      + " --gpx-track " + track + " " + quoted(log));
        const std::string what = log + " " + arguments;
        EXPECT_TRUE(outcome.status == 0 || outcome.status == 1 || outcome.status == 2) << what << outcome.err;
        EXPECT_TRUE(writeFileReplacing(tag + "out.json", outcome.out));
        m_json.push_back(tag + "out.json");
        m_kml.push_back(outcome.status == 0 ? kml : "");
        m_what.push_back(what);
        if (outcome.status != 0) {
            // nothing written by a run that failed
            for (const std::string &file : {gpx, kml, track})
                EXPECT_FALSE(fs::exists(file)) << what << ": " << file;
            return outcome;
        }
        m_gpx.push_back(gpx);
        m_gpx.push_back(track);
        return outcome;
    }

    // A file of the last exportAll().
    std::string last(const std::string &name) const
    {
        return kFolder + std::to_string(m_runs - 1) + "-" + name;
    }

    void checkAll()
    {
        const auto words = [](const std::vector<std::string> &files) {
            std::string line;
            for (const std::string &file : files) {
                if (!file.empty())
                    line.append(" '").append(file).append("'");
            }
            return line;
        };
        const std::string gpx = words(m_gpx), kml = words(m_kml), json = words(m_json);
        if (!gpx.empty()) {
            const Outcome valid = shell("xmllint --noout --schema " + quoted(kSchema) + gpx);
            EXPECT_EQ(valid.status, 0) << valid.err;
        }
        if (!kml.empty()) {
            const Outcome wellFormed = shell("xmllint --noout" + kml);
            EXPECT_EQ(wellFormed.status, 0) << wellFormed.err;
        }
        const Outcome means = shell(kStrictJson + json);
        ASSERT_EQ(means.status, 0) << means.err;
        std::size_t start = 0;
        for (std::size_t i = 0; i < m_json.size(); ++i) {
            const std::size_t end = means.out.find('\n', start);
            ASSERT_NE(end, std::string::npos) << means.out;
            const std::string mean = means.out.substr(start, end - start);
            start = end + 1;
            if (m_kml[i].empty())
                continue;
            // longitude first, then latitude, as the JSON mean has them
            std::string text;
            readFileBytes(m_kml[i], text);
            const std::size_t at = text.find("<coordinates>");
            ASSERT_NE(at, std::string::npos) << m_what[i] << text;
            char *next = nullptr;
            const double longitude = std::strtod(text.c_str() + at + 13, &next);
            const double latitude = std::strtod(next + 1, nullptr);
            double jsonLatitude = NAN, jsonLongitude = NAN;
            std::sscanf(mean.c_str(), "%lf %lf", &jsonLatitude, &jsonLongitude);
            EXPECT_NEAR(latitude, jsonLatitude, 1e-9) << m_what[i] << text;
            EXPECT_NEAR(longitude, jsonLongitude, 1e-9) << m_what[i] << text;
        }
    }

    int m_runs = 0;
    std::vector<std::string> m_gpx, m_kml, m_json, m_what;
};

TEST_F(ValidExports, EveryRealLogInEveryMode)
{
    std::vector<std::string> logs;
    for (const auto &entry : fs::directory_iterator(kSamples)) {
        if (entry.path().filename() != "README.md")
            logs.push_back(entry.path().string());
    }
    std::sort(logs.begin(), logs.end());
    ASSERT_GE(logs.size(), 29u) << "the receiver logs belong in " << kSamples;
    int written = 0;
    for (const std::string &log : logs) {
        for (const char *mode :
             {"--rmc --talkers gnss", "--rmc --talkers gps", "--gga --talkers gnss", "--gga --talkers gps"})
            written += exportAll(log, mode).status == 0;
    }
    // most logs have fixes in most modes: the files were there to be checked
    EXPECT_GE(written, 80);
    checkAll();
}

std::string rmcLog(const std::vector<std::pair<std::string, std::string>> &positions,
                   const std::string &date = "191206")
{
    std::string log;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const std::string time = "1015" + std::string(i < 10 ? "0" : "") + std::to_string(i);
        log += test::sentence("GPRMC," + time + ".00,A," + positions[i].first + ",N," + positions[i].second
                              + ",E,0.5,54.7," + date + ",,")
               + "\r\n";
    }
    return log;
}

std::string write(const std::string &name, const std::string &bytes)
{
    EXPECT_TRUE(writeFileReplacing(kFolder + name, bytes));
    return kFolder + name;
}

std::string contents(const std::string &path)
{
    std::string bytes;
    readFileBytes(path, bytes);
    return bytes;
}

// A GGA height of 1e300 filled <ele> with 64 bytes of the stack.
TEST_F(ValidExports, HeightsWithoutDecimalTextAreLeftOutAndCounted)
{
    std::string log;
    const std::string heights[] = {"545.4", "1e300", "1e61", "1e308", "1" + std::string(99, '0')};
    for (std::size_t i = 0; i < std::size(heights); ++i)
        log += test::sentence("GPGGA,10150" + std::to_string(i) + ".00,4807.0380,N,01131.0000,E,1,08,0.9,"
                              + heights[i] + ",M,46.9,M,,")
               + "\r\n";
    const std::string path = write("heights.nmea", log);
    const Outcome outcome = exportAll(path, "--gga");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.err.find("track.gpx: 4 altitudes left out: too large to write with decimals"),
              std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.err.find("mean.gpx: the mean altitude is too large"), std::string::npos) << outcome.err;
    const std::string track = contents(last("track.gpx"));
    EXPECT_NE(track.find("<desc>4 altitudes left out"), std::string::npos) << track;
    EXPECT_EQ(std::count_if(track.begin(), track.end(), [](char c) { return (c & 0x80) != 0; }), 0) << track;
    EXPECT_NE(contents(last("mean.kml")).find("<altitudeMode>clampToGround</altitudeMode>"),
              std::string::npos);
    EXPECT_EQ(contents(last("mean.gpx")).find("<ele>"), std::string::npos);
    checkAll();
}

TEST_F(ValidExports, PositionsOffTheEarthAreNotWrittenAndTheDateLineIsWrittenOnce)
{
    // By default a run leaves such fixes out; read as the classic rules read
    // lines, they reach the exports, which still write none of them.
    // 91° N, 720° E and a mean beyond ±180°: no waypoint, exit 2, the JSON says why
    for (const auto &[latitude, longitude] :
         {std::pair{"9100.0000", "01131.0000"}, {"4807.0380", "72000.0000"}}) {
        const std::string path = write("off.nmea", rmcLog({{latitude, longitude}}));
        const Outcome outcome = exportAll(path, "--rmc --checksums ignore");
        EXPECT_EQ(outcome.status, 2);
        EXPECT_NE(outcome.err.find("no mean position to write"), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.out.find("\"mean\": null, \"mean_error\": \"the mean "), std::string::npos)
            << outcome.out;
        const Outcome json = shell(kTool + " --checksums ignore --json " + quoted(path));
        EXPECT_EQ(json.status, 0);
        EXPECT_NE(json.err.find("the mean is null"), std::string::npos) << json.err;
        const Outcome track =
            shell(kTool + " --checksums ignore --quiet --gpx-track " + kFolder + "off.gpx " + quoted(path));
        EXPECT_EQ(track.status, 0);
        EXPECT_NE(track.err.find("1 fix left out"), std::string::npos) << track.err;
        EXPECT_EQ(contents(kFolder + "off.gpx").find("<trkpt"), std::string::npos);
    }
    // one impossible fix among good ones: the mean stands, the fix is left out of the track
    const std::string mixed = write("mixed.nmea", rmcLog({{"4807.0380", "01131.0000"},
                                                          {"9100.0000", "01131.0000"},
                                                          {"4807.0380", "01131.0000"},
                                                          {"4807.0380", "01131.0000"}}));
    EXPECT_EQ(exportAll(mixed, "--rmc --checksums ignore").status, 0);
    const std::string track = contents(last("track.gpx"));
    EXPECT_EQ(track.find("lat=\"91."), std::string::npos) << track;
    EXPECT_NE(track.find("<desc>1 fix left out"), std::string::npos) << track;

    // 180° E is written as -180, as GPX 1.1 has it
    const std::string dateLine = write("dateline.nmea", rmcLog({{"4807.0380", "18000.0000"}}));
    EXPECT_EQ(exportAll(dateLine, "--rmc").status, 0);
    EXPECT_NE(contents(last("mean.gpx")).find("lon=\"-180.000000000\""), std::string::npos);
    EXPECT_NE(contents(last("track.gpx")).find("lon=\"-180.000000000\""), std::string::npos);
    EXPECT_NE(contents(last("mean.kml")).find("<coordinates>-180.000000000,"), std::string::npos);
    checkAll();
}

TEST_F(ValidExports, OnlyRealDaysAndTimesOfDayAreWritten)
{
    std::string log;
    const std::pair<const char *, const char *> stamps[] = {{"310226", "120000"}, {"290223", "120001"},
                                                            {"191206", "256060"}, {"311216", "235960"},
                                                            {"290224", "120002"}, {"191206", "123060"}};
    for (const auto &[date, time] : stamps)
        log += test::sentence("GPRMC," + std::string(time) + ".00,A,4807.0380,N,01131.0000,E,0.5,54.7," + date
                              + ",,")
               + "\r\n";
    const std::string path = write("dates.nmea", log);
    EXPECT_EQ(exportAll(path, "--rmc").status, 0);
    const std::string track = contents(last("track.gpx"));
    // every fix stays, only real times are written
    std::size_t points = 0;
    for (std::size_t at = track.find("<trkpt"); at != std::string::npos; at = track.find("<trkpt", at + 1))
        ++points;
    EXPECT_EQ(points, 6u) << track;
    EXPECT_EQ(track.find("2026-02-31"), std::string::npos) << track;
    EXPECT_EQ(track.find("2023-02-29"), std::string::npos) << track;
    EXPECT_NE(track.find("<time>2024-02-29T12:00:02Z</time>"), std::string::npos) << track;
    EXPECT_NE(track.find("<time>2016-12-31T23:59:59.999Z</time>"), std::string::npos) << track;
    EXPECT_EQ(track.find("T12:31:00Z"), std::string::npos) << track;
    checkAll();
}

} // namespace
} // namespace navorel
