#include "shell/windows/machinesetting.h"

#include "platform/dialogs.h"
#include "platform/machinesettings.h"
#include "shell/windows/splash.h"
#include "workspace/context.h"
#include "workspace/settingkeys.h"

namespace tarnwick {

QString permissionDeniedText(const QString &productName)
{
    return productName
           + QStringLiteral(" requires read/write access to the system registry and hard drive in order to run "
                            "properly.  This user account does not have the proper permissions set.  As a result "
                            "some or all of your settings may not be properly saved.  Please contact your system "
                            "administrator or change the permission settings for this account.")
           + QStringLiteral("\r\n\r\n")
           + QStringLiteral("If you would like to prevent this error message from being displayed again, please "
                            "press 'Ignore'.");
}

void saveMachineSetting(AppContext &ctx, const QString &appName, const QString &section, const QString &keyName,
                        const QString &value)
{
    const QString path = QStringLiteral("SOFTWARE\\") + programCompanyName().trimmed() + QLatin1Char('\\')
                         + appName.trimmed() + QLatin1Char('\\') + section.trimmed();
    for (;;) {
        QString error;
        if (ctx.machineSettings().setValue(path, keyName, value, &error))
            return;
        if (ctx.settings().get(key::IgnorePermissionDeniedError, QStringLiteral("0")) == QLatin1String("1"))
            return;
        const int answer = ctx.dialogs().msgBox(nullptr, permissionDeniedText(ctx.strProductName),
                                                platform::vbAbortRetryIgnore, QStringLiteral("Permission Denied"));
        if (answer == platform::vbRetry)
            continue;
        if (answer == platform::vbIgnore)
            ctx.settings().set(key::IgnorePermissionDeniedError, QStringLiteral("1"));
        return;
    }
}

} // namespace tarnwick
