#include "platform/socket.h"

#include <QHostInfo>
#include <QMetaObject>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr qsizetype kReadChunk = 64 * 1024;

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A non-blocking connection to address:port under way; -1 with errno set
// when it could not even be started.
int startConnection(const QHostAddress &address, quint16 port, bool &connectedAtOnce)
{
    connectedAtOnce = false;
    sockaddr_storage storage {};
    socklen_t length = 0;
    int family = 0;
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        auto *in = reinterpret_cast<sockaddr_in *>(&storage);
        in->sin_family = AF_INET;
        in->sin_port = htons(port);
        in->sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof(sockaddr_in);
        family = AF_INET;
    } else if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto *in6 = reinterpret_cast<sockaddr_in6 *>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, bytes.c, sizeof(bytes.c));
        in6->sin6_scope_id = address.scopeId().toUInt();
        length = sizeof(sockaddr_in6);
        family = AF_INET6;
    } else {
        errno = EAFNOSUPPORT;
        return -1;
    }
    const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr *>(&storage), length);
    } while (result < 0 && errno == EINTR);
    if (result == 0) {
        connectedAtOnce = true;
        return fd;
    }
    if (errno == EINPROGRESS)
        return fd;
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

} // namespace

Socket::Socket(QObject *parent)
    : QObject(parent)
    , m_readNotifier(new QSocketNotifier(QSocketNotifier::Read, this))
    , m_writeNotifier(new QSocketNotifier(QSocketNotifier::Write, this))
{
    connect(m_readNotifier, &QSocketNotifier::activated, this, &Socket::onReadable);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &Socket::onWritable);
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
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    // The notifiers let go of the descriptor before it is closed.
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_addresses.clear();
    m_in.clear();
    m_out.clear();
    m_peerClosed = false;
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
    m_port = port;
    if (m_override) {
        const auto it = m_override->constFind(host.toLower());
        if (it != m_override->cend()) {
            target = QStringLiteral("127.0.0.1");
            m_port = *it;
        }
    }
    if (!isValidHostName(host)) {
        // Reported from the event loop, as every event is.
        QMetaObject::invokeMethod(this, [this, gen] { fail(gen, QStringLiteral("Host not found")); },
                                  Qt::QueuedConnection);
        return;
    }

    // An address is connected to at once, so the connection is under way by
    // the time the event loop next waits; a name is looked up first. What
    // happens inside this call is passed on from the event loop.
    QHostAddress address;
    if (address.setAddress(target)) {
        m_addresses = {address};
        switch (tryAddresses()) {
        case Attempt::Pending:
            break;
        case Attempt::Connected:
            QMetaObject::invokeMethod(this, [this, gen] { onConnected(gen); }, Qt::QueuedConnection);
            break;
        case Attempt::Failed:
            QMetaObject::invokeMethod(this, [this, gen, error = errorText(m_lastError)] { fail(gen, error); },
                                      Qt::QueuedConnection);
            break;
        }
        return;
    }
    m_lookupId = QHostInfo::lookupHost(target, this, [this, gen](const QHostInfo &info) { lookedUp(gen, info); });
}

void Socket::lookedUp(quint64 generation, const QHostInfo &info)
{
    if (generation != m_generation || m_state != State::Connecting)
        return;
    m_lookupId = -1;
    m_addresses = info.addresses();
    if (info.error() != QHostInfo::NoError || m_addresses.isEmpty()) {
        fail(generation, QStringLiteral("Host not found"));
        return;
    }
    connectNext(generation);
}

void Socket::connectNext(quint64 generation)
{
    switch (tryAddresses()) {
    case Attempt::Pending:
        break;
    case Attempt::Connected:
        onConnected(generation);
        break;
    case Attempt::Failed:
        fail(generation, errorText(m_lastError));
        break;
    }
}

Socket::Attempt Socket::tryAddresses()
{
    while (!m_addresses.isEmpty()) {
        const QHostAddress address = m_addresses.takeFirst();
        bool atOnce = false;
        const int fd = startConnection(address, m_port, atOnce);
        if (fd < 0) {
            m_lastError = errno;
            continue;
        }
        m_fd = fd;
        if (atOnce)
            return Attempt::Connected;
        m_writeNotifier->setSocket(fd);
        m_writeNotifier->setEnabled(true);
        return Attempt::Pending;
    }
    return Attempt::Failed;
}

void Socket::onConnected(quint64 generation)
{
    if (generation != m_generation || m_state != State::Connecting)
        return;
    m_state = State::Connected;
    m_readNotifier->setSocket(m_fd);
    m_readNotifier->setEnabled(true);
    emit connected();
}

void Socket::fail(quint64 generation, const QString &description)
{
    if (generation != m_generation || m_state != State::Connecting)
        return;
    ++m_generation;
    dropSocket();
    m_state = State::Closed;
    emit failed(description);
}

void Socket::onWritable()
{
    if (m_fd < 0)
        return;
    if (m_state == State::Connected) {
        flushOutgoing();
        return;
    }
    // The connection under way has been made, or has failed.
    m_writeNotifier->setEnabled(false);
    const quint64 gen = m_generation;
    int error = 0;
    socklen_t length = sizeof(error);
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0)
        error = errno;
    if (error == 0) {
        onConnected(gen);
        return;
    }
    ::close(m_fd);
    m_fd = -1;
    m_lastError = error;
    connectNext(gen);
}

void Socket::SendData(const QByteArray &data)
{
    if (m_fd < 0 || m_state != State::Connected || data.isEmpty())
        return;
    m_out += data;
    flushOutgoing();
}

void Socket::flushOutgoing()
{
    while (!m_out.isEmpty()) {
        const ssize_t n = ::send(m_fd, m_out.constData(), size_t(m_out.size()), MSG_NOSIGNAL);
        if (n > 0) {
            m_out.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The rest when the connection can take it.
            m_writeNotifier->setSocket(m_fd);
            m_writeNotifier->setEnabled(true);
            return;
        }
        // A broken connection: the reading side hears of its end.
        m_out.clear();
        break;
    }
    m_writeNotifier->setEnabled(false);
}

QByteArray Socket::GetData()
{
    ++m_reads;
    QByteArray data;
    data.swap(m_in);
    return data;
}

qint64 Socket::bytesAvailable() const
{
    return m_in.size();
}

void Socket::onReadable()
{
    if (m_fd < 0 || m_state != State::Connected)
        return;
    const quint64 gen = m_generation;
    // Read through a buffer kept for the socket's life, so what is handed
    // on is only as large as what came: a page's worth of short-lived
    // oversized blocks would have the allocator give memory back to the
    // system and take it again for every page.
    if (m_readBuffer.size() != kReadChunk)
        m_readBuffer.resize(kReadChunk);
    for (;;) {
        const ssize_t n = ::read(m_fd, m_readBuffer.data(), size_t(kReadChunk));
        if (n > 0) {
            m_in.append(m_readBuffer.constData(), n);
            // A short read took what was there; the notifier tells of more.
            if (n < kReadChunk)
                break;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // The peer's close, or a connection that broke once it stood: both
        // end like a close, and what arrived is kept.
        m_peerClosed = true;
        m_readNotifier->setEnabled(false);
        break;
    }
    deliverPending(gen);
    if (gen == m_generation && m_peerClosed)
        endConnection(gen);
}

void Socket::deliverPending(quint64 generation)
{
    // Data the reader left alone is offered again only when more comes; as
    // long as it takes what it is given, whatever is waiting is offered.
    while (generation == m_generation && !m_in.isEmpty()) {
        const quint64 readsBefore = m_reads;
        emit dataArrival(m_in.size());
        if (generation != m_generation || m_reads == readsBefore)
            return;
    }
}

void Socket::endConnection(quint64 generation)
{
    if (generation != m_generation || m_state != State::Connected)
        return;
    // Closed from here on. The buffer goes with the connection; the reader
    // had its chance.
    ++m_generation;
    m_state = State::Closed;
    dropSocket();
    emit closed();
}

} // namespace platform
