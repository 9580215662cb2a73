// Text rules of the HTTP client and of scan control, without any network.

#include <gtest/gtest.h>

#include "scanner/httpfetch.h"
#include "workspace/results.h"
#include "workspace/storedvalues.h"

using namespace tarnwick;

namespace {

TEST(QueuedPageAddress, QueueEntriesGiveHostPathAndDirectory)
{
    struct Case {
        QString url, host, path, dir, curUrl;
    };
    const Case cases[] = {
        {"partner.example/dir/page.htm", "partner.example", "/dir/page.htm", "partner.example/dir/",
         "partner.example/dir/page.htm"},
        {"partner.example/dir/", "partner.example", "/dir/", "partner.example/dir/", "partner.example/dir"},
        {"partner.example/dir", "partner.example", "/dir", "partner.example/dir/", "partner.example/dir"},
        {"http://partner.example/", "partner.example", "/", "partner.example/", "partner.example"},
        {"HTTPS://partner.example/", "partner.example", "/", "partner.example/", "partner.example"},
        {"partner.example/a.php?x=1", "partner.example", "/a.php?x=1", "partner.example/", "partner.example/a.php?x=1"},
        {"partner.example", "partner.example", "/", "partner.example/", "partner.example"},
        {"partner.example/", "partner.example", "/", "partner.example/", "partner.example"},
        // The host text is removed once, as the leading part: a path that
        // repeats it keeps it.
        {"a.example/a.example/x.htm", "a.example", "/a.example/x.htm", "a.example/a.example/", "a.example/a.example/x.htm"},
        {"partner.example:8080/x", "partner.example:8080", "/x", "partner.example:8080/x/", "partner.example:8080/x"},
    };
    for (const Case &c : cases) {
        const PageAddress a = splitPageAddress(c.url);
        EXPECT_EQ(a.host, c.host) << c.url.toStdString();
        EXPECT_EQ(a.path, c.path) << c.url.toStdString();
        EXPECT_EQ(a.curDir, c.dir) << c.url.toStdString();
        EXPECT_EQ(a.curUrl, c.curUrl) << c.url.toStdString();
    }
}

TEST(QueuedPageAddress, PortOnlyFromTrailingDigits)
{
    EXPECT_EQ(connectTargetOf("partner.example").port, 80);
    EXPECT_EQ(connectTargetOf("partner.example").hostName, "partner.example");
    const ConnectTarget t = connectTargetOf("partner.example:8080");
    EXPECT_EQ(t.hostName, "partner.example");
    EXPECT_EQ(t.port, 8080);
    // Not a port: the whole text stays the name, which the socket refuses.
    for (const QString h : {"partner.example:", "partner.example:80a", "partner.example:0", "partner.example:65536",
                            "partner.example:123456"}) {
        EXPECT_EQ(connectTargetOf(h).hostName, h) << h.toStdString();
        EXPECT_EQ(connectTargetOf(h).port, 80) << h.toStdString();
    }
}

TEST(HttpRequestText, ExactTextWithControlBytesEncoded)
{
    EXPECT_EQ(buildHttpRequest("partner.example", "/dir/page.htm"),
              QByteArray("GET /dir/page.htm HTTP/1.1\r\nHost: partner.example\r\nConnection: close\r\nAccept: */*\r\n\r\n"));
    EXPECT_EQ(buildHttpRequest("partner.example:8080", "/"),
              QByteArray("GET / HTTP/1.1\r\nHost: partner.example:8080\r\nConnection: close\r\nAccept: */*\r\n\r\n"));
    // A line break in a path can never add a header of its own.
    EXPECT_EQ(encodeRequestPath("/a b\r\nX: y\t\x7f%41"), QByteArray("/a%20b%0D%0AX:%20y%09%7F%41"));
    EXPECT_EQ(encodeRequestPath(QString::fromUtf8("/caf\xc3\xa9")), QByteArray("/caf\xc3\xa9"));
}

TEST(HttpResponseParts, HeaderAndBodyAreSplitOnce)
{
    const QByteArray r = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody";
    EXPECT_EQ(responseHeader(r), QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n"));
    EXPECT_EQ(responseBody(r), QByteArray("body"));
    // A body that quotes its own header keeps the quote.
    const QByteArray h = "HTTP/1.1 200 OK\r\n\r\n";
    EXPECT_EQ(responseBody(h + "<pre>" + h + "</pre>"), "<pre>" + h + "</pre>");
    // Without a blank line the first three bytes count as the header, and
    // only that leading part goes.
    EXPECT_EQ(responseHeader("abcXabc"), QByteArray("abc"));
    EXPECT_EQ(responseBody("abcXabc"), QByteArray("Xabc"));
    EXPECT_EQ(responseBody(""), QByteArray());
    EXPECT_EQ(findHeaderEnd("xx\r\n\r\nyy\r\n\r\n", 2), 2);
    EXPECT_EQ(findHeaderEnd("xx\r\n\r\nyy\r\n\r\n", 3), 8);
}

TEST(HttpResponseParts, ChunkedBodiesAreDecoded)
{
    const QByteArray head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n";
    EXPECT_EQ(responseBody(head + "5\r\n<a hr\r\n9;ext=1\r\nef=\"x.htm\r\n0\r\n\r\n"), QByteArray("<a href=\"x.htm"));
    // Cut short: what arrived is kept.
    EXPECT_EQ(decodeChunkedBody("a\r\n01234"), QByteArray("01234"));
    EXPECT_EQ(decodeChunkedBody("3\r\nabc\r\n4"), QByteArray("abc"));
    // Not chunked after all: the rest stays as it stands.
    EXPECT_EQ(decodeChunkedBody("3\r\nabc\r\n<html>\r\n"), QByteArray("abc<html>\r\n"));
    EXPECT_EQ(decodeChunkedBody("3\nabc\n0\n\n"), QByteArray("abc"));
    // Without the header line the body is left alone.
    EXPECT_EQ(responseBody("HTTP/1.1 200 OK\r\n\r\n3\r\nabc\r\n0\r\n\r\n"), QByteArray("3\r\nabc\r\n0\r\n\r\n"));
    EXPECT_FALSE(isChunkedResponse("HTTP/1.1 200 OK\r\nX-Note: Transfer-Encoding: chunked\r\n\r\n"));
}

TEST(HttpResponseParts, AChunkedBodyEndsAtItsLastChunkHoweverItArrives)
{
    const QByteArray response =
        "HTTP/1.1 200 OK\r\n\r\n5\r\nhello\r\n1a;x=1\r\n" + QByteArray(26, 'y') + "\r\n0\r\n\r\n";
    const qsizetype bodyStart = response.indexOf("5\r\n");
    const qsizetype lastChunk = response.lastIndexOf("0\r\n") + 3;
    // Byte by byte, each call going on from where the one before stopped.
    qsizetype from = bodyStart;
    for (qsizetype n = bodyStart; n <= response.size(); ++n)
        EXPECT_EQ(chunkedBodyEnded(response.left(n), from), n >= lastChunk) << n;
    from = bodyStart;
    EXPECT_TRUE(chunkedBodyEnded(response, from));
    // Not chunked after all: it never ends there, and is not read again.
    for (const QByteArray &bad : {QByteArray("<html>\r\n0\r\n\r\n"), QByteArray(5000, '1')}) {
        from = 0;
        EXPECT_FALSE(chunkedBodyEnded(bad, from));
        EXPECT_EQ(from, -1);
    }
}

TEST(HttpResponseParts, ContentLengthAsTheClientReadsIt)
{
    EXPECT_EQ(contentLengthOf("HTTP/1.1 200 OK\r\nContent-Length: 1234"), 1234);
    EXPECT_EQ(contentLengthOf("HTTP/1.1 200 OK\r\ncontent-length: 1234"), 0);
    EXPECT_EQ(contentLengthOf("HTTP/1.1 200 OK\r\nContent-Length:1234"), 0);
    EXPECT_EQ(contentLengthOf("HTTP/1.1 200 OK\r\nContent-Length: abc"), 0);
    EXPECT_EQ(contentLengthOf("HTTP/1.1 200 OK\r\nContent-Length: 12 34\r\nContent-Length: 9"), 12);
    EXPECT_EQ(contentLengthOf("HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999999"), 999999999999999999);
}

TEST(HttpResponseParts, DeclaredBodyLengthEndsAKeptOpenResponse)
{
    EXPECT_EQ(declaredBodyLength("HTTP/1.1 200 OK\r\ncontent-length:  12 \r\nX: y"), 12);
    EXPECT_EQ(declaredBodyLength("HTTP/1.1 204 No Content\r\nContent-Length: 0"), 0);
    EXPECT_EQ(declaredBodyLength("HTTP/1.1 200 OK\r\nContent-Type: text/html"), -1);
    EXPECT_EQ(declaredBodyLength("HTTP/1.1 200 OK\r\nContent-Length: 12abc"), -1);
    EXPECT_EQ(declaredBodyLength("HTTP/1.1 200 OK\r\nContent-Length: 12\r\nTransfer-Encoding: chunked"), -1);
}

TEST(HttpStatusTable, CodeIsTheTextBetweenTheFirstTwoBlanks)
{
    EXPECT_EQ(statusCodeOf("HTTP/1.1 404 Not Found\r\n\r\n"), "404");
    EXPECT_EQ(statusCodeOf("HTTP/1.1  404 Not Found"), "");
    EXPECT_EQ(statusCodeOf("HTTP/1.1 302 Found"), "302");
    // No reason phrase: cut at the next blank of the header, not recognised.
    EXPECT_EQ(statusCodeOf("HTTP/1.1 404\r\nContent-Type: text/html\r\n\r\n"), "404\r\nContent-Type:");
    EXPECT_EQ(statusCodeOf("HTTP/1.1"), "");
    EXPECT_EQ(statusCodeOf("HTTP/1.1 404"), "");

    EXPECT_EQ(httpStatusText("404"), "404 Not found");
    EXPECT_EQ(httpStatusText("402"), "402 PaymentRequired");
    EXPECT_EQ(httpStatusText("408"), "408 request timeout");
    EXPECT_EQ(httpStatusText("505"), "505 HTTP Not Version");
    for (const QString code : {"", " ", "200", "302", "416", "506", "404 ", " 404"})
        EXPECT_EQ(httpStatusText(code), "") << code.toStdString();
}

TEST(ScanSettingValues, FileTypesCountsAndLimits)
{
    EXPECT_EQ(parseFileTypes(".htm\r\n.html\n\n \n.php|.asp\n|\n"), (QStringList{".htm", ".html", ".php", ".asp"}));
    EXPECT_TRUE(parseFileTypes("").isEmpty());

    EXPECT_EQ(zeroFilled(2), "002");
    EXPECT_EQ(zeroFilled(0), "000");
    EXPECT_EQ(zeroFilled(1004), "1004");

    EXPECT_EQ(pageLimitForIndex(0, 7), 1);
    EXPECT_EQ(pageLimitForIndex(4, 7), 500);
    EXPECT_EQ(pageLimitForIndex(12, 7), 500000);
    EXPECT_EQ(pageLimitForIndex(13, 7), 7);
    EXPECT_EQ(pageLimitForIndex(-1, 7), 7);

    EXPECT_EQ(linksExpectedOf("0"), 0);
    EXPECT_EQ(linksExpectedOf(" 5 "), 5);
    EXPECT_EQ(linksExpectedOf(""), 1);
    EXPECT_EQ(linksExpectedOf("two"), 1);
}

} // namespace
