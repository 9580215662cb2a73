// The report as the main window builds, writes, shows and saves it, and the
// tab-delimited export.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextBrowser>
#include <QUrl>
#include <gtest/gtest.h>
#include <functional>

#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/mainwindow/webpanel.h"
#include "shell/windows/emailexport.h"
#include "support/files.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/windowcontrols.h"
#include "widgets/reportview.h"
#include "workspace/project.h"
#include "workspace/results.h"

using namespace tarnwick;
using testsupport::area;
using testsupport::click;
using testsupport::readBytes;
using testsupport::writeBytes;

namespace {

class ReportCommands : public ::testing::Test {
protected:
    testsupport::ShellProgram p;
    Form1 form{*p.ctx, p.windows};
    AppContext &c = *p.ctx;
    QLocale savedLocale;

    void SetUp() override { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void TearDown() override { QLocale::setDefault(savedLocale); }

    void buildProject()
    {
        testsupport::typeMainSite(form, "mine.example");
        testsupport::typeLinkingSite(form, "partner.example");
        testsupport::typeLinkingSite(form, "quiet.example");
        form.project().List3->add("mine.example", {"partner.example", "Direct Link", "001", "partner.example/links"}, 2);
        form.project().List3->add("mine.example", {"quiet.example", "None Found", "000", "quiet.example"}, 1);
        form.project().List3->add("mine.example", {"quiet\texample", "None Found", "000", "line\r\nbreak"}, 1);
        form.project().lstErr->add("Timeout", {"quiet.example"});
        c.lPagesScanned = 9;
    }
};

TEST_F(ReportCommands, ReportIsWrittenShownAndCopiedBesideTheProject)
{
    buildProject();
    form.project().strProjectFile = p.path("elsewhere/Shop.PRJ");
    ASSERT_TRUE(area<ReportPanel>(form)->makeReport());
    const QString text = QString::fromUtf8(readBytes(p.path("tempreport.html")).chopped(2));
    EXPECT_TRUE(text.startsWith("<html>\r\n"));
    EXPECT_TRUE(text.contains("<tr><td>Total Errors:</td><td> 1</td></tr>"));
    EXPECT_TRUE(text.contains("<td>33,33%</td>")) << text.toStdString();  // the user's locale
    const QByteArray bytes = (text + "\r\n").toUtf8();
    EXPECT_EQ(readBytes(p.path("tempreport.html")), bytes);
    EXPECT_EQ(readBytes(p.path("Project Files/Shop.html")), bytes);
    EXPECT_EQ(area<ReportPanel>(form)->WebBrowser2->locationURL(), p.path("tempreport.html"));
    EXPECT_TRUE(area<ReportPanel>(form)->WebBrowser2->widget() != nullptr);
}

TEST_F(ReportCommands, ReportViewShowsTheReportAndOpensItsLinksInTheDesktopBrowser)
{
    buildProject();
    area<ReportPanel>(form)->makeReport();
    auto *view = qobject_cast<QTextBrowser *>(area<ReportPanel>(form)->WebBrowser2->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->toPlainText().contains("Reciprocal Link Report"));
    emit view->anchorClicked(QUrl("http://partner.example/links"));
    emit view->anchorClicked(QUrl("javascript:alert(1)"));
    EXPECT_EQ(p.shell->opened, QStringList{"http://partner.example/links"});

    area<ReportPanel>(form)->WebBrowser2->navigate("about:blank");
    EXPECT_TRUE(view->toPlainText().isEmpty());
    EXPECT_EQ(area<ReportPanel>(form)->WebBrowser2->locationURL(), "about:blank");
}

TEST_F(ReportCommands, ALargeReportIsShownByItsBeginningWithTheWholeFileALinkAway)
{
    // A thousand linking sites on one host: every row stands under every one.
    form.project().addMainSite("main.example");
    for (int i = 0; i < 1000; ++i) {
        form.project().addLinkingSite(1, {QString("partner.example/p%1.htm").arg(i), "1", {}, {}, {}});
        addResultRow(*form.project().List3, directLinkRow("main.example", "partner.example", 1,
                                                          QString("partner.example/p%1.htm").arg(i)));
    }
    ASSERT_TRUE(area<ReportPanel>(form)->makeReport());
    const qint64 size = QFileInfo(p.path("tempreport.html")).size();
    EXPECT_GT(size, 50 * 1024 * 1024);
    auto *view = qobject_cast<QTextBrowser *>(area<ReportPanel>(form)->WebBrowser2->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_LT(view->toPlainText().size(), 1024 * 1024);
    EXPECT_TRUE(view->toPlainText().contains("Total Linking Sites:"));
    EXPECT_TRUE(view->toPlainText().contains("too large to show here in full"));
    emit view->anchorClicked(QUrl::fromLocalFile(p.path("tempreport.html")));
    EXPECT_EQ(p.shell->opened, QStringList{p.path("tempreport.html")});
}

TEST_F(ReportCommands, CopyNeverReplacesTheProjectFileAndIsSkippedWithoutAProject)
{
    buildProject();
    area<ReportPanel>(form)->makeReport();
    EXPECT_TRUE(QFileInfo::exists(p.path("tempreport.html")));
    EXPECT_FALSE(QFileInfo::exists(p.path("Project Files")));  // no project: no copy

    const QString project = p.path("Project Files/plain");
    writeBytes(project, "mine.example\r\n");
    form.project().strProjectFile = project;
    area<ReportPanel>(form)->makeReport();
    EXPECT_EQ(readBytes(project), QByteArray("mine.example\r\n"));
    EXPECT_TRUE(readBytes(p.path("Project Files/plain.html")).startsWith("<html>"));
}

TEST_F(ReportCommands, AfterNewTheLastProjectsCopyIsLeftAlone)
{
    const QString project = p.path("Project Files/old.prj");
    QDir().mkpath(p.path("Project Files"));
    ASSERT_TRUE(form.project().saveProject(project));
    area<ReportPanel>(form)->makeReport();
    const QByteArray copy = readBytes(p.path("Project Files/old.html"));
    click(form, "cmdNew");
    buildProject();
    area<ReportPanel>(form)->makeReport();
    EXPECT_EQ(readBytes(p.path("Project Files/old.html")), copy);
    EXPECT_EQ(c.settings().get("LastProject"), project);
}

TEST_F(ReportCommands, ReportIsBuiltEvenWhereNoCopyCanBeWritten)
{
    buildProject();
    writeBytes(p.path("Project Files"), "a file where the folder should be");
    form.project().strProjectFile = "/somewhere/shop.prj";
    EXPECT_TRUE(area<ReportPanel>(form)->makeReport());
    EXPECT_TRUE(QFileInfo::exists(p.path("tempreport.html")));
}

TEST_F(ReportCommands, SaveReportAsAddsTheExtensionBeforeAsking)
{
    buildProject();
    ASSERT_TRUE(area<ReportPanel>(form)->makeReport());
    const QString report = QString::fromUtf8(readBytes(p.path("tempreport.html")).chopped(2));
    const QString target = p.path("out/report");
    writeBytes(target + ".htm", "older");

    p.dialogs->fileAnswers.push_back(target);
    p.dialogs->answers.push_back(platform::vbCancel);
    area<ReportPanel>(form)->Command8_Click();
    ASSERT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_EQ(p.dialogs->boxes[0].text, "File already exists.  Are you sure you want to overwrite it?");
    EXPECT_EQ(p.dialogs->boxes[0].style, platform::vbOKCancel);
    EXPECT_EQ(readBytes(target + ".htm"), QByteArray("older"));
    EXPECT_EQ(p.dialogs->fileRequests[0].filter, "HTML Files (*.htm, *.html)|*.htm,*.html");

    p.dialogs->fileAnswers.push_back(target);
    p.dialogs->answers.push_back(platform::vbOK);
    area<ReportPanel>(form)->Command8_Click();
    EXPECT_EQ(readBytes(target + ".htm"), (report + "\r\n").toUtf8());

    p.dialogs->fileAnswers.push_back(p.path("out/fresh.HTML"));
    area<ReportPanel>(form)->Command8_Click();
    EXPECT_EQ(p.dialogs->boxes.size(), 2);  // a new file is not asked about
    EXPECT_EQ(readBytes(p.path("out/fresh.HTML")), (report + "\r\n").toUtf8());

    p.dialogs->fileAnswers.push_back(" ");
    area<ReportPanel>(form)->Command8_Click();
    EXPECT_EQ(p.dialogs->boxes.size(), 2);
}

TEST_F(ReportCommands, SaveReportAsBeforeAnyReportWritesNothing)
{
    p.dialogs->fileAnswers.push_back(p.path("early.htm"));
    area<ReportPanel>(form)->Command8_Click();
    EXPECT_FALSE(QFileInfo::exists(p.path("early.htm")));
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
}

TEST_F(ReportCommands, SaveReportAsIntoAMissingFolderSaysSo)
{
    buildProject();
    area<ReportPanel>(form)->makeReport();
    p.dialogs->fileAnswers.push_back(p.path("no-such-folder/r.htm"));
    area<ReportPanel>(form)->Command8_Click();
    ASSERT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_TRUE(p.dialogs->lastText().contains("could not be saved"));
}

TEST_F(ReportCommands, TabExportBytes)
{
    buildProject();
    const QString target = p.path("results");
    p.dialogs->fileAnswers.push_back(target);
    area<ReportPanel>(form)->Command8a_Click();
    EXPECT_EQ(p.dialogs->fileRequests[0].filter, "TAB Files (*.tab)|*.tab");
    EXPECT_EQ(readBytes(target + ".tab"), QByteArray("Main\tLinking\tStatus\tNo.\tLink URL\r\n"
                                                     "\r\n"
                                                     "mine.example\tpartner.example\tDirect Link\t001\tpartner.example/links\r\n"
                                                     "mine.example\tquiet.example\tNone Found\t000\tquiet.example\r\n"
                                                     "mine.example\tquiet example\tNone Found\t000\tline  break\r\n"
                                                     "\r\n"));

    // An existing file is replaced only on OK, never appended to.
    form.project().List3->clear();
    p.dialogs->fileAnswers.push_back(target + ".tab");
    p.dialogs->answers.push_back(platform::vbOK);
    area<ReportPanel>(form)->Command8a_Click();
    EXPECT_EQ(readBytes(target + ".tab"), QByteArray("Main\tLinking\tStatus\tNo.\tLink URL\r\n\r\n\r\n"));
    EXPECT_EQ(p.dialogs->boxes.size(), 1);
}

TEST_F(ReportCommands, EverySaveDialogCancelledWritesNothing)
{
    buildProject();
    ASSERT_TRUE(area<ReportPanel>(form)->makeReport());
    // A save that went on without a name would write beside the program.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(p.dir.path()));
    const auto restore = qScopeGuard([&] { QDir::setCurrent(before); });
    const auto files = [&] { return QDir(p.dir.path()).entryList(QDir::Files | QDir::Hidden); };
    const QStringList untouched = files();
    const std::pair<const char *, std::function<void()>> saves[] = {
        {"Save Webpage", [&] { click(form, "Command6"); }},
        {"Save Report As", [&] { area<ReportPanel>(form)->Command8_Click(); }},
        {"Save Tab Delimited", [&] { area<ReportPanel>(form)->Command8a_Click(); }},
        {"Save Project", [&] { click(form, "cmdSave"); }},
        {"Export",
         [&] {
             click(form, "Command2");
             qobject_cast<frmExport *>(p.windows.frmExport.data())->Command1->click();
         }},
    };
    for (const auto &[name, save] : saves) {
        const qsizetype asked = p.dialogs->fileRequests.size();
        save();  // no file chosen
        EXPECT_EQ(p.dialogs->fileRequests.size(), asked + 1) << name;
        EXPECT_TRUE(p.dialogs->boxes.isEmpty()) << name;
        EXPECT_EQ(files(), untouched) << name;
    }
}

} // namespace
