#include "ui/nmeatextarea.h"

#include <QFont>
#include <QKeyEvent>
#include <QMimeData>
#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "filter/crlfblocks.h"
#include "ui/drawthrottle.h"
#include "ui/editordocument.h"
#include "ui/textareaaccessible.h"
#include "ui/textcodec.h"
#include "ui/windowshortcuts.h"

namespace {

// Copies within the program carry the exact bytes beside the text, so that the
// few bytes Windows-1252 leaves undefined survive copy and paste as well.
constexpr char exactBytesFormat[] = "application/x-navorel-bytes";

// Room for received lines: with none, the first appended line would make
// Scintilla move the whole text into a larger buffer.
std::size_t appendHeadroom(std::size_t size)
{
    return std::max<std::size_t>(1 << 20, size / 64);
}

bool isLineBreak(long byte)
{
    return byte == '\r' || byte == '\n';
}

// Files are read in blocks of this size into one buffer, reused.
constexpr std::size_t kLoadBlock = std::size_t{4} << 20;

} // namespace

NmeaTextArea::NmeaTextArea(QWidget *parent) : QsciScintilla(parent)
{
    TextAreaAccessible::install();

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
    // Lines received scroll the page up: the lines still shown keep their
    // layout rather than being shaped again at every append.
    SendScintilla(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);

    // The window's Edit actions own these keys; bound here too, Scintilla would
    // take the key before the action's shortcut sees it.
    for (QsciCommand::Command command :
         {QsciCommand::Undo, QsciCommand::SelectionCut, QsciCommand::SelectionCopy, QsciCommand::Paste,
          QsciCommand::SelectAll})
        standardCommands()->find(command)->setKey(0);

    startNewDocument({});
    m_log.takeShown(false);
    // QScintilla's change notifications feed its own accessibility, which
    // converts the whole text on each: the text area reports changes itself.
    SendScintilla(SCI_SETMODEVENTMASK, 0);

    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &NmeaTextArea::onUpdateUi);
    // Received lines are drawn at most every 200 ms.
    m_receivedDrawing = new DrawThrottle(viewport(), 200);
}

void NmeaTextArea::setBytes(std::string_view bytes)
{
    startNewDocument(bytes);
    m_log.takeShown(!bytes.empty());
    showFromStart();
}

void NmeaTextArea::showText(std::string_view bytes)
{
    if (!showsLog())
        revertToKept();
    startNewDocument(bytes);
    showFromStart();
}

std::string NmeaTextArea::logBytes() const
{
    std::string bytes;
    m_log.onLog([&bytes](QsciScintillaBase *log) {
        const auto length = static_cast<std::size_t>(log->SendScintilla(SCI_GETLENGTH));
        const auto *text = reinterpret_cast<const char *>(log->SendScintilla(SCI_GETCHARACTERPOINTER));
        bytes.assign(text, length);
        return 0L;
    });
    return bytes;
}

void NmeaTextArea::showLog()
{
    showDocument(m_log.document());
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

NmeaTextArea::LoadResult NmeaTextArea::loadFile(const std::string &path, const LoadProgress &progress)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return LoadResult::CannotOpen;
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return LoadResult::CannotOpen;
    }
    const std::size_t total = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
    if (!fits(total)) {
        ::close(fd);
        return LoadResult::TooLarge;
    }

    // The text shown so far comes back when the file cannot be read whole.
    const EditorDocument previous = keepDocument();
    startNewDocument({});
    SendScintilla(SCI_ALLOCATE, total + appendHeadroom(total));
    SendScintilla(SCI_SETUNDOCOLLECTION, 0);
    // From the kernel straight into the document through one block buffer.
    navorel::CrLfBlocks blocks(kLoadBlock);
    std::size_t done = 0;
    std::size_t loaded = 0;
    LoadResult result = LoadResult::Loaded;
    for (;;) {
        const ssize_t count = ::read(fd, blocks.block(), kLoadBlock);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            result = LoadResult::CannotOpen;
            break;
        }
        if (count == 0) {
            const std::string_view end = blocks.finish();
            if (!end.empty())
                SendScintilla(SCI_APPENDTEXT, end.size(), end.data());
            break;
        }
        done += static_cast<std::size_t>(count);
        const std::string_view bytes = blocks.convert(static_cast<std::size_t>(count));
        loaded += bytes.size();
        if (!fits(loaded + blocks.pendingBytes())) {
            result = LoadResult::TooLarge;
            break;
        }
        SendScintilla(SCI_APPENDTEXT, bytes.size(), bytes.data());
        if (progress)
            progress(done, std::max(total, done));
    }
    ::close(fd);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    if (result != LoadResult::Loaded) {
        showDocument(previous);
        return result;
    }
    m_log.takeShown(false);
    showFromStart();
    return result;
}

EditorDocument NmeaTextArea::keepDocument()
{
    return EditorDocument(this);
}

void NmeaTextArea::markKept()
{
    SendScintilla(SCI_SETSAVEPOINT);
}

// Undo, or redo when the user undid past it, back to where the text was kept.
void NmeaTextArea::revertToKept()
{
    const bool readOnly = SendScintilla(SCI_GETREADONLY) != 0;
    SendScintilla(SCI_SETREADONLY, 0);
    while (SendScintilla(SCI_GETMODIFY) && SendScintilla(SCI_CANUNDO))
        SendScintilla(SCI_UNDO);
    while (SendScintilla(SCI_GETMODIFY) && SendScintilla(SCI_CANREDO))
        SendScintilla(SCI_REDO);
    SendScintilla(SCI_SETREADONLY, readOnly ? 1 : 0);
}

void NmeaTextArea::showDocument(const EditorDocument &document)
{
    if (document.isNull())
        return;
    if (!showsLog())
        revertToKept();
    if (reinterpret_cast<void *>(SendScintilla(SCI_GETDOCPOINTER)) != document.pointer()) {
        const bool readOnly = SendScintilla(SCI_GETREADONLY) != 0;
        SendScintilla(SCI_SETDOCPOINTER, 0, document.pointer());
        SendScintilla(SCI_SETREADONLY, readOnly ? 1 : 0);
    }
    // A view's history starts empty, and it goes back to this state when
    // left; the log keeps its history and its changes.
    if (!showsLog()) {
        SendScintilla(SCI_EMPTYUNDOBUFFER);
        markKept();
    }
    showFromStart();
}

// A text put in the view starts at its top left, with no history of its own.
void NmeaTextArea::showFromStart()
{
    SendScintilla(SCI_SETEMPTYSELECTION, 0);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, 0);
    SendScintilla(SCI_SETXOFFSET, 0);
    TextAreaAccessible::announceNewText(this);
    emit textChanged();
    emit editStateChanged();
}

std::string NmeaTextArea::bytesInRange(std::size_t start, std::size_t end) const
{
    end = std::min(end, byteCount());
    if (end <= start)
        return {};
    std::string text(end - start, '\0');
    // SCI_GETTEXTRANGE copies around the gap without moving it.
    SendScintilla(SCI_GETTEXTRANGE, static_cast<long>(start), static_cast<long>(end), text.data());
    return text;
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
    return bytesInRange(static_cast<std::size_t>(start), static_cast<std::size_t>(end));
}

void NmeaTextArea::appendLine(std::string_view line)
{
    appendLines({std::string(line)});
}

void NmeaTextArea::appendLines(const std::vector<std::string> &lines)
{
    const long length = m_log.onLog([](QsciScintillaBase *log) { return log->SendScintilla(SCI_GETLENGTH); });
    std::size_t size = 0;
    for (const std::string &line : lines)
        size += line.size() + 2;
    std::string added;
    added.reserve(size);
    bool breakNeeded = length > 0 && !isLineBreak(m_log.onLog([length](QsciScintillaBase *log) {
                           return log->SendScintilla(SCI_GETCHARAT, length - 1);
                       }));
    for (const std::string &line : lines) {
        if (breakNeeded)
            added += "\r\n";
        added += line;
        breakNeeded = true;
    }
    if (added.empty())
        return;
    m_log.noteAppended();
    if (showsLog()) {
        appendAtEnd(added);
        return;
    }
    m_log.onLog([&added](QsciScintillaBase *log) {
        const bool readOnly = log->SendScintilla(SCI_GETREADONLY) != 0;
        log->SendScintilla(SCI_SETREADONLY, 0);
        log->SendScintilla(SCI_SETUNDOCOLLECTION, 0);
        log->SendScintilla(SCI_APPENDTEXT, added.size(), added.data());
        log->SendScintilla(SCI_SETUNDOCOLLECTION, 1);
        log->SendScintilla(SCI_SETREADONLY, readOnly ? 1 : 0);
        return 0L;
    });
}

void NmeaTextArea::appendAtEnd(std::string_view added)
{
    const long length = SendScintilla(SCI_GETLENGTH);
    // A caret at the end follows the received lines, as in a terminal; one
    // elsewhere stays where the user put it.
    const bool followEnd =
        SendScintilla(SCI_GETCURRENTPOS) == length && SendScintilla(SCI_GETANCHOR) == length;
    const bool readOnly = SendScintilla(SCI_GETREADONLY) != 0;
    SendScintilla(SCI_SETREADONLY, 0);
    // Left out of the undo history, which stays valid: every step in it lies
    // before the end, where the lines go.
    SendScintilla(SCI_SETUNDOCOLLECTION, 0);
    SendScintilla(SCI_APPENDTEXT, added.size(), added.data());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_SETREADONLY, readOnly ? 1 : 0);
    if (followEnd) {
        // Down to the newest line, never sideways: the starts of the
        // sentences stay in sight however long the lines are.
        const long end = SendScintilla(SCI_GETLENGTH);
        SendScintilla(SCI_SETEMPTYSELECTION, end);
        const long lastLine = SendScintilla(SCI_LINEFROMPOSITION, end);
        const long onScreen = std::max(1L, SendScintilla(SCI_LINESONSCREEN));
        if (lastLine >= SendScintilla(SCI_GETFIRSTVISIBLELINE) + onScreen)
            SendScintilla(SCI_SETFIRSTVISIBLELINE, lastLine - onScreen + 1);
    }
    m_receivedDrawing->changed();
    TextAreaAccessible::announceInserted(this, length, added);
    emit textChanged();
    emit editStateChanged();
}

QString NmeaTextArea::caretLineText() const
{
    const long line = SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS));
    if (static_cast<std::size_t>(line) >= lineCount())
        return {};
    return fromWindows1252(lineAt(static_cast<std::size_t>(line)));
}

void NmeaTextArea::onUpdateUi(int updated)
{
    // Without change notifications Scintilla sends no textChanged either.
    if (updated & SC_UPDATE_CONTENT) {
        emit textChanged();
        emit editStateChanged();
    }
    if (TextAreaAccessible::isActive()) {
        const long caret = SendScintilla(SCI_GETCURRENTPOS);
        const long caretLine = SendScintilla(SCI_LINEFROMPOSITION, caret);
        const bool lineChanged = caretLine != m_lastCaretLine || (updated & SC_UPDATE_CONTENT);
        m_lastCaretLine = caretLine;
        TextAreaAccessible::announceCaret(this, caret, updated & SC_UPDATE_SELECTION, lineChanged);
    }
}

bool NmeaTextArea::event(QEvent *event)
{
    // Scintilla claims every key it has a binding for (Ctrl+D duplicates the
    // line): the shortcuts of the window's menus and actions win over them.
    if (event->type() == QEvent::ShortcutOverride
        && isWindowShortcut(window(), static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    return QsciScintilla::event(event);
}

// With a large text Scintilla reports an edit only at its next view update;
// a Ctrl+Z typed right after a key must find Undo enabled already.
void NmeaTextArea::keyPressEvent(QKeyEvent *event)
{
    QsciScintilla::keyPressEvent(event);
    emit editStateChanged();
}

void NmeaTextArea::inputMethodEvent(QInputMethodEvent *event)
{
    QsciScintilla::inputMethodEvent(event);
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
    return bytes;
}

QMimeData *NmeaTextArea::toMimeData(const QByteArray &text, bool rectangular) const
{
    QMimeData *mime = QsciScintilla::toMimeData(text, rectangular);
    mime->setText(fromWindows1252(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))));
    mime->setData(QLatin1String(exactBytesFormat), text);
    return mime;
}
