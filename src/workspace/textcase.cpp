// Case-insensitive text tests made fast for ASCII needles.

#include "workspace/textcase.h"

#include <QVarLengthArray>

namespace tarnwick {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

using Folded = QVarLengthArray<char16_t, 64>;

Folded foldedAscii(QStringView needle)
{
    Folded out(needle.size());
    for (qsizetype i = 0; i < needle.size(); ++i)
        out[i] = foldedUnit(needle[i].unicode());
    return out;
}

bool matchesFolded(const char16_t *text, const char16_t *needle, qsizetype size)
{
    for (qsizetype j = 0; j < size; ++j) {
        if (foldedUnit(text[j]) != needle[j])
            return false;
    }
    return true;
}

constexpr qsizetype kShortText = 96;

// needle: ASCII, folded, not empty.
qsizetype indexOfFolded(QStringView text, const char16_t *needle, qsizetype size, qsizetype from)
{
    const char16_t first = needle[0];
    const qsizetype last = text.size() - size;
    const char16_t *data = text.utf16();
    from = qMax<qsizetype>(from, 0);
    // Nothing else folds to a character that is not a letter: the library's
    // fast single-character search finds the candidates by the first such
    // character of the needle.
    qsizetype anchor = 0;
    while (anchor < size && needle[anchor] >= u'a' && needle[anchor] <= u'z')
        ++anchor;
    if (anchor < size) {
        const char16_t a = needle[anchor];
        // A URL is too short for the library's search to pay for its setup.
        if (text.size() - from <= kShortText) {
            for (qsizetype i = from; i <= last; ++i) {
                if (data[i + anchor] == a && matchesFolded(data + i, needle, size))
                    return i;
            }
            return -1;
        }
        for (qsizetype i = text.indexOf(QChar(a), from + anchor); i >= 0 && i - anchor <= last;
             i = text.indexOf(QChar(a), i + 1)) {
            if (matchesFolded(data + i - anchor, needle, size))
                return i - anchor;
        }
        return -1;
    }
    const char16_t firstUpper = char16_t(first - 32);
    for (qsizetype i = from; i <= last; ++i) {
        const char16_t c = data[i];
        if (c != first && c != firstUpper && (c < 0x80 || foldedUnit(c) != first))
            continue;
        if (matchesFolded(data + i + 1, needle + 1, size - 1))
            return i;
    }
    return -1;
}

qsizetype indexOfFolded(QStringView text, const Folded &needle, qsizetype from)
{
    return indexOfFolded(text, needle.constData(), needle.size(), from);
}

} // namespace

bool matchesIgnoringCase(QStringView text, qsizetype at, QStringView needle)
{
    if (at < 0 || text.size() - at < needle.size())
        return false;
    if (!isAsciiText(needle))
        return text.sliced(at, needle.size()).compare(needle, CI) == 0;
    const Folded folded = foldedAscii(needle);
    return matchesFolded(text.utf16() + at, folded.constData(), folded.size());
}

qsizetype indexOfIgnoringCase(QStringView text, QStringView needle, qsizetype from)
{
    if (needle.isEmpty() || !isAsciiText(needle))
        return text.indexOf(needle, from, CI);
    return indexOfFolded(text, foldedAscii(needle), from);
}

bool containsIgnoringCase(QStringView text, QStringView needle)
{
    return indexOfIgnoringCase(text, needle) >= 0;
}

namespace {

// Every occurrence of an ASCII needle, folded, removed in one pass.
bool removeFolded(QString &text, const char16_t *needle, qsizetype size)
{
    qsizetype at = indexOfFolded(text, needle, size, 0);
    if (at < 0)
        return false;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (at >= 0) {
        out += QStringView(text).sliced(from, at - from);
        from = at + size;
        at = indexOfFolded(text, needle, size, from);
    }
    out += QStringView(text).sliced(from);
    text = out;
    return true;
}

} // namespace

bool removeIgnoringCase(QString &text, QStringView needle)
{
    if (needle.isEmpty())
        return false;
    if (!isAsciiText(needle)) {
        const qsizetype before = text.size();
        text.remove(needle.toString(), CI);
        return text.size() != before;
    }
    const Folded folded = foldedAscii(needle);
    return removeFolded(text, folded.constData(), folded.size());
}

QString lowerCased(const QString &text)
{
    const char16_t *data = QStringView(text).utf16();
    const qsizetype size = text.size();
    qsizetype firstUpper = -1;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i];
        if (c >= 0x80)
            return text.toLower();
        if (firstUpper < 0 && c >= u'A' && c <= u'Z')
            firstUpper = i;
    }
    if (firstUpper < 0)
        return text;
    QString out = text;
    QChar *to = out.data();
    for (qsizetype i = firstUpper; i < size; ++i) {
        const char16_t c = data[i];
        if (c >= u'A' && c <= u'Z')
            to[i] = QChar(char16_t(c + 32));
    }
    return out;
}

FoldedNeedle::FoldedNeedle(const QString &needle)
    : m_needle(needle)
    , m_ascii(isAsciiText(needle))
{
    if (m_ascii) {
        m_folded.resize(needle.size());
        for (qsizetype i = 0; i < needle.size(); ++i)
            m_folded[i] = QChar(foldedUnit(needle[i].unicode()));
    }
}

qsizetype FoldedNeedle::indexIn(QStringView text, qsizetype from) const
{
    if (m_needle.isEmpty() || !m_ascii)
        return text.indexOf(m_needle, from, CI);
    return indexOfFolded(text, QStringView(m_folded).utf16(), m_folded.size(), from);
}

bool FoldedNeedle::removeFrom(QString &text) const
{
    if (m_needle.isEmpty())
        return false;
    if (!m_ascii) {
        const qsizetype before = text.size();
        text.remove(m_needle, CI);
        return text.size() != before;
    }
    return removeFolded(text, QStringView(m_folded).utf16(), m_folded.size());
}

bool removeHttpSchemes(QString &text)
{
    static const FoldedNeedle http(QStringLiteral("http://"));
    static const FoldedNeedle https(QStringLiteral("https://"));
    // Both hold a ":".
    if (!text.contains(QLatin1Char(':')))
        return false;
    const bool removedHttp = http.removeFrom(text);
    const bool removedHttps = https.removeFrom(text);
    return removedHttp || removedHttps;
}

QString withHttpScheme(const QString &address)
{
    if (address.startsWith(QLatin1String("http://"), CI) || address.startsWith(QLatin1String("https://"), CI))
        return address;
    return QStringLiteral("http://") + address;
}

QString stripDomain(const QString &mainSiteUrl)
{
    QString text = mainSiteUrl;
    removeHttpSchemes(text);
    if (text.size() > 4 && text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        text.remove(0, 4);
    return text;
}

} // namespace tarnwick
