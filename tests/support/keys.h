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

// Types text one key at a time.
inline void typeKeys(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
    }
}

inline void pressBackspace(QWidget *w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

} // namespace testsupport
