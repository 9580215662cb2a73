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

const SettingsStore::Read &SettingsStore::read(const QString &key) const
{
    const auto kept = m_reads.constFind(key);
    if (kept != m_reads.constEnd())
        return *kept;
    const QString k = normalKey(key);
    Read r;
    const auto pending = m_pending.constFind(k);
    if (pending != m_pending.constEnd()) {
        r.present = true;
        r.value = *pending;
    } else {
        const QVariant v = m_settings->value(k);
        r.present = v.isValid();
        if (r.present)
            r.value = v.toString();
    }
    return *m_reads.insert(key, r);
}

QString SettingsStore::get(const QString &key, const QString &defaultValue) const
{
    const Read &r = read(key);
    return r.present ? r.value : defaultValue;
}

bool SettingsStore::store(const QString &key, const QString &value)
{
    const Read &r = read(key);
    if (r.present && r.value == value)
        return false;
    // Kept here until written, so the settings object has nothing to write
    // on its own in between.
    m_pending.insert(normalKey(key), value);
    // Another spelling of the key may have been read.
    m_reads.clear();
    return true;
}

void SettingsStore::set(const QString &key, const QString &value)
{
    if (store(key, value))
        writeWhenDue();
}

void SettingsStore::set(const QList<std::pair<QString, QString>> &values)
{
    bool changed = false;
    for (const auto &[key, value] : values)
        changed = store(key, value) || changed;
    if (changed)
        writeWhenDue();
}

void SettingsStore::writeWhenDue()
{
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
    return read(key).present;
}

int SettingsStore::getInt(const QString &key, int defaultValue) const
{
    const Read &r = read(key);
    if (!r.present)
        return defaultValue;
    bool ok = false;
    const int v = QStringView(r.value).trimmed().toInt(&ok);
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
    if (m_settings->status() == QSettings::AccessError && !m_failureTold && m_tellFailure) {
        m_failureTold = true;
        m_tellFailure(m_path);
    }
}

} // namespace platform
