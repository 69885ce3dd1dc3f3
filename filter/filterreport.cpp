#include "filter/filterreport.h"

#include "filter/nmeafields.h"

namespace navorel {

std::vector<std::string> reportHead(std::string_view identifier)
{
    std::vector<std::string> report;
    report.push_back(" Filter Report for " + std::string(identifier));
    report.emplace_back(" ====================");
    report.emplace_back(" ");
    return report;
}

void appendReportCounts(std::vector<std::string> &report, std::string_view foundCount,
                        std::string_view notValidCount, bool onlyValidData)
{
    report.push_back(" sentences found     : " + std::string(foundCount));
    report.push_back(" not valid sentences : " + std::string(notValidCount));
    report.emplace_back(onlyValidData ? " only valid data used." : " all data used.");
    report.emplace_back(" ");
}

std::string meanLatitudeText(double latitudeSum, long long count)
{
    if (count == 0)
        return std::string(kLatitudeError);
    return std::string(kLatitudePrefix) + CoordToText(DegreesToCoord(latitudeSum, count));
}

std::string meanLongitudeText(const LongitudeSum &longitudes, long long count)
{
    if (count == 0)
        return std::string(kLongitudeError);
    if (!longitudes.crossesDateLine())
        return std::string(kLongitudePrefix) + CoordToText(DegreesToCoord(longitudes.plain(), count));
    const double mean = LongitudeSum::normalised(longitudes.sum() / static_cast<double>(count));
    return std::string(kLongitudePrefix) + CoordToText(DegreesToCoord(mean, 1));
}

void appendReportAdvice(std::vector<std::string> &report)
{
    static const char *const advice[] = {
        " ",
        " ",
        " The position could be incorrect, check the NMEA",
        " data file or the WAAS/EGNOS/DGPS settings of",
        " the GPS device.",
        " See the chart to control the accuracy of the",
        " GPS device.",
        " ",
        " To get a NMEA data file connect the GPS device",
        " to a PC and open a terminal programm with the",
        " following settings:",
        " port: COM1, bit/s: 4800, bits: 8, parity: no, stop bits: 1.",
        " Save the displayed NMEA data to a text file.",
    };
    for (const char *line : advice)
        report.emplace_back(line);
}

} // namespace navorel
