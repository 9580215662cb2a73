#pragma once
// Key presses sent straight to a control, as the user's keyboard would.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace testsupport {

inline void pressEnter(QWidget *w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

} // namespace testsupport
