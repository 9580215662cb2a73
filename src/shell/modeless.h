#pragma once
// Modeless windows of the main window: one instance each, kept in its slot
// of the program context so the shut-down finds it.

#include <QPointer>
#include <QWidget>

namespace tarnwick {

// Brings the window in slot forward when it is showing; otherwise makes one
// with make(), registers it, runs its load step and shows it. A window of
// the slot that is closing or was left hidden goes first.
template <typename Window, typename Make>
Window *openModeless(QPointer<QWidget> &slot, Make make)
{
    if (auto *open = qobject_cast<Window *>(slot.data()); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    if (slot) {
        slot->close();
        slot->deleteLater();
        slot = nullptr;
    }
    Window *w = make();
    w->setWindowFlag(Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose);
    slot = w;
    w->Form_Load();
    w->show();
    return w;
}

} // namespace tarnwick
