#include "filter/altitudelist.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace navorel {

namespace {

constexpr std::int32_t kMissing = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kUnusual = kMissing + 1;
constexpr int kDecimalsMax = 15; // 10^15 and every digit count below 2^27 are exact doubles
constexpr std::int64_t kDigitsMax = (std::int64_t{1} << 27) - 1;
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Both exact, so the division rounds once: to the double nearest the
// decimal number, the one its text was read as.
double decode(std::int32_t code)
{
    return static_cast<double>(code >> 4) / kPowersOfTen[code & 15];
}

bool sameDouble(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

double AltitudeList::operator[](std::size_t i) const
{
    const std::int32_t code = m_codes[i];
    if (code == kMissing)
        return std::numeric_limits<double>::quiet_NaN();
    if (code != kUnusual)
        return decode(code);
    const auto at = std::lower_bound(
        m_unusual.begin(), m_unusual.end(), i,
        [](const std::pair<std::size_t, double> &entry, std::size_t place) { return entry.first < place; });
    return at->second;
}

void AltitudeList::push_back(double altitude)
{
    if (std::isnan(altitude)) {
        m_codes.push_back(kMissing);
        return;
    }
    if (std::fabs(altitude) <= static_cast<double>(kDigitsMax)) {
        for (int decimals = 0; decimals <= kDecimalsMax; ++decimals) {
            const double scaled = std::round(altitude * kPowersOfTen[decimals]);
            if (std::fabs(scaled) > static_cast<double>(kDigitsMax))
                break;
            const auto code = static_cast<std::int32_t>(static_cast<std::int64_t>(scaled) * 16 + decimals);
            if (sameDouble(decode(code), altitude)) {
                m_codes.push_back(code);
                return;
            }
        }
    }
    m_unusual.emplace_back(m_codes.size(), altitude);
    m_codes.push_back(kUnusual);
}

void AltitudeList::clear()
{
    m_codes.clear();
    m_unusual.clear();
}

void AltitudeList::append(AltitudeList &other)
{
    const std::size_t offset = m_codes.size();
    m_codes.insert(m_codes.end(), other.m_codes.begin(), other.m_codes.end());
    for (const auto &[place, altitude] : other.m_unusual)
        m_unusual.emplace_back(offset + place, altitude);
    other.clear();
}

} // namespace navorel
