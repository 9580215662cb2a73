// The linking-site editor, the main-site editor and the Global Rules Editor
// as windows of the main window.

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "platform/listview.h"
#include "shell/mainwindow/form1.h"
#include "shell/windows/siteeditors.h"
#include "support/keys.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/windowcontrols.h"
#include "widgets/reportview.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::click;
using testsupport::clickRow;
using testsupport::control;

namespace {

using testsupport::pressEnter;

class SiteEditors : public ::testing::Test {
protected:
    SiteEditors()
    {
        project.addMainSite("main.example");
        project.addMainSite("other.example");
        project.addLinkingSite(1, {"a.example", "2", "", "", ""});
        project.addLinkingSite(1, {"b.example"});
        project.lstRules->add("main.example", {"a.example", "LimitString", "x"});
        project.lstRules->add("main.example", {"A.example", "LimitString", "case"});
        project.lstRules->add("Global", {"Global", "ExcludeString", "g"});
        project.bProjectSaved = true;
    }
    // Selects linking site row of main site 1 and presses Edit.
    Form2 *editLinkingSite(int row)
    {
        project.List4->setListIndex(0);
        clickRow(MainWindowTestAccess::linkList(form, 1), row);
        click(form, "cmdEdit");
        return qobject_cast<Form2 *>(p.windows.Form2.data());
    }
    QStringList rows(const platform::ListView &l) const
    {
        QStringList out;
        for (int r = 1; r <= l.count(); ++r)
            out << QStringList{l.text(r), l.subItem(r, 1), l.subItem(r, 2), l.subItem(r, 3)}.join("|");
        return out;
    }

    testsupport::ShellProgram p;
    Form1 form{*p.ctx, p.windows};
    Project &project = form.project();
};

TEST_F(SiteEditors, TheLinkingSiteEditorShowsItsEntryAndOnlyItsRules)
{
    Form2 *w = editLinkingSite(1);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Edit an entry");
    EXPECT_EQ(w->Text1->text(), "a.example");
    EXPECT_EQ(w->Text2->text(), "2");
    EXPECT_EQ(w->Text3->toolTip(),
              "Optional - Enter the URL you would to use for this site in your generated HTML pages.");
    EXPECT_EQ(w->Text5->toolTip(), w->Text4->toolTip());
    EXPECT_EQ(rows(*w->rules()), QStringList({"main.example|a.example|LimitString|x"}));
    EXPECT_EQ(w->Option1[2]->text(), "Limit to URLs that contain this string:");

    // A second Edit, on another row, brings the open editor forward.
    clickRow(MainWindowTestAccess::linkList(form, 1), 2);
    click(form, "cmdEdit");
    EXPECT_EQ(p.windows.Form2.data(), w);
    EXPECT_EQ(w->Text1->text(), "a.example");
}

TEST_F(SiteEditors, TheRuleColumnsShowTheirValuesWholeWithinTheWindow)
{
    project.lstRules->add("main.example", {"a.example", "ExcludeDirectory", "cgi-bin"});
    project.lstRules->add("main.example", {"a.example", "LimitRoot", "www.main.example/" + QString(400, 'x')});
    Form2 *w = editLinkingSite(1);
    platform::ReportView *list = w->ListView1;
    const int available = list->viewport()->width();
    int total = 0;
    for (int c = 0; c < 4; ++c) {
        total += list->columnWidth(c);
        if (c < 3)  // the long value is cut, the others are whole
            EXPECT_GE(list->columnWidth(c), list->sizeHintForColumn(c)) << c;
    }
    EXPECT_LT(list->columnWidth(3), list->sizeHintForColumn(3));
    EXPECT_LE(total, available);

    // A rule added later has its share too.
    const int before = list->columnWidth(1);
    w->Text1->setText("www.a-longer-partner-name.example/links/");
    w->Option1[1]->setChecked(true);
    w->Text6->setText("tmp");
    w->Command1_Click();
    EXPECT_GT(list->columnWidth(1), before);
}

TEST_F(SiteEditors, AddRuleRefusesWhatIsMissingAndEnterAddsIt)
{
    Form2 *w = editLinkingSite(1);
    w->Text6->setText(" ");
    w->Command1->click();
    EXPECT_EQ(p.dialogs->lastText(), "Please enter a rule to add.");
    EXPECT_EQ(p.dialogs->boxes.last().title, "Error");
    w->Text6->setText("  ");
    pressEnter(w->Text6);
    EXPECT_EQ(p.dialogs->lastText(), "Please select a rule type before adding a rule.");
    EXPECT_EQ(p.dialogs->boxes.last().title, "Tarnwick");
    EXPECT_EQ(w->rules()->count(), 1);

    w->Option1[5]->setChecked(true);
    w->Text1->setText("typed.example");
    pressEnter(w->Text6);
    EXPECT_EQ(w->Text6->text(), "");
    EXPECT_EQ(rows(*w->rules()).last(), "main.example|typed.example|ExcludeRoot|  ");
    EXPECT_TRUE(w->isVisible());

    w->Command2->click();  // nothing selected
    EXPECT_EQ(w->rules()->count(), 2);
    w->rules()->setSelectedRow(1);
    w->Command2->click();
    EXPECT_EQ(rows(*w->rules()), QStringList({"main.example|typed.example|ExcludeRoot|  "}));
    EXPECT_EQ(p.dialogs->boxes.size(), 2);
}

TEST_F(SiteEditors, EnterInTheDescriptionDoesNothingAndInTheUrlConfirms)
{
    Form2 *w = editLinkingSite(1);
    w->Text1->setText("new.example");
    w->Text2->setText("");
    pressEnter(w->Text5);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(project.List1(1)->text(1), "a.example");

    pressEnter(w->Text1);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(project.List1(1)->text(1), "new.example");
    EXPECT_EQ(project.List1(1)->subItem(1, 1), "1");
    EXPECT_EQ(rows(*project.lstRules).last(), "main.example|new.example|LimitString|x");
    EXPECT_FALSE(project.bProjectSaved);
}

TEST_F(SiteEditors, OkWritesTheEntryCapturedAtLoadOrNothingWhenItIsGone)
{
    Form2 *w = editLinkingSite(2);
    // Another main site and another row become current meanwhile.
    project.List4->setListIndex(1);
    project.iEditIndex = 1;
    w->Text1->setText("bb.example");
    w->cmdSave->click();
    EXPECT_EQ(project.List1(1)->text(2), "bb.example");
    EXPECT_EQ(project.List1(1)->text(1), "a.example");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    w = editLinkingSite(2);
    project.removeLinkingSite(1, 2);
    project.bProjectSaved = true;
    w->cmdSave->click();
    EXPECT_EQ(p.dialogs->lastText(),
              "The entry you are editing is no longer in the project, so your changes were not saved.");
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(project.bProjectSaved);
    EXPECT_EQ(project.List1(1)->count(), 1);
}

TEST_F(SiteEditors, CancelAndShutDownLeaveTheProjectAsItWas)
{
    const QStringList before = rows(*project.lstRules);
    Form2 *w = editLinkingSite(1);
    w->Text1->setText("changed.example");
    w->Command3->click();
    EXPECT_FALSE(w->isVisible());

    project.List4->click(0);
    click(form, "cmdEditMain");
    auto *main = qobject_cast<Form2a *>(p.windows.Form2a.data());
    ASSERT_TRUE(main);
    main->Text1->setText("changed.example");
    form.close();
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(project.List4->item(0), "main.example");
    EXPECT_EQ(project.List1(1)->text(1), "a.example");
    EXPECT_EQ(rows(*project.lstRules), before);
    EXPECT_TRUE(project.bProjectSaved);
}

TEST_F(SiteEditors, RenamingTheSelectedMainSiteCarriesItsRulesAndHeading)
{
    project.lstRules->add("main.example", {"Global", "LimitRoot", "m"});
    project.List4->setListIndex(0);
    click(form, "cmdEditMain");
    auto *w = qobject_cast<Form2a *>(p.windows.Form2a.data());
    ASSERT_TRUE(w);
    EXPECT_EQ(rows(*w->rules()), QStringList({"main.example|Global|LimitRoot|m"}));
    EXPECT_EQ(w->lblExplain->text(), "These rules will apply to all Linking Sites grouped with this Main Site");

    w->Text1->setText("");
    pressEnter(w->Text1);
    EXPECT_EQ(p.dialogs->lastText(), "Please enter the Main Site URL first.");
    w->Text1->setText("renamed.example");
    pressEnter(w->Text1);
    EXPECT_EQ(project.List4->item(0), "renamed.example");
    EXPECT_EQ(control<QLabel>(form, "lblblah")->text(), "Enter linking sites: renamed.example");
    EXPECT_EQ(rows(*project.lstRules),
              QStringList({"renamed.example|a.example|LimitString|x", "renamed.example|A.example|LimitString|case",
                           "Global|Global|ExcludeString|g", "renamed.example|Global|LimitRoot|m"}));

    // Another main site selected meanwhile keeps its heading.
    click(form, "cmdEditMain");
    w = qobject_cast<Form2a *>(p.windows.Form2a.data());
    ASSERT_TRUE(w);
    project.List4->setListIndex(1);
    w->Text1->setText("again.example");
    pressEnter(w->Text1);
    EXPECT_EQ(project.List4->item(0), "again.example");
    EXPECT_EQ(form.findChild<QLabel *>("lblblah")->text(), "Enter linking sites: other.example");
}

TEST_F(SiteEditors, APipeInARuleValueIsRefusedAndEveryEditorsOkMarksTheProjectChanged)
{
    Form2 *w = editLinkingSite(1);
    w->Option1[3]->setChecked(true);
    w->Text6->setText("a|b");
    w->Command1->click();
    EXPECT_EQ(p.dialogs->lastText(), "A rule value cannot contain \"|\". Please enter the value without it.");
    EXPECT_EQ(w->rules()->count(), 1);
    w->Command3->click();

    project.List4->click(0);
    click(form, "cmdEditMain");
    auto *main = qobject_cast<Form2a *>(p.windows.Form2a.data());
    ASSERT_TRUE(main);
    project.bProjectSaved = true;
    main->cmdSave_Click();
    EXPECT_FALSE(project.bProjectSaved);

    project.bProjectSaved = true;
    openGlobalRulesEditor(*p.ctx, p.windows, project, &form);
    auto *global = qobject_cast<Form2b *>(p.windows.Form2b.data());
    ASSERT_TRUE(global);
    global->cmdSave_Click();
    EXPECT_FALSE(project.bProjectSaved);
}

} // namespace
