// Scan control: starting, walking the linking sites by scan type and skip
// type, page limits, outcome rows, Skip and Stop in the middle of a page.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QTimer>

#include "scanner/scanharness.h"

using testsupport::TestHttpServer;
using Response = testsupport::TestHttpServer::Response;

namespace {

class ScanControl : public ::testing::Test, public scantest::ScanHarness {
protected:
    void SetUp() override { ASSERT_NE(server.port(), 0); }

    void silentHosts(const QStringList &hosts)
    {
        Response silent;
        silent.mode = Response::Mode::Silent;
        for (const QString &h : hosts) {
            serve(h);
            server.setRoute(h, "*", silent);
        }
    }
    bool waitForRequests(int n) { return waitUntil([&] { return server.requestCount() >= n; }); }
    // "Link URL" of each results row.
    QStringList linkUrls() const { return resultColumn(5); }
};

TEST_F(ScanControl, StartRefusesWithoutWhatTheScanTypeNeeds)
{
    scanner.Command1_Click();
    EXPECT_EQ(p.dialogs->texts(), QStringList{"Please enter the Domain you want to find links to."});

    const int a = addMain("a.example");
    const int b = addMain("b.example");
    addLinking(b, "b1.example/");
    scanner.Command1_Click();
    EXPECT_EQ(p.dialogs->lastText(), "Please enter at least one website to search for links.");

    scanner.setScanType(1);
    project.List4->setListIndex(-1);
    scanner.Command1_Click();
    EXPECT_EQ(p.dialogs->lastText(), "You must select a Main Site to scan before using this scan type.");
    project.List4->setListIndex(a - 1);
    scanner.Command1_Click();
    EXPECT_EQ(p.dialogs->lastText(), "You must enter a Linking Site to scan before using this scan type.");

    scanner.setScanType(2);
    project.List4->setListIndex(b - 1);
    scanner.Command1_Click();
    EXPECT_EQ(p.dialogs->lastText(), "You must select a Linking Site to scan before using this scan type.");

    EXPECT_EQ(p.dialogs->boxes.size(), 5);
    EXPECT_FALSE(ctx().bScanning);
    EXPECT_TRUE(display.enabled(scantest::Control::StartScan));
    EXPECT_EQ(server.requestCount(), 0);
    EXPECT_EQ(ctx().settings().get("ScanType"), "2");
}

TEST_F(ScanControl, ScanTypesChooseWhichLinkingSitesAreWalked)
{
    // Sites expecting no link end at their first page request, without a fetch.
    const int a = addMain("http://www.a.example/");
    addLinking(a, "a1.example/", "0");
    addLinking(a, "a2.example/", "0");
    addLinking(a, "a3.example/", "0");
    addMain("b.example");  // no linking sites: passed over
    const int c = addMain("c.example");
    addLinking(c, "c1.example/", "0");
    addLinking(c, "c2.example/", "0");

    scanner.setScanType(0);
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(linkUrls(), (QStringList{"a1.example/", "a2.example/", "a3.example/", "c1.example/", "c2.example/"}));
    EXPECT_EQ(resultColumn(1), (QStringList{"a.example/", "a.example/", "a.example/", "c.example", "c.example"}));
    EXPECT_EQ(resultColumn(2), (QStringList{"a1.example", "a2.example", "a3.example", "c1.example", "c2.example"}));
    EXPECT_EQ(statuses(), QStringList(5, "None Found"));
    EXPECT_EQ(resultColumn(4), QStringList(5, "000"));
    EXPECT_EQ(project.List3->smallIcon(1), 1);
    EXPECT_EQ(project.List3->foreColor(1), platform::kColorRed);
    EXPECT_EQ(project.iCurrentMain, c);
    EXPECT_EQ(scanner.iCurrentSite(), 0);
    EXPECT_EQ(ctx().lLinkingSitesScanned, 5);
    EXPECT_EQ(ctx().lMainSitesScanned, 2);  // the move to c and the stop
    EXPECT_EQ(display.panelText(1), "Stopped");
    EXPECT_TRUE(display.enabled(scantest::Control::StartScan));
    EXPECT_FALSE(display.enabled(scantest::Control::Stop));
    EXPECT_FALSE(display.enabled(scantest::Control::NextSearch));
    EXPECT_EQ(p.sound->played.last(), p.path("sounds/finished.wav"));
    EXPECT_EQ(server.requestCount(), 0);

    scanner.setScanType(1);
    project.List4->setListIndex(c - 1);
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(linkUrls(), (QStringList{"c1.example/", "c2.example/"}));

    scanner.setScanType(2);
    project.List4->setListIndex(a - 1);
    project.List1(a)->setSelectedRow(2);
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(linkUrls(), QStringList{"a2.example/"});
}

TEST_F(ScanControl, SkipFollowsTheSkipTypeAndIsUsedUp)
{
    silentHosts({"a1.example", "a2.example", "b1.example", "b2.example"});
    const int a = addMain("a.example");
    addLinking(a, "a1.example/");
    addLinking(a, "a2.example/");
    const int b = addMain("b.example");
    addLinking(b, "b1.example/");
    addLinking(b, "b2.example/");

    // Skip type 0 under scan type 2 goes on to the next linking site; the
    // next end goes by the scan type again and stops.
    scanner.setScanType(2);
    scanner.setSkipType(0);
    project.List4->setListIndex(a - 1);
    project.List1(a)->setSelectedRow(1);
    scanner.Command1_Click();
    ASSERT_TRUE(waitForRequests(1));
    scanner.cmdSkip_Click();
    ASSERT_TRUE(waitForRequests(2));
    scanner.cmdNextSearch_Click();
    EXPECT_FALSE(ctx().bScanning);
    EXPECT_EQ(linkUrls(), (QStringList{"a1.example/", "a2.example/"}));
    EXPECT_EQ(statuses(), (QStringList{"None Found (Skipped)", "None Found"}));

    // Skip type 0 under scan type 1 goes past the last linking site to the
    // next main site.
    server.clearRequests();
    scanner.setScanType(1);
    project.List4->setListIndex(a - 1);
    scanner.Command1_Click();
    ASSERT_TRUE(waitForRequests(1));
    scanner.cmdSkip_Click();
    ASSERT_TRUE(waitForRequests(2));
    scanner.cmdSkip_Click();
    ASSERT_TRUE(waitForRequests(3));
    scanner.cmdNextSearch_Click();
    ASSERT_TRUE(waitForRequests(4));
    scanner.cmdNextSearch_Click();
    EXPECT_FALSE(ctx().bScanning);
    EXPECT_EQ(requestPaths(), (QStringList{"a1.example/", "a2.example/", "b1.example/", "b2.example/"}));
    EXPECT_EQ(statuses(), (QStringList{"None Found (Skipped)", "None Found (Skipped)", "None Found", "None Found"}));

    // Skip type 1 jumps to the next main site; on the last one it stops.
    server.clearRequests();
    scanner.setScanType(0);
    scanner.setSkipType(1);
    scanner.Command1_Click();
    ASSERT_TRUE(waitForRequests(1));
    scanner.cmdSkip_Click();
    ASSERT_TRUE(waitForRequests(2));
    scanner.cmdNextSearch_Click();
    ASSERT_TRUE(waitForRequests(3));
    scanner.cmdSkip_Click();
    EXPECT_FALSE(ctx().bScanning);
    EXPECT_EQ(requestPaths(), (QStringList{"a1.example/", "b1.example/", "b2.example/"}));
    EXPECT_EQ(statuses(), (QStringList{"None Found (Skipped)", "None Found", "None Found (Skipped)"}));
    EXPECT_EQ(project.iCurrentMain, b);
    EXPECT_EQ(ctx().settings().get("SkipType"), "1");
}

TEST_F(ScanControl, PageLimitCountsThePagesOfEachLinkingSite)
{
    serve("partner.example");
    server.setDefault(Response::page("<html></html>"));
    const int m = addMain("main.example");
    addLinking(m, "partner.example/");
    auto scanWithQueuedPages = [&] {
        server.clearRequests();
        scanner.Command1_Click();
        // Pages that page processing would have queued.
        project.List2->addItem("partner.example/p2.htm");
        project.List2->addItem("partner.example/p3.htm");
        EXPECT_TRUE(runToEnd());
        return server.requestCount();
    };

    setting("cmbAdvance", "0");
    EXPECT_EQ(scanWithQueuedPages(), 1);
    setting("cmbAdvance", "1");
    EXPECT_EQ(scanWithQueuedPages(), 3);
    // An index outside the list keeps the limit in force.
    scanner.setPageLimit(2);
    setting("cmbAdvance", "13");
    EXPECT_EQ(scanWithQueuedPages(), 2);
    // Without the limit only the queue ends the site.
    setting("cmbAdvance", "0");
    setting("chkAuto", "0");
    EXPECT_EQ(scanWithQueuedPages(), 3);
    EXPECT_EQ(requestPaths(), (QStringList{"partner.example/", "partner.example/p2.htm", "partner.example/p3.htm"}));
}

TEST_F(ScanControl, OutcomeRowsOfEachWayALinkingSiteEnds)
{
    silentHosts({"partner.example"});
    const int m = addMain("main.example");
    addLinking(m, "partner.example/a.htm", "5");
    addLinking(m, "partner.example/b.htm", "1005");
    addLinking(m, "partner.example/c.htm", "2");
    addLinking(m, "partner.example/d.htm", "1");
    addLinking(m, "partner.example/e.htm", "1");
    platform::ListView *list = project.List1(m);
    // What page processing records, set by hand on each site in turn.
    auto found = [&](int n) {
        siteState().bLinkFound = true;
        siteState().iLinksFound = n;
        scanner.cmdNextSearch_Click();
    };

    // The time-out is read at the start and at each next site, as the
    // options window rounds it.
    setting("txtTimeout", "2.5");
    scanner.Command1_Click();
    EXPECT_EQ(tarnwick::ScannerTestAccess::timeOut(scanner), 2);
    setting("txtTimeout", "1e3");
    found(3);
    EXPECT_EQ(tarnwick::ScannerTestAccess::timeOut(scanner), 1000);
    found(1);
    found(2);
    siteState().bRedirectFound = true;
    siteState().strRedirectURL = "partner.example/r.htm";
    scanner.cmdNextSearch_Click();
    siteState().strStatusNote = " ";
    scanner.cmdNextSearch_Click();
    EXPECT_FALSE(ctx().bScanning);

    EXPECT_EQ(statuses(), (QStringList{"Missing 002", "Missing 1004", "Redirect Link", "None Found"}));
    EXPECT_EQ(resultColumn(4), (QStringList{"000", "000", "001", "000"}));
    EXPECT_EQ(linkUrls(), (QStringList{"partner.example/a.htm", "partner.example/b.htm", "partner.example/r.htm",
                                       "partner.example/e.htm"}));
    EXPECT_EQ(project.List3->smallIcon(3), 2);
    EXPECT_EQ(project.List3->foreColor(3), platform::kColorBlue);
    EXPECT_EQ(project.List3->foreColor(1), platform::kColorRed);
    // A missing outcome leaves the site's colour; a redirect turns it green
    // and puts the redirect page in its place.
    EXPECT_EQ(list->foreColor(1), platform::kColorBlack);
    EXPECT_EQ(list->foreColor(4), platform::kColorGreen);
    EXPECT_EQ(list->text(4), "partner.example/r.htm");
    EXPECT_EQ(list->foreColor(5), platform::kColorRed);
    EXPECT_EQ(ctx().lLinksFound, 1);
}

TEST_F(ScanControl, SkipAndStopInTheMiddleOfADownload)
{
    serve("slow.example");
    serve("fast.example");
    Response slow = Response::page(QByteArray(200, 'x'));
    slow.mode = Response::Mode::Trickle;
    slow.trickleBytes = 10;
    slow.trickleIntervalMs = 100;
    server.setRoute("slow.example", "*", slow);
    server.setRoute("fast.example", "*", Response::page("<html>fast</html>"));
    const int m = addMain("main.example");
    addLinking(m, "slow.example/");
    addLinking(m, "fast.example/");

    scanner.Command1_Click();
    EXPECT_TRUE(ctx().bScanning);
    EXPECT_FALSE(display.enabled(scantest::Control::StartScan));
    EXPECT_FALSE(display.enabled(scantest::Control::ScanType));
    EXPECT_TRUE(display.enabled(scantest::Control::Stop));
    EXPECT_FALSE(project.bProjectSaved);
    ASSERT_TRUE(waitUntil([&] { return scanner.connection().fetch.lSockBytes > 0; }));
    EXPECT_EQ(display.panelText(2), "Page 1 of 1");
    EXPECT_EQ(display.panelText(3), "Searching slow.example/");
    scanner.cmdSkip_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(statuses(), (QStringList{"None Found (Skipped)", "None Found"}));
    // Nothing of the skipped page reached the next one.
    EXPECT_TRUE(scanner.connection().fetch.strSockData.endsWith("\r\n\r\n<html>fast</html>"));
    EXPECT_FALSE(scanner.site().bSkipClicked);

    // Stop while the slow page still arrives: nothing more happens after it.
    scanner.Command1_Click();
    ASSERT_TRUE(waitUntil([&] { return scanner.connection().fetch.lSockBytes > 0; }));
    scanner.cmdStop_Click();
    EXPECT_FALSE(ctx().bScanning);
    const QByteArray stoppedAt = scanner.connection().fetch.strSockData;
    spin(500);
    EXPECT_EQ(scanner.connection().fetch.strSockData, stoppedAt);
    EXPECT_TRUE(project.List3->count() == 0);
    EXPECT_TRUE(project.lstErr->count() == 0);
    EXPECT_EQ(display.panelText(1), "Stopped");
    for (int panel = 2; panel <= 4; ++panel)
        EXPECT_EQ(display.panelText(panel), "") << panel;
    EXPECT_EQ(display.progress, 100);
    EXPECT_TRUE(display.enabled(scantest::Control::StartScan));
    EXPECT_TRUE(display.enabled(scantest::Control::ScanType));
    EXPECT_FALSE(display.enabled(scantest::Control::Stop));
    EXPECT_FALSE(display.enabled(scantest::Control::Skip));
    EXPECT_FALSE(display.enabled(scantest::Control::Resume));
    EXPECT_EQ(scanner.iCurrentSite(), 0);
}

TEST_F(ScanControl, StepInterruptedByASkipGivesUpQuietly)
{
    silentHosts({"a1.example", "a2.example"});
    const int m = addMain("main.example");
    addLinking(m, "a1.example/");
    addLinking(m, "a2.example/");
    // Fires while the first page request gives way to the event loop.
    QTimer::singleShot(0, &scanner, [this] { scanner.cmdSkip_Click(); });
    scanner.Command1_Click();
    ASSERT_TRUE(waitForRequests(1));
    spin(200);
    // The first site never fetched; the interrupted step did not take the
    // second site's page as its own.
    EXPECT_EQ(requestPaths(), QStringList{"a2.example/"});
    EXPECT_EQ(statuses(), QStringList{"None Found (Skipped)"});
    EXPECT_EQ(scanner.iCurrentSite(), 2);
    EXPECT_EQ(project.List2->count(), 0);
    scanner.cmdStop_Click();
}

TEST_F(ScanControl, SecondScanInheritsNothingFromAStoppedOne)
{
    silentHosts({"a1.example"});
    serve("a2.example");
    serve("b1.example");
    server.setDefault(Response::page("<html></html>"));
    const int a = addMain("a.example");
    addLinking(a, "a1.example/");
    addLinking(a, "a2.example/", "0");
    const int b = addMain("b.example");
    addLinking(b, "b1.example/");
    scanner.setSkipType(1);

    scanner.Command1_Click();
    ASSERT_TRUE(waitUntil([&] { return server.requestCount() >= 1; }));
    siteState().bRedirectFound = true;
    siteState().strRedirectURL = "a1.example/r.htm";
    siteState().strStatusNote = "Source Protected";
    siteState().lResultNumber = 9;
    siteState().lSitePagesFound = 4;
    siteState().strSeenPages.add("a2.example/");
    siteState().bLinkFound = true;
    siteState().iLinksFound = 0;
    siteState().bSkipClicked = true;
    scanner.cmdStop_Click();
    EXPECT_TRUE(project.List3->count() == 0);

    // Served this time: a1 answers at once.
    server.setRoute("a1.example", "*", Response::page("<html></html>"));
    serve("a1.example");
    scanner.Command1_Click();
    EXPECT_EQ(scanner.site().lSitePagesFound, 0);
    EXPECT_EQ(scanner.site().lResultNumber, 0);
    EXPECT_TRUE(scanner.site().strStatusNote.isEmpty());
    EXPECT_EQ(scanner.site().strSeenPages.size(), 0);
    ASSERT_TRUE(runToEnd());
    // No skip request carried over (it would have jumped to b), no redirect,
    // no note.
    EXPECT_EQ(linkUrls(), (QStringList{"a1.example/", "a2.example/", "b1.example/"}));
    EXPECT_EQ(statuses(), QStringList(3, "None Found"));
    EXPECT_EQ(project.iCurrentMain, b);
}

TEST_F(ScanControl, IdleButtonsDoNothing)
{
    const int m = addMain("main.example");
    addLinking(m, "partner.example/");
    scanner.cmdNextSearch_Click();
    scanner.cmdSkip_Click();
    EXPECT_FALSE(ctx().bScanning);
    EXPECT_FALSE(scanner.site().bSkipClicked);
    EXPECT_EQ(project.List3->count(), 0);
    EXPECT_EQ(ctx().lLinkingSitesScanned, 0);
    EXPECT_TRUE(scanner.site().strStatusNote.isEmpty());
}

TEST_F(ScanControl, FileTypesAreReadAtStart)
{
    QFile f(p.path("filetypes.txt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(".htm\r\n\r\n.php\r\n \r\n.asp");
    f.close();
    const int m = addMain("main.example");
    addLinking(m, "partner.example/", "0");
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(tarnwick::ScannerTestAccess::fileTypes(scanner), (QStringList{".htm", ".php", ".asp"}));
    QFile::remove(p.path("filetypes.txt"));
    scanner.Command1_Click();
    ASSERT_TRUE(runToEnd());
    EXPECT_TRUE(tarnwick::ScannerTestAccess::fileTypes(scanner).isEmpty());
}

TEST_F(ScanControl, ALongRunOfSitesWithoutFetchesEndsWithoutNesting)
{
    // 20,000 linking sites under 50 main sites, each ending at its first
    // page request: nested calls would need far more stack than there is.
    constexpr int kMains = 50;
    constexpr int kPerMain = 400;
    for (int m = 1; m <= kMains; ++m) {
        ASSERT_EQ(addMain(QStringLiteral("main%1.example").arg(m)), m);
        platform::ListView *list = project.List1(m);
        for (int i = 0; i < kPerMain; ++i)
            list->add(QStringLiteral("site%1-%2.example/").arg(m).arg(i), {"0", "", "", ""});
    }
    scanner.Command1_Click();
    EXPECT_FALSE(ctx().bScanning);
    ASSERT_EQ(project.List3->count(), kMains * kPerMain);
    EXPECT_EQ(project.List3->subItem(kMains * kPerMain, 4), QStringLiteral("site%1-%2.example/").arg(kMains).arg(kPerMain - 1));
    EXPECT_EQ(ctx().lLinkingSitesScanned, kMains * kPerMain);
    EXPECT_EQ(project.iCurrentMain, kMains);
}

} // namespace
