#include "platform/listbox.h"

namespace platform {

ListBox::ListBox(QObject *parent)
    : QAbstractListModel(parent)
{
}

QString ListBox::item(int index) const
{
    return m_items.value(index);
}

void ListBox::setItem(int index, const QString &text)
{
    if (index < 0 || index >= m_items.size())
        return;
    m_items[index] = text;
    const QModelIndex changed = this->index(index);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void ListBox::addItem(const QString &text)
{
    const int row = int(m_items.size());
    beginInsertRows({}, row, row);
    m_items.append(text);
    endInsertRows();
}

void ListBox::addItems(const QStringList &texts)
{
    if (texts.isEmpty())
        return;
    const int row = int(m_items.size());
    beginInsertRows({}, row, row + int(texts.size()) - 1);
    m_items.append(texts);
    endInsertRows();
}

void ListBox::removeItem(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    beginRemoveRows({}, index, index);
    m_items.removeAt(index);
    endRemoveRows();

    // The index follows the item it pointed at; it goes when that item goes.
    if (m_index == index) {
        m_index = -1;
        emit listIndexChanged(m_index);
    } else if (index < m_index) {
        --m_index;
        emit listIndexChanged(m_index);
    }
}

QString ListBox::takeFirst()
{
    if (m_items.isEmpty())
        return {};
    const QString first = m_items.first();
    removeItem(0);
    return first;
}

void ListBox::clear()
{
    beginResetModel();
    m_items.clear();
    endResetModel();
    if (m_index != -1) {
        m_index = -1;
        emit listIndexChanged(m_index);
    }
}

void ListBox::setListIndex(int index)
{
    if (index == -1) {
        if (m_index != -1) {
            m_index = -1;
            emit listIndexChanged(m_index);
        }
        return;
    }
    if (index < 0 || index >= m_items.size())
        return;
    if (m_index != index) {
        m_index = index;
        emit listIndexChanged(m_index);
    }
}

void ListBox::click(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    setListIndex(index);
    emit clicked(index);
}

int ListBox::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant ListBox::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_items.at(index.row());
    return {};
}

} // namespace platform
