#include "shell/windows/form4a.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStatusBar>
#include <QVBoxLayout>

#include "exchange/importlinks.h"
#include "platform/textfile.h"
#include "shell/skin/skin.h"
#include "shell/windows/importwindow.h"
#include "workspace/context.h"
#include "workspace/project.h"

namespace tarnwick {

namespace {
constexpr int kLongestAddress = 2048;  // characters
constexpr int kImportBatch = 500;      // sites added between two turns of the event loop
} // namespace

Form4a::Form4a(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner)
    : QWidget(owner, kFixedWindowFlags)
    , m_ctx(ctx)
    , m_windows(windows)
    , m_project(&project)
{
    setUpImportWindow(this, QStringLiteral("Form4a"), QStringLiteral("Import Main Sites"));
    Frame3 = makeFileFrame(
        this, QStringLiteral("Get main sites from a file"),
        QStringLiteral("You can import main sites from a text (.txt) file by entering one URL per line."),
        QStringLiteral("Import Main Sites from a file"), Label12, Command4);
    Frame3->setFixedWidth(480);

    StatusBar1 = makeOnePanelStatusBar(this, m_panel);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(Frame3);
    outer->addWidget(StatusBar1);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
}

Form4a::~Form4a() = default;

void Form4a::Form_Load()
{
    skinWindow(m_ctx, m_windows, this, {Frame3});
}

QString Form4a::panelText() const
{
    return m_panel->text();
}

Project *Form4a::project() const
{
    return m_project;
}

void Form4a::Command4_Click()
{
    // The import gives way after every site: the same button again must not
    // start a second one meanwhile.
    if (m_importing || !project())
        return;
    QPointer<QWidget> self(this);
    platform::TextFileReader in;
    if (!openImportFile(m_ctx, this, project()->projectFilesFolder(), in) || !self)
        return;
    // Read line by line: a large file is never held whole beside its sites.
    // No address is that long: such a line is no site, and one of many
    // megabytes would only stall the lists.
    QStringList sites;
    int skipped = 0;
    QString line;
    while (in.readLine(line)) {
        const QString site = mainSiteFromLine(line);
        if (site.size() > kLongestAddress)
            ++skipped;
        else if (!site.isEmpty())
            sites << site;
    }

    m_importing = true;
    Command4->setEnabled(false);
    const auto done = qScopeGuard([self, this] {
        if (self) {
            m_importing = false;
            Command4->setEnabled(true);
        }
    });

    // Sites go to the project the import began in, never into one opened
    // or started meanwhile. They go in batches, each one change of the
    // lists, giving way before each.
    QPointer<Project> target = project();
    const quint64 generation = target ? target->generation() : 0;
    qsizetype added = 0;
    while (added < sites.size()) {
        if (!giveWay(m_ctx, self))
            return;
        if (!target || target->generation() != generation) {
            m_panel->setText(QStringLiteral("Import stopped: the project was replaced. Added %1 site(s)").arg(added));
            return;
        }
        const QStringList batch = sites.mid(added, kImportBatch);
        target->addMainSites(batch);
        added += batch.size();
    }
    QString status = QStringLiteral("Added %1 site(s)").arg(added);
    if (skipped > 0)
        status += QStringLiteral(", skipped %1 line(s) too long for an address").arg(skipped);
    m_panel->setText(status);
}

} // namespace tarnwick
