#include "platform/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace platform {

namespace {

// At most one rewrite of the file in this time: typing in a large link-page
// block stores the block at every key.
constexpr qint64 kWriteIntervalMs = 1000;

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

SettingsStore::~SettingsStore()
{
    flush();
}

QString SettingsStore::defaultPath(const QString &appName)
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + appName + QLatin1Char('/') + appName + QStringLiteral(".ini");
}

QString SettingsStore::get(const QString &key, const QString &defaultValue) const
{
    const QString k = normalKey(key);
    const auto pending = m_pending.constFind(k);
    if (pending != m_pending.constEnd())
        return *pending;
    const QVariant v = m_settings->value(k);
    if (!v.isValid())
        return defaultValue;
    return v.toString();
}

void SettingsStore::set(const QString &key, const QString &value)
{
    const QString k = normalKey(key);
    if (get(key, QString()) == value && contains(key))
        return;
    // Kept here until written, so the settings object has nothing to write
    // on its own in between.
    m_pending.insert(k, value);
    const qint64 since = m_lastWrite.isValid() ? m_lastWrite.elapsed() : kWriteIntervalMs;
    if (since >= kWriteIntervalMs || !QCoreApplication::instance()) {
        flush();
        return;
    }
    if (!m_writeTimer) {
        m_writeTimer = std::make_unique<QTimer>();
        m_writeTimer->setSingleShot(true);
        QObject::connect(m_writeTimer.get(), &QTimer::timeout, [this] { flush(); });
    }
    if (!m_writeTimer->isActive())
        m_writeTimer->start(int(kWriteIntervalMs - since));
}

bool SettingsStore::contains(const QString &key) const
{
    const QString k = normalKey(key);
    return m_pending.contains(k) || m_settings->contains(k);
}

int SettingsStore::getInt(const QString &key, int defaultValue) const
{
    bool ok = false;
    const int v = get(key, QString::number(defaultValue)).trimmed().toInt(&ok);
    return ok ? v : defaultValue;
}

void SettingsStore::flush()
{
    if (m_writeTimer)
        m_writeTimer->stop();
    if (m_pending.isEmpty())
        return;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        m_settings->setValue(it.key(), it.value());
    m_pending.clear();
    m_settings->sync();  // written through a temporary file and renamed
    m_lastWrite.start();
}

} // namespace platform
