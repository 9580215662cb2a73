// The main window's load step and the restore of the saved options.

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <climits>

#include "scanner/scanner.h"
#include "shell/failures.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/statistics.h"
#include "shell/skin/skin.h"
#include "shell/windows/helplauncher.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/settingkeys.h"
#include "workspace/storedvalues.h"

namespace tarnwick {

namespace {
// The middle block's restored default reads "generated", the text New puts
// there "generate": both as the program has always shown them.
const QString kHtml2Default =
    QStringLiteral("Your link HTML will be generated here.  This will be the second part of your generated webpage.");

// Sets a control without its own signal, so the caller runs its handler
// exactly once whether or not the value changed.
void selectOption(QRadioButton *const (&group)[2], int index)
{
    const QSignalBlocker b0(group[0]);
    const QSignalBlocker b1(group[1]);
    group[index]->setChecked(true);
}

void setCheck(QCheckBox *box, int value)
{
    const QSignalBlocker block(box);
    box->setChecked(value == 1);
}

void setListIndex(QComboBox *combo, int index)
{
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index);
}
} // namespace

void Form1::Form_Load()
{
    auto step = [this](int n) {
        if (onLoadStep)
            onLoadStep(n);
    };

    step(1);
    vistaSkinHelper(m_ctx, m_windows);
    step(2);
    m_project->bProjectSaved = true;
    m_project->bJustLoaded = false;
    step(3);
    SetIcon(this, QStringLiteral("AAA"), true);
    step(4);
    loadSettings();
    step(5);
    statistics->StatsD();
    step(6);
    setWindowTitle(m_ctx.strProductName + QStringLiteral(" by ") + m_ctx.strCompanyName);
    step(7);
    cmdWebsite->setText(QStringLiteral("Visit ") + m_ctx.strWebsiteURL);
    step(8);
    m_ctx.bScanning = false;

    // From here a failing step is skipped and the load goes on: a missing
    // last project, help file or start page never stops the start.
    auto guarded = [&](int n, const auto &body) { ignoringFailures([&] { step(n); body(); }); };

    guarded(9, [this] { skinWindow(m_ctx, m_windows, this, skinLabelContainers()); });
    guarded(10, [this] {
        const QString path = m_ctx.settings().get(key::LastProject, QString());
        if (!path.isEmpty())
            openProject(path);
    });
    guarded(11, [this] {
        if (m_ctx.settings().get(key::showHelp, QStringLiteral("1")) != QLatin1String("1"))
            return;
        showHelpFile(m_ctx, m_windows, this);
        m_ctx.settings().set(key::showHelp, QStringLiteral("0"));
    });
    // The scanner's per-site counters start at zero with the scanner.
    guarded(12, [] {});
    guarded(13, [this] {
        if (results->webTab.navigate)
            results->webTab.navigate(m_ctx.strWebsiteURL);
    });
    guarded(14, [this] { m_ctx.yieldToEventLoop(); });
    guarded(15, [this] { resizeControls(); });
}

void Form1::loadSettings()
{
    platform::SettingsStore &s = m_ctx.settings();

    // 1. Posting mode and link-page scope.
    const int script = storedNumber(s, key::optScript, 0, 0, 1);
    selectOption(optScript, script);
    optScript_Click(script);
    const int scope = storedNumber(s, key::optAll, 0, 0, 1);
    selectOption(optAll, scope);
    optAll_Click(scope);

    // 2, 3. Layout flag and the counters of this run.
    bSized = false;
    m_ctx.lPagesScanned = 0;
    m_ctx.lPagesFound = 0;
    m_ctx.lLinksFound = 0;

    // 4-6.
    setListIndex(Combo1, storedNumber(s, key::Combo1, -1, -1, Combo1->count() - 1));
    Combo1_Click();
    setCheck(chkNewWin, storedNumber(s, key::chkNewWin, 1, 0, 1));
    chkNewWin_Click();
    setCheck(chkBullet, storedNumber(s, key::chkBullet, 0, 0, 1));
    chkBullet_Click();

    // 7-9. The link-page blocks; their change handlers store them again.
    showBlock(txtHTML1, s.get(key::txtHTML1, kHtml1Placeholder));
    showBlock(txtHTML2, s.get(key::txtHTML2, kHtml2Default));
    showBlock(txtHTML3, s.get(key::txtHTML3, kHtml3Placeholder));

    // 10, 11.
    const int advance = storedNumber(s, key::cmbAdvance, 4, INT_MIN, INT_MAX);
    setListIndex(cmbLastSearch, storedNumber(s, key::cmbLastSearch, 0, -1, cmbLastSearch->count() - 1));
    cmbLastSearch_Change();

    // 12, 13. A negative index keeps the design-time choice.
    int k = storedNumber(s, key::Combo1, -1, -1, Combo1->count() - 1);
    if (k >= 0) {
        setListIndex(Combo1, k);
        Combo1_Click();
    }
    k = storedNumber(s, key::Combo2, -1, -1, Combo2->count() - 1);
    if (k >= 0) {
        setListIndex(Combo2, k);
        Combo2_Click();
    }

    // 14. An index outside the list keeps the limit in force.
    m_scanner->setPageLimit(pageLimitForIndex(advance, m_scanner->pageLimit()));

    // 15. Lifetime counters.
    m_ctx.lHistEmailFound = storedCounter(s, key::lHistEmailFound);
    m_ctx.lHistWebScanned = storedCounter(s, key::lHistWebScanned);

    // 16. Column headers. At start-up only the template linking-site list
    // exists; the lists of main sites copy its headers when they are made.
    m_project->List1(0)->setColumnHeaders({QStringLiteral("Website"), QStringLiteral("#"), QStringLiteral("HTML Link"),
                                QStringLiteral("HTML Name"), QStringLiteral("Description")});
    m_project->lstErr->setColumnHeaders({QStringLiteral("Error"), QStringLiteral("URL")});
    m_project->List3->setColumnHeaders({QStringLiteral("Main"), QStringLiteral("Linking"), QStringLiteral("Status"),
                             QStringLiteral("No."), QStringLiteral("Link URL")});

    // 17. Scan type and skip type, through their menu handlers.
    mnuScanItem_Click(storedNumber(s, key::ScanType, 0, 0, int(mnuScanItem.size()) - 1));
    mnuSkipItem_Click(storedNumber(s, key::SkipType, 0, 0, int(mnuSkipItem.size()) - 1));
}

} // namespace tarnwick
