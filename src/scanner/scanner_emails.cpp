// The e-mail harvester: the second way to finish a fetched page.

#include "platform/safefile.h"
#include "platform/services.h"
#include "scanner/emails.h"
#include "scanner/pagetext.h"
#include "scanner/scanner.h"
#include "workspace/context.h"
#include "workspace/database.h"
#include "workspace/services.h"
#include "workspace/settingkeys.h"

namespace tarnwick {

void Scanner::getEmails()
{
    m_display->setPanelText(2, QStringLiteral("Getting Emails"));
    if (!m_ctx.bScanning)
        return;
    const PageGuard guard{m_scanEpoch, m_conn.serial};

    // A dump that cannot be read gives no addresses; the page still ends.
    // The first dump keeps the page's line breaks, which end an address; the
    // second has none.
    QByteArray bytes;
    QStringList lines;
    if (platform::readWholeFile(pageDumpPath(m_ctx.programDir(), kDumpIndex), bytes))
        lines = platform::decodeText(bytes).split(QLatin1Char('\n'));

    for (const QString &line : std::as_const(lines)) {
        if (!yieldOnPage(guard))
            return abandonPage();
        const QList<EmailFind> finds = tarnwick::getEmails(line);
        for (const EmailFind &find : finds) {
            if (!yieldOnPage(guard))
                return abandonPage();
            QString address = find.address;
            if (emailExists(m_ctx, address))
                continue;
            m_site.lSiteLinksFound = saturatingIncrement(m_site.lSiteLinksFound);
            if (settingIsOne(key::chkAudioEmail, 1))
                playSound(m_ctx, m_ctx.programPath(QStringLiteral("sounds/foundemail.wav")));
            // The end of a sentence is no part of the host name.
            QString domain = find.domain;
            while (domain.endsWith(QLatin1Char('.')))
                domain.chop(1);
            QString site = QStringLiteral("http://www.") + domain + QLatin1Char('/');
            if (!siteKnown(site)) {
                QString again = QStringLiteral("http://www.") + domain + QLatin1Char('/');
                addWebsite(m_ctx, again);
                addStat(m_ctx, Stat::PageFound);
            }
            addStat(m_ctx, Stat::LinkFound);
            m_display->setPanelText(3, QStringLiteral("Found %1 emails").arg(m_site.lSiteLinksFound));
            m_display->repaintStatusBar();
        }
    }
    m_display->setPanelText(2, QString());
    if (guard.stillOn(*this) && m_ctx.bScanning)
        nextPage();
}

} // namespace tarnwick
