#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "filter/runningbatchmeans.h"
#include "filter/surveygoal.h"
#include "filter/surveytracker.h"

namespace navorel {

// A receiver being surveyed: its figures so far and, when it has one, its
// goal, looked at with every fix. What the recorder and the window follow
// while they receive.
class Survey
{
public:
    Survey(const Settings &settings, std::optional<SurveyGoal> goal);

    // The lines received next, without their line ends. The number of them
    // taken: all, or up to the one whose fix reached the goal, the last
    // line the survey has read.
    std::size_t take(std::span<const std::string> lines);
    // Text that was there before: read, its fixes in the figures, the goal
    // not looked at until the next lines taken.
    void readWithoutGoal(std::string_view text) { m_tracker.feed(text); }

    const SurveyTracker &tracker() const { return m_tracker; }
    double elapsedSeconds() { return m_tracker.elapsedSeconds(); }
    const std::optional<SurveyGoal> &goal() const { return m_goal; }
    bool goalReached() const { return m_goal && m_goal->reached(); }
    // The figures where the goal was reached, when it was.
    const std::optional<SurveyTracker::Figures> &reachedFigures() const { return m_reachedFigures; }

private:
    // False once the goal has been reached.
    bool look();
    // Can the line finish a fix: a sentence of the kind the fixes are taken from.
    bool mayEndFix(std::string_view line) const;

    SurveyTracker m_tracker;
    std::optional<SurveyGoal> m_goal;
    std::string_view m_fixSentence; // "RMC," or "GGA,"
    RunningBatchMeans m_running;
    std::optional<SurveyTracker::Figures> m_reachedFigures;
    std::string m_piece;
};

} // namespace navorel
