// The simulated desktop behind the native build: what the logic can observe of Windows, with no
// screen. Tests drive it through this control interface and read back what a user would see.
// Files are real, under a fresh temporary folder; time is virtual, so waits cost nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/dialogs.h"
#include "platform/gadgets.h"
#include "platform/keyboard.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/types.h"
#include "platform/window.h"

namespace sim {

using platform::Hwnd;

// Thrown by platform::endProcess; carries the exit code to runProgram. Not a std::exception, so
// no handler of the program can take it.
struct ProcessEnded {
  int exitCode;
};
// Thrown when the program waits for an event and the test has scripted nothing more.
struct ScriptExhausted {};

constexpr int endedByExhaustedScript = -100;

struct MessageBoxRecord {
  Hwnd owner = 0;
  std::string text;
  std::string title;
  unsigned style = 0;
  int answer = 0;
  bool scripted = true;
};

struct ReceivedMessage {
  unsigned message;
  platform::WParam wParam;
  platform::LParam lParam;
};

struct Window {
  Hwnd hwnd = 0;
  int number = 0;
  int process = 0;         // 0 for the windows of other programs
  std::string title;       // also a control's text
  std::string className;
  Hwnd parent = 0;         // 0 for a top-level window
  bool hung = false;       // its program answers no message
  std::string programPath;
  bool visible = false;
  bool iconic = false;
  bool maximized = false;  // kept while minimised: restoring brings the maximised window back
  bool topmost = false;
  bool enabled = true;
  Hwnd owner = 0;
  int x = 0, y = 0, width = 0, height = 0;
  platform::WindowProc proc;
  Hwnd nextViewer = 0;     // for the viewers of other programs
  std::vector<ReceivedMessage> received;
  int repaints = 0;
  int minimumWidth = 0, minimumHeight = 0;
  std::vector<bool> topmostHistory;
};

struct Gadget {
  std::string kind;            // "label", "button", "list", "panel", "editor", ...
  platform::Place place;
  std::string text;            // label text, button caption, editor text
  platform::Colour textColour = 0;
  platform::Colour background = 0;
  platform::FontId font = platform::FontId::Caption;
  bool enabled = true;
  platform::Picture picture = platform::Picture::Logo;
  int looks = 0;               // changes of its text, colours or font: each one a repaint of a real control
  // lists
  std::vector<std::string> columnTitles;
  std::vector<int> columnWidths;
  int rowCount = 0;
  platform::RowText rowText;
  std::set<int> selected;
  int currentRow = -1;
  int visibleRow = -1;
  int topRow = 0;
  int rowsPerPage = 10;
  int pointerBand = 0;         // where the pointer is over the list while rows are dragged
  int redraws = 0;
  // As a real list control does: told its rows, it is invalid, and the next paint of its window
  // asks the texts of the rows in view.
  bool invalid = false;
  std::set<int> invalidRows;   // rows to draw again at the next paint when the list is not all invalid
  std::uint64_t textsAsked = 0;
  // panels
  std::vector<std::string> tabs;
  int tab = 0;
  platform::Colour lineColour = 0;  // 0: no lines drawn
  // picture boxes: the picture shown, as given
  int imageWidth = 0, imageHeight = 0;
  std::vector<std::uint8_t> imagePixels;
  // editors and browsers
  struct ColouredText {
    int from, to;
    platform::Colour colour;
    bool operator==(const ColouredText& o) const { return from == o.from && to == o.to && colour == o.colour; }
  };
  std::vector<ColouredText> colouredText;  // emptied with the text
  std::string richText;
  int caret = 0;
  int selStart = 0, selEnd = 0;
  bool modified = false;
  platform::TextRange link;
  std::string address;
  bool hasImage = false;
  // check boxes
  bool checked = false;
};

struct TrayIcon {
  platform::TrayImage image = platform::TrayImage::Waiting;
  std::string tooltip;
};

struct NoticeRecord {
  platform::NoticeLayout layout;
  std::vector<std::string> labels;
  int progressSteps = 0;
  bool closed = false;
  std::thread::id thread;
};

class Desktop {
 public:
  // Starts afresh: an empty clipboard, no windows, a new temporary root for the files.
  void reset();
  // Removes the temporary root.
  void tearDown();

  // Runs a program's entry; answers its exit code (endedByExhaustedScript when the script ran dry).
  // The handles of the ended process (files, mutexes, windows) are released, as Windows does.
  int runProgram(const std::function<void()>& entry);
  int currentProcess() const { return processes_.empty() ? 0 : processes_.back(); }

  // --- the script the program's event loop plays ---
  void then(std::function<void()> step) { script_.push_back(std::move(step)); }
  void postEvent(const platform::WindowEvent& event) { events_.push_back(event); }
  // The events posted and not yet taken, taken now (no script step runs).
  std::vector<platform::WindowEvent> takePostedEvents();

  // --- other programs ---
  Hwnd addForeignWindow(const std::string& title, const std::string& programPath, const std::string& className = "");
  // A child control of another program's window, with its class and text.
  Hwnd addForeignChild(Hwnd parent, const std::string& className, const std::string& text);
  // A viewer of another program that records and forwards what reaches it; it joins the chain.
  // One that forwards late keeps each change until forwardLateChanges, as a viewer that posts
  // itself the forward would.
  Hwnd addForeignViewer(bool forwardsLate = false);
  // The changes late viewers kept are passed on now.
  void forwardLateChanges();
  // Another program puts data on the clipboard from its window (made foreground when given).
  void copyText(const std::string& text, Hwnd from = 0);
  void copyFormats(const std::map<unsigned, std::string>& formats, Hwnd from = 0);
  // Texts another program copies while Tandrel is busy with a change (a copier faster than the
  // program): the next call of takeClipboardChanges makes them all, one after the other.
  std::deque<std::string> copiesWhileBusy;
  // How many calls of takeClipboardChanges pass before those copies come (the program may look
  // for changes at more than one point of a capture).
  int callsBeforeCopiesWhileBusy = 0;
  // Something another program does while Tandrel is busy storing them (a shutdown, say): run by
  // the call of takeClipboardChanges after the one that made those copies, once.
  std::function<void()> afterCopiesWhileBusy;
  // Another program holds the clipboard open for the next `attempts` opens (-1: until released).
  void holdClipboard(int attempts, Hwnd holder = 0);
  void releaseClipboard();
  // The user clicks a check box: it changes and its window reports the click.
  void clickCheckBox(int gadget);
  // Sends a message to a window as another program would.
  platform::LResult send(Hwnd window, unsigned message, platform::WParam wParam = 0, platform::LParam lParam = 0);
  // A processor exception reaches the top level of the program.
  void raiseProcessorException(std::uint32_t code);

  // --- the keyboard, by virtual-key code; each getAsyncKeyState takes the key's pressed bit ---
  // The user presses a key and holds it; while the program watches the keys, the press (and the
  // release) also goes through the filter of the real hook into the program's key events, with the
  // foreground window of that moment. `extraInfo` is the mark a program typing keys gives them.
  void pressKey(int virtualKey, std::uintptr_t extraInfo = 0);
  void releaseKey(int virtualKey, std::uintptr_t extraInfo = 0);
  // A press and release between two queries: the next query sees only that it was pressed.
  void tapKey(int virtualKey);
  struct KeyState {
    bool down = false;
    bool pressed = false;
  };
  std::map<int, KeyState> keys;
  bool keysWatched = false;  // the program's latest setKeysWatched
  platform::KeyFilter keyFilter;
  std::vector<platform::KeyEvent> keyEvents;  // queued, not yet taken by the program

  // --- message boxes: answered from the queue, else by the answerer, else recorded as unscripted ---
  void answerNext(int answer) { answers_.push_back(answer); }
  // Input dialogs: answered from this queue (nullopt cancels); an unscripted one is recorded as such.
  std::deque<std::optional<std::string>> inputAnswers;
  struct InputRecord {
    std::string title, prompt;
    bool scripted = true;
  };
  std::vector<InputRecord> inputs;
  // Text prompts: answered from this queue; an unscripted one is recorded as such and cancelled.
  std::deque<platform::PromptAnswer> promptAnswers;
  struct PromptRecord {
    platform::PromptLayout layout;
    bool scripted = true;
  };
  std::vector<PromptRecord> prompts;
  // Colour dialogs: answered from this queue (nullopt cancels).
  std::deque<std::optional<platform::Colour>> colourAnswers;
  std::vector<platform::Colour> colourDialogStarts;
  // Open-file dialogs: answered from this queue (an empty list cancels); an unscripted one is
  // recorded as such and cancelled.
  std::deque<std::vector<std::string>> fileDialogAnswers;
  struct FileDialogRecord {
    std::string title, folder, filter;
    bool multiSelect = false;
    bool scripted = true;
  };
  std::vector<FileDialogRecord> fileDialogs;
  std::function<int(const MessageBoxRecord&)> answerer;
  std::vector<MessageBoxRecord> messageBoxes;
  std::vector<MessageBoxRecord> unscriptedMessageBoxes() const;

  // --- what can be observed ---
  std::string root;                           // the real folder under which "C:\" lies
  std::string hostPath(const std::string& windowsPath) const;
  std::map<unsigned, std::string> clipboard;  // format -> bytes
  Hwnd chainHead = 0;
  int clipboardOpenAttempts = 0;
  std::map<Hwnd, Window> windows;
  Window* window(Hwnd hwnd);
  Window* windowOfNumber(int number);
  Hwnd foreground = 0;
  Hwnd active = 0;
  std::map<int, Gadget> gadgets;
  std::vector<platform::Tooltip> tooltips;
  std::map<int, std::vector<platform::MenuItem>> menus;
  int menusBuilt = 0;
  std::vector<int> menusShown;
  std::map<Hwnd, std::vector<platform::MenuItem>> menuBars;
  std::map<Hwnd, std::vector<std::pair<int, int>>> keyCommands;
  struct SentKey {
    int gadget, virtualKey;
  };
  std::vector<SentKey> sentKeys;
  int gadgetUnderPointer = 0;
  // The user's own editing in an editor, as the control would do it (the text changed by hand).
  void typeInEditor(int gadget, const std::string& text);
  // A left click on a link of the editor, from `start` to `end`.
  void clickLink(int gadget, int start, int end);
  // The find dialog: open or not, and what the program opened it with; a press of one of its
  // buttons reaches the owner as "commdlg_FindReplace" with these flags and texts.
  struct FindDialog {
    bool open = false;
    bool replace = false;
    Hwnd owner = 0;
    int opened = 0;           // how many times one was made
  } findDialog;
  void pressFindButton(unsigned flags, const std::string& findWhat, const std::string& replaceWith = "");
  platform::FindReport findReport;
  // The drag that followRowDrag follows: the list it began in and what runs while it goes on.
  int dragGadget = 0;
  std::function<void()> dragDuring;
  // Save-file dialogs: answered from this queue (nullopt cancels); an unscripted one is recorded
  // as such and cancelled.
  std::deque<std::optional<platform::SaveFileAnswer>> saveDialogAnswers;
  struct SaveDialogRecord {
    std::string title, startName, filter;
    bool scripted = true;
  };
  std::vector<SaveDialogRecord> saveDialogs;
  // The item the user picks in the next menu shown (0: none).
  std::deque<int> menuPicks;
  bool browserAvailable = true;
  int focusGadget = 0;
  platform::Point cursor{400, 300};
  // What the program typed itself (Ctrl+V), and whether the system refuses it; the keys held down
  // as keyIsDown reads them.
  int pastesSent = 0;
  bool refuseInput = false;
  bool inputWaiting = false;  // the user typed on while the program worked
  std::set<int> heldKeys;
  // The window that takes the foreground when a program of ours asks for it; false keeps the
  // foreground where it is.
  bool foregroundGranted = true;
  std::vector<bool> waitCursors;  // each change of the cursor: true wait, false arrow
  // Text widths: each byte is this many pixels in the measuring font (narrow captions above 117 for
  // "Combine Captures" at 8).
  int measurePixelsPerChar = 7;
  // The rows a list shows, as the user reads them.
  std::vector<std::vector<std::string>> listRows(int gadget);
  std::map<Hwnd, TrayIcon> tray;
  std::vector<platform::Shortcut> shortcuts;
  struct ShellExecution {
    std::string verb, file, parameters;
    int showCommand;
    Hwnd owner = 0;
  };
  std::vector<ShellExecution> shellExecutions;
  // Some of what the program did, in order, for tests of an order of steps: "tooltips removed",
  // "tooltip <gadget>", "write <path>", "rename <from> to <to>", "shortcut <path>",
  // "enable <window number> <0|1>", "close <window number>", "rows <gadget>".
  std::vector<std::string> journal;
  int shellResult = 42;                       // what the next shell executions answer
  // The shell's file operations, as asked for. Before replacing a file the shell asks with a
  // message box titled "Confirm file overwrite" (answered like any other); a No aborts the copy.
  struct ShellOperation {
    int function = 0;
    std::string from, to;                     // the zero-separated lists as given
    unsigned flags = 0;
  };
  std::vector<ShellOperation> shellOperations;
  bool shellCopiesNothing = false;            // the shell answers success and copies nothing
  std::vector<std::string> librariesLoaded;
  int soundsPlayed = 0;
  std::vector<NoticeRecord> notices;
  std::mutex noticeMutex;

  // --- the machine ---
  bool soundDevice = true;
  bool mouse = true;
  int doubleClickMs = 500;
  bool windows9x = false;                     // Windows 95, 98 or Me
  // The monitors: each one's whole screen and its work area; the first is the primary.
  struct Monitor {
    platform::Rect screen, work;
  };
  std::vector<Monitor> monitors{{{0, 0, 1024, 768}, {0, 0, 1024, 738}}};
  std::set<std::string> uncreatableFolders;   // Windows paths that createFolder refuses
  std::set<std::string> missingLibraries;
  bool diskFull = false;                      // writeFile writes half and fails
  std::atomic<std::uint64_t> ticks{0};
  int lastWait = 0;                           // the timeout of the event loop's latest wait
  // Runs on the main thread at every sleep of the program: the user acting during a long piece of work.
  std::function<void()> duringSleep;
  platform::LocalTime startTime{2026, 12, 8, 14, 3, 59};

  // --- used by the platform functions ---
  Hwnd newWindow(Window window);
  void notifyClipboardChange();
  unsigned clipboardSequence = 1;  // grows with every change, as the system's count does
  std::deque<std::pair<Hwnd, ReceivedMessage>> lateForwards;  // viewer, the change it keeps
  std::optional<platform::WindowEvent> nextEvent();
  int answer(MessageBoxRecord record);
  std::thread::id mainThread;

  bool clipboardOpen = false;
  bool clipboardChanged = false;
  int foreignHoldAttempts = 0;                // >0 fails that many opens, -1 fails all
  Hwnd foreignHolder = 0;
  std::map<std::string, unsigned> registeredFormats;
  std::map<std::string, unsigned> registeredMessages;

  struct OpenFile {
    std::FILE* file;
    std::string hostPath;
    int process;
  };
  std::map<platform::Handle, OpenFile> openFiles;
  std::map<std::string, int> mutexCounts;
  struct MutexHandle {
    std::string name;
    int process;
  };
  std::map<platform::Handle, MutexHandle> mutexHandles;
  std::map<int, std::function<void(std::uint32_t)>> exceptionHandlers;
  platform::Handle nextHandle = 1;
  bool pathIsLocked(const std::string& hostPath) const;

 private:
  void releaseProcess(int process);
  std::deque<std::function<void()>> script_;
  std::deque<platform::WindowEvent> events_;
  std::deque<int> answers_;
  std::vector<int> processes_;
  int nextProcess_ = 1;
  Hwnd nextHwnd_ = 0x1000;
};

// The one simulated desktop of the test process.
Desktop& desktop();

}  // namespace sim
