#include "support/testhttpserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <vector>

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxRequestBytes = 256 * 1024;
// After our last byte we wait this long for the client to hang up, so that
// closing never turns into a reset that could eat the tail of a response.
constexpr auto kLinger = std::chrono::seconds(2);
constexpr int kMaxPollMs = 500;

int blankLineIndex(const QByteArray &data, int *terminatorLength)
{
    const int crlf = data.indexOf("\r\n\r\n");
    const int lf = data.indexOf("\n\n");
    if (crlf >= 0 && (lf < 0 || crlf < lf)) {
        *terminatorLength = 4;
        return crlf;
    }
    *terminatorLength = 2;
    return lf;
}

QString normalisedHost(QByteArray host)
{
    host = host.trimmed().toLower();
    if (host.startsWith('[')) {
        const int close = host.indexOf(']');
        if (close > 0)
            host = host.left(close + 1);
    } else {
        const int colon = host.indexOf(':');
        if (colon >= 0)
            host = host.left(colon);
    }
    return QString::fromLatin1(host);
}

bool sameName(const QByteArray &a, const char *b)
{
    return a.trimmed().compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

struct TestHttpServer::Connection {
    enum class State { Reading, Sending, Silent, Lingering };

    int fd = -1;
    State state = State::Reading;
    QByteArray in;
    QByteArray out;
    bool dead = false;
    bool closeWhenSent = false;
    bool headOnly = false;

    bool trickling = false;
    Response response;
    qsizetype trickleOffset = 0;
    Clock::time_point nextTrickle;
    Clock::time_point lingerUntil;
};

TestHttpServer::Response TestHttpServer::Response::page(const QByteArray &body, int status, const QByteArray &reason)
{
    Response r;
    r.status = status;
    r.reason = reason;
    r.body = body;
    return r;
}

TestHttpServer::Response TestHttpServer::Response::redirect(const QByteArray &location, int status)
{
    Response r;
    r.status = status;
    r.reason = status == 301 ? "Moved Permanently" : "Found";
    r.headers.append({"Location", location});
    return r;
}

TestHttpServer::TestHttpServer()
{
    m_default.status = 404;
    m_default.reason = "Not Found";
    m_default.body = "Not Found";

    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    bool ready = m_listenFd >= 0 && m_wakeFd >= 0;
    if (ready) {
        const int one = 1;
        ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        socklen_t len = sizeof addr;
        ready = ::bind(m_listenFd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0
                && ::listen(m_listenFd, 128) == 0
                && ::getsockname(m_listenFd, reinterpret_cast<sockaddr *>(&addr), &len) == 0;
        if (ready)
            m_port = ntohs(addr.sin_port);
    }
    if (!ready) {
        if (m_listenFd >= 0)
            ::close(m_listenFd);
        if (m_wakeFd >= 0)
            ::close(m_wakeFd);
        m_listenFd = m_wakeFd = -1;
        m_port = 0;
        return;
    }
    m_thread = std::thread([this] { run(); });
}

TestHttpServer::~TestHttpServer()
{
    stop();
}

void TestHttpServer::stop()
{
    std::lock_guard<std::mutex> guard(m_stopMutex);
    if (m_thread.joinable()) {
        m_stopping = true;
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    if (m_listenFd >= 0)
        ::close(m_listenFd);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    m_listenFd = m_wakeFd = -1;
}

QString TestHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

void TestHttpServer::setRoute(const QString &host, const QString &path, const Response &r)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QString key = host == QLatin1String("*") ? host : normalisedHost(host.toLatin1());
    m_routes[key][path] = r;
}

void TestHttpServer::setDefault(const Response &r)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_default = r;
}

QList<QByteArray> TestHttpServer::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

int TestHttpServer::requestCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_requests.size());
}

void TestHttpServer::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

bool TestHttpServer::waitForRequests(int n, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_requestArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [&] { return m_requests.size() >= n; });
}

void TestHttpServer::record(const QByteArray &request)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.append(request);
    }
    m_requestArrived.notify_all();
}

QByteArray TestHttpServer::headerValue(const QByteArray &request, const QByteArray &name)
{
    const QList<QByteArray> lines = request.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const int colon = line.indexOf(':');
        if (colon > 0 && sameName(line.left(colon), name.constData()))
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

QByteArray TestHttpServer::requestPath(const QByteArray &request)
{
    const int eol = request.indexOf('\n');
    const QList<QByteArray> parts = request.left(eol < 0 ? request.size() : eol).trimmed().split(' ');
    if (parts.size() < 2)
        return {};
    QByteArray target = parts[1];
    // Absolute form, as a proxy would get it.
    const int scheme = target.indexOf("://");
    if (scheme > 0 && !target.startsWith('/')) {
        const int slash = target.indexOf('/', scheme + 3);
        target = slash < 0 ? QByteArray("/") : target.mid(slash);
    }
    return target;
}

TestHttpServer::Response TestHttpServer::lookup(const QByteArray &hostHeader, const QByteArray &path) const
{
    const QString host = normalisedHost(hostHeader);
    const QString p = QString::fromLatin1(path);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const QString &h : {host, QStringLiteral("*")}) {
        const auto site = m_routes.constFind(h);
        if (site == m_routes.cend())
            continue;
        for (const QString &key : {p, QStringLiteral("*")}) {
            const auto route = site->constFind(key);
            if (route != site->cend())
                return *route;
        }
    }
    return m_default;
}

quint16 TestHttpServer::unusedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

void TestHttpServer::startResponse(Connection &c)
{
    int terminator = 0;
    const int end = blankLineIndex(c.in, &terminator);
    const QByteArray request = c.in.left(end + terminator / 2);
    const QByteArray path = requestPath(request);
    c.headOnly = request.startsWith("HEAD ");
    const Response r = lookup(headerValue(request, "Host"), path);
    record(request);

    using Mode = Response::Mode;
    if (r.mode == Mode::Silent) {
        c.state = Connection::State::Silent;
        return;
    }
    c.state = Connection::State::Sending;
    if (r.mode == Mode::RawBytes) {
        c.out = r.raw;
        c.closeWhenSent = true;
        return;
    }

    QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + r.reason + "\r\n";
    bool hasType = false, hasLength = false, hasConnection = false;
    for (const auto &[name, value] : r.headers) {
        head += name + ": " + value + "\r\n";
        hasType |= sameName(name, "Content-Type");
        hasLength |= sameName(name, "Content-Length");
        hasConnection |= sameName(name, "Connection");
    }
    if (!hasType)
        head += "Content-Type: text/html\r\n";
    if (r.mode == Mode::Chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else if (r.sendContentLength && !hasLength)
        head += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
    if (!hasConnection)
        head += "Connection: close\r\n";
    head += "\r\n";
    c.out = head;

    if (c.headOnly) {
        c.closeWhenSent = true;
        return;
    }
    switch (r.mode) {
    case Mode::Normal:
        c.out += r.body;
        c.closeWhenSent = true;
        break;
    case Mode::KeepOpen:
        c.out += r.body;
        break;
    case Mode::CloseEarly:
        c.out += r.body.left(qMax(0, r.closeAfterBytes));
        c.closeWhenSent = true;
        break;
    case Mode::Chunked: {
        const int size = qMax(1, r.chunkSize);
        for (qsizetype i = 0; i < r.body.size(); i += size) {
            const QByteArray piece = r.body.mid(i, size);
            c.out += QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n";
        }
        c.out += "0\r\n\r\n";
        c.closeWhenSent = true;
        break;
    }
    case Mode::Trickle:
        c.trickling = true;
        c.response = r;
        c.trickleOffset = 0;
        c.nextTrickle = Clock::now();
        break;
    case Mode::Silent:
    case Mode::RawBytes:
        break;
    }
}

void TestHttpServer::run()
{
    std::vector<std::unique_ptr<Connection>> conns;
    std::vector<pollfd> fds;

    while (!m_stopping) {
        const auto now = Clock::now();
        auto wake = now + std::chrono::milliseconds(kMaxPollMs);
        fds.clear();
        fds.push_back({m_wakeFd, POLLIN, 0});
        fds.push_back({m_listenFd, POLLIN, 0});
        for (const auto &c : conns) {
            short events = POLLIN;
            if (!c->out.isEmpty())
                events |= POLLOUT;
            fds.push_back({c->fd, events, 0});
            if (c->trickling && c->nextTrickle < wake)
                wake = c->nextTrickle;
            if (c->state == Connection::State::Lingering && c->lingerUntil < wake)
                wake = c->lingerUntil;
        }
        const auto waitMs = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
        if (::poll(fds.data(), fds.size(), int(std::clamp<long long>(waitMs, 0, kMaxPollMs))) < 0 && errno != EINTR)
            break;
        if (m_stopping)
            break;

        if (fds[1].revents & POLLIN) {
            for (;;) {
                const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (fd < 0)
                    break;
                auto c = std::make_unique<Connection>();
                c->fd = fd;
                conns.push_back(std::move(c));
                ++m_openConnections;
            }
        }

        // Connections accepted just now have no pollfd yet; they get one next round.
        for (size_t i = 0; i + 2 < fds.size(); ++i) {
            Connection &c = *conns[i];
            const short rev = fds[i + 2].revents;
            if (rev & (POLLIN | POLLHUP | POLLERR)) {
                char buf[16384];
                const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
                if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
                    c.dead = true;
                    continue;
                }
                if (n > 0 && c.state == Connection::State::Reading) {
                    c.in.append(buf, n);
                    int terminator = 0;
                    const int end = blankLineIndex(c.in, &terminator);
                    if (end >= 0) {
                        // Wait for a request body too, so closing never resets unread data.
                        const qint64 bodyLength =
                            headerValue(c.in.left(end), "Content-Length").toLongLong();
                        if (c.in.size() - (end + terminator) >= bodyLength)
                            startResponse(c);
                    } else if (c.in.size() > kMaxRequestBytes) {
                        c.dead = true;
                        continue;
                    }
                }
            }
        }

        const auto later = Clock::now();
        for (auto &cp : conns) {
            Connection &c = *cp;
            if (c.dead)
                continue;
            if (c.trickling && later >= c.nextTrickle) {
                const Response &r = c.response;
                const int step = qMax(1, r.trickleBytes);
                c.out += r.body.mid(c.trickleOffset, step);
                c.trickleOffset += step;
                c.nextTrickle = later + std::chrono::milliseconds(qMax(1, r.trickleIntervalMs));
                if (c.trickleOffset >= r.body.size()) {
                    c.trickling = false;
                    c.closeWhenSent = true;
                }
            }
            while (!c.out.isEmpty()) {
                const ssize_t n = ::send(c.fd, c.out.constData(), size_t(c.out.size()), MSG_NOSIGNAL);
                if (n > 0) {
                    c.out.remove(0, n);
                    continue;
                }
                if (n < 0 && (errno == EAGAIN || errno == EINTR))
                    break;
                c.dead = true;
                break;
            }
            if (c.dead)
                continue;
            if (c.state == Connection::State::Sending && c.closeWhenSent && c.out.isEmpty()) {
                ::shutdown(c.fd, SHUT_WR);
                c.state = Connection::State::Lingering;
                c.lingerUntil = later + kLinger;
            } else if (c.state == Connection::State::Lingering && later >= c.lingerUntil) {
                c.dead = true;
            }
        }

        for (auto it = conns.begin(); it != conns.end();) {
            if ((*it)->dead) {
                ::close((*it)->fd);
                --m_openConnections;
                it = conns.erase(it);
            } else {
                ++it;
            }
        }
    }

    for (const auto &c : conns) {
        ::close(c->fd);
        --m_openConnections;
    }
}

} // namespace testsupport
