// Times the text area with one log: load, first paint, replacing the text with
// one a sixth of its size, a keystroke at the end, and appending received
// lines; and the memory it takes per log byte. One log per run, so that the
// peak memory belongs to that log alone.
//
//   QT_QPA_PLATFORM=offscreen textarea_bench LOG

#include "ui/nmeatextarea.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<void()> &work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Resident and peak resident memory in bytes, from /proc.
long long memoryField(const char *name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name, 0) == 0)
            return std::atoll(line.c_str() + std::strlen(name)) * 1024;
    return 0;
}

void paintNow(NmeaTextArea &area)
{
    QCoreApplication::processEvents();
    area.viewport()->repaint();
}

void typeAtEnd(NmeaTextArea &area, QChar character)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QString(character));
    QCoreApplication::sendEvent(&area, &press);
    paintNow(area);
}

} // namespace

int main(int argc, char **argv)
{
    // glibc raises its mmap threshold after each large free, so that freed
    // buffers of a few megabytes stay in the heap and blur the figures.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: textarea_bench LOG\n");
        return 2;
    }
    NmeaTextArea area;
    area.resize(400, 600);
    area.show();
    paintNow(area);
    area.hide();
    const long long baseline = memoryField("VmRSS:");

    std::string log;
    {
        std::ifstream file(argv[1], std::ios::binary | std::ios::ate);
        log.resize(static_cast<std::size_t>(file.tellg()));
        file.seekg(0);
        file.read(log.data(), static_cast<std::streamsize>(log.size()));
    }
    const double logBytes = static_cast<double>(log.size());
    std::string sixth = log.substr(0, log.size() / 6);

    const double loadMs = millisecondsOf([&] { area.setBytes(log); });
    const double showMs = millisecondsOf([&] {
        area.show();
        paintNow(area);
    });
    area.setFocus();
    const std::size_t lines = area.lineCount();

    // The bytes the text area holds, without the copy this program read them into.
    const std::size_t logSize = log.size();
    std::string().swap(log);
    const long long afterLoad = memoryField("VmRSS:");

    std::string copied;
    const double bytesMs = millisecondsOf([&] { copied = area.bytes(); });
    std::string().swap(copied);
    std::string lastLine;
    const double lineAtUs = 1000.0 * millisecondsOf([&] { lastLine = area.lineAt(area.lineCount() - 1); });

    std::vector<double> keystrokes;
    area.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    paintNow(area);
    for (int i = 0; i < 7; ++i)
        keystrokes.push_back(millisecondsOf([&] { typeAtEnd(area, QChar('x')); }));

    const std::string sentence = "$GPGGA,101500.00,4807.0380,N,01131.0020,E,1,08,0.9,545.4,M,46.9,M,,*47";
    const int appends = 10000;
    const double appendMs = millisecondsOf([&] {
        for (int i = 0; i < appends; ++i)
            area.appendLine(sentence);
        paintNow(area);
    });
    std::vector<double> appendPainted;
    for (int i = 0; i < 11; ++i)
        appendPainted.push_back(millisecondsOf([&] {
            area.appendLine(sentence);
            paintNow(area);
        }));

    const double replaceMs = millisecondsOf([&] {
        area.hide();
        area.setBytes(sixth);
        area.show();
        paintNow(area);
    });

    const double megabytes = static_cast<double>(logSize) / 1e6;
    std::printf("log %.0f MB, %zu lines\n", megabytes, lines);
    std::printf("load %.0f ms, show %.0f ms, replace with a sixth %.0f ms\n", loadMs, showMs, replaceMs);
    std::printf("bytes() %.0f ms, lineCount() + lineAt(last) %.1f us\n", bytesMs, lineAtUs);
    std::printf("keystroke at the end %.1f ms (median of %zu)\n", median(keystrokes), keystrokes.size());
    std::printf("appendLine x %d %.0f ms; one appended line with a repaint %.2f ms\n", appends, appendMs,
                median(appendPainted));
    std::printf("memory: text area %.2f B per log byte, peak of the run %.2f B per log byte\n",
                static_cast<double>(afterLoad - baseline - static_cast<long long>(sixth.capacity()))
                    / logBytes,
                static_cast<double>(memoryField("VmHWM:") - baseline) / logBytes);
    return 0;
}
