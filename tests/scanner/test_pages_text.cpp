// The one-pass page text functions against the plain, many-pass reading of
// the same rules, on random texts made of the characters that matter.

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "scanner/linkrules.h"
#include "scanner/pagetext.h"

using namespace tarnwick;

namespace {

constexpr Qt::CaseSensitivity CI = Qt::CaseInsensitive;

QString referenceNormalize(const QString &page)
{
    QString text = page;
    for (int spaces = 8; spaces >= 1; --spaces)
        text.replace(QLatin1String("href=") + QString(spaces, QLatin1Char(' ')), QLatin1String("href="), CI);
    text.replace(QLatin1String("href="), QStringLiteral("\r\nhref="), CI);
    return text;
}

std::optional<QString> referenceValue(const QString &line)
{
    const qsizetype at = line.indexOf(QLatin1String("href="), 0, CI);
    if (at < 0)
        return std::nullopt;
    QString t = line.mid(at);
    t.replace(QLatin1String("href=\""), QLatin1String("href="), CI);
    t.replace(QLatin1String("href='"), QLatin1String("href="), CI);
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == QLatin1Char('\'') || t[i] == QLatin1Char('"') || t[i] == QLatin1Char('>')) {
            t.truncate(i);
            break;
        }
    }
    if (t.size() < 6)
        return std::nullopt;
    t.remove(QLatin1String("href="), CI);
    while (t.startsWith(QLatin1Char(' ')))
        t.remove(0, 1);
    while (t.endsWith(QLatin1Char(' ')))
        t.chop(1);
    const qsizetype blank = t.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        t.truncate(blank);
    if (t.contains(QLatin1String("javascript"), CI) || t.contains(QLatin1String("mailto"), CI))
        return std::nullopt;
    return t;
}

bool referenceMarker(const QString &line)
{
    for (const char *m : {"302 Found", "301 Moved Permanently", "<title>Document Moved</title>",
                          "<title>Object moved</title>"}) {
        if (line.contains(QLatin1String(m), CI))
            return true;
    }
    return false;
}

// Pieces that make up the interesting texts, Kelvin sign and long s (which
// fold to "k" and "s") included.
QString randomText(QRandomGenerator &random)
{
    static const QStringList pieces = {
        "href=", "HREF=", "hReF=", "Href", "ref=", "h", "=", " ", "  ", "        ", "\"", "'", ">", "<", "a",
        "x.htm", "javascript:", "MailTo:", "302 found", "301 MOVED PERMANENTLY", "<title>document moved</title>",
        "<TITLE>Object Moved</TITLE>", "302", "<title>", QString(QChar(0x212A)), QString(QChar(0x017F)), "\r\n",
        "\n", QString::fromUtf8("\xc3\xa9"),
    };
    QString text;
    const int n = int(random.bounded(12));
    for (int i = 0; i < n; ++i)
        text += pieces[int(random.bounded(pieces.size()))];
    return text;
}

} // namespace

TEST(PageTextOnePass, AgreesWithTheManyPassRules)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(random);
        ASSERT_EQ(normalizeHrefs(text), referenceNormalize(text)) << text.toStdString();
        ASSERT_EQ(hrefValue(text), referenceValue(text)) << text.toStdString();
        ASSERT_EQ(isRedirectMarker(text), referenceMarker(text)) << text.toStdString();
    }
}

TEST(PageTextOnePass, CaseInsensitiveSearchAgreesWithQt)
{
    QRandomGenerator random(11);
    const QStringList needles = {"href=", "HTTP://", "https://", "k", "S", "302 found", "Ka", "é", "x.htm", "<"};
    for (int round = 0; round < 20000; ++round) {
        const QString text = randomText(random);
        const QString needle = random.bounded(3) == 0 ? randomText(random) : needles[int(random.bounded(needles.size()))];
        const qsizetype from = qsizetype(random.bounded(4));
        ASSERT_EQ(indexOfIgnoringCase(text, needle, from), text.indexOf(needle, from, CI))
            << text.toStdString() << " / " << needle.toStdString();
        ASSERT_EQ(containsIgnoringCase(text, needle), text.contains(needle, CI));
        if (!needle.isEmpty()) {
            QString mine = text;
            QString theirs = text;
            theirs.remove(needle, CI);
            ASSERT_EQ(removeIgnoringCase(mine, needle), theirs != text);
            ASSERT_EQ(mine, theirs) << text.toStdString() << " / " << needle.toStdString();
        }
    }
}

TEST(PageTextOnePass, LettersThatFoldToAscii)
{
    // The Kelvin sign folds to "k", the long s to "s": a case-insensitive
    // search finds them as those letters.
    const QString kelvin(QChar(0x212A));
    const QString longS(QChar(0x017F));
    EXPECT_EQ(hrefValue("href=\"java" + longS + "cript:x\""), std::nullopt);
    EXPECT_TRUE(pageStatusNotes("see main.example" + kelvin, "MAIN.EXAMPLEK").mainSiteMentioned);
    EXPECT_FALSE(pageStatusNotes("see main.exampl", "main.example").mainSiteMentioned);
    EXPECT_EQ(pageStatusNotes(QString::fromUtf8("caf\xc3\xa9 <?PhP"), QString::fromUtf8("caf\xc3\x89")).statusNote,
              "Server Script Error");
    EXPECT_TRUE(pageStatusNotes(QString::fromUtf8("caf\xc3\xa9"), QString::fromUtf8("CAF\xc3\x89")).mainSiteMentioned);
}
