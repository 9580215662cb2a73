// Construction of the main window's controls.

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
#include <QStatusBar>

#include "workspace/project.h"

namespace tarnwick {

const QString kHtml1Placeholder = QStringLiteral(
    "Paste all the HTML that you want to come before the links on your page here.  This will be the first part of "
    "your generated webpage.");
const QString kHtml2Placeholder =
    QStringLiteral("Your link HTML will be generate here.  This will be the second part of your generated webpage.");
const QString kHtml3Placeholder = QStringLiteral(
    "Paste all the HTML that you want to come after the links on your page here.  This will be the third part of "
    "your generated webpage.");

namespace {
const QStringList kLinkColumns = {QStringLiteral("Website"), QStringLiteral("#"), QStringLiteral("HTML Link"),
                                  QStringLiteral("HTML Name"), QStringLiteral("Description")};

QPushButton *button(const QString &caption, const QString &hint, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setToolTip(hint);
    return b;
}
} // namespace

Form1::Form1(AppContext &ctx, QWidget *parent)
    : QMainWindow(parent)
    , m_ctx(ctx)
{
    m_ctx.mainWindow = this;
    buildControls();
    buildFileControls();
    buildScannerControls();
    buildShellControls();
    buildResultsControls();
    buildReportControls();
    placeControls();
}

Form1::~Form1()
{
    if (m_ctx.mainWindow == this)
        m_ctx.mainWindow = nullptr;
}

void Form1::buildControls()
{
    // Every control has its place by the window's layout rules (placeControls
    // and resizeControls); here they are only made, in their frames.
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("formSurface"));
    m_central = central;
    setCentralWidget(central);
    buildFrames();

    // Main sites.
    txtDomain = new QLineEdit(innerFrame1);
    txtDomain->setObjectName(QStringLiteral("txtDomain"));
    txtDomain->setToolTip(QStringLiteral("Enter the website you want to find links to from remote sites"));
    cmdAdd2 = button(QStringLiteral("Add"), QStringLiteral("Add a new Main Site"), innerFrame1);
    cmdEditMain = button(QStringLiteral("Edit"), QStringLiteral("Edit the main site you have selected below"), innerFrame1);
    cmdDelete = button(QStringLiteral("Del"), QStringLiteral("Delete the main site you have selected below"), innerFrame1);
    cmdAdd2->setObjectName(QStringLiteral("cmdAdd2"));
    cmdEditMain->setObjectName(QStringLiteral("cmdEditMain"));
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    List4 = new platform::ListBox(this);
    List4View = new QListView(innerFrame1);
    List4View->setObjectName(QStringLiteral("List4"));
    List4View->setModel(List4);
    List4View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List4View->setSelectionMode(QAbstractItemView::SingleSelection);

    // A click (or a keyboard move) in the view sets the index, which raises
    // the click handler; an index set by code shows in the view.
    connect(List4View->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != List4->listIndex())
                    List4->setListIndex(current.row());
            });
    connect(List4View, &QListView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() == List4->listIndex())
            List4->setListIndex(index.row());
    });
    connect(List4, &platform::ListBox::listIndexChanged, this, [this](int index) {
        const QModelIndex mi = List4->index(index);
        if (List4View->currentIndex() != mi)
            List4View->setCurrentIndex(mi);
    });
    connect(List4, &platform::ListBox::clicked, this, [this] { List4_Click(); });

    // Linking sites of the selected main site.
    innerFrame2 = new QFrame(Frame1);
    innerFrame2->setObjectName(QStringLiteral("innerFrame2"));
    lblblah = new QLabel(innerFrame2);
    lblblah->setObjectName(QStringLiteral("lblblah"));
    Label2 = new QLabel(QStringLiteral("URL:"), innerFrame2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Text1 = new QLineEdit(innerFrame2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Enter the URL of the website/page you want to search for links."));
    cmdAdd = button(QStringLiteral("Add"), QStringLiteral("Add a new Linking Site"), innerFrame2);
    cmbDel = button(QStringLiteral("Del"), QStringLiteral("Delete the selected Linking Site"), innerFrame2);
    cmdEdit = button(QStringLiteral("Edit"), QStringLiteral("Edit the selected Linking Site"), innerFrame2);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmbDel->setObjectName(QStringLiteral("cmbDel"));
    cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    innerFrame2->hide();

    m_list1.push_back(createLinkList(0));
    m_list1[0].model->setColumnHeaders(kLinkColumns);
    m_list1[0].view->hide();

    cmdNextSearch = button(QStringLiteral("Skip"), QStringLiteral("Skip to the next website in your list of sites to check"),
                           Frame6);
    cmdNextSearch->setObjectName(QStringLiteral("cmdNextSearch"));
    cmdNextSearch->setEnabled(false);

    // The lists of the tab area; the rules list is never shown.
    auto makeList = [&](platform::ListView *&model, platform::ReportView *&view, const QStringList &headers,
                        QWidget *parent, const QString &name) {
        model = new platform::ListView(this);
        model->setColumnHeaders(headers);
        view = new platform::ReportView(parent);
        view->setObjectName(name);
        view->setListView(model);
    };
    makeList(List3, List3View,
             {QStringLiteral("Main"), QStringLiteral("Linking"), QStringLiteral("Status"), QStringLiteral("No."),
              QStringLiteral("Link URL")},
             Frame2, QStringLiteral("List3"));
    makeList(lstErr, lstErrView, {QStringLiteral("Error"), QStringLiteral("URL")}, Frame2, QStringLiteral("lstErr"));
    makeList(lstRules, lstRulesView,
             {QStringLiteral("MainSite"), QStringLiteral("RemoteSite"), QStringLiteral("RuleType"),
              QStringLiteral("RuleValue")},
             central, QStringLiteral("lstRules"));
    lstRulesView->hide();
    makeList(lstMulti, lstMultiView, {QStringLiteral("Main Site"), QStringLiteral("Script URL")}, framePost,
             QStringLiteral("lstMulti"));

    List2 = new platform::ListBox(this);

    txtPost = new QLineEdit(QStringLiteral("http://"), framePost);
    txtPost2 = new QLineEdit(QStringLiteral("http://"), framePost);
    cmbSites = new QComboBox(framePost);
    cmbSites->setEditable(true);
    txtHTML1 = new QPlainTextEdit(Frame5);
    txtHTML2 = new QPlainTextEdit(Frame5);
    txtHTML3 = new QPlainTextEdit(Frame5);
    txtPost->setObjectName(QStringLiteral("txtPost"));
    txtPost2->setObjectName(QStringLiteral("txtPost2"));
    cmbSites->setObjectName(QStringLiteral("cmbSites"));
    txtHTML1->setObjectName(QStringLiteral("txtHTML1"));
    txtHTML2->setObjectName(QStringLiteral("txtHTML2"));
    txtHTML3->setObjectName(QStringLiteral("txtHTML3"));

    // The status bar lies at the foot of the window's own surface, so the
    // progress bar can be laid over it in the same coordinates.
    StatusBar1 = new QStatusBar(central);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(StatusBar1);
        m_panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
    }

    Popup1 = new QMenu(QStringLiteral("Popup1"), this);
    QAction *deleteSite = Popup1->addAction(QStringLiteral("Delete Site"));
    connect(deleteSite, &QAction::triggered, this, [this] { cmbDel_Click(); });

    connect(cmdAdd2, &QPushButton::clicked, this, [this] { cmdAdd2_Click(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmbDel, &QPushButton::clicked, this, [this] { cmbDel_Click(); });
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(txtDomain, &QLineEdit::textChanged, this, [this] { txtDomain_Change(); });
    connect(Text1, &QLineEdit::returnPressed, this, [this] { Text1_KeyPress(13); });
    connect(txtDomain, &QLineEdit::returnPressed, this, [this] { txtDomain_KeyPress(13); });
    connect(txtHTML1, &QPlainTextEdit::textChanged, this, [this] { txtHTML1_Change(); });
    connect(txtHTML2, &QPlainTextEdit::textChanged, this, [this] { txtHTML2_Change(); });
    connect(txtHTML3, &QPlainTextEdit::textChanged, this, [this] { txtHTML3_Change(); });
    Text1->installEventFilter(this);
    txtDomain->installEventFilter(this);

    cmdAdd->setEnabled(false);
    cmbDel->setEnabled(false);
    cmdEdit->setEnabled(false);
    cmdDelete->setEnabled(false);
    cmdEditMain->setEnabled(false);
}

Form1::LinkList Form1::createLinkList(int index)
{
    LinkList l;
    l.model = new platform::ListView(this);
    if (!m_list1.empty())
        l.model->setColumnHeaders(m_list1[0].model->columnHeaders());
    l.view = new platform::ReportView(innerFrame2);
    l.view->setObjectName(QStringLiteral("List1_%1").arg(index));
    l.view->setListView(l.model);
    if (!m_list1.empty() && m_list1[0].view->header()->count() > 0) {
        for (int c = 0; c < m_list1[0].view->header()->count(); ++c)
            l.view->setColumnWidth(c, m_list1[0].view->columnWidth(c));
    }
    // Every list sits where the template does; only the current one is
    // visible.
    if (!m_list1.empty())
        l.view->setGeometry(m_list1[0].view->geometry());
    l.view->hide();
    connect(l.view, &platform::ReportView::itemClicked, this, [this, index](int row) { List1_ItemClick(index, row); });
    connect(l.view, &platform::ReportView::columnClicked, this,
            [this, index](int column) { List1_ColumnClick(index, column); });
    connect(l.view, &platform::ReportView::mousePressed, this,
            [this, index](Qt::MouseButton b, QPoint pos) { List1_MouseDown(index, b, pos); });
    return l;
}

void Form1::unloadLinkList(int index)
{
    // Only the highest element goes: the handlers of the others keep their
    // numbers.
    if (index <= 0 || index != int(m_list1.size()) - 1)
        return;
    LinkList l = m_list1[size_t(index)];
    m_list1.erase(m_list1.begin() + index);
    l.view->hide();
    l.view->deleteLater();
    l.model->deleteLater();
}

platform::ListView *Form1::List1(int index) const
{
    return List1Exists(index) ? m_list1[size_t(index)].model : nullptr;
}

platform::ReportView *Form1::List1View(int index) const
{
    return List1Exists(index) ? m_list1[size_t(index)].view : nullptr;
}

void Form1::setPanelText(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 4)
        m_panels[panel - 1]->setText(text);
}

QString Form1::panelText(int panel) const
{
    return (panel >= 1 && panel <= 4) ? m_panels[panel - 1]->text() : QString();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (shellEventFilter(watched, event))
        return true;
    if (event->type() == QEvent::FocusIn) {
        if (watched == Text1)
            Text1_GotFocus();
        else if (watched == txtDomain)
            txtDomain_GotFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tarnwick
