#include "ui/editordocument.h"

#include <Qsci/qsciscintillabase.h>
#include <utility>

EditorDocument::EditorDocument(QsciScintillaBase *editor)
        : EditorDocument(
            editor, reinterpret_cast<void *>(editor->SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER)))
{}

EditorDocument::EditorDocument(QsciScintillaBase *editor, void *document)
        : m_editor(editor), m_document(document)
{
    editor->SendScintilla(QsciScintillaBase::SCI_ADDREFDOCUMENT, 0, m_document);
}

EditorDocument::~EditorDocument()
{
    reset();
}

EditorDocument::EditorDocument(EditorDocument &&other) noexcept
        : m_editor(std::move(other.m_editor)), m_document(std::exchange(other.m_document, nullptr))
{}

EditorDocument &EditorDocument::operator=(EditorDocument &&other) noexcept
{
    if (this != &other) {
        reset();
        m_editor = std::move(other.m_editor);
        m_document = std::exchange(other.m_document, nullptr);
    }
    return *this;
}

void EditorDocument::reset()
{
    // Without its editor the document went with the program's end.
    if (m_document != nullptr && m_editor)
        m_editor->SendScintilla(QsciScintillaBase::SCI_RELEASEDOCUMENT, 0, m_document);
    m_document = nullptr;
    m_editor.clear();
}
