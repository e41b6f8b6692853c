// Numbers of the commands of the menu bar, the popups, the tray menu and the window's keys. One
// number per command: a menu bar entry, a popup entry and a tray entry that do the same share it.
#pragma once

namespace ui {

enum Command {
  commandNoneF12 = 501,
  commandCreateSet = 504,
  commandChangeActiveSet = 505,
  commandOpenTargetSet = 506,
  commandSaveToDatabase = 508,
  commandExit = 509,
  commandCutText = 511,
  commandCopyText = 512,
  commandPasteText = 513,
  commandSelectAllText = 514,
  commandDeleteClips = 515,
  commandSaveImageAsFile = 516,
  commandAddItemToSet = 517,
  commandCombineSelected = 518,
  commandPrintClip = 519,
  commandCopyClipSource = 520,
  commandEditNote = 521,
  commandAddSequence = 522,
  commandRemoveSequence = 523,
  commandAdditionalInfo = 524,
  commandOpenSource = 525,
  commandSearchText = 526,
  commandSearchClips = 527,
  commandFindReplace = 528,
  commandDeleteText = 530,
  commandMoveToTarget = 531,
  commandCopyToTarget = 534,
  commandUseAsActiveSet = 537,
  commandSelectTargetSet = 538,
  commandCloseTargetSet = 539,
  commandDeleteSet = 540,
  commandRefreshList = 541,
  commandPrintItemText = 542,
  commandBackup = 543,
  commandRestore = 544,
  commandRestoreOriginal = 545,
  commandConvertOldSet = 546,
  commandDeleteSetPopup = 547,
  commandHomePage = 550,
  commandRepairChain = 551,
  commandAbout = 552,
  commandToggleTooltips = 554,
  commandTooltipColour = 555,
  commandCheckVersion = 556,
  commandShowWindow = 558,
  commandTrayExit = 559,
  commandCaptureToggle = 560,
  commandCleanExit = 561,
  commandKeyUp = 562,
  commandKeyDown = 563,
  commandNoneKeypadPlus = 564,
  commandSaveImageFromPopup = 567,
  commandSaveImageInList = 568,
  commandNone597 = 597,
  commandKeyDelete = 598,
  commandFirstRecentClip = 601,
  commandOptions = 1001,
  commandQuickPaste = 1301,  // the quick paste window, from the menu bar and the tray
};

// Menu numbers of the popups.
constexpr int trayMenuNumber = 557;
constexpr int clipPopupNumber = 570;
constexpr int setPopupNumber = 571;
constexpr int imagePopupNumber = 572;
constexpr int editorPopupNumber = 900;
constexpr int recentClips = 8;

}  // namespace ui
