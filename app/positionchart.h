#pragma once

#include <QChartView>
#include <vector>

#include "filter/filterresult.h"

// The position chart: every accepted fix as a dot, the latitude across and
// the longitude up, both axes scaled to the points.
class PositionChart : public QChartView
{
    Q_OBJECT

public:
    explicit PositionChart(QWidget *parent = nullptr);
    ~PositionChart() override;

    // Coordinates are NMEA coordinate numbers (degrees x 100 + minutes).
    void addPositionPoint(double latitude, double longitude);
    void addPoints(const std::vector<navorel::PositionPoint> &points);
    void clearPoints();
    const std::vector<navorel::PositionPoint> &points() const;

private:
    std::vector<navorel::PositionPoint> m_points;
};
