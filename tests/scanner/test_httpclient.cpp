// The scanner's HTTP client against the test server: the request it sends,
// how it reads responses, and how silent, refusing and slow servers end.

#include <gtest/gtest.h>

#include "scanner/scanharness.h"

using testsupport::TestHttpServer;
using Response = testsupport::TestHttpServer::Response;

namespace {

class HttpClient : public ::testing::Test, public scantest::ScanHarness {
protected:
    void SetUp() override { ASSERT_NE(server.port(), 0); }
};

TEST_F(HttpClient, SendsExactlyTheRequestOfEachQueuedUrl)
{
    serve("partner.example");
    server.setDefault(Response::page("<html>x</html>"));
    const int m = addMain("http://www.main.example/");
    addLinking(m, "partner.example/dir/page.htm");
    addLinking(m, "partner.example/dir/");
    addLinking(m, "partner.example/dir");
    addLinking(m, "http://partner.example/");
    addLinking(m, "partner.example/a.php?x=1");
    addLinking(m, "partner.example/my page.htm");
    setting("cmbAdvance", "0");
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());

    const QList<QByteArray> requests = server.requests();
    ASSERT_EQ(requests.size(), 6);
    const QStringList paths = {"/dir/page.htm", "/dir/", "/dir", "/", "/a.php?x=1", "/my%20page.htm"};
    for (int i = 0; i < 6; ++i) {
        const QByteArray expected = "GET " + paths[i].toLatin1()
                                    + " HTTP/1.1\r\nHost: partner.example\r\nConnection: close\r\nAccept: */*\r\n";
        EXPECT_EQ(requests[i], expected) << i;
    }
    EXPECT_EQ(ctx().lPagesScanned, 6);
    EXPECT_EQ(statuses(), QStringList(6, "None Found"));
}

} // namespace

namespace {

TEST_F(HttpClient, ListedErrorStatusAddsARowAndTheWalkGoesOn)
{
    serve("partner.example");
    serve("other.example");
    serve("odd.example");
    server.setRoute("partner.example", "/missing.htm", Response::page("<html>gone</html>", 404, "Not Found"));
    server.setRoute("other.example", "/moved.htm", Response::redirect("http://other.example/new.htm"));
    server.setRoute("other.example", "/new.htm", Response::page("<a href=\"http://main.example/\">back</a>"));
    Response bare;
    bare.mode = Response::Mode::RawBytes;
    bare.raw = "HTTP/1.1 404\r\nContent-Type: text/html\r\n\r\nbody";
    server.setRoute("odd.example", "*", bare);
    const int m = addMain("main.example");
    addLinking(m, "partner.example/missing.htm");
    addLinking(m, "other.example/moved.htm");
    addLinking(m, "odd.example/x.htm");
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());

    EXPECT_EQ(errors(), QStringList{"404 Not found|partner.example/missing.htm"});
    // The 302 adds no row; its page is followed once.
    EXPECT_EQ(statuses(), (QStringList{"None Found (404 Not found)", "Direct Link", "None Found"}));
    // Three pages fetched and the one hop, the error page counted twice.
    EXPECT_EQ(server.requestCount(), 4);
    EXPECT_EQ(ctx().lPagesScanned, 4);
}

TEST_F(HttpClient, SilentServerTimesOutOnceAndTheNextSiteStarts)
{
    serve("silent.example");
    serve("partner.example");
    Response silent;
    silent.mode = Response::Mode::Silent;
    server.setRoute("silent.example", "*", silent);
    server.setDefault(Response::page("<html>ok</html>"));
    const int m = addMain("main.example");
    addLinking(m, "silent.example/a.htm");
    addLinking(m, "partner.example/b.htm");
    setting("txtTimeout", "1");
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    spin(1200);  // a timer left running would add a second row by now

    EXPECT_EQ(errors(), QStringList{"Timeout|silent.example"});
    EXPECT_EQ(statuses(), (QStringList{"None Found (Timeout)", "None Found"}));
    EXPECT_EQ(requestPaths(), (QStringList{"silent.example/a.htm", "partner.example/b.htm"}));
    EXPECT_EQ(project.List1(m)->foreColor(1), platform::kColorRed);
}

TEST_F(HttpClient, RefusedOrImpossibleConnectionsEndTheSiteAtOnce)
{
    ctx().fetchOptions.connectOverride.insert("refused.example", TestHttpServer::unusedPort());
    serve("partner.example");
    server.setDefault(Response::page("<html>ok</html>"));
    const int m = addMain("main.example");
    addLinking(m, "refused.example/a.htm");
    addLinking(m, "bad host.example/b.htm");  // never looked up
    addLinking(m, "https://partner.example/c.htm");
    // The default time-out of 60 s is far beyond the wait: only an immediate
    // end lets the scan finish.
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd(20000));

    EXPECT_EQ(errors(), (QStringList{"Timeout|refused.example", "Timeout|bad host.example"}));
    EXPECT_EQ(statuses(), (QStringList{"None Found (Timeout)", "None Found (Timeout)", "None Found"}));
    // The https page went over plain HTTP.
    EXPECT_EQ(requestPaths(), QStringList{"partner.example/c.htm"});
}

TEST_F(HttpClient, HostWithPortConnectsToThatPort)
{
    // No override: the port in the host text is the one connected to.
    server.setDefault(Response::page("<html>ok</html>"));
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    const int m = addMain("main.example");
    addLinking(m, host + "/p.htm");
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());

    ASSERT_EQ(server.requestCount(), 1);
    const QByteArray request = server.requests().first();
    EXPECT_EQ(TestHttpServer::headerValue(request, "Host"), host.toLatin1());
    EXPECT_EQ(TestHttpServer::requestPath(request), "/p.htm");
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(HttpClient, TricklingResponseNeverTimesOut)
{
    serve("slow.example");
    // 8 bytes, 400 ms apart: longer than the time-out of 2 s.
    Response r = Response::page("<html>ok");
    r.mode = Response::Mode::Trickle;
    r.trickleBytes = 1;
    r.trickleIntervalMs = 400;
    server.setDefault(r);
    const int m = addMain("main.example");
    addLinking(m, "slow.example/");
    setting("txtTimeout", "2");
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());

    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(statuses(), QStringList{"None Found"});
    EXPECT_TRUE(scanner.connection().fetch.strSockData.endsWith("\r\n\r\n<html>ok"));
    EXPECT_EQ(scanner.connection().fetch.lSockBytes, 8);
    EXPECT_EQ(scanner.connection().fetch.lSockLength, 8);
}

TEST_F(HttpClient, ChunkedEarlyClosedAndOversizedResponsesAreAllProcessed)
{
    serve("chunked.example");
    serve("short.example");
    serve("huge.example");
    Response chunked = Response::page("<a href=\"http://main.example/\">x</a>");
    chunked.mode = Response::Mode::Chunked;
    chunked.chunkSize = 5;
    server.setRoute("chunked.example", "*", chunked);
    Response cut = Response::page("0123456789");
    cut.mode = Response::Mode::CloseEarly;
    cut.closeAfterBytes = 4;
    server.setRoute("short.example", "*", cut);
    server.setRoute("huge.example", "*", Response::page(QByteArray(17 * 1024 * 1024, 'x')));
    const int m = addMain("main.example");
    addLinking(m, "chunked.example/");
    addLinking(m, "short.example/");
    addLinking(m, "huge.example/");
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd(30000));

    // The decoded chunked page gives its link.
    EXPECT_EQ(statuses(), (QStringList{"Direct Link", "None Found", "None Found"}));
    EXPECT_TRUE(errors().isEmpty());
    // The last response was cut at the cap.
    EXPECT_EQ(scanner.connection().fetch.strSockData.size(), 16 * 1024 * 1024);
    EXPECT_TRUE(scanner.connection().fetch.strSockData.startsWith("HTTP/1.1 200 OK\r\n"));
}

} // namespace
