#include "platform/settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

namespace {
// INI keys are case-sensitive on this platform; the program's key names are
// not, so keys are stored in lower case.
QString normalKey(const QString &key)
{
    return QStringLiteral("Settings/") + key.toLower();
}
} // namespace

SettingsStore::SettingsStore(const QString &iniPath)
    : m_path(iniPath)
    , m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultPath(const QString &appName)
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + appName + QLatin1Char('/') + appName + QStringLiteral(".ini");
}

QString SettingsStore::get(const QString &key, const QString &defaultValue) const
{
    const QVariant v = m_settings->value(normalKey(key));
    if (!v.isValid())
        return defaultValue;
    return v.toString();
}

void SettingsStore::set(const QString &key, const QString &value)
{
    m_settings->setValue(normalKey(key), value);
    m_settings->sync();  // written through a temporary file and renamed
}

bool SettingsStore::contains(const QString &key) const
{
    return m_settings->contains(normalKey(key));
}

int SettingsStore::getInt(const QString &key, int defaultValue) const
{
    bool ok = false;
    const int v = get(key, QString::number(defaultValue)).trimmed().toInt(&ok);
    return ok ? v : defaultValue;
}

} // namespace platform
