#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

// Undo, Cut, Copy, Paste and Select All of the Edit menu: each works on the
// text control that has the keyboard focus and is enabled only while it can
// act there (Cut and Copy with a selection, Paste with text on the
// clipboard, Select All with any text, Undo with a step to undo).
//
// Text controls are QsciScintilla (NmeaTextArea), QPlainTextEdit, QTextEdit
// and QLineEdit, also inside an editable QComboBox or a QAbstractSpinBox.
// With any other widget focused the five actions are disabled.
class EditActions : public QObject
{
    Q_OBJECT

public:
    EditActions(QAction *undo, QAction *cut, QAction *copy, QAction *paste, QAction *selectAll,
                QObject *parent = nullptr);

    // Sets the enabled states anew for the focused control.
    void updateStates();

private:
    void followFocus(QWidget *focused);
    void readClipboard();
    void undo();
    void cut();
    void copy();
    void paste();
    void selectAll();

    QAction *m_undo;
    QAction *m_cut;
    QAction *m_copy;
    QAction *m_paste;
    QAction *m_selectAll;

    QPointer<QWidget> m_control;
    QList<QMetaObject::Connection> m_controlConnections;
    // Asked once per clipboard change: on X11 asking the clipboard's owner
    // is a round trip, too slow for every caret move.
    bool m_clipboardHasText = false;
};
