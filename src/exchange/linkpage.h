#pragma once
// The user's links page: one HTML link to every linking site that links
// back, built from the results and the linking-site entries, and the page
// file made of the three blocks. Plain data only.

#include <QString>
#include <QStringList>
#include <QVector>

#include "workspace/projectfile.h"

namespace tarnwick {

class Project;

struct LinkPageOptions {
    bool bullets = false;      // each entry in "<li>" ... "</li>"
    bool newWindow = true;     // target="_blank"
    bool oneMainSite = false;  // only the rows of mainSite
    QString mainSite;          // a main site as the main-site list holds it
};

// Whether a results row's "Main" stands for a main site as the user typed
// it: the same text, or the text the scanner records for it (no scheme, no
// leading "www."). Blanks around either are ignored.
bool mainSiteMatches(const QString &mainSiteText, const QString &rowMain);

// Whether a linking-site entry's URL stands for a results row's "Linking":
// the same text, or its domain is, ignoring case.
bool linkingSiteMatches(const QString &entryUrl, const QString &rowLinking);

// Position (from 0) of the first main site the row's "Main" stands for;
// -1 when there is none.
int getMainSiteIndex(const QStringList &mainSites, const QString &rowMain);

// The values of a link entry, looked up in one main site's linking-site
// entries: the first matching entry with a value in that column. Without
// one, the address and the text are the linking site's domain, made safe
// for HTML; the description is "". The user's own values are HTML already
// and come back as typed.
QString getLinkURL(const QVector<LinkingSiteRow> &links, const QString &linking);
QString getLinkTitle(const QVector<LinkingSiteRow> &links, const QString &linking);
QString getLinkDescription(const QVector<LinkingSiteRow> &links, const QString &linking);

// One entry of the page, ending with "<br><br>" and CR LF. An address
// without a scheme gets "http://"; a quote in it is written "&quot;".
QString linkEntry(const QString &url, const QString &title, const QString &description,
                  const LinkPageOptions &options);

// The generated links: one entry per linking site with a row that counts as
// a link, in the order of the rows; "" when no row qualifies. A row without
// a "Main" counts under the first main site.
QString generateLinks(const QVector<MainSiteData> &mainSites, const QVector<ResultRow> &rows,
                      const LinkPageOptions &options);

// The same from the project: its main sites and its results in list order.
QString generateLinks(const Project &project, const LinkPageOptions &options);

// The page file: the three blocks, two line ends between them, one at the
// end; every line ends in CR LF.
QString webPageText(const QString &html1, const QString &html2, const QString &html3);

} // namespace tarnwick
