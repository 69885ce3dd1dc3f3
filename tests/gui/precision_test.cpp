#include <QAction>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "app/convergencechart.h"
#include "app/mainwindow.h"
#include "app/positionviews.h"
#include "app/precisionplot.h"
#include "app/precisionview.h"
#include "app/resultpage.h"
#include "filter/filterprocess.h"
#include "filter/localplane.h"
#include "filter/textfile.h"
#include "prefs/settingsstore.h"
#include "tests/gui/fakes.h"
#include "ui/nmeatextarea.h"

namespace {

navorel::FilterRun sampleRun()
{
    std::string bytes;
    navorel::readFileBytes(NAVOREL_SAMPLE_LOG, bytes);
    navorel::Settings settings;
    settings.IDF = navorel::PositionSentence::GGA;
    return navorel::runFilter(navorel::TextLines::fromText(std::move(bytes)), settings);
}

QString cell(const QTableWidget *table, const QString &label)
{
    for (int r = 0; r < table->rowCount(); ++r) {
        if (table->item(r, 0)->text() == label)
            return table->item(r, 1)->text();
    }
    return QStringLiteral("<no row %1>").arg(label);
}

// The number a cell shows, whatever unit follows it; "1:02:03" as seconds.
double shownNumber(const QString &text)
{
    const QStringList parts = text.section(' ', 0, 0).remove(QChar(0x00B0)).split(':');
    double value = 0;
    for (const QString &part : parts)
        value = value * 60 + part.toDouble();
    return value;
}

} // namespace

class PrecisionTest : public QObject
{
    Q_OBJECT

private slots:
    void tableShowsTheFiguresOfTheCore()
    {
        const navorel::FilterRun run = sampleRun();
        const navorel::PrecisionFigures f = navorel::measurePrecision(run.fixes);
        PrecisionView view;
        view.showFixes(run.fixes);
        const QChar sigma(0x03C3);
        const struct
        {
            QString label;
            double value;
            double resolution;
        } rows[] = {
            {QStringLiteral("Fixes"), static_cast<double>(f.fixes), 0},
            {QStringLiteral("Latitude"), f.meanLatitude, 5e-10},
            {QStringLiteral("Longitude"), f.meanLongitude, 5e-10},
            {sigma + QStringLiteral(" north"), f.sigmaNorth, 5e-4},
            {sigma + QStringLiteral(" east"), f.sigmaEast, 5e-4},
            {QStringLiteral("DRMS"), f.drms, 5e-4},
            {QStringLiteral("2DRMS"), f.twiceDrms, 5e-4},
            {QStringLiteral("CEP50"), f.cep50, 5e-4},
            {QStringLiteral("CEP95"), f.cep95, 5e-4},
            {QStringLiteral("Largest"), f.maxDistance, 5e-4},
            {QStringLiteral("Altitude"), f.altitudeMean, 5e-4},
            {sigma + QStringLiteral(" altitude"), f.altitudeSigma, 5e-4},
            {QStringLiteral("Time span"), f.timeSpan, 0.5},
            {QStringLiteral("Within 1 m"), *f.settled[0], 0.5},
            {QStringLiteral("Within 0.5 m"), *f.settled[1], 0.5},
            {QStringLiteral("Within 0.1 m"), *f.settled[2], 0.5},
        };
        QCOMPARE(view.figuresTable()->rowCount(), static_cast<int>(std::size(rows)));
        for (const auto &row : rows) {
            const QString text = cell(view.figuresTable(), row.label);
            QVERIFY2(std::fabs(shownNumber(text) - row.value) <= row.resolution,
                     qPrintable(row.label + ": " + text + " for " + QString::number(row.value, 'g', 17)));
        }

        view.clear();
        QCOMPARE(cell(view.figuresTable(), QStringLiteral("CEP50")), QStringLiteral("-"));
    }

    // A metre is as long across as up, however the page is shaped, and
    // every fix and circle is inside the plot.
    void bothAxesHaveTheSameScale()
    {
        const navorel::FilterRun run = sampleRun();
        PrecisionView view;
        view.showFixes(run.fixes);
        const navorel::PrecisionFigures &f = view.figures();
        PrecisionPlot *plot = view.plot();
        for (const QSize size : {QSize(600, 300), QSize(300, 600), QSize(250, 250)}) {
            plot->resize(size);
            const QPointF centre = plot->pixelOf(0, 0);
            const double across = plot->pixelOf(10, 0).x() - centre.x();
            const double up = centre.y() - plot->pixelOf(0, 10).y();
            QVERIFY(across > 0);
            QCOMPARE(across, up);
            const double outermost = std::max(f.maxDistance, f.twiceDrms);
            for (const auto &[east, north] : {std::pair{outermost, 0.0}, {0.0, -outermost}})
                QVERIFY(plot->plotArea().contains(plot->pixelOf(east, north)));
        }
        // The running mean starts metres away and ends on the mean: a log
        // axis from below the smallest settle radius to above the start.
        QVERIFY(view.convergenceChart()->bottomMetres() <= 0.1);
        QVERIFY(view.convergenceChart()->topMetres() >= 10);
    }

    // The legend stands beside the fixes, not over them, however narrow the plot.
    void theLegendCoversNoFix()
    {
        const navorel::FilterRun run = sampleRun();
        PrecisionView view;
        view.showFixes(run.fixes);
        PrecisionPlot *plot = view.plot();
        for (const QSize size : {QSize(240, 230), QSize(200, 160), QSize(600, 300)}) {
            plot->resize(size);
            const std::vector<QRectF> entries = plot->legendEntries();
            QCOMPARE(entries.size(), std::size_t{3});
            for (const QRectF &entry : entries) {
                QVERIFY(!entry.intersects(plot->plotArea()));
                QVERIFY(QRectF(plot->rect()).contains(entry));
            }
        }
    }

    void aFixIsDrawnWhereItLies()
    {
        navorel::AcceptedFixes fixes;
        for (const auto &[latitude, longitude] :
             {std::pair{60.0, 10.0}, {60.0002, 10.0}, {60.0, 10.0004}, {60.00005, 10.0001}}) {
            fixes.latitudes.push_back(latitude);
            fixes.longitudes.push_back(longitude);
            fixes.times.push_back(navorel::AcceptedFixes::kNoTime);
        }
        PrecisionView view;
        view.showFixes(fixes);
        PrecisionPlot *plot = view.plot();
        plot->resize(400, 300);
        const QImage image = plot->grab().toImage();
        // The last fix, on no circle: 1.25e-5 degrees of latitude south of
        // the mean and 2.5e-5 degrees of longitude west, at 60 N.
        const navorel::LocalPlane plane(60.0000625, 10.000125);
        const QPoint at = plot->pixelOf(plane.east(10.0001), plane.north(60.00005)).toPoint();
        QCOMPARE(image.pixelColor(at), QColor(0, 85, 168));
        QCOMPARE(cell(view.figuresTable(), QStringLiteral("Within 1 m")), QStringLiteral("-")); // no times
    }

    // A filter run of the window fills the third page; the File menu writes
    // what it shows, by the type of the file chosen.
    void theWindowsRunFillsThePageAndTheExports()
    {
        SettingsStore settings;
        FakeDialogs dialogs;
        FakePrompter prompter;
        MainWindow window(settings, dialogs, prompter, [](const QString &) { return true; });
        ResultPage page(&window);
        window.setResultPage(&page);
        std::string bytes;
        navorel::readFileBytes(NAVOREL_SAMPLE_LOG, bytes);
        window.textArea()->setBytes(bytes);
        MainActions &actions = window.actions();
        QVERIFY(!actions.exportMeanPosition->isEnabled());
        actions.filter->trigger();

        const auto *pages = window.positionViews()->findChild<QTabWidget *>();
        QCOMPARE(pages->tabText(2), QStringLiteral("Precision"));
        const PrecisionView *view = window.positionViews()->precisionView();
        QCOMPARE(view->figures().fixes, std::size_t{3570}); // the valid $GPRMC fixes
        QVERIFY(actions.exportMeanPosition->isEnabled() && actions.exportTrack->isEnabled());

        QTemporaryDir dir;
        dialogs.answers = {dir.filePath("mean.kml"), dir.filePath("mean.gpx"), dir.filePath("fixes.gpx")};
        actions.exportMeanPosition->trigger();
        actions.exportMeanPosition->trigger();
        actions.exportTrack->trigger();
        std::string kml, gpx, track;
        QVERIFY(navorel::readFileBytes(dir.filePath("mean.kml").toStdString(), kml));
        QVERIFY(navorel::readFileBytes(dir.filePath("mean.gpx").toStdString(), gpx));
        QVERIFY(navorel::readFileBytes(dir.filePath("fixes.gpx").toStdString(), track));
        QVERIFY(kml.find("<Placemark>") != std::string::npos);
        QVERIFY(gpx.find("<wpt lat=\"48.117405768\" lon=\"11.516735384\">") != std::string::npos);
        QCOMPARE(std::count_if(track.begin(), track.end(), [](char c) { return c == '\n'; }) > 3570 * 3,
                 true);
        QVERIFY(prompter.errors.isEmpty());

        actions.newText->trigger();
        QVERIFY(view->figures().empty());
        QVERIFY(!actions.exportTrack->isEnabled());
    }
};

QTEST_MAIN(PrecisionTest)
#include "precision_test.moc"
