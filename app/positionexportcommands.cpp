#include "app/positionexportcommands.h"

#include <QDir>
#include <QFileInfo>

#include "app/figurestable.h"
#include "app/precisionview.h"
#include "exports/jsonsummary.h"
#include "exports/positionexport.h"
#include "filter/textfile.h"
#include "ui/prompter.h"
#include "ui/textcodec.h"

PositionExportCommands::PositionExportCommands(FileDialogs &dialogs, Prompter &prompter)
        : m_dialogs(dialogs), m_prompter(prompter)
{
    m_meanDialog.title = QStringLiteral("Export mean position");
    m_meanDialog.filter = QStringLiteral("GPX 1.1 (.gpx)|*.gpx|KML (.kml)|*.kml");
    m_meanDialog.defaultSuffix = QStringLiteral("gpx");
    m_meanDialog.confirmOverwrite = true;
    m_trackDialog.title = QStringLiteral("Export fixes as GPX track");
    m_trackDialog.filter = QStringLiteral("GPX 1.1 (.gpx)|*.gpx");
    m_trackDialog.defaultSuffix = QStringLiteral("gpx");
    m_trackDialog.confirmOverwrite = true;
    m_surveyDialog.title = QStringLiteral("Export surveyed position");
    m_surveyDialog.filter = QStringLiteral("GPX 1.1 (.gpx)|*.gpx|KML (.kml)|*.kml|JSON (.json)|*.json");
    m_surveyDialog.defaultSuffix = QStringLiteral("gpx");
    m_surveyDialog.confirmOverwrite = true;
}

void PositionExportCommands::exportSurvey(QWidget *parent, const navorel::FilterRun &run,
                                          const navorel::SurveyTracker::Figures &figures, const QString &name)
{
    if (figures.precision.empty())
        return;
    const QString path = m_dialogs.saveFileName(parent, m_surveyDialog);
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const std::string utf8 = name.toStdString();
    if (suffix == QStringLiteral("json"))
        write(parent, path, navorel::JsonSummary::ofRun(run, figures.precision, figures.uncertainty) + "\n");
    else if (suffix == QStringLiteral("kml"))
        write(parent, path,
              navorel::PositionExport::meanPositionKml(figures.precision, utf8, &figures.uncertainty));
    else
        write(parent, path,
              navorel::PositionExport::meanPositionGpx(figures.precision, utf8, &figures.uncertainty));
}

void PositionExportCommands::propose(FileDialogState &dialog, const QString &name)
{
    const bool kml = dialog.chosenFilter.contains(QStringLiteral(".kml"));
    const QString file = name + (kml ? QStringLiteral(".kml") : QStringLiteral(".gpx"));
    dialog.fileName = dialog.folder.isEmpty() ? file : QDir(dialog.folder).filePath(file);
}

void PositionExportCommands::exportMeanPosition(QWidget *parent, const PrecisionView &view,
                                                const QString &name)
{
    if (view.figures().empty())
        return;
    propose(m_meanDialog, name);
    // The dialog says how far the position it writes may be off.
    const navorel::MeanUncertainty &uncertainty = view.uncertainty();
    m_meanDialog.title = QStringLiteral("Export mean position");
    if (uncertainty.measured)
        m_meanDialog.title += QStringLiteral(" %1%2 (95 %)")
                                  .arg(FiguresTable::radiusText(uncertainty.r95),
                                       uncertainty.settled ? QString() : QStringLiteral(" or more"));
    const QString path = m_dialogs.saveFileName(parent, m_meanDialog);
    if (path.isEmpty())
        return;
    const std::string utf8 = name.toStdString();
    const bool kml = QFileInfo(path).suffix().compare(QStringLiteral("kml"), Qt::CaseInsensitive) == 0;
    write(parent, path,
          kml ? navorel::PositionExport::meanPositionKml(view.figures(), utf8, &uncertainty)
              : navorel::PositionExport::meanPositionGpx(view.figures(), utf8, &uncertainty));
}

void PositionExportCommands::exportTrack(QWidget *parent, const PrecisionView &view, const QString &name)
{
    if (view.fixes().empty())
        return;
    propose(m_trackDialog, name);
    const QString path = m_dialogs.saveFileName(parent, m_trackDialog);
    if (path.isEmpty())
        return;
    write(parent, path, navorel::PositionExport::fixesGpxTrack(view.fixes(), name.toStdString()));
}

void PositionExportCommands::write(QWidget *parent, const QString &path, const std::string &text)
{
    if (const navorel::FileWrite written = navorel::writeFileReplacing(localPath(path), text); !written)
        m_prompter.errorBox(parent, cannotCreateMessage(path, written.reason));
}
