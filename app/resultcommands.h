#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <functional>

#include "filter/filterprocess.h"
#include "filter/filterresult.h"
#include "ui/editordocument.h"
#include "ui/filedialogs.h"
#include "ui/progressgauge.h"

class MainActions;
class NmeaTextArea;
class PositionViews;
class Prompter;
class QAction;
class QProgressBar;
class QWidget;
class ResultPage;
class SettingsStore;

// The filter run and what follows from its result: the two views of the
// text, the result page and the result files.
class ResultCommands : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        MainActions &actions;
        NmeaTextArea *text;
        PositionViews *views;
        QProgressBar *gauge;
        QAction *gaugeSeparator;
        QWidget *window;
    };

    ResultCommands(SettingsStore &settings, FileDialogs &dialogs, Prompter &prompter,
                   const Controls &controls);

    void setResultPage(ResultPage *page) { m_resultPage = page; }
    const navorel::FilterResult &filterResult() const { return m_filterResult; }
    ProgressGauge &gauge() { return m_gauge; }
    FileDialogState &openDialog() { return m_openDialog; }
    FileDialogState &saveDialog() { return m_saveDialog; }
    // The text area shows filtered lines or an opened result file, not the log.
    bool showsResult() const;

    void FilterClick();
    void FilterProcess();
    void TB_NMEAClick();
    void TB_filterdataClick();
    void SavefilteredData1Click();
    void Openfiltereddata1Click();
    void ShowResultpage1Click();
    // The log's name, which "Save filtered data" proposes with .csv.
    void setLogName(std::function<QString()> logPath) { m_logPath = std::move(logPath); }

signals:
    // A result file opened or saved.
    void fileUsed(const QString &path);
    // A line for the status bar: why a run found nothing, what it left out.
    void noted(const QString &note);

private:
    void proposeResultName();
    void noteLeftOut(const navorel::FilterRun &run);
    void showProgress(bool shown);
    void setProgress(std::size_t position, std::size_t maximum);
    void replaceText(const navorel::TextLines &lines);
    bool fitsTextArea(const navorel::TextLines &lines);

    SettingsStore &m_settings;
    FileDialogs &m_dialogs;
    Prompter &m_prompter;
    Controls m_controls;
    ProgressGauge m_gauge;
    ResultPage *m_resultPage = nullptr;
    navorel::FilterResult m_filterResult;
    // The fixes of the last run, kept as an editor document beside the log.
    EditorDocument m_resultView;
    FileDialogState m_openDialog;
    FileDialogState m_saveDialog;
    std::function<QString()> m_logPath;
    QString m_namedFor; // the log the save dialog's name was proposed for
};
