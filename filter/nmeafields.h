#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "filter/settings.h"
#include "filter/wholenumber.h"

namespace navorel {

// The texts the filter takes from one position sentence.
//   $GPRMC,123519.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*1C
//   $GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47
struct PositionFields
{
    std::string Time;                // first six characters of the time field (hhmmss)
    std::string Status;              // RMC status letter, "A" valid, "V" not; empty for GGA
    std::string Latitude;            // the field as written, "-" in front when southern
    std::string Longitude;           // the field as written, "-" in front when western
    std::string LatitudeHemisphere;  // "N" or "S" in a sound sentence
    std::string LongitudeHemisphere; // "E" or "W" in a sound sentence
    std::string Altitude;            // GGA: metres above mean sea level; empty for RMC
    std::string Date;                // RMC: ddmmyy; empty for GGA
    std::string Quality;             // GGA: the fix quality; RMC: the first letter of the mode
    std::string Speed;               // RMC: speed over ground in knots; empty for GGA
};

// The talkers of the satellite systems: GP, GN, GL, GA, GB, GQ, GI, BD, QZ.
bool isTalker(char first, char second);

// Where the earliest "$", a talker and type ("RMC", "GGA" or "GSA") stand
// in line; npos when nowhere. In GPS mode the only talker is GP.
std::size_t findSentence(std::string_view line, std::string_view type, TalkerMode talkers);

// The whole time field of a sentence ("135651.997"): the text between the
// first two commas; empty when there are not two.
std::string_view timeField(std::string_view sentence);

// Cuts the fields that follow the first occurrence of identifier ("$GPRMC",
// "$GNGGA", ...) in line. Fields are read between commas, so receivers that
// write more or fewer minute decimals, or put junk before the "$", are read
// right; a field that is missing is empty.
PositionFields CutPositionFields(std::string_view line, std::string_view identifier);

// The number of satellite IDs in a $GPGSA sentence: the non-empty fields among
// the twelve that follow the fix type. 0 when line holds no "$GPGSA".
int CountActiveSatellites(std::string_view line);

// A coordinate field (ddmm.mmmm, dddmm.mmmmm, ...) in decimal degrees. Text
// from the first "," on is ignored; an empty text is 0. A leading "-" is the
// sign of the whole value. The minutes keep their own number of decimals.
Converted<double> CoordToDegrees(std::string_view text);

// A position field as CutPositionFields gives it, "-" in front for S and W,
// in decimal degrees. In a sentence the hemisphere letter is the only sign:
// a sign in the field itself is a conversion error.
Converted<double> PositionFieldToDegrees(std::string_view text, std::string_view hemisphere);

// The mean of count decimal-degree values summed up, as an NMEA coordinate
// number (degrees x 100 + minutes). count is at least 1.
double DegreesToCoord(double sum, long long count);

// "48° 07,0380'" for 4807.038: whole degrees, the degree sign 0xB0, a blank,
// two-digit minutes, four decimals. Negative values carry a leading "-".
std::string CoordToText(double coordinate);

// "4807,0380" for 4807.038: four decimals with a decimal comma.
std::string CoordNumberText(double coordinate);

// "12:35:19" for "123519"; empty for an empty text.
std::string TimeToText(std::string_view time);

// " Time: 1h 12m 30s" from the first to the last hhmmss. A last time before
// the first means the log went past midnight, and a day is added once.
Converted<std::string> TimeSpanText(std::string_view first, std::string_view last);

// The same over whole days: days is the number of dates from the first fix
// to the last one, so that a log of several days shows all its hours. Without
// days, or with days that would make the span negative, as above.
Converted<std::string> TimeSpanText(std::string_view first, std::string_view last,
                                    std::optional<std::int64_t> days);

// The date of an RMC sentence ($GPRMC, $GNRMC, ...) in line, as a day
// number; nothing when the line holds none or its date field is not a date.
std::optional<std::int64_t> RmcDayNumber(std::string_view line);

// Fixed-point text with a decimal comma, whatever the locale; up to six decimals.
std::string fixedWithComma(double value, int decimals);

// The texts above, appended to out: lines are built without a string per piece.
void appendCoordText(std::string &out, double coordinate);
void appendCoordNumberText(std::string &out, double coordinate);
void appendTimeText(std::string &out, std::string_view time);

} // namespace navorel
