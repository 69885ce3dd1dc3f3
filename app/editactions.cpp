#include "app/editactions.h"

#include "ui/nmeatextarea.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <Qsci/qsciscintilla.h>

namespace {

// The text control behind the focused widget: an editable combo box or a
// spin box works through its line edit.
QWidget *textControlOf(QWidget *focused)
{
    if (qobject_cast<QsciScintilla *>(focused) || qobject_cast<QPlainTextEdit *>(focused)
        || qobject_cast<QTextEdit *>(focused) || qobject_cast<QLineEdit *>(focused))
        return focused;
    if (auto *comboBox = qobject_cast<QComboBox *>(focused))
        return comboBox->lineEdit();
    if (qobject_cast<QAbstractSpinBox *>(focused))
        return focused->findChild<QLineEdit *>();
    return nullptr;
}

struct EditState
{
    bool canUndo = false;
    bool canCopy = false;
    bool readOnly = true;
    bool hasText = false;
};

template <class TextEdit> EditState textEditState(const TextEdit *edit)
{
    return {!edit->isReadOnly() && edit->document()->isUndoAvailable(), edit->textCursor().hasSelection(),
            edit->isReadOnly(), !edit->document()->isEmpty()};
}

EditState stateOf(const QWidget *control)
{
    if (auto *scintilla = qobject_cast<const QsciScintilla *>(control))
        // length() is an int; the message's long copes with any text size.
        return {!scintilla->isReadOnly() && scintilla->isUndoAvailable(), scintilla->hasSelectedText(),
                scintilla->isReadOnly(), scintilla->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) > 0};
    if (auto *plainTextEdit = qobject_cast<const QPlainTextEdit *>(control))
        return textEditState(plainTextEdit);
    if (auto *textEdit = qobject_cast<const QTextEdit *>(control))
        return textEditState(textEdit);
    if (auto *lineEdit = qobject_cast<const QLineEdit *>(control))
        // A password field never gives its text away.
        return {!lineEdit->isReadOnly() && lineEdit->isUndoAvailable(),
                lineEdit->hasSelectedText() && lineEdit->echoMode() == QLineEdit::Normal,
                lineEdit->isReadOnly(), !lineEdit->text().isEmpty()};
    return {};
}

// Hands the control to work as its own kind: the members share their names
// but no base class.
template <class Work> void actOn(QWidget *control, Work work)
{
    if (auto *scintilla = qobject_cast<QsciScintilla *>(control))
        work(scintilla);
    else if (auto *plainTextEdit = qobject_cast<QPlainTextEdit *>(control))
        work(plainTextEdit);
    else if (auto *textEdit = qobject_cast<QTextEdit *>(control))
        work(textEdit);
    else if (auto *lineEdit = qobject_cast<QLineEdit *>(control))
        work(lineEdit);
}

} // namespace

EditActions::EditActions(QAction *undo, QAction *cut, QAction *copy, QAction *paste, QAction *selectAll,
                         QObject *parent)
        : QObject(parent), m_undo(undo), m_cut(cut), m_copy(copy), m_paste(paste), m_selectAll(selectAll)
{
    connect(m_undo, &QAction::triggered, this, &EditActions::undo);
    connect(m_cut, &QAction::triggered, this, &EditActions::cut);
    connect(m_copy, &QAction::triggered, this, &EditActions::copy);
    connect(m_paste, &QAction::triggered, this, &EditActions::paste);
    connect(m_selectAll, &QAction::triggered, this, &EditActions::selectAll);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { followFocus(now); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &EditActions::readClipboard);
    readClipboard();
    followFocus(QApplication::focusWidget());
}

void EditActions::followFocus(QWidget *focused)
{
    QWidget *control = textControlOf(focused);
    if (control != m_control) {
        for (const QMetaObject::Connection &connection : m_controlConnections)
            disconnect(connection);
        m_controlConnections.clear();
        m_control = control;

        const auto update = [this] { updateStates(); };
        if (auto *textArea = qobject_cast<NmeaTextArea *>(control))
            m_controlConnections << connect(textArea, &NmeaTextArea::editStateChanged, this, update);
        if (auto *scintilla = qobject_cast<QsciScintilla *>(control)) {
            m_controlConnections << connect(scintilla, &QsciScintilla::textChanged, this, update)
                                 << connect(scintilla, &QsciScintilla::selectionChanged, this, update);
        } else if (auto *plainTextEdit = qobject_cast<QPlainTextEdit *>(control)) {
            m_controlConnections << connect(plainTextEdit, &QPlainTextEdit::textChanged, this, update)
                                 << connect(plainTextEdit, &QPlainTextEdit::selectionChanged, this, update)
                                 << connect(plainTextEdit, &QPlainTextEdit::undoAvailable, this, update);
        } else if (auto *textEdit = qobject_cast<QTextEdit *>(control)) {
            m_controlConnections << connect(textEdit, &QTextEdit::textChanged, this, update)
                                 << connect(textEdit, &QTextEdit::selectionChanged, this, update)
                                 << connect(textEdit, &QTextEdit::undoAvailable, this, update);
        } else if (auto *lineEdit = qobject_cast<QLineEdit *>(control)) {
            m_controlConnections << connect(lineEdit, &QLineEdit::textChanged, this, update)
                                 << connect(lineEdit, &QLineEdit::selectionChanged, this, update);
        }
    }
    updateStates();
}

void EditActions::readClipboard()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    m_clipboardHasText = mime != nullptr && mime->hasText();
    updateStates();
}

void EditActions::updateStates()
{
    const bool hasControl = m_control != nullptr;
    const EditState state = hasControl ? stateOf(m_control) : EditState{};
    m_undo->setEnabled(state.canUndo);
    m_cut->setEnabled(state.canCopy && !state.readOnly);
    m_copy->setEnabled(state.canCopy);
    m_paste->setEnabled(hasControl && m_clipboardHasText && !state.readOnly);
    m_selectAll->setEnabled(state.hasText);
}

// Each action checks the control again before it acts: the states can be
// stale, as switching a control to read-only sends no signal.
void EditActions::undo()
{
    if (stateOf(m_control).canUndo)
        actOn(m_control, [](auto *control) { control->undo(); });
    updateStates();
}

void EditActions::cut()
{
    const EditState state = stateOf(m_control);
    if (state.canCopy && !state.readOnly)
        actOn(m_control, [](auto *control) { control->cut(); });
    updateStates();
}

void EditActions::copy()
{
    if (stateOf(m_control).canCopy)
        actOn(m_control, [](auto *control) { control->copy(); });
    updateStates();
}

void EditActions::paste()
{
    if (!stateOf(m_control).readOnly)
        actOn(m_control, [](auto *control) { control->paste(); });
    updateStates();
}

void EditActions::selectAll()
{
    actOn(m_control, [](auto *control) { control->selectAll(); });
    updateStates();
}
