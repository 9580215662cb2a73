#include "shell/windows/form4.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QVBoxLayout>

#include "exchange/importlinks.h"
#include "platform/listview.h"
#include "platform/textfile.h"
#include "shell/mainwindow/layout.h"
#include "shell/skin/skin.h"
#include "shell/windows/controls.h"
#include "shell/windows/importwindow.h"
#include "shell/windows/mainwindowlink.h"
#include "shell/windows/redraw.h"
#include "widgets/reportview.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/services.h"
#include "workspace/settingkeys.h"
#include "workspace/storedvalues.h"

namespace tarnwick {

const QString kDelimiterPrompt = QStringLiteral("Select or Type a Delimiter");

namespace {

const QString kSimpleCaption =
    QStringLiteral("Simple - Spider my link page at the following URL and add my links to be scanned:");
const QString kAdvancedCaption = QStringLiteral(
    "Advanced - Get links to scan directly from my database.  I have created a script at the following URL that "
    "outputs all domains separated by a delimiter.  For example: "
    "partner-one.example,partner-two.example,partner-three.example,partner-four.example (no HTML)");

} // namespace

Form4::Form4(AppContext &ctx, WindowRegistry &windows, Project &project, MainWindowLink &link, QWidget *owner)
    : QWidget(owner, kFixedWindowFlags)
    , m_ctx(ctx)
    , m_windows(windows)
    , m_project(&project)
    , m_link(link)
{
    setUpImportWindow(this, QStringLiteral("Form4"), QStringLiteral("Import Linking Sites"));
    Frame3 = makeFileFrame(
        this, QStringLiteral("Get linking sites from a file"),
        QStringLiteral("You can import linking sites from a text (.txt) file by entering one URL per line."),
        QStringLiteral("Import websites from a file"), Label12, Command4);

    Frame1 = new QGroupBox(QStringLiteral("Scan my website for linking sites"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *options = new QButtonGroup(this);
    const QString captions[2] = {kSimpleCaption, kAdvancedCaption};
    for (int i = 0; i < 2; ++i) {
        Option1[i] = new QRadioButton(Frame1);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        options->addButton(Option1[i], i);
        // A radio button's own caption does not wrap: a label carries it and
        // a click on it chooses the option.
        Option1Caption[i] = makeLabel(captions[i], QStringLiteral("Option1Caption_%1").arg(i), Frame1);
        Option1Caption[i]->setWordWrap(true);
        Option1Caption[i]->installEventFilter(this);
    }
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2 = new QLineEdit(Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->addItems({QStringLiteral("Vertical Bar Symbol"), QStringLiteral("Percent Symbol"), QStringLiteral("Comma"),
                      QStringLiteral("Exclamation Point")});
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(kDelimiterPrompt);
    Command1 = makeButton(QStringLiteral("Get Links"), QStringLiteral("Import websites from the URL entered above"),
                          QStringLiteral("Command1"), Frame1);
    Label9 = makeLabel(QStringLiteral("Results (Control + Click or Shift + Click to Select Multiple, Right Click to "
                                      "Select All):"),
                       QStringLiteral("Label9"), Frame1);
    Label9->setWordWrap(true);

    ListView1 = new platform::ListView(this);
    ListView1->setMultiSelect(true);
    ListView1View = new platform::ReportView(Frame1);
    ListView1View->setObjectName(QStringLiteral("ListView1"));
    ListView1View->setListView(ListView1);
    ListView1View->setFixedHeight(220);
    ListView1View->viewport()->installEventFilter(this);
    cmdAdd = makeButton(QStringLiteral("Add Selected Links to My Link List"),
                        QStringLiteral("Add the site you have entered above"), QStringLiteral("cmdAdd"), Frame1);

    auto *grid = new QGridLayout(Frame1);
    QLabel *urlLabels[2] = {makeLabel(QStringLiteral("URL:"), QStringLiteral("lblURL1"), Frame1),
                            makeLabel(QStringLiteral("URL:"), QStringLiteral("lblURL2"), Frame1)};
    QLabel *delimiterLabel = makeLabel(QStringLiteral("Delimiter:"), QStringLiteral("lblDelimiter"), Frame1);
    // Each option is read out by its caption, each address box by its label
    // and the option it belongs to ("Simple URL:").
    QLineEdit *urls[2] = {Text1, Text2};
    for (int i = 0; i < 2; ++i) {
        nameByLabel(Option1[i], Option1Caption[i]);
        nameByLabel(urls[i], urlLabels[i], captions[i].section(QStringLiteral(" - "), 0, 0) + QLatin1Char(' ') +
                                               urlLabels[i]->text());
    }
    delimiterLabel->setBuddy(Combo1);
    Label9->setBuddy(ListView1View);

    grid->addWidget(Option1[0], 0, 0, Qt::AlignTop);
    grid->addWidget(Option1Caption[0], 0, 1, 1, 3);
    grid->addWidget(urlLabels[0], 1, 1);
    grid->addWidget(Text1, 1, 2, 1, 2);
    grid->addWidget(Option1[1], 2, 0, Qt::AlignTop);
    grid->addWidget(Option1Caption[1], 2, 1, 1, 3);
    grid->addWidget(urlLabels[1], 3, 1);
    grid->addWidget(Text2, 3, 2, 1, 2);
    grid->addWidget(delimiterLabel, 4, 1);
    grid->addWidget(Combo1, 4, 2);
    grid->addWidget(Command1, 4, 3);
    grid->addWidget(Label9, 5, 0, 1, 4);
    grid->addWidget(ListView1View, 6, 0, 1, 4);
    grid->addWidget(cmdAdd, 7, 0, 1, 4, Qt::AlignRight);
    grid->setColumnStretch(2, 1);

    StatusBar1 = makeOnePanelStatusBar(this, m_panel);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(Frame3);
    outer->addWidget(Frame1);
    outer->addWidget(StatusBar1);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    Frame1->setFixedWidth(600);
    Frame3->setFixedWidth(600);

    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(i);
        });
    }
    connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
    connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
    connect(Combo1, &QComboBox::editTextChanged, this, [this] { Combo1_Change(); });
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
}

Form4::~Form4() = default;

void Form4::Form_Load()
{
    // Read everything first: restoring one control stores its value again.
    const platform::SettingsStore &store = m_ctx.settings();
    const int option = storedNumber(store, key::getUrlOption, 0, 0, 1);
    const QString url1 = store.get(key::getURL1, QStringLiteral("http://"));
    const QString url2 = store.get(key::getURL2, QStringLiteral("http://"));
    const int delimiter = storedNumber(store, key::getURLCombo, -1, -1, Combo1->count() - 1);

    ListView1->setColumnHeaders({QStringLiteral("Link URL")});
    adjustSize();
    ListView1View->setColumnWidth(0, qMax(0, ListView1View->width() - layout::toPixels(300)));

    Option1[option]->setChecked(true);
    Text1->setText(url1);
    Text2->setText(url2);
    if (delimiter >= 0)
        Combo1->setCurrentIndex(delimiter);

    skinWindow(m_ctx, m_windows, this, {Frame1, Frame3});
}

QString Form4::panelText() const
{
    return m_panel->text();
}

void Form4::setPanelText(const QString &text)
{
    m_panel->setText(text);
}

int Form4::comboIndex() const
{
    const int index = Combo1->currentIndex();
    return index >= 0 && Combo1->itemText(index) == Combo1->currentText() ? index : -1;
}

Project *Form4::project() const
{
    return m_project;
}

int Form4::importTarget()
{
    Project *p = project();
    if (!p)
        return 0;
    const int n = p->iCurrentMain;
    if (n < 1 || n > p->mainSiteCount() || !p->List1(n)) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("Please add a main site first."), platform::vbOKOnly);
        return 0;
    }
    return n;
}

void Form4::rowsAdded()
{
    // A scan may be walking the list that just grew.
    m_link.linkingSitesAdded();
}

bool Form4::connectAndFetch(const QString &typed, QString &body)
{
    // Only locals are used once the event loop has run: the window may be
    // gone by then.
    QPointer<QWidget> self(this);
    AppContext &ctx = m_ctx;
    setPanelText(QStringLiteral("Conecting to ") + typed);
    if (!giveWay(ctx, self))
        return false;
    QString address = typed;  // the box keeps what the user typed
    // Closing the window (also by the main window's shut-down) ends the fetch.
    platform::FetchOptions options = ctx.fetchOptions;
    options.cancelled = [self, this] { return !self || m_closing; };
    body = getURL(ctx, address, options);
    return self && !m_closing;
}

void Form4::Command1_Click()
{
    // The fetch and the filling give way to the event loop: a second click
    // meanwhile must not start another round over the same list.
    if (m_getting)
        return;
    m_getting = true;
    Command1->setEnabled(false);
    QPointer<QWidget> self(this);
    AppContext &ctx = m_ctx;
    const auto done = qScopeGuard([self, this] {
        if (self) {
            m_getting = false;
            Command1->setEnabled(true);
        }
    });

    ListView1->clear();
    QStringList links;
    if (Option1[0]->isChecked()) {
        const QString typed = Text1->text();
        QString page;
        if (!connectAndFetch(typed, page))
            return;
        links = extractLinks(
            page, importBase(typed),
            [self, this](int kept) {
                if (self)
                    setPanelText(QStringLiteral("Extracted %1 link(s)").arg(kept));
            },
            [self, &ctx] { return giveWay(ctx, self); });
        if (!self)
            return;
    } else {
        QString delimiter;
        const int index = comboIndex();
        if (index >= 0) {
            delimiter = importDelimiter(index);
        } else if (Combo1->currentText() == kDelimiterPrompt) {
            ctx.dialogs().msgBox(this, QStringLiteral("You must select a delimiter first"), platform::vbOKOnly);
            return;
        } else {
            delimiter = Combo1->currentText();
        }
        QString output;
        if (!connectAndFetch(Text2->text(), output))
            return;
        links = scriptLinks(output, delimiter);
    }

    setRedraw(true, ListView1View);
    int added = 0;
    for (const QString &link : std::as_const(links)) {
        const QString text = link.trimmed();
        if (text.isEmpty())
            continue;
        ListView1->add(text);
        ++added;
        setPanelText(QStringLiteral("Added %1 link(s)").arg(added));
        if (!giveWay(ctx, self))
            return;
    }
    setRedraw(false, ListView1View);
    setPanelText(QStringLiteral("Finished Downloading - %1 links found.").arg(added));
}

void Form4::cmdAdd_Click()
{
    QStringList chosen;
    for (int row = 1; row <= ListView1->count(); ++row) {
        if (!ListView1->isSelected(row))
            continue;
        const QString url = importedUrl(ListView1->text(row));
        if (!url.isEmpty())
            chosen << url;
    }
    if (chosen.isEmpty())
        return;
    const int n = importTarget();
    if (n < 1)
        return;
    Project *p = project();
    for (const QString &url : std::as_const(chosen))
        p->addLinkingSite(n, LinkingSiteRow{url, QStringLiteral("1"), {}, {}, {}});
    rowsAdded();
}

void Form4::ListView1_MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        ListView1View->selectAll();
}

void Form4::Command4_Click()
{
    // Said before the file is chosen, so no choice is made in vain.
    if (importTarget() < 1)
        return;
    QPointer<QWidget> self(this);
    platform::TextFileReader in;
    Project *p = project();
    if (!p || !openImportFile(m_ctx, this, p->projectFilesFolder(), in) || !self)
        return;
    const int n = importTarget();
    if (n < 1)
        return;
    p = project();
    // Line by line into the list: a large file is never held whole.
    int added = 0;
    QString line;
    ImportedLinkingSite site;
    while (in.readLine(line)) {
        if (linkingSiteFromLine(line, site) && p->addLinkingSite(n, LinkingSiteRow{site.website, site.expected, {}, {}, {}}) > 0)
            ++added;
    }
    rowsAdded();
    setPanelText(QStringLiteral("Added %1 link(s)").arg(added));
}

void Form4::Option1_Click(int index)
{
    m_ctx.settings().set(key::getUrlOption, QString::number(index));
}

void Form4::Text1_Change()
{
    m_ctx.settings().set(key::getURL1, Text1->text());
}

void Form4::Text2_Change()
{
    m_ctx.settings().set(key::getURL2, Text2->text());
}

void Form4::Combo1_Change()
{
    m_ctx.settings().set(key::getURLCombo, QString::number(comboIndex()));
}

void Form4::Combo1_Click()
{
    m_ctx.settings().set(key::getURLCombo, QString::number(comboIndex()));
}

void Form4::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    QWidget::closeEvent(event);
}

bool Form4::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // After the list has had the release: a release below the rows
        // clears the selection there.
        if (watched == ListView1View->viewport())
            QMetaObject::invokeMethod(
                this, [this, button = mouse->button()] { ListView1_MouseUp(button); }, Qt::QueuedConnection);
        for (int i = 0; i < 2; ++i) {
            if (watched == Option1Caption[i] && mouse->button() == Qt::LeftButton)
                Option1[i]->setChecked(true);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarnwick
