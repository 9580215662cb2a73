// Construction of the main window's controls.

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

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
}

Form1::~Form1()
{
    if (m_ctx.mainWindow == this)
        m_ctx.mainWindow = nullptr;
}

void Form1::buildControls()
{
    auto *central = new QWidget(this);
    m_central = central;
    setCentralWidget(central);
    auto *outer = new QHBoxLayout(central);

    // Main sites.
    auto *left = new QVBoxLayout;
    outer->addLayout(left, 1);
    txtDomain = new QLineEdit(central);
    txtDomain->setObjectName(QStringLiteral("txtDomain"));
    txtDomain->setToolTip(QStringLiteral("Enter the website you want to find links to from remote sites"));
    txtDomain->setMinimumWidth(140);
    cmdAdd2 = button(QStringLiteral("Add"), QStringLiteral("Add a new Main Site"), central);
    cmdEditMain = button(QStringLiteral("Edit"), QStringLiteral("Edit the main site you have selected below"), central);
    cmdDelete = button(QStringLiteral("Del"), QStringLiteral("Delete the main site you have selected below"), central);
    auto *mainRow = new QHBoxLayout;
    mainRow->addWidget(txtDomain, 1);
    mainRow->addWidget(cmdAdd2);
    mainRow->addWidget(cmdEditMain);
    mainRow->addWidget(cmdDelete);
    left->addLayout(mainRow);
    List4 = new platform::ListBox(this);
    List4View = new QListView(central);
    List4View->setModel(List4);
    List4View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List4View->setSelectionMode(QAbstractItemView::SingleSelection);
    left->addWidget(List4View, 1);

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
    auto *right = new QVBoxLayout;
    outer->addLayout(right, 2);
    innerFrame2 = new QFrame(central);
    innerFrame2->setObjectName(QStringLiteral("innerFrame2"));
    auto *entry = new QGridLayout(innerFrame2);
    lblblah = new QLabel(innerFrame2);
    Label2 = new QLabel(QStringLiteral("URL:"), innerFrame2);
    Text1 = new QLineEdit(innerFrame2);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Enter the URL of the website/page you want to search for links."));
    cmdAdd = button(QStringLiteral("Add"), QStringLiteral("Add a new Linking Site"), innerFrame2);
    cmbDel = button(QStringLiteral("Del"), QStringLiteral("Delete the selected Linking Site"), innerFrame2);
    cmdEdit = button(QStringLiteral("Edit"), QStringLiteral("Edit the selected Linking Site"), innerFrame2);
    entry->addWidget(lblblah, 0, 0, 1, 5);
    entry->addWidget(Label2, 1, 0);
    entry->addWidget(Text1, 1, 1);
    entry->addWidget(cmdAdd, 1, 2);
    entry->addWidget(cmbDel, 1, 3);
    entry->addWidget(cmdEdit, 1, 4);
    innerFrame2->hide();
    right->addWidget(innerFrame2);

    auto *host = new QWidget(central);
    m_listHost = new QGridLayout(host);
    m_listHost->setContentsMargins(0, 0, 0, 0);
    right->addWidget(host, 1);
    m_list1.push_back(createLinkList(0));
    m_list1[0].model->setColumnHeaders(kLinkColumns);
    m_list1[0].view->hide();

    cmdNextSearch = button(QStringLiteral("Skip"), QStringLiteral("Skip to the next website in your list of sites to check"),
                           central);
    cmdNextSearch->setEnabled(false);
    right->addWidget(cmdNextSearch, 0, Qt::AlignRight);

    // Lists of the other areas; their places on screen come with the tabs.
    auto *tabs = new QTabWidget(central);
    right->addWidget(tabs, 1);
    auto makeList = [&](platform::ListView *&model, platform::ReportView *&view, const QStringList &headers,
                        const QString &tab) {
        model = new platform::ListView(this);
        model->setColumnHeaders(headers);
        view = new platform::ReportView(tabs);
        view->setListView(model);
        if (!tab.isEmpty())
            tabs->addTab(view, tab);
        else
            view->hide();
    };
    makeList(List3, List3View,
             {QStringLiteral("Main"), QStringLiteral("Linking"), QStringLiteral("Status"), QStringLiteral("No."),
              QStringLiteral("Link URL")},
             QStringLiteral("Results"));
    makeList(lstErr, lstErrView, {QStringLiteral("Error"), QStringLiteral("URL")}, QStringLiteral("Errors"));
    makeList(lstRules, lstRulesView,
             {QStringLiteral("MainSite"), QStringLiteral("RemoteSite"), QStringLiteral("RuleType"),
              QStringLiteral("RuleValue")},
             QString());
    makeList(lstMulti, lstMultiView, {QStringLiteral("Main Site"), QStringLiteral("Script URL")}, QString());

    List2 = new platform::ListBox(this);

    txtPost = new QLineEdit(QStringLiteral("http://"), central);
    txtPost2 = new QLineEdit(QStringLiteral("http://"), central);
    cmbSites = new QComboBox(central);
    cmbSites->setEditable(true);
    txtHTML1 = new QPlainTextEdit(central);
    txtHTML2 = new QPlainTextEdit(central);
    txtHTML3 = new QPlainTextEdit(central);
    for (QWidget *w : {static_cast<QWidget *>(txtPost), static_cast<QWidget *>(txtPost2),
                       static_cast<QWidget *>(cmbSites), static_cast<QWidget *>(txtHTML1),
                       static_cast<QWidget *>(txtHTML2), static_cast<QWidget *>(txtHTML3)})
        w->hide();

    StatusBar1 = new QStatusBar(this);
    setStatusBar(StatusBar1);
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(StatusBar1);
        StatusBar1->addWidget(m_panels[i], i == 0 ? 3 : 1);
    }

    Popup1 = new QMenu(this);
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
    resize(900, 640);
}

Form1::LinkList Form1::createLinkList(int index)
{
    LinkList l;
    l.model = new platform::ListView(this);
    if (!m_list1.empty())
        l.model->setColumnHeaders(m_list1[0].model->columnHeaders());
    l.view = new platform::ReportView(m_listHost->parentWidget());
    l.view->setListView(l.model);
    if (!m_list1.empty() && m_list1[0].view->header()->count() > 0) {
        for (int c = 0; c < m_list1[0].view->header()->count(); ++c)
            l.view->setColumnWidth(c, m_list1[0].view->columnWidth(c));
    }
    // Every list sits in the same place; only the current one is visible.
    m_listHost->addWidget(l.view, 0, 0);
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
    if (event->type() == QEvent::FocusIn) {
        if (watched == Text1)
            Text1_GotFocus();
        else if (watched == txtDomain)
            txtDomain_GotFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tarnwick
