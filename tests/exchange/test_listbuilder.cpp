// The list builder's text: result-page addresses and the domains of a
// result page.

#include <QSet>
#include <gtest/gtest.h>

#include "exchange/listbuilder.h"
#include "support/printers.h"

using namespace tarnwick::listbuilder;

namespace {

TEST(ListBuilderText, QueryTargetEngineAndPageAddresses)
{
    EXPECT_EQ(searchQuery("blue widget shop"), "blue+widget+shop");
    EXPECT_EQ(searchQuery("C++ & 100%"), "C%2B%2B+%26+100%25");
    EXPECT_EQ(searchTarget(-1), 100);
    EXPECT_EQ(searchTarget(1), 200);
    EXPECT_EQ(searchTarget(5), 10000);
    EXPECT_EQ(searchEngine("Yahoo Search!"), Engine::Yahoo);
    EXPECT_EQ(searchEngine(""), Engine::Google);

    const EngineAddresses a{"http://g.test/search", "http://y.test/search/dir", {}};
    const int second = nextPosition(Engine::Google, kFirstPosition);
    EXPECT_EQ(resultPageUrl(a, Engine::Google, "a+%2F", second),
              "http://g.test/search?num=100&hl=en&lr=&ie=UTF-8&oe=UTF-8&safe=off&filter=0&start=100&sa=N&q=a+%2F");
    EXPECT_EQ(resultPageUrl(a, Engine::Yahoo, "a+%2F", nextPosition(Engine::Yahoo, kFirstPosition)),
              "http://y.test/search/dir?h=s&xargs=0&p=a+%2F&b=21");

    EXPECT_FALSE(searchEnds(20, 100, 1));
    EXPECT_TRUE(searchEnds(100, 100, 5));
    EXPECT_TRUE(searchEnds(3, 100, 0));
}

TEST(ListBuilderText, DomainsOfAResultPage)
{
    const EngineAddresses a{{}, {}, {"yahoo.com", "google.com", "yimg"}};
    const QString page = "<a href=\"http://shop.Example.COM/p\">x</a><a href='https://news.example.com/'>y</a>\n"
                         "<a href=http://example.org>z</a> http://www.google.com/x.com http://WWW.Google.COM/ "
                         "http://mailto:x.com "
                         "http://localhost/a.com http://a.example.co.uk/ http://www.agency.gov/ "
                         "HTTP://www.example.net\"><b>";
    QSet<QString> seen;
    EXPECT_EQ(resultDomains(page, a, seen),
              QStringList({"Example.COM", "example.org", "agency.gov", "example.net"}));
    EXPECT_EQ(resultDomains("http://EXAMPLE.org/again http://new.example.com", a, seen), QStringList());
    EXPECT_EQ(resultDomains("", a, seen), QStringList());
}

} // namespace
