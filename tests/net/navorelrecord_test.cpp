// navorel-record as a user runs it, against gpsd replaying a log and socat
// listeners on the loopback address.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "tests/gui/ptypair.h"
#include "tests/net/peers.h"
#include "tests/net/recording.h"

namespace {

// Sentences gpsd throws away (their checksums are wrong). Put in front of a
// log they fill the terminal that gpsfake writes into before gpsd opens it,
// and are flushed in place of the log's first lines.
QByteArray fillerBeforeGpsdOpens()
{
    QByteArray filler;
    for (int i = 0; i < 2000; ++i)
        filler +=
            QStringLiteral("$GPTXT,01,01,02,filler %1 for the terminal buffer*00\r\n").arg(i).toLatin1();
    return filler;
}

} // namespace

class NavorelRecordTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tenMinutesFromGpsdAsFastAsItGoes();
    void killedMidRunLeavesAPrefixOfTheLog();
    void endsCleanly_data();
    void endsCleanly();
    void followsASourceThatDropsAndComesBack();
    void recordsFromASerialDevice();
    void aDeviceInUseNamesItsHolder();
    void refusesWrongUseAndSourcesThatNeverOpen_data();
    void refusesWrongUseAndSourcesThatNeverOpen();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QByteArray m_log;
};

void NavorelRecordTest::initTestCase()
{
    m_log = generatedLog(10 * 60);
    QVERIFY(writeFile(path(QStringLiteral("gpsfake.nmea")), fillerBeforeGpsdOpens() + m_log));
}

void NavorelRecordTest::tenMinutesFromGpsdAsFastAsItGoes()
{
    GpsFake gpsd;
    QVERIFY(gpsd.start(path(QStringLiteral("gpsfake.nmea")), 0));
    const QString out = path(QStringLiteral("whole.nmea"));
    Recording recording({gpsd.address(), out, QStringLiteral("--lines"),
                         QString::number(linesOf(m_log).size()), QStringLiteral("--report")});
    QCOMPARE(recording.status(60000), 0);
    QVERIFY(fileBytes(out) == m_log);
    QVERIFY(recording.out().startsWith(" Filter Report for $--RMC\n"));
    QVERIFY(recording.out().contains(" sentences found     : 600\n"));
}

void NavorelRecordTest::killedMidRunLeavesAPrefixOfTheLog()
{
    GpsFake gpsd;
    QVERIFY(gpsd.start(path(QStringLiteral("gpsfake.nmea")), 0));
    const QString out = path(QStringLiteral("killed.nmea"));
    Recording recording({gpsd.address(), out});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 20000, 30000);
    recording.signal(SIGKILL);
    QCOMPARE(recording.status(5000), -1);
    // Whole lines of the log from its first, then at most part of one more.
    const QByteArray kept = fileBytes(out);
    QVERIFY(kept.size() < m_log.size());
    QVERIFY(m_log.startsWith(kept));
}

void NavorelRecordTest::endsCleanly_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<QStringList>("limit");
    QTest::newRow("SIGTERM") << int(SIGTERM) << QStringList();
    QTest::newRow("SIGINT") << int(SIGINT) << QStringList();
    QTest::newRow("--seconds") << 0 << QStringList{QStringLiteral("--seconds"), QStringLiteral("1")};
}

void NavorelRecordTest::endsCleanly()
{
    QFETCH(int, signal);
    QFETCH(QStringList, limit);
    const QByteArray log = generatedLog(60, 2);
    const QString sent = path(QStringLiteral("sent.nmea"));
    QVERIFY(writeFile(sent, log));
    // The peer keeps the connection after the log.
    SocatListener peer;
    QVERIFY(peer.start(QStringLiteral("SYSTEM:cat '%1'; sleep 30").arg(sent), true));
    const QString out = path(QStringLiteral("clean-%1.nmea").arg(QTest::currentDataTag()));
    Recording recording(QStringList{peer.address(), out} + limit);
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(out).size(), log.size(), 5000);
    if (signal != 0)
        recording.signal(signal);
    QCOMPARE(recording.status(5000), 0);
    QVERIFY(fileBytes(out) == log);
    QCOMPARE(recording.err(), QByteArray());
}

void NavorelRecordTest::followsASourceThatDropsAndComesBack()
{
    const QByteArray first = "$GPRMC,1*00\r\n$GPGGA,1*00\r\n$GPRMC,2";
    const QByteArray second = "$GPRMC,3*00\r\n$GPGGA,3*00\r\n";
    QVERIFY(writeFile(path(QStringLiteral("first.nmea")), first));
    QVERIFY(writeFile(path(QStringLiteral("second.nmea")), second));
    const QString out = path(QStringLiteral("followed.nmea"));
    QVERIFY(writeFile(out, "$GPRMC,0*00\r\n$GPGG"));

    SocatListener before;
    QVERIFY(before.start(QStringLiteral("OPEN:") + path(QStringLiteral("first.nmea")), true));
    Recording recording({before.address(), out});
    QVERIFY(recording.errSays("trying again every 5 s", 5000));
    QVERIFY(!recording.err().contains("receiving again"));

    SocatListener after;
    QVERIFY(after.start(QStringLiteral("SYSTEM:cat '%1'; sleep 30").arg(path(QStringLiteral("second.nmea"))),
                        true, before.port()));
    QVERIFY(recording.errSays("receiving again", 8000));
    // The line a killed run left unfinished stays a line of its own, and
    // so does the unfinished line of the dropped connection.
    const QByteArray expected = "$GPRMC,0*00\r\n$GPGG\r\n$GPRMC,1*00\r\n$GPGGA,1*00\r\n$GPRMC,2\r\n" + second;
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(out), expected, 5000);
    recording.signal(SIGTERM);
    QCOMPARE(recording.status(5000), 0);
}

void NavorelRecordTest::recordsFromASerialDevice()
{
    PtyPair pty;
    QVERIFY2(pty.plugIn(), "socat could not make a pty pair");
    const QString out = path(QStringLiteral("serial.nmea"));
    Recording recording({pty.programEnd(), out, QStringLiteral("--baud"), QStringLiteral("9600"),
                         QStringLiteral("--lines"), QStringLiteral("2")});
    // Said until heard: the recorder opens the device some time after its start.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            pty.say("$GPRMC,1*00\r\n");
            return QFileInfo(out).size() > 0;
        }(),
        5000);
    pty.say("$GPGGA,2*00\r\n$GPGSA,3*00\r\n");
    QCOMPARE(recording.status(5000), 0);
    const QByteArray kept = fileBytes(out);
    QVERIFY2(kept == "$GPRMC,1*00\r\n$GPRMC,1*00\r\n" || kept == "$GPRMC,1*00\r\n$GPGGA,2*00\r\n",
             kept.constData());
}

// A second recorder on the same device, by another name for it, is told who
// holds it, as the window's box tells.
void NavorelRecordTest::aDeviceInUseNamesItsHolder()
{
    PtyPair pty;
    QVERIFY2(pty.plugIn(), "socat could not make a pty pair");
    const QString out = path(QStringLiteral("held.nmea"));
    Recording first({pty.programEnd(), out});
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            pty.say("$GPRMC,1*00\r\n");
            return QFileInfo(out).size() > 0;
        }(),
        5000);

    const QString link = path(QStringLiteral("gps"));
    QVERIFY(QFile::link(pty.programEnd(), link));
    Recording second({link, path(QStringLiteral("second.nmea"))});
    QCOMPARE(second.status(5000), 2);
    const QByteArray said = "cannot open " + link.toLocal8Bit()
                            + ": Permission error while locking the device. The device is in use by "
                              "navorel-record (process "
                            + QByteArray::number(first.processId()) + ").";
    QVERIFY2(second.err().contains(said), second.err().constData());
    first.signal(SIGTERM);
    QCOMPARE(first.status(5000), 0);
}

void NavorelRecordTest::refusesWrongUseAndSourcesThatNeverOpen_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("said");
    const QString out = path(QStringLiteral("never.nmea"));
    const QString refused = QStringLiteral("tcp://127.0.0.1:%1").arg(freePort());
    QTest::newRow("nothing") << QStringList() << QByteArray("give a SOURCE and an OUT file");
    QTest::newRow("no OUT") << QStringList{refused} << QByteArray("give a SOURCE and an OUT file");
    QTest::newRow("both limits") << QStringList{refused, out, "--seconds", "1", "--lines", "1"}
                                 << QByteArray("give --seconds or --lines, not both");
    QTest::newRow("zero") << QStringList{refused, out, "--lines", "0"}
                          << QByteArray("option --lines needs a positive whole number");
    QTest::newRow("unknown") << QStringList{refused, out, "--bits", "7"}
                             << QByteArray("unknown option --bits");
    QTest::newRow("refused") << QStringList{refused, out}
                             << QByteArray("cannot open " + refused.toLatin1() + ": Connection refused");
    QTest::newRow("no host") << QStringList{"gpsd://no-such-host.invalid", out}
                             << QByteArray("cannot open gpsd://no-such-host.invalid: Host not found");
    // A Windows name stands for its device, and the note says which.
    QTest::newRow("COMn") << QStringList{"COM99", out}
                          << QByteArray("cannot open COM99: No such file or directory. "
                                        "COM99 is the device /dev/ttyS98 here.");
    QTest::newRow("no OUT folder") << QStringList{refused, path(QStringLiteral("none/out.nmea"))}
                                   << QByteArray("No such file or directory");
}

void NavorelRecordTest::refusesWrongUseAndSourcesThatNeverOpen()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, said);
    Recording recording(arguments);
    QCOMPARE(recording.status(10000), 2);
    QVERIFY2(recording.err().contains(said), recording.err().constData());
}

QTEST_GUILESS_MAIN(NavorelRecordTest)
#include "navorelrecord_test.moc"
