// The synchronous fetch as the rest of the program calls it.

#include <gtest/gtest.h>

#include "support/testhttpserver.h"
#include "support/testprogram.h"
#include "workspace/services.h"

using namespace tarnwick;
using testsupport::TestHttpServer;

namespace {

class GetUrl : public ::testing::Test {
protected:
    testsupport::TestProgram p;
    TestHttpServer server;
    void SetUp() override
    {
        ASSERT_NE(server.port(), 0);
        p.ctx->fetchOptions.connectOverride.insert("site.example", server.port());
    }
};

TEST_F(GetUrl, BodiesComeBackExactlyAndTheSchemeIsWrittenBack)
{
    const QByteArray small = "<a href=\"x\">short</a>";
    QByteArray large;
    for (int i = 0; i < 300; ++i)
        large += char('a' + i % 26);
    large += "\r\nend";
    server.setRoute("site.example", "/small", TestHttpServer::Response::page(small));
    server.setRoute("site.example", "/large", TestHttpServer::Response::page(large));
    server.setRoute("site.example", "/empty", TestHttpServer::Response::page(""));

    QString url = "site.example/small";
    EXPECT_EQ(getURL(*p.ctx, url), QString::fromLatin1(small));
    EXPECT_EQ(url, "http://site.example/small");
    url = "site.example/large";
    EXPECT_EQ(getURL(*p.ctx, url), QString::fromLatin1(large));
    url = "HTTP://site.example/empty";
    EXPECT_EQ(getURL(*p.ctx, url), "");
    EXPECT_EQ(url, "HTTP://site.example/empty");

    const QByteArray req = server.requests().first();
    EXPECT_EQ(TestHttpServer::headerValue(req, "User-Agent"), "Mozilla");
    EXPECT_EQ(TestHttpServer::headerValue(req, "Host"), "site.example");
}

TEST_F(GetUrl, SchemeIsAddedOnlyAtTheStart)
{
    server.setRoute("site.example", "/?u=http://y", TestHttpServer::Response::page("q"));
    QString url = "site.example/?u=http://y";
    EXPECT_EQ(getURL(*p.ctx, url), "q");
    EXPECT_EQ(url, "http://site.example/?u=http://y");
}

TEST_F(GetUrl, ErrorPagesReturnTheirBody)
{
    server.setRoute("site.example", "/gone", TestHttpServer::Response::page("no such page", 404, "Not Found"));
    QString url = "http://site.example/gone";
    EXPECT_EQ(getURL(*p.ctx, url), "no such page");
}

TEST_F(GetUrl, NothingToFetchGivesEmptyTextWithoutHanging)
{
    // Refused.
    QString url = QString("http://127.0.0.1:%1/").arg(TestHttpServer::unusedPort());
    EXPECT_EQ(getURL(*p.ctx, url), "");
    // Silent: the idle time-out ends it.
    TestHttpServer::Response silent;
    silent.mode = TestHttpServer::Response::Mode::Silent;
    server.setRoute("site.example", "/silent", silent);
    p.ctx->fetchOptions.idleTimeoutSec = 1;
    url = "site.example/silent";
    EXPECT_EQ(getURL(*p.ctx, url), "");
    // Not a URL at all.
    url = "";
    EXPECT_EQ(getURL(*p.ctx, url), "");
    EXPECT_EQ(url, "http://");
}

TEST_F(GetUrl, OldEightBitPagesAreRead)
{
    server.setRoute("site.example", "/latin", TestHttpServer::Response::page("caf\xe9"));
    QString url = "site.example/latin";
    EXPECT_EQ(getURL(*p.ctx, url), QString::fromUtf8("café"));
}

} // namespace
