#include "shell/windows/importwindow.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include "platform/textfile.h"
#include "shell/windows/controls.h"
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

bool openImportFile(AppContext &ctx, QWidget *window, const QString &folder, platform::TextFileReader &in)
{
    const QString name =
        ctx.dialogs().openFile(window, {folder, QStringLiteral("Text Files (*.txt)|*.txt"), QString(), QString()});
    if (name.isEmpty())
        return false;
    QString error;
    if (in.open(name, &error)) {
        if (in.nulCount() > 0)
            error = QStringLiteral("The file holds binary data: it is not a text file.");
        else if (!in.hasText())
            error = QStringLiteral("The file is empty.");
        else
            return true;
    }
    ctx.dialogs().msgBox(window,
                         QStringLiteral("The file could not be read.\r\n") + name + QStringLiteral("\r\n") + error,
                         platform::vbOKOnly | platform::vbExclamation);
    return false;
}

bool giveWay(AppContext &ctx, const QPointer<QWidget> &window)
{
    ctx.yieldToEventLoop();
    return !window.isNull();
}

} // namespace tarnwick
