// The main window's project model: adding, selecting, deleting and New.

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/mainwindow/webpanel.h"
#include "support/scannertestaccess.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/testhttpserver.h"
#include "widgets/reportview.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::typeLinkingSite;
using testsupport::typeMainSite;

namespace {

class Sites : public ::testing::Test {
protected:
    testsupport::ShellProgram p;
    testsupport::TestHttpServer server;
    Form1 form{*p.ctx, p.windows};
    AppContext &c = *p.ctx;

    // The model's invariant: one list per main site plus the template.
    void expectInvariant()
    {
        EXPECT_EQ(form.project().List1Count(), form.project().List4->count() + 1);
        EXPECT_EQ(form.project().List1(0)->count(), 0);
    }
    // Starts a scan of linking site row of main site 1 against a server that
    // never answers, so the scan stays on that row.
    void scanSilentlyFrom(int row)
    {
        testsupport::TestHttpServer::Response silent;
        silent.mode = testsupport::TestHttpServer::Response::Mode::Silent;
        server.setDefault(silent);
        platform::ListView *list = form.project().List1(1);
        for (int r = 1; r <= list->count(); ++r)
            c.fetchOptions.connectOverride.insert(list->text(r), server.port());
        form.mnuScanItem_Click(1);
        form.project().List4->setListIndex(0);
        form.scanner().setPageLimit(100);
        if (row > 1) {
            form.mnuScanItem_Click(2);
            list->setSelectedRow(row);
        }
        form.Command1_Click();
        ASSERT_TRUE(c.bScanning);
        ASSERT_EQ(form.scanner().iCurrentSite(), row);
        form.mnuScanItem_Click(1);
        ScannerTestAccess::runningScanType(form.scanner()) = 1;
    }
    int visibleLists()
    {
        int n = 0;
        for (int i = 0; i < form.project().List1Count(); ++i)
            n += form.List1View(i)->isHidden() ? 0 : 1;
        return n;
    }
};

TEST_F(Sites, AddingMainSitesCreatesAndShowsTheirLists)
{
    EXPECT_TRUE(form.innerFrame2->isHidden());
    typeMainSite(form, "  first.example  ");
    typeMainSite(form, "second.example");
    typeMainSite(form, "third.example");
    expectInvariant();
    EXPECT_EQ(form.project().List4->item(0), "  first.example  ");  // kept as typed
    EXPECT_EQ(form.project().List4->listIndex(), 2);
    EXPECT_EQ(form.project().iCurrentMain, 3);
    EXPECT_FALSE(form.List1View(3)->isHidden());
    EXPECT_EQ(visibleLists(), 1);
    EXPECT_FALSE(form.innerFrame2->isHidden());
    EXPECT_EQ(form.lblblah->text(), "Enter linking sites: third.example");
    EXPECT_EQ(form.project().List1(3)->columnHeaders(), form.project().List1(0)->columnHeaders());
    EXPECT_EQ(form.txtDomain->text(), "");
    EXPECT_FALSE(form.project().bProjectSaved);
    EXPECT_TRUE(form.cmdDelete->isEnabled());
    EXPECT_TRUE(form.cmdEditMain->isEnabled());
    EXPECT_FALSE(form.cmbDel->isEnabled());
    EXPECT_FALSE(form.cmdEdit->isEnabled());

    // Selecting another main site switches the list shown.
    form.project().List4->setListIndex(0);
    EXPECT_EQ(form.project().iCurrentMain, 1);
    EXPECT_FALSE(form.List1View(1)->isHidden());
    EXPECT_EQ(visibleLists(), 1);
}

TEST_F(Sites, BlankMainSiteIsRefusedInTheStatusBar)
{
    for (const QString &blank : {QString(), QString(" "), QString("   "), QString("\t")}) {
        form.project().bProjectSaved = true;
        form.txtDomain->setText(blank);
        form.project().bProjectSaved = true;
        form.cmdAdd2_Click();
        EXPECT_EQ(form.panelText(1), "Error: Please enter a Remote Site first!");
        EXPECT_EQ(form.project().List4->count(), 0);
        EXPECT_TRUE(form.project().bProjectSaved);
    }
    expectInvariant();
}

TEST_F(Sites, EnterInTheMainSiteBoxAdds)
{
    form.txtDomain->setText("mine.example");
    form.txtDomain_KeyPress(65);
    EXPECT_EQ(form.project().List4->count(), 0);
    form.txtDomain_KeyPress(13);
    EXPECT_EQ(form.project().List4->count(), 1);
}

TEST_F(Sites, ALinkingSiteNamedLikeAProjectFileLineIsRefused)
{
    typeMainSite(form, "mine.example");
    typeLinkingSite(form, "NEXTSITE:typed.example");
    EXPECT_EQ(form.project().List1(1)->count(), 0);
    EXPECT_TRUE(p.dialogs->lastText().startsWith("A linking site cannot start with \"NEXTSITE:\""));
    // Imports and other windows go through the same door.
    EXPECT_EQ(form.project().addLinkingSite(1, {"RESULT:x.example", "1", {}, {}, {}}), 0);
    typeLinkingSite(form, "partner.example/NEXTSITE:in-the-path");
    EXPECT_EQ(form.project().List1(1)->count(), 1);
}

TEST_F(Sites, AddingALinkingSiteStripsSchemesAndSpaces)
{
    typeMainSite(form, "mine.example");
    form.Text1->setText("HTTP://partner.example/links.htm");
    form.Text1_KeyPress(13);
    typeLinkingSite(form, "  https://other.example  ");
    platform::ListView *l = form.project().List1(1);
    ASSERT_EQ(l->count(), 2);
    EXPECT_EQ(l->text(1), "partner.example/links.htm");
    EXPECT_EQ(l->subItem(1, 1), "1");
    EXPECT_EQ(l->subItem(1, 2), "");
    EXPECT_EQ(l->subItem(1, 3), "");
    EXPECT_EQ(l->subItem(1, 4), "");
    EXPECT_EQ(l->text(2), "other.example");
    EXPECT_EQ(form.Text1->text(), "");
    // Duplicates are allowed.
    typeLinkingSite(form, "other.example");
    EXPECT_EQ(l->count(), 3);
}

TEST_F(Sites, BlankLinkingSiteShowsTheMessage)
{
    typeMainSite(form, "mine.example");
    for (const QString &blank : {QString("http://"), QString("  "), QString("https:// ")}) {
        form.project().bProjectSaved = true;
        typeLinkingSite(form, blank);
        EXPECT_EQ(p.dialogs->lastText(), "Please enter the Website URL first.");
        EXPECT_EQ(form.project().List1(1)->count(), 0);
        EXPECT_TRUE(form.project().bProjectSaved);
    }
    EXPECT_EQ(p.dialogs->boxes.size(), 3);
    EXPECT_EQ(form.Text1->text().trimmed(), "");
}

TEST_F(Sites, AddButtonsFollowTheirBoxes)
{
    typeMainSite(form, "mine.example");
    EXPECT_FALSE(form.cmdAdd->isEnabled());
    form.Text1->setText("x");
    EXPECT_TRUE(form.cmdAdd->isEnabled());
    form.Text1->setText("");
    EXPECT_FALSE(form.cmdAdd->isEnabled());
    form.cmdAdd2->setEnabled(false);
    form.txtDomain->setText("y");
    EXPECT_TRUE(form.cmdAdd2->isEnabled());
    form.txtDomain->setText("");
    EXPECT_TRUE(form.cmdAdd2->isEnabled());  // an empty box does not disable it
}

TEST_F(Sites, TypingAMainSiteAfterALoadDoesNotMarkTheProjectChanged)
{
    form.project().bProjectSaved = true;
    form.project().bJustLoaded = true;
    form.txtDomain->setText("a");
    EXPECT_TRUE(form.project().bProjectSaved);
    EXPECT_FALSE(form.project().bJustLoaded);
    form.txtDomain->setText("ab");
    EXPECT_FALSE(form.project().bProjectSaved);
}

TEST_F(Sites, SelectingARowSwitchesTheButtonModes)
{
    typeMainSite(form, "mine.example");
    typeLinkingSite(form, "a.example");
    form.List1_ItemClick(1, 1);
    EXPECT_TRUE(form.cmbDel->isEnabled());
    EXPECT_TRUE(form.cmdEdit->isEnabled());
    EXPECT_FALSE(form.cmdDelete->isEnabled());
    EXPECT_FALSE(form.cmdEditMain->isEnabled());
    EXPECT_EQ(form.project().List1(1)->selectedRow(), 1);
    form.project().List4->click(0);
    EXPECT_FALSE(form.cmbDel->isEnabled());
    EXPECT_TRUE(form.cmdDelete->isEnabled());
}

TEST_F(Sites, MousePressMakesTheListsMainSiteCurrent)
{
    typeMainSite(form, "one.example");
    typeMainSite(form, "two.example");
    EXPECT_EQ(form.project().iCurrentMain, 2);
    form.List1_MouseDown(1, Qt::LeftButton, QPoint());
    EXPECT_EQ(form.project().iCurrentMain, 1);
    form.List1_MouseDown(7, Qt::LeftButton, QPoint());  // no such list
    EXPECT_EQ(form.project().iCurrentMain, 1);
}

TEST_F(Sites, SortingIsRefusedDuringAScan)
{
    typeMainSite(form, "mine.example");
    typeLinkingSite(form, "b.example");
    typeLinkingSite(form, "a.example");
    c.bScanning = true;
    form.List1_ColumnClick(1, 1);
    EXPECT_EQ(p.dialogs->lastText(), "You cannot sort this column while a search is running.");
    EXPECT_EQ(form.project().List1(1)->text(1), "b.example");
    c.bScanning = false;
    form.List1_ColumnClick(1, 1);  // first click: descending
    EXPECT_EQ(form.project().List1(1)->text(1), "b.example");
    form.List1_ColumnClick(1, 1);
    EXPECT_EQ(form.project().List1(1)->text(1), "a.example");
}

TEST_F(Sites, DeletingALinkingSiteRemovesItsRules)
{
    typeMainSite(form, "mine.example");
    typeLinkingSite(form, "a.example");
    typeLinkingSite(form, "b.example");
    typeLinkingSite(form, "b.example");
    typeLinkingSite(form, "c.example");
    form.project().lstRules->add("mine.example", {"a.example", "LimitString", "x"});
    form.project().lstRules->add("other.example", {"a.example", "LimitString", "y"});
    form.project().lstRules->add("mine.example", {"Global", "LimitString", "z"});
    form.project().lstRules->add("mine.example", {"b.example", "ExcludeString", "w"});

    form.project().bProjectSaved = true;
    form.project().List1(1)->setSelectedRow(1);
    form.cmbDel_Click();
    EXPECT_EQ(form.project().List1(1)->count(), 3);
    EXPECT_EQ(form.project().List1(1)->text(1), "b.example");
    EXPECT_FALSE(form.project().bProjectSaved);
    ASSERT_EQ(form.project().lstRules->count(), 3);
    EXPECT_EQ(form.project().lstRules->subItem(1, 3), "y");  // another main site's rule stays
    EXPECT_EQ(form.project().lstRules->subItem(2, 3), "z");

    // A URL that another row still has keeps its rules.
    form.project().List1(1)->setSelectedRow(1);
    form.cmbDel_Click();
    EXPECT_EQ(form.project().lstRules->count(), 3);
    form.project().List1(1)->setSelectedRow(1);
    form.cmbDel_Click();
    EXPECT_EQ(form.project().lstRules->count(), 2);
    EXPECT_EQ(form.project().List1(1)->count(), 1);
    EXPECT_EQ(form.project().List1(1)->text(1), "c.example");
}

TEST_F(Sites, DeleteWithoutASelectionChangesNothing)
{
    typeMainSite(form, "mine.example");
    form.project().bProjectSaved = true;
    form.cmbDel_Click();
    EXPECT_EQ(p.dialogs->lastText(), "You must select a site to delete.");
    typeLinkingSite(form, "a.example");
    form.project().bProjectSaved = true;
    form.project().List1(1)->setSelectedRow(0);
    form.cmbDel_Click();
    EXPECT_EQ(p.dialogs->boxes.size(), 2);
    EXPECT_EQ(form.project().List1(1)->count(), 1);
    EXPECT_TRUE(form.project().bProjectSaved);
}

TEST_F(Sites, DuringAScanOnlyRowsAfterTheCurrentOneGo)
{
    typeMainSite(form, "mine.example");
    for (const char *s : {"a.example", "b.example", "c.example", "d.example"})
        typeLinkingSite(form, s);
    scanSilentlyFrom(2);
    for (int row : {1, 2}) {
        form.project().List1(1)->setSelectedRow(row);
        form.cmbDel_Click();
        EXPECT_EQ(p.dialogs->lastText(), "You cannot delete the current site while the search is running.");
        EXPECT_EQ(form.project().List1(1)->count(), 4);
    }
    EXPECT_TRUE(form.cmdNextSearch->isEnabled());
    form.project().List1(1)->setSelectedRow(4);
    form.cmbDel_Click();
    form.project().List1(1)->setSelectedRow(3);
    form.cmbDel_Click();
    EXPECT_EQ(form.project().List1(1)->count(), 2);
    EXPECT_TRUE(form.cmdNextSearch->isEnabled());
    // Outside a scan the first row can go as well.
    form.cmdStop_Click();
    form.project().List1(1)->setSelectedRow(1);
    form.cmbDel_Click();
    EXPECT_EQ(form.project().List1(1)->text(1), "b.example");
    EXPECT_FALSE(form.cmdNextSearch->isEnabled());
}

TEST_F(Sites, SkipButtonNeedsAScanAndTwoLinkingSites)
{
    typeMainSite(form, "mine.example");
    typeLinkingSite(form, "a.example");
    typeLinkingSite(form, "b.example");
    EXPECT_FALSE(form.cmdNextSearch->isEnabled());
    scanSilentlyFrom(1);
    form.cmdNextSearch->setEnabled(false);
    // The entry box rests during a scan; the import window adds as it does.
    form.project().addLinkingSite(1, LinkingSiteRow{QStringLiteral("c.example"), QStringLiteral("1"), {}, {}, {}});
    form.updateNextSearchButton();
    EXPECT_TRUE(form.cmdNextSearch->isEnabled());
    form.project().List1(1)->setSelectedRow(3);
    form.cmbDel_Click();
    form.project().List1(1)->setSelectedRow(2);
    form.cmbDel_Click();
    EXPECT_FALSE(form.cmdNextSearch->isEnabled());
    form.cmdStop_Click();
}

TEST_F(Sites, NewEmptiesTheProjectButKeepsTheErrors)
{
    typeMainSite(form, "one.example");
    typeLinkingSite(form, "a.example");
    typeMainSite(form, "two.example");
    form.project().List2->addItem("a.example/page.htm");
    form.project().List3->add("one.example", {"a.example", "Direct Link", "001", "a.example"});
    form.project().lstErr->add("Timeout", {"a.example"});
    form.project().lstRules->add("Global", {"Global", "LimitString", "x"});
    form.project().lstMulti->add("one.example", {"http://me/s.php"});
    form.cmbSites->addItem("one.example");
    form.txtPost->setText("http://me/post.php");
    form.txtPost2->setText("http://me/p2.php");
    form.txtHTML1->setPlainText("<html>");

    p.dialogs->defaultAnswer = platform::vbNo;  // not saved first
    form.cmdNew_Click();
    expectInvariant();
    EXPECT_EQ(form.project().List1Count(), 1);
    EXPECT_EQ(form.project().List4->count(), 0);
    EXPECT_EQ(form.project().List2->count(), 0);
    EXPECT_EQ(form.project().List3->count(), 0);
    EXPECT_EQ(form.project().lstRules->count(), 0);
    EXPECT_EQ(form.project().lstMulti->count(), 0);
    EXPECT_EQ(form.project().lstErr->count(), 1);
    EXPECT_EQ(form.cmbSites->count(), 0);
    EXPECT_EQ(form.cmbSites->currentText(), "");
    EXPECT_EQ(form.txtPost->text(), "http://");
    EXPECT_EQ(form.txtPost2->text(), "http://");
    EXPECT_EQ(form.project().iCurrentMain, 1);
    EXPECT_TRUE(form.innerFrame2->isHidden());
    EXPECT_EQ(form.txtHTML1->toPlainText(), kHtml1Placeholder);
    EXPECT_EQ(form.txtHTML2->toPlainText(), kHtml2Placeholder);
    EXPECT_EQ(form.txtHTML3->toPlainText(), kHtml3Placeholder);
    EXPECT_EQ(c.settings().get("txtHTML3"), kHtml3Placeholder);

    // The numbering starts again at 1.
    typeMainSite(form, "fresh.example");
    EXPECT_EQ(form.project().iCurrentMain, 1);
    expectInvariant();
    // A linking site with no main site selected goes nowhere.
    form.cmdNew_Click();
    typeLinkingSite(form, "orphan.example");
    expectInvariant();
}

TEST_F(Sites, FocusShowsTheBoxHint)
{
    form.Text1_GotFocus();
    EXPECT_EQ(form.panelText(1), "Enter the URL of the website/page you want to search for links.");
    form.txtDomain_GotFocus();
    EXPECT_EQ(form.panelText(1), "Enter the website you want to find links to from remote sites");
}

} // namespace
