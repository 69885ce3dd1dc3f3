#include "app/precisionplot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <span>

#include "filter/axislabel.h"
#include "filter/chartpoints.h"
#include "filter/localplane.h"
#include "ui/chartstyle.h"

namespace {

constexpr int kLeftMargin = 44;
constexpr int kBottomMargin = 32;
constexpr int kMargin = 8;
constexpr int kLegendSample = 20; // the piece of line before an entry's name
const QRgb kDotColour = qRgb(0, 85, 168);

struct Ring
{
    const char *name;
    QColor colour;
    Qt::PenStyle style;
};

const Ring kRings[] = {
    {"CEP50", QColor(0, 150, 60), Qt::SolidLine},
    {"CEP95", QColor(230, 120, 0), Qt::SolidLine},
    {"2DRMS", QColor(200, 0, 0), Qt::DashLine},
};
// Over fixes coloured by class the rings keep out of the classes' colours.
const Ring kRingsOverClasses[] = {
    {"CEP50", QColor(40, 40, 40), Qt::DotLine},
    {"CEP95", QColor(0, 0, 0), Qt::SolidLine},
    {"2DRMS", QColor(110, 0, 110), Qt::DashLine},
};

QString tickText(double value, double step)
{
    const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step))), 0, 4);
    return QString::number(std::fabs(value) < step / 2 ? 0.0 : value, 'f', decimals);
}

// The circles' colours and lines, kept out of the classes' colours.
const Ring *ringsFor(const FixClassColours &colours)
{
    return colours.coloured() ? kRingsOverClasses : kRings;
}

} // namespace

PrecisionPlot::PrecisionPlot(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(200, 160);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PrecisionPlot::setFixes(const navorel::AcceptedFixes *fixes, const navorel::PrecisionFigures &figures,
                             const std::vector<std::uint8_t> *classes)
{
    m_fixes = fixes;
    m_classes =
        fixes != nullptr && classes != nullptr && classes->size() == fixes->size() ? classes : nullptr;
    m_colours = m_classes != nullptr ? FixClassColours(*m_classes, kDotColour) : FixClassColours();
    m_figures = figures;
    // Every fix and every circle in view, with a little room round them.
    const double outermost = std::max({figures.maxDistance, figures.cep95, figures.twiceDrms});
    m_reach = std::max(outermost * 1.08, 0.05);
    m_dotsValid = false;
    update();
}

void PrecisionPlot::clear()
{
    setFixes(nullptr, navorel::PrecisionFigures());
}

std::vector<PrecisionPlot::LegendEntry> PrecisionPlot::legend() const
{
    std::vector<LegendEntry> entries;
    for (const Ring &ring : std::span(ringsFor(m_colours), std::size(kRings)))
        entries.push_back({QString::fromLatin1(ring.name), ring.colour, false, ring.style});
    for (const FixClassColours::Entry &kind : m_colours.legend())
        entries.push_back({kind.name, QColor(kind.colour), true, Qt::SolidLine});
    return entries;
}

// The legend stands above the plot, never over the fixes: entries side by
// side, in as many rows as the width needs. Their radii are in the table.
std::vector<QRectF> PrecisionPlot::legendEntries() const
{
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height();
    std::vector<QRectF> entries;
    double x = kLeftMargin;
    double y = kMargin;
    for (const LegendEntry &entry : legend()) {
        const double entryWidth = kLegendSample + 6 + metrics.horizontalAdvance(entry.name);
        if (x > kLeftMargin && x + entryWidth > width() - kMargin) {
            x = kLeftMargin;
            y += lineHeight;
        }
        entries.emplace_back(x, y, entryWidth, lineHeight);
        x += entryWidth + 14;
    }
    return entries;
}

QRectF PrecisionPlot::plotArea() const
{
    const double top = legendEntries().back().bottom() + 4;
    return QRectF(kLeftMargin, top, std::max(10, width() - kLeftMargin - kMargin),
                  std::max(10.0, height() - top - kBottomMargin));
}

double PrecisionPlot::pixelsPerMetre() const
{
    const QRectF area = plotArea();
    return std::min(area.width(), area.height()) / (2 * m_reach);
}

QPointF PrecisionPlot::pixelOf(double east, double north) const
{
    const QPointF centre = plotArea().center();
    const double scale = pixelsPerMetre();
    return {centre.x() + east * scale, centre.y() - north * scale};
}

void PrecisionPlot::resizeEvent(QResizeEvent *event)
{
    m_dotsValid = false;
    QWidget::resizeEvent(event);
}

void PrecisionPlot::renderDots(const QRect &area)
{
    m_dots = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    m_dots.fill(Qt::transparent);
    const int w = m_dots.width();
    const int h = m_dots.height();
    if (m_fixes == nullptr)
        return;
    // Metres computed as drawn: a copy of every fix in metres would cost
    // as much memory as the fixes.
    const navorel::LocalPlane plane(m_figures.meanLatitude, m_figures.meanLongitude);
    const bool coloured = m_classes != nullptr && m_colours.coloured();
    // pixelOf, with the plot area worked out once rather than per fix.
    const double scale = pixelsPerMetre();
    const QPointF centre = plotArea().center() - area.topLeft();
    // The worse kinds first: the few good fixes in the middle of a crowd of
    // autonomous ones stay in sight.
    for (int kind = FixClassColours::kKinds - 1; kind >= 0; --kind) {
        for (std::size_t i = 0; i < m_fixes->size(); ++i) {
            if (coloured && FixClassColours::kindOf((*m_classes)[i]) != kind)
                continue;
            const QRgb colour = coloured ? m_colours.colourOf((*m_classes)[i]) : kDotColour;
            const QPointF p(centre.x() + plane.east(m_fixes->longitudes[i]) * scale,
                            centre.y() - plane.north(m_fixes->latitudes[i]) * scale);
            const int x = static_cast<int>(std::lround(p.x()));
            const int y = static_cast<int>(std::lround(p.y()));
            // A 3 x 3 dot: one fix is visible, a crowd becomes a blot.
            for (int dy = -1; dy <= 1; ++dy) {
                if (y + dy < 0 || y + dy >= h)
                    continue;
                auto *line = reinterpret_cast<QRgb *>(m_dots.scanLine(y + dy));
                for (int dx = -1; dx <= 1; ++dx) {
                    if (x + dx >= 0 && x + dx < w)
                        line[x + dx] = colour;
                }
            }
        }
        if (!coloured)
            break;
    }
    m_dotsValid = true;
}

void PrecisionPlot::drawAxes(QPainter &painter, const QRectF &area) const
{
    const double scale = pixelsPerMetre();
    const QPointF centre = area.center();
    const double halfWidth = area.width() / 2 / scale;
    const double halfHeight = area.height() / 2 / scale;
    // One step for both axes, so that a grid square is a square.
    const navorel::AxisTicks probe =
        navorel::niceAxisTicks(-std::min(halfWidth, halfHeight), std::min(halfWidth, halfHeight), 5, 0.001);
    const double step = probe.count > 1 ? probe.step : m_reach;
    const QFontMetrics metrics(font());
    painter.setPen(QColor(225, 225, 225));
    for (double v = std::floor(-halfWidth / step) * step; v <= halfWidth; v += step) {
        const double x = centre.x() + v * scale;
        if (x < area.left() || x > area.right())
            continue;
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(Qt::black);
        const QString text = tickText(v, step);
        painter.drawText(
            QPointF(x - metrics.horizontalAdvance(text) / 2.0, area.bottom() + metrics.ascent() + 3), text);
    }
    for (double v = std::floor(-halfHeight / step) * step; v <= halfHeight; v += step) {
        const double y = centre.y() - v * scale;
        if (y < area.top() || y > area.bottom())
            continue;
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(Qt::black);
        const QString text = tickText(v, step);
        painter.drawText(
            QPointF(area.left() - metrics.horizontalAdvance(text) - 4, y + metrics.ascent() / 2.0 - 1), text);
    }
    painter.setPen(Qt::black);
    painter.drawRect(area);
    const QString across = QStringLiteral("East (m)");
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(across) / 2.0, height() - 3),
                     across);
    painter.save();
    painter.translate(metrics.ascent(),
                      area.center().y() + metrics.horizontalAdvance(QStringLiteral("North (m)")) / 2.0);
    painter.rotate(-90);
    painter.drawText(QPointF(0, 0), QStringLiteral("North (m)"));
    painter.restore();
}

void PrecisionPlot::drawCircles(QPainter &painter) const
{
    const double radii[] = {m_figures.cep50, m_figures.cep95, m_figures.twiceDrms};
    const QPointF centre = pixelOf(0, 0);
    const double scale = pixelsPerMetre();
    painter.setRenderHint(QPainter::Antialiasing);
    const Ring *shown = ringsFor(m_colours);
    for (std::size_t i = 0; i < std::size(kRings); ++i) {
        painter.setPen(QPen(shown[i].colour, 1.5, shown[i].style));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, radii[i] * scale, radii[i] * scale);
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(centre - QPointF(5, 0), centre + QPointF(5, 0));
    painter.drawLine(centre - QPointF(0, 5), centre + QPointF(0, 5));
}

void PrecisionPlot::drawLegend(QPainter &painter) const
{
    const QFontMetrics metrics(font());
    const std::vector<QRectF> places = legendEntries();
    const std::vector<LegendEntry> entries = legend();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QRectF &place = places[i];
        const double y = place.center().y();
        if (entries[i].dot) {
            painter.fillRect(QRectF(place.left() + kLegendSample / 2.0 - 3, y - 3, 7, 7), entries[i].colour);
        } else {
            painter.setPen(QPen(entries[i].colour, 2, entries[i].style));
            painter.drawLine(QPointF(place.left(), y), QPointF(place.left() + kLegendSample, y));
        }
        painter.setPen(Qt::black);
        painter.drawText(QPointF(place.left() + kLegendSample + 6, place.top() + metrics.ascent()),
                         entries[i].name);
    }
}

void PrecisionPlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRectF area = plotArea();
    drawAxes(painter, area);
    if (m_figures.empty()) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No fixes"));
        return;
    }
    const QRect dotArea = area.toAlignedRect();
    if (!m_dotsValid || m_dots.size() != dotArea.size())
        renderDots(dotArea);
    painter.save();
    painter.setClipRect(area);
    painter.drawImage(dotArea.topLeft(), m_dots);
    drawCircles(painter);
    painter.restore();
    drawLegend(painter);
}

QString PrecisionPlot::toolTipAt(const QPoint &pos) const
{
    if (m_fixes == nullptr || m_fixes->empty() || !plotArea().contains(pos))
        return {};
    const navorel::LocalPlane plane(m_figures.meanLatitude, m_figures.meanLongitude);
    const auto pointOf = [&](std::size_t i) {
        const QPointF p = pixelOf(plane.east(m_fixes->longitudes[i]), plane.north(m_fixes->latitudes[i]));
        return navorel::PlanePoint{p.x(), p.y()};
    };
    const std::optional<std::size_t> index =
        navorel::nearestPoint(m_fixes->size(), pointOf, {double(pos.x()), double(pos.y())}, 8.0);
    if (!index)
        return {};
    const navorel::FixOffset offset =
        navorel::offsetFromMean(plane, m_fixes->latitudes[*index], m_fixes->longitudes[*index]);
    const std::string time = navorel::secondsOfDayText(m_fixes->times[*index]);
    const auto metres = [](double value) { return QString::number(value, 'f', 3) + QStringLiteral(" m"); };
    return (time.empty() ? QString()
                         : QStringLiteral("Time: ") + QString::fromStdString(time) + QLatin1Char('\n'))
           + QStringLiteral("East: ") + metres(offset.east) + QStringLiteral(", north: ")
           + metres(offset.north) + QStringLiteral("\nFrom the mean: ") + metres(offset.distance);
}

bool PrecisionPlot::event(QEvent *event)
{
    if (answerToolTip(event, this, [this](const QPoint &at) { return toolTipAt(at); }))
        return true;
    return QWidget::event(event);
}
