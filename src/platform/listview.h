#pragma once
// Report-style list: rows of text with sub-items, a text colour, a small icon
// and a selection, counted from 1 as the window code addresses them. It is a
// Qt item model, so it works without any window and a view can show it.

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <QSharedPointer>
#include <QStringList>
#include <QVector>

namespace platform {

// Platform colour numbers: red in the low byte.
enum : int {
    kColorBlack = 0,
    kColorRed = 255,
    kColorGreen = 65280,
    kColorBlue = 16711680,
};

QColor colorFromNumber(int colour);

enum class SortOrder { Ascending, Descending };

struct ListItem {
    QString text;           // column 0
    QStringList subItems;   // columns 1..n; subItems[0] is column 1
    int foreColor = kColorBlack;
    int smallIcon = 0;      // 0 = none; otherwise an index into the icon list, from 1
    bool selected = false;
    // Given by the list when the row is added: unique within the list and
    // rising in the order rows were added, whatever sorting does since.
    quint64 id = 0;

    // Sub-item i, from 1 (column i); "" past the end.
    QString subItem(int i) const;
    void setSubItem(int i, const QString &value);
};

class ListView : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListView(QObject *parent = nullptr);

    // Columns.
    void setColumnHeaders(const QStringList &headers);
    QStringList columnHeaders() const { return m_headers; }
    int columnHeaderCount() const { return m_headers.size(); }

    // Rows, counted from 1. Out-of-range rows read as empty and write nowhere.
    int count() const { return m_rows.size(); }
    bool isValidRow(int row) const { return row >= 1 && row <= m_rows.size(); }
    const ListItem &item(int row) const;
    // Adds a row at the end (or, in sorted mode, at its sorted place) and
    // returns its row number.
    int add(const QString &text, const QStringList &subItems = {}, int smallIcon = 0,
            int foreColor = kColorBlack);
    int add(const ListItem &item);
    void remove(int row);
    void clear();

    // A row's identity, which stays with it while rows are added, removed or
    // sorted around it; 0 for no row.
    quint64 rowId(int row) const { return isValidRow(row) ? m_rows.at(row - 1)->id : 0; }
    // The row that has the identity now, 0 when it is gone. hint, the row it
    // was last seen at, is tried first.
    int rowOfId(quint64 id, int hint = 0) const;
    // The rows in the order they were added, whatever their order on screen.
    QVector<const ListItem *> rowsInAddedOrder() const;

    QString text(int row) const;
    QString subItem(int row, int column) const;  // column from 1
    int foreColor(int row) const;
    int smallIcon(int row) const;
    void setText(int row, const QString &text);
    void setSubItem(int row, int column, const QString &value);
    void setForeColor(int row, int colour);
    void setSmallIcon(int row, int icon);

    // Selection: one selected row at most unless multi-select is on.
    int selectedRow() const;                 // first selected row, 0 = none
    bool isSelected(int row) const;
    void setSelected(int row, bool selected);
    void setSelectedRow(int row);            // selects only this row; 0 clears
    void setMultiSelect(bool on) { m_multiSelect = on; }
    bool multiSelect() const { return m_multiSelect; }

    // Sorting by a column's text, ignoring case; stable.
    bool sorted() const { return m_sorted; }
    void setSorted(bool on);
    int sortKey() const { return m_sortKey; }  // 0-based column
    void setSortKey(int column);
    SortOrder sortOrder() const { return m_sortOrder; }
    void setSortOrder(SortOrder order);

    // Small icons shown for smallIcon 1..n.
    void setSmallIcons(const QVector<QIcon> &icons);

    // QAbstractItemModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // A row's selection changed (row from 1, 0 when the selection was cleared).
    void selectionChanged(int row);

private:
    void applySort();
    int sortedInsertPosition(const ListItem &item) const;  // 0-based
    bool lessThan(const ListItem &a, const ListItem &b) const;
    QString columnText(const ListItem &item, int column) const;
    void rowChanged(int row);
    bool clearSelectionFlags(int keepRow);

    QStringList m_headers;
    // Held by pointer so a sorted insert near the top moves pointers, not items.
    QVector<QSharedPointer<ListItem>> m_rows;
    QVector<QIcon> m_icons;
    mutable int m_selHint = -1;  // 0-based row last selected; checked before use
    bool m_multiSelect = false;
    bool m_sorted = false;
    int m_sortKey = 0;
    SortOrder m_sortOrder = SortOrder::Ascending;
    int m_selectedCount = 0;  // lets the usual no-selection case skip scans
    quint64 m_nextId = 1;
};

} // namespace platform
