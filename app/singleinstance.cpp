#include "app/singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

// A message ends in a NUL byte, as a path never holds one.
constexpr char kEnd = '\0';
constexpr int kConnectMs = 500;
// Opening a big log in the running instance takes its time.
constexpr int kHandledMs = 60000;
constexpr qsizetype kLongestMessage = 65536;

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
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QString::number(QDir::home().absolutePath().size());
    return QStringLiteral("Navorel-") + user;
}

bool SingleInstance::handOverOrListen(const QString &text)
{
    // The lock closes the race of two starts at once: only one of them can
    // find no server and become it.
    m_lock = std::make_unique<QLockFile>(QDir::temp().filePath(m_name + QStringLiteral(".lock")));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(10000))
        return handOver(text);
    if (handOver(text)) {
        m_lock->unlock();
        return true;
    }
    // Nobody answered: a server left by a crashed instance is stale.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const bool listening = m_server->listen(m_name);
    m_lock->unlock();
    if (listening)
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
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
    // The running instance answers once it has opened the file.
    while (!socket.bytesAvailable() && socket.state() == QLocalSocket::ConnectedState) {
        if (!socket.waitForReadyRead(kHandledMs))
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
    emit handedOver(QString::fromUtf8(message.left(end)));
    // The second start waits for this before it ends.
    socket->write(QByteArray(1, kEnd));
    socket->flush();
    socket->disconnectFromServer();
}
