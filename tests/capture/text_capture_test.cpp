// Which copied texts become clips: floods and repeats, the hijack and race alarms, combine mode,
// rich text, captions, and texts too long or too big for the list.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>

#include "ops/set_commands.h"
#include "platform/clipboard.h"
#include "platform/sim/code_page.h"
#include "support/main_window_script.h"
#include "ui/commands.h"
#include "ui/caption.h"
#include "ui/clip_list.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

class TextCaptureTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    editor = desktop.addForeignWindow("Notes - Editor", "C:\\Tools\\editor.exe");
    mail = desktop.addForeignWindow("Inbox - Mail", "C:\\Tools\\mail.exe");
  }
  void startWith(const std::string& settings) { seed({}, {}, "Version = 2.8\r\n" + settings); }
  Rows stored() { return query("select cText, cSource from cTbl order by cKey"); }
  // Moves the clock to the start of the next ten-second step of the capture time.
  void nextTenSeconds() { desktop.ticks += 10000 - (desktop.ticks + 9000) % 10000; }
  bool capturing() { return desktop.tray.at(program->mainWindow).tooltip != "Tandrel Not Active"; }
  bool logHasPart(const std::string& part) { return logLinesWith(part) > 0; }
  bool editorMenuHas(int item) {
    const auto& items = desktop.menus[ui::editorPopupNumber];
    return std::any_of(items.begin(), items.end(), [item](const platform::MenuItem& m) { return m.id == item; });
  }
  platform::Hwnd editor = 0, mail = 0;
};

TEST_F(TextCaptureTest, SameTextCopiedTwiceFromAnyWindowIsStoredOnce) {
  startWith("SupressDuplicates = N\r\n");
  desktop.then([&] {
    desktop.copyText("twice", editor);
    desktop.copyText("twice", mail);
  });
  runToEnd();
  EXPECT_EQ(stored(), (Rows{{"twice", "Notes - Editor"}}));
}

TEST_F(TextCaptureTest, TextsSharingOneAnsiFormAreTwoClipsEachShownAndPutBackExactly) {
  startWith("SupressDuplicates = Y\r\n");
  const std::string hello = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";   // six Cyrillic letters
  const std::string peace = "\xD0\x9C\xD0\xB8\xD1\x80\xD0\xBD\xD1\x8B\xD0\xB9";   // six others
  const std::string greeting = "Gr\xC3\xBC\xC3\x9F" "e";
  const auto copyWide = [&](const std::string& text) {
    desktop.copyFormats({{platform::CF_UNICODETEXT, sim::utf16FromUtf8(text)}}, editor);
  };
  desktop.then([&] {
    copyWide(hello);
    copyWide(peace);
    copyWide(peace);
    copyWide(greeting);
    desktop.copyText("\x80 \x99", mail);
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("\xE2\x82\xAC \xE2\x84\xA2"), wideCaption(greeting),
                                    wideCaption(peace), wideCaption(hello)}));
    // A double click puts the exact text back beside its ANSI form, and it is not captured again.
    selectOnly(ui::gadgetClipList, 3);
    ui::activateClip(*program);
    EXPECT_EQ(clipboardText(), "??????");
    EXPECT_EQ(sim::utf8FromUtf16(desktop.clipboard[platform::CF_UNICODETEXT]), hello);
    EXPECT_EQ(platform::editorText(ui::gadgetTextEditor), hello + "\n\r");
    // A text that fits the code page goes back as CF_TEXT alone, as it always did.
    selectOnly(ui::gadgetClipList, 2);
    ui::activateClip(*program);
    EXPECT_EQ(desktop.clipboard.count(platform::CF_UNICODETEXT), 0u);
    EXPECT_EQ(clipboardText(), "Gr\xFC\xDF" "e");
    // Added from the Text tab, an exact text keeps its characters.
    platform::setEditorText(ui::gadgetTextEditor, peace + "!");
    post(ui::gadgetAddItem);
  });
  runToEnd();
  // Texts that fit the code page are stored as before, with no exact copy beside them.
  EXPECT_EQ(query("select cText, ifnull(eText, '-') from cTbl left join cExact using (cKey) order by cKey"),
            (Rows{{"??????", hello}, {"??????", peace}, {"Gr\xFC\xDF" "e", "-"}, {"\x80 \x99", "-"}, {"??????!", peace + "!"}}));
}

TEST_F(TextCaptureTest, ThirtiethRepeatSwitchesCaptureOffAsAHijack) {
  startWith("SupressDuplicates = Y\r\n");
  desktop.then([&] {
    for (int i = 0; i < 30; ++i) desktop.copyText("loop", editor);
    EXPECT_TRUE(capturing());
    desktop.copyText("loop", editor);
    EXPECT_FALSE(capturing());
    const sim::Gadget& status = gadget(ui::gadgetStatusLine);
    EXPECT_EQ(status.text, "Clipboard Hijack");
    EXPECT_EQ(status.textColour, platform::rgb(255, 255, 255));
    EXPECT_EQ(status.background, platform::rgb(255, 0, 0));
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).text, "Inactive");
    desktop.copyText("after the alarm", editor);
  });
  runToEnd();
  EXPECT_EQ(stored(), (Rows{{"loop", "Notes - Editor"}}));
}

TEST_F(TextCaptureTest, RepeatsWithoutSuppressionAreDroppedButCaptureStaysOn) {
  startWith("SupressDuplicates = N\r\n");
  desktop.then([&] {
    for (int i = 0; i < 61; ++i) desktop.copyText("loop", editor);
    EXPECT_TRUE(capturing());
    desktop.copyText("next", editor);
  });
  runToEnd();
  EXPECT_EQ(stored(), (Rows{{"loop", "Notes - Editor"}, {"next", "Notes - Editor"}}));
}

TEST_F(TextCaptureTest, SuppressedRepeatIsJudgedByTheFirst1000CharactersAlone) {
  startWith("SupressDuplicates = Y\r\n");
  const std::string head(1000, 'h');
  desktop.then([&] {
    desktop.copyText(head + "one", editor);
    nextTenSeconds();
    desktop.copyText(head + "two", mail);
  });
  runToEnd();
  EXPECT_EQ(stored(), (Rows{{head + "one", "Notes - Editor"}}));
}

TEST_F(TextCaptureTest, UnsuppressedRepeatNeedsTheSameWindowWithinTenSeconds) {
  startWith("SupressDuplicates = N\r\n");
  const std::string head(1000, 'h');
  desktop.then([&] {
    nextTenSeconds();
    desktop.copyText(head + "one", editor);
    desktop.ticks += 3000;
    desktop.copyText(head + "two", editor);    // same window, same ten seconds: dropped
    desktop.copyText(head + "three", mail);    // another window
    nextTenSeconds();
    desktop.copyText(head + "four", mail);     // the next ten seconds
  });
  runToEnd();
  EXPECT_EQ(stored(), (Rows{{head + "one", "Notes - Editor"}, {head + "three", "Inbox - Mail"}, {head + "four", "Inbox - Mail"}}));
}

TEST_F(TextCaptureTest, TwentiethConsecutiveRepeatRaisesTheRaceAlarm) {
  startWith("SupressDuplicates = Y\r\n");
  const std::string head(1000, 'r');
  desktop.then([&] {
    for (int i = 0; i <= 19; ++i) desktop.copyText(head + std::to_string(i), editor);
    EXPECT_TRUE(capturing());
    EXPECT_FALSE(logHasPart(" Tandrel Possible Race Condition detected - restarting "));
    desktop.copyText(head + "20", editor);
    EXPECT_FALSE(capturing());
    EXPECT_TRUE(logHasPart(" Tandrel Possible Race Condition detected - restarting "));
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).text, "Inactive");
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).textColour, platform::rgb(255, 0, 0));
    EXPECT_EQ(gadget(ui::gadgetCaptureToggle).picture, platform::Picture::CaptureOff);
  });
  runToEnd();
  EXPECT_EQ(stored(), (Rows{{head + "0", "Notes - Editor"}}));
}

TEST_F(TextCaptureTest, TextOfExactly1000CharactersIsListedWholeButReadFromTheDatabase) {
  startWith("");
  const std::string text999(999, 'n'), text1000(1000, 'm');
  desktop.then([&] {
    desktop.copyText(text999, editor);
    desktop.copyText(text1000, editor);
    ASSERT_EQ(program->view.rows.size(), 2u);
    EXPECT_EQ(program->view.rows[0].complete, "Y");
    EXPECT_EQ(program->view.rows[1].complete, "N");
    EXPECT_EQ(program->view.rows[1].preview, text1000);
    // With an edit under way only a complete row is shown from memory; the cut one is read again.
    execute("update cTbl set cText = 'changed behind the list'");
    program->view.textTabEdited = 1;
    selectOnly(ui::gadgetClipList, 0);
    ui::clickSelectClip(*program);
    EXPECT_EQ(platform::editorText(ui::gadgetTextEditor), "changed behind the list\n\r");
    selectOnly(ui::gadgetClipList, 1);
    ui::clickSelectClip(*program);
    EXPECT_EQ(platform::editorText(ui::gadgetTextEditor), text999 + "\n\r");
    program->view.textTabEdited = 0;
  });
  runToEnd();
}

TEST_F(TextCaptureTest, CaptionIsTheFirstVisibleLineCutAndPadded) {
  using ui::buildCaption;
  using ui::formatCaption;
  EXPECT_EQ(buildCaption("\n\n  Hello\nWorld", 110, 70), "Hello" + std::string(80, ' '));
  EXPECT_EQ(buildCaption("\n\n  Hello\nWorld", 76, 48), "Hello" + std::string(58, ' '));
  EXPECT_EQ(buildCaption("      ", 110, 70), std::string(85, ' '));
  EXPECT_EQ(buildCaption(" \t \t", 110, 70), "\t \t" + std::string(82, ' '));
  // Nothing visible within the first 81 characters: the text stands as it is.
  EXPECT_EQ(buildCaption(std::string(90, '\t') + "Word", 110, 70), std::string(70, '\t'));
  EXPECT_EQ(buildCaption(std::string(100, 'x'), 110, 70), std::string(70, 'x'));
  EXPECT_EQ(buildCaption(std::string(100, 'x'), 76, 48), std::string(48, 'x'));
  EXPECT_EQ(formatCaption(std::string(29, 'c') + "\r\n", 110, 70), std::string(29, 'c') + std::string(21, ' '));
  EXPECT_EQ(formatCaption(std::string(30, 'c'), 110, 70), std::string(30, 'c') + " ");
  EXPECT_EQ(formatCaption(std::string(14, 'c'), 76, 48), std::string(14, 'c') + std::string(49, ' '));
}

TEST_F(TextCaptureTest, ListShowsTheCaptionOfTheFirstVisibleLine) {
  startWith("");
  desktop.measurePixelsPerChar = 8;
  desktop.then([&] {
    desktop.copyText("\n\n  Hello\nWorld", editor);
    EXPECT_EQ(listColumn(0), (Texts{"Hello" + std::string(58, ' ')}));
  });
  runToEnd();
}

TEST_F(TextCaptureTest, CombineModeGathersCapturesIntoTheClipItCreated) {
  seed({{"td_clips", "older clip", "Somewhere", " "}});
  desktop.then([&] { post(ui::gadgetCombineCaptures); });
  desktop.then([&] {
    desktop.copyText("one", editor);
    desktop.copyText("two", mail);
    // The user looks at another clip meanwhile; gathering goes on into the combined clip.
    selectOnly(ui::gadgetClipList, 1);
    ui::clickSelectClip(*program);
    desktop.copyText("three", editor);
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("one"), wideCaption("older clip")}));
    EXPECT_EQ(gadget(ui::gadgetCollectingLabel).text, "Combining");
    // A piece beyond the code page after pieces within it: the clip gets its exact text then.
    desktop.copyFormats({{platform::CF_UNICODETEXT, sim::utf16FromUtf8("\xCE\xA9")}}, mail);
    post(ui::gadgetCombineCaptures);
  });
  desktop.then([&] { desktop.copyText("four", editor); });
  runToEnd();
  EXPECT_EQ(query("select cText, ifnull(eText, '-') from cTbl left join cExact using (cKey) order by cKey"),
            (Rows{{"older clip", "-"}, {"one\n\rtwo\n\rthree\n\r?\n\r", "one\n\rtwo\n\rthree\n\r\xCE\xA9\n\r"}, {"four", "-"}}));
}

TEST_F(TextCaptureTest, CombinedClipIsPlainTextFromItsSecondPieceAndStaysTheRowShown) {
  seed({{"td_clips", "older clip", "Somewhere", " "}}, {}, "Version = 2.8\r\nSaveHTML = Y\r\n");
  desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  const std::string rtf = "{\\rtf1\\ansi {\\b one}}";
  std::int64_t combined = 0;
  desktop.then([&] { post(ui::gadgetCombineCaptures); });
  desktop.then([&] {
    const unsigned format = platform::registerClipboardFormat("Rich Text Format");
    desktop.copyFormats({{platform::CF_TEXT, std::string("one") + '\0'}, {format, rtf + '\0'}}, editor);
    combined = program->capture.combineKey;
    EXPECT_EQ(query("select cRTFsw, cRTF from cTbl where cKey = " + std::to_string(combined)), (Rows{{"Y", rtf}}));
    // The older clip goes back to the clipboard and to the top row.
    selectOnly(ui::gadgetClipList, 1);
    ui::activateClip(*program);
    desktop.copyText("two", mail);
    EXPECT_EQ(query("select cText, cRTFsw, cRTF from cTbl where cKey = " + std::to_string(combined)),
              (Rows{{"one\n\rtwo\n\r", "N", " "}}));
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("older clip"), wideCaption("one")}));
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{1}));
    EXPECT_EQ(platform::editorText(ui::gadgetTextEditor), "one\n\rtwo\n\r");
    EXPECT_EQ(ui::elementWithKey(*program, combined)->richFlag, "N");

    // A refused update leaves the row as the database has it.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(desktop.hostPath(dataFolder + "tdclips.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    desktop.copyText("three", editor);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(desktop.messageBoxes.back().text,
              "Database Insert Error - Insert failed For Value database is locked");
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(ui::elementWithKey(*program, combined)->preview, "one\n\rtwo\n\r");
    desktop.copyText("four", mail);
    // Deleted meanwhile (here by another program), the combined clip is made again with all that
    // was gathered, and the pieces after it join the new one: none is lost.
    query("DELETE FROM cTbl WHERE cKey = " + std::to_string(combined));
    desktop.copyText("five", editor);
    desktop.copyText("six", mail);
  });
  runToEnd();
  EXPECT_EQ(query("select cText, cRTFsw from cTbl where cKey >= " + std::to_string(combined) + " order by cKey"),
            (Rows{{"one\n\rtwo\n\rthree\n\rfour\n\rfive\n\rsix\n\r", "N"}}));
}

TEST_F(TextCaptureTest, TextWhoseInsertFailsLeavesNoRow) {
  seed({{"td_clips", "older clip", "Somewhere", " "}});
  desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  desktop.then([&] {
    sqlite3* other = nullptr;
    sqlite3_open(desktop.hostPath(dataFolder + "tdclips.db").c_str(), &other);
    sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
    desktop.copyText("never stored", editor);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("older clip")}));
    EXPECT_EQ(gadget(ui::gadgetClipCount).text, "1");
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    desktop.copyText("stored", editor);
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("stored"), wideCaption("older clip")}));
  });
  runToEnd();
  EXPECT_EQ(query("select cText from cTbl order by cKey"), (Rows{{"older clip"}, {"stored"}}));
}

TEST_F(TextCaptureTest, RichTextIsStoredWithItsMarkAndShown) {
  startWith("SaveHTML = Y\r\n");
  const std::string rtf = "{\\rtf1\\ansi {\\b bold} words}";
  desktop.then([&] {
    const unsigned format = platform::registerClipboardFormat("Rich Text Format");
    desktop.copyFormats({{platform::CF_TEXT, std::string("bold words") + '\0'}, {format, rtf + '\0'}}, editor);
    EXPECT_EQ(gadget(ui::gadgetTextEditor).richText, rtf);
    EXPECT_FALSE(editorMenuHas(508));
    desktop.copyFormats({{platform::CF_TEXT, std::string("plain after all") + '\0'}, {format, "no rich text here"}}, editor);
    EXPECT_EQ(gadget(ui::gadgetTextEditor).richText, "");
    EXPECT_EQ(platform::editorText(ui::gadgetTextEditor), "plain after all\n\r");
    desktop.copyText("no rich text at all", editor);
    EXPECT_TRUE(editorMenuHas(508));
    EXPECT_TRUE(editorMenuHas(514));
  });
  runToEnd();
  EXPECT_EQ(query("select cText, cRTFsw, cRTF from cTbl order by cKey"),
            (Rows{{"bold words", "Y", rtf},
                  {"plain after all", "Y", "no rich text here"},
                  {"no rich text at all", "N", " "}}));
}

TEST_F(TextCaptureTest, ListRowsThatNoLongerMatchTheKeptRowsAreLogged) {
  startWith("");
  desktop.then([&] {
    desktop.copyText("matching", editor);
    program->view.rows.push_back(core::ClipRow{});  // a kept row no list row shows
    desktop.copyText("after the damage", editor);
  });
  runToEnd();
  const auto lines = logLines();
  EXPECT_EQ(logLinesWith("do not match"), 1);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "2026-12-08  14:03:59 List rows 2 do not match the kept rows 3"),
            lines.end());
}

TEST_F(TextCaptureTest, HugeTextIsCapturedAndTextsBeyondTheLimitAreRefusedBeforeTheyAreCopied) {
  startWith("SaveHTML = Y\r\n");
  const std::string text(64u << 20, 't');
  const std::string rtf = "{\\rtf1 " + std::string(16u << 20, 'r') + "}";
  const std::string tooLarge((80u << 20) + 1, 'x');
  desktop.then([&] {
    const unsigned format = platform::registerClipboardFormat("Rich Text Format");
    desktop.copyFormats({{platform::CF_TEXT, text + '\0'}, {format, rtf + '\0'}}, editor);
    EXPECT_EQ(listColumn(0), (Texts{std::string(70, 't')}));
    desktop.copyText(tooLarge, editor);
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Clip Too Large");
    EXPECT_EQ(listColumn(0).size(), 1u);
    // Rich text beyond the limit is dropped; its plain text is kept.
    desktop.copyFormats({{platform::CF_TEXT, std::string("plain kept") + '\0'}, {format, "{\\rtf1 " + tooLarge + "}"}}, editor);
    EXPECT_EQ(listColumn(0).size(), 2u);
  });
  runToEnd();
  EXPECT_EQ(query("select length(cText), length(cRTF), cRTFsw from cTbl"),
            (Rows{{std::to_string(text.size()), std::to_string(rtf.size()), "Y"}, {"10", "1", "N"}}));
  EXPECT_EQ(logLinesWith("copied text of 83886082 bytes refused: a clip holds at most 80 MB"), 1);
  EXPECT_EQ(logLinesWith("rich text of 83886089 bytes dropped, its plain text kept"), 1);
}

TEST_F(TextCaptureTest, TextAddedFromTheTextTabIsListedAndSavedOnlyWhenStoredAndCaptureGoesOn) {
  seed({{"td_clips", "older clip", "Somewhere", " "}});
  desktop.then([&] {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabText);
    platform::setEditorText(ui::gadgetTextEditor, "typed by hand");
    post(ui::gadgetAddItem);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Clip Saved");
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("typed by hand"), wideCaption("older clip")}));
    desktop.copyText("copied after", editor);
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("copied after"), wideCaption("typed by hand"), wideCaption("older clip")}));
    // The text just captured, typed again over another clip, is a repeat: not saved.
    selectOnly(ui::gadgetClipList, 2);
    ui::clickSelectClip(*program);
    platform::setEditorText(ui::gadgetTextEditor, "copied after");
    post(ui::gadgetAddItem);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Duplicate");
    EXPECT_EQ(listColumn(0).size(), 3u);
  });
  runToEnd();
  EXPECT_EQ(stored(), (Rows{{"older clip", "Somewhere"}, {"typed by hand", "Created by User"}, {"copied after", "Notes - Editor"}}));
}

TEST_F(TextCaptureTest, SwitchingListPasteOnAndOffLeavesOtherProgramsFormatsAlone) {
  seed({{"td_clips", "older clip", "Somewhere", " "}});
  desktop.then([&] {
    post(ui::gadgetListPaste);
    post(ui::gadgetListPaste);
  });
  desktop.then([&] {
    ASSERT_EQ(program->capture.listPasteMode, 0);
    const unsigned cells = platform::registerClipboardFormat("Spreadsheet Cells");
    const std::map<unsigned, std::string> copied{{platform::CF_TEXT, std::string("two formats") + '\0'}, {cells, "cells"}};
    desktop.copyFormats(copied, editor);
    EXPECT_EQ(listColumn(0)[0], wideCaption("two formats"));
    EXPECT_EQ(desktop.clipboard, copied);
    ops::LoadActiveSet(*program);
    EXPECT_EQ(desktop.clipboard, copied);
  });
  runToEnd();
}

}  // namespace
