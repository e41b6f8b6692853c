// Editing in the Text tab: what a save writes and over which clip, the cut that becomes a clip,
// find and replace in one clip and across the list, and the editor's links.
#include <gtest/gtest.h>

#include "ops/printing.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/sim/code_page.h"
#include "support/main_window_script.h"
#include "ui/clip_list.h"
#include "ui/commands.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

class TextEditTest : public MainWindowTest {
 protected:
  std::string editor() { return platform::editorText(ui::gadgetTextEditor); }
  std::string selected() { return platform::editorSelectedText(ui::gadgetTextEditor); }
  void select(int start, int end) { platform::setEditorSelection(ui::gadgetTextEditor, start, end); }
  void type(const std::string& text) { desktop.typeInEditor(ui::gadgetTextEditor, text); }
  // The user clicks a row (the program starts on the Online Help tab).
  void show(int row) {
    selectOnly(ui::gadgetClipList, row);
    ui::clickSelectClip(*program);
  }
  void find(unsigned flags, const std::string& what, const std::string& with = "") {
    desktop.pressFindButton(flags | platform::FIND_DOWN, what, with);
  }
  Rows textsOf(const std::string& set) {
    return query("select hex(cText) from cTbl where cSet = '" + set + "' order by cKey");
  }
  static std::string hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
  }
};

TEST_F(TextEditTest, ReplacingAnUneditedClipKeepsItsBytesAndTrashesTheOldRecord) {
  const std::string text = "line one\nline two  \r\n\tend ";
  seed({{"td_clips", text, "Editor", " "}});
  desktop.then([&] {
    show(0);
    post(ui::gadgetReplaceClip);
  });
  desktop.then([&] {
    EXPECT_EQ(textsOf("td_clips"), (Rows{{hex(text)}}));
    EXPECT_EQ(textsOf("td_trash"), (Rows{{hex(text)}}));
    post(ui::gadgetReplaceClip);
  });
  desktop.then([&] {
    EXPECT_EQ(textsOf("td_clips"), (Rows{{hex(text)}}));
    // An edit is saved without the line end the display added, however often it is saved.
    select(0, 4);
    type("LINE");
    post(ui::gadgetReplaceClip);
  });
  desktop.then([&] { post(ui::gadgetReplaceClip); });
  desktop.then([&] { EXPECT_EQ(query("select cText from cTbl where cSet = 'td_clips'"), (Rows{{"LINE one\nline two  \r\n\tend "}})); });
  runToEnd();
}

TEST_F(TextEditTest, ExactTextIsKeptBySavesEditsCutsCombiningAndPrinting) {
  const std::string hello = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // six Cyrillic letters
  const std::string window = "\xD0\x9E\xD0\xBA\xD0\xBD\xD0\xBE";                  // a Cyrillic title
  const auto exactRows = [&] {
    return query("select cText, ifnull(eText, '-'), ifnull(eSource, '-') from cTbl join cExact using (cKey) "
                 "where cSet = 'td_clips' order by cKey");
  };
  seed({{"td_clips", "plain", "s", " "}});
  desktop.then([&] {
    desktop.copyFormats({{platform::CF_UNICODETEXT, sim::utf16FromUtf8(hello + " world")}},
                        desktop.addForeignWindow(window, "C:\\Tools\\editor.exe"));
    EXPECT_EQ(exactRows(), (Rows{{"?????? world", hello + " world", window}}));
    EXPECT_EQ(listColumn(1)[0], window);
    show(0);
    post(ui::gadgetReplaceClip);  // unedited: the exact text is stored, not its ANSI copy
  });
  desktop.then([&] {
    EXPECT_EQ(exactRows(), (Rows{{"?????? world", hello + " world", window}}));
    select(0, 0);
    type("> ");
    post(ui::gadgetReplaceClip);  // edited: the characters not edited stay
  });
  desktop.then([&] {
    EXPECT_EQ(exactRows(), (Rows{{"> ?????? world", "> " + hello + " world", window}}));
    select(2, 2 + static_cast<int>(hello.size()));
    post(ui::gadgetCut);
  });
  desktop.then([&] {
    EXPECT_EQ(exactRows(), (Rows{{"??????", hello, "-"}, {">  world", "-", window}}));
    // Search Clips finds it from another clip, whatever its case.
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetSearchClips);
  });
  desktop.then([&] {
    find(platform::FIND_FINDNEXT, "\xD1\x80\xD0\xB8\xD0\xB2");
    EXPECT_EQ(selected(), "\xD1\x80\xD0\xB8\xD0\xB2");
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{0}));
    desktop.pressFindButton(platform::FIND_DIALOGTERM, "", "");
    // Combined with a text of the code page, the exact text is joined.
    selectOnly(ui::gadgetClipList, 0);
    platform::selectListRow(ui::gadgetClipList, 2);
    post(ui::gadgetCombineSelected);
  });
  desktop.then([&] {
    EXPECT_EQ(query("select ifnull(eText, '-') from cTbl left join cExact using (cKey) where cSource = 'Tandrel Combined'"),
              (Rows{{hello + "\r\nplain"}}));
    // Printed as UTF-16 with a byte order mark, since the code page cannot hold it.
    selectOnly(ui::gadgetClipList, 0);
    ui::clickSelectClip(*program);
    std::string path;
    ASSERT_EQ(ops::writePrintFile(*program, path), 1);
    EXPECT_EQ(read(path), "\xFF\xFE" + std::string("\x1F\x04\x40\x04\x38\x04\x32\x04\x35\x04\x42\x04\r\0\n\0p\0l\0a\0i\0n\0", 26));
  });
  runToEnd();
}

TEST_F(TextEditTest, CutMakesTheCutTextAClipAndSavesTheRestOverTheSameClip) {
  seed({{"td_clips", "one two", "Editor", "my note"}, {"td_clips", "other", "Editor", " "}});
  desktop.then([&] { show(1); });
  desktop.then([&] {
    ASSERT_EQ(editor().substr(0, 7), "one two");
    post(ui::gadgetCut);  // nothing selected: nothing happens
  });
  desktop.then([&] {
    EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"2"}}));
    select(4, 7);
    selectOnly(ui::gadgetClipList, 0);  // the list points elsewhere; the edit is still "one two"'s
    post(ui::gadgetCut);
  });
  desktop.then([&] {
    EXPECT_EQ(clipboardText(), "two");
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("two"), wideCaption("other"), wideCaption("one")}));
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{2}));
  });
  runToEnd();
  EXPECT_EQ(query("select cText, cSource, cNote, cSet from cTbl order by cKey"),
            (Rows{{"other", "Editor", " ", "td_clips"}, {"two", "Tandrel edit", "my note", "td_clips"},
                  {"one ", "Editor", "my note", "td_clips"}}));
}

TEST_F(TextEditTest, ACutWhoseTextCannotBeStoredLeavesTheClipWhole) {
  seed({{"td_clips", "one two", "Editor", " "}});
  execute("CREATE TRIGGER refuse BEFORE INSERT ON cTbl WHEN NEW.cSource = 'Tandrel edit' "
          "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
  desktop.then([&] {
    show(0);
    select(4, 7);
    desktop.answerNext(platform::IDOK);  // the store's own message
    post(ui::gadgetCut);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(editor().substr(0, 7), "one two");
    EXPECT_EQ(clipboardText(), "two");  // what was cut is still there to paste
  });
  runToEnd();
  EXPECT_EQ(query("select cText, cSource from cTbl"), (Rows{{"one two", "Editor"}}));
}

TEST_F(TextEditTest, ASaveTheStoreRefusesAtAnyStepLeavesTheClipOnceAndTheListShowingItsStoredText) {
  seed({{"td_clips", "one two", "Editor", " "}});
  desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  desktop.then([&] {
    show(0);
    select(0, 3);
    type("ONE");
    execute("CREATE TRIGGER refuse BEFORE INSERT ON cTbl BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    post(ui::gadgetReplaceClip);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("one two")}));
    // Now the new record goes in and the old one cannot be retired.
    execute("DROP TRIGGER refuse; CREATE TRIGGER refuse BEFORE UPDATE OF cSet ON cTbl "
            "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    post(ui::gadgetReplaceClip);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("one two")}));
    EXPECT_EQ(query("select cText, cSet from cTbl"), (Rows{{"one two", "td_clips"}}));
    execute("DROP TRIGGER refuse");
    post(ui::gadgetReplaceClip);
  });
  desktop.then([&] {
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("ONE two")}));
    EXPECT_EQ(query("select cText, cSet from cTbl order by cKey"), (Rows{{"one two", "td_trash"}, {"ONE two", "td_clips"}}));
  });
  runToEnd();
}

TEST_F(TextEditTest, SearchClipsFindsTheTopClipThenLowerOnesAndReplaceChangesOnlyTheFoundClip) {
  seed({{"td_clips", "needle deep down", "s", " "}, {"td_clips", "nothing here", "s", " "},
        {"td_clips", "top Needle", "s", " "}});
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 1);
    post(ui::gadgetSearchClips);
  });
  desktop.then([&] {
    EXPECT_TRUE(desktop.findDialog.open);
    find(platform::FIND_FINDNEXT, "needle");
    EXPECT_EQ(selected(), "Needle");
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{0}));
    find(platform::FIND_FINDNEXT, "needle");
    EXPECT_EQ(selected(), "needle");
    EXPECT_EQ(platform::listSelectedRows(ui::gadgetClipList), (std::vector<int>{2}));
    type("pin");
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetReplaceClip);
  });
  desktop.then([&] {
    EXPECT_EQ(query("select cText from cTbl where cSet = 'td_clips' order by cText"),
              (Rows{{"nothing here"}, {"pin deep down"}, {"top Needle"}}));
    desktop.answerNext(platform::IDOK);
    find(platform::FIND_FINDNEXT | platform::FIND_MATCHCASE, "needle");
    EXPECT_EQ(desktop.messageBoxes.back().text, "Cannot find needle");
    EXPECT_EQ(desktop.messageBoxes.back().title, "Info");
  });
  runToEnd();
}

TEST_F(TextEditTest, FindStartsAtTheCaretAndReplaceTakesTheHighlightedMatch) {
  seed({{"td_clips", "cat dog cat dog cat", "s", " "}});
  desktop.then([&] {
    show(0);
    post(ui::gadgetFind);
    post(ui::gadgetFind);  // a second Find keeps the one dialog
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.findDialog.opened, 1);
    platform::setEditorCaret(ui::gadgetTextEditor, 5);
    find(platform::FIND_FINDNEXT, "cat");
    EXPECT_EQ(platform::editorSelection(ui::gadgetTextEditor).start, 8);
    find(platform::FIND_REPLACE, "cat", "cow");
    EXPECT_EQ(editor().substr(0, 19), "cat dog cow dog cat");
    EXPECT_EQ(platform::editorSelection(ui::gadgetTextEditor).start, 16);
    desktop.pressFindButton(platform::FIND_DIALOGTERM, "");
    EXPECT_EQ(program->edit.findDialogOpen, 0);
  });
  runToEnd();
}

TEST_F(TextEditTest, ReplaceAllEndsEvenWhenTheReplacementHoldsTheText) {
  seed({{"td_clips", "a-a-a", "s", " "}});
  desktop.menuPicks.clear();
  desktop.then([&] {
    show(0);
    desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, ui::commandFindReplace, 0, 0});
  });
  desktop.then([&] {
    ASSERT_TRUE(desktop.findDialog.replace);
    desktop.answerNext(platform::IDOK);
    find(platform::FIND_REPLACEALL, "a", "aa");
    EXPECT_EQ(editor().substr(0, 8), "aa-aa-aa");
    EXPECT_EQ(desktop.messageBoxes.back().text, "Finished");
  });
  runToEnd();
}

TEST_F(TextEditTest, AdditionalInformationCannotBeReplacedOrCut) {
  seed({{"td_clips", "keep me", "s", "a note"}});
  desktop.then([&] {
    show(0);
    post(ui::gadgetAdditionalInfo);
  });
  desktop.then([&] {
    desktop.answerNext(platform::IDOK);
    post(ui::gadgetReplaceClip);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.messageBoxes.back().text, "Sorry, This Clip Information may not be edited/replaced");
    EXPECT_EQ(query("select cText, cSet from cTbl"), (Rows{{"keep me", "td_clips"}}));
  });
  runToEnd();
}

TEST_F(TextEditTest, OnlyWebAndMailLinksOpenAndALongOneIsRefused) {
  const std::string text = "see http://example.com/a or javascript:alert(1)";
  seed({{"td_clips", text, "s", " "}});
  desktop.then([&] {
    show(0);
    desktop.clickLink(ui::gadgetTextEditor, 4, 24);
  });
  desktop.then([&] { desktop.clickLink(ui::gadgetTextEditor, 28, 47); });
  desktop.then([&] {
    desktop.answerNext(platform::IDOK);
    desktop.clickLink(ui::gadgetTextEditor, 0, 3000);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.shellExecutions.size(), 1u);
    EXPECT_EQ(desktop.shellExecutions[0].file, "http://example.com/a");
    EXPECT_EQ(desktop.messageBoxes.back().text, "Unable to Open a URL of that length from Tandrel");
  });
  runToEnd();
}

}  // namespace
