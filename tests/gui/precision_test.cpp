#include <QAction>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "app/allanchart.h"
#include "app/figurestable.h"
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
    const QStringList parts = text.section(' ', 0, 0).remove(QChar(0x00B0)).remove(QChar(0x00B1)).split(':');
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
        const navorel::MeanUncertainty u = navorel::measureUncertainty(run.fixes, f);
        QVERIFY(u.measured);
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
            {QStringLiteral("Mean, 95 %"), u.r95, 5e-3},
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
        };
        // "Altitude, 95 %", and a row per radius of how much longer to log
        // once the mean has settled, else one that says it is not known yet.
        QCOMPARE(view.figuresTable()->rowCount(),
                 static_cast<int>(std::size(rows) + 1 + (u.settled ? u.logMore.size() : 1)));
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
        // The Allan deviation of every averaging time lies inside its
        // chart's decades, and so does the first dashed step.
        const AllanChart *allan = view.allanChart();
        QVERIFY(allan->points().size() >= 8);
        for (const navorel::AllanPoint &p : allan->points()) {
            for (const double v : {p.east, p.north}) {
                QVERIFY(v >= allan->bottomMetres() && v <= allan->topMetres());
                QVERIFY(allan->plotArea().adjusted(-1, -1, 1, 1).contains(allan->pixelOf(p.tauSeconds, v)));
            }
            QVERIFY(p.tauSeconds >= allan->leftSeconds() && p.tauSeconds <= allan->rightSeconds());
        }
        // Its legend stands beside the title, over no curve.
        QVERIFY(!allan->legendArea().intersects(allan->plotArea()));
        QVERIFY(QRectF(allan->rect()).contains(allan->legendArea()));
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
        QCOMPARE(cell(view.figuresTable(), QStringLiteral("Time span")), QStringLiteral("-")); // no times
        QCOMPARE(view.headline(), QStringLiteral("Mean position: 64 fixes or more tell how far to trust it"));
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
        // The dialog and the file say how far the mean may be off.
        QVERIFY(gpx.find("(95 %)") != std::string::npos);
        const QRegularExpression title(
            QStringLiteral("^Export mean position \u00B1\\d\\.\\d\\d m( or more)? \\(95 %\\)$"));
        QVERIFY2(title.match(dialogs.asked[0].title).hasMatch(), qPrintable(dialogs.asked[0].title));
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
