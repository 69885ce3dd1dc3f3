#pragma once

#include <string>
#include <string_view>

#include "filter/acceptedfixes.h"
#include "filter/precisionfigures.h"

namespace navorel {

// The mean position and the fixes in the formats maps and GIS programs read:
// GPX 1.1 and KML 2.2, UTF-8 text. name is UTF-8 (else read as Windows-1252).
class PositionExport
{
public:
    // One waypoint at the mean, its height in GGA mode, the figures in <desc>.
    static std::string meanPositionGpx(const PrecisionFigures &figures, std::string_view name);
    // One placemark at the mean, the figures in <description>.
    static std::string meanPositionKml(const PrecisionFigures &figures, std::string_view name);
    // A track of every fix, each with its height and, when its sentence gave a date, its time.
    static std::string fixesGpxTrack(const AcceptedFixes &fixes, std::string_view name);

    // "n 3600, sigma north 1.234 m, ..." as <desc> and <description> hold it.
    static std::string figuresText(const PrecisionFigures &figures);
    // Decimal degrees with nine decimals, "." as separator.
    static std::string degreesText(double degrees);
    // "2026-12-08T10:15:00Z", or empty when date or time are missing.
    static std::string isoTime(std::int32_t date, std::int32_t time);
};

} // namespace navorel
