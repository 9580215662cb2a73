// Page processing: what a fetched page of the linking site says, its two
// dumps, its links examined one line at a time, new pages of the same site
// queued, links to the main site recorded, one redirect page followed, and
// the request for the next page or the end of the linking site.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QStatusBar>
#include <QTimer>

#include <limits>

#include "platform/socket.h"
#include "scanner/httpfetch.h"
#include "scanner/linkrules.h"
#include "scanner/pagetext.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {

// Pending events are processed at most this often while a page's lines are
// read: often enough for Stop and Skip to feel immediate, seldom enough to
// cost nothing next to the page.
constexpr qint64 kLineYieldMs = 10;

bool settingIsOne(AppContext &ctx, const char *key, int defaultValue)
{
    return ctx.settings().getInt(QLatin1String(key), defaultValue) == 1;
}

// While a scan runs, the window is drawn at most every kPaintIntervalMs. A
// scan changes the status bar, the progress bar, the counters and the queue
// several times per page, and every change would otherwise be drawn at the
// next turn of the event loop: on a fast site, drawing cost many times what
// the pages did. A drawing held back is made when the interval is over.
constexpr int kPaintIntervalMs = 40;

class ScanPaintThrottle : public QObject {
public:
    ScanPaintThrottle(QWidget *window, const AppContext &ctx)
        : QObject(window)
        , m_window(window)
        , m_ctx(ctx)
    {
        m_deferred.setSingleShot(true);
        connect(&m_deferred, &QTimer::timeout, this, [this] {
            // The request that was held back, made now.
            QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
        });
        m_lastPaint.start();
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::UpdateRequest)
            return false;
        const qint64 since = m_lastPaint.elapsed();
        if (!m_ctx.bScanning || since >= kPaintIntervalMs) {
            m_deferred.stop();
            m_lastPaint.restart();
            return false;
        }
        if (!m_deferred.isActive())
            m_deferred.start(int(kPaintIntervalMs - since));
        return true;
    }

private:
    QWidget *m_window;
    const AppContext &m_ctx;
    QElapsedTimer m_lastPaint;
    QTimer m_deferred;
};

} // namespace

void Form1::throttleScanPainting()
{
    new ScanPaintThrottle(this, m_ctx);
}

bool Form1::PageGuard::stillOn(const Form1 &form) const
{
    return form.scanStillOn(epoch) && form.m_fetchSerial[0] == serial;
}

bool Form1::yieldOnPage(const PageGuard &guard)
{
    m_ctx.yieldToEventLoop();
    return guard.stillOn(*this);
}

void Form1::processPage(QString &page, int index)
{
    // A page from the client is never the target of a redirect hop, whatever
    // an abandoned page may have left behind.
    bEmulate = false;
    QString location;
    if (index >= 0 && index < AppContext::kSocketCount)
        location = responseLocation(QString::fromLatin1(responseHeader(m_ctx.strSockData[index])));
    processPageText(page, index, location);
}

void Form1::processPageText(QString &page, int index, const QString &location)
{
    closeSocket(0);
    if (!m_ctx.bScanning)
        return;
    if (index < 0 || index >= wscVersion.size())
        index = 0;
    // A Stop, a Skip or another page started while this one gives way to the
    // event loop has taken over the scan: the page then lets go quietly.
    const PageGuard guard{m_scanEpoch, m_fetchSerial[0]};

    const PageNotes notes = pageStatusNotes(page, strMainSite);
    if (notes.mainSiteMentioned) {
        m_ctx.bRedirectFound = true;
        m_ctx.strRedirectURL = strCurUrl;
    }
    if (!notes.statusNote.isEmpty())
        m_ctx.strStatusNote = notes.statusNote;

    const QString normalized = normalizeHrefs(page);

    setPanelText(2, QStringLiteral("Saving to HTML"));
    repaintStatusBar();
    if (!yieldOnPage(guard))
        return abandonPage();

    // Only the user and the e-mail harvester read the dumps; a dump that
    // cannot be written leaves the page to be processed all the same.
    writePageDump(m_ctx.programDir(), index, normalized);
    if (!yieldOnPage(guard))
        return abandonPage();
    writePageDump2(m_ctx.programDir(), index, normalized);

    getLinks(index, normalized, location, guard);
}

void Form1::getLinks(int index, const QString &normalized, const QString &location, const PageGuard &guard)
{
    if (!m_ctx.bScanning)
        return abandonPage();
    setPanelText(2, QStringLiteral("Getting Links"));
    repaintStatusBar();
    if (!yieldOnPage(guard))
        return abandonPage();

    LinkContext lc;
    lc.mainSite = strMainSite;
    lc.curUrl = strCurUrl;
    lc.curDir = strCurDir;
    lc.sockHost = m_ctx.strSockHost[0];
    lc.mainSiteText = List4->item(m_ctx.iCurrentMain - 1);
    platform::ListView *sites = List1(m_ctx.iCurrentMain);
    const bool siteRowExists = sites && iCurrentSite >= 1 && iCurrentSite <= sites->count();
    lc.linkingSiteRow = siteRowExists ? sites->text(iCurrentSite) : QString();
    lc.useFileTypes = m_ctx.settings().get(QStringLiteral("chkFileTypes"), QStringLiteral("1")) == QLatin1String("1");
    lc.fileTypes = m_ctx.vFileTypes;
    lc.rules = rulesFromList(*lstRules);
    lc.ruleLog = {settingIsOne(m_ctx, "chkLog", 0), m_ctx.programDir()};
    lc.siteKnown = [this](QString &url) { return siteKnown(url); };
    lc.foundOnKnown = [this] { return foundOnKnown(strCurUrl); };

    DumpLineReader reader(normalized);
    QElapsedTimer slice;
    slice.start();
    while (!reader.atEnd()) {
        if (slice.elapsed() >= kLineYieldMs) {
            if (!yieldOnPage(guard))
                return abandonPage();
            slice.restart();
        }
        const QStringView line = reader.next();

        if (!bEmulate && isRedirectMarker(line)) {
            QString target = redirectTarget(line, reader, location, lc);
            if (target.isEmpty())
                break;  // nothing to follow: the page ends as any other
            return followRedirect(target, guard);
        }

        const LineResult r = examineLine(line, lc);
        if (!r.queueUrl.isEmpty())
            queuePage(r.queueUrl);
        if (r.ruleProblem)
            m_ctx.strStatusNote = QStringLiteral("Possible Rule Problem");
        if (!r.status.isEmpty()) {
            recordLink(r.status, lc.linkingSiteRow);
            if (!yieldOnPage(guard))
                return abandonPage();
        }
        if (!m_ctx.bScanning || m_ctx.iLinksExpected <= m_ctx.lSiteLinksFound)
            break;
    }
    endPage(index, guard);
}

void Form1::queuePage(const QString &url)
{
    m_ctx.lSitePagesFound = saturatingIncrement(m_ctx.lSitePagesFound);
    addStat(m_ctx, 1);
    List2->addItem(url);
    m_ctx.strSeenPages.add(url);
}

void Form1::recordLink(const QString &status, QString &linkingSiteRow)
{
    m_ctx.lSiteLinksFound = saturatingIncrement(m_ctx.lSiteLinksFound);
    if (m_ctx.iLinksFound < std::numeric_limits<int>::max())
        ++m_ctx.iLinksFound;
    m_ctx.lResultNumber = saturatingIncrement(m_ctx.lResultNumber);

    // The linking site's own URL stays as it is: only the column shows its
    // domain.
    QString linkingSite = m_ctx.strLinkingSite;
    const QString linking = getDomain(linkingSite);
    itmX = List3->add(strMainSite, {linking, status, resultNumberText(m_ctx.lResultNumber), strCurUrl}, 2,
                      platform::kColorBlue);

    platform::ListView *sites = List1(m_ctx.iCurrentMain);
    if (sites && iCurrentSite >= 1 && iCurrentSite <= sites->count()) {
        sites->setForeColor(iCurrentSite, platform::kColorBlue);
        if (status == QLatin1String("Direct Link") && settingIsOne(m_ctx, "chkUpdate", 1)) {
            sites->setText(iCurrentSite, strCurUrl);
            // Rule scope and the same-site test follow the row's new text.
            linkingSiteRow = strCurUrl;
        }
    }

    m_ctx.bLinkFound = true;
    if (settingIsOne(m_ctx, "chkAudioEmail", 1))
        playSound(m_ctx, m_ctx.programPath(QStringLiteral("sounds/foundemail.wav")));
    addStat(m_ctx, 2);
    setPanelText(3, QStringLiteral("Found %1 links").arg(m_ctx.lSiteLinksFound));
    repaintStatusBar();
}

void Form1::followRedirect(QString &target, const PageGuard &guard)
{
    QString body = getURL(m_ctx, target);
    // The fetch gives way to the event loop while it waits.
    if (!guard.stillOn(*this))
        return abandonPage();
    bEmulate = true;
    // At most one hop: the target's own markers are ignored, and its end of
    // page asks for the next page.
    processPageText(body, 0, QString());
}

void Form1::endPage(int index, const PageGuard &guard)
{
    setPanelText(2, QString());
    repaintStatusBar();
    const bool stillOn = yieldOnPage(guard);
    bEmulate = false;
    if (!stillOn)
        return;
    if (settingIsOne(m_ctx, "chkRedirect", 1) && m_ctx.bRedirectFound && !m_ctx.bLinkFound)
        cmdNextSearch_Click();
    else
        nextPage(index);
}

void Form1::abandonPage()
{
    // Whatever stopped or moved the scan has already asked for what comes
    // next; the page only lets go of its own state.
    bEmulate = false;
}

} // namespace tarnwick
