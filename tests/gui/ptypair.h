#pragma once

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

// Two connected pseudo-terminals made by socat: the program opens one end,
// the test plays the device on the other. A pty takes only 8N1 and keeps
// bytes from before an opening, so the device end is cleared once open.
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
        m_device.setPortName(deviceEnd());
        if (!m_device.open(QIODevice::ReadWrite))
            return false;
        m_device.clear(QSerialPort::AllDirections);
        return true;
    }

    // The device goes away, as an unplugged USB receiver does.
    void unplug()
    {
        m_device.close();
        if (m_socat.state() != QProcess::NotRunning) {
            m_socat.kill();
            m_socat.waitForFinished(5000);
        }
    }

    QString programEnd() const { return m_dir.filePath(QStringLiteral("program")); }
    QString deviceEnd() const { return m_dir.filePath(QStringLiteral("device")); }

    // What the device says to the program.
    void say(const QByteArray &bytes)
    {
        m_device.write(bytes);
        m_device.flush();
    }
    // Everything the device has heard from the program so far.
    QByteArray heard()
    {
        m_heard += m_device.readAll();
        return m_heard;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
    QSerialPort m_device;
    QByteArray m_heard;
};
