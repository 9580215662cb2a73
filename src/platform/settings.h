#pragma once
// Per-user option store: string values under (application, "Settings", key).
// Key names ignore letter case. Every value is the store's at once; the file
// is rewritten at most once a second (each write rewrites all of it), and at
// flush() and destruction, so no value is lost at a normal exit. Values read
// are kept, so reading one again costs a lookup; a set keeps them true.

#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

#include <QElapsedTimer>

class QSettings;
class QTimer;

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
    // Several values set at once: the file is rewritten at most once for all.
    void set(const QList<std::pair<QString, QString>> &values);
    bool contains(const QString &key) const;
    QString path() const { return m_path; }

    // Whole-number read: the default for a missing or non-numeric value.
    int getInt(const QString &key, int defaultValue) const;

    // Writes what is waiting to the file now: before the file is read from
    // outside the store, and at shut-down.
    void flush();
    // Values set but not yet in the file.
    bool hasPendingWrites() const { return !m_pending.isEmpty(); }
    // Told, the first time only, when the file could not be written (a full
    // disk, a folder in its place): the values set stay readable until exit
    // but are lost then.
    void onWriteFailure(std::function<void(const QString &path)> tell) { m_tellFailure = std::move(tell); }

private:
    struct Read {
        bool present = false;
        QString value;
    };
    // The value of key as stored, through the kept reads.
    const Read &read(const QString &key) const;
    bool store(const QString &key, const QString &value);
    void writeWhenDue();

    QString m_path;
    std::unique_ptr<QSettings> m_settings;
    QHash<QString, QString> m_pending;  // by stored key
    mutable QHash<QString, Read> m_reads;  // by the key as asked for
    QElapsedTimer m_lastWrite;
    std::unique_ptr<QTimer> m_writeTimer;
    std::function<void(const QString &)> m_tellFailure;
    bool m_failureTold = false;
};

} // namespace platform
