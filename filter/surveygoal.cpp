#include "filter/surveygoal.h"

#include <algorithm>

namespace navorel {

SurveyGoal::SurveyGoal(double targetMetres, double minimumSeconds)
        : m_target(targetMetres), m_minimum(minimumSeconds)
{}

bool SurveyGoal::reachesWith(double timeSpan, const MeanUncertainty &uncertainty) const
{
    if (m_reached)
        return true;
    if (!within(uncertainty))
        return false;
    const double held = timeSpan - m_heldSince.value_or(timeSpan);
    return timeSpan >= m_minimum && held >= std::max(timeSpan / 10.0, 60.0);
}

bool SurveyGoal::update(double timeSpan, const MeanUncertainty &uncertainty)
{
    if (m_reached)
        return true;
    if (!within(uncertainty)) {
        m_heldSince.reset();
        return false;
    }
    m_reached = reachesWith(timeSpan, uncertainty);
    if (!m_heldSince)
        m_heldSince = timeSpan;
    return m_reached;
}

bool SurveyGoal::within(const MeanUncertainty &uncertainty) const
{
    return uncertainty.measured && uncertainty.settled && uncertainty.r95 <= m_target;
}

} // namespace navorel
