// Received lines into a text area that already holds a log: lines per second
// when each read cycle brings a few lines, without and with the live survey
// taking them first (the figures kept up, the goal looked at with every
// fix), and the processor time a 1 Hz receiver takes (one line a second,
// each painted).
//   QT_QPA_PLATFORM=offscreen receive_bench [megabytes...]

#include <QAccessible>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/livesurvey.h"
#include "prefs/settingsstore.h"
#include "tools/loggenerator.h"
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

// A receiver's own lines, with their checksums: the survey reads every fix.
std::vector<std::string> receivedLines(int seconds)
{
    navorel::LogGenerator generator(navorel::LogGenerator::Options{});
    std::string log;
    for (int second = 0; second < seconds; ++second)
        generator.appendSecond(log);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < log.size();) {
        const std::size_t end = log.find("\r\n", start);
        lines.push_back(log.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Lines per second of processor time, three lines a read cycle (a cycle of
// 257 bytes brings three at most), the screen drawn some twenty times a
// second at most; with a survey, its lines taken first.
double linesPerSecond(NmeaTextArea &area, const std::vector<std::string> &lines, LiveSurvey *survey)
{
    double best = 0.0;
    for (int run = 0; run < 3; ++run) {
        const double start = cpuSeconds();
        std::size_t taken = 0;
        for (std::size_t i = 0; i + 3 <= lines.size(); i += 3) {
            const std::vector<std::string> cycle(lines.begin() + static_cast<std::ptrdiff_t>(i),
                                                 lines.begin() + static_cast<std::ptrdiff_t>(i + 3));
            if (survey)
                survey->take(cycle);
            area.appendLines(cycle);
            taken += 3;
            if (i % 60 == 0) {
                area.viewport()->repaint();
                QApplication::processEvents(); // the survey's figures, once a second
            }
        }
        best = std::max(best, static_cast<double>(taken) / (cpuSeconds() - start));
    }
    return best;
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

    std::printf("%10s %14s %20s %18s\n", "text MB", "lines/s", "lines/s, survey on", "CPU at 1 Hz");
    for (const double megabytes : sizes) {
        NmeaTextArea area;
        area.resize(400, 600);
        area.show();
        area.setBytes(logOf(megabytes));
        area.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        QApplication::processEvents();

        const std::vector<std::string> lines = receivedLines(900);
        const double plain = linesPerSecond(area, lines, nullptr);
        SettingsStore settings;
        LiveSurvey survey(settings);
        survey.start(area.logBytes());
        const double surveyed = linesPerSecond(area, lines, &survey);
        survey.stop();

        // A 1 Hz receiver: one line and one paint a second.
        const std::vector<std::string> one(1, kSentence);
        double least = 1e9;
        for (int run = 0; run < 20; ++run) {
            const double start = cpuSeconds();
            area.appendLines(one);
            // Until the line has been drawn: the area draws what came at most
            // every 200 ms. Waiting costs no processor time.
            QEventLoop wait;
            QTimer::singleShot(250, &wait, &QEventLoop::quit);
            wait.exec();
            least = std::min(least, cpuSeconds() - start);
        }
        std::printf("%10.1f %14.0f %20.0f %17.3f%%\n", megabytes, plain, surveyed, least * 100.0);
    }
    std::printf("target: >= 5,000 lines/s into a text area of 3.5 MB, with the survey on too\n");
    return 0;
}
