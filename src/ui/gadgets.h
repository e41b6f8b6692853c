// Numbers of the main window's gadgets and the colours of the window.
#pragma once

#include "platform/types.h"

namespace ui {

enum Gadget {
  gadgetLogo = 1,
  gadgetClipCount = 2,
  gadgetActiveSetLabel = 3,
  gadgetTargetLabel = 4,
  gadgetClipList = 5,
  gadgetContentPanel = 6,
  gadgetTextEditor = 7,
  gadgetImageView = 8,
  gadgetHelpBrowser = 9,
  gadgetSetList = 10,
  gadgetClipToClipboard = 11,
  gadgetMoveToTarget = 12,
  gadgetDupInTarget = 13,
  gadgetSetActions = 14,
  gadgetMoveToTrash = 15,
  gadgetCombineSelected = 16,
  gadgetCombineCaptures = 17,
  gadgetSearchClips = 18,
  gadgetEditNote = 19,
  gadgetListPaste = 20,
  gadgetSaveImage = 21,
  gadgetAddItem = 22,
  gadgetSelectAll = 23,
  gadgetFind = 24,
  gadgetCut = 25,
  gadgetCopy = 26,
  gadgetPaste = 27,
  gadgetDelete = 28,
  gadgetReplaceClip = 29,
  gadgetAdditionalInfo = 30,
  gadgetCaptureToggle = 31,
  gadgetCollectingLabel = 32,
  gadgetChangeActiveSet = 33,
  gadgetCreateNewSet = 34,
  gadgetOpenTargetSet = 35,
  gadgetDeleteSet = 36,
  gadgetStatusLine = 40,
  gadgetSplitter = 41,
};

// Tabs of the content panel.
enum Tab { tabText = 0, tabImage = 1, tabHelp = 2, tabSets = 3 };

namespace colour {
constexpr platform::Colour red = platform::rgb(255, 0, 0);
constexpr platform::Colour white = platform::rgb(255, 255, 255);
constexpr platform::Colour lightYellow = platform::rgb(255, 255, 170);
constexpr platform::Colour lightCyan = platform::rgb(117, 236, 253);
constexpr platform::Colour black = platform::rgb(0, 0, 0);
constexpr platform::Colour green = platform::rgb(0, 255, 0);
constexpr platform::Colour blue = platform::rgb(0, 0, 255);
constexpr platform::Colour yellow = platform::rgb(255, 255, 0);
constexpr platform::Colour editorBackground = platform::rgb(253, 245, 230);
constexpr platform::Colour informationBackground = platform::rgb(233, 241, 254);
constexpr platform::Colour listBackground = platform::rgb(224, 255, 255);
constexpr platform::Colour panelGrey = platform::rgb(240, 240, 240);
constexpr platform::Colour disabledText = platform::rgb(168, 168, 168);
constexpr platform::Colour disabledBackground = platform::rgb(229, 229, 229);
}  // namespace colour

}  // namespace ui
