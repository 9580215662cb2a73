#include "shell/windows/listbuilder.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/listview.h"
#include "platform/services.h"
#include "platform/urlfetch.h"
#include "scanner/scanner.h"
#include "shell/windowregistry.h"
#include "shell/windows/mainwindowlink.h"
#include "shell/windows/modeless.h"
#include "workspace/context.h"
#include "workspace/database.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

Form3::Form3(AppContext &ctx, WindowRegistry &windows, Project &project, Scanner &scanner, MainWindowLink &link,
             QWidget *owner)
    : QWidget(owner, kOwnedWindow)
    , m_ctx(ctx)
    , m_windows(windows)
    , m_project(&project)
    , m_scanner(&scanner)
    , m_link(link)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("List Builder - Finding matching websites..."));
    auto *layout = new QVBoxLayout(this);
    Text1 = new QLineEdit(QStringLiteral("Status"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("This shows the number of unique .com, .org and .net domain names found."));
    Text1->setReadOnly(true);
    layout->addWidget(Text1);
    setMinimumWidth(380);
}

Form3::~Form3() = default;

void Form3::Form_Load(const ListBuilderQuery &query)
{
    m_finished = false;
    m_total = 0;
    m_seen.clear();
    m_query = listbuilder::searchQuery(query.words);
    m_target = listbuilder::searchTarget(query.resultSize);
    m_engine = listbuilder::searchEngine(query.searchType);
    m_position = listbuilder::kFirstPosition;
    QTimer::singleShot(0, this, [this] { startSearch(); });
}

void Form3::closeEvent(QCloseEvent *event)
{
    // A search under way lets go at its next step.
    m_finished = true;
    QWidget::closeEvent(event);
}

void Form3::startSearch()
{
    if (m_finished)
        return;
    if (!m_project || m_windows.mainWindowUnloaded) {
        m_finished = true;
        close();
        return;
    }
    if (m_ctx.bScanning) {
        // Emptying the lists under a running scan would pull its queue away.
        m_finished = true;
        m_ctx.dialogs().msgBox(this, QStringLiteral("The list builder cannot start while a scan is running."),
                               platform::vbOKOnly | platform::vbExclamation);
        close();
        return;
    }
    QString error;
    if (!clearWebsites(*m_project, &error)) {
        m_finished = true;
        m_ctx.dialogs().msgBox(this, QStringLiteral("The web-site list could not be emptied.\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
        close();
        return;
    }

    const QPointer<Form3> self(this);
    for (;;) {
        const QString html = fetchResultPage(listbuilder::resultPageUrl(engines, m_engine, m_query, m_position));
        // The window was closed meanwhile (and may be gone): nothing more to do.
        if (!self || m_finished)
            return;
        if (!parseResults(html))
            return;
        if (listbuilder::searchEnds(m_total, m_target, m_pageCount)) {
            endSearch();
            return;
        }
        m_position = listbuilder::nextPosition(m_engine, m_position);
    }
}

QString Form3::fetchResultPage(const QString &url)
{
    platform::FetchOptions options = m_ctx.fetchOptions;
    AppContext &ctx = m_ctx;
    const QPointer<Form3> self(this);
    options.yield = [&ctx] { ctx.yieldToEventLoop(); };
    // Closing the window ends the fetch.
    options.cancelled = [self] { return !self || self->m_finished; };
    // A page that cannot be fetched gives nothing, which ends the search.
    return platform::decodeText(platform::fetchUrl(url, options).body);
}

bool Form3::parseResults(const QString &html)
{
    const QPointer<Form3> self(this);
    m_pageCount = 0;
    const QStringList found = listbuilder::resultDomains(html, engines, m_seen);
    for (QString domain : found) {
        addWebsite(m_ctx, domain);
        addStat(m_ctx, Stat::PageFound);
        ++m_total;
        ++m_pageCount;
        Text1->setText(QStringLiteral("Extracted %1 unique results.").arg(m_total));
        m_ctx.yieldToEventLoop();
        if (!self || m_finished)
            return false;
    }
    Text1->setText(QStringLiteral("Extracted %1 unique results.").arg(m_total));
    return true;
}

void Form3::endSearch()
{
    const QPointer<Form3> self(this);
    m_finished = true;
    m_seen.clear();
    Text1->setText(QStringLiteral("Finished! Extracted %1 results.").arg(m_total));
    hide();

    if (!m_project || !m_scanner || m_windows.mainWindowUnloaded) {
        close();
        return;
    }
    if (m_total >= listbuilder::kEnoughToScan) {
        // A scan the user started meanwhile is not started twice.
        if (!m_ctx.bScanning)
            m_scanner->cmdDoSearch_Click();
        if (self)
            close();
        return;
    }
    m_link.setPanelText(1, QStringLiteral("Stopped"));
    m_link.setPanelText(2, QStringLiteral("Not enough results"));
    const platform::ListView *sites = m_project->List1(m_project->iCurrentMain);
    if (sites && sites->count() >= 2) {
        // The builder stays loaded, hidden.
        m_link.setPanelText(3, QStringLiteral("Trying next search"));
        m_ctx.yieldToEventLoop();
        onNextSearch();
        return;
    }
    m_link.setPanelText(3, QStringLiteral("Add more search terms"));
    m_ctx.yieldToEventLoop();
    if (self)
        close();
}

Form3 *openListBuilder(AppContext &ctx, WindowRegistry &windows, Project &project, Scanner &scanner,
                       MainWindowLink &link, QWidget *owner, const ListBuilderQuery &query)
{
    return openModeless<Form3>(
        windows.Form3, [&] { return new Form3(ctx, windows, project, scanner, link, owner); }, query);
}

} // namespace tarnwick
