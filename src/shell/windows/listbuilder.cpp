#include "shell/windows/listbuilder.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/listview.h"
#include "platform/services.h"
#include "platform/urlfetch.h"
#include "shell/mainwindow/form1.h"
#include "shell/windowregistry.h"
#include "shell/windows/modeless.h"
#include "workspace/context.h"
#include "workspace/database.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

Form3::Form3(AppContext &ctx, Form1 &form)
    : QWidget(&form, kOwnedWindow)
    , m_ctx(ctx)
    , m_form(&form)
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

void Form3::Form_Load()
{
    m_finished = false;
    m_total = 0;
    m_seen.clear();
    if (m_form) {
        m_query = listbuilder::searchQuery(m_form->txtSearch->text());
        m_target = listbuilder::searchTarget(m_form->Combo2->currentIndex());
        m_engine = listbuilder::searchEngine(m_form->Combo1->currentText());
    }
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
    if (!m_form || m_form->unloaded()) {
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
    if (!clearWebsites(m_form->project(), &error)) {
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

    Form1 *form = m_form;
    if (!form || form->unloaded()) {
        close();
        return;
    }
    if (m_total >= listbuilder::kEnoughToScan) {
        // A scan the user started meanwhile is not started twice.
        if (!m_ctx.bScanning)
            form->cmdDoSearch_Click();
        if (self)
            close();
        return;
    }
    form->setPanelText(1, QStringLiteral("Stopped"));
    form->setPanelText(2, QStringLiteral("Not enough results"));
    const platform::ListView *sites = form->project().List1(form->project().iCurrentMain);
    if (sites && sites->count() >= 2) {
        // The builder stays loaded, hidden.
        form->setPanelText(3, QStringLiteral("Trying next search"));
        m_ctx.yieldToEventLoop();
        onNextSearch();
        return;
    }
    form->setPanelText(3, QStringLiteral("Add more search terms"));
    m_ctx.yieldToEventLoop();
    if (self)
        close();
}

Form3 *openListBuilder(Form1 &form)
{
    return openModeless<Form3>(form.windows().Form3, [&form] { return new Form3(form.ctx(), form); });
}

} // namespace tarnwick
