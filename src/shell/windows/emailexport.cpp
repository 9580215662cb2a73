#include "shell/windows/emailexport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "exchange/emailexport.h"
#include "platform/safefile.h"
#include "shell/skin/skin.h"
#include "shell/windows/controls.h"
#include "shell/windows/modeless.h"
#include "workspace/context.h"
#include "workspace/database.h"

namespace tarnwick {

void deleteAllEmails(AppContext &ctx, QWidget *owner)
{
    QString error;
    clearEmails(ctx, &error);
    if (ctx.onStatsChanged)
        ctx.onStatsChanged();
    if (!error.isEmpty())
        ctx.dialogs().msgBox(owner, QStringLiteral("The e-mail addresses could not be deleted.\r\n") + error,
                             platform::vbOKOnly | platform::vbExclamation);
}

frmExport::frmExport(AppContext &ctx, WindowRegistry &windows, QWidget *parent)
    : QWidget(parent, kOwnedWindow)
    , m_ctx(ctx)
    , m_windows(windows)
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Export Emails"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);

    grid->addWidget(makeLabel(QStringLiteral("Output Type:"), QStringLiteral("Label1"), this), 0, 0);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    // Nothing is chosen until the user picks an item; the box shows its own
    // text meanwhile.
    Combo1->addItems({QStringLiteral("Semi-Colon Delimited (;)"), QStringLiteral("Tab Delimited (^t)"),
                      QStringLiteral("Line Feed Delimited (one per line)")});
    Combo1->setPlaceholderText(QStringLiteral("Semi-Colon delimited (;)"));
    Combo1->setCurrentIndex(-1);
    grid->addWidget(Combo1, 0, 1);

    Check2 = new QCheckBox(QStringLiteral("Put a space between each entry"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    grid->addWidget(Check2, 1, 0, 1, 2);
    Check1 = new QCheckBox(QStringLiteral("Delete all emails when finished"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    grid->addWidget(Check1, 2, 0, 1, 2);
    Command1 = makeButton(QStringLiteral("Export"), QString(), QStringLiteral("Command1"), this);
    grid->addWidget(Command1, 3, 1, Qt::AlignRight);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    setMinimumWidth(340);
}

void frmExport::Form_Load()
{
    skinWindow(m_ctx, m_windows, this);
}

void frmExport::Command1_Click()
{
    const QString name = m_ctx.dialogs().saveFile(
        this, {m_ctx.programDir(), QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"),
         QStringLiteral("export.txt"), QString()});
    if (name.trimmed().isEmpty())
        return;

    const QString delimiter = emailExportDelimiter(Combo1->currentIndex(), Check2->isChecked());
    QStringList addresses;
    QString error;
    if (!readEmails(m_ctx, addresses, &error)) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("The e-mail addresses could not be read.\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
        return;
    }
    if (!platform::writeFileAtomically(name, emailExportBytes(addresses, delimiter), &error)) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("The file could not be saved.\r\n") + name + QStringLiteral("\r\n")
                                   + error,
                               platform::vbOKOnly | platform::vbExclamation);
        return;
    }
    if (Check1->isChecked()
        && m_ctx.dialogs().msgBox(this, QStringLiteral("Are you sure you want to delete all emails?"),
                                  platform::vbYesNo | platform::vbQuestion)
               == platform::vbYes)
        deleteAllEmails(m_ctx, this);
    close();
}

} // namespace tarnwick
