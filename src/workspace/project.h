#pragma once
// The project: main sites, one linking-site list per main site, the rules,
// the post targets and the link-page blocks, together with what a scan
// leaves (page queue, results, errors). Plain data in list models, no
// widgets: the main window shows these models and other windows and the
// scanner read and write them here.

#include <QObject>
#include <QString>
#include <vector>

#include "platform/listbox.h"
#include "platform/listview.h"
#include "workspace/projectfile.h"

class QTimer;

namespace tarnwick {

class AppContext;

// Placeholders of the three link-page blocks in a new project.
extern const QString kHtml1Placeholder;
extern const QString kHtml2Placeholder;
extern const QString kHtml3Placeholder;

class Project : public QObject {
    Q_OBJECT
public:
    explicit Project(AppContext &ctx, QObject *parent = nullptr);
    ~Project() override;

    AppContext &ctx() const { return m_ctx; }

    // ---- Lists ----
    // Main sites, one per item; item n-1 is main site n. Setting its index
    // raises its click: the selected main site becomes the current one.
    platform::ListBox *const List4;
    // Linking-site lists. Element 0 is the template (headers only); element
    // n belongs to main site n. Elements are always numbered 0..N.
    int List1Count() const { return int(m_list1.size()); }  // including the template
    bool List1Exists(int index) const { return index >= 0 && index < int(m_list1.size()); }
    platform::ListView *List1(int index) const;  // nullptr when there is none
    platform::ListBox *const List2;   // page queue
    platform::ListView *const List3;  // results
    platform::ListView *const lstErr;
    platform::ListView *const lstRules;  // rules of every scope
    platform::ListView *const lstMulti;  // per-main-site script URLs

    // ---- Texts ----
    // The single post target (txtPost).
    const QString &postTarget() const { return m_postTarget; }
    void setPostTarget(const QString &text);
    // Link-page block 1..3 (txtHTML1 to txtHTML3); line breaks as "\n".
    QString html(int block) const;
    void setHtml(int block, const QString &text);

    // ---- Values ----
    int iCurrentMain = 1;       // current main site, from 1
    int iEditIndex = 0;         // the entry an editor works on
    bool bProjectSaved = true;
    bool bJustLoaded = false;
    // The project file the user works on: set by a successful open or save,
    // forgotten by New. Auto-save writes here.
    QString strProjectFile;

    // Changes whenever the project is emptied for a new or another one; a
    // rebuild of the same project (deleting a main site) keeps it. A window
    // that holds on to part of the project checks it before writing.
    quint64 generation() const { return m_generation; }

    int mainSiteCount() const { return List4->count(); }
    QString mainSiteText(int n) const { return List4->item(n - 1); }  // n from 1

    // ---- Editing ----
    // Appends a main site with its (empty) linking-site list and returns its
    // number. The project is then unsaved; the selection stays.
    int addMainSite(const QString &text);
    // The same for many at once: the list grows in one step.
    void addMainSites(const QStringList &texts);
    // Creates the linking-site list of the main site added last.
    void addList();
    // Appends a row to main site n's list; its row number, 0 when there is
    // no such list or the site is named like a line of the project file
    // (`leadingTagWord`). The project is then unsaved.
    int addLinkingSite(int n, const LinkingSiteRow &row);
    // Removes a row and, unless another row of the list has the same URL,
    // the rules of its scope. False when there is no such row.
    bool removeLinkingSite(int n, int row);
    // Colours every linking-site row black.
    void resetLinkColors();
    // An empty project (New): no main sites, rules, results or post targets,
    // the placeholder blocks, no project file.
    void clear();
    // ---- Project files ----
    ProjectData data() const;
    // Adds a project's rows after the present ones.
    void append(const ProjectData &project);
    // Writes the project to path. On failure the old file stays as it was,
    // nothing is marked saved and error (when given) says why.
    bool saveProject(const QString &path, QString *error = nullptr);
    // Reads a project file (clearFirst: into an empty project; otherwise its
    // main sites are added after the present ones) and selects the first
    // main site. False when the file could not be read at all; the project
    // is then as it was. note: what was left out of the file ("" when
    // nothing was).
    bool openProject(const QString &path, bool clearFirst, QString *error = nullptr, QString *note = nullptr);
    // Writes the project without the main site at skipIndex (0-based) and
    // its rules to the quick-save file; a failure is reported in a message
    // box.
    bool writeQuickSave(int skipIndex);
    // Rebuilds the project from the quick-save file.
    bool loadQuickSave();

    enum class Deletion { None, Cleared, Rebuilt };
    // Deletes main site sel (from 1) with its rules: the last one by
    // clearing the lists, any other by rebuilding the project through the
    // quick-save file. A deletion that fails changes nothing.
    Deletion deleteMainSite(int sel);

    // Auto-save, every 1000 ms while the project lives.
    QTimer *Timer1 = nullptr;
    qint32 iSecondsRunning = 0;  // auto-save ticks counted while scanning
    void Timer1_Timer();

    // Beside the program: the quick-save file, the auto-save target when no
    // project file is known, and the folder of project files.
    QString quickSavePath() const;
    QString autoSavePath() const;
    QString projectFilesFolder() const;

signals:
    void linkingSiteListAdded(int index);
    void linkingSiteListRemoved(int index);
    // The project was emptied (New, or before a project is read in).
    void cleared();
    void htmlChanged(int block);
    void postTargetChanged();

private:
    void unloadLastList();

    AppContext &m_ctx;
    std::vector<platform::ListView *> m_list1;
    QString m_postTarget = QStringLiteral("http://");
    QString m_html[3];
    quint64 m_generation = 1;
};

} // namespace tarnwick
