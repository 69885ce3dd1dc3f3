#pragma once

#include <QPointer>

class QsciScintillaBase;

// A reference to one of a text area's documents, so that a text can leave
// the view and come back without being copied.
class EditorDocument
{
public:
    EditorDocument() = default;
    // Takes a reference to the document the editor shows now.
    explicit EditorDocument(QsciScintillaBase *editor);
    // Takes a reference to a document through an editor that need not show it.
    EditorDocument(QsciScintillaBase *editor, void *document);
    ~EditorDocument();
    EditorDocument(const EditorDocument &) = delete;
    EditorDocument &operator=(const EditorDocument &) = delete;
    EditorDocument(EditorDocument &&other) noexcept;
    EditorDocument &operator=(EditorDocument &&other) noexcept;

    void *pointer() const { return m_document; }
    bool isNull() const { return m_document == nullptr; }
    void reset();

private:
    QPointer<QsciScintillaBase> m_editor;
    void *m_document = nullptr;
};
