#pragma once
// The "Links" tab: the results list and the error list on screen, the
// results list's pop-up menu, sorting, and opening a row's address.

#include <QList>
#include <QObject>
#include <QPoint>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace platform {
class ReportView;
}

namespace tarnwick {

class AppContext;
class Project;

class ResultsPanel : public QObject {
    Q_OBJECT
public:
    // The lists' views are made in page; the menu belongs to owner.
    ResultsPanel(AppContext &ctx, Project &project, QWidget *page, QWidget *owner);

    platform::ReportView *List3View = nullptr;
    platform::ReportView *lstErrView = nullptr;
    QLabel *lblErr = nullptr;  // "Errors/Warnings:" above the error list
    QMenu *Popup2 = nullptr;   // pop-up menu of the results list
    QList<QAction *> mnuPopup2Item;

    void List3_ColumnClick(int column);
    void List3_DblClick();
    void List3_MouseDown(Qt::MouseButton button, QPoint globalPos);
    void mnuPopup2Item_Click(int index);
    // Opens an address in the Web tab.
    void browseURL(const QString &url);
    void lstErr_BeforeLabelEdit();
    void lstErr_ColumnClick(int column);
    void lstErr_DblClick();

    // The Web tab's browser, supplied by the window. Without a navigate
    // step the rows open in the desktop's browser instead.
    struct WebTab {
        std::function<void()> show;                       // "Web" tab selected, browser shown, lists hidden
        std::function<void(const QString &)> setAddress;  // the address box
        std::function<void(bool)> setSilent;              // no script-error dialogs
        std::function<void(const QString &)> navigate;
    };
    WebTab webTab;

private:
    void copyToClipboard(const QString &text);

    AppContext &m_ctx;
    Project &m_project;
    // A second click on the selected error row opens it, unless it turns out
    // to be a double-click.
    int m_lstErrPressedOn = 0;
    int m_lstErrClickSerial = 0;
};

} // namespace tarnwick
