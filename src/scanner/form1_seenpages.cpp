// The scanner's seen-before questions: is a link's page already known for the
// current linking site, and does a page already stand in the results. Both
// are answered from hash indexes that follow the lists as they change.

#include <QPointer>

#include "scanner/textindex.h"
#include "workspace/database.h"
#include "workspace/project.h"

namespace tarnwick {

namespace {

// Linking-site rows compare without any "www." and ignoring case.
QString linkingSiteKey(QString text)
{
    text.remove(QLatin1String("www."));
    return text.toLower();
}

// A results row by its main site and its found-on page, ignoring case.
QString resultKey(const QString &mainSite, const QString &linkUrl)
{
    return mainSite.toLower() + QChar(0x1F) + linkUrl.toLower();
}

} // namespace

struct Form1::ScanLookups : public QObject {
    using QObject::QObject;
    ModelTextIndex *queue = nullptr;
    ModelTextIndex *results = nullptr;
    QPointer<ModelTextIndex> linkingSites;  // of the main site asked about last
};

void Form1::buildScanLookups()
{
    m_lookups = new ScanLookups(this);
    platform::ListBox *queue = List2;
    platform::ListView *results = List3;
    m_lookups->queue =
        new ModelTextIndex(queue, [queue](int row) { return queue->item(row).toLower(); }, m_lookups);
    m_lookups->results = new ModelTextIndex(
        results, [results](int row) { return resultKey(results->text(row + 1), results->subItem(row + 1, 4)); },
        m_lookups);
}

bool Form1::siteKnown(QString &url)
{
    removeSchemeLong(url);

    platform::ListView *list = List1(m_ctx.iCurrentMain);
    if (list && m_ctx.iCurrentMain >= 1) {
        if (!m_lookups->linkingSites || m_lookups->linkingSites->model() != list) {
            delete m_lookups->linkingSites;
            // Owned by the list, so it goes when the list goes.
            m_lookups->linkingSites =
                new ModelTextIndex(list, [list](int row) { return linkingSiteKey(list->text(row + 1)); }, list);
        }
        if (m_lookups->linkingSites->contains(linkingSiteKey(url)))
            return true;
    }
    const QString lower = url.toLower();
    if (m_lookups->queue->contains(lower))
        return true;
    return m_ctx.strSeenPages.contains(url);
}

bool Form1::foundOnKnown(QString &page)
{
    removeSchemeShort(page);
    return m_lookups->results->contains(resultKey(strMainSite, page));
}

} // namespace tarnwick
