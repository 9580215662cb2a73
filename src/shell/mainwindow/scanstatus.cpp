#include "shell/mainwindow/scanstatus.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimerEvent>

#include "workspace/context.h"

namespace tarnwick {

ScanStatus::ScanStatus(const AppContext &ctx, QLabel *const *panels, QProgressBar *progress, QWidget *statusBar,
                       std::function<void()> statsD, QObject *parent)
    : QObject(parent)
    , m_ctx(ctx)
    , m_progress(progress)
    , m_statusBar(statusBar)
    , m_statsD(std::move(statsD))
{
    for (int i = 0; i < 4; ++i)
        m_panels[i] = panels[i];
}

bool ScanStatus::deferred() const
{
    return m_ctx.bScanning;
}

void ScanStatus::schedule()
{
    if (!m_timer.isActive())
        m_timer.start(kScanPaintIntervalMs, this);
}

void ScanStatus::setPanelText(int panel, const QString &text)
{
    if (panel < 1 || panel > 4)
        return;
    if (!deferred()) {
        m_waitingText[panel - 1].reset();
        if (m_panels[panel - 1]->text() != text)
            m_panels[panel - 1]->setText(text);
        return;
    }
    m_waitingText[panel - 1] = text;
    schedule();
}

void ScanStatus::setProgress(int percent)
{
    if (!deferred()) {
        m_waitingProgress.reset();
        m_progress->setValue(percent);
        return;
    }
    m_waitingProgress = percent;
    schedule();
}

void ScanStatus::bringStatusBarForward()
{
    if (!deferred()) {
        m_statusBar->raise();
        m_statusBar->show();
        return;
    }
    m_waitingRaise = true;
    schedule();
}

void ScanStatus::statsChanged()
{
    if (!deferred()) {
        m_waitingStats = false;
        m_statsD();
        return;
    }
    m_waitingStats = true;
    schedule();
}

std::optional<QString> ScanStatus::waitingText(int panel) const
{
    return panel >= 1 && panel <= 4 ? m_waitingText[panel - 1] : std::nullopt;
}

void ScanStatus::forget(int panel)
{
    if (panel >= 1 && panel <= 4)
        m_waitingText[panel - 1].reset();
}

void ScanStatus::flush()
{
    m_timer.stop();
    if (m_waitingRaise) {
        m_waitingRaise = false;
        m_statusBar->raise();
        m_statusBar->show();
    }
    for (int i = 0; i < 4; ++i) {
        if (!m_waitingText[i])
            continue;
        const QString text = *m_waitingText[i];
        m_waitingText[i].reset();
        if (m_panels[i]->text() != text)
            m_panels[i]->setText(text);
    }
    if (m_waitingProgress) {
        m_progress->setValue(*m_waitingProgress);
        m_waitingProgress.reset();
    }
    if (m_waitingStats) {
        m_waitingStats = false;
        m_statsD();
    }
}

void ScanStatus::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_timer.timerId())
        flush();
    else
        QObject::timerEvent(event);
}

} // namespace tarnwick
