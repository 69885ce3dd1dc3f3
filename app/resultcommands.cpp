#include "app/resultcommands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>

#include "app/mainactions.h"
#include "app/positionviews.h"
#include "app/resultpage.h"
#include "app/satellitechart.h"
#include "filter/filterprocess.h"
#include "filter/talkerhint.h"
#include "filter/textfile.h"
#include "prefs/settingsstore.h"
#include "resultfile/resultfilereader.h"
#include "resultfile/resultfilewriter.h"
#include "ui/documentbuilder.h"
#include "ui/nmeatextarea.h"
#include "ui/prompter.h"
#include "ui/textcodec.h"

ResultCommands::ResultCommands(SettingsStore &settings, FileDialogs &dialogs, Prompter &prompter,
                               const Controls &controls)
        : QObject(controls.window), m_settings(settings), m_dialogs(dialogs), m_prompter(prompter),
          m_controls(controls), m_gauge(controls.gauge, controls.gaugeSeparator)
{
    m_openDialog.filter = QStringLiteral("Filtered data (.csv)|*.csv|All Files|*.*");
    m_openDialog.defaultSuffix = QStringLiteral(".dat");
    m_saveDialog.filter = QStringLiteral("CSV data (.csv)|*.csv|All Files|*.*");
    m_saveDialog.defaultSuffix = QStringLiteral(".dat");
}

void ResultCommands::showProgress(bool shown)
{
    m_gauge.show(shown);
}

void ResultCommands::setProgress(std::size_t position, std::size_t maximum)
{
    m_gauge.set(position, maximum);
}

void ResultCommands::replaceText(const navorel::TextLines &lines)
{
    NmeaTextArea *text = m_controls.text;
    // Hidden while replaced, so that a long text is drawn once.
    text->hide();
    if (const std::optional<std::string_view> view = lines.joinedView())
        text->showText(*view);
    else
        text->showText(lines.joined());
    text->show();
}

bool ResultCommands::fitsTextArea(const navorel::TextLines &lines)
{
    // Joined without a break after the last line.
    const std::size_t size = lines.empty() ? 0 : lines.textBytes() - 2;
    if (m_controls.text->fits(size))
        return true;
    m_prompter.errorBox(m_controls.window, QStringLiteral("Text \u00FCberschreitet Memo-Kapazit\u00E4t"));
    return false;
}

void ResultCommands::FilterClick()
{
    m_controls.gauge->setValue(0);
    m_controls.views->clearCharts();
    FilterProcess();
}

void ResultCommands::FilterProcess()
{
    MainActions &actions = m_controls.actions;
    NmeaTextArea *text = m_controls.text;
    const navorel::Settings settings = m_settings.settings();
    if (settings.Progress)
        showProgress(true);
    // A run always filters the log, never the fixes of the last run or an
    // opened result file shown instead: "Show NMEA data" shows it again.
    if (!text->showsLog())
        text->showLog();
    m_resultView.reset();
    // The filter scans the editor's own buffer and hands over the lines
    // "Show filter result" shows as it goes: they are kept nowhere else.
    const std::string_view nmea = text->bytesView();
    DocumentBuilder resultText(text, nmea.size());
    navorel::FilterOptions options;
    options.progress = [this](std::size_t position, std::size_t maximum) { setProgress(position, maximum); };
    options.displaySink = [&resultText](std::string_view lines, std::size_t read) {
        resultText.appendLines(lines, read);
    };
    navorel::FilterRun run = navorel::runFilter(nmea, settings, std::move(options));
    // A receiver of several systems read as GPS alone gives only "error":
    // the status bar names the setting that is the reason.
    if (settings.Talkers == navorel::TalkerMode::GPS && run.counts.found == 0) {
        if (const std::string_view talker = navorel::otherGnssTalker(nmea); !talker.empty())
            emit noted(QString::fromStdString(navorel::otherTalkerHint(talker)));
    }
    m_resultView = resultText.take();
    m_filterResult = std::move(run.result);
    m_controls.views->satelliteChart()->setScaleGrows(settings.Talkers == navorel::TalkerMode::GNSS);
    // The chart's points are the fixes when it is calculated: one class each.
    std::vector<std::uint8_t> pointClasses;
    if (run.points.size() == run.fixClasses.size())
        pointClasses = run.fixClasses;
    m_controls.views->addToCharts(std::move(run.points), run.bars, std::move(pointClasses));
    m_resultPage->setLines(fromWindows1252(run.report));
    // Enabled before the time span is taken, which may still fail.
    if (run.linesRead && run.fixAccepted())
        actions.saveResult->setEnabled(true);
    if (!run.completed()) {
        const QString message = fromWindows1252(run.errorString);
        m_prompter.errorBox(m_controls.window,
                            run.errorNeedsLine ? QStringLiteral("Line %1: %2").arg(run.errorLine).arg(message)
                                               : message);
        return;
    }

    if (run.fixAccepted()) {
        for (QAction *action : {actions.exportMeanPosition, actions.exportTrack})
            action->setEnabled(true);
    }
    m_controls.views->showPrecision(std::move(run.fixes), std::move(run.fixClasses), run.quality,
                                    run.minQuality);
    noteLeftOut(run);
    m_controls.views->showPosition(run.latitudeText, run.longitudeText);
    m_controls.views->showTimeSpan(run.timeSpanText);
    if (run.counts.found != 0)
        TB_filterdataClick();
    if (settings.Respage)
        ShowResultpage1Click();
    else
        m_prompter.messageBox(m_controls.window, QStringLiteral("Filter process ready."));
    for (QAction *action : {actions.toolShowNmea, actions.toolShowFiltered, actions.showResultPage})
        action->setEnabled(true);
    showProgress(false);
}

// After the run, in the status bar: what the rules left out, if anything.
void ResultCommands::noteLeftOut(const navorel::FilterRun &run)
{
    QStringList notes;
    for (const navorel::LogQuality::Note &note : run.quality.leftOut(run.minQuality))
        notes.append(QString::fromStdString(note.text));
    if (!notes.isEmpty())
        emit noted(QStringLiteral(" ") + notes.join(QStringLiteral("; ")));
}

bool ResultCommands::showsResult() const
{
    return !m_controls.text->showsLog();
}

void ResultCommands::TB_NMEAClick()
{
    m_controls.text->showLog();
}

void ResultCommands::TB_filterdataClick()
{
    // Made by the run, then swapped in and out beside the log.
    m_controls.text->showDocument(m_resultView);
}

// The log's name with .csv, in the folder last saved to or else the log's.
void ResultCommands::proposeResultName()
{
    const QString log = m_logPath ? m_logPath() : QString();
    // The same log again: the name last chosen for it stays on offer.
    if (log.isEmpty() || (log == m_namedFor && !m_saveDialog.fileName.isEmpty()))
        return;
    m_namedFor = log;
    const QFileInfo info(log);
    const QString folder = m_saveDialog.folder.isEmpty() ? info.absolutePath() : m_saveDialog.folder;
    m_saveDialog.fileName = QDir(folder).filePath(info.completeBaseName() + QStringLiteral(".csv"));
}

void ResultCommands::SavefilteredData1Click()
{
    proposeResultName();
    const QString path = m_dialogs.saveFileName(m_controls.window, m_saveDialog);
    if (path.isEmpty())
        return;
    // The title line names the result file last chosen for opening.
    const navorel::FileWrite written =
        navorel::writeResultFile(localPath(path), m_filterResult, toWindows1252(m_openDialog.fileName));
    if (!written)
        m_prompter.errorBox(m_controls.window, cannotCreateMessage(path, written.reason));
    else
        emit fileUsed(path);
}

void ResultCommands::Openfiltereddata1Click()
{
    const QString path = m_dialogs.openFileName(m_controls.window, m_openDialog);
    if (path.isEmpty())
        return;
    if (m_settings.settings().Progress)
        showProgress(true);
    m_filterResult.replaceSums(0.0, {});
    // The log stays aside: "Show NMEA data" brings it back.
    m_controls.text->showText({});
    m_controls.actions.toolShowNmea->setEnabled(true);

    std::string bytes;
    if (!navorel::readRegularFileBytes(localPath(path), bytes)) {
        m_prompter.errorBox(m_controls.window, fillIn(navorel::kCannotOpenFile, path));
        return;
    }
    const navorel::ResultFileView view = navorel::readResultFile(
        navorel::TextLines::fromText(std::move(bytes)),
        [this](std::size_t position, std::size_t maximum) { setProgress(position, maximum); });
    if (view.tooShort) {
        showProgress(false);
        return;
    }
    // Added to what the charts hold: a result beside the last run's.
    m_controls.views->satelliteChart()->setScaleGrows(m_settings.settings().Talkers
                                                      == navorel::TalkerMode::GNSS);
    m_controls.views->addToCharts(view.points, view.bars);
    m_filterResult.replaceSums(view.latitudeSum, view.longitudeSum);
    if (!view.completed()) {
        m_prompter.errorBox(m_controls.window, fromWindows1252(view.errorString));
        return;
    }
    m_resultPage->appendLines(fromWindows1252(view.reportLines));
    m_controls.views->showPosition(view.latitudeText, view.longitudeText);
    if (!fitsTextArea(view.displayLines))
        return;
    replaceText(view.displayLines);
    m_controls.actions.showResultPage->setEnabled(true);
    showProgress(false);
    emit fileUsed(path);
}

void ResultCommands::ShowResultpage1Click()
{
    if (m_resultPage == nullptr)
        return;
    centreOver(m_resultPage, m_controls.window);
    m_prompter.runModal(m_resultPage);
}
