#include "ui/logdocument.h"

#include <Qsci/qsciscintillabase.h>

LogDocument::LogDocument(QsciScintillaBase *area) : m_area(area) {}

LogDocument::~LogDocument() = default;

void LogDocument::takeShown(bool modified)
{
    m_document = EditorDocument(m_area);
    m_area->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    m_appended = modified;
}

bool LogDocument::isShown() const
{
    return reinterpret_cast<void *>(m_area->SendScintilla(QsciScintillaBase::SCI_GETDOCPOINTER))
           == m_document.pointer();
}

long LogDocument::onLog(const std::function<long(QsciScintillaBase *)> &editorCall) const
{
    if (isShown() || m_document.isNull())
        return editorCall(m_area);
    if (!m_backstage)
        m_backstage = std::make_unique<QsciScintillaBase>();
    m_backstage->SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0, m_document.pointer());
    const long result = editorCall(m_backstage.get());
    // Let go of the log again, so that a log replaced later is freed.
    m_backstage->SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0, static_cast<void *>(nullptr));
    return result;
}

bool LogDocument::isModified() const
{
    return m_appended || onLog([](QsciScintillaBase *editor) {
                             return editor->SendScintilla(QsciScintillaBase::SCI_GETMODIFY);
                         }) != 0;
}

void LogDocument::setSaved()
{
    m_appended = false;
    onLog(
        [](QsciScintillaBase *editor) { return editor->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT); });
}
