// The main window's resize rules on the geometry model, without a window.

#include <QList>
#include <gtest/gtest.h>

#include "shell/mainwindow/layout.h"

using namespace tarnwick::layout;

namespace tarnwick::layout {
void PrintTo(const Rect &r, std::ostream *os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << ")";
}
} // namespace tarnwick::layout

namespace {

MainWindowGeometry sized(double w, double h, int lists = 1)
{
    MainWindowGeometry g = designGeometry();
    setList1Count(g, lists);
    g.W = w;
    g.H = h;
    resizeControls(g, 1);
    return g;
}

// Every rectangle of the model, with its name, for checks over all of them.
std::vector<std::pair<const char *, Rect>> rects(const MainWindowGeometry &g)
{
    std::vector<std::pair<const char *, Rect>> all = {
        {"Frame1", g.Frame1},         {"Frame2", g.Frame2},           {"Frame6", g.Frame6},
        {"innerFrame1", g.innerFrame1}, {"innerFrame2", g.innerFrame2}, {"txtDomain", g.txtDomain},
        {"cmdAdd2", g.cmdAdd2},       {"cmdDelete", g.cmdDelete},     {"cmdEditMain", g.cmdEditMain},
        {"cmdImport2", g.cmdImport2}, {"List4", g.List4},             {"lblblah", g.lblblah},
        {"Text1", g.Text1},           {"cmdAdd", g.cmdAdd},           {"cmbDel", g.cmbDel},
        {"cmdEdit", g.cmdEdit},       {"cmdImport", g.cmdImport},     {"List2", g.List2},
        {"Command2", g.Command2},     {"Command3", g.Command3},       {"cmdWebsite", g.cmdWebsite},
        {"TabStrip1", g.TabStrip1},   {"List3", g.List3},             {"lstErr", g.lstErr},
        {"lblErr", g.lblErr},         {"WebBrowser1", g.WebBrowser1}, {"txtURL", g.txtURL},
        {"cmdGo", g.cmdGo},           {"WebBrowser2", g.WebBrowser2}, {"Frame5", g.Frame5},
        {"txtHTML1", g.txtHTML1},     {"txtHTML2", g.txtHTML2},       {"txtHTML3", g.txtHTML3},
        {"Label14", g.Label14},       {"framePost", g.framePost},     {"txtPost", g.txtPost},
        {"cmbSites", g.cmbSites},     {"txtPost2", g.txtPost2},       {"cmdScriptAdd", g.cmdScriptAdd},
        {"cmdScriptDel", g.cmdScriptDel}, {"lstMulti", g.lstMulti},   {"pb1", g.pb1},
    };
    for (const Rect &r : g.List1)
        all.push_back({"List1", r});
    return all;
}

bool inside(const Rect &inner, double width, double height)
{
    return inner.left >= 0 && inner.top >= 0 && inner.right() <= width && inner.bottom() <= height;
}

bool below(const Rect &upper, const Rect &lower)
{
    return upper.bottom() <= lower.top;
}

bool leftOf(const Rect &a, const Rect &b)
{
    return a.right() <= b.left;
}

} // namespace

TEST(MainWindowLayout, TheDesignIsWhatTheRulesGiveAtTheDefaultSize)
{
    const MainWindowGeometry design = designGeometry();
    MainWindowGeometry g = design;
    resizeControls(g, 1);
    const auto before = rects(design);
    const auto after = rects(g);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        if (std::string(before[i].first) == "pb1")
            continue;  // placed by the rules only
        EXPECT_EQ(before[i].second, after[i].second) << before[i].first;
    }
}

TEST(MainWindowLayout, WideningShareTheWidthBetweenTheUpperFrames)
{
    const MainWindowGeometry a = designGeometry();
    const MainWindowGeometry b = sized(a.W + 1200, a.H);
    const MainWindowGeometry base = sized(a.W, a.H);
    EXPECT_DOUBLE_EQ(b.Frame1.width - base.Frame1.width, 600);
    EXPECT_DOUBLE_EQ(b.Frame2.width - base.Frame2.width, 600);
    EXPECT_DOUBLE_EQ(b.Frame2.left - base.Frame2.left, 600);
    // The statistics frame spans both, from the left frame's left edge to the
    // right frame's right edge.
    EXPECT_DOUBLE_EQ(b.Frame6.left, b.Frame1.left);
    EXPECT_DOUBLE_EQ(b.Frame6.right(), b.Frame2.right());
    EXPECT_DOUBLE_EQ(b.Frame6.width - base.Frame6.width, 1200);
    // The gap between the upper frames is the left frame's margin.
    EXPECT_DOUBLE_EQ(b.Frame2.left - b.Frame1.right(), b.Frame1.left);
    EXPECT_DOUBLE_EQ(b.Frame1.height, base.Frame1.height);
}

TEST(MainWindowLayout, MakingItTallerGrowsTheUpperFramesAndTheResults)
{
    const MainWindowGeometry a = sized(designGeometry().W, designGeometry().H);
    const MainWindowGeometry b = sized(a.W, a.H + 900);
    EXPECT_DOUBLE_EQ(b.Frame1.height - a.Frame1.height, 900);
    EXPECT_DOUBLE_EQ(b.Frame2.height - a.Frame2.height, 900);
    EXPECT_DOUBLE_EQ(b.innerFrame1.height - a.innerFrame1.height, 450);
    EXPECT_DOUBLE_EQ(b.innerFrame2.height - a.innerFrame2.height, 450);
    EXPECT_DOUBLE_EQ(b.innerFrame2.top - a.innerFrame2.top, 450);
    EXPECT_DOUBLE_EQ(b.List3.height - a.List3.height, 900);
    EXPECT_DOUBLE_EQ(b.lstErr.height, a.lstErr.height);
    EXPECT_DOUBLE_EQ(b.lstErr.top - a.lstErr.top, 900);
    EXPECT_DOUBLE_EQ(b.Frame6.height, a.Frame6.height);  // keeps its design height
    EXPECT_DOUBLE_EQ(b.Frame6.top - a.Frame6.top, 900);
    EXPECT_DOUBLE_EQ(b.WebBrowser1.height - a.WebBrowser1.height, 900);
    EXPECT_DOUBLE_EQ(b.pb1.top - a.pb1.top, 900);
}

TEST(MainWindowLayout, MinimisedToNothingAndBack)
{
    MainWindowGeometry g = designGeometry();
    setList1Count(g, 3);
    const double w = g.W, h = g.H;
    resizeControls(g, 1);
    const MainWindowGeometry before = g;

    for (const auto &[tw, th] : {std::pair{0.0, 0.0}, {15.0, 15.0}, {600.0, 400.0}, {3000.0, 2500.0}}) {
        g.W = tw;
        g.H = th;
        EXPECT_NO_THROW(resizeControls(g, 1));
        for (const auto &[name, r] : rects(g)) {
            EXPECT_GE(r.width, 0) << name << " at " << tw << "x" << th;
            EXPECT_GE(r.height, 0) << name << " at " << tw << "x" << th;
        }
        for (double p : g.panelWidth)
            EXPECT_GE(p, 0);
    }

    g.W = w;
    g.H = h;
    resizeControls(g, 1);
    const auto restored = rects(g);
    const auto original = rects(before);
    for (size_t i = 0; i < original.size(); ++i)
        EXPECT_EQ(restored[i].second, original[i].second) << original[i].first;
}

TEST(MainWindowLayout, EveryLinkingSiteListTakesTheTemplatesSize)
{
    MainWindowGeometry g = designGeometry();
    setList1Count(g, 5);
    g.W += 2345;
    g.H += 678;
    resizeControls(g, 2);
    ASSERT_EQ(g.List1.size(), 5u);
    for (const Rect &r : g.List1)
        EXPECT_EQ(r, g.List1.front());
    // The main-site list has the same width, the entry rows the same grid.
    EXPECT_DOUBLE_EQ(g.List4.width, g.List1.front().width);
    EXPECT_DOUBLE_EQ(g.Text1.width, g.txtDomain.width);
    EXPECT_DOUBLE_EQ(g.cmdAdd.left, g.cmdAdd2.left);
    EXPECT_DOUBLE_EQ(g.cmbDel.left, g.cmdDelete.left);
    EXPECT_DOUBLE_EQ(g.cmdEdit.left, g.cmdEditMain.left);
    EXPECT_DOUBLE_EQ(g.cmdImport2.left, g.cmdImport.left);
    EXPECT_DOUBLE_EQ(g.cmdImport.right(), g.List1.front().right());  // the row ends with the list

    // A list added later starts where the template is; one taken away goes.
    setList1Count(g, 6);
    EXPECT_EQ(g.List1.back(), g.List1.front());
    setList1Count(g, 2);
    EXPECT_EQ(g.List1.size(), 2u);
}

TEST(MainWindowLayout, ColumnWidthsOnlyOnTheFirstRun)
{
    MainWindowGeometry g = designGeometry();
    setList1Count(g, 3);
    const std::optional<ColumnWidths> first = resizeControls(g, 2);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(g.bSized);

    const double w3 = g.List3.width;
    ASSERT_EQ(first->list3.size(), 5);
    EXPECT_DOUBLE_EQ(first->list3[0], w3 / 4 - 50);
    EXPECT_DOUBLE_EQ(first->list3[3], w3 / 12 - 50);
    double sum = 0;
    for (double c : first->list3)
        sum += c;
    // Wider than the list: it scrolls sideways.
    EXPECT_NEAR(sum, w3 * 23 / 12 - 250, 1e-6);
    EXPECT_GT(sum, w3);

    EXPECT_EQ(first->list1Index, 2);
    const double w1 = g.List1[2].width;
    ASSERT_EQ(first->list1.size(), 4);
    EXPECT_DOUBLE_EQ(first->list1[0], w1 / 4 * 2 - 50);
    EXPECT_DOUBLE_EQ(first->list1[1], w1 / 16);
    EXPECT_DOUBLE_EQ(first->list1[2], w1 / 4 - 300);
    ASSERT_EQ(first->lstErr.size(), 2);
    EXPECT_DOUBLE_EQ(first->lstErr[1], g.lstErr.width / 4 * 3 - 50);

    g.W += 3000;
    EXPECT_FALSE(resizeControls(g, 2).has_value());
    EXPECT_FALSE(resizeControls(g, 2).has_value());

    // Until the start-up clears the flag again.
    g.bSized = false;
    EXPECT_TRUE(resizeControls(g, 2).has_value());
}

TEST(MainWindowLayout, ColumnsOfAMissingCurrentListAreSkipped)
{
    for (int current : {0, 1, 3, 9}) {
        MainWindowGeometry g = designGeometry();
        setList1Count(g, current == 1 ? 1 : 3);  // current 1 with only the template
        const std::optional<ColumnWidths> c = resizeControls(g, current);
        ASSERT_TRUE(c.has_value());
        EXPECT_EQ(c->list1Index, 0) << current;
        EXPECT_TRUE(c->list1.isEmpty()) << current;
        EXPECT_EQ(c->list3.size(), 5);  // the others are still set
    }
    // A tiny list gives no negative width.
    MainWindowGeometry g = designGeometry();
    setList1Count(g, 2);
    g.W = 300;
    g.H = 300;
    const std::optional<ColumnWidths> c = resizeControls(g, 1);
    ASSERT_TRUE(c.has_value());
    for (double w : c->list1 + c->list3 + c->lstErr)
        EXPECT_GE(w, 0);
}

TEST(MainWindowLayout, ThePageBuilderAndThePostingFrameShareOneRectangle)
{
    for (double extra : {0.0, 1500.0, 6000.0}) {
        const MainWindowGeometry g = sized(designGeometry().W + extra, designGeometry().H + extra);
        EXPECT_EQ(g.Frame5, g.framePost);
        EXPECT_DOUBLE_EQ(g.Frame5.top, g.WebBrowser1.top - 900);
        EXPECT_DOUBLE_EQ(g.Frame5.height, g.WebBrowser1.height + 1100);
        EXPECT_DOUBLE_EQ(g.Frame5.left, g.WebBrowser1.left);
        EXPECT_DOUBLE_EQ(g.Frame5.width, g.WebBrowser1.width);
        EXPECT_DOUBLE_EQ(g.WebBrowser2.width, g.WebBrowser1.width);
        EXPECT_DOUBLE_EQ(g.WebBrowser2.height, g.WebBrowser1.height);
        // The last block sits under its caption, which sits under the middle
        // block.
        EXPECT_DOUBLE_EQ(g.Label14.top, g.txtHTML3.top - 240);
        EXPECT_DOUBLE_EQ(g.txtHTML3.top, g.txtHTML2.bottom() + 100 + g.Label14.height);
        // The delete button ends where the list of script URLs does.
        EXPECT_DOUBLE_EQ(g.lstMulti.right(), g.cmdScriptDel.right());
        EXPECT_DOUBLE_EQ(g.cmdGo.right(), g.WebBrowser1.right());
    }
}

TEST(MainWindowLayout, TheProgressBarLiesOverTheFourthPanel)
{
    const MainWindowGeometry g = sized(20000, 12000);
    EXPECT_DOUBLE_EQ(g.panelWidth[0], 10000);
    for (int i = 1; i < 4; ++i)
        EXPECT_DOUBLE_EQ(g.panelWidth[i], 20000.0 / 6);
    EXPECT_DOUBLE_EQ(g.panelLeft(4), 10000 + 2 * 20000.0 / 6);
    EXPECT_DOUBLE_EQ(g.pb1.left, g.panelLeft(4) + 25);
    EXPECT_DOUBLE_EQ(g.pb1.width, g.panelWidth[3] - 50);
    EXPECT_DOUBLE_EQ(g.pb1.top, 12000 - g.statusBarHeight - 450);

    // A window too narrow for the bar's margins gives it no width, never a
    // negative one.
    const MainWindowGeometry narrow = sized(120, 3000);
    EXPECT_EQ(narrow.pb1.width, 0);
}

TEST(MainWindowLayout, NothingOverlapsAtTheDefaultSizeOrLarger)
{
    const MainWindowGeometry d = designGeometry();
    for (const auto &[dw, dh] : {std::pair{0.0, 0.0}, {6000.0, 3600.0}, {12000.0, 9000.0}}) {
        const MainWindowGeometry g = sized(d.W + dw, d.H + dh, 3);
        const double clientWidth = g.W + 120;
        const double clientHeight = g.H - 525;
        SCOPED_TRACE(testing::Message() << "window " << g.W << " x " << g.H);

        // The frames: left beside right, both above the statistics, which
        // end above the status bar, all inside the window.
        EXPECT_TRUE(leftOf(g.Frame1, g.Frame2));
        EXPECT_TRUE(below(g.Frame1, g.Frame6));
        EXPECT_TRUE(below(g.Frame2, g.Frame6));
        EXPECT_LE(g.Frame6.bottom(), clientHeight - g.statusBarHeight);
        EXPECT_LE(g.Frame2.right(), clientWidth);
        EXPECT_LE(g.Frame6.right(), clientWidth);
        EXPECT_TRUE(below(g.cmdWebsite, g.Frame1));

        // Inside the left frame.
        EXPECT_TRUE(inside(g.innerFrame1, g.Frame1.width, g.Frame1.height));
        EXPECT_TRUE(inside(g.innerFrame2, g.Frame1.width, g.Frame1.height));
        EXPECT_TRUE(below(g.innerFrame1, g.innerFrame2));
        for (const Rect &r : {g.txtDomain, g.cmdAdd2, g.cmdDelete, g.cmdEditMain, g.cmdImport2, g.List4})
            EXPECT_TRUE(inside(r, g.innerFrame1.width, g.innerFrame1.height));
        for (const Rect &r : {g.Text1, g.cmdAdd, g.cmbDel, g.cmdEdit, g.cmdImport, g.List1[1], g.lblblah})
            EXPECT_TRUE(inside(r, g.innerFrame2.width, g.innerFrame2.height));
        EXPECT_TRUE(leftOf(g.txtDomain, g.cmdAdd2));
        EXPECT_TRUE(leftOf(g.cmdAdd2, g.cmdDelete));
        EXPECT_TRUE(leftOf(g.cmdDelete, g.cmdEditMain));
        EXPECT_TRUE(leftOf(g.cmdEditMain, g.cmdImport2));
        EXPECT_TRUE(below(g.txtDomain, g.List4));
        EXPECT_TRUE(below(g.Text1, g.List1[1]));

        // The tab area: every page within the strip, under its row of tabs.
        EXPECT_TRUE(inside(g.TabStrip1, g.Frame2.width, g.Frame2.height));
        const Rect pages{g.TabStrip1.left, g.TabStrip1.top + 350, g.TabStrip1.width, g.TabStrip1.height - 350};
        auto onPage = [&](const Rect &r) {
            return r.left >= pages.left && r.top >= pages.top && r.right() <= pages.right()
                && r.bottom() <= pages.bottom();
        };
        for (const Rect &r : {g.List3, g.lstErr, g.WebBrowser1, g.txtURL, g.cmdGo, g.Frame5, g.WebBrowser2,
                              g.Command2, g.Command3})
            EXPECT_TRUE(onPage(r));
        EXPECT_TRUE(below(g.List3, g.lblErr));
        EXPECT_TRUE(below(g.txtURL, g.WebBrowser1));
        EXPECT_TRUE(leftOf(g.txtURL, g.cmdGo));
        EXPECT_TRUE(below(g.Command3, g.WebBrowser2));
        for (const Rect &r : {g.txtHTML1, g.txtHTML2, g.Label14, g.txtHTML3})
            EXPECT_TRUE(inside(r, g.Frame5.width, g.Frame5.height));
        EXPECT_TRUE(below(g.txtHTML1, g.txtHTML2));
        EXPECT_TRUE(below(g.txtHTML2, g.Label14));
        EXPECT_TRUE(below(g.Label14, g.txtHTML3));
        for (const Rect &r : {g.txtPost, g.cmbSites, g.txtPost2, g.cmdScriptAdd, g.cmdScriptDel, g.lstMulti})
            EXPECT_TRUE(inside(r, g.framePost.width, g.framePost.height));
        EXPECT_TRUE(leftOf(g.txtPost2, g.cmdScriptAdd));
        EXPECT_TRUE(leftOf(g.cmdScriptAdd, g.cmdScriptDel));
        EXPECT_TRUE(below(g.txtPost2, g.lstMulti));

        EXPECT_TRUE(inside(g.List2, g.Frame6.width, g.Frame6.height));
        // The progress bar stays within the status bar.
        EXPECT_GE(g.pb1.top, clientHeight - g.statusBarHeight);
        EXPECT_LE(g.pb1.bottom(), clientHeight);
    }
}

TEST(MainWindowLayout, TwipsBecomePixelsEdgeByEdge)
{
    EXPECT_EQ(toPixels(Rect{15, 30, 150, 45}), QRect(1, 2, 10, 3));
    // Two controls that touch in twips touch on screen.
    const QRect a = toPixels(Rect{0, 0, 1007, 10});
    const QRect b = toPixels(Rect{1007, 0, 500, 10});
    EXPECT_EQ(a.right() + 1, b.left());
    EXPECT_EQ(toPixels(Rect{0, 0, -300, 20}).width(), 0);
    EXPECT_DOUBLE_EQ(outerHeightFromClient(toTwips(100)) - outerHeightFromClient(toTwips(40)), 900);
}

TEST(OtherWindows, ColumnsKeepTheirWidthsWhenTheyFitElseTheWidestAreCut)
{
    struct Case {
        QList<int> wanted;
        int available;
        QList<int> widths;
    };
    const Case cases[] = {
        {{100, 50, 80}, 300, {100, 50, 80}},
        {{100, 50, 400}, 300, {100, 50, 150}},
        {{200, 200, 200}, 300, {100, 100, 100}},
        {{90, 300, 10, 300}, 400, {90, 150, 10, 150}},
        {{}, 100, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fitColumnWidths(c.wanted, c.available), c.widths) << c.available;
}

TEST(OtherWindows, AWindowOpensClearOfTheMainWindowsStatusBar)
{
    const QRect screen(0, 0, 1920, 1080);
    const QSize log(640, 420);
    struct Case {
        const char *name;
        QRect mainFrame, bar, place;
    };
    const Case cases[] = {
        {"above the bar", {100, 100, 1000, 800}, {104, 870, 992, 20}, {460, 446, 640, 420}},
        {"lower under the screen's top", {0, 0, 800, 300}, {4, 270, 792, 20}, {160, 0, 640, 266}},
        {"below the main window", {0, 0, 800, 100}, {4, 70, 792, 20}, {160, 104, 640, 420}},
        {"at the screen's foot", {0, 0, 1920, 1080}, {0, 50, 1920, 20}, {1280, 660, 640, 420}},
        {"within the screen's left", {-300, 200, 500, 600}, {-296, 770, 492, 20}, {0, 346, 640, 420}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(placeClearOfStatusBar(c.mainFrame, c.bar, screen, log), c.place) << c.name;
}
