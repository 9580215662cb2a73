// Which window each box and file dialog belongs to, and that the program's
// windows stay over the main window.

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include "platform/listview.h"
#include "shell/mainwindow/form1.h"
#include "shell/windows/emailexport.h"
#include "shell/windows/form4.h"
#include "shell/windows/form4a.h"
#include "shell/windows/listbuilder.h"
#include "shell/windows/optionswindow.h"
#include "shell/windows/siteeditors.h"
#include "support/eventloop.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/windowcontrols.h"
#include "widgets/qtdialogs.h"
#include "widgets/reportview.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::chooseMenuItem;
using testsupport::click;
using testsupport::clickRow;
using testsupport::control;

namespace {

class WindowOwnership : public ::testing::Test {
protected:
    WindowOwnership()
    {
        form.show();
        testsupport::typeMainSite(form, "main.example");
        form.project().addLinkingSite(1, {"partner.example", "1", {}, {}, {}});
        form.project().List1(1)->setSelectedRow(1);
    }
    QWidget *options()
    {
        click(form, "Command9");
        return p.windows.frmOptions;
    }

    testsupport::ShellProgram p;
    AppContext &c = *p.ctx;
    Form1 form{c, p.windows};
};

TEST_F(WindowOwnership, EveryBoxAndFileDialogBelongsToTheWindowThatAsked)
{
    // Each case opens a window, makes it ask and gives the window.
    struct Case {
        const char *name;
        std::function<QWidget *()> ask;
    };
    const auto editor = [this](QPointer<QWidget> &slot, const std::function<void()> &open) {
        open();
        auto *w = qobject_cast<RuleEditorWindow *>(slot.data());
        w->Command1_Click();  // no rule value
        return w;
    };
    const Case cases[] = {
        {"main window",
         [&] {
             click(form, "cmdOpen");
             return &form;
         }},
        {"linking-site editor",
         [&] {
             return editor(p.windows.Form2, [&] {
                 clickRow(MainWindowTestAccess::linkList(form, 1), 1);
                 click(form, "cmdEdit");
             });
         }},
        {"main-site editor",
         [&] {
             return editor(p.windows.Form2a, [&] {
                 clickRow(control<QListView>(form, "List4"), 1);
                 click(form, "cmdEditMain");
             });
         }},
        {"Global Rules Editor",
         [&] { return editor(p.windows.Form2b, [&] { qobject_cast<frmOptions *>(options())->Command1_Click(); }); }},
        {"options",
         [&] {
             auto *w = qobject_cast<frmOptions *>(options());
             w->cmdAdd2_Click();  // no file type
             return w;
         }},
        {"Import Linking Sites",
         [&] {
             click(form, "cmdImport");
             auto *w = qobject_cast<Form4 *>(p.windows.Form4.data());
             p.dialogs->fileAnswers.push_back(p.path("missing.txt"));  // a box says it cannot be read
             w->Command4_Click();
             return w;
         }},
        {"Import Main Sites",
         [&] {
             click(form, "cmdImport2");
             auto *w = qobject_cast<Form4a *>(p.windows.Form4a.data());
             p.dialogs->fileAnswers.push_back(p.path("missing.txt"));
             w->Command4_Click();
             return w;
         }},
        {"e-mail export",
         [&] {
             click(form, "Command2");
             auto *w = qobject_cast<frmExport *>(p.windows.frmExport.data());
             w->Command1_Click();
             return w;
         }},
        {"list builder",
         [&] {
             c.bScanning = true;  // it refuses to start, in a box
             QWidget *w = openListBuilder(*p.ctx, p.windows, form.project(), form.scanner(), form, &form, {});
             testsupport::waitUntil([&] { return !p.dialogs->boxes.isEmpty(); }, 2000);
             c.bScanning = false;
             return w;
         }},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        p.dialogs->boxes.clear();
        p.dialogs->fileRequests.clear();
        p.dialogs->owners.clear();
        const QWidget *asked = k.ask();
        ASSERT_TRUE(asked);
        ASSERT_FALSE(p.dialogs->owners.isEmpty());
        for (const QWidget *owner : std::as_const(p.dialogs->owners))
            EXPECT_EQ(owner, asked);
    }
}

TEST_F(WindowOwnership, TheProgramsWindowsAreTransientForTheMainWindow)
{
    clickRow(MainWindowTestAccess::linkList(form, 1), 1);
    click(form, "cmdEdit");
    clickRow(control<QListView>(form, "List4"), 1);
    click(form, "cmdEditMain");
    qobject_cast<frmOptions *>(options())->Command1_Click();
    click(form, "cmdImport");
    click(form, "cmdImport2");
    click(form, "Command2");
    chooseMenuItem(form, "mnuAbout", "About this software");
    click(form, "cmdPost");  // nothing to post: the log opens all the same
    p.ctx->bScanning = true;     // the list builder shows but starts no search
    openListBuilder(*p.ctx, p.windows, form.project(), form.scanner(), form, &form, {});
    p.ctx->bScanning = false;
    const QPointer<QWidget> windows[] = {p.windows.Form2, p.windows.Form2a, p.windows.Form2b, p.windows.frmOptions, p.windows.Form4,
                                         p.windows.Form4a, p.windows.frmExport, p.windows.frmAbout, p.windows.Form5, p.windows.Form3};
    for (const QPointer<QWidget> &w : windows) {
        ASSERT_TRUE(w);
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_TRUE(w->isVisible());
        ASSERT_TRUE(w->windowHandle());
        EXPECT_EQ(w->windowHandle()->transientParent(), form.windowHandle());
        // The kind the desktop keeps over its parent; a plain window's
        // parent is not told to the window manager.
        EXPECT_EQ(w->windowType(), Qt::Dialog);
    }
}

// The desktop's boxes and dialogs, answered as soon as they show.
TEST(DesktopDialogs, ABoxOrDialogIsAChildOfTheAskingWindowElseOfTheMainWindow)
{
    QWidget main;
    QWidget tool(&main, Qt::Window);
    auto *box = new QLineEdit(&tool);
    platform::QtDialogs desktop(QStringLiteral("Tarnwick"));
    desktop.setMainWindow(&main);
    platform::Dialogs &dialogs = desktop;

    QWidget *parentSeen = nullptr;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            parentSeen = dialog->parentWidget();
            dialog->done(QDialog::Rejected);
        }
    });
    answer.start(10);
    dialogs.msgBox(box, QStringLiteral("From a control of the tool window"));
    EXPECT_EQ(parentSeen, &tool);
    dialogs.msgBox(nullptr, QStringLiteral("From nowhere in particular"));
    EXPECT_EQ(parentSeen, &main);
    parentSeen = nullptr;
    EXPECT_EQ(dialogs.openFile(&tool, {}), QString());
    EXPECT_EQ(parentSeen, &tool);
    parentSeen = nullptr;
    EXPECT_EQ(dialogs.saveFile(box, {}), QString());
    EXPECT_EQ(parentSeen, &tool);
}

} // namespace
