// The scan controls of the main window: building them, Start Scan, Stop,
// Skip, Resume and the scan-type and skip-type menus.

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <chrono>

#include "platform/services.h"
#include "platform/socket.h"
#include "scanner/httpfetch.h"
#include "scanner/linkrules.h"
#include "workspace/database.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {

QPushButton *scanButton(const QString &caption, const QString &hint, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setToolTip(hint);
    return b;
}

int checkedIndex(const QList<QAction *> &items)
{
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->isChecked())
            return i;
    }
    return 0;
}

} // namespace

void Form1::buildScannerControls()
{
    mnuScan = new QMenu(QStringLiteral("Scan Type"), this);
    for (const QString &caption : {QStringLiteral("Scan all main sites"), QStringLiteral("Just scan the selected main site"),
                                   QStringLiteral("Just scan the selected linking site")}) {
        QAction *a = mnuScan->addAction(caption);
        a->setCheckable(true);
        const int index = int(mnuScanItem.size());
        connect(a, &QAction::triggered, this, [this, index] { mnuScanItem_Click(index); });
        mnuScanItem << a;
    }
    mnuSkipPopup = new QMenu(QStringLiteral("Skip"), this);
    for (const QString &caption : {QStringLiteral("The current linking site"), QStringLiteral("The current main site")}) {
        QAction *a = mnuSkipPopup->addAction(caption);
        a->setCheckable(true);
        const int index = int(mnuSkipItem.size());
        connect(a, &QAction::triggered, this, [this, index] { mnuSkipItem_Click(index); });
        mnuSkipItem << a;
    }
    mnuScanItem[0]->setChecked(true);
    mnuSkipItem[0]->setChecked(true);

    // The scan buttons; the window's layout places them.
    Command1 = scanButton(QStringLiteral("Start Scan"), QStringLiteral("Begin searching for links"), m_central);
    cmdStop = scanButton(QStringLiteral("Stop"), QStringLiteral("Stop scanning for links"), m_central);
    cmdSkip = scanButton(QStringLiteral("Skip"), QStringLiteral("Skip the current Linking Site"), m_central);
    cmdResume = scanButton(QStringLiteral("Resume"), QString(), m_central);
    cmdDoSearch = scanButton(QStringLiteral("Start Search"), QString(), m_central);
    Command10 = scanButton(QStringLiteral("Scan Type"), QStringLiteral("Change the scan type"), m_central);
    Command11 = scanButton(QStringLiteral("Skip Type"), QString(), m_central);
    Command1->setObjectName(QStringLiteral("Command1"));
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    cmdSkip->setObjectName(QStringLiteral("cmdSkip"));
    cmdResume->setObjectName(QStringLiteral("cmdResume"));
    cmdDoSearch->setObjectName(QStringLiteral("cmdDoSearch"));
    Command10->setObjectName(QStringLiteral("Command10"));
    Command11->setObjectName(QStringLiteral("Command11"));
    // Only other windows start a search through it.
    cmdDoSearch->hide();
    cmdStop->setEnabled(false);
    cmdSkip->setEnabled(false);
    cmdResume->setEnabled(false);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    connect(cmdSkip, &QPushButton::clicked, this, [this] { cmdSkip_Click(); });
    connect(cmdResume, &QPushButton::clicked, this, [this] { cmdResume_Click(); });
    connect(cmdDoSearch, &QPushButton::clicked, this, [this] { cmdDoSearch_Click(); });
    connect(Command10, &QPushButton::clicked, this, [this] { Command10_Click(); });
    connect(Command11, &QPushButton::clicked, this, [this] { Command11_Click(); });
    connect(cmdNextSearch, &QPushButton::clicked, this, [this] { cmdNextSearch_Click(); });

    // Laid over the status bar's fourth panel by the window's layout.
    pb1 = new QProgressBar(StatusBar1);
    pb1->setObjectName(QStringLiteral("pb1"));
    pb1->setRange(0, 100);
    pb1->setValue(0);
    pb1->setTextVisible(false);

    auto *socket = new platform::Socket(this);
    socket->setConnectOverride(&m_ctx.fetchOptions.connectOverride);
    wscVersion << socket;
    connect(socket, &platform::Socket::connected, this, [this] { wscVersion_Connect(0); });
    connect(socket, &platform::Socket::dataArrival, this,
            [this](qint64 bytesTotal) { wscVersion_DataArrival(0, bytesTotal); });
    connect(socket, &platform::Socket::closed, this, [this] { wscVersion_Close(0); });
    connect(socket, &platform::Socket::failed, this, [this] { wscVersion_Error(0); });

    for (int i = 0; i < AppContext::kSocketCount; ++i) {
        auto *t = new QTimer(this);
        t->setInterval(1000);
        connect(t, &QTimer::timeout, this, [this, i] { timTimeout_Timer(i); });
        timTimeout << t;
    }

    buildScanLookups();
    throttleScanPainting();
}

void Form1::mnuScanItem_Click(int index)
{
    if (index < 0 || index >= mnuScanItem.size())
        return;
    for (int i = 0; i < mnuScanItem.size(); ++i)
        mnuScanItem[i]->setChecked(i == index);
    m_ctx.settings().set(QStringLiteral("ScanType"), QString::number(index));
}

void Form1::mnuSkipItem_Click(int index)
{
    if (index < 0 || index >= mnuSkipItem.size())
        return;
    for (int i = 0; i < mnuSkipItem.size(); ++i)
        mnuSkipItem[i]->setChecked(i == index);
    m_ctx.settings().set(QStringLiteral("SkipType"), QString::number(index));
}

void Form1::Command10_Click()
{
    mnuScan->popup(QCursor::pos());
}

void Form1::Command11_Click()
{
    mnuSkipPopup->popup(QCursor::pos());
}

void Form1::resetLinkColors()
{
    for (int n = 1; n <= List4->count(); ++n) {
        platform::ListView *list = List1(n);
        if (!list)
            continue;
        for (int row = 1; row <= list->count(); ++row)
            list->setForeColor(row, platform::kColorBlack);
    }
}

void Form1::setScanControlsEnabled(bool scanning)
{
    // Controls of other areas that must rest while a scan runs; those not
    // built (yet) are found by name or skipped. Looked up once per scan: a
    // search of the whole window at every linking site would cost more than
    // the site.
    if (scanning && m_restingControls.isEmpty()) {
        m_restingControls = {cmdOpen, cmdSave};
        for (const char *name : {"cmdViewDatabase", "Command2", "Command3", "cmdNew", "Frame1"})
            m_restingControls << findChild<QWidget *>(QLatin1String(name));
    }
    for (const QPointer<QWidget> &w : std::as_const(m_restingControls)) {
        if (w)
            w->setEnabled(!scanning);
    }
    if (!scanning)
        m_restingControls.clear();
}

void Form1::repaintStatusBar()
{
    // Drawn at once at most every 50 ms; in between, the next paint of the
    // event loop shows the change. Drawing the bar at every step of every
    // page would cost more than the pages themselves.
    const qint64 now = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now().time_since_epoch())
                           .count();
    if (now - m_statusPaintedAt >= 50) {
        m_statusPaintedAt = now;
        StatusBar1->repaint();
    } else {
        StatusBar1->update();
    }
}

void Form1::Command1_Click()
{
    // The button rests while a scan runs; a second start would tangle both.
    if (m_ctx.bScanning)
        return;

    resetLinkColors();

    // Page extensions; a missing list is an empty one.
    QFile types(m_ctx.programPath(QStringLiteral("filetypes.txt")));
    m_ctx.vFileTypes = types.open(QIODevice::ReadOnly) ? parseFileTypes(platform::decodeText(types.readAll()))
                                                       : QStringList();

    m_ctx.iScanType = checkedIndex(mnuScanItem);

    // Nothing of an earlier scan carries over.
    ++m_scanEpoch;
    for (int i = 0; i < wscVersion.size(); ++i)
        closeSocket(i);
    timTimeout[0]->stop();
    m_ctx.bLinkFound = false;
    bEmulate = false;
    bSkipClicked = false;
    m_ctx.bRedirectFound = false;
    m_ctx.strRedirectURL.clear();
    m_ctx.strStatusNote.clear();
    m_ctx.lResultNumber = 0;
    m_ctx.lSiteLinksFound = 0;
    m_ctx.lSitePagesScanned = 0;
    m_ctx.lSitePagesFound = 0;
    m_ctx.strSeenPages.clear();
    m_ctx.lMainSitesScanned = 0;
    m_ctx.lLinkingSitesScanned = 0;
    m_ctx.iLinksFound = 0;
    m_ctx.iLinksExpected = 0;
    strCurUrl.clear();
    strCurDir.clear();

    List2->clear();
    List3->clear();
    lstErr->clear();

    int firstRow = 1;
    if (m_ctx.iScanType == 1 || m_ctx.iScanType == 2) {
        m_ctx.iCurrentMain = List4->listIndex() + 1;
        if (m_ctx.iCurrentMain < 1) {
            m_ctx.dialogs().msgBox(QStringLiteral("You must select a Main Site to scan before using this scan type."),
                                   platform::vbOKOnly);
            return;
        }
        platform::ListView *list = List1(m_ctx.iCurrentMain);
        if (m_ctx.iScanType == 1 && (!list || list->count() == 0)) {
            m_ctx.dialogs().msgBox(
                QStringLiteral("You must enter a Linking Site to scan before using this scan type."),
                platform::vbOKOnly);
            return;
        }
        if (m_ctx.iScanType == 2) {
            firstRow = list ? list->selectedRow() : 0;
            if (firstRow < 1) {
                m_ctx.dialogs().msgBox(
                    QStringLiteral("You must select a Linking Site to scan before using this scan type."),
                    platform::vbOKOnly);
                return;
            }
        }
    } else {
        m_ctx.iCurrentMain = 1;
    }

    strMainSite = stripDomain(List4->item(m_ctx.iCurrentMain - 1));
    TimeOut = m_ctx.settings().getInt(QStringLiteral("txtTimeout"), 60);
    m_ctx.lPagesScanned = 0;
    m_ctx.lPagesFound = 0;
    m_ctx.lLinksFound = 0;

    if (strMainSite.isEmpty() || strMainSite == QLatin1String(" ")) {
        m_ctx.dialogs().msgBox(QStringLiteral("Please enter the Domain you want to find links to."), platform::vbOKOnly);
        txtDomain->setFocus();
        return;
    }
    platform::ListView *list = List1(m_ctx.iCurrentMain);
    if (!list || list->count() == 0) {
        m_ctx.dialogs().msgBox(QStringLiteral("Please enter at least one website to search for links."),
                               platform::vbOKOnly);
        Text1->setFocus();
        return;
    }

    if (m_ctx.settings().getInt(QStringLiteral("chkAudioNext"), 1) == 1)
        playSound(m_ctx, m_ctx.programPath(QStringLiteral("sounds/nextsearch.wav")));

    setScanControlsEnabled(true);
    cmdResume->setEnabled(false);
    Command10->setEnabled(false);
    cmdNextSearch->setEnabled(true);
    cmdStop->setEnabled(true);
    Command11->setEnabled(true);
    cmdSkip->setEnabled(true);
    Command1->setEnabled(false);

    List4->setListIndex(m_ctx.iCurrentMain - 1);  // raises List4_Click
    iCurrentSite = firstRow;
    List1_ItemClick(m_ctx.iCurrentMain, firstRow);
    m_ctx.strLinkingSite = list->text(firstRow);
    m_ctx.iLinksExpected = linksExpectedOf(list->subItem(firstRow, 1));
    List2->addItem(m_ctx.strLinkingSite);

    m_ctx.bScanning = true;
    m_ctx.bProjectSaved = false;
    runScanSteps(ScanStep::NextPage, 0);
}

void Form1::cmdSkip_Click()
{
    // Without a scan there is nothing to skip, and a request left behind
    // would be carried out by the next scan.
    if (!m_ctx.bScanning)
        return;
    bSkipClicked = true;
    m_ctx.strStatusNote = QStringLiteral("Skipped");
    cmdNextSearch_Click();
}

void Form1::cmdStop_Click()
{
    m_ctx.bScanning = false;
    ++m_scanEpoch;
    saveLifetimeCounters(m_ctx);

    cmdStop->setEnabled(false);
    cmdSkip->setEnabled(false);
    cmdNextSearch->setEnabled(false);
    setScanControlsEnabled(false);
    iCurrentSite = 0;

    if (onStop() > 0)
        cmdResume->setEnabled(true);

    for (int i = 0; i < wscVersion.size(); ++i)
        closeSocket(i);

    pb1->setValue(pb1->maximum());

    setPanelText(1, QStringLiteral("Stopped"));
    setPanelText(2, QString());
    setPanelText(3, QString());
    setPanelText(4, QString());
    repaintStatusBar();
    m_ctx.yieldToEventLoop();

    timTimeout[0]->stop();
    addStat(m_ctx, 3);
    makeReport();
    if (m_ctx.settings().getInt(QStringLiteral("chkAudioFinished"), 1) == 1)
        playSound(m_ctx, m_ctx.programPath(QStringLiteral("sounds/finished.wav")));
    Command10->setEnabled(true);
    // Last, so no new scan can start while this one is still winding down.
    if (!m_ctx.bScanning)
        Command1->setEnabled(true);
}

void Form1::cmdResume_Click()
{
    cmdResume->setEnabled(false);
    cmdDoSearch_Click();
}

} // namespace tarnwick
