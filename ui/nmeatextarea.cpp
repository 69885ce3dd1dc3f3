#include "ui/nmeatextarea.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFont>
#include <QMimeData>
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <algorithm>

#include "ui/textcodec.h"

namespace {

// Copies within the program carry the exact bytes beside the text, so that the
// few bytes Windows-1252 leaves undefined survive copy and paste as well.
constexpr char exactBytesFormat[] = "application/x-navorel-bytes";

// Room for received lines: with none, the first appended line would make
// Scintilla move the whole text into a larger buffer.
std::size_t appendHeadroom(std::size_t size)
{
    return std::max<std::size_t>(1 << 20, size / 32);
}

bool isLineBreak(long byte)
{
    return byte == '\r' || byte == '\n';
}

// What assistive tools get for a large text: QScintilla's own interface
// converts and counts the whole text on every change and caret move, which
// makes a keystroke at the end of 100 MB take half a second.
class LargeTextAccessible : public QAccessibleWidget
{
public:
    explicit LargeTextAccessible(NmeaTextArea *area) : QAccessibleWidget(area, QAccessible::EditableText) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return static_cast<const NmeaTextArea *>(widget())->caretLineText();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.multiLine = true;
        state.readOnly = static_cast<const NmeaTextArea *>(widget())->isReadOnly();
        state.editable = !state.readOnly;
        return state;
    }
};

QAccessibleInterface *largeTextAccessibleFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String(NmeaTextArea::staticMetaObject.className()))
        return nullptr;
    auto *area = qobject_cast<NmeaTextArea *>(object);
    // Returning nothing lets QScintilla's factory, asked after ours, build its full interface.
    if (area == nullptr || area->exposesWholeText())
        return nullptr;
    return new LargeTextAccessible(area);
}

} // namespace

NmeaTextArea::NmeaTextArea(QWidget *parent) : QsciScintilla(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(largeTextAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setFont(QFont(QStringLiteral("Arial"), 8));
    setWrapMode(WrapNone);
    setFolding(NoFoldStyle);
    for (int margin = 0; margin < SendScintilla(SCI_GETMARGINS); ++margin)
        setMarginWidth(margin, 0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The horizontal range follows the widest line drawn, not a fixed 2000 pixels.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);

    // The window's Edit actions own these keys; bound here too, Scintilla would
    // take the key before the action's shortcut sees it.
    for (QsciCommand::Command command :
         {QsciCommand::Undo, QsciCommand::SelectionCut, QsciCommand::SelectionCopy, QsciCommand::Paste,
          QsciCommand::SelectAll})
        standardCommands()->find(command)->setKey(0);

    startNewDocument({});

    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &NmeaTextArea::onUpdateUi);
}

void NmeaTextArea::setBytes(std::string_view bytes)
{
    adaptAccessibility(bytes.size(), true);
    startNewDocument(bytes);
    emit editStateChanged();
}

// Every text gets a fresh document, as only a new one can be made without
// style bytes: no lexer colours this text, and they would take a byte per
// byte of text. The undo history goes with the old document.
void NmeaTextArea::startNewDocument(std::string_view bytes)
{
    const bool readOnly = SendScintilla(SCI_GETREADONLY) != 0;
    void *document =
        reinterpret_cast<void *>(SendScintilla(SCI_CREATEDOCUMENT, 0, SC_DOCUMENTOPTION_STYLES_NONE));
    SendScintilla(SCI_SETDOCPOINTER, 0, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0, document);

    // Code page, line end mode and read-only belong to the document, not the view.
    setUtf8(false);
    setEolMode(EolWindows);
    SendScintilla(SCI_ALLOCATE, bytes.size() + appendHeadroom(bytes.size()));
    if (!bytes.empty()) {
        SendScintilla(SCI_SETUNDOCOLLECTION, 0);
        SendScintilla(SCI_APPENDTEXT, bytes.size(), bytes.data());
        SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    }
    SendScintilla(SCI_SETREADONLY, readOnly ? 1 : 0);
}

std::string NmeaTextArea::bytes() const
{
    return std::string(bytesView());
}

// Closes Scintilla's gap, which after loading and appending lies at the end
// already; after an edit further up it moves the bytes behind the edit once.
std::string_view NmeaTextArea::bytesView() const
{
    const std::size_t size = byteCount();
    if (size == 0)
        return {};
    return {static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER)), size};
}

void NmeaTextArea::clearText()
{
    setBytes({});
}

std::size_t NmeaTextArea::byteCount() const
{
    return static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH));
}

std::size_t NmeaTextArea::lineCount() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    if (length == 0)
        return 0;
    const long lines = SendScintilla(SCI_GETLINECOUNT);
    // Scintilla counts the empty line after a final break.
    return static_cast<std::size_t>(isLineBreak(SendScintilla(SCI_GETCHARAT, length - 1)) ? lines - 1
                                                                                          : lines);
}

std::string NmeaTextArea::lineAt(std::size_t index) const
{
    if (index >= lineCount())
        return {};
    const long line = static_cast<long>(index);
    const long start = SendScintilla(SCI_POSITIONFROMLINE, line);
    const long end = SendScintilla(SCI_GETLINEENDPOSITION, line);
    std::string text(static_cast<std::size_t>(end - start), '\0');
    // SCI_GETTEXTRANGE copies around the gap without moving it.
    if (end > start)
        SendScintilla(SCI_GETTEXTRANGE, start, end, text.data());
    return text;
}

void NmeaTextArea::appendLine(std::string_view line)
{
    const long length = SendScintilla(SCI_GETLENGTH);
    std::string added;
    added.reserve(line.size() + 2);
    if (length > 0 && !isLineBreak(SendScintilla(SCI_GETCHARAT, length - 1)))
        added = "\r\n";
    added += line;
    if (added.empty())
        return;
    adaptAccessibility(static_cast<std::size_t>(length) + added.size(), false);

    // A caret at the end follows the received lines, as in a terminal; one
    // elsewhere stays where the user put it.
    const bool followEnd =
        SendScintilla(SCI_GETCURRENTPOS) == length && SendScintilla(SCI_GETANCHOR) == length;
    const bool readOnly = SendScintilla(SCI_GETREADONLY) != 0;
    SendScintilla(SCI_SETREADONLY, 0);
    // Left out of the undo history, which stays valid: every step in it lies
    // before the end, where the line goes.
    SendScintilla(SCI_SETUNDOCOLLECTION, 0);
    SendScintilla(SCI_APPENDTEXT, added.size(), added.data());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_SETREADONLY, readOnly ? 1 : 0);
    if (followEnd)
        SendScintilla(SCI_GOTOPOS, SendScintilla(SCI_GETLENGTH));
    emit editStateChanged();
}

void NmeaTextArea::setAccessibleTextLimit(std::size_t bytes)
{
    m_accessibleTextLimit = bytes;
    adaptAccessibility(byteCount(), true);
}

QString NmeaTextArea::caretLineText() const
{
    const long line = SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS));
    if (static_cast<std::size_t>(line) >= lineCount())
        return {};
    return fromWindows1252(lineAt(static_cast<std::size_t>(line)));
}

// Edits only ever switch to the plain interface: flipping back and forth while
// someone types around the limit would rebuild it on every key.
void NmeaTextArea::adaptAccessibility(std::size_t expectedSize, bool mayExposeAgain)
{
    const bool exposeWholeText = expectedSize <= m_accessibleTextLimit;
    if (exposeWholeText == m_exposesWholeText || (exposeWholeText && !mayExposeAgain))
        return;
    m_exposesWholeText = exposeWholeText;
    // QScintilla's accessibility converts and counts the text on every change
    // notification, whether or not a screen reader listens.
    SendScintilla(SCI_SETMODEVENTMASK, exposeWholeText ? SC_MODEVENTMASKALL : 0);
    // The cached interface is dropped so that the factories are asked anew.
    if (QAccessibleInterface *cached = QAccessible::queryAccessibleInterface(this))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
    m_lastCaretLine = -1;
}

void NmeaTextArea::onUpdateUi(int updated)
{
    if (m_exposesWholeText)
        return;
    // Without change notifications Scintilla sends no textChanged either.
    if (updated & SC_UPDATE_CONTENT) {
        emit textChanged();
        emit editStateChanged();
    }
    if (QAccessible::isActive()) {
        const long caretLine = SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS));
        if (caretLine != m_lastCaretLine || (updated & SC_UPDATE_CONTENT)) {
            m_lastCaretLine = caretLine;
            QAccessibleValueChangeEvent event(this, caretLineText());
            QAccessible::updateAccessibility(&event);
        }
    }
}

// With a large text Scintilla reports an edit only at its next view update;
// a Ctrl+Z typed right after a key must find Undo enabled already.
void NmeaTextArea::keyPressEvent(QKeyEvent *event)
{
    QsciScintilla::keyPressEvent(event);
    if (!m_exposesWholeText)
        emit editStateChanged();
}

void NmeaTextArea::inputMethodEvent(QInputMethodEvent *event)
{
    QsciScintilla::inputMethodEvent(event);
    if (!m_exposesWholeText)
        emit editStateChanged();
}

bool NmeaTextArea::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasFormat(QLatin1String(exactBytesFormat)) || QsciScintilla::canInsertFromMimeData(source);
}

QByteArray NmeaTextArea::fromMimeData(const QMimeData *source, bool &rectangular) const
{
    QByteArray bytes = source->hasFormat(QLatin1String(exactBytesFormat))
                           ? source->data(QLatin1String(exactBytesFormat))
                           : QByteArray::fromStdString(toWindows1252(source->text()));
    rectangular = source->hasFormat(QStringLiteral("text/x-qscintilla-rectangular"));
    // Every paste and drop passes here before the text goes in: a large one
    // must not reach QScintilla's accessibility first. The switch changes no text.
    const_cast<NmeaTextArea *>(this)->adaptAccessibility(byteCount() + static_cast<std::size_t>(bytes.size()),
                                                         false);
    return bytes;
}

QMimeData *NmeaTextArea::toMimeData(const QByteArray &text, bool rectangular) const
{
    QMimeData *mime = QsciScintilla::toMimeData(text, rectangular);
    mime->setText(fromWindows1252(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))));
    mime->setData(QLatin1String(exactBytesFormat), text);
    return mime;
}
