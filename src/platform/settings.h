#pragma once
// Per-user option store: string values under (application, "Settings", key).
// Every write reaches the file at once. Key names ignore letter case.

#include <QString>
#include <memory>

class QSettings;

namespace platform {

class SettingsStore {
public:
    // iniPath: the file that backs the store (tests pass a temporary one).
    explicit SettingsStore(const QString &iniPath);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    // The per-user file of the application named appName.
    static QString defaultPath(const QString &appName);

    QString get(const QString &key, const QString &defaultValue = QString()) const;
    void set(const QString &key, const QString &value);
    bool contains(const QString &key) const;
    QString path() const { return m_path; }

    // Whole-number read: the default for a missing or non-numeric value.
    int getInt(const QString &key, int defaultValue) const;

private:
    QString m_path;
    std::unique_ptr<QSettings> m_settings;
};

} // namespace platform
