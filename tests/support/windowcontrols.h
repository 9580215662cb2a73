#pragma once
// A window's controls found by their names and used as the user uses them:
// clicked, typed into, chosen from a menu or a tab row. A name the window
// does not have stops the test with that name.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>
#include <QTreeView>
#include <stdexcept>

#include "support/keys.h"

namespace testsupport {

// The control of `window` named `name`.
template <class T = QWidget>
T *control(const QObject &window, const QString &name)
{
    if (T *found = window.findChild<T *>(name))
        return found;
    throw std::logic_error("the window has no " + std::string(T::staticMetaObject.className()) + " named \""
                           + name.toStdString() + "\"");
}

// The part of `window` that is an object of its own, such as an area of
// the main window with its own controls.
template <class T>
T *area(const QObject &window)
{
    if (T *found = window.findChild<T *>())
        return found;
    throw std::logic_error("the window has no " + std::string(T::staticMetaObject.className()));
}

// A click does nothing on a disabled button, as on the screen.
inline void click(const QObject &window, const QString &button)
{
    control<QAbstractButton>(window, button)->click();
}

// Selects what the box holds, deletes it and types the text key by key.
inline void typeInto(QLineEdit *box, const QString &text)
{
    box->selectAll();
    if (box->hasSelectedText())
        pressBackspace(box);
    typeKeys(box, text);
}

inline void typeInto(const QObject &window, const QString &box, const QString &text)
{
    typeInto(control<QLineEdit>(window, box), text);
}

// As Tab or a click would; a window that is not the active one gets the
// focus event all the same.
inline void focusOn(const QObject &window, const QString &name)
{
    QWidget *w = control<QWidget>(window, name);
    w->setFocus(Qt::TabFocusReason);
    if (!w->hasFocus()) {
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(w, &in);
    }
}

inline void pressEnter(const QObject &window, const QString &box)
{
    pressEnter(control<QWidget>(window, box));
}

inline void mouseClick(QWidget *target, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, QPointF(at), target->mapToGlobal(QPointF(at)), button,
                      type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }
}

// Row and column from 1, as the lists count them. Any view with a header:
// the tree views and the program's own report views.
template <class View>
void clickRow(View *list, int row, Qt::MouseButton button = Qt::LeftButton)
{
    const QRect at = list->visualRect(list->model()->index(row - 1, 0));
    if (!at.isValid())
        throw std::logic_error("row " + std::to_string(row) + " of " + list->objectName().toStdString()
                               + " is not on the screen");
    mouseClick(list->viewport(), at.center(), button);
}

template <class View>
void clickColumnHeader(View *list, int column)
{
    QHeaderView *header = list->header();
    const int x = header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) / 2;
    mouseClick(header->viewport(), QPoint(x, header->height() / 2));
}

// The item of the menu named `menu` whose caption is `caption`.
inline QAction *menuItem(const QObject &window, const QString &menu, const QString &caption)
{
    for (QAction *a : control<QMenu>(window, menu)->actions()) {
        if (a->text() == caption)
            return a;
    }
    throw std::logic_error("the menu \"" + menu.toStdString() + "\" has no item \"" + caption.toStdString() + "\"");
}

// Does nothing when the item is disabled.
inline void chooseMenuItem(const QObject &window, const QString &menu, const QString &caption)
{
    menuItem(window, menu, caption)->trigger();
}

// Clicks tab `index` (from 1) of the tab row in the strip named `strip`.
inline void chooseTab(const QObject &window, int index, const QString &strip = QStringLiteral("TabStrip1"))
{
    QTabBar *row = control<QTabBar>(*control<QWidget>(window, strip), QStringLiteral("tabRow"));
    if (index < 1 || index > row->count())
        throw std::logic_error("the tab row has no tab " + std::to_string(index));
    mouseClick(row, row->tabRect(index - 1).center());
}

} // namespace testsupport
