#include "app/livesurvey.h"

#include <algorithm>
#include <span>

#include "filter/surveytexts.h"
#include "prefs/settingsstore.h"

namespace {

constexpr int kInterval = 1000; // ms
// A pass over the fixes takes at most this share of the time between two.
constexpr int kCostShare = 50;

} // namespace

LiveSurvey::LiveSurvey(SettingsStore &settings, QObject *parent) : QObject(parent), m_settings(settings)
{
    m_timer.setInterval(kInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_survey && m_survey->tracker().fixes() != m_measuredFixes)
            measure();
    });
}

LiveSurvey::~LiveSurvey() = default;

void LiveSurvey::start(std::string_view log)
{
    const navorel::Settings &settings = m_settings.settings();
    m_survey = std::make_unique<navorel::Survey>(
        settings, navorel::SurveyGoal(settings.TargetR95, 60.0 * settings.MinMinutes));
    // The lines the log holds already count, as they do for F12; the goal
    // looks at what is received.
    m_survey->readWithoutGoal(log);
    // Received lines go on after a line break, as the text area adds them.
    if (!log.empty() && log.back() != '\n' && log.back() != '\r')
        m_survey->readWithoutGoal("\r\n");
    m_running = true;
    m_stopping = false;
    m_reachedText.clear();
    m_measuredFixes = 0;
    measure();
    m_timer.start();
}

void LiveSurvey::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_timer.stop();
    if (!m_survey->goalReached() || !m_settings.settings().StopWhenReached)
        measure();
}

std::size_t LiveSurvey::take(const std::vector<std::string> &lines)
{
    if (!m_survey || !m_running)
        return lines.size();
    if (m_stopping)
        return 0;
    const bool wasReached = m_survey->goalReached();
    std::size_t taken = m_survey->take(lines);
    if (wasReached || !m_survey->goalReached())
        return taken;

    // The goal was reached at the last line taken: shown with the figures there.
    m_figures = *m_survey->reachedFigures();
    m_seconds = m_survey->elapsedSeconds();
    m_measuredFixes = m_survey->tracker().fixes();
    m_reachedRun = m_survey->tracker().run();
    m_reachedFigures = m_figures;
    m_reachedText =
        navorel::surveyReachedText(m_seconds, m_figures.uncertainty, m_figures.precision.meanLatitude,
                                   m_figures.precision.meanLongitude);
    emit measured();
    emit statusChanged(QString::fromStdString(m_reachedText));
    emit goalReached(QString::fromStdString(m_reachedText));
    if (m_settings.settings().StopWhenReached) {
        m_stopping = true;
        emit stopRequested();
        if (!m_settings.settings().SaveWhenReached.empty())
            emit saveRequested(QString::fromStdString(m_settings.settings().SaveWhenReached));
        return taken;
    }
    // Receiving goes on: the rest of the lines count as well.
    const std::span<const std::string> rest(lines.begin() + static_cast<std::ptrdiff_t>(taken), lines.end());
    return taken + m_survey->take(rest);
}

const navorel::FilterRun *LiveSurvey::run() const
{
    return m_survey ? &m_survey->tracker().run() : nullptr;
}

void LiveSurvey::measure()
{
    m_cost.start();
    m_figures = m_survey->tracker().measure();
    m_seconds = m_survey->elapsedSeconds();
    m_measuredFixes = m_survey->tracker().fixes();
    emit measured();
    // Once reached, the status bar keeps the goal's sentence in view.
    emit statusChanged(QString::fromStdString(
        m_reachedText.empty()
            ? navorel::surveyStatusText(m_seconds, m_measuredFixes, m_figures.uncertainty)
            : navorel::surveyAfterGoalText(m_reachedText, m_measuredFixes, m_figures.uncertainty)));
    // A week of fixes takes a while to pass over: the window stays quick.
    m_timer.setInterval(std::max<int>(kInterval, kCostShare * static_cast<int>(m_cost.elapsed())));
}
