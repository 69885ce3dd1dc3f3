// The charts with a day's worth of data: 200,000 fixes in the position
// chart and on the precision page, a week of 15-minute ranges in the
// satellites chart, shown in a window of 800 x 500. Times are medians of five rounds, in milliseconds.
//   chart_bench [folder to save the grabs in]
// Run it under QT_QPA_PLATFORM=offscreen and under xvfb-run to compare.

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "app/positionchart.h"
#include "app/precisionview.h"
#include "app/satellitechart.h"

namespace {

constexpr int kRounds = 5;

// A receiver standing still: fixes scattered round one place by a few metres.
std::vector<navorel::PositionPoint> standingFixes(int count)
{
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 0.002 / 60); // degrees: 0.002 minutes
    std::vector<navorel::PositionPoint> points;
    points.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        points.push_back({48.1173 + noise(random), 11.5166667 + noise(random)});
    return points;
}

// The worst case for drawing: fixes spread evenly over the whole plot area.
std::vector<navorel::PositionPoint> spreadFixes(int count)
{
    std::mt19937 random(2);
    std::uniform_real_distribution<double> spread(0.0, 1.0);
    std::vector<navorel::PositionPoint> points;
    points.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        points.push_back({48.0 + spread(random) / 6, 11.5 + spread(random) / 6});
    return points;
}

std::vector<navorel::SatelliteBar> weekOfRanges()
{
    std::vector<navorel::SatelliteBar> bars;
    for (long long end = 15; end <= 7 * 24 * 60; end += 15)
        bars.push_back({end, 4 + end / 15 % 9});
    return bars;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void waitUntilExposed(QWidget &widget)
{
    QElapsedTimer waited;
    waited.start();
    while (!(widget.windowHandle() && widget.windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();
}

template <typename Work> double millisecondsOf(Work work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void benchPositions(const char *name, const std::vector<navorel::PositionPoint> &points,
                    const QString &saveTo)
{
    PositionChart chart;
    chart.resize(800, 500);
    chart.show();
    waitUntilExposed(chart);
    std::vector<double> add, firstGrab, repaint, firstWindowPaint, oneByOne;
    QPixmap grabbed;
    for (int round = 0; round < kRounds; ++round) {
        chart.clearPoints();
        QApplication::processEvents();
        add.push_back(millisecondsOf([&] { chart.addPoints(points); }));
        firstGrab.push_back(millisecondsOf([&] { grabbed = chart.grab(); }));
        repaint.push_back(millisecondsOf([&] { chart.viewport()->repaint(); }));
        chart.clearPoints();
        QApplication::processEvents();
        firstWindowPaint.push_back(millisecondsOf([&] {
            chart.addPoints(points);
            chart.viewport()->repaint();
        }));
        chart.clearPoints();
        QApplication::processEvents();
        oneByOne.push_back(millisecondsOf([&] {
            for (const navorel::PositionPoint &point : points)
                chart.addPositionPoint(point.latitude, point.longitude);
            chart.viewport()->repaint();
        }));
    }
    std::printf("%-9s %zu fixes: addPoints %.1f, first grab %.1f, repaint %.1f, addPoints + first window "
                "paint %.1f, addPositionPoint each + repaint %.1f; %d dots\n",
                name, points.size(), median(add), median(firstGrab), median(repaint),
                median(firstWindowPaint), median(oneByOne), chart.paintedDotCount());
    if (!saveTo.isEmpty())
        grabbed.save(saveTo + "/positions-" + name + ".png");
}

void benchSatellites(const QString &saveTo)
{
    const std::vector<navorel::SatelliteBar> bars = weekOfRanges();
    SatelliteChart chart;
    chart.resize(800, 500);
    chart.show();
    waitUntilExposed(chart);
    std::vector<double> add, firstGrab, oneByOne;
    QPixmap grabbed;
    for (int round = 0; round < kRounds; ++round) {
        chart.clearBars();
        QApplication::processEvents();
        add.push_back(millisecondsOf([&] { chart.addBars(bars); }));
        firstGrab.push_back(millisecondsOf([&] { grabbed = chart.grab(); }));
        chart.clearBars();
        QApplication::processEvents();
        oneByOne.push_back(millisecondsOf([&] {
            for (const navorel::SatelliteBar &bar : bars)
                chart.addBar(bar.rangeEnd, bar.satellites);
            chart.viewport()->repaint();
        }));
    }
    std::printf("satellites %zu bars: addBars %.1f, first grab %.1f, addBar each + repaint %.1f\n",
                bars.size(), median(add), median(firstGrab), median(oneByOne));
    if (!saveTo.isEmpty())
        grabbed.save(saveTo + "/satellites.png");
}

// The precision page over 200,000 fixes of a standing receiver, 1 Hz: the
// figures, the uncertainty of the mean and the Allan deviation, then its
// first paint; and the figures a survey has measured shown again, as it
// shows them once a second.
void benchPrecision(const QString &saveTo)
{
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 0.00003);
    navorel::AcceptedFixes fixes;
    for (int i = 0; i < 200000; ++i) {
        fixes.latitudes.push_back(48.1173 + noise(random));
        fixes.longitudes.push_back(11.5167 + noise(random));
        fixes.times.push_back(i * 2 / 5); // 2.5 fixes a second
    }
    PrecisionView view;
    view.resize(800, 500);
    view.show();
    waitUntilExposed(view);
    std::vector<double> show, firstGrab, repaint;
    QPixmap grabbed;
    for (int round = 0; round < kRounds; ++round) {
        view.clear();
        QApplication::processEvents();
        show.push_back(millisecondsOf([&] { view.showFixes(fixes); }));
        firstGrab.push_back(millisecondsOf([&] { grabbed = view.grab(); }));
        repaint.push_back(millisecondsOf([&] { view.repaint(); }));
    }
    const navorel::PrecisionFigures figures = navorel::measurePrecision(fixes);
    const navorel::MeanUncertainty uncertainty = navorel::measureUncertainty(fixes, figures);
    std::vector<double> again;
    for (int round = 0; round < kRounds; ++round) {
        again.push_back(millisecondsOf([&] {
            view.showFigures(fixes, nullptr, figures, uncertainty, {}, navorel::MinQuality::Any);
            view.repaint();
        }));
    }
    std::printf("precision %zu fixes: showFixes %.1f, first grab %.1f, repaint %.1f, "
                "measured figures shown again and painted %.1f\n",
                fixes.size(), median(show), median(firstGrab), median(repaint), median(again));
    if (!saveTo.isEmpty())
        grabbed.save(saveTo + "/precision.png");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString saveTo = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    std::printf("platform %s\n", qPrintable(QApplication::platformName()));
    benchPositions("standing", standingFixes(200000), saveTo);
    benchPositions("spread", spreadFixes(200000), saveTo);
    benchSatellites(saveTo);
    benchPrecision(saveTo);
    return 0;
}
