// The filter over a generated ~100 MB log, against a plain memchr line split
// of the same bytes, then navorel-filter on that log as a user would run it.
//   filter_bench [megabytes]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "filter/filterprocess.h"
#include "filter/meanuncertainty.h"
#include "filter/precisionfigures.h"
#include "filter/textfile.h"
#include "tools/loggenerator.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The floor any line-based reader has to pay: find every line end and keep
// where each line is.
std::vector<std::string_view> memchrLineSplit(const std::string &bytes)
{
    std::vector<std::string_view> lines;
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    while (p < end) {
        const char *hit = static_cast<const char *>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (hit == nullptr) {
            lines.emplace_back(p, static_cast<std::size_t>(end - p));
            break;
        }
        lines.emplace_back(p, static_cast<std::size_t>(hit - p));
        p = hit + 1;
    }
    return lines;
}

// The processor time of this process, all its threads: on a machine busy
// with other work it says more about a run's own cost than the wall clock.
double processorSeconds()
{
    struct rusage usage
    {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

template <typename Work> double bestOf(int rounds, Work work)
{
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, secondsSince(start));
    }
    return best;
}

struct ChildRun
{
    double seconds = 0;
    long peakKilobytes = 0;
    int status = -1;
};

// Runs a command and reports its wall time and peak memory. Called in a
// fresh process of its own (see --peak): a child's peak counts the pages of
// the process it was forked from until its exec.
ChildRun runChild(char **argv)
{
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv);
        _exit(127);
    }
    ChildRun run;
    int status = 0;
    struct rusage usage
    {};
    wait4(pid, &status, 0, &usage);
    run.seconds = secondsSince(start);
    run.peakKilobytes = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

ChildRun runMeasured(const std::string &command)
{
    ChildRun run;
    std::FILE *pipe = popen(("/proc/" + std::to_string(getpid()) + "/exe --peak " + command).c_str(), "r");
    if (pipe == nullptr)
        return run;
    if (std::fscanf(pipe, "%lf %ld %d", &run.seconds, &run.peakKilobytes, &run.status) != 3)
        run.status = -1;
    pclose(pipe);
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--peak") == 0) {
        const ChildRun run = runChild(argv + 2);
        std::printf("%f %ld %d\n", run.seconds, run.peakKilobytes, run.status);
        return 0;
    }
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 100.0;
    std::string log = navorel::LogGenerator::benchmarkLog(static_cast<std::size_t>(megabytes * 1e6));
    const double size = static_cast<double>(log.size()) / 1e6;
    std::vector<std::string_view> lines = memchrLineSplit(log);
    std::printf("log: %.1f MB, %zu lines\n", size, lines.size());
    const double split = bestOf(5, [&] { lines = memchrLineSplit(log); });

    // The filter scans the bytes where they lie (the text area's buffer):
    // finding the lines is its work. Both talker modes in turn, so that a
    // change of load hits both alike.
    navorel::Settings classic;
    classic.Talkers = navorel::TalkerMode::GPS;
    const navorel::Settings everyTalker;
    double processor = 0.0; // of the last run
    const auto timeFilter = [&processor](const std::string &text, const navorel::Settings &settings,
                                         double &best, navorel::FilterRun &run) {
        run = navorel::FilterRun();
        const double processorStart = processorSeconds();
        const auto start = Clock::now();
        run = navorel::runFilter(std::string_view(text), settings);
        best = std::min(best, secondsSince(start));
        processor = processorSeconds() - processorStart;
    };
    navorel::FilterRun run;
    double filterClassic = 1e9, filter = 1e9;
    double processorClassic = 1e9, processorEveryTalker = 1e9;
    for (int i = 0; i < 5; ++i) {
        timeFilter(log, classic, filterClassic, run);
        processorClassic = std::min(processorClassic, processor);
        timeFilter(log, everyTalker, filter, run);
        processorEveryTalker = std::min(processorEveryTalker, processor);
    }
    std::printf("memchr line split : %7.1f ms  %7.0f MB/s\n", split * 1e3, size / split);
    std::printf("filter, $GP only  : %7.1f ms  %7.0f MB/s\n", filterClassic * 1e3, size / filterClassic);
    std::printf("filter            : %7.1f ms  %7.0f MB/s  (%zu fixes, %zu data lines)\n", filter * 1e3,
                size / filter, run.counts.accepted, run.result.dataLines.size());
    std::printf("filter / split    : %.0f %% of the line-split speed (target >= 50 %%)\n",
                100.0 * split / filter);
    std::printf("every talker      : %.0f %% of the $GP-only time, %.0f %% of its processor time "
                "(target <= 115 %%)\n",
                100.0 * filter / filterClassic, 100.0 * processorEveryTalker / processorClassic);

    // A multi-GNSS receiver's log of the same size: GN talker, one GSA per
    // system with the NMEA 4.10 system ID.
    {
        navorel::LogGenerator::Options options;
        options.notValidShare = 0.01;
        options.noiseShare = 0.002;
        options.talkers = navorel::LogGenerator::Talkers::GN;
        options.systemIdField = true;
        navorel::LogGenerator generator(options);
        std::string gnssLog;
        generator.appendBytes(gnssLog, log.size());
        double gnss = 1e9;
        for (int i = 0; i < 3; ++i)
            timeFilter(gnssLog, everyTalker, gnss, run);
        std::printf("multi-GNSS log    : %7.1f ms  %7.0f MB/s  (%zu fixes, %zu epochs)\n", gnss * 1e3,
                    static_cast<double>(gnssLog.size()) / 1e6 / gnss, run.counts.accepted,
                    run.result.dataLines.size());
    }

    // The figures come from the fixes the run keeps, after it.
    const double figures = bestOf(5, [&] { navorel::measurePrecision(run.fixes); });
    std::printf("precision figures : %7.1f ms  = %.1f %% of the filter run (target < 5 %%)\n", figures * 1e3,
                100.0 * figures / filter);
    const navorel::PrecisionFigures measured = navorel::measurePrecision(run.fixes);
    const double uncertainty = bestOf(5, [&] { navorel::measureUncertainty(run.fixes, measured); });
    std::printf("mean uncertainty  : %7.1f ms  = %.1f %% of the filter run (target < 5 %%)\n",
                uncertainty * 1e3, 100.0 * uncertainty / filter);

    const std::string input = "/tmp/navorel-bench.nmea";
    const std::string csv = "/tmp/navorel-bench.csv";
    if (!navorel::writeFileReplacing(input, log)) {
        std::fprintf(stderr, "cannot write %s\n", input.c_str());
        return 1;
    }
    log.clear();
    log.shrink_to_fit();
    run = navorel::FilterRun();
    ChildRun best;
    best.seconds = 1e9;
    for (int i = 0; i < 5; ++i) {
        const ChildRun child =
            runMeasured(std::string(NAVOREL_FILTER_BIN) + " --quiet --csv " + csv + " " + input);
        if (child.status != 0) {
            std::fprintf(stderr, "navorel-filter failed with %d\n", child.status);
            return 1;
        }
        if (child.seconds < best.seconds)
            best = child;
    }
    std::printf(
        "navorel-filter --quiet --csv: %.3f s wall, peak %.1f MB = %.2f x the file (targets <= 0.12 s, "
        "<= 0.3 x; bench/filter_cli.sh compares with GPSBabel)\n",
        best.seconds, static_cast<double>(best.peakKilobytes) / 1024.0,
        static_cast<double>(best.peakKilobytes) * 1024.0 / (size * 1e6));
    std::remove(input.c_str());
    std::remove(csv.c_str());
    return 0;
}
