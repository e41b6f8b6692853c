// The clip list and the content view as the user sees them: the order of the rows, what each row
// opens, copying a clip back to the clipboard, dragging and sorting rows, and the status line.
#include <gtest/gtest.h>

#include "ops/set_commands.h"
#include "ops/text_edit.h"
#include "platform/gadgets.h"
#include "store/sets.h"
#include "support/main_window_script.h"
#include "support/pictures.h"
#include "ui/clip_list.h"
#include "ui/commands.h"
#include "ui/gadgets.h"
#include "ui/tray_menu.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

const platform::Colour black = platform::rgb(0, 0, 0);
const platform::Colour red = platform::rgb(255, 0, 0);
const platform::Colour lightCyan = platform::rgb(117, 236, 253);

class ClipListTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    editor = desktop.addForeignWindow("Notes - Editor", "C:\\Tools\\editor.exe");
  }
  // Clips 1, 2, 3 of the main set; the captions differ in letter case so that a sort must ignore it.
  void seedThree() {
    seed({{"td_clips", "apple pie", "Alpha Source", " "},
          {"td_clips", "Banana split", "Beta", "  call Bob "},
          {"td_clips", "cherry tart", "  Gamma Site  ", " "}});
  }
  // What the Text tab shows after the user selects `row`.
  std::string opened(int row) {
    selectOnly(ui::gadgetClipList, row);
    ui::clickSelectClip(*program);
    const std::string shown = platform::editorText(ui::gadgetTextEditor);
    return shown.substr(0, shown.find('\n'));
  }
  platform::Hwnd editor = 0;
};

TEST_F(ClipListTest, NewestClipIsOnTopAndEachRowOpensItsOwnClip) {
  seedThree();
  desktop.then([&] {
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("cherry tart"), wideCaption("Banana split"), wideCaption("apple pie")}));
    // A note of one blank shows the source; a real note shows the note; both trimmed.
    EXPECT_EQ(listColumn(1), (Texts{"Gamma Site", "call Bob", "Alpha Source"}));
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{0}));
    EXPECT_EQ(opened(0), "cherry tart");
    EXPECT_EQ(opened(2), "apple pie");
  });
  runToEnd();
}

TEST_F(ClipListTest, CapturedClipBecomesTheSelectedTopRow) {
  seedThree();
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 2);
    desktop.copyText("fresh text", editor);
    EXPECT_EQ(listColumn(0)[0], wideCaption("fresh text"));
    EXPECT_EQ(listColumn(1)[0], "Notes - Editor");
    EXPECT_EQ(listColumn(0)[3], wideCaption("apple pie"));
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{0}));
    EXPECT_EQ(gadget(ui::gadgetClipCount).text, "4");
  });
  runToEnd();
}

TEST_F(ClipListTest, DoubleClickCopiesTheClipAndMovesItToTheTopUntilTheSetIsReloaded) {
  seedThree();
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 2);
    post(ui::gadgetClipList, platform::GADGET_LEFT_CLICK);
    post(ui::gadgetClipList, platform::GADGET_DOUBLE_CLICK);
  });
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "apple pie");
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("apple pie"), wideCaption("cherry tart"), wideCaption("Banana split")}));
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{0}));
    EXPECT_EQ(opened(1), "cherry tart");
    ops::LoadActiveSet(*program);
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("cherry tart"), wideCaption("Banana split"), wideCaption("apple pie")}));
  });
  runToEnd();
  // The program's own write was not captured again.
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"3"}}));
}

TEST_F(ClipListTest, ClipToClipboardButtonCopiesTheSelectedClipAndMovesItToTheTop) {
  seedThree();
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetClipToClipboard);
  });
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "Banana split");
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("Banana split"), wideCaption("cherry tart"), wideCaption("apple pie")}));
  });
  runToEnd();
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"3"}}));
}

TEST_F(ClipListTest, DroppedRowLandsWhereItWasDroppedAndEveryRowOpensItsOwnClip) {
  seedThree();
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetClipList, platform::GADGET_DRAG_START);
  });
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 2);
    desktop.postEvent({platform::EVENT_DROP, core::mainWindowNumber, ui::gadgetClipList, 0, 0});
  });
  desktop.then([&] {
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("Banana split"), wideCaption("apple pie"), wideCaption("cherry tart")}));
    EXPECT_EQ(opened(0), "Banana split");
    EXPECT_EQ(opened(1), "apple pie");
    EXPECT_EQ(opened(2), "cherry tart");
    selectOnly(ui::gadgetClipList, 2);
    post(ui::gadgetClipList, platform::GADGET_DRAG_START);
  });
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 0);
    desktop.postEvent({platform::EVENT_DROP, core::mainWindowNumber, ui::gadgetClipList, 0, 0});
  });
  desktop.then([&] {
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("cherry tart"), wideCaption("Banana split"), wideCaption("apple pie")}));
    EXPECT_EQ(opened(0), "cherry tart");
    EXPECT_EQ(opened(2), "apple pie");
  });
  runToEnd();
}

TEST_F(ClipListTest, ColumnClicksSortIgnoringCaseAndAlternateTheDirection) {
  seedThree();
  const std::string title = "Click 'Clip To Clipboard' or 'doubleclick' to copy.";
  desktop.then([&] { post(ui::gadgetClipList, platform::GADGET_COLUMN_CLICK, 0); });
  desktop.then([&] {
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("apple pie"), wideCaption("Banana split"), wideCaption("cherry tart")}));
    EXPECT_EQ(gadget(ui::gadgetClipList).columnTitles, (Texts{title + " (sorted)", "Note/Source "}));
    EXPECT_EQ(opened(0), "apple pie");
    post(ui::gadgetClipList, platform::GADGET_COLUMN_CLICK, 0);
  });
  desktop.then([&] {
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("cherry tart"), wideCaption("Banana split"), wideCaption("apple pie")}));
    post(ui::gadgetClipList, platform::GADGET_COLUMN_CLICK, 1);
  });
  desktop.then([&] {
    // Another column starts ascending again.
    EXPECT_EQ(listColumn(1), (Texts{"Alpha Source", "call Bob", "Gamma Site"}));
    EXPECT_EQ(gadget(ui::gadgetClipList).columnTitles, (Texts{title + " ", "Note/Source (sorted)"}));
    EXPECT_EQ(opened(2), "cherry tart");
  });
  runToEnd();
}

TEST_F(ClipListTest, SortKeepsTheShownClipHighlightedUnderTheWaitCursor) {
  seedThree();
  desktop.then([&] {
    EXPECT_EQ(opened(2), "apple pie");
    post(ui::gadgetClipList, platform::GADGET_COLUMN_CLICK, 1);  // Alpha Source, call Bob, Gamma Site
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.waitCursors, (std::vector<bool>{true, false}));
    EXPECT_EQ(listColumn(1)[0], "Alpha Source");
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{0}));
    post(ui::gadgetClipToClipboard);
  });
  desktop.then([&] { EXPECT_EQ(clipboardText(), "apple pie"); });
  runToEnd();
}

TEST_F(ClipListTest, ClipToClipboardPutsTheClipFirstInTheTrayMenu) {
  seedThree();
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetClipToClipboard);
  });
  desktop.then([&] {
    const auto& tray = desktop.menus[ui::trayMenuNumber];
    const auto first = std::find_if(tray.begin(), tray.end(),
                                    [](const platform::MenuItem& m) { return m.id == ui::commandFirstRecentClip; });
    ASSERT_NE(first, tray.end());
    EXPECT_EQ(first->caption, wideCaption("Banana split").substr(0, 35));
  });
  runToEnd();
}

TEST_F(ClipListTest, OnlyACapturedClipHasItsSourceCutTo76Characters) {
  const std::string longSource = "Long Source " + std::string(88, 's');
  seed({{"td_clips", "loaded", longSource, " "}});
  const platform::Hwnd window = desktop.addForeignWindow(longSource, "C:\\Tools\\long.exe");
  desktop.then([&] { desktop.copyText("captured", window); });
  desktop.then([&] { EXPECT_EQ(listColumn(1), (Texts{longSource.substr(0, 76), longSource})); });
  desktop.then([&] { desktop.copyFormats({{platform::CF_DIB, patternDib(8, 6)}}, window); });  // a picture too
  desktop.then([&] {
    EXPECT_EQ(listColumn(1), (Texts{longSource.substr(0, 76), longSource.substr(0, 76), longSource}));
  });
  runToEnd();
}

TEST_F(ClipListTest, AdditionalInformationHasABlueHeaderOnlyForAClipItCanRead) {
  seedThree();
  const std::string header = "---------------ADDITIONAL CLIP INFORMATION---------------";
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 1);
    ui::clickSelectClip(*program);
    ui::showAdditionalInfo(*program);
    const sim::Gadget& editor = gadget(ui::gadgetTextEditor);
    EXPECT_EQ(editor.text, header + "\n\r\nCLIP SET IS:  td_clips\r\nDATE CAPTURED: 2026-12-01  10:00:00\r\n"
                                    "SOURCE OF CLIP: Beta\r\nNOTE:   call Bob \r\n");
    EXPECT_EQ(editor.colouredText,
              (std::vector<sim::Gadget::ColouredText>{{0, static_cast<int>(header.size()), platform::rgb(0, 0, 255)}}));
    execute("delete from cTbl where cText = 'Banana split'");
    ui::showAdditionalInfo(*program);
    EXPECT_EQ(editor.text, "UNABLE TO OBTAIN CLIP INFORMATION ");
    EXPECT_TRUE(editor.colouredText.empty());
  });
  runToEnd();
}

TEST_F(ClipListTest, TabChangeOnAnEmptySetStillTakesEffect) {
  seed({});
  desktop.then([&] {
    program->view.dragActive = 1;
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabHelp);
    post(ui::gadgetContentPanel, platform::GADGET_TAB_CHANGE, ui::tabHelp);
  });
  desktop.then([&] {
    EXPECT_EQ(program->view.dragActive, 0);
    EXPECT_EQ(program->view.lastTab, ui::tabHelp);
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Empty Set");
    EXPECT_EQ(gadget(ui::gadgetHelpBrowser).address, dataFolder + "Tandrel_.htm");
    // The help page's outer block, with its space above.
    EXPECT_NE(program->view.pageText.find("<body><div style=\"text-align:center;padding:10px 0 0 0\">"),
              std::string::npos);
  });
  runToEnd();
}

TEST_F(ClipListTest, UnreadableClipFailsWithoutTouchingTheClipboardOrDeafeningCapture) {
  seedThree();
  desktop.then([&] {
    execute("delete from cTbl where cText = 'Banana split'");
    desktop.clipboard = {{platform::CF_TEXT, std::string("the user's own text") + '\0'}};
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetClipToClipboard);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(clipboardText(), "the user's own text");
    EXPECT_FALSE(desktop.clipboardOpen);
    EXPECT_EQ(program->capture.ownWrite, 0);
    desktop.copyText("listening", editor);
    EXPECT_EQ(listColumn(0)[0], wideCaption("listening"));
  });
  runToEnd();
}

TEST_F(ClipListTest, ClipsPutBackAreOursEvenWhenAViewerThatJoinedLaterForwardsThemLate) {
  seedThree();
  desktop.then([&] {
    // Joins after Tandrel, so it hears of every change first and passes it on once ownWrite is down.
    desktop.addForeignViewer(true);
    selectOnly(ui::gadgetClipList, 2);
    ui::activateClip(*program);
    desktop.forwardLateChanges();
    ui::pickRecentClip(*program, 2);
    desktop.forwardLateChanges();
    platform::setEditorSelection(ui::gadgetTextEditor, 0, 6);
    ops::copySelection(*program);
    desktop.forwardLateChanges();
    EXPECT_EQ(clipboardText(), "Banana");
    EXPECT_EQ(gadget(ui::gadgetClipCount).text, "3");
    // Another program's copy is still captured, forwarded late or not.
    desktop.copyText("new copy", editor);
    desktop.forwardLateChanges();
    EXPECT_EQ(listColumn(0)[0], wideCaption("new copy"));
  });
  runToEnd();
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"4"}}));
}

TEST_F(ClipListTest, PuttingAClipBackWaitsForAHeldClipboardAndWhenItCannotLeavesTheRow) {
  seedThree();
  desktop.then([&] {
    desktop.clipboard = {{platform::CF_TEXT, std::string("held") + '\0'}};
    desktop.holdClipboard(20);  // released within the tries
    selectOnly(ui::gadgetClipList, 2);
    ui::activateClip(*program);
    EXPECT_EQ(clipboardText(), "apple pie");
    EXPECT_EQ(listColumn(0)[0], wideCaption("apple pie"));

    desktop.holdClipboard(-1);
    selectOnly(ui::gadgetClipList, 2);
    ui::activateClip(*program);
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(listColumn(0)[0], wideCaption("apple pie"));
    EXPECT_EQ(listColumn(0)[2], wideCaption("Banana split"));
    ui::pickRecentClip(*program, 2);
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(listColumn(0)[0], wideCaption("apple pie"));
    desktop.releaseClipboard();
    EXPECT_EQ(clipboardText(), "apple pie");
  });
  runToEnd();
}

TEST_F(ClipListTest, ShowingAClipKeepsTheClipSetsTabOpen) {
  seedThree();
  desktop.then([&] { post(ui::gadgetSetActions); });
  desktop.then([&] {
    ASSERT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabSets);
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetClipList, platform::GADGET_LEFT_CLICK);
    post(ui::gadgetClipList, platform::GADGET_DOUBLE_CLICK);
  });
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "Banana split");
    EXPECT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabSets);
  });
  runToEnd();
}

// A control repaints at each change of its look: a capture changes only what it must, once.
TEST_F(ClipListTest, ACaptureChangesOnlyTheCountAndTheEditorAndEachOnce) {
  seedThree();
  desktop.then([&] {
    const std::vector<int> steady = {ui::gadgetSetActions, ui::gadgetListPaste, ui::gadgetCollectingLabel,
                                     ui::gadgetCombineCaptures, ui::gadgetCaptureToggle, ui::gadgetStatusLine};
    std::vector<int> before;
    for (int g : steady) before.push_back(gadget(g).looks);
    const int countLooks = gadget(ui::gadgetClipCount).looks;
    const int editorLooks = gadget(ui::gadgetTextEditor).looks;
    desktop.copyText("fresh text", editor);
    for (std::size_t i = 0; i < steady.size(); ++i) EXPECT_EQ(gadget(steady[i]).looks, before[i]) << steady[i];
    EXPECT_EQ(gadget(ui::gadgetClipCount).looks, countLooks + 1);
    EXPECT_EQ(gadget(ui::gadgetTextEditor).looks, editorLooks + 1) << "the editor is not emptied on the way";
    EXPECT_EQ(gadget(ui::gadgetTextEditor).text, "fresh text\n\r");
    EXPECT_EQ(gadget(ui::gadgetClipCount).text, "4");
  });
  runToEnd();
}

TEST_F(ClipListTest, StatusLineCountAndButtonsFollowTheSetAndCapture) {
  seedThree();
  desktop.then([&] {
    const sim::Gadget& status = gadget(ui::gadgetStatusLine);
    EXPECT_EQ(status.text, "td_clips");
    EXPECT_EQ(status.textColour, black);
    EXPECT_EQ(status.background, lightCyan);
    EXPECT_EQ(gadget(ui::gadgetActiveSetLabel).text, "Active Set = td_clips");
    EXPECT_EQ(gadget(ui::gadgetClipCount).text, "3");
    EXPECT_TRUE(gadget(ui::gadgetClipToClipboard).enabled);
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).text, "Active");
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).textColour, black);
    post(ui::gadgetCaptureToggle);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).text, "Inactive");
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).textColour, red);
  });
  runToEnd();
}

TEST_F(ClipListTest, EmptySetDisablesClipToClipboard) {
  seed({});
  desktop.then([&] {
    const sim::Gadget& button = gadget(ui::gadgetClipToClipboard);
    EXPECT_FALSE(button.enabled);
    EXPECT_EQ(button.textColour, platform::rgb(168, 168, 168));
    EXPECT_EQ(button.background, platform::rgb(229, 229, 229));
    EXPECT_EQ(gadget(ui::gadgetClipCount).text, "0");
    EXPECT_TRUE(desktop.listRows(ui::gadgetClipList).empty());
  });
  runToEnd();
}

TEST_F(ClipListTest, NarrowCaptionsShortenTheButtonTheTitleAndTheRows) {
  seedThree();
  desktop.measurePixelsPerChar = 8;
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetClipToClipboard).text, "To Clipboard");
    EXPECT_EQ(gadget(ui::gadgetClipList).columnTitles[0], "Click 'To Clipboard' or 'doubleclick' to copy. ");
    EXPECT_EQ(listColumn(0)[0], "cherry tart" + std::string(63 - 11, ' '));
  });
  runToEnd();
}

}  // namespace
