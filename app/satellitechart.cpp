#include "app/satellitechart.h"

SatelliteChart::SatelliteChart(QWidget *parent) : QChartView(parent) {}

SatelliteChart::~SatelliteChart() = default;

void SatelliteChart::addBar(long long rangeEnd, long long satellites)
{
    m_bars.push_back({rangeEnd, satellites});
}

void SatelliteChart::addBars(const std::vector<navorel::SatelliteBar> &bars)
{
    m_bars.insert(m_bars.end(), bars.begin(), bars.end());
}

void SatelliteChart::clearBars()
{
    m_bars.clear();
}

const std::vector<navorel::SatelliteBar> &SatelliteChart::bars() const
{
    return m_bars;
}
