#include "shell/mainwindow/statistics.h"

#include <QLabel>

#include "widgets/fixedrowview.h"

#include "shell/mainwindow/layout.h"
#include "shell/windows/controls.h"
#include "workspace/context.h"
#include "workspace/project.h"

namespace tarnwick {

StatisticsPanel::StatisticsPanel(AppContext &ctx, Project &project, QWidget *frame, QObject *owner)
    : QObject(owner)
    , m_ctx(ctx)
{
    // The queue can hold many thousands of pages and changes at every page:
    // a view whose rows are never laid out one by one.
    List2View = new platform::FixedRowView(frame);
    List2View->setObjectName(QStringLiteral("List2"));
    List2View->setHeaderHidden(true);
    List2View->setModel(project.List2);
    List2View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List2View->setSelectionMode(QAbstractItemView::NoSelection);

    auto heading = [frame](const QString &text, const QString &name, double left, double top, double width) {
        QLabel *l = makeLabel(text, name, frame);
        l->setGeometry(layout::toPixels(layout::Rect{left, top, width, 270}));
        return l;
    };
    heading(QStringLiteral("Scan Statistics"), QStringLiteral("lblScanStatistics"), 240, 300, 3000);
    heading(QStringLiteral("Historically"), QStringLiteral("lblHistorically"), 3960, 300, 3000);
    heading(QStringLiteral("Webpages Queued:"), QStringLiteral("lblQueued"), 8100, 330, 2200)->setBuddy(List2View);

    // The rows of each block sit in a panel of their own, so they keep the
    // plain look while the headings are skinned.
    struct Row {
        QString caption;
        int label;
    };
    auto block = [this, frame](const QString &name, double left, double captionWidth, const QList<Row> &rows) {
        auto *panel = new QWidget(frame);
        panel->setObjectName(name);
        const double valueWidth = 1200;
        panel->setGeometry(layout::toPixels(layout::Rect{left, 570, captionWidth + valueWidth, 270.0 * rows.size()}));
        for (int r = 0; r < rows.size(); ++r) {
            QLabel *caption = makeLabel(rows[r].caption, QString(), panel);
            caption->setGeometry(layout::toPixels(layout::Rect{0, 270.0 * r, captionWidth, 255}));
            QLabel *value = makeLabel(QStringLiteral("0"), QStringLiteral("lblStats%1").arg(rows[r].label), panel);
            value->setGeometry(layout::toPixels(layout::Rect{captionWidth, 270.0 * r, valueWidth, 255}));
            lblStats[rows[r].label] = value;
        }
    };
    block(QStringLiteral("scanStatistics"), 240, 2280,
          {{QStringLiteral("Main Sites Scanned:"), 6},
           {QStringLiteral("Linking Sites Scanned:"), 5},
           {QStringLiteral("Pages Scanned:"), 0},
           {QStringLiteral("Pages Found:"), 1},
           {QStringLiteral("Links Found:"), 2}});
    block(QStringLiteral("historically"), 3960, 1680,
          {{QStringLiteral("Pages Scanned:"), 3}, {QStringLiteral("Links Found:"), 4}});

    // The caption of the choice for the end of the list, plain like the rows.
    auto *lastSearch = new QWidget(frame);
    lastSearch->setObjectName(QStringLiteral("lastSearch"));
    lastSearch->setGeometry(layout::toPixels(layout::Rect{3960, 1170, 4000, 255}));
    makeLabel(QStringLiteral("When finished scanning the last website:"), QStringLiteral("lblLastSearch"), lastSearch)
        ->setGeometry(layout::toPixels(layout::Rect{0, 0, 4000, 255}));
}

void StatisticsPanel::StatsD()
{
    const qint64 values[7] = {m_ctx.lPagesScanned,   m_ctx.lPagesFound,          m_ctx.lLinksFound,
                              m_ctx.lHistWebScanned, m_ctx.lHistEmailFound,      m_ctx.lLinkingSitesScanned,
                              m_ctx.lMainSitesScanned};
    for (int i = 0; i < 7; ++i) {
        const QString text = QString::number(values[i]);
        if (lblStats[i] && lblStats[i]->text() != text)
            lblStats[i]->setText(text);
    }
}

} // namespace tarnwick
