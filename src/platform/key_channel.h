// The channel between the key bridge (tandrel-keys, a native X11 program) and Tandrel.exe under
// Wine. An X11 desktop gives a Wine program no keys while a native window has the focus, so the
// bridge reads the few keys the shortcuts need from the X server and sends them over UDP on
// 127.0.0.1. Both ends share this file: which keys may cross, the datagram, the channel file, the
// sender's record of held keys and the receiver's merge with Wine's own answer. Pure code, no
// system calls, so the native tests cover it.
//
// The channel file (written by scripts/run.sh, mode 600, its Linux path in TANDREL_KEYS_FILE):
//   "<port> <token>\n"   port 1..65535, token 32 hex digits (16 random bytes)
//
// A datagram, 22 bytes:
//   offset 0   4 bytes   "TDK1"
//   offset 4   16 bytes  the token
//   offset 20  1 byte    held: bit k set while key k is down
//   offset 21  1 byte    pressed: bit k set when key k went down since the previous datagram
// Keys: 0 Ctrl (either), 1 Alt (either), 2 T, 3 R, 4 V; the other bits are always 0.
// The bridge sends one datagram at its start, one for every press or release of those keys (a key
// already down that the X server repeats is no new press) and, while any of them is down, the held
// set again every 250 ms; on a clean end it sends all keys up. The receiver forgets a held set it
// has not heard again for 1 s, so a bridge that dies with a key down does not leave it down.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace keychannel {

constexpr int keyCount = 5;
enum Key { Ctrl = 0, Alt = 1, T = 2, R = 3, V = 4 };
// The Windows virtual-key code of each key.
constexpr int virtualKeys[keyCount] = {0x11, 0x12, 0x54, 0x52, 0x56};

constexpr std::uint32_t keepAliveMs = 250;
constexpr std::uint32_t holdLifetimeMs = 1000;
// A press seen by Wine and by the bridge within this time, the key down in between, is one press.
constexpr std::uint32_t samePressMs = 500;

constexpr std::size_t tokenSize = 16;
using Token = std::array<std::uint8_t, tokenSize>;
constexpr std::size_t datagramSize = 22;
constexpr char magic[4] = {'T', 'D', 'K', '1'};

// The key of a Windows virtual-key code, -1 for every other key.
inline int keyOfVirtualKey(int virtualKey) {
  for (int k = 0; k < keyCount; ++k)
    if (virtualKeys[k] == virtualKey) return k;
  return -1;
}

// The filter: the key of an X keysym, -1 for every key that must not cross.
inline int keyOfKeysym(std::uint32_t keysym) {
  switch (keysym) {
    case 0xffe3:  // Control_L
    case 0xffe4:  // Control_R
      return Ctrl;
    case 0xffe9:  // Alt_L
    case 0xffea:  // Alt_R
      return Alt;
    case 't':
    case 'T':
      return T;
    case 'r':
    case 'R':
      return R;
    case 'v':
    case 'V':
      return V;
    default:
      return -1;
  }
}

struct Report {
  std::uint8_t held = 0;
  std::uint8_t pressed = 0;
  bool operator==(const Report& o) const { return held == o.held && pressed == o.pressed; }
};

constexpr std::uint8_t allKeys = (1u << keyCount) - 1;

inline std::string formatDatagram(const Token& token, const Report& report) {
  std::string out(magic, sizeof magic);
  out.append(reinterpret_cast<const char*>(token.data()), token.size());
  out += static_cast<char>(report.held & allKeys);
  out += static_cast<char>(report.pressed & allKeys);
  return out;
}

// The report of a datagram; nullopt for a wrong size, magic or token, or bits of no key. The token
// is compared in full whatever differs, so the time taken tells nothing about it.
inline std::optional<Report> parseDatagram(const char* data, std::size_t size, const Token& token) {
  if (data == nullptr || size != datagramSize) return std::nullopt;
  unsigned differ = 0;
  for (std::size_t i = 0; i < sizeof magic; ++i) differ |= static_cast<unsigned char>(data[i] ^ magic[i]);
  for (std::size_t i = 0; i < tokenSize; ++i) differ |= static_cast<unsigned char>(data[4 + i]) ^ token[i];
  const auto held = static_cast<std::uint8_t>(data[20]);
  const auto pressed = static_cast<std::uint8_t>(data[21]);
  if (differ != 0 || (held & ~allKeys) != 0 || (pressed & ~allKeys) != 0) return std::nullopt;
  return Report{held, pressed};
}

struct Channel {
  std::uint16_t port = 0;
  Token token{};
};

inline int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The channel file's "<port> <token>" line (a final line break allowed); nullopt when malformed.
inline std::optional<Channel> parseChannel(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  const std::size_t space = text.find(' ');
  if (space == std::string_view::npos || space == 0 || space > 5) return std::nullopt;
  unsigned port = 0;
  for (char c : text.substr(0, space)) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + static_cast<unsigned>(c - '0');
  }
  const std::string_view hex = text.substr(space + 1);
  if (port == 0 || port > 65535 || hex.size() != 2 * tokenSize) return std::nullopt;
  Channel channel;
  channel.port = static_cast<std::uint16_t>(port);
  for (std::size_t i = 0; i < tokenSize; ++i) {
    const int high = hexDigit(hex[2 * i]), low = hexDigit(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    channel.token[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return channel;
}

// The bridge's record of the filtered keys that are down, by X key code, so that releasing one of
// two Ctrl keys leaves Ctrl down and a repeated press of a key already down is no new press.
class HeldKeys {
 public:
  // A press or release of key `key` on X key code `code`; the report to send, nullopt when nothing
  // changed.
  std::optional<Report> onKey(int key, unsigned code, bool down) {
    if (key < 0 || key >= keyCount) return std::nullopt;
    const bool wasDown = down_.count({key, code}) != 0;
    if (down == wasDown) return std::nullopt;
    if (down)
      down_.insert({key, code});
    else
      down_.erase({key, code});
    return Report{held(), down ? static_cast<std::uint8_t>(1u << key) : std::uint8_t{0}};
  }
  std::uint8_t held() const {
    std::uint8_t bits = 0;
    for (const auto& [key, code] : down_) bits |= static_cast<std::uint8_t>(1u << key);
    return bits;
  }

 private:
  std::set<std::pair<int, unsigned>> down_;
};

// The receiver's view of the bridge, merged with Wine's own answer for each key. Times are
// milliseconds of any clock that wraps at 2^32 (GetTickCount).
class Receiver {
 public:
  void receive(const Report& report, std::uint32_t now) {
    held_ = report.held;
    heldAt_ = now;
    heard_ = true;
    pending_ |= report.pressed;
  }

  // The answer for `key` given Wine's own answer `own`: down while either says down; pressed since
  // the previous query when either saw a press, a press that both saw counting once. Takes the
  // pressed bit.
  std::int16_t answer(int key, std::int16_t own, std::uint32_t now) {
    if (key < 0 || key >= keyCount) return own;
    const std::uint8_t bit = static_cast<std::uint8_t>(1u << key);
    const bool bridgeDown = heard_ && (held_ & bit) != 0 && now - heldAt_ <= holdLifetimeMs;
    const bool bridgePress = (pending_ & bit) != 0;
    pending_ &= static_cast<std::uint8_t>(~bit);
    const bool ownDown = (static_cast<std::uint16_t>(own) & 0x8000) != 0;
    const bool down = ownDown || bridgeDown;
    const bool pressed = samePress_[key].count((own & 1) != 0, bridgePress, down, now);
    return static_cast<std::int16_t>((down ? 0x8000 : 0) | (pressed ? 1 : 0));
  }

 private:
  // Wine sees a key only while one of its windows has the focus, and then the bridge sees it too,
  // each at its own moment: one source's press that the other reports within samePressMs, the key
  // down meanwhile, is the same press and is not reported twice.
  struct Pairing {
    bool ownWaiting = false, bridgeWaiting = false;
    std::uint32_t ownAt = 0, bridgeAt = 0;
    bool count(bool ownPress, bool bridgePress, bool down, std::uint32_t now) {
      if (ownWaiting && (!down || now - ownAt > samePressMs)) ownWaiting = false;
      if (bridgeWaiting && (!down || now - bridgeAt > samePressMs)) bridgeWaiting = false;
      if (ownPress && bridgePress) return true;
      if (ownPress) return take(bridgeWaiting, ownWaiting, ownAt, now);
      if (bridgePress) return take(ownWaiting, bridgeWaiting, bridgeAt, now);
      return false;
    }
    static bool take(bool& otherWaiting, bool& waiting, std::uint32_t& at, std::uint32_t now) {
      if (otherWaiting) {
        otherWaiting = false;
        return false;
      }
      waiting = true;
      at = now;
      return true;
    }
  };

  std::uint8_t held_ = 0;
  std::uint32_t heldAt_ = 0;
  bool heard_ = false;
  std::uint8_t pending_ = 0;
  Pairing samePress_[keyCount];
};

}  // namespace keychannel
