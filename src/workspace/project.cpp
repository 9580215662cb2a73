#include "workspace/project.h"

#include <QDir>
#include <QTimer>

#include "workspace/context.h"
#include "workspace/fieldtext.h"
#include "workspace/rules.h"
#include "workspace/settingkeys.h"
#include "workspace/services.h"

namespace tarnwick {

const QString kHtml1Placeholder = QStringLiteral(
    "Paste all the HTML that you want to come before the links on your page here.  This will be the first part of "
    "your generated webpage.");
const QString kHtml2Placeholder =
    QStringLiteral("Your link HTML will be generate here.  This will be the second part of your generated webpage.");
const QString kHtml3Placeholder = QStringLiteral(
    "Paste all the HTML that you want to come after the links on your page here.  This will be the third part of "
    "your generated webpage.");

namespace {

constexpr int kAutoSaveTicks = 300;

platform::ListView *listWithHeaders(const QStringList &headers, QObject *parent)
{
    auto *l = new platform::ListView(parent);
    l->setColumnHeaders(headers);
    return l;
}

} // namespace

Project::Project(AppContext &ctx, QObject *parent)
    : QObject(parent)
    , List4(new platform::ListBox(this))
    , List2(new platform::ListBox(this))
    , List3(listWithHeaders({QStringLiteral("Main"), QStringLiteral("Linking"), QStringLiteral("Status"),
                             QStringLiteral("No."), QStringLiteral("Link URL")},
                            this))
    , lstErr(listWithHeaders({QStringLiteral("Error"), QStringLiteral("URL")}, this))
    , lstRules(listWithHeaders({QStringLiteral("MainSite"), QStringLiteral("RemoteSite"), QStringLiteral("RuleType"),
                                QStringLiteral("RuleValue")},
                               this))
    , lstMulti(listWithHeaders({QStringLiteral("Main Site"), QStringLiteral("Script URL")}, this))
    , m_ctx(ctx)
{
    m_list1.push_back(listWithHeaders({QStringLiteral("Website"), QStringLiteral("#"), QStringLiteral("HTML Link"),
                                       QStringLiteral("HTML Name"), QStringLiteral("Description")},
                                      this));

    // A main site selected is the current one, whoever selected it.
    connect(List4, &platform::ListBox::listIndexChanged, this, [this](int index) {
        if (index >= 0)
            iCurrentMain = index + 1;
    });

    // Rows a scan records are changes an auto-save may not be the last word
    // on; Stop and shut-down must still see the project as changed.
    connect(List3, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_ctx.bScanning)
            bProjectSaved = false;
    });

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Timer1->start();
}

Project::~Project() = default;

platform::ListView *Project::List1(int index) const
{
    return List1Exists(index) ? m_list1[size_t(index)] : nullptr;
}

void Project::setPostTarget(const QString &text)
{
    const QString stored = storedField(text);
    if (stored == m_postTarget)
        return;
    m_postTarget = stored;
    emit postTargetChanged();
}

QString Project::html(int block) const
{
    return block >= 1 && block <= 3 ? m_html[block - 1] : QString();
}

void Project::setHtml(int block, const QString &text)
{
    const QString stored = storedBlock(text);
    if (block < 1 || block > 3 || m_html[block - 1] == stored)
        return;
    m_html[block - 1] = stored;
    emit htmlChanged(block);
}

int Project::addMainSite(const QString &text)
{
    List4->addItem(storedField(text));
    addList();
    bProjectSaved = false;
    return List4->count();
}

void Project::addMainSites(const QStringList &texts)
{
    if (texts.isEmpty())
        return;
    List4->addItems(texts);
    for (qsizetype i = 0; i < texts.size(); ++i)
        addList();
    bProjectSaved = false;
}

void Project::addList()
{
    auto *l = new platform::ListView(this);
    l->setColumnHeaders(m_list1.front()->columnHeaders());
    m_list1.push_back(l);
    emit linkingSiteListAdded(int(m_list1.size()) - 1);
}

void Project::unloadLastList()
{
    // Only the highest element goes: the others keep their numbers.
    const int index = int(m_list1.size()) - 1;
    if (index <= 0)
        return;
    platform::ListView *l = m_list1.back();
    m_list1.pop_back();
    emit linkingSiteListRemoved(index);
    l->deleteLater();
}

int Project::addLinkingSite(int n, const LinkingSiteRow &row)
{
    platform::ListView *list = n >= 1 ? List1(n) : nullptr;
    const QString website = storedField(row.website);
    // A site named like a line of the project file would not read back.
    if (!list || !leadingTagWord(website).isEmpty())
        return 0;
    const int added = list->add(website, {storedField(row.expected), storedField(row.htmlLink),
                                          storedField(row.htmlName), storedField(row.description)});
    bProjectSaved = false;
    return added;
}

bool Project::removeLinkingSite(int n, int row)
{
    platform::ListView *list = n >= 1 ? List1(n) : nullptr;
    if (!list || !list->isValidRow(row))
        return false;
    const QString url = list->text(row);
    bool sameUrlElsewhere = false;
    for (int r = 1; r <= list->count(); ++r) {
        if (r != row && list->text(r) == url) {
            sameUrlElsewhere = true;
            break;
        }
    }
    if (!sameUrlElsewhere)
        removeRulesOfScope(*lstRules, {mainSiteText(n), url});
    list->remove(row);
    bProjectSaved = false;
    return true;
}

void Project::resetLinkColors()
{
    for (int n = 1; n <= List4->count(); ++n) {
        platform::ListView *list = List1(n);
        if (!list)
            continue;
        for (int row = 1; row <= list->count(); ++row)
            list->setForeColor(row, platform::kColorBlack);
    }
}

void Project::clear()
{
    while (List1Count() > 1)
        unloadLastList();
    iCurrentMain = 1;
    List2->clear();
    List4->clear();
    lstRules->clear();
    List3->clear();
    lstMulti->clear();
    setPostTarget(QStringLiteral("http://"));
    setHtml(1, kHtml1Placeholder);
    setHtml(2, kHtml2Placeholder);
    setHtml(3, kHtml3Placeholder);
    strProjectFile.clear();  // a new project has no file yet
    ++m_generation;
    emit cleared();
}

ProjectData Project::data() const
{
    ProjectData p;
    for (int i = 0; i < List4->count(); ++i) {
        MainSiteData site{List4->item(i), {}};
        if (const platform::ListView *list = List1(i + 1)) {
            for (int r = 1; r <= list->count(); ++r)
                site.links.append(LinkingSiteRow{list->text(r), list->subItem(r, 1), list->subItem(r, 2),
                                                 list->subItem(r, 3), list->subItem(r, 4)});
        }
        p.mainSites.append(site);
    }
    p.html1 = m_html[0];
    p.html2 = m_html[1];
    p.html3 = m_html[2];
    p.results = resultRowsAsWritten(*List3);
    for (int r = 1; r <= lstRules->count(); ++r)
        p.rules.append(
            RuleRow{lstRules->text(r), lstRules->subItem(r, 1), lstRules->subItem(r, 2), lstRules->subItem(r, 3)});
    p.postSingle = m_postTarget;
    for (int r = 1; r <= lstMulti->count(); ++r)
        p.postMulti.append(PostTarget{lstMulti->text(r), lstMulti->subItem(r, 1)});
    return p;
}

void Project::append(const ProjectData &p)
{
    for (const MainSiteData &site : p.mainSites) {
        List4->addItem(storedField(site.text));
        addList();
        platform::ListView *list = m_list1.back();
        for (const LinkingSiteRow &row : site.links)
            list->add(storedField(row.website), {storedField(row.expected), storedField(row.htmlLink),
                                                 storedField(row.htmlName), storedField(row.description)});
    }
    setHtml(1, p.html1);
    setHtml(2, p.html2);
    setHtml(3, p.html3);
    for (const ResultRow &r : p.results)
        addResultRow(*List3, r);
    for (const RuleRow &r : p.rules)
        lstRules->add(storedField(r.mainSite), {storedField(r.remoteSite), storedField(r.ruleType), storedField(r.ruleValue)});
    if (!p.postSingle.isEmpty())
        setPostTarget(p.postSingle);
    for (const PostTarget &t : p.postMulti)
        lstMulti->add(storedField(t.mainSite), {storedField(t.scriptUrl)});
}

QString Project::quickSavePath() const
{
    return m_ctx.programPath(QStringLiteral("quicksave.qsv"));
}

QString Project::autoSavePath() const
{
    return m_ctx.programPath(QStringLiteral("projects/AutoSaved.prj"));
}

QString Project::projectFilesFolder() const
{
    return m_ctx.programPath(QStringLiteral("Project Files"));
}

bool Project::saveProject(const QString &path, QString *error)
{
    if (!writeProjectFile(path, data(), error))
        return false;
    bProjectSaved = true;
    m_ctx.settings().set(key::LastProject, path);
    strProjectFile = path;
    return true;
}

bool Project::openProject(const QString &path, bool clearFirst, QString *error, QString *note)
{
    // The file is named the last project even when it cannot be read.
    m_ctx.settings().set(key::LastProject, path);
    ProjectData project;
    // Read before clearing, so a file that cannot be read costs nothing.
    if (!readProjectFile(path, project, error, note))
        return false;
    if (clearFirst)
        clear();
    append(project);
    // A project read into another one is a new, unsaved whole.
    bProjectSaved = clearFirst;
    bJustLoaded = true;
    if (clearFirst)
        strProjectFile = path;
    if (List4->count() > 0)
        List4->setListIndex(0);
    return true;
}

bool Project::writeQuickSave(int skipIndex)
{
    ProjectData project = data();
    if (skipIndex >= 0 && skipIndex < project.mainSites.size()) {
        // The site's rules go with it: its own and those of its linking sites.
        const QString mainSite = project.mainSites[skipIndex].text;
        project.rules.removeIf([&mainSite](const RuleRow &r) { return r.mainSite == mainSite; });
        project.mainSites.removeAt(skipIndex);
    }
    QString error;
    if (!writeProjectFile(quickSavePath(), project, &error)) {
        m_ctx.dialogs().msgBox(nullptr, QStringLiteral("The quick-save file could not be written.\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
        return false;
    }
    return true;
}

bool Project::loadQuickSave()
{
    ProjectData project;
    QString error;
    if (!readProjectFile(quickSavePath(), project, &error)) {
        m_ctx.dialogs().msgBox(nullptr, QStringLiteral("The quick-save file could not be read.\r\n") + error,
                               platform::vbOKOnly | platform::vbExclamation);
        return false;
    }
    // Still the same project, kept in the same file.
    const QString projectFile = strProjectFile;
    const quint64 generation = m_generation;
    clear();
    strProjectFile = projectFile;
    m_generation = generation;
    append(project);
    bProjectSaved = false;
    bJustLoaded = true;
    if (List4->count() > 0)
        List4->setListIndex(0);
    return true;
}

Project::Deletion Project::deleteMainSite(int sel)
{
    const int count = List4->count();
    if (sel < 1 || sel > count)
        return Deletion::None;

    if (count == 1) {
        const QString mainSite = mainSiteText(sel);
        for (int r = 1; r <= lstRules->count();) {
            if (lstRules->text(r) == mainSite)
                lstRules->remove(r);
            else
                ++r;
        }
        bProjectSaved = false;
        List4->clear();
        unloadLastList();
        return Deletion::Cleared;
    }
    // Nothing is removed unless the whole rebuild succeeds: the site's rules
    // leave with it through the quick-save file.
    if (writeQuickSave(sel - 1) && loadQuickSave())
        return Deletion::Rebuilt;
    return Deletion::None;
}

void Project::Timer1_Timer()
{
    if (!m_ctx.bScanning || m_ctx.settings().getInt(key::chkAutoSave, 0) != 1)
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
