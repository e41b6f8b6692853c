// The Online Help tab's view: the program's own help page shown without a browser engine. The
// system's browser control draws nothing under Wine, whose engine is not installed, and a page of
// one picture and a few lines of text and links does not need one. The page file is read when the
// view is pointed at it: its first picture goes into a picture control, the text of that
// picture's block under it, and the rest of the text into a read-only rich edit beside it. Links,
// and any web address the view is pointed at, open in the user's own browser; the view keeps
// showing the page.
#include "platform/gadgets.h"
#include "platform/shell.h"

#include "platform/win32/win32.h"

#include <ole2.h>
#include <olectl.h>
#include <richedit.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace platform {
using namespace win32;

namespace {

constexpr const char* viewClassName = "TandrelHelpView";
// Its own name, so that nothing looking for the Text tab's editor by class takes this one.
constexpr const wchar_t* pageTextClassName = L"TandrelPageText";
constexpr int pictureId = 1, textId = 2;
constexpr std::uint64_t largestPage = 1 << 20, largestPicture = 8 << 20;
constexpr int pictureWidth = 60, pictureHeight = 74;  // as the page's image tag asks
constexpr int ruleLength = 10;                         // dashes in a horizontal rule

const COLORREF pageBackground = RGB(0, 204, 255), boxEdge = RGB(0, 0, 255), white = RGB(255, 255, 255);
const COLORREF linkColour = RGB(0, 0, 204), ruleColour = RGB(255, 0, 0);

// ---- the page: a little HTML reduced to lines of text with bold, links and rules ----

struct Span {
  int from = 0, to = 0;  // characters of Flow::text
  bool bold = false, rule = false;
  std::string href;
};

// Text in lines ended by '\r', which the rich edit counts as one character.
struct Flow {
  std::string text;
  std::vector<Span> spans;

  bool atLineStart() const { return text.empty() || text.back() == '\r'; }
  void endLine() {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    for (Span& s : spans) s.to = std::min(s.to, static_cast<int>(text.size()));
    if (!atLineStart()) text += '\r';
  }
  void add(std::string run, bool bold, const std::string& href) {
    if (atLineStart()) run.erase(0, run.find_first_not_of(' '));
    if (!text.empty() && text.back() == ' ' && !run.empty() && run[0] == ' ') run.erase(0, 1);
    if (run.empty()) return;
    const int from = static_cast<int>(text.size());
    text += run;
    const int to = static_cast<int>(text.size());
    if (!spans.empty() && spans.back().to == from && spans.back().bold == bold && spans.back().href == href &&
        !spans.back().rule) {
      spans.back().to = to;
      return;
    }
    if (bold || !href.empty()) spans.push_back({from, to, bold, false, href});
  }
  void rule() {
    endLine();
    const int from = static_cast<int>(text.size());
    text += std::string(ruleLength, '-');  // shown as a line of dashes in the rule's colour
    spans.push_back({from, static_cast<int>(text.size()), false, true, ""});
    endLine();
  }
  std::string trimmed() const {
    std::string t = text;
    while (!t.empty() && (t.back() == '\r' || t.back() == ' ')) t.pop_back();
    return t;
  }
};

struct Page {
  std::string picture, pictureText;  // the first image's source and alternative text
  Flow caption;                      // the text of the image's block, shown under it
  Flow body;                         // everything else
};

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The value of an attribute of a tag's text (between its name and '>'), quoted or not; "" when absent.
std::string attribute(const std::string& tag, const std::string& name) {
  const std::string low = lower(tag);
  for (size_t at = 0; (at = low.find(name, at)) != std::string::npos; at += name.size()) {
    const bool startsWord = at > 0 && std::isspace(static_cast<unsigned char>(low[at - 1]));
    size_t i = at + name.size();
    while (i < low.size() && low[i] == ' ') ++i;
    if (!startsWord || i >= low.size() || low[i] != '=') continue;
    ++i;
    while (i < low.size() && low[i] == ' ') ++i;
    if (i >= low.size()) return "";
    if (tag[i] == '"' || tag[i] == '\'') {
      const size_t end = tag.find(tag[i], i + 1);
      return tag.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
    }
    size_t end = i;
    while (end < tag.size() && !std::isspace(static_cast<unsigned char>(tag[end])) && tag[end] != '>') ++end;
    return tag.substr(i, end - i);
  }
  return "";
}

// Text between tags: runs of blanks as one blank, the usual character references decoded.
std::string words(const std::string& html, size_t from, size_t to) {
  std::string out;
  for (size_t i = from; i < to; ++i) {
    const char c = html[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (out.empty() || out.back() != ' ') out += ' ';
      continue;
    }
    if (c == '&') {
      const size_t semi = html.find(';', i);
      if (semi != std::string::npos && semi < to && semi - i <= 8) {
        const std::string name = html.substr(i + 1, semi - i - 1);
        std::string decoded;
        if (name == "amp") decoded = "&";
        else if (name == "lt") decoded = "<";
        else if (name == "gt") decoded = ">";
        else if (name == "quot") decoded = "\"";
        else if (name == "nbsp") decoded = " ";
        else if (name.size() > 1 && name[0] == '#') {
          const long code = std::strtol(name.c_str() + 1, nullptr, 10);
          if (code > 0 && code < 256) decoded = std::string(1, static_cast<char>(code));
        }
        if (!decoded.empty()) {
          out += decoded;
          i = semi;
          continue;
        }
      }
    }
    out += c;
  }
  return out;
}

Page readPage(const std::string& html) {
  Page page;
  int bold = 0, blocks = 0, captionBlock = -1;
  std::string href;
  auto flow = [&]() -> Flow& { return captionBlock >= 0 ? page.caption : page.body; };
  size_t i = 0;
  while (i < html.size()) {
    const size_t open = html.find('<', i);
    const size_t textEnd = open == std::string::npos ? html.size() : open;
    if (textEnd > i) flow().add(words(html, i, textEnd), bold > 0, href);
    if (open == std::string::npos) break;
    if (html.compare(open, 4, "<!--") == 0) {
      const size_t end = html.find("-->", open + 4);
      i = end == std::string::npos ? html.size() : end + 3;
      continue;
    }
    const size_t close = html.find('>', open);
    if (close == std::string::npos) break;  // a cut-off tag ends the page
    const std::string tag = html.substr(open + 1, close - open - 1);
    i = close + 1;
    const bool ending = !tag.empty() && tag[0] == '/';
    size_t nameEnd = ending ? 1 : 0;
    while (nameEnd < tag.size() && std::isalnum(static_cast<unsigned char>(tag[nameEnd]))) ++nameEnd;
    const std::string name = lower(tag.substr(ending ? 1 : 0, nameEnd - (ending ? 1 : 0)));

    if (!ending && (name == "head" || name == "style" || name == "script" || name == "title")) {
      // What these hold is never shown; without an end tag only the tag itself is skipped.
      const size_t end = lower(html).find("</" + name, i);
      if (end != std::string::npos) {
        const size_t after = html.find('>', end);
        i = after == std::string::npos ? html.size() : after + 1;
      }
      continue;
    }
    if (name == "b" || name == "strong" || (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6'))
      bold = std::max(0, bold + (ending ? -1 : 1));
    if (name == "a") href = ending ? "" : attribute(tag, "href");
    if (name == "br" || name == "p" || name == "div" || name == "li" || name == "tr" || name == "table" ||
        name == "center" || (name.size() == 2 && name[0] == 'h' && std::isdigit(static_cast<unsigned char>(name[1]))))
      flow().endLine();
    if (name == "div") {
      blocks = ending ? std::max(0, blocks - 1) : blocks + 1;
      if (ending && blocks < captionBlock) captionBlock = -1;
    }
    if (name == "hr" && !ending) flow().rule();
    if (name == "img" && !ending && page.picture.empty()) {
      page.picture = attribute(tag, "src");
      page.pictureText = attribute(tag, "alt");
      captionBlock = blocks;
    }
  }
  page.caption.endLine();
  page.body.endLine();
  return page;
}

// ---- the view ----

struct View {
  HWND picture = nullptr, text = nullptr;
  std::string folder;  // of the page shown, where its picture is looked for
  std::string shownPage, shownPicture;
  std::vector<Span> links;
  std::string caption, pictureText;
  HBITMAP logo = nullptr;
};

View* viewOf(HWND window) { return reinterpret_cast<View*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

HFONT captionFont() {
  static HFONT f = CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
  return f;
}

// The white box of the page, with the picture's column at its left and the text beside it.
RECT boxOf(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  const int width = std::min<int>(r.right - r.left - 16, 440);
  const int left = std::max<int>(8, (r.right - r.left - width) / 2);
  return RECT{left, 8, left + std::max(width, 0), std::max<LONG>(8, r.bottom - 8)};
}

void layOut(HWND window) {
  View* view = viewOf(window);
  if (!view) return;
  const RECT box = boxOf(window);
  const int column = std::min<int>(200, (box.right - box.left) / 2);
  MoveWindow(view->picture, box.left + 2, box.top + 2, column, std::max<int>(0, box.bottom - box.top - 4), TRUE);
  const int textLeft = box.left + 2 + column + 8;
  MoveWindow(view->text, textLeft, box.top + 8, std::max<int>(0, box.right - 4 - textLeft),
             std::max<int>(0, box.bottom - box.top - 12), TRUE);
}

void paintBackground(HWND window, HDC dc) {
  RECT all;
  GetClientRect(window, &all);
  HBRUSH back = CreateSolidBrush(pageBackground), edge = CreateSolidBrush(boxEdge), inside = CreateSolidBrush(white);
  FillRect(dc, &all, back);
  RECT box = boxOf(window);
  FillRect(dc, &box, edge);
  InflateRect(&box, -2, -2);
  FillRect(dc, &box, inside);
  DeleteObject(back);
  DeleteObject(edge);
  DeleteObject(inside);
}

void drawPictureColumn(const View& view, const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  HBRUSH inside = CreateSolidBrush(white);
  FillRect(dc, &r, inside);
  DeleteObject(inside);
  const int width = r.right - r.left;
  RECT image = {r.left + (width - pictureWidth) / 2, r.top + 12, 0, 0};
  image.right = image.left + pictureWidth;
  image.bottom = image.top + pictureHeight;
  HGDIOBJ oldFont = SelectObject(dc, captionFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  if (view.logo) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, view.logo);
    BitBlt(dc, image.left, image.top, pictureWidth, pictureHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  } else if (!view.shownPage.empty()) {
    // As a browser does for a picture it cannot show: a frame with the picture's own text.
    FrameRect(dc, &image, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    RECT text = image;
    DrawTextA(dc, view.pictureText.c_str(), static_cast<int>(view.pictureText.size()), &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  RECT below = {r.left + 4, image.bottom + 6, r.right - 4, r.bottom};
  std::string lines = view.caption;
  std::replace(lines.begin(), lines.end(), '\r', '\n');
  DrawTextA(dc, lines.c_str(), static_cast<int>(lines.size()), &below, DT_CENTER | DT_NOPREFIX | DT_WORDBREAK);
  SelectObject(dc, oldFont);
}

// The page's picture at the size the page shows it, on white; nullptr when it cannot be read.
HBITMAP loadPicture(HWND window, const std::string& bytes) {
  if (bytes.empty()) return nullptr;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return nullptr;
  std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  IPicture* picture = nullptr;
  const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                        reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(loaded) || !picture) return nullptr;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  HDC screen = GetDC(window);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, pictureWidth, pictureHeight);
  ReleaseDC(window, screen);
  if (bitmap) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, pictureWidth, pictureHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    const HRESULT drawn = picture->Render(dc, 0, 0, pictureWidth, pictureHeight, 0, height, width, -height, nullptr);
    SelectObject(dc, old);
    if (FAILED(drawn)) {
      DeleteObject(bitmap);
      bitmap = nullptr;
    }
  }
  DeleteDC(dc);
  picture->Release();
  return bitmap;
}

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

// The control counts characters, the flow bytes: where a byte offset lands in the control's text.
int characterAt(const std::string& text, int byte) {
  byte = std::min(byte, static_cast<int>(text.size()));
  return byte <= 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), byte, nullptr, 0);
}

void formatRange(HWND text, int from, int to, CHARFORMAT2W& format) {
  CHARRANGE range = {from, to};
  SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  format.cbSize = sizeof format;
  SendMessageW(text, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

void showText(View& view, const Flow& body) {
  HWND text = view.text;
  const std::string bytes = body.trimmed();
  std::wstring shown = wide(bytes);
  std::vector<Span> spans;
  for (Span span : body.spans) {
    span.from = characterAt(bytes, span.from);
    span.to = characterAt(bytes, span.to);
    if (span.rule)
      for (int i = span.from; i < span.to && i < static_cast<int>(shown.size()); ++i) shown[static_cast<size_t>(i)] = L'\x2014';
    spans.push_back(span);
  }
  SendMessageW(text, WM_SETREDRAW, FALSE, 0);
  SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
  CHARFORMAT2W all = {};
  all.cbSize = sizeof all;
  all.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD | CFM_UNDERLINE | CFM_LINK;
  all.yHeight = 200;  // twips: 10 points
  wcscpy(all.szFaceName, L"Arial");
  SendMessageW(text, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&all));
  view.links.clear();
  for (const Span& span : spans) {
    CHARFORMAT2W format = {};
    if (span.rule) {
      format.dwMask = CFM_COLOR | CFM_BOLD;
      format.dwEffects = CFE_BOLD;
      format.crTextColor = ruleColour;
    } else if (!span.href.empty()) {
      // Drawn as links whatever the control's own look for them: blue, underlined, bold as on the page.
      format.dwMask = CFM_LINK | CFM_COLOR | CFM_UNDERLINE | CFM_BOLD;
      format.dwEffects = CFE_LINK | CFE_UNDERLINE | CFE_BOLD;
      format.crTextColor = linkColour;
      view.links.push_back(span);
    } else {
      format.dwMask = CFM_BOLD;
      format.dwEffects = span.bold ? CFE_BOLD : 0;
    }
    formatRange(text, span.from, span.to, format);
  }
  CHARRANGE start = {0, 0};
  SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  SendMessageW(text, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(text, nullptr, TRUE);
}

void clearView(HWND window, View& view) {
  view.shownPage.clear();
  view.shownPicture.clear();
  view.caption.clear();
  view.pictureText.clear();
  view.links.clear();
  if (view.logo) DeleteObject(view.logo);
  view.logo = nullptr;
  SendMessageW(view.text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  InvalidateRect(window, nullptr, TRUE);
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A picture named by the page, relative to its folder; a page names no other kind of place.
std::string picturePath(const View& view, const std::string& source) {
  if (source.empty() || source.find("://") != std::string::npos) return "";
  if (source.size() > 1 && (source[1] == ':' || source[0] == '\\' || source[0] == '/')) return source;
  return view.folder + source;
}

void showPageFile(HWND window, View& view, const std::string& path) {
  const std::optional<std::string> html = readFile(path, largestPage);
  if (!html) {
    clearView(window, view);
    Flow message;
    message.add("The page " + path + " could not be read.", false, "");
    showText(view, message);
    return;
  }
  view.folder = folderOf(path);
  const Page page = readPage(*html);
  const std::string pictureFile = picturePath(view, page.picture);
  const std::string picture = pictureFile.empty() ? "" : readFile(pictureFile, largestPicture).value_or("");
  // Shown again unchanged (each About, each visit of the tab), the view is left as it is.
  if (*html == view.shownPage && picture == view.shownPicture) return;
  clearView(window, view);
  view.shownPage = *html;
  view.shownPicture = picture;
  view.caption = page.caption.trimmed();
  view.pictureText = page.pictureText;
  view.logo = loadPicture(window, picture);
  showText(view, page.body);
  InvalidateRect(view.picture, nullptr, TRUE);
}

bool isWebAddress(const std::string& address) {
  const std::string low = lower(address.substr(0, 8));
  return low.compare(0, 7, "http://") == 0 || low.compare(0, 8, "https://") == 0;
}

void openInBrowser(HWND window, const std::string& address) {
  HWND owner = GetAncestor(window, GA_ROOT);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(owner, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return;  // the shell's codes up to 32 are failures
  char title[256] = "";
  GetWindowTextA(owner, title, sizeof title);
  const std::string text = "The page could not be opened in your browser:\n" + address;
  MessageBoxA(owner, text.c_str(), title, MB_OK | MB_ICONWARNING);
}

LRESULT CALLBACK viewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  View* view = viewOf(window);
  switch (message) {
    case WM_ERASEBKGND:
      paintBackground(window, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_SIZE:
      layOut(window);
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_DRAWITEM:
      if (view && wParam == static_cast<WPARAM>(pictureId)) {
        drawPictureColumn(*view, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (!view || header->idFrom != static_cast<UINT_PTR>(textId) || header->code != EN_LINK) break;
      const auto* link = reinterpret_cast<const ENLINK*>(lParam);
      if (link->msg != WM_LBUTTONUP) return 0;  // a press, a move or the right button do nothing
      for (const Span& span : view->links)
        if (link->chrg.cpMin < span.to && link->chrg.cpMax > span.from) {
          openInBrowser(window, span.href);
          break;
        }
      return 0;
    }
    case WM_NCDESTROY:
      if (view) {
        if (view->logo) DeleteObject(view->logo);
        delete view;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool registerClasses() {
  static const bool registered = [] {
    if (!LoadLibraryA("riched20.dll")) return false;
    WNDCLASSEXW text = {};
    text.cbSize = sizeof text;
    if (!GetClassInfoExW(nullptr, L"RichEdit20W", &text)) return false;
    text.hInstance = GetModuleHandleA(nullptr);
    text.lpszClassName = pageTextClassName;
    text.style &= ~CS_GLOBALCLASS;
    if (!RegisterClassExW(&text)) return false;
    WNDCLASSEXA view = {};
    view.cbSize = sizeof view;
    view.lpfnWndProc = viewProc;
    view.hInstance = GetModuleHandleA(nullptr);
    view.hCursor = LoadCursor(nullptr, IDC_ARROW);
    view.lpszClassName = viewClassName;
    return RegisterClassExA(&view) != 0;
  }();
  return registered;
}

}  // namespace

bool createBrowser(const Place& place, int gadget) {
  if (!registerClasses()) return false;
  HWND window = createControl(place, gadget, 0, viewClassName, "", WS_CLIPCHILDREN);
  if (!window) return false;
  auto* view = new View;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  view->picture = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 0, 0, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(pictureId)), GetModuleHandleA(nullptr),
                                  nullptr);
  view->text = CreateWindowExW(0, pageTextClassName, L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
                               0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(textId)),
                               GetModuleHandleA(nullptr), nullptr);
  if (!view->picture || !view->text) {
    DestroyWindow(window);
    return false;
  }
  SendMessageW(view->text, EM_SETBKGNDCOLOR, 0, white);
  SendMessageW(view->text, EM_SETEVENTMASK, 0, ENM_LINK);
  layOut(window);
  return true;
}

void browserNavigate(int gadget, const std::string& address) {
  HWND window = gadgetWindow(gadget);
  View* view = window ? viewOf(window) : nullptr;
  if (!view) return;
  if (isWebAddress(address)) openInBrowser(window, address);
  else if (address.empty() || lower(address).compare(0, 6, "about:") == 0) clearView(window, *view);
  else showPageFile(window, *view, address);
}

}  // namespace platform
