#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "filter/acceptedfixes.h"

namespace navorel {

// One step of the running mean: seconds since the first fix and the running
// mean's distance from the final mean in metres.
struct ConvergencePoint
{
    double seconds = 0.0;
    double metres = 0.0;
};

// How far the accepted fixes of a run spread around their mean, in metres on
// the plane touching the ellipsoid at the mean.
struct PrecisionFigures
{
    // The radii the running mean has to settle within, in metres.
    static constexpr std::array<double, 3> kSettleRadii = {1.0, 0.5, 0.1};

    std::size_t fixes = 0;
    double meanLatitude = 0.0; // decimal degrees
    double meanLongitude = 0.0;
    // Sample standard deviations (n - 1), as gpsprof gives them; 0 for one fix.
    double sigmaNorth = 0.0;
    double sigmaEast = 0.0;
    double drms = 0.0;
    double twiceDrms = 0.0;
    // Distance of the fix at rank ceil(p * n) when sorted by distance from the mean.
    double cep50 = 0.0;
    double cep95 = 0.0;
    double maxDistance = 0.0;

    std::size_t altitudeFixes = 0; // GGA fixes with an altitude
    double altitudeMean = 0.0;
    double altitudeSigma = 0.0;

    bool timed = false;    // some fix had a readable time field
    double timeSpan = 0.0; // seconds from the first to the last fix
    // Per settle radius: seconds from the first fix after which the running
    // mean stays within the radius; empty when the log ends before it does.
    std::array<std::optional<double>, kSettleRadii.size()> settled;

    bool empty() const { return fixes == 0; }
};

// The figures of the fixes; curve, when given, receives one point per fix.
PrecisionFigures measurePrecision(const AcceptedFixes &fixes, std::vector<ConvergencePoint> *curve = nullptr);

} // namespace navorel
