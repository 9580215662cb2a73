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

} // namespace tarnwick
