#include "filter/survey.h"

namespace navorel {

Survey::Survey(const Settings &settings, std::optional<SurveyGoal> goal)
        : m_tracker(settings), m_goal(goal),
          m_fixSentence(settings.IDF == PositionSentence::GGA ? "GGA," : "RMC,")
{}

bool Survey::mayEndFix(std::string_view line) const
{
    return line.find(m_fixSentence) != std::string_view::npos;
}

std::size_t Survey::take(std::span<const std::string> lines)
{
    if (!m_goal || m_goal->reached()) {
        // Nothing to look at between the lines: they go in as one piece.
        m_piece.clear();
        for (const std::string &line : lines)
            m_piece.append(line).append("\r\n");
        m_tracker.feed(m_piece);
        return lines.size();
    }
    // A piece for each fix: the filter reads it as it would the whole, and
    // the goal is looked at with every fix that comes in.
    m_piece.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        m_piece.append(lines[i]).append("\r\n");
        if (!mayEndFix(lines[i]) && i + 1 < lines.size())
            continue;
        m_tracker.feed(m_piece);
        m_piece.clear();
        if (!look())
            return i + 1;
    }
    return lines.size();
}

bool Survey::look()
{
    const AcceptedFixes &fixes = m_tracker.run().fixes;
    if (fixes.size() == m_running.size())
        return true;
    for (std::size_t i = m_running.size(); i < fixes.size(); ++i)
        m_running.add(fixes.latitudes[i], fixes.longitudes[i]);
    const double elapsed = m_tracker.elapsedSeconds();
    const MeanUncertainty running = m_running.uncertainty();
    if (!m_goal->reachesWith(elapsed, running)) {
        m_goal->update(elapsed, running);
        return true;
    }
    // The figures of the fixes themselves have the last word.
    SurveyTracker::Figures figures = m_tracker.measure();
    if (!m_goal->update(elapsed, figures.uncertainty))
        return true;
    m_reachedFigures = std::move(figures);
    return false;
}

} // namespace navorel
