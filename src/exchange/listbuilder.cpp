#include "exchange/listbuilder.h"

#include <QUrl>

namespace tarnwick::listbuilder {

namespace {

const QString kGoogleQuery =
    QStringLiteral("?num=100&hl=en&lr=&ie=UTF-8&oe=UTF-8&safe=off&filter=0&start=%1&sa=N&q=%2");
const QString kYahooQuery = QStringLiteral("?h=s&xargs=0&p=%1&b=%2");

bool startsWithScheme(QStringView text, qsizetype at, qsizetype *length)
{
    static const QLatin1String schemes[] = {QLatin1String("http://"), QLatin1String("https://")};
    for (const QLatin1String scheme : schemes) {
        if (text.mid(at).startsWith(scheme, Qt::CaseInsensitive)) {
            *length = scheme.size();
            return true;
        }
    }
    return false;
}

// Every address on the page: the text from each "http://" or "https://" to
// the next one or to the end of its line.
QStringList resultLines(const QString &html)
{
    QStringList lines;
    const qsizetype n = html.size();
    qsizetype start = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = html.at(i);
        qsizetype length = 0;
        const bool lineEnd = c == QLatin1Char('\r') || c == QLatin1Char('\n');
        const bool scheme = !lineEnd && (c == QLatin1Char('h') || c == QLatin1Char('H'))
                            && startsWithScheme(html, i, &length);
        if (lineEnd || scheme) {
            if (start >= 0)
                lines << html.mid(start, i - start);
            start = scheme ? i : -1;
        }
    }
    if (start >= 0)
        lines << html.mid(start);
    return lines;
}

bool isCandidate(const QString &line, const EngineAddresses &addresses)
{
    for (const QString &host : addresses.ownHosts) {
        if (line.contains(host, Qt::CaseInsensitive))
            return false;
    }
    static const QLatin1String tlds[] = {QLatin1String(".com"), QLatin1String(".org"), QLatin1String(".net"),
                                         QLatin1String(".gov")};
    for (const QLatin1String tld : tlds) {
        if (line.contains(tld, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void removeQuotesAndBlanks(QString &text)
{
    text.removeIf([](QChar c) { return c == QLatin1Char('"') || c == QLatin1Char(' ') || c == QLatin1Char('\''); });
}

// The domain a result line names, as the page writes it.
QString lineDomain(const QString &line)
{
    qsizetype length = 0;
    startsWithScheme(line, 0, &length);
    QString d = line.mid(length);
    removeQuotesAndBlanks(d);
    if (const qsizetype gt = d.indexOf(QLatin1Char('>')); gt >= 0)
        d.truncate(gt);
    if (const qsizetype slash = d.indexOf(QLatin1Char('/')); slash >= 0)
        d.truncate(slash);
    if (d.count(QLatin1Char('.')) >= 2)
        d.remove(0, d.indexOf(QLatin1Char('.')) + 1);
    return d;
}

bool acceptedExtension(const QString &ext)
{
    static const QSet<QString> accepted = {
        QStringLiteral("com"), QStringLiteral("org"), QStringLiteral("net"), QStringLiteral("gov"),
        QStringLiteral("Com"), QStringLiteral("Org"), QStringLiteral("Net"), QStringLiteral("Gov"),
        QStringLiteral("COM"), QStringLiteral("ORG"), QStringLiteral("NET"), QStringLiteral("GOV"),
    };
    return accepted.contains(ext);
}

} // namespace

const EngineAddresses &defaultEngineAddresses()
{
    static const EngineAddresses addresses{
        QStringLiteral("https://www.google.com/search"),
        QStringLiteral("https://search.yahoo.com/search/dir"),
        {QStringLiteral("yahoo.com"), QStringLiteral("google.com"), QStringLiteral("yimg")},
    };
    return addresses;
}

QString searchQuery(const QString &words)
{
    QString query;
    const QStringList parts = words.split(QLatin1Char(' '));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            query += QLatin1Char('+');
        query += QString::fromLatin1(QUrl::toPercentEncoding(parts[i]));
    }
    return query;
}

int searchTarget(int resultSizeIndex)
{
    static const int targets[] = {100, 200, 500, 1000, 5000, 10000};
    if (resultSizeIndex < 0 || resultSizeIndex >= int(std::size(targets)))
        return targets[0];
    return targets[resultSizeIndex];
}

Engine searchEngine(const QString &searchType)
{
    return searchType == QLatin1String("Yahoo Search!") ? Engine::Yahoo : Engine::Google;
}

int nextPosition(Engine engine, int position)
{
    return position + (engine == Engine::Yahoo ? 20 : 100);
}

QString resultPageUrl(const EngineAddresses &addresses, Engine engine, const QString &query, int position)
{
    if (engine == Engine::Yahoo)
        return addresses.yahooDirectory + kYahooQuery.arg(query, QString::number(position));
    return addresses.googleSearch + kGoogleQuery.arg(QString::number(position - 1), query);
}

QStringList resultDomains(const QString &html, const EngineAddresses &addresses, QSet<QString> &seen)
{
    QStringList found;
    for (const QString &line : resultLines(html)) {
        if (!isCandidate(line, addresses))
            continue;
        const QString d = lineDomain(line);
        const qsizetype dot = d.indexOf(QLatin1Char('.'));
        if (dot < 0 || !acceptedExtension(d.mid(dot + 1)))
            continue;
        if (d.contains(QLatin1Char('<')) || d.contains(QLatin1String("mailto:"), Qt::CaseInsensitive))
            continue;
        const QString key = d.toLower();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        found << d;
    }
    return found;
}

bool searchEnds(int total, int target, int pageCount)
{
    return total >= target || pageCount < 1;
}

} // namespace tarnwick::listbuilder
