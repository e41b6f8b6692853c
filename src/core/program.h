// The program's state: one plain record per concern, all owned by one Program object.
// A test makes a fresh Program, so no run ever sees another's state.
#pragma once

#include <atomic>
#include <deque>
#include <map>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/database.h"
#include "core/image_codec.h"
#include "platform/types.h"
#include "platform/window.h"

namespace core {

struct Program;

// Names fixed in the program.
inline const std::string appName = "Tandrel";
inline const std::string productName = "Tandrel\x99";           // with the trade mark byte of code page 1252
inline const std::string productVersion = "2.8";
inline const std::string mutexName = "Tandrel2";
inline const std::string mainSetName = "td_clips";
inline const std::string trashSetName = "td_trash";
inline const std::string supportContact = "the Tandrel support team";
constexpr int mainWindowNumber = 500;
constexpr int optionsWindowNumber = 1000;

struct Paths {
  std::string programFolder;
  std::string companyFolder;  // per-user application data + "Korvane\"
  std::string dataFolder;     // companyFolder + "Tandrel\"
  std::string setsFolder;     // dataFolder + "sets\"
  std::string printFolder;    // temporary folder + "td_print\"
  std::string settingsPath;   // dataFolder + "tandrel.ini"
  std::string logPath;        // dataFolder + "tandrel.log"
  std::string databasePath;   // dataFolder + "tdclips.db"
};

struct Settings {
  std::string activeSetName = mainSetName;
  std::string clipIndexFile = "clips.dbt";
  std::string lastBackup = "Never";
  std::string backupNumber;
  std::string startMinimized;
  std::string startWithWindows = "N";
  std::string startWithWindowsAtStart = "N";
  std::string clipsConverted = "N";
  std::string suppressDuplicates = "Y";
  std::string saveImages = "Y";
  int usePng = 0;
  std::string imageExtension = ".jpg";
  int saveHtml = 0;
  int showTooltips = 1;
  int listPasteShortcut = 0;
  int topListShortcut = 0;
  int reverseCaseShortcut = 0;
  int captureSound = 0;
  int skipPrivate = 1;       // clipboard changes marked private are not captured
  int quickPasteShortcut = 1;  // Ctrl+Alt+H opens the quick paste window
  int debugTiming = 0;       // steps of each capture are timed into the log
  std::int64_t tooltipColour = 16776960;
  int windowX = 50;
  int windowY = 50;
  std::string version;        // as read; empty when no file or no key
  bool backupMadeThisRun = false;
};

// A clipboard change read and not yet stored: what the watcher took from the clipboard and the
// capture needs of that moment.
struct ReadChange {
  bool image = false;
  std::string text;          // clipText, or the DIB bytes of an image
  std::string richText;
  int richTextRead = 0;
  int richTextFlag = 0;
  platform::Hwnd sourceWindow = 0;
  std::string sourceTitle;
  std::string time;          // captureTime
  std::string exactText;     // clipExact
};

struct CaptureState {
  int capturing = 1;
  platform::Hwnd nextViewer = 0;
  int ignoreNextChange = 0;
  int ownWrite = 0;
  // The clipboard's change count right after our latest own write: a viewer that joined the chain
  // after us may forward its notification once ownWrite is down again.
  unsigned ownSequence = 0;
  // Next viewers that did not answer a forwarded change in time; each is logged once.
  std::vector<platform::Hwnd> silentViewers;
  int replaceCapture = 0;
  int replaceActive = 0;
  int listPasteMode = 0;
  int combineCount = 0;
  int clipboardBusy = 0;
  platform::Hwnd sourceWindow = 0;
  std::string sourceTitle;
  std::vector<unsigned> textFormats{platform::CF_TEXT};
  int richTextFlag = 0;      // the current clip is rich text
  int richTextRead = 0;      // its rich text was read from the clipboard
  std::string clipText;      // the text taken from the clipboard
  // Its exact text as UTF-8, read from CF_UNICODETEXT; empty when clipText, converted from ANSI,
  // gives it already.
  std::string clipExact;
  std::string previousText;  // the last text that was not a flood repeat
  std::string previousExact;
  bool hasPreviousText = false;
  std::uint32_t previousTextTime = 0;
  unsigned clipSequence = 0;      // the clipboard's change count when the clip text was read
  unsigned previousSequence = 0;  // and when the previous text was
  int floodCount = 0;
  std::string clipType = "T";
  std::string repeatSignature;
  int repeatCount = 0;
  std::string listCaption;
  std::string combinedText;
  std::int64_t combineKey = 0;  // the clip that combine mode gathers into
  int captureCounter = 0;
  bool fedByTextTab = false;
  unsigned richTextFormat = 0;   // registered on first use
  unsigned textGateFormat = 0;
  std::string richText;
  std::string dibBytes;      // the clipboard image slot: CF_DIB data, empty when none
  std::map<std::string, unsigned> privateFormats;  // the private marks' format numbers, by name
  std::deque<ReadChange> readChanges;  // read at their notification, stored in this order
  bool storing = false;      // the read changes are being stored: a change arriving now is only read
  bool moreToStore = false;  // read changes wait behind the one being stored; the last one is shown
  // The changes read together are written as one transaction, one disk sync for them all. Their
  // "done" lines wait for its commit, so that the log never names a clip that is not on disk.
  struct Batch {
    bool open = false;
    std::size_t firstRow = 0;  // the kept rows from here on are the batch's
    std::vector<std::string> doneLines;
  } batch;
};

// What the key events served so far leave pending.
struct ShortcutKeys {
  bool vDown = false;          // V's press was served, its release not yet
  bool stepOnRelease = false;  // a Ctrl+V was pressed: List Paste steps when its V comes up
};

// A request to open the quick paste window, made where the chord or a menu entry fired and served
// by the main loop.
struct QuickPasteAsk {
  bool asked = false;
  platform::Hwnd target = 0;  // the window in front when the chord fired; 0 from a menu entry
  bool fromBridge = false;    // the chord came through the key bridge: no program of ours can paste
};

// The quick paste window: the clips that match its filter, and where the chosen one goes.
struct QuickPasteView {
  platform::Hwnd window = 0;
  platform::Hwnd target = 0;       // the window in front when the chord fired; 0: copy only
  bool fromBridge = false;
  std::string filter;              // the filter whose matches the list shows
  std::vector<std::int64_t> keys;  // the matches, newest first
  bool indexed = true;             // the index served the latest search
  bool searchPending = false;      // a newer key stopped the search: it runs again
  std::map<std::int64_t, std::vector<std::string>> rowTexts;  // the columns of the rows drawn while open
};

// The quick paste index as last found; tdclips.idx itself keeps its progress (store/quick_search.h).
struct QuickIndexState {
  bool ready = false;        // built through and paired with the open clip database
  bool unavailable = false;  // the engine cannot keep it (no FTS5) or it failed again: searches scan
  bool rebuildDue = false;   // it failed inside a transaction: built again at the next chance
  int rebuilds = 0;          // failures this run
  // The main loop gives the index short steps between events: at the start (to build it or take in
  // what changed while we were away) and while the quick paste window is open.
  bool workDue = true;
  int commitsSinceWork = 0;  // batches committed since the last step
};

// The current clip: one text per column of cTbl plus the encoded image.
struct ClipRecord {
  std::string cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML;
  // The exact text and source as UTF-8 where cText and cSource, converted from ANSI, do not give
  // them; empty where they do.
  std::string exactText, exactSource;
  std::string image;         // the encoded image file; empty when none
  bool imageOwned = false;
};

// The picture the Image tab shows, whole: the preview on the screen is only a scaled copy, and
// saving or adding it takes this one.
struct ShownImage {
  Image image;               // empty when the tab shows no picture
  std::string bytes;         // its PNG or JPEG bytes, as stored or as capture encoded them
  std::string caption;       // "Image WxH"
  std::string source;        // where the picture came from
};

// Fields read by ReadClipFields for editing and notes.
struct EditCopy {
  // text is UTF-8; source is ANSI, with its exact form in exactSource where that cannot hold it.
  std::string date, richFlag, htmlFlag, imageFlag, source, note, text, textBeforeEdit, html, richText;
  std::string exactSource;
};

// One listed clip: what the list shows without reading the record.
struct ClipRow {
  std::int64_t key = 0;
  std::string transferMark;
  std::string date;
  std::string complete;      // "Y" when preview holds the whole text
  std::string richFlag, htmlFlag, imageFlag;
  std::string source, note;
  std::string preview;       // the first 1000 bytes of the text
  // The first 1000 characters of the exact text, and the exact source, as UTF-8 where preview and
  // source, converted from ANSI, do not give them; empty where they do. Read through
  // core::rowText and core::rowSource.
  std::string exactPreview, exactSource;
  std::string caption;       // column 0, made when first needed
  bool captured = false;     // added by a capture this run: its source is shown cut to 76 characters
};

struct ViewState {
  std::vector<ClipRow> rows;       // oldest first; the list shows the last one on top
  std::vector<int> order;          // list row -> index into rows
  int rowsNotDrawn = 0;            // rows added and not yet told to the list
  int currentRow = 0;
  int currentElement = 0;
  std::string sourceMenuCaption;
  std::string mainMenuSignature;   // what the menu bar was last built for
  std::vector<std::int64_t> trayClipKeys;  // the clip of each recent-clip entry of the tray menu
  std::string lastAddedImage;
  int transferMode = 0;
  int removeSequence = 0;
  int findStartRow = 0;
  std::string windowTitle;         // the main window's title as the clip store last found it
  int lastTab = 0;
  int clientWidth = 700;           // the main window's client size, for the layout
  int clientHeight = 525;
  int splitOffset = 0;             // how far the user moved the bar between list and panel
  int targetSetOpen = 0;
  std::string targetSet;
  std::string pendingSetClick;
  std::string pickedSet;
  int dragRow = -1;
  int dragSource = 0;
  std::vector<std::string> setNames;   // the set list's rows
  bool narrowCaptions = false;
  bool browserAvailable = false;
  int fillWidth = 110;             // caption padding, chosen with the button captions
  int captionWidth = 70;
  int sortDirection = 1;
  int lastSortedColumn = -1;
  int copyOnShow = 0;              // the next show copies its clip; that show takes the flag down
  bool copyFailed = false;         // the latest show was to copy its clip and could not
  int infoShown = 0;
  int imageShown = 0;
  int dragActive = 0;
  int transferCount = 0;
  int textTabEdited = 0;
  std::string shownText;
  std::string currentText;
  std::string messageText;
  std::string pageText;            // what the page file the browser shows was last given
  std::string statusMsg;
  platform::Colour statusBackground = 0;
  platform::Colour statusText = 0;
  std::string pendingSetName;      // the old-format set being converted, empty between conversions
  std::string paintedStatus;       // the status as last painted
  platform::Colour paintedBackground = 0;
  platform::Colour paintedText = 0;
  int repaintHold = 0;             // RepaintHolds alive
  bool repaintDue = false;         // a held repaint is owed
};

// What the layers below ops need from above once the database under them was replaced, or when the
// program cannot go on. Start-up fills them in; left empty (store tests), a reload does nothing and
// an end only asks the main loop to stop.
struct Hooks {
  std::function<void(Program&)> reloadClipStore;  // the set list, the active set's clips and the tray menu
  std::function<void(Program&)> shutDown;         // the ordered shutdown; does not return
};

// What the clip commands keep between events: the open target, the text prompt's last button,
// the Text tab's edit and the find dialog.
struct EditState {
  std::string openTargetName;      // the open Move/Duplicate target; empty when none is open
  int transferTotal = 0;
  std::string progress;            // the arrows after "Working"
  int openUrlChosen = 0;           // the text prompt was left with "Open URL"
  std::int64_t editorKey = 0;      // the clip the Text tab was filled with; 0 when it holds none
  bool editorTail = false;         // the display added a line end after the clip's text
  int findDialogOpen = 0;
  std::string findWhat, replaceWith;
  unsigned searchFlags = 0;
  int searchAllClips = 0;
  int searchRestart = 0;
  int searchIndex = 0;             // the list row a search of all clips looks at next
};

class StepTimer;

struct Program {
  Paths paths;
  Settings settings;
  CaptureState capture;
  ViewState view;
  EditState edit;
  ShortcutKeys shortcuts;
  QuickPasteAsk quickPasteAsk;
  QuickIndexState quickIndex;
  QuickPasteView quickPaste;

  core::DbLayer db;
  sqlite3* databaseHandle = nullptr;
  ClipRecord clip;
  EditCopy editCopy;
  ShownImage shownImage;
  std::string currentKey;
  std::int64_t lastKey = 0;

  std::string captureTime;
  int quitRequested = 0;
  int cleanOnExit = 0;
  int firstRun = 0;
  int freshStart = 0;
  int windowsVersion = 0;
  int doubleClickWait = 0;

  platform::Hwnd mainWindow = 0;
  platform::Handle logFile = 0;
  platform::Handle mutex = 0;
  platform::Handle oleacc = 0;
  unsigned msgActivate = 0;
  unsigned msgTaskbarCreated = 0;
  unsigned msgFindReplace = 0;

  std::deque<platform::WindowEvent> heldEvents;  // taken during a double-click wait or an import, still to handle
  Hooks hooks;
  bool reopeningDatabase = false;
  bool errorHandlersInstalled = false;
  bool exceptionReported = false;
  bool shuttingDown = false;
  std::atomic<int> noticeStop{0};
  StepTimer* stepTimer = nullptr;  // the step timing under way, when "DebugTiming" is on
};

}  // namespace core
