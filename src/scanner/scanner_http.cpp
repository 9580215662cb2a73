// The scanner's own HTTP client: one hand-built GET per page over the socket
// layer, the response collected until the server closes, its status tested,
// and an idle time-out that gives up the whole linking site.

#include <QTimer>

#include "platform/services.h"
#include "platform/socket.h"
#include "scanner/httpfetch.h"
#include "scanner/scanner.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/results.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {
// What is kept of one response; past it the connection is closed and what
// arrived is processed.
constexpr qsizetype kMaxResponseBytes = 16 * 1024 * 1024;
// However steadily a server trickles, a page takes at most this many times
// the idle time-out.
constexpr int kPageTimeFactor = 10;
} // namespace

void Scanner::closeSocket()
{
    m_conn.wscVersion->Close();
    ++m_conn.serial;
}

void Scanner::fetchPage()
{
    if (!m_ctx.bScanning)
        return;

    const PageAddress a = splitPageAddress(m_page.strURL);
    m_page.strURL = a.url;
    m_page.strCurUrl = a.curUrl;
    m_page.strCurDir = a.curDir;
    m_page.siteTimedOut = false;
    m_conn.fetch = Connection::Fetch();
    m_conn.fetch.strSockHost = a.host;
    m_conn.fetch.strSockPath = a.path;

    const quint64 epoch = m_scanEpoch;
    const quint64 serial = ++m_conn.serial;
    m_display->setPanelText(1, QStringLiteral("Downloading: ") + a.host + a.path);
    giveWayIfDue();
    if (!scanStillOn(epoch) || serial != m_conn.serial)
        return;

    m_conn.fetch.iSockTimer = 0;
    m_conn.timTimeout->start();

    platform::Socket *socket = m_conn.wscVersion;
    socket->Close();
    const ConnectTarget target = connectTargetOf(a.host);
    socket->Connect(target.hostName, target.port);
}

void Scanner::wscVersion_Connect()
{
    if (!m_ctx.bScanning)
        return;
    turnStarted();
    const quint64 serial = m_conn.serial;
    addStat(m_ctx, Stat::PageScanned);
    giveWayIfDue();
    if (!m_ctx.bScanning || serial != m_conn.serial)
        return;
    m_display->setProgress(0);
    m_conn.wscVersion->SendData(buildHttpRequest(m_conn.fetch.strSockHost, m_conn.fetch.strSockPath));
}

void Scanner::wscVersion_DataArrival(qint64 bytesTotal)
{
    Q_UNUSED(bytesTotal);
    // Without a scan the data stays unread.
    if (!m_ctx.bScanning)
        return;
    turnStarted();
    const quint64 serial = m_conn.serial;
    Connection::Fetch &f = m_conn.fetch;

    f.iSockTimer = 0;
    QByteArray chunk = m_conn.wscVersion->GetData();
    const bool full = f.strSockData.size() + chunk.size() >= kMaxResponseBytes;
    if (full)
        chunk.truncate(kMaxResponseBytes - f.strSockData.size());
    f.strSockData.append(chunk);
    f.lSockBytes += chunk.size();
    if (full) {
        closeSocket();
        finishFetch();
        return;
    }

    const QString page = f.strSockHost + f.strSockPath;
    m_display->setPanelText(1, QStringLiteral("Downloading: %1 (%2)").arg(page).arg(f.lSockBytes));
    m_display->repaintStatusBar();
    giveWayIfDue();
    if (!m_ctx.bScanning || serial != m_conn.serial)
        return;

    if (f.lSockLength >= 1) {
        const float percent = qAbs(float(f.lSockBytes) / float(f.lSockLength) * 100.0f);
        // The bar refuses what lies outside its range.
        if (percent <= 100.0f)
            m_display->setProgress(int(percent));
        giveWayIfDue();
        if (!m_ctx.bScanning || serial != m_conn.serial)
            return;
    }

    if (!f.bSockHeaders) {
        // Searched from where the last search stopped, so a long header costs
        // no more than once over.
        const qsizetype end = findHeaderEnd(f.strSockData, f.headerSearchFrom);
        if (end < 0) {
            f.headerSearchFrom = qMax<qsizetype>(0, f.strSockData.size() - 3);
            return;
        }
        f.bSockHeaders = true;
        f.lSockBytes -= end + 4;
        const QByteArray header = f.strSockData.left(end);
        f.lSockLength = contentLengthOf(header);
        f.bodyLength = declaredBodyLength(header);
        f.chunkFrom = isChunkedResponse(header) ? end + 4 : -1;
    }
    // A server may keep the connection open after a complete response: a
    // body is complete at its length, a chunked one at its last chunk.
    const bool complete =
        f.bodyLength >= 0 ? f.lSockBytes >= f.bodyLength : chunkedBodyEnded(f.strSockData, f.chunkFrom);
    if (complete) {
        closeSocket();
        finishFetch();
    }
}

void Scanner::wscVersion_Close()
{
    if (!m_ctx.bScanning)
        return;
    turnStarted();
    // Reset or closed before a single byte: no page, as with a refused one.
    if (m_conn.fetch.strSockData.isEmpty())
        return connectionFailed();
    finishFetch();
}

void Scanner::finishFetch()
{
    const quint64 serial = ++m_conn.serial;
    m_conn.timTimeout->stop();

    const QByteArray &data = m_conn.fetch.strSockData;
    const QString page = m_conn.fetch.strSockHost + m_conn.fetch.strSockPath;
    checkHTTPStatus(QString::fromLatin1(responseHeader(data)), page);
    QString body = platform::decodeText(responseBody(data));

    m_display->setPanelText(1, QStringLiteral("Finished: ") + page);
    m_display->repaintStatusBar();
    giveWayIfDue();
    if (!m_ctx.bScanning || serial != m_conn.serial)
        return;
    processPage(body);
}

void Scanner::checkHTTPStatus(const QString &header, const QString &pageUrl)
{
    const QString code = statusCodeOf(header);
    if (code.isEmpty() || code == QLatin1String(" ") || code == QLatin1String("200"))
        return;
    const QString text = httpStatusText(code);
    if (text.isEmpty())
        return;
    m_site.strStatusNote = text;
    addErrorRow(*m_project.lstErr, {text, pageUrl});
    addStat(m_ctx, Stat::PageScanned);
}

void Scanner::timTimeout_Timer()
{
    if (!m_ctx.bScanning) {
        m_conn.timTimeout->stop();
        return;
    }
    turnStarted();
    const quint64 serial = m_conn.serial;
    m_conn.fetch.iSockTimer += 1;
    m_conn.fetch.pageSeconds += 1;
    m_display->setPanelText(4, QStringLiteral("%1 of %2 seconds").arg(m_conn.fetch.iSockTimer).arg(TimeOut));
    m_display->repaintStatusBar();
    m_ctx.yieldToEventLoop();
    if (!m_ctx.bScanning || serial != m_conn.serial)
        return;
    if (m_conn.fetch.iSockTimer >= TimeOut)
        endSiteAsTimedOut();
    else if (m_conn.fetch.pageSeconds >= kPageTimeFactor * qMax(TimeOut, 1))
        endPageAsTimedOut();
}

void Scanner::wscVersion_Error()
{
    if (!m_ctx.bScanning)
        return;
    turnStarted();
    connectionFailed();
}

void Scanner::connectionFailed()
{
    // The linking site's own page failing ends the site at once, as the
    // time-out would later. Any later page is only passed over: one dead
    // link must not cost the pages that link back.
    if (m_site.lSitePagesScanned <= 1)
        return endSiteAsTimedOut();
    m_conn.timTimeout->stop();
    closeSocket();
    addErrorRow(*m_project.lstErr, {QStringLiteral("Timeout"), m_conn.fetch.strSockHost});
    nextPage();
}

void Scanner::endPageAsTimedOut()
{
    // The server kept sending, so what it sent is the page as far as it
    // goes: it is processed, its links count, and the linking site then ends
    // as at any time-out, so a trickling site costs no more than one page.
    closeSocket();
    addErrorRow(*m_project.lstErr, {QStringLiteral("Timeout"), m_conn.fetch.strSockHost});
    m_site.strStatusNote = QStringLiteral("Timeout");
    m_page.siteTimedOut = true;
    finishFetch();
}

void Scanner::endSiteAsTimedOut()
{
    m_conn.timTimeout->stop();
    addErrorRow(*m_project.lstErr, {QStringLiteral("Timeout"), m_conn.fetch.strSockHost});
    m_site.strStatusNote = QStringLiteral("Timeout");
    cmdNextSearch_Click();
}

void Scanner::shutDown()
{
    m_ctx.bScanning = false;
    ++m_scanEpoch;
    closeSocket();
    m_conn.timTimeout->stop();
}

} // namespace tarnwick
