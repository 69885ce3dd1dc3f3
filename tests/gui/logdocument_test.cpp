#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "app/textdocument.h"
#include "tests/gui/windowrig.h"

// The log is the text that was opened, typed, pasted or received; the other
// views of the text area (a run's fixes, an opened result file) never take
// its place, and nothing of it is lost unasked.

namespace {

const QByteArray kFix1 = "$GPRMC,101500.00,A,4807.0380,N,01131.0000,E,0.5,54.7,191206,,*0A";
const QByteArray kFix2 = "$GPRMC,101501.00,A,4807.0400,N,01131.0020,E,0.5,54.7,191206,,*06";
const QByteArray kLog = kFix1 + "\r\n" + kFix2 + "\r\n";

using SaveChoice = Prompter::SaveChoice;

} // namespace

class LogDocumentTest : public QObject
{
    Q_OBJECT

private slots:
    void aRunAlwaysFiltersTheLog();
    void theLogKeepsItsEditsAcrossViews();
    void receivedLinesGoToTheLogWhicheverViewIsShown();
    void unsavedChangesAreAskedAbout_data();
    void unsavedChangesAreAskedAbout();
    void nothingAsksWhenNothingChanged();
    void savingAViewUnderANewNameKeepsTheLogsChanges();
    void menuShortcutsWinOverTheEditor();
    void aFailedSaveSaysWhy();
    void aUtf16LogGetsANote();
};

// Open, F12, F12 again, "Show NMEA data", Ctrl+S: the file is the log still.
void LogDocumentTest::aRunAlwaysFiltersTheLog()
{
    WindowRig rig;
    const QString path = rig.writeFile(QStringLiteral("track.nmea"), kLog);
    QVERIFY(rig.window.document().OpenHandleTXT(path));
    rig.actions().filter->trigger();
    const QByteArray display = rig.shown();
    QVERIFY(display.startsWith("10:15:00   48\xB0 07,0380'"));
    rig.actions().filter->trigger();
    QCOMPARE(rig.shown(), display);
    rig.actions().toolShowNmea->trigger();
    QCOMPARE(rig.shown(), kLog);
    rig.actions().saveText->trigger();
    QVERIFY(rig.dialogs.asked.isEmpty());
    QCOMPARE(WindowRig::readFile(path), kLog);

    // From an opened result file too: the run takes the log.
    const QString csv = rig.dir.filePath(QStringLiteral("r.csv"));
    rig.dialogs.answers = {csv};
    rig.actions().saveResult->trigger();
    rig.dialogs.answers = {csv};
    rig.actions().openResult->trigger();
    QVERIFY(rig.prompter.errors.isEmpty());
    QVERIFY(!rig.text().showsLog());
    QVERIFY(rig.actions().toolShowNmea->isEnabled());
    rig.actions().filter->trigger();
    QCOMPARE(rig.shown(), display);
    rig.actions().toolShowNmea->trigger();
    QCOMPARE(rig.shown(), kLog);
}

void LogDocumentTest::theLogKeepsItsEditsAcrossViews()
{
    WindowRig rig;
    rig.text().setBytes(kLog.toStdString());
    rig.actions().filter->trigger();
    const QByteArray display = rig.shown();

    // An edit of the fixes shown is undone when they are left, as always.
    QTest::keyClicks(&rig.text(), QStringLiteral("x"));
    rig.actions().toolShowNmea->trigger();
    QCOMPARE(rig.shown(), kLog);
    // An edit of the log is kept.
    QTest::keyClicks(&rig.text(), QStringLiteral("y"));
    rig.actions().toolShowFiltered->trigger();
    QCOMPARE(rig.shown(), display);
    rig.actions().toolShowNmea->trigger();
    QCOMPARE(rig.shown(), "y" + kLog);
    // And undone as an edit.
    rig.text().undo();
    QCOMPARE(rig.shown(), kLog);
}

void LogDocumentTest::receivedLinesGoToTheLogWhicheverViewIsShown()
{
    WindowRig rig;
    rig.text().setBytes(kFix1.toStdString());
    rig.actions().filter->trigger();
    const QByteArray display = rig.shown();
    rig.text().appendLines({kFix2.toStdString()});
    QCOMPARE(rig.shown(), display);
    rig.actions().toolShowNmea->trigger();
    QCOMPARE(rig.shown(), kFix1 + "\r\n" + kFix2);
    rig.actions().filter->trigger();
    QCOMPARE(rig.text().lineCount(), std::size_t{2});
}

void LogDocumentTest::unsavedChangesAreAskedAbout_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("command");
    for (const char *change : {"typed", "pasted", "received", "received while a run is shown"}) {
        for (const char *command : {"quit", "new text", "open text file", "drop", "hand-over"})
            QTest::addRow("%s, %s", change, command)
                << QString::fromLatin1(change) << QString::fromLatin1(command);
    }
}

// Save writes the log and goes on, Discard goes on, Cancel keeps everything.
void LogDocumentTest::unsavedChangesAreAskedAbout()
{
    QFETCH(QString, change);
    QFETCH(QString, command);
    for (const SaveChoice answer : {SaveChoice::Cancel, SaveChoice::Discard, SaveChoice::Save}) {
        WindowRig rig;
        const QString path = rig.writeFile(QStringLiteral("track.nmea"), kLog);
        const QString other = rig.writeFile(QStringLiteral("other.nmea"), kFix2 + "\r\n");
        QVERIFY(rig.window.document().OpenHandleTXT(path));
        if (change == QLatin1String("typed")) {
            QTest::keyClicks(&rig.text(), QStringLiteral("x"));
        } else if (change == QLatin1String("pasted")) {
            QApplication::clipboard()->setText(QStringLiteral("x"));
            rig.text().paste();
        } else {
            if (change.endsWith(QLatin1String("shown")))
                rig.actions().filter->trigger();
            rig.text().appendLines({"x"});
        }
        const QByteArray changed = QByteArray::fromStdString(rig.text().logBytes());
        QVERIFY(changed != kLog);

        const std::function<bool()> run = [&] {
            if (command == QLatin1String("quit"))
                return rig.window.close();
            if (command == QLatin1String("new text"))
                rig.actions().newText->trigger();
            else if (command == QLatin1String("open text file")) {
                rig.dialogs.answers = {other};
                rig.actions().openText->trigger();
            } else if (command == QLatin1String("drop"))
                rig.window.document().openDropped({QUrl::fromLocalFile(other)});
            else
                rig.window.document().openHandedOver(QLatin1Char('"') + other + QLatin1Char('"'));
            return QByteArray::fromStdString(rig.text().logBytes()) != changed;
        };
        rig.prompter.saveAnswers = {answer};
        const bool wentOn = run();
        QCOMPARE(rig.prompter.saveQuestions, QStringList{QStringLiteral("track.nmea")});
        QCOMPARE(wentOn, answer != SaveChoice::Cancel);
        QCOMPARE(WindowRig::readFile(path), answer == SaveChoice::Save ? changed : kLog);
        if (answer == SaveChoice::Cancel)
            QCOMPARE(QByteArray::fromStdString(rig.text().logBytes()), changed);
    }
}

void LogDocumentTest::nothingAsksWhenNothingChanged()
{
    WindowRig rig;
    const QString path = rig.writeFile(QStringLiteral("track.nmea"), kLog);
    QVERIFY(rig.window.document().OpenHandleTXT(path));
    rig.actions().filter->trigger();
    rig.actions().toolShowNmea->trigger();
    rig.window.document().openDropped({QUrl::fromLocalFile(path)});
    rig.actions().newText->trigger();
    QVERIFY(rig.window.close());
    QVERIFY(rig.prompter.saveQuestions.isEmpty());

    // Typed, then undone: back as it was saved.
    QTest::keyClicks(&rig.text(), QStringLiteral("x"));
    rig.text().undo();
    QVERIFY(!rig.text().isLogModified());
    // Saved: nothing to ask.
    QVERIFY(rig.window.document().OpenHandleTXT(path));
    rig.text().appendLines({"x"});
    rig.actions().saveText->trigger();
    QVERIFY(!rig.text().isLogModified());
    QVERIFY(rig.window.close());
    QVERIFY(rig.prompter.saveQuestions.isEmpty());
}

// Saving the fixes under a name makes them the document; the log's own
// changes are asked about first, not dropped.
void LogDocumentTest::savingAViewUnderANewNameKeepsTheLogsChanges()
{
    WindowRig rig;
    const QString path = rig.writeFile(QStringLiteral("track.nmea"), kLog);
    QVERIFY(rig.window.document().OpenHandleTXT(path));
    rig.text().appendLines({"x"});
    rig.actions().filter->trigger();
    const QByteArray display = rig.shown();
    const QString fixes = rig.dir.filePath(QStringLiteral("fixes.txt"));
    rig.prompter.saveAnswers = {SaveChoice::Save};
    rig.dialogs.answers = {fixes};
    rig.actions().saveText->trigger();
    QCOMPARE(rig.prompter.saveQuestions, QStringList{QStringLiteral("track.nmea")});
    QCOMPARE(WindowRig::readFile(path), kLog + "x");
    QCOMPARE(WindowRig::readFile(fixes), display);
    QVERIFY(rig.text().showsLog());
    QCOMPARE(rig.window.document().path(), fixes);
}

// Scintilla binds Ctrl+D (duplicate the line) and others; with the caret in
// the text area, the menus' shortcuts act instead.
void LogDocumentTest::menuShortcutsWinOverTheEditor()
{
    WindowRig rig;
    rig.window.show();
    rig.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    MainActions &a = rig.actions();
    QList<QAction *> actions = {
        a.newText,       a.openText,    a.openResult,  a.saveText,          a.saveResult,
        a.quit,          a.filter,      a.receiveData, a.sendData,          a.showResultPage,
        a.rs232Settings, a.preferences, a.about,       a.resultOpenShortcut};
    for (QAction *action : actions) {
        action->setEnabled(true);
        QVERIFY2(!action->shortcut().isEmpty(), qPrintable(action->objectName()));
        // Only counted: what the commands do is tested elsewhere.
        action->disconnect(SIGNAL(triggered(bool)));
        rig.text().setBytes(kLog.toStdString());
        rig.text().setFocus();
        QSignalSpy triggered(action, &QAction::triggered);
        const QKeyCombination keys = action->shortcut()[0];
        QTest::keyClick(&rig.text(), keys.key(), keys.keyboardModifiers());
        QVERIFY2(triggered.count() == 1, qPrintable(action->shortcut().toString()));
        QVERIFY2(rig.shown() == kLog, qPrintable(action->shortcut().toString()));
    }
}

// The framework's text stays as it is; the system's reason follows on a line of its own.
void LogDocumentTest::aFailedSaveSaysWhy()
{
    WindowRig rig;
    rig.text().setBytes(kLog.toStdString());
    const QString path = rig.dir.filePath(QStringLiteral("no such folder/track.nmea"));
    rig.dialogs.answers = {path};
    rig.actions().saveTextAs->trigger();
    QCOMPARE(rig.prompter.errors,
             QStringList{
                 QStringLiteral("Datei %1 kann nicht erstellt werden\nNo such file or directory").arg(path)});
    QVERIFY(rig.text().isLogModified());
}

void LogDocumentTest::aUtf16LogGetsANote()
{
    WindowRig rig;
    QByteArray utf16 = "\xFF\xFE";
    for (const char c : kLog) {
        utf16 += c;
        utf16 += '\0';
    }
    QVERIFY(rig.window.document().OpenHandleTXT(rig.writeFile(QStringLiteral("unicode.txt"), utf16)));
    QCOMPARE(rig.prompter.messages.size(), 1);
    QVERIFY2(rig.prompter.messages[0].startsWith(QStringLiteral("unicode.txt looks like UTF-16 text")),
             qPrintable(rig.prompter.messages[0]));
    QVERIFY(rig.window.document().OpenHandleTXT(rig.writeFile(QStringLiteral("plain.txt"), kLog)));
    QCOMPARE(rig.prompter.messages.size(), 1);
}

QTEST_MAIN(LogDocumentTest)
#include "logdocument_test.moc"
