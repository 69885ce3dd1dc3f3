#include "app/gauge.h"

#include <QPainter>

namespace {

const QColor kBar = QColor(0, 0, 128); // navy

} // namespace

Gauge::Gauge(QWidget *parent) : QProgressBar(parent)
{
    // The style draws the bar; the text is drawn here in two colours.
    QProgressBar::setTextVisible(false);
    setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid gray; background: white; } "
                                 "QProgressBar::chunk { background: navy; }"));
}

void Gauge::paintEvent(QPaintEvent *event)
{
    QProgressBar::paintEvent(event);
    const QString percent = text();
    if (percent.isEmpty())
        return;
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    const qint64 span = qint64(maximum()) - minimum();
    const int filled =
        span <= 0 ? inside.width() : int(inside.width() * (qint64(value()) - minimum()) / span);
    QPainter painter(this);
    painter.setClipRect(inside.x(), inside.y(), filled, inside.height());
    painter.setPen(Qt::white);
    painter.drawText(inside, Qt::AlignCenter, percent);
    painter.setClipRect(inside.x() + filled, inside.y(), inside.width() - filled, inside.height());
    painter.setPen(kBar);
    painter.drawText(inside, Qt::AlignCenter, percent);
}
