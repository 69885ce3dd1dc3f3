#pragma once

#include <optional>

#include "filter/meanuncertainty.h"

namespace navorel {

// A survey's goal, as receiver makers' survey-in has it: the mean within
// a target radius (r95, the position settled), continuously over the last
// tenth of the time logged and at least a minute, after a minimum time.
// One dip of a noisy estimate below the target is no survey.
class SurveyGoal
{
public:
    SurveyGoal(double targetMetres, double minimumSeconds);

    // The figures at a moment of the log (its time span); true once reached.
    bool update(double timeSpan, const MeanUncertainty &uncertainty);
    // Whether update() with these figures would reach the goal.
    bool reachesWith(double timeSpan, const MeanUncertainty &uncertainty) const;
    bool reached() const { return m_reached; }
    double target() const { return m_target; }

private:
    bool within(const MeanUncertainty &uncertainty) const;

    double m_target;
    double m_minimum;
    std::optional<double> m_heldSince; // time span at which the target held without a break
    bool m_reached = false;
};

} // namespace navorel
