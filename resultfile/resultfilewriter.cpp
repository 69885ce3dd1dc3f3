#include "resultfile/resultfilewriter.h"

#include <optional>

#include "filter/textfile.h"

namespace navorel {

namespace {

constexpr std::string_view kTitle = "Novarel result csv-file ";
constexpr std::string_view kDataHead =
    "\r\n// Navorel " NAVOREL_VERSION " - filter result, written by the Navorel developers\r\n"
    "// for spredsheet use ';' as divider\r\n"
    "\r\n"
    "[DATA]\r\n"
    "Time; North Lat.; East Lon.; Satellites\r\n";
constexpr std::string_view kSatelliteHead = "\r\n"
                                            "[SAT]\r\n"
                                            "Minute range; Satellites in view\r\n";

} // namespace

std::string resultFileText(const FilterResult &result, std::string_view titlePath)
{
    std::string text;
    text.reserve(256 + result.dataLines.textBytes() + result.rangeLines.textBytes());
    text += kTitle;
    text += titlePath;
    text += kDataHead;
    result.dataLines.appendWithLineBreaks(text);
    text += kSatelliteHead;
    result.rangeLines.appendWithLineBreaks(text);
    return text;
}

bool writeResultFile(ReplacingFile &file, const FilterResult &result, std::string_view titlePath)
{
    // The lists usually hold their lines in the written form already: they
    // go to the file from where they are, without a text built beside them.
    const std::optional<std::string_view> data = result.dataLines.withLineBreaksView();
    const std::optional<std::string_view> ranges = result.rangeLines.withLineBreaksView();
    if (!data || !ranges)
        return file.write(resultFileText(result, titlePath));
    const std::string title = std::string(kTitle) + std::string(titlePath);
    for (const std::string_view piece :
         {std::string_view(title), kDataHead, *data, kSatelliteHead, *ranges}) {
        if (!file.write(piece))
            return false;
    }
    return true;
}

FileWrite writeResultFile(const std::string &path, const FilterResult &result, std::string_view titlePath)
{
    ReplacingFile file(path);
    const bool ok = file.open() && writeResultFile(file, result, titlePath) && file.commit();
    return FileWrite{ok ? std::string() : file.reason()};
}

} // namespace navorel
