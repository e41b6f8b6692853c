// The menus as the user sees them: the menu bar's entries and their grey state, the popups'
// conditional entries, and the tray menu's recent clips.
#include <gtest/gtest.h>

#include "platform/gadgets.h"
#include "support/main_window_script.h"
#include "ui/commands.h"
#include "ui/gadgets.h"
#include "ui/menus.h"
#include "ui/tray_menu.h"

using namespace testing_support;

namespace {

using Ids = std::vector<int>;

// Every command number of a menu, submenus flattened, separators left out.
void collect(const std::vector<platform::MenuItem>& items, Ids& ids) {
  for (const auto& item : items) {
    if (!item.items.empty()) collect(item.items, ids);
    else if (item.id != 0) ids.push_back(item.id);
  }
}
Ids idsOf(const std::vector<platform::MenuItem>& items) {
  Ids ids;
  collect(items, ids);
  return ids;
}
const platform::MenuItem* find(const std::vector<platform::MenuItem>& items, int id) {
  for (const auto& item : items) {
    if (item.id == id && item.items.empty()) return &item;
    if (const platform::MenuItem* inner = find(item.items, id)) return inner;
  }
  return nullptr;
}

class MenusTest : public MainWindowTest {
 protected:
  const std::vector<platform::MenuItem>& bar() { return desktop.menuBars[program->mainWindow]; }
  std::vector<std::string> trayCaptions() {
    std::vector<std::string> out;
    for (const auto& item : desktop.menus[ui::trayMenuNumber])
      if (item.id >= ui::commandFirstRecentClip && item.id < ui::commandFirstRecentClip + ui::recentClips)
        out.push_back(item.caption);
    return out;
  }
};

TEST_F(MenusTest, MenuBarHoldsEveryEntryWithItsCaptionAndTheTargetEntryGreyAtStart) {
  seed({{"td_clips", "plain text", "Editor", " "}});
  desktop.then([&] {
    ASSERT_EQ(bar().size(), 4u);
    EXPECT_EQ(bar()[0].caption, "&File");
    EXPECT_EQ(bar()[3].caption, "&Help");
    EXPECT_EQ(idsOf(bar()), (Ids{504, 505, 506, 539, 540, 541, 542, 543, 544, 545, 546, 509,
                                 527, 515, 518, 519, 520, 521, 522, 523,
                                 511, 512, 513, 526, 528, 530, 517, 516, 524, 1301,
                                 1001, 560, 554, 555, 556, 550, 551, 552}));
    EXPECT_FALSE(find(bar(), ui::commandCloseTargetSet)->enabled);
    EXPECT_EQ(find(bar(), ui::commandRestoreOriginal)->caption,
              "Replace the current Database from the original Database");
    EXPECT_EQ(find(bar(), ui::commandCaptureToggle)->caption, "Turn off clip collecting");
    EXPECT_EQ(bar()[1].items[0].caption, "Actions applying to Clip List");
    EXPECT_EQ(bar()[1].items[2].caption, "Actions applying to text in 'Text' panel");
  });
  runToEnd();
}

TEST_F(MenusTest, OpenSourceEntryFollowsTheSelectedClipsAddress) {
  seed({{"td_clips", "from the web", "https://example.org/a?b=1", " "},
        {"td_clips", "from a program", "httpd.exe", " "}});
  desktop.doubleClickMs = 0;  // no wait for a second click: the click is handled at once
  desktop.then([&] {
    // The top row (httpd.exe) is selected at start: "http" alone is no address.
    EXPECT_EQ(find(bar(), ui::commandOpenSource), nullptr);
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetClipList);
  });
  desktop.then([&] { std::cerr << "SIG " << program->view.mainMenuSignature << " row " << program->view.currentRow << " addr " << ui::currentRowAddress(*program) << "\n"; EXPECT_NE(find(bar(), ui::commandOpenSource), nullptr); });
  runToEnd();
}

TEST_F(MenusTest, ClipPopupOffersWhatFitsTheClip) {
  seed({{"td_clips", "words", "Editor", " "}});
  execute("insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML) values "
          "('2026-12-01  10:00:00', 'td_clips', 'N', 'N', 'Y', 'Paint', ' ', 'Image 4x4', ' ', ' ')");
  desktop.then([&] {
    ui::buildClipPopup(*program);  // the image clip is on top and current
    const Ids imageIds = idsOf(desktop.menus[ui::clipPopupNumber]);
    EXPECT_EQ(imageIds, (Ids{515, 520, 521, 517, 524, 516}));
    program->view.currentRow = 1;
    program->view.targetSetOpen = 1;
    ui::buildClipPopup(*program);
    EXPECT_EQ(idsOf(desktop.menus[ui::clipPopupNumber]), (Ids{515, 520, 521, 517, 524, 518, 542, 531, 534}));
    ui::buildSetPopup(*program);
    EXPECT_EQ(idsOf(desktop.menus[ui::setPopupNumber]), (Ids{537, 538, 539, 547}));
    program->view.targetSetOpen = 0;
    ui::buildSetPopup(*program);
    EXPECT_EQ(idsOf(desktop.menus[ui::setPopupNumber]), (Ids{537, 538, 547}));
  });
  runToEnd();
}

TEST_F(MenusTest, TextAndImagePopupsOpenOnARightClickInAnEmptySet) {
  seed({});
  desktop.then([&] {
    desktop.gadgetUnderPointer = ui::gadgetTextEditor;
    desktop.postEvent({platform::EVENT_RBUTTON, core::mainWindowNumber, 0, 0, 0});
    post(ui::gadgetImageView, platform::GADGET_RIGHT_CLICK);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.menusShown, (Ids{ui::editorPopupNumber, ui::imagePopupNumber}));
    const Ids editor = idsOf(desktop.menus[ui::editorPopupNumber]);
    EXPECT_EQ(Ids(editor.begin(), editor.begin() + 3), (Ids{511, 512, 513}));
    EXPECT_EQ(idsOf(desktop.menus[ui::imagePopupNumber]), (Ids{568, 567}));
  });
  runToEnd();
}

TEST_F(MenusTest, TrayMenuListsAtMostEightRecentClipsWithSafeCaptions) {
  std::vector<SeedClip> nine;
  for (int i = 1; i <= 9; ++i) nine.push_back({"td_clips", "clip " + std::to_string(i), "Editor", " "});
  nine.back().text = "Tom & Jerry\tand friends, a caption longer than thirty-five characters";
  seed(nine);
  desktop.then([&] {
    ui::buildTrayMenu(*program);
    const auto captions = trayCaptions();
    ASSERT_EQ(captions.size(), 8u);
    EXPECT_EQ(captions[0], "Tom && Jerry and friends, a caption ");
    EXPECT_EQ(captions[7].substr(0, 6), "clip 2");
  });
  runToEnd();
}

TEST_F(MenusTest, TrayMenuWithFewClipsListsEachOnce) {
  seed({{"td_clips", "one", "", " "}, {"td_clips", "two", "", " "}, {"td_clips", "three", "", " "}});
  desktop.then([&] {
    ui::buildTrayMenu(*program);
    EXPECT_EQ(trayCaptions().size(), 3u);
  });
  runToEnd();
}

TEST_F(MenusTest, CaptureCaptionFollowsCaptureInBothMenus) {
  seed({{"td_clips", "one", "", " "}});
  desktop.then([&] { post(ui::gadgetCaptureToggle); });
  desktop.then([&] {
    EXPECT_EQ(find(bar(), ui::commandCaptureToggle)->caption, "Turn on clip collecting");
    EXPECT_EQ(find(desktop.menus[ui::trayMenuNumber], ui::commandCaptureToggle)->caption, "Turn on clip collecting");
  });
  runToEnd();
}

TEST(MenuCaption, DoublesAmpersandsAndBlanksControlCharacters) {
  EXPECT_EQ(ui::menuCaption("a&b\tc\r\nd\x01", 35), "a&&b c  d ");
  EXPECT_EQ(ui::menuCaption("abcdef", 3), "abc");
}

}  // namespace
