// The main window as the user meets it: the save dialogs' questions and
// filters, the skin's colours and hover states, the geometry of the real
// widgets, the window's size on a small screen, clicks in the main-site list
// and counting after the window is gone.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <gtest/gtest.h>

#include "shell/mainwindow/form1.h"
#include "shell/mainwindow/layout.h"
#include "shell/mainwindow/reportpanel.h"
#include "shell/skin/skin.h"
#include "shell/windows/splash.h"
#include "support/files.h"
#include "support/mainwindowtestaccess.h"
#include "support/shellprogram.h"
#include "support/sitetyping.h"
#include "support/windowcontrols.h"
#include "widgets/qtdialogs.h"
#include "workspace/project.h"
#include "workspace/services.h"

using namespace tarnwick;
using testsupport::area;
using testsupport::click;
using testsupport::control;

namespace {

double luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The contrast of the pixel farthest from the background against it.
double textContrast(const QImage &img, const QColor &background)
{
    const double bg = luminance(background);
    double far = bg;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const double l = luminance(img.pixelColor(x, y));
            if (std::abs(l - bg) > std::abs(far - bg))
                far = l;
        }
    }
    return (std::max(bg, far) + 0.05) / (std::min(bg, far) + 0.05);
}

class WindowDetails : public ::testing::Test {
protected:
    WindowDetails()
    {
        initBranding(*p.ctx);
        p.windows.objSkin = SkinControl::fromResources();
    }

    testsupport::ShellProgram p;
};

TEST_F(WindowDetails, SavingAReportOrExportAsksOnceBeforeReplacingAFile)
{
    Form1 form{*p.ctx, p.windows};
    area<ReportPanel>(form)->makeReport();
    for (const QString name : {p.path("old.htm"), p.path("old.tab")}) {
        testsupport::writeBytes(name, "older");
        p.dialogs->boxes.clear();
        p.dialogs->fileRequests.clear();
        p.dialogs->fileAnswers = {name};
        p.dialogs->answers = {platform::vbOK};
        if (name.endsWith(".htm"))
            area<ReportPanel>(form)->Command8_Click();
        else
            area<ReportPanel>(form)->Command8a_Click();
        ASSERT_EQ(p.dialogs->fileRequests.size(), 1);
        EXPECT_FALSE(p.dialogs->fileRequests[0].confirmOverwrite) << "the dialog would ask as well";
        ASSERT_EQ(p.dialogs->boxes.size(), 1);
        EXPECT_EQ(p.dialogs->boxes[0].text, "File already exists.  Are you sure you want to overwrite it?");
        EXPECT_NE(testsupport::readBytes(name), "older");
    }
}

TEST(FileDialogFilters, EveryListedPatternReachesTheDialog)
{
    auto patterns = [](const QString &pairs) {
        const QString qt = platform::qtFilterFromPairs(pairs);
        const qsizetype open = qt.lastIndexOf('(');
        return qt.mid(open + 1, qt.size() - open - 2).split(' ', Qt::SkipEmptyParts);
    };
    const QStringList html = patterns("HTML Files (*.htm, *.html)|*.htm,*.html");
    EXPECT_TRUE(QDir::match(html, "report.htm"));
    EXPECT_TRUE(QDir::match(html, "report.html"));
    EXPECT_FALSE(QDir::match(html, "report.tab"));
    EXPECT_EQ(platform::qtFilterFromPairs("Project Files (*.prj)|*.prj"), "Project Files (*.prj)");
    EXPECT_EQ(patterns("Pages|*.htm;*.php"), (QStringList{"*.htm", "*.php"}));
}

TEST_F(WindowDetails, TheWebsiteButtonStaysReadableUnderThePointer)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    form.show();
    QPushButton *b = control<QPushButton>(form, "cmdWebsite");
    ASSERT_TRUE(b->text().startsWith("Visit "));
    const QColor window = p.windows.objSkin->underlyingObject().colour("window");
    for (const bool hover : {false, true}) {
        QStyleOptionButton o;
        o.initFrom(b);
        o.text = b->text();
        o.features = QStyleOptionButton::Flat;
        if (hover)
            o.state |= QStyle::State_MouseOver;
        QImage img(b->size(), QImage::Format_ARGB32);
        img.fill(window);
        QPainter painter(&img);
        b->style()->drawControl(QStyle::CE_PushButton, &o, &painter, b);
        painter.end();
        EXPECT_GE(textContrast(img, window), 3.0) << (hover ? "hover" : "resting");
    }
}

TEST_F(WindowDetails, TheColoursOfColorControlsShowThroughTheSkin)
{
    // A skin whose button and picture colours differ from its style sheet's.
    SkinDefinition skin = defaultSkinDefinition();
    skin.values[2] = "splashTop";
    skin.values[4] = "accentDark";
    p.windows.objSkin = std::make_shared<SkinControl>(skin);
    Form1 form{*p.ctx, p.windows};
    auto *picture = new QFrame(control<QWidget>(form, "Frame6"));
    markPictureBox(picture);
    picture->setGeometry(0, 0, 20, 20);
    form.Form_Load();
    form.show();

    const QImage button = control<QPushButton>(form, "Command1")->grab().toImage();
    EXPECT_EQ(button.pixelColor(4, button.height() / 2), skin.colour("splashTop"));
    const QImage pictureImage = picture->grab().toImage();
    EXPECT_EQ(pictureImage.pixelColor(10, 10), skin.colour("accentDark"));
}

TEST_F(WindowDetails, SkinnedControlsKeepTheirPlacesWithoutOverlapping)
{
    Form1 form{*p.ctx, p.windows};
    form.Form_Load();
    form.show();
    form.resize(layout::defaultClientSize() + QSize(0, form.menuBar()->height()));
    MainWindowTestAccess::resized(form);
    for (QWidget *container : {control<QWidget>(form, "Frame6"), control<QWidget>(form, "innerFrame1"),
                               static_cast<QWidget *>(control<QFrame>(form, "innerFrame2")),
                               control<QPushButton>(form, "Command1")->parentWidget()}) {
        QList<QWidget *> shown;
        for (QWidget *w : container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w->isVisibleTo(&form) && !w->isWindow() && !w->geometry().isEmpty())
                shown << w;
        }
        for (int i = 0; i < shown.size(); ++i) {
            for (int j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                    << shown[i]->objectName().toStdString() << " " << shown[i]->geometry().height() << " and "
                    << shown[j]->objectName().toStdString() << " in " << container->objectName().toStdString();
        }
    }
}

TEST_F(WindowDetails, TheWindowFitsTheScreen)
{
    Form1 form{*p.ctx, p.windows};
    const QSize room = form.screen()->availableGeometry().size();
    EXPECT_LE(form.width(), room.width());
    EXPECT_LE(form.height(), room.height());
    form.show();
    EXPECT_LE(form.frameGeometry().width(), room.width());
    EXPECT_LE(form.frameGeometry().height(), room.height());
}

TEST_F(WindowDetails, OneClickInTheMainSiteListSelectsItOnce)
{
    Form1 form{*p.ctx, p.windows};
    form.show();
    for (const char *site : {"one.example", "two.example"}) {
        testsupport::typeMainSite(form, site);
    }
    int clicks = 0;
    QObject::connect(form.project().List4, &platform::ListBox::clicked, [&clicks] { ++clicks; });
    QWidget *viewport = control<QListView>(form, "List4")->viewport();
    auto click = [&](int row) {
        const QPoint at = control<QListView>(form, "List4")->visualRect(form.project().List4->index(row)).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &e);
        }
    };
    click(0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form.project().List4->listIndex(), 0);
    click(0);  // the selected one again
    EXPECT_EQ(clicks, 2);
    control<QListView>(form, "List4")->setCurrentIndex(form.project().List4->index(1));  // the keyboard
    EXPECT_EQ(clicks, 3);
    click(1);
    EXPECT_EQ(clicks, 4);
}

TEST(MainWindowLifetime, CountingAfterTheWindowIsGoneIsSafe)
{
    testsupport::ShellProgram p;
    {
        Form1 form{*p.ctx, p.windows};
        form.Form_Load();
    }
    addStat(*p.ctx, Stat::PageScanned);
    addStat(*p.ctx, Stat::LinkFound);
    EXPECT_EQ(p.ctx->lPagesScanned, 1);
    EXPECT_EQ(p.ctx->lLinksFound, 1);
}

} // namespace
