// Open, filter and chart a generated ~100 MB log through the real main
// window on the offscreen platform, timed per step, with peak memory.
//   QT_QPA_PLATFORM=offscreen gui_bench [megabytes]

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

#include "app/aboutbox.h"
#include "app/mainwindow.h"
#include "app/positionchart.h"
#include "app/positionviews.h"
#include "app/resultpage.h"
#include "app/satellitechart.h"
#include "app/textdocument.h"
#include "filter/textfile.h"
#include "prefs/settingsstore.h"
#include "tests/gui/fakes.h"
#include "tools/loggenerator.h"
#include "ui/nmeatextarea.h"

namespace {

long peakKilobytes()
{
    struct rusage usage
    {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long currentKilobytes()
{
    long pages = 0, resident = 0;
    if (std::FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 100.0;

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("week.nmea"));
    navorel::writeFileReplacing(
        path.toStdString(), navorel::LogGenerator::benchmarkLog(static_cast<std::size_t>(megabytes * 1e6)));
    const double fileBytes = static_cast<double>(QFileInfo(path).size());

    SettingsStore settings;
    FakeDialogs dialogs;
    FakePrompter prompter;
    MainWindow window(settings, dialogs, prompter, UrlOpener());
    ResultPage resultPage(&window);
    window.setResultPage(&resultPage);
    window.show();
    QApplication::processEvents();
    const long before = currentKilobytes();

    QElapsedTimer timer;
    timer.start();
    window.document().OpenHandleTXT(path);
    window.textArea()->repaint();
    const qint64 openMs = timer.restart();
    const long afterOpen = currentKilobytes();
    const long peakOpen = peakKilobytes();
    window.actions().filter->trigger();
    const qint64 filterMs = timer.restart();
    const long afterFilter = currentKilobytes();
    window.positionViews()->positionChart()->grab();
    window.positionViews()->satelliteChart()->grab();
    QApplication::processEvents();
    const qint64 chartMs = timer.elapsed();

    const long peak = peakKilobytes();
    std::printf("resident MB: idle %.0f, opened %.0f (peak %.0f), filtered %.0f, charted %.0f\n",
                before / 1024.0, afterOpen / 1024.0, peakOpen / 1024.0, afterFilter / 1024.0,
                currentKilobytes() / 1024.0);
    std::printf("log: %.1f MB, %zu fixes drawn\n", fileBytes / 1e6,
                window.positionViews()->positionChart()->points().size());
    std::printf(
        "open   %5lld ms\nfilter %5lld ms\ncharts %5lld ms\ntotal  %5lld ms (target <= 600 at 100 MB)\n",
        static_cast<long long>(openMs), static_cast<long long>(filterMs), static_cast<long long>(chartMs),
        static_cast<long long>(openMs + filterMs + chartMs));
    std::printf("peak %.0f MB, %.2f bytes per log byte above the idle window (target <= 1.5)\n",
                peak / 1024.0, static_cast<double>(peak - before) * 1024.0 / fileBytes);
    // Large buffers ask for huge pages; this says how much of the memory got them.
    if (std::FILE *rollup = std::fopen("/proc/self/smaps_rollup", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, rollup) != nullptr) {
            if (std::strncmp(line, "AnonHugePages:", 14) == 0)
                std::fputs(line, stdout);
        }
        std::fclose(rollup);
    }
    return 0;
}
