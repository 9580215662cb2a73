#pragma once
// A tab strip in the manner of the main window: a row of tabs over a pane.
// The pages are not children of the strip; the controls of every tab lie
// over the pane in the strip's container and the owner shows or hides them
// when a tab is clicked.

#include <QString>
#include <QWidget>

class QFrame;
class QIcon;
class QTabBar;

namespace tarnwick {

class TabStrip : public QWidget {
    Q_OBJECT
public:
    explicit TabStrip(QWidget *parent = nullptr);

    // Tabs are numbered from 1.
    int addTab(const QString &caption, const QString &toolTip, const QIcon &icon);
    int count() const;
    QString caption(int index) const;
    QString toolTip(int index) const;

    // The selected tab, from 1; 0 when there are no tabs.
    int selectedIndex() const;
    // Selects a tab and raises clicked(), also when it was selected already
    // (as a click on it would). An index outside 1..count() does nothing.
    void setSelectedIndex(int index);

    // Height of the row of tabs, in pixels.
    void setTabRowHeight(int pixels);
    int tabRowHeight() const { return m_rowHeight; }

    QTabBar *tabBar() const { return m_bar; }

signals:
    void clicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrange();

    QTabBar *m_bar = nullptr;
    QFrame *m_pane = nullptr;
    int m_rowHeight = 24;
    bool m_selecting = false;
};

} // namespace tarnwick
