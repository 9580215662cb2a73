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
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/testhttpserver.h"
#include "widgets/reportview.h"
#include "workspace/project.h"
#include "workspace/services.h"

using namespace tarnwick;

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
            for (QWidget *w : form.tabControls(t))
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

    ASSERT_EQ(form.mnuFileItem.size(), 5);
    const QStringList captions = {"New Project", "Open Project", "Import Project", "Save Project", "Exit"};
    const QStringList keys = {"Ctrl+N", "Ctrl+O", "", "Ctrl+S", "Ctrl+Q"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(form.mnuFileItem[i]->text(), captions[i]);
        EXPECT_EQ(form.mnuFileItem[i]->shortcut().toString(), keys[i]) << i;
        EXPECT_EQ(form.mnuFileItem[i]->isVisible(), i != 2) << i;
    }
    ASSERT_EQ(form.mnuScanItem.size(), 3);
    EXPECT_TRUE(form.mnuScanItem[0]->isVisible());
    EXPECT_TRUE(form.mnuScanItem[1]->isVisible());
    EXPECT_FALSE(form.mnuScanItem[2]->isVisible());
    EXPECT_EQ(form.mnuScanItem[2]->text(), "Just scan the selected linking site");
    ASSERT_EQ(form.mnuHelpItem.size(), 1);
    EXPECT_EQ(form.mnuHelpItem[0]->text(), "View Help File");
    ASSERT_EQ(form.mnuAboutItem.size(), 1);
    EXPECT_EQ(form.mnuAboutItem[0]->text(), "About this software");
    ASSERT_EQ(form.mnuPopup1Item.size(), 1);
    EXPECT_EQ(form.mnuPopup1Item[0]->text(), "Delete Site");
    // The pop-up menus are not on the bar.
    for (QAction *a : form.menuBar()->actions()) {
        EXPECT_NE(a->menu(), form.mnuSkipPopup);
        EXPECT_NE(a->menu(), form.Popup1);
        EXPECT_NE(a->menu(), form.results->Popup2);
    }
}

TEST_F(MainWindow, FileMenuItemsRunTheirCommands)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    testsupport::typeMainSite(form, "www.one.example");
    p.dialogs->defaultAnswer = platform::vbNo;  // nothing to save first

    // New empties the project; Open and Import ask for a file.
    form.mnuFileItem_Click(0);
    EXPECT_EQ(form.project().List4->count(), 0);
    form.mnuFileItem_Click(1);
    form.mnuFileItem_Click(2);
    EXPECT_EQ(p.dialogs->fileRequests.size(), 2);
    // Save asks where, the project having no file yet.
    form.mnuFileItem_Click(3);
    EXPECT_EQ(p.dialogs->fileRequests.size(), 3);
    form.mnuFileItem_Click(99);  // nothing
    EXPECT_EQ(p.dialogs->fileRequests.size(), 3);
    EXPECT_EQ(ended, 0);
}

TEST_F(MainWindow, NewAndOpenAreRefusedWhileAScanRuns)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    testsupport::typeMainSite(form, "www.one.example");
    p.ctx->bScanning = true;
    form.mnuFileItem_Click(0);
    form.mnuFileItem_Click(1);
    form.mnuFileItem_Click(2);
    EXPECT_EQ(form.project().List4->count(), 1);
    EXPECT_TRUE(p.dialogs->fileRequests.isEmpty());

    // The items rest with the buttons the scan disables.
    form.cmdNew->setEnabled(false);
    form.cmdOpen->setEnabled(false);
    EXPECT_FALSE(form.mnuFileItem[0]->isEnabled());
    EXPECT_FALSE(form.mnuFileItem[1]->isEnabled());
    EXPECT_FALSE(form.mnuFileItem[2]->isEnabled());
    EXPECT_TRUE(form.mnuFileItem[3]->isEnabled());
    EXPECT_TRUE(form.mnuFileItem[4]->isEnabled());
    p.ctx->bScanning = false;
    form.cmdNew->setEnabled(true);
    form.cmdOpen->setEnabled(true);
    EXPECT_TRUE(form.mnuFileItem[0]->isEnabled());
    EXPECT_TRUE(form.mnuFileItem[1]->isEnabled());

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
    form.mnuPopup1Item_Click(0);
    EXPECT_EQ(form.project().List1(1)->count(), 0);
}

// ---- Tabs ----

TEST_F(MainWindow, EachTabShowsExactlyItsControls)
{
    Form1 form{*p.ctx, p.windows};
    ASSERT_EQ(form.TabStrip1->count(), 5);
    const QStringList captions = {"Links", "Web", "Pages", "Reports", "Post"};
    const QStringList tips = {"View Link Results", "Visit Linking Sites", "Create link pages based on results",
                              "View Reports", "Post links to a database"};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(form.TabStrip1->caption(i), captions[i - 1]);
        EXPECT_EQ(form.TabStrip1->toolTip(i), tips[i - 1]);
    }

    // The window opens on "Links".
    EXPECT_EQ(form.TabStrip1->selectedIndex(), 1);
    expectTabShowing(form, 1);
    for (int i : {2, 3, 4, 5, 1, 4, 4, 2}) {
        form.TabStrip1->setSelectedIndex(i);
        expectTabShowing(form, i);
    }
    // An index out of range changes nothing.
    form.TabStrip1->setSelectedIndex(7);
    expectTabShowing(form, 2);

    EXPECT_TRUE(form.tabControls(1).contains(form.results->lblErr));
    EXPECT_TRUE(form.tabControls(2).contains(form.web->txtURL));
    EXPECT_TRUE(form.tabControls(3).contains(form.Frame5));
    EXPECT_TRUE(form.tabControls(5).contains(form.SkinLabel9));
    EXPECT_TRUE(form.tabControls(5).contains(form.framePost));
}

TEST_F(MainWindow, ReportsShowsItsButtonsOverTheReportView)
{
    Form1 form{*p.ctx, p.windows};
    form.TabStrip1->setSelectedIndex(4);
    QWidget *report = form.report->WebBrowser2->widget();
    const QObjectList order = report->parentWidget()->children();
    EXPECT_GT(order.indexOf(form.report->Command8), order.indexOf(report));
    EXPECT_GT(order.indexOf(form.report->Command8a), order.indexOf(report));
    EXPECT_TRUE(report->geometry().contains(form.report->Command8->geometry()));
    EXPECT_TRUE(report->geometry().contains(form.report->Command8a->geometry()));

    form.TabStrip1->setSelectedIndex(1);
    EXPECT_TRUE(form.report->Command8->isHidden());
    EXPECT_TRUE(form.report->Command8a->isHidden());
    EXPECT_TRUE(report->isHidden());
}

TEST_F(MainWindow, ChoosersListTheMainSitesOnceAndKeepTheChoice)
{
    Form1 form{*p.ctx, p.windows};
    // No main sites: empty.
    form.TabStrip1->setSelectedIndex(3);
    EXPECT_EQ(form.Combo3->count(), 0);
    form.TabStrip1->setSelectedIndex(5);
    EXPECT_EQ(form.cmbSites->count(), 0);

    for (const char *site : {"www.a.example", "www.b.example", "www.c.example"})
        testsupport::typeMainSite(form, site);
    for (QComboBox *chooser : {form.Combo3, form.cmbSites}) {
        const int tab = chooser == form.Combo3 ? 3 : 5;
        SCOPED_TRACE(chooser->objectName().toStdString());
        form.TabStrip1->setSelectedIndex(tab);
        form.TabStrip1->setSelectedIndex(tab);
        ASSERT_EQ(chooser->count(), form.project().List4->count());
        EXPECT_EQ(chooser->itemText(0), "www.a.example");
        EXPECT_EQ(chooser->itemText(2), "www.c.example");
        EXPECT_EQ(chooser->currentIndex(), -1);

        chooser->setCurrentIndex(1);
        form.TabStrip1->setSelectedIndex(1);
        testsupport::typeMainSite(form, chooser == form.Combo3 ? "www.d.example" : "www.e.example");
        form.TabStrip1->setSelectedIndex(tab);
        EXPECT_EQ(chooser->count(), form.project().List4->count());
        EXPECT_EQ(chooser->currentText(), "www.b.example");
    }

    // A choice whose main site is gone is dropped.
    p.dialogs->defaultAnswer = platform::vbNo;
    form.cmdNew_Click();
    testsupport::typeMainSite(form, "www.z.example");
    form.TabStrip1->setSelectedIndex(3);
    EXPECT_EQ(form.Combo3->count(), 1);
    EXPECT_EQ(form.Combo3->currentIndex(), -1);
    form.TabStrip1->setSelectedIndex(5);
    EXPECT_EQ(form.cmbSites->count(), 1);
    EXPECT_EQ(form.cmbSites->currentText(), "");
}

// ---- Web tab ----

TEST_F(MainWindow, TheWebTabBrowsesWithoutTheNetwork)
{
    Form1 form{*p.ctx, p.windows};
    ASSERT_NE(form.web->WebBrowser1, nullptr);

    // Back with no history does nothing and says nothing.
    form.web->cmdBack_Click();
    form.web->cmdForward_Click();
    form.web->cmdRefresh_Click();
    form.web->cmdWebStop_Click();
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
    EXPECT_EQ(form.web->txtURL->text(), "");

    // A local page shows; the address box follows the browser.
    const QString page = p.path("page.html");
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body><p>Local page</p></body></html>");
    f.close();
    form.web->txtURL->setText(page);
    form.web->txtURL_KeyPress(13);
    EXPECT_EQ(form.web->WebBrowser1->locationURL(), page);

    form.web->txtURL->setText("www.second.example");
    form.web->cmdGo_Click();
    EXPECT_EQ(form.web->WebBrowser1->locationURL(), "www.second.example");  // passed on unchanged
    form.web->cmdBack_Click();
    EXPECT_EQ(form.web->txtURL->text(), page);
    form.web->cmdForward_Click();
    EXPECT_EQ(form.web->txtURL->text(), "www.second.example");
    form.web->txtURL_KeyPress('a');  // other keys do nothing
    EXPECT_EQ(form.web->WebBrowser1->locationURL(), "www.second.example");
    EXPECT_TRUE(p.shell->opened.isEmpty());
}

TEST_F(MainWindow, BrowsingAResultSelectsTheWebTab)
{
    Form1 form{*p.ctx, p.windows};
    form.project().List3->add("www.main.example", {"partner.example", "Direct Link", "001", "partner.example/links.html"});
    form.project().List3->setSelectedRow(1);
    form.results->mnuPopup2Item_Click(2);
    EXPECT_EQ(form.TabStrip1->selectedIndex(), 2);
    expectTabShowing(form, 2);
    EXPECT_EQ(form.web->txtURL->text(), "http://partner.example/links.html");
    EXPECT_TRUE(form.web->WebBrowser1->silent());
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
    form.statistics->StatsD();
    const QStringList expected = {"1234567", "0", "-12", "9876543210", "42", "5", "2"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(form.statistics->lblStats[i]->text(), expected[i]) << i;

    // Counting redraws the panel: the run's and the lifetime rows apart.
    addStat(*p.ctx, Stat::PageScanned);
    EXPECT_EQ(form.statistics->lblStats[0]->text(), "1234568");
    EXPECT_EQ(form.statistics->lblStats[3]->text(), "9876543211");
    addStat(*p.ctx, Stat::MainSiteScanned);
    EXPECT_EQ(form.statistics->lblStats[6]->text(), "3");
}

TEST_F(MainWindow, StartUpShowsTheStoredLifetimeTotals)
{
    p.ctx->settings().set("lHistWebScanned", "777");
    p.ctx->settings().set("lHistEmailFound", "31");
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    EXPECT_EQ(form.statistics->lblStats[3]->text(), "777");
    EXPECT_EQ(form.statistics->lblStats[4]->text(), "31");
    EXPECT_EQ(form.statistics->lblStats[0]->text(), "0");
}

// ---- Layout in the window ----

TEST_F(MainWindow, TheLoadStepLaysTheWindowOutAndSetsTheColumnsOnce)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    EXPECT_TRUE(form.bSized);
    const int listWidth = form.results->List3View->width();
    int sum = 0;
    for (int c = 0; c < 5; ++c)
        sum += form.results->List3View->columnWidth(c);
    EXPECT_GT(sum, listWidth);  // the results scroll sideways

    // The user's width survives later resizes.
    form.results->List3View->setColumnWidth(2, 333);
    form.resize(form.width() + 200, form.height() + 100);
    form.Form_Resize();
    EXPECT_EQ(form.results->List3View->columnWidth(2), 333);
    EXPECT_GT(form.results->List3View->width(), listWidth);

    // The status bar lies at the foot with the progress bar over its last
    // panel.
    const QRect bar = form.StatusBar1->geometry();
    EXPECT_EQ(form.pb1->parentWidget(), form.StatusBar1);
    EXPECT_GE(form.pb1->geometry().top(), 0);
    EXPECT_LE(form.pb1->geometry().bottom(), bar.height() - 1);
    EXPECT_GT(form.pb1->geometry().left(), bar.width() / 2);
}

TEST_F(MainWindow, ShrinkingToNothingAndBackRestoresTheArrangement)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    testsupport::typeMainSite(form, "www.a.example");
    const QList<QWidget *> watched = {form.Frame1,        form.Frame2,   form.Frame6,         form.innerFrame2,
                                      form.results->List3View,     form.results->lstErrView, form.List1View(1), form.TabStrip1,
                                      form.txtHTML2,      form.lstMultiView, form.pb1,        form.cmdWebsite};
    QList<QRect> before;
    for (QWidget *w : watched)
        before << w->geometry();
    const QSize size = form.size();

    form.resize(1, 1);
    form.Form_Resize();
    for (QWidget *w : watched) {
        EXPECT_GE(w->width(), 0) << w->objectName().toStdString();
        EXPECT_GE(w->height(), 0) << w->objectName().toStdString();
    }
    form.resize(size);
    form.Form_Resize();
    for (int i = 0; i < watched.size(); ++i)
        EXPECT_EQ(watched[i]->geometry(), before[i]) << watched[i]->objectName().toStdString();
}

TEST_F(MainWindow, ListsOfNewMainSitesTakeTheTemplatesPlace)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    for (const char *site : {"www.a.example", "www.b.example", "www.c.example"})
        testsupport::typeMainSite(form, site);
    const QRect templ = form.List1View(0)->geometry();
    for (int i = 1; i < form.project().List1Count(); ++i)
        EXPECT_EQ(form.List1View(i)->geometry(), templ) << i;

    form.resize(form.width() + 300, form.height() + 150);
    form.Form_Resize();
    const QRect wider = form.List1View(0)->geometry();
    EXPECT_GT(wider.width(), templ.width());
    for (int i = 1; i < form.project().List1Count(); ++i)
        EXPECT_EQ(form.List1View(i)->geometry(), wider) << i;
    EXPECT_EQ(form.layoutGeometry().List1.size(), size_t(form.project().List1Count()));
}

// ---- Shut-down ----

TEST_F(MainWindow, ClosingASavedProjectAsksNothing)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    form.project().bProjectSaved = true;
    form.mnuFileItem_Click(4);
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(form.unloaded());
}

TEST_F(MainWindow, ClosingAnUnsavedProjectAsksOnceAndNoSavesNothing)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    testsupport::typeMainSite(form, "www.one.example");
    p.dialogs->answers.push_back(platform::vbNo);
    form.close();
    form.close();
    form.mnuFileItem_Click(4);
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
    EXPECT_EQ(form.txtHTML1->toPlainText(), "<p>stored</p>");
    EXPECT_TRUE(form.project().bProjectSaved);
    ASSERT_TRUE(form.openProject(path));
    EXPECT_EQ(form.txtHTML3->toPlainText(), "<p>saved</p>");
    EXPECT_TRUE(form.project().bProjectSaved);
    form.cmdNew_Click();  // the new project's blocks show, nothing typed
    EXPECT_EQ(form.txtHTML3->toPlainText(), kHtml3Placeholder);
    EXPECT_TRUE(form.project().bProjectSaved);

    for (QPlainTextEdit *block : {form.txtHTML1, form.txtHTML2, form.txtHTML3}) {
        form.project().bProjectSaved = true;
        testsupport::typeKeys(block, "x");
        EXPECT_FALSE(form.project().bProjectSaved) << block->objectName().toStdString();
    }
    p.dialogs->answers.push_back(platform::vbNo);
    form.mnuFileItem_Click(4);
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
        int cancel = 0;
        form.Form_Unload(cancel);
        EXPECT_EQ(cancel, 0);
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

    form.Command1->click();
    ASSERT_TRUE(p.ctx->bScanning);
    EXPECT_FALSE(form.Command1->isEnabled());
    EXPECT_TRUE(form.cmdStop->isEnabled());
    EXPECT_TRUE(form.cmdSkip->isEnabled());
    EXPECT_FALSE(form.Frame1->isEnabled());
    EXPECT_FALSE(form.cmdOpen->isEnabled());
    ASSERT_TRUE(testsupport::waitUntil([&] { return server.requestCount() >= 1; }));
    EXPECT_EQ(form.panelText(1).left(13), "Downloading: ");
    EXPECT_EQ(form.panelText(3), "Searching partner.example/");

    form.cmdStop->click();
    EXPECT_FALSE(p.ctx->bScanning);
    EXPECT_TRUE(form.Command1->isEnabled());
    EXPECT_FALSE(form.cmdStop->isEnabled());
    EXPECT_TRUE(form.Frame1->isEnabled());
    EXPECT_TRUE(form.cmdOpen->isEnabled());
    EXPECT_EQ(form.panelText(1), "Stopped");
    EXPECT_EQ(form.pb1->value(), 100);
    // Stop builds the report and shows it.
    EXPECT_EQ(form.report->WebBrowser2->locationURL(), p.path("tempreport.html"));
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
    form.Text1->setText("typed.example");
    form.Command1_Click();
    EXPECT_FALSE(p.ctx->bScanning);
    EXPECT_EQ(form.project().List4->listIndex(), 1);
    EXPECT_FALSE(form.List1View(2)->isHidden());  // the window followed the scan
    EXPECT_EQ(form.Text1->text(), "typed.example");
}

TEST_F(MainWindow, OptionsButtonWaitsForItsWindow)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    EXPECT_EQ(form.Command9->text(), "Options");
    EXPECT_EQ(form.Command9->toolTip(), "Open the options menu");
    form.Command9->click();
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
    EXPECT_EQ(ended, 0);
}

} // namespace
