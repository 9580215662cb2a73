// Start-up: the main window's load step and the restored options.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <gtest/gtest.h>
#include <stdexcept>

#include "platform/listview.h"
#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/mainwindow/webpanel.h"
#include "shell/skin/skin.h"
#include "shell/windows/splash.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/windowcontrols.h"
#include "widgets/reportview.h"
#include "workspace/project.h"

using namespace tarnwick;
using testsupport::area;
using testsupport::control;
using testsupport::menuItem;

namespace {

const QString kHtml1 = QStringLiteral(
    "Paste all the HTML that you want to come before the links on your page here.  This will be the first part of "
    "your generated webpage.");
const QString kHtml2 =
    QStringLiteral("Your link HTML will be generated here.  This will be the second part of your generated webpage.");
const QString kHtml3 = QStringLiteral(
    "Paste all the HTML that you want to come after the links on your page here.  This will be the third part of "
    "your generated webpage.");

class Startup : public ::testing::Test {
protected:
    Startup() { initBranding(*p.ctx); }

    void store(const QString &key, const QString &value) { p.ctx->settings().set(key, value); }
    QString stored(const QString &key) { return p.ctx->settings().get(key, QStringLiteral("<none>")); }

    testsupport::ShellProgram p;
};

TEST_F(Startup, EmptySettingsGiveEveryDefault)
{
    p.ctx->lPagesScanned = 7;
    p.ctx->lLinksFound = 3;
    p.ctx->bScanning = true;
    Form1 form{*p.ctx, p.windows};
    form.project().bProjectSaved = false;
    form.Form_Load();

    EXPECT_TRUE(control<QRadioButton>(form, "optScript0")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(form, "optAll0")->isChecked());
    EXPECT_TRUE(control<QLineEdit>(form, "txtPost")->isEnabled());
    EXPECT_FALSE(control<QLineEdit>(form, "txtPost2")->isEnabled());
    EXPECT_FALSE(control<QComboBox>(form, "cmbSites")->isEnabled());
    EXPECT_FALSE(control<platform::ReportView>(form, "lstMulti")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "cmdScriptAdd")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "cmdScriptDel")->isEnabled());
    EXPECT_FALSE(control<QComboBox>(form, "Combo3")->isEnabled());
    EXPECT_EQ(control<QComboBox>(form, "Combo1")->currentIndex(), -1);
    EXPECT_EQ(control<QComboBox>(form, "Combo2")->currentIndex(), 0);  // its design-time choice
    EXPECT_TRUE(control<QCheckBox>(form, "chkNewWin")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(form, "chkBullet")->isChecked());
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML1")->toPlainText(), kHtml1);
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML2")->toPlainText(), kHtml2);
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML3")->toPlainText(), kHtml3);
    EXPECT_EQ(control<QComboBox>(form, "cmbLastSearch")->currentIndex(), 0);
    EXPECT_EQ(form.scanner().pageLimit(), 500);
    EXPECT_EQ(p.ctx->lHistEmailFound, 0);
    EXPECT_EQ(p.ctx->lHistWebScanned, 0);
    EXPECT_EQ(p.ctx->lPagesScanned, 0);
    EXPECT_EQ(p.ctx->lLinksFound, 0);
    EXPECT_TRUE(menuItem(form, "mnuScan", "Scan all main sites")->isChecked());
    EXPECT_TRUE(menuItem(form, "mnuSkipPopup", "The current linking site")->isChecked());
    EXPECT_TRUE(MainWindowTestAccess::layoutGeometry(form).bSized);  // the layout ran last and set the column widths

    EXPECT_EQ(form.project().List1(0)->columnHeaders(),
              QStringList({"Website", "#", "HTML Link", "HTML Name", "Description"}));
    EXPECT_EQ(form.project().lstErr->columnHeaders(), QStringList({"Error", "URL"}));
    EXPECT_EQ(form.project().List3->columnHeaders(), QStringList({"Main", "Linking", "Status", "No.", "Link URL"}));

    EXPECT_EQ(form.windowTitle(), "Tarnwick by Brindlecote");
    EXPECT_EQ(control<QPushButton>(form, "cmdWebsite")->text(), "Visit " + p.ctx->strWebsiteURL);
    EXPECT_TRUE(form.project().bProjectSaved);
    EXPECT_FALSE(p.ctx->bScanning);
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());  // no last project, nothing to say

    // The handlers stored what was restored, and the first run is over.
    EXPECT_EQ(stored("optScript"), "0");
    EXPECT_EQ(stored("optAll"), "0");
    EXPECT_EQ(stored("chkNewWin"), "1");
    EXPECT_EQ(stored("chkBullet"), "0");
    EXPECT_EQ(stored("cmbLastSearch"), "0");
    EXPECT_EQ(stored("txtHTML2"), kHtml2);
    EXPECT_EQ(stored("ScanType"), "0");
    EXPECT_EQ(stored("SkipType"), "0");
    EXPECT_EQ(stored("showHelp"), "0");
}

TEST_F(Startup, StoredValuesComeBackAndSetTheDependentControls)
{
    store("optScript", "1");
    store("optAll", "1");
    store("Combo1", "1");
    store("Combo2", "3");
    store("chkNewWin", "0");
    store("chkBullet", "1");
    store("txtHTML1", "<html>\n<body>");
    store("txtHTML2", "");
    store("txtHTML3", "</body></html>");
    store("cmbAdvance", "12");
    store("cmbLastSearch", "1");
    store("lHistEmailFound", "1234567");
    store("lHistWebScanned", "9876543210");
    store("ScanType", "2");
    store("SkipType", "1");
    store("showHelp", "0");

    Form1 form{*p.ctx, p.windows};
    form.Form_Load();

    EXPECT_TRUE(control<QRadioButton>(form, "optScript1")->isChecked());
    EXPECT_FALSE(control<QRadioButton>(form, "optScript0")->isChecked());
    EXPECT_FALSE(control<QLineEdit>(form, "txtPost")->isEnabled());
    EXPECT_TRUE(control<QLineEdit>(form, "txtPost2")->isEnabled());
    EXPECT_TRUE(control<QComboBox>(form, "cmbSites")->isEnabled());
    EXPECT_TRUE(control<platform::ReportView>(form, "lstMulti")->isEnabled());
    EXPECT_TRUE(control<QPushButton>(form, "cmdScriptAdd")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(form, "cmdScriptDel")->isEnabled());  // waits for a row click
    EXPECT_TRUE(control<QRadioButton>(form, "optAll1")->isChecked());
    EXPECT_TRUE(control<QComboBox>(form, "Combo3")->isEnabled());
    EXPECT_EQ(control<QComboBox>(form, "Combo1")->currentText(), "Yahoo Search!");
    EXPECT_EQ(control<QComboBox>(form, "Combo2")->currentText(), "~1000 Domains");
    EXPECT_FALSE(control<QCheckBox>(form, "chkNewWin")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(form, "chkBullet")->isChecked());
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML1")->toPlainText(), "<html>\n<body>");
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML2")->toPlainText(), "");
    EXPECT_EQ(control<QPlainTextEdit>(form, "txtHTML3")->toPlainText(), "</body></html>");
    EXPECT_EQ(form.scanner().pageLimit(), 500000);
    EXPECT_EQ(control<QComboBox>(form, "cmbLastSearch")->currentIndex(), 1);
    EXPECT_EQ(p.ctx->lHistEmailFound, 1234567);
    EXPECT_EQ(p.ctx->lHistWebScanned, 9876543210LL);
    EXPECT_TRUE(menuItem(form, "mnuScan", "Just scan the selected linking site")->isChecked());
    EXPECT_FALSE(menuItem(form, "mnuScan", "Scan all main sites")->isChecked());
    EXPECT_TRUE(menuItem(form, "mnuSkipPopup", "The current main site")->isChecked());
    EXPECT_EQ(stored("showHelp"), "0");
    EXPECT_EQ(stored("Combo2"), "3");
}

TEST_F(Startup, EveryPageLimitIndexAndTheOnesOutsideTheList)
{
    const qint32 limits[] = {1, 10, 50, 100, 500, 1000, 5000, 10000, 20000, 50000, 100000, 200000, 500000};
    Form1 form{*p.ctx, p.windows};
    for (int i = 0; i < 13; ++i) {
        store("cmbAdvance", QString::number(i));
        MainWindowTestAccess::loadSettings(form);
        EXPECT_EQ(form.scanner().pageLimit(), limits[i]) << i;
    }
    // Outside 0..12 the limit in force stays.
    for (const char *bad : {"13", "-1", "99999"}) {
        form.scanner().setPageLimit(50);
        store("cmbAdvance", bad);
        MainWindowTestAccess::loadSettings(form);
        EXPECT_EQ(form.scanner().pageLimit(), 50) << bad;
    }
    // Not a number: the default index, 500 pages.
    store("cmbAdvance", "four");
    MainWindowTestAccess::loadSettings(form);
    EXPECT_EQ(form.scanner().pageLimit(), 500);
}

TEST_F(Startup, CorruptStoredValuesGiveTheirDefaults)
{
    const QList<QPair<QString, QString>> corrupt = {
        {"optScript", "2"},       {"optAll", "-1"},         {"Combo1", "banana"},    {"Combo2", "42"},
        {"chkNewWin", "7"},       {"chkBullet", "yes"},     {"cmbAdvance", "1e3"},   {"cmbLastSearch", "9"},
        {"lHistEmailFound", "-5"}, {"lHistWebScanned", "12abc"}, {"ScanType", "3"}, {"SkipType", "x"},
    };
    for (const auto &kv : corrupt)
        store(kv.first, kv.second);

    Form1 form{*p.ctx, p.windows};
    form.Form_Load();

    EXPECT_TRUE(control<QRadioButton>(form, "optScript0")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(form, "optAll0")->isChecked());
    EXPECT_EQ(control<QComboBox>(form, "Combo1")->currentIndex(), -1);
    EXPECT_EQ(control<QComboBox>(form, "Combo2")->currentIndex(), 0);
    EXPECT_TRUE(control<QCheckBox>(form, "chkNewWin")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(form, "chkBullet")->isChecked());
    EXPECT_EQ(form.scanner().pageLimit(), 500);
    EXPECT_EQ(control<QComboBox>(form, "cmbLastSearch")->currentIndex(), 0);
    EXPECT_EQ(p.ctx->lHistEmailFound, 0);
    EXPECT_EQ(p.ctx->lHistWebScanned, 0);
    EXPECT_TRUE(menuItem(form, "mnuScan", "Scan all main sites")->isChecked());
    EXPECT_TRUE(menuItem(form, "mnuSkipPopup", "The current linking site")->isChecked());
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());

    // The handlers wrote sound values back over the damaged ones.
    EXPECT_EQ(stored("optScript"), "0");
    EXPECT_EQ(stored("chkNewWin"), "1");
    EXPECT_EQ(stored("ScanType"), "0");
}

TEST_F(Startup, BlanksAroundANumberAreAccepted)
{
    store("Combo2", " 4 ");
    store("cmbAdvance", " 0");
    Form1 form{*p.ctx, p.windows};
    MainWindowTestAccess::loadSettings(form);
    EXPECT_EQ(control<QComboBox>(form, "Combo2")->currentIndex(), 4);
    EXPECT_EQ(form.scanner().pageLimit(), 1);
}

TEST_F(Startup, OptionHandlersStoreAtOnce)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();

    control<QRadioButton>(form, "optScript1")->setChecked(true);
    EXPECT_EQ(stored("optScript"), "1");
    EXPECT_FALSE(control<QLineEdit>(form, "txtPost")->isEnabled());
    control<QRadioButton>(form, "optScript0")->setChecked(true);
    EXPECT_EQ(stored("optScript"), "0");
    EXPECT_TRUE(control<QLineEdit>(form, "txtPost")->isEnabled());
    control<QRadioButton>(form, "optAll1")->setChecked(true);
    EXPECT_EQ(stored("optAll"), "1");
    EXPECT_TRUE(control<QComboBox>(form, "Combo3")->isEnabled());
    control<QCheckBox>(form, "chkBullet")->setChecked(true);
    EXPECT_EQ(stored("chkBullet"), "1");
    control<QCheckBox>(form, "chkNewWin")->setChecked(false);
    EXPECT_EQ(stored("chkNewWin"), "0");
    control<QComboBox>(form, "Combo1")->setCurrentIndex(0);
    EXPECT_EQ(stored("Combo1"), "0");
    control<QComboBox>(form, "Combo2")->setCurrentIndex(5);
    EXPECT_EQ(stored("Combo2"), "5");
    control<QComboBox>(form, "cmbLastSearch")->setCurrentIndex(1);
    EXPECT_EQ(stored("cmbLastSearch"), "1");

    // A second start shows the same choices.
    Form1 again{*p.ctx, p.windows};
    again.Form_Load();
    EXPECT_TRUE(control<QRadioButton>(again, "optAll1")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(again, "chkBullet")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(again, "chkNewWin")->isChecked());
    EXPECT_EQ(control<QComboBox>(again, "Combo1")->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>(again, "Combo2")->currentIndex(), 5);
    EXPECT_EQ(control<QComboBox>(again, "cmbLastSearch")->currentIndex(), 1);
}

TEST_F(Startup, LoadStepsRunInOrder)
{
    Form1 form{*p.ctx, p.windows};
    QList<int> steps;
    QString titleAtStep6, headerAtStep5;
    MainWindowTestAccess::onLoadStep(form) = [&](int n) {
        steps << n;
        if (n == 5)
            headerAtStep5 = form.project().List3->columnHeaders().value(2);
        if (n == 6)
            titleAtStep6 = form.windowTitle();
    };
    QStringList navigated;
    area<ResultsPanel>(form)->webTab.navigate = [&](const QString &url) {
        navigated << url;
        EXPECT_EQ(steps.last(), 13);
        EXPECT_EQ(p.ctx->settings().get("showHelp"), "0");  // the help step came first
    };
    form.Form_Load();
    EXPECT_EQ(steps, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(headerAtStep5, "Status");  // the options were loaded before the statistics
    EXPECT_TRUE(titleAtStep6.isEmpty());  // the caption comes with step 6 itself
    EXPECT_EQ(navigated, QStringList({p.ctx->strWebsiteURL}));
}

TEST_F(Startup, AFailingStepFromNineOnIsSkipped)
{
    for (int failing : {9, 10, 11, 12, 13, 14, 15}) {
        testsupport::ShellProgram q;
        initBranding(*q.ctx);
        Form1 form{*q.ctx, q.windows};
        QList<int> steps;
        MainWindowTestAccess::onLoadStep(form) = [&](int n) {
            steps << n;
            if (n == failing)
                throw std::runtime_error("step failed");
        };
        EXPECT_NO_THROW(form.Form_Load()) << failing;
        EXPECT_EQ(steps.size(), 15) << failing;
        // The first-run flag is written unless its own step failed.
        EXPECT_EQ(q.ctx->settings().get("showHelp", "1"), failing == 11 ? "1" : "0") << failing;
    }
}

TEST_F(Startup, TheFirstStepsHaveNoFailureHandling)
{
    Form1 form{*p.ctx, p.windows};
    QList<int> steps;
    MainWindowTestAccess::onLoadStep(form) = [&](int n) {
        steps << n;
        if (n == 4)
            throw std::runtime_error("settings unreadable");
    };
    EXPECT_THROW(form.Form_Load(), std::runtime_error);
    EXPECT_EQ(steps, QList<int>({1, 2, 3, 4}));
}

TEST_F(Startup, AFailingStartPageDoesNotStopTheStart)
{
    Form1 form{*p.ctx, p.windows};
    bool laidOut = false;
    MainWindowTestAccess::onLoadStep(form) = [&](int n) { laidOut = laidOut || n == 15; };
    area<ResultsPanel>(form)->webTab.navigate = [](const QString &) { throw std::runtime_error("no network"); };
    EXPECT_NO_THROW(form.Form_Load());
    EXPECT_TRUE(laidOut);
}

TEST_F(Startup, AMissingLastProjectNeverStopsTheStart)
{
    store("LastProject", p.path("gone/nothing.prj"));
    Form1 form{*p.ctx, p.windows};
    bool laidOut = false;
    MainWindowTestAccess::onLoadStep(form) = [&](int n) { laidOut = laidOut || n == 15; };
    EXPECT_NO_THROW(form.Form_Load());
    EXPECT_TRUE(laidOut);
    EXPECT_EQ(form.project().List4->count(), 0);
}

TEST_F(Startup, LabelsOfTheContainersAreSkinnedOthersStayPlain)
{
    p.windows.objSkin = SkinControl::fromResources();
    Form1 form{*p.ctx, p.windows};
    auto *outside = new QLabel(QStringLiteral("elsewhere"), control<QStatusBar>(form, "StatusBar1"));
    form.Form_Load();
    EXPECT_TRUE(isSkinnedLabel(control<QLabel>(form, "lblblah")));
    EXPECT_TRUE(isSkinnedLabel(control<QLabel>(form, "Label2")));
    EXPECT_TRUE(isSkinnedLabel(area<ResultsPanel>(form)->lblErr));
    EXPECT_FALSE(isSkinnedLabel(outside));
    EXPECT_FALSE(form.styleSheet().isEmpty());  // the skin was applied

    // A caption set later shows on the label itself; no stale copy.
    const int labels = int(form.findChildren<QLabel *>().size());
    control<QLabel>(form, "lblblah")->setText(QStringLiteral("Enter linking sites: new.example"));
    EXPECT_EQ(form.findChildren<QLabel *>().size(), labels);
    EXPECT_EQ(control<QLabel>(form, "lblblah")->text(), "Enter linking sites: new.example");
}

TEST_F(Startup, WithoutTheSkinLabelsStayPlain)
{
    p.ctx->bSkin = false;
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    EXPECT_FALSE(isSkinnedLabel(control<QLabel>(form, "lblblah")));
    EXPECT_TRUE(form.styleSheet().isEmpty());
}

TEST_F(Startup, TheWindowGetsTheProgramIcon)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    const QList<QSize> sizes = form.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

TEST_F(Startup, PerSiteCountersStartAtZero)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    EXPECT_EQ(form.scanner().site().lSiteLinksFound, 0);
    EXPECT_EQ(form.scanner().site().lSitePagesScanned, 0);
    EXPECT_EQ(form.scanner().site().lSitePagesFound, 0);
}

} // namespace
