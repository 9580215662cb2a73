#pragma once
// One TCP connection at a time, driven by events on the window thread, in the
// manner the scanner expects: Connect, then arrivals, then the peer's close.
//
// Every event comes from the event loop, never from inside a call: Connect
// returns before anything happens. A close made with Close() never raises
// closed(), and once a connection is closed or replaced nothing more is
// heard of it, however late its own events would have come.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QHostInfo;
class QSocketNotifier;

namespace platform {

class Socket : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Connecting, Connected };

    explicit Socket(QObject *parent = nullptr);
    ~Socket() override;

    // Test-only: host name (lower case) -> port on 127.0.0.1, for every port
    // of that host. The map is read at each Connect; nullptr turns it off.
    void setConnectOverride(const QHash<QString, quint16> *map) { m_override = map; }

    // Closes whatever the socket was doing and starts a connection. A host
    // name holding anything but ASCII letters, digits, ".", "-" and "_"
    // fails (failed()) without any lookup.
    void Connect(const QString &host, quint16 port);
    // Sends on an open connection; ignored otherwise.
    void SendData(const QByteArray &data);
    // Everything received and not yet read.
    QByteArray GetData();
    qint64 bytesAvailable() const;
    void Close();

    State state() const { return m_state; }

    static bool isValidHostName(const QString &host);

signals:
    void connected();
    // bytesTotal: what is waiting to be read. Raised again while the reader
    // keeps reading and more is waiting.
    void dataArrival(qint64 bytesTotal);
    // The peer closed the connection (or it broke after it stood). Every
    // byte received has been offered through dataArrival before this.
    void closed();
    // The connection could not be made: a failed name lookup, a refused
    // connection, an unreachable host.
    void failed(const QString &description);

private:
    enum class Attempt { Pending, Connected, Failed };

    // Tries the addresses left in turn until one is connecting or stands.
    Attempt tryAddresses();
    // The same, from the event loop: what it comes to is told at once.
    void connectNext(quint64 generation);
    void lookedUp(quint64 generation, const QHostInfo &info);
    void onConnected(quint64 generation);
    void onWritable();
    void onReadable();
    void fail(quint64 generation, const QString &description);
    void endConnection(quint64 generation);
    void deliverPending(quint64 generation);
    void flushOutgoing();
    void dropSocket();

    const QHash<QString, quint16> *m_override = nullptr;
    // A non-blocking socket of our own: the scan makes one connection a
    // page, and a plain descriptor costs far fewer system calls than a
    // full socket object would.
    int m_fd = -1;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    int m_lookupId = -1;
    QList<QHostAddress> m_addresses;  // still to try
    quint16 m_port = 0;
    int m_lastError = 0;
    QByteArray m_in;   // received, not yet read
    QByteArray m_readBuffer;
    QByteArray m_out;  // not yet sent
    bool m_peerClosed = false;
    State m_state = State::Closed;
    quint64 m_generation = 0;  // bumped by every Connect and Close
    quint64 m_reads = 0;       // GetData calls, to tell whether the reader read
};

} // namespace platform
