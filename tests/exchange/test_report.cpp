// The report text, its counts and percentages, and the tab export text.

#include <QLocale>
#include <gtest/gtest.h>

#include "workspace/textcase.h"
#include "exchange/report.h"

using namespace tarnwick;

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

ResultRow row(const char *main, const char *linking, const char *status, const char *number = "001",
              const char *url = "x.example/")
{
    return ResultRow{0, main, linking, status, number, url};
}

LinkingSiteRow site(const char *url)
{
    return LinkingSiteRow{url, "1", {}, {}, {}};
}

ReportInput input(const QLocale &locale = kUs)
{
    ReportInput in;
    in.now = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    in.locale = locale;
    return in;
}

// The part of the report between the two headings of the percentages and
// the per-site section.
QString percentages(const QString &report)
{
    const qsizetype from = report.indexOf(QStringLiteral("<b>Percentages/Averages</b></td></tr>"));
    const qsizetype to = report.indexOf(QStringLiteral("<h1>Main Site Specific Overviews</h1>"));
    return (from < 0 || to < 0) ? QString() : report.mid(from + 37, to - from - 37);
}

QString perSite(const QString &report)
{
    const QString heading = QStringLiteral("<h1>Main Site Specific Overviews</h1>\r\n");
    const qsizetype from = report.indexOf(heading);
    return from < 0 ? QString() : report.mid(from + heading.size());
}

TEST(Report, GoldenReportOfASmallProject)
{
    ReportInput in = input();
    in.mainSites = {{"http://www.mine.example/", {site("partner-a.example"), site("http://partner-b.example/start.html")}},
                    {"second.example", {site("partner-c.example")}}};
    in.results = {
        row("mine.example/", "partner-a.example", "Direct Link", "001", "partner-a.example/links.html"),
        row("mine.example/", "partner-a.example", "Direct Link", "002", "partner-a.example/more.html"),
        row("mine.example/", "partner-b.example", "None Found (Timeout)", "000", "partner-b.example/start.html"),
        row("second.example", "partner-c.example", "Domain Link", "001", "partner-c.example/<b>&"),
    };
    in.errorCount = 2;
    in.pagesScanned = 30;
    const QString expected = QStringLiteral(
        "<html>\r\n<head>\r\n<title>Reciprocal Link Report</title>\r\n<body>\r\n<H1>Reciprocal Link Report</H1>\r\n"
        "Date: 3/5/24<BR>\r\n"
        "Time: 2:07:09\u202fPM<BR><BR>\r\n"
        "<hr>\r\n<table cellpadding=5 border=0>\r\n"
        "<tr><td colspan=2><b>Overview</b></td></tr>"
        "<tr><td>Total Main Sites:</td><td> 2</td></tr>\r\n"
        "<tr><td>Total Linking Sites:</td><td> 3</td></tr>\r\n"
        "<tr><td>Total Pages Scanned:</td><td> 30</td></tr>\r\n"
        "<tr><td>Total Reciprocal Links:</td><td> 3</td></tr>\r\n"
        "<tr><td><li>Direct Links</li></td><td> 2</td></tr>\r\n"
        "<tr><td><li>Indirect Links</li></td><td> 1</td></tr>\r\n"
        "<tr><td><li>Redirect Links</li></td><td> 0</td></tr>\r\n"
        "<tr><td>Total Non-Linking Sites:</td><td> 1</td></tr>\r\n"
        "<tr><td>Total Errors:</td><td> 2</td></tr>\r\n"
        "<tr><td colspan=2>&nbsp</td></tr><tr><td colspan=2><b>Percentages/Averages</b></td></tr>"
        "<tr><td>Sites with Reciprocal Links:</td><td>66.67%</td></tr>\r\n"
        "<tr><td>Sites with No Links:</td><td>33.33%</td></tr>\r\n"
        "<tr><td>Average Pages Scanned Per Site:</td><td>10.00</td></tr></table><BR><BR>\r\n"
        "<h1>Main Site Specific Overviews</h1>\r\n"
        "<h3>http://www.mine.example/</h3>\r\n"
        "Site: <a href='http://partner-a.example'>partner-a.example</a><BR>Status: Direct Link<BR>"
        "Found On: <a href='http://partner-a.example/links.html'>partner-a.example/links.html</a><BR><BR>"
        "Site: <a href='http://partner-a.example'>partner-a.example</a><BR>Status: Direct Link<BR>"
        "Found On: <a href='http://partner-a.example/more.html'>partner-a.example/more.html</a><BR><BR>"
        "Site: <a href='http://partner-b.example'>partner-b.example</a><BR>Status: None Found (Timeout)<BR><BR>"
        "<h3>second.example</h3>\r\n"
        "Site: <a href='http://partner-c.example'>partner-c.example</a><BR>Status: Domain Link<BR>"
        "Found On: <a href='http://partner-c.example/&lt;b&gt;&amp;'>partner-c.example/&lt;b&gt;&amp;</a><BR><BR>");
    const QString actual = reportText(in);
    // Locales differ in the blank before "PM"; the rest is fixed.
    QString normal = actual;
    normal.replace(QStringLiteral("2:07:09 PM"), QStringLiteral("2:07:09\u202fPM"));
    EXPECT_EQ(normal, expected);
}

TEST(Report, EmptyResultsGiveTheFixedRowsAndBareHeadings)
{
    ReportInput in = input();
    in.mainSites = {{"one.example", {site("p.example")}}, {"two.example", {}}};
    const QString report = reportText(in);
    EXPECT_EQ(percentages(report), QStringLiteral("<tr><td>Sites with Reciprocal Links:</td><td>0%</td></tr>\r\n"
                                                  "<tr><td>Sites with No Links:</td><td>100%</td></tr>\r\n"
                                                  "<tr><td>Average Pages Scanned Per Site:</td><td>0</td></tr>"
                                                  "</table><BR><BR>\r\n"));
    EXPECT_EQ(perSite(report), QStringLiteral("<h3>one.example</h3>\r\n<h3>two.example</h3>\r\n"));
}

TEST(Report, PercentagesUseTheLocaleAndDivideBySites)
{
    ReportInput in = input();
    in.mainSites = {{"m.example", {site("a.example"), site("b.example"), site("c.example")}}};
    in.results = {row("m.example", "a.example", "Direct Link"), row("m.example", "b.example", "Redirect Link"),
                  row("m.example", "c.example", "None Found", "000")};
    in.pagesScanned = 150;
    EXPECT_EQ(percentages(reportText(in)),
              QStringLiteral("<tr><td>Sites with Reciprocal Links:</td><td>66.67%</td></tr>\r\n"
                             "<tr><td>Sites with No Links:</td><td>33.33%</td></tr>\r\n"
                             "<tr><td>Average Pages Scanned Per Site:</td><td>50.00</td></tr></table><BR><BR>\r\n"));
    in.locale = kGerman;
    const QString german = percentages(reportText(in));
    EXPECT_TRUE(german.contains(QStringLiteral("<td>66,67%</td>"))) << german.toStdString();
    EXPECT_TRUE(german.contains(QStringLiteral("<td>50,00</td>")));

    // A partner that links from three pages is one site, not three.
    in.locale = kUs;
    in.results = {row("m.example", "a.example", "Direct Link", "001"), row("m.example", "a.example", "Direct Link", "002"),
                  row("m.example", "a.example", "Direct Link", "003"), row("m.example", "c.example", "None Found", "000")};
    in.pagesScanned = 1234567;
    const QString bySite = percentages(reportText(in));
    EXPECT_TRUE(bySite.contains(QStringLiteral("Reciprocal Links:</td><td>50.00%")));
    EXPECT_TRUE(bySite.contains(QStringLiteral("No Links:</td><td>50.00%")));
    EXPECT_TRUE(bySite.contains(QStringLiteral("<td>617,283.50</td>"))) << bySite.toStdString();
}

TEST(Report, CountsByStatus)
{
    ReportInput in = input();
    in.mainSites = {{"m.example", {site("a.example")}}, {"n.example", {site("b.example"), site("c.example")}}};
    in.results = {row("m.example", "a.example", "Direct Link"),   row("m.example", "a.example", "Domain Link"),
                  row("m.example", "a.example", "Indirect Link"), row("m.example", "b.example", "Redirect Link"),
                  row("m.example", "b.example", "direct link"),   row("m.example", "c.example", "Missing 002", "000"),
                  row("m.example", "d.example", "none found (Skipped)", "000"),
                  row("m.example", "e.example", "None Found", "000")};
    in.errorCount = 7;
    in.pagesScanned = 12;
    const ReportCounts c = reportCounts(in);
    EXPECT_EQ(c.mainSites, 2);
    EXPECT_EQ(c.linkingSites, 3);
    EXPECT_EQ(c.pages, 12);
    EXPECT_EQ(c.direct, 1);  // the exact value only
    EXPECT_EQ(c.indirect, 2);
    EXPECT_EQ(c.redirect, 1);
    EXPECT_EQ(c.reciprocal, 4);
    EXPECT_EQ(c.noneFound, 2);
    EXPECT_EQ(c.errors, 7);
    EXPECT_EQ(c.sitesWithLinks, 2);  // a.example and b.example
}

TEST(Report, RowsAreListedUnderTheirOwnMainSite)
{
    ReportInput in = input();
    in.mainSites = {{"https://WWW.First.example/home", {site("shared.example")}},
                    {"second.example", {site("http://www.shared.example/links/")}}};
    in.results = {row("First.example/home", "shared.example", "Direct Link", "001", "shared.example/a"),
                  row("second.example", "shared.example", "Missing 001", "000", "shared.example/b"),
                  row("", "shared.example", "None Found", "000", "shared.example/c")};
    const QString sections = perSite(reportText(in));
    const qsizetype second = sections.indexOf(QStringLiteral("<h3>second.example</h3>"));
    ASSERT_GT(second, 0);
    const QString first = sections.left(second);
    const QString rest = sections.mid(second);
    EXPECT_TRUE(first.contains(QStringLiteral("shared.example/a")));
    EXPECT_EQ(first.count(QStringLiteral("Site: ")), 2);  // its own row and the one without a main site
    EXPECT_FALSE(rest.contains(QStringLiteral("shared.example/a")));
    // A "Missing" row shows its site line only.
    EXPECT_TRUE(rest.startsWith(QStringLiteral("<h3>second.example</h3>\r\n"
                                               "Site: <a href='http://shared.example'>shared.example</a><BR><BR>"
                                               "Site: <a href='http://shared.example'>shared.example</a><BR>"
                                               "Status: None Found<BR><BR>")))
        << rest.toStdString();
}

TEST(Report, ValuesAreEscapedAndAddressesGetAScheme)
{
    ReportInput in = input();
    in.mainSites = {{"<script>'x'</script>", {site("p.example")}}};
    in.results = {row("", "p.example", "Direct Link", "001", "https://p.example/it's?a=1&b=\"2\""),
                  row("", "p.example", "Redirect Link", "001", "javascript:alert(1)")};
    const QString sections = perSite(reportText(in));
    EXPECT_TRUE(sections.startsWith(QStringLiteral("<h3>&lt;script&gt;&#39;x&#39;&lt;/script&gt;</h3>\r\n")));
    EXPECT_TRUE(sections.contains(
        QStringLiteral("<a href='https://p.example/it&#39;s?a=1&amp;b=&quot;2&quot;'>")));
    EXPECT_TRUE(sections.contains(QStringLiteral("<a href='http://javascript:alert(1)'>")));
    EXPECT_EQ(withHttpScheme(QStringLiteral("HTTP://x")), QStringLiteral("HTTP://x"));
    EXPECT_EQ(withHttpScheme(QStringLiteral("x/y")), QStringLiteral("http://x/y"));
}

TEST(TabExport, HeadersEmptyLineAndRowsWithTabs)
{
    const QStringList headers = {"Main", "Linking", "Status", "No.", "Link URL"};
    const QVector<QStringList> rows = {{"m.example", "a.example", "Direct Link", "001", "a.example/links"},
                                       {"m.example", "b\tx.example", "None Found (Timeout)", "000", "b\r\nx"}};
    EXPECT_EQ(tabExportText(headers, rows),
              QStringLiteral("Main\tLinking\tStatus\tNo.\tLink URL\r\n"
                             "\r\n"
                             "m.example\ta.example\tDirect Link\t001\ta.example/links\r\n"
                             "m.example\tb x.example\tNone Found (Timeout)\t000\tb  x\r\n"));
    EXPECT_EQ(tabExportText(headers, {}), QStringLiteral("Main\tLinking\tStatus\tNo.\tLink URL\r\n\r\n"));
}

} // namespace
