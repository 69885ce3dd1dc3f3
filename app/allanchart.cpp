#include "app/allanchart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kLeftMargin = 44;
constexpr int kBottomMargin = 30;
constexpr int kMargin = 8;
constexpr int kLegendSample = 18;
constexpr int kRightMargin = 20; // half the last decade's label stands beyond the plot
const QColor kEast(0, 85, 168);
const QColor kNorth(0, 150, 60);
const QColor kAltitude(150, 60, 170);
const QColor kGuide(120, 120, 120);

QString decadeText(double value)
{
    return value >= 1 ? QString::number(value, 'f', 0) : QString::number(value, 'g', 1);
}

double decadeBelow(double value)
{
    return std::pow(10.0, std::floor(std::log10(value)));
}

double decadeAbove(double value)
{
    return std::pow(10.0, std::ceil(std::log10(value)));
}

} // namespace

AllanChart::AllanChart(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(200, 110);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void AllanChart::setPoints(std::vector<navorel::AllanPoint> points)
{
    m_points = std::move(points);
    double shortest = HUGE_VAL, longest = 0, smallest = HUGE_VAL, largest = 0;
    for (const navorel::AllanPoint &p : m_points) {
        if (p.tauSeconds > 0) {
            shortest = std::min(shortest, p.tauSeconds);
            longest = std::max(longest, p.tauSeconds);
        }
        for (const double v : {p.east, p.north, p.altitude.value_or(0.0)}) {
            if (v > 0) {
                smallest = std::min(smallest, v);
                largest = std::max(largest, v);
            }
        }
    }
    // The dashed line to its end in view too: the curves are read against it.
    if (!m_points.empty() && longest > 0) {
        const navorel::AllanPoint &first = m_points.front();
        const double start = (first.east + first.north) / 2;
        if (start > 0 && first.tauSeconds > 0)
            smallest = std::min(smallest, start * std::sqrt(first.tauSeconds / longest));
    }
    // Whole decades round every point; a decade at least either way.
    m_left = longest > 0 ? decadeBelow(shortest) : 1.0;
    m_right = longest > 0 ? std::max(decadeAbove(longest), m_left * 10) : 1000.0;
    m_bottom = largest > 0 ? decadeBelow(smallest) : 0.01;
    m_top = largest > 0 ? std::max(decadeAbove(largest), m_bottom * 10) : 10.0;
    update();
}

QRectF AllanChart::plotArea() const
{
    // The title has a line of its own above the curves.
    const int top = kMargin / 2 + QFontMetrics(font()).height() + 2;
    return QRectF(kLeftMargin, top, std::max(10, width() - kLeftMargin - kRightMargin),
                  std::max(10, height() - top - kBottomMargin));
}

QPointF AllanChart::pixelOf(double seconds, double metres) const
{
    const QRectF area = plotArea();
    const double across =
        (std::log10(seconds) - std::log10(m_left)) / (std::log10(m_right) - std::log10(m_left));
    const double up =
        (std::log10(metres) - std::log10(m_bottom)) / (std::log10(m_top) - std::log10(m_bottom));
    return {area.left() + across * area.width(), area.bottom() - up * area.height()};
}

void AllanChart::drawAxes(QPainter &painter, const QRectF &area) const
{
    const QFontMetrics metrics(font());
    const double decadeHeight = area.height() / std::log10(m_top / m_bottom);
    const int labelEvery = std::max(1, static_cast<int>(std::ceil(metrics.height() / decadeHeight)));
    int index = 0;
    for (double decade = m_bottom; decade <= m_top * 1.001; decade *= 10, ++index) {
        const double y = pixelOf(m_left, decade).y();
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        if (index % labelEvery != 0)
            continue;
        painter.setPen(Qt::black);
        const QString text = decadeText(decade);
        painter.drawText(
            QPointF(area.left() - metrics.horizontalAdvance(text) - 4, y + metrics.ascent() / 2.0 - 1), text);
    }
    const double decadeWidth = area.width() / std::log10(m_right / m_left);
    const int textEvery = std::max(
        1,
        static_cast<int>(std::ceil((metrics.horizontalAdvance(QStringLiteral("10000")) + 8) / decadeWidth)));
    index = 0;
    for (double decade = m_left; decade <= m_right * 1.001; decade *= 10, ++index) {
        const double x = pixelOf(decade, m_bottom).x();
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
        if (index % textEvery != 0)
            continue;
        const QString text = decadeText(decade);
        painter.drawText(
            QPointF(x - metrics.horizontalAdvance(text) / 2.0, area.bottom() + metrics.ascent() + 4), text);
    }
    painter.drawRect(area);
    const QString across = QStringLiteral("Averaging time (s)");
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(across) / 2.0, height() - 3),
                     across);
}

std::vector<AllanChart::LegendEntry> AllanChart::legend() const
{
    std::vector<LegendEntry> entries = {{QStringLiteral("East"), kEast, Qt::SolidLine},
                                        {QStringLiteral("North"), kNorth, Qt::SolidLine}};
    const bool altitude = std::any_of(m_points.begin(), m_points.end(),
                                      [](const navorel::AllanPoint &p) { return p.altitude.has_value(); });
    if (altitude)
        entries.push_back({QStringLiteral("Altitude"), kAltitude, Qt::SolidLine});
    entries.push_back({QStringLiteral("1/\u221A\u03C4"), kGuide, Qt::DashLine});
    return entries;
}

// On the title's line at its right end, never over the curves.
QRectF AllanChart::legendArea() const
{
    const QFontMetrics metrics(font());
    double width = 0;
    for (const LegendEntry &entry : legend())
        width += kLegendSample + 4 + metrics.horizontalAdvance(entry.name) + 10;
    const QRectF area = plotArea();
    return QRectF(area.right() - width, kMargin / 2, width, metrics.height());
}

void AllanChart::drawTitleLine(QPainter &painter, const QRectF &area) const
{
    const QFontMetrics metrics(font());
    const QRectF place = legendArea();
    const QString title =
        metrics.elidedText(QStringLiteral("How the mean improves with averaging time (m)"), Qt::ElideRight,
                           static_cast<int>(place.left() - area.left() - 8));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(area.left(), place.top() + metrics.ascent()), title);
    double x = place.left();
    const double middle = place.center().y();
    for (const LegendEntry &entry : legend()) {
        painter.setPen(QPen(entry.colour, 2, entry.style));
        painter.drawLine(QPointF(x, middle), QPointF(x + kLegendSample, middle));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x + kLegendSample + 4, place.top() + metrics.ascent()), entry.name);
        x += kLegendSample + 4 + metrics.horizontalAdvance(entry.name) + 10;
    }
}

void AllanChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRectF area = plotArea();
    drawAxes(painter, area);
    drawTitleLine(painter, area);
    if (m_points.empty()) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Needs 8 fixes or more"));
        return;
    }
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing);
    const navorel::AllanPoint &first = m_points.front();
    // From the first point of the horizontal deviations: where the curves
    // fall as steeply as this, the fixes' errors are independent.
    const double start = (first.east + first.north) / 2;
    if (start > 0 && first.tauSeconds > 0) {
        painter.setPen(QPen(kGuide, 1.2, Qt::DashLine));
        const double last = m_points.back().tauSeconds;
        painter.drawLine(pixelOf(first.tauSeconds, start),
                         pixelOf(last, start * std::sqrt(first.tauSeconds / last)));
    }
    const auto drawCurve = [&](const QColor &colour, auto valueOf) {
        QPainterPath path;
        for (const navorel::AllanPoint &p : m_points) {
            const std::optional<double> value = valueOf(p);
            if (!value || !(*value > 0) || !(p.tauSeconds > 0))
                continue;
            const QPointF at = pixelOf(p.tauSeconds, *value);
            if (path.elementCount() == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        painter.setPen(QPen(colour, 1.8));
        painter.drawPath(path);
    };
    drawCurve(kEast, [](const navorel::AllanPoint &p) { return std::optional(p.east); });
    drawCurve(kNorth, [](const navorel::AllanPoint &p) { return std::optional(p.north); });
    drawCurve(kAltitude, [](const navorel::AllanPoint &p) { return p.altitude; });
    painter.restore();
}
