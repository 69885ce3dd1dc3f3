// Received lines into a text area that already holds a log: lines per second
// when each read cycle brings a few lines, and the processor time a 1 Hz
// receiver takes (one line a second, each painted).
//   QT_QPA_PLATFORM=offscreen receive_bench [megabytes...]

#include <QAccessible>
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "ui/nmeatextarea.h"

namespace {

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

const std::string kSentence = "$GPGGA,101500.00,4807.0380,N,01131.0020,E,1,08,0.9,545.4,M,46.9,M,,*47";

std::string logOf(double megabytes)
{
    std::string log;
    const auto size = static_cast<std::size_t>(megabytes * 1e6);
    log.reserve(size + kSentence.size() + 2);
    while (log.size() < size)
        log += kSentence + "\r\n";
    return log;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    std::vector<double> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atof(argv[i]));
    if (sizes.empty())
        sizes = {1.0, 3.5, 50.0};

    std::printf("%10s %14s %18s\n", "text MB", "lines/s", "CPU at 1 Hz");
    for (const double megabytes : sizes) {
        NmeaTextArea area;
        area.resize(400, 600);
        area.show();
        area.setBytes(logOf(megabytes));
        area.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        QApplication::processEvents();

        // A read cycle of 257 bytes brings three lines at most.
        const std::vector<std::string> cycle(3, kSentence);
        double best = 0.0;
        for (int run = 0; run < 3; ++run) {
            const double start = cpuSeconds();
            const int cycles = 2000;
            for (int i = 0; i < cycles; ++i) {
                area.appendLines(cycle);
                if (i % 20 == 0) // the screen is drawn some twenty times a second at most
                    area.viewport()->repaint();
            }
            best = std::max(best, cycles * 3 / (cpuSeconds() - start));
        }

        // A 1 Hz receiver: one line and one paint a second.
        const std::vector<std::string> one(1, kSentence);
        double least = 1e9;
        for (int run = 0; run < 20; ++run) {
            const double start = cpuSeconds();
            area.appendLines(one);
            area.viewport()->repaint();
            QApplication::processEvents();
            least = std::min(least, cpuSeconds() - start);
        }
        std::printf("%10.1f %14.0f %17.3f%%\n", megabytes, best, least * 100.0);
    }
    return 0;
}
