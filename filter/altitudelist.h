#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace navorel {

// The heights of a run's GGA fixes in 4 bytes each, read back as the very
// doubles they were: a receiver writes its height with a few decimals
// ("545.4"), and such a number is exactly its digits divided by a power of
// ten. The rare height that is not (1e300, 20 digits) is kept beside the
// list with its place. NaN stands for a fix without a height.
class AltitudeList
{
public:
    std::size_t size() const { return m_codes.size(); }
    bool empty() const { return m_codes.empty(); }
    double operator[](std::size_t i) const;

    void push_back(double altitude);
    void reserve(std::size_t count) { m_codes.reserve(count); }
    std::size_t capacity() const { return m_codes.capacity(); }
    // Empties the list and keeps its room.
    void clear();
    // Appends other's heights and leaves other empty, its room kept.
    void append(AltitudeList &other);

private:
    std::vector<std::int32_t> m_codes;                     // digits * 16 + decimals, or one of the marks
    std::vector<std::pair<std::size_t, double>> m_unusual; // place and height, in order
};

} // namespace navorel
