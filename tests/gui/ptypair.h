#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// Two connected pseudo-terminals made by socat: the program opens one end,
// the test plays the device on the other, through plain system calls (the
// program's own serial class is what is tested). socat makes both ends raw;
// a pty keeps bytes from before an opening, so the device end is flushed
// once open.
class PtyPair
{
public:
    PtyPair()
    {
        m_socat.setProgram(QStringLiteral("socat"));
        m_socat.setArguments({QStringLiteral("pty,raw,echo=0,link=") + programEnd(),
                              QStringLiteral("pty,raw,echo=0,link=") + deviceEnd()});
        m_socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~PtyPair() { unplug(); }
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    // False when socat could not make the pair within a few seconds.
    bool plugIn()
    {
        m_socat.start();
        if (!m_socat.waitForStarted(5000))
            return false;
        const QDeadlineTimer deadline(5000);
        while (!(QFileInfo::exists(programEnd()) && QFileInfo::exists(deviceEnd()))) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(20);
        }
        m_device = ::open(deviceEnd().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_device < 0)
            return false;
        ::tcflush(m_device, TCIOFLUSH);
        return true;
    }

    // The device goes away, as an unplugged USB receiver does.
    void unplug()
    {
        if (m_device >= 0) {
            ::close(m_device);
            m_device = -1;
        }
        if (m_socat.state() != QProcess::NotRunning) {
            m_socat.kill();
            m_socat.waitForFinished(5000);
        }
    }

    QString programEnd() const { return m_dir.filePath(QStringLiteral("program")); }
    QString deviceEnd() const { return m_dir.filePath(QStringLiteral("device")); }

    // What the device says to the program, all of it.
    void say(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (m_device >= 0 && done < bytes.size()) {
            const ssize_t written =
                ::write(m_device, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
            if (written > 0) {
                done += written;
            } else if (written < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd wait{m_device, POLLOUT, 0};
                ::poll(&wait, 1, 100);
            } else {
                return;
            }
        }
    }
    // Everything the device has heard from the program so far.
    QByteArray heard()
    {
        char buffer[4096];
        for (;;) {
            const ssize_t got = m_device < 0 ? -1 : ::read(m_device, buffer, sizeof buffer);
            if (got <= 0)
                break;
            m_heard.append(buffer, got);
        }
        return m_heard;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
    int m_device = -1;
    QByteArray m_heard;
};
