#include <QApplication>

#include "workspace/context.h"
#include "workspace/project.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    auto ctx = tarnwick::AppContext::createDesktop();
    tarnwick::Form1 form(*ctx);
    if (auto *dialogs = dynamic_cast<platform::QtDialogs *>(&ctx->dialogs()))
        dialogs->setParent(&form);
    form.setWindowTitle(ctx->appTitle);
    form.show();
    return app.exec();
}
