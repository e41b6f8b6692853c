// Start-up and shutdown as a user and the next start find them: the log, the settings file, the
// database, the single-instance rule and the migration of an older release's files.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>

#include "app/startup.h"
#include "platform/shell.h"
#include "support/sim_fixture.h"
#include "ui/gadgets.h"
#include "ui/status.h"

using namespace testing_support;

namespace {

const std::string startTime = "2026-12-08  14:03:59";
const std::string programFolder = "C:\\Program Files\\Tandrel\\";
const std::string virtualStore = "C:\\Users\\tester\\AppData\\Local\\virtualstore\\Program Files\\Tandrel\\";

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::size_t indexOf(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

class StartupTest : public SimTest {};

TEST_F(StartupTest, FirstStartAsksThenCreatesLogSettingsAndDatabase) {
  answerFirstRun(platform::IDYES);
  thenEndSession();
  EXPECT_EQ(run(), 0);

  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].title, "Tandrel");
  const auto log = logLines();
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(log[0], "Tandrel" + startTime);
  EXPECT_EQ(log[1], "Opened Logfile " + dataFolder);
  EXPECT_EQ(log[2], "Vista virtualstore does not exist ");
  EXPECT_EQ(log[3], "TandrelPrint Dir = C:\\Users\\tester\\AppData\\Local\\Temp\\td_print\\");
  EXPECT_EQ(log[4], startTime + " Opened ClipDatabase " + dataFolder);
  EXPECT_EQ(log[5], startTime + " Created Clipdb " + dataFolder);
  EXPECT_EQ(log.back(), startTime + "Program ended ");

  EXPECT_EQ(query("select name from sqlite_master where type = 'table' and name in ('cTbl', 'Sets') order by name"),
            (Rows{{"Sets"}, {"cTbl"}}));
  EXPECT_EQ(query("select setName from Sets order by setID"), (Rows{{"td_clips"}, {"td_trash"}}));
  EXPECT_EQ(query("select cSet, cSource, cNote, cText, cRTFsw, cHTMLsw, cImageSW from cTbl"),
            (Rows{{"td_clips", "Tandrel", "Tandrel allows you to enter a note to associate with a clip",
                   "Tandrel, your number 1 clipboard assistant", "N", "N", "N"}}));
  EXPECT_TRUE(exists(dataFolder + "tandrel.ini"));
  // Scratch folders are gone after the shutdown; the window and its tray icon are closed.
  EXPECT_FALSE(exists(dataFolder + "sets"));
  EXPECT_TRUE(desktop.tray.empty());
}

TEST_F(StartupTest, FirstStartAnsweredNoLeavesOnlyTheFoldersAndAnEmptyLog) {
  answerFirstRun(platform::IDNO);
  EXPECT_EQ(run(), 0);
  EXPECT_FALSE(exists(dataFolder + "tdclips.db"));
  EXPECT_FALSE(exists(dataFolder + "tandrel.ini"));
  EXPECT_TRUE(exists(dataFolder + "tandrel.log"));
  // The log is held open until the process ends; a later start can create it again.
  answerFirstRun(platform::IDNO);
  core::Program again;
  EXPECT_EQ(run(again), 0);
}

TEST_F(StartupTest, StartingAgainEmptiesTheLogAndKeepsTheClips) {
  answerFirstRun(platform::IDYES);
  thenEndSession();
  run();
  desktop.answerer = nullptr;
  core::Program second;
  desktop.then([&] { desktop.send(second.mainWindow, platform::WM_QUERYENDSESSION); });
  EXPECT_EQ(run(second), 0);
  const auto log = logLines();
  EXPECT_EQ(log[0], "Tandrel" + startTime);
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.find("Program ended") != std::string::npos; }), 1);
  EXPECT_TRUE(contains(log, "ini exists at startup " + dataFolder));
  EXPECT_TRUE(contains(log, "VistaConverted switch is set " + dataFolder));
  EXPECT_FALSE(contains(log, startTime + " Created Clipdb " + dataFolder));
  // No second welcome clip, no second set rows.
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"1"}}));
  EXPECT_EQ(query("select count(*) from Sets"), (Rows{{"2"}}));
}

TEST_F(StartupTest, SecondInstanceStopsAtTheLogAndLeavesTheFirstLogAlone) {
  answerFirstRun(platform::IDYES);
  std::string logBefore;
  int secondExit = -1;
  desktop.then([&] {
    logBefore = read(dataFolder + "tandrel.log");
    desktop.answerer = nullptr;
    desktop.answerNext(platform::IDOK);
    core::Program second;
    secondExit = run(second);
    EXPECT_EQ(read(dataFolder + "tandrel.log"), logBefore);
    EXPECT_EQ(second.mainWindow, 0u);  // stopped before building anything
  });
  thenEndSession();
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(secondExit, 0);
  ASSERT_EQ(desktop.messageBoxes.size(), 2u);
  EXPECT_EQ(desktop.messageBoxes[1].title, "Tandrel");
  EXPECT_EQ(desktop.messageBoxes[1].text,
            "Tandrel was unable to start correctly. Another copy may be running. " + dataFolder);
}

TEST_F(StartupTest, MutexHeldElsewhereBroadcastsTheActivationAndEnds) {
  bool existed = false;
  platform::createMutex("Tandrel2", existed);  // another session's instance
  const platform::Hwnd other = desktop.addForeignViewer();
  answerFirstRun(platform::IDYES);
  EXPECT_EQ(run(), 0);
  const unsigned activate = desktop.registeredMessages.at("WM_ACTIVATEOLDINST_TANDREL");
  const auto& got = desktop.window(other)->received;
  EXPECT_TRUE(std::any_of(got.begin(), got.end(), [&](const sim::ReceivedMessage& m) {
    return m.message == activate && m.wParam == 0 && m.lParam == 0;
  }));
  EXPECT_FALSE(exists(dataFolder + "tdclips.db"));
  EXPECT_TRUE(desktop.tray.empty());  // the shell would show the ended instance's icon on
}

TEST_F(StartupTest, DatabaseThatCannotBeOpenedEndsTheStartWithoutATrayIcon) {
  write(dataFolder + "tandrel.ini", "Version = 2.8\r\n");
  createDatabase();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(desktop.hostPath(dataFolder + "tdclips.db").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  desktop.answerNext(platform::IDOK);
  EXPECT_EQ(run(), 0);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_NE(desktop.messageBoxes[0].text.find("could not open its clip database"), std::string::npos);
  EXPECT_TRUE(desktop.tray.empty());
}

TEST_F(StartupTest, ActivationMessageRestoresAMinimisedWindow) {
  answerFirstRun(platform::IDYES);
  desktop.then([&] {
    platform::Hwnd w = program->mainWindow;
    desktop.window(w)->iconic = true;
    desktop.foreground = 0;
    desktop.send(w, desktop.registeredMessages.at("WM_ACTIVATEOLDINST_TANDREL"));
    EXPECT_FALSE(desktop.window(w)->iconic);
    EXPECT_EQ(desktop.foreground, w);
  });
  thenEndSession();
  EXPECT_EQ(run(), 0);
}

TEST_F(StartupTest, OlderFilesBesideTheProgramMoveIntoTheDataFolder) {
  createDatabase(programFolder + "tdclips.db");
  execute("insert into cTbl (cDate, cSet, cText) values ('2008-10-06  14:03:59', 'td_clips', 'old clip')",
          programFolder + "tdclips.db");
  write(programFolder + "tandrel.ini", "ActiveClipSet = td_clips\r\nVersion = 2.7\r\nVistaConverted = Y\r\n");
  write(programFolder + "tandrel.log", "old log");
  thenEndSession();
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(contains(logLines(), "Vista old file location does exist " + programFolder + "tandrel.ini"));
  EXPECT_FALSE(exists(programFolder + "tdclips.db"));
  EXPECT_FALSE(exists(programFolder + "tandrel.ini"));
  EXPECT_FALSE(exists(programFolder + "tandrel.log"));
  EXPECT_EQ(query("select cText from cTbl"), (Rows{{"old clip"}}));
}

TEST_F(StartupTest, OldSettingsThatCannotBeCopiedStayBesideTheProgram) {
  createDatabase(programFolder + "tdclips.db");
  write(programFolder + "tandrel.ini", "ActiveClipSet = td_clips\r\nVersion = 2.7\r\n");
  // Something of that name in the data folder that is no file refuses the copy.
  std::filesystem::create_directories(desktop.hostPath(dataFolder + "tandrel.ini"));
  desktop.answerer = [](const sim::MessageBoxRecord&) { return platform::IDOK; };
  thenEndSession();
  EXPECT_EQ(run(), 0);
  EXPECT_FALSE(exists(programFolder + "tdclips.db"));
  EXPECT_EQ(read(programFolder + "tandrel.ini"), "ActiveClipSet = td_clips\r\nVersion = 2.7\r\n");
  EXPECT_TRUE(contains(logLines(), "Old settings left in place, they could not be copied " + programFolder + "tandrel.ini"));
}

TEST_F(StartupTest, SettingsBesideTheProgramWithoutADatabaseStayWhereTheyAre) {
  write(programFolder + "tandrel.ini", "ActiveClipSet = td_clips\r\n");
  thenEndSession();
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(exists(programFolder + "tandrel.ini"));
}

TEST_F(StartupTest, MigrationNeverReplacesTheDataFoldersDatabase) {
  createDatabase(programFolder + "tdclips.db");
  execute("insert into cTbl (cSet, cText) values ('td_clips', 'old copy')", programFolder + "tdclips.db");
  write(programFolder + "tandrel.ini", "Version = 2.7\r\n");
  createDatabase();
  execute("insert into cTbl (cSet, cText) values ('td_clips', 'current clip')");
  thenEndSession();
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(query("select cText from cTbl where cText <> 'Tandrel, your number 1 clipboard assistant'"),
            (Rows{{"current clip"}}));
  EXPECT_TRUE(exists(programFolder + "tdclips.db"));
}

TEST_F(StartupTest, VirtualStoreCopyIsMigrated) {
  createDatabase(virtualStore + "tdclips.db");
  execute("insert into cTbl (cSet, cText) values ('td_clips', 'from the virtual store')", virtualStore + "tdclips.db");
  write(virtualStore + "tandrel.ini", "Version = 2.7\r\n");
  thenEndSession();
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(contains(logLines(), "Vista virtualstore exists "));
  EXPECT_EQ(query("select cText from cTbl"), (Rows{{"from the virtual store"}}));
}

TEST_F(StartupTest, UncreatableDataFolderEndsWithAClearMessage) {
  desktop.uncreatableFolders.insert(dataFolder);
  desktop.answerNext(platform::IDOK);
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_NE(desktop.messageBoxes[0].text.find(dataFolder), std::string::npos);
  EXPECT_NE(desktop.messageBoxes[0].text.find("could not create"), std::string::npos);
}

TEST_F(StartupTest, JoiningTheChainIsNotCapturedAndCaptureWorksAfterwards) {
  answerFirstRun(platform::IDYES);
  desktop.clipboard[platform::CF_TEXT] = std::string("already there") + '\0';
  const platform::Hwnd editor = desktop.addForeignWindow("Notes - Editor", "C:\\Tools\\editor.exe");
  desktop.then([&] { desktop.copyText("copied later", editor); });
  thenEndSession();
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(query("select cText, cSource from cTbl where cKey > 1"), (Rows{{"copied later", "Notes - Editor"}}));
}

TEST_F(StartupTest, StartMinimisedLeavesOnlyTheTrayIcon) {
  write(dataFolder + "tandrel.ini", "mInImIzEd = Y\r\nVersion = 2.8\r\n");
  desktop.then([&] {
    EXPECT_FALSE(desktop.window(program->mainWindow)->visible);
    EXPECT_EQ(desktop.tray.at(program->mainWindow).tooltip, "Tandrel\x99 Waiting");
  });
  thenEndSession();
  EXPECT_EQ(run(), 0);
}

TEST_F(StartupTest, ShownWindowIsInFrontWithTheActiveSetInTheStatusLine) {
  answerFirstRun(platform::IDYES);
  desktop.then([&] {
    EXPECT_TRUE(desktop.window(program->mainWindow)->visible);
    EXPECT_EQ(desktop.foreground, program->mainWindow);
    EXPECT_EQ(desktop.gadgets.at(40).text, "td_clips");
    EXPECT_EQ(program->view.windowTitle, "Tandrel\x99 Clipboard Assistant");
    // After a failure, the next event brings back the set's name in the normal colours.
    ui::showActionFailed(*program);
    desktop.postEvent({platform::EVENT_GADGET, 500, ui::gadgetSetActions, platform::GADGET_LEFT_CLICK, 0});
  });
  desktop.then([&] {
    const sim::Gadget& status = desktop.gadgets.at(ui::gadgetStatusLine);
    EXPECT_EQ(status.text, "td_clips");
    EXPECT_EQ(status.textColour, platform::rgb(0, 0, 0));
    EXPECT_EQ(status.background, platform::rgb(117, 236, 253));
  });
  thenEndSession();
  EXPECT_EQ(run(), 0);
}

TEST_F(StartupTest, NoMouseIsLoggedAndStartGoesOn) {
  desktop.mouse = false;
  answerFirstRun(platform::IDYES);
  thenEndSession();
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(contains(logLines(), "Tandrel" + startTime + " Information: - No mouse Found"));
}

}  // namespace

namespace {

TEST_F(StartupTest, FirstRunWritesTheSettingsBeforeAnyEventSoACrashDoesNotAskAgain) {
  answerFirstRun(platform::IDYES);
  bool settingsThere = false;
  desktop.then([&] { settingsThere = exists(dataFolder + "tandrel.ini"); });
  thenEndSession();
  ASSERT_EQ(run(), 0);
  EXPECT_TRUE(settingsThere);
}

}  // namespace
