// What the site and rule editors write into the project, without windows.

#include <gtest/gtest.h>

#include "support/testprogram.h"
#include "workspace/fieldtext.h"
#include "workspace/project.h"
#include "workspace/results.h"
#include "workspace/siteedits.h"

using namespace tarnwick;

namespace {

class SiteEdits : public ::testing::Test {
protected:
    SiteEdits()
    {
        project.addMainSite("main.example");
        project.addMainSite("other.example");
        project.addLinkingSite(1, {"a.example", "2", "ha", "na", "da"});
        project.addLinkingSite(1, {"b.example"});
        rule("main.example", "a.example", "LimitString", "x");
        rule("Global", "Global", "ExcludeString", "g1");
        rule("main.example", "Global", "LimitRoot", "m1");
        rule("Main.example", "a.example", "LimitString", "case");  // another scope by letter case
        rule("main.example", "a.example", "ExcludeRoot", "y");
        rule("main.example", "b.example", "LimitString", "b");
        project.lstMulti->add("main.example", {"http://post.example/s"});
        project.bProjectSaved = true;
    }
    void rule(const QString &m, const QString &r, const QString &t, const QString &v)
    {
        project.lstRules->add(m, {r, t, v});
    }
    QStringList rulesText() const
    {
        QStringList out;
        for (int r = 1; r <= project.lstRules->count(); ++r)
            out << project.lstRules->text(r) + "|" + project.lstRules->subItem(r, 1) + "|" +
                       project.lstRules->subItem(r, 3);
        return out;
    }

    testsupport::TestProgram p;
    Project project{*p.ctx};
};

TEST_F(SiteEdits, LinkingSiteLoadsItsScopeAndAnUnchangedOkMovesItToTheEnd)
{
    LinkingSiteEdit edit(project, 1, 1);
    ASSERT_TRUE(edit.captured());
    EXPECT_EQ(edit.loaded(), (LinkingSiteRow{"a.example", "2", "ha", "na", "da"}));
    ASSERT_EQ(edit.loadedRules().size(), 2);
    EXPECT_EQ(edit.loadedRules()[1].ruleValue, "y");

    EXPECT_EQ(edit.save(edit.loaded(), edit.loadedRules()), EditResult::Saved);
    EXPECT_EQ(rulesText(), QStringList({"Global|Global|g1", "main.example|Global|m1", "Main.example|a.example|case",
                                        "main.example|b.example|b", "main.example|a.example|x",
                                        "main.example|a.example|y"}));
    EXPECT_FALSE(project.bProjectSaved);
}

TEST_F(SiteEdits, ANewUrlTakesItsRulesAlongAndBlanksAreRefused)
{
    LinkingSiteEdit edit(project, 1, 1);
    QVector<RuleRow> working = edit.loadedRules();
    working.append({"main.example", "typed-before.example", "LimitString", "new"});

    EXPECT_EQ(edit.save({"  ", "1", "", "", ""}, working), EditResult::EmptySite);
    EXPECT_EQ(project.List1(1)->text(1), "a.example");
    EXPECT_EQ(project.lstRules->count(), 6);

    EXPECT_EQ(edit.save({"c.example", "", "l", "n", "d"}, working), EditResult::Saved);
    EXPECT_EQ(project.List1(1)->text(1), "c.example");
    EXPECT_EQ(project.List1(1)->subItem(1, 1), "1");  // an empty "#" as its hint promises
    EXPECT_EQ(rulesText().filter("c.example"),
              QStringList({"main.example|c.example|x", "main.example|c.example|y", "main.example|c.example|new"}));
    EXPECT_TRUE(rulesText().filter("|a.example|").size() == 1);  // only the other-case scope is left
}

TEST_F(SiteEdits, ARowSharingTheOldUrlKeepsItsRules)
{
    project.addLinkingSite(1, {"a.example"});
    LinkingSiteEdit edit(project, 1, 1);
    EXPECT_EQ(edit.save({"c.example", "1", "", "", ""}, edit.loadedRules()), EditResult::Saved);
    EXPECT_EQ(rulesText().filter("main.example|a.example").size(), 2);
    EXPECT_EQ(rulesText().filter("main.example|c.example").size(), 2);
}

TEST_F(SiteEdits, TheEditedRowIsFoundWhereverItMovedAndNotWhenItIsGone)
{
    LinkingSiteEdit second(project, 1, 2);
    LinkingSiteEdit first(project, 1, 1);
    project.iCurrentMain = 2;  // another main site selected meanwhile
    project.removeLinkingSite(1, 1);
    EXPECT_EQ(first.save({"z.example", "1", "", "", ""}, {}), EditResult::Gone);
    EXPECT_EQ(second.save({"bb.example", "3", "", "", ""}, {}), EditResult::Saved);
    EXPECT_EQ(project.List1(1)->text(1), "bb.example");
    EXPECT_EQ(project.List1(2)->count(), 0);

    LinkingSiteEdit again(project, 1, 1);
    project.clear();
    project.addMainSite("main.example");
    project.addLinkingSite(1, {"bb.example"});
    EXPECT_EQ(again.save({"q.example", "1", "", "", ""}, {}), EditResult::Gone);
    EXPECT_EQ(project.List1(1)->text(1), "bb.example");
}

TEST_F(SiteEdits, ARenamedMainSiteTakesItsRulesAndPostTargetAlong)
{
    MainSiteEdit edit(project, 0);
    ASSERT_EQ(edit.loadedRules().size(), 1);
    EXPECT_EQ(edit.save(" ", edit.loadedRules()), EditResult::EmptySite);
    EXPECT_EQ(edit.save("renamed.example", edit.loadedRules()), EditResult::Saved);
    EXPECT_EQ(project.List4->item(0), "renamed.example");
    EXPECT_EQ(rulesText().filter("main.example").size(), 0);
    EXPECT_EQ(rulesText().filter("renamed.example").size(), 4);
    EXPECT_EQ(rulesText().last(), "renamed.example|Global|m1");
    EXPECT_EQ(project.lstMulti->text(1), "renamed.example");
}

TEST_F(SiteEdits, RenamingOneOfTwoSitesWithTheSameTextLeavesTheOthersRules)
{
    project.List4->setItem(1, "main.example");
    MainSiteEdit edit(project, 1);
    EXPECT_EQ(edit.save("renamed.example", edit.loadedRules()), EditResult::Saved);
    EXPECT_EQ(rulesText().filter("main.example|").size(), 4);
    EXPECT_EQ(rulesText().filter("renamed.example|").size(), 1);
    EXPECT_EQ(project.lstMulti->text(1), "main.example");
}

TEST_F(SiteEdits, MainSiteAndGlobalEditsAfterTheProjectChanged)
{
    MainSiteEdit main(project, 1);
    GlobalRulesEdit global(project);
    ASSERT_EQ(global.loadedRules().size(), 1);
    // Deleting a main site rebuilds the lists: the same project, other lists.
    ASSERT_EQ(project.deleteMainSite(1), Project::Deletion::Rebuilt);
    EXPECT_EQ(main.save("x.example", {}), EditResult::Gone);
    EXPECT_EQ(global.save({}), EditResult::Saved);
    EXPECT_TRUE(rulesText().filter("Global|Global").isEmpty());

    GlobalRulesEdit stale(project);
    project.clear();
    EXPECT_EQ(stale.save({{"", "", "LimitString", "v"}}), EditResult::Gone);
    EXPECT_EQ(project.lstRules->count(), 0);
}

TEST_F(SiteEdits, RemovingAScopeTakesEveryRowAdjacentOnesIncluded)
{
    project.lstRules->clear();
    for (const char *value : {"1", "2", "3"})
        rule("main.example", "Global", "LimitString", value);
    rule("Global", "Global", "LimitString", "g");
    rule("main.example", "Global", "LimitString", "4");
    EXPECT_EQ(removeRulesOfScope(*project.lstRules, {"main.example", "Global"}), 4);
    EXPECT_EQ(rulesText(), QStringList{"Global|Global|g"});
}

TEST_F(SiteEdits, NoControlCharacterFromAnyEntryReachesAStoredField)
{
    const QString dirty = QStringLiteral("x") + QChar(0) + QStringLiteral("y\t") + QChar(0x1B) + QChar(0x85) +
                          QStringLiteral(".example");
    const QString clean = QStringLiteral("xy.example");
    project.addMainSite(dirty);
    project.addLinkingSite(2, {dirty, dirty, dirty, dirty, dirty});
    LinkingSiteEdit(project, 1, 2).save({dirty, dirty, dirty, dirty, dirty}, {{"", "", dirty, dirty}});
    MainSiteEdit(project, 0).save(dirty, {{"", "", "LimitString", dirty}});
    project.setPostTarget(dirty);
    project.setHtml(1, QStringLiteral("a\tb\n") + dirty);
    addResultRow(*project.List3, {2, dirty, dirty, dirty, dirty, dirty});

    EXPECT_EQ(project.List4->item(0), clean);
    EXPECT_EQ(project.List4->item(2), clean);
    EXPECT_EQ(project.List1(2)->item(1).subItems, QStringList(4, clean));
    EXPECT_EQ(project.postTarget(), clean);
    EXPECT_EQ(project.html(1), QStringLiteral("a\tb\nxy\t.example"));  // a block keeps its tabs and breaks
    for (const platform::ListView *list : {project.List1(1), project.List1(2), project.List3, project.lstRules}) {
        for (int r = 1; r <= list->count(); ++r) {
            EXPECT_FALSE(holdsControlCharacter(list->text(r)));
            for (const QString &cell : list->item(r).subItems)
                EXPECT_FALSE(holdsControlCharacter(cell)) << cell.toStdString();
        }
    }
    const QString path = p.path(QStringLiteral("clean.prj"));
    ASSERT_TRUE(project.saveProject(path));
    QString note;
    ASSERT_TRUE(project.openProject(path, true, nullptr, &note));
    EXPECT_EQ(note, "");
    EXPECT_EQ(project.List4->item(2), clean);
}

} // namespace
