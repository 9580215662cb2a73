// The list builder window: whole searches against a fake engine on the test
// server.

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include "exchange/listbuilder.h"
#include "shell/mainwindow/form1.h"
#include "shell/windows/listbuilder.h"
#include "support/eventloop.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/shutdown.h"
#include "support/testhttpserver.h"
#include "support/windowcontrols.h"
#include "workspace/context.h"
#include "workspace/database.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::control;
using namespace tarnwick::listbuilder;
using Response = testsupport::TestHttpServer::Response;

namespace {

QByteArray resultPage(int first, int count)
{
    QByteArray html = "<html><body>";
    for (int i = first; i < first + count; ++i)
        html += "<a href=\"http://www.site" + QByteArray::number(i) + "-example.com/\">Site</a>\r\n";
    return html + "<a href=\"http://www.google.com/about\">About</a></body></html>";
}

class ListBuilder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(server.port(), 0);
        form.Form_Load();
        control<QLineEdit>(form, "txtSearch")->setText("blue widget");
    }
    Form3 *start()
    {
        // The search as the main window's search controls hold it.
        const ListBuilderQuery query{form.findChild<QLineEdit *>("txtSearch")->text(),
                                     form.findChild<QComboBox *>("Combo1")->currentText(),
                                     form.findChild<QComboBox *>("Combo2")->currentIndex()};
        Form3 *b = openListBuilder(*p.ctx, p.windows, form.project(), form.scanner(), form, &form, query);
        b->engines.googleSearch = server.url("/search");
        b->engines.yahooDirectory = server.url("/search/dir");
        return b;
    }
    QString google(int start) const
    {
        return "/search?num=100&hl=en&lr=&ie=UTF-8&oe=UTF-8&safe=off&filter=0&start=" + QString::number(start)
               + "&sa=N&q=blue+widget";
    }
    QStringList requested() const
    {
        QStringList out;
        for (const QByteArray &r : server.requests())
            out << QString::fromLatin1(testsupport::TestHttpServer::requestPath(r));
        return out;
    }
    int websiteCount()
    {
        db::Database d(databasePath(*p.ctx));
        db::Statement s = d.prepare("SELECT COUNT(*) FROM websites");
        return s.next() ? s.text(0).toInt() : -1;
    }

    testsupport::ShellProgram p;
    testsupport::TestHttpServer server;
    Form1 form{*p.ctx, p.windows};
};

TEST_F(ListBuilder, PagesUntilAPageGivesNothingThenHandsOverToAScan)
{
    QString left = "left.example.com";
    addWebsite(*p.ctx, left);  // emptied when the search starts
    server.setRoute("*", google(0), Response::page(resultPage(1, 15)));
    server.setRoute("*", google(100), Response::page(resultPage(10, 12)));  // 6 new
    server.setRoute("*", google(200), Response::page(resultPage(1, 19)));   // nothing new
    QPointer<Form3> b = start();
    EXPECT_EQ(b->windowTitle(), "List Builder - Finding matching websites...");
    ASSERT_TRUE(testsupport::waitUntil([&] { return !b || b->finished(); }));
    EXPECT_EQ(requested(), QStringList({google(0), google(100), google(200)}));
    EXPECT_EQ(websiteCount(), 21);
    EXPECT_EQ(p.ctx->lPagesFound, 21);
    // 21 domains are enough: the scan is started and the builder unloads.
    EXPECT_NE(MainWindowTestAccess::panelText(form, 2), "Not enough results");
    EXPECT_EQ(form.project().List3->count(), 1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !b; }));
}

TEST_F(ListBuilder, TooFewDomainsTryTheNextSearchWhenThereAreLinkingSites)
{
    control<QComboBox>(form, "Combo1")->setCurrentIndex(1);  // Yahoo
    control<QComboBox>(form, "Combo2")->setCurrentIndex(-1);
    const int main = form.project().addMainSite("main.example");
    form.project().iCurrentMain = main;
    form.project().addLinkingSite(main, {"a.example/", "1", {}, {}, {}});
    form.project().addLinkingSite(main, {"b.example/", "1", {}, {}, {}});
    // 20 domains are one too few.
    server.setRoute("*", "/search/dir?h=s&xargs=0&p=blue+widget&b=1", Response::page(resultPage(1, 20)));
    server.setRoute("*", "/search/dir?h=s&xargs=0&p=blue+widget&b=21", Response::page(resultPage(1, 20)));
    QPointer<Form3> b = start();
    EXPECT_EQ(b->target(), 100);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !b || b->finished(); }));
    ASSERT_TRUE(b) << "handed over to a scan";
    EXPECT_EQ(server.requestCount(), 2);
    EXPECT_EQ(b->Text1->text(), "Finished! Extracted 20 results.");
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 1), "Stopped");
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 2), "Not enough results");
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 3), "Trying next search");
    testsupport::spin(50);
    ASSERT_TRUE(b);  // stays loaded, hidden
    EXPECT_FALSE(b->isVisible());
}

TEST_F(ListBuilder, AnEmptyFirstPageEndsAtOnceAndAScanBlocksTheStart)
{
    QPointer<Form3> b = start();  // every page is a 404 without links
    ASSERT_TRUE(testsupport::waitUntil([&] { return !b || b->finished(); }));
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(MainWindowTestAccess::panelText(form, 3), "Add more search terms");
    ASSERT_TRUE(testsupport::waitUntil([&] { return !b; }));

    p.ctx->bScanning = true;
    b = start();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !b || b->finished(); }));
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(p.dialogs->lastText(), "The list builder cannot start while a scan is running.");
}

TEST_F(ListBuilder, ClosingTheMainWindowEndsTheProgramWhileTheServerIsSilent)
{
    Response silent;
    silent.mode = Response::Mode::Silent;
    server.setDefault(silent);
    EXPECT_TRUE(testsupport::quitsAfterClose(*p.ctx, server, [&] { start(); }, [&] { form.close(); }));
}

TEST_F(ListBuilder, NothingStartsOnceTheMainWindowHasUnloaded)
{
    form.close();
    ASSERT_TRUE(MainWindowTestAccess::unloaded(form));
    QPointer<Form3> b = start();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !b; }));
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(ListBuilder, ClosingTheWindowStopsTheSearch)
{
    Response slow = Response::page(resultPage(1, 30));
    slow.mode = Response::Mode::Trickle;
    slow.trickleBytes = 64;
    slow.trickleIntervalMs = 20;
    server.setDefault(slow);
    QPointer<Form3> b = start();
    // The search runs inside the event loop: the window is closed from there.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (server.requestCount() == 1 && b)
            b->close();
    });
    closer.start(5);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !b; }));
    testsupport::spin(100);
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(websiteCount(), 0);
}

} // namespace
