#pragma once
// The program's windows, kept by the shell: each window that exists at most
// once has its slot here, so that opening it again brings it forward and the
// main window's shut-down finds it. The skin every window takes and the maker
// of the Web tab's browser live here too. One registry for the program's
// whole life; it outlives the main window (the web-site opener may too).

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

namespace tarnwick {

class SkinControl;
class SkinHelper;
class WebBrowser;

class WindowRegistry {
public:
    // The main window (for the update lock) and the window whose drawing is
    // locked now, if any.
    QPointer<QWidget> mainWindow;
    QPointer<QWidget> lockedWindow;
    // The main window's shut-down has begun: work under way in the other
    // windows lets go and starts nothing more.
    bool mainWindowUnloaded = false;

    // The skin kept by the start-up (the splash window's skin control) and
    // the skin engine's helper object; both live until the program ends.
    std::shared_ptr<SkinControl> objSkin;
    std::shared_ptr<SkinHelper> objSkinHelper;

    // Makes the Web tab's browser. Empty: a plain HTML view stands in (the
    // program sets the full browser; tests never do).
    std::function<WebBrowser *(QWidget *parent, QObject *owner)> createWebBrowser;

    // Windows the main window's shut-down unloads by name, when they exist,
    // and the web-site opener, which outlives it while it shows.
    QPointer<QWidget> Form3;       // list builder
    QPointer<QWidget> Form8;       // help launcher
    QPointer<QWidget> Form4;       // Import Linking Sites
    QPointer<QWidget> Form4a;      // Import Main Sites
    QPointer<QWidget> frmExport;   // e-mail export
    QPointer<QWidget> frmSplash;
    QPointer<QWidget> frmWebsite;  // web-site opener
    // Closed by the shut-down after the windows above.
    QPointer<QWidget> frmAbout;    // About box
    QPointer<QWidget> Form5;       // posting log
    QPointer<QWidget> frmOptions;  // Scanning Options
    QPointer<QWidget> Form2;       // linking-site editor
    QPointer<QWidget> Form2a;      // main-site editor
    QPointer<QWidget> Form2b;      // Global Rules Editor

    // The windows the shut-down closes, in the order it closes them (the
    // opener is not among them).
    QList<QPointer<QWidget>> closingOrder() const
    {
        return {Form3, Form8, Form4, frmExport, frmSplash, frmAbout, Form4a, Form5, frmOptions, Form2, Form2a, Form2b};
    }
};

} // namespace tarnwick
