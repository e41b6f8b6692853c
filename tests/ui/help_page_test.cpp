// The help and about page: the file the Online Help tab shows, and the commands that go to the
// product web site.
#include <gtest/gtest.h>

#include "support/main_window_script.h"
#include "ui/commands.h"
#include "ui/help_page.h"

using namespace testing_support;

namespace {

const std::string pagePath = dataFolder + "Tandrel_.htm";
const std::string logoPath = dataFolder + "TandrelLogo.jpg";

class HelpPageTest : public MainWindowTest {
 protected:
  void start() { seed({{"td_clips", "first clip", "Editor", " "}}); }
  bool pageHas(const std::string& part) { return read(pagePath).find(part) != std::string::npos; }
};

TEST_F(HelpPageTest, AboutWritesThePageAndBringsTheOnlineHelpTabToTheFront) {
  start();
  desktop.then([&] {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabText);
    write(pagePath, "stale");
    desktop.postEvent({platform::EVENT_MENU, core::mainWindowNumber, ui::commandAbout, 0, 0});
  });
  desktop.then([&] {
    EXPECT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabHelp);
    EXPECT_EQ(gadget(ui::gadgetHelpBrowser).address, pagePath);
    const std::string page = read(pagePath);
    EXPECT_EQ(page.substr(0, 63), "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">");
    EXPECT_EQ(page.substr(page.size() - 15), "</body></html>\n");
    EXPECT_TRUE(pageHas("<base target=\"_blank\"></head><body><div style=\"text-align:center;padding:10px 0 0 0\">"));
    EXPECT_TRUE(pageHas("<img src=\"TandrelLogo.jpg\" width=60 height=74 alt=\"Tandrel\" border=0>"));
    EXPECT_TRUE(pageHas("Your #1 clipboard assistant"));
    EXPECT_TRUE(pageHas("version <b>2.8</b>"));
    EXPECT_TRUE(pageHas("<div style=\"margin:0px 0 0 0;\"><a href=\"" + ui::webSite + "index.htm\">Tandrel Homepage</a>"));
    EXPECT_TRUE(pageHas("<div style=\"margin:7px 0 0 0;\"><a href=\"" + ui::webSite +
                        "help_20.htm?2.8\" target=\"_self\">Tandrel Online Help</a>"));
    EXPECT_TRUE(pageHas("<div style=\"margin:7px 0 0 0;\"><a href=\"" + ui::webSite +
                        "commentform.htm?2.8\" target=\"_self\">Send Us a Comment</a>"));
    EXPECT_TRUE(pageHas("<div style=\"margin:7px 0 0 0;\"><a href=\"" + ui::webSite +
                        "ckupdate.htm?2.8\" target=\"_self\">Check For New Version</a>"));
    EXPECT_TRUE(pageHas("<div style=\"clear:both\"></div>"));
  });
  runToEnd();
}

TEST_F(HelpPageTest, WithoutABrowserThePageIsStillWritten) {
  desktop.browserAvailable = false;
  start();
  desktop.then([&] {
    platform::deleteFile(pagePath);
    ui::showAbout(*program);
    EXPECT_TRUE(pageHas("version <b>2.8</b>"));
  });
  runToEnd();
}

TEST_F(HelpPageTest, VersionCheckAndOnlineHelpLoadOverThePageAndHomePageGoesToTheUsersBrowser) {
  start();
  desktop.then([&] {
    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
    platform::deleteFile(pagePath);
    post(ui::gadgetLogo);
  });
  desktop.then([&] {
    // A view that cannot load the web site keeps the page, so the page is there under it.
    EXPECT_EQ(gadget(ui::gadgetHelpBrowser).address, ui::webSite + "help_20.htm?2.8");
    EXPECT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabHelp);
    EXPECT_TRUE(pageHas("version <b>2.8</b>"));

    platform::setPanelTab(ui::gadgetContentPanel, ui::tabSets);
    platform::deleteFile(pagePath);
    ui::checkForNewVersion(*program);
    EXPECT_EQ(gadget(ui::gadgetHelpBrowser).address, ui::webSite + "ckupdate.htm?2.8");
    EXPECT_EQ(gadget(ui::gadgetContentPanel).tab, ui::tabHelp);
    EXPECT_TRUE(pageHas("version <b>2.8</b>"));

    ui::openHomePage(*program);
    ASSERT_EQ(desktop.shellExecutions.size(), 1u);
    EXPECT_EQ(desktop.shellExecutions[0].owner, program->mainWindow);
    EXPECT_EQ(desktop.shellExecutions[0].verb, "open");
    EXPECT_EQ(desktop.shellExecutions[0].file, ui::webSite);
    EXPECT_EQ(desktop.shellExecutions[0].showCommand, platform::SW_SHOWNORMAL);
    EXPECT_NE(gadget(ui::gadgetStatusLine).text, "Action Failed");

    desktop.shellResult = 2;  // no browser registered for the address
    ui::openHomePage(*program);
    EXPECT_EQ(gadget(ui::gadgetStatusLine).text, "Action Failed");
  });
  runToEnd();
}

TEST_F(HelpPageTest, ACaptureNeitherWritesNorReloadsThePage) {
  start();
  desktop.then([&] {
    ui::showAbout(*program);
    const std::string written = read(pagePath);
    gadget(ui::gadgetHelpBrowser).address.clear();
    desktop.copyText("captured");
    desktop.copyText("captured again");
    EXPECT_EQ(listColumn(0)[0].substr(0, 14), "captured again");
    EXPECT_EQ(read(pagePath), written);
    EXPECT_EQ(gadget(ui::gadgetHelpBrowser).address, "");
  });
  runToEnd();
}

TEST_F(HelpPageTest, ALogoIsWrittenBesideThePageAndAMissingOneLeavesNoFile) {
  start();
  desktop.then([&] {
    platform::deleteFile(logoPath);
    ui::showAbout(*program);
    const std::string logo = read(logoPath);
    ASSERT_GT(logo.size(), 4u);
    EXPECT_EQ(logo.substr(0, 3), "\xFF\xD8\xFF");  // a JPEG file
    EXPECT_EQ(logo.substr(logo.size() - 2), "\xFF\xD9");

    platform::deleteFile(logoPath);
    ui::writeLogoFile(*program, "");
    EXPECT_FALSE(exists(logoPath));
    const std::string jpeg("\xFF\xD8\xFF\xE0 logo \0 bytes \xFF\xD9", 18);
    ui::writeLogoFile(*program, jpeg);
    EXPECT_EQ(read(logoPath), jpeg);
  });
  runToEnd();
}

}  // namespace
