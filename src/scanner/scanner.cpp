// Scan control: Start Scan, Stop, Skip, Resume, and the walk over the
// linking sites: the next page of a site, the end of a site with its outcome
// row, and the advance to the next linking site or main site.

#include "scanner/scanner.h"

#include <QFile>
#include <QTimer>

#include "platform/listview.h"
#include "platform/services.h"
#include "platform/socket.h"
#include "platform/textfile.h"
#include "scanner/httpfetch.h"
#include "scanner/linkrules.h"
#include "scanner/pagetext.h"
#include "scanner/scanoptions.h"
#include "workspace/context.h"
#include "workspace/database.h"
#include "workspace/project.h"
#include "workspace/results.h"
#include "workspace/services.h"
#include "workspace/settingkeys.h"
#include "workspace/storedvalues.h"

namespace tarnwick {

Scanner::Scanner(AppContext &ctx, Project &project, QObject *parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_project(project)
{
    auto *socket = new platform::Socket(this);
    socket->setConnectOverride(&m_ctx.fetchOptions.connectOverride);
    m_conn.wscVersion = socket;
    connect(socket, &platform::Socket::connected, this, [this] { wscVersion_Connect(); });
    connect(socket, &platform::Socket::dataArrival, this,
            [this](qint64 bytesTotal) { wscVersion_DataArrival(bytesTotal); });
    connect(socket, &platform::Socket::closed, this, [this] { wscVersion_Close(); });
    connect(socket, &platform::Socket::failed, this, [this] { wscVersion_Error(); });

    m_conn.timTimeout = new QTimer(this);
    m_conn.timTimeout->setInterval(1000);
    connect(m_conn.timTimeout, &QTimer::timeout, this, [this] { timTimeout_Timer(); });

    buildLookups();

    // The rules are made into a set again once the list changes.
    platform::ListView *rules = m_project.lstRules;
    auto stale = [this] { m_rulesStale = true; };
    connect(rules, &QAbstractItemModel::rowsInserted, this, stale);
    connect(rules, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(rules, &QAbstractItemModel::rowsMoved, this, stale);
    connect(rules, &QAbstractItemModel::dataChanged, this, stale);
    connect(rules, &QAbstractItemModel::modelReset, this, stale);
    connect(rules, &QAbstractItemModel::layoutChanged, this, stale);
    m_turnClock.start();
}

Scanner::~Scanner() = default;

void Scanner::setScanType(int index)
{
    if (index < 0 || index > 2)
        return;
    m_scanType = index;
    m_ctx.settings().set(key::ScanType, QString::number(index));
}

void Scanner::setSkipType(int index)
{
    if (index < 0 || index > 1)
        return;
    m_skipType = index;
    m_ctx.settings().set(key::SkipType, QString::number(index));
}

bool Scanner::settingIsOne(const QString &key, int defaultValue) const
{
    return storedCheck(m_ctx.settings(), key, defaultValue);
}

bool Scanner::scanStillOn(quint64 epoch) const
{
    return m_ctx.bScanning && epoch == m_scanEpoch;
}

platform::ListView *Scanner::scannedList() const
{
    return m_sites;
}

int Scanner::iCurrentSite() const
{
    if (!m_sites || m_siteId == 0)
        return 0;
    const int row = m_sites->rowOfId(m_siteId, m_siteRow);
    if (row > 0)
        m_siteRow = row;
    return row;
}

void Scanner::takeLinkingSite(int row)
{
    m_sites = m_project.List1(m_main);
    m_siteRow = row;
    m_siteId = m_sites ? m_sites->rowId(row) : 0;
    if (m_sites && m_sites->isValidRow(row) && !m_sites->isSelected(row))
        m_sites->setSelectedRow(row);
    m_display->linkingSiteSelected(m_main, row);
    strLinkingSite = m_sites ? m_sites->text(row) : QString();
    m_site.iLinksExpected = linksExpectedOf(m_sites ? m_sites->subItem(row, 1) : QString());
    m_project.List2->addItem(strLinkingSite);
}

void Scanner::playIfOn(const QString &key, const char *sound)
{
    if (settingIsOne(key, 1))
        playSound(m_ctx, m_ctx.programPath(QLatin1String(sound)));
}

void Scanner::setScanControlsEnabled(bool scanning)
{
    setControl(ScanDisplay::Control::Project, !scanning);
}

void Scanner::Command1_Click()
{
    // The button rests while a scan runs; a second start would tangle both.
    if (m_ctx.bScanning)
        return;

    m_project.resetLinkColors();

    // Page extensions; a missing list is an empty one.
    QFile types(m_ctx.programPath(QStringLiteral("filetypes.txt")));
    vFileTypes = types.open(QIODevice::ReadOnly) ? parseFileTypes(platform::decodeTextFile(types.readAll()))
                                                 : QStringList();

    iScanType = m_scanType;

    // Nothing of an earlier scan carries over.
    ++m_scanEpoch;
    closeSocket();
    m_conn.timTimeout->stop();
    m_site = SiteScan();
    m_page = PageState();
    m_ctx.lMainSitesScanned = 0;
    m_ctx.lLinkingSitesScanned = 0;
    // A new scan counts its auto-save interval from its own start.
    m_project.iSecondsRunning = 0;

    m_project.List2->clear();
    m_project.List3->clear();
    m_project.lstErr->clear();

    // The scan keeps its own place from here on: what the user selects later
    // changes only what is shown.
    int main = 1;
    int firstRow = 1;
    if (iScanType == 1 || iScanType == 2) {
        main = m_project.List4->listIndex() + 1;
        if (main < 1) {
            m_ctx.dialogs().msgBox(nullptr,
                                   QStringLiteral("You must select a Main Site to scan before using this scan type."),
                                   platform::vbOKOnly);
            return;
        }
        platform::ListView *list = m_project.List1(main);
        if (iScanType == 1 && (!list || list->count() == 0)) {
            m_ctx.dialogs().msgBox(
                nullptr, QStringLiteral("You must enter a Linking Site to scan before using this scan type."),
                platform::vbOKOnly);
            return;
        }
        if (iScanType == 2) {
            firstRow = list ? list->selectedRow() : 0;
            if (firstRow < 1) {
                m_ctx.dialogs().msgBox(
                    nullptr, QStringLiteral("You must select a Linking Site to scan before using this scan type."),
                    platform::vbOKOnly);
                return;
            }
        }
    }

    strMainSite = stripDomain(m_project.List4->item(main - 1));
    TimeOut = storedTimeout(m_ctx.settings());
    m_ctx.lPagesScanned = 0;
    m_ctx.lPagesFound = 0;
    m_ctx.lLinksFound = 0;

    if (strMainSite.trimmed().isEmpty()) {
        m_ctx.dialogs().msgBox(nullptr, QStringLiteral("Please enter the Domain you want to find links to."),
                               platform::vbOKOnly);
        m_display->focusSiteEntry(true);
        return;
    }
    platform::ListView *list = m_project.List1(main);
    if (!list || list->count() == 0) {
        m_ctx.dialogs().msgBox(nullptr, QStringLiteral("Please enter at least one website to search for links."),
                               platform::vbOKOnly);
        m_display->focusSiteEntry(false);
        return;
    }

    playIfOn(key::chkAudioNext, "sounds/nextsearch.wav");

    setScanControlsEnabled(true);
    setControl(ScanDisplay::Control::Resume, false);
    setControl(ScanDisplay::Control::ScanType, false);
    setControl(ScanDisplay::Control::NextSearch, true);
    setControl(ScanDisplay::Control::Stop, true);
    setControl(ScanDisplay::Control::SkipType, true);
    setControl(ScanDisplay::Control::Skip, true);
    setControl(ScanDisplay::Control::StartScan, false);

    m_main = main;
    m_project.List4->setListIndex(main - 1);  // the selection follows the scan
    takeLinkingSite(firstRow);

    m_ctx.bScanning = true;
    m_project.bProjectSaved = false;
    runScanSteps(ScanStep::NextPage);
}

void Scanner::cmdSkip_Click()
{
    // Without a scan there is nothing to skip, and a request left behind
    // would be carried out by the next scan.
    if (!m_ctx.bScanning)
        return;
    m_site.bSkipClicked = true;
    m_site.strStatusNote = QStringLiteral("Skipped");
    cmdNextSearch_Click();
}

void Scanner::cmdStop_Click()
{
    m_ctx.bScanning = false;
    ++m_scanEpoch;
    saveLifetimeCounters(m_ctx);
    m_dumps.close();

    setControl(ScanDisplay::Control::Stop, false);
    setControl(ScanDisplay::Control::Skip, false);
    setControl(ScanDisplay::Control::NextSearch, false);
    setScanControlsEnabled(false);
    m_siteId = 0;
    m_siteRow = 0;

    if (onStop() > 0)
        setControl(ScanDisplay::Control::Resume, true);

    closeSocket();

    m_display->setProgress(100);

    m_display->setPanelText(1, QStringLiteral("Stopped"));
    m_display->setPanelText(2, QString());
    m_display->setPanelText(3, QString());
    m_display->setPanelText(4, QString());
    m_display->repaintStatusBar();
    m_ctx.yieldToEventLoop();

    m_conn.timTimeout->stop();
    addStat(m_ctx, Stat::MainSiteScanned);
    m_display->buildReport();
    playIfOn(key::chkAudioFinished, "sounds/finished.wav");
    setControl(ScanDisplay::Control::ScanType, true);
    // Last, so no new scan can start while this one is still winding down.
    if (!m_ctx.bScanning)
        setControl(ScanDisplay::Control::StartScan, true);
}

void Scanner::cmdResume_Click()
{
    setControl(ScanDisplay::Control::Resume, false);
    cmdDoSearch_Click();
}

// Every step ends by naming the step its caller would have called last, and
// this loop calls it: the same order of effects as nested calls, on a flat
// stack. A handler that runs while a step gives way to the event loop starts
// a loop of its own.
void Scanner::runScanSteps(ScanStep step)
{
    while (step != ScanStep::None) {
        switch (step) {
        case ScanStep::NextPage:
            step = nextPageStep();
            break;
        case ScanStep::NextSearch:
            step = nextSearchStep();
            break;
        case ScanStep::DoSearch:
            step = doSearchStep();
            break;
        case ScanStep::None:
            break;
        }
    }
}

void Scanner::nextPage()
{
    runScanSteps(ScanStep::NextPage);
}

void Scanner::cmdNextSearch_Click()
{
    if (!m_ctx.bScanning)
        return;
    runScanSteps(ScanStep::NextSearch);
}

void Scanner::cmdDoSearch_Click()
{
    runScanSteps(ScanStep::DoSearch);
}

Scanner::ScanStep Scanner::doSearchStep()
{
    m_ctx.bScanning = true;
    setScanControlsEnabled(true);
    setControl(ScanDisplay::Control::Resume, false);
    setControl(ScanDisplay::Control::StartScan, false);
    setControl(ScanDisplay::Control::Stop, true);
    m_site.lSiteLinksFound = 0;
    m_site.lSitePagesScanned = 0;
    return ScanStep::NextPage;
}

Scanner::ScanStep Scanner::nextPageStep()
{
    if (!m_ctx.bScanning)
        return ScanStep::None;

    lPageLimit = pageLimitForIndex(m_ctx.settings().getInt(key::cmbAdvance, 4), lPageLimit);
    m_site.lSitePagesScanned = saturatingIncrement(m_site.lSitePagesScanned);

    platform::ListBox *queue = m_project.List2;
    if ((settingIsOne(key::chkAuto, 1) && m_site.lSitePagesScanned > lPageLimit) || queue->count() == 0) {
        m_site.lSitePagesScanned = 0;
        return ScanStep::NextSearch;
    }
    if (settingIsOne(key::chkAuto2, 1) && m_site.iLinksFound >= m_site.iLinksExpected) {
        m_site.lSitePagesScanned = 0;
        return ScanStep::NextSearch;
    }
    if (!m_ctx.bScanning)
        return ScanStep::None;

    const quint64 epoch = m_scanEpoch;
    const quint64 serial = ++m_conn.serial;

    const int mains = m_project.List4->count();
    m_display->setPanelText(1, m_main > mains ? QStringLiteral("Finished All Main Sites")
                                              : QStringLiteral("Main Site %1 of %2").arg(m_main).arg(mains));
    m_display->showStatusBar();
    m_display->repaintStatusBar();
    giveWayIfDue();
    if (!scanStillOn(epoch) || serial != m_conn.serial)
        return ScanStep::None;

    m_display->setPanelText(2, m_site.lSitePagesScanned < 1 ? QStringLiteral("Finished Pages")
                                                            : QStringLiteral("Page %1 of %2")
                                                                  .arg(m_site.lSitePagesScanned)
                                                                  .arg(m_site.lSitePagesFound + 1));
    // The queue was tested above; should it have run out meanwhile, the site
    // ends rather than waiting for a fetch that never starts.
    if (queue->count() == 0)
        return ScanStep::NextSearch;
    m_page.strURL = queue->takeFirst();
    m_display->setPanelText(3, QStringLiteral("Searching ") + strLinkingSite);
    fetchPage();
    return ScanStep::None;
}

void Scanner::writeOutcomeRow(const QString &note)
{
    QString linkingSite = strLinkingSite;
    const QString linking = getDomain(linkingSite);
    platform::ListView *list = scannedList();
    const int row = iCurrentSite();
    platform::ListView &results = *m_project.List3;

    if (m_site.bLinkFound) {
        if (m_site.iLinksFound < m_site.iLinksExpected)
            addResultRow(results, missingRow(strMainSite, linking, qint64(m_site.iLinksExpected) - m_site.iLinksFound,
                                             m_page.strCurUrl));
        return;
    }
    if (settingIsOne(key::chkRedirect, 1) && m_site.bRedirectFound) {
        addResultRow(results, redirectLinkRow(strMainSite, linking, m_site.strRedirectURL));
        if (list && row > 0)
            list->setForeColor(row, platform::kColorGreen);
        addStat(m_ctx, Stat::LinkFound);
        if (list && row > 0 && settingIsOne(key::chkUpdate, 1))
            list->setText(row, m_site.strRedirectURL);
        return;
    }
    addResultRow(results, noneFoundRow(strMainSite, linking, note, strLinkingSite));
    if (list && row > 0)
        list->setForeColor(row, platform::kColorRed);
}

Scanner::ScanStep Scanner::nextSearchStep()
{
    if (!m_ctx.bScanning)
        return ScanStep::None;

    addStat(m_ctx, Stat::LinkingSiteScanned);
    const bool skipRequested = m_site.bSkipClicked;
    const int skipType = skipRequested ? m_skipType : 0;
    TimeOut = storedTimeout(m_ctx.settings());

    m_ctx.bScanning = true;
    // The site ends here: whatever of it is still under way is abandoned.
    ++m_scanEpoch;
    closeSocket();
    m_conn.timTimeout->stop();

    writeOutcomeRow(m_site.strStatusNote);

    m_site = SiteScan();
    // The row after the one just ended; if that row has gone, the rows
    // after it moved up into its place.
    const int current = iCurrentSite();
    const int nextRow = current > 0 ? current + 1 : m_siteRow;
    m_project.List2->clear();

    platform::ListView *list = scannedList();
    const bool exhausted = !list || list->count() < nextRow;
    const int mains = m_project.List4->count();
    auto byLinkingSite = [&]() -> ScanStep {
        if (exhausted && m_main >= mains) {
            cmdStop_Click();
            return ScanStep::None;
        }
        return exhausted ? nextMainSiteStep() : nextLinkingSiteStep(nextRow);
    };

    if (skipRequested)
        return skipType == 1 ? nextMainSiteStep() : byLinkingSite();
    switch (iScanType) {
    case 1:
        if (exhausted) {
            cmdStop_Click();
            return ScanStep::None;
        }
        return nextLinkingSiteStep(nextRow);
    case 2:
        cmdStop_Click();
        return ScanStep::None;
    default:
        return byLinkingSite();
    }
}

Scanner::ScanStep Scanner::nextLinkingSiteStep(int row)
{
    takeLinkingSite(row);
    playIfOn(key::chkAudioNext, "sounds/nextsearch.wav");
    return ScanStep::DoSearch;
}

Scanner::ScanStep Scanner::nextMainSiteStep()
{
    // Main sites without linking sites, or without a domain to look for
    // (every link would count as one to it), are passed over, and the scan
    // never moves past the last one.
    const int mains = m_project.List4->count();
    auto scannable = [this](int n) {
        const platform::ListView *list = m_project.List1(n);
        return list && list->count() > 0 && !stripDomain(m_project.List4->item(n - 1)).trimmed().isEmpty();
    };
    int next = m_main + 1;
    while (next <= mains && !scannable(next))
        ++next;
    if (next > mains) {
        cmdStop_Click();
        return ScanStep::None;
    }
    m_main = next;
    m_project.List4->setListIndex(next - 1);  // the selection follows the scan
    strMainSite = stripDomain(m_project.List4->item(next - 1));
    takeLinkingSite(1);
    addStat(m_ctx, Stat::MainSiteScanned);
    playIfOn(key::chkAudioNext, "sounds/nextsearch.wav");
    return ScanStep::DoSearch;
}

} // namespace tarnwick
