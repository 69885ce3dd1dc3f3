#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <csignal>

// navorel-record run as a user runs it, and what it leaves.

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Recording
{
public:
    explicit Recording(const QStringList &arguments)
    {
        m_process.start(QStringLiteral(NAVOREL_RECORD_BIN), arguments);
        m_process.waitForStarted(5000);
    }
    ~Recording()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    qint64 processId() const { return m_process.processId(); }
    void signal(int number) { ::kill(static_cast<pid_t>(m_process.processId()), number); }
    // The exit status, or -1 when it did not end by itself in time.
    int status(int ms)
    {
        if (!m_process.waitForFinished(ms) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }
    QByteArray out() { return m_out += m_process.readAllStandardOutput(); }
    QByteArray err() { return m_err += m_process.readAllStandardError(); }
    bool errSays(const QByteArray &text, int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (!err().contains(text) && !deadline.hasExpired())
            m_process.waitForReadyRead(100);
        return err().contains(text);
    }
    // Waits ms, taking in what it says meanwhile.
    void listen(int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning)
            m_process.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        err();
    }
    QList<QByteArray> errLines()
    {
        QList<QByteArray> lines = err().split('\n');
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }

private:
    QProcess m_process;
    QByteArray m_out;
    QByteArray m_err;
};
