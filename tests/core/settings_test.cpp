// The settings file as the next start and the user's text editor see it.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/settings.h"
#include "support/sim_fixture.h"

using namespace testing_support;

namespace {

const std::string iniPath = dataFolder + "tandrel.ini";
const std::string startupLink =
    "C:\\Users\\tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\Tandrel.LNK";

class SettingsTest : public SimTest {
 protected:
  // Starts with `ini` (or none), lets `during` run inside the program, and ends the session.
  void runWith(const std::string* ini, std::function<void()> during = nullptr) {
    if (ini != nullptr) write(iniPath, *ini);
    else answerFirstRun(platform::IDYES);
    if (during) desktop.then(during);
    thenEndSession();
    ASSERT_EQ(run(), 0);
  }
  std::vector<std::string> iniLines() { return crlfLines(read(iniPath)); }
};

TEST_F(SettingsTest, FirstQuitWritesEveryKeyInOrderWithOneVersionLine) {
  runWith(nullptr, [&] { desktop.window(program->mainWindow)->x = 120; });
  const std::string bytes = read(iniPath);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(iniLines(), (std::vector<std::string>{
                            "ActiveClipSet = td_clips", "clipDatabase = tdclips.db", "LastBackup = Never",
                            "backupNum = ", "clipIndexFile = clips.dbt", "clipDatFile = clip.db",
                            "VistaConverted = Y", "StartWithWindows = N", "Version = 2.8", "Minimized = ",
                            "SupressDuplicates = Y", "SaveImages = Y", "UsePNG = N", "winPosX = 120.000000",
                            "winPosY = 50.000000", "SaveHTML = N", "DisplayTooltips = Y", "ListPaste = N",
                            "TopList = N", "ReverseCase = N", "soundYes = Y", "clipsConverted = N",
                            "ToolTipBG = 16776960", "SkipPrivate = Y", "QuickPaste = Y"}));
}

TEST_F(SettingsTest, KeysReadInAnyLetterCaseAndHandAddedKeysDropped) {
  const std::string ini =
      "ACTIVECLIPSET = Work \x99 notes\r\nsupressduplicates = N\r\nSAVEhtml = Y\r\nusepng = Y\r\nMyOwnKey = 1\r\n"
      "WINPOSX = 33.6\r\nwinposy = 40.4\r\nversion = 2.8\r\ntooltipbg = 255\r\nDisplayTooltips = N\r\n";
  runWith(&ini, [&] {
    EXPECT_EQ(program->settings.activeSetName, "Work \x99 notes");
    EXPECT_EQ(program->settings.imageExtension, ".png");
    EXPECT_EQ(program->settings.saveHtml, 1);
    EXPECT_EQ(program->settings.showTooltips, 0);
    EXPECT_EQ(program->settings.windowX, 34);
    EXPECT_EQ(program->settings.windowY, 40);
  });
  const auto lines = iniLines();
  auto has = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
  EXPECT_TRUE(has("ActiveClipSet = Work \x99 notes"));
  EXPECT_TRUE(has("SupressDuplicates = N"));
  EXPECT_TRUE(has("SaveHTML = Y"));
  EXPECT_TRUE(has("UsePNG = Y"));
  EXPECT_TRUE(has("DisplayTooltips = N"));
  EXPECT_TRUE(has("ToolTipBG = 255"));
  EXPECT_TRUE(has("winPosX = 34.000000"));
  EXPECT_EQ(read(iniPath).find("MyOwnKey"), std::string::npos);
}

TEST_F(SettingsTest, OldVersionShowsTheConversionNoticeAndOpensTheMainSet) {
  const std::string ini = "Version = 1.5\r\n";
  desktop.answerNext(platform::IDOK);
  runWith(&ini, [&] { EXPECT_EQ(program->settings.activeSetName, "td_clips"); });
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].title, "Tandrel\x99");
  EXPECT_EQ(desktop.messageBoxes[0].text,
            "This appears to be the first time you've run Tandrel V2. \r\nTo convert your old clip sets, please "
            "follow the instructions in our 'Help' panel.");
  EXPECT_EQ(query("select count(*) from cTbl"), (Rows{{"1"}}));  // the welcome clip of a fresh start
}

TEST_F(SettingsTest, CleanFirstStartShowsNoVersionNotice) {
  runWith(nullptr);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].text, firstRunQuestion);
}

TEST_F(SettingsTest, SoundOffIsWrittenAsSoundYesNAndKeptOffAtTheNextStart) {
  runWith(nullptr, [&] { program->settings.captureSound = 0; });
  EXPECT_NE(read(iniPath).find("\r\nSoundYes = N\r\n"), std::string::npos);
  core::Program second;
  desktop.then([&] {
    EXPECT_EQ(second.settings.captureSound, 0);
    second.settings.captureSound = 1;
    desktop.send(second.mainWindow, platform::WM_QUERYENDSESSION);
  });
  desktop.answerer = nullptr;
  ASSERT_EQ(run(second), 0);
  EXPECT_NE(read(iniPath).find("\r\nsoundYes = Y\r\n"), std::string::npos);
}

TEST_F(SettingsTest, StartupShortcutIsMadeOnlyWhenTheSettingChangesToY) {
  runWith(nullptr, [&] {
    program->settings.startWithWindows = "Y";
    core::saveSettings(*program);
    ASSERT_TRUE(exists(startupLink));
    EXPECT_NE(read(startupLink).find("target=C:\\Program Files\\Tandrel\\Tandrel.exe"), std::string::npos);
    platform::deleteFile(startupLink);
    core::saveSettings(*program);  // same value: not made again within the run
    EXPECT_FALSE(exists(startupLink));
  });
  ASSERT_EQ(desktop.shortcuts.size(), 1u);
  EXPECT_EQ(desktop.shortcuts[0].description, "Tandrel");
  EXPECT_EQ(desktop.shortcuts[0].workingFolder, "C:\\Program Files\\Tandrel\\");
  EXPECT_NE(read(iniPath).find("StartWithWindows = Y"), std::string::npos);
}

TEST_F(SettingsTest, MinimisedWindowKeepsItsLastShownPosition) {
  const std::string ini = "winPosX = 300\r\nwinPosY = 200\r\nVersion = 2.8\r\n";
  runWith(&ini, [&] {
    auto* w = desktop.window(program->mainWindow);
    w->x = 999;
    w->iconic = true;
  });
  EXPECT_NE(read(iniPath).find("winPosX = 300.000000"), std::string::npos);
}

TEST_F(SettingsTest, HostileFileFallsBackToDefaults) {
  std::string ini = "Version = 2.8\r\nActiveClipSet = " + std::string(100000, 'x') + "\r\nVistaConverted = Y\r\n";
  ini += std::string(10 << 20, 'z');  // a 10 MiB line without "="
  ini += "\r\nLastBackup = a\0b\r\nnonsense line\r\nwinPosX = 1e308\r\nwinPosY = west\r\nToolTipBG = blue\r\n";
  ini[ini.size() - 60] = '\0';
  runWith(&ini, [&] {
    EXPECT_EQ(program->settings.activeSetName, "td_clips");
    EXPECT_EQ(program->settings.windowX, 50);
    EXPECT_EQ(program->settings.windowY, 50);
    EXPECT_EQ(program->settings.tooltipColour, 16776960);
  });
  EXPECT_EQ(iniLines().size(), 25u);
  // Start-up looks into the file with the same limit as the settings reader.
  const auto log = logLines();
  EXPECT_NE(std::find(log.begin(), log.end(), "VistaConverted switch is set " + dataFolder), log.end());
}

TEST_F(SettingsTest, UnusableActiveSetNamesFallBackToTheMainSet) {
  for (const std::string name : {std::string(33, 'a'), std::string("..\\..\\Windows"), std::string("a/b"),
                                 std::string(".."), std::string("tab\there")}) {
    desktop.reset();
    program = std::make_unique<core::Program>();
    program->db.setBusyTimeout(20);
    const std::string ini = "Version = 2.8\r\nActiveClipSet = " + name + "\r\n";
    runWith(&ini, [&] { EXPECT_EQ(program->settings.activeSetName, "td_clips") << name; });
  }
  const std::string ok = "Version = 2.8\r\nActiveClipSet = " + std::string(32, 'a') + "\r\n";
  desktop.reset();
  program = std::make_unique<core::Program>();
  runWith(&ok, [&] { EXPECT_EQ(program->settings.activeSetName, std::string(32, 'a')); });
}

TEST_F(SettingsTest, FullDiskKeepsThePreviousFile) {
  const std::string ini = "Version = 2.8\r\nActiveClipSet = mine\r\n";
  runWith(&ini, [&] { desktop.diskFull = true; });
  EXPECT_EQ(read(iniPath), ini);
}

}  // namespace
