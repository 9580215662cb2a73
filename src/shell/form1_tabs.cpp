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
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>

#include "platform/socket.h"
#include "shell/failures.h"
#include "shell/skin.h"
#include "shell/tabstrip.h"
#include "shell/webbrowser.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {

QPushButton *makeButton(const QString &caption, const QString &hint, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QLabel *makeLabel(const QString &text, const QString &name, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

const QString kSaveQuestion = QStringLiteral("The current project has been edited but has not been saved.");
const QString kSaveNow = QStringLiteral("Would you like to save now?");

} // namespace

void Form1::buildSiteControls()
{
    cmdNew = makeButton(QStringLiteral("New"), QStringLiteral("Start a new project"), QStringLiteral("cmdNew"),
                        m_central);
    Command9 = makeButton(QStringLiteral("Options"), QStringLiteral("Open the options menu"), QStringLiteral("Command9"),
                          m_central);
    cmdImport2 = makeButton(QStringLiteral("Import"), QStringLiteral("Import Main Sites from a file"),
                            QStringLiteral("cmdImport2"), innerFrame1);
    cmdImport = makeButton(QStringLiteral("Import"), QStringLiteral("Import Linking Sites from a file or a website"),
                           QStringLiteral("cmdImport"), innerFrame2);
    makeLabel(QStringLiteral("Enter main sites:"), QStringLiteral("lblMainSites"), innerFrame1)->setIndent(8);
    makeLabel(QStringLiteral("URL:"), QStringLiteral("lblMainURL"), innerFrame1);

    connect(cmdNew, &QPushButton::clicked, this, [this] { cmdNew_Click(); });
    connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
    // New and Open rest while a scan runs, and so do their menu items.
    cmdNew->installEventFilter(this);
    cmdOpen->installEventFilter(this);
}

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

    // Web tab.
    cmdBack = makeButton(QStringLiteral("Back"), QStringLiteral("back"), QStringLiteral("cmdBack"), Frame2);
    cmdForward = makeButton(QStringLiteral("Forward"), QStringLiteral("forward"), QStringLiteral("cmdForward"), Frame2);
    cmdWebStop = makeButton(QStringLiteral("Stop"), QStringLiteral("stop"), QStringLiteral("cmdWebStop"), Frame2);
    cmdRefresh = makeButton(QStringLiteral("Refresh"), QStringLiteral("refresh"), QStringLiteral("cmdRefresh"), Frame2);
    cmdGo = makeButton(QStringLiteral("Go"), QStringLiteral("browse the entered url"), QStringLiteral("cmdGo"), Frame2);
    cmdBack->setIcon(st->standardIcon(QStyle::SP_ArrowBack));
    cmdForward->setIcon(st->standardIcon(QStyle::SP_ArrowForward));
    cmdWebStop->setIcon(st->standardIcon(QStyle::SP_BrowserStop));
    cmdRefresh->setIcon(st->standardIcon(QStyle::SP_BrowserReload));
    cmdGo->setIcon(st->standardIcon(QStyle::SP_ArrowRight));
    txtURL = new QLineEdit(Frame2);
    txtURL->setObjectName(QStringLiteral("txtURL"));
    WebBrowser1 = m_ctx.createWebBrowser ? m_ctx.createWebBrowser(Frame2, this) : nullptr;
    if (!WebBrowser1)
        WebBrowser1 = createPlainWebBrowser(Frame2, this, m_ctx.shell());

    connect(cmdBack, &QPushButton::clicked, this, [this] { cmdBack_Click(); });
    connect(cmdForward, &QPushButton::clicked, this, [this] { cmdForward_Click(); });
    connect(cmdWebStop, &QPushButton::clicked, this, [this] { cmdWebStop_Click(); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { cmdRefresh_Click(); });
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    connect(txtURL, &QLineEdit::returnPressed, this, [this] { txtURL_KeyPress(13); });
    connect(WebBrowser1, &WebBrowser::downloadComplete, this, [this] { WebBrowser1_DownloadComplete(); });

    // The results list opens its rows here.
    webTab.show = [this] { TabStrip1->setSelectedIndex(2); };
    webTab.setAddress = [this](const QString &address) { txtURL->setText(address); };
    webTab.setSilent = [this](bool on) { WebBrowser1->setSilent(on); };
    webTab.navigate = [this](const QString &address) { WebBrowser1->navigate(address); };

    // Pages tab.
    lblHTML1 = makeLabel(QStringLiteral("HTML before the links:"), QStringLiteral("lblHTML1"), Frame5);
    Label14 = makeLabel(QStringLiteral("HTML after the links:"), QStringLiteral("Label14"), Frame5);
    Command5 = makeButton(QStringLiteral("Generate Links"), QString(), QStringLiteral("Command5"), Frame5);
    Command6 = makeButton(QStringLiteral("Save Webpage"), QString(), QStringLiteral("Command6"), Frame5);

    // Reports tab: the e-mail database's buttons.
    Command2 = makeButton(QStringLiteral("Export Emails"), QString(), QStringLiteral("Command2"), Frame2);
    Command3 = makeButton(QStringLiteral("Delete All Emails"), QString(), QStringLiteral("Command3"), Frame2);
    cmdViewDatabase = makeButton(QStringLiteral("View Database"), QString(), QStringLiteral("cmdViewDatabase"), Frame2);

    // Post tab.
    SkinLabel9 = makeLabel(QStringLiteral("Post the results of your scans to your script enabled website"),
                           QStringLiteral("SkinLabel9"), Frame2);
    cmdPost = makeButton(QStringLiteral("Post Links Now"), QString(), QStringLiteral("cmdPost"), framePost);
    cmdExample = makeButton(QStringLiteral("View Example"), QString(), QStringLiteral("cmdExample"), framePost);
    cmdVariables = makeButton(QStringLiteral("View URL Variables"), QString(), QStringLiteral("cmdVariables"),
                              framePost);
}

void Form1::buildStatistics()
{
    List2View = new QListView(Frame6);
    List2View->setObjectName(QStringLiteral("List2"));
    List2View->setModel(List2);
    List2View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List2View->setSelectionMode(QAbstractItemView::NoSelection);
    // The queue can hold many thousands of pages: no per-row measuring.
    List2View->setUniformItemSizes(true);

    auto heading = [this](const QString &text, const QString &name, double left, double top, double width) {
        QLabel *l = makeLabel(text, name, Frame6);
        l->setGeometry(layout::toPixels(layout::Rect{left, top, width, 270}));
        return l;
    };
    heading(QStringLiteral("Scan Statistics"), QStringLiteral("lblScanStatistics"), 240, 300, 3000);
    heading(QStringLiteral("Historically"), QStringLiteral("lblHistorically"), 3960, 300, 3000);
    heading(QStringLiteral("Webpages Queued:"), QStringLiteral("lblQueued"), 8100, 330, 2200);

    // The rows of each block sit in a panel of their own, so they keep the
    // plain look while the headings are skinned.
    struct Row {
        QString caption;
        int label;
    };
    auto block = [this](const QString &name, double left, double captionWidth, const QList<Row> &rows) {
        auto *panel = new QWidget(Frame6);
        panel->setObjectName(name);
        const double valueWidth = 1200;
        panel->setGeometry(layout::toPixels(layout::Rect{left, 570, captionWidth + valueWidth, 270.0 * rows.size()}));
        for (int r = 0; r < rows.size(); ++r) {
            QLabel *caption = makeLabel(rows[r].caption, QString(), panel);
            caption->setGeometry(layout::toPixels(layout::Rect{0, 270.0 * r, captionWidth, 255}));
            QLabel *value = makeLabel(QStringLiteral("0"), QStringLiteral("lblStats%1").arg(rows[r].label), panel);
            value->setGeometry(layout::toPixels(layout::Rect{captionWidth, 270.0 * r, valueWidth, 255}));
            lblStats[rows[r].label] = value;
        }
    };
    block(QStringLiteral("scanStatistics"), 240, 2280,
          {{QStringLiteral("Main Sites Scanned:"), 6},
           {QStringLiteral("Linking Sites Scanned:"), 5},
           {QStringLiteral("Pages Scanned:"), 0},
           {QStringLiteral("Pages Found:"), 1},
           {QStringLiteral("Links Found:"), 2}});
    block(QStringLiteral("historically"), 3960, 1680,
          {{QStringLiteral("Pages Scanned:"), 3}, {QStringLiteral("Links Found:"), 4}});

    // The caption of the choice for the end of the list, plain like the rows.
    auto *lastSearch = new QWidget(Frame6);
    lastSearch->setObjectName(QStringLiteral("lastSearch"));
    lastSearch->setGeometry(layout::toPixels(layout::Rect{3960, 1170, 4000, 255}));
    makeLabel(QStringLiteral("When finished scanning the last website:"), QStringLiteral("lblLastSearch"), lastSearch)
        ->setGeometry(layout::toPixels(layout::Rect{0, 0, 4000, 255}));
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
    // The help launcher opens the help file here once it exists.
}

void Form1::mnuAboutItem_Click(int)
{
    // The About box opens here once it exists.
}

void Form1::mnuPopup1Item_Click(int)
{
    cmbDel_Click();
}

void Form1::Command9_Click()
{
    // The "Scanning Options" window opens here once it exists.
}

void Form1::cmdWebsite_Click()
{
    ignoringFailures([this] {
        m_ctx.strWebsitePage = QStringLiteral("Website");
        // The web-site opener is loaded here once it exists.
    });
}

// ---- Tabs ----

QList<QWidget *> Form1::tabControls(int index) const
{
    switch (index) {
    case 1:
        return {List3View, lstErrView, lblErr};
    case 2:
        return {WebBrowser1->widget(), cmdBack, cmdForward, cmdWebStop, cmdRefresh, cmdGo, txtURL};
    case 3:
        return {Frame5};
    case 4:
        return {WebBrowser2->widget(), Command8, Command8a, Command12, Command2, Command3, cmdViewDatabase};
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
        WebBrowser2->widget()->raise();
        Command8->raise();
        Command8a->raise();
        Command12->raise();
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
    for (int i = 0; i < List4->count(); ++i)
        chooser->addItem(List4->item(i));
    const int at = chosen.isEmpty() ? -1 : chooser->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive);
    chooser->setCurrentIndex(at);
    if (at < 0 && chooser->isEditable())
        chooser->setEditText(QString());
}

// ---- Web tab ----

void Form1::cmdBack_Click()
{
    ignoringFailures([this] { WebBrowser1->goBack(); });
}

void Form1::cmdForward_Click()
{
    ignoringFailures([this] { WebBrowser1->goForward(); });
}

void Form1::cmdRefresh_Click()
{
    ignoringFailures([this] { WebBrowser1->refresh(); });
}

void Form1::cmdWebStop_Click()
{
    ignoringFailures([this] { WebBrowser1->stop(); });
}

void Form1::cmdGo_Click()
{
    WebBrowser1->navigate(txtURL->text());
}

void Form1::txtURL_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        cmdGo_Click();
}

void Form1::WebBrowser1_DownloadComplete()
{
    txtURL->setText(WebBrowser1->locationURL());
}

// ---- Statistics ----

void Form1::StatsD()
{
    const qint64 values[7] = {m_ctx.lPagesScanned,   m_ctx.lPagesFound,          m_ctx.lLinksFound,
                              m_ctx.lHistWebScanned, m_ctx.lHistEmailFound,      m_ctx.lLinkingSitesScanned,
                              m_ctx.lMainSitesScanned};
    for (int i = 0; i < 7; ++i) {
        if (lblStats[i])
            lblStats[i]->setText(QString::number(values[i]));
    }
}

// ---- Shut-down ----

void Form1::Form_Unload(int &Cancel)
{
    Q_UNUSED(Cancel);
    // However the window is closed, and however often, this runs once.
    if (m_unloaded)
        return;
    m_unloaded = true;

    if (!m_ctx.bProjectSaved) {
        const int answer = m_ctx.dialogs().msgBox(kSaveQuestion + QStringLiteral("\r\n") + kSaveNow,
                                                  platform::vbYesNo | platform::vbQuestion,
                                                  QStringLiteral("Save Project?"));
        // Closing cannot be refused: a failed or cancelled save ends here too.
        if (answer == platform::vbYes)
            ignoringFailures([this] { cmdSave_Click(); });
    }

    saveLifetimeCounters(m_ctx);
    m_ctx.bScanning = false;
    for (platform::Socket *socket : std::as_const(wscVersion)) {
        if (socket)
            socket->Close();
    }
    for (QTimer *timer : std::as_const(timTimeout)) {
        if (timer)
            timer->stop();
    }

    for (QPointer<QWidget> w : {m_ctx.Form3, m_ctx.Form8, m_ctx.Form4, m_ctx.frmExport, m_ctx.frmSplash}) {
        ignoringFailures([&] {
            if (w)
                w->close();
        });
    }

    if (m_ctx.frmWebsite && m_ctx.frmWebsite->isVisible()) {
        // The opener ends the program when it closes. Until then no other
        // window may go on writing into this one.
        const QList<QWidget *> windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            if (w != this && w != m_ctx.frmWebsite && w->isVisible())
                ignoringFailures([w] { w->close(); });
        }
        return;
    }

    if (m_ctx.bSkin) {
        ignoringFailures([this] {
            if (!m_ctx.objSkinHelper)
                m_ctx.objSkinHelper = std::make_shared<SkinHelper>();
            m_ctx.objSkinHelper->windowFix();
        });
    }
    if (m_ctx.endProgram)
        m_ctx.endProgram();
}

} // namespace tarnwick
