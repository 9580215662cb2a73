// The main window's buttons for the local database: the e-mail export,
// deleting every e-mail address and showing the database's folder.

#include "shell/mainwindow/form1.h"
#include "shell/windowregistry.h"
#include "shell/windows/emailexport.h"
#include "shell/windows/modeless.h"
#include "workspace/context.h"

namespace tarnwick {

void Form1::Command2_Click()
{
    openModeless<frmExport>(m_windows.frmExport, [this] { return new frmExport(m_ctx, m_windows, this); });
}

void Form1::Command3_Click()
{
    if (m_ctx.dialogs().msgBox(this, QStringLiteral("Are you sure you want to delete all emails from the database?"),
                               platform::vbOKCancel | platform::vbQuestion, QStringLiteral("Confirm"))
        == platform::vbOK)
        deleteAllEmails(m_ctx, this);
}

void Form1::cmdViewDatabase_Click()
{
    m_ctx.shell().open(m_ctx.programDir());
}

} // namespace tarnwick
