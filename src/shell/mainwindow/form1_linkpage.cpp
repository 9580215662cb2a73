// The Pages tab: generating the links from the results and saving the page.

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "exchange/linkpage.h"
#include "platform/safefile.h"
#include "shell/mainwindow/form1.h"
#include "workspace/context.h"
#include "workspace/project.h"

namespace tarnwick {

namespace {

const QString kNoLinks = QStringLiteral(
    "No links were found in your Links List to generate HTML from.  Please scan for links first.");
const QString kWebFilter =
    QStringLiteral("Web Files (*.htm, *.html, *.asp, *.php, *.txt)|*.htm;*.asp;*.php;*.html");

} // namespace

void Form1::Command5_Click()
{
    if (m_project->List3->count() == 0) {
        m_ctx.dialogs().msgBox(this, kNoLinks, platform::vbOKOnly);
        return;
    }
    LinkPageOptions options;
    options.bullets = chkBullet->isChecked();
    options.newWindow = chkNewWin->isChecked();
    options.oneMainSite = optAll[1]->isChecked();
    options.mainSite = Combo3->currentText();
    // The box's change handler keeps the project and the settings in step.
    txtHTML2->setPlainText(generateLinks(*m_project, options));
}

void Form1::Command6_Click()
{
    const QString page = webPageText(m_project->html(1), m_project->html(2), m_project->html(3));
    const QString name = m_ctx.dialogs().saveFile(this, {m_ctx.programDir(), kWebFilter, QString(), QString()});
    if (name.isEmpty())
        return;
    QString error;
    if (!platform::writeFileAtomically(name, page.toUtf8(), &error))
        m_ctx.dialogs().msgBox(this,
                               QStringLiteral("The webpage could not be saved.\r\n") + name + QStringLiteral("\r\n")
                                   + error,
                               platform::vbOKOnly | platform::vbExclamation);
}

} // namespace tarnwick
