#include "exports/positionexport.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "exports/xmlwriter.h"

namespace navorel {

namespace {

constexpr std::string_view kCreator = "Navorel " NAVOREL_VERSION;

std::string fixed(double value, int decimals)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

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

} // namespace

std::string PositionExport::degreesText(double degrees)
{
    return fixed(degrees, 9);
}

std::string PositionExport::isoTime(std::int32_t date, std::int32_t time)
{
    if (date == AcceptedFixes::kNoDate || time == AcceptedFixes::kNoTime)
        return {};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", date / 10000, date / 100 % 100,
                  date % 100, time / 3600, time / 60 % 60, time % 60);
    return buffer;
}

std::string PositionExport::figuresText(const PrecisionFigures &figures)
{
    std::string text = "n " + std::to_string(figures.fixes) + ", sigma north " + fixed(figures.sigmaNorth, 3)
                       + " m, sigma east " + fixed(figures.sigmaEast, 3) + " m, CEP50 "
                       + fixed(figures.cep50, 3) + " m, CEP95 " + fixed(figures.cep95, 3) + " m, 2DRMS "
                       + fixed(figures.twiceDrms, 3) + " m";
    if (figures.altitudeFixes > 0)
        text += ", altitude sigma " + fixed(figures.altitudeSigma, 3) + " m";
    if (figures.timed)
        text += ", time span " + spanText(figures.timeSpan);
    return text;
}

std::string PositionExport::meanPositionGpx(const PrecisionFigures &figures, std::string_view name)
{
    XmlWriter xml;
    startGpx(xml);
    xml.start("wpt",
              {{"lat", degreesText(figures.meanLatitude)}, {"lon", degreesText(figures.meanLongitude)}});
    if (figures.altitudeFixes > 0)
        xml.element("ele", fixed(figures.altitudeMean, 3));
    xml.element("name", name);
    xml.element("desc", figuresText(figures));
    return xml.finish();
}

std::string PositionExport::meanPositionKml(const PrecisionFigures &figures, std::string_view name)
{
    XmlWriter xml;
    xml.start("kml", {{"xmlns", "http://www.opengis.net/kml/2.2"}});
    xml.start("Document");
    xml.element("name", name);
    xml.start("Placemark");
    xml.element("name", name);
    xml.element("description", figuresText(figures));
    xml.start("Point");
    std::string coordinates = degreesText(figures.meanLongitude) + "," + degreesText(figures.meanLatitude);
    if (figures.altitudeFixes > 0) {
        // Heights above mean sea level, as the sentences give them.
        xml.element("altitudeMode", "absolute");
        coordinates += ',';
        coordinates += fixed(figures.altitudeMean, 3);
    }
    xml.element("coordinates", coordinates);
    return xml.finish();
}

std::string PositionExport::fixesGpxTrack(const AcceptedFixes &fixes, std::string_view name)
{
    XmlWriter xml;
    startGpx(xml);
    xml.start("trk");
    xml.element("name", name);
    xml.start("trkseg");
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        xml.start("trkpt",
                  {{"lat", degreesText(fixes.latitudes[i])}, {"lon", degreesText(fixes.longitudes[i])}});
        if (i < fixes.altitudes.size() && !std::isnan(fixes.altitudes[i]))
            xml.element("ele", fixed(fixes.altitudes[i], 3));
        if (i < fixes.dates.size()) {
            const std::string time = isoTime(fixes.dates[i], fixes.times[i]);
            if (!time.empty())
                xml.element("time", time);
        }
        xml.end();
    }
    return xml.finish();
}

} // namespace navorel
