// The main window's option controls: link-page and posting choices, the
// list builder's choices and the end-of-list choice, each stored as it
// changes; and the Options button that opens the scanning options.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QPlainTextEdit>
#include <QStatusBar>

#include "shell/mainwindow/form1.h"
#include "shell/windowregistry.h"
#include "shell/windows/modeless.h"
#include "shell/windows/optionswindow.h"
#include "widgets/reportview.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/settingkeys.h"

namespace tarnwick {

void Form1::buildOptionControls()
{
    // Controls that no tab shows (the list builder's choices) wait in a
    // hidden holder, so their values and handlers already work.
    m_shellOptions = new QWidget(m_central);
    m_shellOptions->setObjectName(QStringLiteral("shellOptions"));
    m_shellOptions->hide();

    auto *scriptGroup = new QButtonGroup(this);
    optScript[0] = new QRadioButton(QStringLiteral("Post results to one URL only:"), framePost);
    optScript[1] = new QRadioButton(QStringLiteral("Post results to a different URL for each Main Site:"), framePost);
    auto *scopeGroup = new QButtonGroup(this);
    optAll[0] = new QRadioButton(QStringLiteral("Generate links for all Main Sites"), Frame5);
    optAll[1] = new QRadioButton(QStringLiteral("Generate links for:"), Frame5);
    for (int i = 0; i < 2; ++i) {
        optScript[i]->setObjectName(QStringLiteral("optScript%1").arg(i));
        optAll[i]->setObjectName(QStringLiteral("optAll%1").arg(i));
        scriptGroup->addButton(optScript[i], i);
        scopeGroup->addButton(optAll[i], i);
    }
    optScript[0]->setChecked(true);
    optAll[0]->setChecked(true);

    Combo3 = new QComboBox(Frame5);
    Combo3->setObjectName(QStringLiteral("Combo3"));
    Combo3->setPlaceholderText(QStringLiteral("Select"));
    Combo3->setEnabled(false);
    chkBullet = new QCheckBox(QStringLiteral("Bulleted List"), Frame5);
    chkBullet->setObjectName(QStringLiteral("chkBullet"));
    chkNewWin = new QCheckBox(QStringLiteral("Links open in new window"), Frame5);
    chkNewWin->setObjectName(QStringLiteral("chkNewWin"));
    chkNewWin->setChecked(true);

    Combo1 = new QComboBox(m_shellOptions);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setToolTip(QStringLiteral("Which Search Type?"));
    Combo1->addItems({QStringLiteral("Google Search"), QStringLiteral("Yahoo Search!")});
    Combo1->setCurrentIndex(-1);
    Combo2 = new QComboBox(m_shellOptions);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setToolTip(QStringLiteral("How Many Search Results?"));
    Combo2->addItems({QStringLiteral("~100 Domains"), QStringLiteral("~200 Domains"), QStringLiteral("~500 Domains"),
                      QStringLiteral("~1000 Domains"), QStringLiteral("~5000 Domains"),
                      QStringLiteral("~10000 Domains!")});
    Combo2->setCurrentIndex(0);
    txtSearch = new QLineEdit(m_shellOptions);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));

    cmbLastSearch = new QComboBox(Frame6);
    cmbLastSearch->setObjectName(QStringLiteral("cmbLastSearch"));
    cmbLastSearch->addItems({QStringLiteral("Stop Immediately"), QStringLiteral("Continue Until Stopped!")});
    cmbLastSearch->setCurrentIndex(0);

    cmdScriptAdd = new QPushButton(QStringLiteral("Add"), framePost);
    cmdScriptAdd->setObjectName(QStringLiteral("cmdScriptAdd"));
    cmdScriptDel = new QPushButton(QStringLiteral("Delete"), framePost);
    cmdScriptDel->setObjectName(QStringLiteral("cmdScriptDel"));

    // The link-page blocks and the posting targets.
    txtHTML1 = new QPlainTextEdit(Frame5);
    txtHTML2 = new QPlainTextEdit(Frame5);
    txtHTML3 = new QPlainTextEdit(Frame5);
    txtHTML1->setObjectName(QStringLiteral("txtHTML1"));
    txtHTML2->setObjectName(QStringLiteral("txtHTML2"));
    txtHTML3->setObjectName(QStringLiteral("txtHTML3"));
    txtPost = new QLineEdit(QStringLiteral("http://"), framePost);
    txtPost2 = new QLineEdit(QStringLiteral("http://"), framePost);
    txtPost->setObjectName(QStringLiteral("txtPost"));
    txtPost2->setObjectName(QStringLiteral("txtPost2"));
    cmbSites = new QComboBox(framePost);
    cmbSites->setObjectName(QStringLiteral("cmbSites"));
    cmbSites->setEditable(true);
    cmbSites->lineEdit()->setPlaceholderText(QStringLiteral("Select"));
    lstMultiView = new platform::ReportView(framePost);
    lstMultiView->setObjectName(QStringLiteral("lstMulti"));
    lstMultiView->setListView(m_project->lstMulti);

    // The design-time state of the posting controls matches optScript(0).
    enablePostTargets(0);

    Command9 = new QPushButton(QStringLiteral("Options"), m_central);
    Command9->setObjectName(QStringLiteral("Command9"));
    Command9->setToolTip(QStringLiteral("Open the options menu"));
    connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });

    cmdWebsite = new QPushButton(m_central);
    cmdWebsite->setObjectName(QStringLiteral("cmdWebsite"));
    cmdWebsite->setFlat(true);
    cmdWebsite->setCursor(Qt::PointingHandCursor);
    cmdWebsite->setToolTip(QStringLiteral("Visit our website"));

    for (int i = 0; i < 2; ++i) {
        connect(optScript[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optScript_Click(i);
        });
        connect(optAll[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                optAll_Click(i);
        });
    }
    connect(chkBullet, &QCheckBox::toggled, this, [this] { chkBullet_Click(); });
    connect(chkNewWin, &QCheckBox::toggled, this, [this] { chkNewWin_Click(); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Combo2, &QComboBox::currentIndexChanged, this, [this] { Combo2_Click(); });
    connect(cmbLastSearch, &QComboBox::currentIndexChanged, this, [this] { cmbLastSearch_Change(); });
    connect(cmdWebsite, &QPushButton::clicked, this, [this] { cmdWebsite_Click(); });
}

void Form1::enablePostTargets(int index)
{
    const bool single = index == 0;
    txtPost->setEnabled(single);
    lstMultiView->setEnabled(!single);
    cmbSites->setEnabled(!single);
    txtPost2->setEnabled(!single);
    cmdScriptAdd->setEnabled(!single);
    // The delete button waits for a row of the list to be clicked.
    cmdScriptDel->setEnabled(false);
}

void Form1::optScript_Click(int index)
{
    if (index < 0 || index > 1)
        return;
    m_ctx.settings().set(key::optScript, QString::number(index));
    enablePostTargets(index);
}

void Form1::optAll_Click(int index)
{
    if (index < 0 || index > 1)
        return;
    m_ctx.settings().set(key::optAll, QString::number(index));
    Combo3->setEnabled(index == 1);
}

void Form1::chkBullet_Click()
{
    m_ctx.settings().set(key::chkBullet, chkBullet->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Form1::chkNewWin_Click()
{
    m_ctx.settings().set(key::chkNewWin, chkNewWin->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Form1::Combo1_Click()
{
    m_ctx.settings().set(key::Combo1, QString::number(Combo1->currentIndex()));
}

void Form1::Combo2_Click()
{
    m_ctx.settings().set(key::Combo2, QString::number(Combo2->currentIndex()));
}

void Form1::cmbLastSearch_Change()
{
    m_ctx.settings().set(key::cmbLastSearch, QString::number(cmbLastSearch->currentIndex()));
}

void Form1::Command9_Click()
{
    showSingleWindow(m_windows.frmOptions, [this]() -> QWidget * {
        auto *w = new frmOptions(m_ctx, m_windows, *m_project, this);
        w->Form_Load();
        return w;
    });
}

} // namespace tarnwick
