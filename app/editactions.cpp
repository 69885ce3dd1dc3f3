#include "app/editactions.h"

#include <QAction>

EditActions::EditActions(QAction *undo, QAction *cut, QAction *copy, QAction *paste, QAction *selectAll,
                         QObject *parent)
    : QObject(parent), m_undo(undo), m_cut(cut), m_copy(copy), m_paste(paste), m_selectAll(selectAll)
{
}

void EditActions::updateStates() {}
