// A scan in the main window: the redirect hop under the scan's time-out and
// its controls, main sites that name no site, and the auto-save count.

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "support/eventloop.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/testhttpserver.h"
#include "support/windowcontrols.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::click;
using Response = testsupport::TestHttpServer::Response;

namespace {

class ScanGuards : public ::testing::Test {
protected:
    ScanGuards()
    {
        p.ctx->settings().set("chkAudioNext", "0");
        for (const char *host : {"moved.example", "hang.example", "next.example", "a.example", "b.example",
                                 "c.example"})
            p.ctx->fetchOptions.connectOverride.insert(host, server.port());
        server.setRoute("moved.example", "/",
                        Response::page("<title>Object moved</title><a href=\"http://hang.example/x.htm\">here</a>"));
        Response silent;
        silent.mode = Response::Mode::Silent;
        server.setRoute("hang.example", "*", silent);
        server.setRoute("next.example", "/", Response::page("<a href=\"http://main.example/\">main</a>"));
        // Left to itself, a fetch would wait far longer than any test.
        p.ctx->fetchOptions.idleTimeoutSec = 60;
        p.ctx->fetchOptions.totalTimeoutSec = 60;
    }

    bool hopStarted() const
    {
        for (const QByteArray &r : server.requests()) {
            if (testsupport::TestHttpServer::headerValue(r, "Host").startsWith("hang.example"))
                return true;
        }
        return false;
    }

    // Scans moved.example (whose hop goes to a silent page) and next.example;
    // act runs once the hop waits. False when the hop was still waiting 15 s
    // later and had to be cut off by closing the server.
    bool scanWithHop(Form1 &form, const std::function<void()> &act)
    {
        form.project().addMainSite("main.example");
        form.project().addLinkingSite(1, {"moved.example/", "1", {}, {}, {}});
        form.project().addLinkingSite(1, {"next.example/", "1", {}, {}, {}});
        bool acted = false;
        bool cutOff = false;
        QElapsedTimer since;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!acted && hopStarted()) {
                acted = true;
                since.start();
                if (act)
                    act();
            } else if (acted && !cutOff && since.elapsed() > 15000 && server.openConnections() > 0) {
                cutOff = true;
                server.stop();
            }
        });
        poll.start(10);
        click(form, "Command1");
        EXPECT_TRUE(testsupport::waitUntil([&] { return !p.ctx->bScanning; }, 40000));
        return !cutOff;
    }

    QStringList statuses(Form1 &form) const
    {
        QStringList out;
        for (int r = 1; r <= form.project().List3->count(); ++r)
            out << form.project().List3->subItem(r, 2);
        return out;
    }

    testsupport::ShellProgram p;
    testsupport::TestHttpServer server;
};

TEST_F(ScanGuards, TheRedirectHopWaitsNoLongerThanTheScansTimeOut)
{
    p.ctx->settings().set("txtTimeout", "1");
    Form1 form{*p.ctx, p.windows};
    EXPECT_TRUE(scanWithHop(form, {}));
    // The silent target is an empty page; the scan goes on.
    EXPECT_EQ(statuses(form), (QStringList{"None Found", "Direct Link"}));
}

TEST_F(ScanGuards, StopSkipAndClosingTheWindowEndTheRedirectHopAtOnce)
{
    struct Case {
        const char *name;
        std::function<void(Form1 &)> act;
        QStringList statuses;
    };
    const Case cases[] = {
        {"Stop", [](Form1 &f) { click(f, "cmdStop"); }, {}},
        {"Skip", [](Form1 &f) { click(f, "cmdSkip"); }, {"None Found (Skipped)", "Direct Link"}},
        {"close", [](Form1 &f) { f.close(); }, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        server.clearRequests();
        Form1 form{*p.ctx, p.windows};
        form.project().bProjectSaved = true;
        EXPECT_TRUE(scanWithHop(form, [&] { c.act(form); }));
        EXPECT_EQ(statuses(form), c.statuses);
    }
}

TEST_F(ScanGuards, AMainSiteThatIsOnlyASchemeIsRefusedAndPassedOver)
{
    Form1 form{*p.ctx, p.windows};
    for (const char *text : {"http://", "https://", "HTTP://  "}) {
        testsupport::typeMainSite(form, text);
        EXPECT_EQ(MainWindowTestAccess::panelText(form, 1), "Error: Please enter a Remote Site first!") << text;
    }
    EXPECT_EQ(form.project().List4->count(), 0);

    // Such a site read from a file names no domain: every link would count
    // as one to it.
    server.setRoute("a.example", "/", Response::page("<a href=\"http://main.example/\">main</a>"));
    server.setRoute("b.example", "/", Response::page("<a href=\"http://anywhere.example/\">x</a>"));
    server.setRoute("c.example", "/", Response::page("<a href=\"http://other.example/\">other</a>"));
    Project &project = form.project();
    project.addLinkingSite(project.addMainSite("main.example"), {"a.example/", "1", {}, {}, {}});
    project.addLinkingSite(project.addMainSite("https://"), {"b.example/", "1", {}, {}, {}});
    project.addLinkingSite(project.addMainSite("other.example"), {"c.example/", "1", {}, {}, {}});

    project.iSecondsRunning = 250;  // left by an earlier scan
    click(form, "Command1");
    EXPECT_EQ(project.iSecondsRunning, 0);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !p.ctx->bScanning; }));
    EXPECT_EQ(statuses(form), (QStringList{"Direct Link", "Direct Link"}));
    EXPECT_EQ(project.List3->text(2), "other.example");
    EXPECT_EQ(server.requestCount(), 2);
}

} // namespace
