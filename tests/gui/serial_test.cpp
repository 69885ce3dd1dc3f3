#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <memory>

#include "app/mainactions.h"
#include "tests/gui/ptypair.h"
#include "tests/gui/serialrig.h"

using navorel::SettingKey;

namespace {

const QString kEmptyText = QStringLiteral("Empty text field. Send process stopped.");
constexpr int kDeviceTimeoutMs = 5000;
// Lines go out one a second; a few seconds more than the lines need.
constexpr int kSendTimeoutMs = 8000;

QImage picture(const QIcon &icon)
{
    return icon.pixmap(QSize(16, 16)).toImage();
}

// The tool pictures are SVG: without Qt's SVG icon engine every one of them
// renders empty and they cannot be told apart.
bool picturesCanBeToldApart()
{
    static const bool apart = [] {
        const bool rendered = !picture(toolImage(ImageReceiveIdle)).isNull()
                              && picture(toolImage(ImageReceiveIdle)) != picture(toolImage(ImageReceiving))
                              && picture(toolImage(ImageSendIdle)) != picture(toolImage(ImageSending));
        if (!rendered)
            qWarning("The tool pictures do not render (no SVG icon engine?): pictures are not compared.");
        return rendered;
    }();
    return apart;
}

bool samePicture(const QIcon &shown, int image)
{
    return !picturesCanBeToldApart() || picture(shown) == picture(toolImage(image));
}

// A hint as it was given: the bubble, and the long part after a bar when
// it differs.
QString hintOf(const QAction *action)
{
    return action->toolTip() == action->statusTip()
               ? action->toolTip()
               : action->toolTip() + QLatin1Char('|') + action->statusTip();
}

} // namespace

class SerialTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowStartsWithTheFirstStartSelections();
    void selectorsAreSettings_data();
    void selectorsAreSettings();
    void reportedPortIsOfferedButStoredAsNoEntry();
    void portNameIsKeptBesideTheSettings_data();
    void portNameIsKeptBesideTheSettings();
    void longPortNamesFitTheListNotTheBox();
    void leavingABoxSelectsNothing_data();
    void leavingABoxSelectsNothing();
    void portTextNamesTheDevice_data();
    void portTextNamesTheDevice();
    void systemMessagesAreTrimmedAndPermissionGetsAHint_data();
    void systemMessagesAreTrimmedAndPermissionGetsAHint();

    void commandsShowTheirState_data();
    void commandsShowTheirState();
    void failedOpeningLeavesBothCommandsIdle_data();
    void failedOpeningLeavesBothCommandsIdle();
    void numberTextsAreRefusedBeforeOpening_data();
    void numberTextsAreRefusedBeforeOpening();
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
    void emptyTextShowsTheMessageAndOpensNothing();
    void vanishedDeviceEndsSendingWithOneBox();

private:
    void verifyReceiveCommand(bool running);
    void verifySendCommand(bool running);
    void verifyIdle();

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

void SerialTest::verifyReceiveCommand(bool running)
{
    const MainActions &a = m_rig->window.actions();
    const QString hint = running ? QStringLiteral("Stop receiving")
                                 : QStringLiteral("Receive data|Open serial port and receive data");
    QCOMPARE(a.receiveData->text(),
             running ? QStringLiteral("Stop receiving") : QStringLiteral("Receive data"));
    QCOMPARE(hintOf(a.receiveData), hint);
    QCOMPARE(hintOf(a.toolReceive), hint);
    QVERIFY(samePicture(a.toolReceive->icon(), running ? ImageReceiving : ImageReceiveIdle));
    QCOMPARE(a.sendData->isEnabled(), !running);
    QCOMPARE(a.toolSend->isEnabled(), !running);
}

void SerialTest::verifySendCommand(bool running)
{
    const MainActions &a = m_rig->window.actions();
    const QString hint =
        running ? QStringLiteral("Stop sending") : QStringLiteral("Send data|Open serial port and send data");
    QCOMPARE(a.sendData->text(), running ? QStringLiteral("Stop sending") : QStringLiteral("Send data"));
    QCOMPARE(hintOf(a.sendData), hint);
    QCOMPARE(hintOf(a.toolSend), hint);
    QVERIFY(samePicture(a.toolSend->icon(), running ? ImageSending : ImageSendIdle));
    QCOMPARE(a.receiveData->isEnabled(), !running);
    QCOMPARE(a.toolReceive->isEnabled(), !running);
}

void SerialTest::verifyIdle()
{
    verifyReceiveCommand(false);
    if (QTest::currentTestFailed())
        return;
    verifySendCommand(false);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!m_rig->transfer.receiving());
    QVERIFY(!m_rig->transfer.sending());
    QVERIFY(!m_rig->driver.isOpen());
    QVERIFY(!m_rig->transfer.sendTimer().isActive());
}

void SerialTest::windowStartsWithTheFirstStartSelections()
{
    SettingsStore settings;
    Rs232Window window(settings);
    const struct
    {
        SettingKey key;
        int index;
        const char *text;
    } expected[] = {
        {SettingKey::Port, -1, "COM1"}, {SettingKey::Baud, 4, "4800"}, {SettingKey::Data, 3, "8"},
        {SettingKey::Parity, 0, "No"},  {SettingKey::Stop, 0, "1"},
    };
    for (const auto &e : expected) {
        QCOMPARE(window.selector(e.key)->currentIndex(), e.index);
        QCOMPARE(window.selector(e.key)->currentText(), QLatin1String(e.text));
        QCOMPARE(settings.value(e.key), e.index);
    }
    const PortSelection selection = window.selection();
    QCOMPARE(selection.port, QStringLiteral("COM1"));
    QCOMPARE(selection.baud, QStringLiteral("4800"));
    QCOMPARE(selection.data, QStringLiteral("8"));
    QCOMPARE(selection.parity, 0);
    QCOMPARE(selection.stop, 0);
    QCOMPARE(window.windowTitle(), QStringLiteral("RS-232 Settings"));
    QCOMPARE(window.closeButton()->text(), QStringLiteral("Close"));
}

void SerialTest::selectorsAreSettings_data()
{
    QTest::addColumn<SettingKey>("key");
    QTest::addColumn<int>("pick");      // entry the user picks first, -1 for none
    QTest::addColumn<QString>("typed"); // or text the user types first
    QTest::addColumn<int>("storedByUser");
    QTest::addColumn<QList<int>>("loaded"); // values then loaded from the file
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");

    using Loads = QList<int>;
    const QString none;
    // The baud rate starts at 115200 (entry 10) here.
    QTest::newRow("picking COM3 stores 2") << SettingKey::Port << 2 << none << 2 << Loads{} << 2 << "COM3";
    QTest::newRow("file selects COM4") << SettingKey::Port << -1 << none << -1 << Loads{3} << 3 << "COM4";
    QTest::newRow("file -1 after a pick clears the text")
        << SettingKey::Port << 4 << none << 4 << Loads{-1} << -1 << "";
    QTest::newRow("file -1 without a selection keeps the text")
        << SettingKey::Port << -1 << "ttyUSB3" << -1 << Loads{42, -1} << -1 << "ttyUSB3";
    QTest::newRow("file index past the list after typing keeps the text")
        << SettingKey::Port << -1 << "/dev/ttyUSB3" << -1 << Loads{42} << -1 << "/dev/ttyUSB3";
    QTest::newRow("file index past the list clears a selected baud rate")
        << SettingKey::Baud << -1 << none << 10 << Loads{11} << -1 << "";
    QTest::newRow("file selects 9600") << SettingKey::Baud << -1 << none << 10 << Loads{5} << 5 << "9600";
    QTest::newRow("typing a rate not in the list selects none")
        << SettingKey::Baud << -1 << "250000" << -1 << Loads{} << -1 << "250000";
    QTest::newRow("typing an entry selects it")
        << SettingKey::Parity << -1 << "Odd" << 3 << Loads{} << 3 << "Odd";
    QTest::newRow("typing a parity that is no entry")
        << SettingKey::Parity << -1 << "Space" << -1 << Loads{} << -1 << "Space";
    QTest::newRow("file value after typing selects the entry")
        << SettingKey::Stop << -1 << "1.5" << -1 << Loads{1} << 1 << "2";
    QTest::newRow("file value past the list after typing keeps the text")
        << SettingKey::Data << -1 << "9" << -1 << Loads{4} << -1 << "9";
}

void SerialTest::selectorsAreSettings()
{
    QFETCH(SettingKey, key);
    QFETCH(int, pick);
    QFETCH(QString, typed);
    QFETCH(int, storedByUser);
    QFETCH(QList<int>, loaded);
    QFETCH(int, index);
    QFETCH(QString, text);

    QComboBox *box = m_rig->rs232Window->selector(key);
    if (pick >= 0)
        box->setCurrentIndex(pick);
    if (!typed.isEmpty()) {
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), typed);
    }
    QCOMPARE(m_rig->settings.value(key), storedByUser);
    for (const int value : loaded)
        m_rig->settings.setValue(key, value);
    QCOMPARE(box->currentIndex(), index);
    QCOMPARE(box->currentText(), text);
}

void SerialTest::reportedPortIsOfferedButStoredAsNoEntry()
{
    Rs232Window &window = *m_rig->rs232Window;
    QComboBox *port = window.selector(SettingKey::Port);
    window.refreshSystemPorts({QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyUSB0")});
    QCOMPARE(port->count(), 12);

    port->setCurrentIndex(2);
    QCOMPARE(m_rig->settings.value(SettingKey::Port), 2);
    port->setCurrentIndex(port->findText(QStringLiteral("/dev/ttyUSB0")));
    // Its place in the list may differ at the next start.
    QCOMPARE(m_rig->settings.value(SettingKey::Port), -1);
    QCOMPARE(window.selection().port, QStringLiteral("/dev/ttyUSB0"));

    // Unplugged: no longer offered, but the box still names it.
    window.refreshSystemPorts({QStringLiteral("/dev/ttyACM0")});
    QCOMPARE(port->count(), 11);
    QCOMPARE(port->currentIndex(), -1);
    QCOMPARE(window.selection().port, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(m_rig->settings.value(SettingKey::Port), -1);
}

void SerialTest::portNameIsKeptBesideTheSettings_data()
{
    QTest::addColumn<int>("pick");      // entry picked, -1 for none
    QTest::addColumn<QString>("typed"); // or the name typed
    QTest::addColumn<QString>("kept");  // PortName in navorel.conf
    QTest::addColumn<QString>("next");  // what the next start's box shows
    QTest::newRow("typed path") << -1 << "/dev/ttyACM0"
                                << "/dev/ttyACM0"
                                << "/dev/ttyACM0";
    QTest::newRow("port the system reported") << 10 << QString() << "/dev/ttyUSB7"
                                              << "/dev/ttyUSB7";
    QTest::newRow("COM3 is the settings file's") << 2 << QString() << ""
                                                 << "COM3";
    QTest::newRow("nothing chosen keeps none") << -1 << QString() << ""
                                               << "COM1";
}

void SerialTest::portNameIsKeptBesideTheSettings()
{
    QFETCH(int, pick);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(QString, next);
    Rs232Window &window = *m_rig->rs232Window;
    m_rig->setPortText(QStringLiteral("COM1")); // as at the first start
    window.refreshSystemPorts({QStringLiteral("/dev/ttyUSB7")});
    if (pick >= 0)
        window.selector(SettingKey::Port)->setCurrentIndex(pick);
    if (!typed.isEmpty()) {
        window.selector(SettingKey::Port)->lineEdit()->selectAll();
        QTest::keyClicks(window.selector(SettingKey::Port)->lineEdit(), typed);
    }
    QCOMPARE(QString::fromStdString(m_rig->settings.settings().PortName), kept);

    // The next start: NAVRL.ini's Port first, then the name navorel.conf keeps.
    SettingsStore settings;
    Rs232Window nextWindow(settings);
    settings.setValue(SettingKey::Port, m_rig->settings.value(SettingKey::Port));
    settings.setConfValues(m_rig->settings.settings());
    QCOMPARE(nextWindow.selection().port, next);
    QCOMPARE(settings.settings().PortName, m_rig->settings.settings().PortName);
}

void SerialTest::longPortNamesFitTheListNotTheBox()
{
    const QString name =
        QStringLiteral("/dev/serial/by-id/usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_"
                       "Receiver-if00");
    Rs232Window &window = *m_rig->rs232Window;
    QComboBox *port = window.selector(SettingKey::Port);
    window.refreshSystemPorts({name});
    port->setCurrentIndex(port->findText(name));
    QCOMPARE(port->width(), 90);
    QVERIFY(port->view()->minimumWidth() > port->view()->fontMetrics().horizontalAdvance(name));
    QCOMPARE(port->toolTip(), name);
}

void SerialTest::leavingABoxSelectsNothing_data()
{
    QTest::addColumn<SettingKey>("key");
    QTest::addColumn<bool>("enter");
    QTest::newRow("port, focus leaves") << SettingKey::Port << false;
    QTest::newRow("port, Enter") << SettingKey::Port << true;
    QTest::newRow("baud rate, focus leaves") << SettingKey::Baud << false;
}

// "Port=-1" shows "COM1" without selecting it; the settings file must go
// on saying -1, and reading -1 back (Cancel) must leave the name to open.
void SerialTest::leavingABoxSelectsNothing()
{
    QFETCH(SettingKey, key);
    QFETCH(bool, enter);
    QComboBox *box = m_rig->rs232Window->selector(key);
    const QString text = box->itemText(0);
    m_rig->settings.setValue(key, -1);
    box->setEditText(text);

    if (enter) {
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    } else {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box->lineEdit(), &out);
    }
    QCOMPARE(box->currentIndex(), -1);
    QCOMPARE(m_rig->settings.value(key), -1);
    m_rig->settings.setValue(key, -1);
    QCOMPARE(box->currentText(), text);
}

void SerialTest::portTextNamesTheDevice_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM1") << "COM1"
                          << "/dev/ttyS0";
    QTest::newRow("COM10") << "COM10"
                           << "/dev/ttyS9";
    QTest::newRow("typed COM11") << "COM11"
                                 << "/dev/ttyS10";
    QTest::newRow("lower case") << "com3"
                                << "/dev/ttyS2";
    QTest::newRow("COM0 is a name") << "COM0"
                                    << "COM0";
    QTest::newRow("COM alone is a name") << "COM"
                                         << "COM";
    QTest::newRow("trailing blank is kept") << "COM1 "
                                            << "COM1 ";
    QTest::newRow("path") << "/dev/ttyUSB0"
                          << "/dev/ttyUSB0";
    QTest::newRow("device name") << "ttyACM0"
                                 << "ttyACM0";
}

void SerialTest::portTextNamesTheDevice()
{
    QFETCH(QString, text);
    QFETCH(QString, device);
    QCOMPARE(portDevice(text), device);
}

void SerialTest::systemMessagesAreTrimmedAndPermissionGetsAHint_data()
{
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<QString>("systemText");
    QTest::addColumn<bool>("refusesUser");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<bool>("dialoutHint");
    QTest::newRow("not allowed") << QSerialPort::PermissionError << "Permission denied" << true
                                 << "Permission denied" << true;
    QTest::newRow("held by another program")
        << QSerialPort::PermissionError << "Permission error while locking the device" << false
        << "Permission error while locking the device" << false;
    QTest::newRow("trailing full stop and line end")
        << QSerialPort::DeviceNotFoundError << "No such file or directory. \r\n"
        << false << "No such file or directory" << false;
    QTest::newRow("nothing") << QSerialPort::ResourceError << "" << false << "" << false;
}

void SerialTest::systemMessagesAreTrimmedAndPermissionGetsAHint()
{
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(QString, systemText);
    QFETCH(bool, refusesUser);
    QFETCH(QString, firstLine);
    QFETCH(bool, dialoutHint);
    const QStringList lines = systemErrorMessage(error, systemText, refusesUser).split(QLatin1Char('\n'));
    QCOMPARE(lines.first(), firstLine);
    QCOMPARE(lines.size(), dialoutHint ? 2 : 1);
    if (dialoutHint)
        QVERIFY(lines.last().contains(QStringLiteral("dialout")));
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
    verifyIdle();
    m_rig->text().setBytes("$GPRMC\r\n");

    receive ? m_rig->receiveCommand() : m_rig->sendCommand();
    QVERIFY(m_rig->driver.isOpen());
    if (receive) {
        verifyReceiveCommand(true);
        verifySendCommand(false);
        // Disabled, "Send data" does nothing even when triggered.
        m_rig->transfer.Senddata1Click();
        QVERIFY(!m_rig->transfer.sending());
    } else {
        verifySendCommand(true);
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
    verifyIdle();
    QVERIFY(m_rig->prompter.systemErrors.isEmpty());
}

void SerialTest::failedOpeningLeavesBothCommandsIdle_data()
{
    QTest::addColumn<bool>("receive");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("note"); // after the system's message
    const QString comNote = QStringLiteral("\nCOM99 is the device /dev/ttyS98 here.");
    QTest::newRow("receive from COM99") << true << "COM99" << comNote;
    QTest::newRow("send to COM99") << false << "COM99" << comNote;
    QTest::newRow("receive from a path without a device") << true << "/nonexistent/ttyGPS" << QString();
    QTest::newRow("send to a name without a device") << false << "ttyNoSuchDevice" << QString();
}

void SerialTest::failedOpeningLeavesBothCommandsIdle()
{
    QFETCH(bool, receive);
    QFETCH(QString, port);
    QFETCH(QString, note);
    m_rig->setPortText(port);
    m_rig->text().setBytes("$GPGGA\r\n");
    // Clearing waits for an open port: a missing receiver costs no text.
    m_rig->settings.setValue(SettingKey::COMclr, 1);

    receive ? m_rig->receiveCommand() : m_rig->sendCommand();
    QCOMPARE(m_rig->textLines(), QList<QByteArray>{"$GPGGA"});
    QCOMPARE(m_rig->prompter.systemErrors,
             QStringList{QStringLiteral("error try open : ") + port
                         + QStringLiteral(": No such file or directory") + note});
    verifyIdle();

    // The next click tries again rather than switching anything off.
    receive ? m_rig->receiveCommand() : m_rig->sendCommand();
    QCOMPARE(m_rig->prompter.systemErrors.size(), 2);
    verifyIdle();
}

void SerialTest::numberTextsAreRefusedBeforeOpening_data()
{
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("named");
    QTest::newRow("baud rate words") << "fast"
                                     << "8"
                                     << "fast";
    QTest::newRow("baud rate 0") << "0"
                                 << "8"
                                 << "0";
    QTest::newRow("negative baud rate") << "-4800"
                                        << "8"
                                        << "-4800";
    QTest::newRow("baud rate with a fraction") << "4800.5"
                                               << "8"
                                               << "4800.5";
    QTest::newRow("data bits empty") << "4800"
                                     << ""
                                     << "\"\"";
    QTest::newRow("data bits words") << "4800"
                                     << "eight"
                                     << "eight";
}

void SerialTest::numberTextsAreRefusedBeforeOpening()
{
    QFETCH(QString, baud);
    QFETCH(QString, data);
    QFETCH(QString, named);
    m_rig->rs232Window->selector(SettingKey::Baud)->setEditText(baud);
    m_rig->rs232Window->selector(SettingKey::Data)->setEditText(data);
    m_rig->text().setBytes("$GPGGA\r\n");

    for (const bool receive : {true, false}) {
        m_rig->prompter.errors.clear();
        receive ? m_rig->receiveCommand() : m_rig->sendCommand();
        QCOMPARE(m_rig->prompter.errors.size(), 1);
        QVERIFY2(m_rig->prompter.errors.first().contains(named), qPrintable(m_rig->prompter.errors.first()));
        QVERIFY(m_rig->prompter.systemErrors.isEmpty());
        verifyIdle();
    }
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
    const QSerialPort &port = m_rig->driver.port();
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
    QCOMPARE(m_rig->driver.port().stopBits(), QSerialPort::TwoStop);
    m_rig->receiveCommand();

    for (const SettingKey key : {SettingKey::Parity, SettingKey::Stop}) {
        window.selector(key)->lineEdit()->selectAll();
        QTest::keyClicks(window.selector(key)->lineEdit(), QStringLiteral("?"));
    }
    QCOMPARE(window.selection().parity, -1);
    QCOMPARE(window.selection().stop, -1);
    m_rig->receiveCommand();
    QVERIFY(m_rig->transfer.receiving());
    QCOMPARE(m_rig->driver.port().stopBits(), QSerialPort::TwoStop);
    QCOMPARE(m_rig->driver.port().parity(), QSerialPort::NoParity);
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
    verifyIdle();
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
    verifyIdle();
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
    verifyIdle();
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
    verifyIdle();
}

void SerialTest::emptyTextShowsTheMessageAndOpensNothing()
{
    // A port that cannot open would show a box if anything tried.
    m_rig->setPortText(QStringLiteral("COM99"));
    m_rig->sendCommand();
    QCOMPARE(m_rig->prompter.messages, QStringList{kEmptyText});
    QVERIFY(m_rig->prompter.systemErrors.isEmpty());
    verifyIdle();
}

void SerialTest::vanishedDeviceEndsSendingWithOneBox()
{
    m_rig->text().setBytes("$GPRMC,1*00\r\n$GPGGA,2*00");
    m_rig->sendCommand();
    QTRY_COMPARE_WITH_TIMEOUT(m_pty->heard(), QByteArray("$GPRMC,1*00\r\n"), kSendTimeoutMs);

    m_pty->unplug();
    QTRY_VERIFY_WITH_TIMEOUT(!m_rig->transfer.sending(), kSendTimeoutMs);
    verifyIdle();
    // Two more ticks' worth: no box per tick.
    QTest::qWait(2200);
    QCOMPARE(m_rig->prompter.systemErrors.size(), 1);
    QVERIFY2(m_rig->prompter.systemErrors.first().startsWith(QStringLiteral("WriteFile: ")),
             qPrintable(m_rig->prompter.systemErrors.first()));
    QCOMPARE(m_rig->text().lineCount(), 2u);
}

QTEST_MAIN(SerialTest)
#include "serial_test.moc"
