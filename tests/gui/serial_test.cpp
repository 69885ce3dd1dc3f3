// The serial link against real pseudo-terminals made by socat: opening a
// device, its line settings, receiving into the text area and sending out
// of it, and a device that goes away.

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "tests/gui/ptypair.h"
#include "tests/gui/serialcommands.h"

using navorel::SettingKey;

namespace {

const QString kEmptyText = QStringLiteral("Empty text field. Send process stopped.");
constexpr int kDeviceTimeoutMs = 5000;
// Lines go out one a second; a few seconds more than the lines need.
constexpr int kSendTimeoutMs = 8000;

} // namespace

class SerialTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandsShowTheirState_data();
    void commandsShowTheirState();
    void lineSettingsReachThePort_data();
    void lineSettingsReachThePort();
    void unselectedParityAndStopBitsStayAsThePortHasThem();
    void oneDeviceOpensOnceUnderAnyName_data();
    void oneDeviceOpensOnceUnderAnyName();
    void receivedBytesBecomeLines_data();
    void receivedBytesBecomeLines();
    void partialLineOutlivesStopStartAndNewText_data();
    void partialLineOutlivesStopStartAndNewText();
    void vanishedDeviceEndsReceivingWithOneBox();
    void anotherPortEndsThePartialLine();
    void linesGoOutOnePerSecondAndWrap_data();
    void linesGoOutOnePerSecondAndWrap();
    void sendingRestartsAtTheFirstLineAndFollowsEdits();
    void vanishedDeviceEndsSendingWithOneBox();

private:
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<SerialRig> m_rig;
};

void SerialTest::init()
{
    m_pty = std::make_unique<PtyPair>();
    QVERIFY2(m_pty->plugIn(), "socat could not make a pty pair");
    m_rig = std::make_unique<SerialRig>();
    m_rig->setPortText(m_pty->programEnd());
    m_rig->settings.setValue(SettingKey::Baud, 10); // 115200
}

void SerialTest::cleanup()
{
    m_rig.reset();
    m_pty.reset();
}

void SerialTest::commandsShowTheirState_data()
{
    QTest::addColumn<bool>("receive");
    QTest::newRow("receiving") << true;
    QTest::newRow("sending") << false;
}

void SerialTest::commandsShowTheirState()
{
    QFETCH(bool, receive);
    verifyIdle(*m_rig);
    m_rig->text().setBytes("$GPRMC\r\n");

    receive ? m_rig->receiveCommand() : m_rig->sendCommand();
    QVERIFY(m_rig->driver.isOpen());
    if (receive) {
        verifyReceiveCommand(*m_rig, true);
        verifySendCommand(*m_rig, false);
        // Disabled, "Send data" does nothing even when triggered.
        m_rig->transfer.Senddata1Click();
        QVERIFY(!m_rig->transfer.sending());
    } else {
        verifySendCommand(*m_rig, true);
        // Only the enabling follows sending; the receive texts stay idle.
        const MainActions &a = m_rig->window.actions();
        QCOMPARE(a.receiveData->text(), QStringLiteral("Receive data"));
        QVERIFY(samePicture(a.toolReceive->icon(), ImageReceiveIdle));
        QVERIFY(m_rig->transfer.sendTimer().isActive());
        QCOMPARE(m_rig->transfer.sendTimer().interval(), 1000);
        m_rig->transfer.Receivedata1Click();
        QVERIFY(!m_rig->transfer.receiving());
    }

    receive ? m_rig->receiveCommand() : m_rig->sendCommand();
    verifyIdle(*m_rig);
    QVERIFY(m_rig->prompter.systemErrors.isEmpty());
}

void SerialTest::lineSettingsReachThePort_data()
{
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stop");
    QTest::addColumn<int>("baudRate");
    QTest::addColumn<QSerialPort::Parity>("portParity");
    QTest::addColumn<QSerialPort::StopBits>("portStop");
    QTest::addColumn<int>("readIntervalMs");

    QTest::newRow("115200 8N1") << "115200"
                                << "8" << 0 << 0 << 115200 << QSerialPort::NoParity << QSerialPort::OneStop
                                << 0;
    QTest::newRow("two stop bits") << "57600"
                                   << "8" << 0 << 1 << 57600 << QSerialPort::NoParity << QSerialPort::TwoStop
                                   << 0;
    QTest::newRow("typed rate not in the list")
        << "250000"
        << "8" << 0 << 0 << 250000 << QSerialPort::NoParity << QSerialPort::OneStop << 0;
    // A pty refuses parity and 7 data bits: the port stays open as it was,
    // and the read interval follows the frame actually on the line.
    QTest::newRow("300 baud, even parity refused")
        << "300"
        << "8" << 1 << 0 << 300 << QSerialPort::NoParity << QSerialPort::OneStop << 54;
    QTest::newRow("600 baud, 7 data bits refused")
        << "600"
        << "7" << 0 << 0 << 600 << QSerialPort::NoParity << QSerialPort::OneStop << 18;
    QTest::newRow("9 data bits are no frame")
        << "4800"
        << "9" << 0 << 0 << 4800 << QSerialPort::NoParity << QSerialPort::OneStop << 0;
}

void SerialTest::lineSettingsReachThePort()
{
    QFETCH(QString, baud);
    QFETCH(QString, data);
    QFETCH(int, parity);
    QFETCH(int, stop);
    QFETCH(int, baudRate);
    QFETCH(QSerialPort::Parity, portParity);
    QFETCH(QSerialPort::StopBits, portStop);
    QFETCH(int, readIntervalMs);
    Rs232Window &window = *m_rig->rs232Window;
    window.selector(SettingKey::Baud)->setEditText(baud);
    window.selector(SettingKey::Data)->setEditText(data);
    window.selector(SettingKey::Parity)->setCurrentIndex(parity);
    window.selector(SettingKey::Stop)->setCurrentIndex(stop);

    m_rig->receiveCommand();
    QVERIFY(m_rig->transfer.receiving());
    const QSerialPort &port = m_rig->driver.serialDevice().port();
    QCOMPARE(port.baudRate(), baudRate);
    QCOMPARE(port.dataBits(), QSerialPort::Data8);
    QCOMPARE(port.parity(), portParity);
    QCOMPARE(port.stopBits(), portStop);
    QCOMPARE(m_rig->driver.readIntervalMs(), readIntervalMs);
    QVERIFY(m_rig->prompter.systemErrors.isEmpty());

    // Whatever the port refused, it receives.
    m_pty->say("$GPRMC,1*00\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->textLines(), QList<QByteArray>{"$GPRMC,1*00"}, kDeviceTimeoutMs);
}

void SerialTest::unselectedParityAndStopBitsStayAsThePortHasThem()
{
    Rs232Window &window = *m_rig->rs232Window;
    window.selector(SettingKey::Stop)->setCurrentIndex(1);
    m_rig->receiveCommand();
    QCOMPARE(m_rig->driver.serialDevice().port().stopBits(), QSerialPort::TwoStop);
    m_rig->receiveCommand();

    for (const SettingKey key : {SettingKey::Parity, SettingKey::Stop}) {
        window.selector(key)->lineEdit()->selectAll();
        QTest::keyClicks(window.selector(key)->lineEdit(), QStringLiteral("?"));
    }
    QCOMPARE(window.selection().parity, -1);
    QCOMPARE(window.selection().stop, -1);
    m_rig->receiveCommand();
    QVERIFY(m_rig->transfer.receiving());
    QCOMPARE(m_rig->driver.serialDevice().port().stopBits(), QSerialPort::TwoStop);
    QCOMPARE(m_rig->driver.serialDevice().port().parity(), QSerialPort::NoParity);
}

void SerialTest::oneDeviceOpensOnceUnderAnyName_data()
{
    QTest::addColumn<bool>("byLink");
    QTest::newRow("the device's own name") << false;
    QTest::newRow("another link to it") << true;
}

// The rig opens the device through a link, as /dev/serial/by-id names it.
void SerialTest::oneDeviceOpensOnceUnderAnyName()
{
    QFETCH(bool, byLink);
    QTemporaryDir dir;
    const QString device = QFileInfo(m_pty->programEnd()).canonicalFilePath();
    const QString name = byLink ? dir.filePath(QStringLiteral("gps")) : device;
    QVERIFY(!byLink || QFile::link(m_pty->programEnd(), name));
    m_rig->receiveCommand();
    QVERIFY(m_rig->transfer.receiving());

    FakePrompter prompter;
    PortDriver second(prompter);
    QVERIFY(
        !second.TogglePort({name, QStringLiteral("115200"), QStringLiteral("8"), 0, 0}, QIODevice::ReadOnly));
    QCOMPARE(prompter.systemErrors.size(), 1);
    const QString box = prompter.systemErrors.first();
    QVERIFY2(box.contains(QStringLiteral("Permission error while locking the device")), qPrintable(box));
    // The holder is this test program.
    QVERIFY2(box.contains(QStringLiteral("(process %1)").arg(QCoreApplication::applicationPid())),
             qPrintable(box));
}

void SerialTest::receivedBytesBecomeLines_data()
{
    // Each write waits until the program holds the partial line given with
    // it, so that the next write arrives in a later read.
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QList<QByteArray>>("partialAfter");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QByteArray>("partial");

    QTest::newRow("sentence split across two writes")
        << QList<QByteArray>{"$GPRMC,123519,A,4807.03", "8,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"}
        << QList<QByteArray>{"$GPRMC,123519,A,4807.03", ""}
        << QList<QByteArray>{"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A"}
        << QByteArray();
    QTest::newRow("CR LF CR LF adds no blank line")
        << QList<QByteArray>{"$GPGGA,1*00\r\n\r\n$GPGSA,2*00\r\n"} << QList<QByteArray>{""}
        << QList<QByteArray>{"$GPGGA,1*00", "$GPGSA,2*00"} << QByteArray();
    QTest::newRow("CR alone, LF alone and LF CR end one line each")
        << QList<QByteArray>{"$A\r$B\n$C\n\r$D"} << QList<QByteArray>{"$D"}
        << QList<QByteArray>{"$A", "$B", "$C"} << QByteArray("$D");
    QTest::newRow("line end arriving alone") << QList<QByteArray>{"$GPVTG,054.7,T", "\r", "\n$GPGSV"}
                                             << QList<QByteArray>{"$GPVTG,054.7,T", "", "$GPGSV"}
                                             << QList<QByteArray>{"$GPVTG,054.7,T"} << QByteArray("$GPGSV");
    QTest::newRow("8-bit bytes pass unchanged")
        << QList<QByteArray>{"caf\xe9 \x80\x9f\r\n"} << QList<QByteArray>{""}
        << QList<QByteArray>{"caf\xe9 \x80\x9f"} << QByteArray();
    QTest::newRow("longer than one read")
        << QList<QByteArray>{QByteArray(300, 'x') + "\r\n" + QByteArray(600, 'y')}
        << QList<QByteArray>{QByteArray(600, 'y')} << QList<QByteArray>{QByteArray(300, 'x')}
        << QByteArray(600, 'y');
}

void SerialTest::receivedBytesBecomeLines()
{
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QList<QByteArray>, partialAfter);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QByteArray, partial);

    m_rig->receiveCommand();
    QVERIFY(m_rig->transfer.receiving());
    for (qsizetype i = 0; i < writes.size(); ++i) {
        m_pty->say(writes.at(i));
        if (!partialAfter.at(i).isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(QByteArray::fromStdString(m_rig->transfer.partialLine()),
                                      partialAfter.at(i), kDeviceTimeoutMs);
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->textLines(), lines, kDeviceTimeoutMs);
    QCOMPARE(QByteArray::fromStdString(m_rig->transfer.partialLine()), partial);
}

void SerialTest::partialLineOutlivesStopStartAndNewText_data()
{
    QTest::addColumn<bool>("clearOnReceive");
    QTest::addColumn<bool>("newTextInBetween");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::newRow("appended below the text")
        << false << false << QList<QByteArray>{"old line", "$GPGGA,1*00", "$GPGGA,123*00"};
    QTest::newRow("receive data with clr screen") << true << false << QList<QByteArray>{"$GPGGA,123*00"};
    QTest::newRow("New Text while stopped") << false << true << QList<QByteArray>{"$GPGGA,123*00"};
}

void SerialTest::partialLineOutlivesStopStartAndNewText()
{
    QFETCH(bool, clearOnReceive);
    QFETCH(bool, newTextInBetween);
    QFETCH(QList<QByteArray>, lines);
    m_rig->settings.setValue(SettingKey::COMclr, clearOnReceive ? 1 : 0);
    m_rig->text().setBytes("old line");

    m_rig->receiveCommand();
    QCOMPARE(m_rig->text().lineCount(), clearOnReceive ? 0u : 1u);
    m_pty->say("$GPGGA,1*00\r\n$GPGGA,12");
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->transfer.partialLine(), std::string("$GPGGA,12"), kDeviceTimeoutMs);
    m_rig->receiveCommand();
    QVERIFY(!m_rig->transfer.receiving());
    // Stopping does not clear, even with clr screen.
    QCOMPARE(m_rig->text().lineCount(), clearOnReceive ? 1u : 2u);
    if (newTextInBetween)
        m_rig->window.NewText1Click();

    m_rig->receiveCommand();
    m_pty->say("3*00\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->textLines(), lines, kDeviceTimeoutMs);
    QVERIFY(m_rig->transfer.partialLine().empty());
}

void SerialTest::vanishedDeviceEndsReceivingWithOneBox()
{
    m_rig->receiveCommand();
    m_pty->say("$GPRMC,1*00\r\n$GPGGA,2*00\r\n$GPGSA,3");
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->transfer.partialLine(), std::string("$GPGSA,3"), kDeviceTimeoutMs);

    m_pty->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!m_rig->transfer.receiving(), kDeviceTimeoutMs);
    verifyIdle(*m_rig);
    // Nothing more will finish the unfinished line: it ends with the device.
    QCOMPARE(m_rig->textLines(), (QList<QByteArray>{"$GPRMC,1*00", "$GPGGA,2*00", "$GPGSA,3"}));
    QCOMPARE(m_rig->transfer.partialLine(), std::string());
    // A gone device fails at every turn of the loop; it must not say so each time.
    QTest::qWait(500);
    QCOMPARE(m_rig->prompter.systemErrors,
             QStringList{QStringLiteral("Error: ReadFile%1: the device went away\nThe port was closed.")
                             .arg(m_pty->programEnd())});
}

void SerialTest::anotherPortEndsThePartialLine()
{
    m_rig->receiveCommand();
    m_pty->say("$GPGGA,1*00\r\n$GPGGA,12");
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->transfer.partialLine(), std::string("$GPGGA,12"), kDeviceTimeoutMs);
    m_rig->receiveCommand();

    PtyPair other;
    QVERIFY2(other.plugIn(), "socat could not make a pty pair");
    m_rig->setPortText(other.programEnd());
    m_rig->receiveCommand();
    QVERIFY(m_rig->transfer.receiving());
    other.say("$GPRMC,1*00\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(
        m_rig->textLines(), (QList<QByteArray>{"$GPGGA,1*00", "$GPGGA,12", "$GPRMC,1*00"}), kDeviceTimeoutMs);
    m_rig->receiveCommand();
    verifyIdle(*m_rig);
}

void SerialTest::linesGoOutOnePerSecondAndWrap_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("A, B, C, then A again") << QByteArray("A\r\nB\r\nC") << QByteArray("A\r\nB\r\nC\r\nA\r\n");
    QTest::newRow("empty line goes out as CR LF")
        << QByteArray("A\r\n\r\nC") << QByteArray("A\r\n\r\nC\r\nA\r\n");
    QTest::newRow("final line break adds no line")
        << QByteArray("A\r\nB\r\n") << QByteArray("A\r\nB\r\nA\r\n");
}

void SerialTest::linesGoOutOnePerSecondAndWrap()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, sent);
    m_rig->text().setBytes(text.toStdString());

    m_rig->sendCommand();
    QVERIFY(m_rig->transfer.sending());
    // The first line waits for the first tick.
    QTest::qWait(200);
    QCOMPARE(m_pty->heard(), QByteArray());
    QTRY_VERIFY_WITH_TIMEOUT(m_pty->heard().size() >= sent.size(), kSendTimeoutMs);
    QCOMPARE(m_pty->heard().left(sent.size()), sent);
    m_rig->sendCommand();
    verifyIdle(*m_rig);
}

void SerialTest::sendingRestartsAtTheFirstLineAndFollowsEdits()
{
    m_rig->text().setBytes("A\r\nB\r\nC");
    m_rig->sendCommand();
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->heard(), QByteArray("A\r\n"), kSendTimeoutMs);
    m_rig->sendCommand();
    m_rig->sendCommand();
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->heard(), QByteArray("A\r\nA\r\n"), kSendTimeoutMs);

    // The next index is 1: it goes on in the new text, then wraps.
    m_rig->text().setBytes("X\r\nY");
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->heard(), QByteArray("A\r\nA\r\nY\r\nX\r\n"), kSendTimeoutMs);
    // An emptied text sends line ends alone.
    m_rig->text().clearText();
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->heard(), QByteArray("A\r\nA\r\nY\r\nX\r\n\r\n"), kSendTimeoutMs);

    // No line end may go out while the box waits for the user.
    bool tickingWhileShown = true;
    m_rig->prompter.whileShown = [this, &tickingWhileShown] {
        tickingWhileShown = m_rig->transfer.sendTimer().isActive() || m_rig->driver.isOpen();
    };
    m_rig->sendCommand();
    QCOMPARE(m_rig->prompter.messages, QStringList{kEmptyText});
    QVERIFY(!tickingWhileShown);
    verifyIdle(*m_rig);
}

void SerialTest::vanishedDeviceEndsSendingWithOneBox()
{
    m_rig->text().setBytes("$GPRMC,1*00\r\n$GPGGA,2*00");
    m_rig->sendCommand();
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->heard(), QByteArray("$GPRMC,1*00\r\n"), kSendTimeoutMs);

    m_pty->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!m_rig->transfer.sending(), kSendTimeoutMs);
    verifyIdle(*m_rig);
    // Two more ticks' worth: no box per tick.
    QTest::qWait(2200);
    QCOMPARE(m_rig->prompter.systemErrors.size(), 1);
    QVERIFY2(m_rig->prompter.systemErrors.first().startsWith(QStringLiteral("WriteFile: ")),
             qPrintable(m_rig->prompter.systemErrors.first()));
    QCOMPARE(m_rig->text().lineCount(), 2u);
}

QTEST_MAIN(SerialTest)
#include "serial_test.moc"
