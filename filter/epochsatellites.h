#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace navorel {

// The active satellites of one epoch, gathered from its GSA sentences: a
// multi-GNSS receiver writes one per satellite system, and some repeat a
// satellite in two of them. A satellite is its system and its ID; the
// system is the NMEA 4.10 system-ID field after VDOP where there is one,
// else the talker, so that GPS 1 and Galileo 1 are two satellites while
// "03" and "3" are one.
//   $GNGSA,A,3,10,16,18,20,26,27,,,,,,,1.94,1.03,1.64,1*0C
//   $GNGSA,A,3,65,66,74,75,,,,,,,,,1.94,1.03,1.64,2*05
class EpochSatellites
{
public:
    // Adds the satellites of the GSA sentence that begins at sentence ("$").
    // onlyNumbers: an ID counts only when it is one to three digits, so that
    // the fields of a sentence glued into a cut GSA line are no satellites.
    void add(std::string_view sentence, bool onlyNumbers = false);
    // Adds those of another part of the same epoch.
    void add(const EpochSatellites &other);
    int count() const { return m_count + static_cast<int>(m_otherKeys.size()); }
    void clear();

private:
    // The usual case, a few systems with IDs below 512, as one bit each: a
    // GSA line is read for every second of a log, so this has to be quick.
    static constexpr int kSystems = 4;
    static constexpr std::uint32_t kIds = 512;
    struct System
    {
        std::uint32_t name = 0; // up to three letters and their count
        std::uint64_t ids[kIds / 64] = {};
    };

    System *systemSlot(std::string_view system);
    void setBit(System &system, std::uint32_t id);
    void insert(std::string_view system, std::uint32_t id);
    void insertOther(std::string_view system, std::string_view id);

    System m_systems[kSystems];
    int m_systemCount = 0;
    int m_count = 0;                      // bits set
    std::vector<std::string> m_otherKeys; // the rest: "system\0id"
};

} // namespace navorel
