// The RS-232 settings window and the serial commands where no device takes
// part: the selectors as settings, the port box, the kept port name, and
// what the commands do when nothing opens. No pty is needed.

#include <QAbstractItemView>
#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "tests/gui/serialcommands.h"

using navorel::SettingKey;

namespace {

const QString kEmptyText = QStringLiteral("Empty text field. Send process stopped.");

} // namespace

class SerialWindowTest : public QObject
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
    void failedOpeningLeavesBothCommandsIdle_data();
    void failedOpeningLeavesBothCommandsIdle();
    void numberTextsAreRefusedBeforeOpening_data();
    void numberTextsAreRefusedBeforeOpening();
    void emptyTextShowsTheMessageAndOpensNothing();

private:
    std::unique_ptr<SerialRig> m_rig;
};

void SerialWindowTest::init()
{
    m_rig = std::make_unique<SerialRig>();
    m_rig->settings.setValue(SettingKey::Baud, 10); // 115200
}

void SerialWindowTest::cleanup()
{
    m_rig.reset();
}

void SerialWindowTest::windowStartsWithTheFirstStartSelections()
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

void SerialWindowTest::selectorsAreSettings_data()
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

void SerialWindowTest::selectorsAreSettings()
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

void SerialWindowTest::reportedPortIsOfferedButStoredAsNoEntry()
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

void SerialWindowTest::portNameIsKeptBesideTheSettings_data()
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

void SerialWindowTest::portNameIsKeptBesideTheSettings()
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

void SerialWindowTest::longPortNamesFitTheListNotTheBox()
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

void SerialWindowTest::leavingABoxSelectsNothing_data()
{
    QTest::addColumn<SettingKey>("key");
    QTest::addColumn<bool>("enter");
    QTest::newRow("port, focus leaves") << SettingKey::Port << false;
    QTest::newRow("port, Enter") << SettingKey::Port << true;
    QTest::newRow("baud rate, focus leaves") << SettingKey::Baud << false;
}

// "Port=-1" shows "COM1" without selecting it; the settings file must go
// on saying -1, and reading -1 back (Cancel) must leave the name to open.
void SerialWindowTest::leavingABoxSelectsNothing()
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

void SerialWindowTest::failedOpeningLeavesBothCommandsIdle_data()
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

void SerialWindowTest::failedOpeningLeavesBothCommandsIdle()
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
    verifyIdle(*m_rig);

    // The next click tries again rather than switching anything off.
    receive ? m_rig->receiveCommand() : m_rig->sendCommand();
    QCOMPARE(m_rig->prompter.systemErrors.size(), 2);
    verifyIdle(*m_rig);
}

void SerialWindowTest::numberTextsAreRefusedBeforeOpening_data()
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

void SerialWindowTest::numberTextsAreRefusedBeforeOpening()
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
        verifyIdle(*m_rig);
    }
}

void SerialWindowTest::emptyTextShowsTheMessageAndOpensNothing()
{
    // A port that cannot open would show a box if anything tried.
    m_rig->setPortText(QStringLiteral("COM99"));
    m_rig->sendCommand();
    QCOMPARE(m_rig->prompter.messages, QStringList{kEmptyText});
    QVERIFY(m_rig->prompter.systemErrors.isEmpty());
    verifyIdle(*m_rig);
}

QTEST_MAIN(SerialWindowTest)
#include "serialwindow_test.moc"
