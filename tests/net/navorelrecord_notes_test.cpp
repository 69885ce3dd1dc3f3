// What navorel-record says on standard error, against real peers: sources
// that fall silent, fail over and over, or fail in ways worth naming.

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "tests/gui/ptypair.h"
#include "tests/net/peers.h"
#include "tests/net/recording.h"

namespace {

// Every note begins with the time, in UTC.
const QRegularExpression
    kNoteStart(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ navorel-record: "));

// A real gpsd (not gpsfake) on a pty that nothing writes into: it takes
// the device and has nothing to hand out.
class GpsdOnASilentDevice
{
public:
    bool start()
    {
        // gpsd run by root gives up its rights before it opens the device:
        // its folder and the device must be open to all.
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                | QFileDevice::ExeOther);
        const QString device = m_dir.filePath(QStringLiteral("gpsd-device"));
        if (!m_pty.start(QStringLiteral("socat"), {QStringLiteral("pty,raw,echo=0,mode=666,link=") + device,
                                                   QStringLiteral("pty,raw,echo=0,link=")
                                                       + m_dir.filePath(QStringLiteral("silent-end"))}))
            return false;
        const QDeadlineTimer made(5000);
        while (!QFileInfo::exists(device) && !made.hasExpired())
            QTest::qWait(20);
        m_port = freePort();
        if (!m_gpsd.start(QStringLiteral("gpsd"),
                          {QStringLiteral("-N"), QStringLiteral("-S"), QString::number(m_port), device}))
            return false;
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(200))
                return true;
            QTest::qWait(50);
        }
        return false;
    }
    QString address() const { return QStringLiteral("gpsd://127.0.0.1:%1").arg(m_port); }

private:
    QTemporaryDir m_dir;
    PeerProcess m_pty;
    PeerProcess m_gpsd;
    quint16 m_port = 0;
};

// The lines of what was said that hold the text.
QList<QByteArray> linesWith(Recording &recording, const QByteArray &text)
{
    QList<QByteArray> found;
    for (const QByteArray &line : recording.errLines()) {
        if (line.contains(text))
            found.append(line);
    }
    return found;
}

} // namespace

class RecordNotesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void silenceIsSaidOnceWithAHintThatIsTrue();
    void aPlainNmeaServerNamedAsGpsdGetsAHint();
    void repeatedFailuresAreSaidAtGrowingIntervals();
    void aGpsdThatDropsIsNamed();
    void aDeviceThatVanishesIsSaidToHaveGoneAway();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QByteArray m_log;
};

void RecordNotesTest::initTestCase()
{
    m_log = generatedLog(12);
    QVERIFY(writeFile(path(QStringLiteral("log.nmea")), m_log));
}

void RecordNotesTest::silenceIsSaidOnceWithAHintThatIsTrue()
{
    // Side by side, so that the ten seconds are waited once.
    SocatListener mute;
    QVERIFY(mute.start(QStringLiteral("SYSTEM:sleep 30"), true));
    GpsFake gpsd;
    QVERIFY2(gpsd.start(path(QStringLiteral("log.nmea")), 0.05), "gpsfake did not start");
    const QString gpsdAsPlainPeer =
        QString(gpsd.address()).replace(QStringLiteral("gpsd://"), QStringLiteral("tcp://"));
    GpsdOnASilentDevice quiet;
    QVERIFY2(quiet.start(), "gpsd did not start on a pty");

    const struct
    {
        QString source;
        QString note;
    } cases[] = {
        {mute.address(), QStringLiteral("no NMEA line for 10 s: nothing received")},
        {gpsdAsPlainPeer, QStringLiteral("no NMEA line for 10 s: this is gpsd: try ") + gpsd.address()},
        {quiet.address(), QStringLiteral("no NMEA line for 10 s: gpsd sends no NMEA for this device")},
    };
    std::vector<std::unique_ptr<Recording>> recordings;
    for (const auto &c : cases)
        recordings.push_back(std::make_unique<Recording>(
            QStringList{c.source, path(QStringLiteral("silent-%1.nmea").arg(recordings.size()))}));
    // Ten seconds from the opening; a loaded machine may take a few more to open.
    const QDeadlineTimer deadline(25000);
    for (const auto &recording : recordings)
        recording->errSays("no NMEA line", static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    recordings.front()->listen(1500);
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        Recording &recording = *recordings[i];
        recording.listen(1);
        const QList<QByteArray> said = linesWith(recording, "no NMEA line");
        QVERIFY2(said.size() == 1, qPrintable(cases[i].source + QStringLiteral(": ") + recording.err()));
        QVERIFY2(kNoteStart.match(QString::fromLocal8Bit(said.front())).hasMatch(), said.front().constData());
        QVERIFY2(said.front().endsWith(cases[i].source.toLocal8Bit() + ": " + cases[i].note.toLocal8Bit()),
                 said.front().constData());
        // Still recording: silence is said, not taken for an end.
        QCOMPARE(recording.status(0), -1);
    }
}

void RecordNotesTest::aPlainNmeaServerNamedAsGpsdGetsAHint()
{
    SocatListener peer;
    QVERIFY(
        peer.start(QStringLiteral("SYSTEM:cat '%1'; sleep 30").arg(path(QStringLiteral("log.nmea"))), true));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(peer.port());
    Recording recording({QStringLiteral("gpsd://") + address, path(QStringLiteral("plain.nmea"))});
    QCOMPARE(recording.status(5000), 2);
    QVERIFY2(recording.err().contains(
                 "cannot open gpsd://" + address.toLatin1() + ": no gpsd answers at " + address.toLatin1()
                 + " (no VERSION banner); this looks like a plain NMEA server: try tcp://"
                 + address.toLatin1() + "\n"),
             recording.err().constData());
}

void RecordNotesTest::repeatedFailuresAreSaidAtGrowingIntervals()
{
    // Takes every connection and closes it at once.
    SocatListener peer;
    QVERIFY(peer.start(QStringLiteral("SYSTEM:true"), true, 0, QStringLiteral("fork")));
    Recording recording({peer.address(), path(QStringLiteral("flapping.nmea"))});
    // Drops at 0, 5, 10, 15 and 20 s: said at 0, 5 and 15 s.
    recording.listen(22000);
    const QList<QByteArray> said = recording.errLines();
    QVERIFY2(said.size() >= 2 && said.size() <= 4, recording.err().constData());
    for (const QByteArray &line : said) {
        QVERIFY2(kNoteStart.match(QString::fromLocal8Bit(line)).hasMatch(), line.constData());
        QVERIFY2(line.contains("The peer closed the connection; trying again every 5 s"), line.constData());
    }
    // Connected is not back: no line came.
    QVERIFY(!recording.err().contains("receiving again"));
    recording.signal(SIGTERM);
    QCOMPARE(recording.status(5000), 0);
}

void RecordNotesTest::aGpsdThatDropsIsNamed()
{
    GpsFake gpsd;
    QVERIFY2(gpsd.start(path(QStringLiteral("log.nmea")), 0.1), "gpsfake did not start");
    const QString hostPort = QString(gpsd.address()).remove(QStringLiteral("gpsd://"));
    const QString out = path(QStringLiteral("gpsd-drops.nmea"));
    Recording recording({gpsd.address(), out});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(out).size() > 0, 10000);
    gpsd.stop();
    QVERIFY2(recording.errSays(
                 "gpsd at " + hostPort.toLatin1() + " closed the connection; trying again every 5 s", 5000),
             recording.err().constData());
}

void RecordNotesTest::aDeviceThatVanishesIsSaidToHaveGoneAway()
{
    PtyPair pty;
    QVERIFY2(pty.plugIn(), "socat could not make a pty pair");
    const QString out = path(QStringLiteral("vanished.nmea"));
    Recording recording({pty.programEnd(), out});
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            pty.say("$GPRMC,1*00\r\n");
            return QFileInfo(out).size() > 0;
        }(),
        5000);
    pty.unplug();
    QVERIFY2(recording.errSays(
                 pty.programEnd().toLocal8Bit() + ": the device went away; trying again every 5 s", 5000),
             recording.err().constData());
}

QTEST_GUILESS_MAIN(RecordNotesTest)
#include "navorelrecord_notes_test.moc"
