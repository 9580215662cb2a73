#include "scanner/scanoptions.h"

#include <QRegularExpression>
#include <cmath>
#include <optional>

#include "platform/safefile.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "platform/textfile.h"
#include "workspace/services.h"
#include "workspace/settingkeys.h"
#include "workspace/storedvalues.h"

namespace tarnwick {

namespace {

// The rounded value of a number that fits; nothing otherwise.
std::optional<int> fittingNumber(const QString &text)
{
    // Blanks around, a sign, digits with a fraction and an exponent: what a
    // user may type for a number. Anything else is not one.
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);  // half to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return int(rounded);
}

} // namespace

NumberText checkNumberText(const QString &text)
{
    if (text.isEmpty())
        return NumberText::Empty;
    if (fittingNumber(text))
        return NumberText::Fits;
    static const QRegularExpression start(
        QStringLiteral("^\\s*([+-]\\.?|\\.|(\\d+\\.?\\d*|\\.\\d+)[eE][+-]?)$"));
    return start.match(text).hasMatch() ? NumberText::Partial : NumberText::Invalid;
}

int numberTextValue(const QString &text, int fallback)
{
    return fittingNumber(text).value_or(fallback);
}

int storedTimeout(const platform::SettingsStore &store)
{
    constexpr int kDefaultTimeout = 60;
    return numberTextValue(store.get(key::txtTimeout, QString::number(kDefaultTimeout)), kDefaultTimeout);
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
