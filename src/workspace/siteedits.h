#pragma once
// What the site and rule editors do to the project, apart from their
// windows. Each editor captures the entry it edits when it opens and, when
// the user confirms, writes it back and replaces the rules of its scope with
// its working copy, appended at the end of the rules. An entry that is gone
// by then (deleted, or the project emptied or replaced) is not written.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include "workspace/projectfile.h"
#include "workspace/rules.h"

namespace platform {
class ListView;
}

namespace tarnwick {

class Project;

enum class EditResult {
    Saved,
    EmptySite,  // the site's URL is empty or blanks only: nothing written
    TagWord,    // the linking site's URL begins like a project-file line: nothing written
    Gone,       // the entry is no longer in the project: nothing written
};

// A linking site: one row of a main site's list with the rules of that row.
class LinkingSiteEdit {
public:
    // Row `row` (from 1) of main site `main`'s list, as it stands now.
    LinkingSiteEdit(Project &project, int main, int row);

    bool captured() const { return m_rowId != 0; }
    const LinkingSiteRow &loaded() const { return m_loaded; }
    const QString &mainSite() const { return m_mainSite; }
    const QVector<RuleRow> &loadedRules() const { return m_rules; }

    // Where the row is now; false when it is gone.
    bool locate(int *main, int *row) const;
    // Writes the fields as typed (an empty "#" as "1") and the working rules,
    // which follow the row to a new URL.
    EditResult save(LinkingSiteRow fields, const QVector<RuleRow> &working);

private:
    QPointer<Project> m_project;
    quint64 m_generation = 0;
    QPointer<platform::ListView> m_list;
    quint64 m_rowId = 0;
    mutable int m_rowHint = 0;
    QString m_mainSite;
    LinkingSiteRow m_loaded;
    QVector<RuleRow> m_rules;
};

// A main site: its text and the rules of all its linking sites.
class MainSiteEdit {
public:
    // Main site at `index` (from 0 in the main-site list), as it stands now.
    MainSiteEdit(Project &project, int index);

    bool captured() const { return !m_list.isNull(); }
    const QString &loaded() const { return m_text; }
    const QVector<RuleRow> &loadedRules() const { return m_rules; }

    // The main site's index now (from 0); -1 when it is gone.
    int locate() const;
    // Writes the text as typed and the working rules. A new text is carried
    // to every rule and post target that names the old one, unless another
    // main site has the old text too.
    EditResult save(const QString &typed, const QVector<RuleRow> &working);

private:
    QPointer<Project> m_project;
    quint64 m_generation = 0;
    QPointer<platform::ListView> m_list;
    int m_index = -1;
    QString m_text;
    QVector<RuleRow> m_rules;
};

// The rules that apply to every site.
class GlobalRulesEdit {
public:
    explicit GlobalRulesEdit(Project &project);

    const QVector<RuleRow> &loadedRules() const { return m_rules; }
    // Gone when the project was emptied or replaced since.
    EditResult save(const QVector<RuleRow> &working);

private:
    QPointer<Project> m_project;
    quint64 m_generation = 0;
    QVector<RuleRow> m_rules;
};

} // namespace tarnwick
