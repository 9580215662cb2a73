#include "platform/listview.h"

#include <QIcon>
#include <QPixmap>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QStringList column(const ListView &lv, int col = 0)
{
    QStringList out;
    for (int r = 1; r <= lv.count(); ++r)
        out << (col == 0 ? lv.text(r) : lv.subItem(r, col));
    return out;
}

} // namespace

TEST(ListView, RowsCountFromOneAndBadRowsAreHarmless)
{
    ListView lv;
    EXPECT_EQ(lv.add("one", {"a", "b"}), 1);
    EXPECT_EQ(lv.add("two"), 2);
    EXPECT_EQ(lv.subItem(1, 2), "b");
    EXPECT_EQ(lv.subItem(1, 3), "");
    EXPECT_EQ(lv.subItem(1, 0), "");

    for (int bad : {-1, 0, 3}) {
        EXPECT_EQ(lv.text(bad), "");
        lv.setText(bad, "x");
        lv.setSubItem(bad, 1, "x");
        lv.setSelected(bad, true);
        lv.setSelectedRow(bad);
        lv.remove(bad);
    }
    lv.setSubItem(1, 0, "x");
    EXPECT_EQ(lv.count(), 2);
    EXPECT_EQ(lv.selectedRow(), 0);
    EXPECT_EQ(lv.item(0).text, "");  // the shared empty item stayed empty

    lv.setSubItem(2, 3, "c");  // past the end: pads the gap
    EXPECT_EQ(lv.item(2).subItems, (QStringList{"", "", "c"}));
    EXPECT_FALSE(lv.data(lv.index(5, 0)).isValid());
    EXPECT_FALSE(lv.data(lv.index(0, 7)).isValid());
}

TEST(ListView, SortedAddsLandInStableCaseInsensitiveOrder)
{
    ListView asc;
    asc.setSorted(true);
    EXPECT_EQ(asc.add("b"), 1);
    EXPECT_EQ(asc.add("A"), 1);
    EXPECT_EQ(asc.add("a"), 2);
    EXPECT_EQ(asc.add("C"), 4);
    EXPECT_EQ(asc.add("B"), 4);
    EXPECT_EQ(column(asc), (QStringList{"A", "a", "b", "B", "C"}));

    ListView desc;
    desc.setSortOrder(SortOrder::Descending);
    desc.setSorted(true);
    for (auto [t, tag] : {std::pair{"m", "1"}, {"z", ""}, {"M", "2"}, {"a", ""}, {"m", "3"}})
        desc.add(t, {tag});
    EXPECT_EQ(column(desc), (QStringList{"z", "m", "M", "m", "a"}));
    EXPECT_EQ(column(desc, 1), (QStringList{"", "1", "2", "3", ""}));

    ListView bySub;
    bySub.setSortKey(2);
    bySub.setSorted(true);
    bySub.add("x", {"", "beta"});
    bySub.add("y", {"", "Alpha"});
    bySub.add("z");  // no such sub-item: sorts as ""
    EXPECT_EQ(column(bySub), (QStringList{"z", "y", "x"}));
}

TEST(ListView, ResortingMovesSelectionWithItsRow)
{
    ListView lv;
    for (const char *t : {"d", "b", "a", "c", "b"})
        lv.add(t, {QString::number(lv.count() + 1)});
    lv.setSelectedRow(4);                           // "c"
    QPersistentModelIndex tracked(lv.index(1, 0));  // the first "b"

    lv.setSorted(true);
    EXPECT_EQ(column(lv, 1), (QStringList{"3", "2", "5", "4", "1"}));
    EXPECT_EQ(lv.selectedRow(), 4);
    EXPECT_EQ(tracked.row(), 1);

    lv.setSortOrder(SortOrder::Descending);
    EXPECT_EQ(column(lv, 1), (QStringList{"1", "4", "2", "5", "3"}));
    EXPECT_EQ(lv.selectedRow(), 2);
    EXPECT_EQ(tracked.row(), 2);

    lv.setSortKey(1);
    EXPECT_EQ(column(lv, 1), (QStringList{"5", "4", "3", "2", "1"}));
    EXPECT_EQ(lv.text(lv.selectedRow()), "c");
}

TEST(ListView, SelectionFollowsSingleAndMultiRules)
{
    ListView lv;
    for (int i = 0; i < 4; ++i)
        lv.add(QString::number(i));
    QList<int> signalled;
    QObject::connect(&lv, &ListView::selectionChanged, [&](int row) { signalled << row; });

    lv.setSelectedRow(2);
    lv.setSelected(3, true);  // single-select: 2 drops out
    EXPECT_FALSE(lv.isSelected(2));
    lv.setSelected(3, true);  // no change, no signal
    lv.setSelected(3, false);
    EXPECT_EQ(signalled, (QList<int>{2, 3, 0}));

    lv.setMultiSelect(true);
    lv.setSelected(4, true);
    lv.setSelected(2, true);
    EXPECT_EQ(lv.selectedRow(), 2);
    EXPECT_TRUE(lv.isSelected(4));
    lv.setSelectedRow(3);
    EXPECT_FALSE(lv.isSelected(2) || lv.isSelected(4));

    signalled.clear();
    lv.remove(3);
    lv.add("x", {}, 0, kColorBlack);
    lv.setSelectedRow(1);
    lv.clear();
    EXPECT_EQ(lv.rowCount(), 0);
    EXPECT_EQ(lv.selectedRow(), 0);
    EXPECT_EQ(signalled, (QList<int>{0, 1, 0}));

    ListItem preselected;
    preselected.selected = true;
    lv.add("q");
    EXPECT_EQ(lv.add(preselected), 2);
    EXPECT_EQ(lv.selectedRow(), 2);
}

TEST(ListView, ColoursIconsAndHeadersReachTheView)
{
    EXPECT_EQ(colorFromNumber(kColorRed), QColor(255, 0, 0));
    EXPECT_EQ(colorFromNumber(kColorBlue), QColor(0, 0, 255));
    EXPECT_EQ(colorFromNumber(0x00336699), QColor(0x99, 0x66, 0x33));

    ListView lv;
    int insertedColumns = 0;
    QObject::connect(&lv, &QAbstractItemModel::columnsInserted, [&] { ++insertedColumns; });
    EXPECT_EQ(lv.columnCount(), 1);
    lv.setColumnHeaders({"Name", "Size", "Path"});
    EXPECT_EQ(lv.columnCount(), 3);
    EXPECT_EQ(insertedColumns, 1);
    EXPECT_EQ(lv.headerData(1, Qt::Horizontal).toString(), "Size");

    QPixmap pm(4, 4);
    pm.fill(Qt::red);
    lv.setSmallIcons({QIcon(pm)});
    lv.add("f", {"10"}, 1, kColorGreen);
    lv.add("g", {}, 2);  // icon number past the list
    EXPECT_EQ(lv.data(lv.index(0, 1)).toString(), "10");
    EXPECT_EQ(lv.data(lv.index(0, 2), Qt::ForegroundRole).value<QColor>(), QColor(0, 255, 0));
    EXPECT_FALSE(lv.data(lv.index(0, 0), Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_FALSE(lv.data(lv.index(0, 1), Qt::DecorationRole).isValid());
    EXPECT_FALSE(lv.data(lv.index(1, 0), Qt::DecorationRole).isValid());
    EXPECT_FALSE(lv.flags(lv.index(0, 0)) & Qt::ItemIsEditable);
}

TEST(ListView, ManySortedAddsLandWhereTheModelSays)
{
    ListView lv;
    lv.setSorted(true);
    int reportedRow = 0;
    QObject::connect(&lv, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex &, int first, int) { reportedRow = first + 1; });
    QRandomGenerator gen(7);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(lv.add(QString::number(gen.bounded(1000000))), reportedRow);
    for (int r = 2; r <= lv.count(); ++r)
        ASSERT_LE(QString::compare(lv.text(r - 1), lv.text(r), Qt::CaseInsensitive), 0) << r;
}
