#include "filter/epochsatellites.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "filter/fieldreader.h"

namespace navorel {

namespace {

// IDs compare as numbers: leading zeros say nothing. False for an ID that
// is no number of at most nine digits.
bool idNumber(const char *begin, const char *end, std::uint32_t &number)
{
    std::uint32_t value = 0;
    while (begin < end && *begin == '0')
        ++begin;
    if (end - begin > 9)
        return false;
    for (; begin < end; ++begin) {
        const auto digit = static_cast<unsigned>(*begin - '0');
        if (digit > 9)
            return false;
        value = value * 10 + digit;
    }
    number = value;
    return true;
}

// The system a talker of one system stands for, as NMEA 4.10 numbers it in
// GSA: a receiver that sends $GPGSA without the system field and $GNGSA
// with it names one satellite both ways. GN and unknown talkers stay.
std::string_view systemOfTalker(std::string_view talker)
{
    static constexpr std::pair<std::string_view, std::string_view> kSystems[] = {
        {"GP", "1"}, {"GL", "2"}, {"GA", "3"}, {"GB", "4"}, {"BD", "4"}, {"GQ", "5"}, {"GI", "6"}};
    for (const auto &[name, system] : kSystems) {
        if (talker == name)
            return system;
    }
    return talker;
}

} // namespace

void EpochSatellites::add(std::string_view sentence, bool onlyNumbers)
{
    // One pass over the bytes, as a GSA sentence comes every second for
    // every system: the IDs are read as they pass, the system comes at the end.
    std::uint32_t numbers[12];
    int numberCount = 0;
    std::string_view others[12]; // IDs that are no number
    int otherCount = 0;
    const char *p = sentence.data() + std::min<std::size_t>(sentence.size(), 6);
    const char *const end = sentence.data() + sentence.size();
    const auto atFieldEnd = [&end](const char *q) { return q == end || *q == ',' || *q == '*'; };
    // Passes over the field at p and its comma; false when the fields have ended.
    const auto skipField = [&]() {
        while (!atFieldEnd(p))
            ++p;
        if (p == end || *p == '*')
            return false;
        ++p;
        return true;
    };
    bool more = skipField() && skipField() && skipField(); // the rest of the head, mode, fix type
    for (int i = 0; more && i < 12; ++i) {
        const char *const start = p;
        while (p < end && *p == '0')
            ++p;
        const char *const digits = p;
        std::uint32_t value = 0;
        while (p < end && static_cast<unsigned>(*p - '0') <= 9) {
            value = value * 10 + static_cast<std::uint32_t>(*p - '0');
            ++p;
        }
        // IDs compare as numbers (leading zeros say nothing), of at most nine digits.
        if (atFieldEnd(p) && p > start && p - digits <= 9) {
            if (!onlyNumbers || p - start <= 3)
                numbers[numberCount++] = value;
        } else if (!atFieldEnd(p) || p > start) {
            while (!atFieldEnd(p))
                ++p;
            if (!onlyNumbers)
                others[otherCount++] = std::string_view(start, static_cast<std::size_t>(p - start));
        }
        more = p < end && *p == ',';
        if (more)
            ++p;
    }
    std::string_view systemId;
    if (more && skipField() && skipField() && skipField()) { // PDOP, HDOP, VDOP
        const char *const start = p;
        while (!atFieldEnd(p))
            ++p;
        systemId = std::string_view(start, static_cast<std::size_t>(p - start));
    }
    const std::string_view system = systemId.empty() ? systemOfTalker(sentence.substr(1, 2)) : systemId;
    System *slot = systemSlot(system);
    for (int i = 0; i < numberCount; ++i) {
        if (slot != nullptr && numbers[i] < kIds)
            setBit(*slot, numbers[i]);
        else
            insertOther(system, std::to_string(numbers[i]));
    }
    for (int i = 0; i < otherCount; ++i)
        insertOther(system, others[i]);
}

EpochSatellites::System *EpochSatellites::systemSlot(std::string_view system)
{
    if (system.size() > 3)
        return nullptr;
    std::uint32_t name = static_cast<std::uint32_t>(system.size()) << 24;
    for (std::size_t i = 0; i < system.size(); ++i)
        name |= static_cast<std::uint32_t>(static_cast<unsigned char>(system[i])) << (8 * i);
    int slot = 0;
    while (slot < m_systemCount && m_systems[slot].name != name)
        ++slot;
    // Once the slots are full, a further system goes the slow way for the
    // rest of the epoch, so that a satellite has one place only.
    if (slot == kSystems)
        return nullptr;
    if (slot == m_systemCount)
        m_systems[m_systemCount++].name = name;
    return &m_systems[slot];
}

void EpochSatellites::setBit(System &system, std::uint32_t id)
{
    std::uint64_t &word = system.ids[id / 64];
    const std::uint64_t bit = std::uint64_t{1} << (id % 64);
    m_count += (word & bit) == 0 ? 1 : 0;
    word |= bit;
}

void EpochSatellites::insert(std::string_view system, std::uint32_t id)
{
    System *slot = systemSlot(system);
    if (slot != nullptr && id < kIds)
        setBit(*slot, id);
    else
        insertOther(system, std::to_string(id));
}

void EpochSatellites::insertOther(std::string_view system, std::string_view id)
{
    std::string key(system);
    key += '\0';
    key += id;
    if (std::find(m_otherKeys.begin(), m_otherKeys.end(), key) == m_otherKeys.end())
        m_otherKeys.push_back(std::move(key));
}

void EpochSatellites::add(const EpochSatellites &other)
{
    // Rare (an epoch cut by a chunk border): each satellite the long way.
    for (int s = 0; s < other.m_systemCount; ++s) {
        const System &from = other.m_systems[s];
        char letters[3];
        const std::size_t length = from.name >> 24;
        for (std::size_t i = 0; i < length; ++i)
            letters[i] = static_cast<char>(from.name >> (8 * i));
        for (std::uint32_t id = 0; id < kIds; ++id) {
            if ((from.ids[id / 64] >> (id % 64) & 1) != 0)
                insert(std::string_view(letters, length), id);
        }
    }
    for (const std::string &key : other.m_otherKeys) {
        const std::size_t split = key.find('\0');
        const std::string_view system(key.data(), split);
        const std::string_view id = std::string_view(key).substr(split + 1);
        std::uint32_t number = 0;
        if (idNumber(id.data(), id.data() + id.size(), number))
            insert(system, number);
        else
            insertOther(system, id);
    }
}

void EpochSatellites::clear()
{
    for (int s = 0; s < m_systemCount; ++s)
        std::memset(m_systems[s].ids, 0, sizeof m_systems[s].ids);
    m_systemCount = 0;
    m_count = 0;
    m_otherKeys.clear();
}

} // namespace navorel
