#include "tools/recorder.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>

#include "exports/jsonsummary.h"
#include "filter/surveytexts.h"
#include "serial/sourcenotes.h"

namespace {

QString text(std::string_view words)
{
    return QString::fromUtf8(words.data(), static_cast<qsizetype>(words.size()));
}

} // namespace

Recorder::Recorder(const Options &options, QObject *parent)
        : QObject(parent), m_options(options), m_out(options.out.toLocal8Bit().toStdString())
{
    m_duration.setSingleShot(true);
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    m_tick.setInterval(kTickMs);
    m_clock.start();
    connect(&m_duration, &QTimer::timeout, this, &Recorder::stop);
    connect(&m_retry, &QTimer::timeout, this, &Recorder::openSource);
    connect(&m_tick, &QTimer::timeout, this, &Recorder::tick);
    connect(&m_source, &NmeaSource::opened, this, &Recorder::opened);
    connect(&m_source, &NmeaSource::openFailed, this, &Recorder::openFailed);
    connect(&m_source, &NmeaSource::readyRead, this, &Recorder::receive);
    connect(&m_source, &NmeaSource::dropped, this, &Recorder::dropped);
    if (const std::optional<Options::Survey> &survey = options.survey) {
        std::optional<navorel::SurveyGoal> goal;
        if (survey->targetMetres)
            goal.emplace(*survey->targetMetres, survey->minimumSeconds);
        m_survey = std::make_unique<navorel::Survey>(survey->settings, goal);
    }
    m_statusTick.setInterval(kStatusMs);
    connect(&m_statusTick, &QTimer::timeout, this, &Recorder::sayStatus);
}

std::string Recorder::surveyJson() const
{
    if (!m_survey)
        return {};
    const navorel::SurveyTracker &tracker = m_survey->tracker();
    const navorel::SurveyTracker::Figures figures = tracker.measure(); // the last line is the goal's
    return navorel::JsonSummary::ofRun(tracker.run(), figures.precision, figures.uncertainty);
}

std::string Recorder::surveyStatus() const
{
    if (!m_survey)
        return {};
    const navorel::SurveyTracker &tracker = m_survey->tracker();
    const navorel::SurveyTracker::Figures figures = tracker.measure(); // the last line is the goal's
    const auto span = static_cast<long long>(std::llround(figures.precision.timeSpan));
    char time[40];
    std::snprintf(time, sizeof time, "%lld:%02lld:%02lld", span / 3600, span / 60 % 60, span % 60);
    std::string status = navorel::countText(tracker.fixes()) + " fixes, " + time;
    if (!figures.uncertainty.measured)
        return status + ", r95 after 64 fixes";
    return status + ", r95 " + navorel::decimalText(figures.uncertainty.r95, 3) + " m ("
           + (figures.uncertainty.settled ? "settled" : "not settled: at least that") + ")";
}

void Recorder::sayStatus() const
{
    if (m_survey)
        say(QStringLiteral("survey: ") + QString::fromStdString(surveyStatus()));
}

void Recorder::start()
{
    const OutputFile::Result result =
        m_out.open([this](const std::string &waiting) { say(QString::fromLocal8Bit(waiting.c_str())); });
    if (result != OutputFile::Result::Done) {
        say(QStringLiteral("cannot write %1: %2")
                .arg(m_options.out, QString::fromLocal8Bit(m_out.error().c_str())));
        finish(kNotStarted);
        return;
    }
    m_tick.start();
    if (m_options.status && m_survey)
        m_statusTick.start();
    openSource();
}

void Recorder::openSource()
{
    m_source.open(m_options.source, QIODevice::ReadOnly, {m_options.baudRate});
}

void Recorder::stop()
{
    if (m_finished)
        return;
    receive();
    if (!m_everOpened)
        say(QStringLiteral("stopped before %1 ever opened").arg(m_options.source));
    finish(m_everOpened ? kEndedAsAsked : kNotStarted);
}

void Recorder::reopenOutput()
{
    if (m_finished)
        return;
    if (!m_out.isRegular()) {
        say(QStringLiteral("%1 is no regular file: it stays open").arg(m_options.out));
        return;
    }
    if (m_out.reopen() != OutputFile::Result::Done) {
        outputFailed();
        return;
    }
    say(QStringLiteral("%1 opened anew").arg(m_options.out));
}

void Recorder::opened()
{
    if (!m_everOpened) {
        m_everOpened = true;
        if (m_options.seconds > 0)
            m_duration.start(static_cast<int>(m_options.seconds * 1000));
    }
    std::string error;
    m_watch.opened(navorel::SourceName::parse(m_options.source.toStdString(), error), m_clock.elapsed());
}

void Recorder::openFailed(const QString &reason)
{
    if (!m_everOpened) {
        say(QStringLiteral("cannot open %1: %2").arg(m_options.source, reason));
        finish(kNotStarted);
        return;
    }
    sayPaced(QStringLiteral("%1: still not back (%2); trying again every %3 s")
                 .arg(m_options.source, reason)
                 .arg(kRetryMs / 1000));
    m_retry.start();
}

void Recorder::receive()
{
    if (m_finished)
        return;
    std::vector<std::string> lines;
    std::size_t bytes = 0;
    std::size_t cut = 0;
    while (m_source.bytesAvailable() > 0) {
        const QByteArray read = m_source.read(m_source.bytesAvailable());
        bytes += static_cast<std::size_t>(read.size());
        cut += m_assembler.feed(std::string_view(read.constData(), static_cast<std::size_t>(read.size())),
                                lines);
    }
    if (cut > 0)
        sayPaced(m_options.source + QStringLiteral(": ") + text(navorel::kLongLineCut));
    const bool heardAgain = m_watch.take(bytes, lines, m_clock.elapsed());
    // Said for a line, not for a connection: a peer that takes the
    // connection and closes it at once is not back.
    const bool backAfterDrop = m_awaitingLine && !lines.empty();
    if (backAfterDrop) {
        m_awaitingLine = false;
        m_pacing.reset();
    }
    if (heardAgain || backAfterDrop)
        say(m_options.source + QStringLiteral(": ") + text(navorel::kReceivingAgain));
    write(lines);
}

// False when the recording has ended: enough lines, the survey's goal, or OUT failed.
bool Recorder::write(const std::vector<std::string> &lines)
{
    if (lines.empty())
        return true;
    std::size_t count = lines.size();
    if (m_options.lines > 0)
        count = static_cast<std::size_t>(
            std::min<qint64>(static_cast<qint64>(count), m_options.lines - m_linesWritten));
    // The recording ends with the line of the fix that reached the goal.
    if (m_survey)
        count = m_survey->take(std::span(lines).first(count));
    std::string chunk;
    for (std::size_t i = 0; i < count; ++i)
        chunk.append(lines[i]).append("\r\n");
    m_linesWritten += static_cast<qint64>(count);
    if (!chunk.empty() && m_out.write(chunk) != OutputFile::Result::Done) {
        outputFailed();
        return false;
    }
    if (m_survey && m_survey->goalReached()) {
        say(QStringLiteral("survey reached: ") + QString::fromStdString(surveyStatus()));
        finish(kEndedAsAsked);
        return false;
    }
    if (m_options.lines > 0 && m_linesWritten == m_options.lines) {
        finish(kEndedAsAsked);
        return false;
    }
    return true;
}

void Recorder::dropped(const QString &reason)
{
    receive();
    if (m_finished)
        return;
    // Nothing more comes to finish that line: it is kept, ended, so that it
    // cannot glue onto the first line of the next connection.
    std::vector<std::string> last;
    m_assembler.endLine(last);
    if (!write(last))
        return;
    m_source.close();
    sayPaced(
        QStringLiteral("%1: %2; trying again every %3 s").arg(m_options.source, reason).arg(kRetryMs / 1000));
    m_awaitingLine = true;
    m_retry.start();
}

// Once a second: written lines reach the disk, so that a power cut loses at
// most the last second; OUT is looked at; a silent source is noted.
void Recorder::tick()
{
    m_out.sync();
    switch (m_out.look()) {
    case OutputFile::Look::Same: break;
    case OutputFile::Look::Deleted:
        say(QStringLiteral("%1 was deleted while recording: recording goes on in a new %1, "
                           "from the lines of the last second on")
                .arg(m_options.out));
        break;
    case OutputFile::Look::Replaced:
        say(QStringLiteral("%1 is no longer the file recorded into (moved or replaced): "
                           "recording goes on in a new %1")
                .arg(m_options.out));
        break;
    case OutputFile::Look::Failed: outputFailed(); return;
    }
    if (m_source.isOpen()) {
        const std::string silence = m_watch.check(m_clock.elapsed(), m_source.gpsdReceivers());
        if (!silence.empty())
            say(m_options.source + QStringLiteral(": ") + QString::fromStdString(silence));
    }
}

void Recorder::outputFailed()
{
    if (m_out.unwritten() > 0)
        say(QStringLiteral("stopped while %1 took no more: %2 bytes not written")
                .arg(m_options.out)
                .arg(m_out.unwritten()));
    else
        say(QStringLiteral("cannot write %1: %2")
                .arg(m_options.out, QString::fromLocal8Bit(m_out.error().c_str())));
    finish(kOutputFailed);
}

void Recorder::finish(int status)
{
    if (m_finished)
        return;
    m_finished = true;
    // A limit or a stop before the survey's goal: the survey did not succeed.
    if (status == kEndedAsAsked && m_survey && m_survey->goal() && !m_survey->goalReached()) {
        say(QStringLiteral("the survey's goal was not reached: ") + QString::fromStdString(surveyStatus()));
        status = kGoalNotReached;
    }
    m_statusTick.stop();
    m_duration.stop();
    m_retry.stop();
    m_tick.stop();
    m_source.close();
    m_out.close();
    emit finished(status);
}

void Recorder::say(const QString &message) const
{
    std::fprintf(stderr, "%s navorel-record: %s\n",
                 navorel::utcTimeStamp(QDateTime::currentSecsSinceEpoch()).c_str(),
                 message.toLocal8Bit().constData());
    std::fflush(stderr);
}

void Recorder::sayPaced(const QString &message)
{
    const std::string said = m_pacing.offer(message.toStdString(), m_clock.elapsed());
    if (!said.empty())
        say(QString::fromStdString(said));
}
