#include "platform/listbox.h"

#include <gtest/gtest.h>

using platform::ListBox;

namespace {

void fill(ListBox &box, int n)
{
    for (int i = 0; i < n; ++i)
        box.addItem(QString::number(i));
}

} // namespace

TEST(ListBox, SettingTheIndexIsNotAClickButAClickAlwaysClicks)
{
    ListBox box;
    fill(box, 3);
    QStringList events;
    QObject::connect(&box, &ListBox::listIndexChanged, [&](int i) { events << QString("index %1").arg(i); });
    QObject::connect(&box, &ListBox::clicked, [&](int i) { events << QString("click %1").arg(i); });

    box.setListIndex(1);
    box.setListIndex(1);
    box.setListIndex(-1);
    box.setListIndex(3);  // out of range: ignored
    EXPECT_EQ(events, (QStringList{"index 1", "index -1"}));
    events.clear();
    box.click(2);
    box.click(2);
    box.click(3);
    EXPECT_EQ(events, (QStringList{"index 2", "click 2", "click 2"}));
}

TEST(ListBox, RemovalKeepsTheIndexOnItsItem)
{
    ListBox box;
    fill(box, 5);
    box.setListIndex(3);
    box.removeItem(4);
    box.removeItem(0);
    box.removeItem(9);
    EXPECT_EQ(box.item(box.listIndex()), "3");
    box.removeItem(box.listIndex());
    EXPECT_EQ(box.listIndex(), -1);

    EXPECT_EQ(box.takeFirst(), "1");
    box.setListIndex(0);
    box.clear();
    EXPECT_EQ(box.listIndex(), -1);
    EXPECT_EQ(box.takeFirst(), "");
    box.setItem(0, "nowhere");
    EXPECT_EQ(box.rowCount(), 0);
}

TEST(ListBox, DrainingABigQueueFromTheFrontTakesEveryItem)
{
    ListBox box;
    fill(box, 20000);
    int taken = 0;
    while (!box.takeFirst().isEmpty())
        ++taken;
    EXPECT_EQ(taken, 20000);
}
