#pragma once
// The skin every window is drawn with, and the program's icon.
//
// A skin is design data kept as a resource: a set of named colours, the
// engine's numbered colour values (2 the button colour, 4 the picture-box
// colour) and a style sheet whose @name@ marks stand for the colours. The
// splash window's skin control carries it; applySkin() puts it on a window.

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <memory>

class QWidget;

namespace tarnwick {

class AppContext;
class WindowRegistry;

// A colour as its number, red in the low byte (platform::colorFromNumber
// turns it back).
qint32 colorNumber(const QColor &colour);

struct SkinDefinition {
    QString name;
    QHash<QString, QColor> colours;     // by name, as the style sheet uses them
    QHash<int, QString> values;         // engine value number -> colour name
    QString styleSheetTemplate;

    // The style sheet with every @name@ replaced by its colour.
    QString styleSheet() const;
    QColor colour(const QString &name) const;
};

// Reads a skin: a JSON file (name, colours, values) and the style sheet
// beside it with the same base name and ".qss". A missing or damaged file
// gives the built-in colours, so values 2 and 4 always exist.
SkinDefinition loadSkinDefinition(const QString &jsonPath);
// The program's own skin from the resources.
SkinDefinition defaultSkinDefinition();

// The skin control of the splash window (held in the window registry as objSkin).
class SkinControl {
public:
    explicit SkinControl(SkinDefinition skin);
    static std::shared_ptr<SkinControl> fromResources();

    // Engine colour value n as a colour number; 0 (black) when the skin has
    // no such value.
    bool hasValue(int n) const;
    qint32 value(int n) const;

    QPalette palette() const;
    QString styleSheet() const { return m_styleSheet; }

    // Draws the window in the skin from now on.
    void applyToWindow(QWidget *window) const;

    // What the helper object is attached to.
    const SkinDefinition &underlyingObject() const { return m_skin; }

private:
    SkinDefinition m_skin;
    QString m_styleSheet;
};

// The skin engine's second object (objSkinHelper).
class SkinHelper {
public:
    SkinHelper() = default;
    ~SkinHelper();
    SkinHelper(const SkinHelper &) = delete;
    SkinHelper &operator=(const SkinHelper &) = delete;

    void attach(const SkinDefinition &skin);
    // Gives the application the skin's palette, so windows that are not
    // skinned one by one (message boxes, file dialogs) match the rest.
    void start();
    // Redraws every top-level window in the current skin.
    void windowFix();

    bool attached() const { return m_attached; }
    bool started() const { return m_started; }
    int windowFixCount() const { return m_windowFixes; }

private:
    SkinDefinition m_skin;
    bool m_attached = false;
    bool m_started = false;
    int m_windowFixes = 0;
    std::unique_ptr<QPalette> m_previousPalette;
};

// The type name the skin code goes by: "CommandButton" for push buttons,
// "Label" for labels, "PictureBox" for widgets marked as picture boxes
// (markPictureBox), otherwise the Qt class name.
QString controlTypeName(const QWidget *control);
void markPictureBox(QWidget *control);

// Skins one window: its button and picture-box colours, its region on the
// systems that need it, and the skin itself. Failures are ignored, leaving
// the window in its own look.
void applySkin(AppContext &ctx, WindowRegistry &windows, QWidget *frm);
void colorControls(QWidget *frm, qint32 buttonColour, qint32 pictureColour);
void resetWindowRegion(QWidget *frm);
bool isVistaOrLater(const AppContext &ctx);
void vistaSkinHelper(AppContext &ctx, WindowRegistry &windows);

// Label skinning. The label itself is drawn in the skin's style (no copy is
// laid over it, so a caption changed later always shows). The single-array
// form takes every label of the window; the five-array form only the labels
// whose container is one of the given containers. Returns the number of
// labels skinned.
bool isSkinnedLabel(const QWidget *label);
int skinLabels(QWidget *window);
int skinLabels(QWidget *window, const QList<QWidget *> &containers);

// A window's skin at its load, when the skin is on: its labels (every one, or
// only those of the given containers) and the window itself. A failure
// leaves the window in its own look.
void skinWindow(AppContext &ctx, WindowRegistry &windows, QWidget *window, const QList<QWidget *> &containers = {});

// The program's icons. An icon group holds 15 images: 128, 64, 48, 32 and 16
// pixels square, each at 32, 24 and 8 bits per pixel. An unknown name gives
// no images.
QList<QImage> iconGroupImages(const QString &name);
QImage iconGroupImage(const QString &name, int size);

// Gives the window (and, with setOnOwner, its top owner) the big and the
// small image of the icon group. An unknown group leaves the icons as they
// were.
void SetIcon(QWidget *window, const QString &name, bool setOnOwner);

} // namespace tarnwick
