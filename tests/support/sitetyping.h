#pragma once
// Main sites and linking sites typed into the main window's entry boxes and
// added with its Add buttons, as a user builds a project; a project file
// opened with the Open button.

#include "platform/dialogs.h"
#include "platform/listview.h"
#include "shell/mainwindow/form1.h"
#include "support/windowcontrols.h"
#include "workspace/project.h"

namespace testsupport {

// The new main site becomes the selected one.
inline void typeMainSite(tarnwick::Form1 &form, const QString &text)
{
    typeInto(form, QStringLiteral("txtDomain"), text);
    click(form, QStringLiteral("cmdAdd2"));
}

// Under the selected main site. The row added, or 0 when the window refused
// the text.
inline int typeLinkingSite(tarnwick::Form1 &form, const QString &text)
{
    const platform::ListView *list = form.project().List1(form.project().iCurrentMain);
    const int before = list ? list->count() : 0;
    typeInto(form, QStringLiteral("Text1"), text);
    click(form, QStringLiteral("cmdAdd"));
    return list && list->count() > before ? list->count() : 0;
}

// The file dialog answers with `path`; true when the project is now that
// file's.
inline bool openProjectFile(tarnwick::Form1 &form, platform::ScriptedDialogs &dialogs, const QString &path)
{
    dialogs.fileAnswers.push_back(path);
    click(form, QStringLiteral("cmdOpen"));
    return form.project().strProjectFile == path;
}

} // namespace testsupport
