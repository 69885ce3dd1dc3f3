#pragma once

#include <QString>

class QChartView;

// The look both charts share: a small black title, no legend, white
// behind everything, a lowered frame, and room for the axis titles.
void styleChart(QChartView *view, const QString &title);

// Margins of 2 % left, right and top, none at the bottom, for the view's size.
void fitChartMargins(QChartView *view);
