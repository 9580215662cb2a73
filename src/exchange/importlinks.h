#pragma once
// What the two import windows make of the texts they are given: the links of
// a downloaded page that lead to other sites, the domains a user's script
// prints, and the lines of an import file. Plain text in, plain lists out;
// the windows do the fetching, the rows and the status texts.
//
// Links come out in the scanner's URL form: host, then path, no scheme, no
// doubled "/", at least one "/".

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace tarnwick {

// The site a link page belongs to, from the address the user typed: schemes
// and a leading "www." removed (ignoring case), cut after the first "/" (the
// "/" stays) or before a "?" or "#". http://www.links.example/dir/page.htm
// gives links.example/ .
QString importBase(const QString &pageUrl);

// The parent directory of url, ending with "/"; a bare host gives the host
// and "/", "" gives "/". A leading scheme is kept in front of a directory.
QString backDir(const QString &url);

// Resolves an href value against the base into the URL form. The caller's
// variable holds the result afterwards. A value with a scheme, or one that
// starts with "//", names its host; so does a value holding ".com", "www.",
// ".net", ".edu", ".gov" or "ww2.". "/x" and "./x" go below the base, "../x"
// below the base's parent, anything else below the base.
QString resolveImportLink(QString &link, const QString &base);

// The resolved link lies on the base's site: its host is the base's host or
// below it, ignoring letter case, a port and a leading "www.".
bool isImportSameSite(const QString &resolvedLink, const QString &base);

// Every "href=" value of the page (any case; quoted, or unquoted up to white
// space or ">"), resolved against the base, that leads to another site, in
// page order and with repeats. Script and mail links, same-page anchors and
// links to files (images, media, archives, documents, style sheets and
// scripts, told by the end of the path) are left out.
//
// yield, when given, runs before each value is examined; returning false
// stops the extraction with what was kept so far. kept, when given, runs
// with the number of links kept after each one.
QStringList extractLinks(const QString &page, const QString &base, const std::function<void(int kept)> &kept = {},
                         const std::function<bool()> &yield = {});

// The delimiter of the delimiter list's item by index (0 "|", 1 "%",
// 2 ",", 3 "!"); "" for any other index.
QString importDelimiter(int index);

// The entries of a script's output: split at the delimiter (ignoring case;
// "" means none), at ",", at any white space or line break and at every tag,
// each entry trimmed. Empty entries are left out.
QStringList scriptLinks(const QString &output, const QString &delimiter);

// The text stored for an imported URL: without control characters, trimmed,
// and every "|" (the project file's field separator) written as "%7C".
QString importedUrl(const QString &text);

// One line of a linking-site import file.
struct ImportedLinkingSite {
    QString website;
    QString expected;  // the "#" column
};

// One line of a linking-site import file, as below; false when it has no
// URL.
bool linkingSiteFromLine(const QString &line, ImportedLinkingSite &site);

// The lines of a linking-site import file: "URL" gives the URL with "#" 1,
// "URL|count" the URL with that count (as written; further "|" parts are
// ignored). URLs are trimmed; lines without a URL are skipped. Lines end at
// CR LF, CR or LF.
QVector<ImportedLinkingSite> linkingSitesFromText(const QString &text);

// One line of a main-site import file, trimmed and cut before a "|"; ""
// when the line holds no URL.
QString mainSiteFromLine(const QString &line);

// The lines of a main-site import file read by mainSiteFromLine; lines
// without a URL are skipped.
QStringList mainSitesFromText(const QString &text);

} // namespace tarnwick
