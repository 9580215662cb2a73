// The main window's construction, its site lists and the status bar.

#include "shell/mainwindow/form1.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStatusBar>

#include "scanner/linkrules.h"
#include "scanner/scanner.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/resultspanel.h"
#include "shell/mainwindow/scanstatus.h"
#include "shell/mainwindow/statistics.h"
#include "shell/mainwindow/webpanel.h"
#include "shell/windowregistry.h"
#include "shell/windows/controls.h"
#include "widgets/reportview.h"
#include "workspace/context.h"
#include "workspace/fieldtext.h"
#include "workspace/project.h"
#include "workspace/services.h"
#include "workspace/settingkeys.h"
#include "workspace/textcase.h"

namespace tarnwick {

namespace {

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

// The heading over the linking sites of main site n (from 1).
QString linkingSitesHeading(const Project &project, int n)
{
    return QStringLiteral("Enter linking sites: ") + project.mainSiteText(n);
}

} // namespace

Form1::Form1(AppContext &ctx, WindowRegistry &windows, QWidget *parent)
    : QMainWindow(parent)
    , m_ctx(ctx)
    , m_windows(windows)
    , m_project(new Project(ctx, this))
    , m_scanner(new Scanner(ctx, *m_project, this))
{
    m_windows.mainWindow = this;
    m_windows.mainWindowUnloaded = false;
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("formSurface"));
    m_central = central;
    setCentralWidget(central);

    buildFrames();
    buildSiteControls();
    buildFileControls();
    buildScanControls();
    results = new ResultsPanel(m_ctx, *m_project, Frame2, this);
    report = new ReportPanel(m_ctx, *m_project, Frame2, this);
    statistics = new StatisticsPanel(m_ctx, *m_project, Frame6, this);
    buildOptionControls();
    buildImportControls();
    buildMenus();
    buildTabs();
    buildProjectBindings();
    connectPagesAndPost();
    placeControls();

    // Size changes of the window's surface, its state changes and its close
    // come through the window's event filter.
    m_central->installEventFilter(this);
    installEventFilter(this);
}

Form1::~Form1()
{
    // Nothing may count into a window that is gone.
    m_ctx.onStatsChanged = nullptr;
    m_scanner->setDisplay(nullptr);
    if (m_windows.mainWindow == this)
        m_windows.mainWindow = nullptr;
    // The views go before the models they show, the scanner before the
    // project it walks.
    delete m_central;
    delete m_scanner;
    delete m_project;
}

void Form1::buildSiteControls()
{
    // Every control has its place by the window's layout rules (placeControls
    // and resizeControls); here they are only made, in their frames.
    txtDomain = new QLineEdit(innerFrame1);
    txtDomain->setObjectName(QStringLiteral("txtDomain"));
    txtDomain->setToolTip(QStringLiteral("Enter the website you want to find links to from remote sites"));
    cmdAdd2 = makeButton(QStringLiteral("Add"), QStringLiteral("Add a new Main Site"), QStringLiteral("cmdAdd2"),
                         innerFrame1);
    cmdEditMain = makeButton(QStringLiteral("Edit"), QStringLiteral("Edit the main site you have selected below"),
                             QStringLiteral("cmdEditMain"), innerFrame1);
    cmdDelete = makeButton(QStringLiteral("Del"), QStringLiteral("Delete the main site you have selected below"),
                           QStringLiteral("cmdDelete"), innerFrame1);
    cmdImport2 = makeButton(QStringLiteral("Import"), QStringLiteral("Import Main Sites from a file"),
                            QStringLiteral("cmdImport2"), innerFrame1);
    makeLabel(QStringLiteral("Enter main sites:"), QStringLiteral("lblMainSites"), innerFrame1)->setIndent(8);
    makeLabel(QStringLiteral("URL:"), QStringLiteral("lblMainURL"), innerFrame1);

    platform::ListBox *List4 = m_project->List4;
    List4View = new QListView(innerFrame1);
    List4View->setObjectName(QStringLiteral("List4"));
    List4View->setModel(List4);
    List4View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List4View->setSelectionMode(QAbstractItemView::SingleSelection);
    // One line each: sites added in bulk are not measured one by one.
    List4View->setUniformItemSizes(true);

    // A click (or a keyboard move) in the view is the user's click, which
    // runs the click handler; an index set by code only shows in the view and
    // its linking sites. A click on the row already current clicks too, but
    // a click that just made its row current has clicked once already.
    connect(List4View->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, List4](const QModelIndex &current) {
                if (current.isValid() && current.row() != List4->listIndex()) {
                    m_list4ChangedByPress = true;
                    List4->click(current.row());
                }
            });
    connect(List4View, &QListView::clicked, this, [this, List4](const QModelIndex &index) {
        if (index.isValid() && index.row() == List4->listIndex() && !m_list4ChangedByPress)
            List4->click(index.row());
        m_list4ChangedByPress = false;
    });
    List4View->viewport()->installEventFilter(this);
    connect(List4, &platform::ListBox::listIndexChanged, this, [this, List4](int index) {
        const QModelIndex mi = List4->index(index);
        if (List4View->currentIndex() != mi)
            List4View->setCurrentIndex(mi);
        showSelectedMainSite();
    });
    connect(List4, &platform::ListBox::clicked, this, [this] { List4_Click(); });

    // Linking sites of the selected main site.
    innerFrame2 = new QFrame(Frame1);
    innerFrame2->setObjectName(QStringLiteral("innerFrame2"));
    lblblah = makeLabel(QString(), QStringLiteral("lblblah"), innerFrame2);
    // The heading names the selected main site, also after its editor renamed it.
    connect(List4, &QAbstractItemModel::dataChanged, this,
            [this, List4](const QModelIndex &from, const QModelIndex &to) {
                const int sel = List4->listIndex();
                if (sel >= from.row() && sel <= to.row())
                    lblblah->setText(linkingSitesHeading(*m_project, sel + 1));
            });
    Label2 = makeLabel(QStringLiteral("URL:"), QStringLiteral("Label2"), innerFrame2);
    Text1 = new QLineEdit(innerFrame2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Enter the URL of the website/page you want to search for links."));
    cmdAdd = makeButton(QStringLiteral("Add"), QStringLiteral("Add a new Linking Site"), QStringLiteral("cmdAdd"),
                        innerFrame2);
    cmbDel = makeButton(QStringLiteral("Del"), QStringLiteral("Delete the selected Linking Site"),
                        QStringLiteral("cmbDel"), innerFrame2);
    cmdEdit = makeButton(QStringLiteral("Edit"), QStringLiteral("Edit the selected Linking Site"),
                         QStringLiteral("cmdEdit"), innerFrame2);
    cmdImport = makeButton(QStringLiteral("Import"), QStringLiteral("Import Linking Sites from a file or a website"),
                           QStringLiteral("cmdImport"), innerFrame2);
    innerFrame2->hide();

    m_list1Views.push_back(createLinkListView(0));
    m_list1Views[0]->hide();

    cmdNextSearch = makeButton(QStringLiteral("Skip"),
                               QStringLiteral("Skip to the next website in your list of sites to check"),
                               QStringLiteral("cmdNextSearch"), Frame6);
    cmdNextSearch->setEnabled(false);

    Popup1 = new QMenu(QStringLiteral("Popup1"), this);
    Popup1->setObjectName(QStringLiteral("Popup1"));
    QAction *deleteSite = Popup1->addAction(QStringLiteral("Delete Site"));
    connect(deleteSite, &QAction::triggered, this, [this] { cmbDel_Click(); });

    // The status bar lies at the foot of the window's own surface, so the
    // progress bar can be laid over it in the same coordinates.
    StatusBar1 = new QStatusBar(m_central);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(StatusBar1);
        m_panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
    }

    connect(cmdAdd2, &QPushButton::clicked, this, [this] { cmdAdd2_Click(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmbDel, &QPushButton::clicked, this, [this] { cmbDel_Click(); });
    connect(cmdEdit, &QPushButton::clicked, this, [this] { cmdEdit_Click(); });
    connect(cmdEditMain, &QPushButton::clicked, this, [this] { cmdEditMain_Click(); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(txtDomain, &QLineEdit::textChanged, this, [this] { txtDomain_Change(); });
    connect(Text1, &QLineEdit::returnPressed, this, [this] { Text1_KeyPress(13); });
    connect(txtDomain, &QLineEdit::returnPressed, this, [this] { txtDomain_KeyPress(13); });
    Text1->installEventFilter(this);
    txtDomain->installEventFilter(this);

    cmdAdd->setEnabled(false);
    cmbDel->setEnabled(false);
    cmdEdit->setEnabled(false);
    cmdDelete->setEnabled(false);
    cmdEditMain->setEnabled(false);
}

void Form1::buildProjectBindings()
{
    // Each linking-site list of the project has its view here.
    // Its view is made when first needed: a project of many main sites
    // does not pay for views nobody looks at.
    connect(m_project, &Project::linkingSiteListAdded, this, [this](int index) {
        if (int(m_list1Views.size()) <= index)
            m_list1Views.resize(size_t(index) + 1, nullptr);
    });
    connect(m_project, &Project::linkingSiteListRemoved, this, [this](int index) { removeLinkListView(index); });
    connect(m_project, &Project::cleared, this, [this] { resetEntryControls(); });

    // The link-page blocks and the single post target show the project's
    // text; what the user types goes back into the project.
    QPlainTextEdit *blocks[3] = {txtHTML1, txtHTML2, txtHTML3};
    for (int b = 1; b <= 3; ++b) {
        QPlainTextEdit *edit = blocks[b - 1];
        connect(m_project, &Project::htmlChanged, edit, [this, edit, b](int block) {
            if (block == b && edit->toPlainText() != m_project->html(b))
                showBlock(edit, m_project->html(b));
        });
    }
    connect(txtHTML1, &QPlainTextEdit::textChanged, this, [this] { txtHTML1_Change(); });
    connect(txtHTML2, &QPlainTextEdit::textChanged, this, [this] { txtHTML2_Change(); });
    connect(txtHTML3, &QPlainTextEdit::textChanged, this, [this] { txtHTML3_Change(); });
    txtPost->setText(m_project->postTarget());
    connect(m_project, &Project::postTargetChanged, txtPost, [this] {
        if (txtPost->text() != m_project->postTarget())
            txtPost->setText(m_project->postTarget());
    });
    connect(txtPost, &QLineEdit::textChanged, this, [this](const QString &text) { m_project->setPostTarget(text); });

    // Counting redraws the statistics (during a scan at the paint rate).
    m_ctx.onStatsChanged = [this] {
        if (m_scanStatus)
            m_scanStatus->statsChanged();
        else
            statistics->StatsD();
    };

    // No main site is deleted while a report is built.
    connect(report, &ReportPanel::buildingChanged, this, [this] { updateDeleteButton(); });
}

platform::ReportView *Form1::createLinkListView(int index)
{
    platform::ListView *model = m_project->List1(index);
    auto *view = new platform::ReportView(innerFrame2);
    view->setObjectName(QStringLiteral("List1_%1").arg(index));
    view->setListView(model);
    if (!m_list1Views.empty() && m_list1Views[0]->header()->count() > 0) {
        for (int c = 0; c < m_list1Views[0]->header()->count(); ++c)
            view->setColumnWidth(c, m_list1Views[0]->columnWidth(c));
    }
    // Every list sits where the template does; only the current one is
    // visible.
    if (!m_list1Views.empty())
        view->setGeometry(m_list1Views[0]->geometry());
    view->hide();
    connect(view, &platform::ReportView::itemClicked, this, [this, index](int row) { List1_ItemClick(index, row); });
    connect(view, &platform::ReportView::columnClicked, this,
            [this, index](int column) { List1_ColumnClick(index, column); });
    connect(view, &platform::ReportView::mousePressed, this,
            [this, index](Qt::MouseButton b, QPoint pos) { List1_MouseDown(index, b, pos); });
    return view;
}

void Form1::removeLinkListView(int index)
{
    if (index <= 0 || index != int(m_list1Views.size()) - 1)
        return;
    platform::ReportView *view = m_list1Views.back();
    m_list1Views.pop_back();
    if (view) {
        view->hide();
        view->deleteLater();
    }
}

platform::ReportView *Form1::List1View(int index)
{
    if (index < 0 || index >= int(m_list1Views.size()))
        return nullptr;
    platform::ReportView *&view = m_list1Views[size_t(index)];
    if (!view)
        view = createLinkListView(index);
    return view;
}

void Form1::setPanelText(int panel, const QString &text)
{
    if (panel < 1 || panel > 4)
        return;
    // What the scan left waiting for the panel is older than this.
    if (m_scanStatus)
        m_scanStatus->forget(panel);
    m_panels[panel - 1]->setText(text);
}

QString Form1::panelText(int panel) const
{
    if (panel < 1 || panel > 4)
        return QString();
    if (m_scanStatus) {
        if (const std::optional<QString> waiting = m_scanStatus->waitingText(panel))
            return *waiting;
    }
    return m_panels[panel - 1]->text();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && List4View && watched == List4View->viewport()) {
        // Only a change made by this press counts against its click.
        m_list4ChangedByPress = false;
    } else if (watched == m_central && event->type() == QEvent::Resize) {
        Form_Resize();
    } else if (watched == this && event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    } else if (watched == this && event->type() == QEvent::Close) {
        int cancel = 0;
        Form_Unload(cancel);
    } else if ((watched == cmdNew || watched == cmdOpen) && event->type() == QEvent::EnabledChange) {
        syncFileMenu();
    } else if (event->type() == QEvent::FocusIn) {
        if (watched == Text1)
            Text1_GotFocus();
        else if (watched == txtDomain)
            txtDomain_GotFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Site lists ----

void Form1::cmdAdd2_Click()
{
    const QString text = storedField(txtDomain->text());
    // A scheme alone names no site: the scan would take every link for one
    // to it.
    if (isBlank(text) || isBlank(stripDomain(text))) {
        setPanelText(1, QStringLiteral("Error: Please enter a Remote Site first!"));
        return;
    }
    const int n = m_project->addMainSite(text);
    m_project->List4->setListIndex(n - 1);
    // The new main site's linking sites are typed from an empty box.
    Text1->setText(QString());
    txtDomain->setText(QString());
    txtDomain->setFocus();
    m_project->bProjectSaved = false;
}

void Form1::List4_Click()
{
    if (m_project->List4->listIndex() < 0)
        return;
    showSelectedMainSite();
    Text1->setText(QString());
}

void Form1::showSelectedMainSite()
{
    const int sel = m_project->List4->listIndex() + 1;
    if (sel < 1)
        return;
    Text1->setEnabled(true);
    cmdDelete->setEnabled(!mainSiteDeletionBusy());
    cmdEditMain->setEnabled(true);
    for (int i = 1; i < int(m_list1Views.size()); ++i) {
        if (i == sel) {
            List1View(i)->show();
            cmdAdd->show();
            cmbDel->show();
            cmdEdit->show();
            lblblah->setText(linkingSitesHeading(*m_project, sel));
            lblblah->setBuddy(m_list1Views[size_t(i)]);
            lblblah->show();
            Text1->show();
            Label2->show();
            innerFrame2->show();
            cmbDel->setEnabled(false);
            cmdEdit->setEnabled(false);
        } else if (m_list1Views[size_t(i)]) {
            m_list1Views[size_t(i)]->hide();
        }
    }
}

void Form1::cmdAdd_Click()
{
    QString text = storedField(Text1->text());
    removeHttpSchemes(text);
    Text1->setText(text);
    const int n = m_project->iCurrentMain;
    if (isBlank(text)) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("Please enter the Website URL first."), platform::vbOKOnly);
    } else if (const QString tag = leadingTagWord(text.trimmed()); !tag.isEmpty()) {
        m_ctx.dialogs().msgBox(this, tagWordMessage(tag), platform::vbOKOnly);
    } else if (n >= 1 && m_project->List1(n)) {
        m_project->addLinkingSite(n, LinkingSiteRow{text.trimmed(), QStringLiteral("1"), {}, {}, {}});
        updateNextSearchButton();
        Text1->setText(QString());
    }
    Text1->setFocus();
}

void Form1::updateNextSearchButton()
{
    platform::ListView *list = m_project->List1(m_project->iCurrentMain);
    cmdNextSearch->setEnabled(m_ctx.bScanning && m_project->iCurrentMain >= 1 && list && list->count() >= 2);
}

void Form1::linkingSitesAdded()
{
    updateNextSearchButton();
}

void Form1::List1_ItemClick(int index, int row)
{
    platform::ListView *list = m_project->List1(index);
    if (list && list->isValidRow(row) && !list->isSelected(row))
        list->setSelectedRow(row);
    showLinkingSiteSelected();
}

void Form1::showLinkingSiteSelected()
{
    cmbDel->setEnabled(true);
    cmdEdit->setEnabled(true);
    cmdDelete->setEnabled(false);
    cmdEditMain->setEnabled(false);
}

void Form1::List1_MouseDown(int index, Qt::MouseButton button, QPoint globalPos)
{
    // The main site of the list pressed is the selected one.
    if (index >= 1 && m_project->List1Exists(index))
        m_project->List4->setListIndex(index - 1);
    if (button == Qt::RightButton)
        Popup1->popup(globalPos);
}

void Form1::List1_ColumnClick(int index, int column)
{
    platform::ListView *list = m_project->List1(index);
    if (!list)
        return;
    if (m_ctx.bScanning) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("You cannot sort this column while a search is running."),
                               platform::vbOKOnly);
        return;
    }
    EnhListView_SortColumns(m_ctx, *list, column, false);
}

void Form1::cmbDel_Click()
{
    const int n = m_project->iCurrentMain;
    platform::ListView *list = m_project->List1(n);
    const int idx = (list && n >= 1) ? list->selectedRow() : 0;
    if (idx < 1) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("You must select a site to delete."), platform::vbOKOnly);
        updateNextSearchButton();
        return;
    }
    // The row the scan is on and the rows it has passed stay while it runs.
    if (m_ctx.bScanning && n == m_scanner->currentMain() && idx <= m_scanner->iCurrentSite()) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("You cannot delete the current site while the search is running."),
                               platform::vbOKOnly);
        updateNextSearchButton();
        return;
    }
    m_project->removeLinkingSite(n, idx);
    updateNextSearchButton();
}

void Form1::cmdNew_Click()
{
    // Unsaved work is not thrown away without a word.
    if (saveChangesFirst(true))
        m_project->clear();
}

void Form1::resetEntryControls()
{
    cmbSites->clear();
    cmbSites->setEditText(QString());
    txtDomain->setText(QString());
    txtPost2->setText(QStringLiteral("http://"));
    Text1->setText(QString());
    innerFrame2->hide();
}

void Form1::Text1_Change()
{
    cmdAdd->setEnabled(!Text1->text().isEmpty());
}

void Form1::txtDomain_Change()
{
    if (m_project->bJustLoaded)
        m_project->bJustLoaded = false;
    else
        m_project->bProjectSaved = false;
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

void Form1::showBlock(QPlainTextEdit *block, const QString &text)
{
    const QScopedValueRollback<bool> showing(m_showingBlock, true);
    block->setPlainText(text);
}

void Form1::blockChanged(int block, QPlainTextEdit *edit, const QString &key)
{
    // The blocks are saved with the project: a change to one must not be
    // lost, unless it only shows what the project or the settings hold.
    if (!m_showingBlock)
        m_project->bProjectSaved = false;
    m_project->setHtml(block, edit->toPlainText());
    m_ctx.settings().set(key, edit->toPlainText());
}

void Form1::txtHTML1_Change()
{
    blockChanged(1, txtHTML1, key::txtHTML1);
}

void Form1::txtHTML2_Change()
{
    blockChanged(2, txtHTML2, key::txtHTML2);
}

void Form1::txtHTML3_Change()
{
    blockChanged(3, txtHTML3, key::txtHTML3);
}

} // namespace tarnwick
