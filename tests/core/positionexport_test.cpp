#include <gtest/gtest.h>

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

} // namespace
} // namespace navorel
