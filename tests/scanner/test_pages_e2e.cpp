// Whole scans over small partner sites on the test server: what each page
// gives (queued pages, results rows, notes, outcome rows, error rows, row
// colours), redirect pages, the options that change a page's handling, and
// Skip and Stop while a page is read.

#include <gtest/gtest.h>

#include <QFile>
#include <QTimer>

#include <sys/resource.h>

#include "scanner/scanharness.h"

using testsupport::TestHttpServer;
using Response = testsupport::TestHttpServer::Response;

namespace {

constexpr int kBlue = platform::kColorBlue;
constexpr int kRed = platform::kColorRed;
constexpr int kGreen = platform::kColorGreen;

QString readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<missing>");
}

class PageScan : public ::testing::Test, public scantest::ScanHarness {
protected:
    void SetUp() override
    {
        ASSERT_NE(server.port(), 0);
        QFile types(p.path("filetypes.txt"));
        ASSERT_TRUE(types.open(QIODevice::WriteOnly));
        types.write(".htm\r\n.php\r\n.asp\r\n.aspx\r\n.jsp\r\n.cfm\r\n.shtm\r\n.cgi\r\n.pl\r\n");
        types.close();
        // The page queue of each linking site as it stands when the site
        // ends (the end is counted before the queue is cleared).
        auto shown = ctx().onStatsChanged;
        ctx().onStatsChanged = [this, shown] {
            if (shown)
                shown();
            if (onCount)
                onCount();
            if (ctx().lLinkingSitesScanned != sitesEnded) {
                sitesEnded = ctx().lLinkingSitesScanned;
                queuesAtEnd << project.List2->items();
                pagesFoundAtEnd << scanner.site().lSitePagesFound;
            }
        };
    }

    void page(const QString &host, const QString &path, const QByteArray &body)
    {
        serve(host);
        server.setRoute(host, path, Response::page(body));
    }
    QStringList linkUrls() const { return resultColumn(5); }
    QList<int> resultColours() const
    {
        QList<int> out;
        for (int r = 1; r <= project.List3->count(); ++r)
            out << project.List3->foreColor(r);
        return out;
    }
    QList<int> resultIcons() const
    {
        QList<int> out;
        for (int r = 1; r <= project.List3->count(); ++r)
            out << project.List3->smallIcon(r);
        return out;
    }
    QStringList siteTexts(int m) const
    {
        QStringList out;
        for (int r = 1; r <= project.List1(m)->count(); ++r)
            out << project.List1(m)->text(r);
        return out;
    }
    QList<int> siteColours(int m) const
    {
        QList<int> out;
        for (int r = 1; r <= project.List1(m)->count(); ++r)
            out << project.List1(m)->foreColor(r);
        return out;
    }
    int foundSounds() const { return int(p.sound->played.count(p.path("sounds/foundemail.wav"))); }

    std::function<void()> onCount;  // runs at every count, inside the scan
    bool onCountFired = false;
    qint64 sitesEnded = 0;
    QList<QStringList> queuesAtEnd;
    QList<qint64> pagesFoundAtEnd;
};

TEST_F(PageScan, PartnerSitesAreWalkedAndEveryLinkBackIsRecorded)
{
    // Links back written every way a page writes them; rules of every scope.
    page("www.partner.example", "/",
         "<html><head><title>Partner home</title></head><body>\n"
         "<a href=\"links.htm\">Links</a> | <a HREF='/about.php'>About</a>\n"
         "<a href=\"skip-me.htm\">hidden</a> <a href=\"cgi-bin/form.php\">form</a> <a href=\"private/a.htm\">p</a>\n"
         "<a href=\"https://elsewhere.example/x.htm\">elsewhere</a> <a href=\"mailto:me@partner.example\">mail</a>\n"
         "<a href=\"#top\">top</a> <a href=\"javascript:void(0)\">js</a>\n"
         "<a href=\"http://www.main.example/home/\">Our friends</a>\n"
         "<a href='http://www.main.example/home/again.htm'>again</a>\n"
         "</body></html>\n");
    page("www.partner.example", "/links.htm",
         "<html><body><h1>Links</h1>\n"
         "<a href = \"nope.htm\">spaced</a> <a href=\"\">empty</a>\n"
         "<a href=\"sub/deep.htm\">deep</a> <a href=\"links.htm\">self</a>\n"
         "<a href=\"http://WWW.PARTNER.EXAMPLE/About.php\">about again</a>\n"
         "<a href=\"skip-me-too.htm\">no longer ruled</a>\n"
         "<a href='HTTP://WWW.MAIN.EXAMPLE/HOME/'>Main in capitals</a>\n"
         "</body></html>\n");
    page("www.partner.example", "/about.php",
         "<html><body>\n"
         "<a href=../../up.htm>up</a> <a href=\"./team.htm\">team</a>\n"
         "<a href=\"http://main.example/shop.htm\">shop</a>\n"
         "<a href=\"contact.htm\">never read: the expected links are all found</a>\n"
         "</body></html>\n");
    page("mention.example", "/",
         "<html><body>Our friends at www.main.example/home/ are great. <a href=\"next.htm\">next</a></body></html>");
    page("ruled.example", "/", "<a href=\"private/x.htm\">x</a><a href=\"cgi-bin/y.php\">y</a>");
    page("quiet.example", "/",
         "<?php echo 1; ?> <a href=\"missing.htm\">m</a> <a href=\"http://www.main.example/home/\">main</a>");
    server.setRoute("quiet.example", "/missing.htm",
                    Response::page("<p>Gone</p>\n<a href=\"missing.htm\">retry</a>", 404, "Not Found"));

    const int m = addMain("http://www.main.example/home/");
    addLinking(m, "www.partner.example/", "3");
    addLinking(m, "mention.example/", "1");
    addLinking(m, "ruled.example/", "1");
    addLinking(m, "quiet.example/", "2");
    const QString mainText = project.List4->item(m - 1);
    project.lstRules->add("Global", {"Global", "ExcludeString", "private"});
    project.lstRules->add(mainText, {"Global", "ExcludeDirectory", "cgi-bin"});
    project.lstRules->add(mainText, {"www.partner.example/", "ExcludeString", "skip-me"});
    // Rules of another main site and of another linking site.
    project.lstRules->add("other-main.example", {"Global", "ExcludeString", "links"});
    project.lstRules->add(mainText, {"blog.example/", "ExcludeString", "about"});
    setting("chkLog", "1");

    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());

    EXPECT_EQ(requestPaths(),
              (QStringList{"www.partner.example/", "www.partner.example/links.htm", "www.partner.example/about.php",
                           "mention.example/", "ruled.example/", "quiet.example/", "quiet.example/missing.htm"}));
    EXPECT_EQ(resultColumn(1), QStringList(7, "main.example/home/"));
    EXPECT_EQ(resultColumn(2), (QStringList{"partner.example", "partner.example", "partner.example", "mention.example",
                                            "ruled.example", "quiet.example", "quiet.example"}));
    EXPECT_EQ(statuses(), (QStringList{"Direct Link", "Direct Link", "Domain Link", "Redirect Link",
                                       "None Found (Possible Rule Problem)", "Direct Link", "Missing 001"}));
    EXPECT_EQ(resultColumn(4), (QStringList{"001", "002", "003", "001", "000", "001", "000"}));
    EXPECT_EQ(linkUrls(), (QStringList{"www.partner.example", "www.partner.example/links.htm",
                                       "www.partner.example/about.php", "mention.example", "ruled.example/",
                                       "quiet.example", "quiet.example/missing.htm"}));
    EXPECT_EQ(resultColours(), (QList<int>{kBlue, kBlue, kBlue, kBlue, kRed, kBlue, kRed}));
    EXPECT_EQ(resultIcons(), (QList<int>{2, 2, 2, 2, 1, 2, 1}));
    EXPECT_EQ(errors(), QStringList{"404 Not found|quiet.example/missing.htm"});

    // The queue when each site ended: the partner's pages still unread (the
    // rule scoped to the partner stopped applying once its row took the
    // found-on page), the page of the site that only mentions the main site.
    ASSERT_EQ(queuesAtEnd.size(), 4);
    EXPECT_EQ(queuesAtEnd[0], (QStringList{"www.partner.example/sub/deep.htm", "www.partner.example/skip-me-too.htm",
                                           "www.partner.example/up.htm", "www.partner.example/team.htm"}));
    EXPECT_EQ(queuesAtEnd[1], QStringList{"mention.example/next.htm"});
    EXPECT_EQ(queuesAtEnd[2], QStringList());
    EXPECT_EQ(queuesAtEnd[3], QStringList());
    EXPECT_EQ(pagesFoundAtEnd, (QList<qint64>{6, 1, 0, 1}));

    // Found sites blue, the redirect green, nothing red; direct links put
    // their found-on page in the row.
    EXPECT_EQ(siteTexts(m), (QStringList{"www.partner.example/links.htm", "mention.example", "ruled.example/",
                                         "quiet.example"}));
    EXPECT_EQ(siteColours(m), (QList<int>{kBlue, kGreen, kRed, kBlue}));

    EXPECT_EQ(ctx().lPagesScanned, 8);  // seven pages and the error
    EXPECT_EQ(ctx().lPagesFound, 8);
    EXPECT_EQ(ctx().lLinksFound, 5);
    EXPECT_EQ(foundSounds(), 4);
    EXPECT_FALSE(tarnwick::ScannerTestAccess::followingRedirect(scanner));

    EXPECT_EQ(readFile(p.path("rules.log")),
              "Excluded Site: www.partner.example/skip-me.htm\r\nRule Type: ExcludeString\r\nRule Value: skip-me\r\n\r\n\r\n"
              "Excluded Site: www.partner.example/cgi-bin/form.php\r\nRule Type: ExcludeDirectory\r\nRule Value: "
              "cgi-bin\r\n\r\n\r\n"
              "Excluded Site: www.partner.example/private/a.htm\r\nRule Type: ExcludeString\r\nRule Value: "
              "private\r\n\r\n\r\n"
              "Excluded Site: ruled.example/private/x.htm\r\nRule Type: ExcludeString\r\nRule Value: private\r\n\r\n\r\n"
              "Excluded Site: ruled.example/cgi-bin/y.php\r\nRule Type: ExcludeDirectory\r\nRule Value: "
              "cgi-bin\r\n\r\n\r\n");
    // The dumps of the last page.
    EXPECT_EQ(readFile(p.path("html0.txt")), "<p>Gone</p>\n<a \r\nhref=\"missing.htm\">retry</a>\r\n");
    EXPECT_EQ(readFile(p.path("html20.txt")), "<p>Gone</p><a href=\"missing.htm\">retry</a>\r\n");
}

TEST_F(PageScan, RedirectPagesAreFollowedOnce)
{
    serve("redirect.example");
    Response moved = Response::page("<html><head><title>302 Found</title></head><body>The document has moved "
                                    "<a href=\"http://moved.example/new.htm\">here</a>.</body></html>",
                                    302, "Found");
    moved.headers.append(qMakePair(QByteArray("Location"), QByteArray("http://moved.example/new.htm")));
    server.setRoute("redirect.example", "/", moved);
    // The target's own marker is not followed; its relative links resolve
    // against the page that named it.
    page("moved.example", "/new.htm",
         "<html><head><title>301 Moved Permanently</title></head>"
         "<a href=\"rel.htm\">rel</a> <a href=\"http://www.main.example/\">main</a></html>");

    // A marker without a link: the response's Location, resolved.
    serve("fallback.example");
    Response bare = Response::page("<html><head><title>301 Moved Permanently</title></head><body>gone</body></html>",
                                   301, "Moved Permanently");
    bare.headers.append(qMakePair(QByteArray("Location"), QByteArray("/new.htm")));
    server.setRoute("fallback.example", "/", bare);
    page("fallback.example", "/new.htm", "<a href=\"http://main.example/\">main</a>");

    // A redirect status whose body carries no marker is a redirect page too.
    serve("nomarker.example");
    Response plain = Response::page("<html>Temporary</html>", 307, "Temporary Redirect");
    plain.headers.append(qMakePair(QByteArray("Location"), QByteArray("http://moved.example/new.htm")));
    server.setRoute("nomarker.example", "/", plain);

    // A marker with neither a link nor a Location: no hop.
    page("nohref.example", "/", "<title>Object moved</title> nothing here");

    // An empty link: the page itself once more.
    page("self.example", "/",
         "<title>Document Moved</title><a href=\"\">x</a> <a href=\"http://main.example/\">main</a>");

    const int m = addMain("main.example");
    addLinking(m, "redirect.example/");
    addLinking(m, "fallback.example/");
    addLinking(m, "nomarker.example/");
    addLinking(m, "nohref.example/");
    addLinking(m, "self.example/");

    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());

    EXPECT_EQ(requestPaths(),
              (QStringList{"redirect.example/", "moved.example/new.htm", "fallback.example/", "fallback.example/new.htm",
                           "nomarker.example/", "moved.example/new.htm", "nohref.example/", "self.example/",
                           "self.example/"}));
    EXPECT_EQ(statuses(), (QStringList{"Direct Link", "Direct Link", "Direct Link", "None Found", "Direct Link"}));
    EXPECT_EQ(linkUrls(), (QStringList{"redirect.example", "fallback.example", "nomarker.example", "nohref.example/",
                                       "self.example"}));
    EXPECT_EQ(resultColours(), (QList<int>{kBlue, kBlue, kBlue, kRed, kBlue}));
    EXPECT_TRUE(errors().isEmpty());
    ASSERT_EQ(queuesAtEnd.size(), 5);
    EXPECT_EQ(queuesAtEnd[0], QStringList{"redirect.example/rel.htm"});
    EXPECT_EQ(queuesAtEnd[2], QStringList{"nomarker.example/rel.htm"});
    EXPECT_EQ(siteColours(m), (QList<int>{kBlue, kBlue, kBlue, kRed, kBlue}));
    EXPECT_FALSE(tarnwick::ScannerTestAccess::followingRedirect(scanner));
    // The dump is the page the hop fetched.
    EXPECT_EQ(readFile(p.path("html0.txt")),
              "<title>Document Moved</title><a \r\nhref=\"\">x</a> <a \r\nhref=\"http://main.example/\">main</a>\r\n");
}

TEST_F(PageScan, EveryRedirectStatusIsFollowedOnceWhateverItsBody)
{
    struct Case {
        const char *host;
        int status;
        QByteArray body;
        QByteArray location;
    };
    const Case cases[] = {
        {"s301.example", 301, "", "http://target.example/a.htm"},
        {"s302.example", 302, "", "/b.htm"},  // resolved against the page
        {"s303.example", 303, "<html>See elsewhere</html>", "http://target.example/c.htm"},
        {"s307.example", 307, "<html>Temporary</html>", "http://target.example/d.htm"},
        {"s308.example", 308, "<html>Permanent</html>", "http://target.example/e.htm"},
    };
    const int m = addMain("main.example");
    for (const Case &c : cases) {
        serve(c.host);
        Response moved = Response::page(c.body, c.status, "Moved");
        moved.headers.append(qMakePair(QByteArray("Location"), c.location));
        server.setRoute(c.host, "/", moved);
        addLinking(m, QString::fromLatin1(c.host) + "/");
    }
    serve("target.example");
    for (const char *path : {"/a.htm", "/c.htm", "/d.htm", "/e.htm"})
        server.setRoute("target.example", path, Response::page("<a href=\"http://main.example/\">main</a>"));
    page("s302.example", "/b.htm", "<a href=\"http://main.example/\">main</a>");

    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());

    EXPECT_EQ(requestPaths(),
              (QStringList{"s301.example/", "target.example/a.htm", "s302.example/", "s302.example/b.htm",
                           "s303.example/", "target.example/c.htm", "s307.example/", "target.example/d.htm",
                           "s308.example/", "target.example/e.htm"}));
    EXPECT_EQ(statuses(), QStringList(5, "Direct Link"));
    EXPECT_EQ(linkUrls(), (QStringList{"s301.example", "s302.example", "s303.example", "s307.example", "s308.example"}));
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_FALSE(tarnwick::ScannerTestAccess::followingRedirect(scanner));
}

TEST_F(PageScan, OptionsChangeWhatAPageDoes)
{
    page("mention.example", "/",
         "We like www.main.example and <a href=\"next.htm\">more</a> <a href=\"http://www.main.example\">bare</a>");
    page("mention.example", "/next.htm",
         "<a href=\"data.xyz\">data</a> <a href=\"http://www.main.example/\">main</a>");
    const int m = addMain("main.example");
    addLinking(m, "mention.example/", "2");
    setting("chkRedirect", "0");
    setting("chkUpdate", "0");
    setting("chkAudioEmail", "0");
    setting("chkFileTypes", "0");

    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());

    // Without the redirect ending the site goes on past the mention; with
    // every value a page, the bare host resolves to a page of the main site
    // and the unknown extension is queued.
    EXPECT_EQ(requestPaths(), (QStringList{"mention.example/", "mention.example/next.htm"}));
    EXPECT_EQ(statuses(), (QStringList{"Direct Link", "Direct Link"}));
    EXPECT_EQ(linkUrls(), (QStringList{"mention.example", "mention.example/next.htm"}));
    ASSERT_EQ(queuesAtEnd.size(), 1);
    EXPECT_EQ(queuesAtEnd[0], QStringList{"mention.example/data.xyz"});
    EXPECT_EQ(siteTexts(m), QStringList{"mention.example/"});
    EXPECT_EQ(siteColours(m), QList<int>{kBlue});
    EXPECT_EQ(foundSounds(), 0);

    // With the file-type test the bare host is no page: it counts as a
    // direct link as written, and the page only mentions the main site
    // otherwise, so the redirect ends the site after it.
    setting("chkRedirect", "1");
    setting("chkFileTypes", "1");
    page("mention.example", "/", "We like www.main.example and <a href=\"next.htm\">more</a>");
    server.clearRequests();
    queuesAtEnd.clear();
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(requestPaths(), QStringList{"mention.example/"});
    EXPECT_EQ(statuses(), QStringList{"Redirect Link"});
    EXPECT_EQ(siteColours(m), QList<int>{kGreen});
    // "chkUpdate" is off: the row keeps its URL.
    EXPECT_EQ(siteTexts(m), QStringList{"mention.example/"});
}

// A page of many links to itself and one to the main site near the top: an
// interruption asked for during the page is carried out at its next yield.
class PageInterrupted : public PageScan {
protected:
    void SetUp() override
    {
        PageScan::SetUp();
        QByteArray body = "<a href=\"p0.htm\">p</a>\n<a href=\"http://main.example/\">main</a>\n";
        for (int i = 1; i < 5000; ++i)
            body += "<a href=\"p" + QByteArray::number(i) + ".htm\">p</a>\n";
        page("big.example", "/", body);
        page("next.example", "/", "<a href=\"http://main.example/\">main</a>");
        const int m = addMain("main.example");
        addLinking(m, "big.example/", "5");
        addLinking(m, "next.example/");
    }
};

TEST_F(PageInterrupted, SkipLeavesThePageAtOnceAndTheNextSiteRuns)
{
    // Asked for when the row is counted; carried out at the yield that
    // follows the row.
    onCount = [this] {
        if (ctx().lLinksFound == 1 && !onCountFired) {
            onCountFired = true;
            QTimer::singleShot(0, &scanner, [this] { scanner.cmdSkip_Click(); });
        }
    };
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());

    EXPECT_EQ(requestPaths(), (QStringList{"big.example/", "next.example/"}));
    EXPECT_EQ(statuses(), (QStringList{"Direct Link", "Missing 004", "Direct Link"}));
    EXPECT_EQ(linkUrls(), (QStringList{"big.example", "big.example", "next.example"}));
    ASSERT_EQ(queuesAtEnd.size(), 2);
    EXPECT_EQ(queuesAtEnd[0], QStringList{"big.example/p0.htm"});
    EXPECT_EQ(ctx().lPagesFound, 1);
    EXPECT_FALSE(scanner.site().bSkipClicked);
}

TEST_F(PageInterrupted, StopLeavesThePageAndRequestsNothingMore)
{
    onCount = [this] {
        if (ctx().lLinksFound == 1 && !onCountFired) {
            onCountFired = true;
            QTimer::singleShot(0, &scanner, [this] { scanner.cmdStop_Click(); });
        }
    };
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    spin(200);

    EXPECT_EQ(requestPaths(), QStringList{"big.example/"});
    EXPECT_EQ(statuses(), QStringList{"Direct Link"});
    EXPECT_EQ(project.List2->items(), QStringList{"big.example/p0.htm"});
    EXPECT_EQ(ctx().lPagesFound, 1);
    EXPECT_EQ(display.panelText(1), "Stopped");
    EXPECT_EQ(display.panelText(2), "");
    EXPECT_EQ(display.panelText(3), "");
    EXPECT_FALSE(tarnwick::ScannerTestAccess::followingRedirect(scanner));
    EXPECT_TRUE(display.enabled(scantest::Control::StartScan));
}

TEST_F(PageScan, AHundredThousandSameSiteLinksOnOnePage)
{
    // 100,500 links, 100,000 of them different, and a link to the main site
    // at the very end.
    QByteArray body;
    body.reserve(100500 * 30);
    for (int i = 0; i < 100500; ++i)
        body += "<a href=\"p" + QByteArray::number(i % 100000) + ".htm\">p</a>\n";
    body += "<a href=\"http://main.example/\">main</a>\n";
    page("huge.example", "/", body);
    const int m = addMain("main.example");
    addLinking(m, "huge.example/");
    setting("cmbAdvance", "0");  // this one page only

    // Events are processed while the page is read, not only around it.
    qint64 queuedWhenAnEventRan = -1;
    onCount = [&] {
        if (ctx().lPagesFound == 1 && !onCountFired) {
            onCountFired = true;
            QTimer::singleShot(0, &scanner, [&] { queuedWhenAnEventRan = scanner.site().lSitePagesFound; });
        }
    };

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd(300000));
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    EXPECT_EQ(statuses(), QStringList{"Direct Link"});
    ASSERT_EQ(pagesFoundAtEnd.size(), 1);
    EXPECT_EQ(pagesFoundAtEnd[0], 100000);
    ASSERT_EQ(queuesAtEnd.size(), 1);
    EXPECT_EQ(queuesAtEnd[0].size(), 100000);
    EXPECT_EQ(queuesAtEnd[0].last(), "huge.example/p99999.htm");
    EXPECT_GT(queuedWhenAnEventRan, 0);
    EXPECT_LT(queuedWhenAnEventRan, 100000);
    // A 3 MB page and its queue: far below what one copy per line would take.
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 400L * 1024);  // kilobytes
}

} // namespace
