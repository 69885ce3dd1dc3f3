#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>

#include "serial/linesettings.h"

// The line settings a serial device opens with. Data bits outside 5 to 8
// and a parity or stop bits left empty keep what the device has.
struct SerialFrame
{
    qint32 baudRate = 4800;
    int dataBits = 8;
    std::optional<navorel::PortParity> parity = navorel::PortParity::None;
    std::optional<navorel::PortStopBits> stopBits = navorel::PortStopBits::One;
};

// A serial device, the one way the program opens one: the window's
// receiving and sending and navorel-record alike. A port text is opened by
// the device it stands for ("COMn" is /dev/ttyS(n-1)) and by the path its
// links end in, so that every name of one device takes one lock. A device
// that will not open says why with what helps (the program holding it, the
// group dialout); one that fails while open says so once.
//
// Nothing here waits for the device: bytes come with readyRead().
class SerialDevice : public QObject
{
    Q_OBJECT

public:
    explicit SerialDevice(QObject *parent = nullptr);

    // Opens what the port text names for reading or writing. False when it
    // did not open: failure() says why.
    bool open(const QString &portText, QIODevice::OpenMode mode);
    // Sets the frame of the open device (a setting the device refuses stays
    // as it was, the device open) and drops what arrived before the opening.
    void setUp(const SerialFrame &frame);
    void close();
    bool isOpen() const { return m_port.isOpen(); }

    // The frame in force, as the device took it.
    const QSerialPort &port() const { return m_port; }
    // The longest pause between two received characters that still belongs
    // to one read, in ms, for the frame in force; 0 for no limit.
    int readIntervalMs() const { return m_readIntervalMs; }

    qint64 bytesAvailable() const { return m_port.bytesAvailable(); }
    QByteArray read(qint64 maxBytes) { return m_port.isOpen() ? m_port.read(maxBytes) : QByteArray(); }
    // Queues the bytes for the device; -1 when it took none.
    qint64 write(std::string_view bytes);

    // Why the last opening failed, or the open device failed: the system's
    // message, then one line for each hint.
    const QStringList &failure() const { return m_failure; }

signals:
    void readyRead();
    // The device went away, or reading or writing broke: once per opening,
    // from the event loop. It stays open, with what it delivered before
    // still readable, until closed.
    void failed();

private:
    void noteError(QSerialPort::SerialPortError error);
    void keepOpenFailure(const QString &portText);

    QSerialPort m_port;
    int m_readIntervalMs = 0;
    QStringList m_failure;
    // Counts openings, so that a failure noticed late cannot touch a newer one.
    quint64 m_opening = 0;
    bool m_failureReported = false;
};
