#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "filter/acceptedfixes.h"
#include "filter/precisionfigures.h"

namespace navorel {

// How far the mean of a series may be from the truth when its values are not
// independent: a receiver's error wanders over minutes to hours, so that
// sigma / sqrt(n) is far too hopeful. The series is cut into 16 batches of
// consecutive values; their means are nearly independent when a batch is
// longer than the error's memory, which the lag-1 correlation of the batch
// means tells (and again with 32 batches).
struct BatchMeans
{
    double standardError = 0.0; // of the mean: s / 4, s of the 16 batch means
    double correlation16 = 0.0; // lag-1 correlation of the 16 batch means
    double correlation32 = 0.0; // ... and of 32
    bool settled = false;       // both low: the batches are long enough
};

// Needs 64 values at least: nothing for fewer.
std::optional<BatchMeans> batchMeans(std::span<const double> series);
// The batches are long enough when the lag-1 correlations of 16 and of 32
// batch means are both low.
bool batchesSettled(double correlation16, double correlation32);
// The standard error of 16 batch means of equal length.
double standardErrorOfBatchMeans(std::span<const double> means);
// The radius of 95 % round the mean from the standard errors of its east
// and north: the two pooled, F(2, 14) for 15 degrees of freedom each.
double r95OfStandardErrors(double east, double north);
// Sum (m_i - mean)(m_i+1 - mean) / sum (m_i - mean)^2, 0 when all are equal.
double lagOneCorrelation(std::span<const double> values);

// One level of the overlapping Allan deviation: the spread of the means of
// m consecutive values against the next m, tau = m values apart in time.
// Falling as 1 / sqrt(tau): averaging longer still helps; flat or rising:
// it no longer does.
struct AllanPoint
{
    double tauSeconds = 0.0;
    double east = 0.0;
    double north = 0.0;
    std::optional<double> altitude; // GGA fixes with a height, when there are enough
};
// sigma(m) of a series for m = 1, 2, 4, ... while 4 m <= n, one pass each
// over its cumulative sums; empty for fewer than 4 values.
std::vector<double> allanDeviations(std::span<const double> series);

// The quantile of F(2, 14) at 95 %: 7 (0.05^(-1/7) - 1).
double fQuantile95();

struct MeanUncertainty
{
    static constexpr std::array<double, 3> kRadii = {1.0, 0.5, 0.1};

    bool measured = false; // 64 fixes or more
    // The radius round the mean position that holds the true position with
    // 95 % probability; a lower bound only when not settled.
    double r95 = 0.0;
    double eastStandardError = 0.0;
    double northStandardError = 0.0;
    std::optional<double> altitude95; // when the heights' series has settled
    bool settled = false;             // east and north both
    double batchSeconds = 0.0;        // T / 16
    // Seconds more of logging for r95 to reach each radius, once settled.
    std::array<std::optional<double>, kRadii.size()> logMore;
    std::vector<AllanPoint> allan; // empty for fewer than 8 fixes
    double timeSpan = 0.0;         // T, for a log-more time of another radius
};

// The uncertainty of the figures' mean from the fixes they were measured on.
MeanUncertainty measureUncertainty(const AcceptedFixes &fixes, const PrecisionFigures &figures);
// 0 when r95 <= radius, else ceil(T (r95 / radius)^2 - T): the standard
// error falls as the root of the time logged.
double logMoreSeconds(double r95, double radius, double timeSpan);
// The decimals of degrees a position known to within metres needs: the
// fewest whose last digit (about 111 km / 10^d on a meridian) is no more
// than the distance, so that 0.57 m takes 6 and 0.02 m takes 7; 3 to 9.
int degreeDecimals(double metres);

} // namespace navorel
