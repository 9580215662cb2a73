#pragma once
// The "Scan Progress and Statistics" frame: the page queue on screen and the
// counters of this run and of all runs.

#include <QObject>

class QLabel;
class QWidget;

namespace platform {
class FixedRowView;
}

namespace tarnwick {

class AppContext;
class Project;

class StatisticsPanel : public QObject {
    Q_OBJECT
public:
    StatisticsPanel(AppContext &ctx, Project &project, QWidget *frame, QObject *owner);

    QLabel *lblStats[7] = {};
    platform::FixedRowView *List2View = nullptr;  // the page queue

    // Redraws the counters.
    void StatsD();

private:
    AppContext &m_ctx;
};

} // namespace tarnwick
