#include "ui/textareaaccessible.h"

#include "ui/nmeatextarea.h"
#include "ui/textcodec.h"

TextAreaAccessible::TextAreaAccessible(NmeaTextArea *area)
        : QAccessibleWidget(area, QAccessible::EditableText)
{}

NmeaTextArea *TextAreaAccessible::area() const
{
    return static_cast<NmeaTextArea *>(widget());
}

long TextAreaAccessible::send(unsigned int message, unsigned long wParam, long lParam) const
{
    return area()->SendScintilla(message, wParam, lParam);
}

void *TextAreaAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TextAreaAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.multiLine = true;
    state.readOnly = area()->isReadOnly();
    state.editable = !state.readOnly;
    state.selectableText = true;
    return state;
}

QString TextAreaAccessible::text(QAccessible::Text kind) const
{
    // The caret's line, not the whole text: a value is read in one piece.
    if (kind == QAccessible::Value)
        return area()->caretLineText();
    return QAccessibleWidget::text(kind);
}

void TextAreaAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    *startOffset = static_cast<int>(send(QsciScintillaBase::SCI_GETSELECTIONSTART));
    *endOffset = static_cast<int>(send(QsciScintillaBase::SCI_GETSELECTIONEND));
}

int TextAreaAccessible::selectionCount() const
{
    return send(QsciScintillaBase::SCI_GETSELECTIONSTART) != send(QsciScintillaBase::SCI_GETSELECTIONEND) ? 1
                                                                                                          : 0;
}

void TextAreaAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TextAreaAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        send(QsciScintillaBase::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(cursorPosition()));
}

void TextAreaAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        send(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(startOffset), endOffset);
}

int TextAreaAccessible::cursorPosition() const
{
    return static_cast<int>(send(QsciScintillaBase::SCI_GETCURRENTPOS));
}

void TextAreaAccessible::setCursorPosition(int position)
{
    send(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(position));
}

QString TextAreaAccessible::text(int startOffset, int endOffset) const
{
    const int count = characterCount();
    startOffset = std::clamp(startOffset, 0, count);
    endOffset = std::clamp(endOffset, startOffset, count);
    return fromWindows1252(
        area()->bytesInRange(static_cast<std::size_t>(startOffset), static_cast<std::size_t>(endOffset)));
}

int TextAreaAccessible::characterCount() const
{
    return static_cast<int>(std::min<long>(send(QsciScintillaBase::SCI_GETLENGTH), INT_MAX));
}

QRect TextAreaAccessible::characterRect(int offset) const
{
    const auto position = static_cast<unsigned long>(offset);
    const int x = static_cast<int>(send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, offset));
    const int y = static_cast<int>(send(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, offset));
    const int width = static_cast<int>(send(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, offset + 1)) - x;
    const int height = static_cast<int>(
        send(QsciScintillaBase::SCI_TEXTHEIGHT,
             static_cast<unsigned long>(send(QsciScintillaBase::SCI_LINEFROMPOSITION, position))));
    const QPoint topLeft = area()->viewport()->mapToGlobal(QPoint(x, y));
    return QRect(topLeft, QSize(std::max(width, 1), height));
}

int TextAreaAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = area()->viewport()->mapFromGlobal(point);
    return static_cast<int>(send(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE,
                                 static_cast<unsigned long>(local.x()), local.y()));
}

void TextAreaAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    send(QsciScintillaBase::SCI_SCROLLRANGE, static_cast<unsigned long>(endIndex), startIndex);
}

QString TextAreaAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One look for the whole text.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

namespace {

QAccessibleInterface *textAreaAccessibleFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String(NmeaTextArea::staticMetaObject.className()))
        return nullptr;
    auto *area = qobject_cast<NmeaTextArea *>(object);
    return area == nullptr ? nullptr : new TextAreaAccessible(area);
}

} // namespace

void TextAreaAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(textAreaAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

bool TextAreaAccessible::isActive()
{
    return QAccessible::isActive();
}

void TextAreaAccessible::announceNewText(NmeaTextArea *area)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(area, QAccessible::TextUpdated);
    QAccessible::updateAccessibility(&event);
}

void TextAreaAccessible::announceInserted(NmeaTextArea *area, long offset, std::string_view added)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTextInsertEvent event(area, static_cast<int>(offset), fromWindows1252(added));
    QAccessible::updateAccessibility(&event);
}

void TextAreaAccessible::announceCaret(NmeaTextArea *area, long caret, bool moved, bool lineChanged)
{
    if (!QAccessible::isActive())
        return;
    if (moved) {
        QAccessibleTextCursorEvent event(area, static_cast<int>(caret));
        QAccessible::updateAccessibility(&event);
    }
    if (lineChanged) {
        QAccessibleValueChangeEvent event(area, area->caretLineText());
        QAccessible::updateAccessibility(&event);
    }
}
