#pragma once
// Scripted HTTP server on 127.0.0.1 for tests. It runs on its own thread with
// plain sockets, so it answers while the test thread is blocked in a
// synchronous fetch as well as while it spins a Qt event loop. Several named
// sites share one port; the request's Host header picks the site.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace testsupport {

class TestHttpServer {
public:
    struct Response {
        enum class Mode {
            Normal,      // whole response, then close
            Silent,      // read the request, answer nothing, keep the socket open
            Trickle,     // headers, then trickleBytes every trickleIntervalMs
            CloseEarly,  // headers and closeAfterBytes of the body, then close
            Chunked,     // Transfer-Encoding: chunked, chunkSize bytes a chunk
            RawBytes,    // exactly `raw`, then close
            KeepOpen,    // whole response, then keep the socket open
        };
        Mode mode = Mode::Normal;
        int status = 200;
        QByteArray reason = "OK";
        // Extra headers. A Content-Type, Content-Length or Connection given
        // here replaces the one the server would add.
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        bool sendContentLength = true;
        int trickleBytes = 1;
        int trickleIntervalMs = 200;
        int chunkSize = 7;
        int closeAfterBytes = 0;
        QByteArray raw;

        static Response page(const QByteArray &body, int status = 200, const QByteArray &reason = "OK");
        static Response redirect(const QByteArray &location, int status = 302);
    };

    // Starts listening on an ephemeral loopback port right away.
    TestHttpServer();
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer &) = delete;
    TestHttpServer &operator=(const TestHttpServer &) = delete;

    quint16 port() const { return m_port; }  // 0 if the socket could not be set up
    // "http://127.0.0.1:PORT" + path.
    QString url(const QString &path = QStringLiteral("/")) const;

    // Host is matched without case and without ":port"; "*" matches any host.
    // Path is matched exactly, query included; "*" matches any path.
    // Lookup order: host+path, host+"*", "*"+path, "*"+"*", then the default.
    void setRoute(const QString &host, const QString &path, const Response &r);
    void setDefault(const Response &r);  // 404 "Not Found" unless set

    // Request line and headers of every request, in arrival order, each
    // header line ending in CRLF, without the empty line.
    QList<QByteArray> requests() const;
    int requestCount() const;
    void clearRequests();
    // Blocks up to timeoutMs for at least n recorded requests.
    bool waitForRequests(int n, int timeoutMs) const;
    int openConnections() const { return m_openConnections.load(); }

    // Value of a header in a recorded request ("" if absent), name without case.
    static QByteArray headerValue(const QByteArray &request, const QByteArray &name);
    // Request target of a recorded request, e.g. "/x?y=1".
    static QByteArray requestPath(const QByteArray &request);

    // Closes every connection, silent and trickling ones included, and joins
    // the thread. Also done by the destructor.
    void stop();

    // A loopback port with nothing listening, for refused-connection tests.
    static quint16 unusedPort();

private:
    struct Connection;
    void run();
    Response lookup(const QByteArray &hostHeader, const QByteArray &path) const;
    void startResponse(Connection &c);
    void record(const QByteArray &request);

    int m_listenFd = -1;
    int m_wakeFd = -1;
    quint16 m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_openConnections{0};
    std::mutex m_stopMutex;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_requestArrived;
    QHash<QString, QHash<QString, Response>> m_routes;  // host -> path -> response
    Response m_default;
    QList<QByteArray> m_requests;
};

} // namespace testsupport
