// Partner servers that misbehave: each gives its outcome, in bounded time,
// and one bad link never costs the pages that link back.

#include <gtest/gtest.h>

#include "scanner/scanharness.h"

using testsupport::TestHttpServer;
using Response = testsupport::TestHttpServer::Response;

namespace {

class HostileServers : public ::testing::Test, public scantest::ScanHarness {
protected:
    void SetUp() override
    {
        ASSERT_NE(server.port(), 0);
        serve("partner.example");
        main = addMain("main.example");
        addLinking(main, "partner.example/");
        setting("chkFileTypes", "0");  // every value is a page
        setting("chkUpdate", "0");     // the row stays the home page
    }
    // The partner's home page links to `bad`, then to p2.htm, which links back.
    void homeLinkingTo(const QByteArray &bad)
    {
        server.setRoute("partner.example", "/",
                        Response::page("<a href=\"" + bad + "\">odd</a>\n<a href=\"p2.htm\">next</a>\n"));
        server.setRoute("partner.example", "/p2.htm", Response::page("<a href=\"http://main.example/\">us</a>\n"));
    }
    int main = 0;
};

TEST_F(HostileServers, OneOddLinkAmongGoodOnesCostsNothing)
{
    struct Case {
        const char *name;
        QByteArray link;
        QStringList errors;  // rows the odd link adds
    };
    ctx().fetchOptions.connectOverride.insert("dead.partner.example", TestHttpServer::unusedPort());
    const Case cases[] = {
        {"other scheme", "ftp://partner.example/file.htm", {}},
        {"chat scheme", "irc://partner.example/room.htm", {}},
        {"dead sub-host", "http://dead.partner.example/x.htm", {"Timeout|dead.partner.example"}},
        {"credentials", "http://user:pw@partner.example/y.htm", {"Timeout|user:pw@partner.example"}},
        {"non-ASCII host", "http://w\xc3\xb6rld.partner.example/z.htm", {"Timeout|w\u00f6rld.partner.example"}},
        {"NUL in the path", QByteArray("/a\0b.htm", 8),
         {"Not a page: the link holds a control character|partner.example/a%00b.htm"}},
    };
    for (const Case &c : cases) {
        server.clearRequests();
        homeLinkingTo(c.link);
        scanner.Command1_Click();
        ASSERT_TRUE(runToEnd()) << c.name;
        EXPECT_EQ(statuses(), QStringList{"Direct Link"}) << c.name;
        EXPECT_EQ(errors(), c.errors) << c.name;
        EXPECT_TRUE(requestPaths().contains("partner.example/p2.htm")) << c.name;
    }
}

TEST_F(HostileServers, EachMisbehaviourGivesItsOutcome)
{
    Response reset;  // closes before a single byte
    reset.mode = Response::Mode::RawBytes;
    Response keepAlive = Response::page("<a href=\"http://main.example/\">us</a>\n");
    keepAlive.mode = Response::Mode::KeepOpen;
    keepAlive.headers = {{"Connection", "keep-alive"}};
    setting("txtTimeout", "3");

    // A later page reset at once is passed over with an error row.
    homeLinkingTo("gone.htm");
    server.setRoute("partner.example", "/gone.htm", reset);
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(statuses(), QStringList{"Direct Link"});
    EXPECT_EQ(errors(), QStringList{"Timeout|partner.example"});

    // The linking site's own page reset at once ends the site, as a refused
    // connection does.
    server.setRoute("partner.example", "/", reset);
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(statuses(), QStringList{"None Found (Timeout)"});
    EXPECT_EQ(errors(), QStringList{"Timeout|partner.example"});

    // A complete page on a connection the server keeps open is processed
    // well before the time-out, whether its length is given or it ends with
    // its last chunk.
    Response chunked = keepAlive;
    chunked.headers.append(qMakePair(QByteArray("Transfer-Encoding"), QByteArray("chunked")));
    chunked.sendContentLength = false;
    chunked.body = "9\r\n<a href=\"\r\n1d;x=1\r\nhttp://main.example/\">us</a>\n\r\n0\r\n\r\n";
    for (const Response &open : {keepAlive, chunked}) {
        server.setRoute("partner.example", "/", open);
        scanner.Command1_Click();
        ASSERT_TRUE(runToEnd(2500));
        EXPECT_EQ(statuses(), QStringList{"Direct Link"});
        EXPECT_TRUE(errors().isEmpty());
    }
}

TEST_F(HostileServers, ATricklingServerIsGivenUpAtTenTimesTheTimeOutWithWhatItSent)
{
    // The link comes first, a page of the same site next (never asked for:
    // the linking site ends with the page), then no end.
    Response trickle = Response::page("<a href=\"http://main.example/\">us</a>\n<a href=\"p2.htm\">next</a>\n"
                                      + QByteArray(100000, 'x'));
    trickle.mode = Response::Mode::Trickle;
    trickle.sendContentLength = false;
    trickle.trickleBytes = 20;
    trickle.trickleIntervalMs = 300;
    server.setRoute("partner.example", "/", trickle);
    project.List1(main)->setSubItem(1, 1, "2");  // one link is not enough
    setting("txtTimeout", "2");
    scanner.Command1_Click();
    // Never idle for two seconds, so only the page's own limit ends it.
    ASSERT_TRUE(runToEnd(30000));
    EXPECT_EQ(statuses(), QStringList({"Direct Link", "Missing 001"}));
    EXPECT_EQ(errors(), QStringList{"Timeout|partner.example"});
    EXPECT_FALSE(requestPaths().contains("partner.example/p2.htm"));
}

} // namespace
