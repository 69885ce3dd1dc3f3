#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

#include "filter/acceptedfixes.h"
#include "filter/precisionfigures.h"

// The fixes as metres east and north of their mean, one metre as long
// across as up, with circles of CEP50, CEP95 and 2DRMS round the mean.
// Painted by hand like the position chart: 200,000 fixes are one image of
// dots, kept until the fixes or the size change.
class PrecisionPlot : public QWidget
{
    Q_OBJECT

public:
    explicit PrecisionPlot(QWidget *parent = nullptr);

    // The fixes stay the caller's, unchanged while shown; they are drawn
    // in metres from the figures' mean.
    void setFixes(const navorel::AcceptedFixes *fixes, const navorel::PrecisionFigures &figures);
    void clear();

    // Where a point east and north of the mean, in metres, is drawn.
    QPointF pixelOf(double east, double north) const;
    QRectF plotArea() const;
    // Where each ring's legend entry stands, above the plot area.
    std::vector<QRectF> legendEntries() const;

    QSize sizeHint() const override { return {320, 260}; }
    // The bubble over the fix nearest to pos: its time, metres east and
    // north, and distance from the mean; empty where no fix is near.
    QString toolTipAt(const QPoint &pos) const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    double pixelsPerMetre() const;
    void renderDots(const QRect &area);
    void drawAxes(QPainter &painter, const QRectF &area) const;
    void drawCircles(QPainter &painter) const;
    void drawLegend(QPainter &painter) const;

    const navorel::AcceptedFixes *m_fixes = nullptr;
    navorel::PrecisionFigures m_figures;
    double m_reach = 1.0; // metres from the mean that the smaller side shows
    QImage m_dots;
    bool m_dotsValid = false;
};
