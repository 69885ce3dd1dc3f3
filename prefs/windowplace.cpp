#include "prefs/windowplace.h"

#include <algorithm>
#include <charconv>

namespace navorel {

namespace {

// The start of a span of length size within [low, low + room).
int clampSpan(int start, int size, int low, int room)
{
    return std::clamp(start, low, low + room - size);
}

} // namespace

ScreenRect clampToScreen(const ScreenRect &window, const ScreenRect &available)
{
    ScreenRect placed;
    placed.width = std::clamp(window.width, 1, std::max(1, available.width));
    placed.height = std::clamp(window.height, 1, std::max(1, available.height));
    placed.x = clampSpan(window.x, placed.width, available.x, std::max(placed.width, available.width));
    placed.y = clampSpan(window.y, placed.height, available.y, std::max(placed.height, available.height));
    return placed;
}

std::optional<ScreenRect> screenRectFromText(const std::string &text)
{
    int values[4] = {};
    const char *at = text.data();
    const char *end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (at == end || *at != ',')
                return std::nullopt;
            ++at;
        }
        const auto [next, error] = std::from_chars(at, end, values[i]);
        if (error != std::errc())
            return std::nullopt;
        at = next;
    }
    if (at != end || values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return ScreenRect{values[0], values[1], values[2], values[3]};
}

std::string screenRectText(const ScreenRect &rect)
{
    return std::to_string(rect.x) + ',' + std::to_string(rect.y) + ',' + std::to_string(rect.width) + ','
           + std::to_string(rect.height);
}

} // namespace navorel
