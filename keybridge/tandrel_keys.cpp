// tandrel-keys: the key bridge. Under Wine on an X11 desktop, Tandrel.exe learns of no key while a
// native window has the focus, so its shortcuts (Ctrl+Alt+V, Ctrl+V in List Paste, ...) would only
// work inside Wine windows. This small native program reads the raw key presses and releases of
// the X server, whichever window has the focus, keeps only Ctrl, the left and right Alt, T, R, V and
// H, and sends their state to Tandrel.exe over UDP on 127.0.0.1 (the format is in
// src/platform/key_channel.h). A letter is sent only when it can make a shortcut (V with Ctrl held,
// T, R and H with Ctrl and Alt), and then its release too; no other key goes past the filter: it is
// not sent, logged or kept.
//
//   tandrel-keys [channel file]     (default: the file named by TANDREL_KEYS_FILE)
//
// The channel file holds "<port> <token>" and must be readable by its owner only. scripts/run.sh
// writes it, starts this program and ends it with Tandrel. Ends on SIGTERM, SIGINT or SIGHUP, when
// the program that started it ends, or when the X server goes; it sends "all keys up" on its way.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/key_channel.h"

namespace {

using keychannel::Report;

volatile sig_atomic_t stopRequested = 0;
int channelSocket = -1;
sockaddr_in receiver{};
keychannel::Token token{};

void onSignal(int) { stopRequested = 1; }

void send(const Report& report) {
  const std::string datagram = keychannel::formatDatagram(token, report);
  // Nobody listening (Tandrel not started yet, or ended) is no fault: the datagram is lost.
  sendto(channelSocket, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&receiver),
         sizeof receiver);
}

std::uint32_t nowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<std::uint32_t>(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

int onDisplayLost(Display*) {
  send(Report{});
  std::fprintf(stderr, "tandrel-keys: the X display went away\n");
  _exit(1);
}

// The channel of a file that only its owner may read; an empty answer with `why` set otherwise.
std::optional<keychannel::Channel> readChannel(const char* path, std::string& why) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    why = std::strerror(errno);
    return std::nullopt;
  }
  struct stat info {};
  char text[128];
  ssize_t size = -1;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    why = "not a plain file";
  else if (info.st_uid != getuid() || (info.st_mode & 077) != 0)
    why = "other users may read it (it must be yours with mode 600)";
  else if ((size = read(fd, text, sizeof text)) < 0)
    why = std::strerror(errno);
  close(fd);
  if (!why.empty()) return std::nullopt;
  auto channel = keychannel::parseChannel(std::string_view(text, static_cast<std::size_t>(size)));
  if (!channel) why = "it does not hold \"<port> <token>\"";
  return channel;
}

// The key of each X key code. A code counts by its first layout group that gives a Latin letter
// or a function key, so that a layout like "ru,us" still has its V (as a Windows Cyrillic layout
// keeps VK_V on the same key).
std::array<signed char, 256> keysOfCodes(Display* display) {
  std::array<signed char, 256> keys;
  keys.fill(-1);
  int first = 0, last = 0;
  XDisplayKeycodes(display, &first, &last);
  for (int code = first; code <= last && code < 256; ++code)
    for (int group = 0; group < 4; ++group) {
      const KeySym keysym = XkbKeycodeToKeysym(display, static_cast<KeyCode>(code), group, 0);
      if (keysym == NoSymbol || (keysym > 0xff && (keysym & 0xfe00) != 0xfe00)) continue;
      keys[code] = static_cast<signed char>(keychannel::keyOfKeysym(static_cast<std::uint32_t>(keysym)));
      break;
    }
  return keys;
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : std::getenv("TANDREL_KEYS_FILE");
  if (path == nullptr || argc > 2) {
    std::fprintf(stderr, "usage: tandrel-keys [channel file]   (or TANDREL_KEYS_FILE=<channel file>)\n");
    return 2;
  }
  std::string why;
  const auto channel = readChannel(path, why);
  if (!channel) {
    std::fprintf(stderr, "tandrel-keys: cannot use the channel file %s: %s\n", path, why.c_str());
    return 2;
  }
  token = channel->token;
  receiver.sin_family = AF_INET;
  receiver.sin_port = htons(channel->port);
  receiver.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  channelSocket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (channelSocket < 0) {
    std::fprintf(stderr, "tandrel-keys: no UDP socket: %s\n", std::strerror(errno));
    return 1;
  }

  // The end signals are let in only while the loop waits, so none slips in before a wait.
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  sigset_t endSignals, waiting;
  sigemptyset(&endSignals);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    sigaction(signal, &action, nullptr);
    sigaddset(&endSignals, signal);
  }
  sigprocmask(SIG_BLOCK, &endSignals, &waiting);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigdelset(&waiting, signal);
  prctl(PR_SET_PDEATHSIG, SIGTERM);  // left behind by its starter, it ends too

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "tandrel-keys: cannot open the X display \"%s\"\n", XDisplayName(nullptr));
    return 1;
  }
  int xiOpcode = 0, firstEvent = 0, firstError = 0, major = 2, minor = 2;
  if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &firstEvent, &firstError) ||
      XIQueryVersion(display, &major, &minor) != Success || major < 2) {
    std::fprintf(stderr, "tandrel-keys: the X server has no XInput 2\n");
    XCloseDisplay(display);
    return 1;
  }
  XSetIOErrorHandler(onDisplayLost);

  unsigned char maskBits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(maskBits, XI_RawKeyPress);
  XISetMask(maskBits, XI_RawKeyRelease);
  XIEventMask mask{XIAllMasterDevices, sizeof maskBits, maskBits};
  XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
  std::array<signed char, 256> keyOfCode = keysOfCodes(display);
  XSync(display, False);

  std::printf("tandrel-keys: passing Ctrl, Alt, T, R, V and H to 127.0.0.1:%u\n", static_cast<unsigned>(channel->port));
  std::fflush(stdout);

  keychannel::HeldKeys keys;
  send(Report{});
  std::uint32_t lastSent = nowMs();
  while (!stopRequested) {
    while (XPending(display) > 0 && !stopRequested) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        keyOfCode = keysOfCodes(display);
        continue;
      }
      XGenericEventCookie* cookie = &event.xcookie;
      if (event.type != GenericEvent || cookie->extension != xiOpcode || !XGetEventData(display, cookie)) continue;
      if (cookie->evtype == XI_RawKeyPress || cookie->evtype == XI_RawKeyRelease) {
        const int code = static_cast<const XIRawEvent*>(cookie->data)->detail;
        const int key = code >= 0 && code < 256 ? keyOfCode[static_cast<std::size_t>(code)] : -1;
        if (key >= 0) {
          if (auto report = keys.onKey(key, static_cast<unsigned>(code), cookie->evtype == XI_RawKeyPress)) {
            send(*report);
            lastSent = nowMs();
          }
        }
      }
      XFreeEventData(display, cookie);
    }
    // While a key is down its hold is sent again, so that the receiver can tell a live hold from
    // one whose release was lost with this program.
    timespec wait{};
    const bool holding = keys.held() != 0;
    if (holding) {
      const std::uint32_t since = nowMs() - lastSent;
      const std::uint32_t left = since >= keychannel::keepAliveMs ? 0 : keychannel::keepAliveMs - since;
      wait.tv_nsec = static_cast<long>(left) * 1000000;
    }
    pollfd x{ConnectionNumber(display), POLLIN, 0};
    if (ppoll(&x, 1, holding ? &wait : nullptr, &waiting) == 0 && holding) {
      send(Report{keys.held(), 0});
      lastSent = nowMs();
    }
  }
  send(Report{});
  XCloseDisplay(display);
  return 0;
}
