#include "filter/surveytexts.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace navorel {

namespace {

std::string fixed(double value, int decimals)
{
    return decimalText(value, decimals);
}

std::string hemisphere(double degrees, int decimals, char positive, char negative)
{
    return fixed(std::abs(degrees), decimals) + "\u00B0 " + (degrees < 0 ? negative : positive);
}

} // namespace

std::string decimalText(double value, int decimals)
{
    char text[400];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(text, end) : std::string("?");
}

std::string surveyDurationText(double seconds)
{
    const long long whole = std::max(0LL, std::llround(seconds));
    if (whole < 60)
        return std::to_string(whole) + " s";
    const long long minutes = whole / 60;
    if (minutes < 60)
        return std::to_string(minutes) + " min";
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

std::string countText(std::size_t count)
{
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

std::string r95Text(const MeanUncertainty &uncertainty)
{
    return "\u00B1" + fixed(uncertainty.r95, 2) + (uncertainty.settled ? " m" : " m or more") + " (95 %)";
}

std::string positionText(double latitude, double longitude, int decimals)
{
    return hemisphere(latitude, decimals, 'N', 'S') + ", " + hemisphere(longitude, decimals, 'E', 'W');
}

std::string decimalPositionText(double latitude, double longitude, int decimals)
{
    return fixed(latitude, decimals) + ", " + fixed(longitude, decimals);
}

std::string surveyStatusText(double seconds, std::size_t fixes, const MeanUncertainty &uncertainty)
{
    std::string text =
        "Survey: " + surveyDurationText(seconds) + ", " + countText(fixes) + (fixes == 1 ? " fix" : " fixes");
    if (uncertainty.measured)
        text += ", " + r95Text(uncertainty);
    return text;
}

std::string surveyAfterGoalText(const std::string &reached, std::size_t fixes, const MeanUncertainty &now)
{
    return reached + "; now " + r95Text(now) + ", " + countText(fixes) + " fixes";
}

std::string surveyReachedText(double seconds, const MeanUncertainty &uncertainty, double latitude,
                              double longitude)
{
    return "Survey reached " + r95Text(uncertainty) + " after " + surveyDurationText(seconds) + ": "
           + positionText(latitude, longitude, degreeDecimals(uncertainty.r95));
}

} // namespace navorel
