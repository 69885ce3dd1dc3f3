#pragma once

#include <QObject>

class QAction;
class QTabWidget;
class QWidget;

// Keys that reach the chart pages without a mouse, from anywhere in the
// window: Ctrl+Tab and Ctrl+Shift+Tab step through the pages, Ctrl+1 to
// Ctrl+3 choose one, Ctrl+M and F6 move the focus between the text area
// and the charts. They are actions of the window, so the text area, which
// takes Tab for itself, leaves them to it (see isWindowShortcut).
class KeyboardPath : public QObject
{
    Q_OBJECT

public:
    KeyboardPath(QWidget *window, QWidget *textArea, QTabWidget *pages);

    QAction *nextPage() const { return m_nextPage; }
    QAction *previousPage() const { return m_previousPage; }
    QAction *switchFocus() const { return m_switchFocus; }

private:
    void stepPage(int step);
    void moveFocus();

    QWidget *m_textArea;
    QTabWidget *m_pages;
    QAction *m_nextPage;
    QAction *m_previousPage;
    QAction *m_switchFocus;
};
