// The network sources against real peers on the loopback address: a gpsd
// replaying a log, socat listeners, ports that refuse or never answer.

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "serial/lineassembler.h"
#include "serial/nmeasource.h"
#include "tests/net/peers.h"

namespace {

// What a source delivers, put together into lines as the program does.
struct Reception
{
    explicit Reception(NmeaSource &source) : source(source)
    {
        QObject::connect(&source, &NmeaSource::readyRead, [this] { take(); });
        QObject::connect(&source, &NmeaSource::dropped, [this](const QString &why) {
            take();
            reasons.append(why);
        });
    }
    void take()
    {
        std::vector<std::string> got;
        const QByteArray bytes = source.read(source.bytesAvailable());
        assembler.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), got);
        for (const std::string &line : got)
            lines.append(QByteArray::fromStdString(line));
    }

    NmeaSource &source;
    navorel::LineAssembler assembler;
    QList<QByteArray> lines;
    QStringList reasons;
};

} // namespace

class NmeaSourceTest : public QObject
{
    Q_OBJECT

private slots:
    void gpsdHandsOutEveryNmeaLineInOrderAndNothingElse();
    void tcpLinesArriveUntilThePeerCloses_data();
    void tcpLinesArriveUntilThePeerCloses();
    void failedOpeningsSayWhy_data();
    void failedOpeningsSayWhy();
    void sendsToATcpPeerAndNoticesItGoing();
    void aPeerThatNeverAnswersIsGivenUpWhileTheLoopRuns();

private:
    QTemporaryDir m_dir;
};

void NmeaSourceTest::gpsdHandsOutEveryNmeaLineInOrderAndNothingElse()
{
    const QByteArray log = generatedLog(12);
    const QList<QByteArray> logLines = linesOf(log);
    const QString path = m_dir.filePath(QStringLiteral("gpsd.nmea"));
    QVERIFY(writeFile(path, log));
    GpsFake gpsd;
    QVERIFY2(gpsd.start(path, 0.05), "gpsfake did not start");

    NmeaSource source;
    // A receiver gpsd does not have is refused in gpsd's words.
    QSignalSpy refused(&source, &NmeaSource::openFailed);
    source.open(gpsd.address() + QStringLiteral("/dev/ttyNOPE"), QIODevice::ReadOnly);
    QVERIFY(refused.wait(5000));
    QCOMPARE(refused.at(0).at(0).toString(), QStringLiteral("No such device as /dev/ttyNOPE"));

    Reception reception(source);
    QSignalSpy opened(&source, &NmeaSource::opened);
    source.open(gpsd.address(), QIODevice::ReadOnly);
    QVERIFY(opened.wait(5000));
    QTRY_COMPARE_WITH_TIMEOUT(reception.lines.isEmpty() ? QByteArray() : reception.lines.back(),
                              logLines.back(), 15000);
    // gpsd opens its device only once a client watches: the log's first
    // lines may be gone, the rest must be there, unbroken and alone.
    QVERIFY2(reception.lines.size() > logLines.size() / 3, "too few lines");
    QVERIFY2(runStart(logLines, reception.lines) >= 0, "lines missing, changed or added");
    QVERIFY(reception.assembler.partialLine().empty());
}

void NmeaSourceTest::tcpLinesArriveUntilThePeerCloses_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QByteArray>("partial");
    const QByteArray log = generatedLog(30);
    QTest::newRow("a log") << log << linesOf(log) << QByteArray();
    QTest::newRow("closed mid-line") << QByteArray("$GPGSA,A,3*00\r\n\r\n$GPVTG,1*00\r\n$GPRMC,1234")
                                     << QList<QByteArray>{"$GPGSA,A,3*00", "$GPVTG,1*00"}
                                     << QByteArray("$GPRMC,1234");
}

void NmeaSourceTest::tcpLinesArriveUntilThePeerCloses()
{
    QFETCH(QByteArray, sent);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QByteArray, partial);
    const QString path = m_dir.filePath(QStringLiteral("sent.nmea"));
    QVERIFY(writeFile(path, sent));
    SocatListener peer;
    QVERIFY(peer.start(QStringLiteral("OPEN:") + path, true));

    NmeaSource source;
    Reception reception(source);
    QSignalSpy dropped(&source, &NmeaSource::dropped);
    source.open(peer.address(), QIODevice::ReadOnly);
    QVERIFY(dropped.wait(5000));
    QCOMPARE(reception.lines, lines);
    QCOMPARE(QByteArray::fromStdString(reception.assembler.partialLine()), partial);
    QCOMPARE(reception.reasons, QStringList{QStringLiteral("The peer closed the connection")});
    QVERIFY(!source.isOpen());
}

void NmeaSourceTest::failedOpeningsSayWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("reason");
    const QString refused = QStringLiteral(":%1").arg(freePort());
    QTest::newRow("refused") << QStringLiteral("tcp://127.0.0.1") + refused << int(QIODevice::ReadOnly)
                             << QStringLiteral("Connection refused");
    QTest::newRow("refused gpsd") << QStringLiteral("gpsd://127.0.0.1") + refused << int(QIODevice::ReadOnly)
                                  << QStringLiteral("Connection refused");
    QTest::newRow("no such host") << QStringLiteral("tcp://no-such-host.invalid:10110")
                                  << int(QIODevice::WriteOnly) << QStringLiteral("Host not found");
    QTest::newRow("no port") << QStringLiteral("tcp://127.0.0.1") << int(QIODevice::ReadOnly)
                             << QStringLiteral("a TCP source needs a port: tcp://HOST:PORT");
    QTest::newRow("sending to gpsd")
        << QStringLiteral("gpsd://127.0.0.1") << int(QIODevice::WriteOnly)
        << QStringLiteral("gpsd hands out what its receiver sends; it takes nothing to send");
    QTest::newRow("no device") << m_dir.filePath(QStringLiteral("ttyNone")) << int(QIODevice::ReadOnly)
                               << QStringLiteral("No such file or directory");
}

void NmeaSourceTest::failedOpeningsSayWhy()
{
    QFETCH(QString, name);
    QFETCH(int, mode);
    QFETCH(QString, reason);
    NmeaSource source;
    QSignalSpy failed(&source, &NmeaSource::openFailed);
    source.open(name, QIODevice::OpenMode(mode));
    // Never from inside the call: the caller has not yet shown that it waits.
    QCOMPARE(failed.count(), 0);
    QVERIFY(failed.wait(10000));
    QCOMPARE(failed.at(0).at(0).toString(), reason);
    QCOMPARE(source.state(), NmeaSource::State::Closed);
}

void NmeaSourceTest::sendsToATcpPeerAndNoticesItGoing()
{
    const QString heard = m_dir.filePath(QStringLiteral("heard.nmea"));
    SocatListener peer;
    QVERIFY(peer.start(QStringLiteral("CREATE:") + heard, false));
    NmeaSource source;
    QSignalSpy opened(&source, &NmeaSource::opened);
    QSignalSpy dropped(&source, &NmeaSource::dropped);
    source.open(peer.address(), QIODevice::WriteOnly);
    QVERIFY(opened.wait(5000));
    const QByteArray lines = "$GPRMC,1*00\r\n\r\n$GPGGA,2*00\r\n";
    QCOMPARE(source.write(lines.toStdString()), lines.size());
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(heard).size(), lines.size(), 5000);

    peer.stop();
    QVERIFY(dropped.wait(5000));
    QCOMPARE(source.write("$GPRMC,2*00\r\n"), -1);
}

void NmeaSourceTest::aPeerThatNeverAnswersIsGivenUpWhileTheLoopRuns()
{
    SilentPort silent;
    NmeaSource source;
    source.setConnectTimeout(500);
    QSignalSpy failed(&source, &NmeaSource::openFailed);
    int ticks = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(10);
    QElapsedTimer clock;
    clock.start();
    source.open(QStringLiteral("tcp://127.0.0.1:%1").arg(silent.port()), QIODevice::ReadOnly);
    QVERIFY(failed.wait(5000));
    QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("Connection timed out"));
    QVERIFY(clock.elapsed() >= 400); // a coarse timer may fire a little early
    QVERIFY2(ticks > 10, "the event loop stood still while connecting");

    // Something that takes the connection but is no gpsd.
    SocatListener mute;
    QVERIFY(mute.start(QStringLiteral("CREATE:") + m_dir.filePath(QStringLiteral("mute")), false));
    source.open(QStringLiteral("gpsd://127.0.0.1:%1").arg(mute.port()), QIODevice::ReadOnly);
    QVERIFY(failed.wait(5000));
    QCOMPARE(failed.at(1).at(0).toString(), QStringLiteral("No answer from gpsd"));
}

QTEST_GUILESS_MAIN(NmeaSourceTest)
#include "nmeasource_test.moc"
