// Printing a text clip: the print file holds exactly the clip as stored, the editor is left as it
// is, the shell prints the file, and each way of not printing says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/gadgets.h"
#include "support/main_window_script.h"
#include "ui/clip_list.h"
#include "ui/commands.h"
#include "ui/gadgets.h"

using namespace testing_support;

namespace {

class PrintingTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
    seed({{"td_clips", "older clip", "", " "}, {"td_clips", "print me\r\nsecond line", "", " "}});
    // The start shows the help page; the user opens the top clip first.
    desktop.then([&] {
      selectOnly(ui::gadgetClipList, 0);
      ui::clickSelectClip(*program);
    });
  }
  void command(int id) { desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, id, 0, 0}); }
  std::string statusLine() { return gadget(ui::gadgetStatusLine).text; }
  std::vector<std::string> printFiles() {
    std::vector<std::string> names;
    std::error_code e;
    for (const auto& entry : std::filesystem::directory_iterator(desktop.hostPath(program->paths.printFolder), e))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string editorText() { return platform::editorText(ui::gadgetTextEditor); }
};

TEST_F(PrintingTest, BothPrintCommandsPrintTheStoredTextIntoFilesOfTheirOwn) {
  const std::string shown = "print me\r\nsecond line";
  desktop.then([&] {
    command(ui::commandPrintItemText);
    command(ui::commandPrintClip);  // the same second
  });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "Printed");
    ASSERT_EQ(desktop.shellExecutions.size(), 2u);
    const auto& first = desktop.shellExecutions[0];
    const auto& second = desktop.shellExecutions[1];
    EXPECT_EQ(first.verb, "print");
    EXPECT_EQ(first.parameters, "");
    EXPECT_EQ(first.showCommand, 0);
    EXPECT_EQ(first.file.substr(0, program->paths.printFolder.size() + 17),
              program->paths.printFolder + "td_2026-12-08-140");
    EXPECT_NE(first.file, second.file);
    EXPECT_EQ(read(first.file), shown);
    EXPECT_EQ(read(second.file), shown);
    EXPECT_EQ(printFiles().size(), 2u);
  });
  runToEnd();
  EXPECT_TRUE(printFiles().empty());
}

TEST_F(PrintingTest, TheStoredTextIsPrintedAndTheEditorKeepsAnUnsavedEditOrTheClipInformation) {
  desktop.then([&] {
    platform::setEditorText(ui::gadgetTextEditor, "edited, not saved");
    command(ui::commandPrintItemText);
  });
  std::string information;
  desktop.then([&] {
    ASSERT_EQ(desktop.shellExecutions.size(), 1u);
    EXPECT_EQ(read(desktop.shellExecutions[0].file), "print me\r\nsecond line");
    EXPECT_EQ(editorText(), "edited, not saved");
    command(ui::commandAdditionalInfo);
  });
  desktop.then([&] {
    ASSERT_EQ(program->view.infoShown, 1);
    information = editorText();
    // A rich-text clip prints its plain text.
    execute("update cTbl set cRTFsw = 'Y', cRTF = '{\\rtf1 rich}' where cText like 'print me%'");
    command(ui::commandPrintClip);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.shellExecutions.size(), 2u);
    EXPECT_EQ(read(desktop.shellExecutions[1].file), "print me\r\nsecond line");
    EXPECT_EQ(editorText(), information);
  });
  runToEnd();
}

TEST_F(PrintingTest, EachRefusalSaysWhyAndPrintsNothing) {
  desktop.then([&] {
    desktop.windows9x = true;
    command(ui::commandPrintItemText);
  });
  desktop.then([&] {
    desktop.windows9x = false;
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
    command(ui::commandPrintItemText);
  });
  desktop.then([&] {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabText);
    execute("update cTbl set cText = ' ' where cText like 'print me%'");  // stored empty
    command(ui::commandPrintItemText);
  });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "No File");
    EXPECT_EQ(gadget(ui::gadgetStatusLine).textColour, ui::colour::red);
    EXPECT_TRUE(desktop.shellExecutions.empty());
    EXPECT_TRUE(printFiles().empty());
    execute("update cTbl set cText = 'x' where cText = ' '");
    desktop.shellResult = 31;
    command(ui::commandPrintItemText);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.messageBoxes.size(), 3u);
    EXPECT_EQ(desktop.messageBoxes[0].text, "Requires Win/NT, 2000, XP, 2003, or Vista");
    EXPECT_EQ(desktop.messageBoxes[0].title, "Tandrel Error");
    EXPECT_EQ(desktop.messageBoxes[1].text, "Sorry, there is no active text clip to print.");
    EXPECT_EQ(desktop.messageBoxes[1].title, "Tandrel");
    EXPECT_EQ(desktop.messageBoxes[2].text, "31");
    EXPECT_EQ(desktop.messageBoxes[2].title, "Print Error ");
    EXPECT_NE(statusLine(), "Printed");
    ASSERT_EQ(desktop.shellExecutions.size(), 1u);
    EXPECT_EQ(read(desktop.shellExecutions[0].file), "x");
  });
  runToEnd();
}

TEST_F(PrintingTest, AFileThatCannotBeWrittenIsNotPrinted) {
  desktop.then([&] {
    desktop.diskFull = true;
    command(ui::commandPrintItemText);
  });
  desktop.then([&] {
    EXPECT_EQ(statusLine(), "Not Printed");
    EXPECT_TRUE(desktop.shellExecutions.empty());
    EXPECT_TRUE(printFiles().empty());  // no half a text left to print later
  });
  runToEnd();
}

}  // namespace
