#pragma once
// Holding back a window's drawing while many changes are made to it.

class QWidget;

namespace tarnwick {

class WindowRegistry;

// Switches a control's drawing off (lock) or back on, redrawing it then.
void setRedraw(bool lock, QWidget *control);
// Locks the drawing of one window at a time, unless the main window is
// minimised.
void lockUpdate(WindowRegistry &windows, QWidget *window, bool lock);

} // namespace tarnwick
