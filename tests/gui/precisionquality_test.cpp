#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <map>

#include "app/figurestable.h"
#include "app/logqualitybox.h"
#include "app/mainwindow.h"
#include "app/positionchart.h"
#include "app/positionviews.h"
#include "app/precisionplot.h"
#include "app/precisionview.h"
#include "app/resultpage.h"
#include "filter/filterprocess.h"
#include "filter/surveytracker.h"
#include "prefs/settingsstore.h"
#include "tests/gui/fakes.h"
#include "tools/loggenerator.h"
#include "ui/nmeatextarea.h"

namespace {

std::string withChecksum(const std::string &body)
{
    unsigned char sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return '$' + body + tail;
}

// An RMC fix at 48 degrees and the given minutes north, at a speed in knots.
std::string rmc(int second, double minutes, double knots)
{
    char body[120];
    std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d.00,A,48%07.4f,N,01131.0000,E,%.1f,0.0,081226,,,A",
                  10 + second / 3600, second / 60 % 60, second % 60, minutes, knots);
    return withChecksum(body);
}

std::string generated(int seconds, const navorel::LogGenerator::Options &options)
{
    navorel::LogGenerator generator(options);
    std::string log;
    for (int s = 0; s < seconds; ++s)
        generator.appendSecond(log);
    return log;
}

navorel::LogGenerator::Options stationary(double correlationSeconds)
{
    navorel::LogGenerator::Options options;
    options.correlationSeconds = correlationSeconds;
    options.minuteDecimals = 6;
    return options;
}

// The run of the window's settings in force, shown as the window shows it.
navorel::FilterRun show(PrecisionView &view, const std::string &log,
                        const navorel::Settings &settings = navorel::Settings())
{
    navorel::FilterRun run = navorel::runFilter(log, settings);
    view.showFixes(run.fixes, run.fixClasses, run.quality, run.minQuality);
    return run;
}

const QTableWidgetItem *row(const QTableWidget *table, const QString &label)
{
    for (int r = 0; r < table->rowCount(); ++r) {
        if (table->item(r, 0)->text() == label)
            return table->item(r, 1);
    }
    return nullptr;
}

QStringList wholeRows(const QTableWidget *table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        if (table->columnSpan(r, 0) == 2)
            rows.append(table->item(r, 0)->text());
    }
    return rows;
}

} // namespace

class PrecisionQualityTest : public QObject
{
    Q_OBJECT

private slots:
    // A sentence with a wrong checksum is left out and counted in the Log
    // group, its tooltip in plain words; the window's status bar says so.
    void theLogGroupCountsAWrongChecksum()
    {
        std::string log = generated(120, navorel::LogGenerator::Options());
        // The checksum of the 31st RMC, one hex digit changed.
        std::size_t at = 0;
        for (int i = 0; i <= 30; ++i)
            at = log.find("$GPRMC", at + 1);
        const std::size_t star = log.find('*', at);
        log[star + 2] = log[star + 2] == '0' ? '1' : '0';

        PrecisionView view;
        const navorel::FilterRun run = show(view, log);
        QCOMPARE(run.quality.checksumErrors, std::size_t{1});
        const QTableWidget *table = view.logBox()->table();
        const struct
        {
            const char *label;
            const char *value;
            const char *tipStart;
        } rows[] = {
            {"Autonomous", "119", "119 fixes from the satellites alone"},
            {"Wrong checksum", "1", "1 sentence had a wrong checksum and was left out: a cable or baud-rate"},
            {"Without checksum", "0", "0 sentences had no checksum"},
            {"Below the minimum quality", "0", "0 fixes below the minimum fix quality (any)"},
            {"Impossible positions", "0", "0 fixes gave a position that cannot be"},
            {"Time gaps", "0", "0 times the fixes were"},
            {"Time going back", "0", "0 fixes were earlier than the one before"},
        };
        QCOMPARE(table->rowCount(), static_cast<int>(std::size(rows)));
        for (const auto &expected : rows) {
            const QTableWidgetItem *item = row(table, QLatin1String(expected.label));
            QVERIFY2(item != nullptr, expected.label);
            QCOMPARE(item->text(), QLatin1String(expected.value));
            QVERIFY2(item->toolTip().startsWith(QLatin1String(expected.tipStart)),
                     qPrintable(item->toolTip()));
        }

        SettingsStore settings;
        FakeDialogs dialogs;
        FakePrompter prompter;
        MainWindow window(settings, dialogs, prompter, [](const QString &) { return true; });
        window.setResultPage(new ResultPage(&window));
        window.textArea()->setBytes(log);
        window.actions().filter->trigger();
        auto *status = window.findChild<QLabel *>(QStringLiteral("Panel1"));
        QCOMPARE(status->text(), QStringLiteral(" 1 sentence with a wrong checksum left out"));
        QCOMPARE(window.positionViews()->precisionView()->figures().fixes, std::size_t{119});

        // Nothing left out: the status bar keeps its text.
        status->setText(QStringLiteral(" check your position"));
        window.textArea()->setBytes(generated(120, navorel::LogGenerator::Options()));
        window.actions().filter->trigger();
        QCOMPARE(status->text(), QStringLiteral(" check your position"));
    }

    // The first row says how far to trust the mean: the core's r95, "or more"
    // while the log is too short to tell, the mean with the decimals it needs.
    void theHeadlineGivesTheRadiusOfTheMean()
    {
        const struct
        {
            double correlation;
            bool settled;
            const char *pattern;
        } cases[] = {
            {10, true, "^Mean position \u00B1(\\d\\.\\d\\d) m \\(95 %\\)$"},
            {1800, false, "^\u00B1(\\d\\.\\d\\d) m or more: log longer to know$"},
        };
        for (const auto &c : cases) {
            PrecisionView view;
            show(view, generated(3600, stationary(c.correlation)));
            const navorel::MeanUncertainty &u = view.uncertainty();
            QVERIFY(u.measured);
            QCOMPARE(u.settled, c.settled);
            const QRegularExpressionMatch match =
                QRegularExpression(QString::fromUtf8(c.pattern)).match(view.headline());
            QVERIFY2(match.hasMatch(), qPrintable(view.headline()));
            QVERIFY(std::fabs(match.captured(1).toDouble() - u.r95) <= 0.005);
            QCOMPARE(view.headlineLabel()->text(), view.headline());
            // Tenths of a metre: six decimals of degrees (0.11 m), no more.
            QVERIFY(u.r95 > 0.12 && u.r95 < 1.1);
            const QRegularExpression sixDecimals(QStringLiteral("^-?\\d+\\.\\d{6}, -?\\d+\\.\\d{6}$"));
            QVERIFY2(sixDecimals.match(view.coordinates()).hasMatch(), qPrintable(view.coordinates()));
            QCOMPARE(view.copiedLine(), QStringLiteral("Mean position %1 %2%3 (95 %)")
                                            .arg(view.coordinates(), FiguresTable::radiusText(u.r95),
                                                 c.settled ? QString() : QStringLiteral(" or more")));

            // Log-more rows stand where the settle times stood.
            const QStringList rows = wholeRows(view.figuresTable());
            QVERIFY(!rows.join('|').contains(QStringLiteral("Within")));
            if (c.settled) {
                QCOMPARE(rows.size(), 3);
                QVERIFY2(rows[0] == QStringLiteral("\u00B11 m reached"), qPrintable(rows[0]));
                QVERIFY2(rows[2].startsWith(QStringLiteral("Log "))
                             && rows[2].endsWith(QStringLiteral(" more for \u00B10.1 m")),
                         qPrintable(rows[2]));
            } else {
                QCOMPARE(rows, QStringList{QStringLiteral("Log more: not known until the mean settles")});
            }
            for (int r = 0; r < view.figuresTable()->rowCount(); ++r)
                QVERIFY(!view.figuresTable()->item(r, 0)->toolTip().isEmpty());
        }
    }

    // A survey shows the figures it has measured, again and again, on its
    // own fixes: nothing is copied or measured again by the page.
    void aSurveysFiguresAreShownAsTheyGrow()
    {
        const std::string log = generated(600, stationary(10));
        navorel::SurveyTracker tracker{navorel::Settings()};
        PrecisionView view;
        const std::string_view text(log);
        // A third of the log, then the rest.
        for (const std::string_view piece : {text.substr(0, text.size() / 3), text.substr(text.size() / 3)}) {
            tracker.feed(piece);
            const navorel::SurveyTracker::Figures figures = tracker.measure();
            const navorel::FilterRun &run = tracker.run();
            view.showFigures(run.fixes, &run.fixClasses, figures.precision, figures.uncertainty, run.quality,
                             run.minQuality);
            QCOMPARE(&view.fixes(), &run.fixes);
            QCOMPARE(row(view.figuresTable(), QStringLiteral("Fixes"))->text(),
                     QString::number(tracker.fixes()));
            QVERIFY(view.headline().contains(FiguresTable::radiusText(figures.uncertainty.r95)));
        }
        QCOMPARE(tracker.fixes(), std::size_t{600});

        // The buttons copy what the first row shows.
        view.copyPositionButton()->click();
        QCOMPARE(QApplication::clipboard()->text(), view.coordinates());
        view.copyLineButton()->click();
        QCOMPARE(QApplication::clipboard()->text(), view.copiedLine());
        QVERIFY(view.copiedLine().contains(view.coordinates()));
    }

    void timesAndRadiiReadAsAPersonWouldSayThem()
    {
        const std::pair<double, const char *> durations[] = {
            {45, "45 s"},    {119.2, "120 s"},  {120, "2 min"},     {721, "13 min"},
            {7200, "2.0 h"}, {39293, "11.0 h"}, {200000, "3 days"},
        };
        for (const auto &[seconds, text] : durations)
            QCOMPARE(FiguresTable::durationText(seconds), QLatin1String(text));
        const std::pair<double, const char *> radii[] = {{0.57, "\u00B10.57 m"},
                                                         {0.0234, "\u00B10.023 m"},
                                                         {12.34, "\u00B112.3 m"},
                                                         {123.4, "\u00B1123 m"}};
        for (const auto &[metres, text] : radii)
            QCOMPARE(FiguresTable::radiusText(metres), QString::fromUtf8(text));
    }

    // What the receiver claims ($GPGST) stands beside what its fixes show.
    void theReceiversOwnSigmaStandsBesideTheObservedOne()
    {
        std::string log;
        for (int s = 0; s < 80; ++s) {
            log += rmc(s, 7.0 + (s % 3) * 0.00001, 0.0);
            char body[80];
            std::snprintf(body, sizeof body, "GPGST,%02d%02d%02d.00,1.0,0.5,0.3,0.0,%.3f,0.800,1.200", 10,
                          s / 60, s % 60, s % 2 == 0 ? 0.3 : 0.9); // rms sqrt((0.09 + 0.81) / 2) = 0.671
            log += withChecksum(body);
        }
        PrecisionView view;
        show(view, log);
        const QChar sigma(0x03C3);
        QVERIFY2(row(view.figuresTable(), sigma + QStringLiteral(" north"))
                     ->text()
                     .endsWith(QStringLiteral(" m (receiver: 0.671 m)")),
                 qPrintable(row(view.figuresTable(), sigma + QStringLiteral(" north"))->text()));
        QCOMPARE(row(view.figuresTable(), sigma + QStringLiteral(" east"))->text(),
                 QStringLiteral("0.000 m (receiver: 0.800 m)"));
        QVERIFY(row(view.figuresTable(), sigma + QStringLiteral(" north"))
                    ->toolTip()
                    .contains(QStringLiteral("what the receiver itself claims")));
    }

    // A track, not a position: fast over ground, or spread over far more
    // than a receiver standing still strays.
    void aReceiverThatMovedIsWarnedOf()
    {
        const struct
        {
            double minutesPerSecond;
            double knots;
            bool warned;
        } cases[] = {
            {0.0, 0.0, false},
            {0.00001, 0.3, false}, // 2 cm a second
            {0.0, 5.0, true},      // says it moves
            {0.001, 0.0, true},    // 1.85 m a second, 150 m in all
        };
        for (const auto &c : cases) {
            std::string log;
            for (int s = 0; s < 80; ++s)
                log += rmc(s, 7.0 + c.minutesPerSecond * s, c.knots);
            PrecisionView view;
            show(view, log);
            QCOMPARE(view.figures().fixes, std::size_t{80});
            QCOMPARE(view.warnsOfMovement(), c.warned);
        }
    }

    // Fixes of several classes are coloured by class with a legend, on the
    // Precision plot and on the position chart; one class looks as ever.
    void severalClassesAreColouredWithALegend()
    {
        navorel::LogGenerator::Options mixed = stationary(10);
        mixed.mixedQuality = true;
        for (const bool several : {false, true}) {
            SettingsStore settings;
            FakeDialogs dialogs;
            FakePrompter prompter;
            MainWindow window(settings, dialogs, prompter, [](const QString &) { return true; });
            window.setResultPage(new ResultPage(&window));
            window.resize(1000, 700);
            window.textArea()->setBytes(generated(2400, several ? mixed : stationary(10)));
            window.actions().filter->trigger();
            PrecisionView *view = window.positionViews()->precisionView();
            PrecisionPlot *plot = view->plot();
            plot->resize(500, 400);
            QCOMPARE(plot->legendEntries().size(), several ? std::size_t{7} : std::size_t{3});
            PositionChart *chart = window.positionViews()->positionChart();
            chart->resize(500, 400);
            QCOMPARE(chart->legendArea().isEmpty(), !several);
            // Each class in its colour, the best drawn last; one class
            // keeps the plot's blue.
            const QImage image = plot->grab().toImage().convertToFormat(QImage::Format_RGB32);
            std::map<QRgb, std::size_t> pixels;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x)
                    ++pixels[image.pixel(x, y)];
            }
            const QRgb rtkFixed = qRgb(0, 150, 60), rtkFloat = qRgb(235, 125, 0),
                       differential = qRgb(40, 175, 235), plain = qRgb(0, 85, 168);
            QVERIFY(pixels[plain] > 100);
            if (several) {
                for (const QRgb colour : {rtkFixed, rtkFloat, differential})
                    QVERIFY2(pixels[colour] > 4, qPrintable(QString::number(colour, 16)));
            } else {
                QCOMPARE(pixels[rtkFloat], std::size_t{0});
                QCOMPARE(pixels[differential], std::size_t{0});
            }
            QCOMPARE(plot->colours().legend().isEmpty(), !several);
            if (several)
                QCOMPARE(view->logBox()->table()->item(0, 0)->text(), QStringLiteral("RTK fixed"));
        }
    }
};

QTEST_MAIN(PrecisionQualityTest)
#include "precisionquality_test.moc"
