// Clip sets through the Clip Sets buttons: the naming rules, the protected sets, deleting a set with
// its clips and folder, choosing the active set, and loading an active set that has gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "ops/set_commands.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "store/sets.h"
#include "support/main_window_script.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

const std::string setsFolder = dataFolder + "sets\\";
const std::string nameError = "Name Error";

class SetsTest : public MainWindowTest {
 protected:
  void seedWork(const std::string& settings = "Version = 2.8\r\n") {
    seed({{"td_clips", "main clip", "Here", " "}, {"Old Work", "old one", "There", " "}, {"Old Work", "old two", "There", " "}},
         {"Old Work"}, settings);
  }
  Rows setNames() { return query("select setName from Sets order by setID"); }
  std::set<std::string> allFolders() {
    std::set<std::string> folders;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(desktop.root))
      if (entry.is_directory()) folders.insert(entry.path().string());
    return folders;
  }
  // Inside a step: the user asks for a new set and types `name`.
  void createSet(const std::string& name) {
    desktop.inputAnswers.push_back(name);
    post(ui::gadgetCreateNewSet);
  }
  // Inside a step: the user selects `name` on the Clip Sets tab and presses `button`.
  void pressOnSet(int button, const std::string& name) {
    selectOnly(ui::gadgetSetList, setRow(name));
    post(button);
  }
  const sim::MessageBoxRecord& lastBox() { return desktop.messageBoxes.back(); }
};

TEST_F(SetsTest, NamesUpTo32CharactersAreAcceptedAndLongerOnesAskedAgain) {
  seedWork();
  const std::string name32(32, 'k'), name33(33, 'k');
  desktop.then([&] {
    desktop.answerNext(platform::IDOK);
    desktop.inputAnswers.push_back(name33);
    createSet(name32);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(lastBox().text, "Sorry, but the Set name can not be more than 32 characters in length");
    EXPECT_EQ(lastBox().title, nameError);
    ASSERT_EQ(desktop.inputs.size(), 2u);
    EXPECT_EQ(desktop.inputs[1].title, "New Set");
    EXPECT_EQ(desktop.inputs[1].prompt, "Enter Name For New Set (1 - 32 Characters)");
    EXPECT_TRUE(exists(setsFolder + name32));
    EXPECT_NE(setRow(name32), -1);
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Complete");
  });
  runToEnd();
  EXPECT_EQ(setNames(), (Rows{{"td_clips"}, {"td_trash"}, {"Old Work"}, {name32}}));
}

TEST_F(SetsTest, DuplicatesAndNamesThatAreNotPlainFolderNamesAreRefusedAndMakeNoFolder) {
  seedWork();
  const Texts refused = {"Old Work", "td_trash", ".",   "..",  "a\\b", "a/b",    "a:b",    "a*b",   "a?b",   "a\"b",
                         "a<b",      "a>b",      "a|b", "a\tb", "a\x7f" "b", " lead", "trail ", ".lead", "trail."};
  std::set<std::string> before;
  desktop.then([&] {
    before = allFolders();
    for (const auto& name : refused) {
      desktop.answerNext(platform::IDOK);
      createSet(name);
    }
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.messageBoxes.size(), refused.size());
    for (std::size_t i = 0; i < refused.size(); ++i) {
      EXPECT_EQ(desktop.messageBoxes[i].text, "Sorry, but " + refused[i] + " could not be added");
      EXPECT_EQ(desktop.messageBoxes[i].title, nameError);
    }
    EXPECT_EQ(allFolders(), before);
  });
  runToEnd();
  EXPECT_EQ(setNames(), (Rows{{"td_clips"}, {"td_trash"}, {"Old Work"}}));
}

TEST_F(SetsTest, DeletingASetNamedLikeAPathLeavesTheDataFolder) {
  seed({{"..", "odd clip", "There", " "}}, {".."});
  desktop.then([&] {
    desktop.answerNext(platform::IDYES);
    pressOnSet(ui::gadgetDeleteSet, "..");
  });
  desktop.then([&] {
    EXPECT_TRUE(exists(dataFolder + "tdclips.db"));
    EXPECT_TRUE(exists(setsFolder));
    EXPECT_EQ(setRow(".."), -1);
  });
  runToEnd();
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"0"}}));
}

TEST_F(SetsTest, NameWithAQuoteAndHighBytesIsCreatedChosenListedAndDeleted) {
  seed({});
  const std::string name = "Bob's caf\xE9 \x99";
  desktop.then([&] { createSet(name); });
  desktop.then([&] {
    EXPECT_TRUE(exists(setsFolder + name));
    pressOnSet(ui::gadgetChangeActiveSet, name);
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetActiveSetLabel).text, "Active Set = " + name);
    desktop.copyText("in the new set", desktop.addForeignWindow("Notes - Editor", "C:\\Tools\\editor.exe"));
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("in the new set")}));
    EXPECT_EQ(query("select cSet from cTbl"), (Rows{{name}}));
    pressOnSet(ui::gadgetChangeActiveSet, "td_clips");
  });
  desktop.then([&] {
    EXPECT_TRUE(desktop.listRows(ui::gadgetClipList).empty());
    desktop.answerNext(platform::IDYES);
    pressOnSet(ui::gadgetDeleteSet, name);
  });
  desktop.then([&] {
    EXPECT_EQ(lastBox().text, "Are you sure you want to delete " + name);
    EXPECT_EQ(setRow(name), -1);
    EXPECT_FALSE(exists(setsFolder + name));
  });
  runToEnd();
  EXPECT_EQ(setNames(), (Rows{{"td_clips"}, {"td_trash"}}));
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"0"}}));
}

TEST_F(SetsTest, MainTrashAndActiveSetsCannotBeDeleted) {
  seedWork("Version = 2.8\r\nActiveClipSet = Old Work\r\n");
  desktop.then([&] {
    for (const char* name : {"td_clips", "td_trash", "Old Work"}) {
      desktop.answerNext(platform::IDOK);
      pressOnSet(ui::gadgetDeleteSet, name);
    }
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.messageBoxes.size(), 3u);
    for (const auto& box : desktop.messageBoxes) {
      EXPECT_EQ(box.text, "Sorry, you may not delete either the main, trash or Active set.");
      EXPECT_EQ(box.title, "Tandrel");
    }
  });
  runToEnd();
  EXPECT_EQ(setNames(), (Rows{{"td_clips"}, {"td_trash"}, {"Old Work"}}));
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"3"}}));
}

TEST_F(SetsTest, DeletingASetAfterYesRemovesItsClipsRowAndFolderForGood) {
  seedWork();
  desktop.then([&] {
    write(setsFolder + "Old Work\\kept by the user.txt", "x");
    desktop.answerNext(platform::IDNO);
    pressOnSet(ui::gadgetDeleteSet, "Old Work");
  });
  desktop.then([&] {
    EXPECT_EQ(lastBox().text, "Are you sure you want to delete Old Work");
    EXPECT_TRUE(exists(setsFolder + "Old Work"));
    EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"3"}}));
    // The row refused after the clips went, then the clips refused: each time nothing changes.
    execute("CREATE TRIGGER keepSet BEFORE DELETE ON Sets BEGIN SELECT RAISE(ABORT, 'kept'); END");
    desktop.answerNext(platform::IDYES);
    pressOnSet(ui::gadgetDeleteSet, "Old Work");
  });
  const auto expectNothingChanged = [&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
    EXPECT_EQ(query("select count(*) from cTbl where cSet = 'Old Work'"), (Rows{{"2"}}));
    EXPECT_EQ(setNames(), (Rows{{"td_clips"}, {"td_trash"}, {"Old Work"}}));
    EXPECT_NE(setRow("Old Work"), -1);
    EXPECT_TRUE(exists(setsFolder + "Old Work\\kept by the user.txt"));
  };
  desktop.then([&] {
    expectNothingChanged();
    execute("DROP TRIGGER keepSet; CREATE TRIGGER keepClips BEFORE DELETE ON cTbl BEGIN SELECT RAISE(ABORT, 'kept'); END");
    desktop.answerNext(platform::IDYES);
    pressOnSet(ui::gadgetDeleteSet, "Old Work");
  });
  desktop.then([&] {
    expectNothingChanged();
    EXPECT_EQ(desktop.messageBoxes.size(), 3u);  // the questions only
    execute("DROP TRIGGER keepClips");
    desktop.answerNext(platform::IDYES);
    pressOnSet(ui::gadgetDeleteSet, "Old Work");
  });
  desktop.then([&] {
    EXPECT_FALSE(exists(setsFolder + "Old Work"));
    EXPECT_EQ(setRow("Old Work"), -1);
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Set Deleted");
    // Gone, not moved to the trash.
    EXPECT_EQ(query("select cSet, cText from cTbl"), (Rows{{"td_clips", "main clip"}}));
  });
  runToEnd();
  EXPECT_EQ(setNames(), (Rows{{"td_clips"}, {"td_trash"}}));
}

TEST_F(SetsTest, ChangeActiveSetListsTheChosenSetAndRemembersIt) {
  seedWork();
  desktop.then([&] { pressOnSet(ui::gadgetChangeActiveSet, "Old Work"); });
  desktop.then([&] {
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("old two"), wideCaption("old one")}));
    EXPECT_EQ(gadget(ui::gadgetActiveSetLabel).text, "Active Set = Old Work");
    const auto ini = crlfLines(read(dataFolder + "tandrel.ini"));
    EXPECT_NE(std::find(ini.begin(), ini.end(), "ActiveClipSet = Old Work"), ini.end());
  });
  runToEnd();
}

TEST_F(SetsTest, ChangeActiveSetWithoutASelectionWaitsForAClickOnASet) {
  seedWork();
  desktop.then([&] { post(ui::gadgetChangeActiveSet); });
  desktop.then([&] {
    const sim::Gadget& status = gadget(ui::gadgetStatusLine);
    EXPECT_EQ(status.text, "Select Set");
    EXPECT_EQ(status.textColour, platform::rgb(255, 255, 255));
    EXPECT_EQ(status.background, platform::rgb(0, 0, 0));
    EXPECT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabSets);
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("main clip")}));
    pressOnSet(ui::gadgetSetList, "Old Work");
  });
  desktop.then([&] { EXPECT_EQ(listColumn(0), (Texts{wideCaption("old two"), wideCaption("old one")})); });
  runToEnd();
}

TEST_F(SetsTest, GoingBackToTheClipsCancelsAPendingSetClick) {
  seedWork();
  desktop.then([&] { post(ui::gadgetChangeActiveSet); });
  desktop.then([&] {
    // A set marked on the Clip Sets tab (with the keyboard: no click) keeps the click pending.
    selectOnly(ui::gadgetSetList, setRow("Old Work"));
    post(ui::gadgetSetList, platform::GADGET_ITEM_CHANGE, setRow("Old Work"));
  });
  desktop.then([&] {
    EXPECT_EQ(program->view.pendingSetClick, "S");
    // The user goes back to the clips and picks one.
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabText);
    post(ui::gadgetContentPanel, platform::GADGET_TAB_CHANGE, ui::tabText);
    selectOnly(ui::gadgetClipList, 0);
    post(ui::gadgetClipList, platform::GADGET_ITEM_CHANGE, 0);
  });
  desktop.then([&] {
    EXPECT_EQ(program->view.pendingSetClick, "");
    EXPECT_TRUE(platform::listSelectedRows(ui::gadgetSetList).empty());
    // A later click on a set, say to delete it, no longer makes it the active set.
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
    pressOnSet(ui::gadgetSetList, "Old Work");
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetActiveSetLabel).text, "Active Set = td_clips");
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("main clip")}));
  });
  runToEnd();
}

TEST_F(SetsTest, ChangedSetListKeepsNoSelectionThatNowPointsAtAnotherSet) {
  seedWork();
  desktop.then([&] {
    selectOnly(ui::gadgetSetList, setRow("Old Work"));
    createSet("Aardvark");  // listed above Old Work
  });
  desktop.then([&] { post(ui::gadgetChangeActiveSet); });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Select Set");
    EXPECT_EQ(gadget(ui::gadgetActiveSetLabel).text, "Active Set = td_clips");
  });
  runToEnd();
}

TEST_F(SetsTest, ActiveSetWithoutARowFallsBackToTheMainSetEvenWhenThatRowIsGoneToo) {
  seedWork("Version = 2.8\r\nActiveClipSet = Old Work\r\n");
  int boxes = 0;
  desktop.answerer = [&](const sim::MessageBoxRecord&) {
    if (++boxes > 3) platform::endProcess(1);  // a loop of messages would never end otherwise
    return platform::IDOK;
  };
  desktop.then([&] {
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("old two"), wideCaption("old one")}));
    execute("delete from Sets where setName = 'Old Work'");
    ops::LoadActiveSet(*program);
    ASSERT_EQ(desktop.messageBoxes.size(), 1u);
    EXPECT_EQ(lastBox().text, "Active set Old Work not found in database. Using default.");
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("main clip")}));

    execute("delete from Sets");
    program->settings.activeSetName = "Old Work";
    ops::LoadActiveSet(*program);
    EXPECT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("main clip")}));
  });
  runToEnd();
  EXPECT_EQ(query("select count(*) from Sets where setName = 'td_clips'"), (Rows{{"1"}}));
}

}  // namespace
