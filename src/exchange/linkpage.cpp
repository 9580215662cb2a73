#include "exchange/linkpage.h"

#include <QHash>
#include <QSet>
#include <memory>

#include "exchange/report.h"
#include "workspace/project.h"
#include "workspace/services.h"
#include "workspace/textcase.h"

namespace tarnwick {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString domainOf(const QString &url)
{
    QString d = url;
    return getDomain(d);
}

// The first matching entry's value in one column; "" when none has one.
template <typename Column>
QString firstValue(const QVector<LinkingSiteRow> &links, const QString &linking, Column column)
{
    for (const LinkingSiteRow &entry : links) {
        if (linkingSiteMatches(entry.website, linking) && !(entry.*column).isEmpty())
            return entry.*column;
    }
    return QString();
}

// One main site's entries by the keys a row's "Linking" can match (the
// entry's text and its domain, in lower case), so a page of many linking
// sites does not walk the whole list for each of them.
class EntryIndex {
public:
    explicit EntryIndex(const QVector<LinkingSiteRow> &links)
        : m_links(links)
    {
        for (qsizetype i = 0; i < links.size(); ++i) {
            const QString text = links[i].website.toLower();
            const QString domain = domainOf(links[i].website).toLower();
            m_byKey[text].append(i);
            if (domain != text)
                m_byKey[domain].append(i);
        }
    }

    // The entries that may stand for linking, in list order.
    QVector<LinkingSiteRow> candidates(const QString &linking) const
    {
        QVector<LinkingSiteRow> out;
        const auto found = m_byKey.constFind(linking.toLower());
        if (found != m_byKey.constEnd()) {
            for (const qsizetype i : *found)
                out.append(m_links[i]);
        }
        return out;
    }

private:
    const QVector<LinkingSiteRow> &m_links;
    QHash<QString, QVector<qsizetype>> m_byKey;
};

} // namespace

bool mainSiteMatches(const QString &mainSiteText, const QString &rowMain)
{
    const QString site = mainSiteText.trimmed();
    const QString main = rowMain.trimmed();
    return site == main || (!main.isEmpty() && stripDomain(site) == main);
}

bool linkingSiteMatches(const QString &entryUrl, const QString &rowLinking)
{
    return entryUrl == rowLinking || domainOf(entryUrl).compare(rowLinking, Qt::CaseInsensitive) == 0;
}

int getMainSiteIndex(const QStringList &mainSites, const QString &rowMain)
{
    for (int i = 0; i < mainSites.size(); ++i) {
        if (mainSiteMatches(mainSites[i], rowMain))
            return i;
    }
    return -1;
}

QString getLinkURL(const QVector<LinkingSiteRow> &links, const QString &linking)
{
    const QString value = firstValue(links, linking, &LinkingSiteRow::htmlLink);
    return value.isEmpty() ? htmlEscape(domainOf(linking)) : value;
}

QString getLinkTitle(const QVector<LinkingSiteRow> &links, const QString &linking)
{
    const QString value = firstValue(links, linking, &LinkingSiteRow::htmlName);
    return value.isEmpty() ? htmlEscape(domainOf(linking)) : value;
}

QString getLinkDescription(const QVector<LinkingSiteRow> &links, const QString &linking)
{
    return firstValue(links, linking, &LinkingSiteRow::description);
}

QString linkEntry(const QString &url, const QString &title, const QString &description,
                  const LinkPageOptions &options)
{
    // A quote would end the attribute; the rest of the user's address is
    // HTML already.
    QString href = withHttpScheme(url);
    href.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    QString entry = QStringLiteral("<a href=\"") + href + QLatin1Char('"');
    if (options.newWindow)
        entry += QStringLiteral(" target=\"_blank\"");
    entry += QLatin1Char('>') + title + QStringLiteral("</a>");
    if (!description.isEmpty() && description != QLatin1String(" "))
        entry += QStringLiteral("<BR>") + description;
    if (options.bullets)
        entry = QStringLiteral("<li>") + entry + QStringLiteral("</li>");
    return entry + QStringLiteral("<br><br>") + kCrLf;
}

QString generateLinks(const QVector<MainSiteData> &mainSites, const QVector<ResultRow> &rows,
                      const LinkPageOptions &options)
{
    QStringList siteTexts;
    siteTexts.reserve(mainSites.size());
    for (const MainSiteData &m : mainSites)
        siteTexts.append(m.text);
    // Built when a main site's entries are first needed.
    QHash<int, std::shared_ptr<EntryIndex>> indexes;
    const QVector<LinkingSiteRow> none;

    QString text;
    QSet<QString> emitted;
    for (const ResultRow &row : rows) {
        // Rows of older project files name no main site: they count under
        // the first.
        const bool noMain = row.main.trimmed().isEmpty() && !siteTexts.isEmpty();
        const QString &rowMain = noMain ? siteTexts.constFirst() : row.main;
        if (options.oneMainSite && !mainSiteMatches(options.mainSite, rowMain))
            continue;
        if (emitted.contains(row.linking) || !statusCountsAsLink(row.status))
            continue;
        emitted.insert(row.linking);

        // A row of no known main site takes the fallbacks, never another
        // main site's entries.
        const int main = getMainSiteIndex(siteTexts, rowMain);
        QVector<LinkingSiteRow> entries;
        if (main >= 0) {
            std::shared_ptr<EntryIndex> &index = indexes[main];
            if (!index)
                index = std::make_shared<EntryIndex>(mainSites[main].links);
            entries = index->candidates(row.linking);
        }
        text += linkEntry(getLinkURL(entries, row.linking), getLinkTitle(entries, row.linking),
                          getLinkDescription(entries, row.linking), options);
    }
    return text;
}

QString generateLinks(const Project &project, const LinkPageOptions &options)
{
    QVector<ResultRow> rows;
    rows.reserve(project.List3->count());
    for (int r = 1; r <= project.List3->count(); ++r)
        rows.append(resultRow(*project.List3, r));
    return generateLinks(project.data().mainSites, rows, options);
}

QString webPageText(const QString &html1, const QString &html2, const QString &html3)
{
    auto crLf = [](QString block) {
        block.replace(kCrLf, QStringLiteral("\n"));
        block.replace(QLatin1Char('\n'), kCrLf);
        return block;
    };
    return crLf(html1) + kCrLf + kCrLf + crLf(html2) + kCrLf + kCrLf + crLf(html3) + kCrLf;
}

} // namespace tarnwick
