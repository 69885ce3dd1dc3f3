// navorel-record: records a receiver's NMEA into a file, without a window.

#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "filter/codepage.h"
#include "filter/filterprocess.h"
#include "filter/fixquality.h"
#include "filter/settings.h"
#include "filter/textfile.h"
#include "filter/wholenumber.h"
#include "prefs/confsettings.h"
#include "serial/sourcenotes.h"
#include "tools/recorder.h"

namespace {

const char kUsage[] =
    "Usage: navorel-record SOURCE OUT [--seconds N | --lines N] [--baud N] [--report]\n"
    "                      [--until-r95 METRES [--min-seconds N]] [--json] [--status]\n"
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
    "  --until-r95 METRES\n"
    "                end once the mean of the fixes written is within METRES of the\n"
    "                true position with 95 % confidence (r95), settled, and has\n"
    "                stayed so over the last tenth of the time and at least 60 s\n"
    "  --min-seconds N\n"
    "                with --until-r95: not before N seconds of fixes, by their own times\n"
    "  --json        print the navorel-filter --json object of the lines written at\n"
    "                the end (the figures of the fix that reached the goal)\n"
    "  --status      a line on standard error every 10 s: fixes, time, r95, settled\n"
    "  --gga         take $GPGGA sentences for the survey's figures, not $GPRMC\n"
    "  --talkers T   gnss (the default) or gps, as navorel-filter's --talkers\n"
    "  --min-quality Q\n"
    "                the least a fix has to be to count, as navorel-filter's\n"
    "  --help        show this help\n"
    "\n"
    "Without a limit it records until SIGINT or SIGTERM. SIGHUP opens OUT anew (log\n"
    "rotation); so does OUT deleted or moved while recording. A source that drops is\n"
    "opened again every 5 s; its unfinished line is kept, ended, as a line of its own.\n"
    "A line longer than 64 KiB keeps its first 64 KiB. Notes on standard error begin\n"
    "with the time (UTC); one that repeats is said at growing intervals, at most 5 min\n"
    "apart; 10 s without an NMEA line are said once.\n"
    "Exit status: 0 ended as asked (a limit, SIGINT or SIGTERM; with --until-r95, the\n"
    "goal reached), 1 OUT could not be written (a full disk, a reader that went away),\n"
    "2 usage error, OUT not opened, or a source that never opened (also when stopped\n"
    "before it did), 3 with --until-r95: ended by a limit or a signal before the goal.\n";

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

// A target radius in metres: a decimal number above 0.
bool positiveMetres(const char *text, double &value)
{
    char *end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value) && value > 0.0;
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
    Recorder::Options::Survey survey;
    bool wantsSurvey = false;
    bool json = false;
    bool report = false;
    std::optional<qint64> minimumSeconds;
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--report") {
            report = true;
        } else if (arg == "--json" || arg == "--status") {
            (arg == "--json" ? json : options.status) = true;
            wantsSurvey = true;
        } else if (arg == "--gga") {
            survey.settings.IDF = navorel::PositionSentence::GGA;
        } else if (arg == "--until-r95") {
            double metres = 0.0;
            if (i + 1 >= argc || !positiveMetres(argv[i + 1], metres))
                return usageError("option --until-r95 needs a distance in metres above 0");
            survey.targetMetres = metres;
            wantsSurvey = true;
            ++i;
        } else if (arg == "--talkers" || arg == "--min-quality") {
            const bool known =
                i + 1 < argc
                && (arg == "--talkers"
                        ? navorel::talkersFromText(argv[i + 1], survey.settings.Talkers)
                        : navorel::minQualityFromText(argv[i + 1], survey.settings.MinQuality));
            if (!known)
                return usageError(arg == "--talkers"
                                      ? "option --talkers takes gnss or gps"
                                      : "option --min-quality takes any, autonomous, differential, "
                                        "rtk-float or rtk-fixed");
            ++i;
        } else if (arg == "--seconds" || arg == "--lines" || arg == "--baud" || arg == "--min-seconds") {
            qint64 value = 0;
            if (i + 1 >= argc || !positive(argv[i + 1], value))
                return usageError("option " + arg + " needs a positive whole number");
            ++i;
            if (arg == "--seconds")
                options.seconds = value;
            else if (arg == "--min-seconds")
                minimumSeconds = value;
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
    if (minimumSeconds && !survey.targetMetres)
        return usageError("--min-seconds goes with --until-r95");
    survey.minimumSeconds = static_cast<double>(minimumSeconds.value_or(0));
    if (wantsSurvey)
        options.survey = survey;
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
    const bool recorded = status == Recorder::kEndedAsAsked || status == Recorder::kGoalNotReached;
    if (report && recorded)
        printReport(options.out);
    if (json && recorded) {
        const std::string object = recorder.surveyJson() + '\n';
        std::fwrite(object.data(), 1, object.size(), stdout);
    }
    // Ends here: the framework's clean-up would wait for a name lookup
    // that never answers until the system's resolver gives up.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}
