#include "serial/serialtransfer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <algorithm>
#include <string_view>
#include <vector>

#include "prefs/settingsstore.h"
#include "serial/linesettings.h"
#include "serial/portdriver.h"
#include "serial/rs232window.h"
#include "serial/sourcenotes.h"
#include "ui/nmeatextarea.h"
#include "ui/prompter.h"

namespace {

const QString kEmptyText = QStringLiteral("Empty text field. Send process stopped.");
const QString kPortClosed = QStringLiteral("The port was closed.");

// A burst that queued up while the window was busy is taken in turns of
// this length, so that painting and the user's input get their turn in
// between, however long appending a line takes.
constexpr qint64 kReadTurnMs = 10;
constexpr int kSilenceCheckMs = 1000;

QString text(std::string_view words)
{
    return QString::fromUtf8(words.data(), static_cast<qsizetype>(words.size()));
}

} // namespace

SerialTransfer::SerialTransfer(NmeaTextArea &text, Rs232Window &rs232Window, PortDriver &driver,
                               SettingsStore &settings, Prompter &prompter, QObject *parent)
        : QObject(parent), m_text(text), m_rs232Window(rs232Window), m_driver(driver), m_settings(settings),
          m_prompter(prompter)
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(navorel::kSendIntervalMs);
    m_readTotalTimeout.setSingleShot(true);
    m_readTotalTimeout.setInterval(navorel::kReadTotalTimeoutMs);
    m_readIntervalTimeout.setSingleShot(true);
    m_moreToRead.setSingleShot(true);
    m_moreToRead.setInterval(0);
    m_silenceCheck.setInterval(kSilenceCheckMs);
    m_clock.start();

    connect(&m_timer1, &QTimer::timeout, this, &SerialTransfer::Timer1Timer);
    connect(&m_readTotalTimeout, &QTimer::timeout, this, &SerialTransfer::completeRead);
    connect(&m_readIntervalTimeout, &QTimer::timeout, this, &SerialTransfer::completeRead);
    connect(&m_moreToRead, &QTimer::timeout, this, &SerialTransfer::receiveAvailable);
    connect(&m_silenceCheck, &QTimer::timeout, this, &SerialTransfer::checkSilence);
    connect(&m_driver, &PortDriver::readyRead, this, &SerialTransfer::receiveAvailable);
    connect(&m_driver, &PortDriver::failed, this, &SerialTransfer::portFailed);
    connect(&m_driver, &PortDriver::openFailed, this, &SerialTransfer::portNotOpened);
    connect(&m_driver, &PortDriver::opened, this, &SerialTransfer::sourceOpened);
}

void SerialTransfer::Receivedata1Click()
{
    if (m_sending)
        return;
    if (m_receiving)
        stopReceiving();
    else
        startReceiving();
}

void SerialTransfer::Senddata1Click()
{
    if (m_receiving)
        return;
    if (m_text.lineCount() == 0) {
        // Stopped first: the box waits for the user while ticks go on.
        if (m_sending)
            stopSending();
        m_prompter.messageBox(m_text.window(), kEmptyText);
        return;
    }
    if (m_sending)
        stopSending();
    else
        startSending();
}

void SerialTransfer::Timer1Timer()
{
    // A network peer still being reached takes no line yet.
    if (!m_sending || !m_driver.isReady())
        return;
    // Asked anew at every tick: edits made while sending take effect.
    const std::string line =
        m_sendCycle.next(m_text.lineCount(), [this](std::size_t index) { return m_text.lineAt(index); });
    m_driver.WritePort(line);
}

// The commands show their running state only once the port is open, so
// that a failed opening leaves both at idle.
void SerialTransfer::startReceiving()
{
    if (!m_driver.TogglePort(m_rs232Window.selection(), QIODevice::ReadOnly))
        return;
    m_receiving = true;
    emit receivingChanged(true);
    // Another source's unfinished line ends with the text it belongs to.
    if (m_driver.openPortText() != m_partialSource)
        endPartialLine();
    m_partialSource = m_driver.openPortText();
    // The text is wiped only once the port is open: a missing receiver
    // must not cost the text received before. A network source opens later.
    m_clearWhenOpen = m_settings.settings().COMclr;
    if (m_driver.isReady())
        sourceOpened();
}

void SerialTransfer::sourceOpened()
{
    if (!m_receiving)
        return;
    clearIfAsked();
    m_watch.opened(m_driver.openSource(), m_clock.elapsed());
    m_silenceCheck.start();
}

void SerialTransfer::clearIfAsked()
{
    if (!m_receiving || !m_clearWhenOpen)
        return;
    m_clearWhenOpen = false;
    emit clearRequested();
}

void SerialTransfer::stopReceiving()
{
    drainPort();
    m_silenceCheck.stop();
    m_driver.TogglePort(m_rs232Window.selection(), QIODevice::ReadOnly);
    m_receiving = false;
    emit receivingChanged(false);
}

void SerialTransfer::startSending()
{
    // Write only: what a device says back while we send would pile up unread.
    if (!m_driver.TogglePort(m_rs232Window.selection(), QIODevice::WriteOnly))
        return;
    m_sending = true;
    emit sendingChanged(true);
    m_sendCycle.restart();
    // The first line goes out one interval after the start.
    m_timer1.start();
}

void SerialTransfer::stopSending()
{
    m_timer1.stop();
    m_driver.TogglePort(m_rs232Window.selection(), QIODevice::WriteOnly);
    m_sending = false;
    emit sendingChanged(false);
}

void SerialTransfer::receiveAvailable()
{
    QElapsedTimer turn;
    turn.start();
    while (m_receiving && !turn.hasExpired(kReadTurnMs)) {
        const QByteArray bytes = m_driver.read(navorel::kReadChunkBytes - m_readBuffer.size());
        if (bytes.isEmpty())
            break;
        m_readBuffer += bytes;
        if (m_readBuffer.size() >= navorel::kReadChunkBytes) {
            completeRead();
            continue;
        }
        // A short read waits for more as a read with time-outs would: at
        // most 50 ms in all, and not past a pause between two characters.
        if (!m_readTotalTimeout.isActive())
            m_readTotalTimeout.start();
        if (m_driver.readIntervalMs() > 0)
            m_readIntervalTimeout.start(m_driver.readIntervalMs());
    }
    if (m_receiving && m_driver.bytesAvailable() > 0)
        m_moreToRead.start();
}

void SerialTransfer::completeRead()
{
    m_readTotalTimeout.stop();
    m_readIntervalTimeout.stop();
    if (m_readBuffer.isEmpty())
        return;
    std::vector<std::string> lines;
    const std::size_t cut = m_assembler.feed(
        std::string_view(m_readBuffer.constData(), static_cast<std::size_t>(m_readBuffer.size())), lines);
    if (cut > 0)
        note(text(navorel::kLongLineCut));
    if (m_watch.take(static_cast<std::size_t>(m_readBuffer.size()), lines, m_clock.elapsed()))
        note(text(navorel::kReceivingAgain));
    m_readBuffer.clear();
    appendLines(lines);
}

// One edit per read cycle: the text area is updated once, whatever the
// number of lines.
void SerialTransfer::appendLines(const std::vector<std::string> &lines)
{
    if (lines.empty())
        return;
    const std::size_t taken = m_lineTaker ? std::min(m_lineTaker(lines), lines.size()) : lines.size();
    if (taken == lines.size())
        m_text.appendLines(lines);
    else if (taken > 0)
        m_text.appendLines({lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(taken)});
}

void SerialTransfer::endPartialLine()
{
    std::vector<std::string> lines;
    m_assembler.endLine(lines);
    appendLines(lines);
}

void SerialTransfer::checkSilence()
{
    const std::string silence = m_watch.check(m_clock.elapsed(), m_driver.gpsdReceivers());
    if (!silence.empty())
        note(QString::fromStdString(silence));
}

void SerialTransfer::note(const QString &text)
{
    emit noted(QString::fromStdString(navorel::utcTimeStamp(QDateTime::currentSecsSinceEpoch())) + u' '
               + m_driver.openPortText() + QStringLiteral(": ") + text);
}

// What the port has already handed over is kept when receiving ends.
void SerialTransfer::drainPort()
{
    m_moreToRead.stop();
    for (;;) {
        const QByteArray bytes = m_driver.read(navorel::kReadChunkBytes - m_readBuffer.size());
        if (bytes.isEmpty())
            break;
        m_readBuffer += bytes;
        if (m_readBuffer.size() >= navorel::kReadChunkBytes)
            completeRead();
    }
    completeRead();
}

// A device that went away, or a read or write that failed: the transfer
// ends with one box, as the port would fail again at every tick.
void SerialTransfer::portFailed()
{
    if (m_receiving) {
        // Names the port actually open.
        const QString title = QStringLiteral("Error: ReadFile") + m_driver.openPortText();
        // Nothing more comes to finish the line: it ends here, whole or not.
        drainPort();
        endPartialLine();
        stopReceiving();
        m_driver.ShowSysError(title, kPortClosed);
    } else if (m_sending) {
        stopSending();
        m_driver.ShowSysError(QStringLiteral("WriteFile"), kPortClosed);
    }
}

// A network source that could not be reached: its box has been shown.
void SerialTransfer::portNotOpened()
{
    if (m_receiving) {
        m_silenceCheck.stop();
        m_receiving = false;
        emit receivingChanged(false);
    } else if (m_sending) {
        m_timer1.stop();
        m_sending = false;
        emit sendingChanged(false);
    }
}
