// The main window's project commands: save, open, quick-save deletion of a
// main site and the auto-save.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/mainwindow/webpanel.h"
#include "support/files.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/windowcontrols.h"
#include "widgets/reportview.h"
#include "workspace/project.h"
#include "workspace/projectfile.h"

using namespace tarnwick;
using testsupport::area;
using testsupport::click;
using testsupport::control;
using testsupport::readBytes;
using testsupport::typeInto;
using testsupport::writeBytes;

namespace {

// Every write past a few bytes fails while this lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    sighandler_t m_oldHandler = nullptr;
};

class ProjectCommands : public ::testing::Test {
protected:
    testsupport::ShellProgram p;
    Form1 form{*p.ctx, p.windows};
    AppContext &c = *p.ctx;

    void addLinking(const QString &text, const QString &description = {})
    {
        const int row = testsupport::typeLinkingSite(form, text);
        if (row > 0 && !description.isEmpty())
            form.project().List1(form.project().iCurrentMain)->setSubItem(row, 4, description);
    }
    QString setting(const QString &key) { return c.settings().get(key); }

    // Three main sites, each with partners and rules of every scope.
    void buildThreeSites()
    {
        testsupport::typeMainSite(form, "alpha.example");
        addLinking("a1.example", "first of alpha");
        addLinking("a2.example");
        testsupport::typeMainSite(form, "http://www.beta.example/");
        addLinking("b1.example");
        testsupport::typeMainSite(form, "gamma.example");
        addLinking("g1.example");
        form.project().lstRules->add("Global", {"Global", "ExcludeString", "logout"});
        form.project().lstRules->add("alpha.example", {"Global", "LimitDirectory", "links"});
        form.project().lstRules->add("http://www.beta.example/", {"Global", "ExcludeRoot", "beta-root"});
        form.project().lstRules->add("http://www.beta.example/", {"b1.example", "LimitString", "partners"});
        form.project().lstRules->add("gamma.example", {"g1.example", "ExcludeDirectory", "cgi-bin"});
        form.project().List3->add("beta.example/", {"b1.example", "Direct Link", "001", "b1.example/links"}, 2);
        form.project().List3->add("alpha.example", {"a1.example", "None Found (Timeout)", "000", "a1.example"}, 1);
        control<QPlainTextEdit>(form, "txtHTML1")->setPlainText("<html>\n<body>");
        control<QPlainTextEdit>(form, "txtHTML2")->setPlainText("");
        control<QPlainTextEdit>(form, "txtHTML3")->setPlainText("</body>\n</html>");
        typeInto(form, "txtPost", "http://mine.example/post.php");
        form.project().lstMulti->add("http://www.beta.example/", {"http://mine.example/beta.php"});
    }

    void tick(int times)
    {
        for (int i = 0; i < times; ++i)
            form.project().Timer1_Timer();
    }
};

TEST_F(ProjectCommands, SaveThenOpenGivesBackTheSameProject)
{
    buildThreeSites();
    const ProjectData before = form.project().data();
    const QString path = p.path("Project Files/three.prj");
    QDir().mkpath(p.path("Project Files"));
    form.project().bProjectSaved = false;
    ASSERT_TRUE(form.project().saveProject(path));
    EXPECT_TRUE(form.project().bProjectSaved);
    EXPECT_EQ(setting("LastProject"), path);
    EXPECT_EQ(form.project().strProjectFile, path);

    click(form, "cmdNew");
    EXPECT_TRUE(form.project().strProjectFile.isEmpty());
    form.project().bProjectSaved = false;
    p.dialogs->answers.push_back(platform::vbNo);  // Save Project? No
    ASSERT_TRUE(testsupport::openProjectFile(form, *p.dialogs, path));
    EXPECT_EQ(form.project().data(), before);
    EXPECT_TRUE(form.project().bProjectSaved);
    EXPECT_TRUE(form.project().bJustLoaded);
    EXPECT_EQ(form.project().strProjectFile, path);
    EXPECT_EQ(form.project().List4->listIndex(), 0);
    EXPECT_EQ(form.project().iCurrentMain, 1);
    EXPECT_FALSE(MainWindowTestAccess::linkList(form, 1)->isHidden());
    EXPECT_TRUE(MainWindowTestAccess::linkList(form, 2)->isHidden());
    EXPECT_EQ(form.project().List3->smallIcon(1), 2);
    EXPECT_EQ(area<ReportPanel>(form)->WebBrowser2->locationURL(), "about:blank");  // no saved report yet
    // The blocks also reach the settings store through their change handlers.
    EXPECT_EQ(setting("txtHTML3"), "</body>\n</html>");
}

TEST_F(ProjectCommands, OpeningShowsTheProjectsSavedReport)
{
    const QString project = p.path("elsewhere/shop.PRJ");
    writeBytes(project, "shop.example\r\nHTML01:\r\nHTML02:\r\nHTML03:\r\n\r\n");
    const QString copy = p.path("Project Files/shop.html");
    writeBytes(copy, "<html>saved</html>\r\n");
    ASSERT_TRUE(testsupport::openProjectFile(form, *p.dialogs, project));
    EXPECT_EQ(area<ReportPanel>(form)->WebBrowser2->locationURL(), copy);
}

TEST_F(ProjectCommands, DamagedFileKeepsWhatIsReadableAndSelectsTheFirstMainSite)
{
    const QString path = p.path("damaged.prj");
    writeBytes(path, "first.example\r\n"
                     "no-separator.example\r\n"
                     "RESULT:2|short\r\n"
                     "NEXTSITE:second.example\r\n"
                     "b.example|1|||\r\n"
                     "RULE:too|short\r\n"
                     "POSTSINGLE:http://post.example/\r\n");
    ASSERT_TRUE(testsupport::openProjectFile(form, *p.dialogs, path));
    ASSERT_EQ(form.project().List4->count(), 2);
    EXPECT_EQ(form.project().List1(1)->text(1), "no-separator.example");
    EXPECT_EQ(form.project().List1(1)->subItem(1, 1), "1");
    EXPECT_EQ(form.project().List1(2)->count(), 1);
    EXPECT_EQ(form.project().List3->count(), 0);
    EXPECT_EQ(form.project().lstRules->count(), 0);
    EXPECT_EQ(control<QLineEdit>(form, "txtPost")->text(), "http://post.example/");
    EXPECT_EQ(form.project().List4->listIndex(), 0);
    EXPECT_EQ(area<ReportPanel>(form)->WebBrowser2->locationURL(), "about:blank");
}

TEST_F(ProjectCommands, AFileThatCannotBeReadLeavesTheProjectAndIsStillTheLastProject)
{
    testsupport::typeMainSite(form, "kept.example");
    addLinking("partner.example");
    const QString missing = p.path("gone.prj");
    p.dialogs->fileAnswers.push_back(missing);
    form.project().bProjectSaved = true;  // nothing to ask about first
    click(form, "cmdOpen");
    EXPECT_EQ(setting("LastProject"), missing);
    EXPECT_EQ(form.project().List4->count(), 1);
    EXPECT_EQ(form.project().List1(1)->count(), 1);
    EXPECT_TRUE(form.project().strProjectFile.isEmpty());
    ASSERT_EQ(p.dialogs->fileRequests.size(), 1);
    EXPECT_EQ(p.dialogs->fileRequests[0].initDir, p.path("Project Files"));
    EXPECT_EQ(p.dialogs->fileRequests[0].filter, "Project Files (*.prj)|*.prj");
    EXPECT_TRUE(QFileInfo(p.path("Project Files")).isDir());
    ASSERT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_TRUE(p.dialogs->lastText().contains("could not be opened"));
    EXPECT_EQ(form.project().List4->count(), 1);
}

TEST_F(ProjectCommands, SaveProposesANameFromTheFirstMainSite)
{
    click(form, "cmdSave");  // no main site, cancelled
    testsupport::typeMainSite(form, "http://www.shop.example/catalogue/");
    const QString chosen = p.path("Project Files/mine.prj");
    p.dialogs->fileAnswers.push_back(chosen);
    click(form, "cmdSave");
    ASSERT_EQ(p.dialogs->fileRequests.size(), 2);
    EXPECT_EQ(p.dialogs->fileRequests[0].fileName, "Unnamed.prj");
    EXPECT_EQ(p.dialogs->fileRequests[1].fileName, "wwwshopexample.prj");
    EXPECT_EQ(p.dialogs->fileRequests[1].initDir, p.path("Project Files"));
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
    EXPECT_TRUE(readBytes(chosen).startsWith("http://www.shop.example/catalogue/\r\n"));
    EXPECT_TRUE(form.project().bProjectSaved);
    EXPECT_EQ(setting("LastProject"), chosen);
}

TEST_F(ProjectCommands, FailedSaveSaysWhyOffersTheDialogOnceMoreAndMarksNothing)
{
    testsupport::typeMainSite(form, "shop.example");
    c.settings().set("LastProject", "/earlier.prj");
    p.dialogs->fileAnswers.push_back(p.path("no-such-folder/shop.prj"));
    p.dialogs->fileAnswers.push_back(p.path("no-such-folder/unnamed.prj"));
    click(form, "cmdSave");
    ASSERT_EQ(p.dialogs->fileRequests.size(), 2);
    EXPECT_EQ(p.dialogs->fileRequests[1].fileName, "unnamed.prj");
    ASSERT_EQ(p.dialogs->boxes.size(), 2);  // one per failure, then it gives up
    EXPECT_TRUE(p.dialogs->boxes[0].text.contains("could not be saved"));
    EXPECT_FALSE(form.project().bProjectSaved);
    EXPECT_EQ(setting("LastProject"), "/earlier.prj");
    EXPECT_TRUE(form.project().strProjectFile.isEmpty());
}

TEST_F(ProjectCommands, SaveThatFailsMidWriteLeavesTheOldFileByteIdentical)
{
    buildThreeSites();
    const QString path = p.path("Project Files/kept.prj");
    QDir().mkpath(p.path("Project Files"));
    ASSERT_TRUE(form.project().saveProject(path));
    const QByteArray old = readBytes(path);
    control<QPlainTextEdit>(form, "txtHTML1")->setPlainText(QString(8192, QLatin1Char('x')));
    form.project().bProjectSaved = false;
    c.settings().set("LastProject", "/other.prj");
    QString error;
    {
        FileSizeLimit limit(256);
        EXPECT_FALSE(form.project().saveProject(path, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(p.path("Project Files")).entryList(QDir::Files), QStringList{"kept.prj"});  // no leftovers
    EXPECT_FALSE(form.project().bProjectSaved);
    EXPECT_EQ(setting("LastProject"), "/other.prj");
}

TEST_F(ProjectCommands, DeletingTheSecondOfThreeMainSitesRebuildsTheProject)
{
    buildThreeSites();
    c.settings().set("LastProject", p.path("Project Files/three.prj"));
    form.project().strProjectFile = p.path("Project Files/three.prj");
    form.project().List4->setListIndex(1);
    form.project().List2->addItem("queued.example/page");
    form.project().bProjectSaved = true;

    click(form, "cmdDelete");

    ASSERT_EQ(form.project().List4->count(), 2);
    EXPECT_EQ(form.project().List4->item(0), "alpha.example");
    EXPECT_EQ(form.project().List4->item(1), "gamma.example");
    EXPECT_EQ(form.project().List1Count(), 3);
    ASSERT_EQ(form.project().List1(1)->count(), 2);
    EXPECT_EQ(form.project().List1(1)->subItem(1, 4), "first of alpha");
    ASSERT_EQ(form.project().List1(2)->count(), 1);
    EXPECT_EQ(form.project().List1(2)->text(1), "g1.example");
    ASSERT_EQ(form.project().lstRules->count(), 3);
    EXPECT_EQ(form.project().lstRules->text(1), "Global");
    EXPECT_EQ(form.project().lstRules->text(2), "alpha.example");
    EXPECT_EQ(form.project().lstRules->text(3), "gamma.example");
    EXPECT_EQ(form.project().List3->count(), 2);    // results naming it stay
    EXPECT_EQ(form.project().lstMulti->count(), 1);
    EXPECT_EQ(form.project().List2->count(), 0);
    EXPECT_EQ(form.project().List4->listIndex(), 0);
    EXPECT_EQ(form.project().iCurrentMain, 1);
    EXPECT_FALSE(form.project().bProjectSaved);
    EXPECT_TRUE(form.project().bJustLoaded);
    EXPECT_EQ(setting("LastProject"), p.path("Project Files/three.prj"));
    EXPECT_EQ(form.project().strProjectFile, p.path("Project Files/three.prj"));
    EXPECT_TRUE(readBytes(p.path("quicksave.qsv")).startsWith("alpha.example\r\na1.example|1|||first of alpha\r\n"
                                                               "a2.example|1|||\r\nNEXTSITE:gamma.example\r\n"));
    EXPECT_TRUE(QFileInfo::exists(p.path("tempreport.html")));  // the report was rebuilt
    EXPECT_TRUE(QFileInfo::exists(p.path("Project Files/three.html")));
}

TEST_F(ProjectCommands, DeletingTheFirstMainSiteWritesNoNextSiteTagFirst)
{
    buildThreeSites();
    form.project().List4->setListIndex(0);
    click(form, "cmdDelete");
    EXPECT_TRUE(readBytes(p.path("quicksave.qsv")).startsWith("http://www.beta.example/\r\nb1.example|1|||\r\n"));
    EXPECT_EQ(form.project().List4->count(), 2);
    EXPECT_EQ(form.project().lstRules->count(), 4);
}

TEST_F(ProjectCommands, DeletingTheOnlyMainSiteEmptiesTheSiteLists)
{
    testsupport::typeMainSite(form, "only.example");
    addLinking("partner.example");
    form.project().lstRules->add("Global", {"Global", "LimitString", "x"});
    form.project().lstRules->add("only.example", {"partner.example", "LimitString", "y"});
    form.project().List3->add("only.example", {"partner.example", "Direct Link", "001", "partner.example/"}, 2);
    form.project().List4->setListIndex(-1);  // selected or not
    click(form, "cmdDelete");
    EXPECT_EQ(form.project().List4->count(), 0);
    EXPECT_EQ(form.project().List1Count(), 1);
    EXPECT_TRUE(control<QFrame>(form, "innerFrame2")->isHidden());
    ASSERT_EQ(form.project().lstRules->count(), 1);
    EXPECT_EQ(form.project().lstRules->text(1), "Global");
    EXPECT_EQ(form.project().List3->count(), 1);
    EXPECT_FALSE(form.project().bProjectSaved);
    EXPECT_FALSE(QFileInfo::exists(p.path("quicksave.qsv")));
}

TEST_F(ProjectCommands, DeleteWithoutSelectionOrDuringAScanChangesNothing)
{
    buildThreeSites();
    form.project().List4->setListIndex(-1);
    form.project().bProjectSaved = true;
    click(form, "cmdDelete");
    EXPECT_EQ(form.project().List4->count(), 3);
    EXPECT_EQ(form.project().lstRules->count(), 5);
    EXPECT_TRUE(form.project().bProjectSaved);

    form.project().List4->setListIndex(1);
    c.bScanning = true;
    click(form, "cmdDelete");
    EXPECT_EQ(form.project().List4->count(), 3);
    EXPECT_EQ(form.project().lstRules->count(), 5);
    EXPECT_EQ(p.dialogs->lastText(), "You cannot delete the current site while the search is running.");
    c.bScanning = false;
}

TEST_F(ProjectCommands, QuickSaveThatCannotBeWrittenKeepsTheMainSite)
{
    buildThreeSites();
    QDir().mkpath(p.path("quicksave.qsv"));  // a folder stands in the way
    form.project().List4->setListIndex(1);
    form.project().bProjectSaved = true;
    click(form, "cmdDelete");
    EXPECT_EQ(form.project().List4->count(), 3);
    EXPECT_EQ(form.project().List1(2)->count(), 1);
    ASSERT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_TRUE(p.dialogs->lastText().contains("quick-save"));
    // Nothing of the site is gone, its rules included.
    EXPECT_EQ(form.project().lstRules->count(), 5);
    EXPECT_TRUE(form.project().bProjectSaved);
}

TEST_F(ProjectCommands, ASecondDeleteOrBuildWhileTheReportIsBuiltDoesNothing)
{
    buildThreeSites();
    form.project().List4->setListIndex(1);
    bool deleteEnabled = true;
    bool buildEnabled = true;
    int tries = 0;
    QTimer::singleShot(0, [&] {  // runs while the report of the deletion is built
        deleteEnabled = control<QPushButton>(form, "cmdDelete")->isEnabled();
        buildEnabled = area<ReportPanel>(form)->Command12->isEnabled();
        click(form, "cmdDelete");  // clicked all the same
        area<ReportPanel>(form)->Command12_Click();
        ++tries;
    });
    click(form, "cmdDelete");
    EXPECT_EQ(tries, 1);
    EXPECT_FALSE(deleteEnabled);
    EXPECT_FALSE(buildEnabled);
    ASSERT_EQ(form.project().List4->count(), 2);
    EXPECT_EQ(form.project().List4->item(0), "alpha.example");
    EXPECT_TRUE(control<QPushButton>(form, "cmdDelete")->isEnabled());
    EXPECT_TRUE(area<ReportPanel>(form)->Command12->isEnabled());
    const QByteArray report = readBytes(p.path("tempreport.html"));
    EXPECT_TRUE(report.contains("<h3>alpha.example</h3>"));
    EXPECT_FALSE(report.contains("beta"));
}

TEST_F(ProjectCommands, AReportAskedForDuringABuildIsTheOneWritten)
{
    buildThreeSites();
    QTimer::singleShot(0, [&] {
        form.project().addMainSite("late.example");
        area<ReportPanel>(form)->makeReport();  // as Stop would ask for it
    });
    area<ReportPanel>(form)->Command12_Click();
    EXPECT_TRUE(readBytes(p.path("tempreport.html")).contains("<h3>late.example</h3>"));
    EXPECT_FALSE(area<ReportPanel>(form)->building());
}

TEST_F(ProjectCommands, NewAndOpenOfferToSaveUnsavedWorkFirst)
{
    testsupport::typeMainSite(form, "kept.example");
    QDir().mkpath(p.path("Project Files"));
    const QString saved = p.path("Project Files/kept.prj");

    // Cancel: nothing happens.
    p.dialogs->answers = {platform::vbCancel, platform::vbCancel};
    click(form, "cmdNew");
    click(form, "cmdOpen");
    EXPECT_EQ(form.project().List4->count(), 1);
    EXPECT_TRUE(p.dialogs->fileRequests.isEmpty());
    ASSERT_EQ(p.dialogs->boxes.size(), 2);
    EXPECT_EQ(p.dialogs->boxes[0].title, "Save Project?");
    EXPECT_EQ(p.dialogs->boxes[0].text,
              "The current project has been edited but has not been saved.\r\nWould you like to save now?");
    EXPECT_EQ(p.dialogs->boxes[0].style & 0x0F, platform::vbYesNoCancel);

    // Yes, but the save dialog is cancelled: still nothing.
    p.dialogs->answers = {platform::vbYes};
    click(form, "cmdNew");
    EXPECT_EQ(form.project().List4->count(), 1);

    // Yes and saved: the new project follows.
    p.dialogs->answers = {platform::vbYes};
    p.dialogs->fileAnswers = {saved};
    click(form, "cmdNew");
    EXPECT_EQ(form.project().List4->count(), 0);
    EXPECT_TRUE(readBytes(saved).startsWith("kept.example\r\n"));

    // No: the work is dropped and the other project opens.
    testsupport::typeMainSite(form, "dropped.example");
    p.dialogs->answers = {platform::vbNo};
    p.dialogs->fileAnswers = {saved};
    click(form, "cmdOpen");
    ASSERT_EQ(form.project().List4->count(), 1);
    EXPECT_EQ(form.project().List4->item(0), "kept.example");

    // Nothing unsaved: nothing asked.
    const qsizetype asked = p.dialogs->boxes.size();
    click(form, "cmdNew");
    EXPECT_EQ(p.dialogs->boxes.size(), asked);
    EXPECT_EQ(form.project().List4->count(), 0);
}

TEST_F(ProjectCommands, AutoSaveCountsOnlyScanningSecondsWhenSwitchedOn)
{
    testsupport::typeMainSite(form, "auto.example");
    const QString target = p.path("projects/AutoSaved.prj");
    tick(400);  // not scanning, option off
    c.bScanning = true;
    tick(400);  // option off
    c.settings().set("chkAutoSave", "1");
    c.bScanning = false;
    tick(400);
    EXPECT_EQ(form.project().iSecondsRunning, 0);
    EXPECT_FALSE(QFileInfo::exists(target));

    c.bScanning = true;
    form.project().bProjectSaved = false;
    tick(299);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_EQ(form.project().iSecondsRunning, 299);
    tick(1);
    EXPECT_TRUE(readBytes(target).startsWith("auto.example\r\n"));
    EXPECT_EQ(form.project().iSecondsRunning, 0);
    EXPECT_TRUE(form.project().bProjectSaved);
    EXPECT_EQ(setting("LastProject"), target);
    c.bScanning = false;
}

TEST_F(ProjectCommands, AutoSaveWritesTheProjectsOwnFileAndAfterNewNeverTheOldOne)
{
    testsupport::typeMainSite(form, "first.example");
    const QString first = p.path("first.prj");
    ASSERT_TRUE(form.project().saveProject(first));
    c.settings().set("chkAutoSave", "1");
    c.bScanning = true;

    form.project().List3->add("first.example", {"x.example", "Direct Link", "001", "x.example/"}, 2);
    EXPECT_FALSE(form.project().bProjectSaved);  // a result recorded in the scan is a change
    tick(300);
    EXPECT_TRUE(readBytes(first).contains("RESULT:2|first.example|x.example|Direct Link|001|x.example/\r\n"));

    const QByteArray saved = readBytes(first);
    click(form, "cmdNew");
    testsupport::typeMainSite(form, "second.example");
    tick(300);
    EXPECT_EQ(readBytes(first), saved);
    EXPECT_TRUE(readBytes(p.path("projects/AutoSaved.prj")).startsWith("second.example\r\n"));
    c.bScanning = false;
}

TEST_F(ProjectCommands, FailedAutoSaveWaitsForTheNextRound)
{
    testsupport::typeMainSite(form, "auto.example");
    form.project().strProjectFile = p.path("no-such-folder/auto.prj");
    c.settings().set("chkAutoSave", "1");
    c.bScanning = true;
    form.project().bProjectSaved = false;
    tick(300);
    EXPECT_FALSE(form.project().bProjectSaved);
    EXPECT_EQ(form.project().iSecondsRunning, 0);
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());  // no box in the middle of a scan
    c.bScanning = false;
}

} // namespace
