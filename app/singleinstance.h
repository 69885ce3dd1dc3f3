#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;

// Lets one instance run per user. A second start hands its first argument
// (one path in double quotes, or nothing) to the running instance, waits
// until that instance has handled it, and ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &name = defaultName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // Per user: two users on one machine each run their own.
    static QString defaultName();

    // True when a running instance took the text over; this process then
    // ends. Otherwise this process is the first and listens from now on.
    bool handOverOrListen(const QString &text);

signals:
    // A second start arrived with its text ("\"/path/log.nmea\"" or empty).
    // The receiver answers once it has handled the text.
    void handedOver(const QString &text);

private:
    bool handOver(const QString &text);
    void acceptConnection();
    void readMessage(QLocalSocket *socket);

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

// The hand-over text for an argument: the path made absolute against this
// process's working directory, in double quotes; empty for no argument.
QString handOverText(const QString &argument);
