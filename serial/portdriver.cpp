#include "serial/portdriver.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QStringList>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <optional>
#include <unistd.h>

#include "filter/wholenumber.h"
#include "serial/linesettings.h"
#include "serial/sourcenotes.h"
#include "ui/prompter.h"

namespace {

QSerialPort::Parity qtParity(navorel::PortParity parity)
{
    switch (parity) {
    case navorel::PortParity::None: return QSerialPort::NoParity;
    case navorel::PortParity::Odd: return QSerialPort::OddParity;
    case navorel::PortParity::Even: return QSerialPort::EvenParity;
    case navorel::PortParity::Mark: return QSerialPort::MarkParity;
    }
    return QSerialPort::NoParity;
}

navorel::PortParity lineParity(QSerialPort::Parity parity)
{
    switch (parity) {
    case QSerialPort::NoParity: return navorel::PortParity::None;
    case QSerialPort::OddParity: return navorel::PortParity::Odd;
    case QSerialPort::MarkParity: return navorel::PortParity::Mark;
    default: return navorel::PortParity::Even; // one parity bit, like every other kind
    }
}

// A text that is not a positive whole number the port could take, or none.
std::optional<std::int64_t> positiveWholeNumber(const QString &text)
{
    std::int64_t value = 0;
    if (!navorel::parseWholeNumber(text.toStdString(), value) || value < 1
        || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return value;
}

// The file the port name stands for, as QSerialPort resolves it.
QString devicePath(const QString &portName)
{
    return portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
}

// Two names of one device (a link in /dev/serial/by-id, a link made by a
// tool) would take two lock files, and two windows would share its lines:
// the port is opened by the name the links end in.
QString canonicalDevice(const QString &portName)
{
    const QString canonical = QFileInfo(devicePath(portName)).canonicalFilePath();
    return canonical.isEmpty() ? portName : canonical;
}

// Who holds the device's lock file, where QSerialPort keeps them; empty
// when nobody says.
QString lockHolder(const QString &devicePath)
{
    QString name = devicePath;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const char *folder : {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp", "/tmp",
                               "/var/tmp", "/var/lock/lockdev", "/run/lock"}) {
        const QString lockPath = QLatin1String(folder) + QStringLiteral("/LCK..") + name;
        qint64 pid = 0;
        QString host;
        QString application;
        if (!QFileInfo::exists(lockPath) || !QLockFile(lockPath).getLockInfo(&pid, &host, &application))
            continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        const QString program =
            comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : application;
        return program.isEmpty() ? QStringLiteral("process %1").arg(pid)
                                 : QStringLiteral("%1 (process %2)").arg(program).arg(pid);
    }
    return {};
}

bool refusesUser(const QString &path)
{
    return ::access(path.toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES;
}

} // namespace

QString portDevice(const QString &portText)
{
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]{0,5})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comName.match(portText);
    if (!match.hasMatch())
        return portText;
    return QStringLiteral("/dev/ttyS") + QString::number(match.captured(1).toInt() - 1);
}

QString systemErrorMessage(QSerialPort::SerialPortError error, const QString &systemText,
                           bool deviceRefusesUser)
{
    QString message = systemText;
    while (!message.isEmpty()
           && (message.back().category() == QChar::Other_Control || message.back() == QLatin1Char(' ')
               || message.back() == QLatin1Char('.')))
        message.chop(1);
    // Serial devices belong to the group dialout on Debian; a locked device
    // (in use elsewhere) is a PermissionError too and needs no such hint.
    if (error == QSerialPort::PermissionError && deviceRefusesUser)
        message += QStringLiteral("\nSerial ports may be used by members of the group dialout: "
                                  "add your user to it (sudo adduser $USER dialout) and log in again.");
    return message;
}

PortDriver::PortDriver(Prompter &prompter, QObject *parent) : QObject(parent), m_prompter(prompter)
{
    connect(&m_port, &QSerialPort::readyRead, this, &PortDriver::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &PortDriver::noteError);
    connect(&m_network, &NmeaSource::readyRead, this, &PortDriver::readyRead);
    connect(&m_network, &NmeaSource::opened, this, &PortDriver::opened);
    connect(&m_network, &NmeaSource::openFailed, this, &PortDriver::networkOpenFailed);
    connect(&m_network, &NmeaSource::dropped, this, &PortDriver::networkDropped);
}

bool PortDriver::TogglePort(const PortSelection &selection, QIODevice::OpenMode mode)
{
    if (isOpen()) {
        ClosePort();
        return false;
    }
    if (navorel::SourceName::isNetworkText(selection.port.toStdString())) {
        // No line settings: what the selectors say does not matter here.
        m_openPortText = selection.port;
        m_readIntervalMs = 0;
        ++m_opening;
        m_networkInUse = true;
        m_network.open(selection.port, mode);
        return true;
    }
    // Checked before anything is opened, so that a wrong text leaves no
    // half-made transfer behind.
    const std::optional<std::int64_t> baudRate = positiveWholeNumber(selection.baud);
    const std::optional<std::int64_t> dataBits = positiveWholeNumber(selection.data);
    if (!baudRate || !dataBits) {
        const QString message =
            !baudRate
                ? QStringLiteral("The baud rate \"%1\" is not a positive whole number.").arg(selection.baud)
                : QStringLiteral("The number of data bits \"%1\" is not a positive whole number.")
                      .arg(selection.data);
        m_prompter.errorBox(nullptr, message
                                         + QStringLiteral("\nChoose a value in the RS-232 Settings; "
                                                          "the port was not opened."));
        return false;
    }
    if (!OpenPort(selection, mode))
        return false;
    SetupPort(static_cast<long>(*baudRate), static_cast<int>(*dataBits), selection);
    return true;
}

bool PortDriver::OpenPort(const PortSelection &selection, QIODevice::OpenMode mode)
{
    m_port.setPortName(canonicalDevice(portDevice(selection.port)));
    m_failureReported = false;
    ++m_opening;
    if (m_port.open(mode)) {
        m_openPortText = selection.port;
        return true;
    }
    keepError(m_port.error(), m_port.errorString());
    m_deviceRefusesUser = refusesUser(devicePath(m_port.portName()));
    QStringList notes;
    if (m_lastError == QSerialPort::PermissionError && !m_deviceRefusesUser) {
        if (const QString holder = lockHolder(m_port.portName()); !holder.isEmpty())
            notes.append(QStringLiteral("The device is in use by ") + holder + QLatin1Char('.'));
    }
    // "COMn" is a Windows name: say which device it stood for here.
    if (const QString device = portDevice(selection.port); device != selection.port)
        notes.append(QStringLiteral("%1 is the device %2 here.").arg(selection.port, device));
    ShowSysError(QStringLiteral("error try open : ") + selection.port, notes.join(QLatin1Char('\n')));
    return false;
}

void PortDriver::SetupPort(long baudRate, int dataBits, const PortSelection &selection)
{
    // A setting the device does not take leaves that setting as it was and
    // the port open, as a driver that refuses a line state record does.
    m_port.setBaudRate(static_cast<qint32>(baudRate));
    if (dataBits >= QSerialPort::Data5 && dataBits <= QSerialPort::Data8)
        m_port.setDataBits(static_cast<QSerialPort::DataBits>(dataBits));
    if (const std::optional<navorel::PortParity> parity = navorel::parityForEntry(selection.parity))
        m_port.setParity(qtParity(*parity));
    if (const std::optional<navorel::PortStopBits> stopBits = navorel::stopBitsForEntry(selection.stop))
        m_port.setStopBits(*stopBits == navorel::PortStopBits::One ? QSerialPort::OneStop
                                                                   : QSerialPort::TwoStop);
    m_port.clearError();

    // Qt has no read time-outs; the interval rule bounds a read cycle of the
    // receiver instead, for the frame actually on the line.
    const navorel::PortStopBits stopBitsInForce =
        m_port.stopBits() == QSerialPort::OneStop ? navorel::PortStopBits::One : navorel::PortStopBits::Two;
    m_readIntervalMs = navorel::interCharacterTimeoutMs(m_port.baudRate(), m_port.dataBits(),
                                                        lineParity(m_port.parity()), stopBitsInForce);

    // A terminal keeps what arrived before this opening; a port opened on
    // Windows started empty, and old bytes would only make a torn first line.
    if (m_port.openMode() & QIODevice::ReadOnly)
        m_port.clear(QSerialPort::Input);
}

void PortDriver::ClosePort()
{
    m_port.close();
    m_network.close();
    m_networkInUse = false;
}

navorel::SourceName PortDriver::openSource() const
{
    std::string error;
    return navorel::SourceName::parse(m_openPortText.toStdString(), error);
}

qint64 PortDriver::bytesAvailable() const
{
    return m_networkInUse ? m_network.bytesAvailable() : m_port.bytesAvailable();
}

QByteArray PortDriver::read(qint64 maxBytes)
{
    // What a dropped connection delivered before its end is still read.
    if (m_networkInUse)
        return m_network.read(maxBytes);
    return m_port.isOpen() ? m_port.read(maxBytes) : QByteArray();
}

qint64 PortDriver::WritePort(std::string_view bytes)
{
    if (m_network.isOpen())
        return m_network.write(bytes);
    const qint64 written = m_port.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written < 0)
        noteError(QSerialPort::WriteError);
    return written;
}

void PortDriver::noteError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError: break;
    default: return; // refused settings and the like leave the port working
    }
    // A gone device keeps the notifier firing: one report is enough.
    if (!m_port.isOpen() || m_failureReported)
        return;
    m_failureReported = true;
    keepError(error, deviceWentAway(error, devicePath(m_port.portName()))
                         ? QString::fromUtf8(navorel::kDeviceGone.data(), navorel::kDeviceGone.size())
                         : m_port.errorString());
    // Sent from the event loop: closing the port inside its own notifier
    // call would pull the notifier from under it.
    QMetaObject::invokeMethod(
        this, [this, opening = m_opening] { reportFailure(opening); }, Qt::QueuedConnection);
}

void PortDriver::reportFailure(quint64 opening)
{
    if (opening == m_opening && isOpen())
        emit failed();
}

void PortDriver::keepError(QSerialPort::SerialPortError error, const QString &text)
{
    m_lastError = error;
    m_lastErrorText = text;
    m_deviceRefusesUser = false;
}

// A refused or unreachable address fails as a missing device does.
void PortDriver::networkOpenFailed(const QString &reason)
{
    m_networkInUse = false;
    keepError(QSerialPort::OpenError, reason);
    ShowSysError(QStringLiteral("error try open : ") + m_openPortText);
    emit openFailed();
}

// A connection that ends is a device that went away.
void PortDriver::networkDropped(const QString &reason)
{
    keepError(QSerialPort::ResourceError, reason);
    emit failed();
}

void PortDriver::ShowSysError(const QString &title, const QString &note) const
{
    QString message = systemErrorMessage(m_lastError, m_lastErrorText, m_deviceRefusesUser);
    if (!note.isEmpty())
        message += (message.isEmpty() ? QString() : QStringLiteral("\n")) + note;
    m_prompter.systemErrorBox(title, message);
}
