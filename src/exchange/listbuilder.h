#pragma once
// The list builder's text rules: the search address of each result page,
// the domains a result page names, and when a search ends.

#include <QSet>
#include <QString>
#include <QStringList>

namespace tarnwick::listbuilder {

enum class Engine { Google, Yahoo };

// Where each engine's result pages come from. The only place that names
// them; tests point them at their own server.
struct EngineAddresses {
    QString googleSearch;    // web search
    QString yahooDirectory;  // directory search
    // Result links that mention one of these are the engines' own.
    QStringList ownHosts;
};
const EngineAddresses &defaultEngineAddresses();

// The search words form-encoded for a query ("blue widget" -> "blue+widget").
QString searchQuery(const QString &words);
// Domains wanted by the result-size choice (-1 for none): 100 up to 10000.
int searchTarget(int resultSizeIndex);
// "Yahoo Search!" is Yahoo; anything else Google.
Engine searchEngine(const QString &searchType);

// Result-page position: the number of the first result for Yahoo, one more
// than the start offset for Google. A search starts at 1.
constexpr int kFirstPosition = 1;
int nextPosition(Engine engine, int position);
QString resultPageUrl(const EngineAddresses &addresses, Engine engine, const QString &query, int position);

// The .com, .org, .net and .gov domains a result page links to that are not
// in seen yet (ignoring case), in page order; each is added to seen. A host
// of three or more labels loses its first one (shop.example.com gives
// example.com).
QStringList resultDomains(const QString &html, const EngineAddresses &addresses, QSet<QString> &seen);

// The search ends when enough domains were found or a page gave none.
bool searchEnds(int total, int target, int pageCount);
// A search that ended with this many domains hands them over to a scan.
constexpr int kEnoughToScan = 21;

} // namespace tarnwick::listbuilder
