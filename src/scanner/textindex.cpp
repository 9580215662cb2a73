#include "scanner/textindex.h"

namespace tarnwick {

ModelTextIndex::ModelTextIndex(QAbstractItemModel *model, KeyOfRow key, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_key(std::move(key))
{
    if (!model)
        return;
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &parentIndex, int first, int last) {
                if (!parentIndex.isValid())
                    onInserted(first, last);
            });
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &parentIndex, int first, int last) {
                if (!parentIndex.isValid())
                    onAboutToRemove(first, last);
            });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                onChanged(topLeft.row(), bottomRight.row());
            });
    // Anything that reorders or replaces rows wholesale: start again on the
    // next question.
    auto stale = [this] { m_dirty = true; };
    connect(model, &QAbstractItemModel::modelReset, this, stale);
    connect(model, &QAbstractItemModel::layoutChanged, this, stale);
    connect(model, &QAbstractItemModel::rowsMoved, this, stale);
}

bool ModelTextIndex::contains(const QString &key) const
{
    if (!m_model)
        return false;
    if (m_dirty)
        rebuild();
    return m_counts.contains(key);
}

void ModelTextIndex::rebuild() const
{
    m_rowKeys.clear();
    m_counts.clear();
    const int rows = m_model ? m_model->rowCount() : 0;
    for (int r = 0; r < rows; ++r) {
        m_rowKeys.push_back(m_key(r));
        addKey(m_rowKeys.back());
    }
    m_dirty = false;
}

void ModelTextIndex::addKey(const QString &key) const
{
    ++m_counts[key];
}

void ModelTextIndex::removeKey(const QString &key) const
{
    const auto it = m_counts.find(key);
    if (it == m_counts.end())
        return;
    if (--it.value() <= 0)
        m_counts.erase(it);
}

void ModelTextIndex::onInserted(int first, int last)
{
    if (m_dirty)
        return;
    if (first < 0 || first > int(m_rowKeys.size()) || last < first) {
        m_dirty = true;
        return;
    }
    std::deque<QString> added;
    for (int r = first; r <= last; ++r) {
        added.push_back(m_key(r));
        addKey(added.back());
    }
    m_rowKeys.insert(m_rowKeys.begin() + first, added.begin(), added.end());
}

void ModelTextIndex::onAboutToRemove(int first, int last)
{
    if (m_dirty)
        return;
    if (first < 0 || last >= int(m_rowKeys.size()) || last < first) {
        m_dirty = true;
        return;
    }
    for (int r = first; r <= last; ++r)
        removeKey(m_rowKeys[size_t(r)]);
    m_rowKeys.erase(m_rowKeys.begin() + first, m_rowKeys.begin() + last + 1);
}

void ModelTextIndex::onChanged(int first, int last)
{
    if (m_dirty)
        return;
    if (first < 0 || last >= int(m_rowKeys.size())) {
        m_dirty = true;
        return;
    }
    for (int r = first; r <= last; ++r) {
        QString key = m_key(r);
        QString &stored = m_rowKeys[size_t(r)];
        if (key != stored) {
            removeKey(stored);
            addKey(key);
            stored = std::move(key);
        }
    }
}

} // namespace tarnwick
