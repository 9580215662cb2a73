// Scan benchmark. Generates a partner site, or scans one that a local web
// server serves: a whole scan of the site by the scanner alone (or, with
// --shown, in the main window, headless), next to plain libcurl fetches of
// the same pages, one new connection each.
//
//   scan_bench --generate DIR [--pages N]   writes the site into DIR
//   scan_bench --free-port                  prints a free loopback port
//   scan_bench --port P [--pages N] [--shown] [--rounds R] [--rules K] [--no-plain]
//   scan_bench --port P [--pages N] --plain-only   libcurl alone, once
//                                           benchmarks the site served on P;
//                                           --rules adds K rules in scope
//                                           that never reject a link
//   scan_bench --report N                   builds and shows the report of
//                                           N linking sites on one host
//   scan_bench --import-main N [--long-line] imports N main sites from a file
//                                           (with one 30 MB line) into the
//                                           shown main window
//
// Each scan ends with a line "result: plain=... scan=... peak=..." for the
// script. scripts/bench does all of it with nginx.

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <curl/curl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "exchange/report.h"
#include "platform/dialogs.h"
#include "platform/memory.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "scanner/scanner.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/windowregistry.h"
#include "shell/windows/form4a.h"
#include "workspace/context.h"
#include "workspace/project.h"
#include "workspace/results.h"

namespace {

const char *const kPartnerHost = "partner.example";
const char *const kMainSite = "main.example";

// Page n's path: the home page is "/", the others "/p<n>.htm".
QByteArray pagePath(int n)
{
    return n == 0 ? QByteArray("/") : "/p" + QByteArray::number(n) + ".htm";
}

QByteArray pageFile(int n)
{
    return n == 0 ? QByteArray("index.htm") : "p" + QByteArray::number(n) + ".htm";
}

// About 12 KB and 40 links: the next page (so every page is reached), 35
// other pages of the site in every link form a page uses, two links to other
// sites and, on every hundredth page, two links back to the main site.
QByteArray pageHtml(int n, int pages, QRandomGenerator &random)
{
    static const QByteArray filler =
        "Our partners and friends share news, reviews and resources about gardening, travel and local "
        "crafts. Every week we add new articles and update the older ones so that visitors find what "
        "they need without searching for long. ";
    QByteArray html;
    html.reserve(13000);
    html += "<html>\n<head>\n<title>Partner page " + QByteArray::number(n) + "</title>\n";
    html += "<meta name=\"description\" content=\"A page of the partner site\">\n</head>\n<body>\n";
    html += "<h1>Page " + QByteArray::number(n) + "</h1>\n";
    auto link = [&](const QByteArray &href, const QByteArray &text) {
        html += "<p>" + filler.left(120) + " <a href=\"" + href + "\">" + text + "</a></p>\n";
    };
    link(pageFile(n + 1 < pages ? n + 1 : 1), "next");
    for (int i = 0; i < 35; ++i) {
        const int target = 1 + int(random.bounded(pages - 1));
        const QByteArray file = pageFile(target);
        switch (i % 4) {
        case 0:
            link(file, "article");
            break;
        case 1:
            link("/" + file, "more");
            break;
        case 2:
            link("http://" + QByteArray(kPartnerHost) + "/" + file, "read on");
            break;
        default:
            link("./" + file, "see also");
            break;
        }
    }
    link("http://www.elsewhere" + QByteArray::number(n % 7) + ".example/", "a friend");
    link("https://shop.elsewhere.example/item" + QByteArray::number(n) + ".php?id=" + QByteArray::number(n), "shop");
    if (n % 100 == 0) {
        link("http://www." + QByteArray(kMainSite) + "/", "our main partner");
        link("http://" + QByteArray(kMainSite) + "/offers.htm", "offers");
    }
    while (html.size() < 12 * 1024 - 200)
        html += "<p>" + filler + "</p>\n";
    html += "</body>\n</html>\n";
    return html;
}

int generate(const QString &dir, int pages)
{
    QDir().mkpath(dir);
    QRandomGenerator random(20240611);
    qint64 bytes = 0;
    for (int n = 0; n < pages; ++n) {
        QFile f(dir + QLatin1Char('/') + QString::fromLatin1(pageFile(n)));
        if (!f.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
            return 1;
        }
        const QByteArray html = pageHtml(n, pages, random);
        bytes += html.size();
        f.write(html);
    }
    std::printf("generated %d pages, %.1f KB each on average, in %s\n", pages, double(bytes) / pages / 1024.0,
                qPrintable(dir));
    return 0;
}

size_t discard(char *, size_t size, size_t count, void *total)
{
    *static_cast<qint64 *>(total) += qint64(size * count);
    return size * count;
}

// Pages per second fetching every page once, each on a new connection.
double plainRate(quint16 port, int pages, qint64 *bytes)
{
    CURL *e = curl_easy_init();
    qint64 total = 0;
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &total);
    curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
    curl_slist *headers = curl_slist_append(nullptr, (QByteArray("Host: ") + kPartnerHost).constData());
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers);
    QElapsedTimer t;
    t.start();
    int ok = 0;
    for (int n = 0; n < pages; ++n) {
        const QByteArray url = "http://127.0.0.1:" + QByteArray::number(port) + pagePath(n);
        curl_easy_setopt(e, CURLOPT_URL, url.constData());
        if (curl_easy_perform(e) == CURLE_OK)
            ++ok;
    }
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    curl_slist_free_all(headers);
    curl_easy_cleanup(e);
    if (ok != pages)
        std::fprintf(stderr, "plain fetch: only %d of %d pages fetched\n", ok, pages);
    *bytes = total;
    return pages / seconds;
}

struct ScanResult {
    double rate = 0;
    qint64 pages = 0;
    int rows = 0;
    int errors = 0;
    double turnsPerPage = 0;  // passes of the event loop
};

// Rules of every scope that never reject a link of the benchmark's pages:
// the exclusions name texts no link holds, the limits texts every link holds.
void addNeverMatchingRules(tarnwick::Project &project, int count)
{
    const QString main = QString::fromLatin1(kMainSite);
    const QString linking = QString::fromLatin1(kPartnerHost) + QLatin1Char('/');
    const QString global = QStringLiteral("Global");
    for (int i = 0; i < count; ++i) {
        const QString mainSite = i % 3 == 0 ? global : main;
        const QString remoteSite = i % 3 == 2 ? linking : global;
        QString type;
        QString value;
        switch (i % 6) {
        case 0:
            type = QStringLiteral("ExcludeString");
            value = QStringLiteral("nomatch%1").arg(i);
            break;
        case 1:
            type = QStringLiteral("ExcludeDirectory");
            value = QStringLiteral("nodir%1").arg(i);
            break;
        case 2:
            type = QStringLiteral("ExcludeRoot");
            value = QStringLiteral("noroot%1.").arg(i);
            break;
        case 3:
            type = QStringLiteral("LimitString");
            value = QStringLiteral("example");
            break;
        case 4:
            type = QStringLiteral("LimitDirectory");
            value = QString();
            break;
        default:
            type = QStringLiteral("LimitRoot");
            value = QStringLiteral(".example");
            break;
        }
        project.lstRules->add(mainSite, {remoteSite, type, value});
    }
}

// A program of its own in dir that asks nobody anything and plays nothing.
tarnwick::AppContext::Services quietServices(const QTemporaryDir &dir)
{
    tarnwick::AppContext::Services s;
    s.settings = std::make_unique<platform::SettingsStore>(dir.filePath(QStringLiteral("settings.ini")));
    s.dialogs = std::make_unique<platform::ScriptedDialogs>();
    s.shell = std::make_unique<platform::RecordingShell>();
    s.sound = std::make_unique<platform::SilentSoundPlayer>();
    s.yield = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    return s;
}

ScanResult scanRate(quint16 port, int pages, bool shown, int rules)
{
    QTemporaryDir dir;
    tarnwick::AppContext ctx(quietServices(dir), dir.path());
    tarnwick::WindowRegistry windows;
    ctx.fetchOptions.connectOverride.insert(QString::fromLatin1(kPartnerHost), port);

    QFile types(dir.filePath(QStringLiteral("filetypes.txt")));
    if (types.open(QIODevice::WriteOnly))
        types.write(".htm\r\n.php\r\n.asp\r\n.aspx\r\n.jsp\r\n.cfm\r\n.shtm\r\n.cgi\r\n.pl\r\n");
    types.close();
    for (const char *key : {"chkAudioNext", "chkAudioEmail", "chkAudioFinished"})
        ctx.settings().set(QLatin1String(key), QStringLiteral("0"));
    ctx.settings().set(QStringLiteral("cmbAdvance"), QStringLiteral("12"));  // 500,000 pages

    // The scan runs on a project alone, or shown in the main window.
    std::unique_ptr<tarnwick::Form1> form;
    std::unique_ptr<tarnwick::Project> ownProject;
    std::unique_ptr<tarnwick::Scanner> ownScanner;
    if (shown) {
        form = std::make_unique<tarnwick::Form1>(ctx, windows);
        form->resize(1100, 800);
        form->show();
    } else {
        ownProject = std::make_unique<tarnwick::Project>(ctx);
        ownScanner = std::make_unique<tarnwick::Scanner>(ctx, *ownProject);
    }
    tarnwick::Project &project = form ? form->project() : *ownProject;
    tarnwick::Scanner &scanner = form ? form->scanner() : *ownScanner;
    project.List4->setListIndex(project.addMainSite(QString::fromLatin1(kMainSite)) - 1);
    // More links expected than the site has: the walk ends when the queue does.
    project.addLinkingSite(1, {QString::fromLatin1(kPartnerHost) + QLatin1Char('/'), QStringLiteral("10000"), {}, {}, {}});
    addNeverMatchingRules(project, rules);
    QCoreApplication::processEvents();

    // The site's end is the end of the measurement; the report that Stop
    // builds afterwards is not part of the walk.
    QElapsedTimer t;
    qint64 endNs = 0;
    auto shownStats = ctx.onStatsChanged;
    ctx.onStatsChanged = [&] {
        if (shownStats)
            shownStats();
        if (ctx.lLinkingSitesScanned >= 1 && endNs == 0)
            endNs = t.nsecsElapsed();
    };
    QTimer wake;  // the loop below wakes now and then even when nothing happens
    wake.start(100);
    qint64 turns = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, &wake, [&] {
        if (endNs == 0)
            ++turns;
    });

    t.start();
    scanner.Command1_Click();
    while (ctx.bScanning)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (endNs == 0)
        endNs = t.nsecsElapsed();

    ScanResult r;
    r.pages = ctx.lPagesScanned;
    r.rate = double(ctx.lPagesScanned) / (double(endNs) / 1e9);
    r.rows = project.List3->count();
    r.errors = project.lstErr->count();
    r.turnsPerPage = r.pages ? double(turns) / double(r.pages) : 0;
    if (r.pages != pages)
        std::fprintf(stderr, "scan: %lld pages scanned, %d expected\n", static_cast<long long>(r.pages), pages);
    return r;
}

long peakMemoryKb();

// The report of a project whose linking sites share one host: every row
// stands under every linking site, so the file grows with the square of the
// sites. Built and shown as the window does it.
int reportFigure(int sites)
{
    QTemporaryDir dir;
    tarnwick::AppContext ctx(quietServices(dir), dir.path());
    tarnwick::Project project(ctx);
    project.addMainSite(QStringLiteral("main.example"));
    for (int i = 0; i < sites; ++i) {
        const QString page = QStringLiteral("partner.example/p%1.htm").arg(i);
        project.addLinkingSite(1, {page, QStringLiteral("1"), {}, {}, {}});
        tarnwick::addResultRow(*project.List3, tarnwick::directLinkRow(QStringLiteral("main.example"),
                                                                       QStringLiteral("partner.example"), 1, page));
    }
    const long before = peakMemoryKb();
    QWidget page;
    tarnwick::ReportPanel panel(ctx, project, &page, &page);
    QElapsedTimer t;
    t.start();
    const bool written = panel.makeReport();
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    const qint64 size = QFileInfo(tarnwick::tempReportPath(ctx)).size();
    std::printf("report of %d same-host linking sites: %.1f MB, built and shown in %.2f s, "
                "memory %.1f MB before and %.1f MB at the peak\n",
                sites, double(size) / (1024.0 * 1024.0), seconds, double(before) / 1024.0,
                double(peakMemoryKb()) / 1024.0);
    return written ? 0 : 1;
}

// Main sites imported from a text file of `sites` lines (and, with
// longLine, one line of 30 MB, which is no site) into the main window as the
// user sees it: from the click on "Import" until the window has drawn the
// new list.
int importMainSitesFigure(int sites, bool longLine)
{
    QTemporaryDir dir;
    tarnwick::AppContext ctx(quietServices(dir), dir.path());
    QFile file(dir.filePath(QStringLiteral("sites.txt")));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < sites; ++i)
        file.write("http://www.site" + QByteArray::number(i) + ".example/\r\n");
    if (longLine)
        file.write(QByteArray(30 * 1024 * 1024, 'x') + "\r\n");
    file.close();

    tarnwick::WindowRegistry windows;
    tarnwick::Form1 form(ctx, windows);
    form.resize(1100, 800);
    form.show();
    form.cmdImport2_Click();
    auto *window = qobject_cast<tarnwick::Form4a *>(windows.Form4a.data());
    if (!window)
        return 1;
    QCoreApplication::processEvents();
    static_cast<platform::ScriptedDialogs &>(ctx.dialogs()).fileAnswers.push_back(file.fileName());

    const long before = peakMemoryKb();
    QElapsedTimer t;
    t.start();
    window->Command4_Click();
    form.List4View->scrollToBottom();
    form.List4View->repaint();
    QCoreApplication::processEvents();
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    std::printf("import of %d main sites%s: %d in the list, \"%s\", %.2f s, "
                "memory %.1f MB before and %.1f MB at the peak\n",
                sites, longLine ? " and one 30 MB line" : "", form.project().List4->count(),
                qPrintable(window->panelText()), seconds, double(before) / 1024.0, double(peakMemoryKb()) / 1024.0);
    return form.project().List4->count() == sites ? 0 : 1;
}

long peakMemoryKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    // As the program does at start-up.
    platform::keepFreedMemoryForReuse();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    auto value = [&](const QString &name, const QString &fallback) {
        const qsizetype at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
    };
    const int pages = value(QStringLiteral("--pages"), QStringLiteral("2000")).toInt();
    if (pages < 2) {
        std::fprintf(stderr, "--pages needs at least 2\n");
        return 2;
    }

    if (args.contains(QStringLiteral("--generate"))) {
        QCoreApplication app(argc, argv);
        return generate(value(QStringLiteral("--generate"), QString()), pages);
    }
    if (args.contains(QStringLiteral("--free-port"))) {
        QCoreApplication app(argc, argv);
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return 1;
        std::printf("%u\n", unsigned(probe.serverPort()));
        return 0;
    }

    if (args.contains(QStringLiteral("--report"))) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return reportFigure(value(QStringLiteral("--report"), QStringLiteral("1000")).toInt());
    }

    if (args.contains(QStringLiteral("--import-main"))) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return importMainSitesFigure(value(QStringLiteral("--import-main"), QStringLiteral("10000")).toInt(),
                                     args.contains(QStringLiteral("--long-line")));
    }

    const quint16 port = quint16(value(QStringLiteral("--port"), QStringLiteral("0")).toUInt());
    if (port == 0) {
        std::fprintf(stderr, "usage: scan_bench --generate DIR | --free-port | --report N | --import-main N "
                             "| --port P [--pages N] "
                             "[--shown] [--rounds R] [--rules K] [--no-plain | --plain-only]\n");
        return 2;
    }
    const int rounds = std::max(1, value(QStringLiteral("--rounds"), QStringLiteral("1")).toInt());
    const bool shown = args.contains(QStringLiteral("--shown"));
    const int rules = std::max(0, value(QStringLiteral("--rules"), QStringLiteral("0")).toInt());
    const bool measurePlain = !args.contains(QStringLiteral("--no-plain"));

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    curl_global_init(CURL_GLOBAL_DEFAULT);

    // The plain rate before and after each scan; the better one counts, so
    // the ratio is not flattered by a slow moment of the server.
    double plain = 0;
    qint64 bytes = 0;
    if (args.contains(QStringLiteral("--plain-only"))) {
        // In a process of its own, so the closed connections of a scan of
        // the same site do not weigh on it, nor its on the scan.
        plain = plainRate(port, pages, &bytes);
        std::printf("plain libcurl, one new connection per page: %8.1f pages/s (%.1f KB a page)\n", plain,
                    double(bytes) / pages / 1024.0);
        std::printf("result: plain=%.1f scan=0 peak=0\n", plain);
        curl_global_cleanup();
        return 0;
    }
    if (measurePlain)
        plain = std::max(plain, plainRate(port, pages, &bytes));
    double scanBest = 0;
    ScanResult last;
    for (int round = 0; round < rounds; ++round) {
        last = scanRate(port, pages, shown, rules);
        scanBest = std::max(scanBest, last.rate);
        if (measurePlain)
            plain = std::max(plain, plainRate(port, pages, &bytes));
    }

    const double peak = double(peakMemoryKb()) / 1024.0;
    std::printf("pages: %d, scan (%s, %d rules) fetched %lld, results rows %d, error rows %d\n", pages,
                shown ? "window shown" : "no window", rules, static_cast<long long>(last.pages), last.rows,
                last.errors);
    if (measurePlain)
        std::printf("plain libcurl, one new connection per page: %8.1f pages/s (%.1f KB a page)\n", plain,
                    double(bytes) / pages / 1024.0);
    std::printf("whole scan:                                 %8.1f pages/s\n", scanBest);
    if (measurePlain)
        std::printf("ratio scan / plain:                          %7.1f %%\n", 100.0 * scanBest / plain);
    std::printf("event-loop turns a page:                     %7.1f\n", last.turnsPerPage);
    std::printf("peak memory:                                 %7.1f MB\n", peak);
    std::printf("result: plain=%.1f scan=%.1f peak=%.1f\n", plain, scanBest, peak);
    curl_global_cleanup();
    return last.pages == pages ? 0 : 1;
}
