// The results list and the error list of the main window.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "exchange/results.h"
#include "shell/failures.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

void Form1::buildResultsControls()
{
    List3->setSmallIcons(resultIcons());

    // The results and the errors share the "Links" tab; the window's layout
    // places them.
    lblErr = new QLabel(QStringLiteral("Errors/Warnings:"), lstErrView->parentWidget());
    lblErr->setObjectName(QStringLiteral("lblErr"));

    Popup2 = new QMenu(QStringLiteral("Popup2"), this);
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
        m_lstErrPressedOn = b == Qt::LeftButton ? lstErr->selectedRow() : 0;
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

void Form1::List3_ColumnClick(int column)
{
    EnhListView_SortColumns(m_ctx, *List3, column, false);
}

void Form1::List3_DblClick()
{
}

void Form1::List3_MouseDown(Qt::MouseButton button, QPoint globalPos)
{
    if (button == Qt::RightButton)
        Popup2->popup(globalPos);
}

void Form1::mnuPopup2Item_Click(int index)
{
    ignoringFailures([&] {
        const int row = List3->selectedRow();
        if (row == 0)
            return;  // nothing to browse, copy or mark
        const ResultListRow r = resultRow(*List3, row);
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
            if (markResultRow(*List3, row, index == 7))
                m_ctx.bProjectSaved = false;
            break;
        default:
            break;
        }
    });
}

void Form1::copyToClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear();
    clipboard->setText(text);
}

void Form1::browseURL(const QString &url)
{
    ignoringFailures([&] {
        const QString address = browsableAddress(url);
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

void Form1::lstErr_BeforeLabelEdit()
{
    // Opens the row in the Web tab; the row's text itself is never edited.
    ignoringFailures([&] {
        const int row = lstErr->selectedRow();
        if (row == 0)
            return;
        const QString address = browsableAddress(errorRow(*lstErr, row).url);
        if (!webTab.navigate) {
            m_ctx.shell().open(address);
            return;
        }
        if (webTab.show)
            webTab.show();
        webTab.navigate(address);
    });
}

void Form1::lstErr_ColumnClick(int column)
{
    EnhListView_SortColumns(m_ctx, *lstErr, column, false);
}

void Form1::lstErr_DblClick()
{
    const int row = lstErr->selectedRow();
    if (row == 0)
        return;
    m_ctx.shell().open(browsableAddress(errorRow(*lstErr, row).url));
}

} // namespace tarnwick
