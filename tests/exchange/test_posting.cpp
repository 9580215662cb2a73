// Posting text: the variables of a script URL, the status posted and the
// log's entries.

#include <gtest/gtest.h>

#include "exchange/posting.h"
#include "support/printers.h"

using namespace tarnwick;

namespace {

TEST(PostingText, VariablesInAnyCaseAndTheStatusValue)
{
    const ResultRow r{kIconLink, "main.example", "a b.example", "Direct Link", "001",
                      "a b.example/p?u=http://x.example"};
    EXPECT_EQ(substitutePostVariables("s?m=$mainsite&l=$LINKINGSITE&s=$Status&f=$FoundOn&m2=$MainSite", r, "True"),
              "s?m=main.example&l=a+b.example&s=True&f=a+b.example%2Fp%3Fu%3Dhttp%3A%2F%2Fx.example"
              "&m2=main.example");
    EXPECT_EQ(postedStatus("Redirect Link"), "True");
    EXPECT_EQ(postedStatus("Domain Link"), "False");
    EXPECT_EQ(postedStatus("None Found (Possible Redirected URL)"), "False");
    EXPECT_EQ(postedStatus("Missing 002"), "");
    EXPECT_EQ(postLogEntry("http://s/x", "", "refused"), "\r\nURL: http://s/x\r\n\r\nError: refused\r\n");
}

TEST(PostingText, TheLogKeepsTheFirst64KBOfAReply)
{
    const QByteArray head(64 * 1024 - 1, 'a');
    const QString logged = QString::fromLatin1(head);
    struct Case {
        QByteArray reply;
        QString kept;  // after "Returned: "
    };
    const Case cases[] = {
        {head + "b", logged + "b"},
        {head + "bcd", logged + "b\u2026 (2 more bytes)"},
        // A character is not split: the two bytes of an accented letter stay together.
        {head + "\xc3\xa9z", logged + "\u2026 (3 more bytes)"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(postLogEntry("s", c.reply, ""), "\r\nURL: s\r\n\r\nReturned: " + c.kept + "\r\n");
}

} // namespace
