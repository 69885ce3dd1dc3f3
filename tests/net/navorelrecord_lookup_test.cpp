// navorel-record and a name server that never answers, set up in a network
// and mount namespace of the test's own. Where user namespaces are not
// allowed the test says it is skipped.

#include <QTemporaryDir>
#include <QTest>

#include "tests/net/peers.h"

class RecordLookupTest : public QObject
{
    Q_OBJECT

private slots:
    void aNameLookupThatNeverAnswersIsNamed();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void RecordLookupTest::aNameLookupThatNeverAnswersIsNamed()
{
    // A name server that takes the question and never answers, in a network
    // and mount namespace of the test's own: its resolv.conf names it.
    if (QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("-rmn"), QStringLiteral("true")}) != 0)
        QSKIP("no user namespaces here: a name server that never answers cannot be set up");
    const QString resolvConf = path(QStringLiteral("resolv.conf"));
    QVERIFY(writeFile(resolvConf, "nameserver 127.0.0.1\noptions timeout:20 attempts:1\n"));
    const QString script =
        QStringLiteral("ip link set lo up && mount --bind '%1' /etc/resolv.conf && "
                       "{ socat -u UDP-RECV:53,bind=127.0.0.1 /dev/null & server=$!; sleep 0.3; "
                       "'%2' tcp://receiver.example:10110 '%3'; status=$?; kill $server; exit $status; }")
            .arg(resolvConf, QStringLiteral(NAVOREL_RECORD_BIN), path(QStringLiteral("lookup.nmea")));
    PeerProcess shell;
    QVERIFY(shell.start(QStringLiteral("unshare"),
                        {QStringLiteral("-rmn"), QStringLiteral("sh"), QStringLiteral("-c"), script}));
    // Given up after the 10 s a peer gets, not when the resolver gives up.
    QVERIFY2(shell.process().waitForFinished(16000), "still waiting for the name server");
    QCOMPARE(shell.process().exitCode(), 2);
    const QByteArray said = shell.process().readAll();
    QVERIFY2(said.contains("cannot open tcp://receiver.example:10110: cannot look up receiver.example: "
                           "no answer from the name server"),
             said.constData());
}

QTEST_GUILESS_MAIN(RecordLookupTest)
#include "navorelrecord_lookup_test.moc"
