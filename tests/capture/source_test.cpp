// The source stored with a copied text: the window's title, the program's name for a window
// without one, and the address of a browser window.
#include <gtest/gtest.h>

#include "capture/source.h"
#include "support/sim_fixture.h"

using namespace testing_support;

namespace {

class SourceTest : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    answerFirstRun(platform::IDYES);
  }
  // Copies each text from its window in one run and answers the sources stored, in that order.
  Rows sourcesOf(const std::vector<std::pair<std::string, platform::Hwnd>>& copies) {
    desktop.then([&] {
      for (const auto& [text, window] : copies) desktop.copyText(text, window);
    });
    thenEndSession();
    EXPECT_EQ(run(), 0);
    return query("select cSource from cTbl where cKey > 1 order by cKey");
  }
  platform::Hwnd browser(const std::string& title) {
    return desktop.addForeignWindow(title, "C:\\Program Files\\Web\\browse.exe", "IEFrame");
  }
};

TEST_F(SourceTest, ABlankTitleGivesTheProgramNameWithoutPathOrExe) {
  const auto blank = desktop.addForeignWindow(" ", "C:\\Tools\\exe.d\\Writer.exe");
  const auto empty = desktop.addForeignWindow("", "C:\\Tools\\tool.exe.exe");
  const auto upper = desktop.addForeignWindow("   ", "C:\\Tools\\LOUD.EXE");
  const auto unknown = desktop.addForeignWindow("", "");
  const auto titled = desktop.addForeignWindow("  Report - Writer  ", "C:\\Tools\\Writer.exe");
  EXPECT_EQ(sourcesOf({{"one", blank}, {"two", empty}, {"three", upper}, {"four", unknown}, {"five", titled}}),
            (Rows{{"Writer"}, {"tool"}, {"LOUD.EXE"}, {" "}, {"Report - Writer"}}));
}

TEST_F(SourceTest, ALongTitleIsCutTo255Characters) {
  EXPECT_EQ(capture::sourceTitleOf(desktop.addForeignWindow(std::string(300, 'x'), "C:\\a.exe")),
            std::string(255, 'x'));
  const auto unnamed = desktop.addForeignWindow("", "C:\\" + std::string(300, 'y') + ".exe");
  EXPECT_EQ(capture::sourceTitleOf(unnamed), std::string(256, 'y'));
}

TEST_F(SourceTest, ABrowserWindowGivesTheAddressOfItsFirstEditShowingOne) {
  const auto frame = browser("Example Page - Browser");
  desktop.addForeignChild(frame, "Static", "https://not.an.edit/");
  desktop.addForeignChild(frame, "Edit", "search words");
  const auto bar = desktop.addForeignChild(frame, "ReBarWindow32", "");
  desktop.addForeignChild(bar, "Edit", "https://example.org/a");
  desktop.addForeignChild(frame, "Edit", "http://later.example/");
  EXPECT_EQ(sourcesOf({{"from the page", frame}}), (Rows{{"https://example.org/a"}}));
}

TEST_F(SourceTest, TheAddressIsUsedOnlyWhenTheBrowserIsTheSourceAndShowsAWebAddress) {
  const auto frame = browser("Example Page - Browser");
  const auto address = desktop.addForeignChild(frame, "Edit", "http://example.org/" + std::string(300, 'p'));
  const auto other = desktop.addForeignWindow("Notes", "C:\\Tools\\notes.exe");
  desktop.then([&] {
    desktop.copyText("from the page", frame);
    desktop.copyText("from elsewhere", other);
    // The address field now holds no address: the earlier one must not stand for this copy.
    desktop.window(address)->title = "ftp://example.org/";
    desktop.copyText("after navigating", frame);
  });
  thenEndSession();
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(query("select cSource from cTbl where cKey > 1 order by cKey"),
            (Rows{{"http://example.org/" + std::string(237, 'p')}, {"Notes"}, {"Example Page - Browser"}}));
}

TEST_F(SourceTest, AHungBrowserIsGivenUpAndItsTitleStands) {
  const auto frame = browser("Stuck Page - Browser");
  const auto address = desktop.addForeignChild(frame, "Edit", "https://example.org/");
  desktop.window(address)->hung = true;
  EXPECT_EQ(sourcesOf({{"from the hung page", frame}}), (Rows{{"Stuck Page - Browser"}}));
}

}  // namespace
