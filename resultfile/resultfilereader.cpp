#include "resultfile/resultfilereader.h"

#include <string_view>

#include "filter/filterreport.h"
#include "filter/nmeafields.h"
#include "filter/wholenumber.h"

namespace navorel {

namespace {

// The field at index, or an empty text when the line has fewer fields.
std::string_view field(std::string_view line, std::size_t index)
{
    for (std::size_t i = 0; i < index; ++i) {
        const std::size_t separator = line.find(';');
        if (separator == std::string_view::npos)
            return {};
        line.remove_prefix(separator + 1);
    }
    return line.substr(0, line.find(';'));
}

// "4807,0380" -> "4807.0380". A text without a comma gets the point in
// front, which no coordinate reading accepts.
std::string decimalPoint(std::string_view text)
{
    std::string result(text);
    const std::size_t comma = result.find(',');
    if (comma == std::string::npos)
        result.insert(result.begin(), '.');
    else
        result[comma] = '.';
    return result;
}

std::ptrdiff_t indexOfFirstContaining(const TextLines &lines, std::string_view text)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(text) != std::string_view::npos)
            return static_cast<std::ptrdiff_t>(i);
    }
    return 0;
}

bool stop(ResultFileView &view, std::string message, std::size_t index)
{
    view.errorString = std::move(message);
    view.errorLine = index + 1;
    return false;
}

bool readDataLine(ResultFileView &view, std::string_view line, std::size_t index)
{
    const std::string_view time = line.substr(0, line.find(';'));
    const std::string latitudeText = decimalPoint(field(line, 1));
    const std::string longitudeText = decimalPoint(field(line, 2));

    const Converted<double> latitude = CoordToDegrees(latitudeText);
    if (!latitude.ok())
        return stop(view, latitude.errorString(), index);
    const Converted<double> longitude = CoordToDegrees(longitudeText);
    if (!longitude.ok())
        return stop(view, longitude.errorString(), index);
    const Converted<std::int64_t> satellites = toWholeNumber(field(line, 3));
    if (!satellites.ok())
        return stop(view, satellites.errorString(), index);

    if (latitudeText.size() > 1 && longitudeText.size() > 1) {
        view.latitudeSum += latitude.value();
        view.longitudeSum.add(longitude.value());
    }
    view.points.push_back({latitude.value(), longitude.value()});

    std::string display(time);
    display += "   ";
    display += CoordToText(DegreesToCoord(latitude.value(), 1));
    display += "   ";
    display += CoordToText(DegreesToCoord(longitude.value(), 1));
    view.displayLines.append(display);
    return true;
}

bool readRangeLine(ResultFileView &view, std::string_view line, std::size_t index)
{
    const std::size_t separator = line.find(';');
    const std::string_view end = line.substr(0, separator);
    const std::string_view mean = separator == std::string_view::npos ? line : line.substr(separator + 1);
    const Converted<std::int64_t> x = toWholeNumber(end);
    if (!x.ok())
        return stop(view, x.errorString(), index);
    const Converted<std::int64_t> y = toWholeNumber(mean);
    if (!y.ok())
        return stop(view, y.errorString(), index);
    view.bars.push_back({x.value(), y.value()});
    return true;
}

} // namespace

ResultFileView readResultFile(const TextLines &fileLines, const ProgressCallback &progress)
{
    ResultFileView view;
    view.fileLineCount = fileLines.size();
    if (fileLines.size() <= 3) {
        view.tooShort = true;
        return view;
    }

    const auto lineCount = static_cast<std::ptrdiff_t>(fileLines.size());
    const std::ptrdiff_t data = indexOfFirstContaining(fileLines, "[DATA]");
    const std::ptrdiff_t sat = indexOfFirstContaining(fileLines, "[SAT]");

    // The column header after "[DATA]" and the empty line before "[SAT]" are
    // passed over.
    ProgressReporter reporter(progress, view.fileLineCount);
    for (std::ptrdiff_t i = data + 2; i <= sat - 2 && i < lineCount; ++i) {
        ++view.dataLinesRead;
        reporter.set(view.dataLinesRead);
        const auto index = static_cast<std::size_t>(i);
        if (!readDataLine(view, fileLines[index], index))
            return view;
    }
    for (std::ptrdiff_t i = sat + 2; i < lineCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        if (!readRangeLine(view, fileLines[index], index))
            return view;
    }

    const auto count = static_cast<long long>(view.dataLinesRead);
    view.latitudeText = meanLatitudeText(view.latitudeSum, count);
    view.longitudeText = meanLongitudeText(view.longitudeSum, count);
    appendReportCounts(view.reportLines, std::to_string(view.dataLinesRead), "unknown", false);
    view.reportLines.push_back(view.latitudeText);
    view.reportLines.push_back(view.longitudeText);
    appendReportAdvice(view.reportLines);
    return view;
}

} // namespace navorel
