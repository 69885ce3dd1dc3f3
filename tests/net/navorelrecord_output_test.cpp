// navorel-record's OUT as a user meets it: a pipe whose reader goes away or
// stops reading, a file deleted or moved while recording, a full disk, and
// the exit statuses its help, its man page and the README give.

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/stat.h>

#include "tests/net/peers.h"
#include "tests/net/recording.h"

namespace {

// The exit statuses a text names in its list after "Exit status:".
QSet<int> statusesAfter(const QString &text)
{
    QSet<int> statuses;
    const qsizetype start = text.indexOf(QStringLiteral("Exit status:"));
    if (start < 0)
        return statuses;
    qsizetype end = text.indexOf(QStringLiteral("\n\n"), start);
    const QString paragraph = text.mid(start, end < 0 ? -1 : end - start);
    static const QRegularExpression listed(QStringLiteral("(?:Exit status:|,)\\s+(\\d)\\s"));
    for (const QRegularExpressionMatch &match : listed.globalMatch(paragraph))
        statuses.insert(match.captured(1).toInt());
    return statuses;
}

QSet<int> manPageStatuses(const QString &page)
{
    QSet<int> statuses;
    const qsizetype start = page.indexOf(QStringLiteral(".SH EXIT STATUS"));
    const qsizetype end = page.indexOf(QStringLiteral(".SH"), start + 1);
    static const QRegularExpression entry(QStringLiteral("^\\.TP\\n(\\d)$"),
                                          QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &match : entry.globalMatch(page.mid(start, end - start)))
        statuses.insert(match.captured(1).toInt());
    return statuses;
}

} // namespace

class RecordOutputTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void aReaderThatGoesAwayEndsTheRecording_data();
    void aReaderThatGoesAwayEndsTheRecording();
    void aStopEndsAWriteThatWaitsForAReader_data();
    void aStopEndsAWriteThatWaitsForAReader();
    void aDeletedOutIsOpenedAnewAndLosesNothing();
    void sighupOpensOutAnew();
    void exitStatusesAreTheDocumentedOnes_data();
    void exitStatusesAreTheDocumentedOnes();
    void helpManPageAndReadmeNameTheSameExitStatuses();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A peer that sends the whole log at once and keeps the connection.
    bool startFastPeer(SocatListener &peer);
    // A peer that sends the short log a line every 20 ms.
    bool startSlowPeer(SocatListener &peer);

    QTemporaryDir m_dir;
    QByteArray m_log;      // far more than a pipe holds
    QByteArray m_shortLog; // a few seconds when sent slowly
};

void RecordOutputTest::initTestCase()
{
    m_log = generatedLog(10 * 60);
    QVERIFY(m_log.size() > 256 * 1024);
    QVERIFY(writeFile(path(QStringLiteral("log.nmea")), m_log));
    m_shortLog = generatedLog(40, 3);
    QVERIFY(writeFile(path(QStringLiteral("short.nmea")), m_shortLog));
}

bool RecordOutputTest::startFastPeer(SocatListener &peer)
{
    return peer.start(QStringLiteral("SYSTEM:cat '%1'; sleep 30").arg(path(QStringLiteral("log.nmea"))),
                      true);
}

bool RecordOutputTest::startSlowPeer(SocatListener &peer)
{
    return peer.start(
        QStringLiteral("SYSTEM:while IFS= read -r l; do echo \"$l\"; sleep 0.02; done < '%1'; sleep 30")
            .arg(path(QStringLiteral("short.nmea"))),
        true);
}

void RecordOutputTest::aReaderThatGoesAwayEndsTheRecording_data()
{
    QTest::addColumn<bool>("throughStdout");
    QTest::newRow("a FIFO") << false;
    QTest::newRow("/dev/stdout into a pipe") << true;
}

void RecordOutputTest::aReaderThatGoesAwayEndsTheRecording()
{
    QFETCH(bool, throughStdout);
    SocatListener peer;
    QVERIFY(startFastPeer(peer));
    if (throughStdout) {
        // As typed: navorel-record tcp://... /dev/stdout | head -c 300
        const QString said = path(QStringLiteral("stdout.err"));
        PeerProcess shell;
        QVERIFY(shell.start(
            QStringLiteral("bash"),
            {QStringLiteral("-c"), QStringLiteral("'%1' %2 /dev/stdout 2>'%3' | head -c 300 >/dev/null; "
                                                  "exit ${PIPESTATUS[0]}")
                                       .arg(QStringLiteral(NAVOREL_RECORD_BIN), peer.address(), said)}));
        QVERIFY2(shell.process().waitForFinished(10000), "navorel-record went on after its reader ended");
        QCOMPARE(shell.process().exitCode(), 1);
        QVERIFY2(fileBytes(said).contains("cannot write /dev/stdout: nobody reads it any more"),
                 fileBytes(said).constData());
        return;
    }
    const QString fifo = path(QStringLiteral("reader-goes.fifo"));
    QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    PeerProcess reader;
    QVERIFY(reader.start(QStringLiteral("sh"),
                         {QStringLiteral("-c"), QStringLiteral("head -c 300 '%1' >/dev/null").arg(fifo)}));
    Recording recording({peer.address(), fifo});
    QCOMPARE(recording.status(10000), 1);
    QVERIFY2(recording.err().contains("cannot write " + fifo.toLocal8Bit() + ": nobody reads it any more"),
             recording.err().constData());
}

void RecordOutputTest::aStopEndsAWriteThatWaitsForAReader_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void RecordOutputTest::aStopEndsAWriteThatWaitsForAReader()
{
    QFETCH(int, signal);
    SocatListener peer;
    QVERIFY(startFastPeer(peer));
    const QString fifo = path(QStringLiteral("stalled-%1.fifo").arg(signal));
    QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    // Holds the FIFO open for reading and reads nothing: the pipe fills.
    PeerProcess reader;
    QVERIFY(reader.start(QStringLiteral("sh"),
                         {QStringLiteral("-c"), QStringLiteral("exec 3<'%1'; sleep 60").arg(fifo)}));
    Recording recording({peer.address(), fifo});
    recording.listen(2000);
    recording.signal(signal);
    // Lines that never reached a reader: not an end as asked.
    QCOMPARE(recording.status(5000), 1);
    QVERIFY2(recording.err().contains("stopped while " + fifo.toLocal8Bit() + " took no more"),
             recording.err().constData());
}

void RecordOutputTest::aDeletedOutIsOpenedAnewAndLosesNothing()
{
    const QList<QByteArray> log = linesOf(m_shortLog);
    SocatListener peer;
    QVERIFY(startSlowPeer(peer));
    const QString out = path(QStringLiteral("deleted.nmea"));
    Recording recording({peer.address(), out, QStringLiteral("--lines"), QString::number(log.size())});
    QTRY_VERIFY_WITH_TIMEOUT(linesOf(fileBytes(out)).size() > 50, 10000);
    const QList<QByteArray> before = linesOf(fileBytes(out));
    QVERIFY(QFile::remove(out));

    QCOMPARE(recording.status(30000), 0);
    QVERIFY2(recording.err().contains(out.toLocal8Bit() + " was deleted while recording"),
             recording.err().constData());
    // The new file holds every line from where the deleted one ended, some
    // of the last second perhaps twice.
    const QList<QByteArray> after = linesOf(fileBytes(out));
    QVERIFY2(!after.isEmpty(), "no new file");
    QCOMPARE(after.back(), log.back());
    const qsizetype start = runStart(log, after);
    QVERIFY2(start >= 0, "lines changed or missing in the new file");
    QVERIFY2(start <= before.size(),
             qPrintable(QStringLiteral("lines %1 to %2 lost").arg(before.size()).arg(start)));
}

void RecordOutputTest::sighupOpensOutAnew()
{
    SocatListener peer;
    QVERIFY(startSlowPeer(peer));
    const QString out = path(QStringLiteral("rotated.nmea"));
    const QString rotated = out + QStringLiteral(".1");
    Recording recording(
        {peer.address(), out, QStringLiteral("--lines"), QString::number(linesOf(m_shortLog).size())});
    QTRY_VERIFY_WITH_TIMEOUT(linesOf(fileBytes(out)).size() > 50, 10000);
    // As logrotate does: move the file away, then tell the program.
    QVERIFY(QFile::rename(out, rotated));
    recording.signal(SIGHUP);

    QCOMPARE(recording.status(30000), 0);
    QVERIFY2(recording.err().contains(out.toLocal8Bit() + " opened anew"), recording.err().constData());
    QVERIFY(fileBytes(out).size() > 0);
    QVERIFY(fileBytes(rotated) + fileBytes(out) == m_shortLog);
}

void RecordOutputTest::exitStatusesAreTheDocumentedOnes_data()
{
    QTest::addColumn<QString>("out");
    QTest::addColumn<bool>("silentSource");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("said");
    QTest::newRow("a full disk") << QStringLiteral("/dev/full") << false << 1
                                 << QByteArray("cannot write /dev/full: No space left on device");
    QTest::newRow("stopped before the source ever opened")
        << path(QStringLiteral("never.nmea")) << true << 2 << QByteArray("stopped before tcp://127.0.0.1:");
    QTest::newRow("stopped while a FIFO waits for its reader")
        << path(QStringLiteral("unread.fifo")) << true << 2
        << QByteArray("stopped while waiting for a reader");
}

void RecordOutputTest::exitStatusesAreTheDocumentedOnes()
{
    QFETCH(QString, out);
    QFETCH(bool, silentSource);
    QFETCH(int, status);
    QFETCH(QByteArray, said);
    if (out.endsWith(QStringLiteral(".fifo")))
        QCOMPARE(::mkfifo(out.toLocal8Bit().constData(), 0600), 0);
    SilentPort silent;
    SocatListener peer;
    QString source = QStringLiteral("tcp://127.0.0.1:%1").arg(silent.port());
    if (!silentSource) {
        QVERIFY(startFastPeer(peer));
        source = peer.address();
    }
    Recording recording({source, out});
    if (silentSource) {
        recording.listen(1000);
        recording.signal(SIGTERM);
    }
    QCOMPARE(recording.status(5000), status);
    QVERIFY2(recording.err().contains(said), recording.err().constData());
}

void RecordOutputTest::helpManPageAndReadmeNameTheSameExitStatuses()
{
    QProcess help;
    help.start(QStringLiteral(NAVOREL_RECORD_BIN), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(5000));
    QFile manPage(QStringLiteral(NAVOREL_SOURCE_DIR "/docs/man/navorel-record.1"));
    QFile readme(QStringLiteral(NAVOREL_SOURCE_DIR "/README.md"));
    QVERIFY(manPage.open(QIODevice::ReadOnly) && readme.open(QIODevice::ReadOnly));
    const QString readmeText = QString::fromUtf8(readme.readAll());
    const QString recorderPart =
        readmeText.mid(readmeText.indexOf(QStringLiteral("**Recording without a window.**")));
    const QSet<int> all{0, 1, 2, 3};
    QCOMPARE(statusesAfter(QString::fromUtf8(help.readAllStandardOutput())), all);
    QCOMPARE(manPageStatuses(QString::fromUtf8(manPage.readAll())), all);
    QCOMPARE(statusesAfter(recorderPart), all);
}

QTEST_GUILESS_MAIN(RecordOutputTest)
#include "navorelrecord_output_test.moc"
