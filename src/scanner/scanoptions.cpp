#include "scanner/scanoptions.h"

#include <QRegularExpression>
#include <cmath>

#include "platform/safefile.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/textfile.h"
#include "workspace/services.h"
#include "workspace/settingkeys.h"
#include "workspace/storedvalues.h"

namespace tarnwick {

NumberText checkNumberText(const QString &text)
{
    if (text.isEmpty())
        return NumberText::Empty;
    // Blanks around, a sign, digits with a fraction and an exponent: what a
    // user may type for a number. Anything else is not one.
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        return NumberText::Invalid;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return NumberText::Invalid;
    const double rounded = std::nearbyint(value);  // half to even
    return rounded >= -32768.0 && rounded <= 32767.0 ? NumberText::Fits : NumberText::Invalid;
}

bool storedCheck(const platform::SettingsStore &store, const QString &key, int defaultValue)
{
    return store.getInt(key, defaultValue) == 1;
}

int storedPageLimitIndex(const platform::SettingsStore &store)
{
    return storedNumber(store, key::cmbAdvance, 4, 0, kPageLimitCount - 1);
}

QString fileTypeEntry(const QString &typed)
{
    QString entry = typed;
    if (!entry.contains(QLatin1Char('.')))
        entry.prepend(QLatin1Char('.'));
    entry.replace(QStringLiteral(".."), QStringLiteral("."));
    return entry;
}

QStringList fileTypeListItems(const QString &text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList items;
    for (const QString &line : text.split(lineEnd)) {
        if (!line.isEmpty() && line != QLatin1String(" "))
            items << line;
    }
    return items;
}

QByteArray fileTypesBytes(const QStringList &items)
{
    QByteArray bytes;
    for (const QString &item : items)
        bytes += item.toUtf8() + "\r\n";
    return bytes;
}

QStringList readFileTypeList(const QString &path)
{
    QByteArray bytes;
    if (!fileExists(path) || !platform::readWholeFile(path, bytes))
        return {};
    return fileTypeListItems(platform::decodeTextFile(bytes));
}

bool writeFileTypeList(const QString &path, const QStringList &items, QString *error)
{
    return platform::writeFileAtomically(path, fileTypesBytes(items), error);
}

} // namespace tarnwick
