// The options dialog as the user meets it: its boxes and where they are, each click kept at once,
// OK saving the file and handing the main window back, and a main window that waits meanwhile.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "support/main_window_script.h"
#include "ui/commands.h"
#include "ui/options_dialog.h"

using namespace testing_support;

namespace {

const std::string iniPath = dataFolder + "tandrel.ini";
const std::string startupLink =
    "C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\Tandrel.LNK";

class OptionsDialogTest : public MainWindowTest {
 protected:
  void start(const std::string& ini) { seed({{"td_clips", "first clip", "Editor", " "}}, {}, ini); }
  // Inside a step: the user picks Options > Select options.
  void openFromMenu() { desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, ui::commandOptions, 0, 0}); }
  void pressOk() {
    desktop.postEvent({platform::EVENT_GADGET, core::optionsWindowNumber, ui::optionOk, platform::GADGET_LEFT_CLICK, 0});
  }
  sim::Window* dialog() { return desktop.windowOfNumber(core::optionsWindowNumber); }
  sim::Window* mainWindow() { return desktop.window(program->mainWindow); }
  bool ticked(int box) { return gadget(box).checked; }
  std::vector<std::string> iniLines() { return crlfLines(read(iniPath)); }
  bool iniHas(const std::string& line) {
    const auto lines = iniLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  // Where in the journal an entry first appears (the journal's size when it does not).
  std::size_t journalAt(const std::string& entry, std::size_t from = 0) {
    for (std::size_t i = from; i < desktop.journal.size(); ++i)
      if (desktop.journal[i] == entry) return i;
    return desktop.journal.size();
  }
};

TEST_F(OptionsDialogTest, OpensCentredOnTheDisabledMainWindowWithEveryBoxInPlace) {
  start("Version = 2.8\r\nwinPosX = 100\r\nwinPosY = 80\r\nSaveImages = N\r\nUsePNG = Y\r\nListPaste = Y\r\n"
        "Minimized = \r\nSkipPrivate = N\r\n");
  desktop.then([&] {
    program->capture.combineCount = 1;
    openFromMenu();
  });
  desktop.then([&] {
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(program->capture.combineCount, 0);
    EXPECT_EQ(dialog()->title, "Tandrel Options");
    EXPECT_EQ(std::make_tuple(dialog()->width, dialog()->height), std::make_tuple(410, 420));
    EXPECT_EQ(std::make_tuple(dialog()->x, dialog()->y), std::make_tuple(100 + 145, 80 + 52));
    EXPECT_EQ(dialog()->owner, program->mainWindow);
    EXPECT_TRUE(dialog()->visible);
    EXPECT_TRUE(dialog()->topmost);
    EXPECT_FALSE(mainWindow()->enabled);

    using Box = std::tuple<int, std::string, int, int, int, int, bool>;  // number, caption, x, y, width, height, ticked
    std::vector<Box> boxes;
    for (int number = ui::optionStartWithWindows; number <= ui::optionSkipPrivate; ++number) {
      const sim::Gadget& g = gadget(number);
      EXPECT_EQ(g.kind, "checkbox") << number;
      EXPECT_EQ(g.place.window, dialog()->hwnd) << number;
      EXPECT_EQ(g.font, platform::FontId::Dialog) << number;
      boxes.emplace_back(number, g.text, g.place.x, g.place.y, g.place.width, g.place.height, g.checked);
    }
    EXPECT_EQ(boxes, (std::vector<Box>{
                         {1004, "Start Tandrel when Windows Starts", 40, 40, 350, 18, false},
                         {1005, "Minimize at Startup", 40, 65, 300, 18, false},
                         {1006, "Supress Duplicates - Alert on Clipboard Hijacking", 40, 90, 350, 18, true},
                         {1007, "Save Images", 40, 115, 125, 18, false},
                         {1008, "As PNG (default is JPEG)", 170, 115, 220, 18, true},
                         {1009, "Save Rich Text", 40, 140, 220, 18, false},
                         {1010, "Display Tooltips", 40, 165, 250, 18, true},
                         {1011, "Enable Ctl/Alt/V List Paste Shortcut", 40, 190, 350, 18, true},
                         {1012, "Enable Ctl/Alt/T List Paste 'Top' Shortcut", 40, 215, 350, 18, false},
                         {1013, "Enable Ctl/Alt/R Case Reverse Shortcut", 40, 240, 350, 18, false},
                         {1014, "Enable clip capture sound", 40, 265, 350, 18, true},
                         {1015, "Skip data marked private", 40, 290, 350, 18, false},
                     }));
    const sim::Gadget& ok = gadget(ui::optionOk);
    EXPECT_EQ(std::make_tuple(ok.kind, ok.text, ok.place.x, ok.place.y, ok.place.width, ok.place.height, ok.font),
              std::make_tuple(std::string("pushbutton"), std::string("OK"), 170, 393, 44, 20, platform::FontId::Caption));
  });
  runToEnd();
}

TEST_F(OptionsDialogTest, AFlagHoldingAnythingButOneOpensClearAndBecomesZero) {
  start("Version = 2.8\r\n");
  desktop.then([&] {
    program->settings.captureSound = 0x5A17;  // the sound system's handle, not 1
    program->settings.saveHtml = -1;
    openFromMenu();
  });
  desktop.then([&] {
    EXPECT_FALSE(ticked(ui::optionSound));
    EXPECT_FALSE(ticked(ui::optionSaveRichText));
    EXPECT_EQ(program->settings.captureSound, 0);
    EXPECT_EQ(program->settings.saveHtml, 0);
  });
  runToEnd();
}

TEST_F(OptionsDialogTest, EachClickIsKeptAtOnceButTheFileWaitsForOk) {
  start("Version = 2.8\r\nMinimized = Y\r\n");
  desktop.then([&] { openFromMenu(); });
  desktop.then([&] {
    for (int box : {ui::optionMinimized, ui::optionSuppressDuplicates, ui::optionSaveImages, ui::optionUsePng,
                    ui::optionSaveRichText, ui::optionTooltips, ui::optionListPaste, ui::optionTopList,
                    ui::optionReverseCase, ui::optionSound, ui::optionSkipPrivate, ui::optionStartWithWindows})
      desktop.clickCheckBox(box);
  });
  desktop.then([&] {
    const core::Settings& s = program->settings;
    EXPECT_EQ(s.startMinimized, "");  // cleared: empty, not "N"
    EXPECT_EQ(s.suppressDuplicates, "N");
    EXPECT_EQ(s.saveImages, "N");
    EXPECT_EQ(s.usePng, 1);
    EXPECT_EQ(s.imageExtension, ".png");  // the next image is a PNG before OK
    EXPECT_EQ(s.saveHtml, 1);
    EXPECT_EQ(s.showTooltips, 0);
    EXPECT_EQ(s.listPasteShortcut, 1);
    EXPECT_EQ(s.topListShortcut, 1);
    EXPECT_EQ(s.reverseCaseShortcut, 1);
    EXPECT_EQ(s.captureSound, 0);
    EXPECT_EQ(s.skipPrivate, 0);
    EXPECT_EQ(s.startWithWindows, "Y");
    EXPECT_EQ(read(iniPath), "Version = 2.8\r\nMinimized = Y\r\n");
    EXPECT_TRUE(desktop.shortcuts.empty());
    // A second click takes a box back.
    desktop.clickCheckBox(ui::optionUsePng);
    desktop.clickCheckBox(ui::optionMinimized);
  });
  desktop.then([&] {
    EXPECT_EQ(program->settings.usePng, 0);
    EXPECT_EQ(program->settings.imageExtension, ".jpg");
    EXPECT_EQ(program->settings.startMinimized, "Y");
  });
  runToEnd();
}

TEST_F(OptionsDialogTest, OkRebuildsTooltipsThenSavesThenGivesTheMainWindowBack) {
  start("Version = 2.8\r\nMinimized = Y\r\n");
  desktop.then([&] { openFromMenu(); });
  desktop.then([&] {
    desktop.clickCheckBox(ui::optionTooltips);
    desktop.clickCheckBox(ui::optionStartWithWindows);
    // The first three boxes are read again on OK, even when their click never came through.
    platform::setCheckBox(ui::optionMinimized, false);
    platform::setCheckBox(ui::optionSuppressDuplicates, false);
  });
  desktop.then([&] {
    EXPECT_FALSE(desktop.tooltips.empty());  // off only from OK on
    desktop.journal.clear();
    pressOk();
  });
  desktop.then([&] {
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(mainWindow()->enabled);
    EXPECT_EQ(desktop.active, program->mainWindow);
    EXPECT_TRUE(desktop.tooltips.empty());
    EXPECT_TRUE(iniHas("Minimized = "));
    EXPECT_TRUE(iniHas("SupressDuplicates = N"));
    EXPECT_TRUE(iniHas("DisplayTooltips = N"));
    EXPECT_TRUE(iniHas("StartWithWindows = Y"));
    ASSERT_EQ(desktop.shortcuts.size(), 1u);
    EXPECT_EQ(desktop.shortcuts[0].linkPath, startupLink);

    const std::size_t removed = journalAt("tooltips removed");
    const std::size_t shortcut = journalAt("shortcut " + startupLink);
    const std::size_t saved = journalAt("rename " + iniPath + ".new to " + iniPath);
    const std::size_t enabled = journalAt("enable 500 1");
    const std::size_t closed = journalAt("close 1000");
    const std::size_t refreshed = journalAt("rows " + std::to_string(ui::gadgetClipList), enabled);
    const std::size_t end = desktop.journal.size();
    EXPECT_LT(removed, shortcut);
    EXPECT_LT(shortcut, saved);
    EXPECT_LT(saved, enabled);
    EXPECT_LT(enabled, closed);
    EXPECT_LT(closed, refreshed);
    EXPECT_LT(refreshed, end);
  });
  runToEnd();
}

TEST_F(OptionsDialogTest, TooltipsTurnedOnComeBackOncePerControl) {
  start("Version = 2.8\r\nDisplayTooltips = N\r\n");
  desktop.then([&] { openFromMenu(); });
  desktop.then([&] {
    EXPECT_TRUE(desktop.tooltips.empty());
    desktop.clickCheckBox(ui::optionTooltips);
    pressOk();
  });
  desktop.then([&] {
    ASSERT_FALSE(desktop.tooltips.empty());
    std::vector<int> described;
    for (const auto& tip : desktop.tooltips) described.push_back(tip.gadget);
    std::sort(described.begin(), described.end());
    EXPECT_EQ(std::adjacent_find(described.begin(), described.end()), described.end());
  });
  runToEnd();
}

TEST_F(OptionsDialogTest, OneDialogAtATimeAndOnlyOkLeavesIt) {
  start("Version = 2.8\r\n");
  desktop.then([&] { openFromMenu(); });
  desktop.then([&] {
    desktop.clickCheckBox(ui::optionSaveImages);
    openFromMenu();
    // The close box (Alt+F4 under Windows) and a right click do nothing to it.
    desktop.postEvent({platform::EVENT_CLOSE, core::optionsWindowNumber, 0, 0, 0});
    desktop.postEvent({platform::EVENT_RBUTTON, core::optionsWindowNumber, 0, 0, 0});
  });
  desktop.then([&] {
    int open = 0;
    for (const auto& [hwnd, w] : desktop.windows) open += w.number == core::optionsWindowNumber ? 1 : 0;
    EXPECT_EQ(open, 1);
    EXPECT_FALSE(ticked(ui::optionSaveImages));  // not rebuilt from the settings
    EXPECT_EQ(desktop.foreground, dialog()->hwnd);
    EXPECT_FALSE(mainWindow()->enabled);
    pressOk();
    // A box event still queued behind OK finds the dialog gone and changes nothing.
    desktop.postEvent({platform::EVENT_GADGET, core::optionsWindowNumber, ui::optionSaveImages, 0, 0});
    pressOk();
  });
  desktop.then([&] {
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(program->settings.saveImages, "N");
    EXPECT_TRUE(mainWindow()->enabled);
    EXPECT_EQ(std::count(desktop.journal.begin(), desktop.journal.end(), "close 1000"), 1);
    // It opens again, from the settings as they are now.
    openFromMenu();
  });
  desktop.then([&] {
    ASSERT_NE(dialog(), nullptr);
    EXPECT_FALSE(ticked(ui::optionSaveImages));
    EXPECT_FALSE(mainWindow()->enabled);
  });
  runToEnd();
}

TEST_F(OptionsDialogTest, ClearingMinimizeAtStartupShowsTheWindowAtTheNextStart) {
  start("Version = 2.8\r\nMinimized = Y\r\n");
  desktop.then([&] {
    EXPECT_FALSE(mainWindow()->visible);
    openFromMenu();
  });
  desktop.then([&] {
    EXPECT_TRUE(ticked(ui::optionMinimized));
    desktop.clickCheckBox(ui::optionMinimized);
    pressOk();
  });
  runToEnd();
  EXPECT_TRUE(iniHas("Minimized = "));

  program = std::make_unique<core::Program>();
  desktop.then([&] { EXPECT_TRUE(mainWindow()->visible); });
  runToEnd();
}

TEST_F(OptionsDialogTest, SkipPrivateIsOnUnlessTheFileSaysN) {
  start("Version = 2.8\r\n");
  desktop.then([&] { EXPECT_EQ(program->settings.skipPrivate, 1); });
  runToEnd();
  EXPECT_TRUE(iniHas("SkipPrivate = Y"));

  write(iniPath, "Version = 2.8\r\nskipprivate = N\r\n");
  program = std::make_unique<core::Program>();
  desktop.then([&] { EXPECT_EQ(program->settings.skipPrivate, 0); });
  runToEnd();
  EXPECT_TRUE(iniHas("SkipPrivate = N"));
}

}  // namespace
