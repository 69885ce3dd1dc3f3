#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "app/aboutbox.h"
#include "app/mainwindow.h"
#include "app/positionchart.h"
#include "app/positionviews.h"
#include "app/resultcommands.h"
#include "app/resultpage.h"
#include "app/satellitechart.h"
#include "app/singleinstance.h"
#include "app/textdocument.h"
#include "filter/textfile.h"
#include "prefs/preferencesdialog.h"
#include "prefs/settingsstore.h"
#include "serial/rs232window.h"
#include "tests/gui/fakes.h"
#include "ui/elidedgroupbox.h"
#include "ui/nmeatextarea.h"

namespace {

const QByteArray kFix1 = "$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*0A";
const QByteArray kFix2 = "$GPRMC,101501.00,A,4807.0400,N,01131.0020,E,0.5,54.7,191206,,*06";
const QByteArray kNotValid = "$GPRMC,101502.00,V,4807.0390,N,01131.0010,E,0.5,54.7,191206,,*1F";
const QByteArray kGsa = "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39";
const QByteArray kBadFix = "$GPRMC,101503.00,A,48A7.0380,N,01131.0000,E,0.5,54.7,191206,,*78";

std::string bytesOf(const QByteArray &bytes)
{
    return bytes.toStdString();
}

// A sentence changed in place, with the checksum its new text has.
QByteArray resummed(QByteArray sentence)
{
    sentence.truncate(sentence.lastIndexOf('*'));
    unsigned char sum = 0;
    for (const char c : sentence.mid(1))
        sum ^= static_cast<unsigned char>(c);
    return sentence + '*' + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper();
}

// Drops files on a widget as a file manager does: the drag enters, then drops.
void dropFiles(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// Should the window wait for a writer on a FIFO, this one comes after a
// while with a few lines, so that a fault fails the test instead of hanging.
class FifoWriter
{
public:
    explicit FifoWriter(const QString &fifo)
            : m_thread([path = QFile::encodeName(fifo), finished = m_done.get_future()] {
                  if (finished.wait_for(std::chrono::seconds(3)) == std::future_status::timeout) {
                      const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                      const char lines[] = "a\r\nb\r\nc\r\nd\r\ne\r\n";
                      if (fd >= 0 && ::write(fd, lines, sizeof lines - 1) < 0)
                          std::perror("FIFO");
                      ::close(fd);
                  }
              })
    {}
    ~FifoWriter()
    {
        m_done.set_value();
        m_thread.join();
    }

private:
    std::promise<void> m_done;
    std::thread m_thread;
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void captionMenusAndToolBarAreAsTheUserKnowsThem();
    void firstActivationOpensTheArgumentOnce();
    void withoutArgumentNothingIsOpened();
    void failedOpenLeavesTheDocumentAsItWas();
    void saveAsProposesTheBaseNameAndSaveThenNeedsNoDialog();
    void savingWritesTheTextByteForByte();
    void threeDroppedFilesEndWithTheThird();
    void openResetsTheViewsButADropKeepsThem();
    void filterRunFillsLabelsResultPageAndCharts();
    void filterWithoutResultPageSaysReady();
    void failedRunLeavesGaugeLabelsAndText();
    void ownStopNamesItsLine();
    void ampersandInAFileNameIsNoShortcut();
    void emptyTextRunEnablesTheViewsOnly();
    void switchingTheViewsLosesTextTypedIntoTheFixes();
    void resultFileRoundTripThroughTheWindow();
    void resultFileBeyondTheCapacityIsNotShown();
    void newTextStartsAtTheLeft();
    void switchingViewsKeepsMemoryFlat();
    void titleLineNamesTheLastResultFileChosenForOpening();
    void bugReportLinkAndAboutBox();
    void helpBubblesSwitchOnlyTheBubbles();
    void aboutBoxClosesByAClickOrAKey();
    void savingAResultNeverOverwritesTheLog();
    void onlyRegularFilesOpen();
    void hintsOfEveryWindowReachThePanel();
    void settingsFileThatIsAFifoIsAWrongFile();
    void failedTimeSpanStillEnablesSaving();
    void resultPageShowsTheWholeReport();
    void gaugeTextReadsOverTheBar();
    void addressShownWhenNoProgramOpensIt();
    void captionAndLabelsFitTheWindow_data();
    void captionAndLabelsFitTheWindow();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QByteArray readFile(const QString &path);

    QTemporaryDir *m_dir = nullptr;
    SettingsStore *m_settings = nullptr;
    FakeDialogs *m_dialogs = nullptr;
    FakePrompter *m_prompter = nullptr;
    QStringList m_opened; // links handed to the desktop
    bool m_openerWorks = true;
    MainWindow *m_window = nullptr;
    ResultPage *m_resultPage = nullptr;
    AboutBox *m_aboutBox = nullptr;
};

void MainWindowTest::init()
{
    m_dir = new QTemporaryDir();
    m_settings = new SettingsStore();
    m_dialogs = new FakeDialogs();
    m_prompter = new FakePrompter();
    m_opened.clear();
    m_openerWorks = true;
    const UrlOpener opener = [this](const QString &link) {
        m_opened.append(link);
        return m_openerWorks;
    };
    m_window = new MainWindow(*m_settings, *m_dialogs, *m_prompter, opener);
    m_resultPage = new ResultPage(m_window);
    m_aboutBox = new AboutBox(m_window->product(), opener, *m_prompter, m_window);
    m_window->setResultPage(m_resultPage);
    m_window->setAboutBox(m_aboutBox);
}

void MainWindowTest::cleanup()
{
    delete m_window;
    delete m_prompter;
    delete m_dialogs;
    delete m_settings;
    delete m_dir;
}

QString MainWindowTest::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    navorel::writeFileReplacing(path.toStdString(), bytes.toStdString());
    return path;
}

QByteArray MainWindowTest::readFile(const QString &path)
{
    std::string bytes;
    navorel::readFileBytes(path.toStdString(), bytes);
    return QByteArray::fromStdString(bytes);
}

void MainWindowTest::captionMenusAndToolBarAreAsTheUserKnowsThem()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Navorel " NAVOREL_VERSION));
    QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral(" untitled"));
    QCOMPARE(m_window->statusPanel(1)->text(), QStringLiteral(" check your position"));
    QCOMPARE(m_window->textGroup()->caption(), QStringLiteral(" Data: "));
    QCOMPARE(m_window->positionViews()->latitudeLabel()->text(), QStringLiteral(" North latitude : "));
    QCOMPARE(m_window->positionViews()->longitudeLabel()->text(), QStringLiteral(" East longitude : "));
    QCOMPARE(m_window->positionViews()->timeLabel()->text(), QStringLiteral("Time : "));
    QVERIFY(m_window->gauge()->isHidden());

    const struct
    {
        const char *menu;
        QStringList items; // caption/shortcut, "-" a separator
    } menus[] = {
        {"&File",
         {"New Text/Ctrl+N", "Open &Text file.../Ctrl+O", "Open filtered data/Ctrl+D", "Recent Logs/", "-",
          "Save Text/Ctrl+S", "&Save Text As.../", "Save &filtered data/Ctrl+Alt+S",
          "Export mean position\u2026/", "Export fixes as GPX track\u2026/", "-", "&Quit/Ctrl+Q"}},
        {"&Edit",
         {"&Undo/Ctrl+Z", "-", "&Cut/Ctrl+X", "&Copy/Ctrl+C", "&Paste/Ctrl+V", "&Select All/Ctrl+A", "-",
          "&Filter NMEA data/F12"}},
        {"&Tools",
         {"Receive data/F2", "Send data/F3", "-", "Show Resultpage/Ctrl+R", "-", "&RS-232 Settings/Ctrl+F11",
          "Preferences/Ctrl+F12"}},
        {"&Help", {"&HelpBubbles/", "Report a Bug/", "&About.../F1"}},
    };
    const QList<QAction *> titles = m_window->menuBar()->actions();
    QCOMPARE(titles.size(), 4);
    for (int m = 0; m < 4; ++m) {
        QCOMPARE(titles[m]->text(), QString::fromLatin1(menus[m].menu));
        QStringList items;
        for (QAction *item : titles[m]->menu()->actions())
            items.append(item->isSeparator() ? QStringLiteral("-")
                                             : item->text() + QLatin1Char('/') + item->shortcut().toString());
        QCOMPARE(items, menus[m].items);
    }

    MainActions &a = m_window->actions();
    QStringList buttons;
    for (QAction *action : m_window->toolBar()->actions())
        buttons.append(action->isSeparator() ? QStringLiteral("|") : action->objectName());
    QCOMPARE(buttons, QStringList({"TB_OpenTXT", "TB_SaveText", "TB_down", "TB_up", "|", "TB_Fliter",
                                   "TB_NMEA", "TB_filterdata", "|"}));
    QVERIFY(!m_window->gaugeSeparator()->isVisible());
    for (QAction *disabled : {a.saveResult, a.showResultPage, a.toolShowNmea, a.toolShowFiltered})
        QVERIFY2(!disabled->isEnabled(), qPrintable(disabled->objectName()));
    QVERIFY(a.helpBubbles->isChecked());
    QCOMPARE(a.receiveData->statusTip(), QStringLiteral("Open serial port and receive data"));
    QCOMPARE(a.receiveData->toolTip(), QStringLiteral("Receive data"));
    QCOMPARE(a.toolOpenText->toolTip(), QStringLiteral("Open Text"));
    QCOMPARE(a.toolOpenText->statusTip(), QStringLiteral("Open Text"));
}

void MainWindowTest::firstActivationOpensTheArgumentOnce()
{
    const QString path = writeFile(QStringLiteral("first.nmea"), kFix1 + "\r\n");
    m_window->setFirstArgument(path);
    m_window->show();
    QTRY_COMPARE(m_window->statusPanel(0)->text(), QStringLiteral("first.nmea"));
    QCOMPARE(m_window->textArea()->bytes(), bytesOf(kFix1 + "\r\n"));

    m_window->textArea()->setBytes("typed");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(m_window, &activate);
    QApplication::processEvents();
    QCOMPARE(m_window->textArea()->bytes(), std::string("typed"));
}

void MainWindowTest::withoutArgumentNothingIsOpened()
{
    m_window->show();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(m_window, &activate);
    QApplication::processEvents();
    QVERIFY(m_window->textArea()->bytes().empty());
    QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral(" untitled"));
    QVERIFY(m_prompter->errors.isEmpty());
}

void MainWindowTest::failedOpenLeavesTheDocumentAsItWas()
{
    const QString good = writeFile(QStringLiteral("good.txt"), "good\r\n");
    QVERIFY(m_window->document().OpenHandleTXT(good));
    const QString missing = m_dir->filePath(QStringLiteral("missing.txt"));
    m_dialogs->answers = {missing};
    m_window->actions().openText->trigger();
    QCOMPARE(m_prompter->errors,
             QStringList(QStringLiteral("Datei %1 kann nicht ge\u00F6ffnet werden").arg(missing)));
    QCOMPARE(m_window->document().path(), good);
    QCOMPARE(m_window->textGroup()->caption(), QStringLiteral(" Data: good.txt "));
    QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("good.txt"));
    QCOMPARE(m_window->textArea()->bytes(), std::string("good\r\n"));

    // A folder cannot be read either; a later save still goes to good.txt.
    QVERIFY(!m_window->document().OpenHandleTXT(m_dir->path()));
    m_window->textArea()->setBytes("changed");
    m_window->actions().saveText->trigger();
    QCOMPARE(readFile(good), QByteArray("changed"));
}

void MainWindowTest::saveAsProposesTheBaseNameAndSaveThenNeedsNoDialog()
{
    m_window->textArea()->setBytes("$GPGGA\r\nline two");
    const QString target = m_dir->filePath(QStringLiteral("track.nmea.txt"));
    m_dialogs->answers = {target};
    m_window->actions().saveTextAs->trigger();
    QCOMPARE(m_dialogs->asked.size(), 1);
    QCOMPARE(m_dialogs->asked[0].title, QStringLiteral("Save Text File"));
    QCOMPARE(m_dialogs->asked[0].fileName, QStringLiteral("NMEA data"));
    QVERIFY(m_dialogs->asked[0].confirmOverwrite);
    QCOMPARE(m_window->textGroup()->caption(), QStringLiteral(" Data: track.nmea.txt "));
    QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("track.nmea.txt"));
    QCOMPARE(QFileInfo(m_window->document().saveDialog().fileName).fileName(), QStringLiteral("track"));

    m_window->textArea()->setBytes("second version");
    m_window->actions().saveText->trigger();
    QCOMPARE(m_dialogs->asked.size(), 1);
    QCOMPARE(readFile(target), QByteArray("second version"));

    // A Save As that cannot write keeps the document where it was.
    m_dialogs->answers = {QStringLiteral("/nonexistent-folder/x.txt")};
    m_window->actions().saveTextAs->trigger();
    QCOMPARE(m_prompter->errors.size(), 1);
    QCOMPARE(m_window->document().path(), target);
    QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("track.nmea.txt"));
}

void MainWindowTest::savingWritesTheTextByteForByte()
{
    QByteArray all;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.append(static_cast<char>(b));
    }
    const QString path = writeFile(QStringLiteral("bytes.txt"), all + "\r\n" + all);
    QVERIFY(m_window->document().OpenHandleTXT(path));
    m_window->actions().saveText->trigger();
    QCOMPARE(readFile(path), all + "\r\n" + all);

    // Lone line breaks become CR LF when a file is opened.
    const QString unix = writeFile(QStringLiteral("unix.txt"), "a\nb\rc\n");
    QVERIFY(m_window->document().OpenHandleTXT(unix));
    m_window->actions().toolSaveText->trigger();
    QCOMPARE(readFile(unix), QByteArray("a\r\nb\r\nc\r\n"));
    QVERIFY(m_prompter->errors.isEmpty());
}

void MainWindowTest::threeDroppedFilesEndWithTheThird()
{
    QList<QUrl> urls;
    for (const char *name : {"one.txt", "two.txt", "three.txt"})
        urls.append(QUrl::fromLocalFile(writeFile(QString::fromLatin1(name), QByteArray(name))));
    // Paths longer than the old 259-character limit open like any other.
    const QString deep =
        m_dir->filePath(QString(120, QLatin1Char('d')) + QLatin1Char('/') + QString(150, QLatin1Char('e')));
    QVERIFY(QDir().mkpath(QFileInfo(deep).absolutePath()));
    navorel::writeFileReplacing(deep.toStdString(), "deep");
    QVERIFY(deep.size() > 259);
    m_window->show();

    for (const QList<QUrl> &drop : {urls, QList<QUrl>{QUrl::fromLocalFile(deep)}}) {
        dropFiles(m_window, drop);
        if (drop.size() == 3) {
            QCOMPARE(QString::fromStdString(m_window->textArea()->bytes()), QStringLiteral("three.txt"));
            QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("three.txt"));
            QCOMPARE(m_window->document().path(), urls[2].toLocalFile());
        }
    }
    QCOMPARE(m_window->textArea()->bytes(), std::string("deep"));
}

void MainWindowTest::openResetsTheViewsButADropKeepsThem()
{
    m_window->textArea()->setBytes(bytesOf(kFix1 + "\r\n" + kFix2));
    m_window->actions().filter->trigger();
    QVERIFY(m_window->actions().saveResult->isEnabled());

    m_window->show();
    dropFiles(m_window, {QUrl::fromLocalFile(writeFile(QStringLiteral("dropped.txt"), "x"))});
    QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("dropped.txt"));
    QCOMPARE(m_window->positionViews()->latitudeLabel()->text(),
             QStringLiteral(" North latitude : 48\u00B0 07,0390'"));
    QVERIFY(m_window->actions().saveResult->isEnabled());
    QCOMPARE(m_window->positionViews()->positionChart()->points().size(), std::size_t{2});

    m_dialogs->answers = {writeFile(QStringLiteral("opened.txt"), "y")};
    m_window->actions().toolOpenText->trigger();
    QCOMPARE(m_window->positionViews()->latitudeLabel()->text(), QStringLiteral(" North latitude  :"));
    QCOMPARE(m_window->positionViews()->longitudeLabel()->text(), QStringLiteral(" East longitude :"));
    QCOMPARE(m_window->positionViews()->timeLabel()->text(), QStringLiteral(" Time :"));
    QVERIFY(m_window->positionViews()->positionChart()->points().empty());
    for (QAction *action : {m_window->actions().saveResult, m_window->actions().showResultPage,
                            m_window->actions().toolShowNmea, m_window->actions().toolShowFiltered})
        QVERIFY(!action->isEnabled());

    m_window->actions().newText->trigger();
    QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("untitled"));
    QCOMPARE(m_window->textGroup()->caption(), QStringLiteral(" Data: "));
    QVERIFY(m_window->document().path().isEmpty());
    QVERIFY(m_window->textArea()->bytes().empty());
}

void MainWindowTest::filterRunFillsLabelsResultPageAndCharts()
{
    m_settings->setValue(navorel::SettingKey::SatTime, 1);
    QByteArray log = kFix1 + "\r\n" + kNotValid + "\r\n" + kFix2 + "\r\n";
    // sixty epochs of satellites, each ended by another sentence
    for (int i = 0; i < 60; ++i)
        log += kGsa + "\r\n$GPVTG,54.7,T,,M,0.5,N,0.9,K,A*37\r\n";
    m_window->textArea()->setBytes(bytesOf(log));
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTest::keyClick(m_window, Qt::Key_F12);

    QCOMPARE(m_window->positionViews()->latitudeLabel()->text(),
             QStringLiteral(" North latitude : 48\u00B0 07,0390'"));
    QCOMPARE(m_window->positionViews()->longitudeLabel()->text(),
             QStringLiteral(" East longitude : 11\u00B0 31,0010'"));
    QCOMPARE(m_window->positionViews()->timeLabel()->text(), QStringLiteral(" Time: 0h 0m 1s"));
    QCOMPARE(m_prompter->modals, QStringList(QStringLiteral("TFormResult")));
    const QStringList report = m_resultPage->lines();
    QCOMPARE(report.size(), 23);
    QCOMPARE(report[0], QStringLiteral(" Filter Report for $--RMC"));
    QCOMPARE(report[3], QStringLiteral(" sentences found     : 3"));
    QCOMPARE(report[4], QStringLiteral(" not valid sentences : 1"));
    QCOMPARE(m_window->positionViews()->positionChart()->points().size(), std::size_t{2});
    QCOMPARE(m_window->positionViews()->satelliteChart()->bars(),
             (std::vector<navorel::SatelliteBar>{{1, 5}}));
    QCOMPARE(
        m_window->textArea()->bytes(),
        std::string(
            "10:15:00   48\xB0 07,0380'   11\xB0 31,0000'\r\n10:15:01   48\xB0 07,0400'   11\xB0 31,0020'"));
    for (QAction *action : {m_window->actions().saveResult, m_window->actions().showResultPage,
                            m_window->actions().toolShowNmea, m_window->actions().toolShowFiltered})
        QVERIFY(action->isEnabled());
    QVERIFY(m_window->gauge()->isHidden());
    QVERIFY(m_prompter->errors.isEmpty());

    m_window->actions().showResultPage->trigger();
    QCOMPARE(m_prompter->modals.size(), 2);
}

void MainWindowTest::filterWithoutResultPageSaysReady()
{
    m_settings->setValue(navorel::SettingKey::Respage, 0);
    m_settings->setValue(navorel::SettingKey::UTC, 0);
    m_window->textArea()->setBytes(bytesOf(kFix1));
    m_window->actions().toolFilter->trigger();
    QCOMPARE(m_prompter->messages, QStringList(QStringLiteral("Filter process ready.")));
    QVERIFY(m_prompter->modals.isEmpty());
    QCOMPARE(m_window->positionViews()->timeLabel()->text(), QString());
}

// The program's own stops name their line: a log has millions.
void MainWindowTest::ownStopNamesItsLine()
{
    m_window->textArea()->setBytes(
        bytesOf(kFix1 + "\r\n" + resummed(QByteArray(kFix2).replace(",N,", ",3,"))));
    m_window->actions().filter->trigger();
    QCOMPARE(m_prompter->errors,
             QStringList(QStringLiteral("Line 2: the latitude hemisphere '3' is neither N nor S")));
}

// "&File.nmea" must not take Alt+F from the File menu.
void MainWindowTest::ampersandInAFileNameIsNoShortcut()
{
    QVERIFY(m_window->document().OpenHandleTXT(writeFile(QStringLiteral("&File.nmea"), kFix1 + "\r\n")));
    QCOMPARE(m_window->textGroup()->caption(), QStringLiteral(" Data: &File.nmea "));
    QVERIFY(QKeySequence::mnemonic(m_window->textGroup()->title()).isEmpty());
}

void MainWindowTest::failedRunLeavesGaugeLabelsAndText()
{
    const QByteArray log = kFix1 + "\r\n" + kGsa + "\r\n" + kBadFix + "\r\n" + kFix2;
    m_window->show();
    m_window->textArea()->setBytes(bytesOf(log));
    m_window->actions().filter->trigger();
    QCOMPARE(m_prompter->errors, QStringList(QStringLiteral("'A70380' ist kein g\u00FCltiger Integerwert")));
    QVERIFY(m_window->gauge()->isVisible());
    QVERIFY(m_window->gaugeSeparator()->isVisible());
    QCOMPARE(m_window->positionViews()->latitudeLabel()->text(), QStringLiteral(" North latitude : "));
    QCOMPARE(m_window->textArea()->bytes(), bytesOf(log));
    QCOMPARE(m_resultPage->lines(), QStringList({" Filter Report for $--RMC", " ====================", " "}));
    QCOMPARE(m_window->positionViews()->positionChart()->points().size(), std::size_t{1});
    QCOMPARE(m_window->results().filterResult().dataLines.size(), std::size_t{1});
    QVERIFY(m_prompter->modals.isEmpty());
    QVERIFY(!m_window->actions().saveResult->isEnabled());
    QVERIFY(!m_window->actions().toolShowNmea->isEnabled());

    // Without the gauge setting it never shows.
    m_settings->setValue(navorel::SettingKey::Progress, 0);
    m_window->textArea()->setBytes(bytesOf(kFix1));
    m_window->actions().filter->trigger();
    QVERIFY(m_window->gauge()->isHidden());
}

void MainWindowTest::emptyTextRunEnablesTheViewsOnly()
{
    m_window->actions().filter->trigger();
    QCOMPARE(m_window->positionViews()->latitudeLabel()->text(), QStringLiteral(" North latitude : error"));
    QCOMPARE(m_window->positionViews()->timeLabel()->text(), QStringLiteral(" Time: error"));
    QVERIFY(!m_window->actions().saveResult->isEnabled());
    QVERIFY(m_window->actions().toolShowNmea->isEnabled());
    QVERIFY(m_window->actions().showResultPage->isEnabled());

    // Not-valid fixes only: found, so the text area is emptied.
    m_window->textArea()->setBytes(bytesOf(kNotValid));
    m_window->actions().filter->trigger();
    QVERIFY(m_window->textArea()->bytes().empty());
}

void MainWindowTest::switchingTheViewsLosesTextTypedIntoTheFixes()
{
    const QByteArray log = kFix1 + "\r\n" + kFix2;
    m_window->textArea()->setBytes(bytesOf(log));
    m_window->actions().filter->trigger();
    const std::string display = m_window->textArea()->bytes();

    // Typed into the fixes: gone when they are left and shown again.
    QTest::keyClicks(m_window->textArea(), QStringLiteral("typed over"));
    m_window->actions().toolShowNmea->trigger();
    QCOMPARE(m_window->textArea()->bytes(), bytesOf(log));
    m_window->actions().toolShowFiltered->trigger();
    QCOMPARE(m_window->textArea()->bytes(), display);
    QVERIFY(m_window->actions().toolShowNmea->isEnabled());

    // A run while the fixes are shown filters the log, not them.
    m_window->actions().filter->trigger();
    QCOMPARE(m_window->textArea()->bytes(), display);
    m_window->actions().toolShowNmea->trigger();
    QCOMPARE(m_window->textArea()->bytes(), bytesOf(log));
}

void MainWindowTest::resultFileRoundTripThroughTheWindow()
{
    m_settings->setValue(navorel::SettingKey::SatTime, 1);
    // The same fix sixty times: only the classic mode takes each one.
    m_settings->setTalkers(navorel::TalkerMode::GPS);
    QByteArray log;
    for (int i = 0; i < 60; ++i)
        log += kFix1 + "\r\n" + kGsa + "\r\n";
    m_window->textArea()->setBytes(bytesOf(log));
    m_window->actions().filter->trigger();
    const QString csv = m_dir->filePath(QStringLiteral("result.csv"));
    m_dialogs->answers = {csv};
    m_window->actions().saveResult->trigger();
    const QByteArray written = readFile(csv);
    QVERIFY(written.startsWith("Novarel result csv-file \r\n//"));
    QVERIFY(written.contains(
        "[DATA]\r\nTime; North Lat.; East Lon.; Satellites\r\n10:15:00;4807,0380;1131,0000;5\r\n"));
    QVERIFY(written.endsWith("[SAT]\r\nMinute range; Satellites in view\r\n1;5\r\n"));
    QCOMPARE(m_dialogs->asked.last().defaultSuffix, QStringLiteral(".dat"));

    m_dialogs->answers = {csv};
    m_window->actions().openResult->trigger();
    QVERIFY(m_prompter->errors.isEmpty());
    // Added beside the run's points and bars.
    QCOMPARE(m_window->positionViews()->positionChart()->points().size(), std::size_t{120});
    QCOMPARE(m_window->positionViews()->satelliteChart()->bars().size(), std::size_t{2});
    QCOMPARE(m_window->textArea()->lineCount(), std::size_t{60});
    QCOMPARE(m_window->positionViews()->latitudeLabel()->text(),
             QStringLiteral(" North latitude : 48\u00B0 07,0380'"));
    const QStringList page = m_resultPage->lines();
    QCOMPARE(page.size(), 23 + 19);
    QCOMPARE(page[23], QStringLiteral(" sentences found     : 60"));
    QCOMPARE(page[24], QStringLiteral(" not valid sentences : unknown"));
    // The run's result stays what a save writes.
    QCOMPARE(m_window->results().filterResult().dataLines.size(), std::size_t{60});

    // A file of three lines or fewer shows nothing.
    m_dialogs->answers = {writeFile(QStringLiteral("short.csv"), "a\r\nb\r\n")};
    m_window->actions().openResult->trigger();
    QVERIFY(m_window->textArea()->bytes().empty());
    QVERIFY(m_window->gauge()->isHidden());

    // A missing file: the text area is already empty, the gauge stays.
    m_window->show();
    m_dialogs->answers = {m_dir->filePath(QStringLiteral("none.csv"))};
    m_window->actions().openResult->trigger();
    QCOMPARE(m_prompter->errors.size(), 1);
    QVERIFY(m_window->gauge()->isVisible());
}

void MainWindowTest::titleLineNamesTheLastResultFileChosenForOpening()
{
    m_window->textArea()->setBytes(bytesOf(kFix1));
    m_window->actions().filter->trigger();
    const QString chosen = m_dir->filePath(QStringLiteral("old result.csv"));
    m_dialogs->answers = {chosen};
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTest::keyClick(m_window, Qt::Key_O, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(m_dialogs->asked.size(), 1);
    QVERIFY(m_prompter->errors.isEmpty());
    const QString csv = m_dir->filePath(QStringLiteral("new.csv"));
    m_dialogs->answers = {csv};
    m_window->actions().saveResult->trigger();
    QVERIFY(readFile(csv).startsWith("Novarel result csv-file " + chosen.toLatin1() + "\r\n"));
}

void MainWindowTest::bugReportLinkAndAboutBox()
{
    m_window->actions().reportBug->trigger();
    QCOMPARE(m_opened.size(), 1);
    const QString link = m_opened[0];
    QVERIFY(link.startsWith(QStringLiteral("mailto:")));
    QVERIFY(link.contains(QStringLiteral("?subject=Navorel 003.082 bug report&body=")));
    QVERIFY(link.contains(QStringLiteral("&body=Your e-mail address : %0A%0A")));
    QVERIFY(link.endsWith(QStringLiteral(" Report : %0A")));

    QCOMPARE(m_aboutBox->findChild<QLabel *>(QStringLiteral("Version"))->text(),
             QStringLiteral("Version: " NAVOREL_VERSION));
    QCOMPARE(m_aboutBox->findChild<QLabel *>(QStringLiteral("BuildString"))->text(),
             QStringLiteral("(Build 003.082)"));
    QCOMPARE(m_aboutBox->windowTitle(), QStringLiteral("Info"));
    m_window->actions().about->trigger();
    QCOMPARE(m_prompter->modals, QStringList(QStringLiteral("TAboutBox")));

    m_aboutBox->show();
    QTest::mouseClick(m_aboutBox->website(), Qt::LeftButton);
    QCOMPARE(m_opened.last(), m_window->product().website);
    QVERIFY(m_aboutBox->isVisible());
    QTest::mouseClick(m_aboutBox->findChild<QLabel *>(QStringLiteral("Comments")), Qt::LeftButton);
    QVERIFY(!m_aboutBox->isVisible());
}

void MainWindowTest::helpBubblesSwitchOnlyTheBubbles()
{
    m_window->show();
    auto *panel = m_window->positionViews()->latitudeLabel()->parentWidget();
    QHelpEvent bubble(QEvent::ToolTip, QPoint(5, 5), panel->mapToGlobal(QPoint(5, 5)));

    m_window->actions().helpBubbles->trigger();
    QVERIFY(!m_window->actions().helpBubbles->isChecked());
    QCOMPARE(m_settings->settings().Help, false);
    // The bubble is eaten; the status line still follows the mouse.
    QVERIFY(qApp->notify(panel, &bubble) || true);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), panel->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(m_window->positionViews()->longitudeLabel(), &enter);
    QCOMPARE(m_window->statusPanel(1)->text(), QStringLiteral("Approximately east longitude"));
    QApplication::sendEvent(panel, &enter);
    QCOMPARE(m_window->statusPanel(1)->text(), QStringLiteral("Approximately position"));

    // A menu item's long hint goes to the panel when highlighted.
    QStatusTipEvent tip(m_window->actions().openText->statusTip());
    QApplication::sendEvent(m_window, &tip);
    QCOMPARE(m_window->statusPanel(1)->text(), QStringLiteral("Open Text"));

    m_window->actions().helpBubbles->trigger();
    QVERIFY(m_window->actions().helpBubbles->isChecked());
    QCOMPARE(m_settings->settings().Help, true);
}

void MainWindowTest::savingAResultNeverOverwritesTheLog()
{
    const QByteArray log = kFix1 + "\r\n" + kFix2 + "\r\n";
    m_settings->setValue(navorel::SettingKey::Respage, 0);
    const QString csv = m_dir->filePath(QStringLiteral("r.csv"));
    const struct
    {
        const char *shown;
        std::function<void()> show;
    } views[] = {
        {"filter run", [this] { m_window->actions().filter->trigger(); }},
        {"filtered view",
         [this] {
             m_window->actions().toolShowNmea->trigger();
             m_window->actions().toolShowFiltered->trigger();
         }},
        {"result file",
         [this, csv] {
             m_dialogs->answers = {csv};
             m_window->actions().openResult->trigger();
         }},
    };
    const QString path = writeFile(QStringLiteral("track.nmea"), log);
    QVERIFY(m_window->document().OpenHandleTXT(path));
    m_window->actions().filter->trigger();
    m_dialogs->answers = {csv};
    m_window->actions().saveResult->trigger();
    for (const auto &view : views) {
        QVERIFY(m_window->document().OpenHandleTXT(path));
        view.show();
        m_dialogs->asked.clear();
        m_window->actions().saveText->trigger(); // cancelled
        QCOMPARE(m_dialogs->asked.size(), 1);
        QCOMPARE(QFileInfo(m_dialogs->asked[0].fileName).fileName(), QStringLiteral("track filtered"));
        QCOMPARE(readFile(path), log);
    }
    // Saved under a name of its own, that file is the document from then on.
    const QString filtered = m_dir->filePath(QStringLiteral("track filtered.txt"));
    m_dialogs->answers = {filtered};
    m_window->actions().toolSaveText->trigger();
    QCOMPARE(readFile(path), log);
    QCOMPARE(readFile(filtered).toStdString(), m_window->textArea()->bytes());
    m_dialogs->asked.clear();
    m_window->actions().saveText->trigger();
    QVERIFY(m_dialogs->asked.isEmpty());
    // The log itself on show saves without a question.
    QVERIFY(m_window->document().OpenHandleTXT(path));
    m_window->actions().filter->trigger();
    m_window->actions().toolShowNmea->trigger();
    m_window->actions().saveText->trigger();
    QVERIFY(m_dialogs->asked.isEmpty());
    QCOMPARE(readFile(path).toStdString(), m_window->textArea()->bytes());
}

void MainWindowTest::onlyRegularFilesOpen()
{
    const QString fifo = m_dir->filePath(QStringLiteral("pipe.nmea"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const FifoWriter rescue(fifo);
    const QString good = writeFile(QStringLiteral("good.nmea"), "good");
    QVERIFY(m_window->document().OpenHandleTXT(good));
    const struct
    {
        QString path;
        const char *why;
    } others[] = {
        {fifo, "it is a pipe (FIFO)"},
        {QStringLiteral("/dev/zero"), "it is a device"},
        {m_dir->path(), "it is a folder"},
    };
    for (const auto &other : others) {
        m_prompter->errors.clear();
        m_dialogs->answers = {other.path};
        m_window->actions().openText->trigger();
        m_window->handOver(handOverText(other.path));
        QCOMPARE(m_prompter->errors.size(), 2);
        QVERIFY2(m_prompter->errors[0].contains(other.path), qPrintable(m_prompter->errors[0]));
        QVERIFY2(m_prompter->errors[1].endsWith(QLatin1String(other.why) + QLatin1Char('.')),
                 qPrintable(m_prompter->errors[1]));
    }
    QCOMPARE(m_window->document().path(), good);
    QCOMPARE(m_window->textArea()->bytes(), std::string("good"));
}

void MainWindowTest::settingsFileThatIsAFifoIsAWrongFile()
{
    const QString fifo = m_dir->filePath(QStringLiteral("NAVRL.ini"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const FifoWriter rescue(fifo);
    PreferencesDialog preferences(*m_settings, *m_prompter, fifo, m_window);
    QCOMPARE(m_prompter->messages, QStringList(QStringLiteral("Wrong INI File. Check the Preferences.")));
    QVERIFY(m_prompter->errors.isEmpty());
}

void MainWindowTest::hintsOfEveryWindowReachThePanel()
{
    PreferencesDialog preferences(*m_settings, *m_prompter, m_dir->filePath(QStringLiteral("NAVRL.ini")),
                                  m_window);
    Rs232Window rs232(*m_settings, m_window);
    const struct
    {
        QWidget *window;
        const char *control;
        const char *hint;
    } hints[] = {
        {&preferences, "CB_RS232clr", "Clear screen by start receiving data in main window"},
        {&preferences, "ButtonApply", "Save settings"},
        {&rs232, "COB_Baud", "Select data speed"},
        {&rs232, "CloseRS232win", "Close RS-232 settings"},
        {m_resultPage, "Memo_Result", "Filter result"},
        {m_resultPage, "ButtonClose", "Close result page"},
        {m_aboutBox, "Website", "Open website"},
        {m_aboutBox, "Version", "Click to close"},
    };
    for (const auto &hint : hints) {
        auto *control = hint.window->findChild<QWidget *>(QLatin1String(hint.control));
        QVERIFY2(control != nullptr, hint.control);
        m_window->statusPanel(1)->clear();
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), control->mapToGlobal(QPointF(1, 1)));
        QApplication::sendEvent(control, &enter);
        QCOMPARE(m_window->statusPanel(1)->text(), QLatin1String(hint.hint));
    }
}

void MainWindowTest::failedTimeSpanStillEnablesSaving()
{
    const QByteArray badTime = "$GPRMC,1015X1.00,A,4807.0400,N,01131.0020,E,0.5,54.7,191206,,*6E";
    m_window->textArea()->setBytes(bytesOf(kFix1 + "\r\n" + badTime));
    m_window->actions().filter->trigger();
    QCOMPARE(m_prompter->errors.size(), 1);
    QVERIFY(m_window->actions().saveResult->isEnabled());
}

void MainWindowTest::resultPageShowsTheWholeReport()
{
    m_window->textArea()->setBytes(bytesOf(kFix1 + "\r\n" + kFix2));
    m_window->actions().filter->trigger();
    QCOMPARE(m_resultPage->lines().size(), 23);
    m_resultPage->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_resultPage));
    const QPlainTextEdit *text = m_resultPage->textView();
    QVERIFY(!text->horizontalScrollBar()->isVisible());
    QCOMPARE(text->verticalScrollBar()->maximum(), 0);
}

void MainWindowTest::gaugeTextReadsOverTheBar()
{
    QProgressBar *gauge = m_window->gauge();
    gauge->setRange(0, 100);
    gauge->setValue(50);
    gauge->show();
    const QImage shot = gauge->grab().toImage();
    // The text's pixels: light ones over the navy half, dark ones beside it.
    int lightOnBar = 0;
    int darkBeside = 0;
    for (int y = 3; y < shot.height() - 3; ++y) {
        for (int x = 3; x < shot.width() - 3; ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            if (x < shot.width() / 2 - 2 && pixel.lightness() > 160)
                ++lightOnBar;
            if (x > shot.width() / 2 + 1 && pixel.lightness() < 140)
                ++darkBeside;
        }
    }
    QVERIFY2(lightOnBar > 5, qPrintable(QString::number(lightOnBar)));
    QVERIFY2(darkBeside > 5, qPrintable(QString::number(darkBeside)));
}

// A click as always, or Esc, Enter or Space for a user who came with F1;
// the frame's close box does nothing.
void MainWindowTest::aboutBoxClosesByAClickOrAKey()
{
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        m_aboutBox->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_aboutBox));
        m_aboutBox->close();
        QVERIFY(m_aboutBox->isVisible());
        QTest::keyClick(m_aboutBox, key);
        QVERIFY2(!m_aboutBox->isVisible(), qPrintable(QKeySequence(key).toString()));
        QCOMPARE(m_aboutBox->result(), int(QDialog::Accepted));
    }
    m_aboutBox->show();
    QTest::keyClick(m_aboutBox, Qt::Key_A);
    QVERIFY(m_aboutBox->isVisible());
    QTest::mouseClick(m_aboutBox->findChild<QLabel *>(QStringLiteral("ProductName")), Qt::LeftButton);
    QVERIFY(!m_aboutBox->isVisible());
}

void MainWindowTest::addressShownWhenNoProgramOpensIt()
{
    m_openerWorks = false;
    m_window->actions().reportBug->trigger();
    m_aboutBox->show();
    QTest::mouseClick(m_aboutBox->website(), Qt::LeftButton);
    QCOMPARE(m_prompter->addresses.size(), 2);
    QVERIFY(m_prompter->addresses[0].contains(m_window->product().supportAddress));
    QVERIFY(m_prompter->addresses[0].contains(QStringLiteral("Navorel 003.082 bug report")));
    QVERIFY(m_prompter->addresses[1].endsWith(m_window->product().website));
    QVERIFY(m_aboutBox->isVisible());
}

void MainWindowTest::resultFileBeyondTheCapacityIsNotShown()
{
    QByteArray log;
    for (int i = 0; i < 20; ++i) // a fix per second: with every talker one time counts once
        log +=
            resummed(QByteArray(kFix1).replace(11, 2, QByteArray::number(10 + i))) + "\r\n" + kGsa + "\r\n";
    m_window->textArea()->setBytes(bytesOf(log));
    m_window->actions().filter->trigger();
    // The display lines the result file shows again.
    const std::size_t shown = m_window->textArea()->byteCount();
    const QString csv = m_dir->filePath(QStringLiteral("result.csv"));
    m_dialogs->answers = {csv};
    m_window->actions().saveResult->trigger();

    m_window->textArea()->setCapacity(shown);
    m_dialogs->answers = {csv};
    m_window->actions().openResult->trigger();
    QCOMPARE(m_prompter->errors, QStringList{QStringLiteral("Text \u00FCberschreitet Memo-Kapazit\u00E4t")});
    QVERIFY(m_window->textArea()->bytes().empty());

    m_window->textArea()->setCapacity(shown + 1);
    m_dialogs->answers = {csv};
    m_window->actions().openResult->trigger();
    QCOMPARE(m_prompter->errors.size(), 1);
    QCOMPARE(m_window->textArea()->lineCount(), std::size_t{20});
}

void MainWindowTest::newTextStartsAtTheLeft()
{
    const QByteArray longLine = kFix1 + QByteArray(400, ' ') + "end";
    const QString path = writeFile(QStringLiteral("wide.nmea"), longLine + "\r\n" + kFix1);
    const std::vector<std::function<void()>> newTexts = {
        [&] { m_window->actions().newText->trigger(); },
        [&] { m_window->document().OpenHandleTXT(path); },
        [&] { m_window->actions().filter->trigger(); },
        [&] { m_window->actions().toolShowNmea->trigger(); },
    };
    m_window->show();
    NmeaTextArea *text = m_window->textArea();
    for (const auto &makeNewText : newTexts) {
        text->setBytes(bytesOf(longLine + "\r\n" + kFix1));
        text->SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, 300);
        makeNewText();
        QCOMPARE(text->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET), 0L);
    }
}

namespace {

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

} // namespace

void MainWindowTest::switchingViewsKeepsMemoryFlat()
{
    QByteArray log;
    while (log.size() < 10'000'000)
        log += kFix1 + "\r\n" + kGsa + "\r\n";
    m_window->textArea()->setBytes(bytesOf(log));
    log.clear();
    log.squeeze();
    m_window->actions().filter->trigger();
    m_window->actions().toolShowNmea->trigger();
    m_window->actions().toolShowFiltered->trigger();
    const long before = residentKilobytes();
    for (int i = 0; i < 100; ++i) {
        m_window->actions().toolShowNmea->trigger();
        m_window->actions().toolShowFiltered->trigger();
    }
    QVERIFY2(residentKilobytes() - before < 4096,
             qPrintable(QStringLiteral("%1 kB more").arg(residentKilobytes() - before)));
}

void MainWindowTest::captionAndLabelsFitTheWindow_data()
{
    QTest::addColumn<bool>("minimum");
    QTest::newRow("first size") << false;
    QTest::newRow("minimum size") << true;
}

void MainWindowTest::captionAndLabelsFitTheWindow()
{
    QFETCH(bool, minimum);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const int width = m_window->width();
    const QString name =
        QStringLiteral("a very long file name of a receiver log recorded on the roof, week 49.nmea");
    QVERIFY(m_window->document().OpenHandleTXT(writeFile(name, kFix1 + "\r\n")));
    PositionViews *views = m_window->positionViews();
    views->showPosition(" North latitude : -37\xB0 47,0877'", " East longitude : 175\xB0 18,8939'");
    views->showTimeSpan(" Time: 64h 10m 23s");
    if (minimum)
        m_window->resize(m_window->minimumSizeHint());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

    QCOMPARE(m_window->textGroup()->caption(), QStringLiteral(" Data: ") + name + QLatin1Char(' '));
    QVERIFY2(m_window->width() <= width, qPrintable(QString::number(m_window->width())));
    for (const QLabel *label : {views->latitudeLabel(), views->longitudeLabel(), views->timeLabel()}) {
        // Clipped by Panel2 and everything round it.
        const QRect shown = label->visibleRegion().boundingRect();
        const QFontMetrics metrics = label->fontMetrics();
        QVERIFY2(shown.left() == 0 && shown.width() >= metrics.horizontalAdvance(label->text())
                     && shown.height() >= metrics.height(),
                 qPrintable(label->objectName()));
    }
    // The chart of the page shown, whole: its axis titles lie along its edges.
    const QWidget *chart = views->positionChart();
    QCOMPARE(chart->visibleRegion().boundingRect(), chart->rect());
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
