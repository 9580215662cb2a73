#include "workspace/services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

#include "platform/listview.h"
#include "platform/safefile.h"
#include "workspace/context.h"
#include "workspace/settingkeys.h"
#include "workspace/textcase.h"

namespace tarnwick {

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    // Plain files only: folders and hidden files do not count.
    if (fi.isFile())
        return !fi.isHidden();
    // The name may differ in letter case from the file on disk.
    const QString name = extractFileName(path);
    if (name.isEmpty() || name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        return false;
    const QDir dir = fi.dir();
    if (!dir.exists())
        return false;
    const QStringList files = dir.entryList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QString &f : files) {
        if (f.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString extractFileName(const QString &path)
{
    const qsizetype pos = path.lastIndexOf(QLatin1Char('/'));
    return pos < 0 ? path : path.mid(pos + 1);
}

void copyFile(const QString &source, const QString &destination)
{
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return;
    // Nothing replaces the destination until every piece is written.
    platform::PieceWriter out(destination);
    for (;;) {
        const QByteArray piece = in.read(64 * 1024);
        if (piece.isEmpty()) {
            if (!in.atEnd())
                return;
            break;
        }
        if (!out.write(piece))
            return;
    }
    out.commit();
}

QString getURL(AppContext &ctx, QString &url, QString *error)
{
    return getURL(ctx, url, ctx.fetchOptions, error);
}

QString getURL(AppContext &ctx, QString &url, const platform::FetchOptions &options, QString *error)
{
    return platform::decodeText(getURLBytes(ctx, url, options, error));
}

QByteArray getURLBytes(AppContext &, QString &url, const platform::FetchOptions &options, QString *error)
{
    url = withHttpScheme(url);
    platform::FetchResult r = platform::fetchUrl(url, options);
    if (error)
        *error = r.ok ? QString() : r.error;
    return std::move(r.body);
}

QString URLEncode(QString &text)
{
    // Only a leading scheme: an address inside the text (a query naming
    // another page) is encoded like everything else.
    bool removed = false;
    if (text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)) {
        text.remove(0, 7);
        removed = true;
    }
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(text.size() * 3);
    const QByteArray bytes = text.toUtf8();
    for (const char ch : bytes) {
        const uchar c = uchar(ch);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' || c == '-'
            || c == '_' || c == '*') {
            out += QLatin1Char(char(c));
        } else if (c == ' ') {
            out += QLatin1Char('+');
        } else {
            out += QLatin1Char('%');
            out += QLatin1Char(hex[c >> 4]);
            out += QLatin1Char(hex[c & 0xF]);
        }
    }
    if (removed)
        out.prepend(QLatin1String("http://"));
    return out;
}

QString getDomain(QString &url)
{
    removeHttpSchemes(url);
    if (url.size() > 4 && url.startsWith(QLatin1String("www.")))
        url.remove(0, 4);
    const qsizetype slash = url.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        url.truncate(slash);
    return url;
}

void addStat(AppContext &ctx, Stat kind)
{
    switch (kind) {
    case Stat::PageScanned:
        ctx.lPagesScanned = saturatingIncrement(ctx.lPagesScanned);
        ctx.lHistWebScanned = saturatingIncrement(ctx.lHistWebScanned);
        ctx.lifetimeCountersDirty = true;
        break;
    case Stat::PageFound:
        ctx.lPagesFound = saturatingIncrement(ctx.lPagesFound);
        break;
    case Stat::LinkFound:
        ctx.lLinksFound = saturatingIncrement(ctx.lLinksFound);
        ctx.lHistEmailFound = saturatingIncrement(ctx.lHistEmailFound);
        ctx.lifetimeCountersDirty = true;
        break;
    case Stat::MainSiteScanned:
        ctx.lMainSitesScanned = saturatingIncrement(ctx.lMainSitesScanned);
        break;
    case Stat::LinkingSiteScanned:
        ctx.lLinkingSitesScanned = saturatingIncrement(ctx.lLinkingSitesScanned);
        break;
    default:
        break;
    }
    // A save rewrites the settings file; during a scan that would cost more
    // than fetching the page, so the totals go out at most once a second.
    if (ctx.lifetimeCountersDirty
        && (!ctx.lifetimeSaveClock.isValid() || ctx.lifetimeSaveClock.hasExpired(1000)))
        saveLifetimeCounters(ctx);
    if (ctx.onStatsChanged)
        ctx.onStatsChanged();
}

void saveLifetimeCounters(AppContext &ctx)
{
    if (!ctx.lifetimeCountersDirty)
        return;
    // Both in one write of the file.
    ctx.settings().set({{key::lHistWebScanned, QString::number(ctx.lHistWebScanned)},
                        {key::lHistEmailFound, QString::number(ctx.lHistEmailFound)}});
    ctx.lifetimeCountersDirty = false;
    ctx.lifetimeSaveClock.start();
}

void playSound(AppContext &ctx, const QString &file)
{
    ctx.sound().play(file);
}

bool EnhListView_SortColumns(AppContext &ctx, platform::ListView &list, int column, bool showErrors)
{
    if (list.count() == 0)
        return true;
    if (column < 1 || column > qMax(list.columnHeaderCount(), 1)) {
        if (showErrors)
            ctx.dialogs().msgBox(nullptr, QStringLiteral("Error380\tInvalid property value"), platform::vbInformation,
                                 QStringLiteral("Error in Function : EnhListView_SortColumns"));
        return false;
    }
    const platform::SortOrder next = list.sortOrder() == platform::SortOrder::Ascending
                                         ? platform::SortOrder::Descending
                                         : platform::SortOrder::Ascending;
    // Key and order first, then sorted mode, so the rows are sorted once.
    const bool wasSorted = list.sorted();
    if (wasSorted)
        list.setSorted(false);
    list.setSortKey(column - 1);
    list.setSortOrder(next);
    list.setSorted(true);
    return true;
}

} // namespace tarnwick
