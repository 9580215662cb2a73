#pragma once
// Shared file, URL, counter and list services. Several of them write a reduced
// text back into the caller's variable; callers rely on that.

#include <QByteArray>
#include <QString>
#include <limits>

namespace platform {
class ListView;
struct FetchOptions;
}

namespace tarnwick {

class AppContext;

// A plain file (not a folder, not hidden) exists at path; its last component
// may differ in letter case.
bool fileExists(const QString &path);

// The text after the last "/"; the whole text without one.
QString extractFileName(const QString &path);

// Copies source over destination. On any failure the destination is left as
// it was (the copy goes to a temporary file that then replaces it).
void copyFile(const QString &source, const QString &destination);

// Synchronous GET. Puts "http://" in front of url (in the caller's variable)
// when it starts with neither "http://" nor "https://" (withHttpScheme). Returns the body, or
// "" when nothing could be fetched; never waits without end. error, when
// given, says why the transfer failed ("" when it completed).
QString getURL(AppContext &ctx, QString &url, QString *error = nullptr);
// The same with limits and a cancel test of the caller's own.
QString getURL(AppContext &ctx, QString &url, const platform::FetchOptions &options, QString *error = nullptr);
// The same, the body as it arrived.
QByteArray getURLBytes(AppContext &ctx, QString &url, const platform::FetchOptions &options,
                       QString *error = nullptr);

// Percent-encodes text for a query. A leading "http://" (any case) is
// removed from the caller's variable and put back, in lower case, in front
// of the result; any other "http://" is encoded.
QString URLEncode(QString &text);

// Reduces url (in the caller's variable) to its domain and returns it.
QString getDomain(QString &url);

// What a count is of. The numbers are the kinds' own.
enum class Stat : int {
    PageScanned = 0,         // lPagesScanned and the lifetime web total
    PageFound = 1,           // lPagesFound
    LinkFound = 2,           // lLinksFound and the lifetime e-mail total
    MainSiteScanned = 3,     // lMainSitesScanned
    LinkingSiteScanned = 4,  // lLinkingSitesScanned
};

// Counts one event of the given kind and redraws the statistics.
void addStat(AppContext &ctx, Stat kind);

// Writes the lifetime totals to the settings now, if a count is unsaved.
void saveLifetimeCounters(AppContext &ctx);

void playSound(AppContext &ctx, const QString &file);

// Sorts the list by column (from 1), toggling the order on every call.
bool EnhListView_SortColumns(AppContext &ctx, platform::ListView &list, int column, bool showErrors);

// a + 1 without overflow.
inline qint64 saturatingIncrement(qint64 a)
{
    return a == std::numeric_limits<qint64>::max() ? a : a + 1;
}

} // namespace tarnwick
