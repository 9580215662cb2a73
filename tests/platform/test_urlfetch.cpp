#include "platform/urlfetch.h"
#include "support/testhttpserver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using platform::FetchOptions;
using platform::FetchResult;
using platform::fetchUrl;
using testsupport::TestHttpServer;
using Response = TestHttpServer::Response;

namespace {

// Short limits so a broken fetch fails the test instead of stalling it.
FetchOptions quickOptions()
{
    FetchOptions o;
    o.connectTimeoutSec = 5;
    o.idleTimeoutSec = 5;
    o.totalTimeoutSec = 20;
    return o;
}

QByteArray binaryBody(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 131 + i / 7) & 0xff);
    return b;
}

Response trickle(const QByteArray &body, int intervalMs)
{
    Response r = Response::page(body);
    r.mode = Response::Mode::Trickle;
    r.trickleBytes = 1;
    r.trickleIntervalMs = intervalMs;
    return r;
}

class UrlFetch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(server.port(), 0); }
    FetchOptions overrideFor(std::initializer_list<const char *> hosts)
    {
        FetchOptions o = quickOptions();
        for (const char *h : hosts)
            o.connectOverride.insert(QString::fromLatin1(h), server.port());
        return o;
    }
    TestHttpServer server;
};

} // namespace

TEST_F(UrlFetch, ReturnsBodiesByteForByte)
{
    const QByteArray small = "<html>short page</html>";
    const QByteArray large = binaryBody(300 * 1024);
    server.setRoute("*", "/small", Response::page(small));
    server.setRoute("*", "/large", Response::page(large));
    server.setRoute("*", "/empty", Response::page({}));
    Response noLength = Response::page(large.left(5000));
    noLength.sendContentLength = false;
    server.setRoute("*", "/nolength", noLength);

    for (const auto &[path, expected] : {std::pair{"/small", small}, std::pair{"/large", large},
                                         std::pair{"/empty", QByteArray()},
                                         std::pair{"/nolength", large.left(5000)}}) {
        SCOPED_TRACE(path);
        const FetchResult r = fetchUrl(server.url(path), quickOptions());
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(r.httpStatus, 200);
        EXPECT_EQ(r.body, expected);
        EXPECT_TRUE(r.error.isEmpty());
        EXPECT_FALSE(r.truncated);
    }
}

TEST_F(UrlFetch, ErrorPagesAreReturnedAsBodies)
{
    server.setRoute("*", "/broken", Response::page("server trouble", 500, "Internal Server Error"));

    FetchResult r = fetchUrl(server.url("/missing"), quickOptions());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.httpStatus, 404);
    EXPECT_EQ(r.body, "Not Found");

    r = fetchUrl(server.url("/broken"), quickOptions());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.httpStatus, 500);
    EXPECT_EQ(r.body, "server trouble");
}

TEST_F(UrlFetch, FailedTransfersReportAnError)
{
    const quint16 closed = TestHttpServer::unusedPort();
    ASSERT_NE(closed, 0);
    FetchResult r = fetchUrl(QStringLiteral("http://127.0.0.1:%1/").arg(closed), quickOptions());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.httpStatus, 0);
    EXPECT_FALSE(r.error.isEmpty());

    // Cut off before Content-Length is reached: a failure, but the part is kept.
    Response early = Response::page("0123456789abcdef");
    early.mode = Response::Mode::CloseEarly;
    early.closeAfterBytes = 6;
    server.setRoute("*", "/early", early);
    r = fetchUrl(server.url("/early"), quickOptions());
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(r.body, "012345");

    Response garbage;
    garbage.mode = Response::Mode::RawBytes;
    garbage.raw = "this is not http\r\n\r\n";
    server.setRoute("*", "/garbage", garbage);
    r = fetchUrl(server.url("/garbage"), quickOptions());
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
}

TEST_F(UrlFetch, IdleTimeoutEndsASilentServer)
{
    Response silent;
    silent.mode = Response::Mode::Silent;
    server.setRoute("*", "/silent", silent);

    FetchOptions o = quickOptions();
    o.idleTimeoutSec = 1;
    o.totalTimeoutSec = 15;  // the error text tells the two limits apart
    const FetchResult r = fetchUrl(server.url("/silent"), o);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_TRUE(r.error.contains("slow", Qt::CaseInsensitive)) << r.error.toStdString();
}

TEST_F(UrlFetch, SlowButSteadyTransferIsNotIdle)
{
    // About two seconds in all, never more than 200 ms between bytes.
    server.setRoute("*", "/slow", trickle("0123456789", 200));
    FetchOptions o = quickOptions();
    o.idleTimeoutSec = 1;
    const FetchResult r = fetchUrl(server.url("/slow"), o);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, "0123456789");
}

TEST_F(UrlFetch, DecodesChunkedBodies)
{
    const QByteArray body = binaryBody(1000);
    Response chunked = Response::page(body);
    chunked.mode = Response::Mode::Chunked;
    chunked.chunkSize = 7;
    server.setRoute("*", "/chunked", chunked);

    const FetchResult r = fetchUrl(server.url("/chunked"), quickOptions());
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, body);
}

TEST_F(UrlFetch, FollowsRedirectsWithinLimits)
{
    server.setRoute("*", "/old", Response::redirect("/new"));
    server.setRoute("*", "/new", Response::page("moved here"));
    FetchResult r = fetchUrl(server.url("/old"), quickOptions());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.httpStatus, 200);
    EXPECT_EQ(r.body, "moved here");
    ASSERT_EQ(server.requestCount(), 2);
    EXPECT_EQ(TestHttpServer::requestPath(server.requests()[1]), "/new");

    server.setRoute("*", "/loop", Response::redirect("/loop"));
    server.clearRequests();
    r = fetchUrl(server.url("/loop"), quickOptions());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(server.requestCount(), 21);  // the first request and 20 redirects

    // Only http and https, including where a redirect points.
    server.setRoute("*", "/tofile", Response::redirect("file:///etc/hostname"));
    r = fetchUrl(server.url("/tofile"), quickOptions());
    EXPECT_FALSE(r.ok);
    r = fetchUrl(QStringLiteral("ftp://127.0.0.1:%1/").arg(server.port()), quickOptions());
    EXPECT_FALSE(r.ok);
}

TEST_F(UrlFetch, ConnectOverrideKeepsTheHostName)
{
    server.setRoute("partner.example", "/x", Response::page("partner page"));
    server.setRoute("other.example", "/hop", Response::redirect("http://partner.example:8080/x"));

    FetchResult r = fetchUrl(QStringLiteral("http://partner.example/x"), overrideFor({"partner.example"}));
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, "partner page");
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(TestHttpServer::headerValue(server.requests()[0], "Host"), "partner.example");

    // A redirect to another overridden host and port stays on loopback too.
    server.clearRequests();
    r = fetchUrl(QStringLiteral("http://other.example/hop"), overrideFor({"partner.example", "other.example"}));
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, "partner page");
    ASSERT_EQ(server.requestCount(), 2);
    EXPECT_EQ(TestHttpServer::headerValue(server.requests()[1], "Host"), "partner.example:8080");
}

TEST_F(UrlFetch, SendsAgentAndNoCacheHeaders)
{
    server.setRoute("*", "/a b", Response::page("spaced"));
    ASSERT_TRUE(fetchUrl(server.url("/"), quickOptions()).ok);
    FetchOptions custom = quickOptions();
    custom.userAgent = "Tarnwick/1.0";
    ASSERT_TRUE(fetchUrl(server.url("/"), custom).ok);
    // Links taken from pages may hold spaces; they go out encoded.
    const FetchResult spaced = fetchUrl(server.url("/a b"), quickOptions());

    const QList<QByteArray> requests = server.requests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_TRUE(requests[0].startsWith("GET / HTTP/1.1\r\n"));
    EXPECT_EQ(TestHttpServer::headerValue(requests[0], "User-Agent"), "Mozilla");
    EXPECT_EQ(TestHttpServer::headerValue(requests[0], "Cache-Control"), "no-cache");
    EXPECT_EQ(TestHttpServer::headerValue(requests[0], "Pragma"), "no-cache");
    EXPECT_EQ(TestHttpServer::headerValue(requests[1], "User-Agent"), "Tarnwick/1.0");
    EXPECT_EQ(TestHttpServer::requestPath(requests[2]), "/a%20b");
}

TEST_F(UrlFetch, YieldKeepsTheEventLoopRunning)
{
    server.setRoute("*", "/slow", trickle("abc", 100));
    int yields = 0;
    bool timerFired = false;
    QTimer::singleShot(0, [&] { timerFired = true; });
    FetchOptions o = quickOptions();
    o.yield = [&] {
        ++yields;
        QCoreApplication::processEvents();
    };
    const FetchResult r = fetchUrl(server.url("/slow"), o);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.body, "abc");
    EXPECT_GT(yields, 0);
    EXPECT_TRUE(timerFired);
}

TEST_F(UrlFetch, StopsReadingAtMaxBytes)
{
    const QByteArray body = binaryBody(200 * 1024);
    server.setRoute("*", "/big", Response::page(body));

    FetchOptions o = quickOptions();
    o.maxBytes = 1000;
    FetchResult r = fetchUrl(server.url("/big"), o);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_TRUE(r.truncated);
    EXPECT_EQ(r.httpStatus, 200);
    EXPECT_EQ(r.body, body.left(1000));

    o.maxBytes = body.size();  // exactly the cap is not a truncation
    r = fetchUrl(server.url("/big"), o);
    EXPECT_TRUE(r.ok);
    EXPECT_FALSE(r.truncated);
    EXPECT_EQ(r.body, body);
}

TEST_F(UrlFetch, FetchFromInsideYield)
{
    server.setRoute("*", "/outer", trickle("outer", 50));
    server.setRoute("*", "/inner", Response::page(binaryBody(5000)));

    FetchResult inner;
    bool innerDone = false;
    FetchOptions o = quickOptions();
    o.yield = [&] {
        if (innerDone)
            return;
        innerDone = true;
        FetchOptions nested = quickOptions();
        nested.yield = [] {};
        inner = fetchUrl(server.url("/inner"), nested);
    };
    const FetchResult outer = fetchUrl(server.url("/outer"), o);
    EXPECT_TRUE(innerDone);
    EXPECT_TRUE(inner.ok) << inner.error.toStdString();
    EXPECT_EQ(inner.body, binaryBody(5000));
    EXPECT_TRUE(outer.ok) << outer.error.toStdString();
    EXPECT_EQ(outer.body, "outer");
}

// The server's own behaviour where the fetch tests above don't reach it.

TEST(TestHttpServerRouting, PicksTheSiteByHostThenFallsBack)
{
    TestHttpServer server;
    server.setRoute("site.example", "/p", Response::page("exact"));
    server.setRoute("site.example", "*", Response::page("site catch-all"));
    server.setRoute("*", "/p", Response::page("any host"));

    FetchOptions o = quickOptions();
    for (const char *h : {"site.example", "elsewhere.example"})
        o.connectOverride.insert(h, server.port());
    auto body = [&](const char *url) { return fetchUrl(QString::fromLatin1(url), o).body; };

    EXPECT_EQ(body("http://SITE.example/p"), "exact");
    EXPECT_EQ(body("http://site.example/q?x=1"), "site catch-all");
    EXPECT_EQ(body("http://elsewhere.example/p"), "any host");
    EXPECT_EQ(body("http://elsewhere.example/p?x=1"), "Not Found");  // query is part of the path

    server.setDefault(Response::page("fallback", 410, "Gone"));
    const FetchResult r = fetchUrl("http://elsewhere.example/none", o);
    EXPECT_EQ(r.httpStatus, 410);
    EXPECT_EQ(r.body, "fallback");
}

TEST(TestHttpServerLifetime, StopClosesSilentConnections)
{
    TestHttpServer server;
    Response silent;
    silent.mode = Response::Mode::Silent;
    server.setDefault(silent);

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(server.port());
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    const char request[] = "GET /hold HTTP/1.1\r\nHost: x\r\n\r\n";
    ASSERT_EQ(::send(fd, request, sizeof request - 1, MSG_NOSIGNAL), ssize_t(sizeof request - 1));
    ASSERT_TRUE(server.waitForRequests(1, 5000));
    EXPECT_EQ(server.openConnections(), 1);

    server.stop();
    EXPECT_EQ(server.openConnections(), 0);
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1);
    char c;
    EXPECT_EQ(::recv(fd, &c, 1, 0), 0);  // orderly close, nothing sent
    ::close(fd);
    server.stop();  // twice is harmless
}

TEST(TestHttpServerLifetime, AnswersWhileTheQtEventLoopRuns)
{
    TestHttpServer server;
    Response raw;
    raw.mode = Response::Mode::RawBytes;
    raw.raw = "HTTP/1.0 200 OK\r\n\r\nraw";
    raw.raw.append('\0').append("bytes");
    server.setDefault(raw);

    QTcpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    QByteArray received;
    QEventLoop loop;
    QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write("GET / HTTP/1.0\r\n\r\n"); });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    socket.connectToHost(QHostAddress::LocalHost, server.port());
    loop.exec();
    received += socket.readAll();
    EXPECT_EQ(received, raw.raw);
}
