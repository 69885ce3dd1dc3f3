#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "exports/positionexport.h"
#include "exports/xmlwriter.h"

namespace navorel {
namespace {

TEST(XmlWriter, EscapesMarkupAndReadsOtherBytesAsWindows1252)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Mast <3> & \"Tom's\"", "Mast &lt;3&gt; &amp; &quot;Tom&apos;s&quot;"},
        {"M\xC3\xBCnchen", "M\xC3\xBCnchen"},               // UTF-8 stays
        {"M\xFCnchen \x80", "M\xC3\xBCnchen \xE2\x82\xAC"}, // Windows-1252 becomes UTF-8
        {"a\x01\x1F\tb\r\n", "a\tb\r\n"},                   // XML 1.0 has no other control characters
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(XmlWriter::escaped(text), expected) << text;
}

TEST(PositionExport, HeightOnlyInGgaModeAndTimesOnlyWithADate)
{
    PrecisionFigures figures;
    figures.fixes = 2;
    figures.meanLatitude = -33.9000050001;
    figures.meanLongitude = -70.59999249999;
    const std::string rmc = PositionExport::meanPositionGpx(figures, "A & B");
    EXPECT_NE(rmc.find("<wpt lat=\"-33.900005000\" lon=\"-70.599992500\">"), std::string::npos) << rmc;
    EXPECT_NE(rmc.find("<name>A &amp; B</name>"), std::string::npos) << rmc;
    EXPECT_EQ(rmc.find("<ele>"), std::string::npos) << rmc;
    figures.altitudeFixes = 1;
    figures.altitudeMean = 545.25;
    EXPECT_NE(PositionExport::meanPositionKml(figures, "x")
                  .find("<coordinates>-70.599992500,-33.900005000,545.250<"),
              std::string::npos);

    EXPECT_EQ(PositionExport::isoTime(20261208, 86399), "2026-12-08T23:59:59Z");
    EXPECT_EQ(PositionExport::isoTime(AcceptedFixes::kNoDate, 0), "");
    EXPECT_EQ(PositionExport::isoTime(20261208, AcceptedFixes::kNoTime), "");
    EXPECT_EQ(AcceptedFixes::dateOf("081226"), 20261208);
    EXPECT_EQ(AcceptedFixes::dateOf("311299"), 19991231);
    EXPECT_EQ(AcceptedFixes::dateOf("0812"), AcceptedFixes::kNoDate);
}

// to_chars fails for such numbers in a 64-byte buffer: its pointer then
// says nothing, and what the buffer held must never reach a file.
TEST(PositionExport, HeightsWithoutDecimalTextAreLeftOutOrClamped)
{
    const std::string hundredDigits = "1" + std::string(99, '0');
    for (const double altitude : {1e300, 1e61, 1e308, std::strtod(hundredDigits.c_str(), nullptr)}) {
        SCOPED_TRACE(altitude);
        EXPECT_EQ(PositionExport::fixedText(altitude, 3), "");
        PrecisionFigures figures;
        figures.fixes = 1;
        figures.meanLatitude = 48.1173;
        figures.meanLongitude = 11.5;
        figures.altitudeFixes = 1;
        figures.altitudeMean = altitude;
        const std::string gpx = PositionExport::meanPositionGpx(figures, "x");
        EXPECT_EQ(gpx.find("<ele>"), std::string::npos) << gpx;
        EXPECT_NE(gpx.find("altitude left out"), std::string::npos) << gpx;
        const std::string kml = PositionExport::meanPositionKml(figures, "x");
        EXPECT_NE(kml.find("<altitudeMode>clampToGround</altitudeMode>"), std::string::npos) << kml;
        EXPECT_NE(kml.find("<coordinates>11.500000000,48.117300000,0</coordinates>"), std::string::npos)
            << kml;
        EXPECT_NE(kml.find("altitude left out"), std::string::npos) << kml;

        AcceptedFixes fixes;
        fixes.latitudes = {48.0, 48.0};
        fixes.longitudes = {11.0, 11.0};
        fixes.times = {0, 1};
        fixes.altitudes.push_back(545.4);
        fixes.altitudes.push_back(altitude);
        const std::string track = PositionExport::fixesGpxTrack(fixes, "x");
        EXPECT_NE(track.find("<ele>545.400</ele>"), std::string::npos) << track;
        EXPECT_EQ(track.find("<ele>", track.find("<ele>") + 1), std::string::npos) << track;
        EXPECT_NE(track.find("<desc>1 altitude left out"), std::string::npos) << track;
    }
    EXPECT_EQ(PositionExport::fixedText(NAN, 3), "");
    EXPECT_EQ(PositionExport::fixedText(INFINITY, 3), "");
    EXPECT_EQ(PositionExport::fixedText(1e22, 3), "1" + std::string(22, '0') + ".000");
}

TEST(PositionExport, NoCoordinateOutsideTheEarthNorOnTheDateLineTwice)
{
    // latitude, longitude, what the track writes (empty: left out)
    const struct
    {
        double latitude, longitude;
        const char *written;
    } cases[] = {
        {91.0, 11.5, ""},
        {-90.5, 11.5, ""},
        {48.0, 720.0, ""},
        {48.0, 185.758, ""},
        {48.0, -180.0000001, ""},
        {NAN, 11.5, ""},
        {90.0, 11.5, "lat=\"90.000000000\" lon=\"11.500000000\""},
        {48.0, 180.0, "lat=\"48.000000000\" lon=\"-180.000000000\""},
        {48.0, 179.9999999996, "lat=\"48.000000000\" lon=\"-180.000000000\""},
        {48.0, 179.9999999994, "lat=\"48.000000000\" lon=\"179.999999999\""},
        {48.0, -180.0, "lat=\"48.000000000\" lon=\"-180.000000000\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.latitude) + " " + std::to_string(c.longitude));
        AcceptedFixes fixes;
        fixes.latitudes = {c.latitude};
        fixes.longitudes = {c.longitude};
        fixes.times = {AcceptedFixes::kNoTime};
        const std::string track = PositionExport::fixesGpxTrack(fixes, "x");
        PrecisionFigures figures;
        figures.fixes = 1;
        figures.meanLatitude = c.latitude;
        figures.meanLongitude = c.longitude;
        const std::string gpx = PositionExport::meanPositionGpx(figures, "x");
        const std::string kml = PositionExport::meanPositionKml(figures, "x");
        if (*c.written == '\0') {
            EXPECT_EQ(track.find("<trkpt"), std::string::npos) << track;
            EXPECT_NE(track.find("<desc>1 fix left out"), std::string::npos) << track;
            EXPECT_FALSE(PositionExport::impossibleMean(figures).empty());
            EXPECT_EQ(gpx.find("<wpt"), std::string::npos) << gpx;
            EXPECT_EQ(kml.find("<Placemark"), std::string::npos) << kml;
        } else {
            EXPECT_NE(track.find(std::string("<trkpt ") + c.written + ">"), std::string::npos) << track;
            EXPECT_EQ(track.find("<desc>"), std::string::npos) << track;
            EXPECT_TRUE(PositionExport::impossibleMean(figures).empty());
            EXPECT_NE(gpx.find(std::string("<wpt ") + c.written + ">"), std::string::npos) << gpx;
        }
    }
}

TEST(PositionExport, OnlyRealDaysAndTimesOfDayAreWritten)
{
    const std::pair<const char *, const char *> cases[] = {
        {"310226", ""},
        {"290223", ""},
        {"290224", "2024-02-29T"},
        {"290200", "2000-02-29T"},
        {"310426", ""},
        {"300426", "2026-04-30T"},
        {"311226", "2026-12-31T"},
    };
    for (const auto &[ddmmyy, written] : cases) {
        const std::string time = PositionExport::isoTime(AcceptedFixes::dateOf(ddmmyy), 43200);
        EXPECT_EQ(time.substr(0, 11), written) << ddmmyy;
    }
    const std::pair<const char *, const char *> times[] = {
        {"000000", "2026-12-08T00:00:00Z"},
        {"235959", "2026-12-08T23:59:59Z"},
        // a leap second has no xs:dateTime: the day's last instant keeps the order
        {"235960", "2026-12-08T23:59:59.999Z"},
        {"123060", ""},
        {"256060", ""},
        {"240000", ""},
    };
    for (const auto &[hhmmss, written] : times)
        EXPECT_EQ(PositionExport::isoTime(20261208, AcceptedFixes::timeOfDay(hhmmss)), written) << hhmmss;
}

} // namespace
} // namespace navorel
