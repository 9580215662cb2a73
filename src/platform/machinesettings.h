#pragma once
// The machine-wide settings store: string values under a key path such as
// "SOFTWARE\Company\Product\Settings", shared by every user of the computer.
// Writing may be refused (the account lacks the permission); the caller
// decides what to tell the user.

#include <QHash>
#include <QString>

namespace platform {

class MachineSettingsStore {
public:
    virtual ~MachineSettingsStore() = default;
    // Stores value as name under keyPath ("\"-separated), creating the key
    // when missing. False when it could not be stored; error says why.
    virtual bool setValue(const QString &keyPath, const QString &name, const QString &value, QString *error) = 0;
};

// An INI file shared by every user of one installation, kept beside the
// program: whoever may not write there may not write the program's other
// files either.
class IniMachineSettingsStore : public MachineSettingsStore {
public:
    explicit IniMachineSettingsStore(QString iniPath) : m_path(std::move(iniPath)) {}
    bool setValue(const QString &keyPath, const QString &name, const QString &value, QString *error) override;
    QString path() const { return m_path; }

private:
    QString m_path;
};

// Test double: keeps the values in memory and refuses the next
// `refusals` writes.
class MemoryMachineSettingsStore : public MachineSettingsStore {
public:
    bool setValue(const QString &keyPath, const QString &name, const QString &value, QString *error) override;
    QString value(const QString &keyPath, const QString &name) const;

    int refusals = 0;
    int attempts = 0;
    QHash<QString, QString> values;  // keyPath + "\" + name -> value
};

} // namespace platform
