#include <QApplication>

#include "shell/splash.h"
#include "workspace/context.h"
#include "workspace/project.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(tarnwick::programVersionText());
    auto ctx = tarnwick::AppContext::createDesktop();

    // The splash window loads first; its timer loads and shows the main
    // window, which it keeps until the program ends.
    tarnwick::frmSplash splash(*ctx);
    splash.onMainWindowCreated = [&ctx](tarnwick::Form1 &form) {
        if (auto *dialogs = dynamic_cast<platform::QtDialogs *>(&ctx->dialogs()))
            dialogs->setParent(&form);
    };
    splash.Form_Load();
    splash.show();
    return app.exec();
}
