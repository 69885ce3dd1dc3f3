#pragma once

#include <QString>

#include "filter/surveytracker.h"
#include "ui/filedialogs.h"

class Prompter;
class PrecisionView;
class QWidget;

// The File menu's exports of the precision page: the mean position as GPX
// or KML (by the type of the file chosen) and the fixes as a GPX track.
class PositionExportCommands
{
public:
    PositionExportCommands(FileDialogs &dialogs, Prompter &prompter);

    // name: what the waypoint or track is called, the log's name.
    void exportMeanPosition(QWidget *parent, const PrecisionView &view, const QString &name);
    void exportTrack(QWidget *parent, const PrecisionView &view, const QString &name);
    // A survey's position where its goal was reached: GPX, KML or the
    // figures as navorel-filter --json gives them, by the type chosen.
    void exportSurvey(QWidget *parent, const navorel::FilterRun &run,
                      const navorel::SurveyTracker::Figures &figures, const QString &name);
    FileDialogState &meanDialog() { return m_meanDialog; }
    FileDialogState &trackDialog() { return m_trackDialog; }

private:
    // name with the suffix of the dialog's filter, where it saved last.
    static void propose(FileDialogState &dialog, const QString &name);
    void write(QWidget *parent, const QString &path, const std::string &text);

    FileDialogs &m_dialogs;
    Prompter &m_prompter;
    FileDialogState m_meanDialog;
    FileDialogState m_trackDialog;
    FileDialogState m_surveyDialog;
};
