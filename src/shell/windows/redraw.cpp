#include "shell/windows/redraw.h"

#include <QWidget>

#include "shell/windowregistry.h"

namespace tarnwick {

void setRedraw(bool lock, QWidget *control)
{
    if (!control)
        return;
    control->setUpdatesEnabled(!lock);
    if (!lock)
        control->update();
}

void lockUpdate(WindowRegistry &windows, QWidget *window, bool lock)
{
    if (windows.mainWindow && windows.mainWindow->isMinimized())
        return;
    // Widgets paint only when the event loop runs, so a lock that spans no
    // yield changes nothing on screen; switching a whole window's updates off
    // and on at every count would cost a walk over all its children. Only the
    // lock itself is kept, one window at a time.
    if (lock) {
        if (window)
            windows.lockedWindow = window;
    } else {
        windows.lockedWindow = nullptr;
    }
}

} // namespace tarnwick
