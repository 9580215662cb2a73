// Case-insensitive text tests made fast for ASCII needles.

#include "workspace/textcase.h"

#include <QVarLengthArray>

namespace tarnwick {

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

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

// needle: ASCII, folded, not empty.
qsizetype indexOfFolded(QStringView text, const char16_t *needle, qsizetype size, qsizetype from)
{
    const char16_t first = needle[0];
    const qsizetype last = text.size() - size;
    const char16_t *data = text.utf16();
    from = qMax<qsizetype>(from, 0);
    if (first < u'a' || first > u'z') {
        // Nothing else folds to a first character that is not a letter: the
        // library's fast single-character search finds the candidates.
        for (qsizetype i = text.indexOf(QChar(first), from); i >= 0 && i <= last;
             i = text.indexOf(QChar(first), i + 1)) {
            if (matchesFolded(data + i + 1, needle + 1, size - 1))
                return i;
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
    if (!isAscii(needle))
        return text.sliced(at, needle.size()).compare(needle, CI) == 0;
    const Folded folded = foldedAscii(needle);
    return matchesFolded(text.utf16() + at, folded.constData(), folded.size());
}

qsizetype indexOfIgnoringCase(QStringView text, QStringView needle, qsizetype from)
{
    if (needle.isEmpty() || !isAscii(needle))
        return text.indexOf(needle, from, CI);
    return indexOfFolded(text, foldedAscii(needle), from);
}

bool containsIgnoringCase(QStringView text, QStringView needle)
{
    return indexOfIgnoringCase(text, needle) >= 0;
}

bool removeIgnoringCase(QString &text, QStringView needle)
{
    if (needle.isEmpty())
        return false;
    if (!isAscii(needle)) {
        const qsizetype before = text.size();
        text.remove(needle.toString(), CI);
        return text.size() != before;
    }
    const Folded folded = foldedAscii(needle);
    qsizetype at = indexOfFolded(text, folded, 0);
    if (at < 0)
        return false;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (at >= 0) {
        out += QStringView(text).sliced(from, at - from);
        from = at + needle.size();
        at = indexOfFolded(text, folded, from);
    }
    out += QStringView(text).sliced(from);
    text = out;
    return true;
}

FoldedNeedle::FoldedNeedle(const QString &needle)
    : m_needle(needle)
    , m_ascii(isAscii(needle))
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

void removeHttpSchemes(QString &text)
{
    removeIgnoringCase(text, u"http://");
    removeIgnoringCase(text, u"https://");
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
