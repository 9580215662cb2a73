// The "Scanning Options" window.

#include "shell/windows/optionswindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "scanner/scanoptions.h"
#include "shell/skin/skin.h"
#include "shell/windowregistry.h"
#include "shell/windows/controls.h"
#include "shell/windows/modeless.h"
#include "shell/windows/siteeditors.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/settingkeys.h"

namespace tarnwick {

namespace {

const QString kSkipHint = QStringLiteral(
    "If the specified number of pages have been scaned the search will automatically skip to the next site.");
const QString kExpectedHint = QStringLiteral(
    "Skipping to the next site as soon as the expected number of links are found will increase the speed of your "
    "searches significantly");

// A caption with a run of blanks in which an entry box sits, the caption's
// text kept whole.
class GapCaption : public QWidget {
public:
    GapCaption(const QString &caption, const QString &name, QLineEdit *box, QWidget *parent)
        : QWidget(parent)
        , m_box(box)
    {
        m_label = makeLabel(caption, name, this);
        m_box->setParent(this);
        const QRegularExpressionMatch gap = QRegularExpression(QStringLiteral(" {2,}")).match(caption);
        m_gapStart = gap.hasMatch() ? int(gap.capturedStart()) : int(caption.size());
        m_gapLength = gap.hasMatch() ? int(gap.capturedLength()) : 0;
    }
    QLabel *label() const { return m_label; }

    QSize sizeHint() const override
    {
        const QSize text = m_label->sizeHint();
        return {text.width(), qMax(text.height(), m_box->sizeHint().height())};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void resizeEvent(QResizeEvent *) override
    {
        m_label->setGeometry(0, 0, width(), height());
        const QFontMetrics fm = m_label->fontMetrics();
        const QString text = m_label->text();
        const int blank = fm.horizontalAdvance(QLatin1Char(' '));
        const int x = fm.horizontalAdvance(text.left(m_gapStart)) + blank;
        const int w = qMax(fm.horizontalAdvance(text.mid(m_gapStart, m_gapLength)) - 2 * blank, 24);
        const int h = qMin(m_box->sizeHint().height(), height());
        m_box->setGeometry(x, (height() - h) / 2, w, h);
    }

private:
    QLabel *m_label = nullptr;
    QLineEdit *m_box;
    int m_gapStart = 0;
    int m_gapLength = 0;
};

QCheckBox *makeCheck(const QString &caption, const QString &name, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    return c;
}

QLabel *makeHeading(const QString &text, const QString &name, const QString &hint, QWidget *parent)
{
    QLabel *l = makeLabel(text, name, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    if (!hint.isEmpty())
        l->setToolTip(hint);
    return l;
}

} // namespace

frmOptions::frmOptions(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner)
    : QWidget(owner, kOwnedWindow)
    , m_ctx(ctx)
    , m_windows(windows)
    , m_project(&project)
{
    setObjectName(QStringLiteral("frmOptions"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Scanning Options"));

    // Left: how a scan behaves.
    auto *left = new QGridLayout;
    int row = 0;
    left->addWidget(makeHeading(QStringLiteral("Efficiency:"), QStringLiteral("lblEfficiency"), {}, this), row++, 0,
                    1, 2);

    left->addWidget(makeHeading(QStringLiteral("Timeout when pages don't respond:"), QStringLiteral("lblTimeout"),
                                kSkipHint, this),
                    row, 0);
    txtTimeout = new QLineEdit(this);
    txtTimeout->setObjectName(QStringLiteral("txtTimeout"));
    left->addWidget(new GapCaption(QStringLiteral("After               seconds"), QStringLiteral("lblAfter"),
                                   txtTimeout, this),
                    row++, 1, Qt::AlignLeft);

    left->addWidget(makeHeading(QStringLiteral("Go to the next site:"), QStringLiteral("lblNextSite"), kSkipHint,
                                this),
                    row, 0);
    auto *limit = new QHBoxLayout;
    chkAuto = makeCheck(QStringLiteral("When this many pages have been scanned:"), QStringLiteral("chkAuto"), this);
    chkAuto->setToolTip(kSkipHint);
    cmbAdvance = new QComboBox(this);
    cmbAdvance->setObjectName(QStringLiteral("cmbAdvance"));
    cmbAdvance->addItems({QStringLiteral("01"), QStringLiteral("10"), QStringLiteral("50"), QStringLiteral("100"),
                          QStringLiteral("500"), QStringLiteral("1,000"), QStringLiteral("5,000"),
                          QStringLiteral("10,000"), QStringLiteral("20,000"), QStringLiteral("50,000"),
                          QStringLiteral("100,000"), QStringLiteral("200,000"), QStringLiteral("500,000")});
    limit->addWidget(chkAuto);
    limit->addWidget(cmbAdvance);
    limit->addStretch(1);
    left->addLayout(limit, row++, 1);
    chkAuto2 = makeCheck(QStringLiteral("When the expected number of links has been found"),
                         QStringLiteral("chkAuto2"), this);
    chkAuto2->setToolTip(kExpectedHint);
    left->addWidget(chkAuto2, row++, 1);

    left->addWidget(makeHeading(QStringLiteral("Redirected Links:"), QStringLiteral("lblRedirect"), kSkipHint, this),
                    row, 0);
    chkRedirect = makeCheck(QStringLiteral("Attempt to find links that go through a redirect script"),
                            QStringLiteral("chkRedirect"), this);
    left->addWidget(chkRedirect, row++, 1);

    left->addWidget(makeHeading(QStringLiteral("Logging:"), QStringLiteral("lblLogging"), {}, this), row, 0);
    chkLog = makeCheck(QStringLiteral("Log rules to rules.log in the program folder"), QStringLiteral("chkLog"), this);
    left->addWidget(chkLog, row++, 1);

    chkUpdate = makeCheck(
        QStringLiteral("When a link is found, automatically update the Linking Site URL in my project."),
        QStringLiteral("chkUpdate"), this);
    left->addWidget(chkUpdate, row++, 0, 1, 2);

    left->addWidget(makeHeading(QStringLiteral("Play Audio:"), QStringLiteral("lblAudio"), {}, this), row, 0);
    auto *audio = new QHBoxLayout;
    chkAudioNext = makeCheck(QStringLiteral("On Next Website"), QStringLiteral("chkAudioNext"), this);
    chkAudioEmail = makeCheck(QStringLiteral("On Link Found"), QStringLiteral("chkAudioEmail"), this);
    chkAudioFinished = makeCheck(QStringLiteral("On Finished"), QStringLiteral("chkAudioFinished"), this);
    audio->addWidget(chkAudioNext);
    audio->addWidget(chkAudioEmail);
    audio->addWidget(chkAudioFinished);
    audio->addStretch(1);
    left->addLayout(audio, row++, 1);

    chkAutoSave = makeCheck(QStringLiteral("Auto Save:"), QStringLiteral("chkAutoSave"), this);
    left->addWidget(chkAutoSave, row, 0);
    txtAutoSave = new QLineEdit(this);
    txtAutoSave->setObjectName(QStringLiteral("txtAutoSave"));
    auto *every = new GapCaption(QStringLiteral("Every              minutes while scanning"),
                                 QStringLiteral("lblAutoSave"), txtAutoSave, this);
    every->label()->setToolTip(kSkipHint);
    left->addWidget(every, row++, 1, Qt::AlignLeft);
    left->setRowStretch(row, 1);

    // Right: the page file types and the global rules.
    auto *right = new QVBoxLayout;
    chkFileTypes = makeCheck(QStringLiteral("Webpage File Types:"), QStringLiteral("chkFileTypes"), this);
    right->addWidget(chkFileTypes);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    right->addWidget(List1, 1);
    auto *entry = new QHBoxLayout;
    txtDomain = new QLineEdit(this);
    txtDomain->setObjectName(QStringLiteral("txtDomain"));
    txtDomain->setToolTip(QStringLiteral("Enter the website you want to find links to from remote sites"));
    cmdAdd2 = makeButton(QStringLiteral("Add"), QStringLiteral("Add the file type you have entered to the left"),
                         QStringLiteral("cmdAdd2"), this);
    entry->addWidget(txtDomain, 1);
    entry->addWidget(cmdAdd2);
    right->addLayout(entry);
    cmdDelete = makeButton(QStringLiteral("Delete"), QStringLiteral("Delete the file type you have selected below"),
                           QStringLiteral("cmdDelete"), this);
    right->addWidget(cmdDelete, 0, Qt::AlignLeft);
    right->addWidget(makeHeading(QStringLiteral("Global Rules:"), QStringLiteral("lblGlobalRules"), kSkipHint, this));
    QLabel *about = makeLabel(
        QStringLiteral("Global Rules are applied to all sites when scaning, and can be used to increase the efficiency "
                       "of your scans.  To edit the Global Rules list, use the button below.  To edit Main Site or "
                       "Linking Site specific rules, use the edit buttons in the main window."),
        QStringLiteral("lblGlobalRulesText"), this);
    about->setWordWrap(true);
    about->setMaximumWidth(260);
    right->addWidget(about);
    Command1 = makeButton(QStringLiteral("Open Global Rules Editor"), QString(), QStringLiteral("Command1"), this);
    right->addWidget(Command1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);

    cmdAdd2->setEnabled(false);
    cmdDelete->setEnabled(false);
    for (QPushButton *b : {cmdAdd2, cmdDelete, Command1})
        b->setAutoDefault(false);

    for (const CheckOption &option : checkOptions()) {
        QCheckBox *box = option.box;
        const QString key = option.key;
        connect(box, &QCheckBox::toggled, this, [this, box, key] {
            m_ctx.settings().set(key, box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
        });
    }
    connect(cmbAdvance, &QComboBox::currentIndexChanged, this, [this] { cmbAdvance_Click(); });
    connect(txtTimeout, &QLineEdit::textChanged, this, [this] { txtTimeout_Change(); });
    connect(txtAutoSave, &QLineEdit::textChanged, this, [this] { txtAutoSave_Change(); });
    connect(txtTimeout, &QLineEdit::editingFinished, this,
            [this] { numberBoxLeft(txtTimeout, QStringLiteral("60")); });
    connect(txtAutoSave, &QLineEdit::editingFinished, this,
            [this] { numberBoxLeft(txtAutoSave, QStringLiteral("5")); });
    connect(txtDomain, &QLineEdit::textChanged, this, [this] { txtDomain_Change(); });
    connect(txtDomain, &QLineEdit::returnPressed, this, [this] { txtDomain_KeyPress(13); });
    connect(cmdAdd2, &QPushButton::clicked, this, [this] { cmdAdd2_Click(); });
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

QList<frmOptions::CheckOption> frmOptions::checkOptions() const
{
    return {{chkRedirect, key::chkRedirect, 1},   {chkLog, key::chkLog, 0},
            {chkUpdate, key::chkUpdate, 1},       {chkAuto, key::chkAuto, 1},
            {chkAuto2, key::chkAuto2, 1},         {chkAudioEmail, key::chkAudioEmail, 1},
            {chkAudioNext, key::chkAudioNext, 1}, {chkAudioFinished, key::chkAudioFinished, 1},
            {chkFileTypes, key::chkFileTypes, 1}, {chkAutoSave, key::chkAutoSave, 0}};
}

void frmOptions::Form_Load()
{
    platform::SettingsStore &s = m_ctx.settings();
    // The number boxes go through their change handlers, so a stored value
    // that is not a number shows and is stored as the default.
    txtTimeout->setText(s.get(key::txtTimeout, QStringLiteral("60")));
    txtAutoSave->setText(s.get(key::txtAutosave, QStringLiteral("5")));
    numberBoxesLeft();  // a stored value is not one being typed
    for (const CheckOption &option : checkOptions()) {
        const QSignalBlocker block(option.box);
        option.box->setChecked(storedCheck(s, option.key, option.defaultValue));
    }
    {
        const QSignalBlocker block(cmbAdvance);
        cmbAdvance->setCurrentIndex(storedPageLimitIndex(s));
    }
    cmbAdvance_Click();
    List1->clear();
    List1->addItems(readFileTypeList(m_ctx.programPath(kFileTypesFile)));

    skinWindow(m_ctx, m_windows, this);
}

void frmOptions::cmbAdvance_Click()
{
    m_ctx.settings().set(key::cmbAdvance, QString::number(cmbAdvance->currentIndex()));
}

void frmOptions::numberBoxChanged(QLineEdit *box, const QString &key, const QString &resetText)
{
    switch (checkNumberText(box->text())) {
    case NumberText::Empty:
        break;
    case NumberText::Fits:
        m_ctx.settings().set(key, box->text());
        break;
    case NumberText::Partial:
        break;  // still being typed: checked when the box is left
    case NumberText::Invalid:
        box->setText(resetText);  // stored by the change this makes
        break;
    }
}

void frmOptions::numberBoxLeft(QLineEdit *box, const QString &resetText)
{
    if (checkNumberText(box->text()) == NumberText::Partial)
        box->setText(resetText);
}

void frmOptions::numberBoxesLeft()
{
    numberBoxLeft(txtTimeout, QStringLiteral("60"));
    numberBoxLeft(txtAutoSave, QStringLiteral("5"));
}

void frmOptions::closeEvent(QCloseEvent *event)
{
    numberBoxesLeft();
    QWidget::closeEvent(event);
}

void frmOptions::txtTimeout_Change()
{
    numberBoxChanged(txtTimeout, key::txtTimeout, QStringLiteral("60"));
}

void frmOptions::txtAutoSave_Change()
{
    numberBoxChanged(txtAutoSave, key::txtAutoSave, QStringLiteral("5"));
}

void frmOptions::txtDomain_Change()
{
    cmdAdd2->setEnabled(!txtDomain->text().isEmpty());
}

void frmOptions::txtDomain_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        cmdAdd2_Click();
}

void frmOptions::cmdAdd2_Click()
{
    if (txtDomain->text().isEmpty()) {
        m_ctx.dialogs().msgBox(this, QStringLiteral("Please enter a file extension first."), platform::vbOKOnly,
                               m_ctx.appTitle);
        txtDomain->setFocus();
        return;
    }
    List1->addItem(fileTypeEntry(txtDomain->text()));
    txtDomain->clear();
    txtDomain->setFocus();
    writeFileTypes();
}

void frmOptions::List1_Click()
{
    cmdDelete->setEnabled(!List1->selectedItems().isEmpty());
}

void frmOptions::cmdDelete_Click()
{
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    if (selected.isEmpty())
        return;
    delete List1->takeItem(List1->row(selected.first()));
    List1->clearSelection();
    List1->setCurrentRow(-1);
    cmdDelete->setEnabled(false);
    writeFileTypes();
}

void frmOptions::writeFileTypes()
{
    QStringList items;
    for (int i = 0; i < List1->count(); ++i)
        items << List1->item(i)->text();
    QString error;
    if (!writeFileTypeList(m_ctx.programPath(kFileTypesFile), items, &error))
        m_ctx.dialogs().msgBox(this, QStringLiteral("The list of file types could not be saved.\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
}

void frmOptions::Command1_Click()
{
    if (m_project)
        openGlobalRulesEditor(m_ctx, m_windows, *m_project, parentWidget());
}

} // namespace tarnwick
