#include "shell/windows/helplauncher.h"

#include <QPointer>

#include "shell/failures.h"
#include "shell/windowregistry.h"
#include "shell/windows/machinesetting.h"
#include "workspace/context.h"
#include "workspace/services.h"
#include "workspace/settingkeys.h"

namespace tarnwick {

QString helpFilePath(const AppContext &ctx)
{
    return ctx.programPath(QStringLiteral("Help.html"));
}

Form8::Form8(AppContext &ctx, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::Tool)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("Form8"));
    setAttribute(Qt::WA_DontShowOnScreen);
}

void Form8::Form_Load()
{
    resize(0, 0);
    const QString path = helpFilePath(m_ctx);
    if (!fileExists(path))
        return;
    m_ctx.shell().open(path);
    saveMachineSetting(m_ctx, m_ctx.strProductName, QStringLiteral("Settings"), key::showHelp, QStringLiteral("0"));
}

void showHelpFile(AppContext &ctx, WindowRegistry &windows, QWidget *owner)
{
    if (windows.Form8)
        return;
    QPointer<Form8> launcher = new Form8(ctx, owner);
    windows.Form8 = launcher.data();
    launcher->Form_Load();
    if (launcher)
        launcher->show();
    ctx.yieldToEventLoop();
    // The shut-down may have unloaded it meanwhile.
    if (launcher) {
        ignoringFailures([&] { launcher->close(); });
        delete launcher.data();
    }
}

} // namespace tarnwick
