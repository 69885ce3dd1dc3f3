#include "resultfile/resultfilewriter.h"

#include "filter/textfile.h"

namespace navorel {

std::string resultFileText(const FilterResult &result, std::string_view titlePath)
{
    std::string text;
    text.reserve(256 + result.dataLines.textBytes() + result.rangeLines.textBytes());
    text += "Novarel result csv-file ";
    text += titlePath;
    text += "\r\n// Navorel " NAVOREL_VERSION " - filter result, written by the Navorel developers\r\n"
            "// for spredsheet use ';' as divider\r\n"
            "\r\n"
            "[DATA]\r\n"
            "Time; North Lat.; East Lon.; Satellites\r\n";
    result.dataLines.appendWithLineBreaks(text);
    text += "\r\n"
            "[SAT]\r\n"
            "Minute range; Satellites in view\r\n";
    result.rangeLines.appendWithLineBreaks(text);
    return text;
}

bool writeResultFile(const std::string &path, const FilterResult &result, std::string_view titlePath)
{
    return writeFileReplacing(path, resultFileText(result, titlePath));
}

} // namespace navorel
