// Receiving from and sending to network sources through the desktop
// program's commands, against socat listeners and ports on the loopback
// address that refuse or never answer.

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>

#include "tests/gui/serialrig.h"
#include "tests/net/peers.h"

using navorel::SettingKey;

namespace {

constexpr int kPeerTimeoutMs = 5000;
constexpr int kSendTimeoutMs = 8000;
const QString kPortClosed = QStringLiteral("The port was closed.");

} // namespace

class NetworkTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_rig = std::make_unique<SerialRig>(); }
    void cleanup() { m_rig.reset(); }

    void receivesUntilThePeerClosesEndingThePartialLine();
    void aLineWithoutALineBreakIsCutWhileTheWindowAnswers();
    void silenceIsSaidInTheStatusBar();
    void sendsOneLinePerSecondToATcpPeer();
    void refusedAddressLeavesBothCommandsIdle_data();
    void refusedAddressLeavesBothCommandsIdle();
    void anAddressThatNeverAnswersLeavesTheWindowAnswering();
    void settingsWindowOffersAGpsdThatAnswersAndGreysTheLineSettings();
    void aNetworkNameIsKeptBetweenRuns();

private:
    bool idle() const
    {
        return !m_rig->transfer.receiving() && !m_rig->transfer.sending() && !m_rig->driver.isOpen()
               && m_rig->window.actions().receiveData->text() == QStringLiteral("Receive data")
               && m_rig->window.actions().sendData->text() == QStringLiteral("Send data")
               && m_rig->window.actions().receiveData->isEnabled()
               && m_rig->window.actions().sendData->isEnabled();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<SerialRig> m_rig;
};

void NetworkTest::receivesUntilThePeerClosesEndingThePartialLine()
{
    const QByteArray log = generatedLog(15);
    const QList<QByteArray> logLines = linesOf(log).mid(0, 100);
    QByteArray sent;
    for (const QByteArray &line : logLines)
        sent += line + "\r\n";
    const QString first = m_dir.filePath(QStringLiteral("first.nmea"));
    QVERIFY(writeFile(first, sent + "$GNRMC,123456.00,A,48"));
    SocatListener peer;
    QVERIFY(peer.start(QStringLiteral("OPEN:") + first, true));
    m_rig->setPortText(peer.address());
    m_rig->receiveCommand();
    QVERIFY(m_rig->transfer.receiving());

    // The peer closes after its last bytes: one box, as for a vanished
    // device, and its unfinished line is a line of its own.
    QTRY_VERIFY_WITH_TIMEOUT(!m_rig->transfer.receiving(), kPeerTimeoutMs);
    QVERIFY(idle());
    QCOMPARE(m_rig->textLines(), logLines + QList<QByteArray>{"$GNRMC,123456.00,A,48"});
    QCOMPARE(m_rig->transfer.partialLine(), std::string());
    QCOMPARE(m_rig->prompter.systemErrors,
             QStringList{QStringLiteral("Error: ReadFile%1: The peer closed the connection\n%2")
                             .arg(peer.address(), kPortClosed)});

    // The next peer's first line stays as it was sent.
    const QByteArray next = "$GNRMC,100010.00,A,4807.0380,N,01131.0020,E,0.7,7.6,081226,,,A*4E";
    const QString second = m_dir.filePath(QStringLiteral("second.nmea"));
    QVERIFY(writeFile(second, next + "\r\n"));
    SocatListener again;
    QVERIFY(again.start(QStringLiteral("SYSTEM:cat '%1'; sleep 30").arg(second), true));
    m_rig->setPortText(again.address());
    m_rig->receiveCommand();
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->textLines().size(), 102, kPeerTimeoutMs);
    QCOMPARE(m_rig->textLines().at(100), QByteArray("$GNRMC,123456.00,A,48"));
    QCOMPARE(m_rig->textLines().back(), next);
    m_rig->receiveCommand();
    QVERIFY(idle());
    QCOMPARE(m_rig->prompter.systemErrors.size(), 1);
}

void NetworkTest::aLineWithoutALineBreakIsCutWhileTheWindowAnswers()
{
    // A peer that sends 16 MB without a line break, then a sentence.
    const QString sent = m_dir.filePath(QStringLiteral("endless.nmea"));
    const QByteArray sentence = "$GPRMC,1*00";
    QVERIFY(writeFile(sent, QByteArray(16 << 20, 'x') + "\r\n" + sentence + "\r\n"));
    SocatListener peer;
    QVERIFY(peer.start(QStringLiteral("SYSTEM:cat '%1'; sleep 60").arg(sent), true));
    m_rig->setPortText(peer.address());
    // Shown, so that the text area lays out and paints what it gets.
    m_rig->window.show();

    qint64 longestGapMs = 0;
    std::size_t longestPartial = 0;
    QElapsedTimer sinceLastTick;
    QTimer probe;
    connect(&probe, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, sinceLastTick.restart());
        longestPartial = std::max(longestPartial, m_rig->transfer.partialLine().size());
    });
    sinceLastTick.start();
    probe.start(5);
    QElapsedTimer receiving;
    receiving.start();
    m_rig->receiveCommand();
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->textLines().size(), 2, 60000);
    probe.stop();
    m_rig->receiveCommand();
    qInfo("16 MB without a line break in %lld ms; longest gap between 5 ms ticks: %lld ms",
          receiving.elapsed(), longestGapMs);

    QCOMPARE(m_rig->textLines().front(), QByteArray(64 * 1024, 'x'));
    QCOMPARE(m_rig->textLines().back(), sentence);
    QVERIFY2(longestPartial <= 64 * 1024, qPrintable(QString::number(longestPartial)));
    QVERIFY2(m_rig->window.statusPanel(1)->text().contains(
                 QStringLiteral("a received line was longer than 64 KiB")),
             qPrintable(m_rig->window.statusPanel(1)->text()));
    // Far beyond anything seen; only catches a window that stops answering.
    QVERIFY2(longestGapMs < 2000, qPrintable(QStringLiteral("%1 ms without a tick").arg(longestGapMs)));
}

void NetworkTest::silenceIsSaidInTheStatusBar()
{
    SocatListener mute;
    QVERIFY(mute.start(QStringLiteral("SYSTEM:sleep 30"), true));
    m_rig->setPortText(mute.address());
    m_rig->receiveCommand();
    QTest::qWait(9000);
    QVERIFY(!m_rig->window.statusPanel(1)->text().contains(QStringLiteral("no NMEA line")));
    const QString note = mute.address() + QStringLiteral(": no NMEA line for 10 s: nothing received");
    QTRY_VERIFY_WITH_TIMEOUT(m_rig->window.statusPanel(1)->text().endsWith(note), 4000);
    static const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ "));
    QVERIFY2(stamp.match(m_rig->window.statusPanel(1)->text()).hasMatch(),
             qPrintable(m_rig->window.statusPanel(1)->text()));
    // Still receiving: the user decides.
    QVERIFY(m_rig->transfer.receiving());
    m_rig->receiveCommand();
    QVERIFY(idle());
}

void NetworkTest::sendsOneLinePerSecondToATcpPeer()
{
    const QString heard = m_dir.filePath(QStringLiteral("heard.nmea"));
    SocatListener peer;
    QVERIFY(peer.start(QStringLiteral("CREATE:") + heard, false));
    m_rig->setPortText(peer.address());
    m_rig->text().setBytes("$GPRMC,1*00\r\n$GPGGA,2*00");
    m_rig->sendCommand();
    QVERIFY(m_rig->transfer.sending());
    QTest::qWait(500);
    QCOMPARE(QFileInfo(heard).size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(heard).size(), 26, kSendTimeoutMs);
    m_rig->sendCommand();
    QVERIFY(idle());
    QFile file(heard);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("$GPRMC,1*00\r\n$GPGGA,2*00\r\n"));
    QVERIFY(m_rig->prompter.systemErrors.isEmpty());
}

void NetworkTest::refusedAddressLeavesBothCommandsIdle_data()
{
    QTest::addColumn<bool>("receive");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("reason");
    const QString refused = QStringLiteral("tcp://127.0.0.1:%1").arg(freePort());
    QTest::newRow("receive, refused") << true << refused << "Connection refused";
    QTest::newRow("send, refused") << false << refused << "Connection refused";
    QTest::newRow("receive, no such host") << true << "gpsd://no-such-host.invalid"
                                           << "Host not found";
}

void NetworkTest::refusedAddressLeavesBothCommandsIdle()
{
    QFETCH(bool, receive);
    QFETCH(QString, port);
    QFETCH(QString, reason);
    m_rig->setPortText(port);
    m_rig->text().setBytes("$GPGGA\r\n");
    receive ? m_rig->receiveCommand() : m_rig->sendCommand();
    QTRY_COMPARE_WITH_TIMEOUT(m_rig->prompter.systemErrors,
                              QStringList{QStringLiteral("error try open : %1: %2").arg(port, reason)},
                              kPeerTimeoutMs);
    QVERIFY(idle());
    QVERIFY(!m_rig->transfer.sendTimer().isActive());
}

void NetworkTest::anAddressThatNeverAnswersLeavesTheWindowAnswering()
{
    SilentPort silent;
    m_rig->setPortText(QStringLiteral("tcp://127.0.0.1:%1").arg(silent.port()));
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);
    m_rig->receiveCommand();
    QTest::qWait(1000);
    QVERIFY2(ticks >= 25, qPrintable(QStringLiteral("%1 ticks of 50").arg(ticks)));
    // Still trying, and the user can give up.
    QVERIFY(m_rig->transfer.receiving());
    QCOMPARE(m_rig->window.actions().receiveData->text(), QStringLiteral("Stop receiving"));
    m_rig->receiveCommand();
    QVERIFY(idle());
    QVERIFY(m_rig->prompter.systemErrors.isEmpty());
}

void NetworkTest::settingsWindowOffersAGpsdThatAnswersAndGreysTheLineSettings()
{
    Rs232Window &window = *m_rig->rs232Window;
    QComboBox *port = window.selector(SettingKey::Port);
    QTcpServer gpsd;
    QVERIFY(gpsd.listen(QHostAddress::LocalHost));
    connect(&gpsd, &QTcpServer::newConnection, [&gpsd] {
        gpsd.nextPendingConnection()->write("{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n");
    });
    window.gpsdProbe().setAddress(QStringLiteral("127.0.0.1"), gpsd.serverPort());
    window.gpsdProbe().probe();
    const QString entry = QStringLiteral("gpsd (127.0.0.1:%1)").arg(gpsd.serverPort());
    QTRY_VERIFY_WITH_TIMEOUT(port->findText(entry) >= 0, kPeerTimeoutMs);

    QVERIFY(window.selector(SettingKey::Baud)->isEnabled());
    port->setCurrentIndex(port->findText(entry));
    QCOMPARE(window.selection().port, QStringLiteral("gpsd://127.0.0.1:%1").arg(gpsd.serverPort()));
    QCOMPARE(m_rig->settings.value(SettingKey::Port), -1);
    for (const SettingKey key : {SettingKey::Baud, SettingKey::Data, SettingKey::Parity, SettingKey::Stop})
        QVERIFY(!window.selector(key)->isEnabled());
    port->setCurrentIndex(0);
    QVERIFY(window.selector(SettingKey::Baud)->isEnabled());

    // Gone at the next look; a port that never answers counts as none.
    gpsd.close();
    SilentPort silent;
    window.gpsdProbe().setAddress(QStringLiteral("127.0.0.1"), silent.port());
    window.gpsdProbe().probe();
    QTRY_COMPARE_WITH_TIMEOUT(port->findText(entry), -1, kPeerTimeoutMs);
    QCOMPARE(port->currentText(), QStringLiteral("COM1"));
}

void NetworkTest::aNetworkNameIsKeptBetweenRuns()
{
    m_rig->setPortText(QStringLiteral("tcp://receiver.local:10110"));
    QCOMPARE(m_rig->settings.settings().PortName, "tcp://receiver.local:10110");

    SerialRig next;
    next.settings.setConfValues(m_rig->settings.settings());
    QCOMPARE(next.rs232Window->selection().port, QStringLiteral("tcp://receiver.local:10110"));
    QVERIFY(!next.rs232Window->selector(SettingKey::Stop)->isEnabled());

    // A "COMn" entry is the settings file's to keep.
    next.rs232Window->selector(SettingKey::Port)->setCurrentIndex(2);
    QCOMPARE(next.settings.settings().PortName, "");
}

QTEST_MAIN(NetworkTest)
#include "network_test.moc"
