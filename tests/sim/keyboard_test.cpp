// The simulated keyboard answers as GetAsyncKeyState does, so the shortcut poll can be tested as
// it runs on Windows.
#include <gtest/gtest.h>

#include "platform/keyboard.h"
#include "support/sim_fixture.h"

using namespace testing_support;
using platform::getAsyncKeyState;

namespace {

constexpr std::int16_t downAndPressed = -32767;  // 0x8001
constexpr std::int16_t held = -32768;            // 0x8000
constexpr std::int16_t pressedOnly = 1;

class SimKeyboardTest : public SimTest {};

TEST_F(SimKeyboardTest, APressIsReportedOnceThenTheKeyIsHeldUntilReleased) {
  desktop.pressKey(platform::VK_V);
  EXPECT_EQ(getAsyncKeyState(platform::VK_V), downAndPressed);
  EXPECT_EQ(getAsyncKeyState(platform::VK_V), held);
  EXPECT_EQ(getAsyncKeyState(platform::VK_V), held);
  desktop.releaseKey(platform::VK_V);
  EXPECT_EQ(getAsyncKeyState(platform::VK_V), 0);
}

TEST_F(SimKeyboardTest, ATapBetweenQueriesLeavesOnlyThePressedBit) {
  desktop.tapKey(platform::VK_T);
  EXPECT_EQ(getAsyncKeyState(platform::VK_T), pressedOnly);
  EXPECT_EQ(getAsyncKeyState(platform::VK_T), 0);
}

TEST_F(SimKeyboardTest, HoldingAKeyDownAgainIsNoNewPress) {
  desktop.pressKey(platform::VK_CONTROL);
  EXPECT_EQ(getAsyncKeyState(platform::VK_CONTROL), downAndPressed);
  desktop.pressKey(platform::VK_CONTROL);
  EXPECT_EQ(getAsyncKeyState(platform::VK_CONTROL), held);
}

TEST_F(SimKeyboardTest, KeysAreIndependentAndAFreshDesktopHasNoneDown) {
  desktop.pressKey(platform::VK_CONTROL);
  desktop.pressKey(platform::VK_MENU);
  EXPECT_EQ(getAsyncKeyState(platform::VK_MENU), downAndPressed);
  EXPECT_EQ(getAsyncKeyState(platform::VK_R), 0);
  EXPECT_EQ(getAsyncKeyState(platform::VK_CONTROL), downAndPressed);

  desktop.reset();
  EXPECT_EQ(getAsyncKeyState(platform::VK_CONTROL), 0);
  EXPECT_EQ(getAsyncKeyState(platform::VK_MENU), 0);
}

}  // namespace
