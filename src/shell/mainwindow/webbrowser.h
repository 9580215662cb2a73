#pragma once
// The Web tab's browser behind a small interface, so the window does not
// care what draws the pages. The full browser (Qt WebEngine) is made only
// by the program itself; everywhere else, tests included, a plain HTML view
// stands in that shows local files and never goes to the network.

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace platform {
class Shell;
}

namespace tarnwick {

class WebBrowser : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~WebBrowser() override = default;

    virtual QWidget *widget() const = 0;
    // Opens an address as given; the browser decides what it means.
    virtual void navigate(const QString &address) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void refresh() = 0;
    virtual void stop() = 0;
    // The address of the page shown, as the browser reports it.
    virtual QString locationURL() const = 0;
    // Silent: pages raise no dialogs of their own (script alerts and the like).
    virtual void setSilent(bool on) = 0;
    virtual bool silent() const = 0;

signals:
    // A page finished loading, failed, or was stopped.
    void downloadComplete();
};

// Makes the browser of the Web tab: its widget is a child of parent, the
// browser object a child of owner.
using WebBrowserFactory = std::function<WebBrowser *(QWidget *parent, QObject *owner)>;

// The plain HTML view. Web addresses are offered as a link that opens in the
// desktop's browser through shell.
WebBrowser *createPlainWebBrowser(QWidget *parent, QObject *owner, platform::Shell &shell);

// The full browser, where the program was built with Qt WebEngine; else the
// answer is false and the factory is empty.
bool haveWebEngine();
WebBrowserFactory webEngineBrowserFactory();

} // namespace tarnwick
