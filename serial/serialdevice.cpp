#include "serial/serialdevice.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <cerrno>
#include <string>
#include <unistd.h>

#include "serial/portfailure.h"
#include "serial/portname.h"
#include "serial/sourcenotes.h"

namespace {

QString text(const std::string &words)
{
    return QString::fromStdString(words);
}

QString text(std::string_view words)
{
    return QString::fromUtf8(words.data(), static_cast<qsizetype>(words.size()));
}

// Refused settings and the like leave the device working; these end it.
bool ends(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError: return true;
    default: return false;
    }
}

// A pty whose other end closed, an unplugged USB receiver: the system's
// words for it ("Inappropriate ioctl for device") say nothing to a user.
bool wentAway(QSerialPort::SerialPortError error, const QString &portName)
{
    return error == QSerialPort::ResourceError
           || !QFileInfo::exists(text(navorel::devicePath(portName.toStdString())));
}

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

// Who holds the device's lock file; empty when nobody says.
std::string lockHolder(const std::string &devicePath)
{
    for (const std::string &path : navorel::lockFileCandidates(devicePath)) {
        const QString lockPath = text(path);
        qint64 pid = 0;
        QString host;
        QString application;
        if (!QFileInfo::exists(lockPath) || !QLockFile(lockPath).getLockInfo(&pid, &host, &application))
            continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        const QString program =
            comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : application;
        return navorel::lockHolderText(program.toStdString(), pid);
    }
    return {};
}

bool refusesUser(const std::string &path)
{
    return ::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
}

QStringList lines(const std::vector<std::string> &words)
{
    QStringList list;
    for (const std::string &line : words)
        list.append(text(line));
    return list;
}

} // namespace

SerialDevice::SerialDevice(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialDevice::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialDevice::noteError);
}

bool SerialDevice::open(const QString &portText, QIODevice::OpenMode mode)
{
    close();
    m_failure.clear();
    m_failureReported = false;
    m_port.setPortName(text(navorel::canonicalDevice(navorel::portDevice(portText.toStdString()))));
    if (m_port.open(mode))
        return true;
    keepOpenFailure(portText);
    return false;
}

void SerialDevice::setUp(const SerialFrame &frame)
{
    m_port.setBaudRate(frame.baudRate);
    if (frame.dataBits >= QSerialPort::Data5 && frame.dataBits <= QSerialPort::Data8)
        m_port.setDataBits(static_cast<QSerialPort::DataBits>(frame.dataBits));
    if (frame.parity)
        m_port.setParity(qtParity(*frame.parity));
    if (frame.stopBits)
        m_port.setStopBits(*frame.stopBits == navorel::PortStopBits::One ? QSerialPort::OneStop
                                                                         : QSerialPort::TwoStop);
    m_port.clearError();

    // Qt has no read time-outs; the interval rule bounds a read cycle of the
    // receiver instead, for the frame actually on the line.
    const navorel::PortStopBits stopBits =
        m_port.stopBits() == QSerialPort::OneStop ? navorel::PortStopBits::One : navorel::PortStopBits::Two;
    m_readIntervalMs = navorel::interCharacterTimeoutMs(m_port.baudRate(), m_port.dataBits(),
                                                        lineParity(m_port.parity()), stopBits);

    // A terminal keeps what arrived before this opening; a port opened on
    // Windows started empty, and old bytes would only make a torn first line.
    if (m_port.openMode() & QIODevice::ReadOnly)
        m_port.clear(QSerialPort::Input);
}

void SerialDevice::keepOpenFailure(const QString &portText)
{
    navorel::PortOpenFailure failure;
    failure.portText = portText.toStdString();
    failure.systemText = m_port.errorString().toStdString();
    failure.permission = m_port.error() == QSerialPort::PermissionError;
    const std::string path = navorel::devicePath(m_port.portName().toStdString());
    failure.refusesUser = refusesUser(path);
    if (failure.permission && !failure.refusesUser)
        failure.lockHolder = lockHolder(path);
    m_failure = lines(navorel::openFailureLines(failure));
}

void SerialDevice::close()
{
    ++m_opening;
    if (m_port.isOpen())
        m_port.close();
}

qint64 SerialDevice::write(std::string_view bytes)
{
    const qint64 written = m_port.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (written < 0)
        noteError(QSerialPort::WriteError);
    return written;
}

void SerialDevice::noteError(QSerialPort::SerialPortError error)
{
    // A gone device keeps the notifier firing: one report is enough.
    if (!ends(error) || !m_port.isOpen() || m_failureReported)
        return;
    m_failureReported = true;
    m_failure = QStringList{wentAway(error, m_port.portName())
                                ? text(navorel::kDeviceGone)
                                : text(navorel::trimmedSystemMessage(m_port.errorString().toStdString()))};
    // Sent from the event loop: closing the port inside its own notifier
    // call would pull the notifier from under it.
    QMetaObject::invokeMethod(
        this,
        [this, opening = m_opening] {
            if (opening == m_opening && m_port.isOpen())
                emit failed();
        },
        Qt::QueuedConnection);
}
