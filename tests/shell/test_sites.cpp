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
#include "support/mainwindowtestaccess.h"
#include "support/scannertestaccess.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/testhttpserver.h"
#include "support/windowcontrols.h"
#include "widgets/reportview.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::chooseMenuItem;
using testsupport::click;
using testsupport::clickColumnHeader;
using testsupport::clickRow;
using testsupport::control;
using testsupport::focusOn;
using testsupport::pressEnter;
using testsupport::typeInto;
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
        chooseMenuItem(form, "mnuScan", "Just scan the selected main site");
        form.project().List4->setListIndex(0);
        form.scanner().setPageLimit(100);
        if (row > 1) {
            chooseMenuItem(form, "mnuScan", "Just scan the selected linking site");
            list->setSelectedRow(row);
        }
        click(form, "Command1");
        ASSERT_TRUE(c.bScanning);
        ASSERT_EQ(form.scanner().iCurrentSite(), row);
        chooseMenuItem(form, "mnuScan", "Just scan the selected main site");
        ScannerTestAccess::runningScanType(form.scanner()) = 1;
    }
    int visibleLists()
    {
        int n = 0;
        for (int i = 0; i < form.project().List1Count(); ++i)
            n += MainWindowTestAccess::linkList(form, i)->isHidden() ? 0 : 1;
        return n;
    }
};

TEST_F(Sites, AddingMainSitesCreatesAndShowsTheirLists)
{
    EXPECT_TRUE(control<QFrame>(form, "innerFrame2")->isHidden());
    typeMainSite(form, "  first.example  ");
    typeMainSite(form, "second.example");
    typeMainSite(form, "third.example");
    expectInvariant();
    EXPECT_EQ(form.project().List4->item(0), "  first.example  ");  // kept as typed
    EXPECT_EQ(form.project().List4->listIndex(), 2);
    EXPECT_EQ(form.project().iCurrentMain, 3);
    EXPECT_FALSE(MainWindowTestAccess::linkList(form, 3)->isHidden());
    EXPECT_EQ(visibleLists(), 1);
    EXPECT_FALSE(control<QFrame>(form, "innerFrame2")->isHidden());
    EXPECT_EQ(control<QLabel>(form, "lblblah")->text(), "Enter linking sites: third.example");
    EXPECT_EQ(form.project().List1(3)->columnHeaders(), form.project().List1(0)->columnHeaders());
    EXPECT_EQ(control<QLineEdit>(form, "txtDomain")->text(), "");
    EXPECT_FALSE(form.project().bProjectSaved);
    EXPECT_TRUE(control<QPushButton>(form, "cmdDelete")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(form, "cmdEditMain")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "cmbDel")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "cmdEdit")->isEnabled());

    // Selecting another main site switches the list shown.
    form.project().List4->setListIndex(0);
    EXPECT_EQ(form.project().iCurrentMain, 1);
    EXPECT_FALSE(MainWindowTestAccess::linkList(form, 1)->isHidden());
    EXPECT_EQ(visibleLists(), 1);
}

TEST_F(Sites, BlankMainSiteIsRefusedInTheStatusBar)
{
    for (const QString &blank : {QString(), QString(" "), QString("   "), QString("\t")}) {
        form.project().bProjectSaved = true;
        control<QLineEdit>(form, "txtDomain")->setText(blank);
        form.project().bProjectSaved = true;
        click(form, "cmdAdd2");
        EXPECT_EQ(MainWindowTestAccess::panelText(form, 1), "Error: Please enter a Remote Site first!");
        EXPECT_EQ(form.project().List4->count(), 0);
        EXPECT_TRUE(form.project().bProjectSaved);
    }
    expectInvariant();
}

TEST_F(Sites, EnterInTheMainSiteBoxAdds)
{
    typeInto(form, "txtDomain", "mine.example");
    EXPECT_EQ(form.project().List4->count(), 0);
    pressEnter(form, "txtDomain");
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
    typeInto(form, "Text1", "HTTP://partner.example/links.htm");
    pressEnter(form, "Text1");
    typeLinkingSite(form, "  https://other.example  ");
    platform::ListView *l = form.project().List1(1);
    ASSERT_EQ(l->count(), 2);
    EXPECT_EQ(l->text(1), "partner.example/links.htm");
    EXPECT_EQ(l->subItem(1, 1), "1");
    EXPECT_EQ(l->subItem(1, 2), "");
    EXPECT_EQ(l->subItem(1, 3), "");
    EXPECT_EQ(l->subItem(1, 4), "");
    EXPECT_EQ(l->text(2), "other.example");
    EXPECT_EQ(control<QLineEdit>(form, "Text1")->text(), "");
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
    EXPECT_EQ(control<QLineEdit>(form, "Text1")->text().trimmed(), "");
}

TEST_F(Sites, AddButtonsFollowTheirBoxes)
{
    typeMainSite(form, "mine.example");
    EXPECT_FALSE(control<QPushButton>(form, "cmdAdd")->isEnabled());
    typeInto(form, "Text1", "x");
    EXPECT_TRUE(control<QPushButton>(form, "cmdAdd")->isEnabled());
    typeInto(form, "Text1", "");
    EXPECT_FALSE(control<QPushButton>(form, "cmdAdd")->isEnabled());
    control<QPushButton>(form, "cmdAdd2")->setEnabled(false);
    typeInto(form, "txtDomain", "y");
    EXPECT_TRUE(control<QPushButton>(form, "cmdAdd2")->isEnabled());
    typeInto(form, "txtDomain", "");
    EXPECT_TRUE(control<QPushButton>(form, "cmdAdd2")->isEnabled());  // an empty box does not disable it
}

TEST_F(Sites, TypingAMainSiteAfterALoadDoesNotMarkTheProjectChanged)
{
    form.project().bProjectSaved = true;
    form.project().bJustLoaded = true;
    typeInto(form, "txtDomain", "a");
    EXPECT_TRUE(form.project().bProjectSaved);
    EXPECT_FALSE(form.project().bJustLoaded);
    typeInto(form, "txtDomain", "ab");
    EXPECT_FALSE(form.project().bProjectSaved);
}

TEST_F(Sites, SelectingARowSwitchesTheButtonModes)
{
    typeMainSite(form, "mine.example");
    typeLinkingSite(form, "a.example");
    clickRow(MainWindowTestAccess::linkList(form, 1), 1);
    EXPECT_TRUE(control<QPushButton>(form, "cmbDel")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(form, "cmdEdit")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "cmdDelete")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "cmdEditMain")->isEnabled());
    EXPECT_EQ(form.project().List1(1)->selectedRow(), 1);
    form.project().List4->click(0);
    EXPECT_FALSE(control<QPushButton>(form, "cmbDel")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(form, "cmdDelete")->isEnabled());
}

TEST_F(Sites, MousePressMakesTheListsMainSiteCurrent)
{
    typeMainSite(form, "one.example");
    typeMainSite(form, "two.example");
    EXPECT_EQ(form.project().iCurrentMain, 2);
    testsupport::mouseClick(MainWindowTestAccess::linkList(form, 1)->viewport(), QPoint(2, 2));
    EXPECT_EQ(form.project().iCurrentMain, 1);
}

TEST_F(Sites, SortingIsRefusedDuringAScan)
{
    form.show();  // the header is clicked where it is drawn
    typeMainSite(form, "mine.example");
    typeLinkingSite(form, "b.example");
    typeLinkingSite(form, "a.example");
    c.bScanning = true;
    clickColumnHeader(MainWindowTestAccess::linkList(form, 1), 1);
    EXPECT_EQ(p.dialogs->lastText(), "You cannot sort this column while a search is running.");
    EXPECT_EQ(form.project().List1(1)->text(1), "b.example");
    c.bScanning = false;
    clickColumnHeader(MainWindowTestAccess::linkList(form, 1), 1);  // first click: descending
    EXPECT_EQ(form.project().List1(1)->text(1), "b.example");
    clickColumnHeader(MainWindowTestAccess::linkList(form, 1), 1);
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
    chooseMenuItem(form, "Popup1", "Delete Site");
    EXPECT_EQ(form.project().List1(1)->count(), 3);
    EXPECT_EQ(form.project().List1(1)->text(1), "b.example");
    EXPECT_FALSE(form.project().bProjectSaved);
    ASSERT_EQ(form.project().lstRules->count(), 3);
    EXPECT_EQ(form.project().lstRules->subItem(1, 3), "y");  // another main site's rule stays
    EXPECT_EQ(form.project().lstRules->subItem(2, 3), "z");

    // A URL that another row still has keeps its rules.
    form.project().List1(1)->setSelectedRow(1);
    chooseMenuItem(form, "Popup1", "Delete Site");
    EXPECT_EQ(form.project().lstRules->count(), 3);
    form.project().List1(1)->setSelectedRow(1);
    chooseMenuItem(form, "Popup1", "Delete Site");
    EXPECT_EQ(form.project().lstRules->count(), 2);
    EXPECT_EQ(form.project().List1(1)->count(), 1);
    EXPECT_EQ(form.project().List1(1)->text(1), "c.example");
}

TEST_F(Sites, DeleteWithoutASelectionChangesNothing)
{
    typeMainSite(form, "mine.example");
    form.project().bProjectSaved = true;
    chooseMenuItem(form, "Popup1", "Delete Site");
    EXPECT_EQ(p.dialogs->lastText(), "You must select a site to delete.");
    typeLinkingSite(form, "a.example");
    form.project().bProjectSaved = true;
    form.project().List1(1)->setSelectedRow(0);
    chooseMenuItem(form, "Popup1", "Delete Site");
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
        chooseMenuItem(form, "Popup1", "Delete Site");
        EXPECT_EQ(p.dialogs->lastText(), "You cannot delete the current site while the search is running.");
        EXPECT_EQ(form.project().List1(1)->count(), 4);
    }
    EXPECT_TRUE(control<QPushButton>(form, "cmdNextSearch")->isEnabled());
    form.project().List1(1)->setSelectedRow(4);
    chooseMenuItem(form, "Popup1", "Delete Site");
    form.project().List1(1)->setSelectedRow(3);
    chooseMenuItem(form, "Popup1", "Delete Site");
    EXPECT_EQ(form.project().List1(1)->count(), 2);
    EXPECT_TRUE(control<QPushButton>(form, "cmdNextSearch")->isEnabled());
    // Outside a scan the first row can go as well.
    click(form, "cmdStop");
    form.project().List1(1)->setSelectedRow(1);
    chooseMenuItem(form, "Popup1", "Delete Site");
    EXPECT_EQ(form.project().List1(1)->text(1), "b.example");
    EXPECT_FALSE(control<QPushButton>(form, "cmdNextSearch")->isEnabled());
}

TEST_F(Sites, SkipButtonNeedsAScanAndTwoLinkingSites)
{
    typeMainSite(form, "mine.example");
    typeLinkingSite(form, "a.example");
    typeLinkingSite(form, "b.example");
    EXPECT_FALSE(control<QPushButton>(form, "cmdNextSearch")->isEnabled());
    scanSilentlyFrom(1);
    control<QPushButton>(form, "cmdNextSearch")->setEnabled(false);
    // The entry box rests during a scan; the import window adds as it does.
    form.project().addLinkingSite(1, LinkingSiteRow{QStringLiteral("c.example"), QStringLiteral("1"), {}, {}, {}});
    form.linkingSitesAdded();
    EXPECT_TRUE(control<QPushButton>(form, "cmdNextSearch")->isEnabled());
    form.project().List1(1)->setSelectedRow(3);
    chooseMenuItem(form, "Popup1", "Delete Site");
    form.project().List1(1)->setSelectedRow(2);
    chooseMenuItem(form, "Popup1", "Delete Site");
    EXPECT_FALSE(control<QPushButton>(form, "cmdNextSearch")->isEnabled());
    click(form, "cmdStop");
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
    control<QComboBox>(form, "cmbSites")->addItem("one.example");
    typeInto(form, "txtPost", "http://me/post.php");
    typeInto(form, "txtPost2", "http://me/p2.php");
    control<QPlainTextEdit>(form, "txtHTML1")->setPlainText("<html>");

    p.dialogs->defaultAnswer = platform::vbNo;  // not saved first
    click(form, "cmdNew");
    expectInvariant();
    EXPECT_EQ(form.project().List1Count(), 1);
    EXPECT_EQ(form.project().List4->count(), 0);
    EXPECT_EQ(form.project().List2->count(), 0);
    EXPECT_EQ(form.project().List3->count(), 0);
    EXPECT_EQ(form.project().lstRules->count(), 0);
    EXPECT_EQ(form.project().lstMulti->count(), 0);
    EXPECT_EQ(form.project().lstErr->count(), 1);
    EXPECT_EQ(control<QComboBox>(form, "cmbSites")->count(), 0);
    EXPECT_EQ(control<QComboBox>(form, "cmbSites")->currentText(), "");
    EXPECT_EQ(control<QLineEdit>(form, "txtPost")->text(), "http://");
    EXPECT_EQ(control<QLineEdit>(form, "txtPost2")->text(), "http://");
    EXPECT_EQ(form.project().iCurrentMain, 1);
    EXPECT_TRUE(control<QFrame>(form, "innerFrame2")->isHidden());
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML1")->toPlainText(), kHtml1Placeholder);
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML2")->toPlainText(), kHtml2Placeholder);
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML3")->toPlainText(), kHtml3Placeholder);
    EXPECT_EQ(c.settings().get("txtHTML3"), kHtml3Placeholder);

    // The numbering starts again at 1.
    typeMainSite(form, "fresh.example");
    EXPECT_EQ(form.project().iCurrentMain, 1);
    expectInvariant();
    // A linking site with no main site selected goes nowhere.
    click(form, "cmdNew");
    typeLinkingSite(form, "orphan.example");
    expectInvariant();
}

TEST_F(Sites, FocusShowsTheBoxHint)
{
    focusOn(form, "Text1");
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 1),
              "Enter the URL of the website/page you want to search for links.");
    focusOn(form, "txtDomain");
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 1),
              "Enter the website you want to find links to from remote sites");
}

} // namespace
