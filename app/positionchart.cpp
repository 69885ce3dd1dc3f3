#include "app/positionchart.h"

PositionChart::PositionChart(QWidget *parent) : QChartView(parent) {}

PositionChart::~PositionChart() = default;

void PositionChart::addPositionPoint(double latitude, double longitude)
{
    m_points.push_back({latitude, longitude});
}

void PositionChart::addPoints(const std::vector<navorel::PositionPoint> &points)
{
    m_points.insert(m_points.end(), points.begin(), points.end());
}

void PositionChart::clearPoints()
{
    m_points.clear();
}

const std::vector<navorel::PositionPoint> &PositionChart::points() const
{
    return m_points;
}
