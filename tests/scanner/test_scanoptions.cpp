// The scanning options apart from their window: number boxes, stored
// values and the page file-type list.

#include <gtest/gtest.h>

#include "scanner/scanoptions.h"
#include "support/files.h"
#include "support/testprogram.h"

using namespace tarnwick;

TEST(ScanOptions, NumberBoxesTakeWhatRoundsIntoSixteenBits)
{
    EXPECT_EQ(checkNumberText(""), NumberText::Empty);
    for (const char *fits : {"60", "-5", "2.5", " 12 ", "32767", "-32768", "32767.4", "+7", "1e3"})
        EXPECT_EQ(checkNumberText(fits), NumberText::Fits) << fits;
    for (const char *invalid : {"abc", "40000", "32767.5", "-32769", " ", "5x", "inf", "0x10", "--", "e5"})
        EXPECT_EQ(checkNumberText(invalid), NumberText::Invalid) << invalid;
    for (const char *typing : {"-", "+", ".", "-.", "1e", "2.5E-"})
        EXPECT_EQ(checkNumberText(typing), NumberText::Partial) << typing;
}

TEST(ScanOptions, TheTimeOutReadsAsTheOptionsWindowRoundsIt)
{
    testsupport::TestProgram p;
    EXPECT_EQ(storedTimeout(p.ctx->settings()), 60);
    const std::pair<const char *, int> stored[] = {{"2.5", 2}, {"3.5", 4}, {"1e3", 1000}, {" 7 ", 7},
                                                   {"-5", -5},  {"abc", 60}, {"40000", 60}, {"-", 60}};
    for (const auto &[text, seconds] : stored) {
        p.ctx->settings().set("txtTimeout", text);
        EXPECT_EQ(storedTimeout(p.ctx->settings()), seconds) << text;
    }
}

TEST(ScanOptions, StoredPageLimitOutsideTheListIsFour)
{
    testsupport::TestProgram p;
    EXPECT_EQ(storedPageLimitIndex(p.ctx->settings()), 4);
    for (const char *bad : {"13", "-1", "x"}) {
        p.ctx->settings().set("cmbAdvance", bad);
        EXPECT_EQ(storedPageLimitIndex(p.ctx->settings()), 4) << bad;
    }
    p.ctx->settings().set("cmbAdvance", "12");
    EXPECT_EQ(storedPageLimitIndex(p.ctx->settings()), 12);
}

TEST(ScanOptions, TypedExtensionsAndTheFileOfThem)
{
    EXPECT_EQ(fileTypeEntry("htm"), ".htm");
    EXPECT_EQ(fileTypeEntry("..PHP"), ".PHP");
    EXPECT_EQ(fileTypeEntry("page.x"), "page.x");

    EXPECT_EQ(fileTypeListItems("\r\n.htm\r\n \r\n  \n.asp\r.php\r\n"), QStringList({".htm", "  ", ".asp", ".php"}));
    EXPECT_EQ(fileTypesBytes({".htm", ".Asp"}), QByteArray(".htm\r\n.Asp\r\n"));
    EXPECT_EQ(fileTypesBytes({}), QByteArray());

    testsupport::TestProgram p;
    const QString path = p.path("filetypes.txt");
    EXPECT_TRUE(readFileTypeList(path).isEmpty());
    ASSERT_TRUE(writeFileTypeList(path, {".cfm", ".pl"}));
    EXPECT_EQ(testsupport::readBytes(path), QByteArray(".cfm\r\n.pl\r\n"));
    EXPECT_EQ(readFileTypeList(path), QStringList({".cfm", ".pl"}));
}
