#pragma once
// A hash index over the rows of a list model: each row gives one key, and
// the index answers "does any row have this key" in constant time. It follows
// the model's inserts, removals and edits as they happen, so a long queue
// costs no more to ask than a short one.

#include <QAbstractItemModel>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>

namespace tarnwick {

class ModelTextIndex : public QObject {
public:
    // key(row) reads the key of a model row (from 0).
    using KeyOfRow = std::function<QString(int row)>;

    ModelTextIndex(QAbstractItemModel *model, KeyOfRow key, QObject *parent = nullptr);

    bool contains(const QString &key) const;
    QAbstractItemModel *model() const { return m_model; }

private:
    void rebuild() const;
    void addKey(const QString &key) const;
    void removeKey(const QString &key) const;
    void onInserted(int first, int last);
    void onAboutToRemove(int first, int last);
    void onChanged(int first, int last);

    QPointer<QAbstractItemModel> m_model;
    KeyOfRow m_key;
    // Key of every row, in row order, and how many rows have each key.
    mutable std::deque<QString> m_rowKeys;
    mutable QHash<QString, int> m_counts;
    mutable bool m_dirty = true;
};

} // namespace tarnwick
