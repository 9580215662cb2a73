#include "shell/mainwindow/webbrowser.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVector>
#include <memory>

#include "platform/safefile.h"
#include "platform/services.h"

#ifdef TARNWICK_HAVE_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif

namespace tarnwick {

namespace {

bool isWebAddress(const QString &address)
{
    const QString scheme = QUrl(address.trimmed()).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// A local file named by a path or a file: URL; empty when it is not one.
QString localFileOf(const QString &address)
{
    const QString a = address.trimmed();
    if (a.isEmpty())
        return QString();
    const QUrl url(a);
    if (url.isLocalFile())
        return url.toLocalFile();
    if (QFileInfo(a).isAbsolute() && QFileInfo::exists(a))
        return a;
    return QString();
}

class PlainWebBrowser : public WebBrowser {
public:
    PlainWebBrowser(QWidget *parent, QObject *owner, platform::Shell &shell)
        : WebBrowser(owner)
        , m_view(new QTextBrowser(parent))
        , m_shell(shell)
    {
        m_view->setObjectName(QStringLiteral("WebBrowser1"));
        m_view->setOpenLinks(false);
        m_view->setOpenExternalLinks(false);
        connect(m_view, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
            const QString target = url.toString();
            if (isWebAddress(target))
                m_shell.open(target);
            else
                navigate(target);
        });
    }

    QWidget *widget() const override { return m_view; }

    void navigate(const QString &address) override
    {
        // A new page drops the pages ahead of the current one.
        if (m_at + 1 < m_history.size())
            m_history.resize(m_at + 1);
        m_history.append(address);
        m_at = m_history.size() - 1;
        show();
    }

    void goBack() override
    {
        if (m_at > 0) {
            --m_at;
            show();
        }
    }

    void goForward() override
    {
        if (m_at + 1 < m_history.size()) {
            ++m_at;
            show();
        }
    }

    void refresh() override
    {
        if (m_at >= 0)
            show();
    }

    void stop() override {}

    QString locationURL() const override { return m_at >= 0 ? m_history.at(m_at) : QString(); }
    void setSilent(bool on) override { m_silent = on; }
    bool silent() const override { return m_silent; }

private:
    void show()
    {
        if (m_view) {
            const QString address = locationURL();
            const QString file = localFileOf(address);
            QByteArray bytes;
            if (!file.isEmpty() && platform::readWholeFile(file, bytes)) {
                m_view->setHtml(platform::decodeText(bytes));
            } else if (address.trimmed().isEmpty() || address == QLatin1String("about:blank")) {
                m_view->clear();
            } else {
                QString link = address.trimmed();
                if (!isWebAddress(link))
                    link = QStringLiteral("http://") + link;
                m_view->setHtml(QStringLiteral("<p>This page opens in your web browser:</p><p><a href=\"%1\">%2</a></p>")
                                    .arg(link.toHtmlEscaped(), address.toHtmlEscaped()));
            }
        }
        emit downloadComplete();
    }

    QPointer<QTextBrowser> m_view;
    platform::Shell &m_shell;
    QVector<QString> m_history;
    qsizetype m_at = -1;
    bool m_silent = false;
};

#ifdef TARNWICK_HAVE_WEBENGINE
// A page that keeps its dialogs to itself while the browser is silent.
class QuietPage : public QWebEnginePage {
public:
    QuietPage(std::shared_ptr<bool> silent, QObject *parent)
        : QWebEnginePage(parent)
        , m_silent(std::move(silent))
    {
    }

protected:
    void javaScriptAlert(const QUrl &origin, const QString &msg) override
    {
        if (!*m_silent)
            QWebEnginePage::javaScriptAlert(origin, msg);
    }
    bool javaScriptConfirm(const QUrl &origin, const QString &msg) override
    {
        return *m_silent ? false : QWebEnginePage::javaScriptConfirm(origin, msg);
    }
    bool javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &defaultValue,
                          QString *result) override
    {
        return *m_silent ? false : QWebEnginePage::javaScriptPrompt(origin, msg, defaultValue, result);
    }

private:
    std::shared_ptr<bool> m_silent;  // shared with the browser, which may go first
};

class EngineWebBrowser : public WebBrowser {
public:
    EngineWebBrowser(QWidget *parent, QObject *owner)
        : WebBrowser(owner)
        , m_view(new QWebEngineView(parent))
    {
        m_view->setObjectName(QStringLiteral("WebBrowser1"));
        m_view->setPage(new QuietPage(m_silent, m_view));
        connect(m_view, &QWebEngineView::loadFinished, this, [this] { emit downloadComplete(); });
    }

    QWidget *widget() const override { return m_view; }

    void navigate(const QString &address) override
    {
        if (!m_view)
            return;
        const QString a = address.trimmed();
        m_view->load(a.isEmpty() ? QUrl(QStringLiteral("about:blank")) : QUrl::fromUserInput(a));
    }

    void goBack() override
    {
        if (m_view)
            m_view->back();
    }
    void goForward() override
    {
        if (m_view)
            m_view->forward();
    }
    void refresh() override
    {
        if (m_view)
            m_view->reload();
    }
    void stop() override
    {
        if (m_view)
            m_view->stop();
    }
    QString locationURL() const override { return m_view ? m_view->url().toString() : QString(); }
    void setSilent(bool on) override { *m_silent = on; }
    bool silent() const override { return *m_silent; }

private:
    QPointer<QWebEngineView> m_view;
    std::shared_ptr<bool> m_silent = std::make_shared<bool>(false);
};
#endif

} // namespace

WebBrowser *createPlainWebBrowser(QWidget *parent, QObject *owner, platform::Shell &shell)
{
    return new PlainWebBrowser(parent, owner, shell);
}

bool haveWebEngine()
{
#ifdef TARNWICK_HAVE_WEBENGINE
    return true;
#else
    return false;
#endif
}

WebBrowserFactory webEngineBrowserFactory()
{
#ifdef TARNWICK_HAVE_WEBENGINE
    return [](QWidget *parent, QObject *owner) -> WebBrowser * { return new EngineWebBrowser(parent, owner); };
#else
    return {};
#endif
}

} // namespace tarnwick
