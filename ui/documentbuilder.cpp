#include "ui/documentbuilder.h"

#include <algorithm>

DocumentBuilder::DocumentBuilder(QsciScintillaBase *area, std::size_t sourceBytes)
        : m_area(area), m_editor(std::make_unique<QsciScintillaBase>()), m_sourceBytes(sourceBytes)
{
    // As the text area makes its documents: 8-bit, CR LF, no style bytes,
    // no undo history and no change notifications while it fills.
    QsciScintillaBase &editor = *m_editor;
    void *document = reinterpret_cast<void *>(editor.SendScintilla(
        QsciScintillaBase::SCI_CREATEDOCUMENT, 0, QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE));
    editor.SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0, document);
    editor.SendScintilla(QsciScintillaBase::SCI_RELEASEDOCUMENT, 0, document);
    editor.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0);
    editor.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0);
    editor.SendScintilla(QsciScintillaBase::SCI_SETEOLMODE, QsciScintillaBase::SC_EOL_CRLF);
    editor.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0);
}

DocumentBuilder::~DocumentBuilder() = default;

// The lines so far go with the source read so far: room for the whole
// result at that rate and a twentieth more, so that the buffer moves seldom.
void DocumentBuilder::makeRoom(std::size_t length, std::size_t sourceRead)
{
    if (length <= m_room)
        return;
    std::size_t room = length + length / 64;
    if (sourceRead > 0 && sourceRead < m_sourceBytes) {
        const double rate = static_cast<double>(length) / static_cast<double>(sourceRead);
        room = std::max(room, static_cast<std::size_t>(rate * static_cast<double>(m_sourceBytes) * 1.05));
    }
    m_editor->SendScintilla(QsciScintillaBase::SCI_ALLOCATE, static_cast<unsigned long>(room));
    m_room = room;
}

void DocumentBuilder::appendLines(std::string_view lines, std::size_t sourceRead)
{
    if (lines.empty())
        return;
    if (lines.ends_with("\r\n"))
        lines.remove_suffix(2);
    const std::size_t separator = m_hasLines ? 2 : 0;
    m_hasLines = true;
    makeRoom(m_length + separator + lines.size(), sourceRead);
    if (separator > 0)
        m_editor->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, 2UL, "\r\n");
    m_editor->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(lines.size()),
                            lines.data());
    m_length += separator + lines.size();
}

EditorDocument DocumentBuilder::take()
{
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1);
    EditorDocument document(
        m_area, reinterpret_cast<void *>(m_editor->SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER)));
    m_editor.reset();
    return document;
}
