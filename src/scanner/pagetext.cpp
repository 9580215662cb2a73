#include "scanner/pagetext.h"

#include <QFile>

namespace tarnwick {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

// The value starts with a scheme of its own ("ftp://", "irc://") other than
// http and https: nothing the scanner's client can fetch.
bool hasOtherScheme(const QString &value)
{
    const qsizetype sep = value.indexOf(QLatin1String("://"));
    if (sep <= 0)
        return false;
    for (qsizetype i = 0; i < sep; ++i) {
        const QChar c = value.at(i);
        const bool schemeChar = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')
                                || (i > 0 && ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.'));
        if (!schemeChar)
            return false;
    }
    const QStringView scheme = QStringView(value).left(sep);
    return scheme.compare(u"http", CI) != 0 && scheme.compare(u"https", CI) != 0;
}

const QLatin1String kHref("href=");
constexpr QStringView kHrefU = u"href=";

bool containsAny(QStringView text, std::initializer_list<QStringView> needles)
{
    for (const QStringView n : needles) {
        if (containsIgnoringCase(text, n))
            return true;
    }
    return false;
}

// Every "href=" (any case) removed.
void removeHrefs(QString &text)
{
    removeIgnoringCase(text, u"href=");
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

// The file holds exactly the new page afterwards, never an old page behind
// a shorter new one. It is written over in place and then cut to size: a
// file deleted and made anew, or emptied first, for every page costs the
// file system more than the page costs the scan. A file that cannot be
// opened (read-only, say) is deleted and made anew.
bool replaceFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        QFile::remove(path);
        if (!file.open(QIODevice::ReadWrite))
            return false;
    }
    return file.write(bytes) == bytes.size() && file.resize(bytes.size()) && file.flush();
}

// The target named on a redirect page's "href=" line.
QString hrefLineTarget(QStringView line)
{
    QString t = line.toString();
    truncateAt(t, QLatin1Char(' '));
    truncateAt(t, QLatin1Char('<'));
    truncateAt(t, QLatin1Char('>'));
    removeHrefs(t);
    t.remove(QLatin1Char('"'));
    t.remove(QLatin1Char('\''));
    t.remove(QLatin1Char(' '));
    return t;
}

} // namespace

PageNotes pageStatusNotes(const QString &page, const QString &mainSite)
{
    PageNotes notes;
    if (containsIgnoringCase(page, mainSite)) {
        notes.mainSiteMentioned = true;
        notes.statusNote = QStringLiteral("Possible Redirected URL");
    }
    if (containsIgnoringCase(page, u"You are seeing this text because"))
        notes.statusNote = QStringLiteral("Source Protected");
    if (containsIgnoringCase(page, u"<?php"))
        notes.statusNote = QStringLiteral("Server Script Error");
    return notes;
}

QString normalizeHrefs(const QString &page)
{
    // Runs of 8, 7, ... 1 spaces after "href=" are taken away one after the
    // other, so a run of up to 36 spaces vanishes and a longer one loses 36;
    // done here in one pass over the page.
    const QStringView text(page);
    qsizetype at = indexOfIgnoringCase(text, kHrefU);
    if (at < 0)
        return page;
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype from = 0;
    while (at >= 0) {
        out += text.sliced(from, at - from);
        out += QLatin1String("\r\nhref=");
        qsizetype end = at + kHref.size();
        qsizetype spaces = 0;
        while (end + spaces < text.size() && text[end + spaces] == QLatin1Char(' '))
            ++spaces;
        if (spaces > 36)
            out += QString(spaces - 36, QLatin1Char(' '));
        from = end + spaces;
        at = indexOfIgnoringCase(text, kHrefU, from);
    }
    out += text.sliced(from);
    return out;
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
    QByteArray bytes = normalized.toUtf8();
    bytes += "\r\n";
    return replaceFile(pageDumpPath(programDir, socketIndex), bytes);
}

bool writePageDump2(const QString &programDir, int socketIndex, const QString &normalized)
{
    // CR and LF never occur inside a UTF-8 sequence: removing them from the
    // bytes is removing them from the text.
    QByteArray bytes = normalized.toUtf8();
    bytes.removeIf([](char c) { return c == '\r' || c == '\n'; });
    bytes += "\r\n";
    return replaceFile(pageDump2Path(programDir, socketIndex), bytes);
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
    // One pass: the markers begin with "3" or "<", which nothing else folds to.
    const char16_t *data = line.utf16();
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (data[i] == u'3') {
            if (matchesIgnoringCase(line, i, u"302 found")
                || matchesIgnoringCase(line, i, u"301 moved permanently"))
                return true;
        } else if (data[i] == u'<') {
            if (matchesIgnoringCase(line, i, u"<title>document moved</title>")
                || matchesIgnoringCase(line, i, u"<title>object moved</title>"))
                return true;
        }
    }
    return false;
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
    const qsizetype at = indexOfIgnoringCase(line, kHrefU);
    if (at < 0)
        return std::nullopt;
    // The text from the first "href=" on, a quote right after any "href="
    // left out (first a double, then a single one), up to the first quote or
    // ">" that remains.
    QString t;
    const QStringView rest = line.sliced(at);
    qsizetype i = 0;
    qsizetype runStart = 0;  // start of the stretch not yet copied into t
    for (;;) {
        if (i < rest.size() && matchesIgnoringCase(rest, i, kHrefU)) {
            i += kHref.size();
            t += rest.sliced(runStart, i - runStart);
            if (i < rest.size() && rest[i] == QLatin1Char('"'))
                ++i;
            if (i < rest.size() && rest[i] == QLatin1Char('\''))
                ++i;
            runStart = i;
            continue;
        }
        if (i == rest.size()) {
            t += rest.sliced(runStart);
            break;
        }
        const QChar c = rest[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('>')) {
            t += rest.sliced(runStart, i - runStart);
            break;
        }
        ++i;
    }
    if (t.size() < kHref.size() + 1)
        return std::nullopt;
    removeHrefs(t);
    trimSpaces(t);
    truncateAt(t, QLatin1Char(' '));
    if (containsAny(t, {u"javascript", u"mailto"}))
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
        if (!type.isEmpty() && containsIgnoringCase(value, type))
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
    if (isPageValue(value, ctx.useFileTypes, ctx.fileTypes) && !hasOtherScheme(value)) {
        if (containsAny(value, {u"file://", u"unsaved:", u"#"}))
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

    QString status;
    if (isDirectLink(value, ctx.mainSite))
        status = QStringLiteral("Direct Link");
    else if (isDomainLink(value, ctx.mainSite))
        status = QStringLiteral("Domain Link");
    // Asked only for a link that would be recorded: the answer is the same
    // for every line of a page until a row is recorded for it.
    if (!status.isEmpty() && !(ctx.foundOnKnown && ctx.foundOnKnown()))
        result.status = status;
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
    bool found = containsIgnoringCase(line, kHrefU);
    while (!found && !reader.atEnd()) {
        line = reader.next();
        found = containsIgnoringCase(line, kHrefU);
    }
    if (found) {
        const QString target = hrefLineTarget(line);
        return target.isEmpty() ? ctx.curUrl : redirectAddress(target, ctx);
    }
    const QString fromHeader = location.trimmed();
    return fromHeader.isEmpty() ? QString() : redirectAddress(fromHeader, ctx);
}

} // namespace tarnwick
