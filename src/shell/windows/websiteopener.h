#pragma once
// The web-site opener: a window never drawn on screen that opens the
// product's web site in the desktop's browser and unloads itself 10 seconds
// after its load. While it is loaded the program outlives its main window.

#include <QWidget>

class QTimer;

namespace tarnwick {

class AppContext;
class WindowRegistry;

// "http://" in front of an address that holds neither "http://" nor
// "https://" (anywhere, ignoring case).
QString websiteAddress(const QString &address);

class frmWebsite : public QWidget {
    Q_OBJECT
public:
    frmWebsite(AppContext &ctx, WindowRegistry &windows, QWidget *parent = nullptr);

    // Opens the page named by the page key, then clears the key.
    void Form_Load();
    // 10 s after the load: the window unloads itself and, when the main
    // window has already shut down, the program ends.
    void Timer1_Timer();

    QTimer *Timer1 = nullptr;

private:
    AppContext &m_ctx;
    WindowRegistry &m_windows;
};

} // namespace tarnwick
