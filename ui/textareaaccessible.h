#pragma once

#include <QAccessibleWidget>
#include <string_view>

class NmeaTextArea;

// What assistive tools see of the text area. Every byte is one character in
// Windows-1252, so an offset is a byte position: each call reads only the
// range it asks for, and a change costs the same at any text size.
// (QScintilla's own interface converts the whole text on every change and
// caret move.)
class TextAreaAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit TextAreaAccessible(NmeaTextArea *area);

    // Makes it the interface of every text area, once.
    static void install();
    // What the text area tells assistive tools, only while one listens.
    static bool isActive();
    static void announceNewText(NmeaTextArea *area);
    static void announceInserted(NmeaTextArea *area, long offset, std::string_view added);
    // moved: the caret went elsewhere; lineChanged: its line or that line's text changed.
    static void announceCaret(NmeaTextArea *area, long caret, bool moved, bool lineChanged);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    NmeaTextArea *area() const;
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
};
