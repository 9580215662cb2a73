#include "workspace/fieldtext.h"

#include <algorithm>

namespace tarnwick {

namespace {

QString withoutControls(const QString &text, bool keepLineBreaks)
{
    const auto dropped = [keepLineBreaks](QChar c) {
        if (!isControlCharacter(c))
            return false;
        return !(keepLineBreaks && (c == u'\t' || c == u'\r' || c == u'\n'));
    };
    if (std::none_of(text.cbegin(), text.cend(), dropped))
        return text;  // shared, not copied
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!dropped(c))
            out += c;
    }
    return out;
}

} // namespace

bool holdsControlCharacter(QStringView text)
{
    return std::any_of(text.cbegin(), text.cend(), isControlCharacter);
}

QString storedField(const QString &text)
{
    return withoutControls(text, false);
}

QString storedBlock(const QString &text)
{
    return withoutControls(text, true);
}

QString controlCharactersShown(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (isControlCharacter(c))
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

} // namespace tarnwick
