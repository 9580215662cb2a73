// The page text and link rules as they stood before the one-pass reading:
// kept verbatim as the reference the faster code is compared against.

#include "scanner/reference_pagetext.h"

#include <QFile>
#include <QVarLengthArray>

namespace reference {

using namespace tarnwick;

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

const QLatin1String kHttp("http://");
const QLatin1String kHttps("https://");

// Host text of a link or site: schemes removed, cut before the first "/",
// reduced to its last two labels.
QString siteKey(QString text)
{
    removeHttpSchemes(text);
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        text.truncate(slash);
    return lastTwoLabels(text);
}

// A relative value that already names a host: these texts anywhere in it.
bool namesHost(const QString &link)
{
    static const QStringView markers[] = {u".com", u"www.", u".net", u".edu", u".gov", u"ww2."};
    for (const QStringView m : markers) {
        if (containsIgnoringCase(link, m))
            return true;
    }
    return false;
}

// Each leading ".." step takes one directory off curDir; running out of
// directories stops at the host (getBaseDir keeps the host). A "./" between
// the steps is the same directory.
QString climbDirectories(QString link, const QString &curDir)
{
    QString dir = curDir;
    for (;;) {
        if (link.startsWith(QLatin1String(".."))) {
            dir = getBaseDir(dir);
            link.remove(0, 3);  // "../", or all of a bare ".."
        } else if (link.startsWith(QLatin1String("./"))) {
            link.remove(0, 2);
        } else {
            break;
        }
    }
    return dir + link;
}

// Truncated endings seen on real pages (a value cut at a line end).
void repairEnding(QString &link)
{
    struct Fix {
        QLatin1String end;
        QLatin1String replacement;
    };
    static const Fix fixes[] = {
        {QLatin1String(".as"), QLatin1String(".asp")},  {QLatin1String(".ht"), QLatin1String(".htm")},
        {QLatin1String(".ph"), QLatin1String(".php")},  {QLatin1String("/hre"), QLatin1String("")},
        {QLatin1String("/href"), QLatin1String("")},    {QLatin1String("/http:"), QLatin1String("")},
        {QLatin1String("/http"), QLatin1String("")},
    };
    for (const Fix &f : fixes) {
        if (link.endsWith(f.end, CI)) {
            link.chop(f.end.size());
            link += f.replacement;
        }
    }
}

bool rejects(const Rule &rule, const QString &u)
{
    const QString &type = rule.ruleType;
    if (type == QLatin1String("LimitDirectory") || type == QLatin1String("ExcludeDirectory")) {
        QString dir = QLatin1Char('/') + rule.ruleValue + QLatin1Char('/');
        dir.replace(QLatin1String("//"), QLatin1String("/"));
        const bool inside = containsIgnoringCase(u, dir);
        return type == QLatin1String("LimitDirectory") ? !inside : inside;
    }
    if (type == QLatin1String("LimitString") || type == QLatin1String("LimitRoot"))
        return !containsIgnoringCase(u, rule.ruleValue);
    if (type == QLatin1String("ExcludeString") || type == QLatin1String("ExcludeRoot"))
        return containsIgnoringCase(u, rule.ruleValue);
    return false;
}

} // namespace

QString getBaseDir(const QString &url)
{
    QString text = url;
    QString scheme;
    if (text.startsWith(kHttp, CI)) {
        scheme = kHttp;
        text.remove(0, kHttp.size());
    } else if (text.startsWith(kHttps, CI)) {
        scheme = kHttps;
        text.remove(0, kHttps.size());
    }
    if (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
    QString candidate = slash >= 0 ? text.left(slash + 1) : QString();
    // Only the host left: the host itself, without the scheme.
    if (candidate.isEmpty())
        return text + QLatin1Char('/');
    return scheme + candidate;
}

QString resolveLink(QString &link, const QString &sockHost, const QString &curDir)
{
    QString s = link;
    bool absolute = false;
    if (removeIgnoringCase(s, u"http://"))
        absolute = true;
    if (removeIgnoringCase(s, u"https://"))
        absolute = true;
    // "//host/path" names another host with the page's own scheme.
    if (s.startsWith(QLatin1String("//"))) {
        s.remove(0, 2);
        absolute = true;
    }

    if (s.startsWith(QLatin1Char('/'))) {
        s = sockHost + s;
        s.replace(QLatin1String("//"), QLatin1String("/"));
    } else if (s.startsWith(QLatin1String(".."))) {
        s = climbDirectories(s, curDir);
    } else if (s.startsWith(QLatin1String("./"))) {
        // Explicitly relative to the page's directory, whatever its text holds.
        s.replace(QLatin1String("/./"), QLatin1String("/"));
        s = climbDirectories(s, curDir);
    } else if (!absolute && !namesHost(s)) {
        s = curDir + QLatin1Char('/') + s;
    }

    if (!s.contains(QLatin1Char('/')))
        s += QLatin1Char('/');
    for (int pass = 0; pass < 4; ++pass)
        s.replace(QLatin1String("//"), QLatin1String("/"));
    if (s.size() >= 7)
        repairEnding(s);
    link = s;
    return s;
}

bool isSameSite(const QString &link, const QString &linkingSiteRow)
{
    const QString site = siteKey(linkingSiteRow);
    return containsIgnoringCase(link, site) || containsIgnoringCase(site, link);
}

bool isDirectLink(const QString &link, const QString &mainSite)
{
    return containsIgnoringCase(link, mainSite);
}

bool isDomainLink(const QString &link, const QString &mainSite)
{
    return siteKey(link) == siteKey(mainSite);
}

const Rule *rejectingRule(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                          const QString &linkingSiteText)
{
    const QLatin1String global("Global");
    for (const Rule &rule : rules) {
        if (rule.mainSite != mainSiteText && rule.mainSite != global)
            continue;
        if (rule.remoteSite != linkingSiteText && rule.remoteSite != global)
            continue;
        if (rejects(rule, u))
            return &rule;
    }
    return nullptr;
}

bool checkRules(const QString &u, const QList<Rule> &rules, const QString &mainSiteText,
                const QString &linkingSiteText, const RuleLog &log)
{
    const Rule *rule = reference::rejectingRule(u, rules, mainSiteText, linkingSiteText);
    if (!rule)
        return true;
    if (log.on)
        logRule(log.programDir, rule->ruleType, rule->ruleValue, u);
    return false;
}

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
        if (reference::checkRules(value, ctx.rules, ctx.mainSiteText, ctx.linkingSiteRow, ctx.ruleLog)) {
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

} // namespace reference
