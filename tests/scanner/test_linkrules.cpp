#include <gtest/gtest.h>

#include "scanner/linkrules.h"

using namespace tarnwick;

namespace {
const QString kHost = QStringLiteral("www.partner.example");
const QString kDir = QStringLiteral("www.partner.example/links/");

QString resolved(const QString &value, const QString &host = kHost, const QString &dir = kDir)
{
    QString link = value;
    return resolveLink(link, host, dir);
}
} // namespace

TEST(LinkResolution, StripDomainKeepsPathAndDropsOnlyALeadingWww)
{
    struct Row {
        QString in, out;
    } rows[] = {
        {"http://www.Main.example/", "Main.example/"},
        {"WWW.main.example", "main.example"},
        {"www.", "www."},
        {"www.x", "x"},
        {"HTTPS://www.main.example/shop", "main.example/shop"},
        {"main.example", "main.example"},
        {"mywww.main.example", "mywww.main.example"},
        {"", ""},
    };
    for (const Row &r : rows)
        EXPECT_EQ(stripDomain(r.in), r.out) << r.in.toStdString();
}

TEST(LinkResolution, GetBaseDirGivesTheParentDirectory)
{
    struct Row {
        QString in, out;
    } rows[] = {
        {"partner.example/a/b.htm", "partner.example/a/"},
        {"partner.example/a/", "partner.example/"},
        {"partner.example/a", "partner.example/"},
        {"partner.example", "partner.example/"},
        {"partner.example/", "partner.example/"},
        {"http://partner.example/a/b.htm", "http://partner.example/a/"},
        {"http://partner.example/", "partner.example/"},
        // A scheme in capitals is removed the same way.
        {"HTTP://partner.example/a/b.htm", "http://partner.example/a/"},
        {"Https://partner.example", "partner.example/"},
        {"https://partner.example/a/b/", "https://partner.example/a/"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(getBaseDir(r.in), r.out) << r.in.toStdString();
}

TEST(LinkResolution, WorkedExamples)
{
    struct Row {
        QString in, out;
    } rows[] = {
        {"page.htm", "www.partner.example/links/page.htm"},
        {"/top/index.htm", "www.partner.example/top/index.htm"},
        {"../up.htm", "www.partner.example/up.htm"},
        {"./same.htm", "www.partner.example/links/same.htm"},
        {"http://www.main.example", "www.main.example/"},
        {"http://www.main.example/x.as", "www.main.example/x.asp"},
        {"https://shop.example/x", "shop.example/x"},
        {"https://www.shop.example/x", "www.shop.example/x"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(resolved(r.in), r.out) << r.in.toStdString();
}

TEST(LinkResolution, RelativeForms)
{
    struct Row {
        QString in, host, dir, out;
    } rows[] = {
        // A value that looks like it names a host is not prefixed.
        {"www.htm", kHost, kDir, "www.htm/"},
        {"shop.com/x.htm", kHost, kDir, "shop.com/x.htm"},
        {"WWW.Other.example/a/", kHost, kDir, "WWW.Other.example/a/"},
        // "./" is relative to the directory, on any host.
        {"./same.htm", "partner.example", "partner.example/links/", "partner.example/links/same.htm"},
        {"././a/./b.htm", kHost, kDir, "www.partner.example/links/a/b.htm"},
        {"./../up.htm", kHost, kDir, "www.partner.example/up.htm"},
        {"plain.htm", "partner.example", "partner.example/links/", "partner.example/links/plain.htm"},
        // Climbing past the top stops at the host.
        {"..", kHost, kDir, "www.partner.example/"},
        {"../..", kHost, kDir, "www.partner.example/"},
        {"../../../x.htm", kHost, kDir, "www.partner.example/x.htm"},
        {"../x.htm", kHost, "www.partner.example/a/b/", "www.partner.example/a/x.htm"},
        {"../../x.htm", kHost, "www.partner.example/a/b/", "www.partner.example/x.htm"},
        {"../../../x.htm", kHost, "www.partner.example/a/b/c/", "www.partner.example/x.htm"},
        {".././../x.htm", kHost, "www.partner.example/a/b/c/", "www.partner.example/a/x.htm"},
        // Runs of slashes collapse.
        {"/a//b///c.htm", kHost, kDir, "www.partner.example/a/b/c.htm"},
        {"http://www.main.example//////x.htm", kHost, kDir, "www.main.example/x.htm"},
        // Another address in the query: every "http://" goes and the link
        // counts as absolute, so it is not put under the directory.
        {"go.php?u=http://www.main.example/", kHost, kDir, "go.php?u=www.main.example/"},
        {"HTTP://www.main.example/", kHost, kDir, "www.main.example/"},
        // Scheme-relative: another host.
        {"//www.main.example/", kHost, kDir, "www.main.example/"},
        {"//cdn.example/lib/x.php", kHost, kDir, "cdn.example/lib/x.php"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(resolved(r.in, r.host, r.dir), r.out) << r.in.toStdString();
}

TEST(LinkResolution, EndingRepairsApplyOnlyFromSevenCharacters)
{
    struct Row {
        QString in, out;
    } rows[] = {
        {"http://x.example/a.ht", "x.example/a.htm"},
        {"http://x.example/a.PH", "x.example/a.php"},
        {"http://x.example/a/hre", "x.example/a"},
        {"http://x.example/a/HREF", "x.example/a"},
        {"http://x.example/a/http:", "x.example/a"},
        {"http://x.example/a/http", "x.example/a"},
        {"http://x.example/a.htm", "x.example/a.htm"},
        // Shorter than 7 characters: returned as it stands.
        {"http://ab.as", "ab.as/"},
        {"http://a/b.as", "a/b.as"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(resolved(r.in), r.out) << r.in.toStdString();
}

TEST(LinkResolution, ResolveLinkWritesTheResultBack)
{
    QString link = QStringLiteral("page.htm");
    const QString result = resolveLink(link, kHost, kDir);
    EXPECT_EQ(link, result);
    EXPECT_EQ(link, "www.partner.example/links/page.htm");
}

TEST(LinkClassification, LastTwoLabels)
{
    EXPECT_EQ(lastTwoLabels("www.partner.example"), "partner.example");
    EXPECT_EQ(lastTwoLabels("a.b.c.example"), "c.example");
    EXPECT_EQ(lastTwoLabels("partner.example"), "partner.example");
    EXPECT_EQ(lastTwoLabels("localhost"), "localhost");
    EXPECT_EQ(lastTwoLabels(".example"), ".example");
    EXPECT_EQ(lastTwoLabels(""), "");
}

TEST(LinkClassification, SameSiteIsASubstringTestOnTheLastTwoLabels)
{
    const QString row = QStringLiteral("http://www.partner.example/links.htm");
    EXPECT_TRUE(isSameSite("www.partner.example/a.htm", row));
    EXPECT_TRUE(isSameSite("partner.example/", row));
    EXPECT_TRUE(isSameSite("WWW.PARTNER.EXAMPLE/b.htm", row));
    EXPECT_FALSE(isSameSite("www.other.example/", row));
    EXPECT_TRUE(isSameSite("www.notpartner.example/", row));
    // The site text containing the link counts too.
    EXPECT_TRUE(isSameSite("partner", row));
    // A two-label host is used unchanged; a scheme in capitals goes.
    EXPECT_TRUE(isSameSite("partner.example/x", "HTTPS://partner.example"));
    EXPECT_FALSE(isSameSite("www.example/x", "partner.example/dir/"));
}

TEST(LinkClassification, DirectAndDomainLinks)
{
    EXPECT_TRUE(isDirectLink("www.main.example/", "main.example"));
    EXPECT_TRUE(isDirectLink("MAIN.EXAMPLE/x", "main.example"));
    EXPECT_TRUE(isDirectLink("www.main.example.net/", "main.example"));
    EXPECT_FALSE(isDirectLink("www.other.example/", "main.example"));
    // A trailing "/" kept by stripDomain is looked for too.
    EXPECT_FALSE(isDirectLink("www.main.example", stripDomain("http://www.main.example/")));
    EXPECT_TRUE(isDirectLink("www.main.example/a", stripDomain("http://www.main.example/")));

    EXPECT_TRUE(isDomainLink("www.main.example/a", "sub.main.example"));
    EXPECT_FALSE(isDomainLink("main.example.net/", "sub.main.example"));
    EXPECT_FALSE(isDomainLink("WWW.MAIN.EXAMPLE/", "sub.main.example"));
    EXPECT_TRUE(isDomainLink("http://shop.main.example", "main.example/"));
    EXPECT_FALSE(isDomainLink("other.example/main.example", "main.example"));
}
