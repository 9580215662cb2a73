#include "platform/machinesettings.h"

#include <QSettings>

namespace platform {

bool IniMachineSettingsStore::setValue(const QString &keyPath, const QString &name, const QString &value,
                                       QString *error)
{
    // The INI form separates groups with "/"; a "\" inside a key would be
    // read back as one too.
    QString key = keyPath;
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QSettings store(m_path, QSettings::IniFormat);
    store.setValue(key + QLatin1Char('/') + name, value);
    store.sync();
    switch (store.status()) {
    case QSettings::NoError:
        return true;
    case QSettings::AccessError:
        if (error)
            *error = QStringLiteral("Permission denied: ") + m_path;
        return false;
    default:
        // A damaged file is written anew with what could be read of it: the
        // value is stored when it reads back.
        if (QSettings(m_path, QSettings::IniFormat).value(key + QLatin1Char('/') + name).toString() == value)
            return true;
        if (error)
            *error = QStringLiteral("Damaged settings file: ") + m_path;
        return false;
    }
}

bool MemoryMachineSettingsStore::setValue(const QString &keyPath, const QString &name, const QString &value,
                                          QString *error)
{
    ++attempts;
    if (refusals > 0) {
        --refusals;
        if (error)
            *error = QStringLiteral("Permission denied");
        return false;
    }
    values.insert(keyPath + QLatin1Char('\\') + name, value);
    return true;
}

QString MemoryMachineSettingsStore::value(const QString &keyPath, const QString &name) const
{
    return values.value(keyPath + QLatin1Char('\\') + name);
}

} // namespace platform
