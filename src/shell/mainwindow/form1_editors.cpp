// The main window's two Edit buttons: the linking-site editor and the
// main-site editor.

#include "platform/listbox.h"
#include "platform/listview.h"
#include "shell/mainwindow/form1.h"
#include "shell/windowregistry.h"
#include "shell/windows/modeless.h"
#include "shell/windows/siteeditors.h"
#include "workspace/project.h"

namespace tarnwick {

namespace {

template <typename Editor>
void openEditor(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner, QPointer<QWidget> &slot)
{
    showSingleWindow(slot, [&]() -> QWidget * {
        auto *w = new Editor(ctx, windows, project, owner);
        if (w->Form_Load())
            return w;
        delete w;
        return nullptr;
    });
}

} // namespace

void Form1::cmdEdit_Click()
{
    const int n = m_project->iCurrentMain;
    const platform::ListView *list = n >= 1 ? m_project->List1(n) : nullptr;
    m_project->iEditIndex = list ? list->selectedRow() : 0;
    if (m_project->iEditIndex > 0)
        openEditor<Form2>(m_ctx, m_windows, *m_project, this, m_windows.Form2);
}

void Form1::cmdEditMain_Click()
{
    m_project->iEditIndex = m_project->List4->listIndex();
    if (m_project->iEditIndex >= 0)
        openEditor<Form2a>(m_ctx, m_windows, *m_project, this, m_windows.Form2a);
}

} // namespace tarnwick
