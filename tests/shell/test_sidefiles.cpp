// Files beside the program and the project that are damaged or cannot be
// written: each is read for what it holds, or the user is told.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>

#include "platform/machinesettings.h"
#include "platform/safefile.h"
#include "platform/settings.h"
#include "scanner/scanoptions.h"
#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/reportpanel.h"
#include "support/files.h"
#include "support/shellprogram.h"
#include "support/windowcontrols.h"
#include "workspace/project.h"
#include "workspace/projectfile.h"

using namespace tarnwick;
using testsupport::area;

namespace {

struct SideFileCase {
    const char *name;
    // Damages the file in the program's folder, does what uses it and checks
    // the outcome.
    std::function<void(testsupport::ShellProgram &, Form1 &)> run;
};

TEST(SideFiles, DamagedOrUnwritableFilesAreReadOrSaid)
{
    const SideFileCase cases[] = {
        {"report with a folder in its place",
         [](testsupport::ShellProgram &p, Form1 &form) {
             QDir().mkpath(p.path("tempreport.html"));
             EXPECT_FALSE(area<ReportPanel>(form)->makeReport());
             EXPECT_TRUE(p.dialogs->lastText().startsWith("The report could not be written.\r\n" +
                                                          p.path("tempreport.html")))
                 << p.dialogs->lastText().toStdString();
         }},
        {"file types in UTF-16",
         [](testsupport::ShellProgram &p, Form1 &) {
             QByteArray bytes("\xFF\xFE", 2);
             for (const char c : QByteArray(".htm\r\n.php\r\n")) {
                 bytes += c;
                 bytes += '\0';
             }
             testsupport::writeBytes(p.path("filetypes.txt"), bytes);
             EXPECT_EQ(readFileTypeList(p.path("filetypes.txt")), QStringList({".htm", ".php"}));
         }},
        {"damaged machine settings",
         [](testsupport::ShellProgram &p, Form1 &) {
             const QString path = p.path("machinesettings.ini");
             testsupport::writeBytes(path, QByteArray("[SOFTWARE\n\xFF\xFE=\"\n", 12));
             platform::IniMachineSettingsStore store(path);
             QString error;
             EXPECT_TRUE(store.setValue("SOFTWARE\\Co\\App", "showHelp", "0", &error)) << error.toStdString();
         }},
        {"settings that cannot be written",
         [](testsupport::ShellProgram &p, Form1 &) {
             const QString path = p.path("blocked.ini");
             QDir().mkpath(path);
             platform::SettingsStore store(path);
             int told = 0;
             store.onWriteFailure([&told](const QString &) { ++told; });
             store.set("a", "1");
             store.flush();
             store.set("b", "2");
             store.flush();
             EXPECT_EQ(told, 1);
             EXPECT_EQ(store.get("b"), "2");
             store.onWriteFailure({});
         }},
        {"stray copies of a project",
         [](testsupport::ShellProgram &p, Form1 &) {
             const QString path = p.path("x.prj");
             for (const char *name : {"x.prj.tmp-Ab12Cd", "x.prj.tmp-notOurs", "x.prj.backup", "x.prj.bak"})
                 testsupport::writeBytes(p.path(name), "left");
             ASSERT_TRUE(writeProjectFile(path, ProjectData{}));
             EXPECT_EQ(QDir(p.path(".")).entryList({"x.prj*"}, QDir::Files),
                       QStringList({"x.prj", "x.prj.backup", "x.prj.bak", "x.prj.tmp-notOurs"}));
         }},
    };
    for (const SideFileCase &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ShellProgram p;
        Form1 form(*p.ctx, p.windows);
        c.run(p, form);
    }
}

TEST(SideFiles, ALongProjectNameGivesAReportNameTheFileSystemTakes)
{
    const QString stem = QString(200, QChar(0x00e9));  // two bytes each in UTF-8
    const QString name = reportNameForProject("/home/u/" + stem + ".prj");
    QTemporaryDir dir;
    EXPECT_TRUE(platform::writeFileAtomically(dir.filePath(name), "report"));
    EXPECT_TRUE(name.endsWith(".html"));
    EXPECT_TRUE(stem.startsWith(name.chopped(5)));
}

} // namespace
