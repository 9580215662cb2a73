#pragma once
// How assistive technology reads a FixedRowView: a table of its model's
// cells under a row of column headers, or a list of rows when the header is
// hidden. Cells are made when asked for and kept by id; a row added or
// removed moves only the cells kept below it.

#include <QAccessibleWidget>
#include <QMap>
#include <QModelIndex>

namespace platform {

class FixedRowView;

class FixedRowAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit FixedRowAccessible(FixedRowView *view);
    ~FixedRowAccessible() override;

    // QAccessibleInterface
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return QString(); }
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    int selectedColumnCount() const override;
    QList<int> selectedColumns() const override;
    int selectedRowCount() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent *event) override;

    QAccessibleInterface *headerCell(int column) const;
    // The child number of a cell: the header row, when shown, comes first.
    static int childIndex(const FixedRowView *view, int row, int column);

private:
    FixedRowView *view() const;
    bool hasHeaderRow() const;
    bool select(int row, int column, bool on);
    void dropCells();
    void moveRows(int from, int by);

    // (row << 32 | column) -> id, in row order, so that a change moves only
    // the cells after it.
    mutable QMap<quint64, QAccessible::Id> m_cells;
    mutable QMap<int, QAccessible::Id> m_headers;
};

// Answers Qt's query for any FixedRowView.
QAccessibleInterface *fixedRowAccessibleFactory(const QString &className, QObject *object);

} // namespace platform
