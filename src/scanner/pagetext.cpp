#include "scanner/pagetext.h"

#include <QFile>

#include <cstring>

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

// "href=" in any case at text[i]. No letter outside ASCII folds to one of
// its letters, so a plain ASCII test gives the case-insensitive answer.
inline bool hrefAt(const char16_t *text, qsizetype i, qsizetype size)
{
    return i + 5 <= size && (text[i] | 0x20) == u'h' && (text[i + 1] | 0x20) == u'r' && (text[i + 2] | 0x20) == u'e'
           && (text[i + 3] | 0x20) == u'f' && text[i + 4] == u'=';
}

// folded (ASCII, lower case) at text[i], ignoring case.
bool foldedAt(const char16_t *text, qsizetype i, qsizetype size, QStringView folded)
{
    if (size - i < folded.size())
        return false;
    const char16_t *needle = folded.utf16();
    for (qsizetype j = 0; j < folded.size(); ++j) {
        if (foldedUnit(text[i + j]) != needle[j])
            return false;
    }
    return true;
}

// A redirect marker starts at text[i]. The markers begin with "3" or "<",
// which nothing else folds to.
bool markerAt(const char16_t *text, qsizetype i, qsizetype size)
{
    if (text[i] == u'3')
        return foldedAt(text, i, size, u"302 found") || foldedAt(text, i, size, u"301 moved permanently");
    if (text[i] == u'<')
        return foldedAt(text, i, size, u"<title>document moved</title>")
               || foldedAt(text, i, size, u"<title>object moved</title>");
    return false;
}

bool isAsciiText(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

void trimSpaces(QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    if (begin > 0 || end < text.size())
        text = text.mid(begin, end - begin);
}

void truncateAt(QString &text, QChar c)
{
    const qsizetype at = text.indexOf(c);
    if (at >= 0)
        text.truncate(at);
}

// Every "href=" (any case) removed.
void removeHrefs(QString &text)
{
    removeIgnoringCase(text, kHrefU);
}

// The file holds exactly the new page afterwards, never an old page behind
// a shorter new one. It is written over in place and then cut to size. A
// file that cannot be opened (read-only, say) is deleted and made anew.
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

// bytes without its CR and LF bytes, followed by CR LF. CR and LF never
// occur inside a UTF-8 sequence: removing them from the bytes is removing
// them from the text. Eight bytes at a time where none of them is one.
QByteArray oneLineBytes(const char *bytes, qsizetype size)
{
    QByteArray out(size + 2, Qt::Uninitialized);
    char *to = out.data();
    qsizetype i = 0;
    constexpr quint64 ones = 0x0101010101010101ull;
    constexpr quint64 highs = 0x8080808080808080ull;
    while (i + 8 <= size) {
        quint64 word;
        std::memcpy(&word, bytes + i, 8);
        const quint64 cr = word ^ (ones * '\r');
        const quint64 lf = word ^ (ones * '\n');
        const bool any = (((cr - ones) & ~cr) | ((lf - ones) & ~lf)) & highs;
        if (!any) {
            std::memcpy(to, bytes + i, 8);
            to += 8;
            i += 8;
            continue;
        }
        for (const qsizetype end = i + 8; i < end; ++i) {
            if (bytes[i] != '\r' && bytes[i] != '\n')
                *to++ = bytes[i];
        }
    }
    for (; i < size; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            *to++ = bytes[i];
    }
    *to++ = '\r';
    *to++ = '\n';
    out.truncate(to - out.constData());
    return out;
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

// What a reading of a page looks for, by the first character (folded) of
// the texts that start there.
enum : quint8 {
    kBreak = 1,
    kHrefStart = 2,
    kMarkerStart = 4,
    kSeeingStart = 8,
    kScriptStart = 16,
    kMainStart = 32,
};

constexpr QStringView kSeeing = u"you are seeing this text because";
constexpr QStringView kScript = u"<?php";

} // namespace

PageReading readPage(const QString &page, const QString &mainSite)
{
    PageReading r;
    const char16_t *p = QStringView(page).utf16();
    const qsizetype n = page.size();

    // The main site is looked for in the same pass unless it is a text the
    // fast test does not cover.
    const bool mainInPass = !mainSite.isEmpty() && isAsciiText(mainSite);
    QString mainFolded;
    bool mainFound = false;
    if (mainInPass) {
        mainFolded.resize(mainSite.size());
        for (qsizetype i = 0; i < mainSite.size(); ++i)
            mainFolded[i] = QChar(foldedUnit(mainSite.at(i).unicode()));
    } else {
        mainFound = containsIgnoringCase(page, mainSite);
    }
    bool seeing = false;
    bool script = false;

    // Indexed by a character as it stands (ASCII) or folded (the rest).
    quint8 starts[128] = {};
    auto startsWith = [&starts](char16_t folded, quint8 kind) {
        starts[folded & 0x7F] |= kind;
        if (folded >= u'a' && folded <= u'z')
            starts[folded - 32] |= kind;
    };
    startsWith(u'\r', kBreak);
    startsWith(u'\n', kBreak);
    startsWith(u'h', kHrefStart);
    startsWith(u'3', kMarkerStart);
    startsWith(u'<', kMarkerStart | kScriptStart);
    startsWith(u'y', kSeeingStart);
    if (mainInPass)
        startsWith(mainFolded.at(0).unicode(), kMainStart);

    // The normalised text is made only once a "href=" asks for a change:
    // page[copied..] is not in it yet, and a position of the page is that
    // position plus shift in it.
    QString out;
    qsizetype copied = 0;
    qsizetype shift = 0;
    qsizetype lineStart = 0;
    bool lineHref = false;
    bool lineMarker = false;
    auto endLine = [&](qsizetype end) {
        if (lineHref || lineMarker)
            r.lines.append({lineStart, end - lineStart, lineHref, lineMarker});
    };

    for (qsizetype i = 0; i < n; ++i) {
        char16_t c = p[i];
        if (c >= 0x80) {
            c = foldedUnit(c);
            if (c >= 0x80)
                continue;
        }
        const quint8 kind = starts[c];
        if (!kind)
            continue;
        // A line ends at CR LF, CR or LF; the LF of a CR LF ends nothing more.
        if ((kind & kBreak) && !(c == u'\n' && i > 0 && p[i - 1] == u'\r')) {
            endLine(i + shift);
            const qsizetype length = c == u'\r' && i + 1 < n && p[i + 1] == u'\n' ? 2 : 1;
            lineStart = i + shift + length;
            lineHref = lineMarker = false;
        }
        if ((kind & kHrefStart) && hrefAt(p, i, n)) {
            // CR LF goes in front and a run of up to 36 spaces after it goes.
            endLine(i + shift);
            if (out.isNull())
                out.reserve(n + n / 8 + 8);
            out.append(page.constData() + copied, i - copied);
            out.append(QStringView(u"\r\nhref="));
            qsizetype spaces = 0;
            while (i + 5 + spaces < n && p[i + 5 + spaces] == u' ')
                ++spaces;
            if (spaces > 36)
                out.resize(out.size() + spaces - 36, QLatin1Char(' '));
            copied = i + 5 + spaces;
            lineStart = i + shift + 2;
            shift += 2 - qMin<qsizetype>(spaces, 36);
            lineHref = true;
            lineMarker = false;
        }
        if ((kind & kMarkerStart) && !lineMarker && markerAt(p, i, n))
            lineMarker = true;
        if ((kind & kSeeingStart) && !seeing)
            seeing = foldedAt(p, i, n, kSeeing);
        if ((kind & kScriptStart) && !script)
            script = foldedAt(p, i, n, kScript);
        if ((kind & kMainStart) && !mainFound)
            mainFound = foldedAt(p, i, n, mainFolded);
    }
    endLine(n + shift);

    if (out.isNull()) {
        r.text = page;
    } else {
        out.append(page.constData() + copied, n - copied);
        r.text = std::move(out);
    }
    if (mainFound) {
        r.notes.mainSiteMentioned = true;
        r.notes.statusNote = QStringLiteral("Possible Redirected URL");
    }
    if (seeing)
        r.notes.statusNote = QStringLiteral("Source Protected");
    if (script)
        r.notes.statusNote = QStringLiteral("Server Script Error");
    return r;
}

PageNotes pageStatusNotes(const QString &page, const QString &mainSite)
{
    return readPage(page, mainSite).notes;
}

QString normalizeHrefs(const QString &page)
{
    return readPage(page, QString()).text;
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
    const QByteArray bytes = normalized.toUtf8();
    return replaceFile(pageDump2Path(programDir, socketIndex), oneLineBytes(bytes.constData(), bytes.size()));
}

bool PageDumps::write(const QString &programDir, int socketIndex, const QString &normalized)
{
    QByteArray bytes = normalized.toUtf8();
    const qsizetype size = bytes.size();
    bytes += "\r\n";
    const bool first = m_first.replace(pageDumpPath(programDir, socketIndex), bytes);
    const bool second = m_second.replace(pageDump2Path(programDir, socketIndex), oneLineBytes(bytes.constData(), size));
    return first && second;
}

void PageDumps::close()
{
    m_first.close();
    m_second.close();
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
    const char16_t *data = line.utf16();
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (markerAt(data, i, line.size()))
            return true;
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
    const char16_t *text = line.utf16();
    const qsizetype size = line.size();
    qsizetype at = 0;
    while (at < size && !hrefAt(text, at, size))
        ++at;
    if (at == size)
        return std::nullopt;
    // The text from the first "href=" on, a quote right after any "href="
    // left out (first a double, then a single one), up to the first quote or
    // ">" that remains; the "href=" themselves then removed. Only the
    // stretches between them are kept, and their count.
    QString value;
    qsizetype hrefs = 0;
    qsizetype i = at;
    qsizetype runStart = at;  // start of the stretch not yet copied
    for (;;) {
        if (hrefAt(text, i, size)) {
            value.append(line.constData() + runStart, i - runStart);
            ++hrefs;
            i += 5;
            if (i < size && text[i] == u'"')
                ++i;
            if (i < size && text[i] == u'\'')
                ++i;
            runStart = i;
            continue;
        }
        if (i == size) {
            value.append(line.constData() + runStart, i - runStart);
            break;
        }
        const char16_t c = text[i];
        if (c == u'\'' || c == u'"' || c == u'>') {
            value.append(line.constData() + runStart, i - runStart);
            break;
        }
        ++i;
    }
    if (value.size() + hrefs * kHref.size() < kHref.size() + 1)
        return std::nullopt;
    trimSpaces(value);
    truncateAt(value, QLatin1Char(' '));
    static const FoldedNeedle javascript(QStringLiteral("javascript"));
    static const FoldedNeedle mailto(QStringLiteral("mailto"));
    if (javascript.foundIn(value) || mailto.foundIn(value))
        return std::nullopt;
    return value;
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

// What every link of a page is tested against, made once.
struct LinkExaminer::Keys {
    FoldedNeedle mainSite;
    QString mainSiteKey;
    FoldedNeedle linkingSiteKey;
    QList<FoldedNeedle> fileTypes;
};

LinkExaminer::LinkExaminer(LinkContext ctx, std::shared_ptr<const RuleSet> rules)
    : m_ctx(std::move(ctx))
    , m_keys(std::make_unique<Keys>())
{
    m_keys->mainSite = FoldedNeedle(m_ctx.mainSite);
    m_keys->mainSiteKey = siteKey(m_ctx.mainSite);
    for (const QString &type : std::as_const(m_ctx.fileTypes)) {
        // An empty entry would make every value a page.
        if (!type.isEmpty())
            m_keys->fileTypes.append(FoldedNeedle(type));
    }
    setLinkingSiteRow(m_ctx.linkingSiteRow, std::move(rules));
}

LinkExaminer::~LinkExaminer() = default;

void LinkExaminer::setLinkingSiteRow(const QString &row, std::shared_ptr<const RuleSet> rules)
{
    m_ctx.linkingSiteRow = row;
    m_keys->linkingSiteKey = FoldedNeedle(siteKey(row));
    if (!rules || rules->mainSiteText() != m_ctx.mainSiteText || rules->linkingSiteText() != row)
        rules = std::make_shared<const RuleSet>(m_ctx.rules, m_ctx.mainSiteText, row);
    m_rules = std::move(rules);
}

LineResult LinkExaminer::examine(QStringView line) const
{
    LineResult result;
    const std::optional<QString> taken = hrefValue(line);
    if (!taken)
        return result;
    QString value = *taken;
    result.value = value;

    const Keys &k = *m_keys;
    auto isPage = [&] {
        if (!m_ctx.useFileTypes || value.endsWith(QLatin1Char('/')))
            return true;
        if (value.contains(QLatin1Char('?')) && !value.contains(QLatin1Char('.')))
            return true;
        for (const FoldedNeedle &type : k.fileTypes) {
            if (type.foundIn(value))
                return true;
        }
        return false;
    };
    bool record;
    if (isPage() && !hasOtherScheme(value)) {
        static const FoldedNeedle file(QStringLiteral("file://"));
        static const FoldedNeedle unsaved(QStringLiteral("unsaved:"));
        if (file.foundIn(value) || unsaved.foundIn(value) || value.contains(QLatin1Char('#')))
            return result;
        resolveLink(value, m_ctx.sockHost, m_ctx.curDir);
        if (checkRules(value, *m_rules, m_ctx.ruleLog)) {
            const bool known = m_ctx.siteKnown ? m_ctx.siteKnown(value) : false;
            if (!known && !value.isEmpty()
                && (k.linkingSiteKey.foundIn(value) || containsIgnoringCase(k.linkingSiteKey.text(), value)))
                result.queueUrl = value;
            record = true;
        } else {
            result.ruleProblem = true;
            record = k.mainSite.foundIn(value);
        }
    } else {
        record = k.mainSite.foundIn(value);
    }
    result.value = value;
    if (!record)
        return result;

    QString status;
    if (k.mainSite.foundIn(value))
        status = QStringLiteral("Direct Link");
    else if (siteKey(value) == k.mainSiteKey)
        status = QStringLiteral("Domain Link");
    // Asked only for a link that would be recorded: the answer is the same
    // for every line of a page until a row is recorded for it.
    if (!status.isEmpty() && !(m_ctx.foundOnKnown && m_ctx.foundOnKnown()))
        result.status = status;
    return result;
}

LineResult examineLine(QStringView line, const LinkContext &ctx)
{
    return LinkExaminer(ctx).examine(line);
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

QString redirectTarget(const PageReading &reading, qsizetype markerIndex, const QString &location,
                       const LinkContext &ctx)
{
    // Only the lines of the reading can hold "href=".
    for (qsizetype i = markerIndex; i < reading.lines.size(); ++i) {
        if (reading.lines.at(i).href) {
            const QString target = hrefLineTarget(reading.line(reading.lines.at(i)));
            return target.isEmpty() ? ctx.curUrl : redirectAddress(target, ctx);
        }
    }
    const QString fromHeader = location.trimmed();
    return fromHeader.isEmpty() ? QString() : redirectAddress(fromHeader, ctx);
}

} // namespace tarnwick
