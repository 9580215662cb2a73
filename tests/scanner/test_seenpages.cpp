// The seen-page lookups: the forms they write back, what they match, and
// that their indexes follow the lists as rows come, change and go.

#include <gtest/gtest.h>

#include "scanner/scanharness.h"
#include "scanner/textindex.h"

namespace {

class SeenPages : public ::testing::Test, public scantest::ScanHarness {
protected:
    void SetUp() override
    {
        main1 = addMain("main.example");
        main2 = addMain("other.example");
        project.List4->setListIndex(main1 - 1);
        ASSERT_EQ(project.iCurrentMain, main1);
    }
    bool known(QString url) { return scanner.siteKnown(url); }
    int main1 = 0;
    int main2 = 0;
};

TEST_F(SeenPages, SiteKnownWritesBackTheLongReduction)
{
    QString url = " http://www.x.example/a ";
    EXPECT_FALSE(scanner.siteKnown(url));
    EXPECT_EQ(url, "x.example/a");
    url = "HTTPS://www.x.example/a";
    scanner.siteKnown(url);
    EXPECT_EQ(url, "HTTPSwww.x.example/a");
    url = "ttp://ww.x.example";
    scanner.siteKnown(url);
    EXPECT_EQ(url, ".x.example");
}

TEST_F(SeenPages, QueueAndSeenTableMatchIgnoringCase)
{
    project.List2->addItem("X.example/A");
    project.List2->addItem("http://y.example/b");
    EXPECT_TRUE(known("http://www.x.example/a"));
    // Stored with its scheme, the item never equals a reduced link.
    EXPECT_FALSE(known("http://y.example/b"));

    // The index follows the queue: taken, changed and cleared items.
    project.List2->takeFirst();
    EXPECT_FALSE(known("x.example/a"));
    project.List2->setItem(0, "Y.EXAMPLE/B");
    EXPECT_TRUE(known("y.example/b"));
    project.List2->addItem("y.example/b");
    project.List2->removeItem(0);
    EXPECT_TRUE(known("y.example/b"));  // the second copy is still queued
    project.List2->clear();
    EXPECT_FALSE(known("y.example/b"));

    siteState().strSeenPages.add("Z.example/Page.htm");
    EXPECT_TRUE(known("z.example/page.htm"));
    siteState().strSeenPages.clear();
    EXPECT_FALSE(known("z.example/page.htm"));
}

TEST_F(SeenPages, LinkingSitesOfTheCurrentMainSiteMatchWithoutWww)
{
    platform::ListView *list = project.List1(main1);
    list->add("www.Partner.example/", {"1"});
    list->add("http://stored.example/", {"1"});
    project.List1(main2)->add("elsewhere.example/", {"1"});

    EXPECT_TRUE(known("http://www.partner.example/"));
    EXPECT_TRUE(known("partner.example/"));
    // Rows stored with a scheme never match.
    EXPECT_FALSE(known("stored.example/"));
    EXPECT_FALSE(known("elsewhere.example/"));

    list->setText(1, "renamed.example/");
    EXPECT_FALSE(known("partner.example/"));
    EXPECT_TRUE(known("RENAMED.example/"));
    list->remove(1);
    EXPECT_FALSE(known("renamed.example/"));

    project.List4->setListIndex(main2 - 1);
    EXPECT_TRUE(known("elsewhere.example/"));
    project.List1(main2)->setSorted(true);
    project.List1(main2)->add("another.example/", {"1"});
    EXPECT_TRUE(known("another.example/"));
}

TEST_F(SeenPages, FoundOnKnownLooksForTheSamePageOfTheSameMainSite)
{
    tarnwick::ScannerTestAccess::mainSite(scanner) = "main.example";
    QString page = "http://x.example/a";
    EXPECT_FALSE(scanner.foundOnKnown(page));
    EXPECT_EQ(page, "x.example/a");

    project.List3->add("main.example", {"x.example", "Direct Link", "001", "x.example/a/b.html"});
    project.List3->add("other.example", {"x.example", "Direct Link", "001", "x.example/c.htm"});
    // Equality, not containment.
    page = "x.example/a";
    EXPECT_FALSE(scanner.foundOnKnown(page));
    page = "http://X.EXAMPLE/A/B.HTML";
    EXPECT_TRUE(scanner.foundOnKnown(page));
    // A page recorded for another main site is recorded again for this one.
    page = "x.example/c.htm";
    EXPECT_FALSE(scanner.foundOnKnown(page));
    tarnwick::ScannerTestAccess::mainSite(scanner) = "OTHER.example";
    EXPECT_TRUE(scanner.foundOnKnown(page));

    project.List3->setSubItem(2, 4, "x.example/d.htm");
    EXPECT_FALSE(scanner.foundOnKnown(page));
    project.List3->clear();
    page = "x.example/d.htm";
    EXPECT_FALSE(scanner.foundOnKnown(page));
}

TEST(ModelTextIndex, FollowsInsertsRemovalsEditsAndResets)
{
    platform::ListBox box;
    tarnwick::ModelTextIndex index(&box, [&box](int row) { return box.item(row); });
    box.addItem("a");
    EXPECT_TRUE(index.contains("a"));  // built on first use
    for (int i = 0; i < 1000; ++i)
        box.addItem(QString::number(i));
    box.addItem("a");
    EXPECT_TRUE(index.contains("999"));
    for (int i = 0; i < 500; ++i)
        box.takeFirst();
    EXPECT_FALSE(index.contains("498"));
    EXPECT_TRUE(index.contains("499"));
    EXPECT_TRUE(index.contains("a"));  // the last row still has it
    box.setItem(box.count() - 1, "b");
    EXPECT_FALSE(index.contains("a"));
    EXPECT_TRUE(index.contains("b"));
    box.clear();
    EXPECT_FALSE(index.contains("b"));
    box.addItem("c");
    EXPECT_TRUE(index.contains("c"));
}

} // namespace
