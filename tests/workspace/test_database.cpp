// The local database beside the program, on a temporary program folder.

#include <gtest/gtest.h>

#include <QFile>

#include "platform/listbox.h"
#include "support/testprogram.h"
#include "workspace/database.h"
#include "workspace/project.h"

using namespace tarnwick;

namespace {

class LocalDatabase : public ::testing::Test {
protected:
    QStringList column(const char *sql)
    {
        db::Database d(databasePath(*p.ctx));
        db::Statement s = d.prepare(sql);
        QStringList out;
        while (s.next())
            out << s.text(0);
        return out;
    }
    void addEmail(const QString &address)
    {
        db::Database d(databasePath(*p.ctx));
        db::Statement s = d.prepare("INSERT INTO emails (email) VALUES (?1)");
        s.bind(1, address);
        ASSERT_TRUE(s.run());
    }
    // A file of the name that is no database at all.
    void breakFile()
    {
        QFile f(databasePath(*p.ctx));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'J'));
    }

    testsupport::TestProgram p;
};

TEST_F(LocalDatabase, MissingFileIsCreatedAndWebsitesAreAdded)
{
    ASSERT_FALSE(QFile::exists(p.path("spider.mdb")));
    QString url = "  http://www.site.example/  ";
    EXPECT_TRUE(addWebsite(*p.ctx, url));
    EXPECT_EQ(url, "www.site.example/");
    EXPECT_TRUE(QFile::exists(p.path("spider.mdb")));
    url = "x.example";
    addWebsite(*p.ctx, url);
    addWebsite(*p.ctx, url);  // no test for an existing row
    EXPECT_EQ(column("SELECT website FROM websites"),
              (QStringList{"www.site.example/", "x.example", "x.example"}));
    const QStringList dates = column("SELECT \"Date\" FROM websites");
    ASSERT_EQ(dates.size(), 3);
    EXPECT_TRUE(QDateTime::fromString(dates[0], "yyyy-MM-dd HH:mm:ss").isValid());
    EXPECT_TRUE(column("SELECT email FROM emails").isEmpty());
}

TEST_F(LocalDatabase, EmailExistsBindsAndTrimsOneDot)
{
    addEmail("a@x.example");
    addEmail("o'neil@x.example");
    addEmail("b@x.example.");

    QString address = " a@x.example. ";
    // A space after the dot keeps the dot; only a final dot goes.
    EXPECT_FALSE(emailExists(*p.ctx, address));
    EXPECT_EQ(address, "a@x.example.");
    address = "A@X.example.";
    EXPECT_TRUE(emailExists(*p.ctx, address));
    EXPECT_EQ(address, "A@X.example");
    address = "b@x.example..";
    EXPECT_TRUE(emailExists(*p.ctx, address));
    EXPECT_EQ(address, "b@x.example.");
    // A quote is just a character.
    address = "o'neil@x.example";
    EXPECT_TRUE(emailExists(*p.ctx, address));
    address = "x' OR '1'='1";
    EXPECT_FALSE(emailExists(*p.ctx, address));

    p.ctx->lLinksFound = 7;
    EXPECT_TRUE(clearEmails(*p.ctx));
    EXPECT_EQ(p.ctx->lLinksFound, 0);
    address = "a@x.example";
    EXPECT_FALSE(emailExists(*p.ctx, address));
}

TEST_F(LocalDatabase, ClearWebsitesLeavesARunningScansQueue)
{
    Project project(*p.ctx);
    QString url = "x.example";
    addWebsite(*p.ctx, url);
    project.List2->addItem("x.example/a.htm");
    p.ctx->lPagesFound = 3;
    p.ctx->lPagesScanned = 4;

    p.ctx->bScanning = true;
    EXPECT_TRUE(clearWebsites(project));
    EXPECT_EQ(project.List2->count(), 1);
    EXPECT_EQ(p.ctx->lPagesFound, 0);
    EXPECT_EQ(p.ctx->lPagesScanned, 0);
    EXPECT_TRUE(column("SELECT website FROM websites").isEmpty());

    p.ctx->bScanning = false;
    EXPECT_TRUE(clearWebsites(project));
    EXPECT_EQ(project.List2->count(), 0);
}

TEST_F(LocalDatabase, UnreadableFileIsLeftAloneAndAnsweredSafely)
{
    breakFile();
    Project project(*p.ctx);
    project.List2->addItem("x.example/a.htm");
    p.ctx->lPagesFound = 3;
    p.ctx->lLinksFound = 5;

    QString url = "http://x.example";
    EXPECT_TRUE(addWebsite(*p.ctx, url));
    EXPECT_EQ(url, "x.example");
    QString address = "a@x.example";
    EXPECT_TRUE(emailExists(*p.ctx, address));
    EXPECT_TRUE(clearEmails(*p.ctx));
    EXPECT_EQ(p.ctx->lLinksFound, 0);

    QString error;
    EXPECT_FALSE(clearWebsites(project, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(project.List2->count(), 1);
    EXPECT_EQ(p.ctx->lPagesFound, 3);

    QFile f(databasePath(*p.ctx));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(4096, 'J'));
}

TEST(SchemeRemoval, ShortAndLongLists)
{
    QString s = " HTTP://x.example/a ";
    removeSchemeShort(s);
    EXPECT_EQ(s, "x.example/a");
    s = "https://www.x.example";
    removeSchemeShort(s);
    EXPECT_EQ(s, "httpswww.x.example");
    s = "ttp://x.example";
    removeSchemeShort(s);
    EXPECT_EQ(s, "x.example");

    s = "http://www.x.example";
    removeSchemeLong(s);
    EXPECT_EQ(s, "x.example");
    s = "https://www.x.example";
    removeSchemeLong(s);
    EXPECT_EQ(s, "httpswww.x.example");
    s = "HTTP://WWW.x.example";
    removeSchemeLong(s);
    EXPECT_EQ(s, "x.example");

    EXPECT_EQ(onStop(), 0);
    EXPECT_TRUE(onNextSearch().isEmpty());
}

} // namespace
