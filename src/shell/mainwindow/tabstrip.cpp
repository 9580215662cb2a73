#include "shell/mainwindow/tabstrip.h"

#include <QFrame>
#include <QIcon>
#include <QSignalBlocker>
#include <QTabBar>

namespace tarnwick {

TabStrip::TabStrip(QWidget *parent)
    : QWidget(parent)
{
    m_pane = new QFrame(this);
    m_pane->setObjectName(QStringLiteral("tabPane"));
    m_bar = new QTabBar(this);
    m_bar->setObjectName(QStringLiteral("tabRow"));
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(true);
    m_bar->setDocumentMode(true);
    connect(m_bar, &QTabBar::currentChanged, this, [this] {
        if (!m_selecting)
            emit clicked();
    });
    // A click on the tab already selected changes nothing in the bar, but
    // the strip still reports it.
    connect(m_bar, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == m_bar->currentIndex())
            emit clicked();
    });
    arrange();
}

int TabStrip::addTab(const QString &caption, const QString &toolTip, const QIcon &icon)
{
    const QSignalBlocker block(m_bar);
    const int at = m_bar->addTab(icon, caption);
    m_bar->setTabToolTip(at, toolTip);
    return at + 1;
}

int TabStrip::count() const
{
    return m_bar->count();
}

QString TabStrip::caption(int index) const
{
    return m_bar->tabText(index - 1);
}

QString TabStrip::toolTip(int index) const
{
    return m_bar->tabToolTip(index - 1);
}

int TabStrip::selectedIndex() const
{
    return m_bar->count() > 0 ? m_bar->currentIndex() + 1 : 0;
}

void TabStrip::setSelectedIndex(int index)
{
    if (index < 1 || index > m_bar->count())
        return;
    m_selecting = true;
    m_bar->setCurrentIndex(index - 1);
    m_selecting = false;
    emit clicked();
}

void TabStrip::setTabRowHeight(int pixels)
{
    m_rowHeight = std::max(0, pixels);
    arrange();
}

void TabStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void TabStrip::arrange()
{
    const int w = width();
    const int h = height();
    m_bar->setGeometry(0, 0, w, std::min(h, m_rowHeight));
    // The pane's top border runs under the selected tab.
    const int paneTop = std::max(0, std::min(h, m_rowHeight - 1));
    m_pane->setGeometry(0, paneTop, w, h - paneTop);
    m_bar->raise();
}

} // namespace tarnwick
