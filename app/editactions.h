#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

// Undo, Cut, Copy, Paste and Select All of the Edit menu: each works on the
// text control that has the keyboard focus and is enabled only while it can
// act there (Cut and Copy with a selection, Paste with text on the
// clipboard, Select All with any text, Undo with a step to undo).
class EditActions : public QObject
{
    Q_OBJECT

public:
    EditActions(QAction *undo, QAction *cut, QAction *copy, QAction *paste, QAction *selectAll,
                QObject *parent = nullptr);

    // Sets the enabled states anew for the focused control.
    void updateStates();

private:
    QAction *m_undo;
    QAction *m_cut;
    QAction *m_copy;
    QAction *m_paste;
    QAction *m_selectAll;
};
