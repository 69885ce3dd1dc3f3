#pragma once

#include <QChartView>
#include <vector>

#include "filter/filterresult.h"

// The satellites chart: one bar per time range, at the range's end in
// minutes, as high as the mean number of active satellites; 0 to 16 up.
class SatelliteChart : public QChartView
{
    Q_OBJECT

public:
    explicit SatelliteChart(QWidget *parent = nullptr);
    ~SatelliteChart() override;

    void addBar(long long rangeEnd, long long satellites);
    void addBars(const std::vector<navorel::SatelliteBar> &bars);
    void clearBars();
    const std::vector<navorel::SatelliteBar> &bars() const;

private:
    std::vector<navorel::SatelliteBar> m_bars;
};
