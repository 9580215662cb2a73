#pragma once
// A project of main sites and linking sites with its scanner (no window),
// the test HTTP server standing in for every host the project names, what
// the scanner asks a window to show, and bounded waits on the event loop.

#include <QCoreApplication>
#include <QMap>

#include <functional>

#include "scanner/scanner.h"
#include "support/eventloop.h"
#include "support/scannertestaccess.h"
#include "support/testhttpserver.h"
#include "support/testprogram.h"
#include "workspace/project.h"

namespace scantest {

using Control = tarnwick::ScanDisplay::Control;

// Keeps what the scanner shows, starting as a window starts.
class RecordingDisplay : public tarnwick::ScanDisplay {
public:
    RecordingDisplay()
    {
        for (const Control c : {Control::StartScan, Control::ScanType, Control::SkipType, Control::Project})
            controls[c] = true;
        for (const Control c : {Control::Stop, Control::Skip, Control::Resume, Control::NextSearch})
            controls[c] = false;
    }
    void setControlEnabled(Control c, bool on) override { controls[c] = on; }
    void setPanelText(int panel, const QString &text) override
    {
        if (panel >= 1 && panel <= 4)
            panels[panel - 1] = text;
    }
    void setProgress(int percent) override { progress = percent; }
    void buildReport() override { ++reports; }

    bool enabled(Control c) const { return controls.value(c); }
    QString panelText(int panel) const { return panel >= 1 && panel <= 4 ? panels[panel - 1] : QString(); }

    QMap<Control, bool> controls;
    QString panels[4];
    int progress = 0;
    int reports = 0;
};

class ScanHarness {
public:
    ScanHarness()
    {
        scanner.setDisplay(&display);
        ctx().settings().set(QStringLiteral("chkAudioNext"), QStringLiteral("0"));
    }

    tarnwick::AppContext &ctx() { return *p.ctx; }

    // Every connection to host goes to the test server.
    void serve(const QString &host) { ctx().fetchOptions.connectOverride.insert(host.toLower(), server.port()); }

    // Adds a main site, selects it and returns its number (from 1).
    int addMain(const QString &url)
    {
        const int n = project.addMainSite(url);
        project.List4->setListIndex(n - 1);
        return n;
    }

    // Adds a linking site under main site n and returns its row.
    int addLinking(int n, const QString &url, const QString &expected = QStringLiteral("1"))
    {
        return project.List1(n)->add(url, {expected, QString(), QString(), QString()});
    }

    void setting(const QString &key, const QString &value) { ctx().settings().set(key, value); }

    // The scanner's record of the linking site it is on, to stand in for
    // what its pages would have found.
    tarnwick::Scanner::SiteScan &siteState() { return tarnwick::ScannerTestAccess::site(scanner); }

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
        for (int r = 1; r <= project.List3->count(); ++r)
            out << (column == 1 ? project.List3->text(r) : project.List3->subItem(r, column - 1));
        return out;
    }
    QStringList statuses() const { return resultColumn(3); }
    QStringList errors() const
    {
        QStringList out;
        for (int r = 1; r <= project.lstErr->count(); ++r)
            out << project.lstErr->text(r) + QLatin1Char('|') + project.lstErr->subItem(r, 1);
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
    RecordingDisplay display;
    tarnwick::Project project{*p.ctx};
    tarnwick::Scanner scanner{*p.ctx, project};
};

} // namespace scantest
