// The main window's project-file commands: Open, Save and the deletion of a
// main site.

#include <QDir>
#include <QFrame>
#include <QPushButton>

#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/windows/controls.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/projectfile.h"

namespace tarnwick {

namespace {

const QString kProjectFilter = QStringLiteral("Project Files (*.prj)|*.prj");
const QString kSaveQuestion = QStringLiteral("The current project has been edited but has not been saved.");
const QString kSaveNow = QStringLiteral("Would you like to save now?");

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
    QString note;
    if (!m_project->openProject(path, true, error, &note))
        return false;
    if (!note.isEmpty())
        m_ctx.dialogs().msgBox(this, note + QStringLiteral("\r\n") + path,
                               platform::vbOKOnly | platform::vbInformation);
    report->showProjectReport(path);
    return true;
}

bool Form1::saveChangesFirst(bool canCancel)
{
    if (m_project->bProjectSaved)
        return true;
    const int answer = m_ctx.dialogs().msgBox(this, kSaveQuestion + QStringLiteral("\r\n") + kSaveNow,
                                              (canCancel ? platform::vbYesNoCancel : platform::vbYesNo)
                                                  | platform::vbQuestion,
                                              QStringLiteral("Save Project?"));
    if (answer == platform::vbYes)
        return cmdSave_Click() || !canCancel;
    return answer == platform::vbNo || !canCancel;
}

void Form1::cmdOpen_Click()
{
    if (!saveChangesFirst(true))
        return;
    const QString folder = m_project->projectFilesFolder();
    QDir().mkpath(folder);
    const QString name = m_ctx.dialogs().openFile(this, {folder, kProjectFilter, QString(), QString()});
    if (name.isEmpty())
        return;
    QString error;
    if (!openProject(name, &error))
        m_ctx.dialogs().msgBox(this, QStringLiteral("The project could not be opened.\r\n") + name
                                   + QStringLiteral("\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
}

bool Form1::cmdSave_Click()
{
    QString proposed = proposedProjectName(m_project->List4->count() > 0 ? m_project->List4->item(0) : QString());
    const QString folder = m_project->projectFilesFolder();
    // A failed save offers the dialog once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        QDir().mkpath(folder);
        const QString name = m_ctx.dialogs().saveFile(this, {folder, kProjectFilter, proposed, QString()});
        if (name.isEmpty())
            return false;
        QString error;
        if (m_project->saveProject(name, &error))
            return true;
        m_ctx.dialogs().msgBox(this, QStringLiteral("The project could not be saved.\r\n") + name
                                   + QStringLiteral("\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
        proposed = QStringLiteral("unnamed.prj");
    }
    return false;
}

void Form1::cmdDelete_Click()
{
    // One deletion at a time, and none while a report is built: the report
    // would describe a project that is gone.
    if (mainSiteDeletionBusy())
        return;
    // Rebuilding the project under a running scan would pull its lists away
    // from under it.
    if (m_ctx.bScanning) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("You cannot delete the current site while the search is running."),
                               platform::vbOKOnly);
        return;
    }
    const int count = m_project->List4->count();
    int sel = m_project->List4->listIndex() + 1;
    if (count == 1 && sel < 1)
        sel = 1;  // the only main site goes, selected or not
    m_deletingMainSite = true;
    cmdDelete->setEnabled(false);
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
    m_deletingMainSite = false;
    updateDeleteButton();
}

bool Form1::mainSiteDeletionBusy() const
{
    return m_deletingMainSite || (report && report->building());
}

void Form1::updateDeleteButton()
{
    // The main-site buttons are in use after a main site was selected, until
    // a linking site is (showSelectedMainSite and showLinkingSiteSelected).
    const bool mainSiteMode = m_project->List4->listIndex() >= 0 && !cmbDel->isEnabledTo(innerFrame2);
    cmdDelete->setEnabled(mainSiteMode && !mainSiteDeletionBusy());
}

} // namespace tarnwick
