#pragma once

#include <QString>
#include <functional>

class QChartView;
class QEvent;
class QPoint;
class QWidget;

// The look both charts share: a small black title, no legend, white
// behind everything, a lowered frame, and room for the axis titles.
void styleChart(QChartView *view, const QString &title);

// Margins of 2 % left, right and top, none at the bottom, for the view's size.
void fitChartMargins(QChartView *view);

// A tooltip event on a chart answered with the text for the place under the
// mouse, shown on shownOn; false when there is none there (the event goes on).
bool answerToolTip(QEvent *event, QWidget *shownOn, const std::function<QString(const QPoint &)> &textAt);
