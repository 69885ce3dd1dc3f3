#include "ui/chartstyle.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QHelpEvent>
#include <QToolTip>

void styleChart(QChartView *view, const QString &title)
{
    QChart *chart = view->chart();
    chart->setTitle(title);
    chart->setTitleFont(QFont(QStringLiteral("Arial"), 8));
    chart->setTitleBrush(Qt::black);
    chart->legend()->hide();
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    view->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Narrower, the left axis' labels of a position lose their first digit;
    // lower, the axis titles are cut.
    view->setMinimumSize(300, 268);
}

void fitChartMargins(QChartView *view)
{
    view->chart()->setMargins(QMargins(view->width() / 50, view->height() / 50, view->width() / 50, 0));
}

bool answerToolTip(QEvent *event, QWidget *shownOn, const std::function<QString(const QPoint &)> &textAt)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString text = textAt(help->pos());
    if (text.isEmpty())
        return false;
    QToolTip::showText(help->globalPos(), text, shownOn);
    return true;
}
