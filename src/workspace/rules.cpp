#include "workspace/rules.h"

#include "platform/listview.h"
#include "workspace/fieldtext.h"

namespace tarnwick {

const QStringList kRuleTypes = {QStringLiteral("LimitDirectory"), QStringLiteral("ExcludeDirectory"),
                                QStringLiteral("LimitString"),    QStringLiteral("ExcludeString"),
                                QStringLiteral("LimitRoot"),      QStringLiteral("ExcludeRoot")};

namespace {

bool inScope(const platform::ListView &rules, int row, const RuleScope &scope)
{
    return rules.text(row) == scope.mainSite && rules.subItem(row, 1) == scope.remoteSite;
}

} // namespace

QVector<RuleRow> rulesOfScope(const platform::ListView &rules, const RuleScope &scope)
{
    QVector<RuleRow> rows;
    for (int r = 1; r <= rules.count(); ++r) {
        if (inScope(rules, r, scope))
            rows.append(RuleRow{rules.text(r), rules.subItem(r, 1), rules.subItem(r, 2), rules.subItem(r, 3)});
    }
    return rows;
}

int removeRulesOfScope(platform::ListView &rules, const RuleScope &scope)
{
    int removed = 0;
    for (int r = 1; r <= rules.count();) {
        if (inScope(rules, r, scope)) {
            rules.remove(r);
            ++removed;
        } else {
            ++r;
        }
    }
    return removed;
}

void appendRulesInScope(platform::ListView &rules, const QVector<RuleRow> &rows, const RuleScope &scope)
{
    for (const RuleRow &row : rows)
        rules.add(scope.mainSite, {scope.remoteSite, storedField(row.ruleType), storedField(row.ruleValue)});
}

bool isRuleValue(const QString &value)
{
    return !value.isEmpty() && value != QLatin1String(" ");
}

} // namespace tarnwick
