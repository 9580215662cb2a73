#pragma once
// The main window. It shows the project (main sites, their linking-site
// lists, results, errors, rules, post targets and link-page blocks) and the
// scan, and hands what the user does to the Project and the Scanner. The
// results, report, Web tab and statistics areas are classes of their own.

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "shell/mainwindow/layout.h"
#include "shell/windows/mainwindowlink.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace platform {
class ReportView;
}

namespace tarnwick {

class AppContext;
class Project;
class Scanner;
class TabStrip;
class ResultsPanel;
class ReportPanel;
class WebPanel;
class WindowRegistry;
class StatisticsPanel;
class MainWindowScanDisplay;
class ScanStatus;
class ScanDisplay;

class Form1 : public QMainWindow, public MainWindowLink {
    Q_OBJECT
public:
    Form1(AppContext &ctx, WindowRegistry &windows, QWidget *parent = nullptr);
    ~Form1() override;

    // What the window shows and hands the user's commands to.
    Project &project() { return *m_project; }
    Scanner &scanner() { return *m_scanner; }

    // The load step, run once after the window is built (by the splash
    // window).
    void Form_Load();

    // ---- What other windows tell it ----
    void linkingSitesAdded() override;
    void setPanelText(int panel, const QString &text) override;  // panels from 1

    // ---- What the benchmarks measure ----
    QListView *List4View = nullptr;
    // Open the import windows (one of each; a second open brings it forward):
    // linking sites, main sites.
    void cmdImport_Click();
    void cmdImport2_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class MainWindowScanDisplay;
    // The few things a window test checks that no click or key reaches.
    friend struct MainWindowTestAccess;

    // The window has closed and shut the scan down.
    bool unloaded() const { return m_unloaded; }

    // ---- Areas with their own controls ----
    ResultsPanel *results = nullptr;        // Links tab: results and errors
    ReportPanel *report = nullptr;          // Reports tab: the report view
    WebPanel *web = nullptr;                // Web tab: the built-in browser
    StatisticsPanel *statistics = nullptr;  // page queue and counters

    // ---- Site lists ----
    platform::ReportView *List1View(int index);  // nullptr when there is no such list
    QLabel *lblblah = nullptr;                   // heading of the linking-site list: names the main site
    QLineEdit *txtDomain = nullptr;
    QPushButton *cmdAdd2 = nullptr;
    QPushButton *cmdEditMain = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdImport2 = nullptr;  // imports main sites
    QLabel *Label2 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmbDel = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdImport = nullptr;  // imports linking sites
    QPushButton *cmdNextSearch = nullptr;
    QMenu *Popup1 = nullptr;
    // "Automation": opens the linking-site import too. The window gives it no
    // place, so it waits with the controls no tab shows.
    QPushButton *Command7 = nullptr;

    void cmdAdd2_Click();
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
    // A linking-site list of the selected main site has grown.
    void updateNextSearchButton();
    // Open the linking-site editor and the main-site editor.
    void cmdEdit_Click();
    void cmdEditMain_Click();
    void Command7_Click();

    // ---- Project files ----
    QPushButton *cmdNew = nullptr;
    QPushButton *cmdOpen = nullptr;
    QPushButton *cmdSave = nullptr;
    void cmdOpen_Click();
    // True when the project was saved.
    bool cmdSave_Click();
    void cmdDelete_Click();
    // Asks "Save Project?" when the project has unsaved changes and saves on
    // Yes. With canCancel the question offers Cancel too, and the answer is
    // whether the caller may go on: not after Cancel or a save that did not
    // happen. Without it the caller always goes on.
    bool saveChangesFirst(bool canCancel);
    // Opens a project file (into an empty project) and shows its saved
    // report; false when it could not be read.
    bool openProject(const QString &path, QString *error = nullptr);

    // ---- Scan ----
    QMenu *mnuScan = nullptr;
    QMenu *mnuSkipPopup = nullptr;
    QList<QAction *> mnuScanItem;
    QList<QAction *> mnuSkipItem;
    QPushButton *Command1 = nullptr;     // "Start Scan"
    QPushButton *cmdStop = nullptr;
    QPushButton *cmdSkip = nullptr;
    QPushButton *cmdResume = nullptr;
    QPushButton *cmdDoSearch = nullptr;  // "Start Search"
    QPushButton *Command10 = nullptr;    // pops up the scan-type menu
    QPushButton *Command11 = nullptr;    // pops up the skip-type menu
    QProgressBar *pb1 = nullptr;         // progress of the page downloading
    void mnuScanItem_Click(int index);
    void mnuSkipItem_Click(int index);
    void Command1_Click();
    void cmdStop_Click();
    void cmdSkip_Click();
    void cmdResume_Click();
    void cmdDoSearch_Click();  // "Start Search"
    void cmdNextSearch_Click();
    void Command10_Click();
    void Command11_Click();

    // ---- Status bar ----
    QStatusBar *StatusBar1 = nullptr;
    QString panelText(int panel) const;
    void repaintStatusBar();

    // ---- Link page and posting ----
    QPlainTextEdit *txtHTML1 = nullptr;
    QPlainTextEdit *txtHTML2 = nullptr;
    QPlainTextEdit *txtHTML3 = nullptr;
    QLineEdit *txtPost = nullptr;
    QLineEdit *txtPost2 = nullptr;
    QComboBox *cmbSites = nullptr;
    platform::ReportView *lstMultiView = nullptr;
    QRadioButton *optScript[2] = {};  // 0 one script URL, 1 a URL per main site
    QRadioButton *optAll[2] = {};     // 0 links for all main sites, 1 for Combo3's
    QComboBox *Combo3 = nullptr;      // main site of the link page
    QCheckBox *chkBullet = nullptr;
    QCheckBox *chkNewWin = nullptr;
    QPushButton *cmdScriptAdd = nullptr;
    QPushButton *cmdScriptDel = nullptr;
    QPushButton *Command5 = nullptr;      // "Generate Links"
    QPushButton *Command6 = nullptr;      // "Save Webpage"
    QPushButton *cmdPost = nullptr;       // "Post Links Now"
    QPushButton *cmdExample = nullptr;    // "View Example"
    QPushButton *cmdVariables = nullptr;  // "View URL Variables"
    QLabel *lblHTML1 = nullptr;   // caption of the first link-page block
    QLabel *Label14 = nullptr;    // caption of the last link-page block
    QLabel *SkinLabel9 = nullptr;  // heading of the Post tab
    void txtHTML1_Change();
    void txtHTML2_Change();
    void txtHTML3_Change();
    void optScript_Click(int index);
    void optAll_Click(int index);
    void chkBullet_Click();
    void chkNewWin_Click();
    void Command5_Click();  // fills txtHTML2 from the results
    void Command6_Click();  // saves the three blocks as one page
    void cmdPost_Click();   // posts every result to the script URLs
    void cmdScriptAdd_Click();
    void cmdScriptDel_Click();
    void cmbSites_KeyPress(int keyAscii);
    void txtPost2_KeyPress(int keyAscii);
    void lstMulti_ItemClick(int row);
    void cmdExample_Click();
    void cmdVariables_Click();
    bool posting() const { return m_posting; }  // one posting runs at a time

    // ---- Other options restored at start-up ----
    // The list builder's search words, search type and result size.
    QLineEdit *txtSearch = nullptr;
    QComboBox *Combo1 = nullptr;
    QComboBox *Combo2 = nullptr;
    QComboBox *cmbLastSearch = nullptr;
    void Combo1_Click();
    void Combo2_Click();
    void cmbLastSearch_Change();
    bool bSized = false;  // the column widths have been set

    // ---- Other buttons ----
    QPushButton *Command9 = nullptr;         // "Options"
    QPushButton *Command2 = nullptr;         // "Export Emails"
    QPushButton *Command3 = nullptr;         // "Delete All Emails"
    QPushButton *cmdViewDatabase = nullptr;  // "View Database"
    QPushButton *cmdWebsite = nullptr;
    void Command9_Click();
    void cmdWebsite_Click();
    void Command2_Click();
    void Command3_Click();
    void cmdViewDatabase_Click();

    // ---- Start-up ----
    // Called with each load step's number (1..15) just before the step runs.
    std::function<void(int step)> onLoadStep;
    // Puts the options back as the user left them.
    void loadSettings();
    // The containers whose plain labels are drawn as skinned labels.
    QList<QWidget *> skinLabelContainers() const;

    // ---- Layout ----
    // Frame1 holds the main-site part innerFrame1 above the linking-site part
    // innerFrame2; Frame2 the tab strip and the controls of its tabs; Frame6
    // ("Scan Progress and Statistics") the page queue and the statistics;
    // Frame5 the page builder and framePost the posting controls, both in
    // the tab area.
    QWidget *Frame1 = nullptr;
    QWidget *innerFrame1 = nullptr;
    QFrame *innerFrame2 = nullptr;
    QWidget *Frame2 = nullptr;
    QWidget *Frame6 = nullptr;
    QWidget *Frame5 = nullptr;
    QWidget *framePost = nullptr;
    TabStrip *TabStrip1 = nullptr;
    // Runs on every change of the window's size or state.
    void Form_Resize();
    // Places the controls for the window's size.
    void resizeControls();

    // ---- Menus ----
    QMenu *mnuFile = nullptr;
    QMenu *mnuHelp = nullptr;
    QMenu *mnuAbout = nullptr;
    QList<QAction *> mnuFileItem;  // New, Open, Import (hidden), Save, Exit
    QList<QAction *> mnuHelpItem;
    QList<QAction *> mnuAboutItem;
    QList<QAction *> mnuPopup1Item;  // the items of Popup1
    void mnuFileItem_Click(int index);
    void mnuHelpItem_Click(int index);
    void mnuAboutItem_Click(int index);
    void mnuPopup1Item_Click(int index);

    // ---- Tabs ----
    // Shows the controls of the selected tab and hides the others.
    void TabStrip1_Click();
    // The controls shown by tab index (1..5).
    QList<QWidget *> tabControls(int index) const;

    // ---- Shut-down ----
    // Runs when the window closes (close box, File > Exit or any other
    // close); only the first call does anything. Cancel is never set.
    void Form_Unload(int &Cancel);

    // Construction, area by area.
    void buildFrames();
    void buildSiteControls();
    void buildProjectBindings();
    void buildFileControls();
    void buildScanControls();
    void buildOptionControls();
    void buildImportControls();
    void buildMenus();
    void buildTabs();
    void connectPagesAndPost();
    // Puts every control where it was designed, after all areas have built
    // theirs, and shows the first tab.
    void placeControls();

    platform::ReportView *createLinkListView(int index);
    void removeLinkListView(int index);
    void resetEntryControls();
    // What the site lists show once a main site, or a linking site, is
    // selected, whether by the user or by a scan or a load.
    void showSelectedMainSite();
    void showLinkingSiteSelected();
    // Puts text into a link-page block without it counting as an edit.
    void showBlock(QPlainTextEdit *block, const QString &text);
    void blockChanged(int block, QPlainTextEdit *edit, const QString &key);
    void setScanControlsEnabled(bool scanning);
    void enablePostTargets(int mode);
    void fillMainSiteChooser(QComboBox *chooser);
    void syncFileMenu();
    bool mainSiteDeletionBusy() const;
    void updateDeleteButton();
    void applyGeometry();
    void applyColumnWidths(const layout::ColumnWidths &columns);
    QSize clientSize() const;

    AppContext &m_ctx;
    WindowRegistry &m_windows;
    Project *m_project = nullptr;
    Scanner *m_scanner = nullptr;
    std::unique_ptr<ScanDisplay> m_scanDisplay;
    std::vector<platform::ReportView *> m_list1Views;
    QWidget *m_central = nullptr;
    QWidget *m_shellOptions = nullptr;  // holder of the controls no tab shows
    QLabel *m_panels[4] = {};
    ScanStatus *m_scanStatus = nullptr;  // what a running scan shows, drawn at the paint rate
    QList<QPointer<QWidget>> m_restingControls;  // disabled while scanning
    qint64 m_statusPaintedAt = 0;  // steady clock, ms: when the status bar was last drawn at once
    layout::MainWindowGeometry m_geometry;  // the arrangement the rules work on, in twips
    bool m_layoutReady = false;  // every control exists and has its place
    bool m_unloaded = false;
    bool m_posting = false;
    bool m_showingBlock = false;  // a block shows stored text; no edit
    bool m_list4ChangedByPress = false;  // the press of the click under way changed the main site
    bool m_deletingMainSite = false;     // a main-site deletion (with its report) is under way
};

} // namespace tarnwick
