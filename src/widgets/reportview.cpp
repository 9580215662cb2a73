#include "widgets/reportview.h"

#include "platform/listview.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace platform {

ReportView::ReportView(QWidget *parent)
    : FixedRowView(parent)
{
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The window code sorts the model itself when a header is clicked.
    header()->setSectionsClickable(true);

    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        emit columnClicked(section + 1);
    });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit itemClicked(index.row() + 1);
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit itemDoubleClicked(index.row() + 1);
    });
}

void ReportView::setListView(ListView *model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);

    m_model = model;
    m_modelMoving = false;
    if (m_model) {
        // Connected before setModel so these run ahead of the view's own
        // handlers: on removing the current row a single-select view moves the
        // selection to a neighbour, which must not reach the model.
        connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { m_modelMoving = true; });
        connect(m_model, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] { m_modelMoving = true; });
        connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ReportView::modelSettled);
        connect(m_model, &QAbstractItemModel::layoutChanged, this, &ReportView::modelSettled);
    }

    // setModel makes a fresh selection model and leaves the old one to us.
    QItemSelectionModel *oldSelection = selectionModel();
    setModel(model);
    if (oldSelection && oldSelection != selectionModel())
        delete oldSelection;
    if (!m_model)
        return;

    connect(m_model, &ListView::selectionChanged, this, &ReportView::syncFromModel);
    connect(m_model, &QObject::destroyed, this, [this] { m_model = nullptr; });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ReportView::syncToModel);
    syncFromModel(m_model->selectedRow());
}

void ReportView::modelSettled()
{
    m_modelMoving = false;
    if (m_model)
        syncFromModel(m_model->selectedRow());
}

void ReportView::updateSelectionMode()
{
    const auto mode = m_model && m_model->multiSelect() ? QAbstractItemView::ExtendedSelection
                                                        : QAbstractItemView::SingleSelection;
    if (selectionMode() != mode)
        setSelectionMode(mode);
}

void ReportView::syncFromModel(int row)
{
    if (!m_model || m_syncing)
        return;
    QScopedValueRollback<bool> guard(m_syncing, true);
    updateSelectionMode();

    // Rebuilt from the flags as a whole: the model may have dropped several
    // rows from the selection while reporting only one.
    QItemSelection selection;
    const int first = m_model->selectedRow();
    if (first > 0 && m_model->multiSelect()) {
        int start = 0;
        for (int r = first, n = m_model->count(); r <= n + 1; ++r) {
            const bool on = m_model->isSelected(r);  // false past the end
            if (on && start == 0)
                start = r;
            if (!on && start != 0) {
                selection.select(m_model->index(start - 1, 0), m_model->index(r - 2, 0));
                start = 0;
            }
        }
    } else if (first > 0) {
        selection.select(m_model->index(first - 1, 0), m_model->index(first - 1, 0));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    const int current = m_model->isSelected(row) ? row : first;
    if (current > 0)
        selectionModel()->setCurrentIndex(m_model->index(current - 1, 0), QItemSelectionModel::NoUpdate);
}

void ReportView::syncToModel(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (!m_model || m_syncing || m_modelMoving)
        return;
    {
        QScopedValueRollback<bool> guard(m_syncing, true);
        if (m_model->multiSelect()) {
            for (const QItemSelectionRange &range : deselected)
                for (int r = range.top(); r <= range.bottom(); ++r)
                    m_model->setSelected(r + 1, false);
            for (const QItemSelectionRange &range : selected)
                for (int r = range.top(); r <= range.bottom(); ++r)
                    m_model->setSelected(r + 1, true);
        } else {
            const QModelIndexList rows = selectionModel()->selectedRows();
            m_model->setSelectedRow(rows.isEmpty() ? 0 : rows.first().row() + 1);
        }
    }
    // The model has the last word, e.g. when it went single-select meanwhile.
    if (!m_model->multiSelect() && selectionModel()->selectedRows().size() > 1)
        syncFromModel(m_model->selectedRow());
}

void ReportView::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event->button(), event->globalPosition().toPoint());
    updateSelectionMode();
    FixedRowView::mousePressEvent(event);
}

} // namespace platform
