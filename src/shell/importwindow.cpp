#include "shell/importwindow.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include "platform/safefile.h"
#include "platform/services.h"
#include "shell/controls.h"
#include "workspace/context.h"

namespace tarnwick {

void setUpImportWindow(QWidget *window, const QString &name, const QString &title)
{
    window->setObjectName(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(title);
}

QGroupBox *makeFileFrame(QWidget *window, const QString &caption, const QString &text, const QString &hint,
                         QLabel *&label, QPushButton *&button)
{
    auto *frame = new QGroupBox(caption, window);
    frame->setObjectName(QStringLiteral("Frame3"));
    label = makeLabel(text, QStringLiteral("Label12"), frame);
    label->setWordWrap(true);
    button = makeButton(QStringLiteral("Import"), hint, QStringLiteral("Command4"), frame);
    auto *row = new QHBoxLayout(frame);
    row->addWidget(label, 1);
    row->addWidget(button);
    return frame;
}

QStatusBar *makeOnePanelStatusBar(QWidget *window, QLabel *&panel)
{
    auto *bar = new QStatusBar(window);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    panel = new QLabel(bar);
    panel->setObjectName(QStringLiteral("StatusBar1Panel1"));
    bar->addWidget(panel, 1);
    return bar;
}

bool readImportFile(AppContext &ctx, QWidget *window, const QString &folder, QString &text)
{
    const QString name =
        ctx.dialogs().openFile(window, {folder, QStringLiteral("Text Files (*.txt)|*.txt"), QString(), QString()});
    if (name.isEmpty())
        return false;
    QByteArray bytes;
    QString error;
    if (!platform::readWholeFile(name, bytes, &error)) {
        ctx.dialogs().msgBox(window,
                             QStringLiteral("The file could not be read.\r\n") + name + QStringLiteral("\r\n") + error,
                             platform::vbOKOnly | platform::vbExclamation);
        return false;
    }
    text = platform::decodeText(bytes);
    return true;
}

bool giveWay(AppContext &ctx, const QPointer<QWidget> &window)
{
    ctx.yieldToEventLoop();
    return !window.isNull();
}

} // namespace tarnwick
