// The two import windows on a real main window: Simple and Advanced mode
// against the test server, the file imports, and what happens around them.

#include <QComboBox>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/listview.h"
#include "shell/mainwindow/form1.h"
#include "shell/windows/form4.h"
#include "shell/windows/form4a.h"
#include "support/eventloop.h"
#include "support/files.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/shutdown.h"
#include "support/sitetyping.h"
#include "support/testhttpserver.h"
#include "support/windowcontrols.h"
#include "widgets/reportview.h"
#include "workspace/project.h"
#include "workspace/settingkeys.h"

using namespace tarnwick;
using testsupport::click;
using Response = testsupport::TestHttpServer::Response;

namespace {

class ImportDialogs : public ::testing::Test {
protected:
    ImportDialogs()
    {
        c.fetchOptions.connectOverride.insert("links.example", server.port());
        c.fetchOptions.connectOverride.insert("www.links.example", server.port());
    }

    void addMainSite(const QString &site)
    {
        testsupport::typeMainSite(form, site);
        form.project().bProjectSaved = true;
    }
    Form4 &form4()
    {
        click(form, "cmdImport");
        return *qobject_cast<Form4 *>(p.windows.Form4.data());
    }
    Form4a &form4a()
    {
        click(form, "cmdImport2");
        return *qobject_cast<Form4a *>(p.windows.Form4a.data());
    }
    // The next file dialog answers with a file of this text.
    void chooseFile(const QByteArray &text)
    {
        const QString path = p.path("import.txt");
        testsupport::writeBytes(path, text);
        p.dialogs->fileAnswers.push_back(path);
    }
    static QStringList rows(const platform::ListView *list, int column = 0)
    {
        QStringList out;
        for (int r = 1; list && r <= list->count(); ++r)
            out << (column == 0 ? list->text(r) : list->subItem(r, column));
        return out;
    }

    testsupport::ShellProgram p;
    AppContext &c = *p.ctx;
    Form1 form{c, p.windows};
    testsupport::TestHttpServer server;
};

TEST_F(ImportDialogs, SimpleModeListsLinksToOtherSitesAndAddsTheChosenOnes)
{
    server.setRoute("*", "/links.htm",
                    Response::page("<a href=\"http://partner.example/\">P</a> <a href=/about.htm>A</a>\r\n"
                                   "<a href='http://other.example/a|b.htm'>O</a> <a href=\"javascript:x()\">J</a>"));
    addMainSite("mine.example");
    Form4 &f = form4();
    ASSERT_TRUE(f.Option1[0]->isChecked());
    f.Text1->setText("http://www.links.example/links.htm");
    f.Command1_Click();
    EXPECT_EQ(rows(f.ListView1), QStringList({"partner.example/", "other.example/a|b.htm"}));
    EXPECT_EQ(f.panelText(), "Finished Downloading - 2 links found.");

    f.cmdAdd_Click();  // nothing selected: nothing happens
    EXPECT_EQ(form.project().List1(1)->count(), 0);
    EXPECT_TRUE(p.dialogs->boxes.isEmpty());

    f.ListView1_MouseUp(Qt::RightButton);
    c.bScanning = true;  // a scan may walk the list that grows
    f.cmdAdd_Click();
    EXPECT_TRUE(form.findChild<QPushButton *>("cmdNextSearch")->isEnabled());
    c.bScanning = false;
    const platform::ListView *sites = form.project().List1(1);
    EXPECT_EQ(rows(sites), QStringList({"partner.example/", "other.example/a%7Cb.htm"}));
    EXPECT_EQ(rows(sites, 1), QStringList({"1", "1"}));
    EXPECT_FALSE(form.project().bProjectSaved);
}

TEST_F(ImportDialogs, ARightClickAnywhereInTheResultListSelectsAll)
{
    Form4 &f = form4();
    for (const char *url : {"a.example/", "b.example/", "c.example/"})
        f.ListView1->add(url);
    QWidget *area = f.ListView1View->viewport();
    const int rowHeight = f.ListView1View->rowHeight();
    ASSERT_GT(area->height(), 5 * rowHeight);
    const QPoint places[] = {{10, rowHeight / 2}, {10, 4 * rowHeight}, {area->width() - 2, area->height() - 2}};
    for (const QPoint &at : places) {
        SCOPED_TRACE(at.y());
        f.ListView1->setSelectedRow(0);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, QPointF(at), area->mapToGlobal(QPointF(at)), Qt::RightButton,
                              type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(area, &click);
        }
        QCoreApplication::processEvents();
        for (int r = 1; r <= 3; ++r)
            EXPECT_TRUE(f.ListView1->isSelected(r)) << r;
    }
}

TEST_F(ImportDialogs, AdvancedModeNeedsADelimiterAndSplitsTheOutput)
{
    server.setRoute("links.example", "/domains", Response::page("<p>a.example|b.example\nc.example|</p>\n"));
    Form4 &f = form4();
    f.Option1[1]->setChecked(true);
    f.Text2->setText("links.example/domains");
    f.Command1_Click();
    EXPECT_EQ(p.dialogs->lastText(), "You must select a delimiter first");
    EXPECT_EQ(server.requestCount(), 0);

    f.Combo1->setCurrentIndex(0);
    EXPECT_EQ(c.settings().get(key::getURLCombo), "0");
    f.Command1_Click();
    EXPECT_EQ(rows(f.ListView1), QStringList({"a.example", "b.example", "c.example"}));
    EXPECT_EQ(f.panelText(), "Finished Downloading - 3 links found.");

    f.Combo1->setEditText("::");  // typed: stored as no item
    EXPECT_EQ(f.comboIndex(), -1);
    EXPECT_EQ(c.settings().get(key::getURLCombo), "-1");
}

TEST_F(ImportDialogs, GetLinksRunsOnceAtATimeAndSurvivesTheWindowClosing)
{
    server.setRoute("links.example", "/links.htm", Response::page("<a href=http://partner.example/>"));
    Form4 &f = form4();
    f.Text1->setText("http://links.example/links.htm");
    bool busyMeanwhile = false;
    QTimer::singleShot(0, &f, [&] {
        busyMeanwhile = f.gettingLinks();
        f.Command1_Click();
    });
    f.Command1_Click();
    EXPECT_TRUE(busyMeanwhile);
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(rows(f.ListView1), QStringList({"partner.example/"}));
    EXPECT_TRUE(f.Command1->isEnabled());

    QTimer::singleShot(0, &f, [&] { f.close(); });
    f.Command1_Click();
    EXPECT_TRUE(testsupport::waitUntil([&] { return p.windows.Form4.isNull(); }));
}

TEST_F(ImportDialogs, ClosingEndsGetLinksWhileTheServerIsSilent)
{
    Response silent;
    silent.mode = Response::Mode::Silent;
    server.setDefault(silent);
    // The page closed with its window; the script closed with the main window,
    // which ends the program.
    for (const bool script : {false, true}) {
        Form4 &f = form4();
        f.Option1[script ? 1 : 0]->setChecked(true);
        f.Combo1->setCurrentIndex(0);
        (script ? f.Text2 : f.Text1)->setText("http://links.example/held");
        const QPointer<Form4> window(&f);
        EXPECT_TRUE(testsupport::quitsAfterClose(
            c, server,
            [&] {
                window->Command1_Click();
                if (!script)
                    QCoreApplication::exit();  // the program goes on: only the handler had to end
            },
            [&] { script ? form.close() : window->close(); }))
            << script;
    }
}

TEST_F(ImportDialogs, LinkingSitesFromAFile)
{
    addMainSite("mine.example");
    Form4 &f = form4();
    // A line named like a project-file line is refused and not counted.
    chooseFile("x.example|3\r\n  y.example  \n\n \nRESULT:1|a|b\nz.example|2|extra\n");
    f.Command4_Click();
    EXPECT_EQ(rows(form.project().List1(1)), QStringList({"x.example", "y.example", "z.example"}));
    EXPECT_EQ(rows(form.project().List1(1), 1), QStringList({"3", "1", "2"}));
    EXPECT_EQ(f.panelText(), "Added 3 link(s)");
    EXPECT_FALSE(form.project().bProjectSaved);
    ASSERT_EQ(p.dialogs->fileRequests.size(), 1);
    EXPECT_EQ(p.dialogs->fileRequests[0].initDir, form.project().projectFilesFolder());
    EXPECT_EQ(p.dialogs->fileRequests[0].filter, "Text Files (*.txt)|*.txt");
}

TEST_F(ImportDialogs, ImportFilesAreReadAsProjectFilesAreOrRefusedWithTheReason)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QStringList sites;
        QString refusal;
    };
    QByteArray utf16("\xFF\xFE", 2);
    for (const char ch : QByteArray("a.example\r\nb\x01.example\r\n")) {
        utf16 += ch;
        utf16 += '\0';
    }
    const Case cases[] = {
        {"NUL bytes", QByteArray("good.example\r\nbad\0.example\r\n", 29), {},
         "The file holds binary data: it is not a text file."},
        {"UTF-16 and a control character", utf16, {"a.example", "b.example"}, ""},
        {"no text", " \r\n\t\r\n", {}, "The file is empty."},
    };
    addMainSite("mine.example");
    Project &project = form.project();
    for (const Case &c : cases) {
        const qsizetype boxes = p.dialogs->boxes.size();
        chooseFile(c.bytes);
        form4().Command4_Click();
        EXPECT_EQ(rows(project.List1(1)), c.sites) << c.name;
        project.List1(1)->clear();

        const int before = project.mainSiteCount();
        chooseFile(c.bytes);
        form4a().Command4_Click();
        QStringList added;
        for (int n = before + 1; n <= project.mainSiteCount(); ++n)
            added << project.mainSiteText(n);
        EXPECT_EQ(added, c.sites) << c.name;

        const QString said = "The file could not be read.\r\n" + p.path("import.txt") + "\r\n" + c.refusal;
        EXPECT_EQ(p.dialogs->boxes.size(), boxes + (c.refusal.isEmpty() ? 0 : 2)) << c.name;
        if (!c.refusal.isEmpty())
            EXPECT_EQ(p.dialogs->lastText(), said) << c.name;
    }
}

TEST_F(ImportDialogs, LinkingSitesNeedAMainSite)
{
    Form4 &f = form4();
    f.Command4_Click();
    EXPECT_EQ(p.dialogs->lastText(), "Please add a main site first.");
    EXPECT_TRUE(p.dialogs->fileRequests.isEmpty());

    f.ListView1->add("partner.example/");
    f.ListView1->setSelected(1, true);
    f.cmdAdd_Click();
    EXPECT_EQ(p.dialogs->boxes.size(), 2);
    EXPECT_EQ(form.project().List1Count(), 1);
}

TEST_F(ImportDialogs, MainSitesFromAFile)
{
    addMainSite("mine.example");
    Form4a &f = form4a();
    chooseFile("  a.example  \r\nb.example|3\n\n \n");
    f.Command4_Click();
    EXPECT_EQ(form.project().List4->count(), 3);
    EXPECT_EQ(form.project().mainSiteText(2), "a.example");
    EXPECT_EQ(form.project().mainSiteText(3), "b.example");
    EXPECT_EQ(form.project().List1Count(), 4);
    EXPECT_EQ(form.project().iCurrentMain, 1);
    EXPECT_EQ(f.panelText(), "Added 2 site(s)");
    EXPECT_FALSE(form.project().bProjectSaved);
}

TEST_F(ImportDialogs, ManyMainSitesGoInAFewStepsAndOverlongLinesAreSkipped)
{
    QByteArray file;
    for (int i = 0; i < 1200; ++i)
        file += "site" + QByteArray::number(i) + ".example\r\n";
    file += "a" + QByteArray(2047, 'x') + "\r\n";  // as long as an address may be
    file += QByteArray(2049, 'y') + "\r\n" + QByteArray(100000, 'z') + "\r\n";
    chooseFile(file);
    int insertions = 0;
    QObject::connect(form.project().List4, &QAbstractItemModel::rowsInserted, [&] { ++insertions; });
    const int viewsBefore = int(form.findChildren<platform::ReportView *>().size());

    Form4a &f = form4a();
    f.Command4_Click();
    EXPECT_EQ(form.project().List4->count(), 1201);
    EXPECT_EQ(form.project().List1Count(), 1202);
    EXPECT_EQ(form.project().mainSiteText(1201).size(), 2048);
    EXPECT_EQ(f.panelText(), "Added 1201 site(s), skipped 2 line(s) too long for an address");
    EXPECT_LE(insertions, 3);
    // A site's list gets its view when it is shown.
    EXPECT_EQ(int(form.findChildren<platform::ReportView *>().size()), viewsBefore);
    form.project().List4->setListIndex(1199);
    EXPECT_FALSE(MainWindowTestAccess::linkList(form, 1200)->isHidden());
}

TEST_F(ImportDialogs, MainSiteImportStopsWhenTheProjectIsReplaced)
{
    Form4a &f = form4a();
    chooseFile("a.example\nb.example\nc.example\n");
    p.dialogs->answers.push_back(platform::vbNo);  // New: do not save the sites imported so far
    QTimer::singleShot(0, &f, [&] { click(form, "cmdNew"); });
    f.Command4_Click();
    EXPECT_EQ(form.project().List4->count(), 0);
    EXPECT_TRUE(f.panelText().startsWith("Import stopped")) << f.panelText().toStdString();
    EXPECT_TRUE(f.Command4->isEnabled());

    // Deleting a main site rebuilds the same project: an import goes on.
    addMainSite("a.example");
    addMainSite("b.example");
    const quint64 before = form.project().generation();
    ASSERT_EQ(form.project().deleteMainSite(1), Project::Deletion::Rebuilt);
    EXPECT_EQ(form.project().generation(), before);
}

TEST_F(ImportDialogs, SettingsOneWindowEachAndShutDown)
{
    c.settings().set(key::getUrlOption, "1");
    c.settings().set(key::getURL1, "http://mine.example/links.htm");
    c.settings().set(key::getURLCombo, "2");
    Form4 &f = form4();
    EXPECT_TRUE(f.Option1[1]->isChecked());
    EXPECT_EQ(f.Text1->text(), "http://mine.example/links.htm");
    EXPECT_EQ(f.Text2->text(), "http://");
    EXPECT_EQ(f.comboIndex(), 2);
    f.Text2->setText("http://mine.example/list.php");
    EXPECT_EQ(c.settings().get(key::getURL2), "http://mine.example/list.php");

    click(form, "Command7");
    EXPECT_EQ(p.windows.Form4.data(), &f);
    form4a();
    form.close();
    EXPECT_TRUE(testsupport::waitUntil([&] { return p.windows.Form4.isNull() && p.windows.Form4a.isNull(); }));
}

} // namespace
