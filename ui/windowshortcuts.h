#pragma once

class QKeyEvent;
class QWidget;

// Whether the key pressed is the shortcut of one of the window's actions
// (its menus, tool bar, or actions added to it): a text control that binds
// keys of its own leaves these to the window.
bool isWindowShortcut(const QWidget *window, const QKeyEvent *event);
