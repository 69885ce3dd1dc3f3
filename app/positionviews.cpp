#include "app/positionviews.h"

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/positionchart.h"
#include "app/precisionview.h"
#include "app/satellitechart.h"
#include "ui/hints.h"
#include "ui/stoplayout.h"
#include "ui/textcodec.h"

namespace {

QLabel *positionLabel(StopLayout *row, const char *name, int x, const QString &text, const QString &hint,
                      const QString &widest)
{
    auto *label = new QLabel(text, row->parentWidget());
    label->setObjectName(QLatin1String(name));
    // Arial for the time too: the window's font is as narrow, the desktop's
    // sans is not.
    label->setFont(QFont(QStringLiteral("Arial"), 8));
    // Wide enough for the figures of a run: filling the labels moves none.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest));
    setHint(label, hint);
    row->addWidget(label, x);
    return label;
}

} // namespace

PositionViews::PositionViews(QWidget *parent) : QGroupBox(QStringLiteral(" Approximately Position "), parent)
{
    setObjectName(QStringLiteral("GB_Script"));
    auto *scriptLayout = new QVBoxLayout(this);
    scriptLayout->setContentsMargins(2, 2, 2, 2);
    auto *panel2 = new QWidget(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setFixedHeight(34);
    setHint(panel2, QStringLiteral("Approximately position"));
    auto *row = new StopLayout(panel2);
    row->setContentsMargins(7, 0, 4, 0);
    row->setSpacing(3);
    m_latitudeLabel = positionLabel(row, "Label_N", 7, QStringLiteral(" North latitude : "),
                                    QStringLiteral("Approximately north latitude"),
                                    QStringLiteral(" North latitude : -89\u00B0 59,9999'"));
    m_longitudeLabel = positionLabel(row, "Label_E", 180, QStringLiteral(" East longitude : "),
                                     QStringLiteral("Approximately east longitude"),
                                     QStringLiteral(" East longitude : -179\u00B0 59,9999'"));
    m_timeLabel = positionLabel(row, "Label_toa", 352, QStringLiteral("Time : "),
                                QStringLiteral("Time over all"), QStringLiteral(" Time: 9999h 59m 59s"));

    scriptLayout->addWidget(panel2);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setTabPosition(QTabWidget::South);
    // At least 271 high through its pages: a chart of 268 and the tabs. A
    // minimum of its own would win over theirs and cut the charts' bottom.
    m_positionChart = new PositionChart();
    m_positionChart->setObjectName(QStringLiteral("ChartGPS"));
    m_satelliteChart = new SatelliteChart();
    m_satelliteChart->setObjectName(QStringLiteral("Chart1"));
    m_precisionView = new PrecisionView();
    m_precisionView->setObjectName(QStringLiteral("PrecisionView"));
    const auto page = [this](const char *name, QWidget *chart, const QString &caption, const QString &hint) {
        auto *sheet = new QWidget();
        sheet->setObjectName(QLatin1String(name));
        auto *layout = new QVBoxLayout(sheet);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(chart);
        setHint(sheet, hint);
        const int index = m_pages->addTab(sheet, caption);
        m_pages->setTabToolTip(index, splitHint(hint).bubble);
    };
    page("TBS_Pos", m_positionChart, QStringLiteral("Position"),
         QStringLiteral("Shows all filtered positions"));
    page("TBS_Sat", m_satelliteChart, QStringLiteral("Satellites"),
         QStringLiteral("Satellites in view over a time range"));
    page("TBS_Precision", m_precisionView, QStringLiteral("Precision"),
         QStringLiteral("Spread of the filtered positions round their mean, in metres"));
    scriptLayout->addWidget(m_pages, 1);
}

void PositionViews::reset()
{
    m_latitudeLabel->setText(QStringLiteral(" North latitude  :"));
    m_longitudeLabel->setText(QStringLiteral(" East longitude :"));
    m_timeLabel->setText(QStringLiteral(" Time :"));
    clearCharts();
}

void PositionViews::clearCharts()
{
    m_positionChart->clearPoints();
    m_satelliteChart->clearBars();
    m_precisionView->clear();
}

void PositionViews::addToCharts(std::vector<navorel::PositionPoint> points,
                                const std::vector<navorel::SatelliteBar> &bars,
                                std::vector<std::uint8_t> classes)
{
    m_positionChart->addPoints(std::move(points), std::move(classes));
    m_satelliteChart->addBars(bars);
}

void PositionViews::showPosition(std::string_view latitude, std::string_view longitude)
{
    m_latitudeLabel->setText(fromWindows1252(latitude));
    m_longitudeLabel->setText(fromWindows1252(longitude));
}

void PositionViews::showPrecision(navorel::AcceptedFixes fixes, std::vector<std::uint8_t> classes,
                                  const navorel::LogQuality &quality, navorel::MinQuality minimum)
{
    m_precisionView->showFixes(std::move(fixes), std::move(classes), quality, minimum);
    // The run's points are its fixes, in their order, when Acc draws them.
    const navorel::AcceptedFixes &shown = m_precisionView->fixes();
    if (m_positionChart->points().size() == shown.size())
        m_positionChart->setFixTimes(&shown.times);
}

void PositionViews::showTimeSpan(std::string_view timeSpan)
{
    m_timeLabel->setText(fromWindows1252(timeSpan));
}
