// Clipboard changes marked private: nothing stored, shown or logged of them, and still passed on.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/clipboard.h"
#include "support/sim_fixture.h"
#include "ui/gadgets.h"

using namespace testing_support;

namespace {

const std::string skippedLine = "2026-12-08  14:03:59 private clipboard change skipped";
const std::string secret = "hunter2 is my password";

class PrivateDataTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    editor = desktop.addForeignWindow("Vault - Passwords", "C:\\Tools\\vault.exe");
  }
  // Runs the program with a viewer of another program behind it; `during` runs inside.
  void runWith(std::function<void()> during) {
    desktop.then([this, during] {
      viewer = desktop.addForeignViewer();
      during();
    });
    thenEndSession();
    ASSERT_EQ(run(), 0);
  }
  // The secret text together with one mark.
  void copySecretWith(const std::string& mark, const std::string& value) {
    desktop.copyFormats({{platform::CF_TEXT, secret + '\0'}, {platform::registerClipboardFormat(mark), value}}, editor);
  }
  std::size_t drawsSeenByViewer() {
    const auto& got = desktop.window(viewer)->received;
    return static_cast<std::size_t>(std::count_if(got.begin(), got.end(), [](const sim::ReceivedMessage& m) {
      return m.message == platform::WM_DRAWCLIPBOARD;
    }));
  }
  std::size_t storedSecrets() { return query("select cKey from cTbl where cText = '" + secret + "'").size(); }
  bool logMentionsSecret() {
    const std::string log = read(dataFolder + "tandrel.log");
    return log.find("hunter2") != std::string::npos;
  }
  std::size_t skippedLines() {
    const auto lines = logLines();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), skippedLine));
  }

  platform::Hwnd editor = 0;
  platform::Hwnd viewer = 0;
};

TEST_F(PrivateDataTest, EveryMarkKeepsTheTextOutOfStoreListAndLogButPassesTheChangeOn) {
  const std::map<std::string, std::string> marks = {
      {"Clipboard Viewer Ignore", ""},
      {"ExcludeClipboardContentFromMonitorProcessing", "anything"},
      {"CanIncludeInClipboardHistory", std::string(4, '\0')},
      {"CanUploadToCloudClipboard", std::string(4, '\0')},
      {"x-kde-passwordManagerHint", "secret"},
  };
  answerFirstRun(platform::IDYES);
  runWith([&] {
    for (const auto& [mark, value] : marks) {
      SCOPED_TRACE(mark);
      const std::size_t draws = drawsSeenByViewer();
      const std::string shown = desktop.gadgets[ui::gadgetTextEditor].text;
      const int rows = desktop.gadgets[ui::gadgetClipList].rowCount;
      copySecretWith(mark, value);
      EXPECT_EQ(drawsSeenByViewer(), draws + 1);
      EXPECT_EQ(desktop.gadgets[ui::gadgetTextEditor].text, shown);
      EXPECT_EQ(desktop.gadgets[ui::gadgetClipList].rowCount, rows);
    }
  });
  EXPECT_EQ(storedSecrets(), 0u);
  EXPECT_EQ(skippedLines(), marks.size());
  EXPECT_FALSE(logMentionsSecret());
}

TEST_F(PrivateDataTest, ValueMarksThatAllowTheTextAndUnknownHintsAreCaptured) {
  const std::vector<std::pair<std::string, std::string>> allowing = {
      {"CanIncludeInClipboardHistory", std::string("\x01\0\0\0", 4)},
      {"CanUploadToCloudClipboard", std::string("\x01\0\0\0", 4)},
      {"x-kde-passwordManagerHint", "public"},
  };
  answerFirstRun(platform::IDYES);
  std::size_t stored = 0;
  runWith([&] {
    for (const auto& [mark, value] : allowing) {
      SCOPED_TRACE(mark);
      desktop.copyText("something else", editor);  // so that the secret is never a repeat
      copySecretWith(mark, value);
      stored += storedSecrets() == 1 ? 1 : 0;
      execute("delete from cTbl where cText = '" + secret + "'");
    }
  });
  EXPECT_EQ(stored, allowing.size());
  EXPECT_EQ(skippedLines(), 0u);
}

TEST_F(PrivateDataTest, TheSameTextWithoutAMarkIsStoredAfterThePrivateOne) {
  answerFirstRun(platform::IDYES);
  runWith([&] {
    desktop.copyText("a text before", editor);
    copySecretWith("Clipboard Viewer Ignore", "");
    EXPECT_EQ(storedSecrets(), 0u);
    desktop.copyText(secret, editor);
  });
  EXPECT_EQ(storedSecrets(), 1u);
}

TEST_F(PrivateDataTest, APrivateChangeEndsARunOfOneText) {
  write(dataFolder + "tandrel.ini", "Version = 2.8\r\nSupressDuplicates = N\r\n");
  createDatabase();
  runWith([&] {
    desktop.copyText("the same text", editor);
    copySecretWith("Clipboard Viewer Ignore", "");
    desktop.ticks += 10000;  // another ten-second step, so no repeat of the last clip either
    desktop.copyText("the same text", editor);
  });
  EXPECT_EQ(query("select cKey from cTbl where cText = 'the same text'").size(), 2u);
}

TEST_F(PrivateDataTest, SkipPrivateNoCapturesMarkedTextsAndIsKeptInTheSettingsFile) {
  write(dataFolder + "tandrel.ini", "Version = 2.8\r\nSkipPrivate = N\r\n");
  createDatabase();
  runWith([&] { copySecretWith("Clipboard Viewer Ignore", ""); });
  EXPECT_EQ(storedSecrets(), 1u);
  EXPECT_EQ(skippedLines(), 0u);
  const auto lines = crlfLines(read(dataFolder + "tandrel.ini"));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "SkipPrivate = N"), lines.end());
}

TEST_F(PrivateDataTest, ASettingsFileWithoutTheKeySkipsPrivateChanges) {
  write(dataFolder + "tandrel.ini", "Version = 2.8\r\nSupressDuplicates = N\r\n");
  createDatabase();
  runWith([&] { copySecretWith("ExcludeClipboardContentFromMonitorProcessing", ""); });
  EXPECT_EQ(storedSecrets(), 0u);
  EXPECT_EQ(skippedLines(), 1u);
}

}  // namespace
