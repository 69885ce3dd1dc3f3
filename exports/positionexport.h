#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "filter/acceptedfixes.h"
#include "filter/meanuncertainty.h"
#include "filter/precisionfigures.h"

namespace navorel {

// The mean position and the fixes in the formats maps and GIS programs read:
// GPX 1.1 and KML 2.2, UTF-8 text. name is UTF-8 (else read as Windows-1252).
// Nothing is written that the formats forbid: no latitude beyond ±90°, no
// longitude outside [-180°, 180°), no date that is not in the calendar, no
// number that has no decimal text.
class PositionExport
{
public:
    // One waypoint at the mean, its height in GGA mode, the figures in <desc>;
    // no waypoint when the mean is impossible.
    static std::string meanPositionGpx(const PrecisionFigures &figures, std::string_view name,
                                       const MeanUncertainty *uncertainty = nullptr);
    // One placemark at the mean, the figures in <description>; none when
    // the mean is impossible. A height without decimal text is clamped to the ground.
    static std::string meanPositionKml(const PrecisionFigures &figures, std::string_view name,
                                       const MeanUncertainty *uncertainty = nullptr);
    // A track of every possible fix, each with its height and, when its
    // sentence gave a real date and time, its time (see GpxTrackWriter).
    static std::string fixesGpxTrack(const AcceptedFixes &fixes, std::string_view name);

    // Why the mean cannot be written, or empty.
    static std::string impossibleMean(const PrecisionFigures &figures);
    // Why a position is none on the earth ("latitude 91.000000000 lies beyond
    // a pole"), or empty.
    static std::string impossiblePosition(double latitude, double longitude);
    // The mean's height has a decimal text (a GGA run with heights).
    static bool meanAltitudeWritten(const PrecisionFigures &figures);

    // "n 3600, sigma north 1.234 m, ..." as <desc> and <description> hold it.
    static std::string figuresText(const PrecisionFigures &figures,
                                   const MeanUncertainty *uncertainty = nullptr);
    // Decimal degrees with nine decimals, "." as separator.
    static std::string degreesText(double degrees);
    // The same for a longitude: one that reads 180.000000000 is written as
    // -180.000000000, the same meridian, as GPX allows it.
    static std::string longitudeText(double degrees);
    // value with the given decimals, "." as separator; empty when it has no
    // such text: not finite, or longer than 64 characters (about 1e60 and beyond).
    static std::string fixedText(double value, int decimals);
    // "2026-12-08T10:15:00Z", or empty when date or time are missing or
    // no real day or time of day. A leap second (23:59:60) has no
    // xs:dateTime: it is written as the day's last instant, 23:59:59.999.
    static std::string isoTime(std::int32_t date, std::int32_t time);
};

} // namespace navorel
