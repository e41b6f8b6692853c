// The clipboard watcher seen from the clipboard: what is captured, what is passed on down the
// viewer chain, and what is logged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <sqlite3.h>

#include "capture/watcher.h"
#include "ui/clip_list.h"
#include "ui/help_page.h"
#include "ui/gadgets.h"
#include "ui/layout.h"
#include "ui/status.h"
#include "support/sim_fixture.h"

using namespace testing_support;

namespace {

const std::string startTime = "2026-12-08  14:03:59";

class WatcherTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    editor = desktop.addForeignWindow("Report.txt - Editor", "C:\\Tools\\editor.exe");
    answerFirstRun(platform::IDYES);
  }
  // Runs the program with a viewer of another program ahead of it in the chain; `during` runs inside.
  void runWithViewerBehind(std::function<void()> during) {
    viewer = desktop.addForeignViewer();
    desktop.then(std::move(during));
    thenEndSession();
    ASSERT_EQ(run(), 0);
  }
  std::size_t drawsSeenBy(platform::Hwnd window) {
    const auto& got = desktop.window(window)->received;
    return static_cast<std::size_t>(std::count_if(got.begin(), got.end(), [](const sim::ReceivedMessage& m) {
      return m.message == platform::WM_DRAWCLIPBOARD;
    }));
  }
  Rows capturedTexts() { return query("select cText, cSource from cTbl where cKey > 1 order by cKey"); }
  bool logHas(const std::string& line) {
    const auto lines = logLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  platform::Hwnd editor = 0;
  platform::Hwnd viewer = 0;
};

TEST_F(WatcherTest, CopiedTextBecomesAClipWithItsSourceAndIsPassedOn) {
  std::size_t before = 0;
  runWithViewerBehind([&] {
    before = drawsSeenBy(viewer);
    desktop.copyText("first text", editor);
    EXPECT_EQ(drawsSeenBy(viewer), before + 1);
  });
  EXPECT_EQ(capturedTexts(), (Rows{{"first text", "Report.txt - Editor"}}));
  EXPECT_TRUE(logHas(startTime + " Have text - Opening Clipboard"));
  EXPECT_TRUE(logHas(startTime + " Finished with text clip - done"));
  EXPECT_TRUE(logHas(startTime + " clipboard processing complete - close clipboard"));
}

TEST_F(WatcherTest, JoiningSwallowsTheFirstChangeAndDoesNotPassItOn) {
  runWithViewerBehind([&] {
    const std::size_t before = drawsSeenBy(viewer);
    capture::toggleCapture(*program);  // off
    capture::toggleCapture(*program);  // on again: the join notice is swallowed
    EXPECT_EQ(drawsSeenBy(viewer), before);
    EXPECT_EQ(program->capture.ignoreNextChange, 0);
    desktop.copyText("after the toggle", editor);
    EXPECT_EQ(drawsSeenBy(viewer), before + 1);
    capture::rejoinChain(*program);
    EXPECT_EQ(drawsSeenBy(viewer), before + 1);
  });
  EXPECT_EQ(capturedTexts(), (Rows{{"after the toggle", "Report.txt - Editor"}}));
}

TEST_F(WatcherTest, OwnWritesAndCaptureOffArePassedOnButNotCapturedOrLogged) {
  std::size_t logSize = 0;
  runWithViewerBehind([&] {
    const std::size_t before = drawsSeenBy(viewer);
    program->capture.ownWrite = 1;
    desktop.copyText("own write", editor);
    program->capture.ownWrite = 0;
    program->capture.capturing = 0;
    logSize = logLines().size();
    desktop.copyText("while off", editor);
    EXPECT_EQ(logLines().size(), logSize);
    program->capture.capturing = 1;
    EXPECT_EQ(drawsSeenBy(viewer), before + 2);
  });
  EXPECT_TRUE(capturedTexts().empty());
}

TEST_F(WatcherTest, AHungNextViewerIsNotWaitedForAndIsLoggedOnce) {
  runWithViewerBehind([&] {
    desktop.window(viewer)->hung = true;
    desktop.copyText("first while hung", editor);
    desktop.copyText("second while hung", editor);
    EXPECT_EQ(drawsSeenBy(viewer), 0u);
  });
  EXPECT_EQ(capturedTexts(), (Rows{{"first while hung", "Report.txt - Editor"}, {"second while hung", "Report.txt - Editor"}}));
  EXPECT_EQ(logLinesWith("did not answer within 3 s"), 1);
}

TEST_F(WatcherTest, ToggleLeavesAndRejoinsTheChainAndShowsTheState) {
  runWithViewerBehind([&] {
    capture::toggleCapture(*program);
    EXPECT_EQ(desktop.chainHead, viewer);
    EXPECT_EQ(desktop.tray.at(program->mainWindow).tooltip, "Tandrel Not Active");
    desktop.copyText("not seen", editor);
    capture::toggleCapture(*program);
    EXPECT_EQ(desktop.chainHead, program->mainWindow);
    EXPECT_EQ(program->capture.nextViewer, viewer);
    EXPECT_EQ(desktop.tray.at(program->mainWindow).tooltip, "Tandrel\x99 Waiting");
  });
  EXPECT_TRUE(capturedTexts().empty());
}

TEST_F(WatcherTest, ClipboardHeldByAnotherProgramIsGivenUpAfter51Tries) {
  runWithViewerBehind([&] {
    const std::size_t before = drawsSeenBy(viewer);
    desktop.clipboard[platform::CF_TEXT] = std::string("held") + '\0';
    desktop.holdClipboard(-1);
    desktop.clipboardOpenAttempts = 0;
    desktop.send(program->mainWindow, platform::WM_DRAWCLIPBOARD);
    EXPECT_EQ(desktop.clipboardOpenAttempts, 51);
    EXPECT_EQ(drawsSeenBy(viewer), before + 1);
    EXPECT_EQ(program->capture.clipboardBusy, 0);
    desktop.releaseClipboard();
  });
  EXPECT_TRUE(logHas(startTime + " unable to open clipboard to enumerate - TERMINATED51"));
  EXPECT_TRUE(logHas(startTime + " 8580 - Drawclipboard but no formats"));
  EXPECT_TRUE(capturedTexts().empty());
}

TEST_F(WatcherTest, ClipboardReleasedWithinTheTriesIsCaptured) {
  runWithViewerBehind([&] {
    desktop.holdClipboard(20);
    desktop.copyText("patience", editor);
  });
  EXPECT_EQ(capturedTexts(), (Rows{{"patience", "Report.txt - Editor"}}));
}

TEST_F(WatcherTest, ChainRemovalOfOurNextViewerIsTakenNotForwarded) {
  runWithViewerBehind([&] {
    const platform::Hwnd successor = 0x9999;
    desktop.send(program->mainWindow, platform::WM_CHANGECBCHAIN, viewer, static_cast<platform::LParam>(successor));
    EXPECT_EQ(program->capture.nextViewer, successor);
    EXPECT_TRUE(desktop.window(viewer)->received.empty() ||
                desktop.window(viewer)->received.back().message != platform::WM_CHANGECBCHAIN);
    program->capture.nextViewer = viewer;
    desktop.send(program->mainWindow, platform::WM_CHANGECBCHAIN, 0x7777, 0x8888);
    const auto& last = desktop.window(viewer)->received.back();
    EXPECT_EQ(last.message, platform::WM_CHANGECBCHAIN);
    EXPECT_EQ(last.wParam, 0x7777u);
    EXPECT_EQ(last.lParam, 0x8888);
  });
}

TEST_F(WatcherTest, UntitledSourceIsNamedByItsProgram) {
  const platform::Hwnd untitled = desktop.addForeignWindow("  ", "C:\\Program Files\\Calc\\calc.exe");
  runWithViewerBehind([&] { desktop.copyText("42", untitled); });
  EXPECT_EQ(capturedTexts(), (Rows{{"42", "calc"}}));
}

TEST_F(WatcherTest, TextArrivingWhileTandrelIsInFrontHasAnUnknownSource) {
  runWithViewerBehind([&] {
    desktop.foreground = desktop.active = program->mainWindow;
    desktop.copyText("from a program without a window");
  });
  EXPECT_EQ(capturedTexts(), (Rows{{"from a program without a window", " "}}));
}

TEST_F(WatcherTest, CaptureResetsTheSortMarksOfTheList) {
  runWithViewerBehind([&] {
    desktop.copyText("b", editor);
    ui::sortByColumn(*program, 0);
    EXPECT_NE(desktop.gadgets.at(5).columnTitles[0].find(" (sorted)"), std::string::npos);
    desktop.copyText("a", editor);
    EXPECT_EQ(desktop.gadgets.at(5).columnTitles[0], "Click 'Clip To Clipboard' or 'doubleclick' to copy. ");
    EXPECT_EQ(desktop.gadgets.at(5).columnTitles[1], "Note/Source ");
    EXPECT_EQ(program->view.sortDirection, 1);
  });
}

TEST_F(WatcherTest, ACaptureRedrawsTheListAndPaintsTheWindowOnceWithTheNewClipShown) {
  runWithViewerBehind([&] {
    desktop.copyText("first", editor);
    const int repaints = desktop.window(program->mainWindow)->repaints;
    const int redraws = desktop.gadgets.at(5).redraws;
    desktop.copyText("second", editor);
    EXPECT_EQ(desktop.window(program->mainWindow)->repaints, repaints + 1);
    EXPECT_EQ(desktop.gadgets.at(5).redraws, redraws + 1);
    EXPECT_EQ(desktop.gadgets.at(5).rowText(0, 0).substr(0, 6), "second");
    EXPECT_EQ(desktop.gadgets.at(5).selected, (std::set<int>{0}));
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetTextEditor).text, "second\n\r");
    // A status of its own is still shown at once.
    ui::RepaintHold hold(*program);
    ui::showStatus(*program, "Getting RTF", ui::colour::lightCyan, ui::colour::black);
    EXPECT_EQ(desktop.window(program->mainWindow)->repaints, repaints + 2);
    ui::refreshStatus(*program);
    EXPECT_EQ(desktop.window(program->mainWindow)->repaints, repaints + 2);
  });
}

// Another program copying faster than a capture is stored: each copy is read when its change
// arrives, before the next copy replaces it, and the clips are stored in the order copied.
TEST_F(WatcherTest, CopiesArrivingWhileACaptureIsStoredAreEachReadAndStoredInOrder) {
  std::size_t seen = 0;
  int repaints = 0;
  runWithViewerBehind([&] {
    desktop.copyText("before", editor);
    const std::size_t before = drawsSeenBy(viewer);
    repaints = desktop.window(program->mainWindow)->repaints;
    const int told = desktop.gadgets.at(5).redraws;
    desktop.copiesWhileBusy = {"second", "third", "third"};
    desktop.copyText("first", editor);
    seen = drawsSeenBy(viewer) - before;
    // One paint and one list update for the lot; the window ends as the last copy leaves it.
    EXPECT_EQ(desktop.window(program->mainWindow)->repaints, repaints + 1);
    EXPECT_EQ(desktop.gadgets.at(5).redraws, told + 1);
    EXPECT_EQ(desktop.gadgets.at(5).rowCount, 5);
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetTextEditor).text, "third\n\r");
    EXPECT_EQ(desktop.gadgets.at(5).rowText(0, 0).substr(0, 5), "third");
    EXPECT_EQ(desktop.gadgets.at(5).selected, (std::set<int>{0}));
  });
  EXPECT_EQ(seen, 4u);  // every change is passed on, the repeat too
  const Rows rows = capturedTexts();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0][0], "before");
  EXPECT_EQ(rows[1][0], "first");
  EXPECT_EQ(rows[2][0], "second");
  EXPECT_EQ(rows[3][0], "third");
  EXPECT_EQ(rows[3][1], "Report.txt - Editor");
  EXPECT_EQ(logLinesWith("Finished with text clip - done"), 4);
  EXPECT_EQ(logLinesWith("Duplicate flood"), 1);
}

// A copy made while the one before it is written is read as soon as that write ends: the list is
// told once, for both, and the window shows the second.
TEST_F(WatcherTest, ACopyMadeWhileTheOneBeforeIsWrittenIsReadBeforeTheWindowIsUpdated) {
  runWithViewerBehind([&] {
    desktop.copyText("before", editor);
    const int told = desktop.gadgets.at(5).redraws;
    desktop.copiesWhileBusy = {"second"};
    desktop.callsBeforeCopiesWhileBusy = 1;  // not yet there when the first change is taken up
    desktop.copyText("first", editor);
    EXPECT_EQ(desktop.gadgets.at(5).redraws, told + 1);
    EXPECT_EQ(desktop.gadgets.at(5).rowCount, 4);
    EXPECT_EQ(desktop.gadgets.at(5).rowText(0, 0).substr(0, 6), "second");
    EXPECT_EQ(desktop.gadgets.at(5).rowText(1, 0).substr(0, 5), "first");
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetTextEditor).text, "second\n\r");
    EXPECT_EQ(desktop.gadgets.at(5).selected, (std::set<int>{0}));
  });
  const Rows rows = capturedTexts();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1][0], "first");
  EXPECT_EQ(rows[2][0], "second");
}

// The session ends while a burst is stored, the message taken while the next change is read: the
// clip already written in the burst's transaction and the changes read after it are all kept.
TEST_F(WatcherTest, ASessionEndingWhileABurstIsStoredKeepsEveryChangeRead) {
  viewer = desktop.addForeignViewer();
  desktop.then([&] {
    desktop.copiesWhileBusy = {"second", "third"};
    desktop.afterCopiesWhileBusy = [&] { desktop.send(program->mainWindow, platform::WM_QUERYENDSESSION); };
    desktop.copyText("first", editor);
  });
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(capturedTexts(), (Rows{{"first", "Report.txt - Editor"},
                                   {"second", "Report.txt - Editor"},
                                   {"third", "Report.txt - Editor"}}));
  EXPECT_EQ(logLinesWith("Finished with text clip - done"), 3);
}

// The last of the changes read together is dropped as a repeat: the clips stored before it are
// still listed and the newest one shown.
TEST_F(WatcherTest, ChangesReadTogetherAreShownWhenTheLastOfThemIsARepeat) {
  runWithViewerBehind([&] {
    program->settings.suppressDuplicates = "Y";
    desktop.copyText("same start", editor);
    const std::string shared(1000, 'z');
    desktop.copiesWhileBusy = {"second", shared + "x", shared + "y"};
    desktop.copyText("first", editor);
    EXPECT_EQ(desktop.gadgets.at(5).rowCount, 5);
    EXPECT_EQ(desktop.gadgets.at(5).rowText(0, 0).substr(0, 5), "zzzzz");
    EXPECT_EQ(desktop.gadgets.at(5).selected, (std::set<int>{0}));
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetTextEditor).text, shared + "x\n\r");
  });
  const Rows rows = capturedTexts();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[3][0], std::string(1000, 'z') + "x");
}

// Changes read together are written as one transaction. When it cannot be committed (another
// program reads the file throughout), none of them is listed or logged as done.
TEST_F(WatcherTest, ChangesReadTogetherThatCannotBeCommittedAreNeitherListedNorLoggedAsDone) {
  desktop.answerer = [](const sim::MessageBoxRecord& box) {
    return box.text == firstRunQuestion ? platform::IDYES : platform::IDOK;
  };
  runWithViewerBehind([&] {
    desktop.copyText("before", editor);
    sqlite3* reader = nullptr;
    ASSERT_EQ(sqlite3_open(desktop.hostPath(dataFolder + "tdclips.db").c_str(), &reader), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM cTbl", nullptr, nullptr, nullptr), SQLITE_OK);
    desktop.copiesWhileBusy = {"second", "third"};
    desktop.copyText("first", editor);
    sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(reader);
    EXPECT_EQ(desktop.gadgets.at(5).rowCount, 2);
    EXPECT_EQ(desktop.gadgets.at(5).rowText(0, 0).substr(0, 6), "before");
    EXPECT_EQ(desktop.gadgets.at(ui::gadgetStatusLine).text, "Action Failed");
    desktop.copyText("after", editor);
    EXPECT_EQ(desktop.gadgets.at(5).rowText(0, 0).substr(0, 5), "after");
  });
  const Rows rows = capturedTexts();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], "before");
  EXPECT_EQ(rows[1][0], "after");
  EXPECT_EQ(logLinesWith("Finished with text clip - done"), 2);
  EXPECT_EQ(logLinesWith("clips read together not stored"), 1);
}

// Notifications that pile up while the program is busy all read the clipboard as it is by then.
// The same text read again without the clipboard having changed is no program rewriting it.
TEST_F(WatcherTest, LateNotificationsOfOneChangeAreDroppedWithoutRaisingTheHijackAlert) {
  runWithViewerBehind([&] {
    program->settings.suppressDuplicates = "Y";
    desktop.copyText("copied once", editor);
    for (int i = 0; i < 40; ++i) desktop.send(program->mainWindow, platform::WM_DRAWCLIPBOARD);
    EXPECT_EQ(program->capture.capturing, 1);
    EXPECT_NE(desktop.gadgets.at(ui::gadgetStatusLine).text, "Clipboard Hijack");
    // A real copy of the same text still counts.
    for (int i = 0; i < 30; ++i) desktop.copyText("copied once", editor);
    EXPECT_EQ(program->capture.capturing, 0);
  });
  ASSERT_EQ(capturedTexts().size(), 1u);
}

TEST_F(WatcherTest, WithDebugTimingEachCaptureLogsItsStepsButNeverItsText) {
  runWithViewerBehind([&] {
    desktop.copyText("first copy", editor);
    program->settings.debugTiming = 1;
    desktop.copyText("timed text", editor);
  });
  std::vector<std::string> timings;
  for (const auto& line : logLines()) {
    // The shutdown is timed too; this counts the captures.
    if (line.compare(0, 24, "timing clipboard change:") == 0) timings.push_back(line);
    EXPECT_EQ(line.find("timed text"), std::string::npos) << line;
  }
  ASSERT_EQ(timings.size(), 1u);
  EXPECT_EQ(timings[0].compare(0, 31, "timing clipboard change: source"), 0) << timings[0];
  EXPECT_NE(timings[0].find(" store 0.00,"), std::string::npos) << timings[0];
  EXPECT_EQ(timings[0].substr(timings[0].size() - 14), " total 0.00 ms") << timings[0];
}

TEST_F(WatcherTest, HugeAndHighByteTextsAreStoredByteForByte) {
  std::string high;
  for (int c = 0x80; c <= 0xFF; ++c) high += static_cast<char>(c);
  const std::string huge(64u << 20, 'h');
  runWithViewerBehind([&] {
    desktop.copyText(high, editor);
    desktop.copyText(huge, editor);
  });
  EXPECT_EQ(query("select cText from cTbl where cKey = 2"), (Rows{{high}}));
  EXPECT_EQ(query("select length(cText) from cTbl where cKey = 3"), (Rows{{std::to_string(huge.size())}}));
}

TEST_F(WatcherTest, TextWithoutTerminatingZeroEndsAtItsBlock) {
  runWithViewerBehind([&] { desktop.copyFormats({{platform::CF_TEXT, "no zero here"}}, editor); });
  EXPECT_EQ(capturedTexts(), (Rows{{"no zero here", "Report.txt - Editor"}}));
}

TEST_F(WatcherTest, RepeatedTextIsDroppedWhenDuplicatesAreSuppressed) {
  runWithViewerBehind([&] {
    desktop.copyText("again", editor);
    desktop.copyText("again", editor);
  });
  EXPECT_EQ(capturedTexts(), (Rows{{"again", "Report.txt - Editor"}}));
  EXPECT_TRUE(logHas(startTime + " Duplicate flood - close clipboard -exiting"));
}

TEST_F(WatcherTest, EveryProcessedChangeEmptiesThePageTextWithoutWritingThePage) {
  desktop.browserAvailable = false;
  const std::string page = dataFolder + "Tandrel_.htm";
  runWithViewerBehind([&] {
    ui::buildHelpPage(*program);
    const std::string written = read(page);
    ASSERT_FALSE(program->view.pageText.empty());
    desktop.copyText("captured", editor);
    EXPECT_EQ(program->view.pageText, "");
    ui::buildHelpPage(*program);
    desktop.copyText("captured", editor);  // a flood repeat
    EXPECT_EQ(program->view.pageText, "");
    EXPECT_EQ(read(page), written);
  });
}

TEST_F(WatcherTest, ImageOnlyClipboardGoesToTheImageBranch) {
  // A 2 x 2, 24-bit bitmap.
  std::string dib(40 + 16, '\0');
  const std::uint32_t header = 40, width = 2, height = 2;
  const std::uint16_t planes = 1, bits = 24;
  std::memcpy(&dib[0], &header, 4);
  std::memcpy(&dib[4], &width, 4);
  std::memcpy(&dib[8], &height, 4);
  std::memcpy(&dib[12], &planes, 2);
  std::memcpy(&dib[14], &bits, 2);
  runWithViewerBehind([&] { desktop.copyFormats({{platform::CF_DIB, dib}}, editor); });
  EXPECT_TRUE(logHas(startTime + " saving an image "));
  EXPECT_FALSE(logHas(startTime + " Have text - Opening Clipboard"));
}

TEST_F(WatcherTest, HostileBitmapsAreRefusedAndLogged) {
  std::string giant(40, '\0');
  const std::uint32_t header = 40, side = 100000;
  const std::uint16_t planes = 1, bits = 32;
  std::memcpy(&giant[0], &header, 4);
  std::memcpy(&giant[4], &side, 4);
  std::memcpy(&giant[8], &side, 4);
  std::memcpy(&giant[12], &planes, 2);
  std::memcpy(&giant[14], &bits, 2);
  std::string truncated = giant;
  const std::uint32_t small = 64;
  std::memcpy(&truncated[4], &small, 4);
  std::memcpy(&truncated[8], &small, 4);
  truncated += std::string(100, '\x7f');
  runWithViewerBehind([&] {
    desktop.copyFormats({{platform::CF_DIB, giant}}, editor);
    desktop.copyFormats({{platform::CF_DIB, truncated}}, editor);
    desktop.copyFormats({{platform::CF_DIB, ""}}, editor);
    desktop.copyFormats({{platform::CF_DIB, std::string(3, '\x28')}}, editor);
  });
  EXPECT_EQ(logLinesWith("Clipboard image refused"), 4);
  EXPECT_FALSE(logHas(startTime + " saving an image "));
}

TEST_F(WatcherTest, ClipboardIsClosedBeforeAFailedStoreShowsItsMessage) {
  bool openWhileShown = true;
  desktop.answerer = [&](const sim::MessageBoxRecord& box) {
    if (box.text == firstRunQuestion) return platform::IDYES;
    openWhileShown = desktop.clipboardOpen;
    return platform::IDOK;
  };
  runWithViewerBehind([&] {
    // Another program holds the whole file while the text arrives.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(desktop.hostPath(dataFolder + "tdclips.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    desktop.copyText("cannot be stored", editor);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(program->view.rows.size() == 1u);  // only the welcome clip is listed
  });
  EXPECT_FALSE(openWhileShown);
  EXPECT_TRUE(capturedTexts().empty());
  ASSERT_GE(desktop.messageBoxes.size(), 2u);
  EXPECT_EQ(desktop.messageBoxes[1].text,
            "Unable to finalize Database transaction. Please notify the Tandrel support team");
}

}  // namespace
