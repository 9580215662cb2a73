#pragma once
// What a running scan shows in the main window's status bar, progress bar
// and statistics: set many times a page, drawn from one timer at the paint
// rate. Outside a scan every change is shown at once, and a change made
// directly to a panel replaces what was waiting for it.

#include <QBasicTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QProgressBar;
class QWidget;

namespace tarnwick {

class AppContext;

// While a scan runs the window is drawn at most this often: a scan changes
// what it shows several times a page, and a fast site would otherwise cost
// its drawing rather than its pages.
constexpr int kScanPaintIntervalMs = 40;

class ScanStatus : public QObject {
public:
    // panels: the four status-bar panels; statsD redraws the counters.
    ScanStatus(const AppContext &ctx, QLabel *const *panels, QProgressBar *progress, QWidget *statusBar,
               std::function<void()> statsD, QObject *parent);

    void setPanelText(int panel, const QString &text);  // panels from 1
    void setProgress(int percent);
    void bringStatusBarForward();
    void statsChanged();

    // The text waiting for a panel, if any.
    std::optional<QString> waitingText(int panel) const;
    // A panel was set directly.
    void forget(int panel);
    // Shows whatever waits now.
    void flush();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    bool deferred() const;
    void schedule();

    const AppContext &m_ctx;
    QLabel *m_panels[4] = {};
    QProgressBar *m_progress = nullptr;
    QWidget *m_statusBar = nullptr;
    std::function<void()> m_statsD;
    std::optional<QString> m_waitingText[4];
    std::optional<int> m_waitingProgress;
    bool m_waitingStats = false;
    bool m_waitingRaise = false;
    QBasicTimer m_timer;
};

} // namespace tarnwick
