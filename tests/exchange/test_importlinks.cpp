// The text rules of the import windows: link extraction and resolution,
// script output and import files.

#include <gtest/gtest.h>

#include "exchange/importlinks.h"

using namespace tarnwick;

TEST(ImportLinks, ResolvesAgainstTheBase)
{
    const QString base = "links.example/";
    const struct {
        const char *href;
        const char *resolved;
    } cases[] = {
        {"http://www.partner.example/", "www.partner.example/"},
        {"http://partner.example", "partner.example/"},
        {"/about.htm", "links.example/about.htm"},
        {"page.htm", "links.example/page.htm"},
        {"./page.htm", "links.example/page.htm"},
        {"../up.htm", "links.example/up.htm"},
        {"http://www.links.example/x.htm", "www.links.example/x.htm"},
        {"http://www.shop.example/cart.as", "www.shop.example/cart.asp"},
        {"https://secure.example/x", "secure.example/x"},
        {"//cdn.partner.example/a", "cdn.partner.example/a"},
        {"partner.com/x", "partner.com/x"},            // a marker names the host
        {"http://ab/c.ph", "ab/c.php"},                // seven characters: mended
        {"http://a/b.ph", "a/b.ph"},                   // six: left alone
        {"http://p.example///x", "p.example/x"},
    };
    for (const auto &c : cases) {
        QString link = c.href;
        EXPECT_EQ(resolveImportLink(link, base), c.resolved) << c.href;
        EXPECT_EQ(link, c.resolved) << "written back: " << c.href;
    }
}

TEST(ImportLinks, BackDirAndBase)
{
    EXPECT_EQ(backDir("partner.example/a/b.htm"), "partner.example/a/");
    EXPECT_EQ(backDir("partner.example/a/"), "partner.example/");
    EXPECT_EQ(backDir("partner.example"), "partner.example/");
    EXPECT_EQ(backDir("http://partner.example/a/b.htm"), "http://partner.example/a/");
    EXPECT_EQ(backDir("http://partner.example/"), "partner.example/");
    EXPECT_EQ(backDir(""), "/");

    EXPECT_EQ(importBase("http://www.links.example/dir/page.htm"), "links.example/");
    EXPECT_EQ(importBase("HTTP://WWW.LINKS.EXAMPLE/"), "LINKS.EXAMPLE/");
    EXPECT_EQ(importBase("http://links.example"), "links.example");
    EXPECT_EQ(importBase("https://links.example?x=/y"), "links.example");
}

TEST(ImportLinks, KeepsTheLinksToOtherSites)
{
    const QString page =
        "<a HREF=\"http://partner.example/\">a</a><a Href='http://other.example/a.htm'>b</a>\r\n"
        "<a href=http://bare.example/p.htm target=_top>c</a>\n"
        "<a href=\"/about.htm\"> <a href=\"http://www.links.example/x.htm\"> <a href=\"http://shop.links.example/\">\n"
        "<a href=\"http://partner.example/?ref=links.example/\">\n"
        "<a href=\"javascript:go('http://x.example/')\"> <a href=\"MAILTO:a@b.example\"> <a href=\"#top\">\n"
        "<a href=\"http://www.rainbow.example/\"> <a href=\"http://p.example/x.jsp\"> <a href=\"http://p.example/i.JPG?s=1\">\n"
        "<a href=\"http://partner.example/\"> <a href=\"http://p.example/page.htm#sec\">\n"
        "<a href=\"http://open.example/x\n";
    QList<int> counts;
    const QStringList links = extractLinks(page, "links.example/", [&](int n) { counts << n; });
    EXPECT_EQ(links, QStringList({"partner.example/", "other.example/a.htm", "bare.example/p.htm",
                                  "partner.example/?ref=links.example/", "www.rainbow.example/", "p.example/x.jsp",
                                  "partner.example/", "p.example/page.htm", "open.example/x"}));
    EXPECT_EQ(counts, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // A base typed in capitals still tells the page's own links.
    EXPECT_EQ(extractLinks("<a href=/a.htm><a href=http://links.example/b><a href=http://x.example/>",
                           importBase("HTTP://WWW.LINKS.EXAMPLE/")),
              QStringList({"x.example/"}));
    EXPECT_TRUE(extractLinks("no links here", "links.example/").isEmpty());

    // Stopping keeps what was found so far.
    int rounds = 0;
    EXPECT_EQ(extractLinks("href=http://a.example/ href=http://b.example/", "links.example/", {},
                           [&] { return ++rounds < 2; }),
              QStringList({"a.example/"}));
}

TEST(ImportLinks, SameSiteIsTheBaseHostOrBelowIt)
{
    const struct {
        const char *link;
        const char *base;
        bool same;
    } cases[] = {
        {"shop.main.example/a", "main.example/", true},
        {"WWW.Main.Example/", "main.example/", true},
        {"notmain.example/", "main.example/", false},
        {"host/x", "host:8080/", true},
        {"host:8080/x", "host/", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isImportSameSite(c.link, c.base), c.same) << c.link << " on " << c.base;
}

TEST(ImportLinks, ScriptOutput)
{
    EXPECT_EQ(importDelimiter(0), "|");
    EXPECT_EQ(importDelimiter(3), "!");
    EXPECT_EQ(importDelimiter(-1), "");

    const QStringList abc = {"a.example", "b.example", "c.example"};
    EXPECT_EQ(scriptLinks("<p>a.example|b.example c.example</p>", "|"), abc);
    EXPECT_EQ(scriptLinks("a.example|\r\nb.example|\r\nc.example|\r\n", "|"), abc);
    EXPECT_EQ(scriptLinks("a.example\nb.example\rc.example\t", "|"), abc);
    EXPECT_EQ(scriptLinks("1 > 0<br>a.example<br/>", "|"), QStringList({"1", ">", "0", "a.example"}));
    EXPECT_EQ(scriptLinks("a.example::b.exampleXXc.example", "xx").join(' '), "a.example::b.example c.example");
    EXPECT_EQ(scriptLinks("a.example b.example,c.example", ""), abc);
    EXPECT_TRUE(scriptLinks("", "|").isEmpty());

    EXPECT_EQ(importedUrl(" a.example/x|y "), "a.example/x%7Cy");
}

TEST(ImportLinks, ImportFiles)
{
    const QVector<ImportedLinkingSite> sites =
        linkingSitesFromText("x.example|3\r\n  y.example  \n\n \r\n  \nz.example|2|extra\rw.example|many\n|5\n");
    ASSERT_EQ(sites.size(), 4);
    const QStringList expected[] = {{"x.example", "3"}, {"y.example", "1"}, {"z.example", "2"}, {"w.example", "many"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sites[i].website, expected[i][0]);
        EXPECT_EQ(sites[i].expected, expected[i][1]);
    }

    EXPECT_EQ(mainSitesFromText("  a.example  \r\nb.example|3\n\n  \n|x\rc.example"),
              QStringList({"a.example", "b.example", "c.example"}));
}
