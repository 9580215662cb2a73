#pragma once
// Text from outside (typed, pasted, imported, a script's output, a search
// result, a page) never brings a control character into a stored field: a
// NUL makes the project file unreadable, and the others change what a line,
// a column or an address means.

#include <QString>
#include <QStringView>

namespace tarnwick {

// Below U+0020, U+007F and U+0080 to U+009F.
inline bool isControlCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

bool holdsControlCharacter(QStringView text);

// A one-line field as it is stored: without control characters.
QString storedField(const QString &text);
// A multi-line field (a link-page block) keeps its tabs and line breaks.
QString storedBlock(const QString &text);

// The text with each control character shown as "%XX", for messages.
QString controlCharactersShown(const QString &text);

} // namespace tarnwick
