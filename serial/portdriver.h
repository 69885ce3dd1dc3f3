#pragma once

#include <QIODevice>
#include <QObject>
#include <QString>
#include <QStringList>
#include <string_view>

#include "serial/nmeasource.h"
#include "serial/serialdevice.h"

class Prompter;

// What the five selectors of the RS-232 window say at the moment a port is
// opened: three texts as shown, parity and stop bits as the selected entry
// (-1 when the text is not a list entry).
struct PortSelection
{
    QString port;
    QString baud;
    QString data;
    int parity = -1;
    int stop = -1;
};

// The one port of the window, opened by name with the selections of the
// RS-232 window: a serial device (SerialDevice) or a network source.
// Everything runs on the window's thread; nothing here waits for the device.
//
// A network name ("gpsd://…", "tcp://…") opens a network source instead: the
// line settings do not apply, and the opening ends later, with opened() or
// with its error box and openFailed().
class PortDriver : public QObject
{
    Q_OBJECT

public:
    explicit PortDriver(Prompter &prompter, QObject *parent = nullptr);

    // Opens the port with the selections, or closes it when it is open.
    // Returns whether the port is open afterwards, or being opened for a
    // network name; a failure has been shown.
    bool TogglePort(const PortSelection &selection, QIODevice::OpenMode mode);
    // Open, or being opened.
    bool isOpen() const { return m_serial.isOpen() || m_networkInUse; }
    // Open and taking bytes: a network source has connected.
    bool isReady() const { return m_serial.isOpen() || m_network.isOpen(); }

    // The port text the open port was opened by, as the user gave it.
    const QString &openPortText() const { return m_openPortText; }
    // The longest pause between two received characters that still belongs
    // to one read, in ms; 0 for no limit.
    int readIntervalMs() const { return m_networkInUse ? 0 : m_serial.readIntervalMs(); }
    // The serial device, with the frame in force while it is open.
    const SerialDevice &serialDevice() const { return m_serial; }

    // What the port text the open port was opened by names.
    navorel::SourceName openSource() const;
    // What gpsd last said about its receivers (gpsd sources only).
    navorel::GpsdStream::Receivers gpsdReceivers() const { return m_network.gpsdReceivers(); }

    qint64 bytesAvailable() const;
    QByteArray read(qint64 maxBytes);
    // Queues the bytes for the port; returns how many were taken.
    qint64 WritePort(std::string_view bytes);

    // Shows the last failure of the port under a caption naming the step;
    // a note, when given, follows the system's message on a line of its own.
    void ShowSysError(const QString &title, const QString &note = QString()) const;

signals:
    void readyRead();
    // The port failed while open: the device is gone, or reading or
    // writing broke. Sent once per opening, from the event loop.
    void failed();
    // A network source has connected.
    void opened();
    // A network source could not be opened; its box has been shown.
    void openFailed();

private:
    bool OpenPort(const PortSelection &selection, QIODevice::OpenMode mode);
    void SetupPort(long baudRate, int dataBits, const PortSelection &selection);
    void ClosePort();
    void deviceFailed();
    void networkOpenFailed(const QString &reason);
    void networkDropped(const QString &reason);
    void keepNetworkFailure(const QString &reason);

    Prompter &m_prompter;
    SerialDevice m_serial;
    NmeaSource m_network;
    // From the start of a network opening until it failed or was closed;
    // a connection that dropped stays in use until the transfer closes it.
    bool m_networkInUse = false;
    QString m_openPortText;
    // Kept across the closing that follows a failure, for its error box:
    // the system's message, then a line for each hint.
    QStringList m_failure;
};
