#pragma once
// Main sites and linking sites typed into the main window's entry boxes and
// added with its Add buttons, as a user builds a project.

#include <QLineEdit>

#include "platform/listview.h"
#include "shell/mainwindow/form1.h"
#include "workspace/project.h"

namespace testsupport {

// The new main site becomes the selected one.
inline void typeMainSite(tarnwick::Form1 &form, const QString &text)
{
    form.txtDomain->setText(text);
    form.cmdAdd2_Click();
}

// Under the selected main site. The row added, or 0 when the window refused
// the text.
inline int typeLinkingSite(tarnwick::Form1 &form, const QString &text)
{
    const platform::ListView *list = form.project().List1(form.project().iCurrentMain);
    const int before = list ? list->count() : 0;
    form.Text1->setText(text);
    form.cmdAdd_Click();
    return list && list->count() > before ? list->count() : 0;
}

} // namespace testsupport
