#include "tools/recorder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

bool writeAll(int fd, const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A file left by a recording that was killed may end inside a line; the
// next line must not be glued to it.
bool endsInsideALine(int fd)
{
    const off_t size = ::lseek(fd, 0, SEEK_END);
    char last = '\n';
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n' && last != '\r';
}

} // namespace

Recorder::Recorder(const Options &options, QObject *parent) : QObject(parent), m_options(options)
{
    m_duration.setSingleShot(true);
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    m_sync.setInterval(kSyncMs);
    connect(&m_duration, &QTimer::timeout, this, &Recorder::stop);
    connect(&m_retry, &QTimer::timeout, this,
            [this] { m_source.open(m_options.source, QIODevice::ReadOnly, {m_options.baudRate}); });
    connect(&m_sync, &QTimer::timeout, this, &Recorder::sync);
    connect(&m_source, &NmeaSource::opened, this, &Recorder::opened);
    connect(&m_source, &NmeaSource::openFailed, this, &Recorder::openFailed);
    connect(&m_source, &NmeaSource::readyRead, this, &Recorder::receive);
    connect(&m_source, &NmeaSource::dropped, this, &Recorder::dropped);
}

Recorder::~Recorder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void Recorder::start()
{
    m_fd = ::open(m_options.out.toLocal8Bit().constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0 || (endsInsideALine(m_fd) && !writeAll(m_fd, "\r\n"))) {
        say(QStringLiteral("cannot write %1: %2")
                .arg(m_options.out, QString::fromLocal8Bit(std::strerror(errno))));
        finish(kNotStarted);
        return;
    }
    m_sync.start();
    m_source.open(m_options.source, QIODevice::ReadOnly, {m_options.baudRate});
}

void Recorder::stop()
{
    if (m_finished)
        return;
    receive();
    finish(kEndedAsAsked);
}

void Recorder::opened()
{
    if (!m_everOpened) {
        m_everOpened = true;
        if (m_options.seconds > 0)
            m_duration.start(static_cast<int>(m_options.seconds * 1000));
    } else {
        say(QStringLiteral("%1: receiving again").arg(m_options.source));
    }
    m_lastRetryFailure.clear();
}

void Recorder::openFailed(const QString &reason)
{
    if (!m_everOpened) {
        say(QStringLiteral("cannot open %1: %2").arg(m_options.source, reason));
        finish(kNotStarted);
        return;
    }
    // One line for each new reason, not one every few seconds for hours.
    if (reason != m_lastRetryFailure)
        say(QStringLiteral("%1: still not back (%2); trying again every %3 s")
                .arg(m_options.source, reason)
                .arg(kRetryMs / 1000));
    m_lastRetryFailure = reason;
    m_retry.start();
}

void Recorder::receive()
{
    if (m_finished)
        return;
    std::vector<std::string> lines;
    while (m_source.bytesAvailable() > 0) {
        const QByteArray bytes = m_source.read(m_source.bytesAvailable());
        m_assembler.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), lines);
    }
    if (lines.empty())
        return;
    std::string chunk;
    bool enough = false;
    for (const std::string &line : lines) {
        if (m_options.lines > 0 && m_linesWritten == m_options.lines) {
            enough = true;
            break;
        }
        chunk += line;
        chunk += "\r\n";
        ++m_linesWritten;
    }
    if (!writeAll(m_fd, chunk)) {
        say(QStringLiteral("cannot write %1: %2")
                .arg(m_options.out, QString::fromLocal8Bit(std::strerror(errno))));
        finish(1);
        return;
    }
    m_unsynced = true;
    if (enough || (m_options.lines > 0 && m_linesWritten == m_options.lines))
        finish(kEndedAsAsked);
}

void Recorder::dropped(const QString &reason)
{
    receive();
    if (m_finished)
        return;
    // The rest of that line is gone with the connection; glued to the first
    // line of the next one it would make a sentence nobody sent.
    const std::size_t lost = m_assembler.partialLine().size();
    m_assembler = navorel::LineAssembler();
    m_source.close();
    say(QStringLiteral("%1: %2%3; trying again every %4 s")
            .arg(m_options.source, reason,
                 lost > 0 ? QStringLiteral(" (an unfinished line of %1 bytes dropped)").arg(lost) : QString())
            .arg(kRetryMs / 1000));
    m_lastRetryFailure.clear();
    m_retry.start();
}

// Written lines reach the disk at least once a second, so that a power cut
// loses at most the last second.
void Recorder::sync()
{
    if (m_unsynced && m_fd >= 0)
        ::fdatasync(m_fd);
    m_unsynced = false;
}

void Recorder::finish(int status)
{
    if (m_finished)
        return;
    m_finished = true;
    m_duration.stop();
    m_retry.stop();
    m_sync.stop();
    m_source.close();
    if (m_fd >= 0) {
        sync();
        ::close(m_fd);
        m_fd = -1;
    }
    emit finished(status);
}

void Recorder::say(const QString &message) const
{
    std::fprintf(stderr, "navorel-record: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
}
