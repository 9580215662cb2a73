// The link page from the main window: Generate fills the middle block, Save
// writes the page.

#include <QCheckBox>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include "shell/mainwindow/form1.h"
#include "support/files.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/windowcontrols.h"
#include "workspace/project.h"
#include "workspace/results.h"

using namespace tarnwick;
using testsupport::click;
using testsupport::control;

namespace {

TEST(LinkPageWindow, GenerateFillsTheMiddleBlockAndSaveWritesThePage)
{
    testsupport::ShellProgram p;
    Form1 form{*p.ctx, p.windows};
    click(form, "Command5");
    EXPECT_EQ(p.dialogs->lastText(),
              "No links were found in your Links List to generate HTML from.  Please scan for links first.");

    testsupport::typeMainSite(form, "http://www.main.example");
    addResultRow(*form.project().List3, ResultRow{kIconLink, "main.example", "p.example", "Direct Link", "001", "p.example/p"});
    control<QCheckBox>(form, "chkNewWin")->setChecked(false);
    control<QCheckBox>(form, "chkBullet")->setChecked(true);
    control<QPlainTextEdit>(form, "txtHTML1")->setPlainText("top\nline");
    control<QPlainTextEdit>(form, "txtHTML3")->setPlainText("end");
    click(form, "Command5");
    EXPECT_EQ(form.project().html(2), "<li><a href=\"http://p.example\">p.example</a></li><br><br>\n");

    p.dialogs->fileAnswers.push_back(p.path("links.htm"));
    click(form, "Command6");
    ASSERT_EQ(p.dialogs->fileRequests.size(), 1);
    EXPECT_EQ(p.dialogs->fileRequests[0].initDir, p.ctx->programDir());
    EXPECT_EQ(testsupport::readBytes(p.path("links.htm")),
              "top\r\nline\r\n\r\n<li><a href=\"http://p.example\">p.example</a></li><br><br>\r\n\r\n\r\nend\r\n");
}

} // namespace
