#include "app/singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A message ends in a NUL byte, as a path never holds one.
constexpr char kEnd = '\0';
constexpr int kConnectMs = 500;
// The running instance answers as soon as it has read the text; it may be
// busy for a while (loading a big log) before it gets to read it.
constexpr int kAnswerMs = 10000;
constexpr int kLockMs = 10000;
constexpr qsizetype kLongestMessage = 65536;

// Where the server's socket lives: Qt puts a name without a folder in the
// temporary folder.
QString socketPath(const QString &name)
{
    return QFileInfo(name).isAbsolute() ? name : QDir::temp().filePath(name);
}

// Something at the socket's path that no instance answers on: a socket
// left by a crash, or a file or empty folder put there. Only our own is
// removed; another user's entry is never touched.
void removeStale(const QString &name)
{
    const QByteArray path = QFile::encodeName(socketPath(name));
    struct stat info
    {};
    if (::lstat(path.constData(), &info) != 0 || info.st_uid != ::geteuid())
        return;
    if (S_ISDIR(info.st_mode))
        ::rmdir(path.constData());
    else
        ::unlink(path.constData());
}

} // namespace

QString handOverText(const QString &argument)
{
    if (argument.isEmpty())
        return {};
    // A relative path means the second start's folder, not the first's.
    return QLatin1Char('"') + QFileInfo(argument).absoluteFilePath() + QLatin1Char('"');
}

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent), m_name(name) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    // Tests run their own instances beside a user's.
    const QString chosen = qEnvironmentVariable("NAVOREL_INSTANCE");
    if (!chosen.isEmpty())
        return chosen;
    const QString file = QStringLiteral("navorel-%1.socket").arg(::geteuid());
    // Qt makes the runtime folder private to the user (mode 0700).
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString inRuntime = QDir(runtime).filePath(file);
    if (!runtime.isEmpty() && QFile::encodeName(inRuntime).size() < qsizetype(sizeof(sockaddr_un::sun_path)))
        return inRuntime;
    return QDir::temp().filePath(file);
}

bool SingleInstance::listening() const
{
    return m_server != nullptr && m_server->isListening();
}

bool SingleInstance::handOverOrListen(const QString &text)
{
    // The lock closes the race of two starts at once: only one of them can
    // find no server and become it.
    m_lock = std::make_unique<QLockFile>(socketPath(m_name) + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    const bool locked = m_lock->tryLock(kLockMs);
    if (handOver(text)) {
        if (locked)
            m_lock->unlock();
        return true;
    }
    listen();
    if (locked)
        m_lock->unlock();
    return false;
}

bool SingleInstance::listen()
{
    // Nobody answered: whatever is at the path is stale.
    removeStale(m_name);
    m_server = new QLocalServer(this);
    if (m_server->listen(m_name)) {
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
        return true;
    }
    // A second start then opens a window of its own; say why.
    std::fprintf(stderr, "navorel: runs without a single-instance guard: cannot listen on %s: %s\n",
                 qPrintable(QDir::toNativeSeparators(socketPath(m_name))),
                 qPrintable(m_server->errorString()));
    return false;
}

bool SingleInstance::handOver(const QString &text)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    QByteArray message = text.toUtf8();
    message.append(kEnd);
    socket.write(message);
    if (!socket.waitForBytesWritten(kConnectMs))
        return false;
    // The answer says the running instance has the text.
    while (!socket.bytesAvailable() && socket.state() == QLocalSocket::ConnectedState) {
        if (!socket.waitForReadyRead(kAnswerMs))
            break;
    }
    return true;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        if (socket->bytesAvailable() > 0)
            readMessage(socket);
    }
}

void SingleInstance::readMessage(QLocalSocket *socket)
{
    QByteArray message = socket->property("message").toByteArray() + socket->readAll();
    const qsizetype end = message.indexOf(kEnd);
    if (end < 0) {
        if (message.size() > kLongestMessage)
            socket->disconnectFromServer();
        else
            socket->setProperty("message", message);
        return;
    }
    socket->setProperty("message", QByteArray());
    const QString text = QString::fromUtf8(message.left(end));
    // Answer and let go first: a second start that has already given up
    // is not written to, and nothing touches the socket after this.
    if (socket->state() == QLocalSocket::ConnectedState) {
        socket->write(QByteArray(1, kEnd));
        socket->flush();
        socket->disconnectFromServer();
    }
    QTimer::singleShot(0, this, [this, text] { emit handedOver(text); });
}
