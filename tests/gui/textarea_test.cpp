// The text area and the Edit actions, on the offscreen platform.

#include "app/editactions.h"
#include "ui/nmeatextarea.h"
#include "ui/textcodec.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <memory>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(Lines)

namespace {

std::string everyByte(int first)
{
    std::string bytes;
    for (int value = first; value <= 0xFF; ++value)
        bytes += static_cast<char>(value);
    return bytes;
}

// Shows a byte string readably when a comparison fails.
QByteArray printable(const std::string &bytes)
{
    return QByteArray::fromStdString(bytes).toPercentEncoding(" $,.*");
}

#define COMPARE_BYTES(actual, expected) QCOMPARE(printable(actual), printable(expected))

std::string dayOfLogging()
{
    std::string log;
    while (log.size() < (5 << 20))
        log += "$GPGGA,101500.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    return log;
}

void moveCaretToEnd(NmeaTextArea &area)
{
    area.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
}

} // namespace

class TextAreaTest : public QObject
{
    Q_OBJECT

private slots:
    void bytesRoundTrip_data();
    void bytesRoundTrip();
    void undoOfTypingRestoresBytes();
    void receivedLinesAreDrawnTogetherSoon();
    void editInTheMiddleKeepsTheRest();
    void copyAndPasteWithinTheProgramKeepBytes();
    void copiedTextReadsAsWindows1252();
    void pasteConvertsLineEndsAndCharacters_data();
    void pasteConvertsLineEndsAndCharacters();
    void lines_data();
    void lines();
    void appendLine_data();
    void appendLine();
    void appendedLinesStayWhenTypingIsUndone();
    void caretAtTheEndFollowsAppendedLines();
    void readCycleIsOneEditFollowedDownwardsOnly();
    void setBytesIsNoUndoStepButTypingIs();
    void readOnlyAreaStillTakesNewText();
    void plainTextLayout();
    void tabKeyInsertsTab();
    void accessibility_data();
    void accessibility();
};

void TextAreaTest::bytesRoundTrip_data()
{
    QTest::addColumn<std::string>("bytes");
    QTest::newRow("bytes 0x01-0xFF") << everyByte(0x01);
    QTest::newRow("NUL inside") << std::string("a\0b\r\n\0", 6);
    QTest::newRow("CR LF kept") << std::string("$GPGGA\r\n$GPRMC\r\n");
    QTest::newRow("degree sign") << std::string("\xB0");
    QTest::newRow("Windows-1252 only") << std::string("\x80\x81\x8D\x8F\x90\x9D\x9F");
    QTest::newRow("empty") << std::string();
}

void TextAreaTest::bytesRoundTrip()
{
    QFETCH(std::string, bytes);
    NmeaTextArea area;
    area.setBytes("something before");
    area.setBytes(bytes);
    COMPARE_BYTES(area.bytes(), bytes);
    QCOMPARE(area.byteCount(), bytes.size());
}

void TextAreaTest::receivedLinesAreDrawnTogetherSoon()
{
    NmeaTextArea area;
    area.show();
    // Reads in quick succession: none of them drawn on its own...
    for (int read = 0; read < 5; ++read)
        area.appendLines({"$GPGSA,A,3,02,04,05,,,,,,,,,,1.8,1.1,1.4*38"});
    QVERIFY(!area.viewport()->updatesEnabled());
    // ...and all of them soon after, the area never left undrawn.
    QTRY_VERIFY_WITH_TIMEOUT(area.viewport()->updatesEnabled(), 1000);
    QCOMPARE(area.lineCount(), std::size_t{5});
}

void TextAreaTest::undoOfTypingRestoresBytes()
{
    const std::string original = everyByte(0x01) + "\r\n";
    NmeaTextArea area;
    area.setBytes(original);
    moveCaretToEnd(area);
    QTest::keyClicks(&area, "x");
    COMPARE_BYTES(area.bytes(), original + "x");
    area.undo();
    COMPARE_BYTES(area.bytes(), original);
}

void TextAreaTest::editInTheMiddleKeepsTheRest()
{
    NmeaTextArea area;
    area.setBytes("$GPRMC\r\n$GPGGA\r\n");
    area.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 1);
    QTest::keyClicks(&area, "x");
    COMPARE_BYTES(area.bytes(), std::string("$xGPRMC\r\n$GPGGA\r\n"));
    area.appendLine("$GPGSA");
    COMPARE_BYTES(std::string(area.bytesView()), std::string("$xGPRMC\r\n$GPGGA\r\n$GPGSA"));
    COMPARE_BYTES(area.lineAt(1), std::string("$GPGGA"));
}

void TextAreaTest::copyAndPasteWithinTheProgramKeepBytes()
{
    // Lone CR and LF aside, which paste turns into CR LF, and NUL, which
    // Scintilla copies as a blank since clipboard text cannot hold it.
    std::string original = everyByte(0x01);
    std::erase_if(original, [](char byte) { return byte == '\r' || byte == '\n'; });
    original += "\r\nend";
    NmeaTextArea area;
    area.setBytes(original);
    area.selectAll();
    area.copy();
    area.setBytes({});
    area.paste();
    COMPARE_BYTES(area.bytes(), original);
}

void TextAreaTest::copiedTextReadsAsWindows1252()
{
    NmeaTextArea area;
    area.setBytes("\x80 48\xB0");
    area.selectAll();
    area.copy();
    QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8("\u20AC 48\u00B0"));
}

void TextAreaTest::pasteConvertsLineEndsAndCharacters_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<std::string>("bytes");
    QTest::newRow("LF") << QString("a\nb\n") << std::string("a\r\nb\r\n");
    QTest::newRow("lone CR") << QString("a\rb") << std::string("a\r\nb");
    QTest::newRow("CR LF") << QString("a\r\nb") << std::string("a\r\nb");
    QTest::newRow("euro and degree") << QString::fromUtf8("\u20AC\u00B0") << std::string("\x80\xB0");
}

void TextAreaTest::pasteConvertsLineEndsAndCharacters()
{
    QFETCH(QString, clipboard);
    QFETCH(std::string, bytes);
    QApplication::clipboard()->setText(clipboard);
    NmeaTextArea area;
    area.paste();
    COMPARE_BYTES(area.bytes(), bytes);
}

void TextAreaTest::lines_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<Lines>("lines");
    QTest::newRow("empty") << std::string() << Lines{};
    QTest::newRow("one line, no break") << std::string("a") << Lines{"a"};
    QTest::newRow("one line, break") << std::string("a\r\n") << Lines{"a"};
    QTest::newRow("last line without break") << std::string("a\r\nb") << Lines{"a", "b"};
    QTest::newRow("empty last line") << std::string("a\r\n\r\n") << Lines{"a", ""};
    QTest::newRow("only a break") << std::string("\r\n") << Lines{""};
    QTest::newRow("sentences") << std::string("$GPRMC,1\r\n$GPGGA,2\r\n$GPGSA,3")
                               << Lines{"$GPRMC,1", "$GPGGA,2", "$GPGSA,3"};
    QTest::newRow("lone CR and LF typed in") << std::string("a\rb\nc\n") << Lines{"a", "b", "c"};
}

void TextAreaTest::lines()
{
    QFETCH(std::string, text);
    QFETCH(Lines, lines);
    NmeaTextArea area;
    area.setBytes(text);
    QCOMPARE(area.lineCount(), lines.size());
    for (std::size_t index = 0; index < lines.size(); ++index)
        COMPARE_BYTES(area.lineAt(index), lines[index]);
    COMPARE_BYTES(area.lineAt(lines.size()), std::string());
}

void TextAreaTest::appendLine_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<std::string>("line");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("onto empty text") << std::string() << std::string("$GPRMC") << std::string("$GPRMC");
    QTest::newRow("onto text ending with break")
        << std::string("a\r\n") << std::string("$GPRMC") << std::string("a\r\n$GPRMC");
    QTest::newRow("onto text without break")
        << std::string("a") << std::string("$GPRMC") << std::string("a\r\n$GPRMC");
    QTest::newRow("onto text ending with an empty line")
        << std::string("a\r\n\r\n") << std::string("b") << std::string("a\r\n\r\nb");
    QTest::newRow("high bytes") << std::string("a") << std::string("\xB0\x80")
                                << std::string("a\r\n\xB0\x80");
}

void TextAreaTest::appendLine()
{
    QFETCH(std::string, text);
    QFETCH(std::string, line);
    QFETCH(std::string, expected);
    NmeaTextArea area;
    area.setBytes(text);
    area.appendLine(line);
    COMPARE_BYTES(area.bytes(), expected);
    COMPARE_BYTES(area.lineAt(area.lineCount() - 1), line);
}

void TextAreaTest::appendedLinesStayWhenTypingIsUndone()
{
    NmeaTextArea area;
    area.setBytes("a\r\n");
    moveCaretToEnd(area);
    QTest::keyClicks(&area, "xy");
    area.appendLine("$GPRMC");
    area.appendLine("$GPGGA");
    while (area.isUndoAvailable())
        area.undo();
    COMPARE_BYTES(area.bytes(), std::string("a\r\n\r\n$GPRMC\r\n$GPGGA"));
}

void TextAreaTest::caretAtTheEndFollowsAppendedLines()
{
    NmeaTextArea area;
    area.setBytes("a\r\n");
    moveCaretToEnd(area);
    area.appendLine("$GPRMC");
    QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 9L);

    area.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 1);
    area.appendLine("$GPGGA");
    QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 1L);
}

void TextAreaTest::readCycleIsOneEditFollowedDownwardsOnly()
{
    NmeaTextArea area;
    area.resize(200, 100);
    area.show();
    area.setBytes("a\r\n");
    moveCaretToEnd(area);
    QSignalSpy changes(&area, &NmeaTextArea::textChanged);
    const std::string wide = "$GPRMC" + std::string(300, ',') + "*00";
    area.appendLines(Lines(40, wide));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(area.lineCount(), std::size_t{41});
    QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), static_cast<long>(area.byteCount()));
    QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_GETXOFFSET), 0L);
    const long firstShown = area.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    QVERIFY(firstShown + area.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN) >= 41);
}

void TextAreaTest::setBytesIsNoUndoStepButTypingIs()
{
    NmeaTextArea area;
    area.setBytes("old");
    area.setBytes("new");
    QVERIFY(!area.isUndoAvailable());
    area.undo();
    COMPARE_BYTES(area.bytes(), std::string("new"));

    moveCaretToEnd(area);
    QTest::keyClicks(&area, "x");
    QVERIFY(area.isUndoAvailable());
    area.clearText();
    QVERIFY(!area.isUndoAvailable());
}

void TextAreaTest::readOnlyAreaStillTakesNewText()
{
    NmeaTextArea area;
    area.setReadOnly(true);
    area.setBytes("a");
    area.appendLine("b");
    COMPARE_BYTES(area.bytes(), std::string("a\r\nb"));
    QVERIFY(area.isReadOnly());
    QTest::keyClicks(&area, "x");
    COMPARE_BYTES(area.bytes(), std::string("a\r\nb"));
}

void TextAreaTest::plainTextLayout()
{
    NmeaTextArea area;
    area.setBytes("$GPRMC\r\n");
    QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, 0), 8L);
    QCOMPARE(area.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, QsciScintillaBase::STYLE_DEFAULT), 8L);
    QCOMPARE(area.eolMode(), QsciScintilla::EolWindows);
    QVERIFY(!area.isUtf8());
    QCOMPARE(area.wrapMode(), QsciScintilla::WrapNone);
    QCOMPARE(area.lexer(), nullptr);
    for (int margin = 0; margin < area.SendScintilla(QsciScintillaBase::SCI_GETMARGINS); ++margin)
        QCOMPARE(area.marginWidth(margin), 0);
    QCOMPARE(area.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(area.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // A byte of style for every byte of text would be a third of the memory.
    QVERIFY(area.SendScintilla(QsciScintillaBase::SCI_GETDOCUMENTOPTIONS)
            & QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE);
}

void TextAreaTest::tabKeyInsertsTab()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *area = new NmeaTextArea;
    auto *next = new QLineEdit;
    layout->addWidget(area);
    layout->addWidget(next);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    area->setFocus();
    QTest::keyClick(area, Qt::Key_Tab);
    COMPARE_BYTES(area->bytes(), std::string("\t"));
    QCOMPARE(QApplication::focusWidget(), area);
}

void TextAreaTest::accessibility_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<std::string>("appended");
    QTest::newRow("empty") << std::string() << std::string();
    QTest::newRow("log") << std::string("$GPRMC\r\n\xB0\x80") << std::string();
    QTest::newRow("grown by appending") << std::string("a") << std::string("$GPGGA");
    QTest::newRow("a day of logging") << dayOfLogging() << std::string("$GPGGA");
}

// Offsets are byte positions, so a reader gets any range without the whole text.
void TextAreaTest::accessibility()
{
    QFETCH(std::string, text);
    QFETCH(std::string, appended);
    NmeaTextArea area;
    area.setBytes(text);
    if (!appended.empty())
        area.appendLine(appended);

    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&area);
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QAccessibleTextInterface *textInterface = accessible->textInterface();
    QVERIFY(textInterface != nullptr);
    const int count = static_cast<int>(area.byteCount());
    QCOMPARE(textInterface->characterCount(), count);
    QCOMPARE(textInterface->text(0, count), fromWindows1252(area.bytes()));
    if (count >= 3)
        QCOMPARE(textInterface->text(1, 3), fromWindows1252(area.bytes().substr(1, 2)));
    area.SendScintilla(QsciScintillaBase::SCI_DOCUMENTSTART);
    QCOMPARE(accessible->text(QAccessible::Value), fromWindows1252(area.lineAt(0)));
}

class EditActionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void copyAndCutFollowTheSelection();
    void selectAllNeedsText();
    void undoFollowsTyping();
    void pasteFollowsTheClipboard();
    void readOnlyControlNeverEnablesCutOrPaste_data();
    void readOnlyControlNeverEnablesCutOrPaste();
    void actionsActOnTheFocusedControl_data();
    void actionsActOnTheFocusedControl();
    void nothingEnabledWithoutTextControl();
    void shortcutsActOnceInTheTextArea();

private:
    void focus(QWidget *widget);
    // "uccpa": each action's state as a letter, upper case when enabled.
    QString states() const;

    std::unique_ptr<QWidget> m_window;
    NmeaTextArea *m_area = nullptr;
    QPlainTextEdit *m_view = nullptr;
    QLineEdit *m_line = nullptr;
    QPushButton *m_button = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_cut = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;
    QAction *m_selectAll = nullptr;
    EditActions *m_actions = nullptr;
};

void EditActionsTest::init()
{
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    m_area = new NmeaTextArea;
    m_view = new QPlainTextEdit(QStringLiteral("filter report"));
    m_view->setReadOnly(true);
    m_line = new QLineEdit;
    m_button = new QPushButton(QStringLiteral("button"));
    for (QWidget *widget : {static_cast<QWidget *>(m_area), static_cast<QWidget *>(m_view),
                            static_cast<QWidget *>(m_line), static_cast<QWidget *>(m_button)})
        layout->addWidget(widget);

    const auto action = [this](const char *text, QKeySequence::StandardKey key) {
        auto *created = new QAction(QString::fromLatin1(text), m_window.get());
        created->setShortcut(key);
        m_window->addAction(created);
        return created;
    };
    m_undo = action("Undo", QKeySequence::Undo);
    m_cut = action("Cut", QKeySequence::Cut);
    m_copy = action("Copy", QKeySequence::Copy);
    m_paste = action("Paste", QKeySequence::Paste);
    m_selectAll = action("Select All", QKeySequence::SelectAll);
    m_actions = new EditActions(m_undo, m_cut, m_copy, m_paste, m_selectAll, m_window.get());

    QApplication::clipboard()->clear();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void EditActionsTest::cleanup()
{
    m_window.reset();
}

void EditActionsTest::focus(QWidget *widget)
{
    widget->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), widget);
}

QString EditActionsTest::states() const
{
    QString letters;
    for (const auto &[action, letter] :
         {std::pair{m_undo, 'u'}, std::pair{m_cut, 'x'}, std::pair{m_copy, 'c'}, std::pair{m_paste, 'v'},
          std::pair{m_selectAll, 'a'}})
        letters += action->isEnabled() ? QChar(letter).toUpper() : QChar(letter);
    return letters;
}

void EditActionsTest::copyAndCutFollowTheSelection()
{
    m_area->setBytes("$GPRMC\r\n");
    focus(m_area);
    QCOMPARE(states(), QString("uxcvA"));
    m_area->setSelection(0, 1, 0, 3);
    QCOMPARE(states(), QString("uXCvA"));
    m_area->setSelection(0, 2, 0, 2);
    QCOMPARE(states(), QString("uxcvA"));
}

void EditActionsTest::selectAllNeedsText()
{
    focus(m_area);
    QVERIFY(!m_selectAll->isEnabled());
    m_area->setBytes("a");
    QVERIFY(m_selectAll->isEnabled());
    m_area->clearText();
    QVERIFY(!m_selectAll->isEnabled());
    m_area->appendLine("$GPRMC");
    QVERIFY(m_selectAll->isEnabled());
    m_area->clearText();
    QTest::keyClicks(m_area, "x");
    QVERIFY(m_selectAll->isEnabled());
    QTest::keyClick(m_area, Qt::Key_Backspace);
    QVERIFY(!m_selectAll->isEnabled());
}

void EditActionsTest::undoFollowsTyping()
{
    m_area->setBytes("$GP");
    focus(m_area);
    QVERIFY(!m_undo->isEnabled());
    m_area->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    QTest::keyClicks(m_area, "RMC");
    QVERIFY(m_undo->isEnabled());
    m_undo->trigger();
    COMPARE_BYTES(m_area->bytes(), std::string("$GP"));
    QVERIFY(!m_undo->isEnabled());
    m_area->setBytes("$GPGGA");
    QVERIFY(!m_undo->isEnabled());
}

void EditActionsTest::pasteFollowsTheClipboard()
{
    focus(m_area);
    QVERIFY(!m_paste->isEnabled());
    QApplication::clipboard()->setText(QStringLiteral("$GPRMC"));
    QVERIFY(m_paste->isEnabled());
    QApplication::clipboard()->clear();
    QVERIFY(!m_paste->isEnabled());
    auto *image = new QMimeData;
    image->setImageData(QImage(2, 2, QImage::Format_RGB32));
    QApplication::clipboard()->setMimeData(image);
    QVERIFY(!m_paste->isEnabled());
}

void EditActionsTest::readOnlyControlNeverEnablesCutOrPaste_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("result view") << QString("view");
    QTest::newRow("read-only text area") << QString("area");
    QTest::newRow("read-only line edit") << QString("line");
}

void EditActionsTest::readOnlyControlNeverEnablesCutOrPaste()
{
    QFETCH(QString, control);
    m_area->setBytes("$GPRMC");
    m_area->setReadOnly(true);
    m_line->setText(QStringLiteral("$GPRMC"));
    m_line->setReadOnly(true);
    QWidget *widget = control == "view"   ? static_cast<QWidget *>(m_view)
                      : control == "area" ? static_cast<QWidget *>(m_area)
                                          : static_cast<QWidget *>(m_line);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    focus(widget);
    m_selectAll->trigger();
    QTRY_COMPARE(states(), QString("uxCvA"));
    m_cut->trigger();
    m_paste->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QString("pasted"));
    m_copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(),
             control == "view" ? QString("filter report") : QString("$GPRMC"));
}

void EditActionsTest::actionsActOnTheFocusedControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("text area") << QString("area");
    QTest::newRow("line edit") << QString("line");
}

void EditActionsTest::actionsActOnTheFocusedControl()
{
    QFETCH(QString, control);
    m_area->setBytes("area text");
    m_line->setText(QStringLiteral("line text"));
    const bool onArea = control == "area";
    QWidget *focused = onArea ? static_cast<QWidget *>(m_area) : static_cast<QWidget *>(m_line);
    const auto textOf = [&](bool area) {
        return area ? QString::fromStdString(m_area->bytes()) : m_line->text();
    };
    focus(focused);

    m_selectAll->trigger();
    QTRY_VERIFY(m_copy->isEnabled());
    m_copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), textOf(onArea));
    m_cut->trigger();
    QCOMPARE(textOf(onArea), QString());
    QCOMPARE(textOf(!onArea), onArea ? QString("line text") : QString("area text"));
    QTRY_VERIFY(m_undo->isEnabled());
    m_undo->trigger();
    QCOMPARE(textOf(onArea), onArea ? QString("area text") : QString("line text"));
    m_paste->trigger();
    QCOMPARE(textOf(!onArea), onArea ? QString("line text") : QString("area text"));
}

void EditActionsTest::nothingEnabledWithoutTextControl()
{
    m_area->setBytes("$GPRMC");
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    focus(m_area);
    m_selectAll->trigger();
    QTRY_COMPARE(states(), QString("uXCVA"));
    focus(m_button);
    QCOMPARE(states(), QString("uxcva"));
}

void EditActionsTest::shortcutsActOnceInTheTextArea()
{
    m_area->setBytes("$GPRMC");
    focus(m_area);
    QSignalSpy selectAllSpy(m_selectAll, &QAction::triggered);
    QSignalSpy copySpy(m_copy, &QAction::triggered);
    QSignalSpy pasteSpy(m_paste, &QAction::triggered);
    QSignalSpy undoSpy(m_undo, &QAction::triggered);

    QTest::keyClick(m_area, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(selectAllSpy.count(), 1);
    QTRY_VERIFY(m_copy->isEnabled());
    QTest::keyClick(m_area, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copySpy.count(), 1);
    QCOMPARE(QApplication::clipboard()->text(), QString("$GPRMC"));

    m_area->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    QApplication::clipboard()->setText(QStringLiteral("\n$GPGGA"));
    QTest::keyClick(m_area, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(pasteSpy.count(), 1);
    COMPARE_BYTES(m_area->bytes(), std::string("$GPRMC\r\n$GPGGA"));

    QTRY_VERIFY(m_undo->isEnabled());
    QTest::keyClick(m_area, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(undoSpy.count(), 1);
    COMPARE_BYTES(m_area->bytes(), std::string("$GPRMC"));
}

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    TextAreaTest textArea;
    EditActionsTest editActions;
    return QTest::qExec(&textArea, argc, argv) | QTest::qExec(&editActions, argc, argv);
}

#include "textarea_test.moc"
