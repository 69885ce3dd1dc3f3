#pragma once

#include <string>
#include <string_view>

#include "filter/fixquality.h"

namespace navorel {

// The two kinds of position sentence the filter can take, in the order of
// the identifier choice (the settings file stores the position).
enum class PositionSentence { RMC = 0, GGA = 1 };

// "$GPRMC" or "$GPGGA".
std::string_view sentenceIdentifier(PositionSentence kind);

// Which talkers the filter reads. GNSS: every satellite system's talker,
// one fix per epoch; GPS: only $GP sentences, as the classic program did.
enum class TalkerMode { GNSS, GPS };

// The user preferences, with the defaults of a first start.
struct Settings
{
    // [Config]
    bool Help = true;
    bool Progress = true;
    bool Respage = true;
    bool COMclr = false;
    // [ToolBar]
    bool ToolBar = true;
    // [Filter]
    PositionSentence IDF = PositionSentence::RMC;
    bool GSA = true;
    bool Valid = true;
    bool UTC = true;
    bool Acc = true;
    bool Sat = true;
    int SatTime = 15;
    // [COM]: selected list entries, -1 for none
    int Port = -1;
    int Baud = 4;
    int Data = 3;
    int Parity = 0;
    int Stop = 0;

    // Not among the seventeen: NAVRL.ini has no room for them, navorel.conf
    // keeps them (prefs/confsettings names each key).
    TalkerMode Talkers = TalkerMode::GNSS;
    // The least a fix has to be to count; any: every fix, as always.
    navorel::MinQuality MinQuality = navorel::MinQuality::Any;
    // Sentences with a wrong checksum left out: by default with every talker.
    ChecksumMode Checksums = ChecksumMode::Default;
    // A port that is no "COMn" entry: typed, reported by the system, a network source.
    std::string PortName;
    // [Survey]: the goal of a live survey while receiving. The target r95
    // in metres, the least time of fixes, and what to do once it is reached.
    double TargetR95 = 0.5;
    int MinMinutes = 30;
    bool StopWhenReached = false;
    std::string SaveWhenReached; // a file to save the log in; empty: none

    bool operator==(const Settings &) const = default;
};

// Whether a run reads sentence by sentence and leaves out those with a wrong
// checksum, impossible positions and satellite IDs that are no numbers: by
// default with every talker; the classic mode reads lines as it always did.
inline bool checksSentences(const Settings &settings)
{
    return settings.Checksums == ChecksumMode::Default ? settings.Talkers == TalkerMode::GNSS
                                                       : settings.Checksums == ChecksumMode::Verify;
}

// The satellites time range is kept within 1 to 60 minutes; a value outside
// goes to the nearer bound.
inline constexpr int kSatTimeMin = 1;
inline constexpr int kSatTimeMax = 60;
int clampSatTime(long long minutes);

// The satellites time range as typed: a text that is not a whole number
// reads as the lowest value, anything else is brought into range.
int satTimeFromText(std::string_view text);

// Entries of the serial selectors; the settings keep indexes into them.
inline constexpr std::string_view kPortEntries[] = {"COM1", "COM2", "COM3", "COM4", "COM5",
                                                    "COM6", "COM7", "COM8", "COM9", "COM10"};
inline constexpr std::string_view kBaudEntries[] = {"300",   "600",   "1200",  "2400",  "4800",  "9600",
                                                    "14400", "19200", "38400", "57600", "115200"};
inline constexpr std::string_view kDataEntries[] = {"5", "6", "7", "8"};
inline constexpr std::string_view kParityEntries[] = {"No", "Even", "Mark", "Odd"};
inline constexpr std::string_view kStopEntries[] = {"1", "2"};

} // namespace navorel
