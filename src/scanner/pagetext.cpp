#include "scanner/pagetext.h"

#include <QFile>

namespace tarnwick {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

const QLatin1String kHref("href=");

bool containsAny(QStringView text, std::initializer_list<QLatin1String> needles)
{
    for (const QLatin1String &n : needles) {
        if (text.contains(n, CI))
            return true;
    }
    return false;
}

void trimSpaces(QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text = text.mid(begin, end - begin);
}

void truncateAt(QString &text, QChar c)
{
    const qsizetype at = text.indexOf(c);
    if (at >= 0)
        text.truncate(at);
}

// Deleted first, then written whole, so a reader never sees an old page
// behind a shorter new one.
bool replaceFile(const QString &path, const QString &text)
{
    if (QFile::exists(path))
        QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray bytes = text.toUtf8();
    bytes += "\r\n";
    return file.write(bytes) == bytes.size();
}

// The target named on a redirect page's "href=" line.
QString hrefLineTarget(QStringView line)
{
    QString t = line.toString();
    truncateAt(t, QLatin1Char(' '));
    truncateAt(t, QLatin1Char('<'));
    truncateAt(t, QLatin1Char('>'));
    t.remove(kHref, CI);
    t.remove(QLatin1Char('"'));
    t.remove(QLatin1Char('\''));
    t.remove(QLatin1Char(' '));
    return t;
}

} // namespace

PageNotes pageStatusNotes(const QString &page, const QString &mainSite)
{
    PageNotes notes;
    if (page.contains(mainSite, CI)) {
        notes.mainSiteMentioned = true;
        notes.statusNote = QStringLiteral("Possible Redirected URL");
    }
    if (page.contains(QLatin1String("You are seeing this text because"), CI))
        notes.statusNote = QStringLiteral("Source Protected");
    if (page.contains(QLatin1String("<?php"), CI))
        notes.statusNote = QStringLiteral("Server Script Error");
    return notes;
}

QString normalizeHrefs(const QString &page)
{
    QString text = page;
    // One pass per run length, longest first: up to 36 spaces vanish.
    for (int spaces = 8; spaces >= 1; --spaces)
        text.replace(kHref + QString(spaces, QLatin1Char(' ')), kHref, CI);
    text.replace(kHref, QStringLiteral("\r\nhref="), CI);
    return text;
}

QString singleLineText(const QString &normalized)
{
    QString text = normalized;
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

QString pageDumpPath(const QString &programDir, int socketIndex)
{
    return programDir + QLatin1String("/html") + QString::number(socketIndex) + QLatin1String(".txt");
}

QString pageDump2Path(const QString &programDir, int socketIndex)
{
    return programDir + QLatin1String("/html2") + QString::number(socketIndex) + QLatin1String(".txt");
}

bool writePageDump(const QString &programDir, int socketIndex, const QString &normalized)
{
    return replaceFile(pageDumpPath(programDir, socketIndex), normalized);
}

bool writePageDump2(const QString &programDir, int socketIndex, const QString &normalized)
{
    return replaceFile(pageDump2Path(programDir, socketIndex), singleLineText(normalized));
}

QStringView DumpLineReader::next()
{
    const qsizetype size = m_text.size();
    if (m_pos > size)
        return {};
    const QChar *data = m_text.constData();
    qsizetype end = m_pos;
    while (end < size && data[end] != QLatin1Char('\r') && data[end] != QLatin1Char('\n'))
        ++end;
    const QStringView line(data + m_pos, end - m_pos);
    if (end == size)
        m_pos = size + 1;  // the dump's final CR LF
    else if (data[end] == QLatin1Char('\r') && end + 1 < size && data[end + 1] == QLatin1Char('\n'))
        m_pos = end + 2;
    else
        m_pos = end + 1;
    return line;
}

QStringList dumpLines(const QString &normalized)
{
    QStringList lines;
    DumpLineReader reader(normalized);
    while (!reader.atEnd())
        lines.append(reader.next().toString());
    return lines;
}

bool isRedirectMarker(QStringView line)
{
    return containsAny(line, {QLatin1String("302 Found"), QLatin1String("301 Moved Permanently"),
                              QLatin1String("<title>Document Moved</title>"),
                              QLatin1String("<title>Object moved</title>")});
}

bool isRedirectStatus(int httpStatus, const QString &location)
{
    switch (httpStatus) {
    case 301:
    case 302:
    case 303:
    case 307:
    case 308:
        return !location.trimmed().isEmpty();
    default:
        return false;
    }
}

int responseStatus(QStringView header)
{
    DumpLineReader lines(header.toString());
    const QStringView statusLine = lines.next();
    if (!statusLine.startsWith(QLatin1String("HTTP/"), CI))
        return 0;
    const qsizetype blank = statusLine.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return 0;
    const QStringView rest = statusLine.mid(blank + 1).trimmed();
    const QStringView code = rest.left(3);
    bool ok = false;
    const int status = code.toInt(&ok);
    return ok && code.size() == 3 && (rest.size() == 3 || rest.at(3) == QLatin1Char(' ')) ? status : 0;
}

QString responseLocation(QStringView header)
{
    DumpLineReader lines(header.toString());
    lines.next();  // the status line
    while (!lines.atEnd()) {
        const QStringView line = lines.next();
        if (line.startsWith(QLatin1String("Location:"), CI))
            return line.mid(9).trimmed().toString();
    }
    return {};
}

std::optional<QString> hrefValue(QStringView line)
{
    const qsizetype at = line.indexOf(kHref, 0, CI);
    if (at < 0)
        return std::nullopt;
    QString t = line.mid(at).toString();
    t.replace(QLatin1String("href=\""), kHref, CI);
    t.replace(QLatin1String("href='"), kHref, CI);
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('>')) {
            t.truncate(i);
            break;
        }
    }
    if (t.size() < kHref.size() + 1)
        return std::nullopt;
    t.remove(kHref, CI);
    trimSpaces(t);
    truncateAt(t, QLatin1Char(' '));
    if (containsAny(t, {QLatin1String("javascript"), QLatin1String("mailto")}))
        return std::nullopt;
    return t;
}

bool isPageValue(const QString &value, bool useFileTypes, const QStringList &fileTypes)
{
    if (!useFileTypes)
        return true;
    if (value.endsWith(QLatin1Char('/')))
        return true;
    if (value.contains(QLatin1Char('?')) && !value.contains(QLatin1Char('.')))
        return true;
    for (const QString &type : fileTypes) {
        // An empty entry would make every value a page.
        if (!type.isEmpty() && value.contains(type, CI))
            return true;
    }
    return false;
}

LineResult examineLine(QStringView line, const LinkContext &ctx)
{
    LineResult result;
    const std::optional<QString> taken = hrefValue(line);
    if (!taken)
        return result;
    QString value = *taken;
    result.value = value;

    bool record;
    if (isPageValue(value, ctx.useFileTypes, ctx.fileTypes)) {
        if (containsAny(value, {QLatin1String("file://"), QLatin1String("unsaved:"), QLatin1String("#")}))
            return result;
        resolveLink(value, ctx.sockHost, ctx.curDir);
        if (checkRules(value, ctx.rules, ctx.mainSiteText, ctx.linkingSiteRow, ctx.ruleLog)) {
            const bool known = ctx.siteKnown ? ctx.siteKnown(value) : false;
            if (!known && !value.isEmpty() && isSameSite(value, ctx.linkingSiteRow))
                result.queueUrl = value;
            record = true;
        } else {
            result.ruleProblem = true;
            record = isDirectLink(value, ctx.mainSite);
        }
    } else {
        record = isDirectLink(value, ctx.mainSite);
    }
    result.value = value;
    if (!record)
        return result;

    if (ctx.foundOnKnown && ctx.foundOnKnown())
        return result;
    if (isDirectLink(value, ctx.mainSite))
        result.status = QStringLiteral("Direct Link");
    else if (isDomainLink(value, ctx.mainSite))
        result.status = QStringLiteral("Domain Link");
    return result;
}

QString redirectAddress(const QString &target, const LinkContext &ctx)
{
    if (target.startsWith(QLatin1String("http://"), CI) || target.startsWith(QLatin1String("https://"), CI))
        return target;
    QString link = target;
    return resolveLink(link, ctx.sockHost, ctx.curDir);
}

QString redirectTarget(QStringView markerLine, DumpLineReader &reader, const QString &location,
                       const LinkContext &ctx)
{
    QStringView line = markerLine;
    bool found = line.contains(kHref, CI);
    while (!found && !reader.atEnd()) {
        line = reader.next();
        found = line.contains(kHref, CI);
    }
    if (found) {
        const QString target = hrefLineTarget(line);
        return target.isEmpty() ? ctx.curUrl : redirectAddress(target, ctx);
    }
    const QString fromHeader = location.trimmed();
    return fromHeader.isEmpty() ? QString() : redirectAddress(fromHeader, ctx);
}

QString resultNumberText(qint64 number)
{
    return QString::number(number).rightJustified(3, QLatin1Char('0'));
}

} // namespace tarnwick
