// The text prompt: what it offers and what each way of leaving it answers.
#include <gtest/gtest.h>

#include "support/sim_fixture.h"
#include "ui/prompt.h"

using namespace testing_support;

namespace {

class PromptTest : public SimTest {
 protected:
  std::string ask(const std::string& defaultText, int width = 500, int height = 30) {
    return ui::promptText(*program, width, height, "Tandrel", "Enter it", defaultText, 0);
  }
};

TEST_F(PromptTest, EachButtonAnswersAsTheUserLeftIt) {
  desktop.promptAnswers = {{platform::PromptButton::Ok, "typed"},
                           {platform::PromptButton::Cancel, "typed"},
                           {platform::PromptButton::OpenUrl, "http://example.com/a"}};
  EXPECT_EQ(ask("old"), "typed");
  EXPECT_EQ(program->edit.openUrlChosen, 0);
  EXPECT_EQ(ask("old"), "");
  EXPECT_EQ(program->edit.openUrlChosen, 0);
  EXPECT_EQ(ask("http://example.com/a"), "http://example.com/a");
  EXPECT_EQ(program->edit.openUrlChosen, 1);
}

TEST_F(PromptTest, OpenUrlIsOfferedOnlyForAWebAddressAndTheSizeHasAFloor) {
  desktop.promptAnswers = {{}, {}, {}};
  ask("https://example.com/x", 20, 5);
  ask("httpd is a server");
  ask("Caf\xe9 'notes'");
  ASSERT_EQ(desktop.prompts.size(), 3u);
  EXPECT_TRUE(desktop.prompts[0].layout.openUrlButton);
  EXPECT_EQ(desktop.prompts[0].layout.width, 128);
  EXPECT_EQ(desktop.prompts[0].layout.height, 20);
  EXPECT_FALSE(desktop.prompts[1].layout.openUrlButton);
  EXPECT_FALSE(desktop.prompts[2].layout.openUrlButton);
  EXPECT_EQ(desktop.prompts[2].layout.text, "Caf\xe9 'notes'");
  EXPECT_EQ(desktop.prompts[2].layout.title, "Tandrel");
}

}  // namespace
