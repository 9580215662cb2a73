#pragma once
// A flat item view whose rows all have the height of the first one: where a
// row lies follows from its number alone, so adding or removing rows costs
// the same however many there are (no layout of every row is ever made).
// With its header it shows the model's columns side by side; without it,
// one column as wide as the view, or as its first row when that is wider.

#include <QAbstractItemView>
#include <QBasicTimer>

class QAccessibleEvent;
class QHeaderView;

namespace platform {

class FixedRowAccessible;

class FixedRowView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit FixedRowView(QWidget *parent = nullptr);
    ~FixedRowView() override;

    QHeaderView *header() const { return m_header; }
    void setHeaderHidden(bool hidden);
    bool isHeaderHidden() const;
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    // The height of every row.
    int rowHeight() const;
    // The focus is shown around the current row rather than its cell.
    void setAllColumnsShowFocus(bool on) { m_rowFocus = on; }

    void setModel(QAbstractItemModel *model) override;
    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    void doItemsLayout() override;
    void reset() override;

    // How many times the rows were laid out afresh (a new row height
    // measured): once for a new model or a reset, not for each row added
    // or removed.
    int layoutPasses() const { return m_layoutPasses; }
    // Brings the scroll bars up to date now rather than when next due.
    void flushGeometries();

protected:
    // Everything this view itself tells assistive technology passes here:
    // the current cell, the selection, and the model's changes while no
    // client listens (the item view sends those itself to a listening one),
    // which keep the cells read out so far in step.
    virtual void accessibilityUpdate(QAccessibleEvent *event);

    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    friend class FixedRowAccessible;
    int rowCount() const;
    int columnCount() const;
    int rowAt(int y) const;  // -1 past the rows
    int firstVisibleRow() const;
    int lastVisibleRow() const;
    int rowsInSight() const;  // whole rows the viewport holds
    QRect rowRect(int row) const;  // viewport coordinates, the full width
    // The x and width of a column in viewport coordinates.
    int columnX(int column) const;
    int columnSpan(int column) const;
    void rowsMoved(int from);  // rows at from and after changed places
    void measureRows();
    void scheduleGeometries();
    void scheduleRowGeometries();
    void onRowsRemoved(const QModelIndex &parent, int start, int end);
    bool accessibilityListens() const;
    void modelChangedUnheard(int type, int first = -1, int last = -1);
    void announceCell(int event, const QModelIndex &index);

    QHeaderView *m_header = nullptr;
    mutable int m_rowHeight = -1;  // -1: to be measured
    int m_listWidth = 0;           // without a header: the first row's width
    bool m_listWidthStale = true;
    int m_hoverRow = -1;
    bool m_rowFocus = false;
    int m_layoutPasses = 0;
    QBasicTimer m_geometryTimer;   // updates coalesced until the event loop runs
    bool m_geometryDelayed = false;  // the timer runs for rows that changed only
    int m_headerHeight = -1;       // the top margin last set
    FixedRowAccessible *m_accessible = nullptr;  // while one has been asked for
    static constexpr int kRowGeometryDelayMs = 40;
};

} // namespace platform
