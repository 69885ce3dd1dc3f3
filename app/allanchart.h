#pragma once

#include <QWidget>
#include <vector>

#include "filter/meanuncertainty.h"

// How the mean improves with averaging time: the Allan deviation of east,
// north and altitude against the averaging time, both axes logarithmic,
// with a dashed line falling as 1 / sqrt(tau) from the first point. Curves
// that follow the line mean that logging longer still helps; where they
// flatten or rise it no longer does.
class AllanChart : public QWidget
{
    Q_OBJECT

public:
    explicit AllanChart(QWidget *parent = nullptr);

    void setPoints(std::vector<navorel::AllanPoint> points);
    void clear() { setPoints({}); }
    const std::vector<navorel::AllanPoint> &points() const { return m_points; }

    // The decades the axes show: seconds across, metres up.
    double leftSeconds() const { return m_left; }
    double rightSeconds() const { return m_right; }
    double bottomMetres() const { return m_bottom; }
    double topMetres() const { return m_top; }
    // Where a deviation at an averaging time is drawn.
    QPointF pixelOf(double seconds, double metres) const;
    QRectF plotArea() const;
    // Where the names of the curves stand, beside the title.
    QRectF legendArea() const;

    QSize sizeHint() const override { return {320, 240}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawAxes(QPainter &painter, const QRectF &area) const;
    struct LegendEntry
    {
        QString name;
        QColor colour;
        Qt::PenStyle style;
    };
    std::vector<LegendEntry> legend() const;
    void drawTitleLine(QPainter &painter, const QRectF &area) const;

    std::vector<navorel::AllanPoint> m_points;
    double m_left = 1.0;
    double m_right = 1000.0;
    double m_bottom = 0.01;
    double m_top = 10.0;
};
