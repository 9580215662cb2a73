// The main window's menus, its tab strip and the controls of the tabs, the
// Web tab's browser, the statistics panel and the shut-down.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>

#include "scanner/scanner.h"
#include "shell/failures.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/tabstrip.h"
#include "shell/mainwindow/webbrowser.h"
#include "shell/mainwindow/webpanel.h"
#include "shell/skin/skin.h"
#include "shell/windowregistry.h"
#include "shell/windows/aboutbox.h"
#include "shell/windows/controls.h"
#include "shell/windows/helplauncher.h"
#include "shell/windows/modeless.h"
#include "shell/windows/websiteopener.h"
#include "widgets/reportview.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

void Form1::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    mnuFile = bar->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    struct Item {
        QString caption;
        QKeySequence shortcut;
        bool visible;
    };
    const Item fileItems[] = {
        {QStringLiteral("New Project"), QKeySequence(Qt::CTRL | Qt::Key_N), true},
        {QStringLiteral("Open Project"), QKeySequence(Qt::CTRL | Qt::Key_O), true},
        {QStringLiteral("Import Project"), QKeySequence(), false},
        {QStringLiteral("Save Project"), QKeySequence(Qt::CTRL | Qt::Key_S), true},
        {QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q), true},
    };
    for (const Item &item : fileItems) {
        QAction *a = mnuFile->addAction(item.caption);
        a->setShortcut(item.shortcut);
        a->setVisible(item.visible);
        const int index = int(mnuFileItem.size());
        connect(a, &QAction::triggered, this, [this, index] { mnuFileItem_Click(index); });
        mnuFileItem << a;
    }
    connect(mnuFile, &QMenu::aboutToShow, this, [this] { syncFileMenu(); });

    // The scan-type menu is also the pop-up of its button; its last item is
    // never shown.
    bar->addMenu(mnuScan);
    mnuScan->setObjectName(QStringLiteral("mnuScan"));
    if (mnuScanItem.size() > 2)
        mnuScanItem[2]->setVisible(false);
    mnuSkipPopup->setObjectName(QStringLiteral("mnuSkipPopup"));

    mnuHelp = bar->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    QAction *help = mnuHelp->addAction(QStringLiteral("View Help File"));
    connect(help, &QAction::triggered, this, [this] { mnuHelpItem_Click(0); });
    mnuHelpItem << help;

    mnuAbout = bar->addMenu(QStringLiteral("About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    QAction *about = mnuAbout->addAction(QStringLiteral("About this software"));
    connect(about, &QAction::triggered, this, [this] { mnuAboutItem_Click(0); });
    mnuAboutItem << about;

    mnuPopup1Item = Popup1->actions();
}

void Form1::buildTabs()
{
    QStyle *st = style();
    TabStrip1->addTab(QStringLiteral("Links"), QStringLiteral("View Link Results"),
                      st->standardIcon(QStyle::SP_FileDialogDetailedView));
    TabStrip1->addTab(QStringLiteral("Web"), QStringLiteral("Visit Linking Sites"),
                      st->standardIcon(QStyle::SP_DriveNetIcon));
    TabStrip1->addTab(QStringLiteral("Pages"), QStringLiteral("Create link pages based on results"),
                      st->standardIcon(QStyle::SP_FileIcon));
    TabStrip1->addTab(QStringLiteral("Reports"), QStringLiteral("View Reports"),
                      st->standardIcon(QStyle::SP_FileDialogContentsView));
    TabStrip1->addTab(QStringLiteral("Post"), QStringLiteral("Post links to a database"),
                      st->standardIcon(QStyle::SP_ArrowUp));
    connect(TabStrip1, &TabStrip::clicked, this, [this] { TabStrip1_Click(); });

    // Web tab; the results list opens its rows here.
    web = new WebPanel(m_ctx, m_windows, Frame2, this);
    results->webTab.show = [this] { TabStrip1->setSelectedIndex(2); };
    results->webTab.setAddress = [this](const QString &address) { web->txtURL->setText(address); };
    results->webTab.setSilent = [this](bool on) { web->WebBrowser1->setSilent(on); };
    results->webTab.navigate = [this](const QString &address) { web->WebBrowser1->navigate(address); };

    // Pages tab.
    lblHTML1 = makeLabel(QStringLiteral("HTML before the links:"), QStringLiteral("lblHTML1"), Frame5);
    Label14 = makeLabel(QStringLiteral("HTML after the links:"), QStringLiteral("Label14"), Frame5);
    nameByLabel(txtHTML1, lblHTML1);
    nameByLabel(txtHTML3, Label14);
    // The middle block has no caption on screen; the chooser's is the option
    // beside it.
    txtHTML2->setAccessibleName(QStringLiteral("Generated links"));
    Combo3->setAccessibleName(optAll[1]->text());
    Command5 = makeButton(QStringLiteral("Generate Links"), QString(), QStringLiteral("Command5"), Frame5);
    Command6 = makeButton(QStringLiteral("Save Webpage"), QString(), QStringLiteral("Command6"), Frame5);

    // Reports tab: the e-mail database's buttons.
    Command2 = makeButton(QStringLiteral("Export Emails"), QString(), QStringLiteral("Command2"), Frame2);
    Command3 = makeButton(QStringLiteral("Delete All Emails"), QString(), QStringLiteral("Command3"), Frame2);
    cmdViewDatabase = makeButton(QStringLiteral("View Database"), QString(), QStringLiteral("cmdViewDatabase"), Frame2);
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(cmdViewDatabase, &QPushButton::clicked, this, [this] { cmdViewDatabase_Click(); });

    // Post tab.
    SkinLabel9 = makeLabel(QStringLiteral("Post the results of your scans to your script enabled website"),
                           QStringLiteral("SkinLabel9"), Frame2);
    cmdPost = makeButton(QStringLiteral("Post Links Now"), QString(), QStringLiteral("cmdPost"), framePost);
    cmdExample = makeButton(QStringLiteral("View Example"), QString(), QStringLiteral("cmdExample"), framePost);
    cmdVariables = makeButton(QStringLiteral("View URL Variables"), QString(), QStringLiteral("cmdVariables"),
                              framePost);
}

// ---- Menus ----

void Form1::syncFileMenu()
{
    if (mnuFileItem.size() < 3)
        return;
    const bool canNew = !m_ctx.bScanning && (!cmdNew || cmdNew->isEnabled());
    const bool canOpen = !m_ctx.bScanning && (!cmdOpen || cmdOpen->isEnabled());
    mnuFileItem[0]->setEnabled(canNew);
    mnuFileItem[1]->setEnabled(canOpen);
    mnuFileItem[2]->setEnabled(canOpen);
}

void Form1::mnuFileItem_Click(int index)
{
    switch (index) {
    case 0:
        // A new or another project in the middle of a scan would pull the
        // lists from under it.
        if (!m_ctx.bScanning)
            cmdNew_Click();
        break;
    case 1:
    case 2:
        if (!m_ctx.bScanning)
            cmdOpen_Click();
        break;
    case 3:
        cmdSave_Click();
        break;
    case 4:
        close();
        break;
    default:
        break;
    }
}

void Form1::mnuHelpItem_Click(int)
{
    showHelpFile(m_ctx, m_windows, this);
}

void Form1::mnuAboutItem_Click(int)
{
    openModeless<frmAbout>(m_windows.frmAbout, [this] { return new frmAbout(m_ctx, m_windows, this); });
}

void Form1::mnuPopup1Item_Click(int)
{
    cmbDel_Click();
}

void Form1::cmdWebsite_Click()
{
    ignoringFailures([this] {
        m_ctx.strWebsitePage = QStringLiteral("Website");
        // A loaded opener is not loaded again: the site opens once.
        if (m_windows.frmWebsite)
            return;
        auto *opener = new frmWebsite(m_ctx, m_windows, this);
        opener->setAttribute(Qt::WA_DeleteOnClose);
        m_windows.frmWebsite = opener;
        opener->Form_Load();
        opener->show();
    });
}

// ---- Tabs ----

QList<QWidget *> Form1::tabControls(int index) const
{
    switch (index) {
    case 1:
        return {results->List3View, results->lstErrView, results->lblErr};
    case 2:
        return {web->WebBrowser1->widget(), web->cmdBack,    web->cmdForward, web->cmdWebStop,
                web->cmdRefresh,            web->cmdGo,      web->txtURL};
    case 3:
        return {Frame5};
    case 4:
        return {report->WebBrowser2->widget(), report->Command8, report->Command8a, report->Command12,
                Command2, Command3, cmdViewDatabase};
    case 5:
        return {framePost, SkinLabel9};
    default:
        return {};
    }
}

void Form1::TabStrip1_Click()
{
    const int index = TabStrip1->selectedIndex();
    if (index < 1 || index > 5)
        return;
    for (int i = 1; i <= 5; ++i) {
        if (i == index)
            continue;
        for (QWidget *w : tabControls(i)) {
            if (w)
                w->hide();
        }
    }
    for (QWidget *w : tabControls(index)) {
        if (w)
            w->show();
    }

    if (index == 4) {
        // The report view under its two buttons.
        report->WebBrowser2->widget()->raise();
        report->Command8->raise();
        report->Command8a->raise();
        report->Command12->raise();
    } else if (index == 3) {
        ignoringFailures([this] { fillMainSiteChooser(Combo3); });
    } else if (index == 5) {
        ignoringFailures([this] { fillMainSiteChooser(cmbSites); });
    }
}

void Form1::fillMainSiteChooser(QComboBox *chooser)
{
    const QString chosen = chooser->currentIndex() >= 0 || chooser->isEditable() ? chooser->currentText() : QString();
    const QSignalBlocker block(chooser);
    chooser->clear();
    for (int i = 0; i < m_project->List4->count(); ++i)
        chooser->addItem(m_project->List4->item(i));
    const int at = chosen.isEmpty() ? -1 : chooser->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive);
    chooser->setCurrentIndex(at);
    if (at < 0 && chooser->isEditable())
        chooser->setEditText(QString());
}

// ---- Shut-down ----

void Form1::Form_Unload(int &Cancel)
{
    Q_UNUSED(Cancel);
    // However the window is closed, and however often, this runs once.
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_windows.mainWindowUnloaded = true;

    // Closing cannot be refused: a failed or cancelled save ends here too.
    ignoringFailures([this] { saveChangesFirst(false); });

    saveLifetimeCounters(m_ctx);
    // Nothing the user set may wait for a write that never comes.
    m_ctx.settings().flush();
    m_scanner->shutDown();

    // The other windows, in this order. Closing the posting log ends a
    // posting; closing an editor writes nothing.
    for (const QPointer<QWidget> &w : m_windows.closingOrder()) {
        ignoringFailures([&] {
            if (w)
                w->close();
        });
    }

    if (m_windows.frmWebsite && m_windows.frmWebsite->isVisible()) {
        // The opener ends the program when it closes. It is a tool window
        // of this one, which does not keep the program going by itself:
        // this window's close must not end it. Until then no other window
        // may go on writing into this one.
        QApplication::setQuitOnLastWindowClosed(false);
        const QList<QWidget *> windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            if (w != this && w != m_windows.frmWebsite && w->isVisible())
                ignoringFailures([w] { w->close(); });
        }
        return;
    }

    if (m_ctx.bSkin) {
        ignoringFailures([this] {
            if (!m_windows.objSkinHelper)
                m_windows.objSkinHelper = std::make_shared<SkinHelper>();
            m_windows.objSkinHelper->windowFix();
        });
    }
    if (m_ctx.endProgram)
        m_ctx.endProgram();
}

} // namespace tarnwick
