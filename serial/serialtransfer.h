#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <string>

#include "serial/lineassembler.h"
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
class SerialTransfer : public QObject
{
    Q_OBJECT

public:
    SerialTransfer(NmeaTextArea &text, Rs232Window &rs232Window, PortDriver &driver, SettingsStore &settings,
                   Prompter &prompter, QObject *parent = nullptr);

    bool receiving() const { return m_receiving; }
    bool sending() const { return m_sending; }
    // The received characters since the last line end; kept for the life of
    // the program, across stopping, starting and "New Text".
    const std::string &partialLine() const { return m_assembler.partialLine(); }
    const QTimer &sendTimer() const { return m_timer1; }

    void Receivedata1Click();
    void Senddata1Click();
    // The send clock: one line per tick.
    void Timer1Timer();

signals:
    // Receiving with a "clear on receive" setting starts on an empty text.
    void clearRequested();
    void receivingChanged(bool running);
    void sendingChanged(bool running);

private:
    void startReceiving();
    void clearIfAsked();
    void stopReceiving();
    void startSending();
    void stopSending();

    void receiveAvailable();
    void completeRead();
    void drainPort();
    void portFailed();
    void portNotOpened();

    NmeaTextArea &m_text;
    Rs232Window &m_rs232Window;
    PortDriver &m_driver;
    SettingsStore &m_settings;
    Prompter &m_prompter;

    bool m_receiving = false;
    bool m_sending = false;
    bool m_clearWhenOpen = false;
    QTimer m_timer1;
    navorel::SendCycle m_sendCycle;

    navorel::LineAssembler m_assembler;
    QByteArray m_readBuffer;
    QTimer m_readTotalTimeout;
    QTimer m_readIntervalTimeout;
    // Lets the event loop in between when more has queued than a turn takes.
    QTimer m_moreToRead;
};
