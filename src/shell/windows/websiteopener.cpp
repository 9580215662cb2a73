#include "shell/windows/websiteopener.h"

#include <QTimer>

#include "shell/failures.h"
#include "shell/windowregistry.h"
#include "shell/windows/splash.h"
#include "workspace/context.h"

namespace tarnwick {

namespace {
constexpr int kUnloadAfterMs = 10000;
} // namespace

QString websiteAddress(const QString &address)
{
    if (address.contains(QLatin1String("https://"), Qt::CaseInsensitive)
        || address.contains(QLatin1String("http://"), Qt::CaseInsensitive))
        return address;
    return QStringLiteral("http://") + address;
}

frmWebsite::frmWebsite(AppContext &ctx, WindowRegistry &windows, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::Tool)
    , m_ctx(ctx)
    , m_windows(windows)
{
    setObjectName(QStringLiteral("frmWebsite"));
    // It counts as showing (the shut-down waits for it) but is never drawn.
    setAttribute(Qt::WA_DontShowOnScreen);
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(kUnloadAfterMs);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Timer1->start();
}

void frmWebsite::Form_Load()
{
    initBranding(m_ctx);
    if (m_ctx.strWebsitePage != QLatin1String("Website"))
        return;
    m_ctx.shell().open(websiteAddress(m_ctx.strWebsiteURL));
    m_ctx.strWebsitePage.clear();
}

void frmWebsite::Timer1_Timer()
{
    ignoringFailures([this] {
        if (m_windows.frmWebsite == this)
            m_windows.frmWebsite = nullptr;
        close();
    });
    // The main window went before: this was the last window.
    if (m_windows.mainWindowUnloaded && m_ctx.endProgram)
        m_ctx.endProgram();
}

} // namespace tarnwick
