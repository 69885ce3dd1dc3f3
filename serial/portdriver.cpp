#include "serial/portdriver.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "filter/wholenumber.h"
#include "serial/linesettings.h"
#include "serial/portfailure.h"
#include "ui/prompter.h"

namespace {

// A text that is not a positive whole number the port could take, or none.
std::optional<std::int64_t> positiveWholeNumber(const QString &text)
{
    std::int64_t value = 0;
    if (!navorel::parseWholeNumber(text.toStdString(), value) || value < 1
        || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return value;
}

} // namespace

PortDriver::PortDriver(Prompter &prompter, QObject *parent) : QObject(parent), m_prompter(prompter)
{
    connect(&m_serial, &SerialDevice::readyRead, this, &PortDriver::readyRead);
    connect(&m_serial, &SerialDevice::failed, this, &PortDriver::deviceFailed);
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
    if (m_serial.open(selection.port, mode)) {
        m_openPortText = selection.port;
        return true;
    }
    m_failure = m_serial.failure();
    ShowSysError(QStringLiteral("error try open : ") + selection.port);
    return false;
}

void PortDriver::SetupPort(long baudRate, int dataBits, const PortSelection &selection)
{
    // Entries that are no list entry leave parity and stop bits as they are.
    m_serial.setUp({static_cast<qint32>(baudRate), dataBits, navorel::parityForEntry(selection.parity),
                    navorel::stopBitsForEntry(selection.stop)});
}

void PortDriver::ClosePort()
{
    m_serial.close();
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
    return m_networkInUse ? m_network.bytesAvailable() : m_serial.bytesAvailable();
}

QByteArray PortDriver::read(qint64 maxBytes)
{
    // What a dropped connection delivered before its end is still read.
    return m_networkInUse ? m_network.read(maxBytes) : m_serial.read(maxBytes);
}

qint64 PortDriver::WritePort(std::string_view bytes)
{
    return m_network.isOpen() ? m_network.write(bytes) : m_serial.write(bytes);
}

void PortDriver::deviceFailed()
{
    m_failure = m_serial.failure();
    emit failed();
}

void PortDriver::keepNetworkFailure(const QString &reason)
{
    m_failure = QStringList{QString::fromStdString(navorel::trimmedSystemMessage(reason.toStdString()))};
}

// A refused or unreachable address fails as a missing device does.
void PortDriver::networkOpenFailed(const QString &reason)
{
    m_networkInUse = false;
    keepNetworkFailure(reason);
    ShowSysError(QStringLiteral("error try open : ") + m_openPortText);
    emit openFailed();
}

// A connection that ends is a device that went away.
void PortDriver::networkDropped(const QString &reason)
{
    keepNetworkFailure(reason);
    emit failed();
}

void PortDriver::ShowSysError(const QString &title, const QString &note) const
{
    QStringList lines = m_failure;
    lines.append(note);
    lines.removeAll(QString());
    m_prompter.systemErrorBox(title, lines.join(QLatin1Char('\n')));
}
