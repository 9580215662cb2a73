#include "shell/mainwindow/webpanel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "shell/failures.h"
#include "shell/mainwindow/webbrowser.h"
#include "shell/windowregistry.h"
#include "workspace/context.h"

namespace tarnwick {

namespace {

QPushButton *makeButton(const QString &caption, const QString &hint, const QString &name, QStyle::StandardPixmap icon,
                        QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setIcon(parent->style()->standardIcon(icon));
    return b;
}

} // namespace

WebPanel::WebPanel(AppContext &ctx, const WindowRegistry &windows, QWidget *page, QObject *owner)
    : QObject(owner)
{
    cmdBack = makeButton(QStringLiteral("Back"), QStringLiteral("back"), QStringLiteral("cmdBack"),
                         QStyle::SP_ArrowBack, page);
    cmdForward = makeButton(QStringLiteral("Forward"), QStringLiteral("forward"), QStringLiteral("cmdForward"),
                            QStyle::SP_ArrowForward, page);
    cmdWebStop = makeButton(QStringLiteral("Stop"), QStringLiteral("stop"), QStringLiteral("cmdWebStop"),
                            QStyle::SP_BrowserStop, page);
    cmdRefresh = makeButton(QStringLiteral("Refresh"), QStringLiteral("refresh"), QStringLiteral("cmdRefresh"),
                            QStyle::SP_BrowserReload, page);
    cmdGo = makeButton(QStringLiteral("Go"), QStringLiteral("browse the entered url"), QStringLiteral("cmdGo"),
                       QStyle::SP_ArrowRight, page);
    txtURL = new QLineEdit(page);
    txtURL->setObjectName(QStringLiteral("txtURL"));
    WebBrowser1 = windows.createWebBrowser ? windows.createWebBrowser(page, owner) : nullptr;
    if (!WebBrowser1)
        WebBrowser1 = createPlainWebBrowser(page, owner, ctx.shell());

    connect(cmdBack, &QPushButton::clicked, this, [this] { cmdBack_Click(); });
    connect(cmdForward, &QPushButton::clicked, this, [this] { cmdForward_Click(); });
    connect(cmdWebStop, &QPushButton::clicked, this, [this] { cmdWebStop_Click(); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { cmdRefresh_Click(); });
    connect(cmdGo, &QPushButton::clicked, this, [this] { cmdGo_Click(); });
    connect(txtURL, &QLineEdit::returnPressed, this, [this] { txtURL_KeyPress(13); });
    connect(WebBrowser1, &WebBrowser::downloadComplete, this, [this] { WebBrowser1_DownloadComplete(); });
}

void WebPanel::cmdBack_Click()
{
    ignoringFailures([this] { WebBrowser1->goBack(); });
}

void WebPanel::cmdForward_Click()
{
    ignoringFailures([this] { WebBrowser1->goForward(); });
}

void WebPanel::cmdRefresh_Click()
{
    ignoringFailures([this] { WebBrowser1->refresh(); });
}

void WebPanel::cmdWebStop_Click()
{
    ignoringFailures([this] { WebBrowser1->stop(); });
}

void WebPanel::cmdGo_Click()
{
    WebBrowser1->navigate(txtURL->text());
}

void WebPanel::txtURL_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        cmdGo_Click();
}

void WebPanel::WebBrowser1_DownloadComplete()
{
    txtURL->setText(WebBrowser1->locationURL());
}

} // namespace tarnwick
