// navorel-record: records a receiver's NMEA into a file, without a window.

#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "filter/codepage.h"
#include "filter/filterprocess.h"
#include "filter/settings.h"
#include "filter/textfile.h"
#include "filter/wholenumber.h"
#include "serial/sourcenotes.h"
#include "tools/recorder.h"

namespace {

const char kUsage[] =
    "Usage: navorel-record SOURCE OUT [--seconds N | --lines N] [--baud N] [--report]\n"
    "Appends every complete line a GPS receiver sends to OUT (CR LF line ends), as it\n"
    "arrives; what has been written reaches the disk at least once a second.\n"
    "\n"
    "SOURCE is one of\n"
    "  /dev/ttyUSB0                   a serial device (8 data bits, no parity, 1 stop bit)\n"
    "  gpsd://HOST[:PORT][/DEVICE]    the NMEA of a receiver gpsd owns (port 2947 if none)\n"
    "  tcp://HOST:PORT                raw NMEA from a TCP peer\n"
    "OUT is a file to append to, or a FIFO, a device or /dev/stdout to write to.\n"
    "\n"
    "  --seconds N   end after N seconds of recording\n"
    "  --lines N     end after N lines\n"
    "  --baud N      baud rate of a serial device (default 4800)\n"
    "  --report      print the filter report of OUT at the end\n"
    "  --help        show this help\n"
    "\n"
    "Without a limit it records until SIGINT or SIGTERM. SIGHUP opens OUT anew (log\n"
    "rotation); so does OUT deleted or moved while recording. A source that drops is\n"
    "opened again every 5 s; its unfinished line is kept, ended, as a line of its own.\n"
    "A line longer than 64 KiB keeps its first 64 KiB. Notes on standard error begin\n"
    "with the time (UTC); one that repeats is said at growing intervals, at most 5 min\n"
    "apart; 10 s without an NMEA line are said once.\n"
    "Exit status: 0 ended as asked (a limit, SIGINT or SIGTERM), 1 OUT could not be\n"
    "written (a full disk, a reader that went away), 2 usage error, OUT not opened, or\n"
    "a source that never opened (also when stopped before it did).\n";

int g_signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t g_stopRequested = 0;

// The signal's number goes into a pipe for the event loop. A stop is also
// flagged at once, for a write that waits for a reader.
void onSignal(int number)
{
    if (number != SIGHUP)
        g_stopRequested = 1;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

int usageError(const std::string &message)
{
    std::fprintf(stderr, "navorel-record: %s\nTry 'navorel-record --help'.\n", message.c_str());
    return Recorder::kNotStarted;
}

bool positive(const char *text, qint64 &value)
{
    std::int64_t number = 0;
    if (!navorel::parseWholeNumber(text, number) || number < 1 || number > 1'000'000'000)
        return false;
    value = number;
    return true;
}

// Notes of a recording begin with the time, as the recorder's own do.
std::string now()
{
    return navorel::utcTimeStamp(QDateTime::currentSecsSinceEpoch());
}

void printReport(const QString &out)
{
    std::string bytes;
    if (!navorel::readFileBytes(out.toLocal8Bit().toStdString(), bytes)) {
        std::fprintf(stderr, "%s navorel-record: cannot read %s for the report\n", now().c_str(),
                     out.toLocal8Bit().constData());
        return;
    }
    const navorel::FilterRun run =
        navorel::runFilter(navorel::TextLines::fromText(std::move(bytes)), navorel::Settings());
    std::string report;
    for (const std::string &line : run.report)
        report += line + '\n';
    const std::string text = navorel::windows1252ToUtf8(report);
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (!run.completed())
        std::fprintf(stderr, "%s navorel-record: the filter stopped at line %zu: %s\n", now().c_str(),
                     run.errorLine, navorel::windows1252ToUtf8(run.errorString).c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    Recorder::Options options;
    bool report = false;
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--report") {
            report = true;
        } else if (arg == "--seconds" || arg == "--lines" || arg == "--baud") {
            qint64 value = 0;
            if (i + 1 >= argc || !positive(argv[i + 1], value))
                return usageError("option " + arg + " needs a positive whole number");
            ++i;
            if (arg == "--seconds")
                options.seconds = value;
            else if (arg == "--lines")
                options.lines = value;
            else
                options.baudRate = static_cast<qint32>(value);
        } else if (arg.size() > 1 && arg.front() == '-') {
            return usageError("unknown option " + arg);
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 2)
        return usageError("give a SOURCE and an OUT file");
    if (options.seconds > 0 && options.lines > 0)
        return usageError("give --seconds or --lines, not both");
    options.source = QString::fromLocal8Bit(operands[0].c_str());
    options.out = QString::fromLocal8Bit(operands[1].c_str());

    QCoreApplication app(argc, argv);
    Recorder recorder(options);

    // A signal only leaves a byte in a pipe; the ending itself runs in the
    // event loop, where writing the last lines is safe.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0) {
        std::perror("navorel-record: socketpair");
        return Recorder::kNotStarted;
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &recorder, [&recorder] {
        char number = 0;
        while (::read(g_signalPipe[0], &number, 1) == 1) {
            if (number == SIGHUP)
                recorder.reopenOutput();
            else
                recorder.stop();
        }
    });
    OutputFile::setStopFlag(&g_stopRequested);
    // Calls are not restarted after a signal: waiting for a FIFO's reader
    // ends with it. Qt's own calls go on after an interruption.
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    // A reader that goes away is an error of the write, not the end of the program.
    ::signal(SIGPIPE, SIG_IGN);

    int status = Recorder::kNotStarted;
    QObject::connect(&recorder, &Recorder::finished, &app, [&](int result) {
        status = result;
        app.quit();
    });
    QMetaObject::invokeMethod(&recorder, &Recorder::start, Qt::QueuedConnection);
    app.exec();
    if (report && status == Recorder::kEndedAsAsked)
        printReport(options.out);
    // Ends here: the framework's clean-up would wait for a name lookup
    // that never answers until the system's resolver gives up.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}
