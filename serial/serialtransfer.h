#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "serial/lineassembler.h"
#include "serial/receptionwatch.h"
#include "serial/sendcycle.h"

class NmeaTextArea;
class PortDriver;
class Prompter;
class Rs232Window;
class SettingsStore;

// Receiving into and sending from the text area: the two commands
// "Receive data" and "Send data", each switching itself on and off. It
// tells what it does by signals; the window shows it on its commands.
//
// Receiving follows the port's readyRead, so the window never waits for the
// device. A read cycle keeps the order of the serial rules: it takes at most
// 257 bytes, ends when they are in or when the read time-outs run out, and
// its lines are appended before the next cycle begins.
//
// The unfinished line waits across stopping and starting on the same port;
// when the source drops, or receiving starts on another one, it ends as a
// line of its own, so that it cannot glue onto a line of another source.
// What a source does wrong besides failing (no NMEA for a while, a line
// too long to be a sentence) is said in a note for the status bar.
class SerialTransfer : public QObject
{
    Q_OBJECT

public:
    SerialTransfer(NmeaTextArea &text, Rs232Window &rs232Window, PortDriver &driver, SettingsStore &settings,
                   Prompter &prompter, QObject *parent = nullptr);

    bool receiving() const { return m_receiving; }
    bool sending() const { return m_sending; }
    // The received characters since the last line end; kept across
    // stopping and starting on the same port and across "New Text".
    const std::string &partialLine() const { return m_assembler.partialLine(); }
    const QTimer &sendTimer() const { return m_timer1; }
    // How many of the received lines the log takes, of those given: a
    // survey that reached its goal ends the log at its fix. Unset: all.
    using LineTaker = std::function<std::size_t(const std::vector<std::string> &lines)>;
    void setLineTaker(LineTaker taker) { m_lineTaker = std::move(taker); }

    void Receivedata1Click();
    void Senddata1Click();
    // The send clock: one line per tick.
    void Timer1Timer();

signals:
    // Receiving with a "clear on receive" setting starts on an empty text.
    void clearRequested();
    void receivingChanged(bool running);
    void sendingChanged(bool running);
    // A note on the source, beginning with the time.
    void noted(const QString &note);

private:
    void startReceiving();
    void sourceOpened();
    void clearIfAsked();
    void stopReceiving();
    void startSending();
    void stopSending();

    void receiveAvailable();
    void completeRead();
    void drainPort();
    void portFailed();
    void portNotOpened();
    void appendLines(const std::vector<std::string> &lines);
    void endPartialLine();
    void checkSilence();
    void note(const QString &text);

    NmeaTextArea &m_text;
    Rs232Window &m_rs232Window;
    PortDriver &m_driver;
    SettingsStore &m_settings;
    Prompter &m_prompter;
    LineTaker m_lineTaker;

    bool m_receiving = false;
    bool m_sending = false;
    bool m_clearWhenOpen = false;
    QTimer m_timer1;
    navorel::SendCycle m_sendCycle;

    navorel::LineAssembler m_assembler;
    // The port text the partial line came from.
    QString m_partialSource;
    navorel::ReceptionWatch m_watch;
    QElapsedTimer m_clock;
    QTimer m_silenceCheck;
    QByteArray m_readBuffer;
    QTimer m_readTotalTimeout;
    QTimer m_readIntervalTimeout;
    // Lets the event loop in between when more has queued than a turn takes.
    QTimer m_moreToRead;
};
