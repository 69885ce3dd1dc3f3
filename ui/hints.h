#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QLabel;
class QPoint;
class QWidget;

// A hint is one text, or a short part, a bar "|" and a long part: the short
// part is the bubble under the mouse, the long part goes to the status bar.
struct Hint
{
    QString bubble;
    QString status;
};
Hint splitHint(const QString &hint);

void setHint(QWidget *widget, const QString &hint);
void setHint(QAction *action, const QString &hint);
// A label at a place of a form, with its object name and its hint.
QLabel *hintedLabel(QWidget *parent, const char *name, const QString &text, QPoint place,
                    const QString &hint);

// Shows the long hint of the control under the mouse (or of the nearest
// parent that has one) and of the highlighted menu item in a status panel,
// for the window and every window it owns, and the bubbles only while they
// are switched on. Bubbles of one window only: the others keep theirs.
class HintDisplay : public QObject
{
    Q_OBJECT

public:
    HintDisplay(QWidget *window, QLabel *panel);

    void setBubblesShown(bool shown);
    // Puts a status text of the window (a highlighted menu item) in the panel.
    void showStatus(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool belongsToWindow(QObject *object) const;
    bool ownedByWindow(QObject *object) const;

    QWidget *m_window;
    QPointer<QLabel> m_panel;
    bool m_bubblesShown = true;
};
