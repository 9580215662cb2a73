#include "shell/mainwindow/resultspanel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "shell/failures.h"
#include "widgets/reportview.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/results.h"
#include "workspace/services.h"
#include "workspace/textcase.h"

namespace tarnwick {

ResultsPanel::ResultsPanel(AppContext &ctx, Project &project, QWidget *page, QWidget *owner)
    : QObject(owner)
    , m_ctx(ctx)
    , m_project(project)
{
    platform::ListView *List3 = m_project.List3;
    platform::ListView *lstErr = m_project.lstErr;
    List3->setSmallIcons(resultIcons());
    List3View = new platform::ReportView(page);
    List3View->setObjectName(QStringLiteral("List3"));
    List3View->setListView(List3);
    lstErrView = new platform::ReportView(page);
    lstErrView->setObjectName(QStringLiteral("lstErr"));
    lstErrView->setListView(lstErr);

    // The results and the errors share the "Links" tab; the window's layout
    // places them.
    lblErr = new QLabel(QStringLiteral("Errors/Warnings:"), page);
    lblErr->setObjectName(QStringLiteral("lblErr"));
    lblErr->setBuddy(lstErrView);

    Popup2 = new QMenu(QStringLiteral("Popup2"), owner);
    const QStringList captions = {QStringLiteral("Browse Main Site"), QStringLiteral("Browse Linking Site"),
                                  QStringLiteral("Browse Found On"),  QStringLiteral("Copy Main Site"),
                                  QStringLiteral("Copy Linking Site"), QStringLiteral("Copy Found On"),
                                  QStringLiteral("-"),                QStringLiteral("Mark as Found"),
                                  QStringLiteral("Mark as None Found")};
    for (int i = 0; i < captions.size(); ++i) {
        QAction *a = captions[i] == QLatin1String("-") ? Popup2->addSeparator() : Popup2->addAction(captions[i]);
        connect(a, &QAction::triggered, this, [this, i] { mnuPopup2Item_Click(i); });
        mnuPopup2Item << a;
    }

    List3View->setAlternatingRowColors(true);
    lstErrView->setAlternatingRowColors(true);
    connect(List3View, &platform::ReportView::columnClicked, this, [this](int c) { List3_ColumnClick(c); });
    connect(List3View, &platform::ReportView::itemDoubleClicked, this, [this] { List3_DblClick(); });
    connect(List3View, &platform::ReportView::mousePressed, this,
            [this](Qt::MouseButton b, QPoint pos) { List3_MouseDown(b, pos); });

    connect(lstErrView, &platform::ReportView::columnClicked, this, [this](int c) { lstErr_ColumnClick(c); });
    connect(lstErrView, &platform::ReportView::mousePressed, this, [this](Qt::MouseButton b, QPoint) {
        m_lstErrPressedOn = b == Qt::LeftButton ? m_project.lstErr->selectedRow() : 0;
    });
    connect(lstErrView, &platform::ReportView::itemClicked, this, [this](int row) {
        if (row == 0 || row != m_lstErrPressedOn)
            return;
        const int serial = ++m_lstErrClickSerial;
        QTimer::singleShot(QApplication::doubleClickInterval(), this, [this, serial] {
            if (serial == m_lstErrClickSerial)
                lstErr_BeforeLabelEdit();
        });
    });
    connect(lstErrView, &platform::ReportView::itemDoubleClicked, this, [this] {
        ++m_lstErrClickSerial;  // a double-click, not a second click
        lstErr_DblClick();
    });
}

void ResultsPanel::List3_ColumnClick(int column)
{
    EnhListView_SortColumns(m_ctx, *m_project.List3, column, false);
}

void ResultsPanel::List3_DblClick()
{
}

void ResultsPanel::List3_MouseDown(Qt::MouseButton button, QPoint globalPos)
{
    if (button == Qt::RightButton)
        Popup2->popup(globalPos);
}

void ResultsPanel::mnuPopup2Item_Click(int index)
{
    ignoringFailures([&] {
        const int row = m_project.List3->selectedRow();
        if (row == 0)
            return;  // nothing to browse, copy or mark
        const ResultRow r = resultRow(*m_project.List3, row);
        switch (index) {
        case 0:
            browseURL(r.main);
            break;
        case 1:
            browseURL(r.linking);
            break;
        case 2:
            browseURL(r.linkUrl);
            break;
        case 3:
            copyToClipboard(r.main);
            break;
        case 4:
            copyToClipboard(r.linking);
            break;
        case 5:
            copyToClipboard(r.linkUrl);
            break;
        case 7:
        case 8:
            // Results are part of the project: a mark must not be lost on
            // closing without a save.
            if (markResultRow(*m_project.List3, row, index == 7))
                m_project.bProjectSaved = false;
            break;
        default:
            break;
        }
    });
}

void ResultsPanel::copyToClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    clipboard->setText(text);
}

void ResultsPanel::browseURL(const QString &url)
{
    ignoringFailures([&] {
        const QString address = withHttpScheme(url);
        if (!webTab.navigate) {
            m_ctx.shell().open(address);
            return;
        }
        if (webTab.show)
            webTab.show();
        if (webTab.setAddress)
            webTab.setAddress(address);
        if (webTab.setSilent)
            webTab.setSilent(true);
        webTab.navigate(address);
    });
}

void ResultsPanel::lstErr_BeforeLabelEdit()
{
    // Opens the row in the Web tab; the row's text itself is never edited.
    ignoringFailures([&] {
        const int row = m_project.lstErr->selectedRow();
        if (row == 0)
            return;
        const QString address = withHttpScheme(errorRow(*m_project.lstErr, row).url);
        if (!webTab.navigate) {
            m_ctx.shell().open(address);
            return;
        }
        if (webTab.show)
            webTab.show();
        webTab.navigate(address);
    });
}

void ResultsPanel::lstErr_ColumnClick(int column)
{
    EnhListView_SortColumns(m_ctx, *m_project.lstErr, column, false);
}

void ResultsPanel::lstErr_DblClick()
{
    const int row = m_project.lstErr->selectedRow();
    if (row == 0)
        return;
    m_ctx.shell().open(withHttpScheme(errorRow(*m_project.lstErr, row).url));
}

} // namespace tarnwick
