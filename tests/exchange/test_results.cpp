// The results list and the error list: row records, the shared link test,
// sorting and marking.

#include <gtest/gtest.h>

#include "workspace/textcase.h"
#include "workspace/results.h"
#include "support/testprogram.h"
#include "exchange/report.h"
#include "workspace/project.h"
#include "workspace/services.h"

using namespace tarnwick;

namespace {

TEST(ResultRecords, NumbersAreZeroFilledNeverCut)
{
    EXPECT_EQ(zeroFilled(0), "000");
    EXPECT_EQ(zeroFilled(1), "001");
    EXPECT_EQ(zeroFilled(12), "012");
    EXPECT_EQ(zeroFilled(999), "999");
    EXPECT_EQ(zeroFilled(1000), "1000");
    EXPECT_EQ(zeroFilled(1234567), "1234567");
    EXPECT_EQ(zeroFilled(-5), "-005");
    EXPECT_EQ(missingStatus(2), "Missing 002");
    EXPECT_EQ(missingStatus(1004), "Missing 1004");
}

TEST(ResultRecords, OutcomeRowsCarryTheirColumnsColourAndIcon)
{
    const ResultRow timeout = noneFoundRow("main.example", "partner.example", "Timeout", "www.partner.example/");
    EXPECT_EQ(timeout.status, "None Found (Timeout)");
    EXPECT_EQ(timeout.number, "000");
    EXPECT_EQ(timeout.linkUrl, "www.partner.example/");
    EXPECT_EQ(timeout.colour, platform::kColorRed);
    EXPECT_EQ(timeout.icon, kIconNoLink);
    EXPECT_EQ(noneFoundRow("m", "l", "", "u").status, "None Found");
    EXPECT_EQ(noneFoundRow("m", "l", " ", "u").status, "None Found");

    const ResultRow missing = missingRow("m", "l", 2, "www.l/last.htm");
    EXPECT_EQ(missing.status, "Missing 002");
    EXPECT_EQ(missing.number, "000");
    EXPECT_EQ(missing.linkUrl, "www.l/last.htm");
    EXPECT_EQ(missing.colour, platform::kColorRed);

    const ResultRow redirect = redirectLinkRow("m", "l", "www.l/moved.htm");
    EXPECT_EQ(redirect.status, "Redirect Link");
    EXPECT_EQ(redirect.number, "001");
    EXPECT_EQ(redirect.colour, platform::kColorBlue);
    EXPECT_EQ(redirect.icon, kIconLink);

    EXPECT_EQ(directLinkRow("m", "l", 1000, "p").number, "1000");
    EXPECT_EQ(directLinkRow("m", "l", 1, "p").status, "Direct Link");
    EXPECT_EQ(domainLinkRow("m", "l", 7, "p").status, "Domain Link");
    EXPECT_EQ(domainLinkRow("m", "l", 7, "p").colour, platform::kColorBlue);
}

TEST(ResultRecords, RowsGoIntoTheListsAndBack)
{
    platform::ListView list;
    const ResultRow in = directLinkRow("main.example", "partner.example", 3, "www.partner.example/links.htm");
    const int row = addResultRow(list, in);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(list.text(1), "main.example");
    EXPECT_EQ(list.subItem(1, 1), "partner.example");
    EXPECT_EQ(list.subItem(1, 2), "Direct Link");
    EXPECT_EQ(list.subItem(1, 3), "003");
    EXPECT_EQ(list.subItem(1, 4), "www.partner.example/links.htm");
    const ResultRow out = resultRow(list, 1);
    EXPECT_EQ(out.status, in.status);
    EXPECT_EQ(out.linkUrl, in.linkUrl);
    EXPECT_EQ(out.icon, kIconLink);
    EXPECT_EQ(out.colour, platform::kColorBlue);
    EXPECT_TRUE(resultRow(list, 2).status.isEmpty());

    platform::ListView errors;
    addErrorRow(errors, {"Timeout", "www.partner.example"});
    addErrorRow(errors, {"404 Not Found", "www.partner.example/old.htm"});
    EXPECT_EQ(errorRow(errors, 2).error, "404 Not Found");
    EXPECT_EQ(errorRow(errors, 2).url, "www.partner.example/old.htm");
    EXPECT_EQ(errors.smallIcon(1), 0);
}

TEST(ResultRecords, SortingReordersTheScreenOnlyAndLaterRowsAppend)
{
    testsupport::TestProgram p;
    Project project(*p.ctx);
    platform::ListView &list = *project.List3;
    addResultRow(list, directLinkRow("main.example", "beta.example", 1, "beta.example/p"));
    addResultRow(list, noneFoundRow("main.example", "alpha.example", "", "alpha.example/"));
    EnhListView_SortColumns(*p.ctx, list, 2, false);
    ASSERT_TRUE(EnhListView_SortColumns(*p.ctx, list, 2, false));  // ascending
    addResultRow(list, directLinkRow("main.example", "aardvark.example", 1, "aardvark.example/"));
    EXPECT_EQ(list.subItem(1, 1), "aardvark.example");
    EXPECT_EQ(list.subItem(3, 1), "beta.example");

    const QStringList written = {"beta.example", "alpha.example", "aardvark.example"};
    QStringList inFile, inReport;
    for (const ResultRow &r : project.data().results)
        inFile << r.linking;
    for (const ResultRow &r : reportInputOf(project, *p.ctx).results)
        inReport << r.linking;
    EXPECT_EQ(inFile, written);
    EXPECT_EQ(inReport, written);
    const QStringList exportLines = tabExportOf(project).split("\r\n");
    ASSERT_GE(exportLines.size(), 5);
    EXPECT_TRUE(exportLines[2].contains("beta.example"));
    EXPECT_TRUE(exportLines[4].contains("aardvark.example"));
}

TEST(ResultRecords, OneTestDecidesWhatCountsAsALink)
{
    const QList<QPair<QString, bool>> cases = {
        {"Direct Link", true},
        {"direct link", true},
        {"DIRECT LINK", true},
        {"Redirect Link", true},
        {"Domain Link", false},
        {"None Found", false},
        {"None Found (Timeout)", false},
        {"None Found (Possible Redirected URL)", false},
        {"None Found (Skipped)", false},
        {"Missing 002", false},
        {"Direct Link (checked)", true},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(statusCountsAsLink(c.first), c.second) << c.first.toStdString();
}

TEST(ResultRecords, MarkingChangesStatusColourAndIconOnly)
{
    platform::ListView list;
    addResultRow(list, missingRow("m", "l", 2, "www.l/last.htm"));
    ASSERT_TRUE(markResultRow(list, 1, true));
    EXPECT_EQ(list.subItem(1, 2), "Direct Link");
    EXPECT_EQ(list.foreColor(1), platform::kColorBlue);
    EXPECT_EQ(list.smallIcon(1), kIconLink);
    EXPECT_EQ(list.subItem(1, 3), "000");
    EXPECT_EQ(list.subItem(1, 4), "www.l/last.htm");
    EXPECT_TRUE(statusCountsAsLink(list.subItem(1, 2)));

    ASSERT_TRUE(markResultRow(list, 1, false));
    EXPECT_EQ(list.subItem(1, 2), "None Found");
    EXPECT_EQ(list.foreColor(1), platform::kColorRed);
    EXPECT_EQ(list.smallIcon(1), kIconNoLink);
    EXPECT_FALSE(markResultRow(list, 2, true));
}

TEST(ResultRecords, AddressesGetASchemeOnlyWhenTheyHaveNone)
{
    EXPECT_EQ(withHttpScheme("www.partner.example"), "http://www.partner.example");
    EXPECT_EQ(withHttpScheme("http://www.partner.example/"), "http://www.partner.example/");
    EXPECT_EQ(withHttpScheme("https://secure.example/"), "https://secure.example/");
    EXPECT_EQ(withHttpScheme("HTTPS://secure.example/"), "HTTPS://secure.example/");
    // "http" inside the text is not a scheme.
    EXPECT_EQ(withHttpScheme("www.partner.example/httpdocs/links.htm"),
              "http://www.partner.example/httpdocs/links.htm");
    EXPECT_EQ(withHttpScheme("httpbin.example"), "http://httpbin.example");
}

} // namespace
