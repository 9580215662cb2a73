// E-mail addresses in page text, and the harvester that finishes a page
// with them.

#include <gtest/gtest.h>

#include "scanner/emails.h"
#include "scanner/pagetext.h"
#include "scanner/scanharness.h"
#include "workspace/database.h"

using namespace tarnwick;

namespace {

TEST(EmailText, ExactlyOneAddressIsAnEmail)
{
    EXPECT_TRUE(isEmail("jo.ann-b_c@my-site.example.com"));
    EXPECT_TRUE(isEmail("mailto:x@y.org"));  // no anchors
    EXPECT_FALSE(isEmail("x@nodot"));
    EXPECT_FALSE(isEmail("a@b.com,c@d.com"));
    EXPECT_FALSE(isEmail(""));
}

TEST(EmailText, AddressesOfAPageLine)
{
    const QString long45 = QString(45, 'a');
    const struct {
        QString line;
        QStringList addresses;
        QStringList domains;
    } cases[] = {
        {"<a href=\"mailto:jo-ann@my-site.com\">Mail</a>", {"jo-ann@my-site.com"}, {"my-site.com"}},
        {"a@x.com;b@y.com", {"a@x.com", "b@y.com"}, {"x.com", "y.com"}},
        {"write to ann%40site.example.org%20today", {"ann@site.example.org"}, {"site.example.org"}},
        {"&lt;c@z.net&rt; (d@w.net), e&f@v.org", {"c@z.net", "d@w.net", "f@v.org"}, {"z.net", "w.net", "v.org"}},
        {"user@localhost and @ alone", {}, {}},
        {long45 + "@x.com", {QString(40, 'a') + "@x.com"}, {"x.com"}},
        {"end of text: me@site.com.", {"me@site.com."}, {"site.com."}},
        {"ann@site.com\r\nbob@other.com\nx\n@y.com", {"ann@site.com", "bob@other.com"}, {"site.com", "other.com"}},
        {"<img src=\"logo@2x.png\"> a@b@c.com v@1.5x x@y.c0m", {}, {}},
    };
    for (const auto &c : cases) {
        QStringList addresses;
        QStringList domains;
        for (const EmailFind &f : getEmails(c.line)) {
            addresses << f.address;
            domains << f.domain;
        }
        EXPECT_EQ(addresses, c.addresses) << c.line.toStdString();
        EXPECT_EQ(domains, c.domains) << c.line.toStdString();
    }
}

class Harvester : public ::testing::Test, public scantest::ScanHarness {
protected:
    void SetUp() override
    {
        db::Database d(databasePath(ctx()));
        db::Statement s = d.prepare("INSERT INTO emails (email) VALUES ('known@old.example')");
        ASSERT_TRUE(s.run());
        // Both dumps, as a scan leaves them.
        const QString page = "Mail new@fresh.example.com. Or known@old.example or\r\nsales@queued.example.net\r\n"
                             "team@later.example today.";
        writePageDump(ctx().programDir(), 0, page);
        writePageDump2(ctx().programDir(), 0, page);
        siteState().strSeenPages.add("queued.example.net/");
        ctx().bScanning = true;
    }
    QStringList websites()
    {
        db::Database d(databasePath(ctx()));
        db::Statement s = d.prepare("SELECT website FROM websites ORDER BY rowid");
        QStringList out;
        while (s.next())
            out << s.text(0);
        return out;
    }
};

TEST_F(Harvester, CountsNewAddressesStoresUnknownSitesAndMovesOn)
{
    scanner.getEmails();
    EXPECT_EQ(ctx().lLinksFound, 3);  // the known address counts nowhere
    // Without the full stop; a line break ends an address.
    EXPECT_EQ(websites(), QStringList({"www.fresh.example.com/", "www.later.example/"}));
    EXPECT_EQ(ctx().lPagesFound, 2);
    EXPECT_EQ(p.sound->played.filter("foundemail.wav").size(), 3);
    EXPECT_EQ(display.panelText(2), "");
    // The next page: the queue ran out, so the site (and the scan) ended.
    EXPECT_FALSE(ctx().bScanning);
    EXPECT_EQ(project.List3->count(), 1);
}

TEST_F(Harvester, StopInTheMiddleEndsThePageThere)
{
    ctx().lLinksFound = 40;  // earlier sites of the run
    ctx().onStatsChanged = [this] {
        if (ctx().lLinksFound == 41)
            ctx().bScanning = false;
    };
    scanner.getEmails();
    EXPECT_EQ(ctx().lLinksFound, 41);
    EXPECT_EQ(display.panelText(3), "Found 1 emails");  // this site's count
    EXPECT_EQ(project.List3->count(), 0);  // no next page asked for
}

} // namespace
