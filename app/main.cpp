// Navorel: filters the position sentences out of NMEA 0183 receiver logs.

#include <QApplication>

#include "app/aboutbox.h"
#include "app/livesurvey.h"
#include "app/mainwindow.h"
#include "app/positionviews.h"
#include "app/precisionview.h"
#include "app/resultpage.h"
#include "app/singleinstance.h"
#include "app/surveynotice.h"
#include "app/textdocument.h"
#include "filter/surveytexts.h"
#include "prefs/preferencesdialog.h"
#include "prefs/settingslocation.h"
#include "prefs/settingsstore.h"
#include "serial/portdriver.h"
#include "serial/rs232window.h"
#include "serial/serialtransfer.h"
#include "ui/filedialogs.h"
#include "ui/nmeatextarea.h"
#include "ui/prompter.h"

namespace {

void connectTransfer(MainWindow &window, SerialTransfer &transfer)
{
    QObject::connect(&window, &MainWindow::receiveCommand, &transfer, &SerialTransfer::Receivedata1Click);
    QObject::connect(&window, &MainWindow::sendCommand, &transfer, &SerialTransfer::Senddata1Click);
    QObject::connect(&transfer, &SerialTransfer::clearRequested, &window, &MainWindow::NewText1Click);
    QObject::connect(&transfer, &SerialTransfer::receivingChanged, &window, &MainWindow::showReceiving);
    QObject::connect(&transfer, &SerialTransfer::sendingChanged, &window, &MainWindow::showSending);
    QObject::connect(&transfer, &SerialTransfer::noted, &window, &MainWindow::showNote);
}

// The figures of the log while receiving, the goal's notice, and what the
// goal may ask: receiving stopped, the log saved.
void connectSurvey(MainWindow &window, SerialTransfer &transfer, LiveSurvey &survey, SurveyNotice &notice,
                   PositionExportCommands &exports)
{
    transfer.setLineTaker([&survey](const std::vector<std::string> &lines) { return survey.take(lines); });
    QObject::connect(&transfer, &SerialTransfer::receivingChanged, &survey, [&window, &survey](bool running) {
        if (running)
            survey.start(window.textArea()->logBytes());
        else
            survey.stop();
    });
    // After the window has cleared the text (or kept it, when asked to).
    QObject::connect(&transfer, &SerialTransfer::clearRequested, &survey,
                     [&window, &survey] { survey.start(window.textArea()->logBytes()); });
    QObject::connect(&survey, &LiveSurvey::statusChanged, &window, &MainWindow::showNote);
    QObject::connect(&survey, &LiveSurvey::measured, &window, [&window, &survey] {
        const navorel::FilterRun &run = *survey.run();
        const navorel::SurveyTracker::Figures &figures = survey.figures();
        window.positionViews()->precisionView()->showFigures(
            run.fixes, &run.fixClasses, figures.precision, figures.uncertainty, run.quality, run.minQuality);
    });
    QObject::connect(&survey, &LiveSurvey::goalReached, &notice, [&survey, &notice](const QString &text) {
        const navorel::PrecisionFigures &figures = survey.reachedFigures().precision;
        const int decimals = navorel::degreeDecimals(survey.reachedFigures().uncertainty.r95);
        notice.showReached(text, QString::fromStdString(navorel::decimalPositionText(
                                     figures.meanLatitude, figures.meanLongitude, decimals)));
    });
    QObject::connect(&notice, &SurveyNotice::exportRequested, &notice, [&] {
        exports.exportSurvey(&notice, survey.reachedRun(), survey.reachedFigures(), window.document().name());
    });
    // Once the lines of this read are in the log.
    QObject::connect(
        &survey, &LiveSurvey::stopRequested, &transfer,
        [&transfer] {
            if (transfer.receiving())
                transfer.Receivedata1Click();
        },
        Qt::QueuedConnection);
    QObject::connect(
        &survey, &LiveSurvey::saveRequested, &window,
        [&window](const QString &path) { window.document().saveLogTo(path); }, Qt::QueuedConnection);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Navorel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/navorel.svg")));
    const QStringList arguments = QApplication::arguments();
    const QString firstArgument = arguments.size() > 1 ? arguments.at(1) : QString();

    // A second start hands its file to the running instance and ends.
    SingleInstance instance;
    if (instance.handOverOrListen(handOverText(firstArgument)))
        return 0;

    SettingsStore settings;
    QtFileDialogs dialogs;
    Prompter prompter;
    // The windows in the order they have always been made in.
    MainWindow window(settings, dialogs, prompter, desktopUrlOpener());
    AboutBox aboutBox(window.product(), desktopUrlOpener(), prompter, &window);
    ResultPage resultPage(&window);
    window.setAboutBox(&aboutBox);
    window.setResultPage(&resultPage);
    // The serial port settings window comes fourth.
    Rs232Window rs232Window(settings, &window);
    window.setRs232Window(&rs232Window);
    PortDriver portDriver(prompter);
    SerialTransfer transfer(*window.textArea(), rs232Window, portDriver, settings, prompter);
    connectTransfer(window, transfer);
    LiveSurvey survey(settings);
    SurveyNotice notice(&window);
    PositionExportCommands surveyExports(dialogs, prompter);
    connectSurvey(window, transfer, survey, notice, surveyExports);
    // Made last: reading the settings file puts them in force before the
    // main window is first shown.
    PreferencesDialog preferences(settings, prompter, settingsFilePath(), &window);
    window.setPreferences(&preferences);
    QObject::connect(&window, &MainWindow::FormClose, &preferences, &PreferencesDialog::saveINI);

    QObject::connect(&instance, &SingleInstance::handedOver, &window, &MainWindow::handOver);
    window.setFirstArgument(firstArgument);
    window.show();
    application.exec();
    return 0;
}
