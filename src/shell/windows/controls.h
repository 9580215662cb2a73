#pragma once
// Making the plain controls of the windows: a caption, a tool tip and the
// control's name.

#include <QLabel>
#include <QPushButton>
#include <QString>

namespace tarnwick {

inline QPushButton *makeButton(const QString &caption, const QString &hint, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

inline QLabel *makeLabel(const QString &text, const QString &name, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

// A control whose caption is a label of its own is read out by that
// caption, not by the title of the frame around it.
inline void nameByLabel(QWidget *control, QLabel *label, const QString &name = QString())
{
    label->setBuddy(control);
    control->setAccessibleName(name.isEmpty() ? label->text() : name);
}

} // namespace tarnwick
