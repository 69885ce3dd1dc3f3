// Records a generated receiver log sent as fast as a pty takes it, and
// watches whether the window's event loop keeps answering meanwhile.

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <thread>
#include <unistd.h>

#include "tests/gui/ptypair.h"
#include "tests/gui/serialrig.h"
#include "tools/loggenerator.h"

namespace {

constexpr int kLogSeconds = 10 * 60;
constexpr int kProbeIntervalMs = 2;
// Far beyond anything seen; only catches a loop that stops answering.
constexpr qint64 kLongestBearableGapMs = 2000;

// Writes the whole log into the device end from a thread of its own, as a
// receiver on a fast line would, blocking whenever the pty is full.
void writeAll(const QString &device, const std::string &log)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
    if (fd < 0)
        return;
    std::size_t done = 0;
    while (done < log.size()) {
        const ssize_t written = ::write(fd, log.data() + done, log.size() - done);
        if (written <= 0)
            break;
        done += static_cast<std::size_t>(written);
    }
    ::close(fd);
}

} // namespace

class SerialRecordingTest : public QObject
{
    Q_OBJECT

private slots:
    void tenMinutesOfLogArriveWholeWhileTheWindowAnswers();
};

void SerialRecordingTest::tenMinutesOfLogArriveWholeWhileTheWindowAnswers()
{
    std::string log;
    navorel::LogGenerator generator(navorel::LogGenerator::Options{});
    for (int second = 0; second < kLogSeconds; ++second)
        generator.appendSecond(log);
    const std::size_t expectedLines = static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n'));

    PtyPair pty;
    QVERIFY2(pty.plugIn(), "socat could not make a pty pair");
    SerialRig rig;
    rig.window.show();
    rig.setPortText(pty.programEnd());
    rig.settings.setValue(navorel::SettingKey::Baud, 10); // 115200
    rig.receiveCommand();
    QVERIFY(rig.transfer.receiving());

    qint64 longestGapMs = 0;
    QElapsedTimer sinceLastTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { longestGapMs = std::max(longestGapMs, sinceLastTick.restart()); });
    sinceLastTick.start();
    probe.start(kProbeIntervalMs);

    QElapsedTimer recording;
    recording.start();
    std::thread writer(writeAll, pty.deviceEnd(), log);
    QTRY_VERIFY_WITH_TIMEOUT(rig.text().lineCount() >= expectedLines, 120000);
    const qint64 elapsedMs = recording.elapsed();
    probe.stop();
    writer.join();

    rig.receiveCommand();
    // Every line, in order, byte for byte; the last line end leaves nothing behind.
    QCOMPARE(rig.text().lineCount(), expectedLines);
    QVERIFY(rig.text().bytes() + "\r\n" == log);
    QVERIFY(rig.transfer.partialLine().empty());
    QVERIFY(rig.prompter.systemErrors.isEmpty());

    qInfo("%zu lines (%zu bytes) in %lld ms: %.0f lines/s; longest gap between %d ms ticks: %lld ms",
          expectedLines, log.size(), elapsedMs, expectedLines * 1000.0 / std::max<qint64>(elapsedMs, 1),
          kProbeIntervalMs, longestGapMs);
    QVERIFY2(longestGapMs < kLongestBearableGapMs, qPrintable(QString::number(longestGapMs)));
}

QTEST_MAIN(SerialRecordingTest)
#include "serial_recording_test.moc"
