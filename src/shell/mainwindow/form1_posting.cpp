// The Post tab: the script URLs per main site, posting the results with its
// log window, and the two help boxes.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>

#include "exchange/linkpage.h"
#include "exchange/posting.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/layout.h"
#include "shell/windowregistry.h"
#include "shell/windows/form5.h"
#include "widgets/reportview.h"
#include "workspace/context.h"
#include "workspace/fieldtext.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {

const QString kScanFirst = QStringLiteral("You must perform a scan for reciprocal links first");
const QString kNoScriptUrl = QStringLiteral("You must enter a script URL to post to first");

// A new log opens over the main window where the status bar, which shows
// what the posting does, stays in sight.
void placePostingLog(Form5 *log, QWidget *mainWindow, QStatusBar *statusBar)
{
    const QScreen *screen = mainWindow->screen();
    if (!screen)
        return;
    // Frames are drawn by the window manager; the log's is taken to be like
    // the main window's.
    const QRect mainFrame = mainWindow->frameGeometry();
    const QRect client = mainWindow->geometry();
    const QMargins frame(client.left() - mainFrame.left(), client.top() - mainFrame.top(),
                         mainFrame.right() - client.right(), mainFrame.bottom() - client.bottom());
    const QRect bar(statusBar->mapToGlobal(QPoint(0, 0)), statusBar->size());
    const QRect place = layout::placeClearOfStatusBar(mainFrame, bar, screen->availableGeometry(),
                                                      log->size().grownBy(frame));
    log->setGeometry(place.marginsRemoved(frame));
}

// The one posting log, loaded when needed and brought forward.
Form5 *showPostingLog(AppContext &ctx, WindowRegistry &windows, QWidget *mainWindow, QStatusBar *statusBar)
{
    auto *log = qobject_cast<Form5 *>(windows.Form5.data());
    if (!log) {
        log = new Form5(ctx, windows, mainWindow);
        windows.Form5 = log;
        log->Form_Load();
        placePostingLog(log, mainWindow, statusBar);
    }
    log->show();
    log->raise();
    return log;
}

} // namespace

void Form1::connectPagesAndPost()
{
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(cmdPost, &QPushButton::clicked, this, [this] { cmdPost_Click(); });
    connect(cmdScriptAdd, &QPushButton::clicked, this, [this] { cmdScriptAdd_Click(); });
    connect(cmdScriptDel, &QPushButton::clicked, this, [this] { cmdScriptDel_Click(); });
    connect(cmdExample, &QPushButton::clicked, this, [this] { cmdExample_Click(); });
    connect(cmdVariables, &QPushButton::clicked, this, [this] { cmdVariables_Click(); });
    // Enter adds the row; the typed main site does not become a choice.
    cmbSites->setInsertPolicy(QComboBox::NoInsert);
    connect(cmbSites->lineEdit(), &QLineEdit::returnPressed, this, [this] { cmbSites_KeyPress(13); });
    connect(txtPost2, &QLineEdit::returnPressed, this, [this] { txtPost2_KeyPress(13); });
    connect(lstMultiView, &platform::ReportView::itemClicked, this, [this](int row) { lstMulti_ItemClick(row); });
    // The post targets are saved with the project: a change must not be lost.
    connect(txtPost, &QLineEdit::textEdited, this, [this] { m_project->bProjectSaved = false; });
}

void Form1::cmdScriptAdd_Click()
{
    const QString site = cmbSites->currentText();
    const QString script = txtPost2->text();
    if (site == QLatin1String("Select") || site.trimmed().isEmpty() || script.isEmpty())
        return;
    m_project->lstMulti->add(storedField(site), {storedField(script)});
    m_project->bProjectSaved = false;
}

void Form1::cmdScriptDel_Click()
{
    const int row = m_project->lstMulti->selectedRow();
    if (row < 1)
        return;
    m_project->lstMulti->remove(row);
    m_project->bProjectSaved = false;
}

void Form1::cmbSites_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        cmdScriptAdd_Click();
}

void Form1::txtPost2_KeyPress(int keyAscii)
{
    if (keyAscii == 13)
        cmdScriptAdd_Click();
}

void Form1::lstMulti_ItemClick(int row)
{
    platform::ListView *list = m_project->lstMulti;
    if (list->isValidRow(row) && !list->isSelected(row))
        list->setSelectedRow(row);
    cmdScriptDel->setEnabled(true);
}

void Form1::cmdVariables_Click()
{
    const HelpBox box = urlVariablesHelp();
    m_ctx.dialogs().msgBox(this, box.text, platform::vbOKOnly, box.title);
}

void Form1::cmdExample_Click()
{
    const HelpBox box = urlExampleHelp();
    m_ctx.dialogs().msgBox(this, box.text, platform::vbOKOnly, box.title);
}

void Form1::cmdPost_Click()
{
    // One posting at a time: the button rests while it runs, and a click
    // that still gets here is refused.
    if (m_posting)
        return;
    const QPointer<Form5> log = showPostingLog(m_ctx, m_windows, this, StatusBar1);
    if (m_project->List3->count() == 0) {
        setPanelText(1, kScanFirst);
        StatusBar1->repaint();
        m_ctx.yieldToEventLoop();
        return;
    }

    // The rows and the script URLs as they stand now: whatever changes while
    // the requests go out does not change this posting.
    QVector<ResultRow> rows;
    rows.reserve(m_project->List3->count());
    for (int r = 1; r <= m_project->List3->count(); ++r)
        rows.append(resultRow(*m_project->List3, r));
    QVector<PostTarget> targets;
    for (int r = 1; r <= m_project->lstMulti->count(); ++r)
        targets.append(PostTarget{m_project->lstMulti->text(r), m_project->lstMulti->subItem(r, 1)});
    const PostMode mode = optScript[1]->isChecked() ? PostMode::UrlPerMainSite : PostMode::OneUrl;
    const PostingPlan plan = planPosting(rows, mode, txtPost->text(), targets);
    if (plan.noScriptUrl) {
        setPanelText(1, kNoScriptUrl);
        StatusBar1->repaint();
        return;
    }

    m_posting = true;
    cmdPost->setEnabled(false);
    // Each request gives way to the window. The posting goes on with its own
    // rows whatever the project does meanwhile, and ends when its log is
    // closed (also by the window's shut-down).
    const QPointer<Form1> self(this);
    auto goOn = [&] { return self && !m_unloaded && log && !log->isHidden(); };
    // A request under way ends as soon as the posting does.
    platform::FetchOptions options = m_ctx.fetchOptions;
    options.cancelled = [&] { return !goOn(); };
    for (const PostRequest &request : plan.requests) {
        setPanelText(1, sendingSiteText(request));
        repaintStatusBar();
        m_ctx.yieldToEventLoop();
        if (!goOn())
            break;
        QString url = request.url;
        QString error;
        const QByteArray reply = getURLBytes(m_ctx, url, options, &error);
        if (!goOn())
            break;
        log->appendLog(postLogEntry(url, reply, error));
    }
    if (!self)
        return;
    m_posting = false;
    cmdPost->setEnabled(true);
}

} // namespace tarnwick
