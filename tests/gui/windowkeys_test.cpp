// The keyboard's way to the chart pages, the bubbles over the charts, the
// hint when the Talkers choice finds nothing, and the names proposed.

#include <QApplication>
#include <QLabel>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QValueAxis>

#include "app/positionchart.h"
#include "app/positionviews.h"
#include "app/precisionplot.h"
#include "app/precisionview.h"
#include "app/resultcommands.h"
#include "app/satellitechart.h"
#include "app/textdocument.h"
#include "tests/gui/windowrig.h"

namespace {

const QByteArray kFix1 = "$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*0A";
const QByteArray kFix2 = "$GPRMC,101501.00,A,4807.0400,N,01131.0020,E,0.5,54.7,191206,,*06";
const QByteArray kGsa = "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39";

// A sentence with the checksum its text has.
QByteArray summed(const QByteArray &body)
{
    unsigned char sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    return '$' + body + '*' + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper();
}

// Every text a chart's bubble gives over its plot, on a grid of pixels.
template <class Chart> QSet<QString> bubblesOver(const Chart *chart, const QRect &area)
{
    QSet<QString> texts;
    for (int y = area.top(); y <= area.bottom(); y += 2) {
        for (int x = area.left(); x <= area.right(); x += 2)
            texts.insert(chart->toolTipAt(QPoint(x, y)));
    }
    return texts;
}

} // namespace

class WindowKeysTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_rig = std::make_unique<WindowRig>();
        m_window = &m_rig->window;
        m_settings = &m_rig->settings;
        m_dialogs = &m_rig->dialogs;
        m_dir = &m_rig->dir;
    }
    void cleanup() { m_rig.reset(); }

    void keysReachTheChartPagesFromTheTextArea_data();
    void keysReachTheChartPagesFromTheTextArea();
    void focusMovesBetweenTextAndCharts();
    void bubblesNameTheBarAndTheFixUnderTheMouse();
    void gpsTalkersOnAnotherReceiverSayWhy_data();
    void gpsTalkersOnAnotherReceiverSayWhy();
    void namesProposedAfterTheLog();

private:
    void runFilter(const QByteArray &log)
    {
        m_window->textArea()->setBytes(log.toStdString());
        m_window->results().FilterClick();
    }
    QString writeFile(const QString &name, const QByteArray &bytes) { return m_rig->writeFile(name, bytes); }

    std::unique_ptr<WindowRig> m_rig;
    MainWindow *m_window = nullptr;
    SettingsStore *m_settings = nullptr;
    FakeDialogs *m_dialogs = nullptr;
    QTemporaryDir *m_dir = nullptr;
};

void WindowKeysTest::keysReachTheChartPagesFromTheTextArea_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("page"); // from page 0
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier) << 1;
    QTest::newRow("Ctrl+Shift+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier | Qt::ShiftModifier) << 2;
    QTest::newRow("Ctrl+Shift+Backtab")
        << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier) << 2;
    QTest::newRow("Ctrl+1") << int(Qt::Key_1) << int(Qt::ControlModifier) << 0;
    QTest::newRow("Ctrl+2") << int(Qt::Key_2) << int(Qt::ControlModifier) << 1;
    QTest::newRow("Ctrl+3") << int(Qt::Key_3) << int(Qt::ControlModifier) << 2;
}

void WindowKeysTest::keysReachTheChartPagesFromTheTextArea()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, page);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_window->textArea()->setBytes("ab");
    m_window->textArea()->setFocus();
    QTRY_VERIFY(m_window->textArea()->hasFocus());
    QTabWidget *pages = m_window->positionViews()->pages();
    QTest::keyClick(m_window->textArea(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(pages->currentIndex(), page);
    // The text area took nothing of it, and keeps the focus.
    QCOMPARE(m_window->textArea()->bytes(), std::string("ab"));
    QVERIFY(m_window->textArea()->hasFocus());
    // The same from the charts' side, and round the end.
    pages->setCurrentIndex(2);
    pages->setFocus();
    QTest::keyClick(pages, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(pages->currentIndex(), 0);
}

void WindowKeysTest::focusMovesBetweenTextAndCharts()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTabWidget *pages = m_window->positionViews()->pages();
    m_window->textArea()->setFocus();
    QTRY_VERIFY(m_window->textArea()->hasFocus());
    for (const Qt::Key key : {Qt::Key_M, Qt::Key_F6}) {
        const Qt::KeyboardModifiers modifiers = key == Qt::Key_M ? Qt::ControlModifier : Qt::NoModifier;
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QVERIFY2(pages->isAncestorOf(QApplication::focusWidget()), qPrintable(QKeySequence(key).toString()));
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QVERIFY2(m_window->textArea()->hasFocus(), qPrintable(QKeySequence(key).toString()));
    }
    QCOMPARE(m_window->textArea()->bytes(), std::string());
}

void WindowKeysTest::bubblesNameTheBarAndTheFixUnderTheMouse()
{
    m_settings->setValue(navorel::SettingKey::SatTime, 1);
    QByteArray log = kFix1 + "\r\n" + kFix2 + "\r\n";
    for (int i = 0; i < 60; ++i)
        log += kGsa + "\r\n$GPVTG,54.7,T,,M,0.5,N,0.9,K,A*37\r\n";
    m_window->resize(900, 600);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    runFilter(log);
    PositionViews *views = m_window->positionViews();

    views->pages()->setCurrentIndex(1);
    SatelliteChart *bars = views->satelliteChart();
    QTRY_VERIFY(bars->isVisible());
    // The one bar: 60 GSA sentences of five satellites, range 0 to 1 minute.
    const QRectF plot = bars->chart()->plotArea();
    const double minutes = bars->minutesAxis()->max() - bars->minutesAxis()->min();
    const auto atMinute = [&](double minute, double fromBottom) {
        const QPointF scene(plot.left() + (minute - bars->minutesAxis()->min()) / minutes * plot.width(),
                            plot.bottom() - fromBottom);
        return bars->mapFromScene(bars->chart()->mapToScene(scene));
    };
    const QString barText = QStringLiteral("Minutes 0 to 1\nMean: 5 satellites");
    QCOMPARE(bars->toolTipAt(atMinute(1.0, 5)), barText);
    // High above the bar, in its column, too: a low bar is read as well.
    QCOMPARE(bars->toolTipAt(atMinute(1.2, plot.height() - 5)), barText);
    QCOMPARE(bars->toolTipAt(atMinute(1.4, 5)), QString());

    views->pages()->setCurrentIndex(0);
    PositionChart *position = views->positionChart();
    QTRY_VERIFY(position->isVisible());
    const QSet<QString> fixes = bubblesOver(
        position, position->mapFromScene(position->chart()->mapRectToScene(position->chart()->plotArea()))
                      .boundingRect());
    const QSet<QString> expectedFixes = {
        QString(),
        QStringLiteral(
            "Time: 10:15:00\nNorth latitude : 48\u00B0 07,0380'\nEast longitude : 11\u00B0 31,0000'"),
        QStringLiteral(
            "Time: 10:15:01\nNorth latitude : 48\u00B0 07,0400'\nEast longitude : 11\u00B0 31,0020'"),
    };
    QCOMPARE(fixes, expectedFixes);

    views->pages()->setCurrentIndex(2);
    PrecisionPlot *precision = views->precisionView()->plot();
    QTRY_VERIFY(precision->isVisible());
    // The two fixes lie 3.706 m apart north and 2.482 m east: each half of it from the mean.
    const QSet<QString> offsets = bubblesOver(precision, precision->plotArea().toRect());
    const QSet<QString> expectedOffsets = {
        QString(),
        QStringLiteral("Time: 10:15:00\nEast: -1.241 m, north: -1.853 m\nFrom the mean: 2.230 m"),
        QStringLiteral("Time: 10:15:01\nEast: 1.241 m, north: 1.853 m\nFrom the mean: 2.230 m"),
    };
    QCOMPARE(offsets, expectedOffsets);

    // A cleared chart names nothing.
    m_window->NewText1Click();
    QCOMPARE(bubblesOver(precision, precision->plotArea().toRect()), QSet<QString>{QString()});
}

void WindowKeysTest::gpsTalkersOnAnotherReceiverSayWhy_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<bool>("gpsOnly");
    QTest::addColumn<QString>("status");
    const QByteArray gn = summed("GNRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,") + "\r\n";
    const QByteArray gl = summed("GPGSV,1,1,01,04,40,083,46") + "\r\n"
                          + summed("GLGGA,101500.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,")
                          + "\r\n";
    const QString untouched = QStringLiteral(" check your position");
    QTest::newRow("GN log, GPS only")
        << gn << true
        << QStringLiteral("No $GP sentences: this receiver talks as $GN; choose every talker in Preferences");
    QTest::newRow("GL log with GPS satellites, GPS only")
        << gl << true
        << QStringLiteral("No $GP sentences: this receiver talks as $GL; choose every talker in Preferences");
    QTest::newRow("GN log, every talker") << gn << false << untouched;
    QTest::newRow("GP log, GPS only") << kFix1 + "\r\n" << true << untouched;
    QTest::newRow("no sentence at all, GPS only") << QByteArray("hello\r\n") << true << untouched;
}

void WindowKeysTest::gpsTalkersOnAnotherReceiverSayWhy()
{
    QFETCH(QByteArray, log);
    QFETCH(bool, gpsOnly);
    QFETCH(QString, status);
    m_settings->setTalkers(gpsOnly ? navorel::TalkerMode::GPS : navorel::TalkerMode::GNSS);
    runFilter(log);
    QCOMPARE(m_window->statusPanel(1)->text(), status);
}

void WindowKeysTest::namesProposedAfterTheLog()
{
    m_window->document().SaveNMEAAsClick();
    QCOMPARE(m_dialogs->asked.last().fileName, QStringLiteral("NMEA data"));

    const QString log = writeFile(QStringLiteral("walk 2.nmea.txt"), kFix1 + "\r\n" + kFix2 + "\r\n");
    m_dialogs->answers = {log};
    m_window->OpenTXTClick();
    m_window->results().FilterClick();
    m_window->actions().saveResult->trigger();
    QCOMPARE(m_dialogs->asked.last().fileName, m_dir->filePath(QStringLiteral("walk 2.nmea.csv")));
    // A name chosen for this log stays on offer for it.
    const QString chosen = m_dir->filePath(QStringLiteral("mine.csv"));
    m_dialogs->answers = {chosen};
    m_window->actions().saveResult->trigger();
    m_window->actions().saveResult->trigger();
    QCOMPARE(m_dialogs->asked.last().fileName, chosen);

    m_window->actions().exportMeanPosition->trigger();
    QCOMPARE(m_dialogs->asked.last().fileName, QStringLiteral("walk 2.nmea.gpx"));
    m_dialogs->chosenFilter = QStringLiteral("KML (.kml)");
    m_dialogs->answers = {m_dir->filePath(QStringLiteral("mean.kml"))};
    m_window->actions().exportMeanPosition->trigger();
    m_window->actions().exportMeanPosition->trigger();
    QCOMPARE(m_dialogs->asked.last().fileName, m_dir->filePath(QStringLiteral("walk 2.nmea.kml")));
    m_window->actions().exportTrack->trigger();
    QCOMPARE(m_dialogs->asked.last().fileName, QStringLiteral("walk 2.nmea.gpx"));
}

QTEST_MAIN(WindowKeysTest)
#include "windowkeys_test.moc"
