// holsterkeys-setup: a window in which players set up and check their keys
// without a console or Notepad. It shows what the checker finds, writes a
// pressed key the way --bind does, and keeps watching the file, the game
// and the keys held down.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "advice/diagnosis.h"
#include "advice/finding_text.h"
#include "advice/module_view.h"
#include "bindings/category_names.h"
#include "files/file_system.h"
#include "keys/key_names.h"
#include "keys/player_text.h"
#include "live/binding_writer.h"
#include "live/key_watch.h"
#include "live/layout_label.h"
#include "live/running_games.h"
#include "live/wide_text.h"
#include "selector/selection_cycle.h"
#include "text/say.h"
#include "tools/setup/folder_watch.h"
#include "tools/setup/resource.h"
#include "tools/setup/setup_model.h"

namespace holsterkeys {
namespace {

// Shown through the Unicode call, so that every letter shows as typed.
void set_text(HWND window, const std::string& text) {
  SetWindowTextW(window, widened(text).c_str());
}

// The file is looked at a tenth of a second after its folder changes, or
// twice a second where Windows cannot watch the folder; the running games
// every two seconds. While the window is in front, the keys held down ten
// times a second, as the module polls. While a key is awaited, the key
// states are watched every 10 ms, and a key message that no key state
// follows within a third of a second is a key the module cannot see.
constexpr UINT_PTR kFileTimer = 1, kGameTimer = 2, kKeysTimer = 3, kWatchTimer = 4,
                   kChangedTimer = 5;
constexpr UINT kChangedMs = 100, kFileMs = 500, kGameMs = 2000, kKeysMs = kCyclePeriodMs,
               kWatchMs = 10;
constexpr ULONGLONG kUnseenMs = 300;
constexpr int kColumns = 3;

// The findings pane is an edit control, which ends lines with CR LF.
std::string with_crlf(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

// The code of a key that `message` presses, as the message gives it.
std::optional<KeyCode> key_down_code(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return std::nullopt;
  // A held key repeats its press; only the first counts.
  if ((message.lParam & (1 << 30)) != 0) return std::nullopt;
  return static_cast<KeyCode>(message.wParam);
}

bool releases(const MSG& message) {
  switch (message.message) {
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
      return true;
    default:
      return false;
  }
}

bool is_input(const MSG& message) {
  return (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
         (message.message >= WM_LBUTTONDOWN && message.message <= WM_XBUTTONDBLCLK &&
          message.message != WM_MOUSEWHEEL);
}

// The size of a text in a control's font: on one line, or broken into
// lines `width` pixels wide. `prefixed`: '&' marks an Alt key and takes no
// room.
SIZE text_size(HWND control, const std::wstring& text, int width, bool prefixed) {
  HDC dc = GetDC(control);
  const HGDIOBJ was =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT bounds{0, 0, width > 0 ? width : 0x7FFF, 0};
  const UINT how = DT_CALCRECT | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE) |
                   (prefixed ? 0u : static_cast<UINT>(DT_NOPREFIX));
  DrawTextW(dc, text.c_str(), -1, &bounds, how);
  SelectObject(dc, was);
  ReleaseDC(control, dc);
  return {bounds.right, bounds.bottom};
}

std::wstring text_of(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

class SetupWindow {
 public:
  explicit SetupWindow(const char* file) : file_(file) {}

  HWND create(HINSTANCE instance) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, procedure,
                              reinterpret_cast<LPARAM>(this));
  }
  HWND hwnd() const { return hwnd_; }

  // Signalled when the folder of the file changes; null where it cannot
  // be watched, and the file is looked at on a timer instead.
  HANDLE folder_change() const { return folder_watch_.change(); }

  // Changes often come in bursts, as an editor saves: the file is looked
  // at a moment after the first, even where a game writes its log into the
  // folder without a pause. A folder that is gone can no longer be watched.
  void on_folder_change() {
    if (!folder_watch_.rearm()) {
      folder_watch_.stop();
      watch_folder();
    }
    if (!change_pending_) SetTimer(hwnd_, kChangedTimer, kChangedMs, nullptr);
    change_pending_ = true;
  }

  // While the window waits for a key, and until the key taken is released,
  // it takes keys and mouse buttons before the dialog manager can act on
  // them; true for a message taken. Which key was pressed is the key
  // watch's to say, as the module sees keys; a key message only tells that
  // a key went down.
  bool take_key(const MSG& message) {
    if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
    if (!is_input(message)) return false;
    if (swallow_until_released_) {
      swallow_until_released_ = !releases(message);
      return true;
    }
    if (!waiting_row_) return false;
    if (const auto code = key_down_code(message); code && !unseen_since_) {
      message_code_ = *code;
      unseen_since_ = GetTickCount64();
    }
    return true;
  }

 private:
  static INT_PTR CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lparam);
    auto* window = reinterpret_cast<SetupWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (window == nullptr) return FALSE;
    if (message == WM_INITDIALOG) window->hwnd_ = hwnd;
    return window->handle(message, wparam, lparam);
  }

  INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_INITDIALOG:
        on_init();
        return FALSE;  // the focus is set on the rows
      case WM_COMMAND:
        on_command(LOWORD(wparam));
        return TRUE;
      case WM_NOTIFY:
        on_notify(*reinterpret_cast<const NMHDR*>(lparam));
        return TRUE;
      case WM_TIMER:
        on_timer(wparam);
        return TRUE;
      case WM_ACTIVATE:
        on_activate(LOWORD(wparam) != WA_INACTIVE);
        return FALSE;
      case WM_DPICHANGED: {
        const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
      }
      case WM_CLOSE:
        DestroyWindow(hwnd_);
        return TRUE;
      case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
      default:
        return FALSE;
    }
  }

  // The labels of the buttons and panes, each with its Alt key.
  void label_controls() {
    const std::pair<int, std::string> labels[] = {
        {IDC_ROWS_LABEL, say("&Keys:")}, {IDC_CHANGE, say("&Change key...")},
        {IDC_UNBIND, say("&Unbind")},    {IDC_FOLDER, say("Open &folder")},
        {IDCANCEL, say("C&lose")},       {IDC_FINDINGS_LABEL, say("F&indings and notes:")},
    };
    for (const auto& [id, label] : labels) set_text(GetDlgItem(hwnd_, id), label);
  }

  void on_init() {
    label_controls();
    rows_ = GetDlgItem(hwnd_, IDC_ROWS);
    ListView_SetExtendedListViewStyle(rows_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    const std::string titles[kColumns] = {say("Category"), say("Key"), say("Status")};
    for (int column = 0; column < kColumns; ++column) {
      std::wstring title = widened(titles[column]);
      LVCOLUMNW text{};
      text.mask = LVCF_TEXT;
      text.pszText = title.data();
      SendMessageW(rows_, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&text));
    }
    for (int row = 0; row < static_cast<int>(kCategoryCount); ++row) {
      LVITEMA item{};
      item.iItem = row;
      SendMessageA(rows_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    show_hint();
    refresh();
    ListView_SetItemState(rows_, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(rows_);
    update_game_line();
    SetTimer(hwnd_, kGameTimer, kGameMs, nullptr);
  }

  // The keys held are shown only while the window is in front.
  void on_activate(bool in_front) {
    if (in_front) {
      SetTimer(hwnd_, kKeysTimer, kKeysMs, nullptr);
      return;
    }
    KillTimer(hwnd_, kKeysTimer);
    highlight_row(-1);
  }

  void on_command(WORD id) {
    switch (id) {
      case IDC_CHANGE:
        return start_waiting();
      case IDC_UNBIND:
        return unbind();
      case IDC_FOLDER:
        ShellExecuteA(hwnd_, "open", folder_of(view_.location).c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
        return;
      case IDCANCEL:
        DestroyWindow(hwnd_);
        return;
    }
  }

  void on_notify(const NMHDR& header) {
    if (header.idFrom != IDC_ROWS) return;
    if (header.code == NM_DBLCLK) start_waiting();
    if (header.code == LVN_KEYDOWN &&
        reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE) {
      unbind();
    }
  }

  void on_timer(UINT_PTR id) {
    if (id == kFileTimer || id == kChangedTimer) {
      if (id == kChangedTimer) {
        KillTimer(hwnd_, kChangedTimer);
        change_pending_ = false;
      }
      const ConfigFile now = inspect_config(view_.location);
      if (now.state == view_.file.state && now.bytes == view_.file.bytes) return;
      // What the status line said was about the file as it was.
      if (!waiting_row_) {
        set_status(say("The file was changed outside this window; this is what it holds now."));
      }
      refresh();
    } else if (id == kGameTimer) {
      update_game_line();
    } else if (id == kKeysTimer) {
      highlight_held_key();
    } else if (id == kWatchTimer) {
      watch_for_key();
    }
  }

  // The next press the key watch sees is the key; a key message that none
  // follows is a key the module would never see.
  void watch_for_key() {
    if (!watch_) return;
    const std::vector<KeyCode> pressed = watch_->poll();
    if (!pressed.empty()) {
      // Of the codes one press sets, the generic one, as --bind takes it.
      const KeyCode code = pressed.front();
      unseen_since_.reset();
      // A tap shorter than the watch's period is over already.
      swallow_until_released_ = watch_->held().contains(code);
      return on_key(code);
    }
    if (unseen_since_ && GetTickCount64() - *unseen_since_ > kUnseenMs) {
      set_status(
          say("Not {key}: the module cannot see this key here (under Wine some keys of "
              "some layouts are invisible to it): pick another key, or Esc to cancel.",
              fact<Fact::kKey>(shown_key_name(message_code_))));
      unseen_since_.reset();
    }
  }

  // Watches the folder of the file shown, or looks at the file on a timer
  // where Windows cannot watch the folder.
  void watch_folder() {
    const std::string folder = folder_of(view_.location);
    if (folder_change() != nullptr && folder_watch_.folder() == folder) return;
    if (folder_watch_.watch(folder)) {
      KillTimer(hwnd_, kFileTimer);
    } else {
      SetTimer(hwnd_, kFileTimer, kFileMs, nullptr);
    }
  }

  // Reads the file as the module does and shows it whole.
  void refresh() {
    view_ = view_as_module(file_);
    diagnosis_ = diagnose(view_.file, view_.readings);
    rows_shown_ = setup_rows(view_.readings, diagnosis_);
    for (int row = 0; row < static_cast<int>(kCategoryCount); ++row) {
      const SetupRow& shown = rows_shown_[static_cast<std::size_t>(row)];
      set_cell(row, 0, shown.category_text);
      set_cell(row, 1, shown.key_text);
      set_cell(row, 2, shown.status);
    }
    size_columns();
    set_text(GetDlgItem(hwnd_, IDC_FINDINGS),
             with_crlf(findings_text(view_.readings, diagnosis_).substr(1)));
    set_text(hwnd_, "holsterkeys-setup - " + as_utf8(folder_of(view_.in_game_folder())));
    if (!waiting_row_ && view_.file.state == ConfigFile::State::kMissing) {
      set_status(
          say("There is no holsterkeys.ini in this folder yet. Select a category and press "
              "Change key: the file is made with that binding."));
    }
    arrange();
    watch_folder();
  }

  void show_hint() {
    set_status(
        say("Select a category, then Change key (Enter) to press its new key, or Unbind "
            "(Delete). Hold a bound key to see which category it selects."));
  }

  // Each column as wide as its widest cell or its title, whichever is
  // wider; the list view would stretch its last column to its own width.
  void size_columns() {
    wchar_t title[128];
    for (int column = 0; column < kColumns; ++column) {
      ListView_SetColumnWidth(rows_, column, LVSCW_AUTOSIZE);
      LVCOLUMNW asked{};
      asked.mask = LVCF_TEXT;
      asked.pszText = title;
      asked.cchTextMax = 128;
      SendMessageW(rows_, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&asked));
      const int header = static_cast<int>(SendMessageW(rows_, LVM_GETSTRINGWIDTHW, 0,
                                                       reinterpret_cast<LPARAM>(title))) +
                         pixels(12, 0).cx;
      if (ListView_GetColumnWidth(rows_, column) < header) {
        ListView_SetColumnWidth(rows_, column, header);
      }
    }
  }

  // Dialog units, as the resource writes them, in the window's pixels.
  struct Pixels {
    int cx, cy;
  };
  Pixels pixels(int across, int down) const {
    RECT units{0, 0, across, down};
    MapDialogRect(hwnd_, &units);
    return {static_cast<int>(units.right), static_cast<int>(units.bottom)};
  }

  HWND item(int id) const { return GetDlgItem(hwnd_, id); }

  // The width the rows need to show every cell whole.
  int rows_width() const {
    int width = GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXBORDER);
    for (int column = 0; column < kColumns; ++column)
      width += ListView_GetColumnWidth(rows_, column);
    return width;
  }

  // Lays the controls out for their texts, measured in the window's font
  // at its DPI: each button as wide as its label, the status and game lines
  // as tall as their sentences, the window as wide as its widest row and as
  // tall as all of it; the findings pane takes what is left.
  void arrange() {
    const int margin = pixels(7, 7).cx, gap = pixels(5, 5).cx, line = pixels(0, 9).cy;
    constexpr int kButtons[] = {IDC_CHANGE, IDC_UNBIND, IDC_FOLDER, IDCANCEL};
    int buttons_width = pixels(20, 0).cx;  // the room before Close
    int widths[4];
    for (int at = 0; at < 4; ++at) {
      const int label =
          static_cast<int>(text_size(item(kButtons[at]), text_of(item(kButtons[at])), 0, true).cx);
      widths[at] = std::max(pixels(50, 0).cx, label + pixels(12, 0).cx);
      buttons_width += widths[at] + (at > 0 ? gap : 0);
    }
    const int client_width =
        std::max({pixels(340, 0).cx, buttons_width + 2 * margin, rows_width() + 2 * margin});
    const int inner = client_width - 2 * margin;
    int y = margin;
    auto place = [&](int id, int x, int width, int height) {
      SetWindowPos(item(id), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto sentence_height = [&](int id) {
      return std::max(2 * line,
                      static_cast<int>(text_size(item(id), text_of(item(id)), inner, false).cy));
    };
    place(IDC_ROWS_LABEL, margin, inner, line);
    y += line + pixels(0, 2).cy;
    place(IDC_ROWS, margin, inner, pixels(0, 76).cy);
    y += pixels(0, 81).cy;
    for (int at = 0, x = margin; at < 4; x += widths[at] + gap, ++at) {
      place(kButtons[at], at == 3 ? client_width - margin - widths[at] : x, widths[at],
            pixels(0, 14).cy);
    }
    y += pixels(0, 20).cy;
    const int status = sentence_height(IDC_STATUS);
    place(IDC_STATUS, margin, inner, status);
    y += status + pixels(0, 3).cy;
    const int game = sentence_height(IDC_GAME);
    place(IDC_GAME, margin, inner, game);
    y += game + pixels(0, 4).cy;
    place(IDC_FINDINGS_LABEL, margin, inner, line);
    y += line + pixels(0, 2).cy;
    const int client_height = std::max(pixels(0, 266).cy, y + pixels(0, 86).cy + margin);
    place(IDC_FINDINGS, margin, inner, client_height - y - margin);
    resize_client(client_width, client_height);
  }

  void resize_client(int width, int height) {
    RECT now;
    GetClientRect(hwnd_, &now);
    if (now.right == width && now.bottom == height) return;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void set_cell(int row, int column, const std::string& text) {
    std::wstring wide = widened(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(rows_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  }

  void set_status(const std::string& text) {
    set_text(item(IDC_STATUS), text);
    arrange();
  }

  std::optional<std::size_t> selected_row() const {
    const int row = ListView_GetNextItem(rows_, -1, LVNI_SELECTED);
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
  }

  void start_waiting() {
    waiting_row_ = selected_row();
    if (!waiting_row_) return set_status(say("Select a category first."));
    const Category& category = *rows_shown_[*waiting_row_].category;
    // Keys already down, as Enter that asked for the key, are no press.
    watch_.emplace();
    unseen_since_.reset();
    SetTimer(hwnd_, kWatchTimer, kWatchMs, nullptr);
    SetCapture(hwnd_);
    set_status(say("Press the key for {category} (slot {slot}). Esc cancels.",
                   fact<Fact::kCategory>(category.name), slot(category.slot)));
  }

  // The rows take the focus back, wherever a button or Alt key left it, so
  // that the player goes on with the arrows.
  void stop_waiting(const std::string& status) {
    waiting_row_.reset();
    KillTimer(hwnd_, kWatchTimer);
    watch_.reset();
    ReleaseCapture();
    SetFocus(rows_);
    set_status(status);
  }

  void on_key(KeyCode code) {
    const Category& category = *rows_shown_[*waiting_row_].category;
    if (code == kEsc) return stop_waiting(say("Cancelled; nothing was written."));
    if (press_danger(code) != PressDanger::kNone) {
      return set_status(refused_press(code, category) + " " +
                        say("Press another key, or Esc to cancel."));
    }
    stop_waiting({});
    write(category, hex_code(code),
          say("Wrote {entry} ({key}).",
              fact<Fact::kEntry>(std::string(category.name) + "=" + hex_code(code)),
              fact<Fact::kKey>(shown_key_name(code))));
  }

  void unbind() {
    const std::optional<std::size_t> row = selected_row();
    if (!row || waiting_row_) return;
    const Category& category = *rows_shown_[*row].category;
    write(category, "",
          say("{category} is unbound on purpose: {category}= with nothing after it.",
              fact<Fact::kCategory>(category.name)));
  }

  // Writes as --bind does, and never over a file that is not what is shown.
  void write(const Category& category, const std::string& value, const std::string& done) {
    const std::string shown =
        view_.file.state == ConfigFile::State::kRead ? view_.file.bytes : std::string();
    const auto refused = write_value(view_.location, category, value, shown);
    refresh();
    if (refused) return set_status(refusal_text(view_.location, *refused));
    const std::string written = view_.file.in_place_of.empty() ? done : done + " " + copy_written();
    if (diagnosis_.state_of(category) == nullptr) return set_status(written);
    set_status(written + " " +
               say("Now {category}: {status}.", fact<Fact::kCategory>(category.name),
                   fact<Fact::kStatus>(status_of(diagnosis_, view_.readings, category))));
  }

  void update_game_line() {
    const std::string folder = folder_of(view_.in_game_folder());
    if (final_folder_.first != folder) final_folder_ = {folder, final_path(folder)};
    const std::string line =
        game_line(survey_running(survey_memory_).games, folder, final_folder_.second);
    if (line == game_line_) return;
    game_line_ = line;
    set_text(item(IDC_GAME), line);
    arrange();
  }

  // The row that the module would select for the keys held now, by its own
  // cycle, while the window waits for no key.
  void highlight_held_key() {
    int row = -1;
    if (!waiting_row_) {
      const ReadingsReader reader{view_.readings};
      const auto slot = cycle_outcome(
          reader, [](KeyCode code) { return (GetAsyncKeyState(code) & 0x8000) != 0 ? 1 : 0; });
      for (int at = 0; slot && at < static_cast<int>(kCategoryCount); ++at) {
        if (rows_shown_[static_cast<std::size_t>(at)].category->slot == *slot) row = at;
      }
    }
    highlight_row(row);
  }

  void highlight_row(int row) {
    if (row == highlighted_) return;
    if (highlighted_ >= 0) ListView_SetItemState(rows_, highlighted_, 0, LVIS_DROPHILITED);
    if (row >= 0) ListView_SetItemState(rows_, row, LVIS_DROPHILITED, LVIS_DROPHILITED);
    highlighted_ = row;
  }

  const char* file_;
  HWND hwnd_ = nullptr;
  HWND rows_ = nullptr;
  ModuleView view_;
  Diagnosis diagnosis_;
  SetupRows rows_shown_{};
  std::optional<std::size_t> waiting_row_;  // the row whose key is awaited
  std::optional<KeyWatch> watch_;           // the key states, while a row is waiting
  std::optional<ULONGLONG> unseen_since_;   // a key message that no key state followed yet
  KeyCode message_code_ = 0;                // the code that message gave
  bool swallow_until_released_ = false;     // the key just taken is not released yet
  int highlighted_ = -1;                    // the row of the keys held, or -1
  SurveyMemory survey_memory_;
  std::pair<std::string, std::string> final_folder_;  // the folder edited, and its final path
  std::string game_line_;                             // what the game line says now
  FolderWatch folder_watch_;
  bool change_pending_ = false;  // the file is looked at when kChangedTimer fires
};

}  // namespace
}  // namespace holsterkeys

namespace holsterkeys {
namespace {

// What the command line asks for: a language, with --language CODE, and a
// file or folder.
struct Arguments {
  std::optional<std::string> language;
  const char* file = nullptr;
};

Arguments arguments_of(int argc, char** argv) {
  Arguments arguments;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--language") {
      arguments.language = i + 1 < argc ? argv[++i] : "";
    } else {
      arguments.file = argv[i];
    }
  }
  return arguments;
}

// Speaks the language asked for, else Windows' own; false, having said why
// in English, for a code of no language there is.
bool speak_players_language(const Arguments& arguments) {
  if (!arguments.language) {
    speak(language_of_windows(GetUserDefaultUILanguage()));
    return true;
  }
  const auto language = language_named(*arguments.language);
  if (language) {
    speak(*language);
    return true;
  }
  const std::string error =
      "holsterkeys-setup: " + say("unknown language \"{option}\"; the languages are {names}.",
                                  fact<Fact::kOption>(as_utf8(*arguments.language)),
                                  fact<Fact::kNames>(listed(languages(), Joining::kSequence)));
  std::fputs((error + "\n").c_str(), stderr);
  MessageBoxW(nullptr, widened(error).c_str(), L"holsterkeys-setup", MB_OK | MB_ICONERROR);
  return false;
}

}  // namespace
}  // namespace holsterkeys

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  const holsterkeys::Arguments arguments = holsterkeys::arguments_of(__argc, __argv);
  if (!holsterkeys::speak_players_language(arguments)) return 2;
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  holsterkeys::label_keys_by_layout(holsterkeys::active_layout_label,
                                    holsterkeys::active_layout_key_name);
  holsterkeys::SetupWindow window(arguments.file);
  if (window.create(instance) == nullptr) return 1;
  ShowWindow(window.hwnd(), show);
  // The window's messages, and the changes in the folder of its file.
  for (;;) {
    const HANDLE change = window.folder_change();
    const DWORD handles = change != nullptr ? 1 : 0;
    if (MsgWaitForMultipleObjectsEx(handles, &change, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
            WAIT_OBJECT_0 &&
        handles == 1) {
      window.on_folder_change();
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return 0;
      if (window.take_key(message) || IsDialogMessageA(window.hwnd(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}
