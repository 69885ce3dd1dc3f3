#include "ui/windowshortcuts.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>

bool isWindowShortcut(const QWidget *window, const QKeyEvent *event)
{
    if (event->key() == 0 || event->key() == Qt::Key_unknown)
        return false;
    const QKeySequence pressed(event->keyCombination());
    const auto owns = [&pressed](const QAction *action) {
        const QList<QKeySequence> shortcuts = action->shortcuts();
        return std::any_of(shortcuts.begin(), shortcuts.end(),
                           [&pressed](const QKeySequence &shortcut) { return shortcut == pressed; });
    };
    QList<QAction *> actions = window->findChildren<QAction *>();
    actions += window->actions();
    return std::any_of(actions.begin(), actions.end(), owns);
}
