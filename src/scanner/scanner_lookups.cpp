// The scanner's seen-before questions: is a link's page already known for the
// current linking site, and does a page already stand in the results. Both
// are answered from hash indexes that follow the lists as they change.

#include "scanner/scanner.h"
#include "scanner/textindex.h"
#include "workspace/database.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/textcase.h"

namespace tarnwick {

namespace {

// Linking-site rows compare without any "www." and ignoring case.
QString linkingSiteKey(QString text)
{
    text.remove(QLatin1String("www."));
    return lowerCased(text);
}

// A results row by its main site and its found-on page, ignoring case.
QString resultKey(const QString &mainSite, const QString &linkUrl)
{
    return lowerCased(mainSite) + QChar(0x1F) + lowerCased(linkUrl);
}

} // namespace

void Scanner::buildLookups()
{
    platform::ListBox *queue = m_project.List2;
    platform::ListView *results = m_project.List3;
    m_queueIndex = new ModelTextIndex(queue, [queue](int row) { return lowerCased(queue->item(row)); }, this);
    m_resultIndex = new ModelTextIndex(
        results, [results](int row) { return resultKey(results->text(row + 1), results->subItem(row + 1, 4)); }, this);
}

namespace {

// The library's substring search costs more than the whole of a short URL.
bool containsWww(QStringView url)
{
    const char16_t *p = url.utf16();
    for (qsizetype i = 0; i + 4 <= url.size(); ++i) {
        if (p[i] == u'w' && p[i + 1] == u'w' && p[i + 2] == u'w' && p[i + 3] == u'.')
            return true;
    }
    return false;
}

} // namespace

bool Scanner::siteKnown(QString &url)
{
    removeSchemeLong(url);

    // The scan's own main site; between scans, the one selected.
    const int main = m_ctx.bScanning ? m_main : m_project.iCurrentMain;
    const QString lower = lowerCased(url);
    if (platform::ListView *list = m_project.List1(main); list && main >= 1) {
        if (!m_linkingSiteIndex || m_linkingSiteIndex->model() != list) {
            delete m_linkingSiteIndex;
            // Owned by the list, so it goes when the list goes.
            m_linkingSiteIndex =
                new ModelTextIndex(list, [list](int row) { return linkingSiteKey(list->text(row + 1)); }, list);
        }
        if (m_linkingSiteIndex->contains(containsWww(url) ? linkingSiteKey(url) : lower))
            return true;
    }
    if (m_queueIndex->contains(lower))
        return true;
    return m_site.strSeenPages.containsLowerCased(lower);
}

bool Scanner::foundOnKnown(QString &page)
{
    removeSchemeShort(page);
    return m_resultIndex->contains(resultKey(strMainSite, page));
}

} // namespace tarnwick
