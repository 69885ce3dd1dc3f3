#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

// Draws a widget at most once an interval, however often it changes: what
// changes while the interval runs is drawn together at its end. A receiver
// that sends fast then costs a few paints a second, not one a read.
class DrawThrottle : public QObject
{
    Q_OBJECT

public:
    DrawThrottle(QWidget *widget, int intervalMs);

    // The widget changed: drawn at the end of the interval.
    void changed();

private:
    QWidget *m_widget;
    QTimer m_timer;
};
