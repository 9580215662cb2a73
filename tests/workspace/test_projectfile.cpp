// The project file format: golden output, round trips and damaged files.

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <ostream>

#include "workspace/projectfile.h"
#include "support/files.h"

using namespace tarnwick;
using testsupport::readBytes;
using testsupport::writeBytes;

namespace {

LinkingSiteRow link(const QString &site, const QString &expected = QStringLiteral("1"), const QString &html = {},
                    const QString &name = {}, const QString &description = {})
{
    return LinkingSiteRow{site, expected, html, name, description};
}

// A project with something of every kind.
ProjectData richProject()
{
    ProjectData p;
    p.mainSites = {
        {QStringLiteral("http://www.main-one.example/"),
         {link("partner-a.example", "2", "http://partner-a.example/links.html", "Partner A", "Good friends"),
          link("partner-b.example/start.html")}},
        {QStringLiteral("  main-two.example  "), {}},
        {QStringLiteral("main-three.example"), {link("partner-c.example", "1", "", "", "Caf\u00e9 \u00fcber alles")}},
    };
    p.html1 = QStringLiteral("<html>\n<body>\n\n<p>Links</p>");
    p.html2 = QStringLiteral("<a href=\"http://partner-a.example\">Partner A</a><br><br>\n");
    p.html3 = QStringLiteral("</body>\n</html>");
    p.results = {
        {2, "main-one.example/", "partner-a.example", "Direct Link", "001", "partner-a.example/links.html"},
        {1, "main-one.example/", "partner-b.example", "None Found (Timeout)", "000", "partner-b.example/start.html"},
        {1, "main-three.example", "partner-c.example", "Missing 002", "000", "partner-c.example/"},
    };
    p.rules = {
        {"Global", "Global", "ExcludeString", "logout"},
        {"http://www.main-one.example/", "Global", "LimitDirectory", "links"},
        {"http://www.main-one.example/", "partner-a.example", "ExcludeRoot", "partner-a.example/private"},
    };
    p.postSingle = QStringLiteral("http://mine.example/post.php");
    p.postMulti = {{"http://www.main-one.example/", "http://mine.example/one.php"},
                   {"main-three.example", "http://mine.example/three.php"}};
    return p;
}

TEST(ProjectFileFormat, WritesTheSmallestProjectByteForByte)
{
    ProjectData p;
    p.mainSites = {{QStringLiteral("www.mysite.example"), {link("partner-one.example"), link("partner-two.example")}}};
    p.postSingle = QStringLiteral("http://");
    const QString expected = QStringLiteral("www.mysite.example\r\n"
                                            "partner-one.example|1|||\r\n"
                                            "partner-two.example|1|||\r\n"
                                            "HTML01:\r\n"
                                            "HTML02:\r\n"
                                            "HTML03:\r\n"
                                            "POSTSINGLE:http://\r\n"
                                            "\r\n");
    EXPECT_EQ(projectFileText(p), expected);
    EXPECT_EQ(parseProjectText(expected), p);
}

TEST(ProjectFileFormat, WritesEveryKindOfLineInOrder)
{
    const QString expected = QStringLiteral(
        "http://www.main-one.example/\r\n"
        "partner-a.example|2|http://partner-a.example/links.html|Partner A|Good friends\r\n"
        "partner-b.example/start.html|1|||\r\n"
        "NEXTSITE:  main-two.example  \r\n"
        "NEXTSITE:main-three.example\r\n"
        "partner-c.example|1|||Caf\u00e9 \u00fcber alles\r\n"
        "HTML01:<html>|||<body>||||||<p>Links</p>\r\n"
        "HTML02:<a href=\"http://partner-a.example\">Partner A</a><br><br>|||\r\n"
        "HTML03:</body>|||</html>\r\n"
        "RESULT:2|main-one.example/|partner-a.example|Direct Link|001|partner-a.example/links.html\r\n"
        "RESULT:1|main-one.example/|partner-b.example|None Found (Timeout)|000|partner-b.example/start.html\r\n"
        "RESULT:1|main-three.example|partner-c.example|Missing 002|000|partner-c.example/\r\n"
        "RULE:Global|Global|ExcludeString|logout\r\n"
        "RULE:http://www.main-one.example/|Global|LimitDirectory|links\r\n"
        "RULE:http://www.main-one.example/|partner-a.example|ExcludeRoot|partner-a.example/private\r\n"
        "POSTSINGLE:http://mine.example/post.php\r\n"
        "POSTMULTI:http://www.main-one.example/|http://mine.example/one.php\r\n"
        "POSTMULTI:main-three.example|http://mine.example/three.php\r\n"
        "\r\n");
    EXPECT_EQ(projectFileText(richProject()), expected);
}

TEST(ProjectFileFormat, RichProjectRoundTrips)
{
    const ProjectData p = richProject();
    EXPECT_EQ(parseProjectText(projectFileText(p)), p);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rich.prj"));
    QString error;
    ASSERT_TRUE(writeProjectFile(path, p, &error)) << error.toStdString();
    EXPECT_EQ(readBytes(path), projectFileText(p).toUtf8());  // UTF-8, no byte-order mark
    ProjectData back;
    ASSERT_TRUE(readProjectFile(path, back, &error));
    EXPECT_EQ(back, p);
}

TEST(ProjectFileFormat, APipeInAUrlReadsBackAsTheSameUrlAndCutsNothing)
{
    ProjectData p;
    p.mainSites = {{QStringLiteral("main.example"), {link("a.example/go?x|y", "2", "http://a.example/|links", "A", "c")}}};
    p.results = {{2, "main.example", "a.example", "Direct Link", "001", "a.example/page?q=1|2"}};
    p.rules = {{"main.example", "a.example/go?x|y", "LimitString", "x"}};
    p.postMulti = {{"main.example", "http://mine.example/post.php?to=a|b"}};
    const ProjectData back = parseProjectText(projectFileText(p));

    ASSERT_EQ(back.results.size(), 1);
    EXPECT_EQ(back.results[0].linkUrl, "a.example/page?q=1%7C2");
    EXPECT_EQ(back.results[0].status, "Direct Link");
    ASSERT_EQ(back.mainSites[0].links.size(), 1);
    const LinkingSiteRow &row = back.mainSites[0].links[0];
    EXPECT_EQ(row.website, "a.example/go?x%7Cy");
    EXPECT_EQ(row.expected, "2");
    EXPECT_EQ(row.htmlLink, "http://a.example/%7Clinks");
    EXPECT_EQ(row.description, "c");
    // The rule still names its linking site as the row does.
    ASSERT_EQ(back.rules.size(), 1);
    EXPECT_EQ(back.rules[0].remoteSite, row.website);
    ASSERT_EQ(back.postMulti.size(), 1);
    EXPECT_EQ(back.postMulti[0].scriptUrl, "http://mine.example/post.php?to=a%7Cb");
}

TEST(ProjectFileFormat, LineBreaksOfEveryFormBecomeOneFormInBlocksAndSpacesElsewhere)
{
    ProjectData p;
    p.mainSites = {{QStringLiteral("main\r\nsite"), {link("a\rb", "1", "c\nd", "e", "f\r\ng")}}};
    p.html1 = QStringLiteral("one\r\ntwo\rthree\nfour");
    p.html2 = QStringLiteral("already|||split");
    p.results = {{2, "m", "l\n", "Direct Link", "001", "u"}};
    const QString text = projectFileText(p);
    EXPECT_TRUE(text.startsWith(QStringLiteral("main  site\r\na b|1|c d|e|f  g\r\nHTML01:one|||two|||three|||four\r\n")))
        << text.toStdString();
    const ProjectData back = parseProjectText(text);
    EXPECT_EQ(back.html1, QStringLiteral("one\ntwo\nthree\nfour"));
    // A "|" of the block's own is kept, not taken for a break.
    EXPECT_EQ(back.html2, QStringLiteral("already|||split"));
    EXPECT_EQ(back.results.value(0).linking, QStringLiteral("l "));
    ASSERT_EQ(back.mainSites.size(), 1);
    EXPECT_EQ(back.mainSites[0].links.size(), 1);
}

TEST(ProjectFileFormat, ProjectWithoutMainSitesReadsBackEmpty)
{
    ProjectData p;
    p.html1 = QStringLiteral("before");
    p.rules = {{"Global", "Global", "LimitString", "x"}};
    p.postSingle = QStringLiteral("http://");
    const QString text = projectFileText(p);
    EXPECT_TRUE(text.startsWith(QStringLiteral("HTML01:before\r\n")));
    EXPECT_EQ(parseProjectText(text), p);
}

struct DamagedCase {
    const char *name;
    const char *text;
    // What must come out.
    std::function<void(const ProjectData &)> check;
};

void PrintTo(const DamagedCase &c, std::ostream *os)
{
    *os << c.name;
}

class DamagedFiles : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedFiles, ReadWhatIsReadable)
{
    const ProjectData p = parseProjectText(QString::fromUtf8(GetParam().text));
    GetParam().check(p);
}

// Every damaged line is followed by a good one, to show that reading goes on.
INSTANTIATE_TEST_SUITE_P(
    ProjectFileFormat, DamagedFiles,
    ::testing::Values(
        DamagedCase{"LinkingLineWithoutSeparator", "main\r\nlonely.example\r\nnext.example|3|||\r\n",
                    [](const ProjectData &p) {
                        ASSERT_EQ(p.mainSites.value(0).links.size(), 2);
                        EXPECT_EQ(p.mainSites[0].links[0], link("lonely.example", "1"));
                        EXPECT_EQ(p.mainSites[0].links[1].expected, "3");
                    }},
        DamagedCase{"ShortAndLongLinkingLines", "main\r\na.example|2\r\nb.example|1|h|n|d|extra|more\r\n",
                    [](const ProjectData &p) {
                        ASSERT_EQ(p.mainSites.value(0).links.size(), 2);
                        EXPECT_EQ(p.mainSites[0].links[0], link("a.example", "2"));
                        EXPECT_EQ(p.mainSites[0].links[1], link("b.example", "1", "h", "n", "d"));
                    }},
        DamagedCase{"OldFiveFieldResult", "main\r\nRESULT:2|l.example|Direct Link|001|l.example/p\r\n",
                    [](const ProjectData &p) {
                        ASSERT_EQ(p.results.size(), 1);
                        EXPECT_EQ(p.results[0],
                                  (ResultRow{2, "", "l.example", "Direct Link", "001", "l.example/p"}));
                    }},
        DamagedCase{"ShortResultAndBadIcon",
                    "main\r\nRESULT:2|a|b|c\r\nRESULT:two|m|l|Direct Link|001|u\r\nRESULT: 1 |m|l|None Found|000|u\r\n"
                    "x.example|1|||\r\n",
                    [](const ProjectData &p) {
                        ASSERT_EQ(p.results.size(), 1);
                        EXPECT_EQ(p.results[0].icon, 1);
                        EXPECT_EQ(p.mainSites.value(0).links.size(), 1);
                    }},
        DamagedCase{"ShortRuleAndPostMulti",
                    "main\r\nRULE:Global|Global|LimitString\r\nPOSTMULTI:main\r\nRULE:a|b|c|d|e\r\n"
                    "POSTMULTI:main|http://s|x\r\n",
                    [](const ProjectData &p) {
                        ASSERT_EQ(p.rules.size(), 1);
                        EXPECT_EQ(p.rules[0], (RuleRow{"a", "b", "c", "d"}));
                        ASSERT_EQ(p.postMulti.size(), 1);
                        EXPECT_EQ(p.postMulti[0], (PostTarget{"main", "http://s"}));
                    }},
        DamagedCase{"BlankLinesSkippedButNotTheFirst", "\r\n \r\na.example|1|||\r\n\r\n \r\nNEXTSITE:b\r\n",
                    [](const ProjectData &p) {
                        ASSERT_EQ(p.mainSites.size(), 2);
                        EXPECT_EQ(p.mainSites[0].text, "");
                        EXPECT_EQ(p.mainSites[0].links.size(), 1);
                        EXPECT_EQ(p.mainSites[1].text, "b");
                    }},
        DamagedCase{"OnlyTheLeadingTagIsRemoved",
                    "main\r\nNEXTSITE:NEXTSITE:odd\r\nPOSTSINGLE:http://x/?a=POSTSINGLE:\r\nHTML01:HTML01:|||x\r\n",
                    [](const ProjectData &p) {
                        EXPECT_EQ(p.mainSites.value(1).text, "NEXTSITE:odd");
                        EXPECT_EQ(p.postSingle, "http://x/?a=POSTSINGLE:");
                        EXPECT_EQ(p.html1, "HTML01:\nx");
                    }},
        DamagedCase{"TagsAreCaseSensitive", "main\r\nrule:a|b|c|d\r\n",
                    [](const ProjectData &p) {
                        EXPECT_TRUE(p.rules.isEmpty());
                        ASSERT_EQ(p.mainSites.value(0).links.size(), 1);
                        EXPECT_EQ(p.mainSites[0].links[0].website, "rule:a");
                    }},
        DamagedCase{"FirstLineIsATagLine", "HTML01:x\r\nstray.example|1|||\r\nRULE:Global|Global|LimitString|y\r\n",
                    [](const ProjectData &p) {
                        EXPECT_TRUE(p.mainSites.isEmpty());
                        EXPECT_EQ(p.html1, "x");
                        EXPECT_EQ(p.rules.size(), 1);
                    }},
        DamagedCase{"LineFeedsOnlyAndNoFinalBreak", "main\na.example|1|||\nRESULT:2|m|l|Direct Link|001|u",
                    [](const ProjectData &p) {
                        EXPECT_EQ(p.mainSites.value(0).links.size(), 1);
                        EXPECT_EQ(p.results.size(), 1);
                    }},
        DamagedCase{"ByteOrderMark", "\xEF\xBB\xBFmain\r\n",
                    [](const ProjectData &p) { EXPECT_EQ(p.mainSites.value(0).text, "main"); }},
        DamagedCase{"Empty", "", [](const ProjectData &p) { EXPECT_EQ(p, ProjectData{}); }}),
    [](const ::testing::TestParamInfo<DamagedCase> &info) { return std::string(info.param.name); });

TEST(ProjectFileFormat, OlderFilesInWindows1252Open)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.prj"));
    // "café.example" and a description with a euro sign and quotes, as an
    // older program wrote them.
    writeBytes(path, QByteArray("caf\xE9.example\r\npartner.example|1|||\x80 \x93quoted\x94\r\nHTML01:\r\n"));
    ProjectData p;
    ASSERT_TRUE(readProjectFile(path, p));
    ASSERT_EQ(p.mainSites.size(), 1);
    EXPECT_EQ(p.mainSites[0].text, QStringLiteral("caf\u00e9.example"));
    EXPECT_EQ(p.mainSites[0].links.value(0).description, QStringLiteral("\u20ac \u201cquoted\u201d"));
}

TEST(ProjectFileNames, ProposedNameForSave)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", "Unnamed.prj"},
        {"http://www.shop.example/catalogue/index.html", "wwwshopexample.prj"},
        {"HTTPS://Shop.Example", "ShopExample.prj"},
        {"shop.example/", "shopexample.prj"},
        {"/lead/slash", "leadslash.prj"},
        {"back\\slash.example", "backslashexample.prj"},
        {"http://", "Unnamed.prj"},
        {"...", "Unnamed.prj"},
    };
    for (const auto &[mainSite, expected] : cases)
        EXPECT_EQ(proposedProjectName(QString::fromUtf8(mainSite)), QString::fromUtf8(expected)) << mainSite;
}

TEST(ProjectFileNames, ReportNameNeverNamesTheProjectItself)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/home/u/Project Files/shop.prj", "shop.html"},
        {"/home/u/SHOP.PRJ", "SHOP.html"},
        {"/home/u/shop", "shop.html"},
        {"/home/u/shop.html", "shop.html.html"},
        {"/home/u/a.prj.prj", "a.html.html"},
        {"/home/u/", ""},
        {"", ""},
    };
    for (const auto &[path, expected] : cases)
        EXPECT_EQ(reportNameForProject(QString::fromUtf8(path)), QString::fromUtf8(expected)) << path;
}

} // namespace

namespace {

TEST(ProjectFileFields, PipesBreaksAndTagWordsReadBackMeaningTheSame)
{
    ProjectData p;
    p.mainSites = {
        // Typed so that it begins like a tag line: it still reads back as itself.
        {QStringLiteral("HTML01:abc"), {link("a|b.example/x|y", "1", "http://h|l/", "Name | with || pipes", "d|||e")}},
        {QStringLiteral("NEXTSITE:second.example"), {link("RULE:looks.example|x"), link("NEXT\x06SITE:b")}},
    };
    p.html1 = QStringLiteral("a|b\nc|||d");
    p.results = {{2, "m|1", "l|2", "Direct Link", "001", "page.example/q?a=1|2"}};
    p.rules = {{"m|1", "a|b.example/x|y", "LimitString", "x|y"}};
    p.postSingle = QStringLiteral("http://me.example/p.php?x=$MainSite");
    p.postMulti = {{"m|1", "http://me.example/s.php?a|b"}};

    const QString text = projectFileText(p);
    // No line gained a field, and none begins with a tag it does not own.
    const ProjectData back = parseProjectText(text);
    ASSERT_EQ(back.mainSites.size(), 2);
    EXPECT_EQ(back.mainSites[0].text, "HTML01:abc");
    EXPECT_EQ(back.mainSites[1].text, "NEXTSITE:second.example");
    ASSERT_EQ(back.mainSites[0].links.size(), 1);
    EXPECT_EQ(back.mainSites[0].links[0],
              link("a%7Cb.example/x%7Cy", "1", "http://h%7Cl/", "Name | with || pipes", "d|||e"));
    ASSERT_EQ(back.mainSites[1].links.size(), 2);
    EXPECT_EQ(back.mainSites[1].links[0].website, "RULE%3Alooks.example%7Cx");
    // A control character dropped from a tag word leaves the word whole.
    EXPECT_EQ(back.mainSites[1].links[1].website, "NEXTSITE%3Ab");
    EXPECT_EQ(back.html1, "a|b\nc|||d");
    EXPECT_EQ(back.results.value(0), (ResultRow{2, "m%7C1", "l%7C2", "Direct Link", "001", "page.example/q?a=1%7C2"}));
    // A rule still names its row as the row reads back.
    EXPECT_EQ(back.rules.value(0), (RuleRow{"m%7C1", "a%7Cb.example/x%7Cy", "LimitString", "x%7Cy"}));
    EXPECT_EQ(back.postMulti.value(0), (PostTarget{"m%7C1", "http://me.example/s.php?a%7Cb"}));
    EXPECT_EQ(back.postSingle, p.postSingle);
    // What was read back is written the same once more.
    EXPECT_EQ(projectFileText(back), projectFileText(parseProjectText(projectFileText(back))));
}

TEST(ProjectFileFields, FilesThatAreNoProjectAreRefusedWithTheReason)
{
    QTemporaryDir dir;
    auto read = [&](const QByteArray &bytes, QString *error) {
        const QString path = dir.filePath(QStringLiteral("f.prj"));
        writeBytes(path, bytes);
        ProjectData p;
        p.mainSites = {{QStringLiteral("untouched"), {}}};
        const bool ok = readProjectFile(path, p, error);
        if (!ok)
            EXPECT_EQ(p.mainSites.value(0).text, "untouched");
        return ok;
    };
    QString error;
    QByteArray noise;
    quint32 seed = 12345;
    for (int i = 0; i < 100000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += char(seed >> 24);
    }
    EXPECT_FALSE(read(noise, &error));
    EXPECT_FALSE(read(QByteArray("main.example\r\nno\0project\r\n", 26), &error));
    EXPECT_EQ(error, "The file holds binary data: it is not a project file.");
    EXPECT_FALSE(read("just some words\r\nand|more\r\n", &error));
    EXPECT_EQ(error, "The file is not a project file: none of its lines has the form of one.");
    EXPECT_FALSE(read("", &error));
    EXPECT_EQ(error, "The file is empty.");
    ProjectData none;
    EXPECT_FALSE(readProjectFile(dir.path(), none, &error));
    EXPECT_TRUE(error.contains("is a folder")) << error.toStdString();

    // UTF-16 with its byte-order mark reads as the text it is.
    const QString text = QStringLiteral("m\u00e4in.example\r\npartner.example|1|||\r\nHTML01:\r\nHTML02:\r\nHTML03:\r\n");
    QByteArray utf16("\xFF\xFE", 2);
    for (const QChar c : text) {
        utf16 += char(c.unicode() & 0xFF);
        utf16 += char(c.unicode() >> 8);
    }
    const QString path = dir.filePath(QStringLiteral("u16.prj"));
    writeBytes(path, utf16);
    ProjectData p;
    ASSERT_TRUE(readProjectFile(path, p, &error)) << error.toStdString();
    ASSERT_EQ(p.mainSites.size(), 1);
    EXPECT_EQ(p.mainSites[0].text, QStringLiteral("m\u00e4in.example"));
    EXPECT_EQ(p.mainSites[0].links.size(), 1);
}

TEST(ProjectFileFields, BlocksReadBackAsTypedWhateverTheirPipes)
{
    // Code keeps its "|" as it is in the file.
    ProjectData p;
    p.html1 = QStringLiteral("<script>if(a||b){}</script>");
    EXPECT_TRUE(projectFileText(p).startsWith(QStringLiteral("HTML01:<script>if(a||b){}</script>\r\n")));

    // Random blocks of "|", line breaks and letters come back as typed.
    const QString pieces[] = {QStringLiteral("|"), QStringLiteral("\r\n"), QStringLiteral("a"), QStringLiteral("b")};
    quint32 seed = 2024;
    auto next = [&seed](quint32 below) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % below;
    };
    for (int i = 0; i < 3000; ++i) {
        QString typed;
        for (quint32 n = next(24); n > 0; --n)
            typed += pieces[next(4)];
        p.html2 = typed;
        QString expected = typed;
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        ASSERT_EQ(parseProjectText(projectFileText(p)).html2, expected) << typed.toStdString();
    }

    // What older versions wrote reads as it did, where it could not be the
    // writer's own "|".
    EXPECT_EQ(parseProjectText(QStringLiteral("m\r\nHTML01:if(a&#124;&#124;b)|||x\r\n")).html1, "if(a&#124;&#124;b)\nx");
}

struct FileCase {
    const char *name;
    QByteArray bytes;
    std::function<void(const ProjectData &, const QString &note)> check;
};

void PrintTo(const FileCase &c, std::ostream *os)
{
    *os << c.name;
}

template <size_t N>
QByteArray withNuls(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray out;
    for (const QChar c : text) {
        const char lo = char(c.unicode() & 0xFF);
        const char hi = char(c.unicode() >> 8);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

const QString kSmallProject = QStringLiteral("m\u00e4in.example\r\npartner.example|1|||\r\nHTML01:\r\n");

class ProjectFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(ProjectFiles, OpenAsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.prj"));
    writeBytes(path, GetParam().bytes);
    ProjectData p;
    QString error;
    QString note;
    ASSERT_TRUE(readProjectFile(path, p, &error, &note)) << error.toStdString();
    GetParam().check(p, note);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFileFields, ProjectFiles,
    ::testing::Values(
        FileCase{"NulsInASiteName", withNuls("main.example\r\nbad\0.example|1|||\r\nHTML01:\0\r\n"),
                 [](const ProjectData &p, const QString &note) {
                     EXPECT_EQ(p.mainSites.value(0).links.value(0).website, "bad.example");
                     EXPECT_EQ(note, "The project file held 2 NUL character(s); they were left out.");
                 }},
        FileCase{"Utf16WithoutMark", utf16(kSmallProject, false),
                 [](const ProjectData &p, const QString &note) {
                     EXPECT_EQ(p.mainSites.value(0).text, QStringLiteral("m\u00e4in.example"));
                     EXPECT_EQ(p.mainSites.value(0).links.size(), 1);
                     EXPECT_EQ(note, "");
                 }},
        FileCase{"Utf16BigEndianWithMark", "\xFE\xFF" + utf16(kSmallProject, true),
                 [](const ProjectData &p, const QString &) {
                     EXPECT_EQ(p.mainSites.value(0).text, QStringLiteral("m\u00e4in.example"));
                 }},
        FileCase{"PipesOfRulesAndLinkTexts",
                 "m\r\np.example|1||A &#124; B|C&#124;D\r\nRULE:m|p.example|ExcludeString|a%7Cb\r\n",
                 [](const ProjectData &p, const QString &) {
                     EXPECT_EQ(p.mainSites.value(0).links.value(0), link("p.example", "1", "", "A | B", "C|D"));
                     // A rule value stays as the file has it.
                     EXPECT_EQ(p.rules.value(0).ruleValue, "a%7Cb");
                 }}),
    [](const ::testing::TestParamInfo<FileCase> &info) { return std::string(info.param.name); });

TEST(ProjectFileFields, AMainSiteStartingWithAByteOrderMarkKeepsIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bom.prj"));
    ProjectData p;
    p.mainSites = {{QStringLiteral("\uFEFFmain.example"), {link("a.example")}}};
    ASSERT_TRUE(writeProjectFile(path, p));
    ProjectData back;
    ASSERT_TRUE(readProjectFile(path, back));
    EXPECT_EQ(back.mainSites, p.mainSites);
}

} // namespace
