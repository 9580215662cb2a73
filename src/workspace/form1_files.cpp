// Project files: open, save, quick-save, auto-save, main-site deletion.

#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "workspace/project.h"
#include "workspace/projectfile.h"
#include "workspace/services.h"

namespace tarnwick {

namespace {

const QString kProjectFilter = QStringLiteral("Project Files (*.prj)|*.prj");
const QString kLastProject = QStringLiteral("LastProject");
constexpr int kAutoSaveTicks = 300;

QPushButton *button(const QString &caption, const QString &hint, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setToolTip(hint);
    return b;
}

// Puts the project's rows into the window. Main sites are added after any
// that are there already.
void applyProject(Form1 &form, const ProjectData &p)
{
    for (const MainSiteData &site : p.mainSites) {
        form.List4->addItem(site.text);
        form.addList();
        platform::ListView *list = form.List1(form.List1Count() - 1);
        for (const LinkingSiteRow &row : site.links)
            form.itmX = list->add(row.website, {row.expected, row.htmlLink, row.htmlName, row.description});
    }
    form.txtHTML1->setPlainText(p.html1);
    form.txtHTML2->setPlainText(p.html2);
    form.txtHTML3->setPlainText(p.html3);
    for (const ResultRow &r : p.results)
        form.List3->add(r.main, {r.linking, r.status, r.number, r.linkUrl}, r.icon);
    for (const RuleRow &r : p.rules)
        form.lstRules->add(r.mainSite, {r.remoteSite, r.ruleType, r.ruleValue});
    if (!p.postSingle.isEmpty())
        form.txtPost->setText(p.postSingle);
    for (const PostTarget &t : p.postMulti)
        form.lstMulti->add(t.mainSite, {t.scriptUrl});
}

} // namespace

ProjectData projectDataOf(const Form1 &form)
{
    ProjectData p;
    for (int i = 0; i < form.List4->count(); ++i) {
        MainSiteData site{form.List4->item(i), {}};
        if (const platform::ListView *list = form.List1(i + 1)) {
            for (int r = 1; r <= list->count(); ++r)
                site.links.append(LinkingSiteRow{list->text(r), list->subItem(r, 1), list->subItem(r, 2),
                                                 list->subItem(r, 3), list->subItem(r, 4)});
        }
        p.mainSites.append(site);
    }
    p.html1 = form.txtHTML1->toPlainText();
    p.html2 = form.txtHTML2->toPlainText();
    p.html3 = form.txtHTML3->toPlainText();
    const platform::ListView *results = form.List3;
    for (int r = 1; r <= results->count(); ++r)
        p.results.append(ResultRow{results->smallIcon(r), results->text(r), results->subItem(r, 1),
                                   results->subItem(r, 2), results->subItem(r, 3), results->subItem(r, 4)});
    const platform::ListView *rules = form.lstRules;
    for (int r = 1; r <= rules->count(); ++r)
        p.rules.append(RuleRow{rules->text(r), rules->subItem(r, 1), rules->subItem(r, 2), rules->subItem(r, 3)});
    p.postSingle = form.txtPost->text();
    const platform::ListView *multi = form.lstMulti;
    for (int r = 1; r <= multi->count(); ++r)
        p.postMulti.append(PostTarget{multi->text(r), multi->subItem(r, 1)});
    return p;
}

void Form1::buildFileControls()
{
    cmdOpen = button(QStringLiteral("Open"), QStringLiteral("Open an existing project"), m_central);
    cmdSave = button(QStringLiteral("Save"),
                     QStringLiteral("Save this project to a file so that you can run it any time"), m_central);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdSave->setObjectName(QStringLiteral("cmdSave"));

    connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Timer1->start();

    // Rows the scanner records are changes an auto-save may not be the last
    // word on; Stop and shut-down must still see the project as changed.
    connect(List3, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_ctx.bScanning)
            m_ctx.bProjectSaved = false;
    });
}

QString Form1::quickSavePath() const
{
    return m_ctx.programPath(QStringLiteral("quicksave.qsv"));
}

QString Form1::autoSavePath() const
{
    return m_ctx.programPath(QStringLiteral("projects/AutoSaved.prj"));
}

QString Form1::projectFilesFolder() const
{
    return m_ctx.programPath(QStringLiteral("Project Files"));
}

bool Form1::saveProject(const QString &path, QString *error)
{
    if (!writeProjectFile(path, projectDataOf(*this), error))
        return false;
    m_ctx.bProjectSaved = true;
    m_ctx.settings().set(kLastProject, path);
    strProjectFile = path;
    return true;
}

bool Form1::openProject(const QString &path, bool clearFirst, QString *error)
{
    // The file is named the last project even when it cannot be read.
    m_ctx.settings().set(kLastProject, path);
    ProjectData project;
    // Read before clearing, so a file that cannot be read costs nothing.
    if (!readProjectFile(path, project, error))
        return false;
    if (clearFirst)
        cmdNew_Click();
    applyProject(*this, project);
    // A project read into another one is a new, unsaved whole.
    m_ctx.bProjectSaved = clearFirst;
    m_ctx.bJustLoaded = true;
    if (clearFirst)
        strProjectFile = path;
    if (List4->count() > 0)
        List4->setListIndex(0);  // raises List4_Click
    showProjectReport(path);
    return true;
}

void Form1::showProjectReport(const QString &path)
{
    if (!WebBrowser2)
        return;
    const QString name = reportNameForProject(path);
    const QString report = projectFilesFolder() + QLatin1Char('/') + name;
    if (!name.isEmpty() && fileExists(report))
        WebBrowser2->navigate(report);
    else
        WebBrowser2->navigate(QStringLiteral("about:blank"));
}

bool Form1::writeQuickSave(int skipIndex)
{
    ProjectData project = projectDataOf(*this);
    if (skipIndex >= 0 && skipIndex < project.mainSites.size())
        project.mainSites.removeAt(skipIndex);
    QString error;
    if (!writeProjectFile(quickSavePath(), project, &error)) {
        m_ctx.dialogs().msgBox(QStringLiteral("The quick-save file could not be written.\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
        return false;
    }
    return true;
}

bool Form1::loadQuickSave()
{
    ProjectData project;
    QString error;
    if (!readProjectFile(quickSavePath(), project, &error)) {
        m_ctx.dialogs().msgBox(QStringLiteral("The quick-save file could not be read.\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
        return false;
    }
    // Still the same project, kept in the same file.
    const QString projectFile = strProjectFile;
    cmdNew_Click();
    strProjectFile = projectFile;
    applyProject(*this, project);
    m_ctx.bProjectSaved = false;
    m_ctx.bJustLoaded = true;
    if (List4->count() > 0)
        List4->setListIndex(0);
    makeReport();
    return true;
}

void Form1::cmdOpen_Click()
{
    const QString folder = projectFilesFolder();
    QDir().mkpath(folder);
    const QString name = m_ctx.dialogs().openFile({folder, kProjectFilter, QString(), QString()});
    if (name.isEmpty())
        return;
    QString error;
    if (!openProject(name, true, &error))
        m_ctx.dialogs().msgBox(QStringLiteral("The project could not be opened.\r\n") + name
                                   + QStringLiteral("\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
}

void Form1::cmdSave_Click()
{
    QString proposed = proposedProjectName(List4->count() > 0 ? List4->item(0) : QString());
    const QString folder = projectFilesFolder();
    // A failed save offers the dialog once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        QDir().mkpath(folder);
        const QString name = m_ctx.dialogs().saveFile({folder, kProjectFilter, proposed, QString()});
        if (name.isEmpty())
            return;
        QString error;
        if (saveProject(name, &error))
            return;
        m_ctx.dialogs().msgBox(QStringLiteral("The project could not be saved.\r\n") + name
                                   + QStringLiteral("\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
        proposed = QStringLiteral("unnamed.prj");
    }
}

void Form1::cmdDelete_Click()
{
    // Rebuilding the project under a running scan would pull its lists away
    // from under it.
    if (m_ctx.bScanning) {
        m_ctx.dialogs().msgBox(QStringLiteral("You cannot delete the current site while the search is running."),
                               platform::vbOKOnly);
        return;
    }
    const int count = List4->count();
    int sel = List4->listIndex() + 1;
    if (count == 1 && sel < 1)
        sel = 1;  // the only main site goes, selected or not
    if (sel < 1 || sel > count)
        return;

    const QString mainSite = List4->item(sel - 1);
    for (int r = 1; r <= lstRules->count();) {
        if (lstRules->text(r) == mainSite)
            lstRules->remove(r);
        else
            ++r;
    }
    m_ctx.bProjectSaved = false;

    if (count == 1) {
        List4->clear();
        unloadLinkList(1);
        innerFrame2->hide();
        return;
    }
    if (writeQuickSave(sel - 1))
        loadQuickSave();
}

void Form1::Timer1_Timer()
{
    if (!m_ctx.bScanning || m_ctx.settings().getInt(QStringLiteral("chkAutoSave"), 0) != 1)
        return;
    ++iSecondsRunning;
    if (iSecondsRunning < kAutoSaveTicks)
        return;
    iSecondsRunning = 0;
    QString target = strProjectFile;
    if (target.isEmpty() || target == QLatin1String(" ")) {
        QDir().mkpath(m_ctx.programPath(QStringLiteral("projects")));
        target = autoSavePath();
    }
    // A failed auto-save waits for the next round.
    saveProject(target);
}

} // namespace tarnwick
