// The main window's project-file commands: Open, Save and the deletion of a
// main site.

#include <QDir>
#include <QFrame>
#include <QPushButton>

#include "shell/controls.h"
#include "shell/form1.h"
#include "shell/reportpanel.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/projectfile.h"

namespace tarnwick {

namespace {

const QString kProjectFilter = QStringLiteral("Project Files (*.prj)|*.prj");


} // namespace

void Form1::buildFileControls()
{
    cmdNew = makeButton(QStringLiteral("New"), QStringLiteral("Start a new project"), QStringLiteral("cmdNew"), m_central);
    cmdOpen = makeButton(QStringLiteral("Open"), QStringLiteral("Open an existing project"), QStringLiteral("cmdOpen"),
                     m_central);
    cmdSave = makeButton(QStringLiteral("Save"), QStringLiteral("Save this project to a file so that you can run it any time"),
                     QStringLiteral("cmdSave"), m_central);

    connect(cmdNew, &QPushButton::clicked, this, [this] { cmdNew_Click(); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    // New and Open rest while a scan runs, and so do their menu items.
    cmdNew->installEventFilter(this);
    cmdOpen->installEventFilter(this);
}

bool Form1::openProject(const QString &path, QString *error)
{
    if (!m_project->openProject(path, true, error))
        return false;
    report->showProjectReport(path);
    return true;
}

void Form1::cmdOpen_Click()
{
    const QString folder = m_project->projectFilesFolder();
    QDir().mkpath(folder);
    const QString name = m_ctx.dialogs().openFile({folder, kProjectFilter, QString(), QString()});
    if (name.isEmpty())
        return;
    QString error;
    if (!openProject(name, &error))
        m_ctx.dialogs().msgBox(QStringLiteral("The project could not be opened.\r\n") + name
                                   + QStringLiteral("\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
}

void Form1::cmdSave_Click()
{
    QString proposed = proposedProjectName(m_project->List4->count() > 0 ? m_project->List4->item(0) : QString());
    const QString folder = m_project->projectFilesFolder();
    // A failed save offers the dialog once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        QDir().mkpath(folder);
        const QString name = m_ctx.dialogs().saveFile({folder, kProjectFilter, proposed, QString()});
        if (name.isEmpty())
            return;
        QString error;
        if (m_project->saveProject(name, &error))
            return;
        m_ctx.dialogs().msgBox(QStringLiteral("The project could not be saved.\r\n") + name
                                   + QStringLiteral("\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
        proposed = QStringLiteral("unnamed.prj");
    }
}

void Form1::cmdDelete_Click()
{
    // Rebuilding the project under a running scan would pull its lists away
    // from under it.
    if (m_ctx.bScanning) {
        m_ctx.dialogs().msgBox(QStringLiteral("You cannot delete the current site while the search is running."),
                               platform::vbOKOnly);
        return;
    }
    const int count = m_project->List4->count();
    int sel = m_project->List4->listIndex() + 1;
    if (count == 1 && sel < 1)
        sel = 1;  // the only main site goes, selected or not
    switch (m_project->deleteMainSite(sel)) {
    case Project::Deletion::Cleared:
        innerFrame2->hide();
        break;
    case Project::Deletion::Rebuilt:
        report->makeReport();
        break;
    case Project::Deletion::None:
        break;
    }
}

} // namespace tarnwick
