// The results list and the error list in the main window: the pop-up menu,
// sorting by a click and the error-list handlers.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMenu>
#include <gtest/gtest.h>

#include "exchange/report.h"
#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/mainwindow/webpanel.h"
#include "support/shellprogram.h"
#include "support/windowcontrols.h"
#include "widgets/reportview.h"
#include "workspace/project.h"
#include "workspace/results.h"
#include "workspace/services.h"
#include "workspace/textcase.h"

using namespace tarnwick;
using testsupport::area;

namespace {

class ResultLists : public ::testing::Test {
protected:
    ResultLists()
    {
        area<ResultsPanel>(form)->webTab.show = [this] { calls << "show"; };
        area<ResultsPanel>(form)->webTab.setAddress = [this](const QString &a) { calls << "address " + a; };
        area<ResultsPanel>(form)->webTab.setSilent = [this](bool on) { calls << QString("silent %1").arg(on); };
        area<ResultsPanel>(form)->webTab.navigate = [this](const QString &a) { calls << "navigate " + a; };
        addResultRow(*form.project().List3, directLinkRow("main.example", "beta.example", 1, "www.beta.example/links.htm"));
        addResultRow(*form.project().List3, missingRow("main.example", "alpha.example", 2, "www.alpha.example/last.htm"));
        addResultRow(*form.project().List3, noneFoundRow("main.example", "gamma.example", "Timeout", "https://gamma.example/"));
        addErrorRow(*form.project().lstErr, {"Timeout", "www.gamma.example"});
        addErrorRow(*form.project().lstErr, {"404 Not Found", "www.alpha.example/old.htm"});
    }

    QStringList column(platform::ListView &list, int col)
    {
        QStringList out;
        for (int r = 1; r <= list.count(); ++r)
            out << (col == 1 ? list.text(r) : list.subItem(r, col - 1));
        return out;
    }

    testsupport::ShellProgram p;
    Form1 form{*p.ctx, p.windows};
    QStringList calls;
};

TEST_F(ResultLists, ThePopupMenuHasItsNineItems)
{
    ASSERT_EQ(area<ResultsPanel>(form)->mnuPopup2Item.size(), 9);
    const QStringList captions = {"Browse Main Site", "Browse Linking Site", "Browse Found On",
                                  "Copy Main Site",   "Copy Linking Site",   "Copy Found On",
                                  "",                 "Mark as Found",       "Mark as None Found"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(area<ResultsPanel>(form)->mnuPopup2Item[i]->text(), captions[i]) << i;
    EXPECT_TRUE(area<ResultsPanel>(form)->mnuPopup2Item[6]->isSeparator());
    EXPECT_EQ(area<ResultsPanel>(form)->lblErr->text(), "Errors/Warnings:");
}

TEST_F(ResultLists, RightButtonPopsUpTheMenu)
{
    area<ResultsPanel>(form)->List3_MouseDown(Qt::LeftButton, QPoint(10, 10));
    EXPECT_FALSE(area<ResultsPanel>(form)->Popup2->isVisible());
    area<ResultsPanel>(form)->List3_MouseDown(Qt::RightButton, QPoint(10, 10));
    EXPECT_TRUE(area<ResultsPanel>(form)->Popup2->isVisible());
    area<ResultsPanel>(form)->Popup2->close();
}

TEST_F(ResultLists, BrowseOpensTheRowInTheWebTab)
{
    form.project().List3->setSelectedRow(2);
    area<ResultsPanel>(form)->mnuPopup2Item_Click(1);
    EXPECT_EQ(calls, QStringList({"show", "address http://alpha.example", "silent 1",
                                  "navigate http://alpha.example"}));
    calls.clear();
    form.project().List3->setSelectedRow(3);
    area<ResultsPanel>(form)->mnuPopup2Item_Click(2);
    EXPECT_EQ(calls.last(), "navigate https://gamma.example/");
    calls.clear();
    area<ResultsPanel>(form)->mnuPopup2Item_Click(0);
    EXPECT_EQ(calls.last(), "navigate http://main.example");
    EXPECT_TRUE(p.shell->opened.isEmpty());
}

TEST_F(ResultLists, WithoutAWebTabTheDesktopBrowserOpensTheRow)
{
    area<ResultsPanel>(form)->webTab = {};
    form.project().List3->setSelectedRow(1);
    area<ResultsPanel>(form)->mnuPopup2Item_Click(2);
    EXPECT_EQ(p.shell->opened, QStringList({"http://www.beta.example/links.htm"}));
}

TEST_F(ResultLists, CopyPutsTheColumnOnTheClipboard)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    form.project().List3->setSelectedRow(2);
    area<ResultsPanel>(form)->mnuPopup2Item_Click(3);
    EXPECT_EQ(clipboard->text(), "main.example");
    area<ResultsPanel>(form)->mnuPopup2Item_Click(4);
    EXPECT_EQ(clipboard->text(), "alpha.example");
    area<ResultsPanel>(form)->mnuPopup2Item_Click(5);
    EXPECT_EQ(clipboard->text(), "www.alpha.example/last.htm");
}

TEST_F(ResultLists, WithNoRowSelectedTheMenuDoesNothing)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText("kept");
    form.project().List3->setSelectedRow(0);
    for (int i = 0; i < 9; ++i)
        area<ResultsPanel>(form)->mnuPopup2Item_Click(i);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_TRUE(p.shell->opened.isEmpty());
    EXPECT_EQ(clipboard->text(), "kept");
    EXPECT_EQ(column(*form.project().List3, 3), QStringList({"Direct Link", "Missing 002", "None Found (Timeout)"}));
    EXPECT_TRUE(form.project().bProjectSaved);
}

TEST_F(ResultLists, MarkingByHand)
{
    form.project().List3->setSelectedRow(2);
    area<ResultsPanel>(form)->mnuPopup2Item_Click(7);
    EXPECT_EQ(form.project().List3->subItem(2, 2), "Direct Link");
    EXPECT_EQ(form.project().List3->subItem(2, 3), "000");
    EXPECT_EQ(form.project().List3->foreColor(2), platform::kColorBlue);
    EXPECT_EQ(form.project().List3->smallIcon(2), kIconLink);
    EXPECT_FALSE(form.project().bProjectSaved);  // the project holds the results

    form.project().List3->setSelectedRow(1);
    area<ResultsPanel>(form)->mnuPopup2Item_Click(8);
    EXPECT_EQ(form.project().List3->subItem(1, 2), "None Found");
    EXPECT_EQ(form.project().List3->subItem(1, 3), "001");
    EXPECT_EQ(form.project().List3->subItem(1, 4), "www.beta.example/links.htm");
    EXPECT_EQ(form.project().List3->foreColor(1), platform::kColorRed);
    EXPECT_EQ(form.project().List3->smallIcon(1), kIconNoLink);
}

TEST_F(ResultLists, SortingTogglesOnEveryClickWhateverTheColumn)
{
    // The first click sorts descending: the order toggles from the initial
    // ascending on every call.
    area<ResultsPanel>(form)->List3_ColumnClick(2);
    EXPECT_EQ(column(*form.project().List3, 2), QStringList({"gamma.example", "beta.example", "alpha.example"}));
    area<ResultsPanel>(form)->List3_ColumnClick(2);
    EXPECT_EQ(column(*form.project().List3, 2), QStringList({"alpha.example", "beta.example", "gamma.example"}));
    // A new column takes the next turn of the same toggle.
    area<ResultsPanel>(form)->List3_ColumnClick(3);
    EXPECT_EQ(column(*form.project().List3, 3), QStringList({"None Found (Timeout)", "Missing 002", "Direct Link"}));
    // The rows keep their columns together.
    EXPECT_EQ(column(*form.project().List3, 2), QStringList({"gamma.example", "alpha.example", "beta.example"}));

    area<ResultsPanel>(form)->lstErr_ColumnClick(1);
    EXPECT_EQ(column(*form.project().lstErr, 1), QStringList({"Timeout", "404 Not Found"}));
    area<ResultsPanel>(form)->lstErr_ColumnClick(2);
    EXPECT_EQ(column(*form.project().lstErr, 2), QStringList({"www.alpha.example/old.htm", "www.gamma.example"}));
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
}

TEST_F(ResultLists, SortingAnEmptyListChangesNothing)
{
    form.project().lstErr->clear();
    area<ResultsPanel>(form)->lstErr_ColumnClick(1);
    EXPECT_FALSE(form.project().lstErr->sorted());
}

TEST_F(ResultLists, ErrorRowsOpenInTheDesktopBrowserOnADoubleClick)
{
    form.project().lstErr->setSelectedRow(2);
    area<ResultsPanel>(form)->lstErr_DblClick();
    EXPECT_EQ(p.shell->opened, QStringList({"http://www.alpha.example/old.htm"}));
    addErrorRow(*form.project().lstErr, {"500 Internal Server Error", "https://secure.example/x"});
    form.project().lstErr->setSelectedRow(3);
    area<ResultsPanel>(form)->lstErr_DblClick();
    EXPECT_EQ(p.shell->opened.last(), "https://secure.example/x");
    form.project().lstErr->setSelectedRow(0);
    area<ResultsPanel>(form)->lstErr_DblClick();
    EXPECT_EQ(p.shell->opened.size(), 2);
}

TEST_F(ResultLists, TheSecondClickOpensTheErrorRowInTheWebTab)
{
    form.project().lstErr->setSelectedRow(1);
    area<ResultsPanel>(form)->lstErr_BeforeLabelEdit();
    // Neither the address box nor silent mode: only the tab and the page.
    EXPECT_EQ(calls, QStringList({"show", "navigate http://www.gamma.example"}));
    EXPECT_EQ(form.project().lstErr->text(1), "Timeout");
    calls.clear();
    form.project().lstErr->setSelectedRow(0);
    area<ResultsPanel>(form)->lstErr_BeforeLabelEdit();
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(ResultLists, TheErrorListIsReadOnly)
{
    EXPECT_EQ(area<ResultsPanel>(form)->lstErrView->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(form.project().lstErr->flags(form.project().lstErr->index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(ResultLists, AClickOnTheSelectedErrorRowOpensItUnlessADoubleClickFollows)
{
    auto waitFor = [](const std::function<bool()> &done, int ms) {
        const QDeadlineTimer deadline(ms);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    };

    // A first click only selects.
    form.project().lstErr->setSelectedRow(0);
    emit area<ResultsPanel>(form)->lstErrView->mousePressed(Qt::LeftButton, QPoint());
    form.project().lstErr->setSelectedRow(2);
    emit area<ResultsPanel>(form)->lstErrView->itemClicked(2);
    // The second click on the selected row opens it.
    emit area<ResultsPanel>(form)->lstErrView->mousePressed(Qt::LeftButton, QPoint());
    emit area<ResultsPanel>(form)->lstErrView->itemClicked(2);
    EXPECT_TRUE(waitFor([&] { return !calls.isEmpty(); }, 5000));
    EXPECT_EQ(calls.value(1), "navigate http://www.alpha.example/old.htm");

    // A double-click opens the desktop browser and nothing else.
    calls.clear();
    emit area<ResultsPanel>(form)->lstErrView->mousePressed(Qt::LeftButton, QPoint());
    emit area<ResultsPanel>(form)->lstErrView->itemClicked(2);
    emit area<ResultsPanel>(form)->lstErrView->itemDoubleClicked(2);
    EXPECT_EQ(p.shell->opened, QStringList({"http://www.alpha.example/old.htm"}));
    waitFor([&] { return !calls.isEmpty(); }, QApplication::doubleClickInterval() + 300);
    EXPECT_TRUE(calls.isEmpty());
}

} // namespace
