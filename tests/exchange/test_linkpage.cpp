// The link page: which rows give entries, the entry bytes, the lookups in
// the linking-site entries and the page file.

#include <gtest/gtest.h>

#include "exchange/linkpage.h"
#include "support/printers.h"

using namespace tarnwick;

namespace {

ResultRow row(const QString &main, const QString &linking, const QString &status)
{
    return ResultRow{kIconLink, main, linking, status, QStringLiteral("001"), linking + QStringLiteral("/p")};
}

const QVector<MainSiteData> kSites = {
    {"http://www.main.example",
     {{"http://www.partner.example/links", "1", "https://partner.example/", "<b>Partner</b>", "Good & fast"},
      {"plain.example", "1", "", "", " "}}},
    {"second.example", {{"other.example", "1", "other.example/x", "Other", ""}}},
};

TEST(LinkPage, OnlyRowsThatCountAsLinksGiveOneEntryPerLinkingSite)
{
    const QVector<ResultRow> rows = {
        row("main.example", "partner.example", "Direct Link"),
        row("main.example", "partner.example", "Direct Link"),
        row("main.example", "domain.example", "Domain Link"),
        row("main.example", "none.example", "None Found (Possible Redirected URL)"),
        row("main.example", "missing.example", "Missing 002"),
        row("main.example", "plain.example", "Redirect Link"),
        row("main.example", "a&b.example", "direct link"),
    };
    LinkPageOptions o;
    o.newWindow = false;
    // The first entry's own values stand as typed, the https link keeps its
    // scheme; plain.example has no values of its own (a blank description
    // adds nothing); a&b.example is not in any list, its domain is escaped.
    EXPECT_EQ(generateLinks(kSites, rows, o),
              "<a href=\"https://partner.example/\"><b>Partner</b></a><BR>Good & fast<br><br>\r\n"
              "<a href=\"http://plain.example\">plain.example</a><br><br>\r\n"
              "<a href=\"http://a&amp;b.example\">a&amp;b.example</a><br><br>\r\n");
}

TEST(LinkPage, OptionsShapeTheEntryAndChooseTheMainSite)
{
    LinkPageOptions o;
    o.bullets = true;
    o.newWindow = true;
    // A quote in the address stays inside the attribute; the text is as typed.
    EXPECT_EQ(linkEntry("x.example/?q=\"a\"", "\"X\"", "", o),
              "<li><a href=\"http://x.example/?q=&quot;a&quot;\" target=\"_blank\">\"X\"</a></li><br><br>\r\n");

    const QVector<ResultRow> rows = {row("second.example", "other.example", "Direct Link"),
                                     row("main.example", "plain.example", "Direct Link")};
    o = LinkPageOptions{false, false, true, " http://www.main.example "};
    EXPECT_EQ(generateLinks(kSites, rows, o), "<a href=\"http://plain.example\">plain.example</a><br><br>\r\n");
    o.mainSite = "";
    EXPECT_EQ(generateLinks(kSites, rows, o), "");
}

TEST(LinkPage, RowsWithoutAMainSiteCountUnderTheFirst)
{
    // Results of older project files carry no "Main".
    const QVector<ResultRow> rows = {row("", "partner.example", "Direct Link")};
    const QString partner = "<a href=\"https://partner.example/\"><b>Partner</b></a><BR>Good & fast<br><br>\r\n";
    EXPECT_EQ(generateLinks(kSites, rows, LinkPageOptions{false, false, false, {}}), partner);
    EXPECT_EQ(generateLinks(kSites, rows, LinkPageOptions{false, false, true, "http://www.main.example"}), partner);
    EXPECT_EQ(generateLinks(kSites, rows, LinkPageOptions{false, false, true, "second.example"}), "");
}

TEST(LinkPage, LookupsMatchMainAndLinkingSitesWithOrWithoutScheme)
{
    const QStringList mains = {"http://www.main.example", "second.example", "main.example"};
    EXPECT_EQ(getMainSiteIndex(mains, "main.example"), 0);
    EXPECT_EQ(getMainSiteIndex(mains, " second.example"), 1);
    EXPECT_EQ(getMainSiteIndex(mains, "unknown.example"), -1);

    EXPECT_TRUE(linkingSiteMatches("HTTP://www.Partner.example/x", "partner.EXAMPLE"));
    EXPECT_FALSE(linkingSiteMatches("partner.example.org", "partner.example"));

    // A row of an unknown main site never takes another main site's entry.
    const QVector<ResultRow> rows = {row("unknown.example", "other.example", "Direct Link")};
    EXPECT_EQ(generateLinks(kSites, rows, LinkPageOptions{false, false, false, {}}),
              "<a href=\"http://other.example\">other.example</a><br><br>\r\n");

    // The first entry with a value in the column wins, column by column.
    const QVector<LinkingSiteRow> links = {{"p.example", "1", "", "First", ""},
                                           {"www.p.example", "1", "p.example/l", "Second", "D"}};
    EXPECT_EQ(getLinkURL(links, "p.example"), "p.example/l");
    EXPECT_EQ(getLinkTitle(links, "p.example"), "First");
    EXPECT_EQ(getLinkDescription(links, "p.example"), "D");
}

TEST(LinkPage, PageFileHasCrLfLineEnds)
{
    EXPECT_EQ(webPageText("<html>\n<body>", "a\r\nb", "</html>"),
              "<html>\r\n<body>\r\n\r\na\r\nb\r\n\r\n</html>\r\n");
}

} // namespace
