#include "filter/fixquality.h"

#include <algorithm>
#include <cstring>

namespace navorel {

namespace {

constexpr std::array<std::string_view, kFixClasses> kClassNames = {
    "rtk_fixed", "rtk_float", "precise", "differential", "autonomous",
    "unknown",   "estimated", "manual",  "simulated",    "invalid",
};

constexpr std::string_view kMinQualityTexts[] = {"any", "autonomous", "differential", "rtk-float",
                                                 "rtk-fixed"};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The XOR of the bytes, eight at a time: it is taken of every sentence read.
unsigned char xorOf(const char *bytes, std::size_t size)
{
    std::uint64_t wide = 0;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        wide ^= word;
    }
    for (int shift = 32; shift >= 8; shift /= 2)
        wide ^= wide >> shift;
    auto sum = static_cast<unsigned char>(wide);
    for (; i < size; ++i)
        sum ^= static_cast<unsigned char>(bytes[i]);
    return sum;
}

} // namespace

std::string_view fixClassName(FixClass fixClass)
{
    return kClassNames[static_cast<std::size_t>(fixClass)];
}

FixClass ggaFixClass(std::string_view quality)
{
    static constexpr FixClass kByDigit[] = {
        FixClass::Invalid,   FixClass::Autonomous, FixClass::Differential,
        FixClass::Precise,   FixClass::RtkFixed,   FixClass::RtkFloat,
        FixClass::Estimated, FixClass::Manual,     FixClass::Simulated,
    };
    if (quality.size() != 1 || quality[0] < '0' || quality[0] > '8')
        return FixClass::Unknown;
    return kByDigit[quality[0] - '0'];
}

FixClass rmcFixClass(std::string_view mode)
{
    if (mode.empty())
        return FixClass::Unknown;
    switch (mode[0]) {
    case 'A': return FixClass::Autonomous;
    case 'D': return FixClass::Differential;
    case 'P': return FixClass::Precise;
    case 'R': return FixClass::RtkFixed;
    case 'F': return FixClass::RtkFloat;
    case 'E': return FixClass::Estimated;
    case 'M': return FixClass::Manual;
    case 'S': return FixClass::Simulated;
    case 'N': return FixClass::Invalid;
    default: return FixClass::Unknown;
    }
}

std::string_view minQualityText(MinQuality minimum)
{
    return kMinQualityTexts[static_cast<std::size_t>(minimum)];
}

bool minQualityFromText(std::string_view text, MinQuality &minimum)
{
    for (std::size_t i = 0; i < std::size(kMinQualityTexts); ++i) {
        if (text == kMinQualityTexts[i]) {
            minimum = static_cast<MinQuality>(i);
            return true;
        }
    }
    return false;
}

bool admits(MinQuality minimum, FixClass fixClass)
{
    switch (minimum) {
    case MinQuality::Any: return true;
    case MinQuality::Autonomous: return fixClass <= FixClass::Unknown;
    case MinQuality::Differential: return fixClass <= FixClass::Differential;
    case MinQuality::RtkFloat: return fixClass <= FixClass::RtkFloat;
    case MinQuality::RtkFixed: return fixClass == FixClass::RtkFixed;
    }
    return false;
}

std::string_view checksumModeText(ChecksumMode mode)
{
    return mode == ChecksumMode::Verify ? "verify" : mode == ChecksumMode::Ignore ? "ignore" : "";
}

bool checksumModeFromText(std::string_view text, ChecksumMode &mode)
{
    if (text == "verify")
        mode = ChecksumMode::Verify;
    else if (text == "ignore")
        mode = ChecksumMode::Ignore;
    else
        return false;
    return true;
}

ChecksumState checksumState(std::string_view sentence)
{
    const void *found =
        sentence.size() > 1 ? std::memchr(sentence.data() + 1, '*', sentence.size() - 1) : nullptr;
    if (found == nullptr)
        return ChecksumState::Missing;
    const auto star = static_cast<std::size_t>(static_cast<const char *>(found) - sentence.data());
    if (sentence.size() < star + 3)
        return ChecksumState::Wrong;
    const int high = hexValue(sentence[star + 1]);
    const int low = hexValue(sentence[star + 2]);
    if (high < 0 || low < 0)
        return ChecksumState::Wrong;
    // Receivers pad some lines with blanks; anything else after it is a cut or a glued line.
    for (std::size_t i = star + 3; i < sentence.size(); ++i) {
        if (sentence[i] != ' ' && sentence[i] != '\t')
            return ChecksumState::Wrong;
    }
    return xorOf(sentence.data() + 1, star - 1) == high * 16 + low ? ChecksumState::Right
                                                                   : ChecksumState::Wrong;
}

bool hasImpossibleMinutes(std::string_view field)
{
    std::size_t point = field.find('.');
    if (point == std::string_view::npos)
        point = field.size();
    if (point < 2)
        return false;
    const char tens = field[point - 2];
    return tens >= '6' && tens <= '9' && field[point - 1] >= '0' && field[point - 1] <= '9';
}

} // namespace navorel
