#pragma once

#include <QGroupBox>
#include <string_view>
#include <vector>

#include "filter/acceptedfixes.h"
#include "filter/filterresult.h"
#include "filter/logquality.h"

class PositionChart;
class PrecisionView;
class QLabel;
class QTabWidget;
class SatelliteChart;

// The right side of the main window: the mean position and time over all
// above the position and satellites charts.
class PositionViews : public QGroupBox
{
    Q_OBJECT

public:
    explicit PositionViews(QWidget *parent = nullptr);

    QLabel *latitudeLabel() const { return m_latitudeLabel; }
    QLabel *longitudeLabel() const { return m_longitudeLabel; }
    QLabel *timeLabel() const { return m_timeLabel; }
    PositionChart *positionChart() const { return m_positionChart; }
    SatelliteChart *satelliteChart() const { return m_satelliteChart; }
    PrecisionView *precisionView() const { return m_precisionView; }
    QTabWidget *pages() const { return m_pages; }

    // Empty labels and charts, as for a new text.
    void reset();
    void clearCharts();
    // Added to what the charts hold; classes, when given, holds the class
    // of every point.
    void addToCharts(std::vector<navorel::PositionPoint> points,
                     const std::vector<navorel::SatelliteBar> &bars, std::vector<std::uint8_t> classes = {});
    // The mean position's label texts, in Windows-1252.
    void showPosition(std::string_view latitude, std::string_view longitude);
    void showTimeSpan(std::string_view timeSpan);
    // The spread of a run's accepted fixes in metres, on the third page.
    // classes: the class of every fix; quality: what the run's rules found.
    void showPrecision(navorel::AcceptedFixes fixes, std::vector<std::uint8_t> classes,
                       const navorel::LogQuality &quality, navorel::MinQuality minimum);

private:
    QLabel *m_latitudeLabel = nullptr;
    QLabel *m_longitudeLabel = nullptr;
    QLabel *m_timeLabel = nullptr;
    QTabWidget *m_pages = nullptr;
    PositionChart *m_positionChart = nullptr;
    SatelliteChart *m_satelliteChart = nullptr;
    PrecisionView *m_precisionView = nullptr;
};
