#include "workspace/storedvalues.h"

#include "platform/settings.h"

namespace tarnwick {

qint32 pageLimitForIndex(int index, qint32 current)
{
    return index >= 0 && index < kPageLimitCount ? kPageLimits[index] : current;
}

bool parseWholeNumber(const QString &text, qint64 &value)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    if (ok)
        value = v;
    return ok;
}

int storedNumber(const platform::SettingsStore &store, const QString &key, int defaultValue, int min, int max)
{
    qint64 v = 0;
    if (!parseWholeNumber(store.get(key, QString::number(defaultValue)), v) || v < min || v > max)
        return defaultValue;
    return int(v);
}

qint64 storedCounter(const platform::SettingsStore &store, const QString &key)
{
    qint64 v = 0;
    if (!parseWholeNumber(store.get(key, QStringLiteral("0")), v) || v < 0)
        return 0;
    return v;
}

} // namespace tarnwick
