// What a screen reader calls the controls and lists of the main window and
// the import window: each its own caption, never the title of its frame.

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/windows/form4.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/windowcontrols.h"
#include "widgets/fixedrowview.h"
#include "widgets/reportview.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::area;
using testsupport::click;
using testsupport::control;

TEST(AccessibleNames, ControlsAndListsAreReadOutByTheirOwnCaptions)
{
    testsupport::ShellProgram p;
    Form1 form{*p.ctx, p.windows};
    testsupport::typeMainSite(form, "mine.example");
    form.project().bProjectSaved = true;
    click(form, "cmdImport");
    auto *import = qobject_cast<Form4 *>(p.windows.Form4.data());
    ASSERT_TRUE(import);

    const struct {
        QWidget *control;
        QString name;
    } cases[] = {
        {control<QPlainTextEdit>(form, "txtHTML1"), "HTML before the links:"},
        {control<QPlainTextEdit>(form, "txtHTML2"), "Generated links"},
        {control<QPlainTextEdit>(form, "txtHTML3"), "HTML after the links:"},
        {control<QComboBox>(form, "Combo3"), "Generate links for:"},
        {import->Option1[0], import->Option1Caption[0]->text()},
        {import->Option1[1], import->Option1Caption[1]->text()},
        {import->Text1, "Simple URL:"},
        {import->Text2, "Advanced URL:"},
        {area<ResultsPanel>(form)->lstErrView, "Errors/Warnings:"},
        {MainWindowTestAccess::linkList(form, 1), "Enter linking sites: mine.example"},
        {area<StatisticsPanel>(form)->List2View, "Webpages Queued:"},
        {import->ListView1View, import->Label9->text()},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(c.control);
        SCOPED_TRACE(c.control->objectName().toStdString());
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(c.control);
        ASSERT_TRUE(iface);
        EXPECT_EQ(iface->text(QAccessible::Name), c.name);
    }
}
