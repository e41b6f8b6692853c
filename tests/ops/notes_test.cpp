// Notes through the prompt and sequence numbers, read back from the database byte for byte.
#include <gtest/gtest.h>

#include "ops/notes.h"
#include "support/main_window_script.h"
#include "ui/commands.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

class NotesTest : public MainWindowTest {
 protected:
  Rows notes() { return query("select hex(cNote) from cTbl order by cKey desc"); }
  static std::string hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
  }
  void menu(int command) { desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, command, 0, 0}); }
};

TEST_F(NotesTest, NoteWithQuoteAndAccentRoundTripsAndBlanksClearIt) {
  seed({{"td_clips", "first", "Editor", " "}, {"td_clips", "second", "http://example.com/page", "old note"}});
  desktop.promptAnswers = {{platform::PromptButton::Ok, "it's caf\xe9"},
                           {platform::PromptButton::Ok, ""},
                           {platform::PromptButton::Ok, "   "}};
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetEditNote);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.prompts.size(), 1u);
    EXPECT_EQ(desktop.prompts[0].layout.text, "old note");
    EXPECT_EQ(desktop.prompts[0].layout.prompt, std::string(25, ' ') + "Enter/Update Note Text - (100 char maximum)");
    EXPECT_EQ(listColumn(1)[0], "it's caf\xc3\xa9");  // stored ANSI, shown UTF-8
    EXPECT_EQ(clipboardText(), "second");
    post(ui::gadgetEditNote);  // left empty: the note stays
  });
  desktop.then([&] {
    EXPECT_EQ(notes()[0][0], hex("it's caf\xe9"));
    post(ui::gadgetEditNote);  // blanks only: the note goes and the source shows
  });
  desktop.then([&] { EXPECT_EQ(listColumn(1)[0], "http://example.com/page"); });
  runToEnd();
  EXPECT_EQ(notes(), (Rows{{hex(" ")}, {hex(" ")}}));
}

TEST_F(NotesTest, OpenUrlOpensTheRowsSourceOnlyWhenItIsAWebAddress) {
  seed({{"td_clips", "plain", "Editor", " "}, {"td_clips", "web", "https://example.com/x", " "}});
  desktop.promptAnswers = {{platform::PromptButton::OpenUrl, "https://example.com/x"},
                           {platform::PromptButton::OpenUrl, "Editor"}};
  desktop.then([&] {
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetEditNote);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.shellExecutions.size(), 1u);
    EXPECT_EQ(desktop.shellExecutions[0].verb, "open");
    EXPECT_EQ(desktop.shellExecutions[0].file, "https://example.com/x");
    selectOnly(ui::gadgetClipList, 1);
    desktop.answerNext(platform::IDOK);
    post(ui::gadgetEditNote);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.messageBoxes.back().text, "Sorry, but that source does not appear to be a valid URL");
    EXPECT_EQ(desktop.shellExecutions.size(), 1u);
  });
  runToEnd();
}

TEST_F(NotesTest, SequencingTwiceThenRemovingGivesThePrefixesThenTheOriginalNotes) {
  seed({{"td_clips", "c", "s", " "}, {"td_clips", "b", "s", "(>)short"}, {"td_clips", "a", "s", "it's"}});
  const Rows original = notes();
  desktop.then([&] { menu(ui::commandAddSequence); });
  desktop.then([&] { menu(ui::commandAddSequence); });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Sequenced");
    EXPECT_EQ(listColumn(1), (Texts{"(>)00100it's", "(>)00110(>)short", "(>)00120"}));
    EXPECT_EQ(notes(), (Rows{{hex("(>)00100it's")}, {hex("(>)00110(>)short")}, {hex("(>)00120 ")}}));
    menu(ui::commandRemoveSequence);
  });
  desktop.then([&] { EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Cleared"); });
  runToEnd();
  EXPECT_EQ(notes(), original);
}

TEST_F(NotesTest, SequencingStopsAtAClipItCannotRead) {
  seed({{"td_clips", "c", "s", "note c"}, {"td_clips", "b", "s", "note b"}, {"td_clips", "a", "s", "note a"}});
  desktop.then([&] {
    execute("delete from cTbl where cText = 'b'");
    menu(ui::commandAddSequence);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(listColumn(1), (Texts{"(>)00100note a", "note c"}));
  });
  runToEnd();
  EXPECT_EQ(query("select cText, cNote from cTbl order by cKey"), (Rows{{"c", "note c"}, {"a", "(>)00100note a"}}));
}

TEST(SequencePrefix, RemovalTakesTheRowsOwnPrefixElseTheMarkAndFiveDigitsButNeverAShorterNote) {
  EXPECT_EQ(ops::withoutSequence("(>)00100note", 0), "note");
  EXPECT_EQ(ops::withoutSequence("(>)100000note", 9990), "note");  // six digits from row 9,990 on
  EXPECT_EQ(ops::withoutSequence("(>)0012x", 0), "(>)0012x");
  EXPECT_EQ(ops::withoutSequence("(>)", 0), "(>)");
  EXPECT_EQ(ops::withoutSequence("note (>)00100", 0), "note (>)00100");
  // Digits of the note's own after its prefix stay.
  EXPECT_EQ(ops::withoutSequence("(>)001002024 budget", 0), "2024 budget");
  EXPECT_EQ(ops::withoutSequence("(>)0011042", 1), "42");
  EXPECT_EQ(ops::withoutSequence("(>)100900 items", 999), "0 items");
  // Numbered on row 2, now on row 0: the mark and five digits go.
  EXPECT_EQ(ops::withoutSequence("(>)001202024 budget", 0), "2024 budget");
  // The one leftover: six digits read on another row leave their last one behind.
  EXPECT_EQ(ops::withoutSequence("(>)100000note", 3), "0note");
}

}  // namespace
