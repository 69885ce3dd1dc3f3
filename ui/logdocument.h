#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "ui/editordocument.h"

class QsciScintillaBase;

// The log among a text area's documents: the text that was opened, typed,
// pasted or received. The other views of the area (the fixes of a filter
// run, an opened result file) are shown beside it and never take its place,
// so that the log is what a run filters, what "Save Text" writes and what
// received lines are added to, whichever view is shown.
class LogDocument
{
public:
    explicit LogDocument(QsciScintillaBase *area);
    ~LogDocument();
    LogDocument(const LogDocument &) = delete;
    LogDocument &operator=(const LogDocument &) = delete;

    // The document the area shows now is the log from here on; modified
    // when its text came from no file (pasted whole, say).
    void takeShown(bool modified);
    bool isShown() const;
    const EditorDocument &document() const { return m_document; }

    // Runs editorCall with an editor that shows the log: the area itself,
    // or, while another view is shown there, an editor that is never shown.
    long onLog(const std::function<long(QsciScintillaBase *)> &editorCall) const;

    // Edits since it was opened or saved, or received lines not yet saved.
    bool isModified() const;
    void setSaved();
    // Lines were added at its end by the program (received), not by an edit.
    void noteAppended() { m_appended = true; }

private:
    QsciScintillaBase *m_area;
    EditorDocument m_document;
    mutable std::unique_ptr<QsciScintillaBase> m_backstage; // made when first needed
    bool m_appended = false;
};
