#include <QApplication>
#include <QByteArray>
#include <unistd.h>

#include "platform/memory.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/webbrowser.h"
#include "shell/windowregistry.h"
#include "shell/windows/splash.h"
#include "widgets/qtdialogs.h"
#include "workspace/context.h"

namespace {

// The built-in browser must be set up before the application object exists.
void prepareWebBrowser()
{
    if (!tarnwick::haveWebEngine())
        return;
    // Pages only load when the user asks for them: no updates, reporting or
    // other traffic of the browser engine's own in the background. The
    // user's own flags stay, ours come after them.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").trimmed();
    const QByteArray quiet = "--disable-background-networking --disable-component-update "
                             "--disable-domain-reliability --no-pings";
    flags = flags.isEmpty() ? quiet : flags + ' ' + quiet;
    // The engine's sandbox refuses to run as root.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        flags += " --no-sandbox";
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace

int main(int argc, char **argv)
{
    platform::keepFreedMemoryForReuse();
    prepareWebBrowser();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(tarnwick::programVersionText());
    auto dialogs = std::make_unique<platform::QtDialogs>(QStringLiteral("Tarnwick"));
    platform::QtDialogs *desktopDialogs = dialogs.get();
    auto ctx = tarnwick::AppContext::createDesktop(std::move(dialogs));
    ctx->endProgram = [] { QCoreApplication::quit(); };
    tarnwick::WindowRegistry windows;
    windows.createWebBrowser = tarnwick::webEngineBrowserFactory();

    // The splash window loads first; its timer loads and shows the main
    // window, which it keeps until the program ends.
    tarnwick::frmSplash splash(*ctx, windows);
    splash.onMainWindowCreated = [desktopDialogs](tarnwick::Form1 &form) { desktopDialogs->setMainWindow(&form); };
    splash.Form_Load();
    splash.show();
    return app.exec();
}
