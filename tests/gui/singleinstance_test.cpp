#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/singleinstance.h"
#include "app/textdocument.h"
#include "tests/gui/windowrig.h"

// One program per user: a second start hands its file over and ends.
class SingleInstanceTest : public QObject
{
    Q_OBJECT

private slots:
    void secondStartHandsItsFileOver();
    void staleServerOfACrashIsReplaced();
    void handOverAnswersBeforeAnyBox();
    void socketPathIsTheUsersOwn();
    void entriesAtTheSocketPath_data();
    void entriesAtTheSocketPath();
};

void SingleInstanceTest::secondStartHandsItsFileOver()
{
    WindowRig rig;
    const QString name = QStringLiteral("navorel-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(name);
    QVERIFY(!first.handOverOrListen(QString()));
    QObject::connect(&first, &SingleInstance::handedOver, &rig.window, &MainWindow::handOver);

    const QString path = rig.writeFile(QStringLiteral("handed over.nmea"), "from the second start");
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("NAVOREL_INSTANCE"), name);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    // A relative path means the second start's own folder.
    second.setWorkingDirectory(rig.dir.path());
    second.start(QStringLiteral(NAVOREL_BIN), {QStringLiteral("handed over.nmea")});
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(rig.window.document().path(), path);
    QCOMPARE(rig.window.textArea()->bytes(), std::string("from the second start"));

    // Without an argument only the window comes forward.
    QProcess bare;
    bare.setProcessEnvironment(environment);
    bare.start(QStringLiteral(NAVOREL_BIN), {});
    QTRY_COMPARE_WITH_TIMEOUT(bare.state(), QProcess::NotRunning, 20000);
    QCOMPARE(bare.exitCode(), 0);
    QCOMPARE(rig.window.document().path(), path);

    QCOMPARE(handOverText(QString()), QString());
    QCOMPARE(handOverText(QStringLiteral("/a/b.txt")), QStringLiteral("\"/a/b.txt\""));
}

void SingleInstanceTest::staleServerOfACrashIsReplaced()
{
    // What a crashed instance leaves: a socket file nobody listens on.
    const QString name = QStringLiteral("navorel-stale-%1").arg(QCoreApplication::applicationPid());
    const QByteArray socketPath = QDir::temp().filePath(name).toLocal8Bit();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.constData(), sizeof address.sun_path - 1);
    ::unlink(socketPath.constData());
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(QString::fromLocal8Bit(socketPath)));

    SingleInstance instance(name);
    QVERIFY(!instance.handOverOrListen(QString()));
    QLocalSocket client;
    client.connectToServer(name);
    QVERIFY(client.waitForConnected(2000));
}

void SingleInstanceTest::handOverAnswersBeforeAnyBox()
{
    WindowRig rig;
    const QString name = QStringLiteral("navorel-box-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(name);
    QVERIFY(!first.handOverOrListen(QString()));
    QObject::connect(&first, &SingleInstance::handedOver, &rig.window, &MainWindow::handOver);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("NAVOREL_INSTANCE"), name);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    bool answeredBeforeTheBox = false;
    // The user reads the box long enough for the second start to be gone.
    rig.prompter.whileShown = [&] {
        answeredBeforeTheBox = second.waitForFinished(5000);
        if (!answeredBeforeTheBox) {
            second.kill();
            second.waitForFinished();
        }
        QTest::qWait(200);
    };
    const QString missing = rig.dir.filePath(QStringLiteral("missing.nmea"));
    second.start(QStringLiteral(NAVOREL_BIN), {missing});
    QTRY_COMPARE_WITH_TIMEOUT(rig.prompter.errors.size(), 1, 20000);
    QCOMPARE(rig.prompter.errors[0], QStringLiteral("Datei %1 kann nicht ge\u00F6ffnet werden").arg(missing));
    QVERIFY(answeredBeforeTheBox);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
}

void SingleInstanceTest::socketPathIsTheUsersOwn()
{
    // Per user, in a place no other user can write to.
    qunsetenv("NAVOREL_INSTANCE");
    const QString name = SingleInstance::defaultName();
    QVERIFY2(name.contains(QString::number(::geteuid())), qPrintable(name));
    QVERIFY(QFileInfo(name).isAbsolute());
}

void SingleInstanceTest::entriesAtTheSocketPath_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("listens"); // else started alone, with a word on standard error
    QTest::newRow("our file") << "our file" << true;
    QTest::newRow("our empty folder") << "our empty folder" << true;
    QTest::newRow("our folder with a file in it") << "our folder with a file in it" << false;
    QTest::newRow("another user's file") << "another user's file" << false;
}

// What lies at the socket's path: ours to replace, or left as it is.
void SingleInstanceTest::entriesAtTheSocketPath()
{
    QFETCH(QString, what);
    QFETCH(bool, listens);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("instance"));
    const QByteArray local = QFile::encodeName(path);
    if (what.endsWith(QLatin1String("file"))) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkdir(path));
        if (what.endsWith(QLatin1String("in it"))) {
            QFile file(path + QStringLiteral("/x"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
    if (what.startsWith(QLatin1String("another"))) {
        // Only root can give a file away; anyone else's run has no such file to try.
        if (::geteuid() != 0)
            QSKIP("giving a file to another user needs root: run as root to test it");
        QVERIFY(::chown(local.constData(), 65534, 65534) == 0);
    }
    const QFileInfo before(path);

    // Standard error into a file while the instance starts.
    QTemporaryFile err;
    QVERIFY(err.open());
    std::fflush(stderr);
    const int saved = ::dup(2);
    ::dup2(err.handle(), 2);
    SingleInstance first(path);
    const bool handedOver = first.handOverOrListen(QString());
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    QFile written(err.fileName());
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray said = written.readAll();

    QVERIFY(!handedOver);
    QCOMPARE(first.listening(), listens);
    QCOMPARE(said.contains(local), !listens);
    if (!listens) {
        // Left as it was, and a second start does not wait for it.
        QVERIFY(QFileInfo(path).isDir() == before.isDir() && QFileInfo::exists(path));
        QVERIFY(!SingleInstance(path).handOverOrListen(QStringLiteral("\"/x\"")));
    }
}

QTEST_MAIN(SingleInstanceTest)
#include "singleinstance_test.moc"
