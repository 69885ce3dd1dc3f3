#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "filter/survey.h"

class SettingsStore;

// The figures of the log while a receiver is being received into it: the
// same filter rules and settings as F12 over the log, kept up line by line,
// shown once a second (less often when a pass over the fixes grows long),
// and the goal of the settings looked at with every fix.
class LiveSurvey : public QObject
{
    Q_OBJECT

public:
    explicit LiveSurvey(SettingsStore &settings, QObject *parent = nullptr);
    ~LiveSurvey() override;

    // Receiving starts onto the log as it stands: its lines count too, as
    // they do for F12.
    void start(std::string_view log);
    // Receiving stopped: the figures of every line received, shown at once.
    void stop();
    bool running() const { return m_running; }

    // The lines received next: how many of them go into the log. All of
    // them, unless the goal was reached with "stop when reached": then up
    // to the line of the fix that reached it, and none after.
    std::size_t take(const std::vector<std::string> &lines);

    // What was shown last.
    const navorel::FilterRun *run() const;
    const navorel::SurveyTracker::Figures &figures() const { return m_figures; }
    double seconds() const { return m_seconds; }
    // The run and its figures at the fix that reached the goal, for the
    // notice's exports while receiving goes on.
    const navorel::FilterRun &reachedRun() const { return m_reachedRun; }
    const navorel::SurveyTracker::Figures &reachedFigures() const { return m_reachedFigures; }

signals:
    void measured();
    // "Survey: 2 h 13 min, 7,980 fixes, ±0.31 m (95 %)"
    void statusChanged(const QString &text);
    // "Survey reached ±0.48 m (95 %) after 2 h 13 min: ..."; once a
    // receiving. With "stop when reached" the log has its last line then.
    void goalReached(const QString &text);
    // With "stop when reached": the log has its last line; receiving should
    // stop, and the log be saved under the name asked for (when one is).
    void stopRequested();
    void saveRequested(const QString &path);

private:
    void measure();

    SettingsStore &m_settings;
    std::unique_ptr<navorel::Survey> m_survey;
    navorel::SurveyTracker::Figures m_figures;
    double m_seconds = 0.0;
    std::string m_reachedText; // the goal's sentence, once reached
    navorel::FilterRun m_reachedRun;
    navorel::SurveyTracker::Figures m_reachedFigures;
    std::size_t m_measuredFixes = 0;
    bool m_running = false;
    bool m_stopping = false;
    QTimer m_timer;
    QElapsedTimer m_cost;
};
