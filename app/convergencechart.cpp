#include "app/convergencechart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "filter/axislabel.h"

namespace {

constexpr int kLeftMargin = 44;
constexpr int kBottomMargin = 30;
constexpr int kMargin = 8;

QString decadeText(double metres)
{
    return metres >= 1 ? QString::number(metres, 'f', 0) : QString::number(metres, 'g', 1);
}

} // namespace

ConvergenceChart::ConvergenceChart(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(200, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ConvergenceChart::setCurve(std::vector<navorel::ConvergencePoint> curve, bool timed)
{
    m_curve = std::move(curve);
    m_timed = timed;
    double largest = 0.0;
    for (const navorel::ConvergencePoint &point : m_curve)
        largest = std::max(largest, point.metres);
    // Whole decades from one below the smallest settle radius: the last
    // steps towards zero at the end of the log say nothing.
    m_top = std::pow(10.0, std::ceil(std::log10(std::max(largest, 1.0))));
    m_bottom = 0.01;
    m_strokes.clear();
    m_span = 1.0;
    if (!m_curve.empty())
        m_span = std::max(1.0, timed ? m_curve.back().seconds : static_cast<double>(m_curve.size()));
    // From here on a step's place across is in seconds, counted fixes or not.
    if (!timed) {
        for (std::size_t i = 0; i < m_curve.size(); ++i)
            m_curve[i].seconds = static_cast<double>(i + 1);
    }
    keepExtremes();
    update();
}

// No screen has more columns than kKeptSlices: of a longer curve each slice
// keeps its nearest and its farthest step, which is all a column draws.
void ConvergenceChart::keepExtremes()
{
    if (m_curve.size() <= 2 * kKeptSlices)
        return;
    std::vector<navorel::ConvergencePoint> kept;
    kept.reserve(2 * kKeptSlices);
    std::size_t sliceStart = 0;
    while (sliceStart < m_curve.size()) {
        const std::size_t slice = sliceOf(m_curve[sliceStart].seconds);
        std::size_t low = sliceStart;
        std::size_t high = sliceStart;
        std::size_t end = sliceStart + 1;
        for (; end < m_curve.size() && sliceOf(m_curve[end].seconds) == slice; ++end) {
            if (m_curve[end].metres < m_curve[low].metres)
                low = end;
            if (m_curve[end].metres > m_curve[high].metres)
                high = end;
        }
        kept.push_back(m_curve[std::min(low, high)]);
        if (low != high)
            kept.push_back(m_curve[std::max(low, high)]);
        sliceStart = end;
    }
    m_curve = std::move(kept);
}

std::size_t ConvergenceChart::sliceOf(double seconds) const
{
    return static_cast<std::size_t>(std::clamp(seconds / m_span * (kKeptSlices - 1), 0.0, kKeptSlices - 1.0));
}

void ConvergenceChart::clear()
{
    setCurve({}, false);
}

QRectF ConvergenceChart::plotArea() const
{
    // The title has a line of its own above the curve.
    const int top = kMargin / 2 + QFontMetrics(font()).height() + 2;
    return QRectF(kLeftMargin, top, std::max(10, width() - kLeftMargin - kMargin),
                  std::max(10, height() - top - kBottomMargin));
}

double ConvergenceChart::yOf(double metres, const QRectF &area) const
{
    const double clamped = std::clamp(metres, m_bottom, m_top);
    const double fraction =
        (std::log10(clamped) - std::log10(m_bottom)) / (std::log10(m_top) - std::log10(m_bottom));
    return area.bottom() - fraction * area.height();
}

void ConvergenceChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRectF area = plotArea();
    const QFontMetrics metrics(font());

    const double decadeHeight = area.height() / std::log10(m_top / m_bottom);
    const int labelEvery = std::max(1, static_cast<int>(std::ceil(metrics.height() / decadeHeight)));
    int index = 0;
    for (double decade = m_bottom; decade <= m_top * 1.001; decade *= 10, ++index) {
        const double y = yOf(decade, area);
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        if (index % labelEvery != 0)
            continue;
        painter.setPen(Qt::black);
        const QString text = decadeText(decade);
        painter.drawText(
            QPointF(area.left() - metrics.horizontalAdvance(text) - 4, y + metrics.ascent() / 2.0 - 1), text);
    }
    const navorel::AxisTicks ticks =
        navorel::niceAxisTicks(0, m_span, std::clamp(static_cast<int>(area.width() / 60), 2, 10), 1.0);
    for (int i = 0; i < ticks.count; ++i) {
        const double x = area.left() + ticks.at(i) / m_span * area.width();
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
        const QString text = QString::number(ticks.at(i), 'f', 0);
        painter.drawText(
            QPointF(x - metrics.horizontalAdvance(text) / 2.0, area.bottom() + metrics.ascent() + 4), text);
    }
    painter.drawRect(area);
    const QString across = m_timed ? QStringLiteral("Seconds since the first fix") : QStringLiteral("Fixes");
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(across) / 2.0, height() - 3),
                     across);
    const QString up =
        metrics.elidedText(QStringLiteral("Running mean from the final mean (m), settle radii dashed"),
                           Qt::ElideRight, static_cast<int>(area.width()));
    painter.drawText(QPointF(area.left(), kMargin / 2 + metrics.ascent()), up);

    painter.setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
    for (const double radius : navorel::PrecisionFigures::kSettleRadii) {
        const double y = yOf(radius, area);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    if (m_curve.empty())
        return;

    if (m_strokes.isEmpty() || m_strokesArea != area)
        makeStrokes(area);
    painter.setPen(QPen(QColor(0, 85, 168), 1));
    painter.setClipRect(area.adjusted(0, -1, 0, 1));
    painter.drawPolyline(m_strokes);
}

// One vertical stroke per pixel column from its smallest to its largest
// distance, joined to the next: the shape of millions of steps in a few
// hundred lines, kept until the curve or the size change.
void ConvergenceChart::makeStrokes(const QRectF &area)
{
    const int columns = std::max(1, static_cast<int>(area.width()));
    std::vector<double> low(static_cast<std::size_t>(columns), HUGE_VAL);
    std::vector<double> high(static_cast<std::size_t>(columns), -HUGE_VAL);
    for (std::size_t i = 0; i < m_curve.size(); ++i) {
        const double x = m_curve[i].seconds;
        const auto column =
            static_cast<std::size_t>(std::clamp(x / m_span * (columns - 1), 0.0, columns - 1.0));
        low[column] = std::min(low[column], m_curve[i].metres);
        high[column] = std::max(high[column], m_curve[i].metres);
    }
    m_strokes.clear();
    for (int c = 0; c < columns; ++c) {
        const auto k = static_cast<std::size_t>(c);
        if (low[k] > high[k])
            continue;
        const double x = area.left() + c;
        m_strokes << QPointF(x, yOf(high[k], area)) << QPointF(x, yOf(low[k], area));
    }
    m_strokesArea = area;
}
