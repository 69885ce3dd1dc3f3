// navorel-record surveying a stationary receiver as a user runs it: a
// simulated receiver with a known position replayed at full speed over TCP,
// a goal that ends the recording, and its figures against navorel-filter's.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "tests/net/peers.h"
#include "tests/net/recording.h"

namespace {

constexpr double kTrueLatitude = 48.1174;
constexpr double kTrueLongitude = 11.5167;

QJsonObject filterJson(const QString &log)
{
    QProcess filter;
    filter.start(QStringLiteral(NAVOREL_FILTER_BIN),
                 {QStringLiteral("--json"), QStringLiteral("--quiet"), log});
    filter.waitForFinished(30000);
    return QJsonDocument::fromJson(filter.readAllStandardOutput()).object();
}

} // namespace

class RecordSurveyTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void theGoalEndsTheRecordingWithTheFiguresOfWhatItWrote();
    void endedBeforeTheGoalIsStatus3_data();
    void endedBeforeTheGoalIsStatus3();
    void statusLinesSayTheFigures();
    void usageErrors_data();
    void usageErrors();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool startPeer(SocatListener &peer)
    {
        return peer.start(QStringLiteral("SYSTEM:cat '%1'; sleep 30").arg(path(QStringLiteral("log.nmea"))),
                          true);
    }

    QTemporaryDir m_dir;
    QByteArray m_log;
};

void RecordSurveyTest::initTestCase()
{
    m_log = QByteArray::fromStdString(
        navorel::LogGenerator::stationaryLog(4 * 3600, kTrueLatitude, kTrueLongitude));
    QVERIFY(writeFile(path(QStringLiteral("log.nmea")), m_log));
}

void RecordSurveyTest::theGoalEndsTheRecordingWithTheFiguresOfWhatItWrote()
{
    SocatListener peer;
    QVERIFY(startPeer(peer));
    const QString out = path(QStringLiteral("survey.nmea"));
    Recording recording({peer.address(), out, QStringLiteral("--until-r95"), QStringLiteral("0.25"),
                         QStringLiteral("--min-seconds"), QStringLiteral("1800"), QStringLiteral("--json")});
    QCOMPARE(recording.status(30000), 0);
    QVERIFY2(recording.err().contains("survey reached: "), recording.err().constData());

    const QList<QByteArray> written = linesOf(fileBytes(out));
    const QList<QByteArray> log = linesOf(m_log);
    QVERIFY(written.size() < log.size()); // it stopped before the log's end
    QCOMPARE(runStart(log, written), 0);

    const QJsonObject json = QJsonDocument::fromJson(recording.out()).object();
    QCOMPARE(json, filterJson(out));
    const QJsonObject uncertainty = json.value(QStringLiteral("mean_uncertainty_m")).toObject();
    QVERIFY(uncertainty.value(QStringLiteral("settled")).toBool());
    QVERIFY(uncertainty.value(QStringLiteral("r95")).toDouble() <= 0.25);
    QVERIFY(json.value(QStringLiteral("time_span_s")).toDouble() >= 1800);
    // And the mean it reached stands near the receiver's true position.
    const QJsonObject mean = json.value(QStringLiteral("mean")).toObject();
    const double north = (mean.value(QStringLiteral("lat_deg")).toDouble() - kTrueLatitude) * 111200.0;
    const double east = (mean.value(QStringLiteral("lon_deg")).toDouble() - kTrueLongitude) * 111200.0
                        * std::cos(kTrueLatitude * M_PI / 180.0);
    QVERIFY2(std::hypot(north, east) < 1.0, qPrintable(QString::number(std::hypot(north, east))));
}

void RecordSurveyTest::endedBeforeTheGoalIsStatus3_data()
{
    QTest::addColumn<QStringList>("limit");
    QTest::newRow("--lines before the goal") << QStringList{QStringLiteral("--lines"), QStringLiteral("700")};
    QTest::newRow("--seconds before the goal")
        << QStringList{QStringLiteral("--seconds"), QStringLiteral("2")};
}

void RecordSurveyTest::endedBeforeTheGoalIsStatus3()
{
    QFETCH(QStringList, limit);
    SocatListener peer;
    QVERIFY(startPeer(peer));
    const QString out = path(QStringLiteral("short-%1.nmea").arg(limit.first().mid(2)));
    // A goal no receiver reaches alone.
    Recording recording(QStringList{peer.address(), out, QStringLiteral("--until-r95"),
                                    QStringLiteral("0.001"), QStringLiteral("--json")}
                        + limit);
    QCOMPARE(recording.status(30000), 3);
    QCOMPARE(QJsonDocument::fromJson(recording.out()).object(), filterJson(out));
}

void RecordSurveyTest::statusLinesSayTheFigures()
{
    // Slowly enough that a status line falls due: 50 lines every 0.1 s.
    const QString feeder = path(QStringLiteral("slowly.sh"));
    QVERIFY(writeFile(feeder, QStringLiteral("split -l 50 --filter='cat; sleep 0.1' '%1'; sleep 30\n")
                                  .arg(path(QStringLiteral("log.nmea")))
                                  .toUtf8()));
    SocatListener peer;
    QVERIFY(peer.start(QStringLiteral("SYSTEM:sh %1").arg(feeder), true));
    Recording recording({peer.address(), path(QStringLiteral("status.nmea")), QStringLiteral("--status"),
                         QStringLiteral("--seconds"), QStringLiteral("12")});
    QVERIFY2(recording.errSays(" m (", 15000), recording.err().constData());
    QCOMPARE(recording.status(15000), 0);
    static const QRegularExpression status(QStringLiteral(
        "navorel-record: survey: [\\d,]+ fixes, \\d+:\\d\\d:\\d\\d, r95 \\d+\\.\\d{3} m \\((settled|not "
        "settled: at least that)\\)"));
    QVERIFY2(status.match(QString::fromUtf8(recording.err())).hasMatch(), recording.err().constData());
}

void RecordSurveyTest::usageErrors_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("--min-seconds without a goal")
        << QStringList{QStringLiteral("--min-seconds"), QStringLiteral("60")};
    QTest::newRow("a goal that is no distance")
        << QStringList{QStringLiteral("--until-r95"), QStringLiteral("near")};
    QTest::newRow("a goal of nothing") << QStringList{QStringLiteral("--until-r95"), QStringLiteral("0")};
    QTest::newRow("an unknown quality")
        << QStringList{QStringLiteral("--min-quality"), QStringLiteral("best")};
}

void RecordSurveyTest::usageErrors()
{
    QFETCH(QStringList, options);
    Recording recording(QStringList{QStringLiteral("tcp://127.0.0.1:1"), path(QStringLiteral("never.nmea"))}
                        + options);
    QCOMPARE(recording.status(5000), 2);
    QVERIFY(!recording.err().isEmpty());
    QVERIFY(!QFile::exists(path(QStringLiteral("never.nmea"))));
}

QTEST_GUILESS_MAIN(RecordSurveyTest)
#include "navorelrecord_survey_test.moc"
