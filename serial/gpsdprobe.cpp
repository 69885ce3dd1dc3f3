#include "serial/gpsdprobe.h"

namespace {

// gpsd greets every client at once; a host that says nothing so long is not one.
constexpr int kGpsdProbeMs = 2000;

} // namespace

GpsdProbe::GpsdProbe(QObject *parent) : QObject(parent)
{
    m_silence.setSingleShot(true);
    m_silence.setInterval(kGpsdProbeMs);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
        if (m_socket.canReadLine())
            answered(m_socket.readLine().startsWith("{\"class\":\"VERSION\""));
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this] { answered(false); });
    connect(&m_silence, &QTimer::timeout, this, [this] { answered(false); });
}

void GpsdProbe::setAddress(const QString &host, quint16 port)
{
    m_host = host;
    m_port = port;
}

QString GpsdProbe::entry() const
{
    return QStringLiteral("gpsd (%1:%2)").arg(m_host).arg(m_port);
}

QString GpsdProbe::sourceName() const
{
    return QStringLiteral("gpsd://%1:%2").arg(m_host).arg(m_port);
}

void GpsdProbe::probe()
{
    if (m_probing)
        return;
    m_probing = true;
    m_socket.connectToHost(m_host, m_port);
    m_silence.start();
}

void GpsdProbe::answered(bool answers)
{
    // The first answer counts; the closing of the probe is none.
    if (!m_probing)
        return;
    m_probing = false;
    m_silence.stop();
    m_socket.abort();
    if (answers == m_answers)
        return;
    m_answers = answers;
    emit answersChanged(answers);
}
