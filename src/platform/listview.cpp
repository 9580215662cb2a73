#include "platform/listview.h"

#include <algorithm>
#include <numeric>

namespace platform {

QColor colorFromNumber(int colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QString ListItem::subItem(int i) const
{
    if (i < 1 || i > subItems.size())
        return {};
    return subItems.at(i - 1);
}

void ListItem::setSubItem(int i, const QString &value)
{
    if (i < 1)
        return;
    while (subItems.size() < i)
        subItems.append(QString());
    subItems[i - 1] = value;
}

ListView::ListView(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ListView::setColumnHeaders(const QStringList &headers)
{
    const int oldColumns = columnCount();
    const int newColumns = std::max<int>(headers.size(), 1);
    if (newColumns > oldColumns) {
        beginInsertColumns({}, oldColumns, newColumns - 1);
        m_headers = headers;
        endInsertColumns();
    } else if (newColumns < oldColumns) {
        beginRemoveColumns({}, newColumns, oldColumns - 1);
        m_headers = headers;
        endRemoveColumns();
    } else {
        m_headers = headers;
    }
    emit headerDataChanged(Qt::Horizontal, 0, newColumns - 1);
}

const ListItem &ListView::item(int row) const
{
    static const ListItem empty;
    return isValidRow(row) ? *m_rows.at(row - 1) : empty;
}

int ListView::add(const QString &text, const QStringList &subItems, int smallIcon, int foreColor)
{
    ListItem item;
    item.text = text;
    item.subItems = subItems;
    item.smallIcon = smallIcon;
    item.foreColor = foreColor;
    return add(item);
}

int ListView::add(const ListItem &item)
{
    auto stored = QSharedPointer<ListItem>::create(item);
    stored->id = m_nextId++;
    const bool wantSelected = stored->selected;
    // The selection count and the single-select rule are kept by setSelected.
    stored->selected = false;

    const int pos = m_sorted ? sortedInsertPosition(*stored) : int(m_rows.size());
    beginInsertRows({}, pos, pos);
    m_rows.insert(pos, stored);
    endInsertRows();

    if (wantSelected)
        setSelected(pos + 1, true);
    return pos + 1;
}

void ListView::remove(int row)
{
    if (!isValidRow(row))
        return;
    // The flag drops before the removal starts, so a view that deselects the
    // departing row finds nothing left to change here.
    ListItem &gone = *m_rows[row - 1];
    const bool wasSelected = gone.selected;
    if (wasSelected) {
        gone.selected = false;
        --m_selectedCount;
    }
    beginRemoveRows({}, row - 1, row - 1);
    m_rows.removeAt(row - 1);
    endRemoveRows();
    // Signalled only once the row is gone, so a view syncing from it sees the new rows.
    if (wasSelected)
        emit selectionChanged(selectedRow());
}

void ListView::clear()
{
    const bool hadSelection = m_selectedCount > 0;
    beginResetModel();
    m_rows.clear();
    m_selectedCount = 0;
    endResetModel();
    if (hadSelection)
        emit selectionChanged(0);
}

int ListView::rowOfId(quint64 id, int hint) const
{
    if (id == 0)
        return 0;
    if (isValidRow(hint) && m_rows.at(hint - 1)->id == id)
        return hint;
    // Rows added or removed above move it by a few places at most.
    for (int d = 1; d <= 2; ++d) {
        for (const int r : {hint - d, hint + d}) {
            if (isValidRow(r) && m_rows.at(r - 1)->id == id)
                return r;
        }
    }
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i)->id == id)
            return i + 1;
    }
    return 0;
}

QVector<const ListItem *> ListView::rowsInAddedOrder() const
{
    QVector<const ListItem *> out;
    out.reserve(m_rows.size());
    bool inOrder = true;
    for (const QSharedPointer<ListItem> &r : m_rows) {
        if (!out.isEmpty() && out.last()->id > r->id)
            inOrder = false;
        out.append(r.data());
    }
    if (!inOrder)
        std::sort(out.begin(), out.end(), [](const ListItem *a, const ListItem *b) { return a->id < b->id; });
    return out;
}

QString ListView::text(int row) const
{
    return item(row).text;
}

QString ListView::subItem(int row, int column) const
{
    return item(row).subItem(column);
}

int ListView::foreColor(int row) const
{
    return item(row).foreColor;
}

int ListView::smallIcon(int row) const
{
    return item(row).smallIcon;
}

// Edits leave the row where it is even in sorted mode: callers fill in a row
// by its number right after adding it, and that number has to stay put. A
// row set to what it already holds is left alone: a view would measure and
// draw it again for nothing.
void ListView::setText(int row, const QString &text)
{
    if (!isValidRow(row) || m_rows[row - 1]->text == text)
        return;
    m_rows[row - 1]->text = text;
    rowChanged(row);
}

void ListView::setSubItem(int row, int column, const QString &value)
{
    if (!isValidRow(row) || column < 1)
        return;
    m_rows[row - 1]->setSubItem(column, value);
    rowChanged(row);
}

void ListView::setForeColor(int row, int colour)
{
    if (!isValidRow(row) || m_rows[row - 1]->foreColor == colour)
        return;
    m_rows[row - 1]->foreColor = colour;
    rowChanged(row);
}

void ListView::setSmallIcon(int row, int icon)
{
    if (!isValidRow(row))
        return;
    m_rows[row - 1]->smallIcon = icon;
    rowChanged(row);
}

int ListView::selectedRow() const
{
    if (m_selectedCount == 0)
        return 0;
    // With one selected row the hint finds it without a walk over the list.
    if (m_selectedCount == 1 && m_selHint >= 0 && m_selHint < m_rows.size() && m_rows.at(m_selHint)->selected)
        return m_selHint + 1;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i)->selected)
            return i + 1;
    }
    return 0;
}

bool ListView::isSelected(int row) const
{
    return item(row).selected;
}

bool ListView::clearSelectionFlags(int keepRow)
{
    bool changed = false;
    if (m_selectedCount == 1 && m_selHint >= 0 && m_selHint < m_rows.size() && m_rows.at(m_selHint)->selected) {
        if (m_selHint + 1 != keepRow) {
            m_rows[m_selHint]->selected = false;
            m_selectedCount = 0;
            changed = true;
        }
        return changed;
    }
    for (int i = 0; m_selectedCount > 0 && i < m_rows.size(); ++i) {
        ListItem &it = *m_rows[i];
        if (it.selected && i + 1 != keepRow) {
            it.selected = false;
            --m_selectedCount;
            changed = true;
        }
    }
    return changed;
}

void ListView::setSelected(int row, bool selected)
{
    if (!isValidRow(row))
        return;
    bool changed = false;
    if (selected && !m_multiSelect)
        changed = clearSelectionFlags(row);
    ListItem &it = *m_rows[row - 1];
    if (it.selected != selected) {
        it.selected = selected;
        m_selectedCount += selected ? 1 : -1;
        changed = true;
    }
    if (selected)
        m_selHint = row - 1;
    if (changed)
        emit selectionChanged(m_selectedCount > 0 ? row : 0);
}

void ListView::setSelectedRow(int row)
{
    if (row == 0) {
        if (clearSelectionFlags(0))
            emit selectionChanged(0);
        return;
    }
    if (!isValidRow(row))
        return;
    bool changed = clearSelectionFlags(row);
    ListItem &it = *m_rows[row - 1];
    if (!it.selected) {
        it.selected = true;
        ++m_selectedCount;
        changed = true;
    }
    m_selHint = row - 1;
    if (changed)
        emit selectionChanged(row);
}

void ListView::setSorted(bool on)
{
    m_sorted = on;
    // Turning it on again re-sorts, which also tidies rows whose text was edited.
    if (m_sorted)
        applySort();
}

void ListView::setSortKey(int column)
{
    if (column < 0)
        return;
    m_sortKey = column;
    if (m_sorted)
        applySort();
}

void ListView::setSortOrder(SortOrder order)
{
    m_sortOrder = order;
    if (m_sorted)
        applySort();
}

void ListView::setSmallIcons(const QVector<QIcon> &icons)
{
    m_icons = icons;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, 0), {Qt::DecorationRole});
}

int ListView::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ListView::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max<int>(m_headers.size(), 1);
}

QVariant ListView::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.parent().isValid())
        return {};
    const int row = index.row() + 1;
    const int column = index.column();
    if (!isValidRow(row) || column < 0 || column >= columnCount())
        return {};
    const ListItem &it = item(row);
    switch (role) {
    case Qt::DisplayRole:
        return columnText(it, column);
    case Qt::ForegroundRole:
        return colorFromNumber(it.foreColor);
    case Qt::DecorationRole:
        if (column == 0 && it.smallIcon >= 1 && it.smallIcon <= m_icons.size())
            return m_icons.at(it.smallIcon - 1);
        return {};
    default:
        return {};
    }
}

QVariant ListView::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    // An empty caption rather than Qt's default section number.
    return m_headers.value(section);
}

Qt::ItemFlags ListView::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void ListView::applySort()
{
    const int n = int(m_rows.size());
    if (n < 2)
        return;
    QVector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return lessThan(*m_rows.at(a), *m_rows.at(b));
    });
    if (std::is_sorted(order.begin(), order.end()))
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<QSharedPointer<ListItem>> sortedRows;
    sortedRows.reserve(n);
    QVector<int> newRowOf(n);
    for (int i = 0; i < n; ++i) {
        sortedRows.append(m_rows.at(order.at(i)));
        newRowOf[order.at(i)] = i;
    }
    m_rows = std::move(sortedRows);

    // Keeps views' selections and current items on the same rows.
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &idx : from)
        to.append(index(newRowOf.at(idx.row()), idx.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListView::sortedInsertPosition(const ListItem &item) const
{
    // Past every row that does not sort after the new one, so equal keys keep
    // the order they were added in, whichever the direction.
    const auto it = std::upper_bound(m_rows.cbegin(), m_rows.cend(), item,
                                     [this](const ListItem &value, const QSharedPointer<ListItem> &row) {
                                         return lessThan(value, *row);
                                     });
    return int(it - m_rows.cbegin());
}

bool ListView::lessThan(const ListItem &a, const ListItem &b) const
{
    const int cmp = QString::compare(columnText(a, m_sortKey), columnText(b, m_sortKey), Qt::CaseInsensitive);
    return m_sortOrder == SortOrder::Ascending ? cmp < 0 : cmp > 0;
}

QString ListView::columnText(const ListItem &item, int column) const
{
    return column == 0 ? item.text : item.subItem(column);
}

void ListView::rowChanged(int row)
{
    emit dataChanged(index(row - 1, 0), index(row - 1, columnCount() - 1));
}

} // namespace platform
