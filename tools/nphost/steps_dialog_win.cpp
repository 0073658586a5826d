// The `dialog` step: the next dialog box the plug-in opens (not a message
// box) is read from the outside, one control's text compared with a file,
// and closed with a button, as a user would after reading it.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/nphost/test_browser_win.h"

namespace {

struct DialogWatch {
  Browser* browser = nullptr;
  int press = IDOK;
  int textOf = 0;         // the control whose text is read, 0 for none
  std::string reference;  // the file that text is compared with
  std::string save;       // the file that text is written to, as shown
  int click = 0;          // a button pressed before the closing one, 0 for none
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

// What the user would type and pick before pressing the button.
void FillIn(HWND dialog) {
  std::string rest;
  if (int id = IdOf(g_dialog.select, &rest); id >= 0) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(rest.c_str())), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
  }
  if (int id = IdOf(g_dialog.set, &rest); id >= 0) {
    // A file named as the scenarios name them is typed as Windows names it.
    const std::wstring text = !rest.empty() && rest[0] == '/' ? NativePath(rest, L"") : FromUtf8(rest);
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
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
  if (g_dialog.textOf) {
    const std::string shown = ToUtf8(WindowText(GetDlgItem(dialog, g_dialog.textOf)));
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
  FillIn(dialog);
  if (g_dialog.click) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_dialog.click, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, g_dialog.click)));
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
  g_dialog.click = std::atoi(step.Get("click", "0").c_str());
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
