// The site and rule editors.

#include "shell/windows/siteeditors.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/listbox.h"
#include "platform/listview.h"
#include "shell/mainwindow/layout.h"
#include "shell/skin/skin.h"
#include "shell/windowregistry.h"
#include "shell/windows/controls.h"
#include "shell/windows/modeless.h"
#include "widgets/reportview.h"
#include "workspace/context.h"
#include "workspace/project.h"

namespace tarnwick {

namespace {

const QString kSiteHint = QStringLiteral("Enter the URL of the website/page you want to search for links.");
const QString kLinkTextHint = QStringLiteral(
    "Optional - Enter the link text you would to use for this site in your generated HTML pages.");

const char *const kRuleCaptions[6] = {
    "Limit to directories with this name:",   "Exclude Directories with this name:",
    "Limit to URLs that contain this string:", "Exclude URLs that contain this string:",
    "Limit to URLs in this directory root:",   "Exclude URLs in this directory root:",
};

} // namespace

// ---- The shared part ----

RuleEditorWindow::RuleEditorWindow(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner,
                                   const QString &caption, const QString &heading, const QString &explanation)
    : QWidget(owner, kOwnedWindow)
    , m_ctx(ctx)
    , m_windows(windows)
    , m_project(&project)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);

    auto *layout = new QVBoxLayout(this);
    m_fields = new QGridLayout;
    layout->addLayout(m_fields);

    lblRules = makeLabel(heading, QStringLiteral("lblRules"), this);
    layout->addWidget(lblRules);
    if (!explanation.isEmpty()) {
        lblExplain = makeLabel(explanation, QStringLiteral("lblExplain"), this);
        layout->addWidget(lblExplain);
    }

    m_rules = new platform::ListView(this);
    m_rules->setColumnHeaders({QStringLiteral("Main Site"), QStringLiteral("Linking Site"),
                               QStringLiteral("Rule Type"), QStringLiteral("Rule Value")});
    ListView1 = new platform::ReportView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setListView(m_rules);
    lblRules->setBuddy(ListView1);
    ListView1->setMinimumSize(520, 140);
    layout->addWidget(ListView1, 1);

    auto *types = new QGridLayout;
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        Option1[i] = new QRadioButton(QString::fromLatin1(kRuleCaptions[i]), this);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        group->addButton(Option1[i], i);
        types->addWidget(Option1[i], i / 2, i % 2);
    }
    layout->addLayout(types);

    auto *value = new QHBoxLayout;
    value->addWidget(makeLabel(QStringLiteral("Value:"), QStringLiteral("lblValue"), this));
    Text6 = new QLineEdit(this);
    Text6->setObjectName(QStringLiteral("Text6"));
    value->addWidget(Text6, 1);
    Command1 = makeButton(QStringLiteral("Add Rule"), QString(), QStringLiteral("Command1"), this);
    Command2 = makeButton(QStringLiteral("Delete Rule"), QString(), QStringLiteral("Command2"), this);
    value->addWidget(Command1);
    value->addWidget(Command2);
    layout->addLayout(value);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Command3 = makeButton(QStringLiteral("Cancel"), QString(), QStringLiteral("Command3"), this);
    cmdSave = makeButton(QStringLiteral("OK"), QString(), QStringLiteral("cmdSave"), this);
    cmdSave->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    buttons->addWidget(Command3);
    buttons->addWidget(cmdSave);
    layout->addLayout(buttons);

    // Enter in a box never presses a button by itself: each box says what
    // its Enter does.
    for (QPushButton *b : {Command1, Command2, Command3, cmdSave})
        b->setAutoDefault(false);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(Text6, &QLineEdit::returnPressed, this, [this] { Text6_KeyPress(13); });
}

QLineEdit *RuleEditorWindow::addField(const QString &name, const QString &label, const QString &hint)
{
    const int row = m_fields->rowCount();
    m_fields->addWidget(makeLabel(label, QStringLiteral("lbl") + name, this), row, 0);
    auto *box = new QLineEdit(this);
    box->setObjectName(name);
    box->setToolTip(hint);
    m_fields->addWidget(box, row, 1);
    m_fieldBoxes.append(box);
    return box;
}

bool RuleEditorWindow::Form_Load()
{
    QVector<RuleRow> loaded;
    if (!loadEntry(loaded))
        return false;
    for (const RuleRow &r : std::as_const(loaded))
        m_rules->add(r.mainSite, {r.remoteSite, r.ruleType, r.ruleValue});

    // The site's boxes come first, from the top down.
    QList<QWidget *> order(m_fieldBoxes.cbegin(), m_fieldBoxes.cend());
    order << ListView1;
    for (QRadioButton *option : Option1)
        order << option;
    order << Text6 << Command1 << Command2 << Command3 << cmdSave;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    order.first()->setFocus();
    skinWindow(m_ctx, m_windows, this);
    return true;
}

void RuleEditorWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Once the list has its size.
    if (m_columnsFitted)
        return;
    m_columnsFitted = true;
    fitRuleColumns();
}

void RuleEditorWindow::fitRuleColumns()
{
    // The columns show their values whole as far as the list allows.
    QList<int> wanted;
    for (int c = 0; c < ListView1->header()->count(); ++c)
        wanted << std::max(ListView1->header()->sectionSizeHint(c), ListView1->sizeHintForColumn(c));
    const QList<int> widths = layout::fitColumnWidths(wanted, ListView1->viewport()->width());
    for (int c = 0; c < widths.size(); ++c)
        ListView1->setColumnWidth(c, widths[c]);
}

void RuleEditorWindow::Command1_Click()
{
    const QString value = Text6->text();
    if (!isRuleValue(value)) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("Please enter a rule to add."), platform::vbOKOnly,
                               QStringLiteral("Error"));
        return;
    }
    // The project file separates a rule's fields with it.
    if (value.contains(QLatin1Char('|'))) {
        m_ctx.dialogs().msgBox(this,
                               QStringLiteral("A rule value cannot contain \"|\". Please enter the value without it."),
                               platform::vbOKOnly, QStringLiteral("Error"));
        return;
    }
    int type = -1;
    for (int i = 0; i < 6 && type < 0; ++i) {
        if (Option1[i]->isChecked())
            type = i;
    }
    if (type < 0) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("Please select a rule type before adding a rule."),
                               platform::vbOKOnly, m_ctx.appTitle);
        return;
    }
    const RuleScope scope = scopeOfNewRule();
    m_rules->add(scope.mainSite, {scope.remoteSite, kRuleTypes.at(type), value});
    if (m_columnsFitted)
        fitRuleColumns();
    Text6->clear();
    Text6->setFocus();
}

void RuleEditorWindow::Command2_Click()
{
    const int row = m_rules->selectedRow();
    if (row > 0)
        m_rules->remove(row);
}

void RuleEditorWindow::Command3_Click()
{
    close();
}

QVector<RuleRow> RuleEditorWindow::workingRules() const
{
    QVector<RuleRow> rows;
    for (int r = 1; r <= m_rules->count(); ++r)
        rows.append(RuleRow{m_rules->text(r), m_rules->subItem(r, 1), m_rules->subItem(r, 2), m_rules->subItem(r, 3)});
    return rows;
}

void RuleEditorWindow::cmdSave_Click()
{
    switch (saveEntry(workingRules())) {
    case EditResult::Saved:
        close();
        break;
    case EditResult::EmptySite:
        m_ctx.dialogs().msgBox(this, emptySiteMessage(), platform::vbOKOnly);
        if (QLineEdit *box = siteBox())
            box->setFocus();
        break;
    case EditResult::TagWord:
        if (QLineEdit *box = siteBox()) {
            m_ctx.dialogs().msgBox(this, tagWordMessage(leadingTagWord(box->text())), platform::vbOKOnly);
            box->setFocus();
        }
        break;
    case EditResult::Gone:
        m_ctx.dialogs().msgBox(
            this,
            QStringLiteral("The entry you are editing is no longer in the project, so your changes were not saved."),
            platform::vbOKOnly | platform::vbExclamation);
        close();
        break;
    }
}

void RuleEditorWindow::Text6_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        Command1_Click();
}

// ---- Linking-site editor ----

Form2::Form2(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner)
    : RuleEditorWindow(ctx, windows, project, owner, QStringLiteral("Edit an entry"),
                       QStringLiteral("Edit rules for this remote site:"), {})
{
    setObjectName(QStringLiteral("Form2"));
    Text1 = addField(QStringLiteral("Text1"), QStringLiteral("Website URL:"), kSiteHint);
    Text2 = addField(QStringLiteral("Text2"), QStringLiteral("Links expected:"),
                     QStringLiteral("Optional - Enter the number of links you expect to be on this site.  Default "
                                    "is 1."));
    Text3 = addField(QStringLiteral("Text3"), QStringLiteral("Link Page URL:"),
                     QStringLiteral("Optional - Enter the URL you would to use for this site in your generated HTML "
                                    "pages."));
    Text4 = addField(QStringLiteral("Text4"), QStringLiteral("Link Page Text:"), kLinkTextHint);
    Text5 = addField(QStringLiteral("Text5"), QStringLiteral("Description:"), kLinkTextHint);
    // Enter in the first four boxes confirms the whole edit.
    for (QLineEdit *box : {Text1, Text2, Text3, Text4})
        connect(box, &QLineEdit::returnPressed, this, [this] { cmdSave_Click(); });
}

bool Form2::loadEntry(QVector<RuleRow> &rules)
{
    Project &project = *m_project;
    m_edit = std::make_unique<LinkingSiteEdit>(project, project.iCurrentMain, project.iEditIndex);
    if (!m_edit->captured())
        return false;
    const LinkingSiteRow &row = m_edit->loaded();
    Text1->setText(row.website);
    Text2->setText(row.expected);
    Text3->setText(row.htmlLink);
    Text4->setText(row.htmlName);
    Text5->setText(row.description);
    rules = m_edit->loadedRules();
    return true;
}

RuleScope Form2::scopeOfNewRule() const
{
    return {m_edit->mainSite(), Text1->text()};
}

EditResult Form2::saveEntry(const QVector<RuleRow> &working)
{
    return m_edit->save(LinkingSiteRow{Text1->text(), Text2->text(), Text3->text(), Text4->text(), Text5->text()},
                        working);
}

QString Form2::emptySiteMessage() const
{
    return QStringLiteral("Please enter the Website URL first.");
}

// ---- Main-site editor ----

Form2a::Form2a(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner)
    : RuleEditorWindow(ctx, windows, project, owner, QStringLiteral("Edit an entry"),
                       QStringLiteral("Edit rules for this main site:"),
                       QStringLiteral("These rules will apply to all Linking Sites grouped with this Main Site"))
{
    setObjectName(QStringLiteral("Form2a"));
    Text1 = addField(QStringLiteral("Text1"), QStringLiteral("Main Site URL:"), kSiteHint);
    connect(Text1, &QLineEdit::returnPressed, this, [this] { cmdSave_Click(); });
}

bool Form2a::loadEntry(QVector<RuleRow> &rules)
{
    Project &project = *m_project;
    m_edit = std::make_unique<MainSiteEdit>(project, project.iEditIndex);
    if (!m_edit->captured())
        return false;
    Text1->setText(m_edit->loaded());
    rules = m_edit->loadedRules();
    return true;
}

RuleScope Form2a::scopeOfNewRule() const
{
    return {m_edit->loaded(), kGlobalScope};
}

EditResult Form2a::saveEntry(const QVector<RuleRow> &working)
{
    return m_edit->save(Text1->text(), working);
}

QString Form2a::emptySiteMessage() const
{
    return QStringLiteral("Please enter the Main Site URL first.");
}

// ---- Global Rules Editor ----

Form2b::Form2b(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner)
    : RuleEditorWindow(ctx, windows, project, owner, QStringLiteral("Global Rules Editor"),
                       QStringLiteral("Edit Global Rules"),
                       QStringLiteral("These rules will apply globally to all sites"))
{
    setObjectName(QStringLiteral("Form2b"));
}

bool Form2b::loadEntry(QVector<RuleRow> &rules)
{
    m_edit = std::make_unique<GlobalRulesEdit>(*m_project);
    rules = m_edit->loadedRules();
    return true;
}

RuleScope Form2b::scopeOfNewRule() const
{
    return {kGlobalScope, kGlobalScope};
}

EditResult Form2b::saveEntry(const QVector<RuleRow> &working)
{
    return m_edit->save(working);
}

void openGlobalRulesEditor(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner)
{
    showSingleWindow(windows.Form2b, [&]() -> QWidget * {
        auto *w = new Form2b(ctx, windows, project, owner);
        w->Form_Load();
        return w;
    });
}

} // namespace tarnwick
