#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "filter/nmeafields.h"

namespace navorel {
namespace {

struct CutCase
{
    const char *line;
    const char *identifier;
    PositionFields expected;
};

TEST(CutPositionFields, ReadsTheFieldsBehindTheIdentifier)
{
    const CutCase cases[] = {
        {"$GPRMC,123519.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*02",
         "$GPRMC",
         {"123519", "A", "4807.0380", "01131.0000", "N", "E", "", "191206", "", "0.5"}},
        {"$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*69",
         "$GPGGA",
         {"123519", "", "4807.0380", "01131.0000", "N", "E", "545.4", "", "1", ""}},
        // u-blox: five minute decimals
        {"$GPRMC,083723.00,A,5155.55442,N,00434.65873,E,0.211,,210810,,,A*7F",
         "$GPRMC",
         {"083723", "A", "5155.55442", "00434.65873", "N", "E", "", "210810", "A", "0.211"}},
        // GPSBabel reference: three decimals
        {"$GPGGA,235600.000,5013.476,N,01710.477,E,1,09,0.8,468.770,M,0.0,M,,*64",
         "$GPGGA",
         {"235600", "", "5013.476", "01710.477", "N", "E", "468.770", "", "1", ""}},
        // junk in front of the "$" (TomTom Mark II)
        {"r$GPRMC,175804,A,5125.8526,N,00524.1900,E,0.7466,201.495,200610,,*2E",
         "$GPRMC",
         {"175804", "A", "5125.8526", "00524.1900", "N", "E", "", "200610", "", "0.7466"}},
        // New Zealand and Oregon: the sign goes with the number
        {"$GPRMC,030719.000,A,3747.0873,S,17518.8938,E,0.69,181.39,311214,,,A*7D",
         "$GPRMC",
         {"030719", "A", "-3747.0873", "17518.8938", "S", "E", "", "311214", "A", "0.69"}},
        {"$GPRMC,202640.000,A,4404.1306,N,12118.8515,W,0.03,225.97,130415,,,D*73",
         "$GPRMC",
         {"202640", "A", "4404.1306", "-12118.8515", "N", "W", "", "130415", "D", "0.03"}},
        // no fix yet: empty position fields
        {"$GPGGA,212607.891,,,,,0,00,,,M,0.0,M,,0000*56",
         "$GPGGA",
         {"212607", "", "", "", "", "", "", "", "0", ""}},
        // cut short: the missing fields are empty, the checksum is not a field
        {"$GPRMC,1235", "$GPRMC", {"1235", "", "", "", "", "", "", "", "", ""}},
        {"$GPGGA,101500,4807.0380,N,01131.0000,E*46",
         "$GPGGA",
         {"101500", "", "4807.0380", "01131.0000", "N", "E", "", "", "", ""}},
        {"$GPGGA,101500", "$GPRMC", {"", "", "", "", "", "", "", "", "", ""}},
    };
    for (const CutCase &c : cases) {
        const PositionFields f = CutPositionFields(c.line, c.identifier);
        EXPECT_EQ(f.Time, c.expected.Time) << c.line;
        EXPECT_EQ(f.Status, c.expected.Status) << c.line;
        EXPECT_EQ(f.Latitude, c.expected.Latitude) << c.line;
        EXPECT_EQ(f.Longitude, c.expected.Longitude) << c.line;
        EXPECT_EQ(f.LatitudeHemisphere, c.expected.LatitudeHemisphere) << c.line;
        EXPECT_EQ(f.LongitudeHemisphere, c.expected.LongitudeHemisphere) << c.line;
        EXPECT_EQ(f.Altitude, c.expected.Altitude) << c.line;
        EXPECT_EQ(f.Date, c.expected.Date) << c.line;
        EXPECT_EQ(f.Quality, c.expected.Quality) << c.line;
        EXPECT_EQ(f.Speed, c.expected.Speed) << c.line;
    }
}

TEST(CountActiveSatellites, CountsTheFilledIdFields)
{
    const std::pair<const char *, int> cases[] = {
        {"$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39", 5},
        {"$GPGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99*30", 0},
        {"$GPGSA,A,3,,05,,09,12,,,24,,,,,2.5,1.3,2.1*3D", 4},
        {"$GPGSA,A,3,27,15,09,28,18,08,,,,,,,3.33,2.51,2.20*04", 6},
        {"$GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,1.0,0.7,0.7*30", 12},
        // one- and three-digit IDs (SBAS) count once each
        {"$GPGSA,A,3,4,5,,9,12,,,24,,,,,2.5,1.3,2.1*09", 5},
        {"$GPGSA,A,3,04,05,120,,,,,,,,,,2.5,1.3,2.1*06", 3},
        // TomTom: no fix and a short field list
        {"$GPGSA,A,1,,,,,,,,,,,,,,,,*32", 0},
        {"xx$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39", 5},
        {"$GPGSA,A,3,04,05*31", 2},
        {"$GNGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*27", 0},
    };
    for (const auto &[line, count] : cases)
        EXPECT_EQ(CountActiveSatellites(line), count) << line;
}

TEST(CoordToDegrees, ReadsDegreesAndMinutesWithTheirOwnDecimals)
{
    const std::pair<const char *, double> cases[] = {
        {"4807.0380", 48 + 7.038 / 60},
        {"4807.0380,N", 48 + 7.038 / 60},
        {"4817.0380", 48 + 17.038 / 60},
        {"01131.0000", 11 + 31.0 / 60},
        {"4807.038", 48 + 7.038 / 60},
        {"4717.11399", 47 + 17.11399 / 60},
        {"4742.21", 47 + 42.21 / 60},
        {"3747.087312", 37 + 47.087312 / 60},
        {"-3351.1234", -(33 + 51.1234 / 60)},
        {"-30.0000", -0.5},
        // below one degree, as result files hold such values
        {"30.0000", 0.5},
        {"5.1234", 5.1234 / 60},
        {"0.0000", 0.0},
        {"4807", 48 + 7.0 / 60},
        {"", 0.0},
        {",N", 0.0},
    };
    for (const auto &[text, degrees] : cases) {
        const Converted<double> converted = CoordToDegrees(text);
        ASSERT_TRUE(converted.ok()) << text;
        EXPECT_NEAR(converted.value(), degrees, 1e-12) << text;
    }
}

TEST(CoordToDegrees, NamesTheTextThatIsNotANumber)
{
    const std::pair<const char *, const char *> cases[] = {
        {"48A7.0380", "A70380"},
        {"4X07.0380", "4X"},
        {".4807.0380", ".4807.0380"},
        {".", "."},
        {"-", "-"},
        {"4807.03;8", "0703;8"},
        {"4807.0380000000000000000", "070380000000000000000"},
    };
    for (const auto &[text, failed] : cases) {
        const Converted<double> converted = CoordToDegrees(text);
        ASSERT_FALSE(converted.ok()) << text;
        EXPECT_EQ(converted.failedText(), failed) << text;
    }
}

// The hemisphere gives the sign; "-4807.0380,S" is no position.
TEST(PositionFieldToDegrees, RefusesASignOfTheFieldsOwn)
{
    const struct
    {
        const char *text; // as CutPositionFields gives it
        const char *hemisphere;
        const char *failed; // nullptr: converts
    } cases[] = {
        {"4807.0380", "N", nullptr},          {"-4807.0380", "S", nullptr},
        {"-01131.0000", "W", nullptr},        {"--4807.0380", "S", "-4807.0380"},
        {"-4807.0380", "N", "-4807.0380"},    {"+4807.0380", "N", "+4807.0380"},
        {"-+01131.0000", "W", "+01131.0000"}, {"48-7.0380", "N", "48-7.0380"},
    };
    for (const auto &c : cases) {
        const Converted<double> converted = PositionFieldToDegrees(c.text, c.hemisphere);
        EXPECT_EQ(converted.ok(), c.failed == nullptr) << c.text;
        if (c.failed != nullptr)
            EXPECT_EQ(converted.failedText(), c.failed) << c.text;
        else
            EXPECT_EQ(converted.value(), CoordToDegrees(c.text).value()) << c.text;
    }
}

TEST(DegreesToCoord, GivesTheMeanInSentenceForm)
{
    EXPECT_NEAR(DegreesToCoord(CoordToDegrees("4807.0380").value(), 1), 4807.038, 1e-9);
    EXPECT_NEAR(DegreesToCoord(CoordToDegrees("4817.0380").value(), 1), 4817.038, 1e-9);
    const double sum = CoordToDegrees("4807.0380").value() + CoordToDegrees("4807.0400").value();
    EXPECT_NEAR(DegreesToCoord(sum, 2), 4807.039, 1e-9);
    EXPECT_NEAR(DegreesToCoord(-0.5, 1), -30.0, 1e-12);
    EXPECT_NEAR(DegreesToCoord(CoordToDegrees("-3351.1234").value(), 1), -3351.1234, 1e-9);
}

TEST(CoordTexts, WriteDegreesMinutesAndADecimalComma)
{
    const struct
    {
        double coordinate;
        const char *display;
        const char *number;
    } cases[] = {
        {4807.038, "48\xB0 07,0380'", "4807,0380"},
        {1131.0, "11\xB0 31,0000'", "1131,0000"},
        {807.5, "8\xB0 07,5000'", "807,5000"},
        {807.038, "8\xB0 07,0380'", "807,0380"},
        {30.0, "0\xB0 30,0000'", "30,0000"},
        {-3351.1234, "-33\xB0 51,1234'", "-3351,1234"},
        {-30.0, "-0\xB0 30,0000'", "-30,0000"},
        {17959.99994, "179\xB0 59,9999'", "17959,9999"},
        // Minutes that round to 60 carry into the degree.
        {4859.99999, "49\xB0 00,0000'", "4860,0000"},
        {-17959.99999, "-180\xB0 00,0000'", "-17960,0000"},
        {-59.99999, "-1\xB0 00,0000'", "-60,0000"},
        {959.99996, "10\xB0 00,0000'", "960,0000"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CoordToText(c.coordinate), c.display) << c.coordinate;
        EXPECT_EQ(CoordNumberText(c.coordinate), c.number) << c.coordinate;
    }
}

TEST(CoordTexts, UseACommaWhateverTheLocale)
{
    EXPECT_EQ(CoordNumberText(4807.038), "4807,0380");
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    // A locale with a decimal comma, where printf-style formatting would differ.
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/setup generates it)";
    EXPECT_EQ(CoordNumberText(4807.038), "4807,0380");
    EXPECT_EQ(CoordNumberText(-3351.1234), "-3351,1234");
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(TimeToText, PutsColonsBetweenHoursMinutesAndSeconds)
{
    EXPECT_EQ(TimeToText("123519"), "12:35:19");
    EXPECT_EQ(TimeToText(""), "");
    EXPECT_EQ(TimeToText("1235"), "12:35:");
}

TEST(TimeSpanText, CountsFromTheFirstToTheLastFix)
{
    const struct
    {
        const char *first;
        const char *last;
        const char *span;
    } cases[] = {
        {"101500", "112730", " Time: 1h 12m 30s"},
        {"101500", "101501", " Time: 0h 0m 1s"},
        {"101500", "101500", " Time: 0h 0m 0s"},
        // past midnight: a day is added once
        {"235000", "001000", " Time: 0h 20m 0s"},
        {"235951", "102524", " Time: 10h 25m 33s"},
    };
    for (const auto &c : cases) {
        const Converted<std::string> span = TimeSpanText(c.first, c.last);
        ASSERT_TRUE(span.ok()) << c.first << " " << c.last;
        EXPECT_EQ(span.value(), c.span);
    }
}

TEST(TimeSpanText, CountsTheDaysBetweenTheDates)
{
    const struct
    {
        const char *first;
        const char *last;
        std::optional<std::int64_t> days;
        const char *span;
    } cases[] = {
        {"101500", "021523", 3, " Time: 64h 0m 23s"},
        {"235000", "001000", 1, " Time: 0h 20m 0s"},
        {"101500", "112730", 0, " Time: 1h 12m 30s"},
        {"101500", "101500", 40, " Time: 960h 0m 0s"},
        // no dates, or dates that run backwards: a day at most
        {"235000", "001000", std::nullopt, " Time: 0h 20m 0s"},
        {"235000", "001000", 0, " Time: 0h 20m 0s"},
        {"101500", "112730", -2, " Time: 1h 12m 30s"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TimeSpanText(c.first, c.last, c.days).value(), c.span) << c.first << " " << c.last;
}

TEST(RmcDayNumber, ReadsTheDateOfAnyRmcSentence)
{
    const auto day = [](const char *line) { return RmcDayNumber(line); };
    const auto rmc = [](const std::string &date) {
        return "$GPRMC,123519.00,A,4807.0380,N,01131.0000,E,0.5,54.7," + date + ",,*1C";
    };
    ASSERT_TRUE(day(rmc("191206").c_str()));
    EXPECT_EQ(*day(rmc("010107").c_str()) - *day(rmc("311206").c_str()), 1);
    EXPECT_EQ(*day(rmc("010300").c_str()) - *day(rmc("280200").c_str()), 2); // 2000 was a leap year
    EXPECT_EQ(*day(rmc("010100").c_str()) - *day(rmc("311299").c_str()), 1); // 99 is 1999
    EXPECT_EQ(day("$GNRMC,000000.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*11"),
              day(rmc("191206").c_str()));
    for (const char *date : {"", "1912", "321206", "191306", "1912a6"})
        EXPECT_FALSE(day(rmc(date).c_str())) << date;
    EXPECT_FALSE(day("$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*69"));
}

TEST(TimeSpanText, FailsOnATimeThatIsNotDigits)
{
    EXPECT_EQ(TimeSpanText("12a519", "123519").failedText(), "a5");
    EXPECT_EQ(TimeSpanText("123519", "").failedText(), "");
    EXPECT_EQ(TimeSpanText("123519", "1235").failedText(), "");
}

} // namespace
} // namespace navorel
