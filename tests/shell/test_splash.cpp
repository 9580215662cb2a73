// The splash window: branding, skin set-up and the tick count that loads
// the main window.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/mainwindow/webpanel.h"
#include "shell/skin/skin.h"
#include "shell/windows/splash.h"
#include "support/shellprogram.h"
#include "widgets/reportview.h"
#include "workspace/project.h"

using namespace tarnwick;

namespace {

class Splash : public ::testing::Test {
protected:
    Splash()
    {
        splash.showMainWindow = [this](Form1 &form) {
            ++shows;
            shownWindow = &form;
        };
    }

    testsupport::ShellProgram p;
    frmSplash splash{*p.ctx, p.windows};
    int shows = 0;
    Form1 *shownWindow = nullptr;
};

TEST(Branding, FillsTheValuesAndTurnsTheSkinOn)
{
    testsupport::ShellProgram p;
    initBranding(*p.ctx);
    EXPECT_EQ(p.ctx->strProductName, "Tarnwick");
    EXPECT_EQ(p.ctx->strCompanyName, "Brindlecote");
    EXPECT_FALSE(p.ctx->strWebsiteURL.isEmpty());
    EXPECT_TRUE(p.ctx->bSkin);
    const QString url = p.ctx->strWebsiteURL;
    p.ctx->bSkin = false;
    initBranding(*p.ctx);  // again: the same values
    EXPECT_EQ(p.ctx->strWebsiteURL, url);
    EXPECT_TRUE(p.ctx->bSkin);
    EXPECT_EQ(programVersionText(),
              QString::number(TARNWICK_VERSION_MAJOR) + "." + QString::number(TARNWICK_VERSION_MINOR));
}

TEST_F(Splash, LoadSetsUpTheSkinAndStartsTheTimer)
{
    splash.Form_Load();
    EXPECT_TRUE(p.ctx->bSkin);
    EXPECT_EQ(p.windows.objSkin, splash.skn);
    ASSERT_TRUE(p.windows.objSkinHelper);
    EXPECT_TRUE(p.windows.objSkinHelper->attached());
    EXPECT_TRUE(p.windows.objSkinHelper->started());
    EXPECT_FALSE(splash.styleSheet().isEmpty());
    EXPECT_FALSE(splash.Image1->pixmap().isNull());
    EXPECT_TRUE(splash.Timer2->isActive());
    EXPECT_EQ(splash.Timer2->interval(), 2);
    EXPECT_EQ(splash.mainWindow(), nullptr);
}

TEST_F(Splash, SeventyFiveTicksLoadAndShowTheMainWindowOnce)
{
    splash.Form_Load();
    splash.Timer2->stop();  // the test ticks by hand
    for (int i = 0; i < 74; ++i)
        splash.Timer2_Timer();
    EXPECT_EQ(splash.tickCount(), 148);
    EXPECT_EQ(splash.mainWindow(), nullptr);
    EXPECT_EQ(shows, 0);

    splash.Timer2_Timer();
    ASSERT_NE(splash.mainWindow(), nullptr);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(shownWindow, splash.mainWindow());
    EXPECT_TRUE(splash.isHidden());
    EXPECT_FALSE(splash.Timer2->isActive());
    // The main window's load step ran.
    EXPECT_EQ(splash.mainWindow()->windowTitle(), "Tarnwick by Brindlecote");

    // A late tick changes nothing.
    Form1 *first = splash.mainWindow();
    splash.Timer2_Timer();
    EXPECT_EQ(splash.mainWindow(), first);
    EXPECT_EQ(shows, 1);
}

TEST_F(Splash, TheRunningTimerLoadsTheMainWindow)
{
    Form1 *created = nullptr;
    splash.onMainWindowCreated = [&](Form1 &form) { created = &form; };
    splash.Form_Load();
    const QDeadlineTimer deadline(10000);
    while (!splash.mainWindow() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_NE(splash.mainWindow(), nullptr);
    EXPECT_EQ(created, splash.mainWindow());
    EXPECT_EQ(splash.tickCount(), 150);
    EXPECT_EQ(shows, 1);
    EXPECT_FALSE(splash.Timer2->isActive());
}

} // namespace
