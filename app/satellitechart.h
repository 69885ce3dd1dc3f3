#pragma once

#include <QChartView>
#include <vector>

#include "filter/filterresult.h"

class QValueAxis;

// The satellites chart: one bar per time range, at the range's end in
// minutes, as high as the mean number of active satellites; 0 to 16 up, as
// a GPS receiver sees them. A receiver of several systems uses twice as
// many or more: with every talker the scale grows to the highest bar.
//
// A Qt Charts bar series puts its bars at category positions, not at
// numbers, and an area series stepping round each bar takes a third of a
// second to fill for a week of bars. The view paints the bars itself over
// the plot area, on a numeric minutes axis.
class SatelliteChart : public QChartView
{
    Q_OBJECT

public:
    explicit SatelliteChart(QWidget *parent = nullptr);
    ~SatelliteChart() override;

    void addBar(long long rangeEnd, long long satellites);
    void addBars(const std::vector<navorel::SatelliteBar> &bars);
    void clearBars();
    // Whether the scale grows beyond 16 to take in the highest bar.
    void setScaleGrows(bool grows);
    const std::vector<navorel::SatelliteBar> &bars() const;

    // The bubble over the bar at pos in the viewport: its minute range and
    // mean; empty where no bar is.
    QString toolTipAt(const QPoint &pos) const;

    QValueAxis *minutesAxis() const { return m_minutesAxis; }
    QValueAxis *satellitesAxis() const { return m_satellitesAxis; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    void barsChanged();
    void rescale();
    void rescaleSatellites();

    QChart *m_chart;
    QValueAxis *m_minutesAxis;
    QValueAxis *m_satellitesAxis;
    std::vector<navorel::SatelliteBar> m_bars;
    std::vector<navorel::SatelliteBar> m_shownBars; // by minute, one per minute
    double m_barSpace = 1.0;                        // minutes from one bar to the next
    bool m_scaleGrows = false;
};
