#include "filter/settings.h"

#include "filter/wholenumber.h"

namespace navorel {

std::string_view sentenceIdentifier(PositionSentence kind)
{
    return kind == PositionSentence::RMC ? "$GPRMC" : "$GPGGA";
}

int clampSatTime(long long minutes)
{
    if (minutes < kSatTimeMin)
        return kSatTimeMin;
    if (minutes > kSatTimeMax)
        return kSatTimeMax;
    return static_cast<int>(minutes);
}

int satTimeFromText(std::string_view text)
{
    std::int64_t value = 0;
    if (!parseWholeNumber(text, value))
        return kSatTimeMin;
    return clampSatTime(value);
}

} // namespace navorel
