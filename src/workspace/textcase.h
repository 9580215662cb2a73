#pragma once
// Case-insensitive text tests with the same answers as QString's own (which
// folds a few non-ASCII letters to ASCII ones), made fast for ASCII needles:
// every link of every page goes through several of them. And the two scheme
// rules every part of the program shares.

#include <QString>
#include <QStringView>

namespace tarnwick {

bool matchesIgnoringCase(QStringView text, qsizetype at, QStringView needle);
qsizetype indexOfIgnoringCase(QStringView text, QStringView needle, qsizetype from = 0);
bool containsIgnoringCase(QStringView text, QStringView needle);
// Removes every occurrence found in one left-to-right pass, as
// QString::remove does; true when something was removed.
bool removeIgnoringCase(QString &text, QStringView needle);

// A needle folded once for many searches, with the answers of the functions
// above.
class FoldedNeedle {
public:
    FoldedNeedle() = default;
    explicit FoldedNeedle(const QString &needle);

    qsizetype indexIn(QStringView text, qsizetype from = 0) const;
    bool foundIn(QStringView text) const { return indexIn(text) >= 0; }
    // Removes every occurrence, as removeIgnoringCase does.
    bool removeFrom(QString &text) const;
    const QString &text() const { return m_needle; }

private:
    QString m_needle;
    QString m_folded;  // an ASCII needle in lower case; empty otherwise
    bool m_ascii = true;
};

// The case folding of one UTF-16 unit as far as an ASCII needle can tell:
// ASCII letters to lower case, other units by the Unicode simple folding
// (the Kelvin sign becomes "k"); a surrogate never folds to ASCII.
inline char16_t foldedUnit(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    if (QChar::isSurrogate(c))
        return c;
    return char16_t(QChar::toCaseFolded(char32_t(c)));
}

// No character of the text lies outside ASCII.
inline bool isAsciiText(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// folded (ASCII, lower case) stands at text[i], ignoring case.
inline bool foldedAt(QStringView text, qsizetype i, QStringView folded)
{
    if (i < 0 || text.size() - i < folded.size())
        return false;
    for (qsizetype j = 0; j < folded.size(); ++j) {
        if (foldedUnit(text[i + j].unicode()) != folded[j].unicode())
            return false;
    }
    return true;
}

// QString::toLower's answer, without its tables for ASCII text.
QString lowerCased(const QString &text);

// Every "http://", then every "https://", removed wherever it stands,
// ignoring case. True when anything was removed.
bool removeHttpSchemes(QString &text);

// The address with "http://" in front, unless it already starts with
// "http://" or "https://" (any case).
QString withHttpScheme(const QString &address);

// The main-site URL reduced to the text the link tests look for (and the
// results rows record): every "http://" and "https://" removed, then a
// leading "www." (any case) when something follows it. A path or a trailing
// "/" stays.
QString stripDomain(const QString &mainSiteUrl);

} // namespace tarnwick
