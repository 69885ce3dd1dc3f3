#include <QCategoryAxis>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QTest>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "app/positionchart.h"
#include "app/satellitechart.h"
#include "filter/axislabel.h"
#include "ui/textcodec.h"

using navorel::PositionPoint;
using navorel::SatelliteBar;

namespace {

const QColor kPointColour(0, 85, 168);
const QColor kBarColour(0, 85, 168);
const QColor kBarOutline(0, 64, 128);

// The chart takes decimal degrees; the cases read better as they stand in
// a sentence, as coordinate numbers (4807.038 for 48 degrees 7.038 minutes).
double degreesOf(double coordinate)
{
    return navorel::coordinateToMinutes(coordinate) / 60.0;
}

PositionPoint at(double latitude, double longitude)
{
    return {degreesOf(latitude), degreesOf(longitude)};
}

std::vector<PositionPoint> pointsAt(std::initializer_list<std::pair<double, double>> coordinates)
{
    std::vector<PositionPoint> points;
    for (const auto &[latitude, longitude] : coordinates)
        points.push_back(at(latitude, longitude));
    return points;
}

// A receiver standing still, its fixes wandering by a few metres.
std::vector<PositionPoint> fixesAround(double latitude, double longitude, int count)
{
    std::vector<PositionPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({degreesOf(latitude) + 0.0013 / 60 * std::sin(i * 0.7),
                          degreesOf(longitude) + 0.0021 / 60 * std::cos(i * 1.3)});
    return points;
}

// The plot area in the pixels of a grab of the whole view.
QRect plotAreaInGrab(const QChartView &view)
{
    const QRectF scene = view.chart()->mapRectToScene(view.chart()->plotArea());
    return view.mapFromScene(scene).boundingRect().translated(view.viewport()->pos());
}

int pixelsOf(const QImage &image, const QRect &area, const QColor &colour)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    }
    return count;
}

QPoint pixelOf(const QRect &plotArea, double xFraction, double yFraction)
{
    return QPoint(plotArea.left() + static_cast<int>(std::lround(xFraction * plotArea.width())),
                  plotArea.bottom() - static_cast<int>(std::lround(yFraction * plotArea.height())));
}

double fractionOn(const QValueAxis *axis, double value)
{
    return (value - axis->min()) / (axis->max() - axis->min());
}

// What a user can check on screen: the axes enclose every point and each
// label is the value it stands at, written as a coordinate.
void verifyAxisFits(QCategoryAxis *axis, double low, double high)
{
    QVERIFY2(axis->min() <= low && axis->max() >= high, qPrintable(QStringLiteral("%1..%2 outside %3..%4")
                                                                       .arg(low, 0, 'f', 6)
                                                                       .arg(high, 0, 'f', 6)
                                                                       .arg(axis->min(), 0, 'f', 6)
                                                                       .arg(axis->max(), 0, 'f', 6)));
    QVERIFY2(axis->count() >= 4, qPrintable(QString::number(axis->count())));
    // Every label with the decimals of the first.
    const QString first = axis->categoriesLabels().first();
    const int decimals = static_cast<int>(first.size() - first.indexOf(QLatin1Char(',')) - 1);
    for (const QString &label : axis->categoriesLabels()) {
        const double value = axis->endValue(label);
        double minutes = std::round(value * 60 * 10000) / 10000;
        if (minutes > 180 * 60)
            minutes -= 360 * 60; // over the date line
        QCOMPARE(label,
                 fromWindows1252(navorel::axisLabelText(navorel::minutesToCoordinate(minutes), decimals)));
        QVERIFY2(value >= axis->min() && value <= axis->max(), qPrintable(label));
    }
}

void verifyAxesFit(const PositionChart &chart)
{
    constexpr double kNone = std::numeric_limits<double>::infinity();
    double minLatitude = kNone, maxLatitude = -kNone, minLongitude = kNone, maxLongitude = -kNone;
    for (const PositionPoint &point : chart.points()) {
        minLatitude = std::min(minLatitude, point.latitude);
        maxLatitude = std::max(maxLatitude, point.latitude);
        const double longitude =
            chart.drawsOverTheDateLine() && point.longitude < 0 ? point.longitude + 360 : point.longitude;
        minLongitude = std::min(minLongitude, longitude);
        maxLongitude = std::max(maxLongitude, longitude);
    }
    verifyAxisFits(chart.latitudeAxis(), minLatitude, maxLatitude);
    verifyAxisFits(chart.longitudeAxis(), minLongitude, maxLongitude);
}

} // namespace

class ChartsTest : public QObject
{
    Q_OBJECT

private slots:
    void titlesAreTheWindowTexts();
    void addPointsKeepsThemAllInsideTheAxes_data();
    void addPointsKeepsThemAllInsideTheAxes();
    void pointsOfAResultFileJoinThoseOfTheRun();
    void labelsAreRoundMinutesAndFitAtTheDefaultSize_data();
    void labelsAreRoundMinutesAndFitAtTheDefaultSize();
    void aPointInsideTheAxesShowsAtTheNextPaint();
    void clearingEmptiesAndTheNextPointsRescale();
    void dotsAppearWhereThePointsAre_data();
    void dotsAppearWhereThePointsAre();
    void manyPointsShareDotsAndAreAllKept();
    void fixesOnBothSidesOfAWholeDegreeLieTogether_data();
    void fixesOnBothSidesOfAWholeDegreeLieTogether();
    void satelliteScaleStaysAtSixteen();
    void satelliteScaleGrowsToTheHighestBar();
    void barsStandAtTheirMinutes();
    void aWeekOfBarsFitsTheMinutesAxis();
    void barsAddAndClear();
};

void ChartsTest::titlesAreTheWindowTexts()
{
    PositionChart position;
    SatelliteChart satellites;
    QCOMPARE(position.chart()->title(), QStringLiteral("GPS Data"));
    QCOMPARE(position.latitudeAxis()->titleText(), QStringLiteral("North LAT"));
    QCOMPARE(position.longitudeAxis()->titleText(), QStringLiteral("East LON"));
    QCOMPARE(position.chart()->axes(Qt::Horizontal), QList<QAbstractAxis *>{position.latitudeAxis()});
    QCOMPARE(position.chart()->axes(Qt::Vertical), QList<QAbstractAxis *>{position.longitudeAxis()});
    QCOMPARE(satellites.chart()->title(), QStringLiteral("Satellites in view"));
    QCOMPARE(satellites.minutesAxis()->titleText(), QStringLiteral("Minutes range"));
    QCOMPARE(satellites.satellitesAxis()->titleText(), QStringLiteral("Number of satellites"));
    QCOMPARE(satellites.chart()->axes(Qt::Horizontal), QList<QAbstractAxis *>{satellites.minutesAxis()});
    for (const QChartView *view : std::initializer_list<const QChartView *>{&position, &satellites}) {
        QVERIFY(!view->chart()->legend()->isVisible());
        QCOMPARE(view->chart()->backgroundBrush().color(), QColor(Qt::white));
    }
    QVERIFY(position.minimumHeight() >= 268);
}

void ChartsTest::addPointsKeepsThemAllInsideTheAxes_data()
{
    QTest::addColumn<std::vector<PositionPoint>>("points");
    QTest::newRow("one fix") << pointsAt({{4807.038, 1131.0}});
    QTest::newRow("standing near Munich") << fixesAround(4807.038, 1131.0, 1000);
    QTest::newRow("south and west") << fixesAround(-3351.1234, -15112.5, 50);
    QTest::newRow("across the equator") << pointsAt({{-0.5, 3.25}, {0.75, 3.5}, {0.0, 3.0}});
    QTest::newRow("two places far apart") << pointsAt({{4807.038, 1131.0}, {5130.2, -7.4}});
    QTest::newRow("the same fix twice") << pointsAt({{4807.0380, 1131.0}, {4807.0380, 1131.0}});
    QTest::newRow("over the date line") << pointsAt({{-1630.0, 17959.999}, {-1630.001, -17959.998}});
}

void ChartsTest::addPointsKeepsThemAllInsideTheAxes()
{
    QFETCH(std::vector<PositionPoint>, points);
    PositionChart chart;
    chart.resize(640, 400);
    chart.addPoints(points);
    QVERIFY(chart.points() == points);
    verifyAxesFit(chart);
}

void ChartsTest::pointsOfAResultFileJoinThoseOfTheRun()
{
    PositionChart chart;
    const std::vector<PositionPoint> run = fixesAround(4807.038, 1131.0, 300);
    const std::vector<PositionPoint> file = fixesAround(4815.5, 1140.25, 20);
    const std::vector<PositionPoint> secondFile = fixesAround(4790.25, 1120.5, 10);
    chart.addPoints(run);
    for (const PositionPoint &point : file)
        chart.addPositionPoint(point.latitude, point.longitude);
    chart.addPoints(secondFile);
    std::vector<PositionPoint> all = run;
    all.insert(all.end(), file.begin(), file.end());
    all.insert(all.end(), secondFile.begin(), secondFile.end());
    QVERIFY(chart.points() == all);
    verifyAxesFit(chart);
}

void ChartsTest::labelsAreRoundMinutesAndFitAtTheDefaultSize_data()
{
    QTest::addColumn<std::vector<PositionPoint>>("points");
    QTest::newRow("empty") << std::vector<PositionPoint>{};
    QTest::newRow("a few metres") << pointsAt({{1131.0, 4807.0}, {1131.008, 4807.003}});
    QTest::newRow("across a degree") << pointsAt({{4759.9, 959.95}, {4800.2, 1000.1}});
    QTest::newRow("south and east, centimetres")
        << pointsAt({{-3747.0873, 17518.8932}, {-3747.0879, 17518.8942}});
    QTest::newRow("over the date line") << pointsAt({{-1630.0, 17959.999}, {-1630.001, -17959.998}});
}

void ChartsTest::labelsAreRoundMinutesAndFitAtTheDefaultSize()
{
    QFETCH(std::vector<PositionPoint>, points);
    PositionChart chart;
    chart.resize(440, 300); // its size in the main window as it opens
    chart.addPoints(points);
    chart.grab();
    static const QRegularExpression minutes(QStringLiteral("\u00B0(\\d\\d),"));
    for (QCategoryAxis *axis : {chart.latitudeAxis(), chart.longitudeAxis()}) {
        const QStringList labels = axis->categoriesLabels();
        QVERIFY2(labels.size() >= 4, qPrintable(labels.join(QLatin1Char(' '))));
        for (const QString &label : labels)
            QVERIFY2(minutes.match(label).captured(1).toInt() < 60, qPrintable(label));
    }
    verifyAxesFit(chart);
    // Side by side, every label is whole; else they stand upright.
    const QFontMetrics labelMetrics(chart.latitudeAxis()->labelsFont());
    const QStringList across = chart.latitudeAxis()->categoriesLabels();
    if (chart.latitudeAxis()->labelsAngle() == 0) {
        for (const QString &label : across)
            QVERIFY2(labelMetrics.horizontalAdvance(label) * across.size()
                         < chart.chart()->plotArea().width(),
                     qPrintable(label));
    }
    // The last label is centred on the plot's right end and must not leave the chart.
    const QFontMetrics metrics(chart.latitudeAxis()->labelsFont());
    const QString last = chart.latitudeAxis()->categoriesLabels().last();
    QVERIFY2(chart.chart()->plotArea().right() + metrics.horizontalAdvance(last) / 2.0 <= chart.width(),
             qPrintable(last));
}

void ChartsTest::aPointInsideTheAxesShowsAtTheNextPaint()
{
    PositionChart chart;
    chart.resize(640, 400);
    chart.addPoints(pointsAt({{4807.0, 1131.0}, {4808.0, 1132.0}}));
    const double left = chart.latitudeAxis()->min();
    const double top = chart.longitudeAxis()->max();
    chart.grab();

    // Inside the axes as they are: nothing to rescale, only a dot to add.
    chart.addPositionPoint(degreesOf(4807.5), degreesOf(1131.5));
    QCOMPARE(chart.latitudeAxis()->min(), left);
    QCOMPARE(chart.longitudeAxis()->max(), top);
    const QImage image = chart.grab().toImage();
    const QRect plotArea = plotAreaInGrab(chart);
    const QPoint centre = pixelOf(plotArea, fractionOn(chart.latitudeAxis(), degreesOf(4807.5)),
                                  fractionOn(chart.longitudeAxis(), degreesOf(1131.5)));
    QVERIFY(pixelsOf(image, QRect(centre - QPoint(3, 3), QSize(7, 7)), kPointColour) > 0);
}

void ChartsTest::clearingEmptiesAndTheNextPointsRescale()
{
    PositionChart chart;
    chart.resize(640, 400);
    chart.addPoints(pointsAt({{100.0, 200.0}, {8000.0, 17000.0}}));
    chart.clearPoints();
    QVERIFY(chart.points().empty());
    // Back to the axes of an empty chart.
    PositionChart empty;
    empty.resize(chart.size());
    QCOMPARE(chart.latitudeAxis()->categoriesLabels(), empty.latitudeAxis()->categoriesLabels());
    QCOMPARE(chart.longitudeAxis()->categoriesLabels(), empty.longitudeAxis()->categoriesLabels());
    const QImage cleared = chart.grab().toImage();
    QCOMPARE(pixelsOf(cleared, plotAreaInGrab(chart), kPointColour), 0);

    chart.addPoints(fixesAround(4807.038, 1131.0, 100));
    verifyAxesFit(chart);
    // Tight round the new fixes, not still spanning the cleared ones.
    QVERIFY2(chart.latitudeAxis()->max() - chart.latitudeAxis()->min() < 0.01,
             qPrintable(QString::number(chart.latitudeAxis()->max() - chart.latitudeAxis()->min())));
    QVERIFY(chart.longitudeAxis()->max() - chart.longitudeAxis()->min() < 0.01);
}

void ChartsTest::dotsAppearWhereThePointsAre_data()
{
    QTest::addColumn<bool>("shown");
    QTest::newRow("grabbed unshown") << false;
    QTest::newRow("shown in a window") << true;
}

void ChartsTest::dotsAppearWhereThePointsAre()
{
    QFETCH(bool, shown);
    PositionChart chart;
    chart.resize(640, 400);
    if (shown) {
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
    }
    // Latitude across, longitude up: one fix low left, one high right.
    const PositionPoint lowLeft = at(4807.0, 1131.0);
    const PositionPoint highRight = at(4808.0, 1132.0);
    chart.addPoints({lowLeft, highRight});

    // The last two sizes keep the labels and move the plot area.
    for (const QSize size : {QSize(640, 400), QSize(900, 330), QSize(930, 340)}) {
        chart.resize(size);
        const QImage image = chart.grab().toImage();
        const QRect plotArea = plotAreaInGrab(chart);
        // Laid out before the first paint, not at the next turn of the event loop.
        QCoreApplication::processEvents();
        QCOMPARE(plotAreaInGrab(chart), plotArea);
        const int all = pixelsOf(image, image.rect(), kPointColour);
        QVERIFY2(all > 0, "no dots");
        QCOMPARE(pixelsOf(image, plotArea, kPointColour), all);

        const auto *across = chart.latitudeAxis();
        const auto *up = chart.longitudeAxis();
        for (const PositionPoint &point : {lowLeft, highRight}) {
            const QPoint centre =
                pixelOf(plotArea, fractionOn(across, point.latitude), fractionOn(up, point.longitude));
            QVERIFY2(pixelsOf(image, QRect(centre - QPoint(3, 3), QSize(7, 7)), kPointColour) > 0,
                     qPrintable(QStringLiteral("no dot at %1,%2 in %3x%4")
                                    .arg(centre.x())
                                    .arg(centre.y())
                                    .arg(size.width())
                                    .arg(size.height())));
        }
    }
}

void ChartsTest::manyPointsShareDotsAndAreAllKept()
{
    PositionChart chart;
    chart.resize(800, 500);
    const std::vector<PositionPoint> day = fixesAround(4807.038, 1131.0, 200000);
    chart.addPoints(day);
    const QImage image = chart.grab().toImage();
    QCOMPARE(chart.points().size(), day.size());
    const QRect plotArea = plotAreaInGrab(chart);
    QVERIFY(pixelsOf(image, plotArea, kPointColour) > 0);
    QVERIFY2(chart.paintedDotCount() > 0 && chart.paintedDotCount() <= plotArea.width() * plotArea.height(),
             qPrintable(QString::number(chart.paintedDotCount())));
}

void ChartsTest::fixesOnBothSidesOfAWholeDegreeLieTogether_data()
{
    QTest::addColumn<std::vector<PositionPoint>>("points");
    QTest::addColumn<QString>("westernLabel");
    // A few centimetres apart: in coordinate numbers 47 59.9999 and 48 00.0001 are 40 apart.
    QTest::newRow("whole degree") << pointsAt({{4759.9999, 1131.0}, {4800.0001, 1131.0001}}) << QString();
    QTest::newRow("date line") << pointsAt({{-1630.0, 17959.9999}, {-1630.0001, -17959.9999}})
                               << QStringLiteral("-179\u00B0");
}

void ChartsTest::fixesOnBothSidesOfAWholeDegreeLieTogether()
{
    QFETCH(std::vector<PositionPoint>, points);
    QFETCH(QString, westernLabel);
    PositionChart chart;
    chart.resize(640, 400);
    chart.addPoints(points);
    verifyAxesFit(chart);
    // Four label steps at most round the two fixes: a tenth of a minute or less.
    for (QCategoryAxis *axis : {chart.latitudeAxis(), chart.longitudeAxis()})
        QVERIFY2(axis->max() - axis->min() < 0.01, qPrintable(QString::number(axis->max() - axis->min())));
    if (!westernLabel.isEmpty()) {
        QVERIFY(chart.drawsOverTheDateLine());
        const QStringList labels = chart.longitudeAxis()->categoriesLabels();
        QVERIFY2(labels.first().startsWith(QStringLiteral("179\u00B0"))
                     && labels.last().startsWith(westernLabel),
                 qPrintable(labels.join(QLatin1Char(' '))));
    }
    const QImage image = chart.grab().toImage();
    QVERIFY(pixelsOf(image, plotAreaInGrab(chart), kPointColour) > 0);
}

void ChartsTest::satelliteScaleStaysAtSixteen()
{
    SatelliteChart chart;
    chart.resize(640, 400);
    chart.addBars({{15, 7}, {30, 20}, {45, 8}});
    QCOMPARE(chart.satellitesAxis()->min(), 0.0);
    QCOMPARE(chart.satellitesAxis()->max(), 16.0);

    // The bar of 20 runs out of the top of the plot area, the one of 8 stops halfway.
    const QImage image = chart.grab().toImage();
    const QRect plotArea = plotAreaInGrab(chart);
    const int topRow = plotArea.top() + 2;
    const auto barColumn = [&](double minutes) {
        return pixelOf(plotArea, fractionOn(chart.minutesAxis(), minutes), 0).x();
    };
    QCOMPARE(image.pixelColor(barColumn(30), topRow), kBarColour);
    QVERIFY(image.pixelColor(barColumn(30), plotArea.top() - 3) != kBarColour);
    QVERIFY(image.pixelColor(barColumn(45), topRow) != kBarColour);
    QCOMPARE(image.pixelColor(barColumn(45), pixelOf(plotArea, 0, 7.0 / 16).y()), kBarColour);
    QVERIFY(image.pixelColor(barColumn(45), pixelOf(plotArea, 0, 9.0 / 16).y()) != kBarColour);
}

void ChartsTest::satelliteScaleGrowsToTheHighestBar()
{
    // A four-system receiver with every talker: the bars are whole.
    SatelliteChart chart;
    chart.resize(640, 400);
    chart.setScaleGrows(true);
    chart.addBars({{15, 27}, {30, 33}, {45, 8}});
    QCOMPARE(chart.satellitesAxis()->max(), 36.0);
    const QImage image = chart.grab().toImage();
    const QRect plotArea = plotAreaInGrab(chart);
    const int column = pixelOf(plotArea, fractionOn(chart.minutesAxis(), 30), 0).x();
    QCOMPARE(image.pixelColor(column, pixelOf(plotArea, 0, 32.0 / 36).y()), kBarColour);
    QVERIFY(image.pixelColor(column, pixelOf(plotArea, 0, 34.0 / 36).y()) != kBarColour);
    // Small bars keep the classic scale, and so does the classic mode.
    chart.clearBars();
    chart.addBars({{15, 9}});
    QCOMPARE(chart.satellitesAxis()->max(), 16.0);
    chart.addBars({{30, 17}});
    QCOMPARE(chart.satellitesAxis()->max(), 20.0);
    chart.setScaleGrows(false);
    QCOMPARE(chart.satellitesAxis()->max(), 16.0);
}

void ChartsTest::barsStandAtTheirMinutes()
{
    SatelliteChart chart;
    chart.resize(640, 400);
    // No range ends at 45: a gap where a category axis would close up.
    chart.addBars({{15, 6}, {30, 7}, {60, 9}});
    const QValueAxis *minutes = chart.minutesAxis();
    QVERIFY(minutes->min() <= 15 && minutes->max() >= 60);

    const QImage image = chart.grab().toImage();
    const QRect plotArea = plotAreaInGrab(chart);
    const int row = pixelOf(plotArea, 0, 3.0 / 16).y();
    const auto colourAt = [&](double minute) {
        return image.pixelColor(pixelOf(plotArea, fractionOn(minutes, minute), 0).x(), row);
    };
    for (const double minute : {15.0, 30.0, 60.0})
        QVERIFY2(colourAt(minute) == kBarColour, qPrintable(QString::number(minute)));
    for (const double minute : {45.0, 22.5})
        QVERIFY2(colourAt(minute) != kBarColour, qPrintable(QString::number(minute)));

    // Half the 15 minutes of a range wide.
    int barPixels = 0;
    for (int x = plotArea.left(); x <= plotArea.right(); ++x)
        barPixels += image.pixelColor(x, row) == kBarColour ? 1 : 0;
    const double rangePixels = 15.0 / (minutes->max() - minutes->min()) * plotArea.width();
    QVERIFY2(std::abs(barPixels / 3.0 - rangePixels / 2) <= 2,
             qPrintable(QStringLiteral("%1 pixels a bar, %2 a range").arg(barPixels / 3.0).arg(rangePixels)));
}

void ChartsTest::aWeekOfBarsFitsTheMinutesAxis()
{
    SatelliteChart chart;
    chart.resize(800, 400);
    std::vector<SatelliteBar> week;
    for (long long end = 15; end <= 7 * 24 * 60; end += 15)
        week.push_back({end, 4 + end / 15 % 9});
    chart.addBars(week);
    QCOMPARE(chart.bars().size(), std::size_t{672});
    QVERIFY(chart.minutesAxis()->min() <= 15 && chart.minutesAxis()->max() >= 10080);
    // Bars under a pixel wide show their outline only.
    const QImage image = chart.grab().toImage();
    const QRect plotArea = plotAreaInGrab(chart);
    QVERIFY(pixelsOf(image, plotArea, kBarColour) + pixelsOf(image, plotArea, kBarOutline)
            > plotArea.width());
}

void ChartsTest::barsAddAndClear()
{
    SatelliteChart chart;
    chart.addBars({{15, 7}, {30, 8}});
    chart.addBar(15, 9); // a result file of the same log, opened after the run
    chart.addBars({{45, 6}});
    QVERIFY((chart.bars() == std::vector<SatelliteBar>{{15, 7}, {30, 8}, {15, 9}, {45, 6}}));
    chart.resize(640, 400);
    const QImage both = chart.grab().toImage();
    const QRect plotArea = plotAreaInGrab(chart);
    const QPoint nearTheTopOfNine = pixelOf(plotArea, fractionOn(chart.minutesAxis(), 15), 8.5 / 16);
    QCOMPARE(both.pixelColor(nearTheTopOfNine), kBarColour);

    chart.clearBars();
    QVERIFY(chart.bars().empty());
    QCOMPARE(pixelsOf(chart.grab().toImage(), plotArea, kBarColour), 0);
    chart.addBar(60, 5);
    QVERIFY((chart.bars() == std::vector<SatelliteBar>{{60, 5}}));
    QVERIFY(chart.minutesAxis()->min() <= 60 && chart.minutesAxis()->max() >= 60);
    QCOMPARE(chart.satellitesAxis()->max(), 16.0);
}

QTEST_MAIN(ChartsTest)
#include "charts_test.moc"
