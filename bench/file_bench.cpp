// Large-file benchmark: generates a project file of a given size and opens
// it, or imports it as linking sites, through the main window as the user
// would, and says how long it took and the peak memory.
//   file_bench --generate PATH MB
//   file_bench --open PATH
//   file_bench --import PATH

#include <sys/resource.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/dialogs.h"
#include "platform/memory.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "shell/mainwindow/form1.h"
#include "shell/windowregistry.h"
#include "shell/windows/form4.h"
#include "workspace/context.h"
#include "workspace/project.h"

namespace {

// Main sites with rows of every column, results and rules, as a busy
// project has them.
int generate(const QString &path, qint64 megabytes)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    const qint64 target = megabytes * 1024 * 1024;
    qint64 written = 0;
    int site = 0;
    auto put = [&](const QByteArray &line) {
        out.write(line);
        written += line.size();
    };
    put("www.main-site-0.example\r\n");
    for (qint64 row = 0; written < target * 7 / 10; ++row) {
        if (row > 0 && row % 200000 == 0)
            put("NEXTSITE:www.main-site-" + QByteArray::number(++site) + ".example\r\n");
        const QByteArray n = QByteArray::number(row);
        put("partner-" + n + ".example/links/page.html|1|http://partner-" + n + ".example/|Partner number " + n
            + "|A partner site that links back to us|\r\n");
    }
    put("HTML01:<html>|||<body>\r\nHTML02:\r\nHTML03:</body>|||</html>\r\n");
    for (qint64 row = 0; written < target * 95 / 100; ++row) {
        const QByteArray n = QByteArray::number(row);
        put("RESULT:2|main-site-0.example|partner-" + n + ".example|Direct Link|" + n + "|partner-" + n
            + ".example/links/page.html\r\n");
    }
    for (qint64 row = 0; written < target; ++row)
        put("RULE:www.main-site-0.example|partner-" + QByteArray::number(row)
            + ".example/links/page.html|ExcludeString|logout\r\n");
    put("POSTSINGLE:http://\r\n\r\n");
    return 0;
}

tarnwick::AppContext::Services quietServices(const QTemporaryDir &dir, const QString &file)
{
    tarnwick::AppContext::Services s;
    s.settings = std::make_unique<platform::SettingsStore>(dir.filePath(QStringLiteral("settings.ini")));
    auto dialogs = std::make_unique<platform::ScriptedDialogs>();
    dialogs->fileAnswers.push_back(file);
    s.dialogs = std::move(dialogs);
    s.shell = std::make_unique<platform::RecordingShell>();
    s.sound = std::make_unique<platform::SilentSoundPlayer>();
    s.yield = [] { QCoreApplication::processEvents(QEventLoop::AllEvents); };
    return s;
}

int run(const QString &file, bool import)
{
    QTemporaryDir dir;
    tarnwick::AppContext ctx(quietServices(dir, file), dir.path());
    tarnwick::WindowRegistry windows;
    tarnwick::Form1 form(ctx, windows);
    form.show();
    tarnwick::Project &project = form.project();
    QElapsedTimer clock;
    clock.start();
    qint64 rows = 0;
    if (import) {
        project.addMainSite(QStringLiteral("main.example"));
        project.List4->setListIndex(0);
        form.cmdImport_Click();
        auto *window = qobject_cast<tarnwick::Form4 *>(windows.Form4.data());
        if (!window)
            return 1;
        window->Command4_Click();
        rows = project.List1(1)->count();
    } else {
        QString error;
        if (!project.openProject(file, true, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        for (int n = 1; n <= project.mainSiteCount(); ++n)
            rows += project.List1(n)->count();
        rows += project.List3->count() + project.lstRules->count();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s: %lld rows in %.1f s, peak memory %.0f MB\n", import ? "import" : "open", rows,
                clock.elapsed() / 1000.0, usage.ru_maxrss / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    platform::keepFreedMemoryForReuse();
    const QStringList args = [&] {
        QStringList a;
        for (int i = 1; i < argc; ++i)
            a << QString::fromLocal8Bit(argv[i]);
        return a;
    }();
    if (args.size() == 3 && args[0] == QLatin1String("--generate"))
        return generate(args[1], args[2].toLongLong());
    if (args.size() == 2 && (args[0] == QLatin1String("--open") || args[0] == QLatin1String("--import"))) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return run(args[1], args[0] == QLatin1String("--import"));
    }
    std::fprintf(stderr, "usage: file_bench --generate PATH MB | --open PATH | --import PATH\n");
    return 2;
}
