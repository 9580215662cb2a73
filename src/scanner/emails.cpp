#include "scanner/emails.h"

#include <QRegularExpression>

namespace tarnwick {

namespace {

constexpr qsizetype kLocalPartWindow = 40;

// A line break or a second "@" ends an address too: without them two
// addresses on two lines, or "a@b@c.com", would read as one.
bool isDelimiter(QChar c)
{
    switch (c.unicode()) {
    case '"': case ':': case ' ': case '>': case '<': case '[': case ']': case '(': case ')':
    case '?': case '=': case ',': case '&': case '*': case '/': case ';': case '\r': case '\n': case '@':
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

// The last label of a host name is letters, and not the ending of a picture:
// "logo@2x.png" names an image file, "v@1.5x" a size.
bool hasTopLevelName(QStringView domain)
{
    while (domain.endsWith(QLatin1Char('.')))
        domain.chop(1);
    const QStringView top = domain.sliced(domain.lastIndexOf(QLatin1Char('.')) + 1);
    if (top.isEmpty())
        return false;
    for (const QChar c : top) {
        if (!((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
            return false;
    }
    static const QLatin1String pictures[] = {QLatin1String("png"), QLatin1String("jpg"), QLatin1String("jpeg"),
                                             QLatin1String("gif"), QLatin1String("svg"), QLatin1String("webp"),
                                             QLatin1String("bmp"), QLatin1String("ico")};
    for (const QLatin1String ending : pictures) {
        if (top.compare(ending, Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
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
        if (isEmail(candidate) && hasTopLevelName(domain))
            finds.append({candidate, domain});
        // The domain part and the delimiter after it are used up.
        from = end + 1;
    }
    return finds;
}

} // namespace tarnwick
