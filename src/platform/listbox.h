#pragma once
// Plain list of strings with a current index, counted from 0. Setting the
// index from code is a selection, not a click: only click(), which a view
// calls for the user's click, raises clicked().

#include <QAbstractListModel>
#include <QStringList>

namespace platform {

class ListBox : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ListBox(QObject *parent = nullptr);

    int count() const { return m_items.size(); }
    QString item(int index) const;           // "" out of range
    void setItem(int index, const QString &text);
    void addItem(const QString &text);
    void addItems(const QStringList &texts);  // in one insertion
    void removeItem(int index);              // out of range: nothing
    QString takeFirst();                     // "" when empty
    void clear();
    const QStringList &items() const { return m_items; }

    int listIndex() const { return m_index; } // -1 = none
    // Sets the index (-1 clears it); out of range: nothing.
    void setListIndex(int index);
    // The user clicked item index: it becomes the current one and clicked()
    // is raised, also when it was current already. Out of range: nothing.
    void click(int index);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

signals:
    void clicked(int index);
    void listIndexChanged(int index);

private:
    QStringList m_items;
    int m_index = -1;
};

} // namespace platform
