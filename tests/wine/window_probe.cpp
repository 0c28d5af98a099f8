// Reads a window of another program back as text, as a test reads it: its
// title, each control with its class, text and rectangle, each list view's
// rows with their cells and states, whether the controls lie inside the
// client area without overlapping, and whether each label's, button's and
// line's text fits its control, measured in the control's font.
//
// Usage: window_probe TITLE_START [CODE | --utf8]. Prints tab-separated
// lines, in Windows-1252 or with --utf8 in UTF-8; exits 1 when no window's
// title starts with TITLE_START. With CODE, a key code in hexadecimal, it
// first posts the window a press and a release of that key as bare
// messages: a key message that no key state follows, as Wine sends for
// some keys of some layouts.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Control {
  HWND hwnd;
  std::string kind, text;
  std::wstring wide;  // the text as the control holds it
  RECT rect;          // in the client area of the window
};

bool utf8_output = false;

struct Search {
  const char* title_start;
  HWND found;
};

BOOL CALLBACK match_title(HWND hwnd, LPARAM lparam) {
  auto& search = *reinterpret_cast<Search*>(lparam);
  char title[256];
  GetWindowTextA(hwnd, title, sizeof title);
  if (std::strncmp(title, search.title_start, std::strlen(search.title_start)) != 0) return TRUE;
  search.found = hwnd;
  return FALSE;
}

// A multi-line text on one line of output.
std::string one_line(std::string text) {
  std::string result;
  for (char c : text) {
    if (c == '\r') continue;
    result += c == '\n' ? std::string("\\n") : std::string(1, c);
  }
  return result;
}

// The window's own controls; a list view's header belongs to the list view.
std::vector<Control> controls_of(HWND window) {
  std::vector<Control> controls;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    char kind[64], text[4096];
    wchar_t wide[2048];
    GetClassNameA(child, kind, sizeof kind);
    // GetWindowText does not ask another process's controls for their text.
    SendMessageW(child, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(wide));
    WideCharToMultiByte(utf8_output ? CP_UTF8 : 1252, 0, wide, -1, text, sizeof text, nullptr,
                        nullptr);
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    controls.push_back({child, kind, one_line(text), wide, rect});
  }
  return controls;
}

// The control's font: asked of the control, and where this process cannot
// read another's font, the dialog's font ("MS Shell Dlg", 9 points) at the
// window's DPI.
HFONT font_of(HWND control) {
  LOGFONTW font{};
  const auto given = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  if (given != nullptr && GetObjectW(given, sizeof font, &font) == sizeof font) {
    return CreateFontIndirectW(&font);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                     L"MS Shell Dlg");
}

// One cell of a list view in another process: the text is asked for
// through memory of that process.
std::wstring cell(HWND list, HANDLE process, int row, int column) {
  constexpr SIZE_T kTextSize = 512;
  auto* remote = static_cast<char*>(VirtualAllocEx(
      process, nullptr, sizeof(LVITEMW) + kTextSize * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  if (remote == nullptr) return L"?";
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof item);
  item.cchTextMax = kTextSize;
  WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
  wchar_t text[kTextSize] = {};
  ReadProcessMemory(process, remote + sizeof item, text, (kTextSize - 1) * sizeof(wchar_t),
                    nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return text;
}

std::string shown(const std::wstring& text) {
  char bytes[2048];
  WideCharToMultiByte(utf8_output ? CP_UTF8 : 1252, 0, text.c_str(), -1, bytes, sizeof bytes,
                      nullptr, nullptr);
  return bytes;
}

// Whether a cell's text fits its column, with the room a list view keeps
// around it.
bool cell_fits(HWND list, int column, const std::wstring& text) {
  HDC dc = GetDC(nullptr);
  HFONT font = font_of(list);
  const HGDIOBJ was = SelectObject(dc, font);
  RECT bounds{0, 0, 0x7FFF, 0};
  DrawTextW(dc, text.c_str(), -1, &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, was);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
  return bounds.right + 8 <= width;
}

void print_rows(HWND list) {
  DWORD id = 0;
  GetWindowThreadProcessId(list, &id);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  const int columns = static_cast<int>(SendMessageA(
      reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    const UINT state = static_cast<UINT>(
        SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_DROPHILITED));
    std::printf("row\t%d", row);
    std::string clipped;
    for (int column = 0; column < columns; ++column) {
      const std::wstring text = cell(list, process, row, column);
      std::printf("\t%s", shown(text).c_str());
      if (!cell_fits(list, column, text)) clipped += "\t" + shown(text);
    }
    std::printf("\t%s%s\n", state & LVIS_SELECTED ? "selected " : "",
                state & LVIS_DROPHILITED ? "highlighted" : "");
    if (!clipped.empty()) std::printf("fit\tclipped cell%s\n", clipped.c_str());
  }
  CloseHandle(process);
}

bool overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Every control inside the client area, and none over another.
void print_layout(HWND window, const std::vector<Control>& controls) {
  RECT client;
  GetClientRect(window, &client);
  int faults = 0;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const RECT& r = controls[i].rect;
    if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom) {
      std::printf("layout\toutside\t%s\n", controls[i].text.c_str());
      ++faults;
    }
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      if (!overlap(r, controls[j].rect)) continue;
      std::printf("layout\toverlap\t%s\t%s\n", controls[i].text.c_str(), controls[j].text.c_str());
      ++faults;
    }
  }
  std::printf("layout\t%s\t%ldx%ld\n", faults == 0 ? "ok" : "faulty", client.right, client.bottom);
}

// Whether a label's, a button's or a static line's text fits its control:
// a button's and a label's on one line, a line's broken at its width.
void print_fit(const Control& control) {
  const bool button = control.kind == "Button";
  if (!button && control.kind != "Static") return;
  const LONG style = GetWindowLongW(control.hwnd, GWL_STYLE);
  const bool prefixed = button || !(style & SS_NOPREFIX);
  const int width = control.rect.right - control.rect.left;
  const int height = control.rect.bottom - control.rect.top;
  HDC dc = GetDC(nullptr);
  HFONT font = font_of(control.hwnd);
  const HGDIOBJ was = SelectObject(dc, font);
  // A button keeps a border and some room on each side of its label.
  const int room = button ? 2 * GetSystemMetrics(SM_CXEDGE) + 4 : 0;
  const bool wraps = !button && !prefixed;
  RECT bounds{0, 0, wraps ? width : 0x7FFF, 0};
  DrawTextW(dc, control.wide.c_str(), -1, &bounds,
            DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (prefixed ? 0 : DT_NOPREFIX));
  SelectObject(dc, was);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  const bool fits = bounds.right + room <= width && bounds.bottom <= height;
  std::printf("fit\t%s\t%s\tneeds %ldx%ld, has %dx%d\n", fits ? "ok" : "clipped",
              control.text.c_str(), bounds.right + room, bounds.bottom, width, height);
}

}  // namespace

int main(int argc, char** argv) {
  Search search{argc > 1 ? argv[1] : "", nullptr};
  EnumWindows(match_title, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  utf8_output = argc > 2 && std::strcmp(argv[2], "--utf8") == 0;
  if (argc > 2 && !utf8_output) {
    const auto code = static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 16));
    PostMessageA(search.found, WM_KEYDOWN, code, 1);
    PostMessageA(search.found, WM_KEYUP, code, 1 | 3u << 30);
    return 0;
  }
  wchar_t title[256];
  GetWindowTextW(search.found, title, 256);
  std::printf("title\t%s\n", shown(title).c_str());
  const std::vector<Control> controls = controls_of(search.found);
  for (const Control& control : controls) {
    std::printf("control\t%s\t%s\t%ld,%ld,%ld,%ld\n", control.kind.c_str(), control.text.c_str(),
                control.rect.left, control.rect.top, control.rect.right, control.rect.bottom);
    if (control.kind == WC_LISTVIEWA) print_rows(control.hwnd);
  }
  for (const Control& control : controls) print_fit(control);
  print_layout(search.found, controls);
  return 0;
}
