#pragma once

#include <QChartView>
#include <QImage>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/fixclasscolours.h"
#include "filter/axislabel.h"
#include "filter/filterresult.h"
#include "filter/longitudesum.h"

class QCategoryAxis;

// The position chart: every accepted fix as a dot, the latitude across and
// the longitude up, both axes scaled to the points.
//
// The dots are not a Qt Charts series: a scatter series makes one graphics
// item per point (100 s to show 200,000 of them), and its OpenGL drawing
// gets no context on the offscreen platform. The view paints them itself over the
// plot area, one dot per pixel at most, from an image kept until the points,
// the scales or the plot area change.
class PositionChart : public QChartView
{
    Q_OBJECT

public:
    explicit PositionChart(QWidget *parent = nullptr);
    ~PositionChart() override;

    // Coordinates in decimal degrees, negative south and west.
    void addPositionPoint(double latitude, double longitude);
    // classes, when given, holds the class of every point; points without
    // are of no known class.
    void addPoints(std::vector<navorel::PositionPoint> points, std::vector<std::uint8_t> classes = {});
    void clearPoints();
    const std::vector<navorel::PositionPoint> &points() const;

    // The times of day of the first points (a run's fixes, in their order),
    // for the bubbles; none for points of a result file. Kept by the caller.
    void setFixTimes(const std::vector<std::int32_t> *times) { m_fixTimes = times; }
    // The bubble over the fix nearest to pos in the viewport: its time and
    // position as the labels write them; empty where no fix is near.
    QString toolTipAt(const QPoint &pos) const;

    QCategoryAxis *latitudeAxis() const { return m_latitudeAxis; }
    QCategoryAxis *longitudeAxis() const { return m_longitudeAxis; }
    // The points lie on both sides of 180 degrees: the longitude axis runs
    // on past 180 E, where the western ones are drawn.
    bool drawsOverTheDateLine() const { return m_overDateLine; }
    // The dots of the last paint: points that fall on the same pixel share one.
    int paintedDotCount() const { return m_paintedDotCount; }
    // Points of more than one fix class take their class's colour.
    const FixClassColours &colours() const { return m_colours; }
    // Where the legend of the classes stands; empty when there is none.
    QRectF legendArea() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    // An axis from min to max with its labels at ticks.
    struct Scale
    {
        navorel::MinuteAxis axis;
        double min() const { return axis.low; }
        double max() const { return axis.high; }
        double fraction(double value) const { return (value - axis.low) / (axis.high - axis.low); }
        bool operator==(const Scale &) const = default;
    };

    struct Extent
    {
        double min = std::numeric_limits<double>::infinity();
        double max = -std::numeric_limits<double>::infinity();
        void include(double value);
        bool isEmpty() const { return min > max; }
    };

    static Scale scaleFor(const Extent &extent, int maxTicks);
    // The width a label of four decimals takes, with room between two.
    int labelWidth() const;
    void standLabelsUpright();
    static void showScale(QCategoryAxis *axis, const Scale &scale);

    // Takes the points from index from on into the extents.
    void includeFrom(std::size_t from);
    double drawnLongitude(double longitude) const;
    void pointsChanged();
    void rescale();
    void renderDotLayer(const QRectF &plotArea);
    void drawTicks(QPainter *painter, const QRectF &plotArea) const;
    void drawLegend(QPainter *painter) const;
    void addClasses(std::size_t from, const std::vector<std::uint8_t> &classes);

    QChart *m_chart;
    QCategoryAxis *m_latitudeAxis;
    QCategoryAxis *m_longitudeAxis;
    std::vector<navorel::PositionPoint> m_points;
    std::vector<std::uint8_t> m_classes; // one per point
    FixClassColours m_colours;
    Extent m_latitudeExtent;
    Extent m_longitudeExtent; // of the longitudes as drawn
    navorel::LongitudeSum m_longitudes;
    bool m_overDateLine = false;
    Scale m_latitudeScale;
    Scale m_longitudeScale;

    QImage m_dotLayer;
    QRectF m_dotLayerArea; // the plot area, in scene coordinates, it was made for
    bool m_dotLayerValid = false;
    int m_paintedDotCount = 0;
    const std::vector<std::int32_t> *m_fixTimes = nullptr;
};
