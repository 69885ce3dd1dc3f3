#include "serial/nmeasource.h"

#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>

#include "serial/sourcenotes.h"

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString text(const std::string &words)
{
    return QString::fromStdString(words);
}

// A note is one line: the hints follow the system's message as sentences.
QString oneLine(const QStringList &lines)
{
    return lines.join(QStringLiteral(". "));
}

// A receiver that loses power or its Wi-Fi says no goodbye, and a socket
// that only listens would wait for it for ever: probes find such a peer
// gone within about half a minute (the system default is two hours).
void probeForAGonePeer(qintptr socket)
{
    const int on = 1, idleSeconds = 15, intervalSeconds = 5, probes = 3;
    ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(static_cast<int>(socket), IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds);
    ::setsockopt(static_cast<int>(socket), IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds,
                 sizeof intervalSeconds);
    ::setsockopt(static_cast<int>(socket), IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}

} // namespace

NmeaSource::NmeaSource(QObject *parent) : QObject(parent)
{
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimeout, &QTimer::timeout, this, &NmeaSource::timedOut);
    connect(&m_socket, &QTcpSocket::connected, this, &NmeaSource::connected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &NmeaSource::socketReadable);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &NmeaSource::socketFailed);
    connect(&m_socket, &QTcpSocket::disconnected, this, &NmeaSource::socketFailed);
    connect(&m_serial, &SerialDevice::readyRead, this, &NmeaSource::serialReadable);
    connect(&m_serial, &SerialDevice::failed, this, &NmeaSource::serialFailed);
}

void NmeaSource::open(const QString &name, QIODevice::OpenMode mode, const SerialFrame &frame)
{
    close();
    m_name = name;
    m_mode = mode;
    m_state = State::Opening;
    std::string error;
    m_source = navorel::SourceName::parse(name.toStdString(), error);
    if (!error.empty()) {
        fail(QString::fromStdString(error));
        return;
    }
    switch (m_source.kind) {
    case navorel::SourceName::Kind::Device: openDevice(frame); return;
    case navorel::SourceName::Kind::Gpsd:
        if (!receiving()) {
            fail(QStringLiteral("gpsd hands out what its receiver sends; it takes nothing to send"));
            return;
        }
        m_gpsd.restart();
        break;
    case navorel::SourceName::Kind::Tcp: break;
    }
    // The look-up of a host name runs in the background, as does the connecting.
    m_socket.connectToHost(QString::fromStdString(m_source.host), m_source.port);
    m_connectTimeout.start();
}

void NmeaSource::timedOut()
{
    QString reason = systemText(ETIMEDOUT);
    switch (m_socket.state()) {
    // Connected but not answered: something else listens on gpsd's port.
    case QAbstractSocket::ConnectedState: reason = QStringLiteral("No answer from gpsd"); break;
    // The name server, not the peer, kept silent.
    case QAbstractSocket::HostLookupState: reason = text(navorel::lookupNoAnswer(m_source.host)); break;
    default: break;
    }
    m_socket.abort();
    fail(reason);
}

// Opened as the window opens its port: the same names, the same hints when
// it will not open.
void NmeaSource::openDevice(const SerialFrame &frame)
{
    if (!m_serial.open(m_name, m_mode)) {
        fail(oneLine(m_serial.failure()));
        return;
    }
    m_serial.setUp(frame);
    QMetaObject::invokeMethod(
        this, [this, opening = m_opening] { report(opening, true, QString()); }, Qt::QueuedConnection);
}

void NmeaSource::close()
{
    ++m_opening;
    m_state = State::Closed;
    m_connectTimeout.stop();
    if (m_socket.state() != QAbstractSocket::UnconnectedState) {
        // The last line sent should not be lost to the closing.
        m_socket.flush();
        m_socket.abort();
    }
    m_serial.close();
    m_received.clear();
    m_readFrom = 0;
}

QByteArray NmeaSource::read(qint64 maxBytes)
{
    const QByteArray bytes = m_received.mid(m_readFrom, maxBytes);
    m_readFrom += bytes.size();
    if (m_readFrom == m_received.size()) {
        m_received.clear();
        m_readFrom = 0;
    } else if (m_readFrom > 1 << 20 && m_readFrom > m_received.size() / 2) {
        m_received.remove(0, m_readFrom);
        m_readFrom = 0;
    }
    return bytes;
}

qint64 NmeaSource::write(std::string_view bytes)
{
    if (m_state != State::Open)
        return -1;
    if (!m_source.isNetwork())
        return m_serial.write(bytes);
    return m_socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void NmeaSource::connected()
{
    if (m_state != State::Opening)
        return;
    probeForAGonePeer(m_socket.socketDescriptor());
    if (m_source.kind == navorel::SourceName::Kind::Gpsd) {
        // Open once gpsd has answered the request, which the time limit
        // goes on covering.
        const std::string watch = navorel::GpsdStream::watchRequest(m_source.device);
        m_socket.write(watch.data(), static_cast<qint64>(watch.size()));
        return;
    }
    m_connectTimeout.stop();
    report(m_opening, true, QString());
}

void NmeaSource::socketReadable()
{
    const QByteArray bytes = m_socket.readAll();
    if (m_state == State::Closed || !receiving())
        return; // a peer that talks back while we send is not listened to
    if (m_source.kind != navorel::SourceName::Kind::Gpsd) {
        take(bytes);
        return;
    }
    std::string nmea;
    m_gpsd.filter(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), nmea);
    m_received += QByteArray::fromStdString(nmea);
    if (m_state == State::Opening) {
        switch (m_gpsd.answer()) {
        case navorel::GpsdStream::Answer::Awaited: return;
        case navorel::GpsdStream::Answer::Refused:
            m_socket.abort();
            fail(QString::fromStdString(m_gpsd.refusal()));
            return;
        case navorel::GpsdStream::Answer::NotGpsd:
            m_socket.abort();
            fail(text(navorel::notGpsd(m_source.host, m_source.port, m_gpsd.firstLineLooksLikeNmea())));
            return;
        case navorel::GpsdStream::Answer::Watching:
            m_connectTimeout.stop();
            report(m_opening, true, QString());
            break;
        }
    }
    if (m_state == State::Open && bytesAvailable() > 0)
        emit readyRead();
}

void NmeaSource::socketFailed()
{
    if (m_state == State::Closed || m_socket.error() == QAbstractSocket::UnknownSocketError)
        return;
    // What came before the end is still the receiver's.
    if (m_state == State::Open && m_socket.isReadable())
        socketReadable();
    QString reason = m_socket.errorString();
    if (m_socket.error() == QAbstractSocket::RemoteHostClosedError) {
        reason = m_source.kind == navorel::SourceName::Kind::Gpsd
                     ? text(navorel::gpsdClosed(m_source.host, m_source.port))
                     : QStringLiteral("The peer closed the connection");
    }
    m_socket.abort();
    fail(reason);
}

void NmeaSource::serialReadable()
{
    // Bytes that come while the opening is being reported wait for it.
    if (m_state == State::Opening)
        return;
    const QByteArray bytes = m_serial.read(m_serial.bytesAvailable());
    if (m_state == State::Open && receiving())
        take(bytes);
}

// Already from the event loop, once: what came before the failure is the
// receiver's, then the device is closed.
void NmeaSource::serialFailed()
{
    if (m_state != State::Open)
        return;
    serialReadable();
    m_state = State::Closed;
    m_serial.close();
    emit dropped(oneLine(m_serial.failure()));
}

// A failure while opening ends the opening; once open, it is a drop.
void NmeaSource::fail(const QString &reason)
{
    const bool wasOpen = m_state == State::Open;
    m_state = State::Closed;
    m_connectTimeout.stop();
    const quint64 opening = m_opening;
    if (wasOpen) {
        QMetaObject::invokeMethod(
            this,
            [this, reason, opening] {
                if (opening == m_opening)
                    emit dropped(reason);
            },
            Qt::QueuedConnection);
    } else {
        QMetaObject::invokeMethod(
            this, [this, reason, opening] { report(opening, false, reason); }, Qt::QueuedConnection);
    }
}

void NmeaSource::report(quint64 opening, bool success, const QString &reason)
{
    if (opening != m_opening)
        return;
    if (!success) {
        emit openFailed(reason);
        return;
    }
    if (m_state != State::Opening)
        return;
    m_state = State::Open;
    emit opened();
    if (opening == m_opening && m_serial.isOpen())
        serialReadable();
}

void NmeaSource::take(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_received += bytes;
    emit readyRead();
}
