#pragma once

#include <QPolygonF>
#include <QWidget>
#include <vector>

#include "filter/precisionfigures.h"

// How the running mean closes in on the final mean: its distance in metres,
// on a logarithmic scale, against the seconds since the first fix, with the
// settle radii as lines. A long log is drawn as one stroke per pixel column.
class ConvergenceChart : public QWidget
{
    Q_OBJECT

public:
    explicit ConvergenceChart(QWidget *parent = nullptr);

    void setCurve(std::vector<navorel::ConvergencePoint> curve, bool timed);
    void clear();

    // Lowest and highest distance the vertical axis shows, in metres.
    double bottomMetres() const { return m_bottom; }
    double topMetres() const { return m_top; }

    QSize sizeHint() const override { return {320, 140}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF plotArea() const;
    double yOf(double metres, const QRectF &area) const;
    void makeStrokes(const QRectF &area);
    void keepExtremes();
    std::size_t sliceOf(double seconds) const;

    static constexpr std::size_t kKeptSlices = 4096;

    std::vector<navorel::ConvergencePoint> m_curve;
    bool m_timed = false;
    double m_span = 1.0;
    double m_bottom = 0.01;
    double m_top = 10.0;
    QPolygonF m_strokes;
    QRectF m_strokesArea;
};
