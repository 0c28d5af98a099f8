// Reads a window of another program back as text, as a test reads it: its
// title, each control with its class, text and rectangle, each list view's
// rows with their cells and states, and whether the controls lie inside the
// client area without overlapping.
//
// Usage: window_probe TITLE_START [CODE]. Prints tab-separated lines; exits
// 1 when no window's title starts with TITLE_START. With CODE, a key code in
// hexadecimal, it first posts the window a press and a release of that key
// as bare messages: a key message that no key state follows, as Wine sends
// for some keys of some layouts.
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
  RECT rect;  // in the client area of the window
};

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
    char kind[64], text[1024];
    GetClassNameA(child, kind, sizeof kind);
    // GetWindowText does not ask another process's controls for their text.
    SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    controls.push_back({child, kind, one_line(text), rect});
  }
  return controls;
}

// One cell of a list view in another process: the text is asked for
// through memory of that process.
std::string cell(HWND list, HANDLE process, int row, int column) {
  constexpr SIZE_T kTextSize = 512;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kTextSize, MEM_COMMIT, PAGE_READWRITE));
  if (remote == nullptr) return "?";
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = remote + sizeof item;
  item.cchTextMax = kTextSize;
  WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
  char text[kTextSize] = {};
  ReadProcessMemory(process, remote + sizeof item, text, kTextSize - 1, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return text;
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
    for (int column = 0; column < columns; ++column) {
      std::printf("\t%s", cell(list, process, row, column).c_str());
    }
    std::printf("\t%s%s\n", state & LVIS_SELECTED ? "selected " : "",
                state & LVIS_DROPHILITED ? "highlighted" : "");
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

}  // namespace

int main(int argc, char** argv) {
  Search search{argc > 1 ? argv[1] : "", nullptr};
  EnumWindows(match_title, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) {
    std::printf("no window\n");
    return 1;
  }
  if (argc > 2) {
    const auto code = static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 16));
    PostMessageA(search.found, WM_KEYDOWN, code, 1);
    PostMessageA(search.found, WM_KEYUP, code, 1 | 3u << 30);
    return 0;
  }
  char title[256];
  GetWindowTextA(search.found, title, sizeof title);
  std::printf("title\t%s\n", title);
  const std::vector<Control> controls = controls_of(search.found);
  for (const Control& control : controls) {
    std::printf("control\t%s\t%s\t%ld,%ld,%ld,%ld\n", control.kind.c_str(), control.text.c_str(),
                control.rect.left, control.rect.top, control.rect.right, control.rect.bottom);
    if (control.kind == WC_LISTVIEWA) print_rows(control.hwnd);
  }
  print_layout(search.found, controls);
  return 0;
}
