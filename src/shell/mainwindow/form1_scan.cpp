// The main window's scan controls: the buttons and menus that steer the
// scanner, and what the window shows of a running scan.

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <chrono>

#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/mainwindow/scanstatus.h"
#include "shell/mainwindow/statistics.h"
#include "shell/windows/controls.h"
#include "workspace/context.h"
#include "workspace/project.h"

namespace tarnwick {

// What the scanner shows, shown in the window.
class MainWindowScanDisplay : public ScanDisplay {
public:
    explicit MainWindowScanDisplay(Form1 &form) : m_form(form) {}

    void setControlEnabled(Control control, bool on) override
    {
        switch (control) {
        case Control::StartScan:
            m_form.Command1->setEnabled(on);
            break;
        case Control::Stop:
            m_form.cmdStop->setEnabled(on);
            break;
        case Control::Skip:
            m_form.cmdSkip->setEnabled(on);
            break;
        case Control::Resume:
            m_form.cmdResume->setEnabled(on);
            break;
        case Control::ScanType:
            m_form.Command10->setEnabled(on);
            break;
        case Control::SkipType:
            m_form.Command11->setEnabled(on);
            break;
        case Control::NextSearch:
            m_form.cmdNextSearch->setEnabled(on);
            break;
        case Control::Project:
            m_form.setScanControlsEnabled(!on);
            break;
        }
    }
    // The status bar, the progress bar and the counters are drawn from one
    // timer while the scan runs (ScanStatus), at once otherwise.
    void setPanelText(int panel, const QString &text) override { m_form.m_scanStatus->setPanelText(panel, text); }
    void showStatusBar() override { m_form.m_scanStatus->bringStatusBarForward(); }
    void repaintStatusBar() override
    {
        if (!m_form.m_ctx.bScanning)
            m_form.repaintStatusBar();
    }
    void setProgress(int percent) override { m_form.m_scanStatus->setProgress(percent); }
    void linkingSiteSelected(int, int) override { m_form.showLinkingSiteSelected(); }
    void focusSiteEntry(bool mainSite) override { (mainSite ? m_form.txtDomain : m_form.Text1)->setFocus(); }
    void buildReport() override { m_form.report->makeReport(); }

private:
    Form1 &m_form;
};

namespace {

// While a scan runs, the window is drawn at most every kScanPaintIntervalMs;
// a drawing held back is made when the interval is over.
class ScanPaintThrottle : public QObject {
public:
    ScanPaintThrottle(QWidget *window, const AppContext &ctx)
        : QObject(window)
        , m_window(window)
        , m_ctx(ctx)
    {
        m_deferred.setSingleShot(true);
        connect(&m_deferred, &QTimer::timeout, this, [this] {
            // The request that was held back, made now.
            QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
        });
        m_lastPaint.start();
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || event->type() != QEvent::UpdateRequest)
            return false;
        const qint64 since = m_lastPaint.elapsed();
        if (!m_ctx.bScanning || since >= kScanPaintIntervalMs) {
            m_deferred.stop();
            m_lastPaint.restart();
            return false;
        }
        if (!m_deferred.isActive())
            m_deferred.start(int(kScanPaintIntervalMs - since));
        return true;
    }

private:
    QWidget *m_window;
    const AppContext &m_ctx;
    QElapsedTimer m_lastPaint;
    QTimer m_deferred;
};

} // namespace

void Form1::buildScanControls()
{
    mnuScan = new QMenu(QStringLiteral("Scan Type"), this);
    for (const QString &caption : {QStringLiteral("Scan all main sites"), QStringLiteral("Just scan the selected main site"),
                                   QStringLiteral("Just scan the selected linking site")}) {
        QAction *a = mnuScan->addAction(caption);
        a->setCheckable(true);
        const int index = int(mnuScanItem.size());
        connect(a, &QAction::triggered, this, [this, index] { mnuScanItem_Click(index); });
        mnuScanItem << a;
    }
    mnuSkipPopup = new QMenu(QStringLiteral("Skip"), this);
    for (const QString &caption : {QStringLiteral("The current linking site"), QStringLiteral("The current main site")}) {
        QAction *a = mnuSkipPopup->addAction(caption);
        a->setCheckable(true);
        const int index = int(mnuSkipItem.size());
        connect(a, &QAction::triggered, this, [this, index] { mnuSkipItem_Click(index); });
        mnuSkipItem << a;
    }
    mnuScanItem[0]->setChecked(true);
    mnuSkipItem[0]->setChecked(true);

    // The scan buttons; the window's layout places them.
    Command1 = makeButton(QStringLiteral("Start Scan"), QStringLiteral("Begin searching for links"),
                          QStringLiteral("Command1"), m_central);
    cmdStop = makeButton(QStringLiteral("Stop"), QStringLiteral("Stop scanning for links"), QStringLiteral("cmdStop"),
                         m_central);
    cmdSkip = makeButton(QStringLiteral("Skip"), QStringLiteral("Skip the current Linking Site"),
                         QStringLiteral("cmdSkip"), m_central);
    cmdResume = makeButton(QStringLiteral("Resume"), QString(), QStringLiteral("cmdResume"), m_central);
    cmdDoSearch = makeButton(QStringLiteral("Start Search"), QString(), QStringLiteral("cmdDoSearch"), m_central);
    Command10 = makeButton(QStringLiteral("Scan Type"), QStringLiteral("Change the scan type"),
                           QStringLiteral("Command10"), m_central);
    Command11 = makeButton(QStringLiteral("Skip Type"), QString(), QStringLiteral("Command11"), m_central);
    // Only other windows start a search through it.
    cmdDoSearch->hide();
    cmdStop->setEnabled(false);
    cmdSkip->setEnabled(false);
    cmdResume->setEnabled(false);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    connect(cmdSkip, &QPushButton::clicked, this, [this] { cmdSkip_Click(); });
    connect(cmdResume, &QPushButton::clicked, this, [this] { cmdResume_Click(); });
    connect(cmdDoSearch, &QPushButton::clicked, this, [this] { cmdDoSearch_Click(); });
    connect(Command10, &QPushButton::clicked, this, [this] { Command10_Click(); });
    connect(Command11, &QPushButton::clicked, this, [this] { Command11_Click(); });
    connect(cmdNextSearch, &QPushButton::clicked, this, [this] { cmdNextSearch_Click(); });

    // Laid over the status bar's fourth panel by the window's layout.
    pb1 = new QProgressBar(StatusBar1);
    pb1->setObjectName(QStringLiteral("pb1"));
    pb1->setRange(0, 100);
    pb1->setValue(0);
    pb1->setTextVisible(false);

    m_scanStatus = new ScanStatus(m_ctx, m_panels, pb1, StatusBar1, [this] { statistics->StatsD(); }, this);
    m_scanDisplay = std::make_unique<MainWindowScanDisplay>(*this);
    m_scanner->setDisplay(m_scanDisplay.get());
    new ScanPaintThrottle(this, m_ctx);
}

void Form1::mnuScanItem_Click(int index)
{
    if (index < 0 || index >= mnuScanItem.size())
        return;
    for (int i = 0; i < mnuScanItem.size(); ++i)
        mnuScanItem[i]->setChecked(i == index);
    m_scanner->setScanType(index);
}

void Form1::mnuSkipItem_Click(int index)
{
    if (index < 0 || index >= mnuSkipItem.size())
        return;
    for (int i = 0; i < mnuSkipItem.size(); ++i)
        mnuSkipItem[i]->setChecked(i == index);
    m_scanner->setSkipType(index);
}

void Form1::Command10_Click()
{
    mnuScan->popup(QCursor::pos());
}

void Form1::Command11_Click()
{
    mnuSkipPopup->popup(QCursor::pos());
}

void Form1::Command1_Click()
{
    m_scanner->Command1_Click();
}

void Form1::cmdStop_Click()
{
    m_scanner->cmdStop_Click();
}

void Form1::cmdSkip_Click()
{
    m_scanner->cmdSkip_Click();
}

void Form1::cmdResume_Click()
{
    m_scanner->cmdResume_Click();
}

void Form1::cmdDoSearch_Click()
{
    m_scanner->cmdDoSearch_Click();
}

void Form1::cmdNextSearch_Click()
{
    m_scanner->cmdNextSearch_Click();
}

void Form1::setScanControlsEnabled(bool scanning)
{
    // Controls that change or replace the project rest while a scan runs.
    // Looked up once per scan: a search of the whole window at every linking
    // site would cost more than the site.
    if (scanning && m_restingControls.isEmpty())
        m_restingControls = {cmdOpen, cmdSave, cmdViewDatabase, Command2, Command3, cmdNew, Frame1};
    for (const QPointer<QWidget> &w : std::as_const(m_restingControls)) {
        if (w)
            w->setEnabled(!scanning);
    }
    if (!scanning)
        m_restingControls.clear();
}

void Form1::repaintStatusBar()
{
    // Drawn at once at most every 50 ms; in between, the next paint of the
    // event loop shows the change. Drawing the bar at every step of every
    // page would cost more than the pages themselves.
    const qint64 now = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now().time_since_epoch())
                           .count();
    if (now - m_statusPaintedAt >= 50) {
        m_statusPaintedAt = now;
        StatusBar1->repaint();
    } else {
        StatusBar1->update();
    }
}

} // namespace tarnwick
