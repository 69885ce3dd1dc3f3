#include "exports/positionexport.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "exports/gpxtrackwriter.h"
#include "exports/xmlwriter.h"

namespace navorel {

namespace {

constexpr std::string_view kCreator = "Navorel " NAVOREL_VERSION;
constexpr std::string_view kAltitudeLeftOut = ", altitude left out: too large to write with decimals";

void startGpx(XmlWriter &xml)
{
    xml.start("gpx", {{"version", "1.1"},
                      {"creator", kCreator},
                      {"xmlns", "http://www.topografix.com/GPX/1/1"},
                      {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
                      {"xsi:schemaLocation",
                       "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd"}});
}

std::string spanText(double seconds)
{
    const auto whole = static_cast<long long>(std::llround(seconds));
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return buffer;
}

// A figure of the description; a figure without a decimal text says so.
std::string figure(double value)
{
    const std::string text = PositionExport::fixedText(value, 3);
    return text.empty() ? "unknown" : text;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

} // namespace

std::string PositionExport::fixedText(double value, int decimals)
{
    if (!std::isfinite(value))
        return {};
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return {};
    return std::string(buffer, result.ptr);
}

std::string PositionExport::degreesText(double degrees)
{
    return fixedText(degrees, 9);
}

std::string PositionExport::longitudeText(double degrees)
{
    std::string text = degreesText(degrees);
    if (text == "180.000000000")
        text = "-180.000000000";
    return text;
}

std::string PositionExport::impossiblePosition(double latitude, double longitude)
{
    // NaN fails both comparisons and is no position either.
    if (!(std::fabs(latitude) <= 90.0))
        return "latitude " + degreesText(latitude) + " lies beyond a pole";
    if (!(std::fabs(longitude) <= 180.0))
        return "longitude " + degreesText(longitude) + " lies outside -180 to 180";
    return {};
}

std::string PositionExport::impossibleMean(const PrecisionFigures &figures)
{
    if (figures.empty())
        return "no fix accepted";
    const std::string why = impossiblePosition(figures.meanLatitude, figures.meanLongitude);
    return why.empty() ? why : "the mean " + why;
}

bool PositionExport::meanAltitudeWritten(const PrecisionFigures &figures)
{
    return figures.altitudeFixes > 0 && !fixedText(figures.altitudeMean, 3).empty();
}

std::string PositionExport::isoTime(std::int32_t date, std::int32_t time)
{
    if (date == AcceptedFixes::kNoDate || time == AcceptedFixes::kNoTime)
        return {};
    const int year = date / 10000, month = date / 100 % 100, day = date % 100;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || time < 0
        || time > 86400)
        return {};
    char buffer[64];
    if (time == 86400) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT23:59:59.999Z", year, month, day);
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, month, day, time / 3600,
                  time / 60 % 60, time % 60);
    return buffer;
}

std::string PositionExport::figuresText(const PrecisionFigures &figures, const MeanUncertainty *uncertainty)
{
    std::string text;
    // How far the mean may be from the truth comes first: it is what the position is worth.
    if (uncertainty != nullptr && uncertainty->measured)
        text += "mean within " + std::string(uncertainty->settled ? "" : "at least ")
                + figure(uncertainty->r95) + " m (95 %), ";
    text += "n " + std::to_string(figures.fixes) + ", sigma north " + figure(figures.sigmaNorth)
            + " m, sigma east " + figure(figures.sigmaEast) + " m, CEP50 " + figure(figures.cep50)
            + " m, CEP95 " + figure(figures.cep95) + " m, 2DRMS " + figure(figures.twiceDrms) + " m";
    if (figures.altitudeFixes > 0)
        text += ", altitude sigma " + figure(figures.altitudeSigma) + " m";
    if (figures.timed)
        text += ", time span " + spanText(figures.timeSpan);
    if (figures.altitudeFixes > 0 && !meanAltitudeWritten(figures))
        text += kAltitudeLeftOut;
    return text;
}

std::string PositionExport::meanPositionGpx(const PrecisionFigures &figures, std::string_view name,
                                            const MeanUncertainty *uncertainty)
{
    XmlWriter xml;
    startGpx(xml);
    if (!impossibleMean(figures).empty())
        return xml.finish();
    xml.start("wpt",
              {{"lat", degreesText(figures.meanLatitude)}, {"lon", longitudeText(figures.meanLongitude)}});
    if (meanAltitudeWritten(figures))
        xml.element("ele", fixedText(figures.altitudeMean, 3));
    xml.element("name", name);
    xml.element("desc", figuresText(figures, uncertainty));
    return xml.finish();
}

std::string PositionExport::meanPositionKml(const PrecisionFigures &figures, std::string_view name,
                                            const MeanUncertainty *uncertainty)
{
    XmlWriter xml;
    xml.start("kml", {{"xmlns", "http://www.opengis.net/kml/2.2"}});
    xml.start("Document");
    xml.element("name", name);
    if (!impossibleMean(figures).empty())
        return xml.finish();
    xml.start("Placemark");
    xml.element("name", name);
    xml.element("description", figuresText(figures, uncertainty));
    xml.start("Point");
    std::string coordinates = longitudeText(figures.meanLongitude) + "," + degreesText(figures.meanLatitude);
    if (meanAltitudeWritten(figures)) {
        // Heights above mean sea level, as the sentences give them.
        xml.element("altitudeMode", "absolute");
        coordinates += ',';
        coordinates += fixedText(figures.altitudeMean, 3);
    } else if (figures.altitudeFixes > 0) {
        xml.element("altitudeMode", "clampToGround");
        coordinates += ",0";
    }
    xml.element("coordinates", coordinates);
    return xml.finish();
}

std::string PositionExport::fixesGpxTrack(const AcceptedFixes &fixes, std::string_view name)
{
    GpxTrackWriter writer(name);
    writer.add(fixes);
    writer.finish();
    std::string text = writer.takeText();
    const std::string head = writer.describedHead();
    if (!head.empty())
        text.replace(0, writer.headBytes(), head);
    return text;
}

} // namespace navorel
