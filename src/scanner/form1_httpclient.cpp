// The scanner's own HTTP client: one hand-built GET per page over the socket
// layer, the response collected until the server closes, its status tested,
// and an idle time-out that gives up the whole linking site.

#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include "platform/services.h"
#include "platform/socket.h"
#include "scanner/httpfetch.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {
// What is kept of one response; past it the connection is closed and what
// arrived is processed.
constexpr qsizetype kMaxResponseBytes = 16 * 1024 * 1024;
} // namespace

void Form1::closeSocket(int index)
{
    if (index < 0 || index >= wscVersion.size())
        return;
    wscVersion[index]->Close();
    ++m_fetchSerial[index];
}

void Form1::fetchPage(int index)
{
    if (!m_ctx.bScanning)
        return;
    if (index < 0 || index >= wscVersion.size())
        return;

    const PageAddress a = splitPageAddress(strURL);
    strURL = a.url;
    strCurUrl = a.curUrl;
    strCurDir = a.curDir;
    m_ctx.strSockHost[index] = a.host;
    m_ctx.strSockPath[index] = a.path;

    m_ctx.strSockData[index] = QByteArray();
    m_ctx.bSockHeaders[index] = false;
    m_ctx.lSockLength[index] = 0;
    m_ctx.lSockBytes[index] = 0;
    m_headerSearchFrom[index] = 0;

    const quint64 epoch = m_scanEpoch;
    const quint64 serial = ++m_fetchSerial[index];
    setPanelText(1, QStringLiteral("Downloading: ") + a.host + a.path);
    m_ctx.yieldToEventLoop();
    if (!scanStillOn(epoch) || serial != m_fetchSerial[index])
        return;

    m_ctx.iSockTimer[index] = 0;
    timTimeout[index]->start();

    platform::Socket *socket = wscVersion[index];
    socket->Close();
    const ConnectTarget target = connectTargetOf(a.host);
    socket->Connect(target.hostName, target.port);
}

void Form1::wscVersion_Connect(int index)
{
    if (!m_ctx.bScanning || index < 0 || index >= wscVersion.size())
        return;
    const quint64 serial = m_fetchSerial[index];
    addStat(m_ctx, 0);
    m_ctx.yieldToEventLoop();
    if (!m_ctx.bScanning || serial != m_fetchSerial[index])
        return;
    pb1->setValue(0);
    wscVersion[index]->SendData(buildHttpRequest(m_ctx.strSockHost[index], m_ctx.strSockPath[index]));
}

void Form1::wscVersion_DataArrival(int index, qint64 bytesTotal)
{
    Q_UNUSED(bytesTotal);
    // Without a scan the data stays unread.
    if (!m_ctx.bScanning || index < 0 || index >= wscVersion.size())
        return;
    const quint64 serial = m_fetchSerial[index];

    m_ctx.iSockTimer[index] = 0;
    QByteArray chunk = wscVersion[index]->GetData();
    QByteArray &data = m_ctx.strSockData[index];
    const bool full = data.size() + chunk.size() >= kMaxResponseBytes;
    if (full)
        chunk.truncate(kMaxResponseBytes - data.size());
    data.append(chunk);
    m_ctx.lSockBytes[index] += chunk.size();
    if (full) {
        closeSocket(index);
        finishFetch(index);
        return;
    }

    const QString page = m_ctx.strSockHost[index] + m_ctx.strSockPath[index];
    setPanelText(1, QStringLiteral("Downloading: %1 (%2)").arg(page).arg(m_ctx.lSockBytes[index]));
    repaintStatusBar();
    m_ctx.yieldToEventLoop();
    if (!m_ctx.bScanning || serial != m_fetchSerial[index])
        return;

    if (m_ctx.lSockLength[index] >= 1) {
        const float percent = qAbs(float(m_ctx.lSockBytes[index]) / float(m_ctx.lSockLength[index]) * 100.0f);
        // The bar refuses what lies outside its range.
        if (percent <= float(pb1->maximum()))
            pb1->setValue(int(percent));
        m_ctx.yieldToEventLoop();
        if (!m_ctx.bScanning || serial != m_fetchSerial[index])
            return;
    }

    if (m_ctx.bSockHeaders[index])
        return;
    // Searched from where the last search stopped, so a long header costs
    // no more than once over.
    const qsizetype end = findHeaderEnd(data, m_headerSearchFrom[index]);
    if (end < 0) {
        m_headerSearchFrom[index] = qMax<qsizetype>(0, data.size() - 3);
        return;
    }
    m_ctx.bSockHeaders[index] = true;
    m_ctx.lSockBytes[index] -= end + 4;
    m_ctx.lSockLength[index] = contentLengthOf(data.left(end));
}

void Form1::wscVersion_Close(int index)
{
    if (!m_ctx.bScanning || index < 0 || index >= wscVersion.size())
        return;
    finishFetch(index);
}

void Form1::finishFetch(int index)
{
    const quint64 serial = ++m_fetchSerial[index];
    timTimeout[index]->stop();

    const QByteArray &data = m_ctx.strSockData[index];
    const QString page = m_ctx.strSockHost[index] + m_ctx.strSockPath[index];
    checkHTTPStatus(QString::fromLatin1(responseHeader(data)), page);
    QString body = platform::decodeText(responseBody(data));

    setPanelText(1, QStringLiteral("Finished: ") + page);
    repaintStatusBar();
    m_ctx.yieldToEventLoop();
    if (!m_ctx.bScanning || serial != m_fetchSerial[index])
        return;
    processPage(body, index);
}

void Form1::checkHTTPStatus(const QString &header, const QString &pageUrl)
{
    const QString code = statusCodeOf(header);
    if (code.isEmpty() || code == QLatin1String(" ") || code == QLatin1String("200"))
        return;
    const QString text = httpStatusText(code);
    if (text.isEmpty())
        return;
    m_ctx.strStatusNote = text;
    itmX = lstErr->add(text, {pageUrl});
    addStat(m_ctx, 0);
}

void Form1::timTimeout_Timer(int index)
{
    if (index < 0 || index >= timTimeout.size())
        return;
    if (!m_ctx.bScanning) {
        timTimeout[index]->stop();
        return;
    }
    const quint64 serial = m_fetchSerial[index];
    m_ctx.iSockTimer[index] += 1;
    setPanelText(4, QStringLiteral("%1 of %2 seconds").arg(m_ctx.iSockTimer[index]).arg(TimeOut));
    repaintStatusBar();
    m_ctx.yieldToEventLoop();
    if (!m_ctx.bScanning || serial != m_fetchSerial[index])
        return;
    if (m_ctx.iSockTimer[index] >= TimeOut)
        endSiteAsTimedOut(index);
}

void Form1::wscVersion_Error(int index)
{
    if (!m_ctx.bScanning || index < 0 || index >= wscVersion.size())
        return;
    // A refused connection or a failed lookup ends the site at once, as the
    // time-out would later.
    endSiteAsTimedOut(index);
}

void Form1::endSiteAsTimedOut(int index)
{
    timTimeout[index]->stop();
    itmX = lstErr->add(QStringLiteral("Timeout"), {m_ctx.strSockHost[index]});
    m_ctx.strStatusNote = QStringLiteral("Timeout");
    cmdNextSearch_Click();
}

} // namespace tarnwick
