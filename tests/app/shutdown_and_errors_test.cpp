// How a run ends: the shutdown order, the compaction notice, and the two fatal reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/dispatcher.h"
#include "app/error_report.h"
#include "platform/window.h"
#include "support/sim_fixture.h"
#include "ui/commands.h"

using namespace testing_support;

namespace {

const std::string startTime = "2026-12-08  14:03:59";

class ShutdownTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    write(dataFolder + "tandrel.ini", "Version = 2.8\r\n");
    createDatabase();
    execute("insert into Sets (setName) values ('td_clips'); insert into Sets (setName) values ('td_trash');"
            "insert into cTbl (cDate, cSet, cText) values ('2026-01-01  10:00:00', 'td_trash', 'thrown away');"
            "insert into cTbl (cDate, cSet, cText) values ('2026-01-01  10:00:01', 'td_clips', 'kept');");
  }
  void thenMenu(int command) {
    desktop.then([this, command] {
      platform::WindowEvent e;
      e.kind = platform::EVENT_MENU;
      e.window = 500;
      e.gadget = command;
      desktop.postEvent(e);
    });
  }
};

TEST_F(ShutdownTest, EndOfSessionEmptiesTheTrashSavesAndRemovesScratchFiles) {
  bool sendReturned = false;
  desktop.then([&] {
    write(dataFolder + "Tandrel_.htm", "<body></body>");
    write("C:\\Users\\tester\\AppData\\Local\\Temp\\td_print\\clip.txt", "to print");
    EXPECT_TRUE(exists(dataFolder + "sets\\td_clips"));
    desktop.send(program->mainWindow, platform::WM_QUERYENDSESSION);
    sendReturned = true;
  });
  EXPECT_EQ(run(), 0);
  // The whole shutdown ran inside the message: Windows may end the session as soon as it is answered.
  EXPECT_FALSE(sendReturned);
  EXPECT_EQ(query("select cText from cTbl"), (Rows{{"kept"}}));
  EXPECT_FALSE(exists(dataFolder + "Tandrel_.htm"));
  EXPECT_FALSE(exists("C:\\Users\\tester\\AppData\\Local\\Temp\\td_print\\clip.txt"));
  EXPECT_FALSE(exists(dataFolder + "sets"));
  EXPECT_EQ(logLines().back(), startTime + "Program ended ");
  EXPECT_NE(desktop.chainHead, program->mainWindow);
  EXPECT_TRUE(desktop.notices.empty());
  EXPECT_EQ(program->cleanOnExit, 0);
}

TEST_F(ShutdownTest, ExitWithoutCompactionShowsNoNotice) {
  thenMenu(ui::commandExit);
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(desktop.notices.empty());
  EXPECT_EQ(query("select count(*) from cTbl where cSet = 'td_trash'"), (Rows{{"0"}}));
}

TEST_F(ShutdownTest, CleanExitCompactsBehindTheNoticeInTheLowerRightCorner) {
  // Enough deleted rows that the compaction visibly shrinks the file.
  execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
          "INSERT INTO cTbl (cSet, cText) SELECT 'td_trash', printf('%.*c', 1000, 'x') FROM n;");
  const auto sizeBefore = std::filesystem::file_size(desktop.hostPath(dataFolder + "tdclips.db"));
  thenMenu(ui::commandCleanExit);
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(desktop.notices.size(), 1u);
  const auto& notice = desktop.notices[0];
  EXPECT_NE(notice.thread, desktop.mainThread);
  EXPECT_EQ(notice.layout.title, "Tandrel");
  EXPECT_EQ(notice.layout.width, 122);
  EXPECT_EQ(notice.layout.height, 60);
  EXPECT_EQ(notice.layout.x, 1024 - 132);
  EXPECT_EQ(notice.layout.y, 738 - 60);
  EXPECT_EQ(notice.labels, (std::vector<std::string>{"Tandrel\r\nShutting Down", "Tandrel\r\nWriting Data Base"}));
  EXPECT_TRUE(notice.closed);
  EXPECT_LT(std::filesystem::file_size(desktop.hostPath(dataFolder + "tdclips.db")), sizeBefore / 4);
  EXPECT_EQ(logLines().back(), startTime + "Program ended ");
}

TEST_F(ShutdownTest, TrashThatCannotBeEmptiedIsReportedAndTheShutdownGoesOn) {
  desktop.then([&] { execute("DROP TABLE cTbl"); });
  desktop.answerNext(platform::IDOK);
  thenEndSession();
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].title, "Tandrel");
  EXPECT_EQ(desktop.messageBoxes[0].text, "Database Delete not done = no such table: cTbl");
  EXPECT_EQ(logLines().back(), startTime + "Program ended ");
}

TEST_F(ShutdownTest, AccessViolationIsReportedOnceThenTheProgramShutsDown) {
  desktop.then([&] {
    desktop.window(program->mainWindow)->iconic = true;
    desktop.raiseProcessorException(0xC0000005u);
  });
  desktop.answerNext(platform::IDOK);
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  const auto& box = desktop.messageBoxes[0];
  EXPECT_EQ(box.title, "Tandrel UNEXPECTED ERROR");
  const std::string text =
      "Sorry, but there was an unexpected error:\r\nCode: -1073741819\r\nError: ACCESS VIOLATION\r\n\r\n"
      "Please report this error to the Tandrel support team\r\nUnfortunately the program must end now.\r\n"
      "Please restart Tandrel and see if the error occurs again.\r\n";
  EXPECT_EQ(box.text, text);
  EXPECT_FALSE(desktop.window(program->mainWindow) != nullptr);  // closed by the shutdown
  const std::string log = read(dataFolder + "tandrel.log");
  EXPECT_NE(log.find(startTime + text + "\r\n" + startTime + "Program ended \r\n"), std::string::npos);
  EXPECT_EQ(query("select count(*) from cTbl where cSet = 'td_trash'"), (Rows{{"0"}}));
}

TEST_F(ShutdownTest, ExceptionNamesAndCodes) {
  EXPECT_EQ(app::exceptionName(0xC0000094u), "DIVISION BY ZERO");
  EXPECT_EQ(app::exceptionName(0xC000008Eu), "DIVISION BY ZERO");
  EXPECT_EQ(app::exceptionName(0xC000008Cu), "ARRAY BOUNDS EXCEEDED");
  EXPECT_EQ(app::exceptionName(0x80000002u), "DATATYPE MISALIGNMENT");
  EXPECT_EQ(app::exceptionName(0xC000001Du), "ILLEGAL INSTRUCTION");
  EXPECT_EQ(app::exceptionName(0xC00000FDu), "STACK OVERFLOW");
  EXPECT_EQ(app::exceptionName(0xE06D7363u), "UNKNOWN!");
  EXPECT_NE(app::exceptionReportText(0xC00000FDu).find("Code: -1073741571\r\n"), std::string::npos);
}

TEST_F(ShutdownTest, ExceptionDuringTheReportShowsNoSecondMessage) {
  int boxes = 0;
  desktop.answerer = [&](const sim::MessageBoxRecord&) {
    if (++boxes == 1) desktop.raiseProcessorException(0xC0000094u);
    return platform::IDOK;
  };
  desktop.then([&] { desktop.raiseProcessorException(0xC0000005u); });
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(logLinesWith("Program ended "), 1);
}

TEST_F(ShutdownTest, ExceptionDuringTheShutdownEndsAtOnceWithoutRunningItAgain) {
  desktop.then([&] { execute("DROP TABLE cTbl"); });
  desktop.answerer = [&](const sim::MessageBoxRecord& box) {
    if (box.text.rfind("Database Delete not done", 0) == 0) desktop.raiseProcessorException(0xC0000005u);
    return platform::IDOK;
  };
  thenEndSession();
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(logLinesWith("Program ended "), 0);
}

TEST_F(ShutdownTest, CaughtErrorIsReportedWithItsLineAndEndsThroughTheShutdown) {
  desktop.then([&] { app::guarded(*program, [] { throw app::ProgramError(417, "Subscript out of range"); }); });
  desktop.answerNext(platform::IDOK);
  EXPECT_EQ(run(), 0);
  ASSERT_EQ(desktop.messageBoxes.size(), 1u);
  EXPECT_EQ(desktop.messageBoxes[0].title, "Tandrel Error!");
  const std::string text =
      " There was an error:\r\n\r\nAt line number 417\r\nDescription: Subscript out of range\r\n"
      "Please report this error to the Tandrel support team\r\n"
      "Unfortunately the program cannot continue and must end now.";
  EXPECT_EQ(desktop.messageBoxes[0].text, text);
  const std::string log = read(dataFolder + "tandrel.log");
  EXPECT_NE(log.find(startTime + text + "\r\n" + startTime + "Program ended \r\n"), std::string::npos);
}

}  // namespace
