#include "widgets/fixedrowaccessible.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPointer>

#include "widgets/fixedrowview.h"

namespace platform {

namespace {

quint64 cellKey(int row, int column)
{
    return (quint64(quint32(row)) << 32) | quint32(column);
}

int keyRow(quint64 key)
{
    return int(key >> 32);
}

int keyColumn(quint64 key)
{
    return int(key & 0xffffffffu);
}

// The columns read out: all the model's under a header, else the one shown.
int columnsShown(const FixedRowView *view)
{
    const QAbstractItemModel *model = view ? view->model() : nullptr;
    if (!model)
        return 0;
    const int columns = model->columnCount(view->rootIndex());
    return view->isHeaderHidden() ? qMin(columns, 1) : columns;
}

int rowsShown(const FixedRowView *view)
{
    const QAbstractItemModel *model = view ? view->model() : nullptr;
    return model ? model->rowCount(view->rootIndex()) : 0;
}

QString textOf(const QVariant &accessible, const QVariant &display)
{
    const QString text = accessible.toString();
    return text.isEmpty() ? display.toString() : text;
}

// What a sibling label that names the widget says.
QString buddyText(const QWidget *widget)
{
    const QWidget *parent = widget->parentWidget();
    if (!parent)
        return QString();
    for (const QObject *child : parent->children()) {
        const auto *label = qobject_cast<const QLabel *>(child);
        if (label && label->buddy() == widget) {
            QString text = label->text();
            // "&&" stands for "&"; a lone "&" marks the mnemonic.
            for (int i = 0; i < text.size(); ++i) {
                if (text.at(i) == u'&')
                    text.remove(i, 1);
            }
            return text;
        }
    }
    return QString();
}

// What a cell and a header cell share: no object or children of their own,
// and the view's table for a parent.
class FixedRowPart : public QAccessibleInterface {
public:
    explicit FixedRowPart(FixedRowView *view)
        : m_view(view)
    {
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}

    QPointer<FixedRowView> m_view;
};

class FixedRowCell : public FixedRowPart, public QAccessibleTableCellInterface {
public:
    FixedRowCell(FixedRowView *view, int row, int column)
        : FixedRowPart(view)
        , m_row(row)
        , m_column(column)
    {
    }

    QModelIndex index() const
    {
        if (!m_view || !m_view->model())
            return QModelIndex();
        return m_view->model()->index(m_row, m_column, m_view->rootIndex());
    }

    bool isValid() const override
    {
        return m_view && m_row >= 0 && m_row < rowsShown(m_view) && m_column >= 0 &&
               m_column < columnsShown(m_view);
    }

    QString text(QAccessible::Text t) const override
    {
        const QModelIndex i = index();
        if (!i.isValid())
            return QString();
        if (t == QAccessible::Name)
            return textOf(i.data(Qt::AccessibleTextRole), i.data(Qt::DisplayRole));
        if (t == QAccessible::Description)
            return i.data(Qt::AccessibleDescriptionRole).toString();
        return QString();
    }

    QRect rect() const override
    {
        const QRect r = isValid() ? m_view->visualRect(index()) : QRect();
        if (r.isEmpty())
            return QRect();
        return QRect(m_view->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override
    {
        return m_view && m_view->isHeaderHidden() ? QAccessible::ListItem : QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State st;
        const QModelIndex i = index();
        if (!isValid() || !i.isValid()) {
            st.invalid = true;
            return st;
        }
        const QRect r = m_view->visualRect(i);
        if (r.isEmpty() || !m_view->isVisible())
            st.invisible = true;
        if (!m_view->viewport()->rect().intersects(r))
            st.offscreen = true;
        const auto mode = m_view->selectionMode();
        if (mode != QAbstractItemView::NoSelection) {
            st.selectable = true;
            st.selected = isSelected();
            st.multiSelectable = mode == QAbstractItemView::MultiSelection;
            st.extSelectable = mode == QAbstractItemView::ExtendedSelection;
        }
        st.focusable = m_view->focusPolicy() != Qt::NoFocus;
        st.focused = m_view->hasFocus() && m_view->currentIndex() == i;
        if (!(i.flags() & Qt::ItemIsEnabled))
            st.disabled = true;
        return st;
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    bool isSelected() const override
    {
        const QItemSelectionModel *selection = m_view ? m_view->selectionModel() : nullptr;
        return selection && selection->isSelected(index());
    }
    QList<QAccessibleInterface *> columnHeaderCells() const override
    {
        auto *table = dynamic_cast<FixedRowAccessible *>(parent());
        QAccessibleInterface *header = table && isValid() ? table->headerCell(m_column) : nullptr;
        return header ? QList<QAccessibleInterface *>{header} : QList<QAccessibleInterface *>{};
    }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

    int m_row;
    int m_column;
};

class FixedRowHeaderCell : public FixedRowPart {
public:
    FixedRowHeaderCell(FixedRowView *view, int column)
        : FixedRowPart(view)
        , m_column(column)
    {
    }

    bool isValid() const override
    {
        return m_view && !m_view->isHeaderHidden() && m_column >= 0 && m_column < columnsShown(m_view);
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    void *interface_cast(QAccessible::InterfaceType) override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        const QAbstractItemModel *model = m_view->model();
        return textOf(model->headerData(m_column, Qt::Horizontal, Qt::AccessibleTextRole),
                      model->headerData(m_column, Qt::Horizontal, Qt::DisplayRole));
    }

    QRect rect() const override
    {
        if (!isValid() || m_view->header()->isSectionHidden(m_column))
            return QRect();
        const QHeaderView *header = m_view->header();
        return QRect(header->viewport()->mapToGlobal(QPoint(header->sectionViewportPosition(m_column), 0)),
                     QSize(header->sectionSize(m_column), header->height()));
    }

    QAccessible::State state() const override
    {
        QAccessible::State st;
        if (!isValid()) {
            st.invalid = true;
            return st;
        }
        const QHeaderView *header = m_view->header();
        if (header->isSectionHidden(m_column) || !header->isVisible())
            st.invisible = true;
        const int x = header->sectionViewportPosition(m_column);
        if (x + header->sectionSize(m_column) <= 0 || x >= header->viewport()->width())
            st.offscreen = true;
        return st;
    }

    int m_column;
};

} // namespace

FixedRowAccessible::FixedRowAccessible(FixedRowView *view)
    : QAccessibleWidget(view, QAccessible::Table)
{
    view->m_accessible = this;
}

FixedRowAccessible::~FixedRowAccessible()
{
    dropCells();
    if (FixedRowView *v = view(); v && v->m_accessible == this)
        v->m_accessible = nullptr;
}

FixedRowView *FixedRowAccessible::view() const
{
    return static_cast<FixedRowView *>(widget());
}

bool FixedRowAccessible::hasHeaderRow() const
{
    return view() && !view()->isHeaderHidden();
}

QAccessible::Role FixedRowAccessible::role() const
{
    return hasHeaderRow() ? QAccessible::Table : QAccessible::List;
}

QAccessible::State FixedRowAccessible::state() const
{
    QAccessible::State st = QAccessibleWidget::state();
    if (const FixedRowView *v = view()) {
        st.multiSelectable = v->selectionMode() == QAbstractItemView::MultiSelection;
        st.extSelectable = v->selectionMode() == QAbstractItemView::ExtendedSelection;
    }
    return st;
}

QString FixedRowAccessible::text(QAccessible::Text t) const
{
    // Named by its own name or the label that names it on screen, never by
    // the frame around it.
    if (t == QAccessible::Name) {
        const FixedRowView *v = view();
        if (!v)
            return QString();
        return v->accessibleName().isEmpty() ? buddyText(v) : v->accessibleName();
    }
    return QAccessibleWidget::text(t);
}

int FixedRowAccessible::rowCount() const
{
    return rowsShown(view());
}

int FixedRowAccessible::columnCount() const
{
    return columnsShown(view());
}

int FixedRowAccessible::childIndex(const FixedRowView *view, int row, int column)
{
    const int columns = columnsShown(view);
    if (view->isHeaderHidden())
        column = 0;
    return (view->isHeaderHidden() ? row : row + 1) * columns + column;
}

int FixedRowAccessible::childCount() const
{
    const int columns = columnCount();
    return columns > 0 ? (rowCount() + (hasHeaderRow() ? 1 : 0)) * columns : 0;
}

QAccessibleInterface *FixedRowAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || columns == 0)
        return nullptr;
    if (hasHeaderRow()) {
        if (index < columns)
            return headerCell(index);
        index -= columns;
    }
    return cellAt(index / columns, index % columns);
}

int FixedRowAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const FixedRowView *v = view();
    if (const auto *cell = dynamic_cast<const FixedRowCell *>(child); cell && v && cell->m_view == v && cell->isValid())
        return childIndex(v, cell->m_row, cell->m_column);
    if (const auto *header = dynamic_cast<const FixedRowHeaderCell *>(child);
        header && v && header->m_view == v && header->isValid())
        return header->m_column;
    return -1;
}

QAccessibleInterface *FixedRowAccessible::childAt(int x, int y) const
{
    const FixedRowView *v = view();
    if (!v)
        return nullptr;
    const QPoint inRows = v->viewport()->mapFromGlobal(QPoint(x, y));
    if (v->viewport()->rect().contains(inRows)) {
        const QModelIndex index = v->indexAt(inRows);
        return index.isValid() ? cellAt(index.row(), index.column()) : nullptr;
    }
    if (hasHeaderRow()) {
        const QPoint inHeader = v->header()->mapFromGlobal(QPoint(x, y));
        if (v->header()->rect().contains(inHeader)) {
            const int column = v->header()->logicalIndexAt(inHeader.x());
            return column >= 0 ? headerCell(column) : nullptr;
        }
    }
    return nullptr;
}

QAccessibleInterface *FixedRowAccessible::focusChild() const
{
    const FixedRowView *v = view();
    if (!v || !v->hasFocus())
        return nullptr;
    const QModelIndex current = v->currentIndex();
    return current.isValid() ? cellAt(current.row(), v->isHeaderHidden() ? 0 : current.column()) : nullptr;
}

void *FixedRowAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessibleInterface *FixedRowAccessible::cellAt(int row, int column) const
{
    FixedRowView *v = view();
    if (!v || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return nullptr;
    const quint64 key = cellKey(row, column);
    if (const auto it = m_cells.constFind(key); it != m_cells.constEnd()) {
        if (QAccessibleInterface *cell = QAccessible::accessibleInterface(it.value()))
            return cell;
    }
    auto *cell = new FixedRowCell(v, row, column);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface *FixedRowAccessible::headerCell(int column) const
{
    FixedRowView *v = view();
    if (!v || !hasHeaderRow() || column < 0 || column >= columnCount())
        return nullptr;
    if (const auto it = m_headers.constFind(column); it != m_headers.constEnd()) {
        if (QAccessibleInterface *cell = QAccessible::accessibleInterface(it.value()))
            return cell;
    }
    auto *cell = new FixedRowHeaderCell(v, column);
    m_headers.insert(column, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QString FixedRowAccessible::columnDescription(int column) const
{
    QAccessibleInterface *header = headerCell(column);
    return header ? header->text(QAccessible::Name) : QString();
}

int FixedRowAccessible::selectedCellCount() const
{
    // Counted from the ranges: a select-all must not build a cell per row.
    const FixedRowView *v = view();
    if (!v || !v->selectionModel())
        return 0;
    const int columns = columnCount();
    qsizetype count = 0;
    for (const QItemSelectionRange &range : v->selectionModel()->selection()) {
        if (range.parent() == v->rootIndex() && range.left() < columns)
            count += qsizetype(range.height()) * (qMin(range.right(), columns - 1) - range.left() + 1);
    }
    return int(qMin<qsizetype>(count, INT_MAX));
}

QList<QAccessibleInterface *> FixedRowAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> cells;
    const FixedRowView *v = view();
    if (!v || !v->selectionModel())
        return cells;
    const int columns = columnCount();
    for (const QItemSelectionRange &range : v->selectionModel()->selection()) {
        if (range.parent() != v->rootIndex())
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row) {
            for (int column = range.left(); column <= qMin(range.right(), columns - 1); ++column) {
                if (QAccessibleInterface *cell = cellAt(row, column))
                    cells.append(cell);
            }
        }
    }
    return cells;
}

QList<int> FixedRowAccessible::selectedColumns() const
{
    QList<int> columns;
    for (int column = 0, n = columnCount(); column < n; ++column) {
        if (isColumnSelected(column))
            columns.append(column);
    }
    return columns;
}

int FixedRowAccessible::selectedColumnCount() const
{
    return int(selectedColumns().size());
}

QList<int> FixedRowAccessible::selectedRows() const
{
    QList<int> rows;
    const FixedRowView *v = view();
    if (!v || !v->selectionModel())
        return rows;
    for (const QModelIndex &index : v->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int FixedRowAccessible::selectedRowCount() const
{
    return int(selectedRows().size());
}

bool FixedRowAccessible::isColumnSelected(int column) const
{
    const FixedRowView *v = view();
    return v && v->selectionModel() && rowCount() > 0 && v->selectionModel()->isColumnSelected(column, v->rootIndex());
}

bool FixedRowAccessible::isRowSelected(int row) const
{
    const FixedRowView *v = view();
    return v && v->selectionModel() && v->selectionModel()->isRowSelected(row, v->rootIndex());
}

// A whole row or column (the other is -1), as the view lets the user
// select it.
bool FixedRowAccessible::select(int row, int column, bool on)
{
    FixedRowView *v = view();
    QItemSelectionModel *selection = v ? v->selectionModel() : nullptr;
    if (!selection || v->selectionMode() == QAbstractItemView::NoSelection)
        return false;
    const bool byRow = row >= 0;
    const auto behavior = v->selectionBehavior();
    if ((byRow && behavior == QAbstractItemView::SelectColumns) ||
        (!byRow && behavior == QAbstractItemView::SelectRows))
        return false;
    const QModelIndex index = v->model()->index(byRow ? row : 0, byRow ? 0 : column, v->rootIndex());
    if (!index.isValid() || (!byRow && column >= columnCount()))
        return false;
    QItemSelectionModel::SelectionFlags flags = byRow ? QItemSelectionModel::Rows : QItemSelectionModel::Columns;
    if (!on) {
        flags |= QItemSelectionModel::Deselect;
    } else if (v->selectionMode() == QAbstractItemView::SingleSelection) {
        // One cell at most: a row or column of several cells cannot be.
        const int cells = byRow ? columnCount() : rowCount();
        if (cells > 1 && behavior == QAbstractItemView::SelectItems)
            return false;
        flags |= QItemSelectionModel::ClearAndSelect;
    } else {
        flags |= QItemSelectionModel::Select;
    }
    selection->select(index, flags);
    return true;
}

bool FixedRowAccessible::selectRow(int row)
{
    return select(row, -1, true);
}

bool FixedRowAccessible::selectColumn(int column)
{
    return column >= 0 && select(-1, column, true);
}

bool FixedRowAccessible::unselectRow(int row)
{
    return select(row, -1, false);
}

bool FixedRowAccessible::unselectColumn(int column)
{
    return column >= 0 && select(-1, column, false);
}

void FixedRowAccessible::modelChange(QAccessibleTableModelChangeEvent *event)
{
    const int first = event->firstRow();
    const int last = event->lastRow();
    switch (event->modelChangeType()) {
    case QAccessibleTableModelChangeEvent::DataChanged:
        break;  // cells read the model when asked
    case QAccessibleTableModelChangeEvent::RowsInserted:
        if (first < 0 || last < first)
            dropCells();
        else
            moveRows(first, last - first + 1);
        break;
    case QAccessibleTableModelChangeEvent::RowsRemoved:
        if (first < 0 || last < first) {
            dropCells();
            break;
        }
        for (auto it = m_cells.lowerBound(cellKey(first, 0)); it != m_cells.end() && keyRow(it.key()) <= last;) {
            QAccessible::deleteAccessibleInterface(it.value());
            it = m_cells.erase(it);
        }
        moveRows(last + 1, first - last - 1);
        break;
    default:
        dropCells();
        break;
    }
}

// The cells kept at row from and below move by rows; those above stay.
void FixedRowAccessible::moveRows(int from, int by)
{
    QList<QPair<quint64, QAccessible::Id>> moved;
    for (auto it = m_cells.lowerBound(cellKey(from, 0)); it != m_cells.end();) {
        moved.append({it.key(), it.value()});
        it = m_cells.erase(it);
    }
    for (const auto &[key, id] : moved) {
        auto *cell = static_cast<FixedRowCell *>(QAccessible::accessibleInterface(id));
        if (!cell)
            continue;
        cell->m_row = keyRow(key) + by;
        m_cells.insert(cellKey(cell->m_row, keyColumn(key)), id);
    }
}

void FixedRowAccessible::dropCells()
{
    const QList<QAccessible::Id> ids = m_cells.values() + m_headers.values();
    m_cells.clear();
    m_headers.clear();
    for (QAccessible::Id id : ids)
        QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface *fixedRowAccessibleFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("platform::FixedRowView"))
        return nullptr;
    auto *view = qobject_cast<FixedRowView *>(object);
    return view ? new FixedRowAccessible(view) : nullptr;
}

} // namespace platform
