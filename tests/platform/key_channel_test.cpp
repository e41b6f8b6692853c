// The key bridge's channel: which keys may cross, the datagram and channel file both ends read,
// the bridge's record of held keys, the hook's filter, and the receiver's merge with Wine's own keys.
#include <gtest/gtest.h>

#include <vector>

#include "platform/key_channel.h"

using namespace keychannel;

namespace {

const Token token = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
const char* tokenHex = "00112233445566778899aabbccddeeff";


std::optional<Report> parse(const std::string& bytes) { return parseDatagram(bytes.data(), bytes.size(), token); }

TEST(KeyFilter, OnlyCtrlAltTRVAndHCross) {
  std::vector<std::uint32_t> passed;
  for (std::uint32_t keysym = 0; keysym <= 0xffff; ++keysym)
    if (keyOfKeysym(keysym) >= 0) passed.push_back(keysym);
  EXPECT_EQ(passed, (std::vector<std::uint32_t>{'H', 'R', 'T', 'V', 'h', 'r', 't', 'v', 0xfe03, 0xffe3, 0xffe4,
                                                0xffe9, 0xffea}));
  EXPECT_EQ(keyOfKeysym(0xffe3), Ctrl);
  EXPECT_EQ(keyOfKeysym(0xffe9), Alt);
  EXPECT_EQ(keyOfKeysym(0xffea), AltGr);
  EXPECT_EQ(keyOfKeysym(0xfe03), AltGr);
  EXPECT_EQ(keyOfKeysym('t'), T);
  EXPECT_EQ(keyOfKeysym('R'), R);
  EXPECT_EQ(keyOfKeysym('v'), V);
  EXPECT_EQ(keyOfKeysym('h'), H);
  EXPECT_EQ(keyOfKeysym(0x1000076), -1);  // a Unicode keysym whose low bits read 'v'
}

// The hook's filter: own keys unseen, repeats dropped, letters only with the modifiers of a shortcut.
TEST(KeyFilter, TheHookPassesOnlyShortcutLettersWithTheirModifiers) {
  using platform::KeyEvent;
  platform::KeyFilter filter;
  const auto key = [&](int vk, bool down, std::uintptr_t mark = 0) { return filter.onKey(vk, down, mark); };
  EXPECT_FALSE(key(platform::VK_V, true));  // no Ctrl
  EXPECT_FALSE(key(platform::VK_V, false));
  EXPECT_FALSE(key(platform::VK_LCONTROL, true));
  const auto v = key(platform::VK_V, true);
  ASSERT_TRUE(v);
  EXPECT_TRUE(v->down && v->ctrl && !v->leftAlt && !v->rightAlt);
  EXPECT_FALSE(key(platform::VK_V, true));  // repeated while held
  EXPECT_FALSE(key(platform::VK_T, true));  // T wants an Alt too
  EXPECT_FALSE(key(platform::VK_T, false));
  EXPECT_FALSE(key(0x58, true));
  EXPECT_FALSE(key(platform::VK_RMENU, true));
  const auto h = key(platform::VK_H, true);
  ASSERT_TRUE(h);
  EXPECT_TRUE(h->ctrl && h->rightAlt && !h->leftAlt);
  EXPECT_TRUE(key(platform::VK_H, false));
  EXPECT_TRUE(key(platform::VK_V, false));
  EXPECT_FALSE(key(platform::VK_R, true, platform::ownInputMark));  // typed by Tandrel itself
  EXPECT_FALSE(key(platform::VK_R, false, platform::ownInputMark));
  // Tandrel's own Ctrl never counts as held either.
  EXPECT_FALSE(key(platform::VK_RMENU, false));
  EXPECT_FALSE(key(platform::VK_LCONTROL, false));
  EXPECT_FALSE(key(platform::VK_CONTROL, true, platform::ownInputMark));
  EXPECT_FALSE(key(platform::VK_V, true));
  EXPECT_FALSE(key(platform::VK_V, false));
  // Modifiers held when the watch began count; the generic codes of typed keys are the left ones.
  filter.reset(false, true, false, false);
  EXPECT_TRUE(key(platform::VK_V, true));
  EXPECT_FALSE(key(platform::VK_MENU, true));
  const auto t = key(platform::VK_T, true);
  ASSERT_TRUE(t);
  EXPECT_TRUE(t->ctrl && t->leftAlt && !t->rightAlt);
}

TEST(KeyDatagram, LaysOutMagicTokenHeldAndPressed) {
  const std::string bytes = formatDatagram(token, Report{0x11, 0x10});
  ASSERT_EQ(bytes.size(), datagramSize);
  EXPECT_EQ(bytes.substr(0, 4), "TDK2");
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
  noKey[20] = static_cast<char>(0x80);
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

TEST(BridgeHeldKeys, LettersLeaveOnlyWithTheirModifiersAndTheirReleaseAlways) {
  HeldKeys keys;
  for (int letter : {T, R, V, H}) {
    EXPECT_EQ(keys.onKey(letter, 28, true), std::nullopt) << letter;
    EXPECT_EQ(keys.onKey(letter, 28, false), std::nullopt) << letter;
  }
  EXPECT_EQ(keys.onKey(Ctrl, 37, true), (Report{1u << Ctrl, 1u << Ctrl}));
  EXPECT_EQ(keys.onKey(T, 28, true), std::nullopt);  // T, R and H want an Alt as well
  EXPECT_EQ(keys.onKey(AltGr, 108, true), (Report{1u << Ctrl | 1u << AltGr, 1u << AltGr}));
  EXPECT_EQ(keys.onKey(H, 43, true), std::nullopt);  // the chord is never made with AltGr
  EXPECT_EQ(keys.onKey(R, 27, true), (Report{1u << Ctrl | 1u << AltGr | 1u << R, 1u << R}));
  EXPECT_EQ(keys.onKey(AltGr, 108, false), (Report{1u << Ctrl | 1u << R, 0}));
  EXPECT_EQ(keys.onKey(Ctrl, 37, false), (Report{1u << R, 0}));
  EXPECT_EQ(keys.onKey(R, 27, false), (Report{0, 0}));  // sent whatever is held by then
  EXPECT_EQ(keys.onKey(T, 28, false), std::nullopt);
  EXPECT_EQ(keys.onKey(H, 43, false), std::nullopt);
  keys.onKey(Ctrl, 37, true);
  keys.onKey(Alt, 64, true);
  EXPECT_EQ(keys.onKey(H, 43, true), (Report{1u << Ctrl | 1u << Alt | 1u << H, 1u << H}));
}

using Events = std::vector<platform::KeyEvent>;

// The events as "V+c" (a press with Ctrl held), "V-" (a release); modifiers c, a (left Alt), g (AltGr).
std::string shown(const Events& events) {
  std::string out;
  for (const auto& e : events) {
    out += static_cast<char>(e.virtualKey);
    out += e.down ? '+' : '-';
    if (e.ctrl) out += 'c';
    if (e.leftAlt) out += 'a';
    if (e.rightAlt) out += 'g';
    out += ' ';
  }
  return out;
}

platform::KeyEvent ownKey(int virtualKey, bool down) {
  platform::KeyEvent e;
  e.virtualKey = virtualKey;
  e.down = down;
  e.ctrl = true;
  return e;
}

const platform::KeyEvent noContext;

TEST(KeyReceiver, TheBridgesPressIsReportedOnceAndItsHoldUntilRelease) {
  Receiver receiver;
  platform::KeyEvent context;
  context.foreground = 7;
  context.fromBridge = true;
  const Events pressed = receiver.receive({1u << Ctrl | 1u << Alt | 1u << V, 1u << V}, 100, context);
  EXPECT_EQ(shown(pressed), "V+ca ");
  EXPECT_EQ(pressed[0].foreground, 7u);
  EXPECT_TRUE(pressed[0].fromBridge);
  EXPECT_EQ(shown(receiver.receive({1u << Ctrl | 1u << Alt | 1u << V, 0}, 350, context)), "");
  EXPECT_EQ(shown(receiver.receive({1u << Ctrl | 1u << AltGr, 1u << AltGr}, 360, context)), "V-cg ");
}

TEST(KeyReceiver, PressedBitsAreTakenKeyByKey) {
  Receiver receiver;
  // pressed and let go again before the datagram was sent
  EXPECT_EQ(shown(receiver.receive({1u << Ctrl, 1u << T | 1u << R}, 10, noContext)), "T+c T-c R+c R-c ");
}

TEST(KeyReceiver, AHoldNotHeardAgainExpiresAndKeepAlivesRenewIt) {
  Receiver receiver;
  const std::uint32_t start = 0xFFFFFF00u;  // the tick count wraps on the way
  receiver.receive({1u << Ctrl | 1u << V, 1u << V}, start, noContext);
  EXPECT_TRUE(receiver.holding());
  EXPECT_EQ(shown(receiver.expire(start + holdLifetimeMs)), "");
  EXPECT_EQ(shown(receiver.expire(start + holdLifetimeMs + 1)), "V- ");
  EXPECT_FALSE(receiver.holding());
  receiver.receive({1u << Ctrl | 1u << V, 1u << V}, start + 2000, noContext);
  receiver.receive({1u << Ctrl | 1u << V, 0}, start + 2000 + keepAliveMs, noContext);
  EXPECT_EQ(shown(receiver.expire(start + 2000 + holdLifetimeMs + 100)), "");
}

TEST(KeyReceiver, WinesOwnAnswerStandsWhenTheBridgeIsSilent) {
  Receiver receiver;
  EXPECT_EQ(shown(receiver.own(ownKey('V', true), 5)), "V+c ");
  EXPECT_EQ(shown(receiver.own(ownKey('V', false), 6)), "V-c ");
  EXPECT_EQ(shown(receiver.own(ownKey('X', true), 7)), "");
  EXPECT_EQ(shown(receiver.own(ownKey('H', true), 800)), "H+c ");
}

TEST(KeyReceiver, APressSeenByBothCountsOnceWhicheverComesFirst) {
  const Report vDown{1u << Ctrl | 1u << V, 1u << V}, up{1u << Ctrl, 0};
  Receiver bridgeFirst, wineFirst;
  EXPECT_EQ(shown(bridgeFirst.receive(vDown, 0, noContext)), "V+c ");
  EXPECT_EQ(shown(bridgeFirst.own(ownKey('V', true), 30)), "");
  EXPECT_EQ(shown(bridgeFirst.own(ownKey('V', false), 60)), "");  // the bridge still holds it
  EXPECT_EQ(shown(bridgeFirst.receive(up, 70, noContext)), "V-c ");

  EXPECT_EQ(shown(wineFirst.own(ownKey('V', true), 1)), "V+c ");
  EXPECT_EQ(shown(wineFirst.own(ownKey('V', false), 2)), "V-c ");  // a quick tap, all seen by Wine first
  EXPECT_EQ(shown(wineFirst.receive(vDown, 3, noContext)), "");
  EXPECT_EQ(shown(wineFirst.receive(up, 4, noContext)), "");
  // ...and the next press of both counts again
  EXPECT_EQ(shown(wineFirst.own(ownKey('V', true), 40)), "V+c ");
  EXPECT_EQ(shown(wineFirst.receive(vDown, 41, noContext)), "");
}

TEST(KeyReceiver, SeparatePressesAreNotTakenForOne) {
  const Report vDown{1u << Ctrl | 1u << V, 1u << V}, vHeld{1u << Ctrl | 1u << V, 0}, up{1u << Ctrl, 0};
  Receiver twoTaps, longApart;
  // Two quick presses that both sides saw, Wine's second before the bridge's first release.
  EXPECT_EQ(shown(twoTaps.own(ownKey('V', true), 0)), "V+c ");
  EXPECT_EQ(shown(twoTaps.receive(vDown, 5, noContext)), "");
  EXPECT_EQ(shown(twoTaps.own(ownKey('V', false), 50)), "");
  EXPECT_EQ(shown(twoTaps.own(ownKey('V', true), 90)), "V-c V+c ");
  EXPECT_EQ(shown(twoTaps.receive(up, 95, noContext)), "");
  EXPECT_EQ(shown(twoTaps.receive(vDown, 96, noContext)), "");
  EXPECT_EQ(shown(twoTaps.own(ownKey('V', false), 150)), "");
  EXPECT_EQ(shown(twoTaps.receive(up, 155, noContext)), "V-c ");

  EXPECT_EQ(shown(longApart.receive(vDown, 0, noContext)), "V+c ");
  longApart.receive(vHeld, 200, noContext);
  EXPECT_EQ(shown(longApart.own(ownKey('V', true), samePressMs + 1)), "V-c V+c ");
}

}  // namespace
