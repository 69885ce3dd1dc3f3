#pragma once

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

// Looks, in the background, whether a gpsd answers at an address, so that
// the port box can offer it: gpsd greets every client at once with its
// VERSION report. Something that says anything else, refuses or keeps
// silent is no gpsd.
class GpsdProbe : public QObject
{
    Q_OBJECT

public:
    explicit GpsdProbe(QObject *parent = nullptr);

    void setAddress(const QString &host, quint16 port);
    // One look at a time; a look asked for during one is that one.
    void probe();
    // What the last look found.
    bool answers() const { return m_answers; }

    // "gpsd (localhost:2947)", as the port box lists it.
    QString entry() const;
    // "gpsd://localhost:2947", the name it opens by.
    QString sourceName() const;

signals:
    // A look found otherwise than the one before.
    void answersChanged(bool answers);

private:
    void answered(bool answers);

    QTcpSocket m_socket;
    QTimer m_silence;
    QString m_host = QStringLiteral("localhost");
    quint16 m_port = 2947;
    bool m_answers = false;
    bool m_probing = false;
};
