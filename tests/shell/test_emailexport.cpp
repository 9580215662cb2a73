// The e-mail export window and the database buttons of the Reports tab.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "platform/listview.h"
#include "shell/mainwindow/form1.h"
#include "shell/windows/emailexport.h"
#include "support/files.h"
#include "support/shellprogram.h"
#include "support/windowcontrols.h"
#include "workspace/context.h"
#include "workspace/database.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::click;

namespace {

class EmailExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.Form_Load();
        for (const char *address : {"ann@one.example", "bob@two.example"}) {
            db::Database d(databasePath(*p.ctx));
            db::Statement s = d.prepare("INSERT INTO emails (email) VALUES (?1)");
            s.bind(1, QString::fromLatin1(address));
            ASSERT_TRUE(s.run());
        }
        // A result of the last scan, which no deletion may touch.
        form.project().List3->add("main.example", {"partner.example", "Direct Link", "001", "partner.example/"});
    }
    QStringList stored()
    {
        QStringList out;
        readEmails(*p.ctx, out);
        return out;
    }
    frmExport *openExport()
    {
        click(form, "Command2");
        return qobject_cast<frmExport *>(p.windows.frmExport.data());
    }

    testsupport::ShellProgram p;
    Form1 form{*p.ctx, p.windows};
};

TEST_F(EmailExport, EachOutputTypeWritesItsDelimiter)
{
    const struct {
        int type;
        bool space;
        QByteArray bytes;
    } cases[] = {
        {-1, false, "ann@one.example;bob@two.example;\r\n"},
        {-1, true, "ann@one.example; bob@two.example; \r\n"},
        {0, true, "ann@one.example; bob@two.example; \r\n"},
        {1, true, "ann@one.example\tbob@two.example\t\r\n"},
        {2, true, "ann@one.example\r\nbob@two.example\r\n\r\n"},
    };
    for (const auto &c : cases) {
        frmExport *w = openExport();
        ASSERT_TRUE(w);
        EXPECT_EQ(w->Combo1->placeholderText(), "Semi-Colon delimited (;)");
        EXPECT_EQ(w->Combo1->currentIndex(), -1);
        w->Combo1->setCurrentIndex(c.type);
        w->Check2->setChecked(c.space);
        p.dialogs->fileAnswers.push_back(p.path("out.txt"));
        w->Command1->click();
        EXPECT_EQ(testsupport::readBytes(p.path("out.txt")), c.bytes) << c.type << c.space;
        EXPECT_FALSE(w->isVisible());  // the window unloads itself
    }
    EXPECT_EQ(p.dialogs->fileRequests[0].fileName, "export.txt");
    EXPECT_EQ(p.dialogs->fileRequests[0].initDir, p.ctx->programDir());
    EXPECT_EQ(stored().size(), 2);
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());

    // An empty table gives a line end only.
    clearEmails(*p.ctx);
    p.dialogs->fileAnswers.push_back(p.path("empty.txt"));
    openExport()->Command1->click();
    EXPECT_EQ(testsupport::readBytes(p.path("empty.txt")), "\r\n");
}

TEST_F(EmailExport, DeletionIsOfferedAfterAnExportAndKeepsTheResults)
{
    frmExport *w = openExport();
    EXPECT_EQ(openExport(), w);  // one window at a time
    w->Check1->setChecked(true);
    p.dialogs->fileAnswers.push_back(p.path("out.txt"));
    p.dialogs->answers.push_back(platform::vbNo);
    w->Command1->click();
    EXPECT_EQ(p.dialogs->lastText(), "Are you sure you want to delete all emails?");
    EXPECT_EQ(stored().size(), 2);

    w = openExport();
    w->Check1->setChecked(true);
    p.dialogs->fileAnswers.push_back(p.path("out.txt"));
    p.dialogs->answers.push_back(platform::vbYes);
    p.ctx->lLinksFound = 4;
    w->Command1->click();
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(p.ctx->lLinksFound, 0);
    EXPECT_EQ(form.project().List3->count(), 1);
}

TEST_F(EmailExport, CancelOrFailureWritesNothingAndNeverOffersTheDeletion)
{
    frmExport *w = openExport();
    w->Check1->setChecked(true);
    w->Command1->click();  // the file dialog is cancelled
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());

    // The file cannot be written.
    p.dialogs->fileAnswers.push_back(p.path("no such folder/out.txt"));
    w->Command1->click();
    ASSERT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_TRUE(p.dialogs->lastText().startsWith("The file could not be saved."));
    EXPECT_EQ(stored().size(), 2);

    // The database cannot be read.
    testsupport::writeBytes(databasePath(*p.ctx), QByteArray(4096, 'J'));
    p.dialogs->fileAnswers.push_back(p.path("out.txt"));
    w->Command1->click();
    ASSERT_EQ(p.dialogs->boxes.size(), 2);
    EXPECT_TRUE(p.dialogs->lastText().startsWith("The e-mail addresses could not be read."));
    EXPECT_FALSE(QFile::exists(p.path("out.txt")));
    EXPECT_TRUE(w->isVisible());
}

TEST_F(EmailExport, DeleteAllEmailsAsksFirstAndViewDatabaseOpensTheFolder)
{
    p.dialogs->answers.push_back(platform::vbCancel);
    click(form, "Command3");
    ASSERT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_EQ(p.dialogs->boxes[0].title, "Confirm");
    EXPECT_EQ(p.dialogs->boxes[0].text, "Are you sure you want to delete all emails from the database?");
    EXPECT_EQ(p.dialogs->boxes[0].style & 0x0F, platform::vbOKCancel);
    EXPECT_EQ(stored().size(), 2);

    p.dialogs->answers.push_back(platform::vbOK);
    click(form, "Command3");
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(form.project().List3->count(), 1);

    click(form, "cmdViewDatabase");
    EXPECT_EQ(p.shell->opened, QStringList({p.ctx->programDir()}));
}

} // namespace
