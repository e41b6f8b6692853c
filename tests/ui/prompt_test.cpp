// The text prompt: its size rules, the "Open URL" button, and what each way out answers.
#include "ui/prompt.h"

#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "support/sim_fixture.h"

using namespace testing_support;

namespace {

class PromptTest : public SimTest {
 protected:
  std::string ask(const std::string& defaultText, int width = 500, int height = 30) {
    return ui::promptText(*program, width, height, "Tandrel", "Question", defaultText, 0x0008);
  }
  const platform::PromptLayout& shown() { return desktop.prompts.back().layout; }
};

TEST_F(PromptTest, TheEntryTextIsTheAnswerOfOkAndNothingOfCancel) {
  program->settings.windowX = 100;
  program->settings.windowY = 40;
  desktop.promptAnswers.push_back({platform::PromptButton::Ok, "typed"});
  EXPECT_EQ(ask("old note"), "typed");
  EXPECT_EQ(shown().title, "Tandrel");
  EXPECT_EQ(shown().prompt, "Question");
  EXPECT_EQ(shown().text, "old note");
  EXPECT_EQ(shown().entryStyle, 0x0008u);
  EXPECT_EQ(shown().width, 500);
  EXPECT_EQ(shown().height, 30);
  // Beside the main window where it was last seen.
  EXPECT_GT(shown().x, 100);
  EXPECT_GT(shown().y, 40);
  EXPECT_FALSE(shown().openUrlButton);
  EXPECT_EQ(program->view.openUrlChosen, 0);

  desktop.promptAnswers.push_back({platform::PromptButton::Cancel, "typed anyway"});
  EXPECT_EQ(ask("old note"), "");
}

TEST_F(PromptTest, SmallSizesAreRaisedAndOpenUrlIsOfferedForAWebAddressOnly) {
  desktop.promptAnswers.push_back({platform::PromptButton::OpenUrl, "http://example.org/"});
  EXPECT_EQ(ask("http://example.org/", 20, 5), "http://example.org/");
  EXPECT_EQ(shown().width, 128);
  EXPECT_EQ(shown().height, 20);
  EXPECT_TRUE(shown().openUrlButton);
  EXPECT_EQ(program->view.openUrlChosen, 1);

  desktop.promptAnswers.push_back({platform::PromptButton::Ok, ""});
  EXPECT_EQ(ask("htt"), "");
  EXPECT_FALSE(shown().openUrlButton);
  EXPECT_EQ(program->view.openUrlChosen, 0);
}

}  // namespace
