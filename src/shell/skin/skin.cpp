#include "shell/skin/skin.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QWidget>

#include "platform/listview.h"
#include "shell/failures.h"
#include "shell/windowregistry.h"
#include "workspace/context.h"

// Resources of a static library are linked only when something refers to
// them; this must sit outside any namespace.
static void initSkinResources()
{
    Q_INIT_RESOURCE(skin);
}

namespace tarnwick {

namespace {

const char *const kControlTypeProperty = "controlType";
const char *const kSkinLabelProperty = "skinLabel";

// Colours the program falls back on when the skin file cannot be read, so
// the two values the window code reads always exist.
SkinDefinition builtInSkin()
{
    SkinDefinition s;
    s.name = QStringLiteral("Built-in");
    s.colours.insert(QStringLiteral("window"), QColor(0xed, 0xf1, 0xf5));
    s.colours.insert(QStringLiteral("button"), QColor(0xe2, 0xe9, 0xf0));
    s.colours.insert(QStringLiteral("picture"), QColor(0xda, 0xe4, 0xee));
    s.colours.insert(QStringLiteral("text"), QColor(0x1d, 0x2a, 0x36));
    s.values.insert(1, QStringLiteral("window"));
    s.values.insert(2, QStringLiteral("button"));
    s.values.insert(4, QStringLiteral("picture"));
    s.values.insert(5, QStringLiteral("text"));
    return s;
}

QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

void repolish(QWidget *w)
{
    if (QStyle *style = w->style()) {
        style->unpolish(w);
        style->polish(w);
    }
    w->update();
}

// The program icon: a harbour-blue tile with two chain links.
QImage drawAppIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const qreal margin = s * 0.04;
    const QRectF tile(margin, margin, s - 2 * margin, s - 2 * margin);
    QLinearGradient g(tile.topLeft(), tile.bottomLeft());
    g.setColorAt(0.0, QColor(0x3c, 0x8a, 0xbf));
    g.setColorAt(1.0, QColor(0x1a, 0x45, 0x66));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(tile, s * 0.2, s * 0.2);

    // Two links crossing at the centre, turned by 45 degrees.
    const qreal pen = qMax(1.2, s * 0.085);
    const qreal w = s * 0.44;
    const qreal h = s * 0.24;
    p.translate(s / 2, s / 2);
    p.rotate(-45);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xff, 0xff, 0xff), pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawRoundedRect(QRectF(-w + s * 0.07, -h / 2, w, h), h / 2, h / 2);
    p.setPen(QPen(QColor(0xbf, 0xe6, 0xc8), pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawRoundedRect(QRectF(-s * 0.07, -h / 2, w, h), h / 2, h / 2);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

qint32 colorNumber(const QColor &colour)
{
    return qint32(colour.red()) | (qint32(colour.green()) << 8) | (qint32(colour.blue()) << 16);
}

// ---- Skin definition ----

QColor SkinDefinition::colour(const QString &name) const
{
    return colours.value(name);
}

QString SkinDefinition::styleSheet() const
{
    static const QRegularExpression mark(QStringLiteral("@([A-Za-z0-9_]+)@"));
    QString out;
    out.reserve(styleSheetTemplate.size());
    qsizetype last = 0;
    auto it = mark.globalMatch(styleSheetTemplate);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(styleSheetTemplate).mid(last, m.capturedStart() - last);
        const auto c = colours.constFind(m.captured(1));
        out += c != colours.constEnd() ? c->name() : m.captured(0);
        last = m.capturedEnd();
    }
    out += QStringView(styleSheetTemplate).mid(last);
    return out;
}

SkinDefinition loadSkinDefinition(const QString &jsonPath)
{
    SkinDefinition fallback = builtInSkin();
    const QJsonDocument doc = QJsonDocument::fromJson(readText(jsonPath).toUtf8());
    if (!doc.isObject())
        return fallback;
    const QJsonObject root = doc.object();

    SkinDefinition s;
    s.name = root.value(QStringLiteral("name")).toString();
    const QJsonObject colours = root.value(QStringLiteral("colours")).toObject();
    for (auto it = colours.begin(); it != colours.end(); ++it) {
        const QColor c = QColor::fromString(it.value().toString());
        if (c.isValid())
            s.colours.insert(it.key(), c);
    }
    const QJsonObject values = root.value(QStringLiteral("values")).toObject();
    for (auto it = values.begin(); it != values.end(); ++it) {
        bool ok = false;
        const int n = it.key().toInt(&ok);
        const QString name = it.value().toString();
        if (ok && s.colours.contains(name))
            s.values.insert(n, name);
    }
    // The window code relies on these two.
    for (int n : {2, 4}) {
        if (!s.values.contains(n)) {
            const QString name = fallback.values.value(n);
            s.values.insert(n, name);
            if (!s.colours.contains(name))
                s.colours.insert(name, fallback.colours.value(name));
        }
    }
    const QFileInfo info(jsonPath);
    QString qssPath = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".qss");
    s.styleSheetTemplate = readText(qssPath);
    return s;
}

SkinDefinition defaultSkinDefinition()
{
    initSkinResources();
    return loadSkinDefinition(QStringLiteral(":/skin/default.json"));
}

// ---- Skin control ----

SkinControl::SkinControl(SkinDefinition skin)
    : m_skin(std::move(skin))
    , m_styleSheet(m_skin.styleSheet())
{
}

std::shared_ptr<SkinControl> SkinControl::fromResources()
{
    return std::make_shared<SkinControl>(defaultSkinDefinition());
}

bool SkinControl::hasValue(int n) const
{
    return m_skin.values.contains(n);
}

qint32 SkinControl::value(int n) const
{
    const auto it = m_skin.values.constFind(n);
    return it == m_skin.values.constEnd() ? 0 : colorNumber(m_skin.colour(*it));
}

QPalette SkinControl::palette() const
{
    auto pick = [this](const char *name, const QColor &otherwise) {
        const QColor c = m_skin.colour(QString::fromLatin1(name));
        return c.isValid() ? c : otherwise;
    };
    const QColor window = pick("window", QColor(0xed, 0xf1, 0xf5));
    const QColor text = pick("text", Qt::black);
    const QColor base = pick("base", Qt::white);
    const QColor button = pick("button", window);
    const QColor accent = pick("accent", QColor(0x2b, 0x6a, 0x96));
    const QColor disabled = pick("disabledText", Qt::gray);

    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, pick("alternate", base));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, pick("buttonText", text));
    p.setColor(QPalette::Highlight, accent);
    p.setColor(QPalette::HighlightedText, pick("accentText", Qt::white));
    p.setColor(QPalette::ToolTipBase, pick("status", window));
    p.setColor(QPalette::ToolTipText, pick("statusText", text));
    p.setColor(QPalette::Link, accent);
    p.setColor(QPalette::PlaceholderText, pick("muted", disabled));
    p.setColor(QPalette::Mid, pick("border", window.darker(130)));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

void SkinControl::applyToWindow(QWidget *window) const
{
    if (!window)
        return;
    window->setPalette(palette());
    window->setStyleSheet(m_styleSheet);
}

// ---- Helper object ----

SkinHelper::~SkinHelper()
{
    // The palette goes back to what it was, so a program that drops its skin
    // (or a test) leaves the application as it found it.
    if (m_previousPalette && QCoreApplication::instance())
        QApplication::setPalette(*m_previousPalette);
}

void SkinHelper::attach(const SkinDefinition &skin)
{
    m_skin = skin;
    m_attached = true;
}

void SkinHelper::start()
{
    if (!m_attached || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (!m_previousPalette)
        m_previousPalette = std::make_unique<QPalette>(QApplication::palette());
    QApplication::setPalette(SkinControl(m_skin).palette());
    m_started = true;
}

void SkinHelper::windowFix()
{
    ++m_windowFixes;
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        if (!w->styleSheet().isEmpty())
            repolish(w);
    }
}

// ---- Applying the skin ----

QString controlTypeName(const QWidget *control)
{
    if (!control)
        return QString();
    const QVariant marked = control->property(kControlTypeProperty);
    if (marked.isValid())
        return marked.toString();
    if (qobject_cast<const QPushButton *>(control))
        return QStringLiteral("CommandButton");
    if (qobject_cast<const QLabel *>(control))
        return QStringLiteral("Label");
    return QString::fromLatin1(control->metaObject()->className());
}

void markPictureBox(QWidget *control)
{
    if (control)
        control->setProperty(kControlTypeProperty, QStringLiteral("PictureBox"));
}

void colorControls(QWidget *frm, qint32 buttonColour, qint32 pictureColour)
{
    if (!frm)
        return;
    const QColor button = platform::colorFromNumber(buttonColour);
    const QColor picture = platform::colorFromNumber(pictureColour);
    const QList<QWidget *> controls = frm->findChildren<QWidget *>();
    for (QWidget *c : controls) {
        if (c->window() != frm)
            continue;  // a window of its own (a dialog owned by frm)
        const QString type = controlTypeName(c);
        if (type == QLatin1String("CommandButton")) {
            QPalette p = c->palette();
            p.setColor(QPalette::Button, button);
            c->setPalette(p);
            // The skin's style sheet paints button faces itself and would
            // hide the palette; only the button's own sheet outranks it. It
            // takes the resting face alone, so hover, press and disabled keep
            // the skin's look. A flat button shows no face to colour.
            const auto *push = qobject_cast<const QPushButton *>(c);
            if (!push || !push->isFlat())
                c->setStyleSheet(QStringLiteral("QPushButton:enabled:!hover:!pressed { background-color: %1; }")
                                     .arg(button.name()));
        } else if (type == QLatin1String("PictureBox")) {
            QPalette p = c->palette();
            p.setColor(QPalette::Window, picture);
            c->setPalette(p);
            c->setAutoFillBackground(true);
        }
    }
}

void resetWindowRegion(QWidget *frm)
{
    // Older systems needed the window region reset after skinning; here a
    // window has no region of its own unless a mask was set, so there is
    // nothing to clip: the window simply drops any mask it had.
    if (frm)
        frm->clearMask();
}

bool isVistaOrLater(const AppContext &ctx)
{
    bool answer = false;
    ignoringFailures([&] {
        if (ctx.vistaOrLaterTest)
            answer = ctx.vistaOrLaterTest();
    });
    return answer;
}

void vistaSkinHelper(AppContext &ctx, WindowRegistry &windows)
{
    ignoringFailures([&] {
        if (!isVistaOrLater(ctx))
            return;
        if (!windows.objSkinHelper)
            windows.objSkinHelper = std::make_shared<SkinHelper>();
        windows.objSkinHelper->windowFix();
    });
}

void applySkin(AppContext &ctx, WindowRegistry &windows, QWidget *frm)
{
    if (!frm)
        return;
    const std::shared_ptr<SkinControl> skin = windows.objSkin;
    ignoringFailures([&] {
        if (skin)
            colorControls(frm, skin->value(2), skin->value(4));
    });
    ignoringFailures([&] {
        if (isVistaOrLater(ctx) && ctx.bSkin)
            resetWindowRegion(frm);
    });
    ignoringFailures([&] {
        if (skin)
            skin->applyToWindow(frm);
    });
}

// ---- Labels ----

bool isSkinnedLabel(const QWidget *label)
{
    return label && label->property(kSkinLabelProperty).toBool();
}

namespace {
int skinMatchingLabels(QWidget *window, const std::function<bool(QLabel *)> &wanted)
{
    if (!window)
        return 0;
    int n = 0;
    const QList<QLabel *> labels = window->findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->window() != window || controlTypeName(label) != QLatin1String("Label") || !wanted(label))
            continue;
        if (!isSkinnedLabel(label)) {
            label->setProperty(kSkinLabelProperty, true);
            repolish(label);
        }
        ++n;
    }
    return n;
}
} // namespace

int skinLabels(QWidget *window)
{
    return skinMatchingLabels(window, [](QLabel *) { return true; });
}

int skinLabels(QWidget *window, const QList<QWidget *> &containers)
{
    return skinMatchingLabels(window, [&containers](QLabel *label) {
        // The first array whose container is the label's own takes it; any
        // one of them will do, since they all draw alike.
        for (QWidget *c : containers) {
            if (c && label->parentWidget() == c)
                return true;
        }
        return false;
    });
}

// ---- Icons ----

QList<QImage> iconGroupImages(const QString &name)
{
    QList<QImage> images;
    if (name.compare(QLatin1String("AAA"), Qt::CaseInsensitive) != 0)
        return images;
    for (int size : {128, 64, 48, 32, 16}) {
        const QImage full = drawAppIcon(size);
        images << full;
        // 24 bits have no alpha: the tile is laid on white.
        QImage flat(size, size, QImage::Format_RGB888);
        flat.fill(Qt::white);
        QPainter p(&flat);
        p.drawImage(0, 0, full);
        p.end();
        images << flat;
        images << full.convertToFormat(QImage::Format_Indexed8);
    }
    return images;
}

QImage iconGroupImage(const QString &name, int size)
{
    const QList<QImage> images = iconGroupImages(name);
    // The image of that size, else the smallest larger one scaled down,
    // else the largest scaled up.
    const QImage *best = nullptr;
    for (const QImage &img : images) {
        if (img.depth() != 32)
            continue;
        if (img.width() == size)
            return img;
        const bool larger = img.width() > size;
        if (!best || (larger && (best->width() < size || img.width() < best->width()))
            || (!larger && best->width() < size && img.width() > best->width()))
            best = &img;
    }
    if (!best)
        return QImage();
    return best->scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void SetIcon(QWidget *window, const QString &name, bool setOnOwner)
{
    if (!window)
        return;
    // The top owner: follow the owner chain until a window has none.
    QWidget *owner = window->window();
    if (setOnOwner) {
        while (QWidget *p = owner->parentWidget())
            owner = p->window();
    }
    QStyle *style = window->style();
    const int bigSize = style ? style->pixelMetric(QStyle::PM_LargeIconSize) : 32;
    const int smallSize = style ? style->pixelMetric(QStyle::PM_SmallIconSize) : 16;

    const QImage big = iconGroupImage(name, bigSize > 0 ? bigSize : 32);
    if (big.isNull())
        return;
    QIcon icon(QPixmap::fromImage(big));
    if (setOnOwner)
        owner->setWindowIcon(icon);
    window->setWindowIcon(icon);

    const QImage small = iconGroupImage(name, smallSize > 0 ? smallSize : 16);
    if (small.isNull())
        return;
    icon.addPixmap(QPixmap::fromImage(small));
    if (setOnOwner)
        owner->setWindowIcon(icon);
    window->setWindowIcon(icon);
}

void skinWindow(AppContext &ctx, WindowRegistry &windows, QWidget *window, const QList<QWidget *> &containers)
{
    if (!ctx.bSkin)
        return;
    ignoringFailures([&] {
        if (containers.isEmpty())
            skinLabels(window);
        else
            skinLabels(window, containers);
        applySkin(ctx, windows, window);
    });
}

} // namespace tarnwick
