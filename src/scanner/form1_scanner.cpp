// The scan controls of the main window.

#include <QAction>
#include <QMenu>

#include "workspace/project.h"

namespace tarnwick {

void Form1::buildScannerControls()
{
    mnuScan = new QMenu(QStringLiteral("Scan Type"), this);
    for (const QString &caption : {QStringLiteral("Scan all main sites"), QStringLiteral("Just scan the selected main site"),
                                   QStringLiteral("Just scan the selected linking site")}) {
        QAction *a = mnuScan->addAction(caption);
        a->setCheckable(true);
        const int index = int(mnuScanItem.size());
        connect(a, &QAction::triggered, this, [this, index] { mnuScanItem_Click(index); });
        mnuScanItem << a;
    }
    mnuSkipPopup = new QMenu(QStringLiteral("Skip"), this);
    for (const QString &caption : {QStringLiteral("The current linking site"), QStringLiteral("The current main site")}) {
        QAction *a = mnuSkipPopup->addAction(caption);
        a->setCheckable(true);
        const int index = int(mnuSkipItem.size());
        connect(a, &QAction::triggered, this, [this, index] { mnuSkipItem_Click(index); });
        mnuSkipItem << a;
    }
    mnuScanItem[0]->setChecked(true);
    mnuSkipItem[0]->setChecked(true);
}

void Form1::mnuScanItem_Click(int index)
{
    if (index < 0 || index >= mnuScanItem.size())
        return;
    for (int i = 0; i < mnuScanItem.size(); ++i)
        mnuScanItem[i]->setChecked(i == index);
    m_ctx.settings().set(QStringLiteral("ScanType"), QString::number(index));
}

void Form1::mnuSkipItem_Click(int index)
{
    if (index < 0 || index >= mnuSkipItem.size())
        return;
    for (int i = 0; i < mnuSkipItem.size(); ++i)
        mnuSkipItem[i]->setChecked(i == index);
    m_ctx.settings().set(QStringLiteral("SkipType"), QString::number(index));
}

} // namespace tarnwick
