#include "scanner/pagetext.h"

#include <QFile>

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarnwick {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

// The value starts with a scheme of its own ("ftp://", "irc://") other than
// http and https: nothing the scanner's client can fetch.
bool hasOtherScheme(const QString &value)
{
    const qsizetype sep = QStringView(value).indexOf(QStringView(u"://"));
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

// folded (ASCII, lower case) at text[i] of text[0, size), ignoring case.
inline bool foldedAt(const char16_t *text, qsizetype i, qsizetype size, QStringView folded)
{
    return tarnwick::foldedAt(QStringView(text, size), i, folded);
}

// A redirect marker starts at text[i]. The markers begin with "3" or "<",
// which nothing else folds to.
bool markerAt(const char16_t *text, qsizetype i, qsizetype size)
{
    // The second character rules out nearly every start.
    if (i + 1 >= size)
        return false;
    if (text[i] == u'3')
        return text[i + 1] == u'0'
               && (foldedAt(text, i, size, u"302 found") || foldedAt(text, i, size, u"301 moved permanently"));
    if (text[i] == u'<')
        return (text[i + 1] | 0x20) == u't'
               && (foldedAt(text, i, size, u"<title>document moved</title>")
                   || foldedAt(text, i, size, u"<title>object moved</title>"));
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
// them from the text. Sixteen bytes at a time where the machine allows.
QByteArray oneLineBytes(const char *bytes, qsizetype size)
{
    QByteArray out(size + 2, Qt::Uninitialized);
    char *to = out.data();
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i));
        unsigned breaks = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
        if (!breaks) {
            // Never past the bytes read: the output only ever falls behind.
            _mm_storeu_si128(reinterpret_cast<__m128i *>(to), v);
            to += 16;
            continue;
        }
        int start = 0;
        while (breaks) {
            const int at = std::countr_zero(breaks);
            std::memcpy(to, bytes + i + start, size_t(at - start));
            to += at - start;
            start = at + 1;
            breaks &= breaks - 1;
        }
        std::memcpy(to, bytes + i + start, size_t(16 - start));
        to += 16 - start;
    }
#endif
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

// One pass over the page:
// 1. A table by first character (folded) says what may start there: a line
//    break, "href=", a redirect marker, one of the two note texts, or the
//    main site's text.
// 2. Only the characters that can start something are visited: with SSE2,
//    eight at a time are compared with line breaks, the first two characters
//    of each text and anything outside ASCII; without it, every character.
// 3. A visit ends the line at a break (a line is kept when it holds "href="
//    or a marker); writes an "href=" as CR LF "href=" and drops up to 36
//    spaces after it; and tests a marker, a note or the main site in full
//    only where its second character follows too.
// 4. The normalised text is made only from the first "href=" on, by copying
//    the page up to each one; until then the page itself is the text, and
//    shift turns a page position into a text position.
// 5. At the end the last line is closed and the notes are set, the later
//    ones over the earlier: main site mentioned, source protected, server
//    script.
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

    // What a character at i starts, if anything.
    auto visit = [&](qsizetype i) {
        char16_t c = p[i];
        if (c >= 0x80) {
            c = foldedUnit(c);
            if (c >= 0x80)
                return;
        }
        const quint8 kind = starts[c];
        if (!kind)
            return;
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
        // Each text is tried in full only where its second character follows.
        auto secondIs = [&](char16_t folded) { return i + 1 < n && foldedUnit(p[i + 1]) == folded; };
        if ((kind & kSeeingStart) && !seeing && secondIs(u'o'))
            seeing = foldedAt(p, i, n, kSeeing);
        if ((kind & kScriptStart) && !script && secondIs(u'?'))
            script = foldedAt(p, i, n, kScript);
        if ((kind & kMainStart) && !mainFound && (mainFolded.size() == 1 || secondIs(mainFolded.at(1).unicode())))
            mainFound = foldedAt(p, i, n, mainFolded);
    };

    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight characters at a time: only line ends, characters outside ASCII
    // and the first two characters of a text looked for are visited.
    {
        const __m128i caseBit = _mm_set1_epi16(0x20);
        const __m128i outsideAscii = _mm_set1_epi16(short(0xFF80));
        const __m128i zero = _mm_setzero_si128();
        const __m128i cr = _mm_set1_epi16(u'\r');
        const __m128i lf = _mm_set1_epi16(u'\n');
        const __m128i h = _mm_set1_epi16(u'h');
        const __m128i r = _mm_set1_epi16(u'r');
        const __m128i three = _mm_set1_epi16(u'3');
        const __m128i nought = _mm_set1_epi16(u'0');
        const __m128i less = _mm_set1_epi16(u'<');
        const __m128i t = _mm_set1_epi16(u't');
        const __m128i question = _mm_set1_epi16(u'?');
        const __m128i y = _mm_set1_epi16(u'y');
        const __m128i o = _mm_set1_epi16(u'o');
        // The main site's first two characters, a letter compared in lower
        // case. A second character that something outside ASCII folds to is
        // not asked for: such a character would not be visited.
        const char16_t first = mainInPass ? mainFolded.at(0).unicode() : u'h';
        const char16_t second = mainInPass && mainFolded.size() > 1 ? mainFolded.at(1).unicode() : u'r';
        const bool pairForMain = mainInPass && mainFolded.size() > 1 && second != u'k' && second != u's';
        const __m128i mainFirst = _mm_set1_epi16(short(first));
        const __m128i mainFirstCase = _mm_set1_epi16(first >= u'a' && first <= u'z' ? 0x20 : 0);
        const __m128i mainSecond = _mm_set1_epi16(short(second));
        const __m128i mainSecondCase = _mm_set1_epi16(second >= u'a' && second <= u'z' ? 0x20 : 0);
        const __m128i anySecond = _mm_set1_epi16(pairForMain ? 0 : -1);
        for (; i + 9 <= n; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 1));
            const __m128i lower = _mm_or_si128(v, caseBit);
            const __m128i nextLower = _mm_or_si128(next, caseBit);
            __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(v, cr), _mm_cmpeq_epi16(v, lf));
            hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi16(lower, h), _mm_cmpeq_epi16(nextLower, r)));
            hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi16(v, three), _mm_cmpeq_epi16(next, nought)));
            hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi16(v, less), _mm_or_si128(_mm_cmpeq_epi16(nextLower, t),
                                                                                       _mm_cmpeq_epi16(next, question))));
            hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi16(lower, y), _mm_cmpeq_epi16(nextLower, o)));
            const __m128i main1 = _mm_cmpeq_epi16(_mm_or_si128(v, mainFirstCase), mainFirst);
            const __m128i main2 = _mm_or_si128(_mm_cmpeq_epi16(_mm_or_si128(next, mainSecondCase), mainSecond), anySecond);
            hit = _mm_or_si128(hit, _mm_and_si128(main1, main2));
            const unsigned ascii =
                unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, outsideAscii), zero)));
            unsigned mask = unsigned(_mm_movemask_epi8(hit)) | (~ascii & 0xFFFFu);
            while (mask) {
                const int bit = std::countr_zero(mask);
                visit(i + bit / 2);
                mask &= ~(3u << (bit & ~1));
            }
        }
    }
#endif
    for (; i < n; ++i)
        visit(i);
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
    // "javascript" or "mailto" anywhere, ignoring case: one look at each
    // character.
    const char16_t *v = QStringView(value).utf16();
    for (qsizetype j = 0; j < value.size(); ++j) {
        const char16_t c = v[j] | 0x20;
        if ((c == u'j' && foldedAt(v, j, value.size(), u"javascript"))
            || (c == u'm' && foldedAt(v, j, value.size(), u"mailto")))
            return std::nullopt;
    }
    return value;
}

QList<FoldedNeedle> fileTypeNeedles(const QStringList &fileTypes)
{
    QList<FoldedNeedle> needles;
    for (const QString &type : fileTypes) {
        // An empty entry would make every value a page.
        if (!type.isEmpty())
            needles.append(FoldedNeedle(type));
    }
    return needles;
}

bool isPageValue(const QString &value, bool useFileTypes, const QStringList &fileTypes)
{
    return isPageValueAmong(value, useFileTypes, fileTypeNeedles(fileTypes));
}

bool isPageValueAmong(const QString &value, bool useFileTypes, const QList<FoldedNeedle> &fileTypes)
{
    if (!useFileTypes)
        return true;
    if (value.endsWith(QLatin1Char('/')))
        return true;
    if (value.contains(QLatin1Char('?')) && !value.contains(QLatin1Char('.')))
        return true;
    for (const FoldedNeedle &type : fileTypes) {
        if (type.foundIn(value))
            return true;
    }
    return false;
}

LinkExaminer::LinkExaminer(LinkContext ctx, std::shared_ptr<const RuleSet> rules)
    : m_ctx(std::move(ctx))
{
    m_keys.mainSite = FoldedNeedle(m_ctx.mainSite);
    m_keys.mainSiteKey = siteKey(m_ctx.mainSite);
    m_keys.fileTypes = fileTypeNeedles(m_ctx.fileTypes);
    setLinkingSiteRow(m_ctx.linkingSiteRow, std::move(rules));
}

void LinkExaminer::setLinkingSiteRow(const QString &row, std::shared_ptr<const RuleSet> rules)
{
    m_ctx.linkingSiteRow = row;
    m_keys.linkingSiteKey = FoldedNeedle(siteKey(row));
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

    const Keys &k = m_keys;
    bool record;
    if (isPageValueAmong(value, m_ctx.useFileTypes, k.fileTypes) && !hasOtherScheme(value)) {
        static const FoldedNeedle file(QStringLiteral("file://"));
        static const FoldedNeedle unsaved(QStringLiteral("unsaved:"));
        if (file.foundIn(value) || unsaved.foundIn(value) || value.contains(QLatin1Char('#')))
            return result;
        resolveLink(value, m_ctx.sockHost, m_ctx.curDir);
        if (checkRules(value, *m_rules, m_ctx.ruleLog)) {
            const bool known = m_ctx.siteKnown ? m_ctx.siteKnown(value) : false;
            if (!known && !value.isEmpty() && isSameSite(value, k.linkingSiteKey))
                result.queueUrl = value;
            record = true;
        } else {
            result.ruleProblem = true;
            record = isDirectLink(value, k.mainSite);
        }
    } else {
        record = isDirectLink(value, k.mainSite);
    }
    result.value = value;
    if (!record)
        return result;

    QString status;
    if (isDirectLink(value, k.mainSite))
        status = QStringLiteral("Direct Link");
    else if (isDomainLinkOfKey(value, k.mainSiteKey))
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
