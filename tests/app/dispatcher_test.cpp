// Commands as the user gives them through the menus, the tray and the window's keys.
#include <gtest/gtest.h>

#include "core/web_address.h"
#include "platform/gadgets.h"
#include "support/main_window_script.h"
#include "ui/commands.h"
#include "ui/gadgets.h"
#include "ui/tray_menu.h"

using namespace testing_support;

namespace {

class DispatcherTest : public MainWindowTest {
 protected:
  void command(int id) { desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, id, 0, 0}); }
  std::string statusLine() { return desktop.gadgets[ui::gadgetStatusLine].text; }
  std::string count() { return query("select count(*) from cTbl")[0][0]; }
  std::string captureTooltip() { return desktop.tray[program->mainWindow].tooltip; }
};

TEST_F(DispatcherTest, OpenSourceHandsTheWholeStoredAddressToTheShell) {
  const std::string address = "https://example.org/a?b=1&c=" + std::string(90, 'x');
  seed({{"td_clips", "from the web", "Browser", address}});
  desktop.then([&] { command(ui::commandOpenSource); });
  desktop.then([&] {
    ASSERT_EQ(desktop.shellExecutions.size(), 1u);
    EXPECT_EQ(desktop.shellExecutions[0].verb, "open");
    EXPECT_EQ(desktop.shellExecutions[0].file, address);
  });
  runToEnd();
}

TEST_F(DispatcherTest, OpenSourceRefusesWhatIsNoWebAddress) {
  seed({{"td_clips", "from a program", "httpd.exe", " "}});
  desktop.then([&] {
    desktop.answerNext(platform::IDOK);
    command(ui::commandOpenSource);
  });
  desktop.then([&] {
    EXPECT_TRUE(desktop.shellExecutions.empty());
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Sorry, but that source does not appear to be a valid URL");
  });
  runToEnd();
}

TEST(WebAddress, OnlyPlainHttpAndHttpsAddressesPass) {
  EXPECT_TRUE(core::isWebAddress("https://example.org/a?b=1"));
  EXPECT_TRUE(core::isWebAddress("HTTP://EXAMPLE.ORG"));
  EXPECT_FALSE(core::isWebAddress("httpd.exe"));
  EXPECT_FALSE(core::isWebAddress("http://"));
  EXPECT_FALSE(core::isWebAddress("ftp://example.org"));
  EXPECT_FALSE(core::isWebAddress("https://example.org/\"&calc"));
  EXPECT_FALSE(core::isWebAddress("https://example.org/a b"));
  EXPECT_FALSE(core::isWebAddress("https://example.org/\x01"));
}

TEST_F(DispatcherTest, CopySourcePutsTheSourceOnTheClipboardWithoutCapturingItOrTouchingTheEditor) {
  seed({{"td_clips", "the clip's text", "Source Window", " "}});
  desktop.then([&] { command(ui::commandCopyClipSource); });
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "Source Window");
    EXPECT_EQ(count(), "1");
    EXPECT_EQ(platform::editorText(ui::gadgetTextEditor).substr(0, 15), "the clip's text");
  });
  runToEnd();
}

TEST_F(DispatcherTest, RepairChainWhileCaptureIsOffNeverMakesTandrelItsOwnViewer) {
  seed({{"td_clips", "first", "", " "}});
  const platform::Hwnd other = desktop.addForeignWindow("Writer", "C:\\Tools\\writer.exe");
  desktop.then([&] { post(ui::gadgetCaptureToggle); });
  desktop.then([&] { command(ui::commandRepairChain); });
  desktop.then([&] { post(ui::gadgetCaptureToggle); });
  desktop.then([&] { desktop.copyText("after the repair", other); });
  desktop.then([&] {
    EXPECT_NE(program->capture.nextViewer, program->mainWindow);
    EXPECT_EQ(count(), "2");
  });
  runToEnd();
}

TEST_F(DispatcherTest, RefreshInAFirstRunAddsNoSecondWelcomeClip) {
  answerFirstRun(platform::IDYES);
  desktop.then([&] { command(ui::commandRefreshList); });
  desktop.then([&] {
    EXPECT_EQ(count(), "1");
    EXPECT_EQ(desktop.listRows(ui::gadgetClipList).size(), 1u);
  });
  runToEnd();
}

TEST_F(DispatcherTest, RecentClipIsTheOneListedWhenTheMenuWasBuilt) {
  seed({{"td_clips", "alpha", "", " "}, {"td_clips", "zeta", "", " "}});
  desktop.then([&] {
    ui::buildTrayMenu(*program);  // entry 601 is "zeta", the top row
    post(ui::gadgetClipList, platform::GADGET_COLUMN_CLICK, 0);  // sorted: "alpha" on top now
  });
  desktop.then([&] { command(ui::commandFirstRecentClip); });
  desktop.then([&] { EXPECT_EQ(clipboardText(), "zeta"); });
  runToEnd();
}

TEST_F(DispatcherTest, RecentClipThatIsGonePutsNothingOnTheClipboard) {
  seed({{"td_clips", "soon gone", "", " "}});
  desktop.then([&] {
    ui::buildTrayMenu(*program);
    program->view.trayClipKeys[0] = 999999;  // as if the clip had been deleted since
    desktop.clipboard = {{platform::CF_TEXT, std::string("untouched") + '\0'}};
    command(ui::commandFirstRecentClip);
  });
  desktop.then([&] { EXPECT_EQ(clipboardText(), "untouched"); });
  runToEnd();
}

TEST_F(DispatcherTest, DeleteKeyInTheEditorDeletesTextNotClips) {
  seed({{"td_clips", "keep me", "", " "}});
  desktop.then([&] {
    platform::setFocusGadget(ui::gadgetTextEditor);
    command(ui::commandKeyDelete);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.sentKeys.size(), 1u);
    EXPECT_EQ(desktop.sentKeys[0].gadget, ui::gadgetTextEditor);
    EXPECT_EQ(desktop.sentKeys[0].virtualKey, 0x2E);
    EXPECT_EQ(query("select cSet from cTbl")[0][0], "td_clips");
  });
  runToEnd();
}

TEST_F(DispatcherTest, UpAndDownStepThroughTheListAndStopAtItsEnds) {
  seed({{"td_clips", "c", "", " "}, {"td_clips", "b", "", " "}, {"td_clips", "a", "", " "}});
  desktop.then([&] {
    platform::setFocusGadget(ui::gadgetClipList);
    command(ui::commandKeyUp);  // already on the first row
  });
  desktop.then([&] {
    EXPECT_EQ(program->view.currentRow, 0);
    command(ui::commandKeyDown);
    command(ui::commandKeyDown);
    command(ui::commandKeyDown);  // past the last row: stays
  });
  desktop.then([&] {
    EXPECT_EQ(program->view.currentRow, 2);
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{2}));
    EXPECT_TRUE(desktop.sentKeys.empty());
  });
  runToEnd();
}

TEST_F(DispatcherTest, DupInTargetAsksForASetAndABlankClickKeepsItWaiting) {
  seed({{"td_clips", "to copy", "", " "}}, {"work"});
  desktop.then([&] { post(ui::gadgetDupInTarget); });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "Select Target");
    EXPECT_EQ(platform::panelTab(ui::gadgetContentPanel), ui::tabSets);
    platform::deselectListRows(ui::gadgetSetList);  // a click where no set is
    post(ui::gadgetSetList);
  });
  desktop.then([&] {
    EXPECT_EQ(program->view.pendingSetClick, "A");
    EXPECT_EQ(query("select count(*) from cTbl where cSet <> 'td_clips'")[0][0], "0");
    selectOnly(ui::gadgetSetList, setRow("td_clips"));
    desktop.answerNext(platform::IDOK);
    post(ui::gadgetSetList);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Target set may not be the active set.");
    EXPECT_EQ(program->view.pendingSetClick, "A");
  });
  runToEnd();
}

TEST_F(DispatcherTest, CombineCapturesWhileCaptureIsOffSwitchesCaptureOn) {
  seed({{"td_clips", "first", "", " "}});
  desktop.then([&] { post(ui::gadgetCaptureToggle); });
  desktop.then([&] { post(ui::gadgetCombineCaptures); });
  desktop.then([&] {
    EXPECT_EQ(program->capture.capturing, 1);
    EXPECT_EQ(desktop.chainHead, program->mainWindow);
    EXPECT_EQ(program->capture.combineCount, 1);
  });
  runToEnd();
}

TEST_F(DispatcherTest, TrayCaptureToggleKeepsCombiningAndItsIcon) {
  seed({{"td_clips", "first", "", " "}});
  desktop.then([&] { post(ui::gadgetCombineCaptures); });
  desktop.then([&] { command(ui::commandCaptureToggle); });
  desktop.then([&] { command(ui::commandCaptureToggle); });
  desktop.then([&] {
    EXPECT_EQ(program->capture.combineCount, 1);
    EXPECT_EQ(desktop.tray[program->mainWindow].image, platform::TrayImage::Combining);
  });
  runToEnd();
}

TEST_F(DispatcherTest, TrayClickWhileCaptureIsOffKeepsTheNotActiveTooltip) {
  seed({{"td_clips", "first", "", " "}});
  desktop.then([&] { post(ui::gadgetCaptureToggle); });
  desktop.then([&] { desktop.postEvent({platform::EVENT_TRAY, core::mainWindowNumber, 1, 0, 0}); });
  desktop.then([&] {
    EXPECT_EQ(captureTooltip(), "Tandrel Not Active");
    EXPECT_EQ(desktop.tray[program->mainWindow].image, platform::TrayImage::NotActive);
  });
  runToEnd();
}

TEST_F(DispatcherTest, ClipCommandsOnAnEmptySetSayEmptySet) {
  seed({});
  desktop.then([&] { command(ui::commandEditNote); });
  desktop.then([&] { EXPECT_EQ(statusLine(), "Empty Set"); });
  runToEnd();
}

}  // namespace
