// Adding, selecting, sorting and deleting main sites and linking sites.

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {
bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}
} // namespace

void Form1::cmdAdd2_Click()
{
    const QString text = txtDomain->text();
    if (isBlank(text)) {
        setPanelText(1, QStringLiteral("Error: Please enter a Remote Site first!"));
        return;
    }
    List4->addItem(text);
    addList();
    List4->setListIndex(List4->count() - 1);  // raises List4_Click
    txtDomain->setText(QString());
    txtDomain->setFocus();
    m_ctx.bProjectSaved = false;
}

void Form1::addList()
{
    const int n = List1Count();
    m_list1.push_back(createLinkList(n));
}

void Form1::List4_Click()
{
    const int sel = List4->listIndex() + 1;
    if (sel < 1)
        return;
    Text1->setEnabled(true);
    Text1->setText(QString());
    cmdDelete->setEnabled(true);
    cmdEditMain->setEnabled(true);
    for (int i = 1; i < List1Count(); ++i) {
        if (i == sel) {
            m_list1[size_t(i)].view->show();
            cmdAdd->show();
            cmbDel->show();
            cmdEdit->show();
            lblblah->setText(QStringLiteral("Enter linking sites: ") + List4->item(sel - 1));
            lblblah->show();
            Text1->show();
            Label2->show();
            innerFrame2->show();
            cmbDel->setEnabled(false);
            cmdEdit->setEnabled(false);
        } else {
            m_list1[size_t(i)].view->hide();
        }
    }
    m_ctx.iCurrentMain = sel;
}

void Form1::cmdAdd_Click()
{
    QString text = Text1->text();
    text.remove(QStringLiteral("http://"), Qt::CaseInsensitive);
    text.remove(QStringLiteral("https://"), Qt::CaseInsensitive);
    Text1->setText(text);
    platform::ListView *list = List1(m_ctx.iCurrentMain);
    if (isBlank(text)) {
        m_ctx.dialogs().msgBox(QStringLiteral("Please enter the Website URL first."), platform::vbOKOnly);
    } else if (list && m_ctx.iCurrentMain >= 1) {
        itmX = list->add(text.trimmed(), {QStringLiteral("1"), QString(), QString(), QString()});
        m_ctx.bProjectSaved = false;
        updateNextSearchButton();
        Text1->setText(QString());
    }
    Text1->setFocus();
}

void Form1::updateNextSearchButton()
{
    platform::ListView *list = List1(m_ctx.iCurrentMain);
    cmdNextSearch->setEnabled(m_ctx.bScanning && m_ctx.iCurrentMain >= 1 && list && list->count() >= 2);
}

void Form1::List1_ItemClick(int index, int row)
{
    platform::ListView *list = List1(index);
    if (list && list->isValidRow(row) && !list->isSelected(row))
        list->setSelectedRow(row);
    cmbDel->setEnabled(true);
    cmdEdit->setEnabled(true);
    cmdDelete->setEnabled(false);
    cmdEditMain->setEnabled(false);
}

void Form1::List1_MouseDown(int index, Qt::MouseButton button, QPoint globalPos)
{
    if (index >= 1 && List1Exists(index))
        m_ctx.iCurrentMain = index;
    if (button == Qt::RightButton)
        Popup1->popup(globalPos);
}

void Form1::List1_ColumnClick(int index, int column)
{
    platform::ListView *list = List1(index);
    if (!list)
        return;
    if (m_ctx.bScanning) {
        m_ctx.dialogs().msgBox(QStringLiteral("You cannot sort this column while a search is running."),
                               platform::vbOKOnly);
        return;
    }
    EnhListView_SortColumns(m_ctx, *list, column, false);
}

void Form1::cmbDel_Click()
{
    platform::ListView *list = List1(m_ctx.iCurrentMain);
    const int idx = (list && m_ctx.iCurrentMain >= 1) ? list->selectedRow() : 0;
    if (idx < 1) {
        m_ctx.dialogs().msgBox(QStringLiteral("You must select a site to delete."), platform::vbOKOnly);
        updateNextSearchButton();
        return;
    }
    // The scanner walks the rows by position: the row it is on and the rows
    // before it must stay where they are.
    if (m_ctx.bScanning && idx <= iCurrentSite) {
        m_ctx.dialogs().msgBox(QStringLiteral("You cannot delete the current site while the search is running."),
                               platform::vbOKOnly);
        updateNextSearchButton();
        return;
    }
    const QString url = list->text(idx);
    bool sameUrlElsewhere = false;
    for (int r = 1; r <= list->count(); ++r) {
        if (r != idx && list->text(r) == url) {
            sameUrlElsewhere = true;
            break;
        }
    }
    if (!sameUrlElsewhere) {
        const QString mainSite = List4->item(m_ctx.iCurrentMain - 1);
        for (int r = 1; r <= lstRules->count();) {
            if (lstRules->text(r) == mainSite && lstRules->subItem(r, 1) == url)
                lstRules->remove(r);
            else
                ++r;
        }
    }
    list->remove(idx);
    m_ctx.bProjectSaved = false;
    updateNextSearchButton();
}

void Form1::cmdNew_Click()
{
    while (List1Count() > 1)
        unloadLinkList(List1Count() - 1);
    m_ctx.iCurrentMain = 1;
    List2->clear();
    List4->clear();
    lstRules->clear();
    List3->clear();
    lstMulti->clear();
    cmbSites->clear();
    cmbSites->setEditText(QString());
    txtDomain->setText(QString());
    txtPost->setText(QStringLiteral("http://"));
    txtPost2->setText(QStringLiteral("http://"));
    Text1->setText(QString());
    txtHTML1->setPlainText(kHtml1Placeholder);
    txtHTML2->setPlainText(kHtml2Placeholder);
    txtHTML3->setPlainText(kHtml3Placeholder);
    innerFrame2->hide();
    strProjectFile.clear();  // a new project has no file yet
}

void Form1::Text1_Change()
{
    cmdAdd->setEnabled(!Text1->text().isEmpty());
}

void Form1::txtDomain_Change()
{
    if (m_ctx.bJustLoaded)
        m_ctx.bJustLoaded = false;
    else
        m_ctx.bProjectSaved = false;
    if (!txtDomain->text().isEmpty())
        cmdAdd2->setEnabled(true);
}

void Form1::Text1_KeyPress(int keyAscii)
{
    if (keyAscii == 13) {
        cmdAdd_Click();
        Text1->setText(QString());
    }
}

void Form1::txtDomain_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        cmdAdd2_Click();
}

void Form1::Text1_GotFocus()
{
    setPanelText(1, Text1->toolTip());
    StatusBar1->repaint();
}

void Form1::txtDomain_GotFocus()
{
    setPanelText(1, txtDomain->toolTip());
    StatusBar1->repaint();
}

void Form1::txtHTML1_Change()
{
    m_ctx.settings().set(QStringLiteral("txtHTML1"), txtHTML1->toPlainText());
}

void Form1::txtHTML2_Change()
{
    m_ctx.settings().set(QStringLiteral("txtHTML2"), txtHTML2->toPlainText());
}

void Form1::txtHTML3_Change()
{
    m_ctx.settings().set(QStringLiteral("txtHTML3"), txtHTML3->toPlainText());
}

} // namespace tarnwick
