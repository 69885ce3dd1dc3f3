#include "ui/hints.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace {

// Widgets keep the long part here: Qt's own status tips would also be sent
// on leaving a control, which would blank the parent's hint.
const char *const kStatusHint = "navorelStatusHint";

} // namespace

Hint splitHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return {hint, hint};
    return {hint.left(bar), hint.mid(bar + 1)};
}

QLabel *hintedLabel(QWidget *parent, const char *name, const QString &text, QPoint place, const QString &hint)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(place);
    setHint(label, hint);
    return label;
}

void setHint(QWidget *widget, const QString &hint)
{
    const Hint parts = splitHint(hint);
    widget->setToolTip(parts.bubble);
    widget->setProperty(kStatusHint, parts.status);
}

void setHint(QAction *action, const QString &hint)
{
    const Hint parts = splitHint(hint);
    action->setToolTip(parts.bubble);
    action->setStatusTip(parts.status);
}

HintDisplay::HintDisplay(QWidget *window, QLabel *panel) : QObject(window), m_window(window), m_panel(panel)
{
    qApp->installEventFilter(this);
}

void HintDisplay::setBubblesShown(bool shown)
{
    m_bubblesShown = shown;
}

void HintDisplay::showStatus(const QString &text)
{
    if (m_panel)
        m_panel->setText(text);
}

bool HintDisplay::belongsToWindow(QObject *object) const
{
    const auto *widget = qobject_cast<QWidget *>(object);
    return widget != nullptr && widget->window() == m_window;
}

bool HintDisplay::ownedByWindow(QObject *object) const
{
    const auto *widget = qobject_cast<QWidget *>(object);
    for (const QWidget *window = widget ? widget->window() : nullptr; window != nullptr;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
        if (window == m_window)
            return true;
    }
    return false;
}

bool HintDisplay::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        if (!m_bubblesShown && belongsToWindow(watched))
            return true;
        break;
    case QEvent::Enter:
        // The windows it owns (dialogs, the About box) report here too.
        if (ownedByWindow(watched)) {
            for (auto *widget = qobject_cast<QWidget *>(watched); widget != nullptr;
                 widget = widget->parentWidget()) {
                const QVariant hint = widget->property(kStatusHint);
                if (hint.isValid()) {
                    showStatus(hint.toString());
                    break;
                }
                if (widget->isWindow()) {
                    showStatus(QString());
                    break;
                }
            }
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
