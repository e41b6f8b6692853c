// The quick paste window over the whole program: opened by the chord's request or a menu entry,
// filtered as the user types, and the choice pasted into the window that was in front.
#include <gtest/gtest.h>

#include "core/program.h"
#include "ops/quick_paste.h"
#include "platform/input.h"
#include "support/main_window_script.h"
#include "ui/commands.h"
#include "ui/quick_paste_window.h"

using namespace testing_support;

namespace {

class QuickPasteTest : public MainWindowTest {
 protected:
  void ask(platform::Hwnd target, bool fromBridge = false) {
    program->quickPasteAsk = core::QuickPasteAsk{true, target, fromBridge};
  }
  void type(const std::string& filter) {
    platform::setFilterBoxText(ui::gadgetQuickFilter, filter);
    desktop.postEvent({platform::EVENT_GADGET, ui::quickPasteWindowNumber, ui::gadgetQuickFilter,
                       platform::GADGET_TEXT_CHANGE, 0});
  }
  void key(int virtualKey, std::intptr_t modifiers = 0) {
    desktop.postEvent({platform::EVENT_GADGET, ui::quickPasteWindowNumber, ui::gadgetQuickFilter, platform::GADGET_KEY,
                       virtualKey | modifiers});
  }
  std::vector<std::string> matches() {
    std::vector<std::string> out;
    for (const auto& row : desktop.listRows(ui::gadgetQuickList)) out.push_back(row[0] + "|" + row[1]);
    return out;
  }
  std::string status() { return desktop.gadgets[ui::gadgetQuickStatus].text; }
  bool open() { return desktop.windowOfNumber(ui::quickPasteWindowNumber) != nullptr; }
  std::string clipCount() { return query("select count(*) from cTbl where cSet <> 'td_trash'")[0][0]; }
};

TEST_F(QuickPasteTest, ChordOpensFiltersEverySetAndEnterPastesIntoTheWindowInFrontWithoutStoringAClip) {
  seed({{"td_clips", "alpha beta one", "Editor", " "},
        {"work", "beta gamma", "Shell", "a note"},
        {"td_trash", "alpha beta thrown away", "Editor", " "},
        {"td_clips", "Gr\xfc\xdf" "e aus ?\xf3" "d?", "Mail", " "}},
       {"work"});
  // The exact text beside its ANSI form, as a capture of it leaves them.
  execute("create table cExact (cKey INTEGER PRIMARY KEY, eText text, eSource text, eFingerprint text);"
          "insert into cExact values (4, '" + std::string("Grüße aus Łódź") + "', null, '" +
          store::fingerprintOf("Gr\xfc\xdf" "e aus ?\xf3" "d?", "Mail") + "')");
  platform::Hwnd editor = 0;
  std::string stored;
  desktop.then([&] {
    editor = desktop.addForeignWindow("Notes - Editor", "C:\\Windows\\notepad.exe");
    desktop.foreground = editor;
    stored = clipCount();
    ask(editor);
  });
  desktop.then([&] {
    ASSERT_TRUE(open());
    EXPECT_EQ(desktop.foreground, platform::windowOfNumber(ui::quickPasteWindowNumber));
    EXPECT_EQ(desktop.focusGadget, ui::gadgetQuickFilter);
    // Every set but the trash, newest first.
    EXPECT_EQ(matches(), (std::vector<std::string>{"Grüße aus Łódź|td_clips", "beta gamma|work",
                                                   "alpha beta one|td_clips"}));
    EXPECT_EQ(status(), "3 clips");
    type("ŁÓDŹ");
  });
  desktop.then([&] {
    EXPECT_EQ(matches(), (std::vector<std::string>{"Grüße aus Łódź|td_clips"}));
    type("BETA alpha");  // both pieces, in any order, any case
  });
  desktop.then([&] {
    EXPECT_EQ(matches(), (std::vector<std::string>{"alpha beta one|td_clips"}));
    EXPECT_EQ(status(), "1 clip");
    type("nowhere");
  });
  desktop.then([&] {
    EXPECT_TRUE(matches().empty());
    EXPECT_EQ(status(), "No clip matches the filter");
    type("beta");
  });
  desktop.then([&] { key(platform::VK_DOWN); });
  desktop.then([&] { key(platform::VK_RETURN); });
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "alpha beta one");
    EXPECT_EQ(desktop.pastesSent, 1);
    EXPECT_EQ(desktop.foreground, editor);
    EXPECT_FALSE(open());
    EXPECT_EQ(clipCount(), stored);
    // The clip list and its set are as they were.
    EXPECT_EQ(listColumn(0).front(), wideCaption("Grüße aus Łódź"));
    // From the menu bar nothing was in front: Enter only copies, and says so.
    desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, ui::commandQuickPaste, 0, 0});
  });
  desktop.then([&] { key(platform::VK_RETURN); });
  desktop.then([&] {
    const std::string exact = core::utf16le("Grüße aus Łódź");
    EXPECT_EQ(desktop.clipboard[platform::CF_UNICODETEXT].substr(0, exact.size()), exact);
    EXPECT_EQ(desktop.pastesSent, 1);
    EXPECT_EQ(status(), "Copied: press Ctrl+V where you want it");
    key(platform::VK_ESCAPE);
  });
  desktop.then([&] {
    EXPECT_FALSE(open());
    // A window of higher rights refuses our keys: the window comes back and says so.
    desktop.refuseInput = true;
    desktop.foreground = editor;
    ask(editor);
  });
  desktop.then([&] { key(platform::VK_RETURN); });
  desktop.then([&] {
    ASSERT_TRUE(open());
    EXPECT_EQ(status(), "That window does not accept keys from Tandrel (it runs with higher rights). "
                        "Copied: press Ctrl+V where you want it");
    desktop.postEvent({platform::EVENT_DEACTIVATE, ui::quickPasteWindowNumber, 0, 0, 0});
    desktop.foreground = editor;  // a click elsewhere
  });
  desktop.then([&] { EXPECT_FALSE(open()); });
  runToEnd();
  EXPECT_EQ(clipCount(), stored);
}

}  // namespace
