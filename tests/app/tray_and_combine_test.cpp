// The tray menu's window and capture commands, and "Combine Captures" with capture on or off.
#include <gtest/gtest.h>

#include "platform/gadgets.h"
#include "support/main_window_script.h"
#include "ui/commands.h"
#include "ui/tray_menu.h"

using namespace testing_support;

namespace {

class TrayAndCombineTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    editor = desktop.addForeignWindow("Notes - Editor", "C:\\Tools\\editor.exe");
    seed({{"td_clips", "older clip", "Somewhere", " "}});
  }
  void menu(int command) { desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, command, 0, 0}); }
  sim::Window& mainWindow() { return *desktop.window(program->mainWindow); }
  platform::TrayImage trayImage() { return desktop.tray.at(program->mainWindow).image; }
  platform::Hwnd editor = 0;
};

TEST_F(TrayAndCombineTest, ShowWindowRestoresOnlyAMinimisedWindowAndBringsItToTheFront) {
  desktop.then([&] {
    platform::showWindow(program->mainWindow, platform::SW_MAXIMIZE);
    desktop.foreground = editor;
    menu(ui::commandShowWindow);
  });
  desktop.then([&] {
    EXPECT_TRUE(mainWindow().maximized);
    EXPECT_FALSE(mainWindow().iconic);
    EXPECT_EQ(desktop.foreground, program->mainWindow);
    // Minimised from maximised, it comes back maximised; put away into the tray, it shows again.
    desktop.postEvent({platform::EVENT_CLOSE, core::mainWindowNumber, 0, 0, 0});
  });
  desktop.then([&] {
    EXPECT_FALSE(mainWindow().visible);
    desktop.foreground = editor;
    menu(ui::commandShowWindow);
  });
  desktop.then([&] {
    EXPECT_TRUE(mainWindow().visible);
    EXPECT_FALSE(mainWindow().iconic);
    EXPECT_TRUE(mainWindow().maximized);
    EXPECT_EQ(desktop.foreground, program->mainWindow);
  });
  runToEnd();
}

TEST_F(TrayAndCombineTest, TrayCaptureToggleKeepsCombiningAndItsIcon) {
  desktop.then([&] { post(ui::gadgetCombineCaptures); });
  desktop.then([&] {
    desktop.copyText("one", editor);
    desktop.copyText("two", editor);
    ASSERT_GT(program->capture.combineCount, 1);
    menu(ui::commandCaptureToggle);  // off
  });
  desktop.then([&] {
    EXPECT_NE(program->capture.combineCount, 0);
    EXPECT_EQ(trayImage(), platform::TrayImage::Combining);
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).text, "Combining");
    menu(ui::commandCaptureToggle);  // on again
  });
  desktop.then([&] {
    EXPECT_EQ(trayImage(), platform::TrayImage::Combining);
    desktop.copyText("three", editor);
  });
  runToEnd();
  EXPECT_EQ(query("select cText from cTbl order by cKey"), (Rows{{"older clip"}, {"one\n\rtwo\n\rthree\n\r"}}));
}

TEST_F(TrayAndCombineTest, CombineCapturesWhileCaptureIsOffSwitchesCaptureOn) {
  desktop.then([&] { post(ui::gadgetCaptureToggle); });
  desktop.then([&] {
    ASSERT_NE(desktop.chainHead, program->mainWindow);
    post(ui::gadgetCombineCaptures);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.chainHead, program->mainWindow);
    EXPECT_EQ(trayImage(), platform::TrayImage::Combining);
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).text, "Combining");
    desktop.copyText("one", editor);
    desktop.copyText("two", editor);
    // The next press of the capture button switches capture off, as the user expects of it.
    post(ui::gadgetCaptureToggle);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).text, "Inactive");
    EXPECT_NE(desktop.chainHead, program->mainWindow);
  });
  runToEnd();
  EXPECT_EQ(query("select cText from cTbl order by cKey"), (Rows{{"older clip"}, {"one\n\rtwo\n\r"}}));
}

}  // namespace
