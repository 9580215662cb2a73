#include "widgets/fixedrowview.h"

#include <QAccessible>
#include <QEvent>
#include <QHeaderView>
#include <QHoverEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "widgets/fixedrowaccessible.h"

namespace platform {

FixedRowView::FixedRowView(QWidget *parent)
    : QAbstractItemView(parent)
    , m_header(new QHeaderView(Qt::Horizontal, this))
{
    // The header a report-style list has always had.
    m_header->setSectionsMovable(true);
    m_header->setFirstSectionMovable(false);
    m_header->setStretchLastSection(true);
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHorizontalScrollMode(ScrollPerPixel);
    viewport()->setAttribute(Qt::WA_Hover);
    // Assistive technology reads the rows and cells through this.
    [[maybe_unused]] static const bool readable = [] {
        QAccessible::installFactory(fixedRowAccessibleFactory);
        return true;
    }();

    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        viewport()->update();
        scheduleGeometries();
    });
    connect(m_header, &QHeaderView::sectionMoved, viewport(), [this] { viewport()->update(); });
    connect(m_header, &QHeaderView::sectionCountChanged, this, [this] {
        viewport()->update();
        scheduleGeometries();
    });
    connect(m_header, &QHeaderView::geometriesChanged, this, [this] { scheduleGeometries(); });
    connect(m_header, &QHeaderView::sectionHandleDoubleClicked, this, [this](int column) {
        // As wide as the rows in sight need.
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        int width = m_header->sectionSizeHint(column);
        for (int row = firstVisibleRow(), last = lastVisibleRow(); row >= 0 && row <= last; ++row) {
            const QModelIndex index = model()->index(row, column, rootIndex());
            width = qMax(width, itemDelegateForIndex(index)->sizeHint(option, index).width());
        }
        m_header->resizeSection(column, width);
    });
}

void FixedRowView::setHeaderHidden(bool hidden)
{
    const bool was = m_header->isHidden();
    m_header->setHidden(hidden);
    scheduleGeometries();
    // A table becomes a list or back: its cells are numbered afresh.
    if (was != hidden && accessibilityListens()) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
        accessibilityUpdate(&event);
    }
}

FixedRowView::~FixedRowView()
{
    // The header is deleted with the other children after this class is
    // gone; what it signals then must not reach this class's members.
    disconnect(m_header, nullptr, this, nullptr);
    if (model())
        disconnect(model(), nullptr, this, nullptr);
    m_geometryTimer.stop();
    // The cells read out go with the view, not after it.
    if (m_accessible)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(m_accessible));
}

bool FixedRowView::isHeaderHidden() const
{
    return m_header->isHidden();
}

int FixedRowView::columnWidth(int column) const
{
    return m_header->sectionSize(column);
}

void FixedRowView::setColumnWidth(int column, int width)
{
    m_header->resizeSection(column, width);
}

void FixedRowView::setModel(QAbstractItemModel *newModel)
{
    if (QAbstractItemModel *old = model())
        disconnect(old, nullptr, this, nullptr);
    QAbstractItemView::setModel(newModel);
    m_header->setModel(newModel);
    if (newModel) {
        connect(newModel, &QAbstractItemModel::rowsRemoved, this, &FixedRowView::onRowsRemoved);
        connect(newModel, &QAbstractItemModel::modelReset, this, [this] { doItemsLayout(); });
        const auto renumbered = [this] { modelChangedUnheard(QAccessibleTableModelChangeEvent::ModelReset); };
        // The item view announces a new layout, and a move, to a listening
        // client as a reset; the cells read out so far are renumbered here.
        connect(newModel, &QAbstractItemModel::layoutChanged, this, renumbered);
        connect(newModel, &QAbstractItemModel::rowsMoved, this, renumbered);
        connect(newModel, &QAbstractItemModel::columnsMoved, this, renumbered);
        connect(newModel, &QAbstractItemModel::columnsInserted, this,
                [this] { modelChangedUnheard(QAccessibleTableModelChangeEvent::ColumnsInserted); });
        connect(newModel, &QAbstractItemModel::columnsRemoved, this,
                [this] { modelChangedUnheard(QAccessibleTableModelChangeEvent::ColumnsRemoved); });
    }
    // The item view's setModel has reset this view (and its cells) already.
    doItemsLayout();
}

int FixedRowView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int FixedRowView::columnCount() const
{
    return model() ? model()->columnCount(rootIndex()) : 0;
}

void FixedRowView::measureRows()
{
    // The height the first row asks for in any of its columns, as a tree
    // view with uniform rows measures it.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect.setWidth(-1);
    int height = -1;
    if (rowCount() > 0) {
        const int columns = m_header->isHidden() ? qMin(columnCount(), 1) : columnCount();
        for (int column = 0; column < columns; ++column) {
            if (!m_header->isHidden() && m_header->isSectionHidden(column))
                continue;
            const QModelIndex index = model()->index(0, column, rootIndex());
            height = qMax(height, itemDelegateForIndex(index)->sizeHint(option, index).height());
        }
    }
    m_rowHeight = height > 0 ? height : qMax(fontMetrics().height(), 1);
}

int FixedRowView::rowHeight() const
{
    if (m_rowHeight < 0)
        const_cast<FixedRowView *>(this)->measureRows();
    return m_rowHeight;
}

int FixedRowView::rowAt(int y) const
{
    const int at = y + verticalOffset();
    if (at < 0)
        return -1;
    const int row = at / rowHeight();
    return row < rowCount() ? row : -1;
}

int FixedRowView::firstVisibleRow() const
{
    return rowCount() > 0 ? qMin(verticalOffset() / rowHeight(), rowCount() - 1) : -1;
}

int FixedRowView::lastVisibleRow() const
{
    if (rowCount() == 0)
        return -1;
    return qMin((verticalOffset() + viewport()->height()) / rowHeight(), rowCount() - 1);
}

QRect FixedRowView::rowRect(int row) const
{
    return QRect(0, row * rowHeight() - verticalOffset(), viewport()->width(), rowHeight());
}

int FixedRowView::columnX(int column) const
{
    return m_header->isHidden() ? -horizontalOffset() : m_header->sectionViewportPosition(column);
}

int FixedRowView::columnSpan(int column) const
{
    return m_header->isHidden() ? qMax(viewport()->width(), m_listWidth) : m_header->sectionSize(column);
}

QRect FixedRowView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex() || isIndexHidden(index))
        return QRect();
    return QRect(columnX(index.column()), index.row() * rowHeight() - verticalOffset(), columnSpan(index.column()),
                 rowHeight());
}

QModelIndex FixedRowView::indexAt(const QPoint &point) const
{
    const int row = rowAt(point.y());
    if (row < 0)
        return QModelIndex();
    int column = 0;
    if (!m_header->isHidden()) {
        column = m_header->logicalIndexAt(point.x());
    } else if (point.x() + horizontalOffset() >= columnSpan(0) || columnCount() == 0) {
        column = -1;
    }
    return column < 0 ? QModelIndex() : model()->index(row, column, rootIndex());
}

void FixedRowView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != model())
        return;
    flushGeometries();
    if (verticalScrollMode() == ScrollPerItem) {
        const int row = index.row();
        const int inSight = rowsInSight();
        int first = verticalScrollBar()->value();
        switch (hint) {
        case EnsureVisible:
            if (row < first)
                first = row;
            else if (row >= first + inSight)
                first = row - inSight + 1;
            break;
        case PositionAtTop:
            first = row;
            break;
        case PositionAtBottom:
            first = row - inSight + 1;
            break;
        case PositionAtCenter:
            first = row - inSight / 2;
            break;
        }
        verticalScrollBar()->setValue(first);
    } else {
        const int height = rowHeight();
        const int top = index.row() * height;
        const int view = viewport()->height();
        int value = verticalScrollBar()->value();
        switch (hint) {
        case EnsureVisible:
            if (top < value)
                value = top;
            else if (top + height > value + view)
                value = top + height - view;
            break;
        case PositionAtTop:
            value = top;
            break;
        case PositionAtBottom:
            value = top + height - view;
            break;
        case PositionAtCenter:
            value = top - (view - height) / 2;
            break;
        }
        verticalScrollBar()->setValue(value);
    }

    if (!m_header->isHidden()) {
        const int left = m_header->sectionPosition(index.column());
        const int width = m_header->sectionSize(index.column());
        const int across = viewport()->width();
        int x = horizontalScrollBar()->value();
        if (left < x)
            x = left;
        else if (left + width > x + across)
            x = qMin(left, left + width - across);
        horizontalScrollBar()->setValue(x);
    }
}

void FixedRowView::doItemsLayout()
{
    ++m_layoutPasses;
    m_rowHeight = -1;
    m_listWidthStale = true;
    m_hoverRow = -1;
    QAbstractItemView::doItemsLayout();
}

void FixedRowView::reset()
{
    QAbstractItemView::reset();
    modelChangedUnheard(QAccessibleTableModelChangeEvent::ModelReset);
    m_rowHeight = -1;
    m_listWidthStale = true;
    m_hoverRow = -1;
    scheduleGeometries();
}

QModelIndex FixedRowView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int rows = rowCount();
    if (rows == 0)
        return QModelIndex();
    const QModelIndex current = currentIndex();
    const int column = current.isValid() ? current.column() : 0;
    int row = current.isValid() ? current.row() : -1;
    const int page = qMax(1, viewport()->height() / rowHeight());
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        row = row < 0 ? 0 : row - 1;
        break;
    case MoveDown:
    case MoveNext:
        row = row + 1;
        break;
    case MovePageUp:
        row = row - page;
        break;
    case MovePageDown:
        row = row < 0 ? page : row + page;
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return current;
    case MoveRight:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return current;
    }
    return model()->index(qBound(0, row, rows - 1), column, rootIndex());
}

int FixedRowView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int FixedRowView::verticalOffset() const
{
    // Scrolled by rows, the bar counts rows; else pixels.
    const int value = verticalScrollBar()->value();
    return verticalScrollMode() == ScrollPerItem ? value * rowHeight() : value;
}

int FixedRowView::rowsInSight() const
{
    return rowCount() > 0 ? qMax(1, viewport()->height() / rowHeight()) : 0;
}

bool FixedRowView::isIndexHidden(const QModelIndex &index) const
{
    return m_header->isHidden() ? index.column() != 0 : m_header->isSectionHidden(index.column());
}

void FixedRowView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel() || !model())
        return;
    const QRect r = rect.normalized();
    const int rows = rowCount();
    const int height = rowHeight();
    const int top = qMax(0, (r.top() + verticalOffset()) / height);
    const int bottom = qMin(rows - 1, (r.bottom() + verticalOffset()) / height);
    QItemSelection selection;
    if (rows > 0 && columnCount() > 0 && top <= bottom && r.bottom() + verticalOffset() >= 0)
        selection.select(model()->index(top, 0, rootIndex()), model()->index(bottom, columnCount() - 1, rootIndex()));
    selectionModel()->select(selection, command);
}

QRegion FixedRowView::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    const QRect view = viewport()->rect();
    for (const QItemSelectionRange &range : selection) {
        if (!range.isValid() || range.parent() != rootIndex())
            continue;
        const QRect first = rowRect(range.top());
        region += QRect(first.topLeft(), QPoint(view.right(), rowRect(range.bottom()).bottom())) & view;
    }
    return region;
}

void FixedRowView::scheduleGeometries()
{
    if (!m_geometryTimer.isActive() || m_geometryDelayed) {
        m_geometryDelayed = false;
        m_geometryTimer.start(0, this);
    }
}

// Rows come and go many times a second while a scan runs; the bars follow
// them a few times a second rather than at every change.
void FixedRowView::scheduleRowGeometries()
{
    if (!m_geometryTimer.isActive()) {
        m_geometryDelayed = true;
        m_geometryTimer.start(kRowGeometryDelayMs, this);
    }
}

void FixedRowView::flushGeometries()
{
    if (m_geometryTimer.isActive())
        updateGeometries();
}

void FixedRowView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_geometryTimer.timerId()) {
        m_geometryTimer.stop();
        updateGeometries();
        return;
    }
    QAbstractItemView::timerEvent(event);
}

void FixedRowView::updateGeometries()
{
    m_geometryTimer.stop();
    m_geometryDelayed = false;
    int headerHeight = 0;
    if (!m_header->isHidden()) {
        headerHeight = qMax(m_header->minimumHeight(), m_header->sizeHint().height());
        headerHeight = qMin(headerHeight, m_header->maximumHeight());
    }
    // Setting the margins lays out the scroll area again: only when they change.
    if (headerHeight != m_headerHeight) {
        m_headerHeight = headerHeight;
        setViewportMargins(0, headerHeight, 0, 0);
    }
    const QRect vg = viewport()->geometry();
    m_header->setGeometry(vg.left(), vg.top() - headerHeight, vg.width(), headerHeight);

    if (m_header->isHidden() && m_listWidthStale) {
        m_listWidthStale = false;
        m_listWidth = 0;
        if (rowCount() > 0 && columnCount() > 0) {
            QStyleOptionViewItem option;
            initViewItemOption(&option);
            const QModelIndex first = model()->index(0, 0, rootIndex());
            m_listWidth = itemDelegateForIndex(first)->sizeHint(option, first).width();
        }
    }

    // The bars as a tree view with rows of one height sets them.
    const int view = viewport()->height();
    const int inSight = rowsInSight();
    if (verticalScrollMode() == ScrollPerItem) {
        verticalScrollBar()->setRange(0, rowCount() - inSight);
        verticalScrollBar()->setPageStep(inSight);
        verticalScrollBar()->setSingleStep(1);
    } else {
        verticalScrollBar()->setRange(0, qMax(0, rowCount() * rowHeight() - view));
        verticalScrollBar()->setPageStep(view);
        verticalScrollBar()->setSingleStep(qMax(view / (inSight + 1), 2));
    }
    const int across = viewport()->width();
    const int content = m_header->isHidden() ? m_listWidth : m_header->length();
    horizontalScrollBar()->setRange(0, qMax(0, content - across));
    horizontalScrollBar()->setPageStep(across);
    horizontalScrollBar()->setSingleStep(qMax(across / (columnCount() + 1), 2));
    m_header->setOffset(horizontalScrollBar()->value());
    QAbstractItemView::updateGeometries();
}

void FixedRowView::scrollContentsBy(int dx, int dy)
{
    if (dx)
        m_header->setOffset(horizontalScrollBar()->value());
    if (verticalScrollMode() == ScrollPerItem)
        dy *= rowHeight();
    QAbstractItemView::scrollContentsBy(dx, dy);
}

void FixedRowView::rowsMoved(int from)
{
    // Rows at from and below have moved: redrawn when any of them is in sight.
    if (from <= lastVisibleRow() + 1)
        viewport()->update();
    m_hoverRow = -1;
    if (from == 0)
        m_listWidthStale = true;
    scheduleRowGeometries();
}

void FixedRowView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    if (parent != rootIndex())
        return;
    modelChangedUnheard(QAccessibleTableModelChangeEvent::RowsInserted, start, end);
    // The first rows of an empty list give the height of all.
    if (rowCount() == end - start + 1)
        m_rowHeight = -1;
    rowsMoved(start);
}

void FixedRowView::onRowsRemoved(const QModelIndex &parent, int start, int end)
{
    if (parent != rootIndex())
        return;
    modelChangedUnheard(QAccessibleTableModelChangeEvent::RowsRemoved, start, end);
    rowsMoved(start);
}

bool FixedRowView::accessibilityListens() const
{
    return m_accessible || QAccessible::isActive();
}

void FixedRowView::accessibilityUpdate(QAccessibleEvent *event)
{
    if (QAccessible::isActive())
        QAccessible::updateAccessibility(event);  // Qt hands table changes on to the interface
    else if (m_accessible && event->type() == QAccessible::TableModelChanged)
        m_accessible->modelChange(static_cast<QAccessibleTableModelChangeEvent *>(event));
}

void FixedRowView::modelChangedUnheard(int type, int first, int last)
{
    if (!m_accessible || QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelChangeType(type));
    event.setFirstRow(first);
    event.setLastRow(last);
    accessibilityUpdate(&event);
}

void FixedRowView::announceCell(int type, const QModelIndex &index)
{
    if (!index.isValid() || index.model() != model() || index.parent() != rootIndex() || !accessibilityListens())
        return;
    QAccessibleEvent event(this, QAccessible::Event(type));
    event.setChild(FixedRowAccessible::childIndex(this, index.row(), index.column()));
    accessibilityUpdate(&event);
}

void FixedRowView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QAbstractItemView::currentChanged(current, previous);
    if (hasFocus())
        announceCell(QAccessible::Focus, current);
}

void FixedRowView::focusInEvent(QFocusEvent *event)
{
    const QModelIndex before = currentIndex();
    QAbstractItemView::focusInEvent(event);
    // A current cell set on the way in has been announced already.
    if (currentIndex() == before)
        announceCell(QAccessible::Focus, before);
}

void FixedRowView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    // The first cell of each change, as the stock views tell it.
    if (!deselected.isEmpty())
        announceCell(QAccessible::SelectionRemove, deselected.first().topLeft());
    if (!selected.isEmpty())
        announceCell(QAccessible::SelectionAdd, selected.first().topLeft());
}

void FixedRowView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    if (m_header->isHidden() && topLeft.row() == 0 && topLeft.parent() == rootIndex()) {
        m_listWidthStale = true;
        scheduleGeometries();
    }
}

bool FixedRowView::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave: {
        const int row =
            event->type() == QEvent::HoverLeave ? -1 : rowAt(static_cast<QHoverEvent *>(event)->position().toPoint().y());
        if (row != m_hoverRow) {
            if (m_hoverRow >= 0)
                viewport()->update(rowRect(m_hoverRow));
            m_hoverRow = row;
            if (row >= 0)
                viewport()->update(rowRect(row));
        }
        break;
    }
    default:
        break;
    }
    return QAbstractItemView::viewportEvent(event);
}

bool FixedRowView::event(QEvent *event)
{
    // The style (a style sheet's padding, say) comes with the polish when
    // the view is first shown: the rows are measured again under it.
    if (event->type() == QEvent::Polish) {
        m_rowHeight = -1;
        m_listWidthStale = true;
        scheduleGeometries();
    }
    return QAbstractItemView::event(event);
}

void FixedRowView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_rowHeight = -1;
        m_listWidthStale = true;
        scheduleGeometries();
    }
    QAbstractItemView::changeEvent(event);
}

void FixedRowView::paintEvent(QPaintEvent *event)
{
    if (!model())
        return;
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int rows = rowCount();
    const int height = rowHeight();
    const int first = qMax(0, (area.top() + verticalOffset()) / height);
    const int last = qMin(rows - 1, (area.bottom() + verticalOffset()) / height);
    if (first > last)
        return;

    // The columns in sight, left to right.
    QList<int> columns;
    if (m_header->isHidden()) {
        if (columnCount() > 0)
            columns << 0;
    } else {
        for (int visual = 0; visual < m_header->count(); ++visual) {
            const int logical = m_header->logicalIndex(visual);
            if (m_header->isSectionHidden(logical))
                continue;
            const int x = columnX(logical);
            if (x + columnSpan(logical) > area.left() && x <= area.right())
                columns << logical;
        }
    }

    QStyleOptionViewItem base;
    initViewItemOption(&base);
    // A whole row is selected as one, so the cells show it whole.
    if (selectionBehavior() == SelectRows)
        base.showDecorationSelected = true;
    const QModelIndex current = currentIndex();
    const bool focus = hasFocus() && current.isValid();
    QItemSelectionModel *selection = selectionModel();
    for (int row = first; row <= last; ++row) {
        QStyleOptionViewItem rowOption = base;
        rowOption.rect = rowRect(row);
        if (alternatingRowColors() && (row & 1))
            rowOption.features |= QStyleOptionViewItem::Alternate;
        if (row == m_hoverRow)
            rowOption.state |= QStyle::State_MouseOver;

        for (int c = 0; c < columns.size(); ++c) {
            const int column = columns.at(c);
            const QModelIndex index = model()->index(row, column, rootIndex());
            QStyleOptionViewItem option = rowOption;
            option.rect = QRect(columnX(column), rowOption.rect.top(), columnSpan(column), height);
            if (!(model()->flags(index) & Qt::ItemIsEnabled))
                option.state &= ~QStyle::State_Enabled;
            // The cell's share of the row's background (the alternate
            // colour); the delegate draws the rest, the selection included.
            style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
            if (selection && selection->isSelected(index))
                option.state |= QStyle::State_Selected;
            if (focus && index == current && !m_rowFocus)
                option.state |= QStyle::State_HasFocus;
            option.viewItemPosition = columns.size() == 1 ? QStyleOptionViewItem::OnlyOne
                                      : c == 0             ? QStyleOptionViewItem::Beginning
                                      : c == columns.size() - 1 ? QStyleOptionViewItem::End
                                                                : QStyleOptionViewItem::Middle;
            itemDelegateForIndex(index)->paint(&painter, option, index);
        }

        // The focus frame around the whole current row.
        if (m_rowFocus && focus && current.row() == row && current.parent() == rootIndex()) {
            QStyleOptionFocusRect frame;
            frame.QStyleOption::operator=(base);
            frame.state |= QStyle::State_KeyboardFocusChange;
            const QPalette::ColorGroup group = (base.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
            frame.backgroundColor =
                base.palette.color(group, selection && selection->isSelected(current) ? QPalette::Highlight : QPalette::Window);
            const int x = m_header->isHidden() ? 0 : m_header->sectionPosition(0);
            const int width = m_header->isHidden() ? columnSpan(0) : m_header->length() - x;
            frame.rect = style()->visualRect(layoutDirection(), viewport()->rect(),
                                             QRect(x - horizontalOffset(), rowOption.rect.top(), width, height));
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter);
        }
    }
}

} // namespace platform
