// The main window's controls over USER32 and COMCTL32: buttons whose captions
// and pictures we draw ourselves, labels, the number box, the tab panel with
// the controls of its pages, the rich-text editor, the picture box, tooltips,
// fonts, and the window's minimum size. The virtual clip list is in listview.cpp.
#include "platform/gadgets.h"

#include "platform/dialogs.h"

#include "platform/win32/win32.h"

#include <commctrl.h>
#include <richedit.h>

#include <map>
#include <vector>

namespace platform {
using namespace win32;

namespace {

struct ButtonLook {
  std::string caption;
  Colour text = 0, background = rgb(240, 240, 240);
  FontId font = FontId::Caption;
  bool picture = false;
  Picture image = Picture::Logo;
};

// Where a control on a tab page belongs; page controls are children of the window itself so
// that their notifications reach our window procedure.
struct PagePlace {
  int panel = 0, tab = 0;
};

std::map<int, ButtonLook> buttons;
std::map<int, PagePlace> pageControls;
std::map<HWND, SIZE> minimumClientSizes;
std::vector<std::pair<HWND, HWND>> tooltipWindows;  // tooltip, the control it describes

HINSTANCE instance() { return GetModuleHandleA(nullptr); }

HFONT makeFont(int points, int weight, DWORD quality) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_SWISS, "Arial");
}

// The page area of a panel in its window's client coordinates.
RECT pageArea(int panel) {
  RECT area = {0, 0, 0, 0};
  HWND tabs = gadgetWindow(panel);
  if (!tabs) return area;
  GetWindowRect(tabs, &area);
  MapWindowPoints(nullptr, GetParent(tabs), reinterpret_cast<POINT*>(&area), 2);
  SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return area;
}

POINT origin(const Place& place) {
  if (place.panel == 0) return POINT{place.x, place.y};
  const RECT area = pageArea(place.panel);
  return POINT{area.left + place.x, area.top + place.y};
}

// A page control reaching past its page is cut off at the page's edge, as if the panel held it.
void clipToPage(HWND control, int panel) {
  RECT page = pageArea(panel), own;
  GetWindowRect(control, &own);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&own), 2);
  RECT shown;
  if (!IntersectRect(&shown, &page, &own) || EqualRect(&shown, &own)) {
    SetWindowRgn(control, nullptr, TRUE);
    return;
  }
  OffsetRect(&shown, -own.left, -own.top);
  SetWindowRgn(control, CreateRectRgnIndirect(&shown), TRUE);  // the window owns the region now
}

int currentTab(int panel) {
  HWND tabs = gadgetWindow(panel);
  return tabs ? static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)) : 0;
}

void showPage(int panel, int tab) {
  for (const auto& [gadget, page] : pageControls)
    if (page.panel == panel)
      if (HWND control = gadgetWindow(gadget)) ShowWindow(control, page.tab == tab ? SW_SHOW : SW_HIDE);
}

void fillRect(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void ellipse(HDC dc, int left, int top, int right, int bottom, COLORREF fill, COLORREF edge) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 2, edge);
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  Ellipse(dc, left, top, right, bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void centredText(HDC dc, RECT r, const std::string& text, COLORREF colour, HFONT f) {
  HGDIOBJ old = SelectObject(dc, f);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

// Our pictures: the logo is a clipboard with a "T"; the capture states are coloured discs.
void drawPicture(HDC dc, RECT r, Picture picture) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  switch (picture) {
    case Picture::Logo: {
      fillRect(dc, r, RGB(255, 255, 170));
      fillRect(dc, RECT{r.left + 4, r.top + 6, r.right - 4, r.bottom - 3}, RGB(160, 110, 50));
      fillRect(dc, RECT{r.left + 8, r.top + 12, r.right - 8, r.bottom - 7}, RGB(255, 255, 255));
      fillRect(dc, RECT{r.left + w / 2 - 7, r.top + 2, r.left + w / 2 + 7, r.top + 9}, RGB(120, 120, 120));
      centredText(dc, RECT{r.left, r.top + 12, r.right, r.bottom - 7}, "T", RGB(0, 0, 200), font(FontId::Measure));
      break;
    }
    case Picture::CaptureOn:
    case Picture::CaptureOff:
    case Picture::Combining: {
      fillRect(dc, r, GetSysColor(COLOR_BTNFACE));
      const COLORREF fill = picture == Picture::CaptureOn   ? RGB(0, 190, 0)
                            : picture == Picture::Combining ? RGB(240, 150, 0)
                                                            : RGB(150, 150, 150);
      ellipse(dc, r.left + 3, r.top + 3, r.right - 3, r.bottom - 3, fill, RGB(60, 60, 60));
      if (picture == Picture::CaptureOff) {
        HPEN pen = CreatePen(PS_SOLID, 3, RGB(220, 0, 0));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, r.left + 7, r.bottom - 7, nullptr);
        LineTo(dc, r.right - 7, r.top + 7);
        SelectObject(dc, old);
        DeleteObject(pen);
      } else {
        ellipse(dc, r.left + w / 2 - 4, r.top + h / 2 - 4, r.left + w / 2 + 4, r.top + h / 2 + 4, RGB(255, 255, 255),
                RGB(255, 255, 255));
      }
      break;
    }
  }
}

void drawButton(const DRAWITEMSTRUCT& item) {
  auto found = buttons.find(static_cast<int>(item.CtlID));
  if (found == buttons.end()) return;
  const ButtonLook& look = found->second;
  RECT r = item.rcItem;
  const bool pressed = item.itemState & ODS_SELECTED;
  if (look.picture) {
    drawPicture(item.hDC, r, look.image);
  } else {
    fillRect(item.hDC, r, look.background);
    RECT text = r;
    if (pressed) OffsetRect(&text, 1, 1);
    centredText(item.hDC, text, look.caption, look.text, font(look.font));
  }
  DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
}

}  // namespace

namespace win32 {

HFONT font(FontId id) {
  static std::map<FontId, HFONT> fonts;
  HFONT& f = fonts[id];
  if (!f) {
    switch (id) {
      case FontId::Measure: f = makeFont(10, FW_BOLD, DEFAULT_QUALITY); break;
      case FontId::Tab: f = makeFont(8, FW_BOLD, DEFAULT_QUALITY); break;
      case FontId::Caption: f = makeFont(10, FW_NORMAL, DEFAULT_QUALITY); break;
      case FontId::List: f = makeFont(10, FW_NORMAL, PROOF_QUALITY); break;
      case FontId::Status: f = makeFont(8, FW_BOLD, DEFAULT_QUALITY); break;
      case FontId::Dialog: f = makeFont(10, FW_BOLD, DEFAULT_QUALITY); break;
    }
    if (!f) f = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  return f;
}

// Creates a control at a place, visible unless it sits on a tab that is not shown.
HWND createControl(const Place& place, int gadget, DWORD exStyle, const char* cls, const std::string& text,
                   DWORD style) {
  if (!IsWindow(toHwnd(place.window))) return nullptr;
  const bool shown = place.panel == 0 || currentTab(place.panel) == place.tab;
  const POINT at = origin(place);
  HWND control = CreateWindowExA(exStyle, cls, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | (shown ? WS_VISIBLE : 0) | style,
                                 at.x, at.y, place.width, place.height, toHwnd(place.window),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(gadget)), instance(), nullptr);
  if (!control) return nullptr;
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font(FontId::Caption)), FALSE);
  rememberGadget(gadget, control);
  if (place.panel != 0) {
    pageControls[gadget] = {place.panel, place.tab};
    // Above the tab control, which was made first.
    SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    clipToPage(control, place.panel);
  }
  return control;
}

}  // namespace win32

int measureText(FontId id, const std::string& text) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font(id));
  SIZE size = {0, 0};
  GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

bool createButton(const Place& place, int gadget, const std::string& caption) {
  if (!createControl(place, gadget, 0, "BUTTON", caption, WS_TABSTOP | BS_OWNERDRAW)) return false;
  ButtonLook& look = buttons[gadget];
  look = ButtonLook{};
  look.caption = caption;
  return true;
}

void drawButtonCaption(int gadget, const std::string& caption, Colour text, Colour background, FontId font) {
  HWND control = gadgetWindow(gadget);
  if (!control) return;
  ButtonLook& look = buttons[gadget];
  // The status refresh draws every button again; a button's WM_SETTEXT erases it first, so an
  // unchanged one would only flicker.
  const bool newCaption = look.caption != caption;
  if (!newCaption && look.text == text && look.background == background && look.font == font) return;
  look.caption = caption;
  look.text = text;
  look.background = background;
  look.font = font;
  if (newCaption) SetWindowTextA(control, caption.c_str());
  InvalidateRect(control, nullptr, FALSE);
}

bool createPushButton(const Place& place, int gadget, const std::string& caption, FontId id) {
  HWND control = createControl(place, gadget, 0, "BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON);
  if (!control) return false;
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font(id)), FALSE);
  return true;
}

bool createCheckBox(const Place& place, int gadget, const std::string& caption, FontId id) {
  // BS_AUTOCHECKBOX ticks itself on a click before it tells us, so the logic reads the new state.
  HWND control = createControl(place, gadget, 0, "BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX);
  if (!control) return false;
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font(id)), FALSE);
  return true;
}

void setCheckBox(int gadget, bool checked) {
  if (HWND control = gadgetWindow(gadget)) SendMessageA(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool checkBoxIsTicked(int gadget) {
  HWND control = gadgetWindow(gadget);
  return control && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool createPictureButton(const Place& place, int gadget, Picture picture, const std::string& name) {
  if (!createControl(place, gadget, 0, "BUTTON", name, WS_TABSTOP | BS_OWNERDRAW)) return false;
  ButtonLook& look = buttons[gadget];
  look = ButtonLook{};
  look.caption = name;
  look.picture = true;
  look.image = picture;
  return true;
}

void setButtonPicture(int gadget, Picture picture) {
  auto found = buttons.find(gadget);
  if (found == buttons.end() || found->second.image == picture) return;
  found->second.image = picture;
  if (HWND control = gadgetWindow(gadget)) InvalidateRect(control, nullptr, FALSE);
}

void enableGadget(int gadget, bool enabled) {
  HWND control = gadgetWindow(gadget);
  if (control && (IsWindowEnabled(control) != 0) != enabled) EnableWindow(control, enabled);
}

bool gadgetIsEnabled(int gadget) {
  HWND control = gadgetWindow(gadget);
  return control && IsWindowEnabled(control);
}

bool createNumberBox(const Place& place, int gadget) {
  // A thin border, no margins and the small dialog font: six digits (100000 clips) fit in 40 pixels.
  HWND box = createControl(place, gadget, 0, "EDIT", "", WS_BORDER | ES_RIGHT | ES_READONLY | ES_AUTOHSCROLL);
  if (!box) return false;
  SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SendMessageA(box, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
  return true;
}

bool createTextLabel(const Place& place, int gadget, const std::string& text, FontId id) {
  HWND label = createControl(place, gadget, 0, "STATIC", text, SS_LEFT | SS_NOPREFIX | SS_LEFTNOWORDWRAP);
  if (!label) return false;
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font(id)), FALSE);
  return true;
}

bool createPanel(const Place& place, int gadget, const std::vector<std::string>& tabs, FontId id) {
  HWND panel = createControl(place, gadget, 0, WC_TABCONTROLA, "", WS_TABSTOP);
  if (!panel) return false;
  SendMessageA(panel, WM_SETFONT, reinterpret_cast<WPARAM>(font(id)), FALSE);
  for (size_t i = 0; i < tabs.size(); ++i) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(tabs[i].c_str());
    SendMessageA(panel, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  return true;
}

void setPanelTab(int gadget, int tab) {
  HWND panel = gadgetWindow(gadget);
  // Every capture asks for the Text tab again; the pages only change with the tab.
  if (!panel || currentTab(gadget) == tab) return;
  SendMessageA(panel, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);  // sends no TCN_SELCHANGE
  showPage(gadget, tab);
}

int panelTab(int gadget) { return currentTab(gadget); }

bool createEditor(const Place& place, int gadget) {
  static HMODULE richEdit = LoadLibraryA("riched20.dll");
  if (!richEdit) return false;
  // The wide class: its text messages carry UTF-16, where the ANSI one would cut the clip's text
  // down to the code page.
  HWND editor = createControl(place, gadget, WS_EX_CLIENTEDGE, "RichEdit20W", "",
                              WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL);
  if (!editor) return false;
  // The editor must hold a whole clip: one it cut short could be written back cut.
  SendMessageA(editor, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SendMessageA(editor, EM_AUTOURLDETECT, TRUE, 0);
  SendMessageA(editor, EM_SETEVENTMASK, 0, ENM_LINK | ENM_CHANGE);
  return true;
}

namespace {

struct StreamBuffer {
  const std::string* in = nullptr;
  size_t done = 0;
  std::string out;
};

DWORD CALLBACK streamIn(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  auto* s = reinterpret_cast<StreamBuffer*>(cookie);
  const size_t left = s->in->size() - s->done;
  const size_t n = left < static_cast<size_t>(wanted) ? left : static_cast<size_t>(wanted);
  memcpy(buffer, s->in->data() + s->done, n);
  s->done += n;
  *given = static_cast<LONG>(n);
  return 0;
}

DWORD CALLBACK streamOut(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken) {
  reinterpret_cast<StreamBuffer*>(cookie)->out.append(reinterpret_cast<char*>(buffer), static_cast<size_t>(count));
  *taken = count;
  return 0;
}

// Streams go through EM_STREAMIN/OUT so that a plain text beginning "{\rtf" stays plain text.
// Plain text goes as UTF-16 (SF_UNICODE); its line breaks come out as they do in the code page.
void streamInto(HWND editor, const std::string& bytes, UINT format) {
  StreamBuffer buffer;
  buffer.in = &bytes;
  EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&buffer), 0, streamIn};
  SendMessageA(editor, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
}

std::string streamOutOf(HWND editor, UINT format) {
  StreamBuffer buffer;
  EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&buffer), 0, streamOut};
  SendMessageA(editor, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
  return buffer.out;
}

std::string asUnicodeStream(const std::string& utf8) {
  const std::wstring wide = toWide(utf8);
  return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

std::string fromUnicodeStream(const std::string& bytes) {
  return toUtf8(reinterpret_cast<const wchar_t*>(bytes.data()), static_cast<int>(bytes.size() / sizeof(wchar_t)));
}

}  // namespace

namespace {

TextRange clickedLink;
// Editors whose text changed (EN_CHANGE) since the program last set it. Some rich edit controls
// leave their modified flag alone on a cut or a delete; the notification comes for every change.
std::map<int, bool> editorChanged;

// What the program last put into each editor, so that the same text or colours set again (a
// capture shows its clip through several steps) cost neither a new layout nor a repaint.
struct EditorShown {
  bool textKnown = false;
  std::string text;
  bool coloursKnown = false;
  Colour textColour = 0, background = 0;
};
std::map<int, EditorShown> editorShown;

void forgetShown(int gadget) { editorShown[gadget] = EditorShown{}; }

}  // namespace

// Text the program sets is not the user's change: the modified flag starts clear.
void setEditorText(int gadget, const std::string& text) {
  if (HWND editor = gadgetWindow(gadget)) {
    EditorShown& shown = editorShown[gadget];
    if (shown.textKnown && !editorChanged[gadget] && shown.text == text) return;
    streamInto(editor, asUnicodeStream(text), SF_TEXT | SF_UNICODE);
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    editorChanged[gadget] = false;
    shown.textKnown = true;
    shown.text = text;
  }
}

std::string editorText(int gadget) {
  HWND editor = gadgetWindow(gadget);
  return editor ? fromUnicodeStream(streamOutOf(editor, SF_TEXT | SF_UNICODE)) : std::string();
}

void setEditorRichText(int gadget, const std::string& rtf) {
  if (HWND editor = gadgetWindow(gadget)) {
    forgetShown(gadget);
    streamInto(editor, rtf, SF_RTF);
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    editorChanged[gadget] = false;
  }
}

std::string editorRichText(int gadget) {
  HWND editor = gadgetWindow(gadget);
  return editor ? streamOutOf(editor, SF_RTF) : std::string();
}

void setEditorColours(int gadget, Colour text, Colour background) {
  HWND editor = gadgetWindow(gadget);
  if (!editor) return;
  EditorShown& shown = editorShown[gadget];
  if (shown.coloursKnown && shown.textColour == text && shown.background == background) return;
  shown.coloursKnown = true;
  shown.textColour = text;
  shown.background = background;
  SendMessageA(editor, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(background));
  CHARFORMATW format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  format.crTextColor = text;
  SendMessageW(editor, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

void colourEditorText(int gadget, int from, int to, Colour colour) {
  HWND editor = gadgetWindow(gadget);
  if (!editor) return;
  forgetShown(gadget);
  SendMessageA(editor, EM_SETSEL, static_cast<WPARAM>(from), to);
  CHARFORMATW format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  format.crTextColor = colour;
  SendMessageW(editor, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  SendMessageA(editor, EM_SETSEL, 0, 0);
}

void setEditorCaret(int gadget, int position) {
  HWND editor = gadgetWindow(gadget);
  if (!editor) return;
  SendMessageA(editor, EM_SETSEL, static_cast<WPARAM>(position), position);
  SendMessageA(editor, EM_SCROLLCARET, 0, 0);
}

TextRange editorSelection(int gadget) {
  HWND editor = gadgetWindow(gadget);
  CHARRANGE range = {0, 0};
  if (editor) SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return {static_cast<int>(range.cpMin), static_cast<int>(range.cpMax)};
}

void setEditorSelection(int gadget, int start, int end) {
  HWND editor = gadgetWindow(gadget);
  if (!editor) return;
  CHARRANGE range = {start, end};
  SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  SendMessageA(editor, EM_SCROLLCARET, 0, 0);
}

std::string editorSelectedText(int gadget) {
  HWND editor = gadgetWindow(gadget);
  if (!editor) return {};
  CHARRANGE range = {0, 0};
  SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (range.cpMax <= range.cpMin) return {};
  // Positions count UTF-16 units: the range gives the size.
  std::wstring wide(static_cast<size_t>(range.cpMax - range.cpMin) + 1, L'\0');
  GETTEXTEX get = {};
  get.cb = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
  get.flags = GT_SELECTION;
  get.codepage = 1200;
  const LRESULT length = SendMessageW(editor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&wide[0]));
  wide.resize(length > 0 ? std::min(static_cast<size_t>(length), wide.size() - 1) : 0);
  const std::string text = toUtf8(wide);
  // The control ends its lines with CR alone; the clipboard and the store have CR LF.
  std::string lines;
  lines.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    lines += text[i];
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) lines += '\n';
  }
  return lines;
}

void editorCut(int gadget) {
  forgetShown(gadget);
  if (HWND editor = gadgetWindow(gadget)) SendMessageA(editor, WM_CUT, 0, 0);
}

void editorCopy(int gadget) {
  if (HWND editor = gadgetWindow(gadget)) SendMessageA(editor, WM_COPY, 0, 0);
}

void editorPaste(int gadget) {
  forgetShown(gadget);
  if (HWND editor = gadgetWindow(gadget)) SendMessageA(editor, WM_PASTE, 0, 0);
}

void editorClear(int gadget) {
  forgetShown(gadget);
  if (HWND editor = gadgetWindow(gadget)) SendMessageA(editor, WM_CLEAR, 0, 0);
}

void editorReplaceSelection(int gadget, const std::string& text) {
  forgetShown(gadget);
  if (HWND editor = gadgetWindow(gadget)) {
    const std::wstring wide = toWide(text);
    SendMessageW(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

std::optional<TextRange> editorFindText(int gadget, const std::string& text, int from, int to, unsigned flags) {
  HWND editor = gadgetWindow(gadget);
  if (!editor || text.empty()) return std::nullopt;
  const std::wstring wanted = toWide(text);
  FINDTEXTEXW find = {};
  find.chrg.cpMin = from;
  find.chrg.cpMax = to;
  find.lpstrText = wanted.c_str();
  const WPARAM mode = (flags & FIND_DOWN ? FR_DOWN : 0) | (flags & FIND_MATCHCASE ? FR_MATCHCASE : 0) |
                      (flags & FIND_WHOLEWORD ? FR_WHOLEWORD : 0);
  if (SendMessageW(editor, EM_FINDTEXTEXW, mode, reinterpret_cast<LPARAM>(&find)) < 0) return std::nullopt;
  return TextRange{static_cast<int>(find.chrgText.cpMin), static_cast<int>(find.chrgText.cpMax)};
}

bool editorModified(int gadget) {
  HWND editor = gadgetWindow(gadget);
  return editor && (SendMessageA(editor, EM_GETMODIFY, 0, 0) != 0 || editorChanged[gadget]);
}

TextRange editorClickedLink(int) { return clickedLink; }

namespace win32 {

bool editorMessage(HWND window, UINT, WPARAM, LPARAM lParam, LRESULT& result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code != EN_LINK) return false;
  const int gadget = static_cast<int>(header->idFrom);
  if (gadgetWindow(gadget) != header->hwndFrom) return false;
  const auto* link = reinterpret_cast<const ENLINK*>(lParam);
  // Only a left click opens a link; a press, a move or the right button do nothing.
  if (link->msg == WM_LBUTTONUP) {
    clickedLink = {static_cast<int>(link->chrg.cpMin), static_cast<int>(link->chrg.cpMax)};
    pushEvent({EVENT_GADGET, numberOfWindow(window), gadget, GADGET_LINK_CLICK, 0});
  }
  result = 0;
  return true;
}

}  // namespace win32

bool createImageView(const Place& place, int gadget) {
  // SS_NOTIFY: without it the picture lets its clicks through, and its popup menu cannot be reached.
  return createControl(place, gadget, WS_EX_CLIENTEDGE, "STATIC", "", SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY) !=
         nullptr;
}

void clearImageView(int gadget) {
  HWND view = gadgetWindow(gadget);
  if (!view) return;
  // An empty view stays as it is: clearing it again would only repaint it.
  if (HGDIOBJ old = reinterpret_cast<HGDIOBJ>(SendMessageA(view, STM_SETIMAGE, IMAGE_BITMAP, 0))) {
    DeleteObject(old);
    InvalidateRect(view, nullptr, TRUE);
  }
}

// The Online Help tab's view (createBrowser, browserNavigate) is in help_view.cpp.

void setMinimumClientSize(Hwnd window, int width, int height) { minimumClientSizes[toHwnd(window)] = {width, height}; }

void moveGadget(int gadget, int x, int y, int width, int height) {
  HWND control = gadgetWindow(gadget);
  if (!control) return;
  POINT at = {x, y};
  auto page = pageControls.find(gadget);
  if (page != pageControls.end()) {
    const RECT area = pageArea(page->second.panel);
    at = {area.left + x, area.top + y};
  }
  MoveWindow(control, at.x, at.y, width, height, TRUE);
  if (page != pageControls.end()) clipToPage(control, page->second.panel);
}

void setFocusGadget(int gadget) {
  HWND control = gadgetWindow(gadget);
  // A window in the background never takes the focus: under Wine without a window manager that
  // would take the X focus from the program the user types in.
  if (control && GetForegroundWindow() == GetAncestor(control, GA_ROOT)) SetFocus(control);
}

void createTooltip(const Tooltip& tip, Colour background) {
  HWND control = gadgetWindow(tip.gadget);
  if (!control) return;
  HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(control),
                                 nullptr, instance(), nullptr);
  if (!tooltip) return;
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every common-controls version
  // Not TTF_SUBCLASS: under Wine a subclassed control asks the server for its subclass on every
  // message it gets, a hundred times per capture for the clip list. The message loop relays the
  // control's mouse messages instead (relayToTooltip).
  tool.uFlags = TTF_IDISHWND | (tip.centredBelow ? TTF_CENTERTIP : 0);
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(tip.text.c_str());
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tooltip, TTM_SETTITLEA, tip.warning ? 2 : 1, reinterpret_cast<LPARAM>(tip.title.c_str()));
  SendMessageA(tooltip, TTM_SETTIPBKCOLOR, background, 0);
  SendMessageA(tooltip, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 0), 0);
  SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 200);
  SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 800);
  SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 12000);
  SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_RESHOW, 100);
  SendMessageA(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(font(FontId::Measure)), FALSE);
  tooltipWindows.push_back({tooltip, control});
}

void removeTooltips() {
  for (const auto& [tooltip, control] : tooltipWindows) {
    if (!IsWindow(tooltip)) continue;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    DestroyWindow(tooltip);
  }
  tooltipWindows.clear();
}

void win32::relayToTooltip(const MSG& msg) {
  switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      for (const auto& [tooltip, control] : tooltipWindows)
        if (control == msg.hwnd) SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
      break;
    default:
      break;
  }
}

namespace {

// Type-ahead in a virtual list: the first row from the start row on (wrapping) whose first column
// begins with the typed text, compared as UTF-16 without regard to case. Unanswered, the list would
// take row 0 for every key pressed.
LRESULT findRow(int gadget, const NMHDR* header) {
  int start = 0;
  UINT flags = 0;
  std::wstring wanted;
  if (header->code == LVN_ODFINDITEMA) {
    const auto* find = reinterpret_cast<const NMLVFINDITEMA*>(header);
    start = find->iStart;
    flags = find->lvfi.flags;
    if ((flags & (LVFI_STRING | LVFI_PARTIAL)) && find->lvfi.psz) {
      wchar_t typed[256] = L"";
      MultiByteToWideChar(CP_ACP, 0, find->lvfi.psz, -1, typed, 255);
      wanted = typed;
    }
  } else {
    const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
    start = find->iStart;
    flags = find->lvfi.flags;
    if ((flags & (LVFI_STRING | LVFI_PARTIAL)) && find->lvfi.psz) wanted = find->lvfi.psz;
  }
  const int count = listRowCount(gadget);
  if (wanted.empty() || count <= 0) return -1;
  if (start < 0 || start >= count) start = 0;
  const bool partial = (flags & LVFI_PARTIAL) != 0;
  const int length = static_cast<int>(wanted.size());
  for (int i = 0; i < count; ++i) {
    const int row = (start + i) % count;
    if (row < start && !(flags & LVFI_WRAP)) break;
    const std::wstring text = toWide(listRowText(gadget, row, 0));
    const int compared = partial ? std::min(length, static_cast<int>(text.size())) : static_cast<int>(text.size());
    if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), compared, wanted.c_str(), length) ==
        CSTR_EQUAL)
      return row;
  }
  return -1;
}

}  // namespace

namespace win32 {

bool controlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (dragMessage(window, message, wParam, lParam, result)) return true;
  switch (message) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_BUTTON || !buttons.count(static_cast<int>(item->CtlID))) return false;
      drawButton(*item);
      result = TRUE;
      return true;
    }
    case WM_GETMINMAXINFO: {
      auto found = minimumClientSizes.find(window);
      if (found == minimumClientSizes.end()) return false;
      RECT frame = {0, 0, found->second.cx, found->second.cy};
      AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), GetMenu(window) != nullptr,
                         static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize = {frame.right - frame.left, frame.bottom - frame.top};
      result = 0;
      return true;
    }
    case WM_COMMAND: {
      const int gadget = LOWORD(wParam);
      if (HIWORD(wParam) == EN_CHANGE && lParam != 0 && gadgetWindow(gadget) == reinterpret_cast<HWND>(lParam))
        editorChanged[gadget] = true;
      return false;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      const int gadget = static_cast<int>(header->idFrom);
      if (header->code == TCN_SELCHANGE && gadgetWindow(gadget) == header->hwndFrom) {
        const int tab = currentTab(gadget);
        showPage(gadget, tab);
        pushEvent({EVENT_GADGET, numberOfWindow(window), gadget, GADGET_TAB_CHANGE, tab});
        return false;  // the logic may look at the notification too
      }
      if (editorMessage(window, message, wParam, lParam, result)) return true;
      if ((header->code == LVN_ODFINDITEMA || header->code == LVN_ODFINDITEMW) &&
          gadgetWindow(gadget) == header->hwndFrom) {
        result = findRow(gadget, header);
        return true;
      }
      return listMessage(window, message, wParam, lParam, result);
    }
    default:
      return false;
  }
}

}  // namespace win32

}  // namespace platform
