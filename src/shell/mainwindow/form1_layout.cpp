// The main window's frames and the place of every control: the design-time
// positions, and the resize rules applied to them whenever the window's size
// changes.

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>

#include "shell/failures.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/mainwindow/tabstrip.h"
#include "shell/mainwindow/webbrowser.h"
#include "shell/mainwindow/webpanel.h"
#include "shell/windows/redraw.h"
#include "widgets/reportview.h"
#include "workspace/context.h"
#include "workspace/project.h"

namespace tarnwick {

namespace {

using layout::Rect;

void place(QWidget *w, const Rect &r)
{
    if (w)
        w->setGeometry(layout::toPixels(r));
}

// Design-time places of the controls no rule moves, in twips inside their
// containers.
constexpr double kToolTop = 435;
constexpr double kToolHeight = 540;

// Room for a caption and borders while the window has no frame yet.
constexpr int kFrameAllowanceWidth = 16;
constexpr int kFrameAllowanceHeight = 40;

// The size, frame included, within the free area of the window's screen.
QSize fittedToScreen(const QWidget *window, const QSize &size)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return size;
    QSize frame = window->frameGeometry().size() - window->geometry().size();
    if (frame.width() <= 0 && frame.height() <= 0)
        frame = QSize(kFrameAllowanceWidth, kFrameAllowanceHeight);
    const QSize room = screen->availableGeometry().size() - frame;
    return size.boundedTo(room.expandedTo(QSize(1, 1)));
}

} // namespace

void Form1::buildFrames()
{
    Frame1 = new QWidget(m_central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    innerFrame1 = new QFrame(Frame1);
    innerFrame1->setObjectName(QStringLiteral("innerFrame1"));

    Frame2 = new QWidget(m_central);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    // First in its frame, so every tab's controls lie over it.
    TabStrip1 = new TabStrip(Frame2);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));

    auto *pageBuilder = new QGroupBox(QStringLiteral("Page Builder"), Frame2);
    Frame5 = pageBuilder;
    Frame5->setObjectName(QStringLiteral("Frame5"));
    auto *posting = new QGroupBox(Frame2);
    framePost = posting;
    framePost->setObjectName(QStringLiteral("framePost"));

    auto *progress = new QGroupBox(QStringLiteral("Scan Progress and Statistics"), m_central);
    Frame6 = progress;
    Frame6->setObjectName(QStringLiteral("Frame6"));
}

QList<QWidget *> Form1::skinLabelContainers() const
{
    // The containers of the five skinned-label arrays.
    return {Frame1, innerFrame1, innerFrame2, Frame2, Frame6};
}

void Form1::placeControls()
{
    const layout::MainWindowGeometry g = layout::designGeometry();
    m_geometry = g;

    // Tool row: project, scan and options buttons, then the web-site button
    // to the right edge.
    struct Tool {
        QPushButton *button;
        double left;
        double width;
    };
    const Tool tools[] = {
        {cmdNew, 120, 900},       {cmdOpen, 1080, 900},     {cmdSave, 2040, 900},
        {Command1, 3180, 1500},   {cmdStop, 4740, 900},     {cmdSkip, 5700, 900},
        {cmdResume, 6660, 1200},  {Command10, 7920, 1350},  {Command11, 9330, 1350},
        {Command9, 10920, 1200},
    };
    for (const Tool &t : tools)
        place(t.button, {t.left, kToolTop, t.width, kToolHeight});
    cmdDoSearch->setGeometry(0, 0, 0, 0);

    // Main-site part: heading, caption, entry row (by the rules), list.
    if (auto *heading = innerFrame1->findChild<QLabel *>(QStringLiteral("lblMainSites")))
        place(heading, {0, 60, 8740, 300});
    if (auto *caption = innerFrame1->findChild<QLabel *>(QStringLiteral("lblMainURL")))
        place(caption, {120, 360, 1500, 240});
    place(Label2, {120, 360, 1500, 240});
    lblblah->setIndent(8);

    // Statistics frame.
    place(cmdNextSearch, {10400, 255, 1000, 330});
    place(cmbLastSearch, {3960, 1440, 3000, 420});

    // Links tab: the label lies under its list, where their edges meet.
    results->lblErr->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    results->lblErr->stackUnder(results->lstErrView);

    // Web tab.
    place(web->cmdBack, {50, 520, 1200, 480});
    place(web->cmdForward, {1310, 520, 1350, 480});
    place(web->cmdWebStop, {2720, 520, 1000, 480});
    place(web->cmdRefresh, {3780, 520, 1400, 480});

    // Pages tab: the page builder's options and buttons.
    place(optAll[0], {150, 330, 3400, 330});
    place(optAll[1], {3650, 330, 2000, 330});
    place(Combo3, {5700, 285, 2700, 420});
    place(chkBullet, {150, 780, 2000, 330});
    place(chkNewWin, {2300, 780, 3400, 330});
    place(lblHTML1, {100, 1170, 4000, 240});
    place(Command5, {100, 2370, 1800, 420});
    place(Command6, {1960, 2370, 1800, 420});

    // Reports tab: the report view's buttons lie over its top strip.
    place(report->Command12, {50, 490, 1800, 390});
    place(cmdViewDatabase, {1910, 490, 1950, 390});
    place(report->Command8, {170, 1950, 1800, 390});
    place(report->Command8a, {2030, 1950, 2100, 390});
    report->WebBrowser2->widget()->setProperty("overlaidStrip", true);

    // Post tab.
    place(SkinLabel9, {110, 505, 7500, 270});
    place(cmdPost, {150, 150, 2000, 420});
    place(cmdExample, {2210, 150, 1700, 420});
    place(cmdVariables, {3970, 150, 2300, 420});
    place(optScript[0], {150, 690, 5000, 330});
    place(optScript[1], {150, 1590, 6500, 330});

    TabStrip1->setTabRowHeight(layout::toPixels(350));

    lstMultiView->setColumnWidth(0, layout::toPixels(3000));

    // The results list scrolls sideways: its last column is wider than the
    // list itself.
    results->List3View->header()->setStretchLastSection(false);

    // Lists made later copy the template's columns.
    {
        const double w = g.List1.front().width;
        const double widths[4] = {w / 4 * 2 - 50, w / 16, w / 8 * 2 - 300, w / 8 * 2 - 300};
        for (int c = 0; c < 4; ++c)
            List1View(0)->setColumnWidth(c, layout::toPixels(std::abs(widths[c])));
    }

    m_layoutReady = true;
    applyGeometry();

    // The window opens with the "Links" tab.
    TabStrip1->setSelectedIndex(1);

    // The designed size, unless the screen is smaller.
    resize(fittedToScreen(this, layout::defaultClientSize() + QSize(0, menuBar()->sizeHint().height())));
}

QSize Form1::clientSize() const
{
    if (isVisible())
        return m_central->size();
    // Not laid out yet: the window less its menu bar.
    const int menu = menuBar()->isHidden() ? 0 : menuBar()->sizeHint().height();
    return QSize(width(), std::max(0, height() - menu));
}

void Form1::Form_Resize()
{
    lockUpdate(m_windows, this, true);
    ignoringFailures([this] { resizeControls(); });
    lockUpdate(m_windows, this, false);
}

void Form1::resizeControls()
{
    if (!m_layoutReady)
        return;
    const QSize client = clientSize();
    m_geometry.W = layout::outerWidthFromClient(layout::toTwips(client.width()));
    m_geometry.H = layout::outerHeightFromClient(layout::toTwips(client.height()));
    layout::setList1Count(m_geometry, int(m_list1Views.size()));
    m_geometry.bSized = bSized;
    const std::optional<layout::ColumnWidths> columns = layout::resizeControls(m_geometry, m_project->iCurrentMain);
    bSized = m_geometry.bSized;
    applyGeometry();
    if (columns)
        applyColumnWidths(*columns);
    // The status bar, and the progress bar over it, lie on top.
    StatusBar1->raise();
    pb1->raise();
}

void Form1::applyGeometry()
{
    const layout::MainWindowGeometry &g = m_geometry;
    const QSize client = clientSize();
    const double clientHeight = layout::toTwips(client.height());

    place(Frame1, g.Frame1);
    place(Frame2, g.Frame2);
    place(Frame6, g.Frame6);
    place(innerFrame1, g.innerFrame1);
    place(innerFrame2, g.innerFrame2);

    place(txtDomain, g.txtDomain);
    place(cmdAdd2, g.cmdAdd2);
    place(cmdDelete, g.cmdDelete);
    place(cmdEditMain, g.cmdEditMain);
    place(cmdImport2, g.cmdImport2);
    place(List4View, g.List4);
    place(lblblah, g.lblblah);
    place(Text1, g.Text1);
    place(cmdAdd, g.cmdAdd);
    place(cmbDel, g.cmbDel);
    place(cmdEdit, g.cmdEdit);
    place(cmdImport, g.cmdImport);
    for (int i = 0; i < int(m_list1Views.size()) && size_t(i) < g.List1.size(); ++i) {
        if (m_list1Views[size_t(i)])
            place(m_list1Views[size_t(i)], g.List1[size_t(i)]);
    }

    place(statistics->List2View, g.List2);
    place(Command2, g.Command2);
    place(Command3, g.Command3);
    place(cmdWebsite, g.cmdWebsite);

    place(TabStrip1, g.TabStrip1);
    place(results->List3View, g.List3);
    place(results->lstErrView, g.lstErr);
    place(results->lblErr, g.lblErr);
    place(web->WebBrowser1->widget(), g.WebBrowser1);
    place(web->txtURL, g.txtURL);
    place(web->cmdGo, g.cmdGo);
    place(report->WebBrowser2->widget(), g.WebBrowser2);
    place(Frame5, g.Frame5);
    place(txtHTML1, g.txtHTML1);
    place(txtHTML2, g.txtHTML2);
    place(txtHTML3, g.txtHTML3);
    place(Label14, g.Label14);
    place(framePost, g.framePost);
    place(txtPost, g.txtPost);
    place(cmbSites, g.cmbSites);
    place(txtPost2, g.txtPost2);
    place(cmdScriptAdd, g.cmdScriptAdd);
    place(cmdScriptDel, g.cmdScriptDel);
    place(lstMultiView, g.lstMulti);

    // The status bar takes the foot of the window, its panels side by side
    // from the left; the progress bar's place is in window terms.
    const double barTop = clientHeight - g.statusBarHeight;
    place(StatusBar1, {0, barTop, layout::toTwips(client.width()), g.statusBarHeight});
    for (int i = 0; i < 4; ++i)
        place(m_panels[i], {g.panelLeft(i + 1), 0, g.panelWidth[i], g.statusBarHeight});
    Rect bar = g.pb1;
    bar.top -= barTop;
    place(pb1, bar);
}

void Form1::applyColumnWidths(const layout::ColumnWidths &columns)
{
    ignoringFailures([&] {
        if (platform::ReportView *view = List1View(columns.list1Index); view && columns.list1Index >= 1) {
            for (int c = 0; c < columns.list1.size(); ++c)
                view->setColumnWidth(c, layout::toPixels(columns.list1[c]));
        }
    });
    ignoringFailures([&] {
        for (int c = 0; c < columns.list3.size(); ++c)
            results->List3View->setColumnWidth(c, layout::toPixels(columns.list3[c]));
    });
    ignoringFailures([&] {
        for (int c = 0; c < columns.lstErr.size(); ++c)
            results->lstErrView->setColumnWidth(c, layout::toPixels(columns.lstErr[c]));
    });
}

} // namespace tarnwick
