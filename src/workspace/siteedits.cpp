#include "workspace/siteedits.h"

#include "platform/listbox.h"
#include "platform/listview.h"
#include "workspace/fieldtext.h"
#include "workspace/project.h"

namespace tarnwick {

namespace {

// The main site whose linking-site list is `list`; 0 when the project has
// no such list (any more).
int mainSiteOfList(const Project &project, const platform::ListView *list)
{
    if (!list)
        return 0;
    for (int n = 1; n < project.List1Count() && n <= project.mainSiteCount(); ++n) {
        if (project.List1(n) == list)
            return n;
    }
    return 0;
}

} // namespace

// ---- Linking site ----

LinkingSiteEdit::LinkingSiteEdit(Project &project, int main, int row)
    : m_project(&project)
    , m_generation(project.generation())
{
    platform::ListView *list = main >= 1 && main <= project.mainSiteCount() ? project.List1(main) : nullptr;
    if (!list || !list->isValidRow(row))
        return;
    m_list = list;
    m_rowId = list->rowId(row);
    m_rowHint = row;
    m_mainSite = project.mainSiteText(main);
    m_loaded = LinkingSiteRow{list->text(row), list->subItem(row, 1), list->subItem(row, 2), list->subItem(row, 3),
                              list->subItem(row, 4)};
    m_rules = rulesOfScope(*project.lstRules, {m_mainSite, m_loaded.website});
}

bool LinkingSiteEdit::locate(int *main, int *row) const
{
    if (!m_project || m_project->generation() != m_generation || !m_list || m_rowId == 0)
        return false;
    const int n = mainSiteOfList(*m_project, m_list);
    const int r = n ? m_list->rowOfId(m_rowId, m_rowHint) : 0;
    if (r == 0)
        return false;
    m_rowHint = r;
    if (main)
        *main = n;
    if (row)
        *row = r;
    return true;
}

EditResult LinkingSiteEdit::save(LinkingSiteRow fields, const QVector<RuleRow> &working)
{
    int main = 0;
    int row = 0;
    if (!locate(&main, &row))
        return EditResult::Gone;
    for (QString *field : {&fields.website, &fields.expected, &fields.htmlLink, &fields.htmlName, &fields.description})
        *field = storedField(*field);
    if (fields.website.trimmed().isEmpty())
        return EditResult::EmptySite;
    if (!leadingTagWord(fields.website).isEmpty())
        return EditResult::TagWord;
    if (fields.expected.trimmed().isEmpty())
        fields.expected = QStringLiteral("1");

    Project &project = *m_project;
    platform::ListView &list = *m_list;
    platform::ListView &rules = *project.lstRules;
    // The main site may have been renamed meanwhile; its rules went with it.
    const QString mainSite = project.mainSiteText(main);
    const QString oldUrl = m_loaded.website;

    // Another row with the old URL keeps the rules of that URL when this
    // row moves away from it.
    bool shared = false;
    if (fields.website != oldUrl) {
        for (int r = 1; r <= list.count() && !shared; ++r)
            shared = r != row && list.text(r) == oldUrl;
    }
    if (!shared)
        removeRulesOfScope(rules, {mainSite, oldUrl});

    list.setText(row, fields.website);
    list.setSubItem(row, 1, fields.expected);
    list.setSubItem(row, 2, fields.htmlLink);
    list.setSubItem(row, 3, fields.htmlName);
    list.setSubItem(row, 4, fields.description);

    appendRulesInScope(rules, working, {mainSite, fields.website});
    project.bProjectSaved = false;
    return EditResult::Saved;
}

// ---- Main site ----

MainSiteEdit::MainSiteEdit(Project &project, int index)
    : m_project(&project)
    , m_generation(project.generation())
{
    if (index < 0 || index >= project.mainSiteCount() || !project.List1(index + 1))
        return;
    m_list = project.List1(index + 1);
    m_index = index;
    m_text = project.List4->item(index);
    m_rules = rulesOfScope(*project.lstRules, {m_text, kGlobalScope});
}

int MainSiteEdit::locate() const
{
    if (!m_project || m_project->generation() != m_generation || !m_list)
        return -1;
    // Main sites keep their places until one is deleted, which rebuilds
    // every list.
    if (m_project->List1(m_index + 1) != m_list || m_project->List4->item(m_index) != m_text)
        return -1;
    return m_index;
}

EditResult MainSiteEdit::save(const QString &typed, const QVector<RuleRow> &working)
{
    const QString text = storedField(typed);
    const int index = locate();
    if (index < 0)
        return EditResult::Gone;
    if (text.trimmed().isEmpty())
        return EditResult::EmptySite;

    Project &project = *m_project;
    platform::ListView &rules = *project.lstRules;
    const QString &oldText = m_text;
    const bool renamed = text != oldText;
    // Rules name their main site by its text: while another main site has
    // the old text, those rules are that site's too and stay.
    bool shared = false;
    for (int i = 0; i < project.List4->count() && !shared; ++i)
        shared = i != index && project.List4->item(i) == oldText;

    if (!(renamed && shared))
        removeRulesOfScope(rules, {oldText, kGlobalScope});
    project.List4->setItem(index, text);
    if (renamed && !shared) {
        for (int r = 1; r <= rules.count(); ++r) {
            if (rules.text(r) == oldText)
                rules.setText(r, text);
        }
        platform::ListView &targets = *project.lstMulti;
        for (int r = 1; r <= targets.count(); ++r) {
            if (targets.text(r) == oldText)
                targets.setText(r, text);
        }
    }
    appendRulesInScope(rules, working, {text, kGlobalScope});
    project.bProjectSaved = false;
    m_text = text;
    return EditResult::Saved;
}

// ---- Global rules ----

GlobalRulesEdit::GlobalRulesEdit(Project &project)
    : m_project(&project)
    , m_generation(project.generation())
    , m_rules(rulesOfScope(*project.lstRules, {kGlobalScope, kGlobalScope}))
{
}

EditResult GlobalRulesEdit::save(const QVector<RuleRow> &working)
{
    if (!m_project || m_project->generation() != m_generation)
        return EditResult::Gone;
    platform::ListView &rules = *m_project->lstRules;
    removeRulesOfScope(rules, {kGlobalScope, kGlobalScope});
    appendRulesInScope(rules, working, {kGlobalScope, kGlobalScope});
    m_project->bProjectSaved = false;
    return EditResult::Saved;
}

} // namespace tarnwick
