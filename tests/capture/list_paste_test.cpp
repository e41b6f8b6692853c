// List Paste and the shortcut keys as the user meets them: keys pressed and released between
// passes of the main loop (each one an event of the keyboard hook), the clipboard another program
// pastes from, the list's selection and the List Paste button.
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "capture/list_paste.h"
#include "capture/watcher.h"
#include "ops/quick_paste.h"
#include "platform/keyboard.h"
#include "support/main_window_script.h"
#include "ui/commands.h"
#include "ui/guards.h"

using namespace testing_support;

namespace {

using platform::VK_CONTROL;
using platform::VK_H;
using platform::VK_MENU;
using platform::VK_RMENU;
using platform::VK_R;
using platform::VK_T;
using platform::VK_V;

const platform::Colour black = platform::rgb(0, 0, 0);
const platform::Colour red = platform::rgb(255, 0, 0);
const platform::Colour lightCyan = platform::rgb(117, 236, 253);
const platform::Colour listBackground = platform::rgb(224, 255, 255);

const std::string allShortcuts = "Version = 2.8\r\nListPaste = Y\r\nTopList = Y\r\nReverseCase = Y\r\n";

class ListPasteTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    editor = desktop.addForeignWindow("Letter - Writer", "C:\\Tools\\writer.exe");
  }
  // Clips A, B, a picture and C, stored in that order: the list shows C, the picture, B, A.
  void seedWithPicture(const std::string& settings) {
    seed({{"td_clips", "Alpha", "s", " "}, {"td_clips", "Bravo", "s", " "}, {"td_clips", "picture", "s", " "},
          {"td_clips", "Charlie", "s", " "}},
         {}, settings);
    execute("update cTbl set cImageSW = 'Y' where cText = 'picture'");
  }
  // Script: the user presses these keys in this order and holds them (one pass of the loop).
  void thenPress(std::initializer_list<int> keys) {
    const std::vector<int> down(keys);
    desktop.then([this, down] {
      for (int key : down) desktop.pressKey(key);
    });
  }
  // Script: every key is let go.
  void thenReleaseAll() {
    desktop.then([this] { releaseAll(); });
  }
  void releaseAll(std::uintptr_t mark = 0) {
    for (auto& [key, state] : desktop.keys)
      if (state.down) desktop.releaseKey(key, mark);
  }
  // Script: a whole shortcut, held over one pass and let go in the next.
  void thenType(std::initializer_list<int> keys) {
    thenPress(keys);
    thenReleaseAll();
  }
  // Another program's clipboard content, put there without telling the viewers.
  void clipboardHolds(const std::string& text) { desktop.clipboard = {{platform::CF_TEXT, text + '\0'}}; }
  int selectedRow() {
    const auto rows = platform::listSelectedRows(ui::gadgetClipList);
    return rows.size() == 1 ? rows.front() : -1;
  }
  sim::Gadget& button() { return gadget(ui::gadgetListPaste); }
  std::string clipCount() { return query("select count(*) from cTbl")[0][0]; }

  platform::Hwnd editor = 0;
};

TEST_F(ListPasteTest, EachCtrlVPutsTheNextTextRowOnTheClipboardWhenVIsReleasedSkippingPicturesAndWrapping) {
  seedWithPicture(allShortcuts);
  std::string countBefore;
  desktop.then([&] {
    countBefore = clipCount();
    clipboardHolds("Charlie");  // what the first Ctrl+V pastes
  });
  thenType({VK_CONTROL, VK_MENU, VK_V});
  desktop.then([&] {
    EXPECT_EQ(program->capture.listPasteMode, 1);
    EXPECT_EQ(program->capture.capturing, 0);
    EXPECT_EQ(button().text, "List Paste On");
    EXPECT_EQ(button().textColour, red);
    EXPECT_EQ(button().background, listBackground);
  });
  std::vector<std::string> clipboards;
  std::vector<int> rows;
  for (int paste = 0; paste < 4; ++paste) {
    thenPress({VK_CONTROL, VK_V});
    // The other program pastes while the keys are down: the clip must still be there.
    desktop.then([&] { EXPECT_EQ(clipboardText(), clipboards.empty() ? "Charlie" : clipboards.back()); });
    thenReleaseAll();
    desktop.then([&] {
      clipboards.push_back(clipboardText());
      rows.push_back(selectedRow());
    });
  }
  runToEnd();
  EXPECT_EQ(clipboards, (std::vector<std::string>{"Bravo", "Alpha", "Charlie", "Bravo"}));
  EXPECT_EQ(rows, (std::vector<int>{2, 3, 0, 2}));
  EXPECT_EQ(clipCount(), countBefore);
}

TEST_F(ListPasteTest, ToggleOffBringsCaptureBackAndTheNextCopyIsStored) {
  seedWithPicture(allShortcuts);
  thenType({VK_CONTROL, VK_MENU, VK_V});
  thenType({VK_CONTROL, VK_V});
  thenType({VK_CONTROL, VK_MENU, VK_V});
  desktop.then([&] {
    EXPECT_EQ(program->capture.listPasteMode, 0);
    EXPECT_EQ(program->capture.capturing, 1);
    EXPECT_EQ(button().text, "Select List Paste");
    EXPECT_EQ(button().textColour, black);
    EXPECT_EQ(button().background, lightCyan);
    desktop.copyText("Delta", editor);
  });
  runToEnd();
  EXPECT_EQ(query("select cSource from cTbl where cText = 'Delta'"), (Rows{{"Letter - Writer"}}));
}

TEST_F(ListPasteTest, TheButtonRefusesAPictureAndASecondStart) {
  seedWithPicture("Version = 2.8\r\n");
  desktop.then([&] {
    // The picture row is current.
    selectOnly(ui::gadgetClipList, 1);
    program->view.currentRow = 1;
    post(ui::gadgetListPaste);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(program->capture.listPasteMode, 0);
    EXPECT_EQ(program->capture.capturing, 1);
    program->view.currentRow = 0;
    post(ui::gadgetListPaste);
  });
  desktop.then([&] {
    EXPECT_EQ(program->capture.listPasteMode, 1);
    EXPECT_FALSE(ui::requireTextClip(*program));  // a second start is refused
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(program->capture.listPasteMode, 1);
  });
  runToEnd();
}

TEST_F(ListPasteTest, TheButtonRefusesAnEmptyList) {
  seed({});
  desktop.then([&] { post(ui::gadgetListPaste); });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(program->capture.listPasteMode, 0);
    EXPECT_EQ(program->capture.capturing, 1);
  });
  runToEnd();
}

TEST_F(ListPasteTest, CtrlAltVWhileCaptureIsOffSwitchesCaptureOnAndLeavesListPasteOff) {
  seedWithPicture(allShortcuts);
  desktop.then([&] { capture::toggleCapture(*program); });
  thenType({VK_CONTROL, VK_MENU, VK_V});
  desktop.then([&] {
    EXPECT_EQ(program->capture.capturing, 1);
    EXPECT_EQ(program->capture.listPasteMode, 0);
    EXPECT_EQ(button().text, "Select List Paste");
  });
  runToEnd();
}

TEST_F(ListPasteTest, CtrlVDoesNothingWhileListPasteIsOff) {
  seedWithPicture("Version = 2.8\r\nListPaste = Y\r\n");
  desktop.then([&] { clipboardHolds("outside"); });
  thenType({VK_CONTROL, VK_V});
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "outside");
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_TRUE(desktop.keysWatched);  // Ctrl+Alt+V can fire
    EXPECT_EQ(desktop.lastWait, platform::waitForever);
  });
  runToEnd();
}

TEST_F(ListPasteTest, WhileNoShortcutCanFireTheLoopSleepsAndReadsNoKey) {
  seedWithPicture("Version = 2.8\r\nQuickPaste = N\r\n");
  thenType({VK_CONTROL, VK_MENU, VK_V});
  desktop.then([&] {
    EXPECT_EQ(desktop.lastWait, platform::waitForever);
    EXPECT_FALSE(desktop.keysWatched);
    EXPECT_TRUE(desktop.keyEvents.empty());
    // Another program polling these keys still finds their presses.
    EXPECT_TRUE(desktop.keys[VK_V].pressed);
    EXPECT_TRUE(desktop.keys[VK_CONTROL].pressed);
    EXPECT_EQ(program->capture.listPasteMode, 0);
    post(ui::gadgetListPaste);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.lastWait, platform::waitForever);
    EXPECT_TRUE(desktop.keysWatched);
    EXPECT_EQ(program->capture.listPasteMode, 1);
    post(ui::gadgetListPaste);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.lastWait, platform::waitForever);
    EXPECT_FALSE(desktop.keysWatched);
  });
  runToEnd();
}

TEST_F(ListPasteTest, ModifiersHeldLongBeforeTheTriggerCount) {
  seedWithPicture(allShortcuts);
  thenPress({VK_CONTROL, VK_MENU});
  desktop.then([] {});  // a few passes with Ctrl and Alt held: their pressed bits are long gone
  desktop.then([] {});
  thenPress({VK_V});
  thenReleaseAll();
  desktop.then([&] { EXPECT_EQ(program->capture.listPasteMode, 1); });
  runToEnd();
}

TEST_F(ListPasteTest, ATriggerWhosePressedBitAnotherProgramTookStillFires) {
  seedWithPicture(allShortcuts);
  thenType({VK_CONTROL, VK_MENU, VK_V});
  desktop.then([&] {
    desktop.pressKey(VK_CONTROL);
    desktop.pressKey(VK_V);
    desktop.keys[VK_V].pressed = false;  // another program polled V first
  });
  thenReleaseAll();
  desktop.then([&] { EXPECT_EQ(clipboardText(), "Bravo"); });
  runToEnd();
}

TEST_F(ListPasteTest, AKeyHeldWhenListPasteComesOnIsNoPress) {
  seedWithPicture("Version = 2.8\r\n");
  desktop.then([&] {
    clipboardHolds("outside");
    desktop.pressKey(VK_CONTROL);
    desktop.pressKey(VK_V);
    post(ui::gadgetListPaste);
  });
  desktop.then([] {});  // Ctrl+V still held after List Paste came on
  thenReleaseAll();
  desktop.then([&] {
    EXPECT_EQ(program->capture.listPasteMode, 1);
    EXPECT_EQ(clipboardText(), "outside");
    EXPECT_EQ(selectedRow(), 0);
  });
  thenType({VK_CONTROL, VK_V});
  desktop.then([&] { EXPECT_EQ(clipboardText(), "Bravo"); });
  runToEnd();
}

TEST_F(ListPasteTest, TheStepWaitsForTheClipboardAndNeverMovesWithoutIt) {
  seedWithPicture(allShortcuts);
  thenType({VK_CONTROL, VK_MENU, VK_V});
  desktop.then([&] { clipboardHolds("Charlie"); });
  thenPress({VK_CONTROL, VK_V});
  desktop.then([&] {
    desktop.holdClipboard(30);  // the other program still reads what it pastes
    desktop.releaseKey(VK_V);
  });
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "Bravo");
    EXPECT_EQ(selectedRow(), 2);
    desktop.holdClipboard(-1, editor);
  });
  thenType({VK_CONTROL, VK_V});
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "Bravo");
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(program->capture.ownWrite, 0);
    desktop.releaseClipboard();
  });
  thenType({VK_CONTROL, VK_V});
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "Alpha");
    EXPECT_EQ(selectedRow(), 3);
  });
  runToEnd();
}

TEST_F(ListPasteTest, StepWithNoTextRowFailsAndLeavesTheClipboard) {
  seed({{"td_clips", "one picture", "s", " "}, {"td_clips", "another picture", "s", " "}}, {}, allShortcuts);
  execute("update cTbl set cImageSW = 'Y'");
  desktop.then([&] {
    clipboardHolds("outside");
    program->capture.listPasteMode = 1;
    EXPECT_EQ(capture::listPasteStep(*program), 0);
    EXPECT_EQ(clipboardText(), "outside");
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    program->capture.listPasteMode = 0;
  });
  thenType({VK_CONTROL, VK_MENU, VK_T});
  desktop.then([&] {
    EXPECT_EQ(program->capture.listPasteMode, 0);
    EXPECT_EQ(clipboardText(), "outside");
  });
  runToEnd();
}

TEST_F(ListPasteTest, CtrlAltTStartsFromTheFirstTextRowAndKeepsTheSetting) {
  seed({{"td_clips", "Alpha", "s", " "}, {"td_clips", "Bravo", "s", " "}, {"td_clips", "picture", "s", " "}}, {},
       "Version = 2.8\r\nTopList = Y\r\n");
  execute("update cTbl set cImageSW = 'Y' where cText = 'picture'");
  desktop.then([&] { selectOnly(ui::gadgetClipList, 2); });
  thenType({VK_CONTROL, VK_MENU, VK_T});
  desktop.then([&] {
    EXPECT_EQ(program->capture.listPasteMode, 1);
    EXPECT_EQ(program->capture.capturing, 0);
    EXPECT_EQ(clipboardText(), "Bravo");
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(button().text, "List Paste On");
  });
  thenType({VK_CONTROL, VK_V});  // the setting it turned on lets Ctrl+V step
  desktop.then([&] { EXPECT_EQ(clipboardText(), "Alpha"); });
  runToEnd();
  EXPECT_NE(read(dataFolder + "tandrel.ini").find("ListPaste = Y"), std::string::npos);
}

TEST_F(ListPasteTest, CtrlAltRCopiesTheTopClipWithItsCaseReversedAsANewClip) {
  seed({{"td_clips", "older", "s", " "}, {"td_clips", "Hello World 42 \xe9!", "s", " "}}, {},
       "Version = 2.8\r\nReverseCase = Y\r\n");
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 1);
    platform::setForegroundWindow(editor);
  });
  thenType({VK_CONTROL, VK_MENU, VK_R});
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "hELLO wORLD 42 \xe9!");
    const std::string top = listColumn(0)[0];
    EXPECT_EQ(top.substr(0, top.find_last_not_of(' ') + 1), "hELLO wORLD 42 \xc3\xa9!");  // lists show UTF-8
  });
  runToEnd();
  EXPECT_EQ(query("select cSource from cTbl where cText = 'hELLO wORLD 42 \xe9!'"), (Rows{{"Letter - Writer"}}));
}

TEST_F(ListPasteTest, CtrlAltROnAPictureFailsAndShortcutsWhoseSettingIsOffDoNothing) {
  seed({{"td_clips", "Alpha", "s", " "}, {"td_clips", "picture", "s", " "}}, {}, "Version = 2.8\r\nReverseCase = Y\r\n");
  execute("update cTbl set cImageSW = 'Y' where cText = 'picture'");
  std::string count;
  desktop.then([&] {
    count = clipCount();
    clipboardHolds("outside");
  });
  thenType({VK_CONTROL, VK_MENU, VK_R});
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(clipboardText(), "outside");
    program->settings.reverseCaseShortcut = 0;
    program->view.currentRow = 1;
    selectOnly(ui::gadgetClipList, 1);
  });
  thenType({VK_CONTROL, VK_MENU, VK_T});  // TopList is off
  thenType({VK_CONTROL, VK_MENU, VK_R});  // and now ReverseCase too
  thenType({VK_CONTROL, VK_MENU, VK_V});  // and ListPaste
  desktop.then([&] {
    EXPECT_EQ(program->capture.listPasteMode, 0);
    EXPECT_EQ(clipboardText(), "outside");
    EXPECT_EQ(selectedRow(), 1);
  });
  runToEnd();
  EXPECT_EQ(clipCount(), count);
}

// The quick paste chord fires with the left Alt only, and not once its setting is off; the keys
// Tandrel types itself are never a shortcut; Ctrl+V pressed again and again while the program was
// busy steps once; a shortcut pressed while a message box is up is served once it is answered.
TEST_F(ListPasteTest, ChordOwnKeysBusyPressesAndPressesDuringAMessageBox) {
  seed({{"td_clips", "Alpha", "s", " "}, {"td_clips", "Bravo", "s", " "}, {"td_clips", "Charlie", "httpd.exe", " "}},
       {}, "Version = 2.8\r\nListPaste = Y\r\n");
  desktop.then([&] { platform::setForegroundWindow(editor); });
  thenType({VK_CONTROL, VK_MENU, VK_H});
  // The chord opens the quick paste window for the window that was in front.
  desktop.then([&] {
    EXPECT_NE(program->quickPaste.window, 0u);
    EXPECT_EQ(program->quickPaste.target, editor);
    EXPECT_FALSE(program->quickPaste.fromBridge);
    ops::closeQuickPaste(*program);
    platform::setForegroundWindow(editor);
  });
  thenType({VK_CONTROL, VK_RMENU, VK_H});  // AltGr+H types a character on many layouts
  desktop.then([&] {
    EXPECT_EQ(program->quickPaste.window, 0u);
    program->settings.quickPasteShortcut = 0;
  });
  thenType({VK_CONTROL, VK_MENU, VK_H});
  desktop.then([&] {
    EXPECT_EQ(program->quickPaste.window, 0u);
    for (int key : {VK_CONTROL, VK_MENU, VK_V}) desktop.pressKey(key, platform::ownInputMark);
    releaseAll(platform::ownInputMark);
  });
  desktop.then([&] { EXPECT_EQ(program->capture.listPasteMode, 0); });
  thenType({VK_CONTROL, VK_MENU, VK_V});
  desktop.then([&] {
    EXPECT_EQ(program->capture.listPasteMode, 1);
    clipboardHolds("Charlie");
    desktop.pressKey(VK_CONTROL);
    for (int paste = 0; paste < 3; ++paste) desktop.tapKey(VK_V);
  });
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "Bravo");
    EXPECT_EQ(selectedRow(), 1);
    releaseAll();
    desktop.answerer = [&](const sim::MessageBoxRecord&) {
      desktop.pressKey(VK_CONTROL);
      desktop.pressKey(VK_MENU);
      desktop.tapKey(VK_V);
      releaseAll();
      EXPECT_EQ(program->capture.listPasteMode, 1);
      return platform::IDOK;
    };
    selectOnly(ui::gadgetClipList, 0);
    program->view.currentRow = 0;
    desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, ui::commandOpenSource, 0, 0});
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(program->capture.listPasteMode, 0);
  });
  runToEnd();
}

TEST_F(ListPasteTest, ReverseCaseChangesOnlyAsciiLetters) {
  EXPECT_EQ(capture::reverseCase("aZ09 _\xe9\xc9[]`{"), "Az09 _\xe9\xc9[]`{");
  EXPECT_EQ(capture::reverseCase(""), "");
}

}  // namespace
