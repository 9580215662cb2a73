#include "platform/socket.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QMetaObject>

namespace platform {

Socket::Socket(QObject *parent)
    : QObject(parent)
{
}

Socket::~Socket()
{
    dropSocket();
}

bool Socket::isValidHostName(const QString &host)
{
    if (host.isEmpty())
        return false;
    for (const QChar c : host) {
        const ushort u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.'
                        || u == '-' || u == '_';
        if (!ok)
            return false;
    }
    return true;
}

void Socket::dropSocket()
{
    if (!m_sock)
        return;
    QTcpSocket *sock = m_sock;
    m_sock = nullptr;
    // Nothing of the old connection may reach us any more.
    QObject::disconnect(sock, nullptr, this, nullptr);
    sock->abort();
    sock->deleteLater();
}

void Socket::Close()
{
    ++m_generation;
    dropSocket();
    m_state = State::Closed;
}

void Socket::Connect(const QString &host, quint16 port)
{
    Close();
    const quint64 gen = m_generation;
    m_state = State::Connecting;

    QString target = host;
    quint16 targetPort = port;
    if (m_override) {
        const auto it = m_override->constFind(host.toLower());
        if (it != m_override->cend()) {
            target = QHostAddress(QHostAddress::LocalHost).toString();
            targetPort = *it;
        }
    }
    if (!isValidHostName(host)) {
        // Reported from the event loop, as every event is.
        QMetaObject::invokeMethod(this, [this, gen] { refuse(gen); }, Qt::QueuedConnection);
        return;
    }

    // Started at once, so the connection is under way by the time the event
    // loop next waits. What the socket reports from inside connectToHost
    // (a connection to loopback can stand, or be refused, at once) is read
    // from its state afterwards and passed on from the event loop: no event
    // may come from inside Connect.
    auto *sock = new QTcpSocket(this);
    m_sock = sock;
    sock->connectToHost(target, targetPort);
    connect(sock, &QTcpSocket::connected, this, [this, gen] { onConnected(gen); });
    connect(sock, &QTcpSocket::readyRead, this, [this, gen] { onReadyRead(gen); });
    connect(sock, &QTcpSocket::disconnected, this, [this, gen] { onPeerClosed(gen); });
    connect(sock, &QTcpSocket::errorOccurred, this,
            [this, gen](QAbstractSocket::SocketError) { onError(gen); });
    if (sock->state() == QAbstractSocket::ConnectedState)
        QMetaObject::invokeMethod(this, [this, gen] { onConnected(gen); }, Qt::QueuedConnection);
    else if (sock->state() == QAbstractSocket::UnconnectedState)
        QMetaObject::invokeMethod(this, [this, gen] { onError(gen); }, Qt::QueuedConnection);
}

void Socket::onConnected(quint64 generation)
{
    if (generation != m_generation || m_state != State::Connecting)
        return;
    m_state = State::Connected;
    emit connected();
    // Data that came with the connection, before readyRead was listened to.
    if (generation == m_generation && m_sock && m_sock->bytesAvailable() > 0)
        deliverPending(generation);
}

void Socket::refuse(quint64 generation)
{
    if (generation != m_generation || m_state != State::Connecting)
        return;
    ++m_generation;
    dropSocket();
    m_state = State::Closed;
    emit failed(QStringLiteral("Host not found"));
}

void Socket::SendData(const QByteArray &data)
{
    if (m_sock && m_state == State::Connected) {
        m_sock->write(data);
        // Out now rather than at the next turn of the event loop.
        m_sock->flush();
    }
}

QByteArray Socket::GetData()
{
    ++m_reads;
    return m_sock ? m_sock->readAll() : QByteArray();
}

qint64 Socket::bytesAvailable() const
{
    return m_sock ? m_sock->bytesAvailable() : 0;
}

void Socket::deliverPending(quint64 generation)
{
    // The socket does not announce data that came in while its reader was
    // still busy with the previous arrival, so offer it again as long as the
    // reader takes what it is given.
    while (generation == m_generation && m_sock && m_sock->bytesAvailable() > 0) {
        const quint64 readsBefore = m_reads;
        emit dataArrival(m_sock->bytesAvailable());
        if (generation != m_generation || m_reads == readsBefore)
            return;
    }
}

void Socket::onReadyRead(quint64 generation)
{
    if (generation != m_generation || m_state != State::Connected)
        return;
    deliverPending(generation);
}

void Socket::onPeerClosed(quint64 generation)
{
    if (generation != m_generation || m_state != State::Connected)
        return;
    deliverPending(generation);
    if (generation != m_generation)
        return;
    // Closed from here on: a second signal for the same end is not heard.
    ++m_generation;
    m_state = State::Closed;
    // The buffer is gone with the socket; the reader had its chance above.
    dropSocket();
    emit closed();
}

void Socket::onError(quint64 generation)
{
    if (generation != m_generation)
        return;
    if (m_state == State::Connecting) {
        const QString description = m_sock ? m_sock->errorString() : QString();
        ++m_generation;
        dropSocket();
        m_state = State::Closed;
        emit failed(description);
        return;
    }
    if (m_state == State::Connected) {
        // The peer's close, or a connection that broke once it stood: both
        // end like a close, and what arrived is kept.
        onPeerClosed(generation);
    }
}

} // namespace platform
