#include "app/satellitechart.h"

#include <QGraphicsLayout>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>

#include "filter/axislabel.h"
#include "filter/chartpoints.h"
#include "ui/chartstyle.h"

namespace {

constexpr double kSatellitesShown = 16.0;
// The share of the space per bar that the bar covers.
constexpr double kBarWidth = 0.5;
const QColor kBarColour(0, 85, 168);
const QColor kBarOutline(0, 64, 128);

} // namespace

SatelliteChart::SatelliteChart(QWidget *parent)
        : QChartView(new QChart, parent), m_chart(chart()), m_minutesAxis(new QValueAxis),
          m_satellitesAxis(new QValueAxis)
{
    styleChart(this, QStringLiteral("Satellites in view"));

    m_minutesAxis->setTitleText(QStringLiteral("Minutes range"));
    m_minutesAxis->setMinorTickCount(0);
    m_minutesAxis->setLabelFormat(QStringLiteral("%i"));
    m_minutesAxis->setTickType(QValueAxis::TicksDynamic);
    m_minutesAxis->setTickAnchor(0.0);
    m_satellitesAxis->setTitleText(QStringLiteral("Number of satellites"));
    m_satellitesAxis->setRange(0.0, kSatellitesShown);
    m_satellitesAxis->setTickCount(9);
    m_satellitesAxis->setMinorTickCount(0);
    m_satellitesAxis->setLabelFormat(QStringLiteral("%i"));
    m_chart->addAxis(m_minutesAxis, Qt::AlignBottom);
    m_chart->addAxis(m_satellitesAxis, Qt::AlignLeft);

    // The nearest Qt has to a lowered bevel round a white panel.
    setBackgroundBrush(Qt::white);
    barsChanged();
}

SatelliteChart::~SatelliteChart() = default;

void SatelliteChart::addBar(long long rangeEnd, long long satellites)
{
    m_bars.push_back({rangeEnd, satellites});
    barsChanged();
}

void SatelliteChart::addBars(const std::vector<navorel::SatelliteBar> &bars)
{
    m_bars.insert(m_bars.end(), bars.begin(), bars.end());
    barsChanged();
}

void SatelliteChart::clearBars()
{
    m_bars.clear();
    barsChanged();
}

void SatelliteChart::setScaleGrows(bool grows)
{
    if (grows == m_scaleGrows)
        return;
    m_scaleGrows = grows;
    barsChanged();
}

void SatelliteChart::rescaleSatellites()
{
    double top = kSatellitesShown;
    if (m_scaleGrows) {
        for (const navorel::SatelliteBar &bar : m_shownBars)
            top = std::max(top, static_cast<double>((bar.satellites + 3) / 4 * 4));
    }
    if (top == m_satellitesAxis->max())
        return;
    m_satellitesAxis->setRange(0.0, top);
    // A label every 2 satellites up to 16, every 4 beyond.
    m_satellitesAxis->setTickCount(top > kSatellitesShown ? static_cast<int>(top) / 4 + 1 : 9);
}

const std::vector<navorel::SatelliteBar> &SatelliteChart::bars() const
{
    return m_bars;
}

void SatelliteChart::barsChanged()
{
    // Bars of the same minute (a result file opened after a run of the same
    // log) stand in front of each other; the highest shows.
    m_shownBars = m_bars;
    std::sort(m_shownBars.begin(), m_shownBars.end(), [](const auto &a, const auto &b) {
        return a.rangeEnd != b.rangeEnd ? a.rangeEnd < b.rangeEnd : a.satellites > b.satellites;
    });
    m_shownBars.erase(std::unique(m_shownBars.begin(), m_shownBars.end(),
                                  [](const auto &a, const auto &b) { return a.rangeEnd == b.rangeEnd; }),
                      m_shownBars.end());

    // The space per bar is the length of a time range; a lone bar's range
    // starts at minute 0.
    m_barSpace = m_shownBars.size() == 1 && m_shownBars.front().rangeEnd > 0
                     ? static_cast<double>(m_shownBars.front().rangeEnd)
                     : 1.0;
    for (std::size_t i = 1; i < m_shownBars.size(); ++i) {
        const double gap = static_cast<double>(m_shownBars[i].rangeEnd - m_shownBars[i - 1].rangeEnd);
        m_barSpace = i == 1 ? gap : std::min(m_barSpace, gap);
    }
    rescaleSatellites();
    rescale();
    viewport()->update();
}

void SatelliteChart::rescale()
{
    const double first =
        m_shownBars.empty() ? 0.0 : static_cast<double>(m_shownBars.front().rangeEnd) - m_barSpace / 2;
    const double last =
        m_shownBars.empty() ? 60.0 : static_cast<double>(m_shownBars.back().rangeEnd) + m_barSpace / 2;
    const navorel::AxisTicks ticks =
        navorel::niceAxisTicks(first, last, std::clamp(width() / 70, 2, 10), 1.0);
    // Qt Charts lays out a label per tick at each change: the old step over
    // a new wide range would make thousands of them.
    if (ticks.step > m_minutesAxis->tickInterval()) {
        m_minutesAxis->setTickInterval(ticks.step);
        m_minutesAxis->setRange(first, last);
    } else {
        m_minutesAxis->setRange(first, last);
        m_minutesAxis->setTickInterval(ticks.step);
    }
}

void SatelliteChart::resizeEvent(QResizeEvent *event)
{
    fitChartMargins(this);
    QChartView::resizeEvent(event);
    rescale();
}

void SatelliteChart::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    if (m_shownBars.empty())
        return;
    const QRectF plotArea = m_chart->mapRectToScene(m_chart->plotArea());
    const double minutes = m_minutesAxis->max() - m_minutesAxis->min();
    const auto across = [&](double minute) {
        return plotArea.left() + (minute - m_minutesAxis->min()) / minutes * plotArea.width();
    };
    const double halfBar = m_barSpace * kBarWidth / 2;
    painter->save();
    // A mean above 16 runs out of the top unless the scale grows.
    painter->setClipRect(plotArea, Qt::IntersectClip);
    painter->setPen(QPen(kBarOutline, 1));
    painter->setBrush(kBarColour);
    for (const navorel::SatelliteBar &bar : m_shownBars) {
        const double minute = static_cast<double>(bar.rangeEnd);
        const double top =
            plotArea.bottom()
            - static_cast<double>(bar.satellites) / m_satellitesAxis->max() * plotArea.height();
        painter->drawRect(QRectF(QPointF(across(minute - halfBar), top),
                                 QPointF(across(minute + halfBar), plotArea.bottom())));
    }
    painter->restore();
}

QString SatelliteChart::toolTipAt(const QPoint &pos) const
{
    const QRectF plotArea = m_chart->mapRectToScene(m_chart->plotArea());
    const QPointF at = mapToScene(pos);
    if (m_shownBars.empty() || !plotArea.contains(at))
        return {};
    // Anywhere in a bar's column: a bar too low to point at is read too.
    const double minute =
        m_minutesAxis->min()
        + (at.x() - plotArea.left()) / plotArea.width() * (m_minutesAxis->max() - m_minutesAxis->min());
    const std::optional<std::size_t> index = navorel::barAt(m_shownBars, minute, m_barSpace * kBarWidth / 2);
    if (!index)
        return {};
    const navorel::SatelliteBar &bar = m_shownBars[*index];
    const navorel::MinuteRange minutes = navorel::barMinutes(bar, m_barSpace);
    return QStringLiteral("Minutes %1 to %2\nMean: %3 satellites")
        .arg(minutes.first)
        .arg(minutes.last)
        .arg(bar.satellites);
}

bool SatelliteChart::viewportEvent(QEvent *event)
{
    if (answerToolTip(event, viewport(), [this](const QPoint &at) { return toolTipAt(at); }))
        return true;
    return QChartView::viewportEvent(event);
}
