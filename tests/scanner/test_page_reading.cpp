// The one-pass reading of a page against the functions it replaced (kept in
// reference_pagetext): on generated and hostile pages every note, the
// normalised text, every line that can matter, every line's result, every
// redirect target, the rules log and both dumps must come out the same.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "scanner/pagetext.h"
#include "scanner/reference_pagetext.h"
#include "support/files.h"

using namespace tarnwick;

namespace {

const QString kKelvin(QChar(0x212A));
const QString kLongS(QChar(0x017F));

QString randomPage(QRandomGenerator &random)
{
    static const QStringList pieces = {
        "<a href=\"", "<A HREF='", "hReF=", "href=", "Href", "ref=", "h", "\"", "'", ">", "</a>", "<", " ",
        "\r\n", "\n", "\r", "\r\r\n", "page.htm", "../up/x.ASP", "./same.htm", "/top/", "http://www.main.example/",
        "HTTP://Main.Example/x.htm", "https://shop.example/a.php?x=1", "http://partner.example/p.htm",
        "javascript:go()", "MAILTO:x@y", "#top", "file://c/x", "unsaved:x", "?q=1", "www.other.com/", "ftp://f.example/",
        "302 Found", "301 MOVED PERMANENTLY", "<title>Document Moved</title>", "<TITLE>object moved</TITLE>",
        "You are SEEING this text because", "<?PhP", "kiosk.example", "KIOSK.EXAMPLE", "main.example", "_X.example", "s" + kKelvin + ".example",
        kKelvin, kLongS, QString::fromUtf8("caf\xc3\xa9"), "private", "partner", ".htm",
    };
    QString page;
    const int n = int(random.bounded(60));
    for (int i = 0; i < n; ++i) {
        const quint32 pick = random.bounded(100);
        if (pick < 6)
            page += QString(int(random.bounded(46)), QLatin1Char(' '));
        else if (pick < 7)
            page += QString(int(random.bounded(20000)), QLatin1Char('x'));  // a huge line
        else
            page += pieces[int(random.bounded(pieces.size()))];
    }
    return page;
}

QList<Rule> someRules()
{
    return {
        {"Global", "Global", "ExcludeString", "private"},
        {"http://www.main.example/", "Global", "ExcludeDirectory", "UP"},
        {"Global", "partner.example/links.htm", "LimitString", "example"},
        {"other.example", "Global", "ExcludeString", ""},        // out of scope
        {"Global", "Global", "LimitDirectory", "//"},
        {"Global", "Global", "ExcludeRoot", QString::fromUtf8("caf\xc3\xa9")},
        {"Global", "Global", "ExcludeString", "S" + kKelvin},
        {"Global", "Global", "limitstring", "never"},          // not a rule type
        {"Global", "Global", "ExcludeString", "private"},       // the same test again
        {"Global", "Global", "LimitRoot", "p"},
    };
}

struct Contexts {
    LinkContext now;
    reference::LinkContext before;
};

Contexts contexts(const QString &mainSite, const QString &logDirNow, const QString &logDirBefore)
{
    Contexts c;
    c.now.mainSite = mainSite;
    c.now.curUrl = "partner.example/links/index.htm";
    c.now.curDir = "partner.example/links/";
    c.now.sockHost = "partner.example";
    c.now.mainSiteText = "http://www.main.example/";
    c.now.linkingSiteRow = "partner.example/links.htm";
    c.now.fileTypes = {".htm", ".ASP", ""};
    c.now.rules = someRules();
    c.now.siteKnown = [](QString &url) {
        url = url.toLower();
        return url.size() % 3 == 0;
    };
    c.before.mainSite = c.now.mainSite;
    c.before.curUrl = c.now.curUrl;
    c.before.curDir = c.now.curDir;
    c.before.sockHost = c.now.sockHost;
    c.before.mainSiteText = c.now.mainSiteText;
    c.before.linkingSiteRow = c.now.linkingSiteRow;
    c.before.fileTypes = c.now.fileTypes;
    c.before.rules = c.now.rules;
    c.before.siteKnown = c.now.siteKnown;
    c.now.ruleLog = {true, logDirNow};
    c.before.ruleLog = {true, logDirBefore};
    return c;
}

std::string show(const LineResult &r)
{
    return (r.value + "|" + r.queueUrl + "|" + (r.ruleProblem ? "rule" : "") + "|" + r.status).toStdString();
}

} // namespace

TEST(PageReading, AgreesWithTheFunctionsItReplaced)
{
    QTemporaryDir now;
    QTemporaryDir before;
    QRandomGenerator random(17);
    const QStringList mainSites = {"main.example", "KIOSK.example/", "_x.EXAMPLE", "SK.example", "S",
                                   QString::fromUtf8("caf\xc3\xa9"), ""};
    PageDumps dumps;
    QStringList pages = {"", "href=", "\r", "x\r\n", QString(50000, 'a') + "href=\"p.htm\""};
    for (int i = 0; i < 3000; ++i)
        pages << randomPage(random);

    for (const QString &page : std::as_const(pages)) {
        const std::string shown = page.left(300).toStdString();
        for (const QString &mainSite : mainSites) {
            const PageReading reading = readPage(page, mainSite);
            const PageNotes notes = reference::pageStatusNotes(page, mainSite);
            ASSERT_EQ(reading.notes.mainSiteMentioned, notes.mainSiteMentioned) << shown;
            ASSERT_EQ(reading.notes.statusNote, notes.statusNote) << shown;
        }
        const QString mainSite = mainSites[int(random.bounded(6))];
        const PageReading reading = readPage(page, mainSite);
        const QString normalized = reference::normalizeHrefs(page);
        ASSERT_EQ(reading.text, normalized) << shown;

        // Line by line as the reader of the first dump went; the lines the
        // reading leaves out give nothing.
        const Contexts c = contexts(mainSite, now.path(), before.path());
        const LinkExaminer examiner(c.now);
        reference::DumpLineReader reader(normalized);
        qsizetype kept = 0;
        bool firstLine = true;
        while (!reader.atEnd()) {
            const QStringView line = reader.next();
            const bool marker = reference::isRedirectMarker(line);
            const bool href = containsIgnoringCase(line, u"href=");
            const LineResult expected = reference::examineLine(line, c.before);
            if (!marker && !href) {
                ASSERT_TRUE(expected.value.isEmpty() && expected.status.isEmpty()) << shown;
                firstLine = false;
                continue;
            }
            ASSERT_LT(kept, reading.lines.size()) << shown;
            const PageLine &got = reading.lines.at(kept);
            ASSERT_EQ(reading.line(got), line) << shown;
            ASSERT_EQ(got.marker, marker) << shown;
            ASSERT_EQ(got.href, href) << shown;
            ASSERT_EQ(got.start == 0, firstLine) << shown;
            ASSERT_EQ(show(examiner.examine(line)), show(expected)) << shown;
            if (marker) {
                reference::DumpLineReader rest = reader;
                ASSERT_EQ(redirectTarget(reading, kept, "/moved.htm", c.now),
                          reference::redirectTarget(line, rest, "/moved.htm", c.before))
                    << shown;
            }
            ++kept;
            firstLine = false;
        }
        ASSERT_EQ(kept, reading.lines.size()) << shown;

        ASSERT_TRUE(dumps.write(now.path(), 0, reading.text));
        ASSERT_TRUE(reference::writePageDump(before.path(), 0, normalized));
        ASSERT_TRUE(reference::writePageDump2(before.path(), 0, normalized));
        ASSERT_EQ(testsupport::readBytes(pageDumpPath(now.path(), 0)), testsupport::readBytes(reference::pageDumpPath(before.path(), 0)));
        ASSERT_EQ(testsupport::readBytes(pageDump2Path(now.path(), 0)), testsupport::readBytes(reference::pageDump2Path(before.path(), 0)));
    }
    EXPECT_EQ(testsupport::readBytes(now.filePath("rules.log")), testsupport::readBytes(before.filePath("rules.log")));
}

TEST(PageReading, RulesAgreeWithTheRuleByRuleWalk)
{
    QRandomGenerator random(5);
    static const QStringList texts = {"", "a", "/", "//", "x/y", "links", "LINKS/", "ex", "example", "p1",
                                      kKelvin, "k", kLongS + "s", "S", QString::fromUtf8("\xc3\xa9"), "é/"};
    static const QStringList types = {"LimitDirectory", "ExcludeDirectory", "LimitString", "ExcludeString",
                                      "LimitRoot", "ExcludeRoot", "Other"};
    static const QStringList scopes = {"Global", "main", "other"};
    for (int round = 0; round < 3000; ++round) {
        QList<Rule> rules;
        const int count = int(random.bounded(40));
        for (int i = 0; i < count; ++i)
            rules.append({scopes[int(random.bounded(3))], scopes[int(random.bounded(3))],
                          types[int(random.bounded(types.size()))], texts[int(random.bounded(texts.size()))]});
        const RuleSet set(rules, "main", "main");
        QString u;
        for (int i = int(random.bounded(8)); i > 0; --i)
            u += texts[int(random.bounded(texts.size()))];
        const Rule *expected = reference::rejectingRule(u, rules, "main", "main");
        const int index = set.rejectingIndex(u);
        ASSERT_EQ(index >= 0 ? &rules.at(index) : nullptr, expected) << u.toStdString();
    }
}
