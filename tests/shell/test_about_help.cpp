// The About box, the web-site opener, the help launcher and the
// machine-wide setting it writes.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/machinesettings.h"
#include "shell/mainwindow/form1.h"
#include "shell/windows/aboutbox.h"
#include "shell/windows/helplauncher.h"
#include "shell/windows/machinesetting.h"
#include "shell/windows/splash.h"
#include "shell/windows/websiteopener.h"
#include "support/files.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/windowcontrols.h"
#include "workspace/context.h"

using namespace tarnwick;
using testsupport::chooseMenuItem;
using testsupport::click;

namespace {

const QString kMachineKey = QStringLiteral("SOFTWARE\\Brindlecote\\Tarnwick\\Settings");

class AboutAndHelp : public ::testing::Test {
protected:
    AboutAndHelp()
    {
        initBranding(*p.ctx);
        p.ctx->endProgram = [this] { ++ended; };
    }
    void writeHelpFile() { testsupport::writeBytes(p.path("Help.html"), "<html></html>"); }

    testsupport::ShellProgram p;
    int ended = 0;
};

TEST_F(AboutAndHelp, AboutBoxShowsTheBrandingOnceAndShutDownClosesIt)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    chooseMenuItem(form, "mnuAbout", "About this software");
    auto *about = qobject_cast<frmAbout *>(p.windows.frmAbout.data());
    ASSERT_TRUE(about);
    EXPECT_EQ(about->windowTitle(), "About Tarnwick");
    EXPECT_EQ(about->Label1->text(), "Tarnwick");
    EXPECT_EQ(about->lblCompany->text(), "Brindlecote");
    const ProgramVersion v = programVersion();
    EXPECT_EQ(about->lblVersion->text(), QString::number(v.major) + "." + QString::number(v.minor));
    EXPECT_EQ(about->lblWebsite->text(), p.ctx->strWebsiteURL);
    EXPECT_TRUE(about->isVisible());

    chooseMenuItem(form, "mnuAbout", "About this software");  // brings the open one forward
    EXPECT_EQ(p.windows.frmAbout.data(), about);
    form.close();
    EXPECT_FALSE(about->isVisible());
}

TEST_F(AboutAndHelp, OpenerAddsTheSchemeOnlyWhenNoneIsThere)
{
    EXPECT_EQ(websiteAddress("www.site.example/p"), "http://www.site.example/p");
    EXPECT_EQ(websiteAddress("https://site.example"), "https://site.example");
    EXPECT_EQ(websiteAddress("see HTTP://site.example"), "see HTTP://site.example");
}

TEST_F(AboutAndHelp, OpenerOpensTheSiteOnceAndUnloadsAfterTenSeconds)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    click(form, "cmdWebsite");
    EXPECT_EQ(p.shell->opened, QStringList({"http://" + p.ctx->strWebsiteURL}));
    EXPECT_EQ(p.ctx->strWebsitePage, "");
    auto *opener = qobject_cast<frmWebsite *>(p.windows.frmWebsite.data());
    ASSERT_TRUE(opener);
    EXPECT_TRUE(opener->Timer1->isActive());
    EXPECT_EQ(opener->Timer1->interval(), 10000);

    click(form, "cmdWebsite");  // still loaded: nothing opens again
    EXPECT_EQ(p.shell->opened.size(), 1);

    // Another page key opens nothing.
    frmWebsite other{*p.ctx, p.windows};
    p.ctx->strWebsitePage = "Elsewhere";
    other.Form_Load();
    EXPECT_EQ(p.shell->opened.size(), 1);

    opener->Timer1_Timer();
    EXPECT_FALSE(p.windows.frmWebsite);
    EXPECT_EQ(ended, 0);  // the main window still runs
    click(form, "cmdWebsite");
    EXPECT_EQ(p.shell->opened.size(), 2);
}

TEST_F(AboutAndHelp, ClosingTheMainWindowWaitsForTheOpenerThenEnds)
{
    // The program ends as it does outside the tests: its event loop quits.
    p.ctx->endProgram = [this] {
        ++ended;
        QCoreApplication::quit();
    };
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    form.show();
    click(form, "cmdWebsite");
    auto *opener = qobject_cast<frmWebsite *>(p.windows.frmWebsite.data());
    ASSERT_TRUE(opener);
    opener->Timer1->start(300);  // its time, shortened
    bool openerDone = false;
    QObject::connect(opener->Timer1, &QTimer::timeout, [&] { openerDone = true; });
    QTimer::singleShot(0, &form, [&] {
        form.close();
        EXPECT_TRUE(MainWindowTestAccess::unloaded(form));
        EXPECT_EQ(ended, 0);
    });
    QTimer bound;  // never reached
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, [] { QCoreApplication::quit(); });
    bound.start(10000);
    QApplication::exec();
    EXPECT_TRUE(openerDone);
    EXPECT_EQ(ended, 1);
    QApplication::setQuitOnLastWindowClosed(true);
}

TEST_F(AboutAndHelp, HelpMenuOpensTheHelpFileWhenItIsThere)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();  // first run, no help file: nothing opens
    EXPECT_TRUE(p.shell->opened.isEmpty());
    EXPECT_EQ(p.machine->attempts, 0);
    EXPECT_EQ(p.ctx->settings().get("showHelp"), "0");

    writeHelpFile();
    chooseMenuItem(form, "mnuHelp", "View Help File");
    EXPECT_EQ(p.shell->opened, QStringList({p.path("Help.html")}));
    EXPECT_EQ(p.machine->value(kMachineKey, "showHelp"), "0");
    EXPECT_FALSE(p.windows.Form8);  // unloaded again
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
}

TEST_F(AboutAndHelp, FirstRunOpensTheHelpAndTheNextRunDoesNot)
{
    writeHelpFile();
    {
        Form1 form{*p.ctx, p.windows};
        form.Form_Load();
    }
    EXPECT_EQ(p.shell->opened.size(), 1);
    EXPECT_EQ(p.ctx->settings().get("showHelp"), "0");
    Form1 again{*p.ctx, p.windows};
    again.Form_Load();
    EXPECT_EQ(p.shell->opened.size(), 1);
}

TEST_F(AboutAndHelp, RefusedMachineWriteAsksAbortRetryOrIgnore)
{
    auto save = [this] { saveMachineSetting(*p.ctx, "Tarnwick", " Settings ", "showHelp", "0"); };

    // Retry until the store takes it.
    p.machine->refusals = 2;
    p.dialogs->answers = {platform::vbRetry, platform::vbRetry};
    save();
    EXPECT_EQ(p.machine->attempts, 3);
    EXPECT_EQ(p.machine->value(kMachineKey, "showHelp"), "0");
    ASSERT_EQ(p.dialogs->boxes.size(), 2);
    EXPECT_EQ(p.dialogs->boxes[0].title, "Permission Denied");
    EXPECT_EQ(p.dialogs->boxes[0].style, platform::vbAbortRetryIgnore);
    EXPECT_EQ(p.dialogs->boxes[0].text, permissionDeniedText("Tarnwick"));
    EXPECT_TRUE(p.dialogs->boxes[0].text.startsWith("Tarnwick requires read/write access to the system registry"));
    EXPECT_TRUE(p.dialogs->boxes[0].text.endsWith("\r\n\r\nIf you would like to prevent this error message from "
                                                  "being displayed again, please press 'Ignore'."));

    // Abort gives up at once and remembers nothing.
    p.machine->values.clear();
    p.machine->refusals = 5;
    p.dialogs->answers = {platform::vbAbort};
    save();
    EXPECT_TRUE(p.machine->values.isEmpty());
    EXPECT_EQ(p.ctx->settings().get("IgnorePermissionDeniedError", "0"), "0");

    // Ignore is remembered: the next refusal is silent.
    p.dialogs->answers = {platform::vbIgnore};
    save();
    EXPECT_EQ(p.ctx->settings().get("IgnorePermissionDeniedError"), "1");
    const qsizetype boxes = p.dialogs->boxes.size();
    save();
    EXPECT_EQ(p.dialogs->boxes.size(), boxes);
}

TEST_F(AboutAndHelp, FileStoreKeepsTheValueOrReportsTheRefusal)
{
    platform::IniMachineSettingsStore store(p.path("machine.ini"));
    QString error;
    ASSERT_TRUE(store.setValue(kMachineKey, "showHelp", "0", &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(p.path("machine.ini")));

    testsupport::writeBytes(p.path("blocker"), "a file, not a folder");
    platform::IniMachineSettingsStore blocked(p.path("blocker/machine.ini"));
    EXPECT_FALSE(blocked.setValue(kMachineKey, "showHelp", "0", &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
