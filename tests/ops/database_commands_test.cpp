// Backup, restore and recovery as the user meets them from the menu: the prompt, the shell's copy
// and its question, the file dialogs, the messages, and above all the clips, which are never lost.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "core/program.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "store/recovery.h"
#include "support/main_window_script.h"
#include "ui/commands.h"

using namespace testing_support;

namespace {

using Texts = std::vector<std::string>;

const std::string backupSeven = dataFolder + "tdclips_7.dbk";
const std::string invalidMessage = "The restored database does not appear to be a valid tdclips database.";

int refuseClose(sqlite3*) { return SQLITE_BUSY; }
// Runs once at the engine's next open of a file.
std::function<void()> atNextOpen;
int hookedOpen(const char* path, sqlite3** db) {
  if (atNextOpen) std::exchange(atNextOpen, nullptr)();
  return sqlite3_open(path, db);
}

class DatabaseCommandsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    editor = desktop.addForeignWindow("Notes - Editor", "C:\\Tools\\editor.exe");
  }
  void seedThree(const std::string& settings = "Version = 2.8\r\n") {
    seed({{"td_clips", "one", "Src", " "}, {"td_clips", "two", "Src", " "}, {"td_clips", "three", "Src", " "}},
         {"work"}, settings);
  }
  // Inside a step: the user picks a menu command.
  void menu(int command) { desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, command, 0, 0}); }
  void answerPrompt(const std::string& text, platform::PromptButton button = platform::PromptButton::Ok) {
    desktop.promptAnswers.push_back({button, text});
  }
  // The texts of the message boxes shown since `from`.
  Texts boxesFrom(std::size_t from) {
    Texts texts;
    for (std::size_t i = from; i < desktop.messageBoxes.size(); ++i) texts.push_back(desktop.messageBoxes[i].text);
    return texts;
  }
  std::vector<std::string> asideCopies() {
    std::vector<std::string> names;
    for (const std::string& name : platform::filesIn(dataFolder))
      if (name.rfind(store::asidePrefix, 0) == 0) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string clipCount(const std::string& file = dataFolder + "tdclips.db") {
    return query("select count(*) from cTbl", file)[0][0];
  }
  Rows everyRow() {
    Rows rows = query("select cKey, cDate, cSet, cSource, cNote, cText from cTbl order by cKey");
    for (auto& row : query("select setID, setName from Sets order by setID")) rows.push_back(row);
    return rows;
  }
  std::string iniValue(const std::string& key) {
    for (const std::string& line : crlfLines(read(dataFolder + "tandrel.ini")))
      if (line.rfind(key + " = ", 0) == 0) return line.substr(key.size() + 3);
    return "<missing>";
  }
  void copy(const std::string& text) { desktop.copyText(text, editor); }

  platform::Hwnd editor = 0;
};

TEST_F(DatabaseCommandsTest, BackupToSevenCopiesTheLiveDatabaseAndRemembersNumberAndDate) {
  seedThree();
  desktop.then([&] {
    answerPrompt("7");
    desktop.answerNext(platform::IDOK);
    menu(ui::commandBackup);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.prompts.size(), 1u);
    const platform::PromptLayout& asked = desktop.prompts[0].layout;
    EXPECT_EQ(asked.title, "Tandrel");
    EXPECT_EQ(asked.prompt, "Your last backup was   on Never\r\nPlease enter a tdclips backup number 1-9");
    EXPECT_EQ(asked.text, "");
    EXPECT_EQ(boxesFrom(0), (Texts{"Backup completed successfully"}));
    EXPECT_EQ(clipCount(backupSeven), "3");
    ASSERT_EQ(desktop.shellOperations.size(), 1u);
    const auto& copy = desktop.shellOperations[0];
    EXPECT_EQ(copy.function, platform::FO_COPY);
    EXPECT_EQ(copy.flags, platform::FOF_ALLOWUNDO);
    EXPECT_EQ(copy.to, backupSeven + std::string(2, '\0'));
    const auto log = logLines();
    EXPECT_NE(log.back().find(" Backup completed successfully"), std::string::npos);
    EXPECT_EQ(log.back().substr(0, 10), "2026-12-08");

    // A second backup of the run shows the first; a new number replaces nothing.
    this->copy("a fourth clip");
    answerPrompt("2");
    desktop.answerNext(platform::IDOK);
    menu(ui::commandBackup);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.prompts.size(), 2u);
    EXPECT_EQ(desktop.prompts[1].layout.prompt, "Your last backup was  7 on 2026-12-08\r\nPlease enter a tdclips backup number 1-9");
    EXPECT_EQ(clipCount(dataFolder + "tdclips_2.dbk"), "4");
    EXPECT_EQ(clipCount(backupSeven), "3");
  });
  runToEnd();
  EXPECT_EQ(iniValue("backupNum"), "2");
  EXPECT_EQ(iniValue("LastBackup"), "2026-12-08");
  // The still copy given to the shell is gone.
  EXPECT_FALSE(exists("C:\\Users\\tester\\AppData\\Local\\Temp\\td_backup"));
}

TEST_F(DatabaseCommandsTest, AnythingButOneDigitAsksToReEnterAndOnlyYesAsksAgain) {
  seedThree();
  desktop.then([&] {
    for (const char* wrong : {"0", "10", "a", "1a"}) answerPrompt(wrong);
    desktop.answerNext(platform::IDYES);
    desktop.answerNext(platform::IDYES);
    desktop.answerNext(platform::IDYES);
    desktop.answerNext(platform::IDNO);
    menu(ui::commandBackup);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.prompts.size(), 4u);
    EXPECT_EQ(boxesFrom(0), Texts(4, "Invalid specification. Do you wish to re enter?"));
    EXPECT_EQ(desktop.messageBoxes[0].style & 0x0F, platform::MB_YESNOCANCEL);
    // Cancel in the question, and an empty answer, end the command as well.
    answerPrompt("x");
    desktop.answerNext(platform::IDCANCEL);
    answerPrompt("", platform::PromptButton::Cancel);
    menu(ui::commandBackup);
    menu(ui::commandBackup);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.prompts.size(), 6u);
    EXPECT_EQ(desktop.messageBoxes.size(), 5u);
    EXPECT_TRUE(desktop.shellOperations.empty());
  });
  runToEnd();
  EXPECT_EQ(iniValue("backupNum"), "");
  EXPECT_EQ(iniValue("LastBackup"), "Never");
}

TEST_F(DatabaseCommandsTest, ABackupThatDoesNotArriveIsAFailureAndChangesNothing) {
  seedThree("Version = 2.8\r\nLastBackup = 2026-01-02\r\nbackupNum = 3\r\n");
  write(backupSeven, "the backup of January");
  desktop.then([&] {
    answerPrompt("7");
    desktop.answerNext(platform::IDNO);  // the shell's question: replace tdclips_7.dbk?
    desktop.answerNext(platform::IDOK);
    menu(ui::commandBackup);
  });
  desktop.then([&] {
    ASSERT_EQ(desktop.messageBoxes.size(), 2u);
    EXPECT_EQ(desktop.messageBoxes[0].title, "Confirm file overwrite");
    EXPECT_EQ(desktop.messageBoxes[1].text, "Backup did NOT complete successfully");
    EXPECT_EQ(read(backupSeven), "the backup of January");
    EXPECT_NE(logLines().back().find(" Backup did NOT complete successfully"), std::string::npos);
    EXPECT_EQ(desktop.prompts.size(), 1u);

    // A shell that says it copied and wrote nothing is not believed.
    desktop.shellCopiesNothing = true;
    answerPrompt("5");
    desktop.answerNext(platform::IDOK);
    menu(ui::commandBackup);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.messageBoxes.back().text, "Backup did NOT complete successfully");
    EXPECT_FALSE(exists(dataFolder + "tdclips_5.dbk"));
    desktop.shellCopiesNothing = false;
    answerPrompt("5");
    desktop.answerNext(platform::IDOK);
    menu(ui::commandBackup);
  });
  desktop.then([&] {
    // The prompt still showed the backup made before this run.
    EXPECT_EQ(desktop.prompts.back().layout.prompt, "Your last backup was  3 on 2026-01-02\r\nPlease enter a tdclips backup number 1-9");
    EXPECT_EQ(desktop.messageBoxes.back().text, "Backup completed successfully");
  });
  runToEnd();
  EXPECT_EQ(iniValue("backupNum"), "5");
}

TEST_F(DatabaseCommandsTest, RestoreBringsTheBackupBackAndKeepsTheLiveClipsAside) {
  seedThree();
  desktop.then([&] {
    answerPrompt("1");
    desktop.answerNext(platform::IDOK);
    menu(ui::commandBackup);
  });
  desktop.then([&] {
    copy("four");
    copy("five");
    ASSERT_EQ(clipCount(), "5");
    desktop.fileDialogAnswers.push_back({dataFolder + "tdclips_1.dbk"});
    menu(ui::commandRestore);
  });
  desktop.then([&] {
    const auto& dialog = desktop.fileDialogs.back();
    EXPECT_EQ(dialog.title, "Tandrel Database restore: - Please select database to restore.");
    EXPECT_EQ(dialog.folder, dataFolder);
    EXPECT_EQ(dialog.filter, "dbk file|*.dbk");
    EXPECT_FALSE(dialog.multiSelect);
    EXPECT_EQ(desktop.messageBoxes.size(), 1u);  // the backup's only
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("three"), wideCaption("two"), wideCaption("one")}));
    EXPECT_EQ(clipCount(), "3");
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Complete");
    const auto aside = asideCopies();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(clipCount(dataFolder + aside[0]), "5");
    // Capture goes on into the restored file.
    copy("afterwards");
    EXPECT_EQ(query("select cText from cTbl order by cKey desc limit 1"), (Rows{{"afterwards"}}));
    EXPECT_EQ(listColumn(0)[0], wideCaption("afterwards"));
  });
  runToEnd();
}

TEST_F(DatabaseCommandsTest, GarbageBackupAndMaintenanceCopyAreBackedOutWithEveryRowAsItWas) {
  seedThree();
  write(dataFolder + "tdclips_2.dbk", std::string(8192, 'g'));
  write(dataFolder + "older.dbkm", "SQLite format 3" + std::string(4000, '\x01'));
  execute("CREATE TABLE t (a)", dataFolder + "nosets.dbk");
  Rows before;
  desktop.then([&] {
    before = everyRow();
    for (const char* file : {"tdclips_2.dbk", "nosets.dbk"}) {
      desktop.fileDialogAnswers.push_back({dataFolder + file});
      menu(ui::commandRestore);
    }
    desktop.fileDialogAnswers.push_back({dataFolder + "older.dbkm"});
    menu(ui::commandRestoreOriginal);
    desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  });
  desktop.then([&] {
    EXPECT_EQ(boxesFrom(0), (Texts{invalidMessage, "The Restore was backed out.  " + dataFolder + "tdclips_2.dbk",
                                   invalidMessage, "The Restore was backed out.  " + dataFolder + "nosets.dbk",
                                   invalidMessage, "The Restore was backed out.  " + dataFolder + "older.dbkm"}));
    EXPECT_EQ(desktop.fileDialogs.back().title, "Tandrel Database maintenance: - Please select prior database to restore.");
    EXPECT_EQ(desktop.fileDialogs.back().filter, "dbkm file|*.dbkm");
    EXPECT_EQ(everyRow(), before);
    EXPECT_TRUE(asideCopies().empty());
    EXPECT_EQ(listColumn(0).size(), 3u);
    desktop.answerer = nullptr;
    copy("still capturing");
    EXPECT_EQ(clipCount(), "4");
  });
  runToEnd();
}

TEST_F(DatabaseCommandsTest, TheDialogComesBackForAnotherExtensionAndACancelEndsTheCommand) {
  seedThree();
  write(dataFolder + "notes.txt", "text");
  write(dataFolder + "UPPER.DBK", "text");
  desktop.then([&] {
    desktop.fileDialogAnswers.push_back({dataFolder + "notes.txt"});
    desktop.fileDialogAnswers.push_back({dataFolder + "UPPER.DBK"});
    desktop.fileDialogAnswers.push_back({});
    desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
    menu(ui::commandRestore);
  });
  desktop.then([&] {
    EXPECT_EQ(boxesFrom(0),
              (Texts{dataFolder + "notes.txt is not a proper Database to restore. Please select another. ",
                     dataFolder + "UPPER.DBK is not a proper Database to restore. Please select another. ",
                     "Unable to Open the Database "}));
    // The maintenance dialog's cancel says nothing at all.
    desktop.fileDialogAnswers.push_back({});
    menu(ui::commandRestoreOriginal);
  });
  desktop.then([&] {
    EXPECT_EQ(desktop.messageBoxes.size(), 3u);
    EXPECT_EQ(desktop.fileDialogs.size(), 4u);
    EXPECT_EQ(clipCount(), "3");
    desktop.answerer = nullptr;
  });
  runToEnd();
}

TEST_F(DatabaseCommandsTest, ARestoredFileIsOpenedAsStartUpOpensOne) {
  seedThree();
  // A backup of an older release: read-only, texts in UTF-8, no index, and no welcome clip wanted.
  const std::string older = dataFolder + "older.dbk";
  createDatabase(older);
  execute("insert into Sets (setName) values ('td_clips'), ('td_trash');"
          "insert into cTbl (cSet, cText, cSource, cNote) values ('td_clips', 'caf\xC3\xA9', 's', ' ');",
          older);
  ASSERT_EQ(chmod(desktop.hostPath(older).c_str(), 0444), 0);
  desktop.then([&] {
    program->view.targetSetOpen = 1;
    program->view.targetSet = "work";
    program->freshStart = 1;
    desktop.fileDialogAnswers.push_back({older});
    menu(ui::commandRestore);
  });
  desktop.then([&] {
    struct stat info;
    ASSERT_EQ(stat(desktop.hostPath(dataFolder + "tdclips.db").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IWUSR);
    EXPECT_EQ(query("select cText from cTbl"), (Rows{{"caf\xE9"}}));
    EXPECT_EQ(query("select count(*) from sqlite_master where name = 'cTblSetIndex'"), (Rows{{"1"}}));
    EXPECT_EQ(program->view.targetSetOpen, 0);
    EXPECT_EQ(gadget(ui::gadgetTargetLabel).text, " ");
    copy("written to the restored file");
    EXPECT_EQ(clipCount(), "2");
  });
  runToEnd();
}

TEST_F(DatabaseCommandsTest, OnlyTheThreeNewestLiveCopiesAreKeptAside) {
  seedThree();
  desktop.then([&] {
    answerPrompt("1");
    desktop.answerNext(platform::IDOK);
    menu(ui::commandBackup);
  });
  for (int restore = 1; restore <= 4; ++restore) {
    desktop.then([&, restore] {
      copy("restore " + std::to_string(restore));
      desktop.fileDialogAnswers.push_back({dataFolder + "tdclips_1.dbk"});
      menu(ui::commandRestore);
    });
  }
  desktop.then([&] {
    const auto aside = asideCopies();
    ASSERT_EQ(aside.size(), 3u);
    // The newest holds the clip captured before the last restore; the first one is gone.
    EXPECT_EQ(query("select cText from cTbl order by cKey desc limit 1", dataFolder + aside.back()), (Rows{{"restore 4"}}));
    for (const std::string& name : aside)
      EXPECT_NE(query("select cText from cTbl order by cKey desc limit 1", dataFolder + name), (Rows{{"restore 1"}}));
  });
  runToEnd();
}

TEST_F(DatabaseCommandsTest, ADatabaseThatWillNotCloseStopsTheRestoreBeforeAnyFile) {
  seedThree();
  write(dataFolder + "tdclips_3.dbk", "never copied");
  core::SqliteApi stubborn = *core::linkedSqliteApi();
  stubborn.close = refuseClose;
  desktop.then([&] {
    ASSERT_EQ(program->db.DbBindLibrary(&stubborn), 1);
    desktop.fileDialogAnswers.push_back({dataFolder + "tdclips_3.dbk"});
    desktop.answerNext(platform::IDOK);
    menu(ui::commandRestore);
  });
  desktop.then([&] {
    EXPECT_EQ(boxesFrom(0), (Texts{"Unable to Close the existing database Couldn't close Database Restore failed."}));
    EXPECT_TRUE(asideCopies().empty());
    ASSERT_EQ(program->db.DbBindLibrary(core::linkedSqliteApi()), 1);
    copy("the handle still works");
    EXPECT_EQ(clipCount(), "4");
  });
  runToEnd();
}

TEST_F(DatabaseCommandsTest, ACopyThatFailsIsBackedOut) {
  seedThree();
  desktop.then([&] {
    answerPrompt("4");
    desktop.answerNext(platform::IDOK);
    menu(ui::commandBackup);
  });
  Rows before;
  desktop.then([&] {
    copy("not in the backup");
    before = everyRow();
    // The disk fills up once the live database is closed for the copy.
    desktop.duringSleep = [&] {
      if (program->databaseHandle == nullptr) desktop.diskFull = true;
    };
    desktop.fileDialogAnswers.push_back({dataFolder + "tdclips_4.dbk"});
    desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
    menu(ui::commandRestore);
  });
  desktop.then([&] {
    desktop.duringSleep = nullptr;
    desktop.diskFull = false;
    EXPECT_EQ(boxesFrom(1), (Texts{"Unable to copy " + dataFolder + "tdclips_4.dbk over the database: the copy did not arrive whole.",
                                   "The Restore was backed out.  " + dataFolder + "tdclips_4.dbk"}));
    EXPECT_EQ(everyRow(), before);
    EXPECT_TRUE(asideCopies().empty());
    desktop.answerer = nullptr;
  });
  runToEnd();
}

TEST_F(DatabaseCommandsTest, ARestoredFileWithoutTheActiveSetShowsTheMainSetWithItsMessage) {
  seedThree("Version = 2.8\r\nActiveClipSet = work\r\n");
  const std::string older = dataFolder + "older.dbk";
  createDatabase(older);
  execute("insert into Sets (setName) values ('td_clips');"
          "insert into cTbl (cSet, cText, cSource, cNote) values ('td_clips', 'restored clip', 's', ' ');",
          older);
  desktop.then([&] {
    EXPECT_TRUE(listColumn(0).empty());  // work has no clips
    desktop.answerNext(platform::IDOK);
    desktop.fileDialogAnswers.push_back({older});
    menu(ui::commandRestore);
  });
  desktop.then([&] {
    EXPECT_EQ(boxesFrom(0), (Texts{"Active set work not found in database. Using default."}));
    EXPECT_EQ(program->settings.activeSetName, "td_clips");
    EXPECT_EQ(listColumn(0), (Texts{wideCaption("restored clip")}));
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Complete");
    // No empty set of the old name; the trash is there as always.
    EXPECT_EQ(query("select setName from Sets order by setID"), (Rows{{"td_clips"}, {"td_trash"}}));
  });
  runToEnd();
}

TEST_F(DatabaseCommandsTest, ARestoreThatCannotPutTheLiveClipsBackLeavesThemToTheNextStart) {
  seedThree();
  const std::string garbage(8192, 'g');
  write(dataFolder + "garbage.dbk", garbage);
  core::SqliteApi hooked = *core::linkedSqliteApi();
  hooked.open = hookedOpen;
  desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  desktop.then([&] {
    ASSERT_EQ(program->db.DbBindLibrary(&hooked), 1);
    // Another program takes hold of the copy as soon as it is there: it can be neither read nor deleted.
    atNextOpen = [] { platform::openReadFile(dataFolder + "tdclips.db"); };
    desktop.fileDialogAnswers.push_back({dataFolder + "garbage.dbk"});
    menu(ui::commandRestore);
  });
  EXPECT_EQ(run(), 0);
  const auto aside = asideCopies();
  ASSERT_EQ(aside.size(), 1u);
  const std::string asidePath = dataFolder + aside[0];
  EXPECT_EQ(boxesFrom(0), (Texts{"Unable to properly reopen the database. Your clips from before the restore are kept in " +
                                 asidePath + "; Tandrel puts them back when it starts again."}));
  EXPECT_EQ(read(dataFolder + "tdclips.db"), garbage);
  EXPECT_EQ(clipCount(asidePath), "3");
  EXPECT_TRUE(exists(dataFolder + store::restoreMarkerName));

  // The next start puts them back, and keeps what stood in their place.
  core::Program second;
  desktop.then([&] {
    EXPECT_EQ(listColumn(0).size(), 3u);
    desktop.send(second.mainWindow, platform::WM_QUERYENDSESSION);
  });
  EXPECT_EQ(run(second), 0);
  std::string bad;
  for (const std::string& name : platform::filesIn(dataFolder))
    if (name.rfind("tdclips.db.bad-", 0) == 0) bad = dataFolder + name;
  EXPECT_EQ(boxesFrom(1), (Texts{"A restore of the clip database did not finish. Your clips from before it are back from " +
                                 asidePath + "; the file that stood in their place is kept as " + bad + "."}));
  EXPECT_EQ(read(bad), garbage);
  EXPECT_EQ(clipCount(), "3");
  EXPECT_FALSE(exists(asidePath));
  EXPECT_FALSE(exists(dataFolder + store::restoreMarkerName));
}

TEST_F(DatabaseCommandsTest, ReopeningAfterAFailedWriteReloadsTheListAndTellsTheUser) {
  seedThree();
  desktop.then([&] {
    program->view.targetSetOpen = 1;
    program->view.targetSet = "work";
    execute("insert into cTbl (cSet, cText) values ('td_clips', 'written by another program')");
    desktop.answerNext(platform::IDOK);
    desktop.answerNext(platform::IDOK);
    store::ReopenDatabase(*program);
    EXPECT_EQ(boxesFrom(0), (Texts{"Unable to Update the database.  Restarting Tandrel Database.",
                                   "Database reopened successfully. Tandrel Active."}));
    EXPECT_EQ(listColumn(0).size(), 4u);
    EXPECT_EQ(program->view.targetSetOpen, 0);
    copy("captured after");
    EXPECT_EQ(clipCount(), "5");
  });
  runToEnd();
}

TEST_F(DatabaseCommandsTest, ADatabaseThatCannotBeReopenedEndsTheProgram) {
  seedThree();
  desktop.then([&] {
    execute("DROP TABLE Sets");
    desktop.answerNext(platform::IDOK);
    desktop.answerNext(platform::IDOK);
    store::ReopenDatabase(*program);
    ADD_FAILURE() << "the program went on";
  });
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(boxesFrom(0), (Texts{"Unable to Update the database.  Restarting Tandrel Database.",
                                 "Unable to properly reopen the database."}));
  EXPECT_EQ(logLines().back().substr(20), "Program ended ");
}

}  // namespace
