// The HTML report and the exports of the main window.

#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

#include "exchange/report.h"
#include "platform/safefile.h"
#include "workspace/project.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {

const QString kOverwriteQuestion = QStringLiteral("File already exists.  Are you sure you want to overwrite it?");

// The report view as a light HTML view. Links open in the desktop's browser.
class TextReportBrowser : public Form1::ReportBrowser {
public:
    TextReportBrowser(QWidget *parent, platform::Shell &shell)
        : m_view(new QTextBrowser(parent))
    {
        m_view->setObjectName(QStringLiteral("WebBrowser2"));
        m_view->setOpenLinks(false);
        m_view->setOpenExternalLinks(false);
        QObject::connect(m_view, &QTextBrowser::anchorClicked, m_view, [&shell](const QUrl &url) {
            const QString scheme = url.scheme().toLower();
            if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
                shell.open(url.toString());
        });
    }

    QWidget *widget() override { return m_view; }

    void navigate(const QString &target) override
    {
        m_location = target;
        if (!m_view)
            return;
        QByteArray bytes;
        if (target == QLatin1String("about:blank") || !platform::readWholeFile(target, bytes)) {
            m_view->clear();
            return;
        }
        m_view->setHtml(platform::decodeText(bytes));
    }

    QString locationURL() const override { return m_location; }

private:
    QPointer<QTextBrowser> m_view;
    QString m_location;
};

ReportInput reportInputOf(const Form1 &form, const AppContext &ctx)
{
    ReportInput in;
    for (int i = 0; i < form.List4->count(); ++i) {
        MainSiteData site{form.List4->item(i), {}};
        if (const platform::ListView *list = form.List1(i + 1)) {
            for (int r = 1; r <= list->count(); ++r)
                site.links.append(LinkingSiteRow{list->text(r), list->subItem(r, 1), {}, {}, {}});
        }
        in.mainSites.append(site);
    }
    const platform::ListView *results = form.List3;
    for (int r = 1; r <= results->count(); ++r)
        in.results.append(ResultRow{results->smallIcon(r), results->text(r), results->subItem(r, 1),
                                    results->subItem(r, 2), results->subItem(r, 3), results->subItem(r, 4)});
    in.errorCount = form.lstErr->count();
    in.pagesScanned = ctx.lPagesScanned;
    in.now = ctx.clock().now();
    in.locale = QLocale();
    return in;
}

bool isBlankName(const QString &name)
{
    return name.isEmpty() || name == QLatin1String(" ");
}

} // namespace

void Form1::buildReportControls()
{
    // The report view and its buttons share the "Reports" tab with the
    // e-mail buttons; the window's layout places them.
    QWidget *page = List3View->parentWidget();
    Command8 = new QPushButton(QStringLiteral("Save Report As"), page);
    Command8a = new QPushButton(QStringLiteral("Save Tab Delimited"), page);
    Command12 = new QPushButton(QStringLiteral("Build Report"), page);
    Command8->setObjectName(QStringLiteral("Command8"));
    Command8a->setObjectName(QStringLiteral("Command8a"));
    Command12->setObjectName(QStringLiteral("Command12"));
    WebBrowser2 = std::make_unique<TextReportBrowser>(page, m_ctx.shell());

    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(Command8a, &QPushButton::clicked, this, [this] { Command8a_Click(); });
    connect(Command12, &QPushButton::clicked, this, [this] { Command12_Click(); });
}

QString Form1::tempReportPath() const
{
    return m_ctx.programPath(QStringLiteral("tempreport.html"));
}

QString Form1::makeReport()
{
    const QString text = reportText(reportInputOf(*this, m_ctx), [this] { m_ctx.yieldToEventLoop(); });
    const QByteArray bytes = (text + QStringLiteral("\r\n")).toUtf8();

    const QString temp = tempReportPath();
    if (platform::writeFileAtomically(temp, bytes) && WebBrowser2)
        WebBrowser2->navigate(temp);

    // The copy kept with the project. Named after the file of the project in
    // the window, not the last one opened: after New that would put this
    // report in place of another project's.
    const QString name = reportNameForProject(strProjectFile);
    if (!name.isEmpty()) {
        const QString folder = projectFilesFolder();
        if (QDir().mkpath(folder))
            platform::writeFileAtomically(folder + QLatin1Char('/') + name, bytes);
    }
    return text;
}

void Form1::Command12_Click()
{
    makeReport();
}

void Form1::Command8_Click()
{
    QString name = m_ctx.dialogs().saveFile(
        {QString(), QStringLiteral("HTML Files (*.htm, *.html)|*.htm,*.html"), QString(), QString()});
    if (isBlankName(name))
        return;
    if (!name.contains(QStringLiteral(".htm"), Qt::CaseInsensitive))
        name += QStringLiteral(".htm");
    if (fileExists(name) && m_ctx.dialogs().msgBox(kOverwriteQuestion, platform::vbOKCancel) != platform::vbOK)
        return;
    // Before the first report there is nothing to save.
    QByteArray bytes;
    if (!platform::readWholeFile(tempReportPath(), bytes))
        return;
    QString error;
    if (!platform::writeFileAtomically(name, bytes, &error))
        m_ctx.dialogs().msgBox(QStringLiteral("The report could not be saved.\r\n") + name + QStringLiteral("\r\n")
                                   + error,
                               platform::vbOKOnly | platform::vbExclamation);
}

void Form1::Command8a_Click()
{
    QString name = m_ctx.dialogs().saveFile({QString(), QStringLiteral("TAB Files (*.tab)|*.tab"), QString(), QString()});
    if (isBlankName(name))
        return;
    if (!name.contains(QStringLiteral(".tab"), Qt::CaseInsensitive))
        name += QStringLiteral(".tab");
    if (fileExists(name) && m_ctx.dialogs().msgBox(kOverwriteQuestion, platform::vbOKCancel) != platform::vbOK)
        return;
    QVector<QStringList> rows;
    rows.reserve(List3->count());
    for (int r = 1; r <= List3->count(); ++r)
        rows.append({List3->text(r), List3->subItem(r, 1), List3->subItem(r, 2), List3->subItem(r, 3),
                     List3->subItem(r, 4)});
    const QString text = tabExportText(List3->columnHeaders(), rows) + QStringLiteral("\r\n");
    QString error;
    if (!platform::writeFileAtomically(name, text.toUtf8(), &error))
        m_ctx.dialogs().msgBox(QStringLiteral("The file could not be saved.\r\n") + name + QStringLiteral("\r\n")
                                   + error,
                               platform::vbOKOnly | platform::vbExclamation);
}

} // namespace tarnwick
