#include "ui/drawthrottle.h"

#include <QWidget>

DrawThrottle::DrawThrottle(QWidget *widget, int intervalMs) : QObject(widget), m_widget(widget)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_widget->setUpdatesEnabled(true);
        m_widget->update();
    });
}

void DrawThrottle::changed()
{
    if (m_timer.isActive())
        return;
    m_widget->setUpdatesEnabled(false);
    m_timer.start();
}
