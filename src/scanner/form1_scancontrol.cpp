// Walking the linking sites: the next page of a site, the end of a site with
// its outcome row, and the advance to the next linking site or main site.

#include <QAction>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "platform/socket.h"
#include "scanner/httpfetch.h"
#include "scanner/linkrules.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {

bool settingIsOne(AppContext &ctx, const char *key, int defaultValue)
{
    return ctx.settings().getInt(QLatin1String(key), defaultValue) == 1;
}

} // namespace

// Every step ends by naming the step its caller would have called last, and
// this loop calls it: the same order of effects as nested calls, on a flat
// stack. A handler that runs while a step gives way to the event loop starts
// a loop of its own.
void Form1::runScanSteps(ScanStep step, int index)
{
    while (step != ScanStep::None) {
        switch (step) {
        case ScanStep::NextPage:
            step = nextPageStep(index);
            break;
        case ScanStep::NextSearch:
            step = nextSearchStep();
            break;
        case ScanStep::DoSearch:
            step = doSearchStep();
            index = 0;
            break;
        case ScanStep::None:
            break;
        }
    }
}

void Form1::nextPage(int index)
{
    runScanSteps(ScanStep::NextPage, index);
}

void Form1::cmdNextSearch_Click()
{
    if (!m_ctx.bScanning)
        return;
    runScanSteps(ScanStep::NextSearch, 0);
}

void Form1::cmdDoSearch_Click()
{
    runScanSteps(ScanStep::DoSearch, 0);
}

Form1::ScanStep Form1::doSearchStep()
{
    m_ctx.bScanning = true;
    setScanControlsEnabled(true);
    cmdResume->setEnabled(false);
    Command1->setEnabled(false);
    cmdStop->setEnabled(true);
    m_ctx.lSiteLinksFound = 0;
    m_ctx.lSitePagesScanned = 0;
    return ScanStep::NextPage;
}

Form1::ScanStep Form1::nextPageStep(int index)
{
    if (!m_ctx.bScanning)
        return ScanStep::None;
    if (index < 0 || index >= wscVersion.size())
        return ScanStep::None;

    lPageLimit = qint32(pageLimitFor(m_ctx.settings().getInt(QStringLiteral("cmbAdvance"), 4), lPageLimit));
    m_ctx.lSitePagesScanned = saturatingIncrement(m_ctx.lSitePagesScanned);

    if ((settingIsOne(m_ctx, "chkAuto", 1) && m_ctx.lSitePagesScanned > lPageLimit) || List2->count() == 0) {
        m_ctx.lSitePagesScanned = 0;
        return ScanStep::NextSearch;
    }
    if (settingIsOne(m_ctx, "chkAuto2", 1) && m_ctx.iLinksFound >= m_ctx.iLinksExpected) {
        m_ctx.lSitePagesScanned = 0;
        return ScanStep::NextSearch;
    }
    if (!m_ctx.bScanning)
        return ScanStep::None;

    const quint64 epoch = m_scanEpoch;
    const quint64 serial = ++m_fetchSerial[index];

    const int mains = List4->count();
    const int n = m_ctx.iCurrentMain;
    setPanelText(1, n > mains ? QStringLiteral("Finished All Main Sites")
                              : QStringLiteral("Main Site %1 of %2").arg(n).arg(mains));
    StatusBar1->raise();
    StatusBar1->show();
    m_ctx.yieldToEventLoop();
    repaintStatusBar();
    m_ctx.yieldToEventLoop();
    if (!scanStillOn(epoch) || serial != m_fetchSerial[index])
        return ScanStep::None;

    setPanelText(2, m_ctx.lSitePagesScanned < 1 ? QStringLiteral("Finished Pages")
                                                : QStringLiteral("Page %1 of %2")
                                                      .arg(m_ctx.lSitePagesScanned)
                                                      .arg(m_ctx.lSitePagesFound + 1));
    // The queue was tested above; should it have run out meanwhile, the site
    // ends rather than waiting for a fetch that never starts.
    if (List2->count() == 0)
        return ScanStep::NextSearch;
    strURL = List2->takeFirst();
    setPanelText(3, QStringLiteral("Searching ") + m_ctx.strLinkingSite);
    fetchPage(index);
    return ScanStep::None;
}

void Form1::writeOutcomeRow()
{
    QString linkingSite = m_ctx.strLinkingSite;
    const QString linking = getDomain(linkingSite);
    platform::ListView *list = List1(m_ctx.iCurrentMain);

    if (m_ctx.bLinkFound) {
        if (m_ctx.iLinksFound < m_ctx.iLinksExpected) {
            itmX = List3->add(strMainSite,
                              {linking,
                               QStringLiteral("Missing ") + zeroFilledCount(qint64(m_ctx.iLinksExpected) - m_ctx.iLinksFound),
                               QStringLiteral("000"), strCurUrl},
                              1, platform::kColorRed);
        }
        return;
    }
    if (settingIsOne(m_ctx, "chkRedirect", 1) && m_ctx.bRedirectFound) {
        itmX = List3->add(strMainSite, {linking, QStringLiteral("Redirect Link"), QStringLiteral("001"), m_ctx.strRedirectURL},
                          2, platform::kColorBlue);
        if (list)
            list->setForeColor(iCurrentSite, platform::kColorGreen);
        addStat(m_ctx, 2);
        if (list && settingIsOne(m_ctx, "chkUpdate", 1))
            list->setText(iCurrentSite, m_ctx.strRedirectURL);
        return;
    }
    itmX = List3->add(strMainSite,
                      {linking, QStringLiteral("None Found") + m_ctx.strStatusNote, QStringLiteral("000"),
                       m_ctx.strLinkingSite},
                      1, platform::kColorRed);
    if (list)
        list->setForeColor(iCurrentSite, platform::kColorRed);
}

Form1::ScanStep Form1::nextSearchStep()
{
    if (!m_ctx.bScanning)
        return ScanStep::None;

    addStat(m_ctx, 4);
    int skipType = 0;
    if (bSkipClicked) {
        skipType = 0;
        for (int i = 0; i < mnuSkipItem.size(); ++i) {
            if (mnuSkipItem[i]->isChecked()) {
                skipType = i;
                break;
            }
        }
    }
    TimeOut = m_ctx.settings().getInt(QStringLiteral("txtTimeout"), 60);
    if (!m_ctx.strStatusNote.isEmpty() && m_ctx.strStatusNote != QLatin1String(" "))
        m_ctx.strStatusNote = QStringLiteral(" (") + m_ctx.strStatusNote + QLatin1Char(')');
    else
        m_ctx.strStatusNote.clear();

    m_ctx.bScanning = true;
    // The site ends here: whatever of it is still under way is abandoned.
    ++m_scanEpoch;
    closeSocket(0);
    timTimeout[0]->stop();

    writeOutcomeRow();

    m_ctx.iLinksFound = 0;
    m_ctx.iLinksExpected = 0;
    m_ctx.lResultNumber = 0;
    m_ctx.lSitePagesFound = 0;
    m_ctx.lSiteLinksFound = 0;
    m_ctx.bLinkFound = false;
    m_ctx.bRedirectFound = false;
    ++iCurrentSite;
    List2->clear();
    m_ctx.strSeenPages.clear();
    m_ctx.strStatusNote.clear();
    m_ctx.strRedirectURL.clear();

    platform::ListView *list = List1(m_ctx.iCurrentMain);
    const bool exhausted = !list || list->count() < iCurrentSite;
    const int mains = List4->count();
    auto byLinkingSite = [&]() -> ScanStep {
        if (exhausted && m_ctx.iCurrentMain >= mains) {
            cmdStop_Click();
            return ScanStep::None;
        }
        return exhausted ? nextMainSiteStep() : nextLinkingSiteStep();
    };

    const bool skipRequested = bSkipClicked;
    bSkipClicked = false;
    if (skipRequested)
        return skipType == 1 ? nextMainSiteStep() : byLinkingSite();
    switch (m_ctx.iScanType) {
    case 1:
        if (exhausted) {
            cmdStop_Click();
            return ScanStep::None;
        }
        return nextLinkingSiteStep();
    case 2:
        cmdStop_Click();
        return ScanStep::None;
    default:
        return byLinkingSite();
    }
}

Form1::ScanStep Form1::nextLinkingSiteStep()
{
    platform::ListView *list = List1(m_ctx.iCurrentMain);
    List1_ItemClick(m_ctx.iCurrentMain, iCurrentSite);
    m_ctx.strLinkingSite = list ? list->text(iCurrentSite) : QString();
    m_ctx.iLinksExpected = linksExpectedOf(list ? list->subItem(iCurrentSite, 1) : QString());
    List2->addItem(m_ctx.strLinkingSite);
    if (settingIsOne(m_ctx, "chkAudioNext", 1))
        playSound(m_ctx, m_ctx.programPath(QStringLiteral("sounds/nextsearch.wav")));
    return ScanStep::DoSearch;
}

Form1::ScanStep Form1::nextMainSiteStep()
{
    // Main sites without linking sites are passed over, and the current main
    // site never moves past the last one.
    const int mains = List4->count();
    int next = m_ctx.iCurrentMain + 1;
    while (next <= mains && (!List1(next) || List1(next)->count() == 0))
        ++next;
    iCurrentSite = 1;
    if (next > mains) {
        cmdStop_Click();
        return ScanStep::None;
    }
    m_ctx.iCurrentMain = next;
    List4->setListIndex(next - 1);  // raises List4_Click
    List1_ItemClick(next, 1);
    platform::ListView *list = List1(next);
    m_ctx.strLinkingSite = list->text(1);
    strMainSite = stripDomain(List4->item(next - 1));
    addStat(m_ctx, 3);
    m_ctx.iLinksExpected = linksExpectedOf(list->subItem(1, 1));
    List2->addItem(m_ctx.strLinkingSite);
    if (settingIsOne(m_ctx, "chkAudioNext", 1))
        playSound(m_ctx, m_ctx.programPath(QStringLiteral("sounds/nextsearch.wav")));
    return ScanStep::DoSearch;
}

} // namespace tarnwick
