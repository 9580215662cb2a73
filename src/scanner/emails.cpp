#include "scanner/emails.h"

#include <QRegularExpression>

namespace tarnwick {

namespace {

constexpr qsizetype kLocalPartWindow = 40;

bool isDelimiter(QChar c)
{
    switch (c.unicode()) {
    case '"': case ':': case ' ': case '>': case '<': case '[': case ']': case '(': case ')':
    case '?': case '=': case ',': case '&': case '*': case '/': case ';':
        return true;
    default:
        return false;
    }
}

// What is taken out of a part after it was cut. "-" stays: it is part of
// many addresses and host names.
QString withoutStrayCharacters(QString part, bool domain)
{
    part.removeIf([domain](QChar c) {
        switch (c.unicode()) {
        case ':': case '"': case ' ': case '<': case '>': case '[': case ']': case '(': case ')':
        case '?': case '=': case '*': case '/': case '\r': case '\n': case ';':
            return true;
        case ',':
            return domain;
        default:
            return false;
        }
    });
    return part;
}

} // namespace

bool isEmail(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("[a-zA-Z0-9\\-_.]+@[a-zA-Z0-9\\-_.]+\\.[a-zA-Z0-9]+"));
    QRegularExpressionMatchIterator it = pattern.globalMatch(text);
    int count = 0;
    while (it.hasNext() && count < 2) {
        it.next();
        ++count;
    }
    return count == 1;
}

QList<EmailFind> getEmails(QString line)
{
    line.replace(QLatin1String("%40"), QLatin1String("@"));
    line.replace(QLatin1String("%20"), QLatin1String(" "));
    line.replace(QLatin1String("&lt;"), QLatin1String("<"));
    line.replace(QLatin1String("&rt;"), QLatin1String(">"));

    QList<EmailFind> finds;
    const qsizetype n = line.size();
    qsizetype from = 0;  // the text before this was used up by earlier candidates
    while (from < n) {
        const qsizetype at = line.indexOf(QLatin1Char('@'), from);
        if (at < 0)
            break;
        const qsizetype windowStart = qMax(from, at - kLocalPartWindow);
        qsizetype start = at;
        while (start > windowStart && !isDelimiter(line.at(start - 1)))
            --start;
        qsizetype end = at + 1;
        while (end < n && !isDelimiter(line.at(end)))
            ++end;

        const QString local = withoutStrayCharacters(line.mid(start, at - start), false);
        const QString domain = withoutStrayCharacters(line.mid(at + 1, end - at - 1), true);
        const QString candidate = local + QLatin1Char('@') + domain;
        if (isEmail(candidate))
            finds.append({candidate, domain});
        // The domain part and the delimiter after it are used up.
        from = end + 1;
    }
    return finds;
}

} // namespace tarnwick
