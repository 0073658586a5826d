// The `dialog` step: the next dialog box the plug-in opens (not a message
// box) is read from the outside, one control's text compared with a file,
// and closed with a button, as a user would after reading it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/nphost/test_browser_win.h"
// after windows.h, which it needs
#include <prsht.h>

namespace {

struct DialogWatch {
  Browser* browser = nullptr;
  int press = IDOK;
  int textOf = 0;         // the control whose text is read, 0 for none
  std::string reference;  // the file that text is compared with
  std::string save;       // the file that text is written to, as shown
  std::string click;      // buttons pressed before the closing one, comma-separated
  std::string enabledOf;  // controls whose enabled state is read after the clicks
  int page = -1;          // a property sheet's page turned to first
  std::string set;        // "ID:TEXT": text typed into a control first
  std::string select;     // "ID:N": the combo box's entry N chosen first
  std::string then;       // steps run while the dialog is open
  int line = 0;
  UINT_PTR timer = 0;
};
DialogWatch g_dialog;

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// Line ends as "\n" and no trailing empty lines, so that texts written by
// different programs compare by what they say.
std::string Normal(std::string text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// The 1-based number of the first line that differs, or "none".
std::string FirstDifference(const std::string& a, const std::string& b) {
  if (a == b) return "none";
  int line = 1;
  for (size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i) line += a[i] == '\n';
  return std::to_string(line);
}

// "ID:REST" with the id in decimal or 0x hex; -1 without a colon.
int IdOf(const std::string& pair, std::string* rest) {
  const size_t colon = pair.find(':');
  if (colon == std::string::npos) return -1;
  *rest = pair.substr(colon + 1);
  return static_cast<int>(std::strtol(pair.substr(0, colon).c_str(), nullptr, 0));
}

// The control with this id: the dialog's own, or on the page a property
// sheet shows (pages are dialogs inside the sheet, and share ids).
HWND ControlOf(HWND dialog, int id) {
  if (HWND own = GetDlgItem(dialog, id)) return own;
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (GetDlgCtrlID(child) != s->id || !IsWindowVisible(GetParent(child))) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A button pressed as the user would: a check box changes its state first,
// then its dialog hears of the click.
void Press(HWND dialog, int id) {
  HWND button = ControlOf(dialog, id);
  const LONG style = button ? GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK : 0;
  if (style == BS_AUTOCHECKBOX) {
    const LRESULT state = SendMessageW(button, BM_GETCHECK, 0, 0);
    SendMessageW(button, BM_SETCHECK, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  }
  SendMessageW(button ? GetParent(button) : dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

std::vector<int> Ids(const std::string& list) {
  std::vector<int> ids;
  for (size_t at = 0; at < list.size();) {
    const size_t comma = std::min(list.find(',', at), list.size());
    ids.push_back(static_cast<int>(std::strtol(list.substr(at, comma - at).c_str(), nullptr, 0)));
    at = comma + 1;
  }
  return ids;
}

// What the user would type and pick before pressing the button.
void FillIn(HWND dialog) {
  std::string rest;
  if (int id = IdOf(g_dialog.select, &rest); id >= 0) {
    HWND combo = ControlOf(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(rest.c_str())), 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
  }
  if (int id = IdOf(g_dialog.set, &rest); id >= 0) {
    // A file named as the scenarios name them is typed as Windows names it.
    const std::wstring text = !rest.empty() && rest[0] == '/' ? NativePath(rest, L"") : FromUtf8(rest);
    SendMessageW(ControlOf(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t name[16];
  GetClassNameW(window, name, 16);
  // A message box is a dialog too; it carries its text in control 0xFFFF.
  if (std::wstring(name) == L"#32770" && IsWindowVisible(window) && !GetDlgItem(window, 0xFFFF)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK LookAtDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;
  KillTimer(nullptr, timer);
  g_dialog.timer = 0;
  Fields fields;
  fields.push_back({"caption", ToUtf8(WindowText(dialog))});
  // A property sheet (a dialog with tabs) tells which page it opened on.
  const bool sheet = FindWindowExW(dialog, nullptr, L"SysTabControl32", nullptr) != nullptr;
  if (HWND shown =
          sheet ? reinterpret_cast<HWND>(SendMessageW(dialog, PSM_GETCURRENTPAGEHWND, 0, 0)) : nullptr) {
    fields.push_back(
        {"page", std::to_string(SendMessageW(dialog, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(shown), 0))});
  }
  if (g_dialog.textOf) {
    const std::string shown = ToUtf8(WindowText(ControlOf(dialog, g_dialog.textOf)));
    if (!g_dialog.save.empty()) std::ofstream(g_dialog.save, std::ios::binary) << shown;
    const std::string text = Normal(shown);
    fields.push_back({"length", std::to_string(text.size())});
    if (!g_dialog.reference.empty()) {
      std::ifstream file(g_dialog.reference, std::ios::binary);
      std::stringstream wanted;
      wanted << file.rdbuf();
      fields.push_back({"differs", FirstDifference(text, Normal(wanted.str()))});
    }
  }
  if (sheet && g_dialog.page >= 0) SendMessageW(dialog, PSM_SETCURSEL, static_cast<WPARAM>(g_dialog.page), 0);
  FillIn(dialog);
  for (int id : Ids(g_dialog.click)) Press(dialog, id);
  if (!g_dialog.enabledOf.empty()) {
    std::string states;
    for (int id : Ids(g_dialog.enabledOf))
      AppendItem(&states, IsWindowEnabled(ControlOf(dialog, id)) ? "true" : "false", ',');
    fields.push_back({"enabled", states});
  }
  if (!g_dialog.then.empty()) g_dialog.browser->RunWhileOpen(g_dialog.then, g_dialog.line);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_dialog.press, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, g_dialog.press)));
  g_dialog.browser->RecordDialog(fields);
}

}  // namespace

void Browser::Dialog(const Step& step) {
  if (g_dialog.timer) KillTimer(nullptr, g_dialog.timer);
  g_dialog.browser = this;
  g_dialog.press = std::atoi(step.Get("press", "1").c_str());
  g_dialog.textOf = std::atoi(step.Get("text-of", "0").c_str());
  g_dialog.reference = step.Get("reference", "");
  g_dialog.save = step.Get("save", "");
  g_dialog.click = step.Get("click", "");
  g_dialog.enabledOf = step.Get("enabled-of", "");
  g_dialog.page = std::atoi(step.Get("page", "-1").c_str());
  g_dialog.then = step.Get("then", "");
  g_dialog.set = step.Get("set", "");
  g_dialog.select = step.Get("select", "");
  g_dialog.line = step.line;
  dialogsChecked_ = dialogs_.size();
  // Dispatched by the dialog's own modal loop; slower than a step's 50 ms of quiet.
  g_dialog.timer = SetTimer(nullptr, 0, 80, LookAtDialog);
}

void Browser::RecordDialog(const Fields& fields) {
  dialogs_.push_back(fields);
  JsonLine line;
  line.Text("step", "dialog");
  for (const auto& [key, value] : fields) line.Text(key.c_str(), value);
  std::printf("%s\n", line.str().c_str());
  std::fflush(stdout);
}
