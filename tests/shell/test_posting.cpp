// Posting the results: the requests against a live script, the per-main-site
// script URLs, the log and a posting that runs once.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QScreen>
#include <QStatusBar>
#include <gtest/gtest.h>

#include "exchange/posting.h"
#include "shell/mainwindow/form1.h"
#include "shell/windows/form5.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/shutdown.h"
#include "support/testhttpserver.h"
#include "support/windowcontrols.h"
#include "widgets/reportview.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::click;
using testsupport::clickRow;
using testsupport::control;
using testsupport::pressEnter;
using testsupport::TestHttpServer;
using testsupport::typeInto;

namespace {

class Posting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(server.port(), 0);
        p.ctx->fetchOptions.connectOverride.insert("scripts.example", server.port());
        server.setRoute("scripts.example", "*", TestHttpServer::Response::page("stored"));
    }

    void addRow(const QString &main, const QString &linking, const QString &status)
    {
        addResultRow(*form.project().List3,
                     ResultRow{kIconLink, main, linking, status, "001", linking + "/links"});
    }

    QList<QByteArray> targets() const
    {
        QList<QByteArray> out;
        for (const QByteArray &r : server.requests())
            out << TestHttpServer::requestPath(r);
        return out;
    }

    QString log() const
    {
        auto *w = qobject_cast<Form5 *>(p.windows.Form5.data());
        return w ? w->logText() : QStringLiteral("<no log>");
    }

    testsupport::ShellProgram p;
    TestHttpServer server;
    Form1 form{*p.ctx, p.windows};
};

TEST_F(Posting, EachStatusGivesItsRequestAndTheLogShowsThem)
{
    for (const char *status : {"Direct Link", "Domain Link", "Missing 001", "None Found (Timeout)", "Redirect Link"})
        addRow("main.example", QString(status).section(' ', 0, 0).toLower() + ".example", status);
    typeInto(form, "txtPost", "scripts.example/post?s=$STATUS&l=$linkingsite");
    click(form, "cmdPost");
    EXPECT_EQ(targets(), QList<QByteArray>({"/post?s=True&l=direct.example", "/post?s=False&l=domain.example",
                                            "/post?s=False&l=none.example", "/post?s=True&l=redirect.example"}));
    EXPECT_TRUE(log().startsWith("\nURL: http://scripts.example/post?s=True&l=direct.example\n\nReturned: stored\n"
                                 "\nURL: http://scripts.example/post?s=False&l=domain.example\n"))
        << log().toStdString();
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 1), "Sending Site 5: redirect.example");
    EXPECT_TRUE(control<QPushButton>(form, "cmdPost")->isEnabled());
}

TEST_F(Posting, EachMainSiteUsesItsOwnScriptUrl)
{
    addRow("main.example", "p.example", "Direct Link");
    addRow("second.example", "q.example", "Direct Link");
    addRow("third.example", "r.example", "Direct Link");
    control<QRadioButton>(form, "optScript1")->setChecked(true);
    form.project().lstMulti->add(" http://www.main.example", {"scripts.example/one?m=$MainSite"});
    form.project().lstMulti->add("third.example", {"http://"});
    form.project().lstMulti->add("second.example", {"scripts.example/two"});
    form.project().lstMulti->add("main.example", {"scripts.example/never"});
    click(form, "cmdPost");
    EXPECT_EQ(targets(), QList<QByteArray>({"/one?m=main.example", "/two"}));
}

TEST_F(Posting, TheLogOpensClearOfTheStatusBar)
{
    form.show();
    form.setGeometry(0, 0, 700, 400);  // lower than the log
    click(form, "cmdPost");
    QWidget *log = p.windows.Form5;
    ASSERT_TRUE(log);
    const QRect bar(control<QStatusBar>(form, "StatusBar1")->mapToGlobal(QPoint(0, 0)),
                    control<QStatusBar>(form, "StatusBar1")->size());
    EXPECT_FALSE(log->frameGeometry().intersects(bar));
    EXPECT_TRUE(form.screen()->availableGeometry().contains(log->frameGeometry()));
}

TEST_F(Posting, NothingToPostIsSaidAndFailuresAreLogged)
{
    click(form, "cmdPost");
    EXPECT_NE(p.windows.Form5, nullptr);
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 1), "You must perform a scan for reciprocal links first");

    addRow("main.example", "p.example", "Direct Link");
    typeInto(form, "txtPost", " http:// ");
    click(form, "cmdPost");
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 1), "You must enter a script URL to post to first");
    EXPECT_EQ(server.requestCount(), 0);

    typeInto(form, "txtPost", QString("http://127.0.0.1:%1/x").arg(TestHttpServer::unusedPort()));
    click(form, "cmdPost");
    EXPECT_TRUE(log().contains("\nError: ")) << log().toStdString();
}

TEST_F(Posting, ASecondClickWaitsAndClosingEndsThePosting)
{
    addRow("main.example", "p.example", "Direct Link");
    addRow("main.example", "q.example", "Direct Link");
    typeInto(form, "txtPost", "scripts.example/$LinkingSite");
    bool nestedRan = false;
    QTimer::singleShot(0, &form, [&] {
        EXPECT_FALSE(control<QPushButton>(form, "cmdPost")->isEnabled());
        click(form, "cmdPost");
        // A new project does not change the rows of a running posting.
        click(form, "cmdNew");
        nestedRan = true;
    });
    click(form, "cmdPost");
    EXPECT_TRUE(nestedRan);
    EXPECT_EQ(targets(), QList<QByteArray>({"/p.example", "/q.example"}));
    addRow("main.example", "p.example", "Direct Link");

    // Closing the log, or the main window (which closes the log), ends it.
    for (const bool mainWindow : {false, true}) {
        server.clearRequests();
        QTimer::singleShot(0, &form, [&] { mainWindow ? form.close() : p.windows.Form5->close(); });
        click(form, "cmdPost");
        EXPECT_EQ(server.requestCount(), 0);
        EXPECT_FALSE(MainWindowTestAccess::posting(form));
    }
}

TEST_F(Posting, ClosingTheLogOrTheMainWindowEndsTheRequestUnderWay)
{
    TestHttpServer::Response silent;
    silent.mode = TestHttpServer::Response::Mode::Silent;
    server.setRoute("scripts.example", "*", silent);
    addRow("main.example", "p.example", "Direct Link");
    addRow("main.example", "q.example", "Direct Link");
    typeInto(form, "txtPost", "scripts.example/$LinkingSite");
    // The log closed: "Post Links Now" comes back at once.
    EXPECT_TRUE(testsupport::quitsAfterClose(
        *p.ctx, server,
        [&] {
            click(form, "cmdPost");
            QCoreApplication::exit();  // the program goes on: only the handler had to end
        },
        [&] { p.windows.Form5->close(); }));
    EXPECT_TRUE(control<QPushButton>(form, "cmdPost")->isEnabled());
    // The main window closed: the program ends.
    EXPECT_TRUE(testsupport::quitsAfterClose(
        *p.ctx, server, [&] { click(form, "cmdPost"); }, [&] { form.close(); }));
    EXPECT_EQ(server.requestCount(), 2);
}

TEST_F(Posting, TheLogFillsItsWindowAndKeepsItsNewestEntryInView)
{
    click(form, "cmdPost");  // nothing to post: the log opens all the same
    auto *w = qobject_cast<Form5 *>(p.windows.Form5.data());
    ASSERT_NE(w, nullptr);
    for (int i = 0; i < 100; ++i)
        w->appendLog(QString("\r\nURL: http://scripts.example/%1\r\n").arg(i));
    w->Text4->moveCursor(QTextCursor::Start);  // the user reads an older entry
    w->appendLog("\r\nURL: http://scripts.example/newest\r\n");
    EXPECT_TRUE(w->Text4->textCursor().atEnd());
    const QScrollBar *bar = w->Text4->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    w->resize(300, 200);
    EXPECT_EQ(w->Text4->geometry(), w->rect());
}

TEST_F(Posting, ScriptUrlsPerMainSiteAreAddedAndDeleted)
{
    control<QRadioButton>(form, "optScript1")->setChecked(true);
    form.project().bProjectSaved = true;
    control<QComboBox>(form, "cmbSites")->setEditText("Select");
    typeInto(form, "txtPost2", "scripts.example/a");
    pressEnter(form, "txtPost2");
    EXPECT_EQ(form.project().lstMulti->count(), 0);
    control<QComboBox>(form, "cmbSites")->setEditText("main.example");
    pressEnter(form, "cmbSites");
    ASSERT_EQ(form.project().lstMulti->count(), 1);
    EXPECT_EQ(form.project().lstMulti->subItem(1, 1), "scripts.example/a");
    EXPECT_FALSE(form.project().bProjectSaved);

    EXPECT_FALSE(control<QPushButton>(form, "cmdScriptDel")->isEnabled());
    clickRow(control<platform::ReportView>(form, "lstMulti"), 1);
    EXPECT_TRUE(control<QPushButton>(form, "cmdScriptDel")->isEnabled());
    click(form, "cmdScriptDel");
    click(form, "cmdScriptDel");
    EXPECT_EQ(form.project().lstMulti->count(), 0);
}

} // namespace
