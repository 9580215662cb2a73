#pragma once
// The rules list of a project read by scope: the rows whose site columns
// name one scope, taken out, removed or appended as a block. Plain functions
// over the list model; the editors and the project use them alike.

#include <QString>
#include <QStringList>
#include <QVector>

#include "workspace/projectfile.h"

namespace platform {
class ListView;
}

namespace tarnwick {

// The site column of a rule that applies to every site of its kind.
inline const QString kGlobalScope = QStringLiteral("Global");

// The two site columns of a rule: ("Global", "Global") for every site, (main
// site, "Global") for a main site's linking sites, (main site, linking site)
// for one linking site. Compared exactly.
struct RuleScope {
    QString mainSite;
    QString remoteSite;
};

// The rule types by the editors' option index 0..5.
extern const QStringList kRuleTypes;

// Rules whose site columns are the scope, first to last.
QVector<RuleRow> rulesOfScope(const platform::ListView &rules, const RuleScope &scope);
// Removes them; how many went.
int removeRulesOfScope(platform::ListView &rules, const RuleScope &scope);
// Appends the rows in order, each in the scope whatever sites it names.
void appendRulesInScope(platform::ListView &rules, const QVector<RuleRow> &rows, const RuleScope &scope);

// What Add Rule takes as a value: anything but "" and a single space.
bool isRuleValue(const QString &value);

} // namespace tarnwick
