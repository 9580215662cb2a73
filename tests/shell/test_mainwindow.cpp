// The main window's menus, tabs, Web tab, statistics, layout and shut-down.

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/socket.h"
#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/mainwindow/tabstrip.h"
#include "shell/mainwindow/webbrowser.h"
#include "shell/mainwindow/webpanel.h"
#include "shell/skin/skin.h"
#include "shell/windows/splash.h"
#include "support/eventloop.h"
#include "support/keys.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/testhttpserver.h"
#include "support/windowcontrols.h"
#include "widgets/reportview.h"
#include "workspace/project.h"
#include "workspace/services.h"

using namespace tarnwick;
using testsupport::area;
using testsupport::chooseMenuItem;
using testsupport::chooseTab;
using testsupport::click;
using testsupport::control;
using testsupport::menuItem;
using testsupport::typeInto;

namespace {

class MainWindow : public ::testing::Test {
protected:
    MainWindow()
    {
        initBranding(*p.ctx);
        p.ctx->endProgram = [this] { ++ended; };
    }

    // Whether exactly the controls of tab `index` are showing.
    static void expectTabShowing(Form1 &form, int index)
    {
        for (int t = 1; t <= 5; ++t) {
            for (QWidget *w : MainWindowTestAccess::tabControls(form, t))
                EXPECT_EQ(w->isHidden(), t != index) << "tab " << t << " control " << w->objectName().toStdString()
                                                     << " with tab " << index << " selected";
        }
    }

    testsupport::ShellProgram p;
    int ended = 0;
};

// ---- Menus ----

TEST_F(MainWindow, MenuBarCaptionsShortcutsAndHiddenItems)
{
    Form1 form{*p.ctx, p.windows};
    QStringList bar;
    for (QAction *a : form.menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, QStringList({"File", "Scan Type", "Help", "About"}));

    const QList<QAction *> fileItems = control<QMenu>(form, "mnuFile")->actions();
    ASSERT_EQ(fileItems.size(), 5);
    const QStringList captions = {"New Project", "Open Project", "Import Project", "Save Project", "Exit"};
    const QStringList keys = {"Ctrl+N", "Ctrl+O", "", "Ctrl+S", "Ctrl+Q"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(fileItems[i]->text(), captions[i]);
        EXPECT_EQ(fileItems[i]->shortcut().toString(), keys[i]) << i;
        EXPECT_EQ(fileItems[i]->isVisible(), i != 2) << i;
    }
    ASSERT_EQ(control<QMenu>(form, "mnuScan")->actions().size(), 3);
    EXPECT_TRUE(menuItem(form, "mnuScan", "Scan all main sites")->isVisible());
    EXPECT_TRUE(menuItem(form, "mnuScan", "Just scan the selected main site")->isVisible());
    EXPECT_FALSE(menuItem(form, "mnuScan", "Just scan the selected linking site")->isVisible());
    EXPECT_EQ(menuItem(form, "mnuScan", "Just scan the selected linking site")->text(),
              "Just scan the selected linking site");
    ASSERT_EQ(control<QMenu>(form, "mnuHelp")->actions().size(), 1);
    EXPECT_EQ(menuItem(form, "mnuHelp", "View Help File")->text(), "View Help File");
    ASSERT_EQ(control<QMenu>(form, "mnuAbout")->actions().size(), 1);
    EXPECT_EQ(menuItem(form, "mnuAbout", "About this software")->text(), "About this software");
    ASSERT_EQ(control<QMenu>(form, "Popup1")->actions().size(), 1);
    EXPECT_EQ(menuItem(form, "Popup1", "Delete Site")->text(), "Delete Site");
    // The pop-up menus are not on the bar.
    for (QAction *a : form.menuBar()->actions()) {
        EXPECT_NE(a->menu(), control<QMenu>(form, "mnuSkipPopup"));
        EXPECT_NE(a->menu(), control<QMenu>(form, "Popup1"));
        EXPECT_NE(a->menu(), area<ResultsPanel>(form)->Popup2);
    }
}

TEST_F(MainWindow, FileMenuItemsRunTheirCommands)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    testsupport::typeMainSite(form, "www.one.example");
    p.dialogs->defaultAnswer = platform::vbNo;  // nothing to save first

    // New empties the project; Open and Import ask for a file.
    chooseMenuItem(form, "mnuFile", "New Project");
    EXPECT_EQ(form.project().List4->count(), 0);
    chooseMenuItem(form, "mnuFile", "Open Project");
    chooseMenuItem(form, "mnuFile", "Import Project");
    EXPECT_EQ(p.dialogs->fileRequests.size(), 2);
    // Save asks where, the project having no file yet.
    chooseMenuItem(form, "mnuFile", "Save Project");
    EXPECT_EQ(p.dialogs->fileRequests.size(), 3);
    EXPECT_EQ(ended, 0);
}

TEST_F(MainWindow, NewAndOpenAreRefusedWhileAScanRuns)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    testsupport::typeMainSite(form, "www.one.example");
    p.ctx->bScanning = true;
    chooseMenuItem(form, "mnuFile", "New Project");
    chooseMenuItem(form, "mnuFile", "Open Project");
    chooseMenuItem(form, "mnuFile", "Import Project");
    EXPECT_EQ(form.project().List4->count(), 1);
    EXPECT_TRUE(p.dialogs->fileRequests.isEmpty());

    // The items rest with the buttons the scan disables.
    control<QPushButton>(form, "cmdNew")->setEnabled(false);
    control<QPushButton>(form, "cmdOpen")->setEnabled(false);
    EXPECT_FALSE(menuItem(form, "mnuFile", "New Project")->isEnabled());
    EXPECT_FALSE(menuItem(form, "mnuFile", "Open Project")->isEnabled());
    EXPECT_FALSE(menuItem(form, "mnuFile", "Import Project")->isEnabled());
    EXPECT_TRUE(menuItem(form, "mnuFile", "Save Project")->isEnabled());
    EXPECT_TRUE(menuItem(form, "mnuFile", "Exit")->isEnabled());
    p.ctx->bScanning = false;
    control<QPushButton>(form, "cmdNew")->setEnabled(true);
    control<QPushButton>(form, "cmdOpen")->setEnabled(true);
    EXPECT_TRUE(menuItem(form, "mnuFile", "New Project")->isEnabled());
    EXPECT_TRUE(menuItem(form, "mnuFile", "Open Project")->isEnabled());

    // The scanner finds the controls it rests by these names.
    for (const char *name : {"cmdViewDatabase", "Command2", "Command3", "cmdNew", "Frame1"})
        EXPECT_NE(form.findChild<QWidget *>(QLatin1String(name)), nullptr) << name;
}

TEST_F(MainWindow, PopupDeleteRemovesTheSelectedLinkingSite)
{
    Form1 form{*p.ctx, p.windows};
    testsupport::typeMainSite(form, "www.one.example");
    testsupport::typeLinkingSite(form, "partner.example");
    form.project().List1(1)->setSelectedRow(1);
    chooseMenuItem(form, "Popup1", "Delete Site");
    EXPECT_EQ(form.project().List1(1)->count(), 0);
}

// ---- Tabs ----

TEST_F(MainWindow, EachTabShowsExactlyItsControls)
{
    Form1 form{*p.ctx, p.windows};
    ASSERT_EQ(control<TabStrip>(form, "TabStrip1")->count(), 5);
    const QStringList captions = {"Links", "Web", "Pages", "Reports", "Post"};
    const QStringList tips = {"View Link Results", "Visit Linking Sites", "Create link pages based on results",
                              "View Reports", "Post links to a database"};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(control<TabStrip>(form, "TabStrip1")->caption(i), captions[i - 1]);
        EXPECT_EQ(control<TabStrip>(form, "TabStrip1")->toolTip(i), tips[i - 1]);
    }

    // The window opens on "Links".
    EXPECT_EQ(control<TabStrip>(form, "TabStrip1")->selectedIndex(), 1);
    expectTabShowing(form, 1);
    for (int i : {2, 3, 4, 5, 1, 4, 4, 2}) {
        chooseTab(form, i);
        expectTabShowing(form, i);
    }
    // An index out of range changes nothing.
    control<TabStrip>(form, "TabStrip1")->setSelectedIndex(7);
    expectTabShowing(form, 2);

    EXPECT_TRUE(MainWindowTestAccess::tabControls(form, 1).contains(area<ResultsPanel>(form)->lblErr));
    EXPECT_TRUE(MainWindowTestAccess::tabControls(form, 2).contains(area<WebPanel>(form)->txtURL));
    EXPECT_TRUE(MainWindowTestAccess::tabControls(form, 3).contains(control<QWidget>(form, "Frame5")));
    EXPECT_TRUE(MainWindowTestAccess::tabControls(form, 5).contains(control<QLabel>(form, "SkinLabel9")));
    EXPECT_TRUE(MainWindowTestAccess::tabControls(form, 5).contains(control<QWidget>(form, "framePost")));
}

TEST_F(MainWindow, ReportsShowsItsButtonsOverTheReportView)
{
    Form1 form{*p.ctx, p.windows};
    chooseTab(form, 4);
    QWidget *report = area<ReportPanel>(form)->WebBrowser2->widget();
    const QObjectList order = report->parentWidget()->children();
    EXPECT_GT(order.indexOf(area<ReportPanel>(form)->Command8), order.indexOf(report));
    EXPECT_GT(order.indexOf(area<ReportPanel>(form)->Command8a), order.indexOf(report));
    EXPECT_TRUE(report->geometry().contains(area<ReportPanel>(form)->Command8->geometry()));
    EXPECT_TRUE(report->geometry().contains(area<ReportPanel>(form)->Command8a->geometry()));

    chooseTab(form, 1);
    EXPECT_TRUE(area<ReportPanel>(form)->Command8->isHidden());
    EXPECT_TRUE(area<ReportPanel>(form)->Command8a->isHidden());
    EXPECT_TRUE(report->isHidden());
}

TEST_F(MainWindow, ChoosersListTheMainSitesOnceAndKeepTheChoice)
{
    Form1 form{*p.ctx, p.windows};
    // No main sites: empty.
    chooseTab(form, 3);
    EXPECT_EQ(control<QComboBox>(form, "Combo3")->count(), 0);
    chooseTab(form, 5);
    EXPECT_EQ(control<QComboBox>(form, "cmbSites")->count(), 0);

    for (const char *site : {"www.a.example", "www.b.example", "www.c.example"})
        testsupport::typeMainSite(form, site);
    for (QComboBox *chooser : {control<QComboBox>(form, "Combo3"), control<QComboBox>(form, "cmbSites")}) {
        const int tab = chooser == control<QComboBox>(form, "Combo3") ? 3 : 5;
        SCOPED_TRACE(chooser->objectName().toStdString());
        chooseTab(form, tab);
        chooseTab(form, tab);
        ASSERT_EQ(chooser->count(), form.project().List4->count());
        EXPECT_EQ(chooser->itemText(0), "www.a.example");
        EXPECT_EQ(chooser->itemText(2), "www.c.example");
        EXPECT_EQ(chooser->currentIndex(), -1);

        chooser->setCurrentIndex(1);
        chooseTab(form, 1);
        testsupport::typeMainSite(form,
                                  chooser == control<QComboBox>(form, "Combo3") ? "www.d.example" : "www.e.example");
        chooseTab(form, tab);
        EXPECT_EQ(chooser->count(), form.project().List4->count());
        EXPECT_EQ(chooser->currentText(), "www.b.example");
    }

    // A choice whose main site is gone is dropped.
    p.dialogs->defaultAnswer = platform::vbNo;
    click(form, "cmdNew");
    testsupport::typeMainSite(form, "www.z.example");
    chooseTab(form, 3);
    EXPECT_EQ(control<QComboBox>(form, "Combo3")->count(), 1);
    EXPECT_EQ(control<QComboBox>(form, "Combo3")->currentIndex(), -1);
    chooseTab(form, 5);
    EXPECT_EQ(control<QComboBox>(form, "cmbSites")->count(), 1);
    EXPECT_EQ(control<QComboBox>(form, "cmbSites")->currentText(), "");
}

// ---- Web tab ----

TEST_F(MainWindow, TheWebTabBrowsesWithoutTheNetwork)
{
    Form1 form{*p.ctx, p.windows};
    ASSERT_NE(area<WebPanel>(form)->WebBrowser1, nullptr);

    // Back with no history does nothing and says nothing.
    area<WebPanel>(form)->cmdBack_Click();
    area<WebPanel>(form)->cmdForward_Click();
    area<WebPanel>(form)->cmdRefresh_Click();
    area<WebPanel>(form)->cmdWebStop_Click();
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
    EXPECT_EQ(area<WebPanel>(form)->txtURL->text(), "");

    // A local page shows; the address box follows the browser.
    const QString page = p.path("page.html");
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body><p>Local page</p></body></html>");
    f.close();
    area<WebPanel>(form)->txtURL->setText(page);
    area<WebPanel>(form)->txtURL_KeyPress(13);
    EXPECT_EQ(area<WebPanel>(form)->WebBrowser1->locationURL(), page);

    area<WebPanel>(form)->txtURL->setText("www.second.example");
    area<WebPanel>(form)->cmdGo_Click();
    EXPECT_EQ(area<WebPanel>(form)->WebBrowser1->locationURL(), "www.second.example");  // passed on unchanged
    area<WebPanel>(form)->cmdBack_Click();
    EXPECT_EQ(area<WebPanel>(form)->txtURL->text(), page);
    area<WebPanel>(form)->cmdForward_Click();
    EXPECT_EQ(area<WebPanel>(form)->txtURL->text(), "www.second.example");
    area<WebPanel>(form)->txtURL_KeyPress('a');  // other keys do nothing
    EXPECT_EQ(area<WebPanel>(form)->WebBrowser1->locationURL(), "www.second.example");
    EXPECT_TRUE(p.shell->opened.isEmpty());
}

TEST_F(MainWindow, BrowsingAResultSelectsTheWebTab)
{
    Form1 form{*p.ctx, p.windows};
    form.project().List3->add("www.main.example", {"partner.example", "Direct Link", "001", "partner.example/links.html"});
    form.project().List3->setSelectedRow(1);
    area<ResultsPanel>(form)->mnuPopup2Item_Click(2);
    EXPECT_EQ(control<TabStrip>(form, "TabStrip1")->selectedIndex(), 2);
    expectTabShowing(form, 2);
    EXPECT_EQ(area<WebPanel>(form)->txtURL->text(), "http://partner.example/links.html");
    EXPECT_TRUE(area<WebPanel>(form)->WebBrowser1->silent());
    EXPECT_TRUE(p.shell->opened.isEmpty());
}

// ---- Statistics ----

TEST_F(MainWindow, StatisticsShowEveryCounterAsPlainDigits)
{
    Form1 form{*p.ctx, p.windows};
    p.ctx->lPagesScanned = 1234567;
    p.ctx->lPagesFound = 0;
    p.ctx->lLinksFound = -12;
    p.ctx->lHistWebScanned = 9876543210LL;
    p.ctx->lHistEmailFound = 42;
    p.ctx->lLinkingSitesScanned = 5;
    p.ctx->lMainSitesScanned = 2;
    area<StatisticsPanel>(form)->StatsD();
    const QStringList expected = {"1234567", "0", "-12", "9876543210", "42", "5", "2"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(area<StatisticsPanel>(form)->lblStats[i]->text(), expected[i]) << i;

    // Counting redraws the panel: the run's and the lifetime rows apart.
    addStat(*p.ctx, Stat::PageScanned);
    EXPECT_EQ(area<StatisticsPanel>(form)->lblStats[0]->text(), "1234568");
    EXPECT_EQ(area<StatisticsPanel>(form)->lblStats[3]->text(), "9876543211");
    addStat(*p.ctx, Stat::MainSiteScanned);
    EXPECT_EQ(area<StatisticsPanel>(form)->lblStats[6]->text(), "3");
}

TEST_F(MainWindow, StartUpShowsTheStoredLifetimeTotals)
{
    p.ctx->settings().set("lHistWebScanned", "777");
    p.ctx->settings().set("lHistEmailFound", "31");
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    EXPECT_EQ(area<StatisticsPanel>(form)->lblStats[3]->text(), "777");
    EXPECT_EQ(area<StatisticsPanel>(form)->lblStats[4]->text(), "31");
    EXPECT_EQ(area<StatisticsPanel>(form)->lblStats[0]->text(), "0");
}

// ---- Layout in the window ----

TEST_F(MainWindow, TheLoadStepLaysTheWindowOutAndSetsTheColumnsOnce)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    EXPECT_TRUE(MainWindowTestAccess::layoutGeometry(form).bSized);
    const int listWidth = area<ResultsPanel>(form)->List3View->width();
    int sum = 0;
    for (int c = 0; c < 5; ++c)
        sum += area<ResultsPanel>(form)->List3View->columnWidth(c);
    EXPECT_GT(sum, listWidth);  // the results scroll sideways

    // The user's width survives later resizes.
    area<ResultsPanel>(form)->List3View->setColumnWidth(2, 333);
    form.resize(form.width() + 200, form.height() + 100);
    MainWindowTestAccess::resized(form);
    EXPECT_EQ(area<ResultsPanel>(form)->List3View->columnWidth(2), 333);
    EXPECT_GT(area<ResultsPanel>(form)->List3View->width(), listWidth);

    // The status bar lies at the foot with the progress bar over its last
    // panel.
    const QRect bar = control<QStatusBar>(form, "StatusBar1")->geometry();
    EXPECT_EQ(control<QProgressBar>(form, "pb1")->parentWidget(), control<QStatusBar>(form, "StatusBar1"));
    EXPECT_GE(control<QProgressBar>(form, "pb1")->geometry().top(), 0);
    EXPECT_LE(control<QProgressBar>(form, "pb1")->geometry().bottom(), bar.height() - 1);
    EXPECT_GT(control<QProgressBar>(form, "pb1")->geometry().left(), bar.width() / 2);
}

TEST_F(MainWindow, ShrinkingToNothingAndBackRestoresTheArrangement)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    testsupport::typeMainSite(form, "www.a.example");
    const QList<QWidget *> watched = {
        control<QWidget>(form, "Frame1"),          control<QWidget>(form, "Frame2"),
        control<QWidget>(form, "Frame6"),          control<QFrame>(form, "innerFrame2"),
        area<ResultsPanel>(form)->List3View,       area<ResultsPanel>(form)->lstErrView,
        MainWindowTestAccess::linkList(form, 1),   control<TabStrip>(form, "TabStrip1"),
        control<QPlainTextEdit>(form, "txtHTML2"), control<platform::ReportView>(form, "lstMulti"),
        control<QProgressBar>(form, "pb1"),        control<QPushButton>(form, "cmdWebsite")};
    QList<QRect> before;
    for (QWidget *w : watched)
        before << w->geometry();
    const QSize size = form.size();

    form.resize(1, 1);
    MainWindowTestAccess::resized(form);
    for (QWidget *w : watched) {
        EXPECT_GE(w->width(), 0) << w->objectName().toStdString();
        EXPECT_GE(w->height(), 0) << w->objectName().toStdString();
    }
    form.resize(size);
    MainWindowTestAccess::resized(form);
    for (int i = 0; i < watched.size(); ++i)
        EXPECT_EQ(watched[i]->geometry(), before[i]) << watched[i]->objectName().toStdString();
}

TEST_F(MainWindow, ListsOfNewMainSitesTakeTheTemplatesPlace)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    for (const char *site : {"www.a.example", "www.b.example", "www.c.example"})
        testsupport::typeMainSite(form, site);
    const QRect templ = MainWindowTestAccess::linkList(form, 0)->geometry();
    for (int i = 1; i < form.project().List1Count(); ++i)
        EXPECT_EQ(MainWindowTestAccess::linkList(form, i)->geometry(), templ) << i;

    form.resize(form.width() + 300, form.height() + 150);
    MainWindowTestAccess::resized(form);
    const QRect wider = MainWindowTestAccess::linkList(form, 0)->geometry();
    EXPECT_GT(wider.width(), templ.width());
    for (int i = 1; i < form.project().List1Count(); ++i)
        EXPECT_EQ(MainWindowTestAccess::linkList(form, i)->geometry(), wider) << i;
    EXPECT_EQ(MainWindowTestAccess::layoutGeometry(form).List1.size(), size_t(form.project().List1Count()));
}

// ---- Shut-down ----

TEST_F(MainWindow, ClosingASavedProjectAsksNothing)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    form.project().bProjectSaved = true;
    chooseMenuItem(form, "mnuFile", "Exit");
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(MainWindowTestAccess::unloaded(form));
}

TEST_F(MainWindow, ClosingAnUnsavedProjectAsksOnceAndNoSavesNothing)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    testsupport::typeMainSite(form, "www.one.example");
    p.dialogs->answers.push_back(platform::vbNo);
    form.close();
    form.close();
    chooseMenuItem(form, "mnuFile", "Exit");
    ASSERT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_EQ(p.dialogs->boxes[0].title, "Save Project?");
    EXPECT_EQ(p.dialogs->boxes[0].text,
              "The current project has been edited but has not been saved.\r\nWould you like to save now?");
    EXPECT_EQ(p.dialogs->boxes[0].style & 7, platform::vbYesNo);
    EXPECT_TRUE(p.dialogs->fileRequests.isEmpty());
    EXPECT_EQ(ended, 1);
}

TEST_F(MainWindow, TypingInALinkPageBlockIsAChangeToSave)
{
    // Restoring the stored blocks and opening a project mark nothing.
    p.ctx->settings().set("txtHTML1", "<p>stored</p>");
    const QString path = p.path("blocks.prj");
    {
        Form1 other{*p.ctx, p.windows};
        other.project().setHtml(3, "<p>saved</p>");
        ASSERT_TRUE(other.project().saveProject(path));
    }
    p.ctx->settings().set("LastProject", "");
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML1")->toPlainText(), "<p>stored</p>");
    EXPECT_TRUE(form.project().bProjectSaved);
    ASSERT_TRUE(testsupport::openProjectFile(form, *p.dialogs, path));
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML3")->toPlainText(), "<p>saved</p>");
    EXPECT_TRUE(form.project().bProjectSaved);
    click(form, "cmdNew");  // the new project's blocks show, nothing typed
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML3")->toPlainText(), kHtml3Placeholder);
    EXPECT_TRUE(form.project().bProjectSaved);

    for (QPlainTextEdit *block : {control<QPlainTextEdit>(form, "txtHTML1"), control<QPlainTextEdit>(form, "txtHTML2"),
                                  control<QPlainTextEdit>(form, "txtHTML3")}) {
        form.project().bProjectSaved = true;
        testsupport::typeKeys(block, "x");
        EXPECT_FALSE(form.project().bProjectSaved) << block->objectName().toStdString();
    }
    p.dialogs->answers.push_back(platform::vbNo);
    chooseMenuItem(form, "mnuFile", "Exit");
    ASSERT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_EQ(p.dialogs->boxes[0].title, "Save Project?");
}

TEST_F(MainWindow, AnsweringYesSavesAndEndsEvenWhenTheSaveIsCancelled)
{
    {
        Form1 form{*p.ctx, p.windows};
        form.Form_Load();
        testsupport::typeMainSite(form, "www.one.example");
        p.dialogs->answers.push_back(platform::vbYes);
        p.dialogs->fileAnswers.push_back(QString());  // cancelled
        EXPECT_TRUE(form.close());
        EXPECT_EQ(p.dialogs->fileRequests.size(), 1);
        EXPECT_EQ(ended, 1);
    }
    {
        Form1 form{*p.ctx, p.windows};
        form.Form_Load();
        testsupport::typeMainSite(form, "www.two.example");
        const QString file = p.path("kept.prj");
        p.dialogs->answers.push_back(platform::vbYes);
        p.dialogs->fileAnswers.push_back(file);
        form.close();
        EXPECT_TRUE(QFile::exists(file));
        EXPECT_TRUE(form.project().bProjectSaved);
        EXPECT_EQ(ended, 2);
    }
}

TEST_F(MainWindow, ClosingDuringAScanStopsItAndClosesTheSockets)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    p.ctx->bScanning = true;
    form.project().bProjectSaved = false;
    p.dialogs->answers.push_back(platform::vbNo);
    // The scan's socket is busy connecting to a port nobody listens on.
    form.scanner().connection().wscVersion->Connect(QStringLiteral("127.0.0.1"), 9);
    form.scanner().connection().timTimeout->start();
    form.close();
    EXPECT_FALSE(p.ctx->bScanning);
    EXPECT_EQ(form.scanner().connection().wscVersion->state(), platform::Socket::State::Closed);
    EXPECT_FALSE(form.scanner().connection().timTimeout->isActive());
    EXPECT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_EQ(ended, 1);
}

TEST_F(MainWindow, ShutDownUnloadsTheOtherWindowsInOrderAndFixesTheSkin)
{
    QStringList closed;
    struct Recorder : QObject {
        QStringList *log;
        bool eventFilter(QObject *o, QEvent *e) override
        {
            if (e->type() == QEvent::Close)
                *log << o->objectName();
            return false;
        }
    } recorder;
    recorder.log = &closed;
    std::vector<std::unique_ptr<QWidget>> windows;
    auto make = [&](QPointer<QWidget> &slot, const QString &name) {
        windows.push_back(std::make_unique<QWidget>());
        windows.back()->setObjectName(name);
        windows.back()->installEventFilter(&recorder);
        slot = windows.back().get();
    };
    make(p.windows.frmSplash, "frmSplash");
    make(p.windows.frmExport, "frmExport");
    make(p.windows.Form4, "Form4");
    make(p.windows.Form8, "Form8");
    make(p.windows.Form3, "Form3");
    make(p.windows.Form5, "Form5");

    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    p.ctx->bSkin = true;
    p.windows.objSkinHelper.reset();
    form.close();
    EXPECT_EQ(closed, QStringList({"Form3", "Form8", "Form4", "frmExport", "frmSplash", "Form5"}));
    ASSERT_TRUE(p.windows.objSkinHelper);
    EXPECT_EQ(p.windows.objSkinHelper->windowFixCount(), 1);
    EXPECT_EQ(ended, 1);
}

TEST_F(MainWindow, WhileTheWebsiteOpenerShowsTheProgramWaitsForIt)
{
    QWidget opener;
    opener.show();
    p.windows.frmWebsite = &opener;
    QWidget editor;  // another window still open
    editor.show();

    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    form.show();
    form.close();
    EXPECT_TRUE(form.isHidden());
    EXPECT_TRUE(opener.isVisible());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(ended, 0);
}

TEST_F(MainWindow, TheScanButtonsSteerTheScannerAndTheWindowShowsIt)
{
    testsupport::TestHttpServer server;
    testsupport::TestHttpServer::Response silent;
    silent.mode = testsupport::TestHttpServer::Response::Mode::Silent;
    server.setDefault(silent);
    p.ctx->fetchOptions.connectOverride.insert("partner.example", server.port());
    p.ctx->settings().set("chkAudioNext", "0");
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    testsupport::typeMainSite(form, "main.example");
    form.project().addLinkingSite(1, {"partner.example/", "1", {}, {}, {}});

    click(form, "Command1");
    ASSERT_TRUE(p.ctx->bScanning);
    EXPECT_FALSE(control<QPushButton>(form, "Command1")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(form, "cmdStop")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(form, "cmdSkip")->isEnabled());
    EXPECT_FALSE(control<QWidget>(form, "Frame1")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "cmdOpen")->isEnabled());
    ASSERT_TRUE(testsupport::waitUntil([&] { return server.requestCount() >= 1; }));
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 1).left(13), "Downloading: ");
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 3), "Searching partner.example/");

    click(form, "cmdStop");
    EXPECT_FALSE(p.ctx->bScanning);
    EXPECT_TRUE(control<QPushButton>(form, "Command1")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "cmdStop")->isEnabled());
    EXPECT_TRUE(control<QWidget>(form, "Frame1")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(form, "cmdOpen")->isEnabled());
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 1), "Stopped");
    EXPECT_EQ(control<QProgressBar>(form, "pb1")->value(), 100);
    // Stop builds the report and shows it.
    EXPECT_EQ(area<ReportPanel>(form)->WebBrowser2->locationURL(), p.path("tempreport.html"));
}

TEST_F(MainWindow, TheScanMovingToTheNextMainSiteLeavesTheEntryBoxAlone)
{
    p.ctx->settings().set("chkAudioNext", "0");
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    for (const char *site : {"one.example", "two.example"}) {
        testsupport::typeMainSite(form, site);
        // No link expected: each linking site ends before its first page.
        form.project().addLinkingSite(form.project().List4->count(), {"partner.example/", "0", {}, {}, {}});
    }
    typeInto(form, "Text1", "typed.example");
    click(form, "Command1");
    EXPECT_FALSE(p.ctx->bScanning);
    EXPECT_EQ(form.project().List4->listIndex(), 1);
    EXPECT_FALSE(MainWindowTestAccess::linkList(form, 2)->isHidden());  // the window followed the scan
    EXPECT_EQ(control<QLineEdit>(form, "Text1")->text(), "typed.example");
}

TEST_F(MainWindow, OptionsButtonWaitsForItsWindow)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    EXPECT_EQ(control<QPushButton>(form, "Command9")->text(), "Options");
    EXPECT_EQ(control<QPushButton>(form, "Command9")->toolTip(), "Open the options menu");
    click(form, "Command9");
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
    EXPECT_EQ(ended, 0);
}

} // namespace
