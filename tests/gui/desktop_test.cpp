// What the window keeps between runs in a portable navorel.conf: the recent
// logs, its places and sizes.

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/mainactions.h"
#include "app/mainwindow.h"
#include "app/positionviews.h"
#include "app/recentlogs.h"
#include "app/resultcommands.h"
#include "app/resultpage.h"
#include "app/textdocument.h"
#include "app/windowplaces.h"
#include "filter/textfile.h"
#include "prefs/preferencesdialog.h"
#include "prefs/settingsstore.h"
#include "tests/gui/fakes.h"
#include "tests/gui/portablestart.h"
#include "ui/nmeatextarea.h"

namespace {

const QByteArray kFix1 = "$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*0A";
const QByteArray kFix2 = "$GPRMC,101501.00,A,4807.0400,N,01131.0020,E,0.5,54.7,191206,,*06";

QStringList entryTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts.append(action->text());
    return texts;
}

} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void recentLogsAfterOpenSaveAndRestart();
    void aMissingRecentLogIsGreyed();
    void aRecentLogOpensAsADroppedFile();
    void placesAndSizesComeBackAfterARestart();
    void aWindowLargerThanTheScreenOrOffItIsClamped();

private:
    // A start of the program on the portable settings of m_dir.
    void start();
    // Quit: the settings are written.
    void stop();
    QString writeFile(const QString &name, const QByteArray &bytes);

    PortableStart *m_start = nullptr;
    QTemporaryDir *m_dir = nullptr;
    SettingsStore *m_settings = nullptr;
    FakeDialogs *m_dialogs = nullptr;
    FakePrompter *m_prompter = nullptr;
    MainWindow *m_window = nullptr;
};

void DesktopTest::init()
{
    m_start = new PortableStart();
    m_dir = &m_start->dir();
    m_dialogs = &m_start->dialogs();
    start();
}

void DesktopTest::cleanup()
{
    delete m_start;
    m_start = nullptr;
    m_window = nullptr;
    m_prompter = nullptr;
    m_settings = nullptr;
}

void DesktopTest::start()
{
    m_start->start();
    m_settings = m_start->settings();
    m_prompter = m_start->prompter();
    m_window = m_start->window();
}

void DesktopTest::stop()
{
    m_window->close();
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("navorel.conf"))));
}

QString DesktopTest::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    navorel::writeFileReplacing(path.toStdString(), bytes.toStdString());
    return path;
}

void DesktopTest::recentLogsAfterOpenSaveAndRestart()
{
    const QString log = writeFile(QStringLiteral("walk.nmea"), kFix1 + "\r\n" + kFix2 + "\r\n");
    QVERIFY(!m_window->actions().recentLogs->isEnabled());
    m_dialogs->answers = {log};
    m_window->OpenTXTClick();
    const QString copy = m_dir->filePath(QStringLiteral("copy.txt"));
    m_dialogs->answers = {copy};
    m_window->document().SaveNMEAAsClick();
    m_window->results().FilterClick();
    const QString result = m_dir->filePath(QStringLiteral("walk.csv"));
    m_dialogs->answers = {result};
    m_window->actions().saveResult->trigger();
    // Opened again: first once more, not twice.
    m_window->document().OpenHandleTXT(log);
    const QStringList expected = {QStringLiteral("&1 ") + log, QStringLiteral("&2 ") + result,
                                  QStringLiteral("&3 ") + copy};
    QCOMPARE(entryTexts(m_window->actions().recentLogs), expected);
    stop();

    start();
    QMenu *menu = m_window->actions().recentLogs;
    QCOMPARE(entryTexts(menu), expected);
    QVERIFY(menu->isEnabled());
    for (QAction *entry : menu->actions())
        QVERIFY(entry->isEnabled());
    std::string conf;
    navorel::readFileBytes(m_dir->filePath(QStringLiteral("navorel.conf")).toStdString(), conf);
    QVERIFY2(conf.find("[Recent]\nFile1=" + log.toStdString() + "\n") != std::string::npos, conf.c_str());
}

void DesktopTest::aMissingRecentLogIsGreyed()
{
    const QString kept = writeFile(QStringLiteral("kept.nmea"), kFix1 + "\r\n");
    const QString gone = writeFile(QStringLiteral("gone.nmea"), kFix2 + "\r\n");
    m_window->document().OpenHandleTXT(gone);
    m_window->document().OpenHandleTXT(kept);
    stop();
    QVERIFY(QFile::remove(gone));

    start();
    const QList<QAction *> entries = m_window->actions().recentLogs->actions();
    QCOMPARE(entries.size(), 2);
    QVERIFY(entries[0]->isEnabled());
    QCOMPARE(entries[0]->toolTip(), kept);
    QVERIFY(!entries[1]->isEnabled());
    QCOMPARE(entries[1]->text(), QStringLiteral("&2 ") + gone);
    QCOMPARE(entries[1]->toolTip(), QStringLiteral("File not found: ") + gone);

    // Gone while the program runs: greyed when the menu opens next.
    QVERIFY(QFile::remove(kept));
    emit m_window->actions().recentLogs->aboutToShow();
    QVERIFY(!m_window->actions().recentLogs->actions().first()->isEnabled());
}

void DesktopTest::aRecentLogOpensAsADroppedFile()
{
    const QByteArray bytes = kFix1 + "\r\n";
    const QString log = writeFile(QStringLiteral("recent.nmea"), bytes);
    m_window->document().OpenHandleTXT(log);
    m_window->NewText1Click();
    QTest::keyClicks(m_window->textArea(), QStringLiteral("typed"));
    m_prompter->saveAnswers = {Prompter::SaveChoice::Cancel, Prompter::SaveChoice::Discard};

    QAction *entry = m_window->actions().recentLogs->actions().first();
    entry->trigger();
    QCOMPARE(m_prompter->saveQuestions, QStringList{QStringLiteral("untitled")});
    QCOMPARE(m_window->textArea()->bytes(), std::string("typed"));
    entry->trigger();
    QCOMPARE(m_window->textArea()->bytes(), bytes.toStdString());
    QCOMPARE(m_window->document().path(), log);
    // As a drop: the views of the last run are not reset.
    QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("recent.nmea"));
}

void DesktopTest::placesAndSizesComeBackAfterARestart()
{
    // A first start as always: 690 x 520, the first page, the first filter.
    QCOMPARE(m_window->size(), QSize(690, 520));
    QCOMPARE(m_window->positionViews()->pages()->currentIndex(), 0);
    QVERIFY(m_window->document().openDialog().chosenFilter.isEmpty());

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QRect geometry(40, 30, 720, 540);
    m_window->setGeometry(geometry);
    m_window->splitter()->setSizes({200, 437});
    QTRY_COMPARE(m_window->splitter()->sizes().first(), 200);
    m_window->positionViews()->pages()->setCurrentIndex(2);
    const QString log = writeFile(QStringLiteral("gpsd/track.log"), kFix1 + "\r\n");
    m_dialogs->chosenFilter = QStringLiteral("All Files");
    m_dialogs->answers = {log};
    m_window->OpenTXTClick();
    const QString csv = writeFile(QStringLiteral("results/old.csv"), "x");
    m_dialogs->chosenFilter = QStringLiteral("Filtered data (.csv)");
    m_dialogs->answers = {csv};
    m_window->results().Openfiltereddata1Click();
    const QList<int> sizes = m_window->splitter()->sizes();
    stop();

    start();
    QCOMPARE(m_window->geometry(), geometry);
    QCOMPARE(m_window->positionViews()->pages()->currentIndex(), 2);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTRY_COMPARE(m_window->splitter()->sizes(), sizes);
    const FileDialogState &open = m_window->document().openDialog();
    QCOMPARE(open.folder, m_dir->filePath(QStringLiteral("gpsd")));
    QCOMPARE(open.chosenFilter, QStringLiteral("All Files"));
    QCOMPARE(m_window->results().openDialog().folder, m_dir->filePath(QStringLiteral("results")));
    QCOMPARE(m_window->results().openDialog().chosenFilter, QStringLiteral("Filtered data (.csv)"));
    // Dialogs never used keep the defaults.
    QVERIFY(m_window->document().saveDialog().folder.isEmpty());
    QCOMPARE(m_window->document().saveDialog().fileName, QStringLiteral("NMEA data"));
}

void DesktopTest::aWindowLargerThanTheScreenOrOffItIsClamped()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    // What a scale factor of 2 made of 690 x 520 on a 1000-pixel screen.
    const QRect tooLarge(available.right() - 100, available.bottom() - 50, available.width() * 2 - 20,
                         available.height() * 2 + 40);
    const QRect clamped = WindowPlaces::clampedToScreen(tooLarge, QMargins());
    QCOMPARE(clamped, available);
    const QRect framed = WindowPlaces::clampedToScreen(tooLarge, QMargins(4, 30, 4, 4));
    QCOMPARE(framed, available.marginsRemoved(QMargins(4, 30, 4, 4)));

    // On start from a navorel.conf written on a larger screen.
    navorel::writeFileReplacing(m_dir->filePath(QStringLiteral("navorel.conf")).toStdString(),
                                "[Window]\nGeometry=\"" + std::to_string(available.width() + 300) + ",-200,"
                                    + std::to_string(available.width() * 2) + ",300\"\n");
    start();
    const QRect opened = m_window->geometry();
    QVERIFY2(available.contains(opened), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                        .arg(opened.x())
                                                        .arg(opened.y())
                                                        .arg(opened.width())
                                                        .arg(opened.height())));
    QCOMPARE(opened.width(), available.width());
    QCOMPARE(opened.top(), available.top());
}

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
