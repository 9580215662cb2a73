#pragma once
// A main window with a project of main sites and linking sites, the test
// HTTP server standing in for every host the project names, and bounded
// waits on the event loop.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QThread>

#include <functional>
#include <memory>

#include "support/testhttpserver.h"
#include "support/testprogram.h"
#include "workspace/project.h"
#include "support/eventloop.h"

namespace scantest {

class ScanHarness {
public:
    ScanHarness()
    {
        form = std::make_unique<tarnwick::Form1>(*p.ctx);
        ctx().settings().set(QStringLiteral("chkAudioNext"), QStringLiteral("0"));
    }

    tarnwick::AppContext &ctx() { return *p.ctx; }

    // Every connection to host goes to the test server.
    void serve(const QString &host) { ctx().fetchOptions.connectOverride.insert(host.toLower(), server.port()); }

    // Adds a main site and returns its number (from 1).
    int addMain(const QString &url)
    {
        form->txtDomain->setText(url);
        form->cmdAdd2_Click();
        return form->List4->count();
    }

    // Adds a linking site under main site n and returns its row.
    int addLinking(int n, const QString &url, const QString &expected = QStringLiteral("1"))
    {
        return form->List1(n)->add(url, {expected, QString(), QString(), QString()});
    }

    void setting(const QString &key, const QString &value) { ctx().settings().set(key, value); }

    // Spins the event loop until cond holds or ms have passed.
    bool waitUntil(const std::function<bool()> &cond, int ms = 10000) { return testsupport::waitUntil(cond, ms); }
    void spin(int ms) { testsupport::spin(ms); }

    bool runToEnd(int ms = 10000)
    {
        return waitUntil([this] { return !ctx().bScanning; }, ms);
    }

    // Column texts of the results list: column 1 is "Main", 5 "Link URL".
    QStringList resultColumn(int column) const
    {
        QStringList out;
        for (int r = 1; r <= form->List3->count(); ++r)
            out << (column == 1 ? form->List3->text(r) : form->List3->subItem(r, column - 1));
        return out;
    }
    QStringList statuses() const { return resultColumn(3); }
    QStringList errors() const
    {
        QStringList out;
        for (int r = 1; r <= form->lstErr->count(); ++r)
            out << form->lstErr->text(r) + QLatin1Char('|') + form->lstErr->subItem(r, 1);
        return out;
    }

    QStringList requestPaths() const
    {
        QStringList out;
        for (const QByteArray &r : server.requests())
            out << QString::fromLatin1(testsupport::TestHttpServer::headerValue(r, "Host"))
                       + QString::fromLatin1(testsupport::TestHttpServer::requestPath(r));
        return out;
    }

    testsupport::TestProgram p;
    testsupport::TestHttpServer server;
    std::unique_ptr<tarnwick::Form1> form;
};

} // namespace scantest
