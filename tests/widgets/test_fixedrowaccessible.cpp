// What assistive technology reads of the long-list views: rows, cells and
// headers, kept true while the list changes under it.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>

#include "widgets/fixedrowview.h"
#include "platform/listview.h"
#include "widgets/reportview.h"
#include "support/eventloop.h"

using namespace platform;

namespace {

struct Heard {
    QAccessible::Event type;
    int child;
    int change;
    int first;
    int last;
};

// A view that keeps what it tells assistive technology.
template<class View>
class Listened : public View {
public:
    using View::View;
    QList<Heard> heard;
    bool heardChange(QAccessibleTableModelChangeEvent::ModelChangeType change, int first = -1, int last = -1) const
    {
        return std::any_of(heard.begin(), heard.end(), [&](const Heard &h) {
            return h.type == QAccessible::TableModelChanged && h.change == change && h.first == first &&
                   h.last == last;
        });
    }

protected:
    void accessibilityUpdate(QAccessibleEvent *event) override
    {
        Heard h{event->type(), event->child(), -1, -1, -1};
        if (event->type() == QAccessible::TableModelChanged) {
            const auto *change = static_cast<QAccessibleTableModelChangeEvent *>(event);
            h.change = change->modelChangeType();
            h.first = change->firstRow();
            h.last = change->lastRow();
        }
        heard.append(h);
        View::accessibilityUpdate(event);
    }
};

QString nameOf(QAccessibleInterface *iface)
{
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<none>");
}

void addPartner(ListView &list, int i)
{
    list.add(QStringLiteral("partner%1.example").arg(i), {QStringLiteral("Direct Link"), QStringLiteral("00%1").arg(i)});
}

} // namespace

TEST(FixedRowAccessible, RowsCellsAndHeadersFollowTheModel)
{
    struct Case {
        const char *name;
        bool header;
        QAccessible::Role role;
        QAccessible::Role cellRole;
        int columns;
    } const cases[] = {
        {"report", true, QAccessible::Table, QAccessible::Cell, 3},
        {"queue without a header", false, QAccessible::List, QAccessible::ListItem, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ListView model;
        model.setColumnHeaders({"Linking", "Status", "No."});
        for (int i = 0; i < 3; ++i)
            addPartner(model, i);
        Listened<FixedRowView> view;
        view.setHeaderHidden(!c.header);
        view.setModel(&model);
        view.resize(400, 200);
        view.show();
        QApplication::processEvents();

        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&view);
        ASSERT_TRUE(iface);
        QAccessibleTableInterface *table = iface->tableInterface();
        ASSERT_TRUE(table);
        EXPECT_EQ(iface->role(), c.role);
        EXPECT_EQ(table->rowCount(), 3);
        EXPECT_EQ(table->columnCount(), c.columns);
        const int headerRow = c.header ? 1 : 0;
        EXPECT_EQ(iface->childCount(), (3 + headerRow) * c.columns);
        if (c.header) {
            EXPECT_EQ(table->columnDescription(2), "No.");
            EXPECT_EQ(iface->child(1)->role(), QAccessible::ColumnHeader);
            EXPECT_EQ(nameOf(iface->child(1)), "Status");
            const auto headers = table->cellAt(0, 2)->tableCellInterface()->columnHeaderCells();
            ASSERT_EQ(headers.size(), 1);
            EXPECT_EQ(nameOf(headers[0]), "No.");
            EXPECT_EQ(nameOf(table->cellAt(2, 2)), "002");
        }
        // A walk over the children meets the same cells, asked for once.
        for (int row = 0; row < 3; ++row) {
            QAccessibleInterface *cell = iface->child((row + headerRow) * c.columns);
            EXPECT_EQ(cell, table->cellAt(row, 0));
            EXPECT_EQ(cell->role(), c.cellRole);
            EXPECT_EQ(nameOf(cell), QStringLiteral("partner%1.example").arg(row));
            EXPECT_EQ(iface->indexOfChild(cell), (row + headerRow) * c.columns);
        }
        EXPECT_FALSE(table->cellAt(3, 0));
        const QAccessible::Id second = QAccessible::uniqueId(table->cellAt(1, 0));
        QAccessibleInterface *third = table->cellAt(2, 0);
        const QAccessible::Id thirdId = QAccessible::uniqueId(third);

        addPartner(model, 3);
        EXPECT_TRUE(view.heardChange(QAccessibleTableModelChangeEvent::RowsInserted, 3, 3));
        EXPECT_EQ(table->rowCount(), 4);
        EXPECT_EQ(nameOf(table->cellAt(3, 0)), "partner3.example");

        // A cell read out before stays with its row when a row above goes.
        model.remove(2);
        EXPECT_TRUE(view.heardChange(QAccessibleTableModelChangeEvent::RowsRemoved, 1, 1));
        EXPECT_EQ(table->rowCount(), 3);
        EXPECT_FALSE(QAccessible::accessibleInterface(second));
        ASSERT_EQ(QAccessible::accessibleInterface(thirdId), third);
        EXPECT_EQ(third->tableCellInterface()->rowIndex(), 1);
        EXPECT_EQ(nameOf(third), "partner2.example");
        EXPECT_EQ(table->cellAt(1, 0), third);

        model.clear();
        EXPECT_TRUE(view.heardChange(QAccessibleTableModelChangeEvent::ModelReset));
        EXPECT_EQ(table->rowCount(), 0);
        EXPECT_EQ(iface->childCount(), headerRow * c.columns);
        EXPECT_FALSE(QAccessible::accessibleInterface(thirdId));
    }
}

TEST(FixedRowAccessible, AResultsListReadsItsRowsSelectionAndName)
{
    QWidget window;
    auto *label = new QLabel(QStringLiteral("&Results:"), &window);
    auto *view = new Listened<ReportView>(&window);
    label->setBuddy(view);
    view->setGeometry(0, 30, 600, 200);
    ListView results;
    results.setColumnHeaders({"Main", "Linking", "Status", "No.", "Link URL"});
    for (int i = 0; i < 3; ++i)
        results.add("main.example", {QStringLiteral("partner%1.example").arg(i), "Direct Link",
                                     QStringLiteral("00%1").arg(i + 1), QStringLiteral("http://partner%1.example/").arg(i)});
    view->setListView(&results);
    window.show();
    QApplication::processEvents();

    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(view);
    QAccessibleTableInterface *table = iface->tableInterface();
    EXPECT_EQ(nameOf(iface), "Results:");
    EXPECT_EQ(iface->role(), QAccessible::Table);
    EXPECT_EQ(table->columnDescription(4), "Link URL");
    EXPECT_EQ(nameOf(table->cellAt(1, 1)), "partner1.example");
    EXPECT_EQ(nameOf(table->cellAt(2, 4)), "http://partner2.example/");

    // The model's selection reads as the whole row selected.
    results.setSelectedRow(2);
    for (int column = 0; column < 5; ++column)
        EXPECT_TRUE(table->cellAt(1, column)->state().selected) << column;
    EXPECT_FALSE(table->cellAt(0, 0)->state().selected);
    EXPECT_EQ(table->selectedRows(), QList<int>{1});
    EXPECT_EQ(table->selectedCellCount(), 5);
    EXPECT_EQ(table->selectedCells().size(), 5);
    EXPECT_TRUE(std::any_of(view->heard.begin(), view->heard.end(), [](const Heard &h) {
        return h.type == QAccessible::SelectionAdd && h.child == 2 * 5;
    }));
    // A client's choice reaches the model.
    EXPECT_TRUE(table->selectRow(2));
    EXPECT_EQ(results.selectedRow(), 3);

    // The current row, once the list has the focus.
    QApplication::setActiveWindow(&window);
    view->setFocus();
    ASSERT_TRUE(testsupport::waitUntil([&] { return view->hasFocus(); }, 2000));
    view->heard.clear();
    results.setSelectedRow(1);
    EXPECT_TRUE(std::any_of(view->heard.begin(), view->heard.end(), [](const Heard &h) {
        return h.type == QAccessible::Focus && h.child == 5;
    }));
    EXPECT_EQ(iface->focusChild(), table->cellAt(0, 0));
    EXPECT_TRUE(table->cellAt(0, 0)->state().focused);

    // Sorting renumbers the rows.
    results.setSortKey(1);
    results.setSortOrder(SortOrder::Descending);
    results.setSorted(true);
    EXPECT_TRUE(view->heardChange(QAccessibleTableModelChangeEvent::ModelReset));
    EXPECT_EQ(nameOf(table->cellAt(0, 1)), "partner2.example");
}
