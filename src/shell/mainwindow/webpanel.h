#pragma once
// The "Web" tab: the built-in browser with its address box and buttons.

#include <QObject>

class QLineEdit;
class QPushButton;
class QWidget;

namespace tarnwick {

class AppContext;
class WebBrowser;
class WindowRegistry;

class WebPanel : public QObject {
    Q_OBJECT
public:
    // The controls are made in page; the browser object belongs to owner.
    WebPanel(AppContext &ctx, const WindowRegistry &windows, QWidget *page, QObject *owner);

    WebBrowser *WebBrowser1 = nullptr;
    QLineEdit *txtURL = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdForward = nullptr;
    QPushButton *cmdWebStop = nullptr;
    QPushButton *cmdRefresh = nullptr;
    QPushButton *cmdGo = nullptr;

    void cmdBack_Click();
    void cmdForward_Click();
    void cmdRefresh_Click();
    void cmdWebStop_Click();
    void cmdGo_Click();
    void txtURL_KeyPress(int keyAscii);
    void WebBrowser1_DownloadComplete();
};

} // namespace tarnwick
