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

void Scanner::closeSocket(int index)
{
    if (index < 0 || index >= wscVersion.size())
        return;
    wscVersion[index]->Close();
    ++m_fetchSerial[index];
}

void Scanner::fetchPage(int index)
{
    if (!m_ctx.bScanning)
        return;
    if (index < 0 || index >= wscVersion.size())
        return;

    const PageAddress a = splitPageAddress(strURL);
    strURL = a.url;
    strCurUrl = a.curUrl;
    strCurDir = a.curDir;
    strSockHost[index] = a.host;
    strSockPath[index] = a.path;

    strSockData[index] = QByteArray();
    bSockHeaders[index] = false;
    lSockLength[index] = 0;
    lSockBytes[index] = 0;
    m_headerSearchFrom[index] = 0;
    m_bodyLength[index] = -1;
    m_chunkFrom[index] = -1;
    m_pageSeconds[index] = 0;
    m_siteTimedOut = false;

    const quint64 epoch = m_scanEpoch;
    const quint64 serial = ++m_fetchSerial[index];
    m_display->setPanelText(1, QStringLiteral("Downloading: ") + a.host + a.path);
    giveWayIfDue();
    if (!scanStillOn(epoch) || serial != m_fetchSerial[index])
        return;

    iSockTimer[index] = 0;
    timTimeout[index]->start();

    platform::Socket *socket = wscVersion[index];
    socket->Close();
    const ConnectTarget target = connectTargetOf(a.host);
    socket->Connect(target.hostName, target.port);
}

void Scanner::wscVersion_Connect(int index)
{
    if (!m_ctx.bScanning || index < 0 || index >= wscVersion.size())
        return;
    turnStarted();
    const quint64 serial = m_fetchSerial[index];
    addStat(m_ctx, 0);
    giveWayIfDue();
    if (!m_ctx.bScanning || serial != m_fetchSerial[index])
        return;
    m_display->setProgress(0);
    wscVersion[index]->SendData(buildHttpRequest(strSockHost[index], strSockPath[index]));
}

void Scanner::wscVersion_DataArrival(int index, qint64 bytesTotal)
{
    Q_UNUSED(bytesTotal);
    // Without a scan the data stays unread.
    if (!m_ctx.bScanning || index < 0 || index >= wscVersion.size())
        return;
    turnStarted();
    const quint64 serial = m_fetchSerial[index];

    iSockTimer[index] = 0;
    QByteArray chunk = wscVersion[index]->GetData();
    QByteArray &data = strSockData[index];
    const bool full = data.size() + chunk.size() >= kMaxResponseBytes;
    if (full)
        chunk.truncate(kMaxResponseBytes - data.size());
    data.append(chunk);
    lSockBytes[index] += chunk.size();
    if (full) {
        closeSocket(index);
        finishFetch(index);
        return;
    }

    const QString page = strSockHost[index] + strSockPath[index];
    m_display->setPanelText(1, QStringLiteral("Downloading: %1 (%2)").arg(page).arg(lSockBytes[index]));
    m_display->repaintStatusBar();
    giveWayIfDue();
    if (!m_ctx.bScanning || serial != m_fetchSerial[index])
        return;

    if (lSockLength[index] >= 1) {
        const float percent = qAbs(float(lSockBytes[index]) / float(lSockLength[index]) * 100.0f);
        // The bar refuses what lies outside its range.
        if (percent <= 100.0f)
            m_display->setProgress(int(percent));
        giveWayIfDue();
        if (!m_ctx.bScanning || serial != m_fetchSerial[index])
            return;
    }

    if (!bSockHeaders[index]) {
        // Searched from where the last search stopped, so a long header costs
        // no more than once over.
        const qsizetype end = findHeaderEnd(data, m_headerSearchFrom[index]);
        if (end < 0) {
            m_headerSearchFrom[index] = qMax<qsizetype>(0, data.size() - 3);
            return;
        }
        bSockHeaders[index] = true;
        lSockBytes[index] -= end + 4;
        const QByteArray header = data.left(end);
        lSockLength[index] = contentLengthOf(header);
        m_bodyLength[index] = declaredBodyLength(header);
        m_chunkFrom[index] = isChunkedResponse(header) ? end + 4 : -1;
    }
    // A server may keep the connection open after a complete response: a
    // body is complete at its length, a chunked one at its last chunk.
    const bool complete = m_bodyLength[index] >= 0 ? lSockBytes[index] >= m_bodyLength[index]
                                                   : chunkedBodyEnded(data, m_chunkFrom[index]);
    if (complete) {
        closeSocket(index);
        finishFetch(index);
    }
}

void Scanner::wscVersion_Close(int index)
{
    if (!m_ctx.bScanning || index < 0 || index >= wscVersion.size())
        return;
    turnStarted();
    // Reset or closed before a single byte: no page, as with a refused one.
    if (strSockData[index].isEmpty())
        return connectionFailed(index);
    finishFetch(index);
}

void Scanner::finishFetch(int index)
{
    const quint64 serial = ++m_fetchSerial[index];
    timTimeout[index]->stop();

    const QByteArray &data = strSockData[index];
    const QString page = strSockHost[index] + strSockPath[index];
    checkHTTPStatus(QString::fromLatin1(responseHeader(data)), page);
    QString body = platform::decodeText(responseBody(data));

    m_display->setPanelText(1, QStringLiteral("Finished: ") + page);
    m_display->repaintStatusBar();
    giveWayIfDue();
    if (!m_ctx.bScanning || serial != m_fetchSerial[index])
        return;
    processPage(body, index);
}

void Scanner::checkHTTPStatus(const QString &header, const QString &pageUrl)
{
    const QString code = statusCodeOf(header);
    if (code.isEmpty() || code == QLatin1String(" ") || code == QLatin1String("200"))
        return;
    const QString text = httpStatusText(code);
    if (text.isEmpty())
        return;
    strStatusNote = text;
    m_project.itmX = addErrorRow(*m_project.lstErr, {text, pageUrl});
    addStat(m_ctx, 0);
}

void Scanner::timTimeout_Timer(int index)
{
    if (index < 0 || index >= timTimeout.size())
        return;
    if (!m_ctx.bScanning) {
        timTimeout[index]->stop();
        return;
    }
    turnStarted();
    const quint64 serial = m_fetchSerial[index];
    iSockTimer[index] += 1;
    m_pageSeconds[index] += 1;
    m_display->setPanelText(4, QStringLiteral("%1 of %2 seconds").arg(iSockTimer[index]).arg(TimeOut));
    m_display->repaintStatusBar();
    m_ctx.yieldToEventLoop();
    if (!m_ctx.bScanning || serial != m_fetchSerial[index])
        return;
    if (iSockTimer[index] >= TimeOut)
        endSiteAsTimedOut(index);
    else if (m_pageSeconds[index] >= kPageTimeFactor * qMax(TimeOut, 1))
        endPageAsTimedOut(index);
}

void Scanner::wscVersion_Error(int index)
{
    if (!m_ctx.bScanning || index < 0 || index >= wscVersion.size())
        return;
    turnStarted();
    connectionFailed(index);
}

void Scanner::connectionFailed(int index)
{
    // The linking site's own page failing ends the site at once, as the
    // time-out would later. Any later page is only passed over: one dead
    // link must not cost the pages that link back.
    if (lSitePagesScanned <= 1)
        return endSiteAsTimedOut(index);
    timTimeout[index]->stop();
    closeSocket(index);
    m_project.itmX = addErrorRow(*m_project.lstErr, {QStringLiteral("Timeout"), strSockHost[index]});
    nextPage(index);
}

void Scanner::endPageAsTimedOut(int index)
{
    // The server kept sending, so what it sent is the page as far as it
    // goes: it is processed, its links count, and the linking site then ends
    // as at any time-out, so a trickling site costs no more than one page.
    closeSocket(index);
    m_project.itmX = addErrorRow(*m_project.lstErr, {QStringLiteral("Timeout"), strSockHost[index]});
    strStatusNote = QStringLiteral("Timeout");
    m_siteTimedOut = true;
    finishFetch(index);
}

void Scanner::endSiteAsTimedOut(int index)
{
    timTimeout[index]->stop();
    m_project.itmX = addErrorRow(*m_project.lstErr, {QStringLiteral("Timeout"), strSockHost[index]});
    strStatusNote = QStringLiteral("Timeout");
    cmdNextSearch_Click();
}

} // namespace tarnwick
