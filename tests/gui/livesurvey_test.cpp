// The live survey as a user meets it: a simulated stationary receiver on a
// pty, the figures the window shows while receiving against the core's over
// the same lines, and the goal: its notice, receiving stopped where it was
// reached, the log saved without writing over another file unasked.

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "app/figurestable.h"
#include "app/livesurvey.h"
#include "app/positionexportcommands.h"
#include "app/positionviews.h"
#include "app/precisionview.h"
#include "app/surveynotice.h"
#include "app/textdocument.h"
#include "exports/jsonsummary.h"
#include "filter/surveytexts.h"
#include "tests/gui/ptypair.h"
#include "tests/gui/serialrig.h"
#include "tools/loggenerator.h"

namespace {

// Plays the receiver: sends the bytes into the device end as fast as the
// pty takes them, from the event loop, so that a failed check never leaves
// a writer waiting for a reader.
class Receiver
{
public:
    Receiver(const QString &device, std::string bytes) : m_bytes(std::move(bytes))
    {
        m_fd = ::open(device.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            while (m_sent < m_bytes.size()) {
                const ssize_t written = ::write(m_fd, m_bytes.data() + m_sent, m_bytes.size() - m_sent);
                if (written <= 0)
                    return;
                m_sent += static_cast<std::size_t>(written);
            }
            m_timer.stop();
        });
        m_timer.start(1);
    }
    ~Receiver() { ::close(m_fd); }
    bool done() const { return m_sent == m_bytes.size(); }

private:
    std::string m_bytes;
    std::size_t m_sent = 0;
    int m_fd = -1;
    QTimer m_timer;
};

// The survey wired to the serial link as the program wires it.
struct SurveyRig : SerialRig
{
    SurveyRig()
    {
        transfer.setLineTaker([this](const std::vector<std::string> &lines) { return survey.take(lines); });
        QObject::connect(&transfer, &SerialTransfer::receivingChanged, &survey, [this](bool running) {
            if (running)
                survey.start(text().logBytes());
            else
                survey.stop();
        });
        QObject::connect(&survey, &LiveSurvey::statusChanged, &window, &MainWindow::showNote);
        QObject::connect(&survey, &LiveSurvey::measured, &window, [this] {
            const navorel::FilterRun &run = *survey.run();
            window.positionViews()->precisionView()->showFigures(
                run.fixes, &run.fixClasses, survey.figures().precision, survey.figures().uncertainty,
                run.quality, run.minQuality);
        });
        QObject::connect(&survey, &LiveSurvey::goalReached, &notice,
                         [this](const QString &reached) { notice.showReached(reached, QString()); });
        QObject::connect(
            &survey, &LiveSurvey::stopRequested, &transfer,
            [this] {
                if (transfer.receiving())
                    transfer.Receivedata1Click();
            },
            Qt::QueuedConnection);
        QObject::connect(
            &survey, &LiveSurvey::saveRequested, &window,
            [this](const QString &path) { window.document().saveLogTo(path); }, Qt::QueuedConnection);
    }

    void setGoal(double target, int minutes, bool stop, const QString &saveAs = {})
    {
        navorel::Settings goal = settings.settings();
        goal.TargetR95 = target;
        goal.MinMinutes = minutes;
        goal.StopWhenReached = stop;
        goal.SaveWhenReached = saveAs.toStdString();
        settings.setSurvey(goal);
    }

    // What F12 over the log gives.
    navorel::SurveyTracker::Figures figuresOfTheLog()
    {
        const navorel::FilterRun run = navorel::runFilter(text().logBytes(), settings.settings());
        navorel::SurveyTracker::Figures figures;
        figures.precision = navorel::measurePrecision(run.fixes);
        figures.uncertainty = navorel::measureUncertainty(run.fixes, figures.precision);
        return figures;
    }

    LiveSurvey survey{settings};
    SurveyNotice notice{&window};
};

void expectSameFigures(const navorel::SurveyTracker::Figures &shown,
                       const navorel::SurveyTracker::Figures &core)
{
    QCOMPARE(shown.precision.fixes, core.precision.fixes);
    QCOMPARE(shown.precision.meanLatitude, core.precision.meanLatitude);
    QCOMPARE(shown.precision.meanLongitude, core.precision.meanLongitude);
    QCOMPARE(shown.precision.timeSpan, core.precision.timeSpan);
    QCOMPARE(shown.uncertainty.r95, core.uncertainty.r95);
    QCOMPARE(shown.uncertainty.settled, core.uncertainty.settled);
}

} // namespace

class LiveSurveyTest : public QObject
{
    Q_OBJECT

private slots:
    void theFiguresFollowTheReceivedLines();
    void theGoalStopsReceivingAtItsFix();
    void aFileThereIsReplacedOnlyWhenTheUserSaysSo();
};

void LiveSurveyTest::theFiguresFollowTheReceivedLines()
{
    PtyPair pty;
    QVERIFY2(pty.plugIn(), "socat could not make a pty pair");
    SurveyRig rig;
    rig.setGoal(0.001, 0, false); // a goal no receiver reaches
    rig.window.show();
    rig.setPortText(pty.programEnd());
    rig.receiveCommand();
    QVERIFY(rig.transfer.receiving());

    const std::string log = navorel::LogGenerator::stationaryLog(1800);
    const std::size_t half = log.find("$GPRMC", log.size() / 2);
    auto receiver = std::make_unique<Receiver>(pty.deviceEnd(), log.substr(0, half));
    // Shown once a second while receiving: the figures of the lines so far.
    QTRY_VERIFY_WITH_TIMEOUT(rig.survey.figures().precision.fixes >= 899, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(
        rig.window.statusPanel(1)->text(),
        QString::fromStdString(navorel::surveyStatusText(
            rig.survey.seconds(), rig.survey.figures().precision.fixes, rig.survey.figures().uncertainty)),
        3000);
    static const QRegularExpression status(
        QStringLiteral("^Survey: 15 min, 9\\d\\d fixes, \u00B1\\d\\.\\d\\d m( or more)? \\(95 %\\)$"));
    QVERIFY2(status.match(rig.window.statusPanel(1)->text()).hasMatch(),
             qPrintable(rig.window.statusPanel(1)->text()));
    // The Precision tab follows: the same figures, the same line.
    const PrecisionView *view = rig.window.positionViews()->precisionView();
    expectSameFigures({view->figures(), view->uncertainty()}, rig.survey.figures());
    QCOMPARE(view->fixes().size(), rig.survey.figures().precision.fixes);
    QVERIFY2(view->headline().contains(FiguresTable::radiusText(rig.survey.figures().uncertainty.r95)),
             qPrintable(view->headline()));
    QVERIFY(receiver->done());
    expectSameFigures(rig.survey.figures(), rig.figuresOfTheLog());

    receiver = std::make_unique<Receiver>(pty.deviceEnd(), log.substr(half));
    QTRY_VERIFY_WITH_TIMEOUT(rig.text().lineCount() >= 1800 * 7, 10000);
    rig.receiveCommand();
    QVERIFY(!rig.transfer.receiving());
    // Stopped: the figures of every line, as F12 gives them.
    expectSameFigures(rig.survey.figures(), rig.figuresOfTheLog());
    QCOMPARE(rig.survey.figures().precision.fixes, std::size_t{1800});
    QVERIFY(!rig.notice.isVisible());
}

void LiveSurveyTest::theGoalStopsReceivingAtItsFix()
{
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("base.nmea"));
    PtyPair pty;
    QVERIFY2(pty.plugIn(), "socat could not make a pty pair");
    SurveyRig rig;
    rig.setGoal(0.25, 30, true, saved);
    rig.window.show();
    rig.setPortText(pty.programEnd());
    rig.receiveCommand();

    const std::string log = navorel::LogGenerator::stationaryLog(4 * 3600);
    Receiver receiver(pty.deviceEnd(), log);
    QTRY_VERIFY_WITH_TIMEOUT(rig.notice.isVisible(), 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.transfer.receiving(), 5000);

    QVERIFY2(rig.notice.text().startsWith(QStringLiteral("Survey reached \u00B10.")),
             qPrintable(rig.notice.text()));
    QCOMPARE(rig.window.statusPanel(1)->text(), rig.notice.text());
    const navorel::SurveyTracker::Figures reached = rig.survey.reachedFigures();
    QVERIFY(reached.uncertainty.settled);
    QVERIFY(reached.uncertainty.r95 <= 0.25);
    QVERIFY(reached.precision.timeSpan >= 1800);
    // The log ends at the fix that reached the goal: F12 gives its figures.
    QVERIFY(rig.text().lineCount() < log.size() / 60);
    QVERIFY(log.starts_with(rig.text().logBytes()));
    expectSameFigures(reached, rig.figuresOfTheLog());
    expectSameFigures(rig.survey.figures(), reached);
    QTRY_COMPARE_WITH_TIMEOUT(rig.window.document().path(), saved, 2000);
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toStdString(), rig.text().logBytes());
    QVERIFY(rig.prompter.replaceQuestions.isEmpty());

    // The notice's export writes the position where the goal was reached,
    // by the type chosen: the JSON is navorel-filter's of the saved log.
    PositionExportCommands exports(rig.dialogs, rig.prompter);
    const QString json = dir.filePath(QStringLiteral("base.json"));
    const QString gpx = dir.filePath(QStringLiteral("base.gpx"));
    rig.dialogs.answers = {json, gpx};
    exports.exportSurvey(&rig.notice, rig.survey.reachedRun(), reached, QStringLiteral("base"));
    exports.exportSurvey(&rig.notice, rig.survey.reachedRun(), reached, QStringLiteral("base"));
    QFile jsonFile(json);
    QVERIFY(jsonFile.open(QIODevice::ReadOnly));
    const navorel::FilterRun run = navorel::runFilter(rig.text().logBytes(), rig.settings.settings());
    QCOMPARE(jsonFile.readAll().toStdString(),
             navorel::JsonSummary::ofRun(run, reached.precision, reached.uncertainty) + "\n");
    QFile gpxFile(gpx);
    QVERIFY(gpxFile.open(QIODevice::ReadOnly));
    QVERIFY(gpxFile.readAll().contains("<wpt lat=\"48.1"));
}

void LiveSurveyTest::aFileThereIsReplacedOnlyWhenTheUserSaysSo()
{
    QTemporaryDir dir;
    const QString there = dir.filePath(QStringLiteral("other.nmea"));
    QFile other(there);
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("another survey\r\n");
    other.close();
    SurveyRig rig;
    rig.text().appendLines({"$GPRMC,100000.00,A,4807.038,N,01131.002,E,0.0,0.0,081226,,,A*5F"});
    for (const bool answer : {false, true}) {
        rig.prompter.replaceAnswer = answer;
        QCOMPARE(rig.window.document().saveLogTo(there), answer);
        QFile file(there);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().startsWith("another survey"), !answer);
    }
    QCOMPARE(rig.prompter.replaceQuestions, QStringList({there, there}));
}

QTEST_MAIN(LiveSurveyTest)
#include "livesurvey_test.moc"
