#include <QDir>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

#include "platform/listview.h"
#include "support/testprogram.h"
#include "scanner/scanner.h"
#include "workspace/project.h"
#include "workspace/services.h"
#include "support/eventloop.h"
#include "support/files.h"

using namespace tarnwick;
using testsupport::readBytes;
using testsupport::writeBytes;

namespace {
} // namespace

TEST(UrlText, URLEncodeKeepsSafeCharactersAndEncodesTheRest)
{
    struct Row {
        QString in, out, writtenBack;
    } rows[] = {
        {"", "", ""},
        {"http://", "http://", ""},
        {"HTTP://A b", "http://A+b", "A b"},
        {"http://x/b c", "http://x%2Fb+c", "x/b c"},
        {"a&b", "a%26b", "a&b"},
        {"Az09.-_*", "Az09.-_*", "Az09.-_*"},
        {"\n/", "%0A%2F", "\n/"},
        {"~%+", "%7E%25%2B", "~%+"},
        // Only a leading scheme is set aside; an address further on is sent intact.
        {"x http://y http://z", "x+http%3A%2F%2Fy+http%3A%2F%2Fz", "x http://y http://z"},
        {"Http://a/?u=http://b", "http://a%2F%3Fu%3Dhttp%3A%2F%2Fb", "a/?u=http://b"},
        // Beyond ASCII: the UTF-8 bytes, one escape each.
        {QString::fromUtf8("é"), "%C3%A9", QString::fromUtf8("é")},
        {QString::fromUtf8("€"), "%E2%82%AC", QString::fromUtf8("€")},
    };
    for (const Row &r : rows) {
        QString text = r.in;
        EXPECT_EQ(URLEncode(text), r.out) << r.in.toStdString();
        EXPECT_EQ(text, r.writtenBack) << r.in.toStdString();
    }
}

TEST(UrlText, GetDomainReducesTheCallersVariable)
{
    struct Row {
        QString in, out;
    } rows[] = {
        {"https://www.x/y/z", "x"},
        {"WWW.x", "WWW.x"},
        {"www.", "www."},
        {"www.a", "a"},
        {"HTTP://www.shop.example/p?q=1", "shop.example"},
        {"partner.example", "partner.example"},
        {"", ""},
        {"/path", ""},
    };
    for (const Row &r : rows) {
        QString url = r.in;
        EXPECT_EQ(getDomain(url), r.out) << r.in.toStdString();
        EXPECT_EQ(url, r.out) << r.in.toStdString();
    }
}

TEST(Files, ExtractFileNameSplitsAtSlash)
{
    EXPECT_EQ(extractFileName(""), "");
    EXPECT_EQ(extractFileName("a/b/c.prj"), "c.prj");
    EXPECT_EQ(extractFileName("c.prj"), "c.prj");
    EXPECT_EQ(extractFileName("dir/"), "");
    EXPECT_EQ(extractFileName("C:\\x\\y.prj"), "C:\\x\\y.prj");
}

TEST(Files, FileExistsOnlyForPlainFilesIgnoringCaseOfTheName)
{
    testsupport::TestProgram p;
    writeBytes(p.path("Report.HTML"), "x");
    QDir(p.dir.path()).mkdir("folder");
    EXPECT_TRUE(fileExists(p.path("Report.HTML")));
    EXPECT_TRUE(fileExists(p.path("report.html")));
    EXPECT_FALSE(fileExists(p.path("folder")));
    EXPECT_FALSE(fileExists(p.path("missing.txt")));
    EXPECT_FALSE(fileExists(p.path("nowhere/missing.txt")));
    EXPECT_FALSE(fileExists(""));
    EXPECT_FALSE(fileExists(p.path("*.HTML")));
    // Hidden files do not count either.
    writeBytes(p.path(".Hidden.html"), "x");
    EXPECT_FALSE(fileExists(p.path(".Hidden.html")));
    EXPECT_FALSE(fileExists(p.path(".hidden.html")));
}

TEST(Files, CopyFileReplacesOrLeavesTheDestinationAlone)
{
    testsupport::TestProgram p;
    writeBytes(p.path("a.txt"), "new contents");
    writeBytes(p.path("b.txt"), "old");
    copyFile(p.path("a.txt"), p.path("b.txt"));
    EXPECT_EQ(readBytes(p.path("b.txt")), "new contents");

    // A missing source, a folder as source, an unreachable destination:
    // nothing changes and nothing is thrown.
    writeBytes(p.path("c.txt"), "keep me");
    copyFile(p.path("missing.txt"), p.path("c.txt"));
    EXPECT_EQ(readBytes(p.path("c.txt")), "keep me");
    QDir(p.dir.path()).mkdir("folder");
    copyFile(p.path("folder"), p.path("c.txt"));
    EXPECT_EQ(readBytes(p.path("c.txt")), "keep me");
    copyFile(p.path("a.txt"), p.path("no/such/dir/c.txt"));
    EXPECT_FALSE(QFile::exists(p.path("no/such/dir/c.txt")));
    // Copying onto a folder leaves the folder.
    copyFile(p.path("a.txt"), p.path("folder"));
    EXPECT_TRUE(QFileInfo(p.path("folder")).isDir());
}

TEST(Counters, AddStatCountsSavesLifetimeTotalsAndRedraws)
{
    testsupport::TestProgram p;
    AppContext &c = *p.ctx;
    int redraws = 0;
    c.onStatsChanged = [&] { ++redraws; };
    c.lHistWebScanned = 41;
    for (int kind = 0; kind <= 4; ++kind)
        addStat(c, Stat(kind));
    addStat(c, Stat::LinkFound);
    EXPECT_EQ(c.lPagesScanned, 1);
    EXPECT_EQ(c.lPagesFound, 1);
    EXPECT_EQ(c.lLinksFound, 2);
    EXPECT_EQ(c.lMainSitesScanned, 1);
    EXPECT_EQ(c.lLinkingSitesScanned, 1);
    EXPECT_EQ(c.lHistWebScanned, 42);
    EXPECT_EQ(c.lHistEmailFound, 2);
    // The first count is saved at once; later ones within the second wait.
    EXPECT_EQ(c.settings().get("lHistWebScanned"), "42");
    EXPECT_EQ(c.settings().get("LHISTEMAILFOUND"), "0");
    saveLifetimeCounters(c);
    EXPECT_EQ(c.settings().get("LHISTEMAILFOUND"), "2");
    // Nothing new to save: the file is not written again.
    c.settings().set("lHistEmailFound", "x");
    saveLifetimeCounters(c);
    EXPECT_EQ(c.settings().get("lHistEmailFound"), "x");
    // An unknown kind counts nothing but still redraws.
    addStat(c, Stat(7));
    addStat(c, Stat(-1));
    EXPECT_EQ(redraws, 8);
    EXPECT_EQ(c.lPagesScanned + c.lPagesFound + c.lLinksFound + c.lMainSitesScanned + c.lLinkingSitesScanned, 6);
}

TEST(Counters, NeverOverflow)
{
    testsupport::TestProgram p;
    AppContext &c = *p.ctx;
    c.lPagesScanned = std::numeric_limits<qint64>::max();
    c.lHistWebScanned = std::numeric_limits<qint64>::max();
    addStat(c, Stat::PageScanned);
    EXPECT_EQ(c.lPagesScanned, std::numeric_limits<qint64>::max());
    EXPECT_EQ(c.lHistWebScanned, std::numeric_limits<qint64>::max());
    // Past the old 32-bit limit the count goes on.
    c.lLinksFound = 2147483647;
    addStat(c, Stat::LinkFound);
    EXPECT_EQ(c.lLinksFound, 2147483648LL);
}

TEST(Sorting, EachCallTogglesTheOrderAndSortsByTheClickedColumn)
{
    testsupport::TestProgram p;
    platform::ListView list;
    list.setColumnHeaders({"A", "B"});
    // An empty list: nothing changes, success.
    EXPECT_TRUE(EnhListView_SortColumns(*p.ctx, list, 1, false));
    EXPECT_FALSE(list.sorted());
    EXPECT_EQ(list.sortOrder(), platform::SortOrder::Ascending);

    list.add("b", {"2"});
    list.add("C", {"1"});
    list.add("a", {"3"});
    EXPECT_TRUE(EnhListView_SortColumns(*p.ctx, list, 1, false));
    EXPECT_TRUE(list.sorted());
    EXPECT_EQ(list.sortOrder(), platform::SortOrder::Descending);
    EXPECT_EQ(list.text(1), "C");
    EXPECT_EQ(list.text(3), "a");

    // Another column: the order toggles again, to ascending.
    EXPECT_TRUE(EnhListView_SortColumns(*p.ctx, list, 2, false));
    EXPECT_EQ(list.sortKey(), 1);
    EXPECT_EQ(list.sortOrder(), platform::SortOrder::Ascending);
    EXPECT_EQ(list.text(1), "C");
    EXPECT_EQ(list.text(2), "b");
    EXPECT_EQ(list.text(3), "a");

    // A column that does not exist fails, and says so only when asked.
    EXPECT_FALSE(EnhListView_SortColumns(*p.ctx, list, 9, false));
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());
    EXPECT_FALSE(EnhListView_SortColumns(*p.ctx, list, 0, true));
    ASSERT_EQ(p.dialogs->boxes.size(), 1);
    EXPECT_EQ(p.dialogs->boxes[0].title, "Error in Function : EnhListView_SortColumns");
    EXPECT_TRUE(p.dialogs->boxes[0].text.startsWith("Error"));
}

TEST(Settings, KeysIgnoreCaseAndValuesReachTheFileAtOnce)
{
    testsupport::TestProgram p;
    platform::SettingsStore &s = p.ctx->settings();
    EXPECT_EQ(s.get("txtAutoSave", "5"), "5");
    s.set("txtAutosave", "7");
    EXPECT_EQ(s.get("txtAutoSave", "5"), "7");
    EXPECT_EQ(s.getInt("TXTAUTOSAVE", 5), 7);
    s.set("chkLog", "x");
    EXPECT_EQ(s.getInt("chkLog", 1), 1);

    // The first value after a quiet second reaches the file at once: another
    // reader of the same file sees it.
    QSettings other(s.path(), QSettings::IniFormat);
    EXPECT_EQ(other.value("Settings/txtautosave").toString(), "7");
}

TEST(Settings, TheFileIsWrittenAtMostOnceASecondAndLosesNothing)
{
    testsupport::TestProgram p;
    platform::SettingsStore &s = p.ctx->settings();
    const QString path = s.path();
    auto onDisk = [&path](const char *key) {
        return QSettings(path, QSettings::IniFormat).value(QStringLiteral("Settings/") + key).toString();
    };
    s.set("txtHTML1", "<");
    EXPECT_EQ(onDisk("txthtml1"), "<");
    // Typing: every key stores the block, the file waits.
    QString block = "<";
    for (int i = 0; i < 40; ++i)
        s.set("txtHTML1", block += 'x');
    EXPECT_EQ(s.get("txtHTML1"), block);
    EXPECT_EQ(onDisk("txthtml1"), "<");
    ASSERT_TRUE(testsupport::waitUntil([&] { return onDisk("txthtml1") == block; }, 5000));

    // Waiting values go out when asked, and when the store goes.
    s.set("chkLog", "1");
    EXPECT_EQ(onDisk("chklog"), "");
    s.flush();
    EXPECT_EQ(onDisk("chklog"), "1");
    s.set("chkAuto", "0");
    p.ctx.reset();
    EXPECT_EQ(onDisk("chkauto"), "0");

    // A file that cannot be written is said to the user, once.
    testsupport::TestProgram q;
    ASSERT_TRUE(QFile::remove(q.ctx->settings().path()) || !QFile::exists(q.ctx->settings().path()));
    ASSERT_TRUE(QDir().mkpath(q.ctx->settings().path()));
    q.ctx->settings().set("chkLog", "1");
    q.ctx->settings().flush();
    q.ctx->settings().set("chkLog", "0");
    q.ctx->settings().flush();
    ASSERT_EQ(q.dialogs->boxes.size(), 1);
    EXPECT_TRUE(q.dialogs->lastText().startsWith("Your settings could not be saved"));
}


TEST(Text, DecodeTextReadsUtf8OrWindows1252)
{
    EXPECT_EQ(platform::decodeText("plain"), "plain");
    EXPECT_EQ(platform::decodeText("caf\xc3\xa9"), QString::fromUtf8("café"));
    EXPECT_EQ(platform::decodeText("caf\xe9 \x80"), QString::fromUtf8("café €"));
    EXPECT_EQ(platform::decodeText(QByteArray()), "");
}

TEST(Counters, StopSavesTheLifetimeTotalsThatWereWaiting)
{
    testsupport::TestProgram p;
    Project project(*p.ctx);
    Scanner scanner(*p.ctx, project);
    AppContext &c = *p.ctx;
    addStat(c, Stat::PageScanned);
    addStat(c, Stat::PageScanned);
    addStat(c, Stat::LinkFound);
    EXPECT_EQ(c.settings().get("lHistWebScanned"), "1");
    scanner.cmdStop_Click();
    EXPECT_EQ(c.settings().get("lHistWebScanned"), "2");
    EXPECT_EQ(c.settings().get("lHistEmailFound"), "1");
}
