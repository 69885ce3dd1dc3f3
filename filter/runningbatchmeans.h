#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "filter/meanuncertainty.h"

namespace navorel {

// The mean's uncertainty (r95 and whether it has settled) kept up fix by
// fix, for a goal that is looked at with every fix: the batch means come
// from running sums of the positions, O(1) a look, where measureUncertainty
// passes over all fixes. The sums are whole numbers of nanodegrees, exact
// however long the log; the figures agree with measureUncertainty's to
// about 1e-5 of their size, and a goal reached by them is checked with those.
class RunningBatchMeans
{
public:
    void add(double latitude, double longitude);
    std::size_t size() const { return m_northSums.size() - 1; }

    // measured, settled, r95 and the standard errors; nothing else.
    MeanUncertainty uncertainty() const;

private:
    // The means of the first `means.size()` batches, in degrees from the first fix.
    void batchMeans(const std::vector<std::int64_t> &sums, std::span<double> means) const;

    double m_firstLatitude = 0.0;
    double m_firstLongitude = 0.0;
    // S[0] = 0, S[i + 1] = S[i] + the offset of fix i from the first, in nanodegrees.
    std::vector<std::int64_t> m_northSums{0};
    std::vector<std::int64_t> m_eastSums{0};
    // Metres per degree at a latitude: taken anew only when the mean has
    // moved by more than a few metres, as it changes by millionths then.
    mutable std::optional<double> m_scaleLatitude;
    mutable double m_metresNorth = 0.0;
    mutable double m_metresEast = 0.0;
};

} // namespace navorel
