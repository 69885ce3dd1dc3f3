#include "app/positionchart.h"

#include <QCategoryAxis>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "filter/chartpoints.h"
#include "filter/fixquality.h"
#include "filter/nmeafields.h"
#include "ui/chartstyle.h"
#include "ui/textcodec.h"

namespace {

// Four decimals of minutes are all a label shows: finer steps would repeat labels.
constexpr double kLabelResolution = 0.0001 / 60.0;
constexpr int kTickLength = 5;
constexpr int kMinLabels = 4;
// How far from a dot, in pixels, the mouse still names its fix.
constexpr double kToolTipReach = 8.0;

// A dot of 5 x 5 pixels: outline round a 3 x 3 centre in the point colour.
constexpr int kDotRadius = 2;
constexpr const char *kDotShape[] = {
    " ooo ", //
    "o###o", //
    "o###o", //
    "o###o", //
    " ooo ", //
};
const QRgb kPointColour = qRgb(0, 85, 168);
const QRgb kPointOutline = qRgb(0, 78, 155);

void stampDot(QImage &image, int column, int row, QRgb colour, QRgb outline)
{
    uchar *bits = image.bits();
    for (int dy = -kDotRadius; dy <= kDotRadius; ++dy) {
        const int y = row + dy;
        if (y < 0 || y >= image.height())
            continue;
        auto *line = reinterpret_cast<QRgb *>(bits + y * image.bytesPerLine());
        const char *shape = kDotShape[dy + kDotRadius];
        for (int dx = -kDotRadius; dx <= kDotRadius; ++dx) {
            const int x = column + dx;
            const char kind = shape[dx + kDotRadius];
            if (kind != ' ' && x >= 0 && x < image.width())
                line[x] = kind == '#' ? colour : outline;
        }
    }
}

} // namespace

void PositionChart::Extent::include(double value)
{
    if (std::isfinite(value)) {
        min = std::min(min, value);
        max = std::max(max, value);
    }
}

PositionChart::Scale PositionChart::scaleFor(const Extent &extent, int maxTicks)
{
    double low = 0.0;
    double high = 1.0; // one degree while there is nothing to show
    if (!extent.isEmpty()) {
        // Room of 2 % on each side, so that the frame does not cut the
        // outermost dots in half; a single fix gets a few label steps round it.
        const double centre = (extent.min + extent.max) / 2;
        const double half = std::max((extent.max - extent.min) * 0.52, 2 * kLabelResolution);
        low = centre - half;
        high = centre + half;
    }
    return {navorel::minuteAxis(low, high, maxTicks, kMinLabels)};
}

void PositionChart::showScale(QCategoryAxis *axis, const Scale &scale)
{
    const QStringList labels = axis->categoriesLabels();
    for (const QString &label : labels)
        axis->remove(label);
    axis->setStartValue(scale.min());
    for (int i = 0; i < scale.axis.ticks.count; ++i) {
        axis->append(fromWindows1252(scale.axis.label(i)),
                     std::clamp(scale.axis.degreesAt(i), scale.min(), scale.max()));
    }
    axis->setRange(scale.min(), scale.max());
}

int PositionChart::labelWidth() const
{
    return QFontMetrics(m_latitudeAxis->labelsFont()).horizontalAdvance(QStringLiteral("000\u00B000,0000"))
           + 10;
}

PositionChart::PositionChart(QWidget *parent)
        : QChartView(new QChart, parent), m_chart(chart()), m_latitudeAxis(new QCategoryAxis),
          m_longitudeAxis(new QCategoryAxis), m_colours(kPointColour)
{
    styleChart(this, QStringLiteral("GPS Data"));

    m_latitudeAxis->setTitleText(QStringLiteral("North LAT"));
    m_longitudeAxis->setTitleText(QStringLiteral("East LON"));
    for (QCategoryAxis *axis : {m_latitudeAxis, m_longitudeAxis})
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_chart->addAxis(m_latitudeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_longitudeAxis, Qt::AlignLeft);

    // The nearest Qt has to a lowered bevel round a white panel.
    setBackgroundBrush(Qt::white);
    rescale();
}

PositionChart::~PositionChart() = default;

void PositionChart::addPositionPoint(double latitude, double longitude)
{
    m_points.push_back({latitude, longitude});
    addClasses(m_points.size() - 1, {});
    includeFrom(m_points.size() - 1);
    pointsChanged();
}

void PositionChart::addPoints(std::vector<navorel::PositionPoint> points, std::vector<std::uint8_t> classes)
{
    const std::size_t from = m_points.size();
    // A run's points are taken over, not copied.
    if (m_points.empty())
        m_points = std::move(points);
    else
        m_points.insert(m_points.end(), points.begin(), points.end());
    addClasses(from, classes);
    includeFrom(from);
    pointsChanged();
}

void PositionChart::addClasses(std::size_t from, const std::vector<std::uint8_t> &classes)
{
    const auto unknown = static_cast<std::uint8_t>(navorel::FixClass::Unknown);
    m_classes.resize(from);
    if (classes.size() == m_points.size() - from)
        m_classes.insert(m_classes.end(), classes.begin(), classes.end());
    else
        m_classes.resize(m_points.size(), unknown);
    for (std::size_t i = from; i < m_classes.size(); ++i)
        m_colours.add(m_classes[i]);
}

void PositionChart::clearPoints()
{
    m_points.clear();
    m_fixTimes = nullptr;
    m_classes.clear();
    m_colours = FixClassColours(kPointColour);
    m_latitudeExtent = {};
    m_longitudeExtent = {};
    m_longitudes = {};
    m_overDateLine = false;
    m_dotLayer = QImage();
    pointsChanged();
}

double PositionChart::drawnLongitude(double longitude) const
{
    // Over the date line the axis runs on past 180 E, where western longitudes lie.
    return m_overDateLine && longitude < 0.0 ? longitude + 360.0 : longitude;
}

const std::vector<navorel::PositionPoint> &PositionChart::points() const
{
    return m_points;
}

void PositionChart::includeFrom(std::size_t from)
{
    for (std::size_t i = from; i < m_points.size(); ++i) {
        m_latitudeExtent.include(m_points[i].latitude);
        if (std::isfinite(m_points[i].longitude))
            m_longitudes.add(m_points[i].longitude);
    }
    if (m_longitudes.crossesDateLine() != m_overDateLine) {
        m_overDateLine = !m_overDateLine;
        m_longitudeExtent = {};
        from = 0;
    }
    for (std::size_t i = from; i < m_points.size(); ++i)
        m_longitudeExtent.include(drawnLongitude(m_points[i].longitude));
}

void PositionChart::pointsChanged()
{
    rescale();
    m_dotLayerValid = false;
    viewport()->update();
}

void PositionChart::rescale()
{
    // Room for a label such as "48°07,0385" across, and for a line of text up.
    // The left axis takes about one label's width: the plot gets the rest.
    const int across = std::clamp(width() / labelWidth() - 1, kMinLabels, 10);
    const int up = std::clamp(height() / 40, kMinLabels, 10);
    const Scale latitudeScale = scaleFor(m_latitudeExtent, across);
    const Scale longitudeScale = scaleFor(m_longitudeExtent, up);
    // Relabelling makes Qt Charts lay the chart out again: not for every
    // point added one by one inside the axes it already has.
    bool relabelled = false;
    if (latitudeScale != m_latitudeScale || m_latitudeAxis->count() == 0) {
        m_latitudeScale = latitudeScale;
        showScale(m_latitudeAxis, latitudeScale);
        relabelled = true;
    }
    if (longitudeScale != m_longitudeScale || m_longitudeAxis->count() == 0) {
        m_longitudeScale = longitudeScale;
        showScale(m_longitudeAxis, longitudeScale);
        relabelled = true;
    }
    if (relabelled) {
        // Qt Charts would lay out at the next turn of the event loop; a
        // paint before that (a grab) showed new labels cut to the old width.
        m_chart->layout()->activate();
        m_dotLayerValid = false;
    }
    standLabelsUpright();
}

// Labels that do not fit side by side under the plot (long ones, south or
// west, in a narrow window) stand upright, whole, instead of being cut.
void PositionChart::standLabelsUpright()
{
    const QFontMetrics metrics(m_latitudeAxis->labelsFont());
    const QStringList labels = m_latitudeAxis->categoriesLabels();
    int widest = 0;
    for (const QString &label : labels)
        widest = std::max(widest, metrics.horizontalAdvance(label));
    const qreal across = (widest + 2 * metrics.averageCharWidth()) * static_cast<qreal>(labels.size());
    const int angle = across > m_chart->plotArea().width() ? -90 : 0;
    if (m_latitudeAxis->labelsAngle() == angle)
        return;
    m_latitudeAxis->setLabelsAngle(angle);
    m_latitudeAxis->setTruncateLabels(angle == 0);
    m_chart->layout()->activate();
    m_dotLayerValid = false;
}

void PositionChart::resizeEvent(QResizeEvent *event)
{
    fitChartMargins(this);
    // The last label stands on the right end, half of it beyond the plot.
    QMargins margins = m_chart->margins();
    margins.setRight(std::max(margins.right(), labelWidth() / 2));
    m_chart->setMargins(margins);
    QChartView::resizeEvent(event);
    rescale();
}

void PositionChart::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    const QRectF plotArea = m_chart->mapRectToScene(m_chart->plotArea());
    drawTicks(painter, plotArea);
    if (m_points.empty()) {
        m_paintedDotCount = 0;
        return;
    }
    if (!m_dotLayerValid || plotArea != m_dotLayerArea)
        renderDotLayer(plotArea);
    painter->save();
    painter->setClipRect(plotArea, Qt::IntersectClip);
    painter->drawImage(QPointF(std::floor(plotArea.left()), std::floor(plotArea.top())), m_dotLayer);
    painter->restore();
    drawLegend(painter);
}

QRectF PositionChart::legendArea() const
{
    const QList<FixClassColours::Entry> entries = m_colours.legend();
    if (entries.isEmpty())
        return {};
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const FixClassColours::Entry &entry : entries)
        widest = std::max(widest, metrics.horizontalAdvance(entry.name));
    const QRectF plotArea = m_chart->mapRectToScene(m_chart->plotArea());
    // In the upper left corner of the plot, out of the axes' way.
    return QRectF(plotArea.left() + 4, plotArea.top() + 4, widest + 24.0,
                  metrics.height() * static_cast<double>(entries.size()) + 4);
}

void PositionChart::drawLegend(QPainter *painter) const
{
    const QRectF box = legendArea();
    if (box.isEmpty())
        return;
    const QFontMetrics metrics(font());
    painter->save();
    painter->setPen(QColor(190, 190, 190));
    painter->setBrush(QColor(255, 255, 255, 225));
    painter->drawRect(box);
    double y = box.top() + 2;
    for (const FixClassColours::Entry &entry : m_colours.legend()) {
        painter->fillRect(QRectF(box.left() + 5, y + metrics.height() / 2.0 - 3, 7, 7), QColor(entry.colour));
        painter->setPen(Qt::black);
        painter->drawText(QPointF(box.left() + 18, y + metrics.ascent()), entry.name);
        y += metrics.height();
    }
    painter->restore();
}

void PositionChart::renderDotLayer(const QRectF &plotArea)
{
    const double originX = std::floor(plotArea.left());
    const double originY = std::floor(plotArea.top());
    const int width = static_cast<int>(std::ceil(plotArea.right()) - originX) + 1;
    const int height = static_cast<int>(std::ceil(plotArea.bottom()) - originY) + 1;
    if (m_dotLayer.size() != QSize(width, height))
        m_dotLayer = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    m_dotLayer.fill(Qt::transparent);

    const double xPerValue = plotArea.width() / (m_latitudeScale.max() - m_latitudeScale.min());
    const double yPerValue = plotArea.height() / (m_longitudeScale.max() - m_longitudeScale.min());
    const double left = plotArea.left() - originX;
    const double bottom = plotArea.bottom() - originY;
    // A day's log puts thousands of fixes on the same pixel; one dot shows
    // them all. Fixes of several kinds are drawn the worse kinds first, so
    // that the better ones stay in sight.
    std::vector<unsigned char> taken(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const bool coloured = m_colours.coloured();
    int dots = 0;
    for (int kind = FixClassColours::kKinds - 1; kind >= 0; --kind) {
        const auto pass = static_cast<unsigned char>(kind + 1);
        for (std::size_t i = 0; i < m_points.size(); ++i) {
            if (coloured && FixClassColours::kindOf(m_classes[i]) != kind)
                continue;
            const navorel::PositionPoint &point = m_points[i];
            const double x = left + (point.latitude - m_latitudeScale.min()) * xPerValue;
            const double y = bottom - (drawnLongitude(point.longitude) - m_longitudeScale.min()) * yPerValue;
            if (!(x >= 0 && x < width && y >= 0 && y < height))
                continue;
            const int column = static_cast<int>(x);
            const int row = static_cast<int>(y);
            unsigned char &pixel = taken[static_cast<std::size_t>(row) * static_cast<std::size_t>(width)
                                         + static_cast<std::size_t>(column)];
            if (pixel == pass)
                continue;
            pixel = pass;
            const QRgb colour = coloured ? m_colours.colourOf(m_classes[i]) : kPointColour;
            stampDot(m_dotLayer, column, row, colour,
                     coloured ? QColor(colour).darker(112).rgb() : kPointOutline);
            ++dots;
        }
        if (!coloured)
            break;
    }
    m_paintedDotCount = dots;
    m_dotLayerArea = plotArea;
    m_dotLayerValid = true;
}

void PositionChart::drawTicks(QPainter *painter, const QRectF &plotArea) const
{
    // Qt Charts' own ticks are shorter, and a category axis has no minor
    // ticks: one goes half a step after each label.
    const auto drawAlong = [painter](const Scale &scale, const auto &tickAt) {
        const navorel::AxisTicks &ticks = scale.axis.ticks;
        for (int i = 0; i < ticks.count; ++i) {
            painter->drawLine(
                tickAt(scale.fraction(std::clamp(scale.axis.degreesAt(i), scale.min(), scale.max()))));
            if (i + 1 < ticks.count)
                painter->drawLine(tickAt(scale.fraction((ticks.at(i) + ticks.step / 2) / 60.0)));
        }
    };
    painter->save();
    painter->setPen(m_latitudeAxis->linePen());
    drawAlong(m_latitudeScale, [&](double fraction) {
        const double x = plotArea.left() + fraction * plotArea.width();
        return QLineF(x, plotArea.bottom(), x, plotArea.bottom() + kTickLength);
    });
    painter->setPen(m_longitudeAxis->linePen());
    drawAlong(m_longitudeScale, [&](double fraction) {
        const double y = plotArea.bottom() - fraction * plotArea.height();
        return QLineF(plotArea.left() - kTickLength, y, plotArea.left(), y);
    });
    painter->restore();
}

QString PositionChart::toolTipAt(const QPoint &pos) const
{
    const QRectF plotArea = m_chart->mapRectToScene(m_chart->plotArea());
    const QPointF at = mapToScene(pos);
    if (m_points.empty() || !plotArea.contains(at))
        return {};
    const double xPerValue = plotArea.width() / (m_latitudeScale.max() - m_latitudeScale.min());
    const double yPerValue = plotArea.height() / (m_longitudeScale.max() - m_longitudeScale.min());
    const auto pointOf = [&](std::size_t i) {
        const navorel::PositionPoint &point = m_points[i];
        return navorel::PlanePoint{
            plotArea.left() + (point.latitude - m_latitudeScale.min()) * xPerValue,
            plotArea.bottom() - (drawnLongitude(point.longitude) - m_longitudeScale.min()) * yPerValue};
    };
    const std::optional<std::size_t> index =
        navorel::nearestPoint(m_points.size(), pointOf, {at.x(), at.y()}, kToolTipReach);
    if (!index)
        return {};
    const navorel::PositionPoint &point = m_points[*index];
    QString text;
    if (m_fixTimes != nullptr && *index < m_fixTimes->size()) {
        if (const std::string time = navorel::secondsOfDayText((*m_fixTimes)[*index]); !time.empty())
            text = QStringLiteral("Time: ") + QString::fromStdString(time) + QLatin1Char('\n');
    }
    return text + QStringLiteral("North latitude : ")
           + fromWindows1252(navorel::CoordToText(navorel::DegreesToCoord(point.latitude, 1)))
           + QStringLiteral("\nEast longitude : ")
           + fromWindows1252(navorel::CoordToText(navorel::DegreesToCoord(point.longitude, 1)));
}

bool PositionChart::viewportEvent(QEvent *event)
{
    if (answerToolTip(event, viewport(), [this](const QPoint &at) { return toolTipAt(at); }))
        return true;
    return QChartView::viewportEvent(event);
}
