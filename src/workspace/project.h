#pragma once
// The main window. It holds the whole project in its own controls: the
// main-site list, one linking-site list per main site, the rules, the post
// targets and the link-page blocks. Other windows and the scanner read and
// write them here.

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <vector>

#include "platform/listbox.h"
#include "platform/listview.h"
#include "platform/reportview.h"
#include "shell/layout.h"
#include "workspace/context.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;

namespace platform {
class Socket;
}

namespace tarnwick {

// Placeholders of the three link-page blocks in a new project.
extern const QString kHtml1Placeholder;
extern const QString kHtml2Placeholder;
extern const QString kHtml3Placeholder;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(AppContext &ctx, QWidget *parent = nullptr);
    ~Form1() override;

    AppContext &ctx() { return m_ctx; }

    // ---- Project model ----
    // Main sites, one per item; item n-1 is main site n.
    platform::ListBox *List4 = nullptr;
    QListView *List4View = nullptr;

    // Linking-site lists. Element 0 is the template; element n belongs to
    // main site n. Elements are always numbered 0..N without gaps.
    struct LinkList {
        platform::ListView *model = nullptr;
        platform::ReportView *view = nullptr;
    };
    int List1Count() const { return int(m_list1.size()); }  // including the template
    bool List1Exists(int index) const { return index >= 0 && index < int(m_list1.size()); }
    platform::ListView *List1(int index) const;             // nullptr when not loaded
    platform::ReportView *List1View(int index) const;

    platform::ListBox *List2 = nullptr;       // page queue
    platform::ListView *List3 = nullptr;      // results
    platform::ListView *lstErr = nullptr;     // errors
    platform::ListView *lstRules = nullptr;   // rules, every scope
    platform::ListView *lstMulti = nullptr;   // per-main-site script URLs
    platform::ReportView *List3View = nullptr;
    platform::ReportView *lstErrView = nullptr;
    platform::ReportView *lstRulesView = nullptr;
    platform::ReportView *lstMultiView = nullptr;

    QLineEdit *txtPost = nullptr;
    QLineEdit *txtPost2 = nullptr;
    QComboBox *cmbSites = nullptr;
    QPlainTextEdit *txtHTML1 = nullptr;
    QPlainTextEdit *txtHTML2 = nullptr;
    QPlainTextEdit *txtHTML3 = nullptr;

    // Entry controls of the site lists.
    QLineEdit *txtDomain = nullptr;
    QPushButton *cmdAdd2 = nullptr;
    QPushButton *cmdEditMain = nullptr;
    QPushButton *cmdDelete = nullptr;
    QFrame *innerFrame2 = nullptr;
    QLabel *lblblah = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmbDel = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdNextSearch = nullptr;
    QMenu *Popup1 = nullptr;

    // Status bar panels, from 1.
    QStatusBar *StatusBar1 = nullptr;
    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;

    // Main-window members shared with the scanner.
    int iCurrentSite = 0;  // current linking-site row, from 1; 0 when idle
    int itmX = 0;          // row most recently added (of the list last written)

    // ---- Handlers ----
    void cmdAdd2_Click();
    void addList();
    void List4_Click();
    void cmdAdd_Click();
    void List1_ItemClick(int index, int row);
    void List1_MouseDown(int index, Qt::MouseButton button, QPoint globalPos);
    void List1_ColumnClick(int index, int column);
    void cmbDel_Click();
    void cmdNew_Click();
    void Text1_Change();
    void txtDomain_Change();
    void Text1_KeyPress(int keyAscii);
    void txtDomain_KeyPress(int keyAscii);
    void Text1_GotFocus();
    void txtDomain_GotFocus();
    void txtHTML1_Change();
    void txtHTML2_Change();
    void txtHTML3_Change();

    // Helpers for other windows and tests.
    int mainSiteCount() const { return List4->count(); }
    QString mainSiteText(int n) const { return List4->item(n - 1); }  // n from 1
    void updateNextSearchButton();

    // The controls, members and handlers of the other areas of the window,
    // one fragment per area, so each area's code stays in its own folder.
#include "workspace/form1_files.inc"
#include "scanner/form1_scanner.inc"
#include "shell/form1_shell.inc"
#include "exchange/form1_results.inc"
#include "exchange/form1_report.inc"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    // Each area adds its own controls (defined in that area's folder).
    void buildFileControls();
    void buildScannerControls();
    void buildShellControls();
    void buildResultsControls();
    void buildReportControls();
    LinkList createLinkList(int index);
    void unloadLinkList(int index);

    AppContext &m_ctx;
    std::vector<LinkList> m_list1;
    QWidget *m_central = nullptr;
    QLabel *m_panels[4] = {};
};

} // namespace tarnwick
