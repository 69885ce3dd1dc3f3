#include "exports/gpxtrackwriter.h"

#include <cmath>

#include "exports/positionexport.h"

namespace navorel {

namespace {

void startTrack(XmlWriter &xml, std::string_view name, std::string_view description)
{
    xml.start("gpx", {{"version", "1.1"},
                      {"creator", "Navorel " NAVOREL_VERSION},
                      {"xmlns", "http://www.topografix.com/GPX/1/1"},
                      {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
                      {"xsi:schemaLocation",
                       "http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd"}});
    xml.start("trk");
    xml.element("name", name);
    if (!description.empty())
        xml.element("desc", description);
    xml.start("trkseg");
}

void appendCount(std::string &text, std::size_t count, const char *one, const char *many, const char *why)
{
    if (count == 0)
        return;
    if (!text.empty())
        text += "; ";
    text += std::to_string(count) + " " + (count == 1 ? one : many) + " left out: " + why;
}

} // namespace

GpxTrackWriter::GpxTrackWriter(std::string_view name) : m_name(name)
{
    startTrack(m_xml, m_name, {});
    m_headBytes = m_xml.textSize();
}

void GpxTrackWriter::add(const AcceptedFixes &fixes)
{
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        const double latitude = fixes.latitudes[i];
        const double longitude = fixes.longitudes[i];
        if (!PositionExport::impossiblePosition(latitude, longitude).empty()) {
            ++m_fixesLeftOut;
            continue;
        }
        m_xml.start("trkpt", {{"lat", PositionExport::degreesText(latitude)},
                              {"lon", PositionExport::longitudeText(longitude)}});
        if (i < fixes.altitudes.size() && !std::isnan(fixes.altitudes[i])) {
            const std::string altitude = PositionExport::fixedText(fixes.altitudes[i], 3);
            if (altitude.empty())
                ++m_altitudesLeftOut;
            else
                m_xml.element("ele", altitude);
        }
        if (i < fixes.dates.size() && fixes.dates[i] != AcceptedFixes::kNoDate
            && fixes.times[i] != AcceptedFixes::kNoTime) {
            const std::string time = PositionExport::isoTime(fixes.dates[i], fixes.times[i]);
            if (time.empty())
                ++m_timesLeftOut;
            else
                m_xml.element("time", time);
        }
        m_xml.end();
    }
}

void GpxTrackWriter::finish()
{
    m_xml.endAll();
}

std::string GpxTrackWriter::leftOutText() const
{
    std::string text;
    appendCount(text, m_fixesLeftOut, "fix", "fixes",
                "latitude beyond a pole or longitude outside -180 to 180");
    appendCount(text, m_altitudesLeftOut, "altitude", "altitudes", "too large to write with decimals");
    appendCount(text, m_timesLeftOut, "time", "times", "no real date or time of day");
    return text;
}

std::string GpxTrackWriter::describedHead() const
{
    const std::string description = leftOutText();
    if (description.empty())
        return {};
    XmlWriter xml;
    startTrack(xml, m_name, description);
    return xml.takeText();
}

} // namespace navorel
