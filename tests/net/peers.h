#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "tools/loggenerator.h"

// Peers on the loopback address for the network sources: a gpsd replaying
// a log (gpsfake), and socat TCP listeners.

inline quint16 freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

// A generated 1 Hz receiver log with correct checksums (gpsd drops others).
inline QByteArray generatedLog(int seconds, std::uint64_t seed = 1)
{
    navorel::LogGenerator::Options options;
    options.seed = seed;
    navorel::LogGenerator generator(options);
    std::string log;
    for (int second = 0; second < seconds; ++second)
        generator.appendSecond(log);
    return QByteArray::fromStdString(log);
}

inline QList<QByteArray> linesOf(const QByteArray &text)
{
    QList<QByteArray> lines;
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray bare = line.endsWith('\r') ? line.chopped(1) : line;
        if (!bare.isEmpty())
            lines.append(bare);
    }
    return lines;
}

// Where got stands in log as one unbroken run, or -1.
inline qsizetype runStart(const QList<QByteArray> &log, const QList<QByteArray> &got)
{
    for (qsizetype start = 0; start + got.size() <= log.size(); ++start) {
        if (std::equal(got.begin(), got.end(), log.begin() + start))
            return start;
    }
    return -1;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A process in a group of its own, so that it ends with everything it started.
class PeerProcess
{
public:
    PeerProcess()
    {
        m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
        m_process.setProcessChannelMode(QProcess::MergedChannels);
    }
    ~PeerProcess() { stop(); }

    bool start(const QString &program, const QStringList &arguments)
    {
        m_process.start(program, arguments);
        if (!m_process.waitForStarted(5000))
            return false;
        m_group = static_cast<pid_t>(m_process.processId());
        return true;
    }
    void stop()
    {
        if (m_group == 0)
            return;
        ::kill(-m_group, SIGTERM);
        m_process.waitForFinished(500);
        // What it started may outlive it (a program that ignores SIGTERM).
        ::kill(-m_group, SIGKILL);
        m_process.waitForFinished(5000);
        m_group = 0;
    }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    pid_t m_group = 0;
};

// gpsfake: a private gpsd on a free port that replays a log once.
class GpsFake
{
public:
    // cycle: seconds between two sentences.
    bool start(const QString &log, double cycle)
    {
        m_port = freePort();
        if (!m_peer.start(QStringLiteral("gpsfake"),
                          {QStringLiteral("-1"), QStringLiteral("-q"), QStringLiteral("-c"),
                           QString::number(cycle), QStringLiteral("-P"), QString::number(m_port), log}))
            return false;
        // A client that does not watch makes gpsd open nothing.
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(200))
                return true;
            QTest::qWait(50);
        }
        return false;
    }
    QString address() const { return QStringLiteral("gpsd://127.0.0.1:%1").arg(m_port); }
    // gpsd goes, as when it is restarted.
    void stop() { m_peer.stop(); }

private:
    PeerProcess m_peer;
    quint16 m_port = 0;
};

// socat listening on a free loopback port for one connection; the peer
// sends a file and closes, or keeps what it hears.
class SocatListener
{
public:
    // socat address of what to do with the connection: "OPEN:file" sends
    // the file and closes, "CREATE:file" keeps what comes.
    // listenOptions: more socat options of the listener ("fork" for a peer
    // that takes every connection).
    bool start(const QString &peerAddress, bool sends, quint16 port = 0, const QString &listenOptions = {})
    {
        m_port = port != 0 ? port : freePort();
        QString listen = QStringLiteral("TCP-LISTEN:%1,bind=127.0.0.1,reuseaddr").arg(m_port);
        if (!listenOptions.isEmpty())
            listen += QLatin1Char(',') + listenOptions;
        if (!m_peer.start(QStringLiteral("socat"),
                          {QStringLiteral("-d"), QStringLiteral("-d"), QStringLiteral("-u"),
                           sends ? peerAddress : listen, sends ? listen : peerAddress}))
            return false;
        // Probing would use up the one connection: wait for socat to say it listens.
        QByteArray said;
        const QDeadlineTimer deadline(5000);
        while (!said.contains("listening on") && !deadline.hasExpired()) {
            m_peer.process().waitForReadyRead(100);
            said += m_peer.process().readAll();
        }
        return said.contains("listening on");
    }
    bool waitForEnd(int ms) { return m_peer.process().waitForFinished(ms); }
    void stop() { m_peer.stop(); }
    quint16 port() const { return m_port; }
    QString address() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(m_port); }

private:
    PeerProcess m_peer;
    quint16 m_port = 0;
};

// A loopback port that neither accepts nor refuses: its listener takes no
// connections and its backlog is already full, so a new one hangs.
class SilentPort
{
public:
    SilentPort()
    {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length);
        ::listen(m_listener, 0);
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(m_filler, reinterpret_cast<sockaddr *>(&address), length);
    }
    ~SilentPort()
    {
        ::close(m_filler);
        ::close(m_listener);
    }
    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    int m_filler = -1;
    quint16 m_port = 0;
};
