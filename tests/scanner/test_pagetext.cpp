#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "scanner/pagetext.h"
#include "support/files.h"

using namespace tarnwick;
using testsupport::readBytes;

namespace {
LinkContext partnerPage()
{
    LinkContext c;
    c.mainSite = QStringLiteral("main.example");
    c.curUrl = QStringLiteral("www.partner.example/links/index.htm");
    c.curDir = QStringLiteral("www.partner.example/links/");
    c.sockHost = QStringLiteral("www.partner.example");
    c.mainSiteText = QStringLiteral("http://www.main.example");
    c.linkingSiteRow = QStringLiteral("http://www.partner.example/");
    c.fileTypes = QStringList{".htm", ".php", ".asp"};
    return c;
}

std::string show(const LineResult &r)
{
    return ("value=" + r.value + " queue=" + r.queueUrl + " rule=" + (r.ruleProblem ? "1" : "0")
            + " status=" + r.status)
        .toStdString();
}
} // namespace

TEST(PageText, StatusNotesTheLastOneWins)
{
    struct Row {
        QString page;
        bool mentioned;
        QString note;
    } rows[] = {
        {"<p>nothing here</p>", false, ""},
        {"see WWW.MAIN.EXAMPLE for more", true, "Possible Redirected URL"},
        {"you are seeing this text because the source is protected", false, "Source Protected"},
        {"main.example ... You are seeing this text because", true, "Source Protected"},
        {"main.example <?PHP echo 1; ?> You are seeing this text because", true, "Server Script Error"},
        {"<?php", false, "Server Script Error"},
    };
    for (const Row &r : rows) {
        const PageNotes n = pageStatusNotes(r.page, "main.example");
        EXPECT_EQ(n.mainSiteMentioned, r.mentioned) << r.page.toStdString();
        EXPECT_EQ(n.statusNote, r.note) << r.page.toStdString();
    }
}

TEST(PageText, HrefNormalisation)
{
    EXPECT_EQ(normalizeHrefs("<a HREF=\"x\">a</a><a Href='y'>"), "<a \r\nhref=\"x\">a</a><a \r\nhref='y'>");
    EXPECT_EQ(normalizeHrefs("no links"), "no links");
    EXPECT_EQ(normalizeHrefs("href=href="), "\r\nhref=\r\nhref=");
    // A space before the equals sign is not an attribute we take.
    EXPECT_EQ(normalizeHrefs("<a href =\"x\">"), "<a href =\"x\">");
    // Runs of up to 36 spaces vanish; a longer run keeps its length less 36.
    for (int n = 0; n <= 45; ++n) {
        const QString page = "<a href=" + QString(n, ' ') + "\"x\">";
        const QString expected = "<a \r\nhref=" + QString(std::max(0, n - 36), ' ') + "\"x\">";
        EXPECT_EQ(normalizeHrefs(page), expected) << n;
    }
}

TEST(PageText, DumpsAreReplacedWithThePageAndALineEnd)
{
    QTemporaryDir dir;
    const QString text = normalizeHrefs(QString::fromUtf8("<p>caf\xc3\xa9</p>\r\n<a href=\"a.htm\">a</a>\n<b>\r</b>"));
    ASSERT_TRUE(writePageDump(dir.path(), 0, text));
    ASSERT_TRUE(writePageDump2(dir.path(), 0, text));
    EXPECT_EQ(pageDumpPath(dir.path(), 0), dir.filePath("html0.txt"));
    EXPECT_EQ(pageDump2Path(dir.path(), 0), dir.filePath("html20.txt"));
    EXPECT_EQ(readBytes(dir.filePath("html0.txt")),
              QByteArray("<p>caf\xc3\xa9</p>\r\n<a \r\nhref=\"a.htm\">a</a>\n<b>\r</b>\r\n"));
    EXPECT_EQ(readBytes(dir.filePath("html20.txt")), QByteArray("<p>caf\xc3\xa9</p><a href=\"a.htm\">a</a><b></b>\r\n"));

    // A shorter page leaves nothing of the longer one behind.
    ASSERT_TRUE(writePageDump(dir.path(), 0, "x"));
    ASSERT_TRUE(writePageDump2(dir.path(), 0, ""));
    EXPECT_EQ(readBytes(dir.filePath("html0.txt")), QByteArray("x\r\n"));
    EXPECT_EQ(readBytes(dir.filePath("html20.txt")), QByteArray("\r\n"));

    ASSERT_TRUE(writePageDump(dir.path(), 3, "y"));
    EXPECT_EQ(readBytes(dir.filePath("html3.txt")), QByteArray("y\r\n"));
    EXPECT_FALSE(writePageDump(dir.filePath("missing/folder"), 0, "x"));
    EXPECT_FALSE(writePageDump2(dir.filePath("missing/folder"), 0, "x"));
}

TEST(PageText, DumpLinesFollowTheDumpFile)
{
    struct Row {
        QString text;
        QStringList lines;
    } rows[] = {
        {"", {""}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"a\r\n", {"a", ""}},
        {"a\n", {"a", ""}},
        {"a\r", {"a", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\r\nb", {"a", "", "b"}},
        {"\r\nhref=x", {"", "href=x"}},
    };
    for (const Row &r : rows)
        EXPECT_EQ(dumpLines(r.text), r.lines) << r.text.toStdString();

    // Read back from the written dump, line ends CR LF: the same lines.
    QTemporaryDir dir;
    const QString text = normalizeHrefs("<html>\r\n<a href=\"a.htm\">a</a> <a href=b.htm>b</a>\r\n</html>");
    ASSERT_TRUE(writePageDump(dir.path(), 0, text));
    QByteArray file = readBytes(dir.filePath("html0.txt"));
    ASSERT_TRUE(file.endsWith("\r\n"));
    file.chop(2);
    EXPECT_EQ(dumpLines(text), QString::fromUtf8(file).split("\r\n"));

    DumpLineReader reader(QStringLiteral("x"));
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(reader.next().toString(), "x");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_TRUE(reader.next().isEmpty());
}

TEST(PageText, RedirectMarkersAndStatuses)
{
    EXPECT_TRUE(isRedirectMarker(u"<h1>302 found</h1>"));
    EXPECT_TRUE(isRedirectMarker(u"HTTP/1.1 301 Moved Permanently"));
    EXPECT_TRUE(isRedirectMarker(u"<TITLE>Document Moved</TITLE>"));
    EXPECT_TRUE(isRedirectMarker(u"<title>Object Moved</title>"));
    EXPECT_FALSE(isRedirectMarker(u"303 See Other"));
    EXPECT_FALSE(isRedirectMarker(u"Object moved"));

    for (int status : {301, 302, 303, 307, 308}) {
        EXPECT_TRUE(isRedirectStatus(status, "http://x/")) << status;
        EXPECT_FALSE(isRedirectStatus(status, "  ")) << status;
    }
    for (int status : {0, 200, 304, 305, 404})
        EXPECT_FALSE(isRedirectStatus(status, "http://x/")) << status;
}

TEST(PageText, ResponseStatusAndLocation)
{
    EXPECT_EQ(responseStatus(u"HTTP/1.1 302 Found\r\nLocation: /new.htm\r\n\r\n"), 302);
    EXPECT_EQ(responseStatus(u"HTTP/1.0 200 OK\r\n"), 200);
    EXPECT_EQ(responseStatus(u"HTTP/1.1 404\r\n"), 404);
    EXPECT_EQ(responseStatus(u"http/1.1 301 Moved"), 301);
    EXPECT_EQ(responseStatus(u"HTTP/1.1 3020 x\r\n"), 0);
    EXPECT_EQ(responseStatus(u"HTTP/1.1 abc\r\n"), 0);
    EXPECT_EQ(responseStatus(u"<html>"), 0);
    EXPECT_EQ(responseStatus(u""), 0);

    EXPECT_EQ(responseLocation(u"HTTP/1.1 302 Found\r\nServer: x\r\nlocation:   http://x/y \r\n\r\n"), "http://x/y");
    EXPECT_EQ(responseLocation(u"HTTP/1.1 302 Found\r\nContent-Location: /a\r\n\r\n"), "");
    EXPECT_EQ(responseLocation(u"Location: /a\r\n"), "");  // that is the status line
    EXPECT_EQ(responseLocation(u""), "");
}

TEST(PageText, ValueExtraction)
{
    struct Row {
        QString line;
        std::optional<QString> value;
    } rows[] = {
        {"href=\"http://www.main.example/\">Main</a>", "http://www.main.example/"},
        {"href='page.htm'>x</a>", "page.htm"},
        {"href=page.htm>x</a>", "page.htm"},
        {"href=page.htm class=x>", "page.htm"},
        {"href=\"page.htm\"", "page.htm"},
        {"href=page.htm", "page.htm"},
        {"xx HREF=\"Up.htm\" title='a'>", "Up.htm"},
        {"href=\"a b.htm\">", "a"},
        {"href=   page.htm   >", "page.htm"},
        {"href=\"#top\">", "#top"},
        {"href=\"file://c/x.htm\">", "file://c/x.htm"},
        {"href=\"\">", std::nullopt},
        {"href=''>", std::nullopt},
        {"href=>", std::nullopt},
        {"href=", std::nullopt},
        {"<a name=x>", std::nullopt},
        {"", std::nullopt},
        {"href=\"javascript:void(0)\">", std::nullopt},
        {"href=\"JavaScript:go()\">", std::nullopt},
        {"href=\"mailto:me@main.example\">", std::nullopt},
        {"href=\"/tools/mailtools.htm\">", std::nullopt},
        // Spaces before the quote are not removed: the value is then empty.
        {"href=" + QString(4, ' ') + "\"http://www.main.example/\">", ""},
    };
    for (const Row &r : rows)
        EXPECT_EQ(hrefValue(r.line), r.value) << r.line.toStdString();
}

TEST(PageText, PageTest)
{
    const QStringList types{".htm", ".php", ".asp"};
    struct Row {
        QString value;
        bool page;
    } rows[] = {
        {"dir/", true},           {"www.main.example/", true}, {"list?id=3", true},
        {"a.cgi?id=3", false},    {"Page.HTML", true},         {"shop.PHP?x=1", true},
        {"www.main.example", false}, {"image.gif", false},     {"", false},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(isPageValue(r.value, true, types), r.page) << r.value.toStdString();
        EXPECT_TRUE(isPageValue(r.value, false, types)) << r.value.toStdString();
    }
    EXPECT_FALSE(isPageValue("x.htm", true, {}));
    EXPECT_FALSE(isPageValue("x.htm", true, {""}));
}

TEST(PageText, ExamineLine)
{
    const LinkContext c = partnerPage();
    struct Row {
        QString line;
        LineResult expected;
    } rows[] = {
        {"href=\"page.htm\">", {"www.partner.example/links/page.htm", "www.partner.example/links/page.htm", false, ""}},
        {"href=\"/Top/\">", {"www.partner.example/Top/", "www.partner.example/Top/", false, ""}},
        {"href=\"http://www.main.example/\">", {"www.main.example/", "", false, "Direct Link"}},
        {"href=\"HTTP://WWW.MAIN.EXAMPLE/x.php\">", {"WWW.MAIN.EXAMPLE/x.php", "", false, "Direct Link"}},
        // Not a page: recorded as extracted, when direct.
        {"href=\"http://www.main.example\">", {"http://www.main.example", "", false, "Direct Link"}},
        {"href=\"http://www.other.example\">", {"http://www.other.example", "", false, ""}},
        {"href=\"image.gif\">", {"image.gif", "", false, ""}},
        // A page link with a fragment is dropped, even to the main site.
        {"href=\"http://www.main.example/index.htm#top\">", {"http://www.main.example/index.htm#top", "", false, ""}},
        {"href=\"http://www.main.example/#top\">", {"http://www.main.example/#top", "", false, "Direct Link"}},
        {"href=\"file://x/a.htm\">", {"file://x/a.htm", "", false, ""}},
        {"href=\"unsaved:///a.htm\">", {"unsaved:///a.htm", "", false, ""}},
        {"href=\"https://www.other.example/\">", {"www.other.example/", "", false, ""}},
        {"href=\"mailto:x@main.example\">", {}},
        {"<p>no link</p>", {}},
        {"href=" + QString(40, ' ') + "\"http://www.main.example/\">", {"", "", false, ""}},
    };
    for (const Row &r : rows) {
        const LineResult got = examineLine(r.line, c);
        EXPECT_EQ(got.value, r.expected.value) << r.line.toStdString() << " -> " << show(got);
        EXPECT_EQ(got.queueUrl, r.expected.queueUrl) << r.line.toStdString() << " -> " << show(got);
        EXPECT_EQ(got.ruleProblem, r.expected.ruleProblem) << r.line.toStdString();
        EXPECT_EQ(got.status, r.expected.status) << r.line.toStdString() << " -> " << show(got);
    }
}

TEST(PageText, DomainLinksComeOnlyFromPages)
{
    LinkContext c = partnerPage();
    c.mainSite = QStringLiteral("shop.main.example");
    EXPECT_EQ(examineLine(u"href=\"http://www.main.example/a.htm\">", c).status, "Domain Link");
    EXPECT_EQ(examineLine(u"href=\"http://www.main.example\">", c).status, "");
    EXPECT_EQ(examineLine(u"href=\"http://www.shop.main.example\">", c).status, "Direct Link");
    // Exact comparison of the two labels.
    EXPECT_EQ(examineLine(u"href=\"http://WWW.MAIN.EXAMPLE/a.htm\">", c).status, "");
}

TEST(PageText, ExamineLineWithRules)
{
    QTemporaryDir dir;
    LinkContext c = partnerPage();
    c.rules = {Rule{"Global", "Global", "ExcludeString", "page"}, Rule{"Global", "Global", "ExcludeString", "main"}};
    c.ruleLog = RuleLog{true, dir.path()};
    int lookups = 0;
    c.siteKnown = [&](QString &) {
        ++lookups;
        return false;
    };

    LineResult r = examineLine(u"href=\"page.htm\">", c);
    EXPECT_TRUE(r.ruleProblem);
    EXPECT_EQ(r.queueUrl, "");
    EXPECT_EQ(r.status, "");

    // A rejected page to the main site is still recorded as a direct link.
    r = examineLine(u"href=\"http://www.main.example/a.htm\">", c);
    EXPECT_TRUE(r.ruleProblem);
    EXPECT_EQ(r.status, "Direct Link");
    EXPECT_EQ(lookups, 0);

    r = examineLine(u"href=\"other.htm\">", c);
    EXPECT_FALSE(r.ruleProblem);
    EXPECT_EQ(r.queueUrl, "www.partner.example/links/other.htm");
    EXPECT_EQ(lookups, 1);

    EXPECT_EQ(readBytes(dir.filePath("rules.log")),
              QByteArray("Excluded Site: www.partner.example/links/page.htm\r\nRule Type: ExcludeString\r\n"
                         "Rule Value: page\r\n\r\n\r\n"
                         "Excluded Site: www.main.example/a.htm\r\nRule Type: ExcludeString\r\n"
                         "Rule Value: main\r\n\r\n\r\n"));
}

TEST(PageText, ExamineLineUsesTheSeenPageLookups)
{
    LinkContext c = partnerPage();
    QSet<QString> seen{"partner.example/links/old.htm"};
    // Reduces like the seen-page lookup does, then answers from the set.
    c.siteKnown = [&](QString &url) {
        url.remove("www.");
        return seen.contains(url.toLower());
    };
    bool pageRecorded = false;
    c.foundOnKnown = [&] { return pageRecorded; };

    LineResult r = examineLine(u"href=\"new.htm\">", c);
    EXPECT_EQ(r.queueUrl, "partner.example/links/new.htm");
    EXPECT_EQ(r.value, "partner.example/links/new.htm");
    EXPECT_EQ(examineLine(u"href=\"OLD.htm\">", c).queueUrl, "");
    // Not of this site: not queued.
    EXPECT_EQ(examineLine(u"href=\"http://www.other.example/x.htm\">", c).queueUrl, "");

    EXPECT_EQ(examineLine(u"href=\"http://www.main.example/\">", c).status, "Direct Link");
    pageRecorded = true;
    EXPECT_EQ(examineLine(u"href=\"http://www.main.example/\">", c).status, "");
    // Queueing does not depend on the page's rows.
    EXPECT_EQ(examineLine(u"href=\"more.htm\">", c).queueUrl, "partner.example/links/more.htm");
}

TEST(PageText, ExamineLineWithoutTheFileTypeTest)
{
    LinkContext c = partnerPage();
    c.useFileTypes = false;
    LineResult r = examineLine(u"href=\"http://www.main.example\">", c);
    EXPECT_EQ(r.value, "www.main.example/");
    EXPECT_EQ(r.status, "Direct Link");
    EXPECT_EQ(examineLine(u"href=\"image.gif\">", c).queueUrl, "www.partner.example/links/image.gif");
    // An empty value resolves to the current directory.
    EXPECT_EQ(examineLine(QString("href=" + QString(40, ' ') + "\"x\">"), c).queueUrl,
              "www.partner.example/links/");
}

TEST(PageText, RedirectTargets)
{
    const LinkContext c = partnerPage();
    struct Row {
        QString page, location, target;
    } rows[] = {
        // The address on the first "href=" line from the marker on.
        {"<title>302 Found</title>\r\n<p>The document has moved <a href=\"http://www.partner.example/new.htm\">here</a>",
         "", "http://www.partner.example/new.htm"},
        {"<h1>302 Found</h1><a href='/moved/Here.ht'>here</a>", "http://ignored/", "www.partner.example/moved/Here.htm"},
        {"<title>Object moved</title>\n<a HREF=next.htm>here</a>", "", "www.partner.example/links/next.htm"},
        // The marker line itself counts.
        {"<a href=\"old.htm\"><title>Document Moved</title>\n<a href=next.htm>", "", "www.partner.example/links/old.htm"},
        {"302 Found<a href=\"https://secure.example/x\">", "", "https://secure.example/x"},
        // An empty address: the page itself.
        {"302 Found <a href=\"\">here</a>", "", "www.partner.example/links/index.htm"},
        // No "href=" line: the Location header, resolved when it has no scheme.
        {"<h1>302 Found</h1>", "http://www.partner.example/b.htm", "http://www.partner.example/b.htm"},
        {"<h1>302 Found</h1>", "/b.htm", "www.partner.example/b.htm"},
        {"<h1>302 Found</h1>\n<p>gone</p>", "", ""},
    };
    for (const Row &r : rows) {
        DumpLineReader reader(normalizeHrefs(r.page));
        QString target = "<no marker>";
        while (!reader.atEnd()) {
            const QStringView line = reader.next();
            if (isRedirectMarker(line)) {
                target = redirectTarget(line, reader, r.location, c);
                break;
            }
        }
        EXPECT_EQ(target, r.target) << r.page.toStdString();
        if (target.isEmpty())
            EXPECT_TRUE(reader.atEnd());
    }
}

// The loop the window runs over a page, without the window.
TEST(PageText, AWholePage)
{
    LinkContext c = partnerPage();
    QStringList queue;
    QStringList rows;
    c.siteKnown = [&](QString &url) { return queue.contains(url, Qt::CaseInsensitive); };
    c.foundOnKnown = [&] { return !rows.isEmpty(); };

    const QString page = "<html><head><title>Links</title></head>\n<body>\n"
                         "<a href=\"page2.htm\">next</a> <a HREF='page2.htm'>again</a>\n"
                         "<a href=http://www.partner.example/about.php>about</a>\n"
                         "<a href=\"http://www.main.example/\">Main</a> and <a href='http://main.example/x.htm'>x</a>\n"
                         "<a href=\"mailto:me@partner.example\">mail</a>\n"
                         "<a href=\"../up/\">up</a></body></html>\n";
    DumpLineReader reader(normalizeHrefs(page));
    int lines = 0;
    while (!reader.atEnd()) {
        const LineResult r = examineLine(reader.next(), c);
        ++lines;
        if (!r.queueUrl.isEmpty())
            queue << r.queueUrl;
        if (!r.status.isEmpty())
            rows << r.status + " " + r.value;
    }
    EXPECT_EQ(queue, QStringList({"www.partner.example/links/page2.htm", "www.partner.example/about.php",
                                  "www.partner.example/up/"}));
    // The second link to the main site finds the page already recorded.
    EXPECT_EQ(rows, QStringList({"Direct Link www.main.example/"}));
    EXPECT_EQ(lines, 15);
}

TEST(PageText, AHundredThousandSameSiteLinks)
{
    LinkContext c = partnerPage();
    QSet<QString> seen;
    c.siteKnown = [&](QString &url) { return seen.contains(url.toLower()); };
    QString page;
    const int count = 100500;
    page.reserve(count * 40);
    for (int i = 0; i < count; ++i)
        page += QStringLiteral("<a href=\"p%1.htm\">p</a>\n").arg(i % 100000);
    DumpLineReader reader(normalizeHrefs(page));
    qsizetype queued = 0;
    while (!reader.atEnd()) {
        const LineResult r = examineLine(reader.next(), c);
        if (!r.queueUrl.isEmpty()) {
            seen.insert(r.queueUrl.toLower());
            ++queued;
        }
    }
    EXPECT_EQ(queued, 100000);
}
