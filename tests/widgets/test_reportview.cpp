// The report view over a ListView: the selection kept in step both ways and
// the mouse reported in rows and columns from 1.

#include "platform/listview.h"
#include "widgets/reportview.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <gtest/gtest.h>

using namespace platform;

namespace {

void click(QWidget *target, QPoint pos, QEvent::Type type = QEvent::MouseButtonPress,
           Qt::MouseButton button = Qt::LeftButton)
{
    auto send = [&](QEvent::Type t) {
        const Qt::MouseButtons held = t == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent ev(t, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &ev);
    };
    if (type == QEvent::MouseButtonDblClick) {  // a double click follows a click
        send(QEvent::MouseButtonPress);
        send(QEvent::MouseButtonRelease);
    }
    send(type);
    send(QEvent::MouseButtonRelease);
}

struct ShownReport {
    ListView model;
    ReportView view;
    ShownReport()
    {
        model.setColumnHeaders({"Name", "Size", "Path"});
        for (const char *t : {"alpha", "beta", "gamma"})
            model.add(t);
        view.setListView(&model);
        view.resize(400, 300);
        view.show();
        QApplication::processEvents();
    }
    QPoint rowCentre(int row) { return view.visualRect(model.index(row - 1, 0)).center(); }
    QModelIndexList viewRows() { return view.selectionModel()->selectedRows(); }
};

} // namespace

TEST(ReportView, SelectionStaysInStepBothWays)
{
    ShownReport s;
    s.model.setSelectedRow(2);
    ASSERT_EQ(s.viewRows().size(), 1);
    EXPECT_EQ(s.viewRows().first().row(), 1);

    s.view.selectionModel()->select(s.model.index(2, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(s.model.selectedRow(), 3);
    s.model.setSelectedRow(0);
    EXPECT_TRUE(s.viewRows().isEmpty());

    s.model.setSelectedRow(1);  // alpha
    s.model.setSortOrder(SortOrder::Descending);
    s.model.setSorted(true);
    EXPECT_EQ(s.model.selectedRow(), 3);
    EXPECT_EQ(s.viewRows().first().row(), 2);

    // The view would hand the selection to a neighbour; the model says none.
    s.model.remove(3);
    EXPECT_EQ(s.model.selectedRow(), 0);
    EXPECT_TRUE(s.viewRows().isEmpty());

    s.model.setMultiSelect(true);
    s.model.setSelected(1, true);
    s.model.setSelected(2, true);
    EXPECT_EQ(s.view.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(s.viewRows().size(), 2);
}

TEST(ReportView, MouseReportsRowsAndColumnsFromOne)
{
    ShownReport s;
    QList<int> clicked, doubled, columns;
    QList<Qt::MouseButton> pressed;
    QObject::connect(&s.view, &ReportView::itemClicked, [&](int row) { clicked << row; });
    QObject::connect(&s.view, &ReportView::itemDoubleClicked, [&](int row) { doubled << row; });
    QObject::connect(&s.view, &ReportView::columnClicked, [&](int col) { columns << col; });
    QObject::connect(&s.view, &ReportView::mousePressed, [&](Qt::MouseButton b, QPoint) {
        if (pressed.isEmpty())
            EXPECT_EQ(s.model.selectedRow(), 0);  // raised before the view acts on the press
        pressed << b;
    });

    click(s.view.viewport(), s.rowCentre(2));
    EXPECT_EQ(clicked, (QList<int>{2}));
    EXPECT_EQ(s.model.selectedRow(), 2);
    click(s.view.viewport(), s.rowCentre(3), QEvent::MouseButtonDblClick);
    EXPECT_EQ(doubled, (QList<int>{3}));
    click(s.view.viewport(), s.rowCentre(1), QEvent::MouseButtonPress, Qt::RightButton);
    EXPECT_EQ(pressed.last(), Qt::RightButton);

    QHeaderView *header = s.view.header();
    const int x = header->sectionViewportPosition(1) + header->sectionSize(1) / 2;
    click(header->viewport(), QPoint(x, header->height() / 2));
    EXPECT_EQ(columns, (QList<int>{2}));
    EXPECT_EQ(s.model.text(1), "alpha");  // the view leaves sorting to the window code
}
