// The key bridge's channel: which keys may cross, the datagram and channel file both ends read,
// the bridge's record of held keys, and the receiver's merge with Wine's own key state.
#include <gtest/gtest.h>

#include <vector>

#include "platform/key_channel.h"

using namespace keychannel;

namespace {

const Token token = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
const char* tokenHex = "00112233445566778899aabbccddeeff";

constexpr std::int16_t downAndPressed = -32767;
constexpr std::int16_t held = -32768;

std::optional<Report> parse(const std::string& bytes) { return parseDatagram(bytes.data(), bytes.size(), token); }

TEST(KeyFilter, OnlyCtrlAltTRAndVCross) {
  std::vector<std::uint32_t> passed;
  for (std::uint32_t keysym = 0; keysym <= 0xffff; ++keysym)
    if (keyOfKeysym(keysym) >= 0) passed.push_back(keysym);
  EXPECT_EQ(passed, (std::vector<std::uint32_t>{'R', 'T', 'V', 'r', 't', 'v', 0xffe3, 0xffe4, 0xffe9, 0xffea}));
  EXPECT_EQ(keyOfKeysym(0xffe3), Ctrl);
  EXPECT_EQ(keyOfKeysym(0xffea), Alt);
  EXPECT_EQ(keyOfKeysym('t'), T);
  EXPECT_EQ(keyOfKeysym('R'), R);
  EXPECT_EQ(keyOfKeysym('v'), V);
  EXPECT_EQ(keyOfKeysym(0x1000076), -1);  // a Unicode keysym whose low bits read 'v'
}

TEST(KeyFilter, VirtualKeysOfTheShortcutsOnly) {
  EXPECT_EQ(keyOfVirtualKey(0x11), Ctrl);
  EXPECT_EQ(keyOfVirtualKey(0x12), Alt);
  EXPECT_EQ(keyOfVirtualKey(0x54), T);
  EXPECT_EQ(keyOfVirtualKey(0x52), R);
  EXPECT_EQ(keyOfVirtualKey(0x56), V);
  for (int other : {0x10, 0x43, 0x58, 0xA2, 0xA4, 0x156}) EXPECT_EQ(keyOfVirtualKey(other), -1) << other;
}

TEST(KeyDatagram, LaysOutMagicTokenHeldAndPressed) {
  const std::string bytes = formatDatagram(token, Report{0x11, 0x10});
  ASSERT_EQ(bytes.size(), datagramSize);
  EXPECT_EQ(bytes.substr(0, 4), "TDK1");
  EXPECT_EQ(static_cast<unsigned char>(bytes[4]), 0x00);
  EXPECT_EQ(static_cast<unsigned char>(bytes[19]), 0xff);
  EXPECT_EQ(bytes[20], 0x11);
  EXPECT_EQ(bytes[21], 0x10);
  for (int held = 0; held <= allKeys; ++held)
    for (int pressed = 0; pressed <= allKeys; ++pressed) {
      const Report report{static_cast<std::uint8_t>(held), static_cast<std::uint8_t>(pressed)};
      EXPECT_EQ(parse(formatDatagram(token, report)), report);
    }
}

TEST(KeyDatagram, AnythingButAWholeDatagramWithTheTokenIsRefused) {
  const std::string good = formatDatagram(token, Report{1u << V, 1u << V});
  for (std::size_t i = 0; i < 20; ++i) {
    std::string forged = good;
    forged[i] = static_cast<char>(forged[i] ^ 0x01);
    EXPECT_FALSE(parse(forged)) << "byte " << i << " altered";
  }
  EXPECT_FALSE(parse(good.substr(0, datagramSize - 1)));
  EXPECT_FALSE(parse(good + '\0'));
  EXPECT_FALSE(parse(""));
  EXPECT_FALSE(parseDatagram(nullptr, datagramSize, token));
  std::string noKey = good;
  noKey[20] = 0x20;
  EXPECT_FALSE(parse(noKey));
  noKey = good;
  noKey[21] = static_cast<char>(0x80);
  EXPECT_FALSE(parse(noKey));
}

TEST(KeyChannelFile, ReadsPortAndToken) {
  const auto channel = parseChannel(std::string("40123 ") + tokenHex + "\n");
  ASSERT_TRUE(channel);
  EXPECT_EQ(channel->port, 40123);
  EXPECT_EQ(channel->token, token);
  EXPECT_TRUE(parseChannel(std::string("1 ") + tokenHex + "\r\n"));
  EXPECT_TRUE(parseChannel(std::string("65535 00112233445566778899AABBCCDDEEFF")));
}

TEST(KeyChannelFile, MalformedFilesAreRefused) {
  const std::string hex = tokenHex;
  for (const std::string& bad : std::vector<std::string>{
           "", "40123", "40123 ", " 40123 " + hex, "0 " + hex, "65536 " + hex, "123456 " + hex,
        "-1 " + hex, "4x123 " + hex, "40123  " + hex, "40123 " + hex.substr(1), "40123 " + hex + "0",
        "40123 " + hex.substr(0, 31) + "g", "40123\t" + hex, "40123 " + hex + " extra"})
    EXPECT_FALSE(parseChannel(bad)) << '"' << bad << '"';
}

TEST(BridgeHeldKeys, EitherCtrlKeepsCtrlDownAndRepeatsAreNoPresses) {
  HeldKeys keys;
  EXPECT_EQ(keys.onKey(Ctrl, 37, true), (Report{1u << Ctrl, 1u << Ctrl}));
  EXPECT_EQ(keys.onKey(Ctrl, 37, true), std::nullopt);
  EXPECT_EQ(keys.onKey(V, 55, true), (Report{1u << Ctrl | 1u << V, 1u << V}));
  EXPECT_EQ(keys.onKey(Ctrl, 105, true), (Report{1u << Ctrl | 1u << V, 1u << Ctrl}));
  EXPECT_EQ(keys.onKey(Ctrl, 105, false), (Report{1u << Ctrl | 1u << V, 0}));
  EXPECT_EQ(keys.onKey(V, 55, false), (Report{1u << Ctrl, 0}));
  EXPECT_EQ(keys.onKey(Ctrl, 37, false), (Report{0, 0}));
}

TEST(BridgeHeldKeys, ReleasesOfKeysNotSeenDownAndUnknownKeysChangeNothing) {
  HeldKeys keys;
  EXPECT_EQ(keys.onKey(Alt, 64, false), std::nullopt);
  EXPECT_EQ(keys.onKey(-1, 38, true), std::nullopt);
  EXPECT_EQ(keys.onKey(keyCount, 38, true), std::nullopt);
  EXPECT_EQ(keys.held(), 0);
}

TEST(KeyReceiver, TheBridgesPressIsReportedOnceAndItsHoldUntilRelease) {
  Receiver receiver;
  receiver.receive({1u << V, 1u << V}, 100);
  EXPECT_EQ(receiver.answer(V, 0, 101), downAndPressed);
  EXPECT_EQ(receiver.answer(V, 0, 102), held);
  EXPECT_EQ(receiver.answer(Ctrl, 0, 102), 0);
  receiver.receive({0, 0}, 150);
  EXPECT_EQ(receiver.answer(V, 0, 151), 0);
}

TEST(KeyReceiver, PressedBitsAreTakenKeyByKey) {
  Receiver receiver;
  receiver.receive({0, 1u << T | 1u << R}, 10);
  EXPECT_EQ(receiver.answer(T, 0, 11), 1);
  EXPECT_EQ(receiver.answer(T, 0, 12), 0);
  EXPECT_EQ(receiver.answer(R, 0, 13), 1);
}

TEST(KeyReceiver, AHoldNotHeardAgainExpiresAndKeepAlivesRenewIt) {
  Receiver receiver;
  const std::uint32_t start = 0xFFFFFF00u;  // the tick count wraps on the way
  receiver.receive({1u << Ctrl, 1u << Ctrl}, start);
  EXPECT_EQ(receiver.answer(Ctrl, 0, start + holdLifetimeMs), downAndPressed);
  EXPECT_EQ(receiver.answer(Ctrl, 0, start + holdLifetimeMs + 1), 0);
  receiver.receive({1u << Ctrl, 0}, start + 2000);
  receiver.receive({1u << Ctrl, 0}, start + 2000 + keepAliveMs);
  EXPECT_EQ(receiver.answer(Ctrl, 0, start + 2000 + holdLifetimeMs + 100), held);
}

TEST(KeyReceiver, WinesOwnAnswerStandsWhenTheBridgeIsSilent) {
  Receiver receiver;
  EXPECT_EQ(receiver.answer(V, downAndPressed, 5), downAndPressed);
  EXPECT_EQ(receiver.answer(V, held, 6), held);
  EXPECT_EQ(receiver.answer(-1, held, 7), held);
  receiver.receive({1u << Alt, 0}, 8);
  EXPECT_EQ(receiver.answer(Alt, 1, 9), downAndPressed);
}

TEST(KeyReceiver, APressSeenByBothCountsOnceWhicheverComesFirst) {
  Receiver sameQuery, bridgeFirst, wineFirst;
  sameQuery.receive({1u << V, 1u << V}, 0);
  EXPECT_EQ(sameQuery.answer(V, downAndPressed, 1), downAndPressed);
  EXPECT_EQ(sameQuery.answer(V, held, 6), held);

  bridgeFirst.receive({1u << V, 1u << V}, 0);
  EXPECT_EQ(bridgeFirst.answer(V, 0, 1), downAndPressed);
  EXPECT_EQ(bridgeFirst.answer(V, downAndPressed, 6), held);

  EXPECT_EQ(wineFirst.answer(V, downAndPressed, 1), downAndPressed);
  wineFirst.receive({1u << V, 1u << V}, 3);
  EXPECT_EQ(wineFirst.answer(V, held, 6), held);
  // ...and the next press of both counts again
  wineFirst.receive({0, 0}, 20);
  EXPECT_EQ(wineFirst.answer(V, 0, 21), 0);
  wineFirst.receive({1u << V, 1u << V}, 40);
  EXPECT_EQ(wineFirst.answer(V, downAndPressed, 41), downAndPressed);
}

TEST(KeyReceiver, SeparatePressesAreNotTakenForOne) {
  Receiver releasedBetween, longApart;
  // the bridge saw a press while Wine had no focus; the key went up; then Wine sees a new press
  releasedBetween.receive({1u << V, 1u << V}, 0);
  EXPECT_EQ(releasedBetween.answer(V, 0, 1), downAndPressed);
  releasedBetween.receive({0, 0}, 50);
  EXPECT_EQ(releasedBetween.answer(V, 0, 51), 0);
  EXPECT_EQ(releasedBetween.answer(V, downAndPressed, 60), downAndPressed);

  longApart.receive({1u << V, 1u << V}, 0);
  EXPECT_EQ(longApart.answer(V, 0, 1), downAndPressed);
  longApart.receive({1u << V, 0}, 200);
  EXPECT_EQ(longApart.answer(V, downAndPressed, 1 + samePressMs + 1), downAndPressed);
}

}  // namespace
