#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;

// Lets one instance run per user. A second start hands its first argument
// (one path in double quotes, or nothing) to the running instance, waits
// until that instance has taken it, and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &name = defaultName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // A socket path in the user's private runtime folder, named after the
    // user's id: another user or program cannot take or block it.
    static QString defaultName();

    // True when a running instance took the text over; this process then
    // ends. Otherwise this process is the first and listens from now on,
    // or, when it cannot listen, runs alone and says so on standard error.
    bool handOverOrListen(const QString &text);
    bool listening() const;

signals:
    // A second start arrived with its text ("\"/path/log.nmea\"" or empty).
    // Emitted from the event loop after the second start has had its answer
    // and its connection is released, so that a message box shown while
    // handling the text never meets a socket that is gone.
    void handedOver(const QString &text);

private:
    bool handOver(const QString &text);
    bool listen();
    void acceptConnection();
    void readMessage(QLocalSocket *socket);

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

// The hand-over text for an argument: the path made absolute against this
// process's working directory, in double quotes; empty for no argument.
QString handOverText(const QString &argument);
