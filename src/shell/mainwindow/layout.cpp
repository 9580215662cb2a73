#include "shell/mainwindow/layout.h"

#include <QSize>
#include <algorithm>
#include <cmath>

namespace tarnwick::layout {

namespace {

double absv(double v)
{
    return std::abs(v);
}

// The default client area: 1200 x 760 pixels.
constexpr double kClientWidth = 18000;
constexpr double kClientHeight = 11400;

// The rules count the window's outer size. The client area is what the
// window really has; the outer size adds the rules' allowance for caption,
// borders and menu bar above (it puts the progress bar over the status
// bar), and leaves on the right the margin the left frame keeps on the left
// (the right-hand frames end at the outer width).
constexpr double kOuterExtraHeight = 525;
constexpr double kFrameMargin = 120;

} // namespace

int toPixels(double twips)
{
    return int(std::lround(twips / kTwipsPerPixel));
}

double toTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

QRect toPixels(const Rect &r)
{
    const int x0 = toPixels(r.left);
    const int y0 = toPixels(r.top);
    const int x1 = toPixels(r.left + r.width);
    const int y1 = toPixels(r.top + r.height);
    return QRect(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
}

QSize defaultClientSize()
{
    return QSize(toPixels(kClientWidth), toPixels(kClientHeight));
}

double outerWidthFromClient(double clientWidth)
{
    return std::max(0.0, clientWidth - kFrameMargin);
}

double outerHeightFromClient(double clientHeight)
{
    return std::max(0.0, clientHeight) + kOuterExtraHeight;
}

double MainWindowGeometry::panelLeft(int panel) const
{
    double left = 0;
    for (int i = 1; i < panel && i <= 4; ++i)
        left += panelWidth[i - 1];
    return left;
}

MainWindowGeometry designGeometry()
{
    MainWindowGeometry g;
    g.W = outerWidthFromClient(kClientWidth);
    g.H = outerHeightFromClient(kClientHeight);

    // Frames. The upper two share the height left over by the statistics
    // frame, the status bar and the rules' allowance; the tool row sits above.
    g.statusBarHeight = 390;
    g.Frame6 = {kFrameMargin, 0, 0, 2250};
    g.Frame1 = {kFrameMargin, 1295, 8940, 7285};
    g.Frame2 = {9180, 1355, 8700, 7285};
    g.Frame6.top = g.Frame1.bottom() + 60;
    g.Frame6.width = 17760;

    g.innerFrame1 = {0, 120, 8740, 3522.5};
    g.innerFrame2 = {0, 3762.5, 8740, 3522.5};

    // Entry rows: heading, caption, entry box with its buttons, then the list.
    constexpr double rowTop = 630;
    constexpr double rowHeight = 420;
    g.txtDomain = {120, rowTop, 4960, rowHeight};
    g.cmdAdd2 = {5140, rowTop, 750, rowHeight};
    g.cmdDelete = {5950, rowTop, 750, rowHeight};
    g.cmdEditMain = {6760, rowTop, 750, rowHeight};
    g.cmdImport2 = {7570, rowTop, 1050, rowHeight};
    g.List4 = {120, 1140, 8500, 2262.5};

    g.lblblah = {0, 60, 8740, 300};
    g.Text1 = g.txtDomain;
    g.cmdAdd = g.cmdAdd2;
    g.cmbDel = g.cmdDelete;
    g.cmdEdit = g.cmdEditMain;
    g.cmdImport = g.cmdImport2;
    g.List1 = {Rect{120, 1140, 8500, 2262.5}};

    g.List2 = {8100, 630, 9540, 1500};

    // Tab area: the strip's tab row is 350 high; the pages start under it.
    g.TabStrip1 = {0, 60, 8700, 7150};
    g.List3 = {50, 460, 8600, 4925};
    g.lstErr = {50, 5660, 8600, 1500};
    g.lblErr = {60, 5440, 3000, 270};

    g.WebBrowser1 = {50, 1710, 8600, 5250};
    g.txtURL = {370, 1090, 7280, rowHeight};
    g.cmdGo = {7750, 1090, 900, rowHeight};
    g.WebBrowser2 = {50, 1860, 8600, 5250};

    g.Frame5 = {50, 810, 8600, 6350};
    g.txtHTML1 = {100, 1410, 8400, 900};
    g.txtHTML2 = {100, 2850, 8400, 2140};
    g.Label14 = {100, 5090, 4000, 240};
    g.txtHTML3 = {100, 5330, 8400, 900};

    g.framePost = g.Frame5;
    g.txtPost = {390, 1050, 7970, rowHeight};
    g.cmbSites = {390, 1950, 5870, rowHeight};
    g.txtPost2 = {390, 2430, 5870, rowHeight};
    g.cmdScriptAdd = {6320, 2430, 1050, rowHeight};
    g.cmdScriptDel = {7430, 2430, 1050, rowHeight};
    g.lstMulti = {390, 2970, 8090, 2880};

    g.Command2 = {50, 940, 8500, 390};
    g.Command3 = {50, 1390, 8500, 390};
    g.cmdWebsite = {12360, 435, 5320, 540};

    g.pb1 = {0, 0, 0, 240};
    return g;
}

void setList1Count(MainWindowGeometry &g, int count)
{
    if (count < 1)
        count = 1;
    if (g.List1.empty())
        g.List1.push_back(Rect{});
    const Rect templ = g.List1.front();
    g.List1.resize(size_t(count), templ);
}

std::optional<ColumnWidths> resizeControls(MainWindowGeometry &g, int iCurrentMain)
{
    if (g.List1.empty())
        g.List1.push_back(Rect{});
    const double W = g.W;
    const double H = g.H;
    Rect &templ = g.List1.front();

    // Step 1: the three frames.
    g.Frame1.height = absv(H - g.Frame6.height - g.statusBarHeight - 2000);             // 1
    g.Frame2.height = g.Frame1.height;                                                  // 2
    g.Frame1.width = absv(W / 2);                                                       // 3
    g.Frame2.width = absv(W - g.Frame1.width - 2 * g.Frame1.left);                      // 4
    g.Frame2.left = absv(2 * g.Frame1.left + g.Frame1.width);                           // 5
    g.Frame6.width = absv(g.Frame2.left + g.Frame2.width - g.Frame1.left);              // 6
    g.Frame6.left = g.Frame1.left;                                                      // 7
    g.Frame6.top = absv(g.Frame1.top + g.Frame1.height + 60);                           // 8

    // Step 2: the left frame's two parts, the page queue, the left lists.
    g.innerFrame1.width = absv(g.Frame1.width - 2 * g.innerFrame1.left - 200);          // 9
    g.innerFrame2.width = g.innerFrame1.width;                                          // 10
    g.innerFrame1.height = absv((g.Frame1.height - 2 * g.innerFrame1.top) / 2);         // 11
    g.innerFrame2.height = g.innerFrame1.height;                                        // 12
    g.innerFrame2.top = absv(2 * g.innerFrame1.top + g.innerFrame1.height);             // 13
    g.List2.width = absv(g.Frame6.width - g.List2.left - 120);                          // 14
    g.List3.width = absv(g.Frame2.width - 2 * g.List3.left);                            // 15
    // 16: the e-mail buttons take the template list's width of this run, the
    // one rule 19 gives it; its width before this run would leave them a
    // resize behind, too wide for the tab area after the window shrinks.
    const double templateWidth = absv(g.innerFrame1.width - templ.left - 120);
    g.Command2.width = templateWidth;
    g.Command3.width = templateWidth;
    g.cmdWebsite.width = absv(W - g.cmdWebsite.left - 200);                             // 17
    templ.height = absv(g.innerFrame2.height - templ.top - 120);                        // 18
    templ.width = templateWidth;                                                        // 19

    // From here a list that is not there is skipped.
    for (size_t i = 1; i < g.List1.size(); ++i) {                                       // 20
        g.List1[i].height = templ.height;
        g.List1[i].width = templ.width;
    }
    g.List4.height = absv(g.innerFrame1.height - g.List4.top - 120);                    // 21
    g.List4.width = absv(g.innerFrame1.width - g.List4.left - 120);                     // 22

    // Step 3: results and errors.
    g.List3.height = absv(g.Frame1.height - g.List3.top - 400 - g.lstErr.height);       // 23
    g.lstErr.top = absv(g.List3.top + g.List3.height + 275);                            // 24
    g.lstErr.width = absv(g.List3.width);                                               // 25
    g.lblErr.top = absv(g.lstErr.top - g.lblErr.height + 50);                           // 26

    // Step 4: the entry rows share one column grid.
    g.txtDomain.width = absv(templ.width - g.cmdAdd2.width - g.cmdDelete.width - g.cmdEditMain.width
                             - g.cmdImport.width - 240);                                // 27
    g.Text1.width = g.txtDomain.width;                                                  // 28
    g.cmdAdd2.left = absv(g.txtDomain.left + g.txtDomain.width + 60);                   // 29
    g.cmdDelete.left = absv(g.cmdAdd2.left + g.cmdAdd2.width + 60);                     // 30
    g.cmdEditMain.left = absv(g.cmdDelete.left + g.cmdDelete.width + 60);               // 31
    g.cmdAdd.left = g.cmdAdd2.left;                                                     // 32
    g.cmbDel.left = g.cmdDelete.left;
    g.cmdEdit.left = g.cmdEditMain.left;
    g.cmdImport.left = absv(g.cmdEdit.left + g.cmdEdit.width + 60);                     // 33
    g.cmdImport2.left = g.cmdImport.left;                                               // 34
    g.List4.width = templ.width;                                                        // 35

    // Step 5: the tab area.
    g.TabStrip1.width = absv(g.List3.width + 100);                                      // 36
    g.TabStrip1.height = absv(g.lstErr.height + g.List3.height + 725);                  // 37
    g.WebBrowser1.width = absv(g.List3.width);                                          // 38
    g.WebBrowser1.height = absv(g.TabStrip1.height - 1900);                             // 39
    g.Frame5 = {g.WebBrowser1.left, g.WebBrowser1.top - 900, g.WebBrowser1.width,
                g.WebBrowser1.height + 1100};                                           // 40
    g.framePost = g.Frame5;                                                             // 41
    g.txtPost.width = absv(g.framePost.width - g.txtPost.left - 240);                   // 42
    g.cmbSites.width = absv(g.framePost.width - g.cmbSites.left - g.cmdScriptAdd.width
                            - g.cmdScriptDel.width - 240);                              // 43
    g.txtPost2.width = g.cmbSites.width;                                                // 44
    g.cmdScriptAdd.left = absv(g.txtPost2.left + g.txtPost2.width + 60);                // 45
    g.cmdScriptDel.left = absv(g.cmdScriptAdd.left + g.cmdScriptAdd.width + 60);        // 46
    g.lstMulti.width = absv(g.cmdScriptDel.left + g.cmdScriptDel.width - g.lstMulti.left); // 47
    g.lstMulti.height = absv(g.framePost.height - g.lstMulti.top - 500);                // 48
    g.txtHTML1.width = absv(g.Frame5.width - 200);                                      // 49
    g.txtHTML2.width = g.txtHTML1.width;                                                // 50
    g.txtHTML3.width = g.txtHTML1.width;
    g.txtHTML2.height = absv(g.Frame5.height - g.txtHTML1.height - g.txtHTML3.height - g.txtHTML1.top
                             - 1000);                                                   // 51
    g.Label14.top = absv(g.txtHTML2.top + g.txtHTML2.height + 100);                     // 52
    g.txtHTML3.top = absv(g.Label14.top + g.Label14.height);                            // 53
    g.Label14.top = absv(g.txtHTML3.top - 240);                                         // 54
    g.txtURL.width = absv(g.WebBrowser1.width - g.Text1.left - 300 - g.cmdGo.width);    // 55
    g.cmdGo.left = g.txtURL.left + g.txtURL.width + 100;                                // 56

    // Step 6: list columns, on the first run only.
    std::optional<ColumnWidths> columns;
    if (!g.bSized) {
        g.bSized = true;
        ColumnWidths c;
        if (iCurrentMain >= 1 && size_t(iCurrentMain) < g.List1.size()) {
            const double w = g.List1[size_t(iCurrentMain)].width;
            c.list1Index = iCurrentMain;
            c.list1 = {absv(w / 4 * 2 - 50), absv(w / 16), absv(w / 8 * 2 - 300), absv(w / 8 * 2 - 300)};
        }
        double w = g.List3.width;
        c.list3 = {absv(w / 4 - 50), absv(w / 4 - 50), absv(w / 4 - 50), absv(w / 12 - 50),
                   absv(w / 6 * 5 + w / 4 - 50)};
        w = g.lstErr.width;
        c.lstErr = {absv(w / 4 - 50), absv(w / 4 * 3 - 50)};
        columns = c;
    }

    // Step 7: status bar and progress bar.
    g.panelWidth[0] = absv(W / 2);                                                      // 57
    for (int i = 1; i < 4; ++i)                                                         // 58
        g.panelWidth[i] = absv(W / 6);
    g.pb1.left = g.panelLeft(4) + 25;                                                   // 59
    g.pb1.top = absv(H - g.statusBarHeight - 450);                                      // 60
    // 61; a panel narrower than the bar's margins leaves it no width at all.
    g.pb1.width = std::max(0.0, g.panelWidth[3] - 50);

    // Step 8: the report view and the linking-site heading.
    g.WebBrowser2.width = g.WebBrowser1.width;                                          // 62
    g.WebBrowser2.height = g.WebBrowser1.height;
    g.lblblah.width = g.innerFrame2.width;                                              // 63
    return columns;
}

QList<int> fitColumnWidths(const QList<int> &wanted, int available)
{
    qint64 total = 0;
    for (int w : wanted)
        total += std::max(w, 0);
    if (total <= available)
        return wanted;
    // The common width: what is left once every column narrower than it
    // has what it wants, shared by the others.
    QList<int> sorted = wanted;
    std::sort(sorted.begin(), sorted.end());
    qint64 left = std::max(available, 0);
    int cap = 0;
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        const qint64 others = sorted.size() - i;
        if (qint64(std::max(sorted[i], 0)) * others > left) {
            cap = int(left / others);
            break;
        }
        left -= std::max(sorted[i], 0);
    }
    QList<int> widths;
    for (int w : wanted)
        widths << std::min(w, cap);
    return widths;
}

QRect placeClearOfStatusBar(const QRect &mainFrame, const QRect &statusBar, const QRect &screen, QSize size)
{
    constexpr int kGap = 4;
    constexpr int kLowest = 120;  // lower than this a log shows too little
    const int width = std::min(size.width(), screen.width());
    const int x = std::clamp(mainFrame.right() + 1 - width, screen.left(), screen.right() + 1 - width);
    const int footAbove = statusBar.top() - kGap;
    const int roomAbove = footAbove - screen.top();
    if (roomAbove >= std::min(kLowest, size.height())) {
        const int height = std::min(size.height(), roomAbove);
        return {x, footAbove - height, width, height};
    }
    const int height = std::min(size.height(), screen.height());
    const int below = mainFrame.bottom() + 1 + kGap;
    if (below + height <= screen.bottom() + 1)
        return {x, below, width, height};
    return {x, screen.bottom() + 1 - height, width, height};
}

} // namespace tarnwick::layout
