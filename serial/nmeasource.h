#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <string_view>

#include "serial/gpsdstream.h"
#include "serial/serialdevice.h"
#include "serial/sourcename.h"

// Where received NMEA comes from and sent NMEA goes to: a serial device
// (a SerialDevice, opened as the window opens its port), a gpsd ("gpsd://HOST[:PORT][/DEVICE]", receiving
// only) or a TCP peer
// ("tcp://HOST:PORT"). The bytes read are what the receiver sent, as a
// serial port would give them; gpsd's own reports are already taken out.
//
// Nothing here waits: host names are looked up and connections made in the
// background, and every outcome arrives as a signal from the event loop.
class NmeaSource : public QObject
{
    Q_OBJECT

public:
    enum class State { Closed, Opening, Open };

    // A peer that neither accepts nor refuses is given up after this.
    static constexpr int kConnectTimeoutMs = 10000;
    void setConnectTimeout(int ms) { m_connectTimeout.setInterval(ms); }

    explicit NmeaSource(QObject *parent = nullptr);

    // Begins opening what the port text names, for receiving (ReadOnly) or
    // sending (WriteOnly). opened() or openFailed() follows, never from
    // inside this call.
    void open(const QString &name, QIODevice::OpenMode mode, const SerialFrame &frame = SerialFrame());
    // Ends at once, whatever the state; unread bytes are dropped.
    void close();

    State state() const { return m_state; }
    bool isOpen() const { return m_state == State::Open; }
    bool isNetwork() const { return m_source.isNetwork(); }
    const QString &name() const { return m_name; }

    qint64 bytesAvailable() const { return m_received.size() - m_readFrom; }
    QByteArray read(qint64 maxBytes);
    // Queues the bytes for the device or peer; -1 when not open.
    qint64 write(std::string_view bytes);
    // What gpsd last said about its receivers, for the note on a silence.
    navorel::GpsdStream::Receivers gpsdReceivers() const { return m_gpsd.receivers(); }

signals:
    void opened();
    void openFailed(const QString &reason);
    void readyRead();
    // The source went away while open: the peer closed or broke the
    // connection, the device vanished, a read or write failed. What was
    // received before stays readable.
    void dropped(const QString &reason);

private:
    void openDevice(const SerialFrame &frame);
    void connected();
    void socketReadable();
    void socketFailed();
    void serialReadable();
    void serialFailed();
    void fail(const QString &reason);
    void timedOut();
    void report(quint64 opening, bool success, const QString &reason);
    void take(const QByteArray &bytes);
    bool receiving() const { return m_mode.testFlag(QIODevice::ReadOnly); }

    State m_state = State::Closed;
    QString m_name;
    navorel::SourceName m_source;
    QIODevice::OpenMode m_mode;
    QTcpSocket m_socket;
    SerialDevice m_serial;
    QTimer m_connectTimeout;
    navorel::GpsdStream m_gpsd;
    // Read from the front: m_readFrom moves on, and the read part is taken
    // out only now and then, so that a big burst is not moved at each read.
    QByteArray m_received;
    qsizetype m_readFrom = 0;
    // Counts openings, so that an outcome noticed late cannot touch a newer one.
    quint64 m_opening = 0;
};
