#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

#include "app/fixclasscolours.h"
#include "filter/acceptedfixes.h"
#include "filter/precisionfigures.h"

// The fixes as metres east and north of their mean, one metre as long
// across as up, with circles of CEP50, CEP95 and 2DRMS round the mean.
// Painted by hand like the position chart: 200,000 fixes are one image of
// dots, kept until the fixes or the size change. Fixes of more than one
// class take the colours of their class, named in the legend.
class PrecisionPlot : public QWidget
{
    Q_OBJECT

public:
    explicit PrecisionPlot(QWidget *parent = nullptr);

    // The fixes stay the caller's, unchanged while shown; they are drawn
    // in metres from the figures' mean.
    // classes, when given, holds the class of every fix and stays the
    // caller's too.
    void setFixes(const navorel::AcceptedFixes *fixes, const navorel::PrecisionFigures &figures,
                  const std::vector<std::uint8_t> *classes = nullptr);
    void clear();

    // Where a point east and north of the mean, in metres, is drawn.
    QPointF pixelOf(double east, double north) const;
    QRectF plotArea() const;
    // Where each ring's legend entry stands, above the plot area, followed
    // by the fix classes' when the fixes are coloured.
    std::vector<QRectF> legendEntries() const;
    const FixClassColours &colours() const { return m_colours; }

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

    struct LegendEntry
    {
        QString name;
        QColor colour;
        bool dot; // a fix class; else a ring
        Qt::PenStyle style;
    };
    std::vector<LegendEntry> legend() const;

    const navorel::AcceptedFixes *m_fixes = nullptr;
    const std::vector<std::uint8_t> *m_classes = nullptr;
    FixClassColours m_colours;
    navorel::PrecisionFigures m_figures;
    double m_reach = 1.0; // metres from the mean that the smaller side shows
    QImage m_dots;
    bool m_dotsValid = false;
};
