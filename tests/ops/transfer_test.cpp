// Moving, duplicating, trashing and combining clips, and the target set, as a user drives them:
// through the buttons, the set list and drag and drop. After every test no clip names a set that
// the Sets table lacks.
#include <gtest/gtest.h>

#include "core/image_codec.h"
#include "ops/database_commands.h"
#include "platform/keyboard.h"
#include "support/main_window_script.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

std::string hexOf(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

class TransferTest : public MainWindowTest {
 protected:
  void TearDown() override {
    if (exists(dataFolder + "tdclips.db"))
      EXPECT_EQ(query("select count(*) from cTbl where cSet not in (select setName from Sets)"), (Rows{{"0"}}));
    MainWindowTest::TearDown();
  }
  // A1 first, B2 after: B2 is the top row.
  void seedTwo(const std::vector<std::string>& sets = {"Work"}) {
    seed({{"td_clips", "A1", "Alpha", " "}, {"td_clips", "B2", "Beta", " "}}, sets);
  }
  void selectAllClips() {
    platform::deselectListRows(ui::gadgetClipList);
    for (int r = 0; r < platform::listRowCount(ui::gadgetClipList); ++r) platform::selectListRow(ui::gadgetClipList, r);
  }
  // Inside a step: opens `set` as the target through the Clip Sets tab.
  void openTarget(const std::string& set) {
    selectOnly(ui::gadgetSetList, setRow(set));
    post(ui::gadgetOpenTargetSet);
  }
  Rows clipsOf(const std::string& set) {
    return query("select cText from cTbl where cSet = '" + store::escapeQuotes(set) + "' order by cKey");
  }
  std::string status() { return gadget(ui::gadgetStatusLine).text; }
  void drop(bool control) {
    if (control) desktop.pressKey(platform::VK_CONTROL);
    // The shortcut poll has already taken the pressed-since bit; the key is still down.
    platform::getAsyncKeyState(platform::VK_CONTROL);
    desktop.postEvent({platform::EVENT_DROP, core::mainWindowNumber, ui::gadgetSetList, 0, 0});
  }
};

TEST_F(TransferTest, TrashThenMoveToTargetSendsTheClipToTheOpenTargetNotTheTrash) {
  seedTwo();
  desktop.then([&] { openTarget("Work"); });
  desktop.then([&] {
    EXPECT_EQ(status(), "Target Opened");
    EXPECT_EQ(gadget(ui::gadgetTargetLabel).text, " Target = Work");
    EXPECT_EQ(gadget(ui::gadgetOpenTargetSet).text, "Close Target Set");
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetMoveToTrash);
  });
  desktop.then([&] {
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("A1")}));
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetMoveToTarget);
  });
  desktop.then([&] {
    EXPECT_EQ(status(), "Action Complete");
    EXPECT_TRUE(desktop.listRows(ui::gadgetClipList).empty());
  });
  runToEnd();
  EXPECT_EQ(clipsOf("Work"), (Rows{{"A1"}}));
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"1"}}));
}

TEST_F(TransferTest, PendingPickDuplicatesIntoTheClickedSetKeepingDateSourceAndNote) {
  seed({{"td_clips", "A1", "Alpha", "first note"}, {"td_clips", "B2", "Beta", " "}}, {"Work"});
  desktop.then([&] {
    selectAllClips();
    post(ui::gadgetDupInTarget);
  });
  desktop.then([&] {
    EXPECT_EQ(status(), "Select Target");
    EXPECT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabSets);
    selectOnly(ui::gadgetSetList, setRow("td_clips"));
    post(ui::gadgetSetList);
  });
  desktop.answerNext(platform::IDOK);  // "Target set may not be the active set."
  desktop.then([&] {
    EXPECT_EQ(desktop.messageBoxes.back().text, "Target set may not be the active set.");
    selectOnly(ui::gadgetSetList, setRow("Work"));
    post(ui::gadgetSetList);
  });
  desktop.then([&] { EXPECT_EQ(status(), "Action Complete"); });
  runToEnd();
  EXPECT_EQ(query("select cDate, cSource, cNote, cText from cTbl where cSet = 'Work' order by cText"),
            (Rows{{"2026-12-01  10:00:00", "Alpha", "first note", "A1"}, {"2026-12-01  10:00:00", "Beta", " ", "B2"}}));
  EXPECT_EQ(clipsOf("td_clips"), (Rows{{"A1"}, {"B2"}}));
}

TEST_F(TransferTest, AnyOtherTransferEndsAPendingPickSoTheNextSetClickMovesNothing) {
  seed({{"td_clips", "A1", "Alpha", " "}, {"td_clips", "B2", "Beta", " "}, {"td_clips", "C3", "Gamma", " "}}, {"Work"});
  const auto armPick = [&] {
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetMoveToTarget);
  };
  const auto clickWork = [&] {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
    selectOnly(ui::gadgetSetList, setRow("Work"));
    post(ui::gadgetSetList);
  };
  desktop.then(armPick);
  desktop.then([&] {
    ASSERT_EQ(status(), "Select Target");
    selectAllClips();
    post(ui::gadgetCombineSelected);
  });
  desktop.then([&] {
    selectAllClips();
    clickWork();
  });
  desktop.then([&] {
    EXPECT_EQ(query("select count(*) from cTbl where cSource = 'Tandrel Combined'"), (Rows{{"1"}}));
    armPick();
  });
  desktop.then([&] {
    ASSERT_EQ(status(), "Select Target");
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetMoveToTrash);
  });
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 0);
    clickWork();
  });
  desktop.then([&] {
    EXPECT_EQ(clipsOf("td_trash").size(), 1u);
    EXPECT_TRUE(clipsOf("Work").empty());
  });
  runToEnd();
  EXPECT_EQ(query("select count(*) from cTbl where cSet = 'td_clips'"), (Rows{{"3"}}));
}

TEST_F(TransferTest, DuplicatesKeepTheirOwnRichTextAndImageExactly) {
  const auto png = core::encodeImage(core::makeImage(5, 4, platform::rgb(10, 200, 30)).image, core::ImageFormat::Png);
  ASSERT_TRUE(png.ok());
  const std::string rtf = "{\\rtf1\\ansi caf\\'e9 {\\b bold}}";
  seed({}, {"Work"});
  // The picture is the top row: the clips after it are copied after it.
  execute("insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML) values "
          "('2026-11-30  09:00:01', 'td_clips', 'Y', 'N', 'N', 'Writer', ' ', 'caf\xe9 bold', '" + store::escapeQuotes(rtf) + "', ' ');"
          "insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML) values "
          "('2026-11-30  09:00:02', 'td_clips', 'N', 'N', 'N', 'Notes', ' ', 'plain', ' ', ' ');"
          "insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML, cImage) values "
          "('2026-11-30  09:00:00', 'td_clips', 'N', 'N', 'Y', 'Paint', ' ', 'picture', ' ', ' ', X'" + hexOf(png.bytes) + "');");
  desktop.then([&] { openTarget("Work"); });
  desktop.then([&] {
    selectAllClips();
    post(ui::gadgetDupInTarget);
  });
  runToEnd();
  const Rows copies = query("select cText, cRTFsw, hex(cRTF), cImageSW, hex(cImage) from cTbl where cSet = 'Work' order by cText");
  const Rows originals = query("select cText, cRTFsw, hex(cRTF), cImageSW, hex(cImage) from cTbl where cSet = 'td_clips' order by cText");
  EXPECT_EQ(copies, originals);
  ASSERT_EQ(copies.size(), 3u);
  // Sorted: the rich text clip, the picture, the plain clip (which carries no picture of another).
  EXPECT_EQ(copies[0][2], hexOf(rtf));
  EXPECT_EQ(copies[1][4], hexOf(png.bytes));
  EXPECT_EQ(copies[2][4], "");
}

TEST_F(TransferTest, CombineJoinsTopDownIntoANewClipEvenWhileCombineModeGathers) {
  seedTwo();
  desktop.then([&] {
    post(ui::gadgetCombineCaptures);  // combine mode on: its clip must not swallow ours
  });
  desktop.then([&] {
    selectAllClips();
    post(ui::gadgetCombineSelected);
  });
  desktop.then([&] {
    EXPECT_EQ(listColumn(1)[0], "Tandrel Combined");
    EXPECT_EQ(clipboardText(), "B2\r\nA1");
  });
  runToEnd();
  EXPECT_EQ(query("select hex(cText), cSource from cTbl where cKey = (select max(cKey) from cTbl)"),
            (Rows{{hexOf("B2\r\nA1"), "Tandrel Combined"}}));
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"3"}}));
}

TEST_F(TransferTest, CombineOfOneClipOrOfAnImageFailsAndCreatesNothing) {
  seedTwo();
  execute("insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML) values "
          "('2026-12-02  10:00:00', 'td_clips', 'N', 'N', 'Y', 'Paint', ' ', 'picture', ' ', ' ')");
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetCombineSelected);
  });
  desktop.then([&] {
    EXPECT_EQ(status(), "Action Failed");
    selectAllClips();
    post(ui::gadgetCombineSelected);
  });
  desktop.then([&] {
    EXPECT_EQ(status(), "Action Failed");
    EXPECT_EQ(desktop.listRows(ui::gadgetClipList).size(), 3u);
  });
  runToEnd();
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"3"}}));
}

TEST_F(TransferTest, DropMovesOrWithControlHeldDuplicates) {
  seedTwo();
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetClipList, platform::GADGET_DRAG_START);
  });
  desktop.then([&] {
    ASSERT_TRUE(desktop.dragDuring);
    selectOnly(ui::gadgetSetList, setRow("Work"));
    drop(true);
  });
  desktop.then([&] {
    desktop.releaseKey(platform::VK_CONTROL);
    EXPECT_EQ(desktop.listRows(ui::gadgetClipList).size(), 2u);
    EXPECT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabSets);
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetClipList, platform::GADGET_DRAG_START);
  });
  desktop.then([&] {
    selectOnly(ui::gadgetSetList, setRow("Work"));
    drop(false);
  });
  desktop.then([&] { EXPECT_EQ(listColumn(0), (Texts{wideCaption("B2")})); });
  runToEnd();
  EXPECT_EQ(clipsOf("Work"), (Rows{{"A1"}, {"B2"}}));
  EXPECT_EQ(clipsOf("td_clips"), (Rows{{"B2"}}));
}

TEST_F(TransferTest, DragNearAnEdgeScrollsTheListUnderThePointer) {
  std::vector<SeedClip> clips;
  for (int i = 0; i < 30; ++i) clips.push_back({"td_clips", "clip " + std::to_string(i), "s", " "});
  seed(clips);
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetClipList, platform::GADGET_DRAG_START);
  });
  desktop.then([&] {
    sim::Gadget& list = gadget(ui::gadgetClipList);
    list.pointerBand = 1;
    desktop.dragDuring();
    desktop.dragDuring();
    EXPECT_EQ(list.topRow, 2);
    list.pointerBand = -1;
    desktop.dragDuring();
    EXPECT_EQ(list.topRow, 1);
    list.pointerBand = 0;
    desktop.dragDuring();
    EXPECT_EQ(list.topRow, 1);
    desktop.postEvent({platform::EVENT_DROP, core::mainWindowNumber, 0, 0, 0});
  });
  runToEnd();
}

TEST_F(TransferTest, ASetThatIsGoneIsNeverWrittenTo) {
  seedTwo({"Work", "Gone"});
  desktop.then([&] { openTarget("Work"); });
  desktop.then([&] {
    // Deleting the open target closes it.
    selectOnly(ui::gadgetSetList, setRow("Work"));
    desktop.answerNext(platform::IDYES);
    post(ui::gadgetDeleteSet);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetTargetLabel).text, " ");
    EXPECT_EQ(program->view.targetSetOpen, 0);
    // A file read again (as after a restore) closes a target that was open.
    openTarget("Gone");
  });
  desktop.then([&] {
    ASSERT_EQ(program->view.targetSetOpen, 1);
    ops::ReloadClipStore(*program);
    EXPECT_EQ(program->view.targetSetOpen, 0);
    EXPECT_EQ(gadget(ui::gadgetTargetLabel).text, " ");
    EXPECT_EQ(gadget(ui::gadgetOpenTargetSet).text, "Open Target Set");
    // Another program's copy of the file loses a set the list still shows.
    execute("delete from Sets where setName = 'Gone'");
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetClipList, platform::GADGET_DRAG_START);
  });
  desktop.then([&] {
    selectOnly(ui::gadgetSetList, setRow("Gone"));
    desktop.answerNext(platform::IDOK);
    drop(false);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.messageBoxes.back().text, "No Valid Target selected for Move");
    EXPECT_EQ(desktop.listRows(ui::gadgetClipList).size(), 2u);
  });
  runToEnd();
  EXPECT_EQ(clipsOf("td_clips"), (Rows{{"A1"}, {"B2"}}));
}

TEST_F(TransferTest, TargetCannotBeTheActiveSetAndClosesAgain) {
  seedTwo();
  desktop.then([&] {
    desktop.answerNext(platform::IDOK);
    openTarget("td_clips");
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.messageBoxes.back().text, "Sorry but that Set is the 'From' Set\n\rPlease select another");
    EXPECT_EQ(program->view.targetSetOpen, 0);
    platform::deselectListRows(ui::gadgetSetList);
    post(ui::gadgetOpenTargetSet);
  });
  desktop.then([&] {
    EXPECT_EQ(status(), "Select Target");
    selectOnly(ui::gadgetSetList, setRow("Work"));
    post(ui::gadgetSetList);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetTargetLabel).text, " Target = Work");
    post(ui::gadgetOpenTargetSet);
  });
  desktop.then([&] {
    EXPECT_EQ(status(), "Target Closed");
    EXPECT_EQ(gadget(ui::gadgetOpenTargetSet).text, "Open Target Set");
    EXPECT_EQ(gadget(ui::gadgetTargetLabel).text, " ");
  });
  runToEnd();
}

TEST_F(TransferTest, TrashFromTheTrashDeletesAndMovingEveryClipEmptiesTheList) {
  seed({{"td_trash", "old", "x", " "}, {"td_clips", "A1", "Alpha", " "}},
       {}, "Version = 2.8\r\nActiveClipSet = td_trash\r\n");
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetActiveSetLabel).text, "Active Set = td_trash");
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetMoveToTrash);
  });
  desktop.then([&] {
    EXPECT_TRUE(desktop.listRows(ui::gadgetClipList).empty());
    EXPECT_EQ(gadget(ui::gadgetClipCount).text, "0");
    EXPECT_EQ(query("select count(*) from cTbl where cText = 'old'"), (Rows{{"0"}}));
  });
  runToEnd();
}

}  // namespace
