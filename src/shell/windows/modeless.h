#pragma once
// Modeless windows of the main window: one instance each, kept in its slot
// of the window registry so the shut-down finds it.

#include <QPointer>
#include <QWidget>

#include <functional>

namespace tarnwick {

// The kind of the program's windows besides the main window: each a window
// of its own that the desktop keeps over the main window (transient for it),
// however the user moves between them. A plain window is not: the desktop
// may raise the main window over it.
inline constexpr Qt::WindowFlags kOwnedWindow = Qt::Dialog;

// Brings the window in slot forward when it is showing; otherwise make()
// builds and loads one, which takes the slot and is shown. A window of the
// slot that is closing or was left hidden goes first. Returns the window
// shown, or nullptr when make() gave none (it would not load).
inline QWidget *showSingleWindow(QPointer<QWidget> &slot, const std::function<QWidget *()> &make)
{
    if (slot && slot->isVisible()) {
        if (slot->isMinimized())
            slot->showNormal();
        slot->raise();
        slot->activateWindow();
        return slot;
    }
    if (slot) {
        slot->close();
        slot->deleteLater();
        slot = nullptr;
    }
    QWidget *w = make();
    if (!w)
        return nullptr;
    slot = w;
    w->show();
    return w;
}

// The same for a window made here as a window of its own that deletes itself
// when closed; its Form_Load is handed args.
template <typename Window, typename Make, typename... Args>
Window *openModeless(QPointer<QWidget> &slot, Make make, const Args &...args)
{
    return static_cast<Window *>(showSingleWindow(slot, [&]() -> QWidget * {
        Window *w = make();
        w->setWindowFlags(w->windowFlags() | kOwnedWindow);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->Form_Load(args...);
        return w;
    }));
}

} // namespace tarnwick
