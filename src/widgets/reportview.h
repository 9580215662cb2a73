#pragma once
// The on-screen face of a ListView: a flat report-style view that keeps the
// model's selection and the view's selection in step and reports clicks the
// way the window code expects them (rows and columns from 1). Its rows are
// all of one height, so a long list costs no more to add to than a short one.

#include "widgets/fixedrowview.h"

namespace platform {

class ListView;

class ReportView : public FixedRowView {
    Q_OBJECT
public:
    explicit ReportView(QWidget *parent = nullptr);

    void setListView(ListView *model);
    ListView *listView() const { return m_model; }

signals:
    void itemClicked(int row);                    // a row was clicked (from 1)
    void itemDoubleClicked(int row);
    void columnClicked(int column);               // header clicked (from 1)
    void mousePressed(Qt::MouseButton button, QPoint globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void syncFromModel(int row);
    void syncToModel(const QItemSelection &selected, const QItemSelection &deselected);
    void updateSelectionMode();
    void modelSettled();
    ListView *m_model = nullptr;
    bool m_syncing = false;
    bool m_modelMoving = false;  // rows going or being rearranged
};

} // namespace platform
