#include "exchange/importlinks.h"

#include "scanner/linkrules.h"
#include "workspace/textcase.h"
#include "workspace/fieldtext.h"

namespace tarnwick {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;
constexpr QStringView kHref = u"href=";

// Paths ending in these name files, not pages that could link back.
const QStringView kFileEndings[] = {u".mpg", u".js",  u".mpeg", u".swf", u".avi", u".jpg", u".jpeg", u".gif",
                                    u".bmp", u".mov", u".rm",   u".mp3", u".wav", u".ra",  u".pdf",  u".css",
                                    u".exe", u".sit", u".zip",  u".msi", u".ppt", u".doc", u".xls",  u".ico"};

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// The host of a link or base in the URL form, compared in lower case
// without a port or a leading "www.".
QString siteHost(const QString &text)
{
    qsizetype end = text.size();
    for (const QChar stop : {QLatin1Char('/'), QLatin1Char('?'), QLatin1Char('#')}) {
        const qsizetype at = text.indexOf(stop);
        if (at >= 0 && at < end)
            end = at;
    }
    QString host = text.left(end).toLower();
    const qsizetype colon = host.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        host.truncate(colon);
    if (host.startsWith(QLatin1String("www.")))
        host.remove(0, 4);
    return host;
}

// The value after an "href=": a quoted one up to its closing quote (or ">"
// when the quote never closes), an unquoted one up to white space, a quote
// or ">"; never past the end of its line.
QString hrefValue(QStringView rest)
{
    qsizetype lineEnd = 0;
    while (lineEnd < rest.size() && !isLineBreak(rest[lineEnd]))
        ++lineEnd;
    const QStringView line = rest.first(lineEnd);
    if (line.isEmpty())
        return {};
    const QChar first = line[0];
    if (first == QLatin1Char('"') || first == QLatin1Char('\'')) {
        qsizetype end = line.indexOf(first, 1);
        if (end < 0)
            end = line.indexOf(QLatin1Char('>'), 1);
        if (end < 0)
            end = line.size();
        return line.sliced(1, end - 1).trimmed().toString();
    }
    qsizetype end = 0;
    while (end < line.size()) {
        const QChar c = line[end];
        if (c.isSpace() || c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('>'))
            break;
        ++end;
    }
    return line.first(end).toString();
}

// A link to a file rather than a page: its path (before "?" or "#") ends in
// one of the file endings.
bool namesFile(const QString &resolved)
{
    const qsizetype slash = resolved.indexOf(QLatin1Char('/'));
    QStringView path = QStringView(resolved).sliced(slash < 0 ? resolved.size() : slash);
    for (const QChar stop : {QLatin1Char('?'), QLatin1Char('#')}) {
        const qsizetype at = path.indexOf(stop);
        if (at >= 0)
            path.truncate(at);
    }
    for (const QStringView ending : kFileEndings) {
        if (path.endsWith(ending, CI))
            return true;
    }
    return false;
}

// Every tag ("<" up to the next ">") turned into a separator: a tag never
// stands inside a domain, but often between two. A "<" that never closes
// stays.
QString withoutTags(const QString &text)
{
    QString out;
    out.reserve(text.size());
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('<'), pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('>'), open);
        if (close < 0) {
            out += QStringView(text).sliced(pos);
            return out;
        }
        out += QStringView(text).sliced(pos, open - pos);
        out += QLatin1Char(',');
        pos = close + 1;
    }
}

// The lines of an import file; line ends CR LF, CR or LF.
QStringList importLines(const QString &text)
{
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return unified.split(QLatin1Char('\n'));
}

} // namespace

QString importBase(const QString &pageUrl)
{
    QString s = pageUrl.trimmed();
    removeHttpSchemes(s);
    if (s.startsWith(QLatin1String("www."), CI))
        s.remove(0, 4);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('/')) {
            s.truncate(i + 1);
            break;
        }
        if (c == QLatin1Char('?') || c == QLatin1Char('#')) {
            s.truncate(i);
            break;
        }
    }
    return s;
}

QString backDir(const QString &url)
{
    return getBaseDir(url);
}

QString resolveImportLink(QString &link, const QString &base)
{
    // The scanner's rules, with the base standing for both the page's host
    // and its directory: the base is a host, so "/x", "./x" and "x" all go
    // below it and "../x" climbs no higher than it.
    return resolveLink(link, base, base);
}

bool isImportSameSite(const QString &resolvedLink, const QString &base)
{
    const QString host = siteHost(resolvedLink);
    const QString baseHost = siteHost(base);
    if (host == baseHost)
        return true;
    return !baseHost.isEmpty() && host.endsWith(QLatin1Char('.') + baseHost);
}

QStringList extractLinks(const QString &page, const QString &base, const std::function<void(int kept)> &kept,
                         const std::function<bool()> &yield)
{
    QStringList links;
    qsizetype at = indexOfIgnoringCase(page, kHref);
    while (at >= 0) {
        if (yield && !yield())
            break;
        const qsizetype start = at + kHref.size();
        // Each value ends where the next "href=" begins at the latest.
        at = indexOfIgnoringCase(page, kHref, start);
        const qsizetype end = at < 0 ? page.size() : at;
        QString value = hrefValue(QStringView(page).sliced(start, end - start));

        if (value.startsWith(QLatin1String("javascript:"), CI) || value.startsWith(QLatin1String("mailto:"), CI))
            continue;
        // A fragment names a place in a page, never another page.
        const qsizetype hash = value.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            value.truncate(hash);
        if (value.isEmpty())
            continue;
        resolveImportLink(value, base);
        if (namesFile(value) || isImportSameSite(value, base))
            continue;
        links << value;
        if (kept)
            kept(int(links.size()));
    }
    return links;
}

QString importDelimiter(int index)
{
    static const QLatin1String delimiters[] = {QLatin1String("|"), QLatin1String("%"), QLatin1String(","),
                                               QLatin1String("!")};
    return index >= 0 && index < 4 ? QString(delimiters[index]) : QString();
}

QStringList scriptLinks(const QString &output, const QString &delimiter)
{
    QString text = withoutTags(output);
    if (!delimiter.isEmpty())
        text.replace(delimiter, QLatin1String(","), CI);
    for (QChar &c : text) {
        if (c.isSpace())
            c = QLatin1Char(',');
    }
    QStringList links;
    for (const QString &entry : text.split(QLatin1Char(','))) {
        const QString trimmed = entry.trimmed();
        if (!trimmed.isEmpty())
            links << trimmed;
    }
    return links;
}

QString importedUrl(const QString &text)
{
    QString url = storedField(text).trimmed();
    url.replace(QLatin1Char('|'), QLatin1String("%7C"));
    return url;
}

bool linkingSiteFromLine(const QString &line, ImportedLinkingSite &site)
{
    const QStringList parts = storedField(line).split(QLatin1Char('|'));
    site = ImportedLinkingSite{parts.at(0).trimmed(), QStringLiteral("1")};
    if (parts.size() > 1)
        site.expected = parts.at(1);
    return !site.website.isEmpty();
}

QVector<ImportedLinkingSite> linkingSitesFromText(const QString &text)
{
    QVector<ImportedLinkingSite> sites;
    ImportedLinkingSite site;
    for (const QString &line : importLines(text)) {
        if (linkingSiteFromLine(line, site))
            sites << site;
    }
    return sites;
}

QString mainSiteFromLine(const QString &line)
{
    return storedField(line.section(QLatin1Char('|'), 0, 0)).trimmed();
}

QStringList mainSitesFromText(const QString &text)
{
    QStringList sites;
    for (const QString &line : importLines(text)) {
        const QString site = mainSiteFromLine(line);
        if (!site.isEmpty())
            sites << site;
    }
    return sites;
}

} // namespace tarnwick
