// Views of long lists: a row added or taken away costs the same whatever
// the length of the list, and the rows stay where they are shown.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QScrollBar>

#include "widgets/fixedrowview.h"
#include "platform/listbox.h"
#include "platform/listview.h"
#include "widgets/reportview.h"
#include "support/eventloop.h"

using namespace platform;

namespace {

// Counts the model lookups: a view that laid out every row would look up
// every row.
template<class Model>
class Counted : public Model {
public:
    using Model::Model;
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override
    {
        ++lookups;
        return Model::index(row, column, parent);
    }
    mutable qint64 lookups = 0;
};

constexpr int kRows = 20000;

} // namespace

TEST(FixedRowView, AQueuePageAfterPageLooksUpOnlyTheRowsInSight)
{
    Counted<ListBox> queue;
    for (int i = 0; i < kRows; ++i)
        queue.addItem(QStringLiteral("partner.example/p%1.htm").arg(i));
    FixedRowView view;
    view.setHeaderHidden(true);
    view.setModel(&queue);
    view.resize(300, 200);
    view.show();
    QApplication::processEvents();
    const int passes = view.layoutPasses();

    // Fifty pages: the head fetched, five pages found on each.
    queue.lookups = 0;
    for (int page = 0; page < 50; ++page) {
        queue.takeFirst();
        for (int i = 0; i < 5; ++i)
            queue.addItem(QStringLiteral("partner.example/new%1.htm").arg(page * 5 + i));
        QApplication::processEvents();
    }
    EXPECT_EQ(view.layoutPasses(), passes);
    EXPECT_LT(queue.lookups, 50 * 100);

    // What is shown is the queue as it is now.
    EXPECT_EQ(view.indexAt(view.visualRect(queue.index(0, 0)).center()), queue.index(0, 0));
    view.scrollTo(queue.index(queue.count() - 1, 0));
    const QRect last = view.visualRect(queue.index(queue.count() - 1, 0));
    EXPECT_TRUE(view.viewport()->rect().contains(last)) << last.y();
    EXPECT_EQ(view.indexAt(last.center()), queue.index(queue.count() - 1, 0));
}

TEST(FixedRowView, ResultsRowsAddedToALongReport)
{
    Counted<ListView> results;
    results.setColumnHeaders({"Main", "Linking", "Status", "No.", "Link URL"});
    for (int i = 0; i < kRows; ++i)
        results.add("main.example", {"partner.example", "Direct Link", "001", "partner.example/"});
    ReportView view;
    view.setListView(&results);
    view.resize(500, 200);
    view.show();
    QApplication::processEvents();
    const int passes = view.layoutPasses();
    // Read by a screen reader meanwhile: the rows added still cost the same.
    QAccessible::queryAccessibleInterface(&view)->tableInterface()->cellAt(kRows - 1, 1);

    results.lookups = 0;
    for (int i = 0; i < 50; ++i) {
        results.add("main.example", {"partner.example", "None Found", "000", "partner.example/"});
        QApplication::processEvents();
    }
    EXPECT_EQ(view.layoutPasses(), passes);
    EXPECT_LT(results.lookups, 50 * 200);
    // The bars follow a moment later.
    auto *bar = view.verticalScrollBar();
    EXPECT_TRUE(testsupport::waitUntil([&] { return bar->maximum() + bar->pageStep() == kRows + 50; }));
}
