#pragma once

#include <Qsci/qsciscintilla.h>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/logdocument.h"

class DrawThrottle;
class EditorDocument;

// The text area of the NMEA text: 8-bit Windows-1252 bytes kept exactly, CR LF
// line breaks, fast with logs of hundreds of megabytes.
//
// Ctrl+Z, X, C, V and A are left to the window's Edit actions (see
// EditActions), so that each of them acts once.
class NmeaTextArea : public QsciScintilla
{
    Q_OBJECT

public:
    // The largest text it takes, as the Windows text control it stands for.
    static constexpr std::size_t defaultCapacity = std::size_t{1} << 31;

    enum class LoadResult { Loaded, CannotOpen, TooLarge };
    using LoadProgress = std::function<void(std::size_t done, std::size_t total)>;

    explicit NmeaTextArea(QWidget *parent = nullptr);

    // Replaces the log with bytes, as they are, and shows it; not an undo step.
    void setBytes(std::string_view bytes);
    // Reads a file straight into a new log, every lone CR and LF made CR LF;
    // the text shown before stays when it fails.
    LoadResult loadFile(const std::string &path, const LoadProgress &progress = {});

    // The log: the text opened, typed, pasted or received (see LogDocument).
    // Views of other texts are shown beside it without replacing it.
    bool showsLog() const { return m_log.isShown(); }
    void showLog();
    // Shows bytes as a view of their own; the log stays aside.
    void showText(std::string_view bytes);
    // The view shown is the log from now on (it was saved as one).
    void takeShownAsLog() { m_log.takeShown(false); }
    bool isLogModified() const { return m_log.isModified(); }
    // The log's bytes, shown or not.
    std::string logBytes() const;
    void setLogSaved() { m_log.setSaved(); }
    // The whole text as bytes.
    std::string bytes() const;
    // The whole text without a copy; valid until the text next changes.
    std::string_view bytesView() const;
    std::string bytesInRange(std::size_t start, std::size_t end) const;
    void clearText();
    std::size_t byteCount() const;

    std::size_t capacity() const { return m_capacity; }
    void setCapacity(std::size_t bytes) { m_capacity = bytes; }
    // False, with the capacity message, when a text of this size does not fit.
    bool fits(std::size_t bytes) const { return bytes < m_capacity; }

    // Lines as a list of lines counts them: a line break at the very end
    // starts no further line, and an empty text has none.
    std::size_t lineCount() const;
    std::string lineAt(std::size_t index) const;
    // Adds lines at the end of the log in one step, whichever view is shown:
    // after a CR LF unless the log is empty or already ends with a line break.
    void appendLines(const std::vector<std::string> &lines);
    void appendLine(std::string_view line);

    // Texts kept aside and shown again without a copy. A view other than the
    // log shown again looks as it did when kept: edits made since are undone.
    // The log keeps its edits.
    EditorDocument keepDocument();
    void showDocument(const EditorDocument &document);
    // The state the shown text goes back to when it is left.
    void markKept();

    // The caret's line, the value assistive tools read.
    QString caretLineText() const;

signals:
    // Besides textChanged(): emitted whenever emptiness or the undo history
    // may have changed, also where Scintilla sends no change notification.
    void editStateChanged();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    QByteArray fromMimeData(const QMimeData *source, bool &rectangular) const override;
    QMimeData *toMimeData(const QByteArray &text, bool rectangular) const override;

private:
    void startNewDocument(std::string_view bytes);
    void appendAtEnd(std::string_view bytes);
    void revertToKept();
    void showFromStart();
    void onUpdateUi(int updated);

    LogDocument m_log{this};
    std::size_t m_capacity = defaultCapacity;
    long m_lastCaretLine = -1;
    DrawThrottle *m_receivedDrawing = nullptr;
};
