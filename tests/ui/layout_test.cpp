// The main window's layout as the user resizes it and drags the bar between list and panel, and
// its tooltips.
#include <gtest/gtest.h>

#include "support/sim_fixture.h"
#include "ui/gadgets.h"
#include "ui/layout.h"

using namespace testing_support;

namespace {

class LayoutTest : public SimTest {
 protected:
  void runWithIni(const std::string& ini, std::function<void()> during) {
    write(dataFolder + "tandrel.ini", ini);
    desktop.then(std::move(during));
    thenEndSession();
    ASSERT_EQ(run(), 0);
  }
  platform::Place at(int gadget) { return desktop.gadgets.at(gadget).place; }
};

TEST_F(LayoutTest, GrowingTheWindowGrowsListAndPanelButNotTheButtons) {
  runWithIni("Version = 2.8\r\n", [&] {
    EXPECT_EQ(desktop.window(program->mainWindow)->minimumWidth, 700);
    EXPECT_EQ(desktop.window(program->mainWindow)->minimumHeight, 525);
    desktop.send(program->mainWindow, platform::WM_SIZE, 0, (700 << 16) | 900);
    EXPECT_EQ(at(ui::gadgetClipList).width, 740);
    EXPECT_EQ(at(ui::gadgetClipList).height, 225);
    EXPECT_EQ(at(ui::gadgetContentPanel).width, 740);
    EXPECT_EQ(at(ui::gadgetContentPanel).height, 410);
    EXPECT_EQ(at(ui::gadgetTextEditor).width, 730);
    EXPECT_EQ(at(ui::gadgetTextEditor).height, 355);
    EXPECT_EQ(at(ui::gadgetImageView).width, 720);
    EXPECT_EQ(at(ui::gadgetImageView).height, 345);
    EXPECT_EQ(at(ui::gadgetClipToClipboard).x, 3);
    EXPECT_EQ(at(ui::gadgetClipToClipboard).y, 59);
    // Smaller than the first size: everything stays at its first size.
    desktop.send(program->mainWindow, platform::WM_SIZE, 0, (300 << 16) | 400);
    EXPECT_EQ(at(ui::gadgetClipList).width, 540);
    EXPECT_EQ(at(ui::gadgetContentPanel).height, 235);
  });
}

TEST_F(LayoutTest, AWindowLeftOnASecondMonitorStaysAndReopensOnScreenOnceThatMonitorIsGone) {
  desktop.monitors.push_back({{1024, 0, 2048, 768}, {1024, 0, 2048, 738}});
  runWithIni("Version = 2.8\r\nwinPosX = 1500\r\nwinPosY = 100\r\n", [&] {
    const sim::Window* w = desktop.window(program->mainWindow);
    EXPECT_EQ(w->x, 1500);
    EXPECT_EQ(w->y, 100);
  });
  desktop.monitors.pop_back();  // unplugged between the runs
  core::Program again;
  desktop.then([&] {
    const sim::Window* w = desktop.window(again.mainWindow);
    EXPECT_GE(w->x, 0);
    EXPECT_LE(w->x + 700, 1024);
    EXPECT_EQ(w->y, 100);
    desktop.send(again.mainWindow, platform::WM_QUERYENDSESSION, 0, 0);
  });
  EXPECT_EQ(run(again), 0);
}

TEST_F(LayoutTest, TabContentsSitInsideThePanelAndTheListDrawsLightCyanLines) {
  runWithIni("Version = 2.8\r\n", [&] {
    const auto expect = [&](int gadget, int tab, int width, int height) {
      const platform::Place place = at(gadget);
      EXPECT_EQ(place.panel, ui::gadgetContentPanel) << gadget;
      EXPECT_EQ(place.tab, tab) << gadget;
      EXPECT_EQ(place.x, 20) << gadget;
      EXPECT_EQ(place.y, 15) << gadget;
      EXPECT_EQ(place.width, width) << gadget;
      EXPECT_EQ(place.height, height) << gadget;
    };
    expect(ui::gadgetTextEditor, ui::tabText, 530, 180);
    expect(ui::gadgetImageView, ui::tabImage, 520, 170);
    expect(ui::gadgetHelpBrowser, ui::tabHelp, 530, 180);
    expect(ui::gadgetSetList, ui::tabSets, 265, 180);
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetClipList).lineColour, platform::rgb(117, 236, 253));
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetClipList).background, platform::rgb(224, 255, 255));
  });
}

TEST_F(LayoutTest, SplitterSharesTheHeightAndKeepsBothPanesUsable) {
  runWithIni("Version = 2.8\r\n", [&] {
    platform::WindowEvent e;
    e.kind = platform::EVENT_GADGET;
    e.window = 500;
    e.gadget = ui::gadgetSplitter;
    e.type = platform::GADGET_SPLITTER_MOVE;
    e.data = 305;
    desktop.postEvent(e);
  });
  EXPECT_EQ(at(ui::gadgetClipList).height, 275);
  EXPECT_EQ(at(ui::gadgetSplitter).y, 305);
  EXPECT_EQ(at(ui::gadgetContentPanel).y, 310);
  EXPECT_EQ(at(ui::gadgetContentPanel).height, 185);
  ui::moveSplitter(*program, 10000);
  EXPECT_EQ(at(ui::gadgetContentPanel).height, 80);
  ui::moveSplitter(*program, -50);
  EXPECT_EQ(at(ui::gadgetClipList).height, 40);
}

TEST_F(LayoutTest, TooltipsFollowTheSettingAndTheChosenColour) {
  runWithIni("Version = 2.8\r\nDisplayTooltips = N\r\n", [&] {
    EXPECT_TRUE(desktop.tooltips.empty());
    program->settings.showTooltips = 1;
    desktop.colourAnswers.push_back(platform::rgb(255, 228, 225));
    ui::chooseTooltipColour(*program);
    EXPECT_EQ(program->settings.tooltipColour, platform::rgb(255, 228, 225));
    ASSERT_FALSE(desktop.tooltips.empty());
    bool warned = false;
    for (const auto& tip : desktop.tooltips)
      if (tip.gadget == ui::gadgetDeleteSet)
        warned = tip.warning && tip.text == "The set and all of its clips will be deleted. This action is not recoverable.";
    EXPECT_TRUE(warned);
    desktop.colourAnswers.push_back(std::nullopt);  // cancelled: the colour stays
    ui::chooseTooltipColour(*program);
    EXPECT_EQ(program->settings.tooltipColour, platform::rgb(255, 228, 225));
  });
  EXPECT_NE(read(dataFolder + "tandrel.ini").find("ToolTipBG = " + std::to_string(platform::rgb(255, 228, 225))),
            std::string::npos);
}

TEST_F(LayoutTest, EveryButtonShowsItsCaptionAsItsText) {
  runWithIni("Version = 2.8\r\n", [&] {
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetClipToClipboard).text, "Clip To Clipboard");
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetCreateNewSet).text, "Create New Set");
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetDeleteSet).textColour, platform::rgb(255, 0, 0));
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetDeleteSet).background, platform::rgb(255, 255, 170));
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetContentPanel).tabs,
              (std::vector<std::string>{"Text", "Image", "Online Help", "Clip Sets"}));
  });
}

}  // namespace
