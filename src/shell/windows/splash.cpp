#include "shell/windows/splash.h"

#include <QFont>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "shell/failures.h"
#include "shell/mainwindow/form1.h"
#include "shell/skin/skin.h"
#include "shell/windowregistry.h"
#include "workspace/context.h"

namespace tarnwick {

namespace {
// The version resource of the program.
const char *const kVersionProductName = "Tarnwick";
const char *const kVersionCompanyName = "Brindlecote";
const char *const kVersionComments = "www.brindlecote.example/tarnwick";

constexpr int kSplashWidth = 460;
constexpr int kSplashHeight = 270;
constexpr int kTicksUntilMain = 150;  // the counter grows by 2 a tick: 75 ticks
} // namespace

ProgramVersion programVersion()
{
    return {TARNWICK_VERSION_MAJOR, TARNWICK_VERSION_MINOR, TARNWICK_VERSION_PATCH};
}

QString programVersionText()
{
    const ProgramVersion v = programVersion();
    return QString::number(v.major) + QLatin1Char('.') + QString::number(v.minor);
}

QString programCompanyName()
{
    return QString::fromLatin1(kVersionCompanyName);
}

void initBranding(AppContext &ctx)
{
    ctx.strProductName = QString::fromLatin1(kVersionProductName);
    ctx.strCompanyName = QString::fromLatin1(kVersionCompanyName);
    ctx.strWebsiteURL = QString::fromLatin1(kVersionComments);
    ctx.bSkin = true;
}

QPixmap drawSplashImage(const AppContext &ctx)
{
    QPixmap pix(kSplashWidth, kSplashHeight);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF area(0, 0, kSplashWidth, kSplashHeight);
    QLinearGradient g(area.topLeft(), area.bottomRight());
    g.setColorAt(0.0, QColor(0x2b, 0x6a, 0x96));
    g.setColorAt(1.0, QColor(0x17, 0x38, 0x4f));
    p.fillRect(area, g);

    // A faint wave along the foot.
    QPainterPath wave;
    wave.moveTo(0, kSplashHeight - 70);
    wave.cubicTo(kSplashWidth * 0.3, kSplashHeight - 110, kSplashWidth * 0.6, kSplashHeight - 30, kSplashWidth,
                 kSplashHeight - 80);
    wave.lineTo(kSplashWidth, kSplashHeight);
    wave.lineTo(0, kSplashHeight);
    wave.closeSubpath();
    p.fillPath(wave, QColor(255, 255, 255, 22));

    const QImage icon = iconGroupImage(QStringLiteral("AAA"), 96);
    p.drawImage(QPointF(34, 52), icon);

    const QString product = ctx.strProductName.isEmpty() ? QStringLiteral("Tarnwick") : ctx.strProductName;
    QFont title = p.font();
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(150, 50, kSplashWidth - 170, 52), Qt::AlignLeft | Qt::AlignVCenter, product);

    QFont sub = p.font();
    sub.setPixelSize(15);
    sub.setBold(false);
    p.setFont(sub);
    p.setPen(QColor(0xd4, 0xe6, 0xf3));
    if (!ctx.strCompanyName.isEmpty())
        p.drawText(QRectF(152, 104, kSplashWidth - 170, 22), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("by ") + ctx.strCompanyName);
    p.drawText(QRectF(152, 128, kSplashWidth - 170, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version ") + programVersionText());

    QFont small = p.font();
    small.setPixelSize(12);
    p.setFont(small);
    p.setPen(QColor(0xbf, 0xd6, 0xe8));
    p.drawText(QRectF(20, kSplashHeight - 34, kSplashWidth - 40, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Loading\u2026"));
    p.drawText(QRectF(20, kSplashHeight - 34, kSplashWidth - 40, 20), Qt::AlignRight | Qt::AlignVCenter,
               ctx.strWebsiteURL);
    p.end();
    return pix;
}

frmSplash::frmSplash(AppContext &ctx, WindowRegistry &windows, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_ctx(ctx)
    , m_windows(windows)
{
    setObjectName(QStringLiteral("frmSplash"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(kSplashWidth, kSplashHeight);
    layout->addWidget(Image1);
    setFixedSize(kSplashWidth, kSplashHeight);

    skn = SkinControl::fromResources();

    Timer2 = new QTimer(this);
    Timer2->setInterval(2);
    Timer2->setTimerType(Qt::PreciseTimer);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });

    showMainWindow = [](Form1 &form) { form.show(); };
    m_windows.frmSplash = this;
}

frmSplash::~frmSplash() = default;

void frmSplash::Form_Load()
{
    initBranding(m_ctx);
    Image1->setPixmap(drawSplashImage(m_ctx));
    if (QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
    if (m_ctx.bSkin) {
        m_windows.objSkin = skn;
        applySkin(m_ctx, m_windows, this);
        ignoringFailures([this] {
            if (!m_windows.objSkinHelper)
                m_windows.objSkinHelper = std::make_shared<SkinHelper>();
            m_windows.objSkinHelper->attach(skn->underlyingObject());
            m_windows.objSkinHelper->start();
        });
    }
    Timer2->start();
}

void frmSplash::Timer2_Timer()
{
    m_ticks += 2;
    if (m_ticks != kTicksUntilMain)
        return;
    Timer2->stop();
    if (!m_form1) {
        m_form1 = std::make_unique<Form1>(m_ctx, m_windows);
        if (onMainWindowCreated)
            onMainWindowCreated(*m_form1);
        m_form1->Form_Load();
    }
    if (showMainWindow)
        showMainWindow(*m_form1);
    hide();
}

} // namespace tarnwick
