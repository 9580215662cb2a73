#include "shell/mainwindow/reportpanel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

#include "exchange/report.h"
#include "platform/safefile.h"
#include "platform/services.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/projectfile.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {

const QString kOverwriteQuestion = QStringLiteral("File already exists.  Are you sure you want to overwrite it?");

// A report larger than this is shown by its beginning (the overview and the
// first sites) with a link to the whole file: a text view holds many times
// the size of what it shows, and a report can run to many megabytes.
constexpr qint64 kShownReportBytes = 512 * 1024;

// The first bytes of a large report, cut after a complete tag.
QString reportBeginning(const QString &path, qint64 size)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return QString();
    QByteArray head = in.read(kShownReportBytes);
    const qsizetype lastTag = head.lastIndexOf('>');
    if (lastTag >= 0)
        head.truncate(lastTag + 1);
    const QString mb = QString::number(double(size) / (1024.0 * 1024.0), 'f', 1);
    return platform::decodeText(head)
           + QStringLiteral("<hr><p><b>This report is %1 MB, too large to show here in full.</b> "
                            "<a href='%2'>Open the whole report</a> in your browser, or save it with "
                            "\"Save Report As\".</p>")
                 .arg(mb, QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

// The report view as a light HTML view. Links open in the desktop's browser.
class TextReportBrowser : public ReportPanel::ReportBrowser {
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
            else if (url.isLocalFile())
                shell.open(url.toLocalFile());
        });
    }

    QWidget *widget() override { return m_view; }

    void navigate(const QString &target) override
    {
        m_location = target;
        if (!m_view)
            return;
        const QFileInfo file(target);
        if (target == QLatin1String("about:blank") || !file.isFile()) {
            m_view->clear();
            return;
        }
        if (file.size() > kShownReportBytes) {
            m_view->setHtml(reportBeginning(target, file.size()));
            return;
        }
        QByteArray bytes;
        if (!platform::readWholeFile(target, bytes)) {
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

bool isBlankName(const QString &name)
{
    return name.isEmpty() || name == QLatin1String(" ");
}

// The program asks its own question before a file is replaced; the dialog
// does not ask as well.
platform::FileDialogRequest saveRequest(const QString &filter)
{
    platform::FileDialogRequest request{QString(), filter, QString(), QString()};
    request.confirmOverwrite = false;
    return request;
}

// Asked for anything at the name, hidden files included: nothing is
// replaced without the question.
bool mayReplace(platform::Dialogs &dialogs, QWidget *owner, const QString &name)
{
    return !QFileInfo::exists(name)
           || dialogs.msgBox(owner, kOverwriteQuestion, platform::vbOKCancel) == platform::vbOK;
}

} // namespace

ReportPanel::ReportPanel(AppContext &ctx, Project &project, QWidget *page, QObject *owner)
    : QObject(owner)
    , m_ctx(ctx)
    , m_project(project)
{
    // The report view and its buttons share the "Reports" tab with the
    // e-mail buttons; the window's layout places them.
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
    connect(&m_project, &Project::cleared, this, [this] {
        if (m_building)
            m_projectEmptied = true;
    });
}

ReportPanel::~ReportPanel() = default;

bool ReportPanel::makeReport()
{
    if (m_building) {
        m_rebuildWanted = true;
        return false;
    }
    setBuilding(true);
    m_projectEmptied = false;
    bool written = false;
    QString error;
    do {
        m_rebuildWanted = false;
        written = tarnwick::makeReport(m_project, [this] { m_ctx.yieldToEventLoop(); },
                                       [this] { return !m_rebuildWanted && !m_projectEmptied; }, &error);
    } while (m_rebuildWanted && !m_projectEmptied);
    // As a project that cannot be saved, a report that cannot be written is
    // said: what the window shows is not it.
    if (!error.isEmpty())
        m_ctx.dialogs().msgBox(Command8, QStringLiteral("The report could not be written.\r\n") + error.trimmed(),
                               platform::vbOKOnly | platform::vbExclamation);
    if (written && WebBrowser2)
        WebBrowser2->navigate(tempReportPath(m_ctx));
    setBuilding(false);
    return written && !m_projectEmptied;
}

void ReportPanel::setBuilding(bool on)
{
    m_building = on;
    // Building again from inside the build would only start it over.
    Command12->setEnabled(!on);
    emit buildingChanged(on);
}

void ReportPanel::showProjectReport(const QString &path)
{
    if (!WebBrowser2)
        return;
    const QString name = reportNameForProject(path);
    const QString report = m_project.projectFilesFolder() + QLatin1Char('/') + name;
    if (!name.isEmpty() && fileExists(report))
        WebBrowser2->navigate(report);
    else
        WebBrowser2->navigate(QStringLiteral("about:blank"));
}

void ReportPanel::Command12_Click()
{
    makeReport();
}

void ReportPanel::Command8_Click()
{
    QString name =
        m_ctx.dialogs().saveFile(Command8, saveRequest(QStringLiteral("HTML Files (*.htm, *.html)|*.htm,*.html")));
    if (isBlankName(name))
        return;
    if (!name.contains(QStringLiteral(".htm"), Qt::CaseInsensitive))
        name += QStringLiteral(".htm");
    if (!mayReplace(m_ctx.dialogs(), Command8, name))
        return;
    // Before the first report there is nothing to save.
    QByteArray bytes;
    if (!platform::readWholeFile(tempReportPath(m_ctx), bytes))
        return;
    QString error;
    if (!platform::writeFileAtomically(name, bytes, &error))
        m_ctx.dialogs().msgBox(Command8,
                               QStringLiteral("The report could not be saved.\r\n") + name + QStringLiteral("\r\n")
                                   + error,
                               platform::vbOKOnly | platform::vbExclamation);
}

void ReportPanel::Command8a_Click()
{
    QString name = m_ctx.dialogs().saveFile(Command8, saveRequest(QStringLiteral("TAB Files (*.tab)|*.tab")));
    if (isBlankName(name))
        return;
    if (!name.contains(QStringLiteral(".tab"), Qt::CaseInsensitive))
        name += QStringLiteral(".tab");
    if (!mayReplace(m_ctx.dialogs(), Command8, name))
        return;
    const QString text = tabExportOf(m_project);
    QString error;
    if (!platform::writeFileAtomically(name, text.toUtf8(), &error))
        m_ctx.dialogs().msgBox(Command8,
                               QStringLiteral("The file could not be saved.\r\n") + name + QStringLiteral("\r\n")
                                   + error,
                               platform::vbOKOnly | platform::vbExclamation);
}

} // namespace tarnwick
