#pragma once

#include <Qsci/qsciscintilla.h>
#include <cstddef>
#include <string>
#include <string_view>

// The text area of the NMEA text: 8-bit Windows-1252 bytes kept exactly, CR LF
// line breaks, fast with logs of hundreds of megabytes.
//
// Ctrl+Z, X, C, V and A are left to the window's Edit actions (see
// EditActions), so that each of them acts once.
class NmeaTextArea : public QsciScintilla
{
    Q_OBJECT

public:
    // Texts up to this size (some hours of a 1 Hz receiver) are exposed whole
    // to assistive tools; larger ones are announced as a plain editable field
    // with the caret's line as value.
    static constexpr std::size_t defaultAccessibleTextLimit = 4 * 1024 * 1024;

    explicit NmeaTextArea(QWidget *parent = nullptr);

    // Replaces the whole text with bytes, as they are; not an undo step.
    void setBytes(std::string_view bytes);
    // The whole text as bytes.
    std::string bytes() const;
    // The whole text without a copy; valid until the text next changes.
    std::string_view bytesView() const;
    void clearText();
    std::size_t byteCount() const;

    // Lines as a list of lines counts them: a line break at the very end
    // starts no further line, and an empty text has none.
    std::size_t lineCount() const;
    std::string lineAt(std::size_t index) const;
    // Adds a line at the end: after a CR LF unless the text is empty or
    // already ends with a line break.
    void appendLine(std::string_view line);

    void setAccessibleTextLimit(std::size_t bytes);
    std::size_t accessibleTextLimit() const { return m_accessibleTextLimit; }
    bool exposesWholeText() const { return m_exposesWholeText; }
    // The caret's line, for the plain accessible field of a large text.
    QString caretLineText() const;

signals:
    // Besides textChanged(): emitted whenever emptiness or the undo history
    // may have changed, also where Scintilla sends no change notification.
    void editStateChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    QByteArray fromMimeData(const QMimeData *source, bool &rectangular) const override;
    QMimeData *toMimeData(const QByteArray &text, bool rectangular) const override;

private:
    void startNewDocument(std::string_view bytes);
    void adaptAccessibility(std::size_t expectedSize, bool mayExposeAgain);
    void onUpdateUi(int updated);

    std::size_t m_accessibleTextLimit = defaultAccessibleTextLimit;
    bool m_exposesWholeText = true;
    long m_lastCaretLine = -1;
};
