#pragma once
// Writing one value to the machine-wide settings store.

#include <QString>

namespace tarnwick {

class AppContext;

// Stores value as keyName under "SOFTWARE\<company>\<appName>\<section>" of the
// machine-wide store. When the store refuses, the user is told (unless they
// chose to ignore that before) and may abort, retry, or ignore it from now
// on.
void saveMachineSetting(AppContext &ctx, const QString &appName, const QString &section, const QString &keyName,
                        const QString &value);

// The text of the permission box, for a product name.
QString permissionDeniedText(const QString &productName);

} // namespace tarnwick
