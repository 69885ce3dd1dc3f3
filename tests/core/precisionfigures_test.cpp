#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "filter/filterprocess.h"
#include "filter/localplane.h"
#include "filter/precisionfigures.h"
#include "tests/core/testlog.h"

namespace navorel {
namespace {

struct Fix
{
    double latitude;
    double longitude;
    const char *time = "";
    const char *altitude = "";
};

AcceptedFixes fixesOf(const std::vector<Fix> &list, bool gga)
{
    AcceptedFixes fixes;
    for (const Fix &fix : list) {
        PositionFields fields;
        fields.Time = fix.time;
        fields.Altitude = fix.altitude;
        fixes.add(fix.latitude, fix.longitude, fields, gga);
    }
    return fixes;
}

// Four bytes a height, read back bit for bit as the double the text gave.
TEST(AltitudeList, HeightsReadBackAsTheSameDoubles)
{
    const char *texts[] = {"545.4",
                           "-12.345",
                           "0",
                           "0.0",
                           "-0.0",
                           "8848.86",
                           "-430.5",
                           "0.001",
                           "123456.7",
                           "13421.7727",
                           "13421.7728",
                           "99999999.9",
                           "1e300",
                           "1e-300",
                           "3.14159265358979",
                           "0.1234567890123456",
                           "-1.7976931348623157e308"};
    AltitudeList list;
    std::vector<double> expected;
    for (const char *text : texts) {
        expected.push_back(std::strtod(text, nullptr));
        list.push_back(expected.back());
    }
    list.push_back(NAN);
    AltitudeList more;
    more.push_back(1e300);
    more.push_back(545.4);
    list.append(more);
    EXPECT_TRUE(more.empty());
    expected.insert(expected.end(), {NAN, 1e300, 545.4});
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (std::isnan(expected[i])) {
            EXPECT_TRUE(std::isnan(list[i])) << i;
            continue;
        }
        const double back = list[i];
        EXPECT_EQ(std::memcmp(&expected[i], &back, sizeof back), 0)
            << i << ": " << back << " for " << expected[i];
    }
}

struct FiguresCase
{
    const char *name;
    std::vector<Fix> fixes;
    bool gga;
    double meanLatitude, meanLongitude;
    double sigmaNorth, sigmaEast, twiceDrms, cep50, cep95, maxDistance;
    std::optional<double> timeSpan; // empty: no fix has a time
    std::optional<double> settled1, settled05, settled01;
};

// Worked by hand: mean in degrees; M = a(1-e^2)/w^1.5 and N = a/sqrt(w) with
// w = 1 - e^2 sin^2(mean latitude); north = dlat * M, east = dlon * N cos(mean
// latitude), angles in radians; sigma over n - 1; distances sorted, ranks
// ceil(0.5 n) and ceil(0.95 n).
TEST(PrecisionFigures, AgreeWithFiguresWorkedByHand)
{
    const FiguresCase cases[] = {
        // M = 6335439.327 m, N = a; offsets of 1/3 and 2/3 of 1e-4 degree.
        {"equator",
         {{0.0, 0.0}, {0.0001, 0.0}, {0.0, 0.0001}},
         false,
         0.0000333333333333,
         0.0000333333333333,
         6.384008791,
         6.427033798,
         18.117652351,
         8.252858826,
         8.286185733,
         8.286185733,
         std::nullopt,
         std::nullopt,
         std::nullopt,
         std::nullopt},
        // M = 6383453.862 m, N = 6394209.176 m; the running mean ends 1.000188 m
        // away before the last fix, so even 1 m is never reached.
        {"60 north",
         {{60.00001, 10.00002, "120000", "545.4"},
          {59.99999, 10.00002, "120001", "546.0"},
          {59.99999, 9.99998, "120002", "544.9"},
          {60.00003, 9.99998, "120003", "545.7"}},
         true,
         60.000005,
         10.0,
         2.133382885,
         1.288645643,
         4.984748790,
         2.009555350,
         3.000565252,
         3.000565252,
         3.0,
         std::nullopt,
         std::nullopt,
         std::nullopt},
        // Over midnight: 23:59:58 to 00:00:02 is 4 s. Running mean 0.888,
        // 1.282, 0.296, 0 m: within 1 m and 0.5 m from the third fix on.
        {"south-west",
         {{-33.9, -70.6, "235958"},
          {-33.90002, -70.60001, "235959"},
          {-33.89999, -70.59996, "000000"},
          {-33.90001, -70.6, "000002"}},
         false,
         -33.900005,
         -70.5999925,
         1.431978545,
         2.050896606,
         5.002695050,
         0.888143872,
         3.435754741,
         3.435754741,
         4.0,
         2.0,
         2.0,
         std::nullopt},
        {"one fix",
         {{48.1173, 11.5167, "101500"}},
         false,
         48.1173,
         11.5167,
         0,
         0,
         0,
         0,
         0,
         0,
         0.0,
         0.0,
         0.0,
         0.0},
    };
    for (const FiguresCase &c : cases) {
        SCOPED_TRACE(c.name);
        const PrecisionFigures f = measurePrecision(fixesOf(c.fixes, c.gga));
        EXPECT_EQ(f.fixes, c.fixes.size());
        EXPECT_NEAR(f.meanLatitude, c.meanLatitude, 1e-12);
        EXPECT_NEAR(f.meanLongitude, c.meanLongitude, 1e-12);
        EXPECT_NEAR(f.sigmaNorth, c.sigmaNorth, 1e-8);
        EXPECT_NEAR(f.sigmaEast, c.sigmaEast, 1e-8);
        EXPECT_NEAR(f.twiceDrms, c.twiceDrms, 1e-8);
        EXPECT_NEAR(f.drms, c.twiceDrms / 2, 1e-8);
        EXPECT_NEAR(f.cep50, c.cep50, 1e-8);
        EXPECT_NEAR(f.cep95, c.cep95, 1e-8);
        EXPECT_NEAR(f.maxDistance, c.maxDistance, 1e-8);
        EXPECT_EQ(f.timed, c.timeSpan.has_value());
        EXPECT_EQ(f.timeSpan, c.timeSpan.value_or(0.0));
        EXPECT_EQ(f.settled[0], c.settled1);
        EXPECT_EQ(f.settled[1], c.settled05);
        EXPECT_EQ(f.settled[2], c.settled01);
    }
}

// With a date on every RMC fix the days between count, as in the report;
// without, a day is added once when the times go back.
TEST(PrecisionFigures, TimesCountTheDaysOfDatedFixes)
{
    const auto span = [](std::vector<std::pair<const char *, const char *>> timesAndDates) {
        AcceptedFixes fixes;
        for (const auto &[time, date] : timesAndDates) {
            PositionFields fields;
            fields.Time = time;
            fields.Date = date;
            fixes.add(60, 10, fields, false);
        }
        return measurePrecision(fixes).timeSpan;
    };
    EXPECT_EQ(span({{"235959", "280226"}, {"000001", "010326"}}), 2.0);
    EXPECT_EQ(span({{"235959", "280224"}, {"000001", "010324"}}), 86402.0); // 29 February
    EXPECT_EQ(span({{"100000", "081226"}, {"100000", "101226"}}), 2 * 86400.0);
    EXPECT_EQ(span({{"100000", "081226"}, {"100000", ""}, {"090000", "101226"}}), 82800.0);
}

TEST(PrecisionFigures, AltitudeOfTheFixesThatHaveOne)
{
    const PrecisionFigures f = measurePrecision(fixesOf({{60, 10, "", "545.4"},
                                                         {60, 10, "", ""},
                                                         {60, 10, "", "546.0"},
                                                         {60, 10, "", "544.9"},
                                                         {60, 10, "", "545.7"}},
                                                        true));
    EXPECT_EQ(f.altitudeFixes, 4u);
    EXPECT_NEAR(f.altitudeMean, 545.5, 1e-12);
    EXPECT_NEAR(f.altitudeSigma, 0.469041575982343, 1e-12); // sqrt(0.66 / 3)
    EXPECT_EQ(measurePrecision(fixesOf({{60, 10}}, false)).altitudeFixes, 0u);
}

TEST(PrecisionFigures, NoFixGivesEmptyFigures)
{
    EXPECT_TRUE(measurePrecision(AcceptedFixes()).empty());
}

// A million fixes 1 mm apart on a meridian, centred on 60 N: the sums of a
// million degrees near 60 would lose the millimetres.
TEST(PrecisionFigures, AMillionFixesOneMillimetreApartKeepTheirPrecision)
{
    constexpr std::size_t n = 1000000;
    const double step = 0.001 / (LocalPlane::meridianRadius(60.0) * std::numbers::pi / 180.0);
    AcceptedFixes fixes;
    for (std::size_t i = 0; i < n; ++i) {
        fixes.latitudes.push_back(60.0 + (static_cast<double>(i) - 499999.5) * step);
        fixes.longitudes.push_back(-0.5);
        fixes.times.push_back(static_cast<std::int32_t>(i / 12));
    }
    std::vector<ConvergencePoint> curve;
    const PrecisionFigures f = measurePrecision(fixes, &curve);
    EXPECT_NEAR(f.meanLatitude, 60.0, 1e-11); // 1 micrometre
    EXPECT_NEAR(f.meanLongitude, -0.5, 1e-11);
    EXPECT_NEAR(f.sigmaNorth, 0.001 * std::sqrt(1e6 * 1000001.0 / 12.0), 1e-6);
    EXPECT_NEAR(f.sigmaEast, 0.0, 1e-6);
    // Ranks 500000 and 950000 of the distances 0.5, 0.5, 1.5, 1.5, ... mm.
    EXPECT_NEAR(f.cep50, 249.9995, 1e-6);
    EXPECT_NEAR(f.cep95, 474.9995, 1e-6);
    EXPECT_NEAR(f.maxDistance, 499.9995, 1e-6);
    // The running mean after i + 1 fixes is (499999.5 - i / 2) mm away: it
    // comes within 1 m at i = 997999, 0.5 m at 998999, 0.1 m at 999799.
    ASSERT_EQ(curve.size(), n);
    EXPECT_NEAR(curve[0].metres, 499.9995, 1e-6);
    EXPECT_NEAR(curve[n - 1].metres, 0.0, 1e-6);
    EXPECT_NEAR(*f.settled[0], 997999 / 12, 1.0);
    EXPECT_NEAR(*f.settled[1], 998999 / 12, 1.0);
    EXPECT_NEAR(*f.settled[2], 999799 / 12, 1.0);
}

TEST(PrecisionFigures, FixesAcrossTheDateLineAreMetresApart)
{
    const PrecisionFigures f = measurePrecision(fixesOf({{0, 179.99999}, {0, -179.99999}}, false));
    EXPECT_NEAR(std::fabs(f.meanLongitude), 180.0, 1e-9);
    EXPECT_NEAR(f.maxDistance, 1.11319490793, 1e-8); // 1e-5 degree along the equator
}

TEST(PrecisionFigures, TheRunKeepsTimeAndAltitudeOfEveryFix)
{
    using test::sentence;
    Settings settings;
    settings.IDF = PositionSentence::GGA;
    settings.UTC = false; // the figures' times come from the fixes all the same
    const FilterRun run = runFilter(
        test::linesOf({sentence("GPGGA,235959.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,"),
                       sentence("GPGGA,000001.00,4807.0400,S,01131.0020,W,1,08,0.9,,M,46.9,M,,")}),
        settings, {}, 1);
    ASSERT_EQ(run.fixes.size(), 2u);
    EXPECT_EQ(run.fixes.times, (std::vector<std::int32_t>{86399, 1}));
    EXPECT_EQ(run.fixes.altitudes[0], 545.4);
    EXPECT_TRUE(std::isnan(run.fixes.altitudes[1]));
    EXPECT_NEAR(run.fixes.latitudes[1], -(48 + 7.04 / 60), 1e-12);
    EXPECT_NEAR(run.fixes.longitudes[1], -(11 + 31.002 / 60), 1e-12);
    EXPECT_EQ(measurePrecision(run.fixes).timeSpan, 2.0);
}

} // namespace
} // namespace navorel
