#pragma once
// The main window's arrangement as plain data: every size and position the
// resize rules read or write, in twips, relative to the control's container.
// The rules run here, on exact values; the window turns the result into
// pixels in one place.

#include <QList>
#include <QRect>
#include <optional>
#include <vector>

namespace tarnwick::layout {

constexpr double kTwipsPerPixel = 15.0;

struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    bool operator==(const Rect &) const = default;
};

// Twips to pixels: each edge is rounded on its own, so controls that touch
// in twips still touch on screen. A negative size gives an empty rectangle.
QRect toPixels(const Rect &r);
int toPixels(double twips);
double toTwips(int pixels);

// The column widths set by the first run, in twips, per list.
struct ColumnWidths {
    int list1Index = 0;     // the linking-site list they belong to; 0 none
    QList<double> list1;    // its columns 1 to 4 (column 5 keeps its width)
    QList<double> list3;    // the five columns of the results list
    QList<double> lstErr;   // the two columns of the error list
};

struct MainWindowGeometry {
    // The window's outer size as the rules read it.
    double W = 0;
    double H = 0;

    Rect Frame1, Frame2, Frame6;
    Rect innerFrame1, innerFrame2;

    // Main-site part.
    Rect txtDomain, cmdAdd2, cmdDelete, cmdEditMain, cmdImport2, List4;
    // Linking-site part; List1[0] is the template list.
    Rect lblblah, Text1, cmdAdd, cmbDel, cmdEdit, cmdImport;
    std::vector<Rect> List1;

    Rect List2;
    Rect Command2, Command3, cmdWebsite;

    // Tab area.
    Rect TabStrip1, List3, lstErr, lblErr;
    Rect WebBrowser1, txtURL, cmdGo, WebBrowser2;
    Rect Frame5, txtHTML1, txtHTML2, txtHTML3, Label14;
    Rect framePost, txtPost, cmbSites, txtPost2, cmdScriptAdd, cmdScriptDel, lstMulti;

    // Status bar (four panels across the window) and the progress bar over
    // the fourth.
    double statusBarHeight = 0;
    double panelWidth[4] = {};
    Rect pb1;

    bool bSized = false;

    // Left edge of status-bar panel 1..4 inside the status bar.
    double panelLeft(int panel) const;
};

// The arrangement as designed, for the window's default size, with the
// template list only.
MainWindowGeometry designGeometry();

// The window's default client size, in pixels.
QSize defaultClientSize();

// How the window's outer size is counted from its client area (the part
// under the menu bar, status bar included), in twips.
double outerWidthFromClient(double clientWidth);
double outerHeightFromClient(double clientHeight);

// Gives the linking-site lists count elements (template included); new
// elements take the template's size and place, removed ones go.
void setList1Count(MainWindowGeometry &g, int count);

// Applies the resize rules for g.W and g.H, in their fixed order. On the
// first run (bSized false) it also returns the list column widths, those of
// linking-site list iCurrentMain only when that list exists.
std::optional<ColumnWidths> resizeControls(MainWindowGeometry &g, int iCurrentMain);

// ---- Other windows, in pixels ----

// Column widths for columns that want `wanted`, within `available`: all as
// wanted when they fit; otherwise the widest are cut to one common width,
// so the narrow ones stay whole.
QList<int> fitColumnWidths(const QList<int> &wanted, int available);

// Where a window of frame size `size` opens over the main window (frame
// mainFrame) without hiding its status bar (statusBar), all within screen:
// its right edge on the main window's, its foot just above the bar, lower
// than asked when the screen has no room above; when even a low one does
// not fit there, below the main window, or at the foot of the screen.
QRect placeClearOfStatusBar(const QRect &mainFrame, const QRect &statusBar, const QRect &screen, QSize size);

} // namespace tarnwick::layout
