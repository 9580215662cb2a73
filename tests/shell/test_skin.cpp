// The skin: colour numbers, the skin data, colouring, region, labels, icons.

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegion>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>

#include "platform/listview.h"
#include "shell/skin/skin.h"
#include "support/shellprogram.h"

using namespace tarnwick;

namespace {

TEST(SkinColours, NumbersHoldRedInTheLowByte)
{
    EXPECT_EQ(colorNumber(QColor(255, 0, 0)), platform::kColorRed);
    EXPECT_EQ(colorNumber(QColor(0, 255, 0)), platform::kColorGreen);
    EXPECT_EQ(colorNumber(QColor(0, 0, 255)), platform::kColorBlue);
    EXPECT_EQ(colorNumber(QColor(0, 0, 0)), platform::kColorBlack);
    EXPECT_EQ(colorNumber(QColor(0x12, 0x34, 0x56)), 0x563412);
    EXPECT_EQ(platform::colorFromNumber(0x563412), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(platform::colorFromNumber(0xFFFFFF), QColor(255, 255, 255));
    // A number read back as a colour gives the same number.
    for (qint32 n : {0, 255, 65280, 16711680, 0x7F3F1F, 0xABCDEF})
        EXPECT_EQ(colorNumber(platform::colorFromNumber(n)), n) << n;
}

TEST(SkinData, TheProgramSkinHasItsValuesAndAFullStyleSheet)
{
    const SkinDefinition skin = defaultSkinDefinition();
    EXPECT_FALSE(skin.name.isEmpty());
    ASSERT_TRUE(skin.values.contains(2));
    ASSERT_TRUE(skin.values.contains(4));
    SkinControl control(skin);
    EXPECT_EQ(control.value(2), colorNumber(skin.colour(skin.values.value(2))));
    EXPECT_EQ(control.value(4), colorNumber(skin.colour(skin.values.value(4))));
    EXPECT_NE(control.value(2), 0);
    const QString sheet = control.styleSheet();
    EXPECT_TRUE(sheet.contains("QPushButton"));
    EXPECT_FALSE(sheet.contains('@')) << "every colour mark is replaced";
}

TEST(SkinData, AMissingOrDamagedSkinStillHasValuesTwoAndFour)
{
    testsupport::ShellProgram p;
    const SkinDefinition missing = loadSkinDefinition(p.path("none.json"));
    EXPECT_TRUE(SkinControl(missing).hasValue(2));
    EXPECT_TRUE(SkinControl(missing).hasValue(4));

    QFile f(p.path("odd.json"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"name": "Odd", "colours": {"window": "#010203", "bad": "not a colour"}, "values": {"1": "window", "x": "window", "7": "missing"}})");
    f.close();
    const SkinDefinition odd = loadSkinDefinition(p.path("odd.json"));
    EXPECT_EQ(odd.name, "Odd");
    EXPECT_FALSE(odd.colours.contains("bad"));
    EXPECT_FALSE(odd.values.contains(7));
    SkinControl control(odd);
    EXPECT_EQ(control.value(1), 0x030201);
    EXPECT_TRUE(control.hasValue(2));
    EXPECT_TRUE(control.hasValue(4));
    EXPECT_EQ(control.value(9), 0);
}

TEST(SkinData, StyleSheetMarksBecomeColours)
{
    SkinDefinition s;
    s.colours.insert("face", QColor(0x10, 0x20, 0x30));
    s.styleSheetTemplate = "A { color: @face@; border: 1px solid @face@; x: @nope@; } @";
    EXPECT_EQ(s.styleSheet(), "A { color: #102030; border: 1px solid #102030; x: @nope@; } @");
}

TEST(SkinApply, ColoursButtonsAndPictureBoxesOnly)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *button = new QPushButton("Go", &window);
    auto *picture = new QFrame(&window);
    markPictureBox(picture);
    auto *label = new QLabel("Label", &window);
    auto *edit = new QLineEdit(&window);
    for (QWidget *w : {static_cast<QWidget *>(button), static_cast<QWidget *>(picture), static_cast<QWidget *>(label),
                       static_cast<QWidget *>(edit)})
        layout->addWidget(w);
    QDialog owned(&window);  // a window of its own
    auto *ownedButton = new QPushButton("Other", &owned);

    const QColor labelBefore = label->palette().color(QPalette::Window);
    const QColor editBefore = edit->palette().color(QPalette::Base);
    const QColor ownedBefore = ownedButton->palette().color(QPalette::Button);
    colorControls(&window, 0x0000FF, 0x00FF00);
    EXPECT_EQ(controlTypeName(button), "CommandButton");
    EXPECT_EQ(controlTypeName(picture), "PictureBox");
    EXPECT_EQ(controlTypeName(label), "Label");
    EXPECT_EQ(button->palette().color(QPalette::Button), QColor(255, 0, 0));
    EXPECT_EQ(picture->palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_TRUE(picture->autoFillBackground());
    EXPECT_EQ(label->palette().color(QPalette::Window), labelBefore);
    EXPECT_EQ(edit->palette().color(QPalette::Base), editBefore);
    EXPECT_EQ(ownedButton->palette().color(QPalette::Button), ownedBefore);
}

TEST(SkinApply, WithoutASkinTheWindowKeepsItsLook)
{
    testsupport::ShellProgram p;
    p.ctx->bSkin = true;
    QWidget window;
    auto *button = new QPushButton("Go", &window);
    const QColor before = button->palette().color(QPalette::Button);
    applySkin(*p.ctx, p.windows, &window);
    EXPECT_TRUE(window.styleSheet().isEmpty());
    EXPECT_EQ(button->palette().color(QPalette::Button), before);
}

TEST(SkinApply, AppliesColoursAndStyle)
{
    testsupport::ShellProgram p;
    p.ctx->bSkin = true;
    p.windows.objSkin = SkinControl::fromResources();
    QWidget window;
    auto *button = new QPushButton("Go", &window);
    applySkin(*p.ctx, p.windows, &window);
    EXPECT_EQ(window.styleSheet(), p.windows.objSkin->styleSheet());
    EXPECT_EQ(colorNumber(button->palette().color(QPalette::Button)), p.windows.objSkin->value(2));
}

TEST(SkinApply, RegionIsResetOnlyOnNewerSystemsWithTheSkinOn)
{
    struct Case {
        bool newer;
        bool skin;
        bool throws;
        bool reset;
    };
    for (const Case c : {Case{false, true, false, false}, Case{true, true, false, true}, Case{true, false, false, false},
                         Case{true, true, true, false}}) {
        testsupport::ShellProgram p;
        p.ctx->bSkin = c.skin;
        p.windows.objSkin = SkinControl::fromResources();
        p.ctx->vistaOrLaterTest = [c] {
            if (c.throws)
                throw std::runtime_error("version call failed");
            return c.newer;
        };
        QWidget window;
        window.setMask(QRegion(0, 0, 10, 10));
        applySkin(*p.ctx, p.windows, &window);
        EXPECT_EQ(window.mask().isEmpty(), c.reset) << c.newer << c.skin << c.throws;
        EXPECT_FALSE(window.styleSheet().isEmpty());  // the skin itself always goes on
    }
}

TEST(SkinApply, OnThisPlatformTheVersionTestSaysNo)
{
    testsupport::ShellProgram p;
    EXPECT_FALSE(isVistaOrLater(*p.ctx));
    vistaSkinHelper(*p.ctx, p.windows);
    EXPECT_FALSE(p.windows.objSkinHelper);  // no window-fix, no helper made
}

TEST(SkinApply, NewerSystemsGetTheWindowFix)
{
    testsupport::ShellProgram p;
    p.ctx->vistaOrLaterTest = [] { return true; };
    vistaSkinHelper(*p.ctx, p.windows);
    ASSERT_TRUE(p.windows.objSkinHelper);
    EXPECT_EQ(p.windows.objSkinHelper->windowFixCount(), 1);
    auto helper = p.windows.objSkinHelper;
    vistaSkinHelper(*p.ctx, p.windows);
    EXPECT_EQ(p.windows.objSkinHelper, helper);  // made once, kept
    EXPECT_EQ(helper->windowFixCount(), 2);
}

TEST(SkinApply, TheHelperGivesTheApplicationPaletteBack)
{
    const QColor before = QApplication::palette().color(QPalette::Window);
    {
        SkinHelper helper;
        helper.start();  // not attached: nothing to start
        EXPECT_FALSE(helper.started());
        helper.attach(defaultSkinDefinition());
        helper.start();
        EXPECT_TRUE(helper.started());
        EXPECT_EQ(QApplication::palette().color(QPalette::Window),
                  SkinControl(defaultSkinDefinition()).palette().color(QPalette::Window));
    }
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), before);
}

TEST(SkinLabels, SingleFormTakesEveryLabelFiveFormOnlyItsContainers)
{
    QWidget window;
    auto *frameA = new QFrame(&window);
    auto *frameB = new QFrame(&window);
    auto *top = new QLabel("top", &window);
    auto *inA = new QLabel("in A", frameA);
    auto *inB = new QLabel("in B", frameB);
    EXPECT_EQ(skinLabels(&window, {frameA, nullptr}), 1);
    EXPECT_TRUE(isSkinnedLabel(inA));
    EXPECT_FALSE(isSkinnedLabel(inB));
    EXPECT_FALSE(isSkinnedLabel(top));

    EXPECT_EQ(skinLabels(&window), 3);
    EXPECT_TRUE(isSkinnedLabel(inB));
    EXPECT_TRUE(isSkinnedLabel(top));
    // Skinning again adds nothing: the labels are drawn in the skin, not
    // covered by copies.
    EXPECT_EQ(window.findChildren<QLabel *>().size(), 3);
    EXPECT_EQ(skinLabels(&window), 3);
    EXPECT_EQ(window.findChildren<QLabel *>().size(), 3);
    inA->setText("changed");
    EXPECT_EQ(inA->text(), "changed");
}

TEST(SkinIcon, TheIconGroupHasFifteenImages)
{
    const QList<QImage> images = iconGroupImages("AAA");
    ASSERT_EQ(images.size(), 15);
    int i = 0;
    for (int size : {128, 64, 48, 32, 16}) {
        for (int depth : {32, 24, 8}) {
            EXPECT_EQ(images[i].size(), QSize(size, size)) << i;
            EXPECT_EQ(images[i].depth(), depth) << i;
            ++i;
        }
    }
    EXPECT_TRUE(iconGroupImages("ZZZ").isEmpty());
    EXPECT_EQ(iconGroupImage("AAA", 32).size(), QSize(32, 32));
    EXPECT_EQ(iconGroupImage("AAA", 96).size(), QSize(96, 96));
    EXPECT_EQ(iconGroupImage("AAA", 256).size(), QSize(256, 256));
    EXPECT_TRUE(iconGroupImage("ZZZ", 32).isNull());
}

TEST(SkinIcon, SetIconReachesTheTopOwner)
{
    QWidget owner;
    QDialog middle(&owner);
    QDialog window(&middle);
    SetIcon(&window, "AAA", false);
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_TRUE(owner.windowIcon().availableSizes().isEmpty());

    QWidget owner2;
    QDialog window2(&owner2);
    SetIcon(&window2, "AAA", true);
    for (QWidget *w : {static_cast<QWidget *>(&owner2), static_cast<QWidget *>(&window2)}) {
        const QList<QSize> sizes = w->windowIcon().availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(32, 32)));
        EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    }

    // A window without owner: both messages go to the window itself.
    QWidget alone;
    SetIcon(&alone, "AAA", true);
    EXPECT_TRUE(alone.windowIcon().availableSizes().contains(QSize(16, 16)));

    // An unknown group leaves the icon as it was.
    QWidget other;
    SetIcon(&other, "ZZZ", true);
    EXPECT_TRUE(other.windowIcon().availableSizes().isEmpty());
}

} // namespace
