// Page processing: what a fetched page of the linking site says, its two
// dumps, its links examined one line at a time, new pages of the same site
// queued, links to the main site recorded, one redirect page followed, and
// the request for the next page or the end of the linking site.

#include <QElapsedTimer>

#include <memory>

#include <limits>
#include <utility>

#include "platform/socket.h"
#include "platform/urlfetch.h"
#include "scanner/httpfetch.h"
#include "scanner/linkrules.h"
#include "scanner/pagetext.h"
#include "scanner/scanner.h"
#include "workspace/context.h"
#include "workspace/fieldtext.h"
#include "workspace/project.h"
#include "workspace/results.h"
#include "workspace/services.h"
#include "workspace/settingkeys.h"

namespace tarnwick {

namespace {

// Pending events are processed at least this often while a scan works
// through its steps: often enough for Stop and Skip to feel immediate,
// seldom enough to cost nothing next to a page.
constexpr qint64 kGiveWayMs = 10;

// A redirect hop may take this many times the scan's time-out in all.
constexpr int kHopTotalFactor = 4;
constexpr int kMaxHopIdleSec = 24 * 60 * 60;

const QString kControlCharacterLink = QStringLiteral("Not a page: the link holds a control character");

} // namespace

bool Scanner::PageGuard::stillOn(const Scanner &scanner) const
{
    return scanner.scanStillOn(epoch) && scanner.m_conn.serial == serial;
}

bool Scanner::yieldOnPage(const PageGuard &guard)
{
    m_ctx.yieldToEventLoop();
    turnStarted();
    return guard.stillOn(*this);
}

bool Scanner::giveWayIfDue()
{
    if (m_turnClock.isValid() && m_turnClock.elapsed() < kGiveWayMs)
        return false;
    m_ctx.yieldToEventLoop();
    turnStarted();
    return true;
}

std::shared_ptr<const RuleSet> Scanner::rulesFor(const QString &mainSiteText, const QString &linkingSiteRow)
{
    if (m_rulesStale || !m_ruleSet || m_ruleSet->mainSiteText() != mainSiteText
        || m_ruleSet->linkingSiteText() != linkingSiteRow) {
        m_ruleSet = std::make_shared<const RuleSet>(rulesFromList(*m_project.lstRules), mainSiteText, linkingSiteRow);
        m_rulesStale = false;
    }
    return m_ruleSet;
}

void Scanner::processPage(QString &page)
{
    // A page from the client is never the target of a redirect hop, whatever
    // an abandoned page may have left behind.
    m_page.bEmulate = false;
    PageResponse response;
    const QString header = QString::fromLatin1(responseHeader(m_conn.fetch.strSockData));
    response.location = responseLocation(header);
    response.moved = isRedirectStatus(responseStatus(header), response.location);
    processPageText(page, response);
}

void Scanner::processPageText(QString &page, const PageResponse &response)
{
    closeSocket();
    if (!m_ctx.bScanning)
        return;
    // A Stop, a Skip or another page started while this one gives way to the
    // event loop has taken over the scan: the page then lets go quietly.
    const PageGuard guard{m_scanEpoch, m_conn.serial};

    // One pass over the page: its notes, its normalised text and the lines
    // that can hold a link or a redirect marker.
    const PageReading reading = readPage(page, strMainSite);
    if (reading.notes.mainSiteMentioned) {
        m_site.bRedirectFound = true;
        m_site.strRedirectURL = m_page.strCurUrl;
    }
    if (!reading.notes.statusNote.isEmpty())
        m_site.strStatusNote = reading.notes.statusNote;

    m_display->setPanelText(2, QStringLiteral("Saving to HTML"));
    m_display->repaintStatusBar();
    giveWayIfDue();
    if (!guard.stillOn(*this))
        return abandonPage();

    // Only the user and the e-mail harvester read the dumps; a dump that
    // cannot be written leaves the page to be processed all the same.
    m_dumps.write(m_ctx.programDir(), kDumpIndex, reading.text);

    getLinks(reading, response, guard);
}

void Scanner::getLinks(const PageReading &reading, const PageResponse &response, const PageGuard &guard)
{
    if (!m_ctx.bScanning)
        return abandonPage();
    m_display->setPanelText(2, QStringLiteral("Getting Links"));
    m_display->repaintStatusBar();
    giveWayIfDue();
    if (!guard.stillOn(*this))
        return abandonPage();

    LinkContext lc;
    lc.mainSite = strMainSite;
    lc.curUrl = m_page.strCurUrl;
    lc.curDir = m_page.strCurDir;
    lc.sockHost = m_conn.fetch.strSockHost;
    lc.mainSiteText = m_project.List4->item(m_main - 1);
    platform::ListView *sites = scannedList();
    const int row = iCurrentSite();
    lc.linkingSiteRow = sites && row > 0 ? sites->text(row) : QString();
    lc.useFileTypes = m_ctx.settings().get(key::chkFileTypes, QStringLiteral("1")) == QLatin1String("1");
    lc.fileTypes = vFileTypes;
    lc.ruleLog = {settingIsOne(key::chkLog, 0), m_ctx.programDir()};
    lc.siteKnown = [this](QString &url) { return siteKnown(url); };
    lc.foundOnKnown = [this] { return foundOnKnown(m_page.strCurUrl); };
    std::shared_ptr<const RuleSet> rules = rulesFor(lc.mainSiteText, lc.linkingSiteRow);
    LinkExaminer examiner(std::move(lc), std::move(rules));

    // A response that moved the page is a redirect page whatever its body
    // says: the body of such a response is not the page.
    if (!m_page.bEmulate && response.moved) {
        QString target = redirectAddress(response.location.trimmed(), examiner.context());
        return followRedirect(target, guard);
    }

    // Only the lines that can hold a link or a marker are read; the others
    // give nothing. A site that needs no more links has only its first line
    // read, as the test after each line would have it.
    const bool firstLineOnly = m_site.iLinksExpected <= m_site.lSiteLinksFound;
    QElapsedTimer slice;
    slice.start();
    for (qsizetype n = 0; n < reading.lines.size(); ++n) {
        const PageLine &pageLine = reading.lines.at(n);
        if (firstLineOnly && pageLine.start != 0)
            break;
        if (slice.elapsed() >= kGiveWayMs) {
            if (!yieldOnPage(guard))
                return abandonPage();
            slice.restart();
        }

        if (!m_page.bEmulate && pageLine.marker) {
            QString target = redirectTarget(reading, n, response.location, examiner.context());
            if (target.isEmpty())
                break;  // nothing to follow: the page ends as any other
            return followRedirect(target, guard);
        }

        const LineResult r = examiner.examine(reading.line(pageLine));
        if (!r.queueUrl.isEmpty())
            queuePage(r.queueUrl);
        if (r.ruleProblem)
            m_site.strStatusNote = QStringLiteral("Possible Rule Problem");
        if (!r.status.isEmpty()) {
            // Rule scope and the same-site test follow the row's new text.
            if (recordLink(r.status))
                examiner.setLinkingSiteRow(m_page.strCurUrl,
                                           rulesFor(examiner.context().mainSiteText, m_page.strCurUrl));
            if (!yieldOnPage(guard))
                return abandonPage();
        }
        if (!m_ctx.bScanning || m_site.iLinksExpected <= m_site.lSiteLinksFound)
            break;
    }
    endPage(guard);
}

void Scanner::queuePage(const QString &url)
{
    // No server has such an address, and the project must never store one.
    if (holdsControlCharacter(url)) {
        m_site.strSeenPages.add(url);  // said once per page of the site
        addErrorRow(*m_project.lstErr, {kControlCharacterLink, controlCharactersShown(url)});
        return;
    }
    m_site.lSitePagesFound = saturatingIncrement(m_site.lSitePagesFound);
    addStat(m_ctx, Stat::PageFound);
    m_project.List2->addItem(url);
    m_site.strSeenPages.add(url);
}

bool Scanner::recordLink(const QString &status)
{
    m_site.lSiteLinksFound = saturatingIncrement(m_site.lSiteLinksFound);
    if (m_site.iLinksFound < std::numeric_limits<int>::max())
        ++m_site.iLinksFound;
    m_site.lResultNumber = saturatingIncrement(m_site.lResultNumber);

    // The linking site's own URL stays as it is: only the column shows its
    // domain.
    QString linkingSite = strLinkingSite;
    const QString linking = getDomain(linkingSite);
    const bool direct = status == QLatin1String("Direct Link");
    const qint64 number = m_site.lResultNumber;
    addResultRow(*m_project.List3, direct ? directLinkRow(strMainSite, linking, number, m_page.strCurUrl)
                                          : domainLinkRow(strMainSite, linking, number, m_page.strCurUrl));

    platform::ListView *sites = scannedList();
    bool rowRewritten = false;
    if (const int row = iCurrentSite(); sites && row > 0) {
        sites->setForeColor(row, platform::kColorBlue);
        if (direct && settingIsOne(key::chkUpdate, 1)) {
            sites->setText(row, m_page.strCurUrl);
            rowRewritten = true;
        }
    }

    m_site.bLinkFound = true;
    if (settingIsOne(key::chkAudioEmail, 1))
        playSound(m_ctx, m_ctx.programPath(QStringLiteral("sounds/foundemail.wav")));
    addStat(m_ctx, Stat::LinkFound);
    m_display->setPanelText(3, QStringLiteral("Found %1 links").arg(m_site.lSiteLinksFound));
    m_display->repaintStatusBar();
    return rowRewritten;
}

void Scanner::followRedirect(QString &target, const PageGuard &guard)
{
    // The hop waits no longer than a page of the scan would, and Stop, Skip
    // or the program's shut-down (all of which move the scan on) end it at
    // once.
    platform::FetchOptions options = m_ctx.fetchOptions;
    const int idle = qBound(1, TimeOut, kMaxHopIdleSec);
    options.idleTimeoutSec = idle;
    options.connectTimeoutSec = qMin(options.connectTimeoutSec, idle);
    options.totalTimeoutSec = idle * kHopTotalFactor;
    options.cancelled = [this, &guard] { return !guard.stillOn(*this); };
    if (holdsControlCharacter(target)) {
        addErrorRow(*m_project.lstErr, {kControlCharacterLink, controlCharactersShown(target)});
        return endPage(guard);
    }
    QString body = getURL(m_ctx, target, options);
    // The fetch gives way to the event loop while it waits.
    if (!guard.stillOn(*this))
        return abandonPage();
    m_page.bEmulate = true;
    // At most one hop: the target's own markers are ignored, and its end of
    // page asks for the next page.
    processPageText(body, PageResponse());
}

void Scanner::endPage(const PageGuard &guard)
{
    m_display->setPanelText(2, QString());
    m_display->repaintStatusBar();
    giveWayIfDue();
    const bool stillOn = guard.stillOn(*this);
    m_page.bEmulate = false;
    if (!stillOn)
        return;
    const bool timedOut = std::exchange(m_page.siteTimedOut, false);
    if (timedOut || (settingIsOne(key::chkRedirect, 1) && m_site.bRedirectFound && !m_site.bLinkFound))
        cmdNextSearch_Click();
    else
        nextPage();
}

void Scanner::abandonPage()
{
    // Whatever stopped or moved the scan has already asked for what comes
    // next; the page only lets go of its own state.
    m_page.bEmulate = false;
}

} // namespace tarnwick
