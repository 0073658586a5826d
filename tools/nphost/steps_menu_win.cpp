// The `menu` step (fields are kept as plain text, not JSON): the next popup menu the plug-in tracks is read
// from the outside, item by item, then closed by the keyboard as a user would: with Escape, or by walking to
// a chosen command and pressing Enter.
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/nphost/test_browser_win.h"

namespace {

struct MenuWatch {
  Browser* browser = nullptr;
  HWND plugin = nullptr;  // positions are told relative to its top-left corner
  int choose = 0;         // the command to choose, 0 to dismiss
  std::string then;       // steps run while the menu is open
  int line = 0;
  UINT_PTR timer = 0;
};
MenuWatch g_watch;

// The submenu's short name: its text without the mnemonic, first word, lower case.
std::string ShortName(const std::wstring& text) {
  std::string name;
  for (wchar_t c : text) {
    if (c == L'&') continue;
    if (c == L' ') break;
    name += static_cast<char>(c < 128 ? std::tolower(c) : '?');
  }
  return name;
}

struct Item {
  UINT id = 0;
  UINT state = 0;
  UINT type = 0;
  HMENU sub = nullptr;
  std::wstring text;
};

std::vector<Item> ItemsOf(HMENU menu) {
  std::vector<Item> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {0};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 255;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    items.push_back({info.wID, info.fState, info.fType, info.hSubMenu, text});
  }
  return items;
}

// One token per line: the command id with "~" when greyed and "*" when
// checked, "-" for a separator, ">name" for a submenu.
std::string Tokens(const std::vector<Item>& items, std::string* labels) {
  std::string out;
  for (const Item& item : items) {
    std::string token;
    if (item.type & MFT_SEPARATOR) {
      token = "-";
    } else if (item.sub) {
      token = ">";
      token.append(ShortName(item.text));
    } else {
      token = std::to_string(item.id);
      if (item.state & MFS_GRAYED) token += "~";
      if (item.state & MFS_CHECKED) token += "*";
    }
    if (!(item.type & MFT_SEPARATOR)) {
      if (!labels->empty()) labels->push_back('|');
      labels->append(ToUtf8(item.text));
    }
    if (!out.empty()) out.push_back(',');
    out.append(token);
  }
  return out;
}

void PostKey(HWND window, UINT key, int times = 1) {
  for (int i = 0; i < times; ++i) {
    // Menus act on Enter as a character; a key-down's own character would
    // arrive only after the keys posted behind it.
    if (key == VK_RETURN) {
      PostMessageW(window, WM_CHAR, L'\r', 1);
      continue;
    }
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 1 | (3u << 30));
  }
}

// Keys from nothing selected to `position` (separators are skipped), then Enter.
int WalkTo(HWND window, const std::vector<Item>& items, size_t position) {
  int downs = 0;
  for (size_t i = 0; i <= position; ++i) downs += !(items[i].type & MFT_SEPARATOR);
  PostKey(window, VK_DOWN, downs);
  PostKey(window, VK_RETURN);
  return downs;
}

// Finds the open menu, records it and closes it; runs inside the menu's own loop.
void CALLBACK LookAtMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = FindWindowW(L"#32768", nullptr);
  if (!window || !IsWindowVisible(window)) return;
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  if (!menu) return;
  KillTimer(nullptr, timer);
  g_watch.timer = 0;
  RECT at, origin = {};
  GetWindowRect(window, &at);
  if (g_watch.plugin) GetWindowRect(g_watch.plugin, &origin);
  Fields fields;
  std::string labels;
  const std::vector<Item> main = ItemsOf(menu);
  fields.push_back({"main", Tokens(main, &labels)});
  for (const Item& item : main) {
    if (item.sub) fields.push_back({ShortName(item.text), Tokens(ItemsOf(item.sub), &labels)});
  }
  fields.push_back({"labels", labels});
  fields.push_back({"left", std::to_string(at.left - origin.left)});
  fields.push_back({"top", std::to_string(at.top - origin.top)});
  if (!g_watch.then.empty()) g_watch.browser->RunWhileOpen(g_watch.then, g_watch.line);
  // Where the chosen command is: in the menu itself or one submenu down.
  std::string chosen = "none";
  if (g_watch.choose) {
    for (size_t i = 0; i < main.size() && chosen == "none"; ++i) {
      const Item& item = main[i];
      if (!item.sub && item.id == static_cast<UINT>(g_watch.choose) && !(item.state & MFS_GRAYED)) {
        WalkTo(window, main, i);
        chosen = std::to_string(g_watch.choose);
      }
      if (!item.sub) continue;
      const std::vector<Item> sub = ItemsOf(item.sub);
      for (size_t j = 0; j < sub.size(); ++j) {
        if (sub[j].id != static_cast<UINT>(g_watch.choose) || (sub[j].state & MFS_GRAYED)) continue;
        WalkTo(window, main, i);  // Enter on a submenu opens it with nothing chosen yet
        int downs = 0;
        for (size_t k = 0; k <= j; ++k) downs += !(sub[k].type & MFT_SEPARATOR);
        // Opening by Enter selects the first item already.
        PostKey(window, VK_DOWN, downs - 1);
        PostKey(window, VK_RETURN);
        chosen = std::to_string(g_watch.choose);
        break;
      }
    }
  }
  // Escape closes one level; two close a menu that opened a submenu too.
  if (chosen == "none") PostKey(window, VK_ESCAPE, 2);
  fields.push_back({"chosen", chosen});
  g_watch.browser->RecordMenu(fields);
}

}  // namespace

void Browser::Menu(const Step& step) {
  if (g_watch.timer) KillTimer(nullptr, g_watch.timer);
  g_watch.browser = this;
  g_watch.plugin = pluginWindow_;
  menusChecked_ = menus_.size();  // expectations look at menus shown from here on
  g_watch.choose = std::atoi(step.Get("choose", "0").c_str());
  g_watch.then = step.Get("then", "");
  g_watch.line = step.line;
  // A thread timer is dispatched by the menu's modal loop as by any other. It
  // ticks more slowly than the 50 ms of quiet that end a step's message pump.
  g_watch.timer = SetTimer(nullptr, 0, 80, LookAtMenu);
}

void Browser::RecordMenu(const Fields& fields) {
  menus_.push_back(fields);
  JsonLine line;
  line.Text("step", "menu");
  for (const auto& [key, value] : fields) line.Text(key.c_str(), value);
  std::printf("%s\n", line.str().c_str());
  std::fflush(stdout);
}
