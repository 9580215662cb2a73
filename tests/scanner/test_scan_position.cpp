// The scan keeps its own place: it runs on a project without any window,
// what the user selects does not move it, and rows added around the row it
// is on do not change which rows it scans or colours.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "scanner/scanharness.h"
#include "workspace/services.h"

using Response = testsupport::TestHttpServer::Response;

namespace {

class ScanPosition : public ::testing::Test, public scantest::ScanHarness {
protected:
    void SetUp() override { ASSERT_NE(server.port(), 0); }

    void linkingPage(const QString &host, const QByteArray &body)
    {
        serve(host);
        server.setRoute(host, "/", Response::page(body));
    }
    void silent(const QString &host)
    {
        Response r;
        r.mode = Response::Mode::Silent;
        serve(host);
        server.setRoute(host, "*", r);
    }
};

TEST_F(ScanPosition, AScanNeedsNoWidgetAtAll)
{
    linkingPage("partner.example", "<a href=\"http://main.example/\">us</a>\n");
    const int m = addMain("main.example");
    addLinking(m, "partner.example/");
    // This test program links no widget library; no window may appear either.
    int windowsSeen = -1;
    ctx().onStatsChanged = [&] {
        if (windowsSeen < 0)
            windowsSeen = int(QGuiApplication::allWindows().size());
    };
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(windowsSeen, 0);
    EXPECT_EQ(statuses(), QStringList{"Direct Link"});
}

TEST_F(ScanPosition, SelectingAnotherMainSiteDoesNotMoveTheScan)
{
    linkingPage("a1.example", "<a href=\"http://a.example/\">a</a>\n");
    linkingPage("a2.example", "<a href=\"http://a.example/\">a</a>\n");
    linkingPage("b1.example", "<a href=\"http://b.example/\">b</a>\n");
    const int a = addMain("a.example");
    addLinking(a, "a1.example/");
    addLinking(a, "a2.example/");
    const int b = addMain("b.example");
    addLinking(b, "b1.example/");
    project.List4->setListIndex(a - 1);

    // The user picks main site b as soon as the first page is counted.
    bool picked = false;
    ctx().onStatsChanged = [&] {
        if (!picked && ctx().lPagesScanned == 1) {
            picked = true;
            project.List4->setListIndex(b - 1);
        }
    };
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    ASSERT_TRUE(picked);

    EXPECT_EQ(resultColumn(1), (QStringList{"a.example", "a.example", "b.example"}));
    EXPECT_EQ(statuses(), QStringList(3, "Direct Link"));
    // Each found-on page went into its own main site's row.
    EXPECT_EQ(project.List1(a)->text(1), "a1.example");
    EXPECT_EQ(project.List1(a)->text(2), "a2.example");
    EXPECT_EQ(project.List1(b)->text(1), "b1.example");
    EXPECT_EQ(project.List1(b)->count(), 1);
}

TEST_F(ScanPosition, RowsAddedToASortedListDuringTheScanKeepEveryRowInItsTurn)
{
    linkingPage("b.example", "<html></html>");
    silent("d.example");
    linkingPage("e.example", "<html></html>");
    linkingPage("c.example", "<html></html>");
    const int m = addMain("main.example");
    addLinking(m, "d.example/");
    addLinking(m, "b.example/");
    platform::ListView *list = project.List1(m);
    tarnwick::EnhListView_SortColumns(ctx(), *list, 1, false);
    ASSERT_TRUE(tarnwick::EnhListView_SortColumns(ctx(), *list, 1, false));  // ascending from now on
    ASSERT_EQ(list->text(1), "b.example/");

    scanner.Command1_Click();
    ASSERT_TRUE(waitUntil([&] { return server.requestCount() >= 2; }));
    ASSERT_EQ(scanner.iCurrentSite(), 2);
    // One row lands above the row being scanned, one below it.
    addLinking(m, "c.example/");
    addLinking(m, "e.example/");
    ASSERT_EQ(list->text(2), "c.example/");
    EXPECT_EQ(scanner.iCurrentSite(), 3);
    scanner.cmdSkip_Click();
    ASSERT_TRUE(runToEnd());

    EXPECT_EQ(requestPaths(), (QStringList{"b.example/", "d.example/", "e.example/"}));
    EXPECT_EQ(resultColumn(5), (QStringList{"b.example/", "d.example/", "e.example/"}));
    EXPECT_EQ(statuses(), (QStringList{"None Found", "None Found (Skipped)", "None Found"}));
    EXPECT_EQ(list->foreColor(1), platform::kColorRed);    // b
    EXPECT_EQ(list->foreColor(2), platform::kColorBlack);  // c, added above: not this pass
    EXPECT_EQ(list->foreColor(3), platform::kColorRed);    // d
    EXPECT_EQ(list->foreColor(4), platform::kColorRed);    // e
}

} // namespace
