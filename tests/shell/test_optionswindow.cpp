// The "Scanning Options" window.

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "shell/mainwindow/form1.h"
#include "shell/windows/optionswindow.h"
#include "shell/windows/siteeditors.h"
#include "support/files.h"
#include "support/keys.h"
#include "support/shellprogram.h"
#include "support/windowcontrols.h"

using namespace tarnwick;
using testsupport::click;

namespace {

using testsupport::pressEnter;

class OptionsWindow : public ::testing::Test {
protected:
    frmOptions *open()
    {
        click(form, "Command9");
        return qobject_cast<frmOptions *>(p.windows.frmOptions.data());
    }
    QString stored(const QString &key) { return p.ctx->settings().get(key, "<none>"); }

    testsupport::ShellProgram p;
    Form1 form{*p.ctx, p.windows};
};

TEST_F(OptionsWindow, AnEmptyStoreShowsTheDefaultsAndOneWindowServes)
{
    frmOptions *w = open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Scanning Options");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->txtTimeout->text(), "60");
    EXPECT_EQ(w->txtAutoSave->text(), "5");
    EXPECT_EQ(w->cmbAdvance->currentText(), "500");
    EXPECT_EQ(stored("cmbAdvance"), "4");
    const std::pair<QCheckBox *, bool> checks[] = {
        {w->chkAuto, true},       {w->chkAuto2, true},         {w->chkRedirect, true},
        {w->chkLog, false},       {w->chkUpdate, true},        {w->chkAudioNext, true},
        {w->chkAudioEmail, true}, {w->chkAudioFinished, true}, {w->chkAutoSave, false},
        {w->chkFileTypes, true}};
    for (const auto &[box, on] : checks)
        EXPECT_EQ(box->isChecked(), on) << box->objectName().toStdString();
    EXPECT_EQ(w->findChild<QLabel *>("lblAfter")->text(), "After               seconds");
    EXPECT_FALSE(w->cmdAdd2->isEnabled());
    EXPECT_EQ(open(), w);
}

TEST_F(OptionsWindow, StoredValuesLoadAndEveryChangeIsStored)
{
    p.ctx->settings().set("cmbAdvance", "13");
    p.ctx->settings().set("txtAutoSave", "17");  // read back as "txtAutosave"
    p.ctx->settings().set("txtTimeout", "zz");
    p.ctx->settings().set("chkLog", "1");
    frmOptions *w = open();
    EXPECT_EQ(w->cmbAdvance->currentIndex(), 4);
    EXPECT_EQ(stored("cmbAdvance"), "4");
    EXPECT_EQ(w->txtAutoSave->text(), "17");
    EXPECT_EQ(w->txtTimeout->text(), "60");
    EXPECT_EQ(stored("txtTimeout"), "60");
    EXPECT_TRUE(w->chkLog->isChecked());

    w->chkLog->click();
    EXPECT_EQ(stored("chkLog"), "0");
    w->chkAutoSave->click();
    EXPECT_EQ(stored("chkAutoSave"), "1");
    w->cmbAdvance->setCurrentIndex(12);
    EXPECT_EQ(stored("cmbAdvance"), "12");

    const std::pair<const char *, const char *> timeouts[] = {
        {"abc", "60"}, {"-5", "-5"}, {"40000", "60"}, {"2.5", "2.5"}, {"", "2.5"}};
    for (const auto &[typed, kept] : timeouts) {
        w->txtTimeout->setText(typed);
        EXPECT_EQ(stored("txtTimeout"), kept) << typed;
    }
    EXPECT_EQ(w->txtTimeout->text(), "");
    w->txtAutoSave->setText("x9");
    EXPECT_EQ(w->txtAutoSave->text(), "5");
    EXPECT_EQ(stored("txtAutoSave"), "5");
}

TEST_F(OptionsWindow, AHalfTypedNumberWaitsUntilTheBoxIsLeft)
{
    frmOptions *w = open();
    QLineEdit *box = w->txtTimeout;
    box->clear();
    testsupport::typeKeys(box, "-5");
    EXPECT_EQ(box->text(), "-5");
    EXPECT_EQ(stored("txtTimeout"), "-5");

    // Left with a lone sign, the box takes the default.
    testsupport::pressBackspace(box);
    EXPECT_EQ(box->text(), "-");
    EXPECT_EQ(stored("txtTimeout"), "-5");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
    EXPECT_EQ(box->text(), "60");
    EXPECT_EQ(stored("txtTimeout"), "60");

    // Closed with one, too; letters still go at once.
    testsupport::typeKeys(w->txtAutoSave, "x");
    EXPECT_EQ(w->txtAutoSave->text(), "5");
    w->txtAutoSave->clear();
    testsupport::typeKeys(w->txtAutoSave, "9");
    testsupport::pressBackspace(w->txtAutoSave);
    testsupport::typeKeys(w->txtAutoSave, "+");
    EXPECT_EQ(stored("txtAutoSave"), "9");
    w->close();
    EXPECT_EQ(stored("txtAutoSave"), "5");

    // A lone sign in the store is no value being typed.
    p.ctx->settings().set("txtTimeout", "-");
    EXPECT_EQ(open()->txtTimeout->text(), "60");
}

TEST_F(OptionsWindow, FileTypesAreAddedAndDeletedInTheFile)
{
    const QString path = p.path("filetypes.txt");
    testsupport::writeBytes(path, "\r\n.htm\r\n \r\n.php\r\n");
    frmOptions *w = open();
    ASSERT_EQ(w->List1->count(), 2);

    pressEnter(w->txtDomain);  // nothing typed
    EXPECT_EQ(p.dialogs->lastText(), "Please enter a file extension first.");
    EXPECT_EQ(p.dialogs->boxes.last().title, "Tarnwick");
    EXPECT_EQ(testsupport::readBytes(path), QByteArray("\r\n.htm\r\n \r\n.php\r\n"));

    w->txtDomain->setText("..Asp");
    EXPECT_TRUE(w->cmdAdd2->isEnabled());
    pressEnter(w->txtDomain);
    EXPECT_EQ(w->txtDomain->text(), "");
    EXPECT_EQ(testsupport::readBytes(path), QByteArray(".htm\r\n.php\r\n.Asp\r\n"));

    w->cmdDelete_Click();  // nothing selected
    EXPECT_EQ(w->List1->count(), 3);
    w->List1->setCurrentRow(0);
    ASSERT_TRUE(w->cmdDelete->isEnabled());
    w->cmdDelete->click();
    EXPECT_EQ(testsupport::readBytes(path), QByteArray(".php\r\n.Asp\r\n"));
    EXPECT_FALSE(w->cmdDelete->isEnabled());
    w->List1->setCurrentRow(0);
    w->cmdDelete->click();
    w->List1->setCurrentRow(0);
    w->cmdDelete->click();
    EXPECT_EQ(testsupport::readBytes(path), QByteArray());
}

TEST_F(OptionsWindow, TheGlobalRulesButtonOpensOneEditor)
{
    frmOptions *w = open();
    w->Command1->click();
    QWidget *editor = p.windows.Form2b;
    ASSERT_TRUE(qobject_cast<Form2b *>(editor));
    EXPECT_TRUE(editor->isVisible());
    w->Command1->click();
    EXPECT_EQ(p.windows.Form2b.data(), editor);
}

} // namespace
