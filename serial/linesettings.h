#pragma once

#include <optional>

namespace navorel {

// Parity and stop bits in the numbering serial drivers use; the selector
// lists them in another order ("No", "Even", "Mark", "Odd").
enum class PortParity { None = 0, Odd = 1, Even = 2, Mark = 3 };
enum class PortStopBits { One = 0, Two = 2 };

// The parity of a selector entry; none when no list entry is selected, so
// that the port keeps the parity it has.
std::optional<PortParity> parityForEntry(int entry);
std::optional<PortStopBits> stopBitsForEntry(int entry);

// The longest pause allowed between two received characters, in ms:
// 2 x (1000 div baud) x bits per character. 0 (no limit) from 1200 baud up.
// baudRate must be positive.
int interCharacterTimeoutMs(long baudRate, int dataBits, PortParity parity, PortStopBits stopBits);

inline constexpr int kReadTotalTimeoutMs = 50; // a read returns at the latest after this
inline constexpr int kPortQueueBytes = 256;    // driver input and output queues
inline constexpr int kReadChunkBytes = 257;    // at most this much per read
inline constexpr int kSendIntervalMs = 1000;   // one line per second when sending
inline constexpr int kReceiveIntervalMs = 1;   // the transfer timer otherwise

} // namespace navorel
