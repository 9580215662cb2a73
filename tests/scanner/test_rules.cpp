#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/listview.h"
#include "scanner/linkrules.h"
#include "support/files.h"

using namespace tarnwick;
using testsupport::readBytes;

namespace {
const QString kMain = QStringLiteral("http://www.main.example");
const QString kLinking = QStringLiteral("http://www.partner.example/links.htm");
const QString kLink = QStringLiteral("www.partner.example/links/page.htm");

Rule rule(const QString &type, const QString &value, const QString &main = "Global",
          const QString &remote = "Global")
{
    return Rule{main, remote, type, value};
}

bool allowed(const QString &u, const QList<Rule> &rules)
{
    return checkRules(u, rules, kMain, kLinking);
}

} // namespace

TEST(Rules, NoRulesLetEveryLinkThrough)
{
    QTemporaryDir dir;
    EXPECT_TRUE(checkRules(kLink, {}, kMain, kLinking, RuleLog{true, dir.path()}));
    EXPECT_FALSE(QFile::exists(dir.filePath("rules.log")));
}

TEST(Rules, ScopeMatrix)
{
    // An "ExcludeString" rule that would reject the link, in every scope.
    struct Row {
        QString main, remote;
        bool inScope;
    } rows[] = {
        {"Global", "Global", true},
        {kMain, "Global", true},
        {kMain, kLinking, true},
        {"Global", kLinking, true},
        {"http://www.other.example", "Global", false},
        {"http://www.other.example", kLinking, false},
        {kMain, "http://www.elsewhere.example", false},
        {"Global", "http://www.elsewhere.example", false},
        // Exact comparisons: letter case and a missing scheme put a rule out of scope.
        {"HTTP://WWW.MAIN.EXAMPLE", "Global", false},
        {"www.main.example", "Global", false},
        {"Global", "www.partner.example/links.htm", false},
        {"global", "Global", false},
    };
    for (const Row &r : rows) {
        const QList<Rule> rules{rule("ExcludeString", "page", r.main, r.remote)};
        EXPECT_EQ(allowed(kLink, rules), !r.inScope) << r.main.toStdString() << " | " << r.remote.toStdString();
    }
}

TEST(Rules, ALinkingSiteRuleStopsApplyingOnceTheRowTextChanges)
{
    const QList<Rule> rules{rule("ExcludeString", "page", kMain, kLinking)};
    EXPECT_FALSE(checkRules(kLink, rules, kMain, kLinking));
    // The row now holds a found-on page instead of the site's URL.
    EXPECT_TRUE(checkRules(kLink, rules, kMain, "www.partner.example/links/page.htm"));
}

TEST(Rules, EachTypeWithValues)
{
    struct Row {
        QString type, value, u;
        bool allowed;
    } rows[] = {
        {"LimitDirectory", "links", kLink, true},
        {"LimitDirectory", "/links", kLink, true},
        {"LimitDirectory", "/links/", kLink, true},
        {"LimitDirectory", "LINKS", kLink, true},
        {"LimitDirectory", "link", kLink, false},
        {"LimitDirectory", "other", kLink, false},
        {"ExcludeDirectory", "links", kLink, false},
        {"ExcludeDirectory", "/Links/", kLink, false},
        {"ExcludeDirectory", "link", kLink, true},
        {"LimitString", "PAGE", kLink, true},
        {"LimitString", "other", kLink, false},
        {"ExcludeString", "Page.htm", kLink, false},
        {"ExcludeString", "other", kLink, true},
        {"LimitRoot", "partner", kLink, true},
        {"LimitRoot", "other", kLink, false},
        {"ExcludeRoot", "partner", kLink, false},
        {"ExcludeRoot", "other", kLink, true},
        // Types are exact names: anything else never rejects.
        {"excludestring", "page", kLink, true},
        {"EXCLUDEROOT", "page", kLink, true},
        {"", "page", kLink, true},
        {"Exclude", "page", kLink, true},
    };
    for (const Row &r : rows)
        EXPECT_EQ(allowed(r.u, {rule(r.type, r.value)}), r.allowed)
            << r.type.toStdString() << " " << r.value.toStdString();
}

TEST(Rules, EachTypeWithAnEmptyValue)
{
    struct Row {
        QString type;
        bool allowed;
    } rows[] = {
        {"ExcludeString", false}, {"ExcludeRoot", false}, {"LimitString", true},
        {"LimitRoot", true},      {"ExcludeDirectory", false}, {"LimitDirectory", true},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(allowed(kLink, {rule(r.type, "")}), r.allowed) << r.type.toStdString();
        EXPECT_EQ(allowed("partner.example/", {rule(r.type, "")}), r.allowed) << r.type.toStdString();
    }
}

TEST(Rules, RulesCombineAsAConjunctionAndTheFirstRejectionIsReported)
{
    const QList<Rule> rules{
        rule("LimitDirectory", "links"),
        rule("LimitDirectory", "archive"),
        rule("ExcludeString", "page"),
    };
    // In /links/ but not in /archive/: the second rule rejects first.
    const Rule *first = rejectingRule(kLink, rules, kMain, kLinking);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->ruleValue, "archive");
    EXPECT_TRUE(allowed("www.partner.example/archive/links/x.htm",
                        {rule("LimitDirectory", "links"), rule("LimitDirectory", "archive")}));
    EXPECT_EQ(rejectingRule("www.partner.example/links/x.htm", {rule("LimitDirectory", "links")}, kMain, kLinking),
              nullptr);
}

TEST(Rules, RejectionsAreLoggedOnlyWhenLoggingIsOn)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("rules.log");
    const QList<Rule> rules{rule("ExcludeDirectory", "/links/"), rule("ExcludeString", "other")};

    EXPECT_FALSE(checkRules(kLink, rules, kMain, kLinking, RuleLog{false, dir.path()}));
    EXPECT_FALSE(QFile::exists(log));

    EXPECT_FALSE(checkRules(kLink, rules, kMain, kLinking, RuleLog{true, dir.path()}));
    EXPECT_TRUE(checkRules("www.partner.example/a.htm", rules, kMain, kLinking, RuleLog{true, dir.path()}));
    EXPECT_FALSE(checkRules("www.other.example/", rules, kMain, kLinking, RuleLog{true, dir.path()}));
    EXPECT_EQ(readBytes(log), QByteArray("Excluded Site: www.partner.example/links/page.htm\r\n"
                                        "Rule Type: ExcludeDirectory\r\n"
                                        "Rule Value: /links/\r\n"
                                        "\r\n"
                                        "\r\n"
                                        "Excluded Site: www.other.example/\r\n"
                                        "Rule Type: ExcludeString\r\n"
                                        "Rule Value: other\r\n"
                                        "\r\n"
                                        "\r\n"));
}

TEST(Rules, AnUnwritableLogDoesNotChangeTheAnswer)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("no/such/folder");
    EXPECT_FALSE(checkRules(kLink, {rule("ExcludeString", "")}, kMain, kLinking, RuleLog{true, missing}));
    EXPECT_FALSE(QDir(missing).exists());
    logRule(missing, "LimitString", "x", kLink);  // must not throw or create anything
    EXPECT_FALSE(QDir(missing).exists());
}

TEST(Rules, RulesFromTheRulesList)
{
    platform::ListView lstRules;
    lstRules.add("Global", {"Global", "ExcludeString", "cart"});
    lstRules.add(kMain, {kLinking, "LimitDirectory"});
    const QList<Rule> rules = rulesFromList(lstRules);
    ASSERT_EQ(rules.size(), 2);
    EXPECT_EQ(rules[0].mainSite, "Global");
    EXPECT_EQ(rules[0].remoteSite, "Global");
    EXPECT_EQ(rules[0].ruleType, "ExcludeString");
    EXPECT_EQ(rules[0].ruleValue, "cart");
    EXPECT_EQ(rules[1].mainSite, kMain);
    EXPECT_EQ(rules[1].remoteSite, kLinking);
    EXPECT_EQ(rules[1].ruleType, "LimitDirectory");
    EXPECT_EQ(rules[1].ruleValue, "");
    EXPECT_FALSE(allowed("www.partner.example/cart/x.htm", rules));
    EXPECT_TRUE(allowed(kLink, rules));
}
